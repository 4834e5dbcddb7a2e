#ifndef COMMON_LOCALIZED_TEXT_H
#define COMMON_LOCALIZED_TEXT_H

// Every user-visible text exists in Korean and in English. The language is decided
// each time a text is set: Korean when the system's default language identifier is
// 0x0412, English otherwise.

struct LocalizedText {
    const wchar_t *korean;
    const wchar_t *english;
};

constexpr unsigned short kKoreanLangId = 0x0412;

// The text for a given language identifier (portable; tests choose the language).
const wchar_t *PickText(const LocalizedText &text, unsigned short langId);

// The text for the running system (asks the system each call; Windows build only).
const wchar_t *Localized(const LocalizedText &text);
bool SystemIsKorean();

#endif
