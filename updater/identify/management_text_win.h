#ifndef UPDATER_IDENTIFY_MANAGEMENT_TEXT_WIN_H
#define UPDATER_IDENTIFY_MANAGEMENT_TEXT_WIN_H

#include <windows.h>

#include <string>

// The computer's product name through WMI: Win32_ComputerSystemProduct.Name, or when
// that class has no object, Win32_BaseBoard.Product. 1 when a text was read, 0 when
// neither query gave an object, negative when WMI could not be asked or did not
// answer within `timeLimitMs`. `source`, when given, names the class and property
// that answered.
int QueryManagementText(std::wstring &text, std::wstring *source = nullptr,
                        DWORD timeLimitMs = INFINITE);

#endif
