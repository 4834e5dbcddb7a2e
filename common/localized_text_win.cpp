#include "common/localized_text.h"

#include <windows.h>

bool SystemIsKorean() { return GetSystemDefaultLangID() == kKoreanLangId; }

const wchar_t *Localized(const LocalizedText &text) {
    return PickText(text, GetSystemDefaultLangID());
}
