#include "updater/identify/model_tables.h"

#include "common/text.h"

const char kMakerMark[] = "PARVONI";
const wchar_t kMakerManufacturer[] = L"PVMF_Parvoni";
const wchar_t kSerialTag[] = L"PVSN_";
const wchar_t kModelTagPrefix[] = L"PVMD_";
const wchar_t kClassmateProductName[] = L"Intel powered classmate PC";
const wchar_t kClassmateAdapter[] = L"802.11 USB Wireless LAN Card";
const wchar_t kGenericMidModel[] = L"marbo MID";
const wchar_t kGenericCmpcModel[] = L"marbo CMPC";

namespace {

struct ModelTag {
    const wchar_t *tag;
    const wchar_t *modelName;
};

// Longer tags stand before the tags they begin with: the first match wins.
const ModelTag kModelTags[] = {
    {L"PVMD_K2", L"marbo K2"},
    {L"PVMD_K4", L"marbo K4"},
    {L"PVMD_W30 EX-H", L"marbo W30 EX-H"},
    {L"PVMD_W30EX-H", L"marbo W30 EX-H"},
    {L"PVMD_W30 EX", L"marbo W30 EX"},
    {L"PVMD_W30EX", L"marbo W30 EX"},
    {L"PVMD_W30 Atom", L"marbo W30 EX"},
    {L"PVMD_W30Atom", L"marbo W30 EX"},
    {L"PVMD_W30", L"marbo W30 EX"},
    {L"PVMD_K12", L"marbo K12"},
    {L"PVMD_P3 PRE", L"marbo P3 PREMIUM"},
    {L"PVMD_P3PRE", L"marbo P3 PREMIUM"},
    {L"PVMD_P3 EX", L"marbo P3 PREMIUM"},
    {L"PVMD_P3EX", L"marbo P3 PREMIUM"},
    {L"PVMD_P3 PRO", L"marbo P3 PRO"},
    {L"PVMD_P3PRO", L"marbo P3 PRO"},
    {L"PVMD_P3", L"marbo P3 PRO"},
};

const BoardCode kBoardCodes[] = {
    {"9HD6", 4, L"marbo K2"},
    {"9HK4_", 5, L"marbo K4"},
    {"9HW3_", 5, L"marbo W30 EX"},
    {"9HK12", 5, L"marbo K12"},
    {"9HP3E", 5, L"marbo P3 PREMIUM"},
    {"9HP3X", 5, L"marbo P3 PRO"},
};

uint8_t UpperByte(uint8_t b) { return b >= 'a' && b <= 'z' ? static_cast<uint8_t>(b - 32) : b; }

}  // namespace

bool LookUpModelTag(const std::wstring &text, ModelTagMatch &match) {
    for (const ModelTag &row : kModelTags) {
        if (!StartsWithNoCase(text, row.tag))
            continue;
        match.modelName = row.modelName;
        match.suffix = text.substr(std::wstring(row.tag).size());
        if (!match.suffix.empty() && match.suffix[0] == L' ')
            match.suffix.erase(0, 1);
        return true;
    }
    return false;
}

const BoardCode *BoardCodes(size_t &count) {
    count = sizeof kBoardCodes / sizeof kBoardCodes[0];
    return kBoardCodes;
}

const BoardCode *MatchBoardCode(const uint8_t *p, size_t available) {
    for (const BoardCode &row : kBoardCodes) {
        if (available < row.comparedLength)
            continue;
        size_t i = 0;
        while (i < row.comparedLength && UpperByte(p[i]) == static_cast<uint8_t>(row.code[i]))
            ++i;
        if (i == row.comparedLength)
            return &row;
    }
    return nullptr;
}
