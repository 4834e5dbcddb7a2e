#include "updater/identify/windows_version_win.h"

#include <windows.h>

#include "common/system_function_win.h"

namespace {

// Looked up by name when asked: XP before SP2 and 2000 have no GetNativeSystemInfo.
int NativeArchitecture() {
    typedef void(WINAPI * NativeInfoFn)(LPSYSTEM_INFO);
    const auto native = FindSystemFunction<NativeInfoFn>(L"kernel32.dll", "GetNativeSystemInfo");
    if (!native)
        return -1;
    SYSTEM_INFO info = {};
    native(&info);
    return info.wProcessorArchitecture;
}

}  // namespace

int GetWindowsProductName(std::wstring &name, WindowsVersionFacts *reported, unsigned *build) {
    name.clear();
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
    bool extended = GetVersionExW(reinterpret_cast<OSVERSIONINFOW *>(&version)) != FALSE;
    if (!extended) {
        version = {};
        version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW *>(&version)))
            return 0;
    }
    WindowsVersionFacts facts;
    facts.platform = version.dwPlatformId;
    facts.major = version.dwMajorVersion;
    facts.minor = version.dwMinorVersion;
    facts.productType = extended ? version.wProductType : 0;
    facts.serverR2 = GetSystemMetrics(SM_SERVERR2) != 0;
    facts.nativeArchitecture = NativeArchitecture;
    name = WindowsProductNameOf(facts);
    if (reported)
        *reported = facts;
    if (build)
        *build = version.dwBuildNumber;
    return 1;
}
