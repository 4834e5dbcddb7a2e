#include <gtest/gtest.h>

#include "updater/catalogue/program_names.h"

namespace {

const std::wstring kProgramFiles = L"C:\\Program Files";
const std::wstring kWindows = L"C:\\WINDOWS";

struct NamesCase {
    const wchar_t *component;
    const wchar_t *programFile;
    const wchar_t *shortcutName;
    const wchar_t *description;
    const wchar_t *installedFile;
};

class ProgramNamesTable : public testing::TestWithParam<NamesCase> {};

TEST_P(ProgramNamesTable, MapsTheComponentIgnoringLetterCase) {
    const NamesCase &c = GetParam();
    ProgramNames names = GetProgramNames(c.component);
    EXPECT_EQ(c.programFile, names.programFile);
    EXPECT_EQ(c.shortcutName, names.shortcutName);
    EXPECT_EQ(c.description, names.shortcutDescription);
    EXPECT_EQ(c.programFile, GetProgramFile(c.component));
    EXPECT_EQ(c.installedFile, InstalledFileIn(c.component, kProgramFiles, kWindows));
}

INSTANTIATE_TEST_SUITE_P(
    Components, ProgramNamesTable,
    testing::Values(
        NamesCase{L"marboDMB", L"dmbplayer.exe", L"dmbplayer", L"dmbplayer",
                  L"C:\\Program Files\\marboDMB\\dmbplayer.exe"},
        NamesCase{L"MARBODMB", L"dmbplayer.exe", L"dmbplayer", L"dmbplayer",
                  L"C:\\Program Files\\MARBODMB\\dmbplayer.exe"},
        NamesCase{L"marboMUSIC", L"TuneForge.exe", L"TuneForge", L"TuneForge",
                  L"C:\\Program Files\\marboMUSIC\\TuneForge.exe"},
        NamesCase{L"marboMusic", L"TuneForge.exe", L"TuneForge", L"TuneForge",
                  L"C:\\Program Files\\marboMusic\\TuneForge.exe"},
        // The shortcut keeps the component's spelling; the description is fixed.
        NamesCase{L"MarboSoftKeyboard", L"MarboSoftKeyboard.exe", L"MarboSoftKeyboard",
                  L"marboSoftKeyboard",
                  L"C:\\Program Files\\MarboSoftKeyboard\\MarboSoftKeyboard.exe"},
        NamesCase{L"System Driver", L"System Driver.exe", L"System Driver", L"System Driver",
                  L"C:\\WINDOWS\\system32\\drivers\\hwinterface.sys"},
        NamesCase{L"system driver", L"system driver.exe", L"system driver", L"system driver",
                  L"C:\\WINDOWS\\system32\\drivers\\hwinterface.sys"},
        NamesCase{L"marboNote", L"marboNote.exe", L"marboNote", L"marboNote",
                  L"C:\\Program Files\\marboNote\\marboNote.exe"},
        // Near misses fall through to the general rule.
        NamesCase{L"marboDMB2", L"marboDMB2.exe", L"marboDMB2", L"marboDMB2",
                  L"C:\\Program Files\\marboDMB2\\marboDMB2.exe"},
        NamesCase{L"SystemDriver", L"SystemDriver.exe", L"SystemDriver", L"SystemDriver",
                  L"C:\\Program Files\\SystemDriver\\SystemDriver.exe"}));

}  // namespace
