#include "setup/archive/extract_target.h"

namespace {
bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
}

bool IsContainedRelativeTarget(const std::wstring &target) {
    if (target.empty() || IsSeparator(target[0])) return false;
    if (target.size() > 1 && target[1] == L':') return false;
    return target.find(L"..\\") == std::wstring::npos && target.find(L"../") == std::wstring::npos;
}
