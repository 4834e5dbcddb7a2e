#include "common/system_function_win.h"

#include <cwchar>

namespace {

// A module that is not loaded yet is loaded by full path from the system
// folder: a bare name would be searched in the program's folder first.
HMODULE SystemModule(const wchar_t *module) {
    if (HMODULE loaded = GetModuleHandleW(module)) return loaded;
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + std::wcslen(module) >= MAX_PATH) return nullptr;
    path[length] = L'\\';
    std::wcscpy(path + length + 1, module);
    return LoadLibraryW(path);
}

}  // namespace

extern "C" FARPROC FindSystemFunctionAddress(const wchar_t *module, const char *name) {
    HMODULE loaded = SystemModule(module);
    return loaded ? GetProcAddress(loaded, name) : nullptr;
}
