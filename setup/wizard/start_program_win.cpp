#include "setup/wizard/start_program_win.h"

bool StartCommandLine(const std::wstring &commandLine, ProcessUser user) {
    return static_cast<bool>(StartProcess(L"", commandLine, user));
}
