// Identification on a simulated device (run inside tests/harness/simulated-device):
// tessel-identify's evidence and profile, Tessel.exe's product key, the Windows name
// for the versions a prefix can report, and start-up's time to the shown window.
//   identify_e2e_test TESSEL_EXE TESSEL_IDENTIFY_EXE [gtest flags]
// The expected profile comes from TESSEL_EXPECT_FAMILY, _MODEL, _SUFFIX, _SERIAL and
// the firmware's texts from TESSEL_DEVICE_VENDOR and _PRODUCT.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "tests/driver/polling.h"
#include "tests/driver/window_driver.h"
#include "tests/e2e/tessel/tessel_process_win.h"

namespace {

std::string g_tesselExe, g_identifyExe;
const wchar_t kProgramFolder[] = L"C:\\Program Files\\TesselIdentify";

std::wstring Env(const char *name) {
    const char *value = std::getenv(name);
    std::string text = value ? value : "";
    return std::wstring(text.begin(), text.end());
}


// "name: value" lines of one "[section]" of the report.
std::map<std::string, std::string> Section(const std::string &report, const std::string &title) {
    std::map<std::string, std::string> lines;
    std::istringstream in(report);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inside = line == "[" + title + "]";
            continue;
        }
        size_t colon = line.find(": ");
        if (inside && colon != std::string::npos)
            lines.emplace(line.substr(0, colon), line.substr(colon + 2));
    }
    return lines;
}

std::string Narrow(const std::wstring &text) { return std::string(text.begin(), text.end()); }

std::string IdentifyReport() {
    std::string report;
    EXPECT_EQ(0u, windriver::RunCaptured(windriver::QuoteArgument(WindowsPathOfUnix(g_identifyExe)), report,
                                         120000))
        << report;
    return report;
}

bool ServiceExists(const wchar_t *name) {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager)
        return false;
    SC_HANDLE service = OpenServiceW(manager, name, SERVICE_QUERY_STATUS);
    if (service)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return service != nullptr;
}

TEST(SimulatedDevice, SupportToolShowsEachSourceAndTheProfile) {
    const std::string report = IdentifyReport();
    SCOPED_TRACE(report);

    auto firmware = Section(report, "Firmware table");
    EXPECT_EQ("\"" + Narrow(Env("TESSEL_DEVICE_VENDOR")) + "\"", firmware["manufacturer"]);
    EXPECT_EQ("\"" + Narrow(Env("TESSEL_DEVICE_PRODUCT")) + "\"", firmware["product name"]);
    // Wine answers WMI from the same firmware table.
    EXPECT_EQ("Win32_ComputerSystemProduct.Name", Section(report, "Management instrumentation")["result"]);
    EXPECT_EQ("\"" + Narrow(Env("TESSEL_DEVICE_PRODUCT")) + "\"",
              Section(report, "Management instrumentation")["text"]);
    // Physical memory cannot be opened under Wine: the firmware route is taken.
    EXPECT_EQ(0u, Section(report, "Physical memory")["route"].rfind("none", 0));

    auto profile = Section(report, "Device profile");
    const std::string family = Narrow(Env("TESSEL_EXPECT_FAMILY"));
    EXPECT_EQ(family, profile["family"]);
    EXPECT_EQ(Narrow(Env("TESSEL_EXPECT_MODEL")), profile["model name"]);
    EXPECT_EQ(Narrow(Env("TESSEL_EXPECT_SUFFIX")), profile["model suffix"]);
    EXPECT_EQ(Narrow(Env("TESSEL_EXPECT_SERIAL")), profile["serial text"]);
    EXPECT_EQ("Win7", profile["Windows name"]);
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Parvoni\\Tessel" + family, profile["product key"]);

    auto folders = Section(report, "Server folders");
    EXPECT_EQ("/[" + family + "]/" + profile["model name"], folders["model folder"]);
    const std::string serial = profile["serial text"];
    const std::string board = serial.empty() ? "0000" : serial.substr(0, 4);
    EXPECT_EQ(board, folders["board folder"]);
    EXPECT_EQ("/[" + family + "]/[]/(" + board + ") (" + profile["model name"] + ") (" +
                  profile["model suffix"] + ") (0409)",
              folders["second report folder"]);
    EXPECT_TRUE(windriver::PollUntil([] { return !ServiceExists(L"pmio"); }, 15000));
}

TEST(SimulatedDevice, TesselRecordsItsVersionUnderTheFamilysKey) {
    const std::wstring family = Env("TESSEL_EXPECT_FAMILY");
    const std::wstring key = L"SOFTWARE\\Parvoni\\Tessel" + family;
    const std::wstring unknownKey = L"SOFTWARE\\Parvoni\\Tessel";
    DeleteMachineKey(key);
    DeleteMachineKey(unknownKey);
    TesselInstall install(g_tesselExe, kProgramFolder);
    ASSERT_TRUE(install.Installed());

    const auto started = std::chrono::steady_clock::now();
    auto tessel = install.Start();
    ASSERT_TRUE(tessel);
    HWND window = WaitMainWindow(tessel->Id());
    ASSERT_TRUE(window);
    ASSERT_TRUE(windriver::PollUntil([&] { return IsWindowVisible(window) != FALSE; }, kTesselStartMs));
    const auto shownAfter = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    // Start-up with the identification of this device, for the record; the bound
    // catches a WMI retry loop (20 s per family) on a device nobody identifies.
    std::printf("start-up to the shown window: %lld ms\n",
                static_cast<long long>(shownAfter.count()));
    EXPECT_LT(shownAfter.count(), 20000);

    std::wstring version;
    EXPECT_TRUE(ReadMachineString(key, L"version", version));
    EXPECT_EQ(L"1.2.E", version);
    if (!family.empty()) {
        std::wstring other;
        EXPECT_FALSE(ReadMachineString(unknownKey, L"version", other));
    }
    EXPECT_TRUE(CloseAndWait(window, *tessel));
    // Wine's service manager drops a deleted driver service once its host lets go.
    EXPECT_TRUE(windriver::PollUntil([] { return !ServiceExists(L"pmio"); }, 15000));
    DeleteMachineKey(key);
}

// The Windows name for each version a prefix can report, set for the tool alone so
// that tests running beside it keep their Windows 7.
TEST(SimulatedDevice, WindowsNameFollowsTheReportedVersion) {
    struct Case {
        const wchar_t *wineVersion;
        const char *productName;
        const char *windowsName;
    };
    const Case cases[] = {
        {L"winxp", "\"Microsoft Windows XP\"", "XP"},
        {L"vista", "\"Microsoft Windows Vista\"", "Vista"},
        {L"win7", "\"Microsoft Windows 7\"", "Win7"},
        {L"win2k", "\"Microsoft Windows 2000\"", "Win7"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(Narrow(c.wineVersion));
        ASSERT_TRUE(ReportWindowsVersionTo(L"tessel-identify.exe", c.wineVersion));
        const std::string report = IdentifyReport();
        EXPECT_EQ(c.productName, Section(report, "Windows")["product name"]) << report;
        EXPECT_EQ(c.windowsName, Section(report, "Device profile")["Windows name"]);
    }
    ReportWindowsVersionTo(L"tessel-identify.exe", L"");
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: identify_e2e_test TESSEL_EXE TESSEL_IDENTIFY_EXE\n");
        return 2;
    }
    g_tesselExe = Narrow(argv[1]);
    g_identifyExe = Narrow(argv[2]);
    return RUN_ALL_TESTS();
}
