#include "common/dll_search.h"

#include <windows.h>

#include "common/system_function_win.h"

namespace {

// Both looked up at run time: the first is missing before Windows 7's
// KB2533623, the second on XP before SP1, and a missing import would keep the
// program from starting at all.
template <typename Function>
Function Kernel32(const char *name) {
    return FindSystemFunction<Function>(L"kernel32.dll", name);
}

constexpr DWORD kSearchApplicationDir = 0x00000200;  // LOAD_LIBRARY_SEARCH_APPLICATION_DIR
constexpr DWORD kSearchSystem32 = 0x00000800;        // LOAD_LIBRARY_SEARCH_SYSTEM32

}  // namespace

bool RestrictDllSearch() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI *)(DWORD);
    using SetDllDirectoryFunction = BOOL(WINAPI *)(LPCWSTR);
    if (auto setDefault = Kernel32<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories"))
        if (setDefault(kSearchApplicationDir | kSearchSystem32)) return true;
    auto setDirectory = Kernel32<SetDllDirectoryFunction>("SetDllDirectoryW");
    return setDirectory && setDirectory(L"");
}
