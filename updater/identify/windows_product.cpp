#include "updater/identify/windows_product.h"

namespace {

const unsigned kWorkstation = 1;
const int kArchitectureAmd64 = 9;

std::wstring Windows9xName(unsigned major, unsigned minor) {
    if (major != 4)
        return {};
    switch (minor) {
    case 0: return L"Microsoft Windows 95";
    case 10: return L"Microsoft Windows 98";
    case 90: return L"Microsoft Windows Millennium Edition";
    default: return {};
    }
}

std::wstring WindowsNtName(const WindowsVersionFacts &f) {
    if (f.major >= 7)
        return {};
    if (f.major == 6) {
        if (f.minor == 1)
            return L"Microsoft Windows 7";
        if (f.minor == 0)
            return f.productType == kWorkstation ? L"Microsoft Windows Vista"
                                                 : L"Windows Server \"Longhorn\"";
        return {};
    }
    if (f.major == 5) {
        if (f.minor == 2) {
            if (f.serverR2)
                return L"Microsoft Windows Server 2003 \"R2\"";
            if (f.productType == kWorkstation && f.nativeArchitecture &&
                f.nativeArchitecture() == kArchitectureAmd64)
                return L"Microsoft Windows XP Professional x64 Edition";
            return L"Microsoft Windows Server 2003";
        }
        if (f.minor == 1)
            return L"Microsoft Windows XP";
        if (f.minor == 0)
            return L"Microsoft Windows 2000";
        return {};
    }
    return L"Microsoft Windows NT";
}

}  // namespace

std::wstring WindowsProductNameOf(const WindowsVersionFacts &facts) {
    switch (facts.platform) {
    case 0: return L"Microsoft Win32s";
    case 1: return Windows9xName(facts.major, facts.minor);
    case 2: return WindowsNtName(facts);
    default: return {};
    }
}
