#include <gtest/gtest.h>

#include "updater/identify/windows_product.h"

namespace {

int g_architectureAsked = 0;
int Amd64() { ++g_architectureAsked; return 9; }
int X86() { ++g_architectureAsked; return 0; }

TEST(WindowsProductName, EveryRowOfTheTable) {
    struct Case {
        WindowsVersionFacts facts;
        const wchar_t *name;
    };
    const Case cases[] = {
        {{0, 3, 1, 0}, L"Microsoft Win32s"},
        {{1, 4, 0, 0}, L"Microsoft Windows 95"},
        {{1, 4, 10, 0}, L"Microsoft Windows 98"},
        {{1, 4, 90, 0}, L"Microsoft Windows Millennium Edition"},
        {{1, 4, 20, 0}, L""},
        {{1, 5, 0, 0}, L""},
        {{2, 6, 1, 1}, L"Microsoft Windows 7"},
        {{2, 6, 1, 3}, L"Microsoft Windows 7"},
        {{2, 6, 0, 1}, L"Microsoft Windows Vista"},
        {{2, 6, 0, 0}, L"Windows Server \"Longhorn\""},  // basic record only
        {{2, 6, 0, 3}, L"Windows Server \"Longhorn\""},
        {{2, 6, 2, 1}, L""},
        {{2, 6, 3, 1}, L""},
        {{2, 5, 2, 1, true, Amd64}, L"Microsoft Windows Server 2003 \"R2\""},
        {{2, 5, 2, 1, false, Amd64}, L"Microsoft Windows XP Professional x64 Edition"},
        {{2, 5, 2, 3, false, Amd64}, L"Microsoft Windows Server 2003"},
        {{2, 5, 2, 1, false, X86}, L"Microsoft Windows Server 2003"},
        {{2, 5, 2, 1, false, nullptr}, L"Microsoft Windows Server 2003"},
        {{2, 5, 1, 1}, L"Microsoft Windows XP"},
        {{2, 5, 1, 0}, L"Microsoft Windows XP"},
        {{2, 5, 0, 1}, L"Microsoft Windows 2000"},
        {{2, 4, 0, 1}, L"Microsoft Windows NT"},
        {{2, 3, 51, 1}, L"Microsoft Windows NT"},
        {{2, 7, 0, 1}, L""},
        {{2, 10, 0, 1}, L""},
        {{3, 6, 1, 1}, L""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.facts.platform << ' ' << c.facts.major << '.'
                                        << c.facts.minor << " type " << c.facts.productType);
        EXPECT_EQ(c.name, WindowsProductNameOf(c.facts));
    }
}

TEST(WindowsProductName, ArchitectureAskedOnlyForVersion52) {
    g_architectureAsked = 0;
    WindowsProductNameOf({2, 6, 1, 1, false, Amd64});
    WindowsProductNameOf({2, 5, 1, 1, false, Amd64});
    EXPECT_EQ(0, g_architectureAsked);
    WindowsProductNameOf({2, 5, 2, 1, false, Amd64});
    EXPECT_EQ(1, g_architectureAsked);
}

}  // namespace
