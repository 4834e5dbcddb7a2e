#include "setup/script/value_escaping.h"

#include "common/text.h"

// Each step is one left-to-right pass; the order of the steps is what makes
// escaping idempotent, so it must not be changed.
std::wstring EscapeValue(const std::wstring &value) {
    std::wstring v = ReplaceAll(value, L":", L"%3A");
    v = ReplaceAll(v, L"/", L"%2F");
    v = ReplaceAll(v, L"\\\\", L"\\");
    v = ReplaceAll(v, L"%5C%5C", L"\\");
    v = ReplaceAll(v, L"%5C\\", L"\\");
    v = ReplaceAll(v, L"\\%5C", L"\\");
    return ReplaceAll(v, L"\\", L"%5C");
}

std::wstring UnescapeValue(const std::wstring &value) {
    std::wstring v = ReplaceAll(value, L"%5C", L"\\");
    v = ReplaceAll(v, L"/", L"\\");
    v = ReplaceAll(v, L"\\\\", L"\\");
    v = ReplaceAll(v, L"%2F", L"/");
    return ReplaceAll(v, L"%3A", L":");
}
