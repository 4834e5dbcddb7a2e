#ifndef COMMON_SYSTEM_FUNCTION_WIN_H
#define COMMON_SYSTEM_FUNCTION_WIN_H

#include <windows.h>

/* Functions that only newer Windows versions have are looked up at run time,
 * so that the programs still start on XP. The module is taken from the system
 * folder only (never from the program's or the current folder) and stays
 * loaded for the life of the process. Null when the system lacks either. */
#ifdef __cplusplus
extern "C" {
#endif
FARPROC FindSystemFunctionAddress(const wchar_t *module, const char *name);
#ifdef __cplusplus
}

// FindSystemFunction<BOOL(WINAPI *)(HANDLE)>(L"kernel32.dll", "Name").
template <typename Function>
Function FindSystemFunction(const wchar_t *module, const char *name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(FindSystemFunctionAddress(module, name)));
}
#endif

#endif
