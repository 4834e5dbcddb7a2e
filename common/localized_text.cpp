#include "common/localized_text.h"

const wchar_t *PickText(const LocalizedText &text, unsigned short langId) {
    return langId == kKoreanLangId ? text.korean : text.english;
}
