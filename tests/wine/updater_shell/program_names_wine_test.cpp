#include <windows.h>

#include <gtest/gtest.h>

#include "common/text.h"
#include "updater/catalogue/program_names_win.h"

namespace {

TEST(InstalledFile, LiesInTheSystemsProgramFilesAndDriverFolders) {
    // A fresh 32-bit prefix: C:\Program Files and C:\windows.
    EXPECT_TRUE(EqualsNoCase(L"C:\\Program Files\\marboDMB\\dmbplayer.exe",
                             GetInstalledFile(L"marboDMB")))
        << GetInstalledFile(L"marboDMB");
    EXPECT_TRUE(EqualsNoCase(L"C:\\windows\\system32\\drivers\\hwinterface.sys",
                             GetInstalledFile(L"System Driver")))
        << GetInstalledFile(L"System Driver");
}

}  // namespace
