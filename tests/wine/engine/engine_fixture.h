#ifndef TESTS_WINE_ENGINE_ENGINE_FIXTURE_H
#define TESTS_WINE_ENGINE_ENGINE_FIXTURE_H

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "setup/script/setup_settings.h"
#include "tests/wine/engine/test_package.h"

// Every test gets its own names (the Wine prefix is shared by the whole run):
// a folder below the temporary folder, a registry tree below HKCU\Software,
// a product title and shortcut names, all removed again afterwards.
class EngineTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string Tag() const;                   // narrow form of the tag, for script lines
    std::wstring Root() const { return root_; }
    // The destination folder as typed, with a doubled separator.
    std::wstring TypedInstallDir() const { return root_ + L"\\\\Viewer"; }
    std::wstring InstallDir() const { return root_ + L"\\Viewer"; }
    std::wstring Package() const { return root_ + L"\\package.exe"; }
    std::wstring Title() const { return tag_ + L" Viewer"; }
    std::wstring UninstallKey() const;
    std::wstring VendorKey() const;   // HKCU\Software\<tag>\Vendor
    std::wstring ViewerKey() const;   // its Viewer sub-key
    std::wstring SettingsKey() const; // HKCU\Software\<tag>\Settings

    // What start-up reads from the package, then the folder the destination
    // page would have chosen.
    SetupSettings InstallSettings() const;
    // Writes `package` to Package() with the installer marker.
    void WritePackage(const TestPackage &package);

    static const std::string kProgram;     // the fake setup program image
    static const std::string kViewerBytes;

    std::wstring tag_;
    std::wstring root_;
};

std::wstring Widen(const std::string &text);
std::wstring CommonFolder(int csidl);

#endif
