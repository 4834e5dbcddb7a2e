#include <gtest/gtest.h>

#include "setup/script/script_line.h"

namespace {

TEST(ScriptLine, SectionIsTextBeforeTheFirstSlashAfterTrailingSlashesGo) {
    ScriptLine l = ParseScriptLine(L"General/Title=A/B//");
    ASSERT_TRUE(l.hasSection);
    EXPECT_EQ(l.section, L"General");
    EXPECT_EQ(l.remainder, L"Title=A/B");
    EXPECT_TRUE(IsSection(l, L"general"));

    EXPECT_FALSE(ParseScriptLine(L"Uninstall.exe").hasSection);
    EXPECT_FALSE(ParseScriptLine(L"/General/Title=x").hasSection);
    EXPECT_FALSE(ParseScriptLine(L"General/").hasSection);
    EXPECT_FALSE(ParseScriptLine(L"").hasSection);
}

TEST(ScriptLine, KeyIsBeforeTheFirstEqualsAndMustNotBeEmpty) {
    KeyValue kv = SplitKeyValue(L"Target={InstallDir}/a=b/c");
    ASSERT_TRUE(kv.valid);
    EXPECT_EQ(kv.key, L"Target");
    EXPECT_EQ(kv.value, L"{InstallDir}/a=b/c");
    EXPECT_TRUE(SplitKeyValue(L"Title=").valid);
    EXPECT_EQ(SplitKeyValue(L"Title=").value, L"");
    EXPECT_FALSE(SplitKeyValue(L"=value").valid);
    EXPECT_FALSE(SplitKeyValue(L"NoEquals").valid);
}

TEST(ScriptLine, FieldsKeepEmptyOnesAndAreBounded) {
    auto f = SplitFields(L"Registry/HKEY_CURRENT_USER%5CX/name//REG_SZ");
    ASSERT_EQ(f.size(), 5u);
    EXPECT_EQ(f[1], L"HKEY_CURRENT_USER%5CX");
    EXPECT_EQ(f[3], L"");
    EXPECT_EQ(f[4], L"REG_SZ");

    std::wstring many;
    for (int i = 0; i < 150; ++i) many += L"f/";
    EXPECT_EQ(SplitFields(many).size(), 100u);
    EXPECT_EQ(SplitFields(std::wstring(300, L'x') + L"/y")[0].size(), 260u);
}

}  // namespace
