#include "updater/unattended/start_options.h"

#include "common/text.h"

StartMode ParseStartOptions(const std::wstring &arguments) {
    const std::wstring option = Trim(arguments);
    if (option.empty())
        return StartMode::kInteractive;
    if (option[0] != L'/' && option[0] != L'-')
        return StartMode::kInvalid;
    const std::wstring name = option.substr(1);
    if (EqualsNoCase(name, L"WindowsStart"))
        return StartMode::kWindowsStart;
    if (EqualsNoCase(name, L"unattended"))
        return StartMode::kUnattended;
    if (EqualsNoCase(name, L"list"))
        return StartMode::kList;
    if (EqualsNoCase(name, L"help") || name == L"?" || EqualsNoCase(name, L"h"))
        return StartMode::kHelp;
    return StartMode::kInvalid;
}

const wchar_t kStartOptionsHelp[] =
    L"Tessel [/unattended | /list | /WindowsStart | /help]\r\n"
    L"\r\n"
    L"  (none)         Shows the update window: search, tick, install.\r\n"
    L"  /unattended    Installs every component whose offered version is newer than\r\n"
    L"                 the installed one, with no window and no question. Installers\r\n"
    L"                 of a known kind run quietly (msiexec /qn, setup packages /S).\r\n"
    L"  /list          Searches and reports installed and offered versions; installs\r\n"
    L"                 nothing.\r\n"
    L"  /WindowsStart  Starts hidden (the autostart entry).\r\n"
    L"  /help          Shows this text.\r\n"
    L"\r\n"
    L"/unattended and /list write their lines to Tessel.log in the all-users\r\n"
    L"application data folder (Parvoni\\Tessel), and /list also to the console it\r\n"
    L"was started from. Exit codes:\r\n"
    L"  0  done: everything newer installed, or nothing to do\r\n"
    L"  1  a package failed (that component and the ones after it were not installed)\r\n"
    L"  2  the update server could not be reached\r\n"
    L"  3  another Tessel is running\r\n"
    L"  4  a newer Tessel is being installed; the next start goes on with it\r\n"
    L"\r\n"
    L"Any other argument starts Tessel with its window, as no argument does.\r\n";
