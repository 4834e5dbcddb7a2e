#include <windows.h>

#include "setup/script/setup_startup.h"

void TraceSetup(const std::wstring &line) { OutputDebugStringW(line.c_str()); }
