#include <gtest/gtest.h>

#include <cstring>

#include "updater/identify/model_tables.h"

namespace {

TEST(ModelTags, EveryRowInOrderWithItsSuffix) {
    struct Case {
        const wchar_t *text;
        const wchar_t *model;  // null: no tag matches
        const wchar_t *suffix;
    };
    const Case cases[] = {
        {L"PVMD_K2", L"marbo K2", L""},
        {L"PVMD_K4 EX", L"marbo K4", L"EX"},
        {L"pvmd_k4 x", L"marbo K4", L"x"},
        {L"PVMD_W30 EX-H Rev2", L"marbo W30 EX-H", L"Rev2"},
        {L"PVMD_W30EX-H", L"marbo W30 EX-H", L""},
        {L"PVMD_W30 EX 2", L"marbo W30 EX", L"2"},
        {L"PVMD_W30EX", L"marbo W30 EX", L""},
        {L"PVMD_W30 Atom N270", L"marbo W30 EX", L"N270"},
        {L"PVMD_W30ATOM", L"marbo W30 EX", L""},
        {L"PVMD_W30-X", L"marbo W30 EX", L"-X"},
        {L"PVMD_K12", L"marbo K12", L""},
        {L"PVMD_P3 PRE", L"marbo P3 PREMIUM", L""},
        {L"PVMD_P3PREMIUM", L"marbo P3 PREMIUM", L"MIUM"},
        {L"PVMD_P3 EX", L"marbo P3 PREMIUM", L""},
        {L"PVMD_P3EX", L"marbo P3 PREMIUM", L""},
        {L"PVMD_P3 PROX", L"marbo P3 PRO", L"X"},
        {L"PVMD_P3PROX", L"marbo P3 PRO", L"X"},
        {L"PVMD_P3PRO 2", L"marbo P3 PRO", L"2"},
        {L"PVMD_P3", L"marbo P3 PRO", L""},
        {L"PVMD_P3  two blanks", L"marbo P3 PRO", L" two blanks"},
        {L"PVMD_K1", nullptr, nullptr},
        {L"PVMD_", nullptr, nullptr},
        {L"", nullptr, nullptr},
        {L"XPVMD_K4", nullptr, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        ModelTagMatch match{L"before", L"before"};
        const bool found = LookUpModelTag(c.text, match);
        EXPECT_EQ(c.model != nullptr, found);
        if (c.model) {
            EXPECT_EQ(c.model, match.modelName);
            EXPECT_EQ(c.suffix, match.suffix);
        } else {
            EXPECT_EQ(L"before", match.modelName);
        }
    }
}

TEST(BoardCodes, ComparedLengthAndCase) {
    struct Case {
        const char *bytes;
        const wchar_t *model;
    };
    const Case cases[] = {
        {"9HD6", L"marbo K2"},       {"9hd6xxxx", L"marbo K2"},
        {"9HK4_01", L"marbo K4"},    {"9HK4-01", nullptr},
        {"9hw3_", L"marbo W30 EX"},  {"9HK12", L"marbo K12"},
        {"9HP3E", L"marbo P3 PREMIUM"}, {"9HP3X", L"marbo P3 PRO"},
        {"9HP3", nullptr},           {"", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bytes);
        const BoardCode *code =
            MatchBoardCode(reinterpret_cast<const uint8_t *>(c.bytes), std::strlen(c.bytes));
        if (c.model) {
            ASSERT_NE(nullptr, code);
            EXPECT_EQ(c.model, std::wstring(code->modelName));
        } else {
            EXPECT_EQ(nullptr, code);
        }
    }
    size_t count = 0;
    BoardCodes(count);
    EXPECT_EQ(6u, count);
}

}  // namespace
