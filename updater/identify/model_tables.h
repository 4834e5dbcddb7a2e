#ifndef UPDATER_IDENTIFY_MODEL_TABLES_H
#define UPDATER_IDENTIFY_MODEL_TABLES_H

#include <cstddef>
#include <cstdint>
#include <string>

// The maker's model names, as the firmware's model tags and the board codes in the
// BIOS area give them.

struct ModelTagMatch {
    std::wstring modelName;
    std::wstring suffix;  // the text after the tag, without one blank that follows it
};

// Looks `text` up in the model tag table (tags compared over their own length, letter
// case ignored, first match in table order). False when no tag matches.
bool LookUpModelTag(const std::wstring &text, ModelTagMatch &match);

struct BoardCode {
    const char *code;
    size_t comparedLength;
    const wchar_t *modelName;
};

// The board code table in its order; `count` receives the number of rows.
const BoardCode *BoardCodes(size_t &count);

// The first board code the bytes at `p` (at least `available` long) begin with, letter
// case ignored; null when none does.
const BoardCode *MatchBoardCode(const uint8_t *p, size_t available);

extern const char kMakerMark[];               // "PARVONI"
extern const wchar_t kMakerManufacturer[];    // "PVMF_Parvoni"
extern const wchar_t kSerialTag[];            // "PVSN_"
extern const wchar_t kModelTagPrefix[];       // "PVMD_"
extern const wchar_t kClassmateProductName[]; // "Intel powered classmate PC"
extern const wchar_t kClassmateAdapter[];     // "802.11 USB Wireless LAN Card"
extern const wchar_t kGenericMidModel[];      // "marbo MID"
extern const wchar_t kGenericCmpcModel[];     // "marbo CMPC"

#endif
