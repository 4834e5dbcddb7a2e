#include <windows.h>

#include <cstdio>
#include <string>

#include "common/text.h"
#include "tools/identify/identify_report_win.h"

namespace {

// A console shows the text as it is; a pipe or file gets UTF-8.
void Print(const std::wstring &text) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(out, &mode)) {
        WriteConsoleW(out, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const std::string bytes = NarrowUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--help" || arg == L"-h" || arg == L"/?") {
            Print(IdentifyReportHelp());
            return 0;
        }
        Print(L"tessel-identify: unknown argument \"" + arg + L"\" (see --help)\n");
        return 2;
    }
    Print(BuildIdentifyReport());
    return 0;
}
