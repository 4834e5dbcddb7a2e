#ifndef UPDATER_IDENTIFY_WINDOWS_PRODUCT_H
#define UPDATER_IDENTIFY_WINDOWS_PRODUCT_H

#include <string>

// What the system says of its version, as the version records give it.
struct WindowsVersionFacts {
    unsigned platform = 0;     // 0 Win32s, 1 Windows 9x, 2 NT
    unsigned major = 0;
    unsigned minor = 0;
    unsigned productType = 0;  // 1 workstation; 0 when only the basic record was read
    bool serverR2 = false;     // the SM_SERVERR2 system metric
    // The native processor architecture (9 = AMD64), asked only for version 5.2;
    // -1 when the system cannot tell.
    int (*nativeArchitecture)() = nullptr;
};

// The product name ("Microsoft Windows XP", ...), or empty for a system the table
// does not know.
std::wstring WindowsProductNameOf(const WindowsVersionFacts &facts);

#endif
