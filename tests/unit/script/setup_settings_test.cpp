#include <gtest/gtest.h>

#include <vector>

#include "setup/script/setup_settings.h"

namespace {

struct Reading {
    SetupSettings settings;
    std::vector<std::wstring> trace;

    explicit Reading(std::initializer_list<const wchar_t *> names) {
        settings.ProgramFilesDir = L"C:\\Program Files";
        settings.WindowsDir = L"C:\\windows";
        settings.SystemDir = L"C:\\windows\\system32";
        SetupScriptReader reader(settings, [this](const std::wstring &t) { trace.push_back(t); });
        double size = 1;
        for (const wchar_t *n : names) reader.AddEntry(n, size++);
        reader.Finish();
    }
};

TEST(SetupSettings, GeneralValuesKeepSlashesAndTheLaterLineWins) {
    Reading r({L"General/Title=A/B/", L"General/Version=1.0", L"general/VERSION=2.1",
               L"General/Unknown=x", L"Other/Title=nope", L"General/=empty", L"General/Title"});
    EXPECT_EQ(r.settings.Title, L"A/B");
    EXPECT_EQ(r.settings.Version, L"2.1");
    EXPECT_EQ(r.settings.HasFiles, L"");
    EXPECT_DOUBLE_EQ(r.settings.RequiredBytes, 1 + 2 + 3 + 4 + 5 + 6 + 7);
    std::vector<std::wstring> expected = {L"Title=A/B", L"Version=1.0", L"Version=2.1"};
    EXPECT_EQ(r.trace, expected);
}

TEST(SetupSettings, ExecuteValuesAndFilesFlag) {
    Reading r({L"Execute/AfterPath={InstallDir}%5Cv.exe", L"Execute/AfterParam=%2Fs",
               L"Execute/AfterReboot=true/", L"File/Anything=x", L"Uninstall.exe"});
    EXPECT_EQ(r.settings.AfterPath, L"{InstallDir}%5Cv.exe");  // expanded only when used
    EXPECT_EQ(r.settings.AfterParam, L"%2Fs");
    EXPECT_EQ(r.settings.AfterReboot, L"true");
    EXPECT_EQ(r.settings.HasFiles, L"TRUE");
}

TEST(SetupSettings, InstallDirIsExpandedAndUnescapedAtStartUp) {
    Reading escaped({L"General/InstallDir={ProgramFiles}%5CViewer"});
    EXPECT_EQ(escaped.settings.InstallDir, L"C:\\Program Files\\Viewer");
    EXPECT_EQ(escaped.settings.InstallFolderName, L"Viewer");

    Reading raw({L"General/InstallDir={ProgramFiles}/Viewer"});
    EXPECT_EQ(raw.settings.InstallDir, L"C:\\Program Files\\Viewer");

    Reading own({L"General/InstallDir={InstallDir}%5Cx"});
    EXPECT_EQ(own.settings.InstallDir, L"{InstallDir}\\x");
}

TEST(SetupSettings, InstallFolderNameStopsAtTheFirstEmptyComponent) {
    EXPECT_EQ(InstallFolderNameOf(L"C:\\Program Files\\Viewer"), L"Viewer");
    EXPECT_EQ(InstallFolderNameOf(L"C:\\Apps\\Viewer\\"), L"Viewer");
    EXPECT_EQ(InstallFolderNameOf(L"C:\\Apps\\\\Viewer"), L"Apps");
    EXPECT_EQ(InstallFolderNameOf(L""), L"");
    std::wstring deep;
    for (int i = 0; i < 120; ++i) deep += L"d" + std::to_wstring(i) + L"\\";
    EXPECT_EQ(InstallFolderNameOf(deep), L"d99");
}

TEST(ProductCaption, JoinsTitlePrefixAndVersion) {
    SetupSettings s;
    s.Title = L"Viewer v.";
    s.Version = L"1.0";
    EXPECT_EQ(ProductCaption(s), L"Viewer v.1.0");
    s.Title = L"Viewer V.";
    EXPECT_EQ(ProductCaption(s), L"Viewer V.1.0");
    s.Title = L"Viewer";
    s.Prefix = L"Lite";
    EXPECT_EQ(ProductCaption(s), L"Viewer - Lite 1.0");
    s.Version.clear();
    EXPECT_EQ(ProductCaption(s), L"Viewer - Lite");
    s.Prefix.clear();
    EXPECT_EQ(ProductCaption(s), L"Viewer");
    // The version follows the prefix, so the prefix's end decides the space.
    s.Title = L"Viewer v.";
    s.Prefix = L"Lite";
    s.Version = L"2";
    EXPECT_EQ(ProductCaption(s), L"Viewer v. - Lite 2");
}

}  // namespace
