#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/unit/identify/bios_image.h"
#include "updater/identify/device_identification.h"
#include "updater/identify/device_profile.h"

namespace {

// A device as the sources see it. Every field left alone is a source that has nothing.
struct Device {
    std::unique_ptr<MemoryImage> memory;  // null: physical memory cannot be opened
    bool memoryTextsRead = true;
    SystemTexts memoryTexts;
    bool firmwareRead = true;
    SystemTexts firmwareTexts;
    std::vector<int> managementResults = {1};  // the last one repeats
    uint32_t queryMs = 30;
    std::wstring managementText = L"Wine";
    std::wstring adapterDescription;
    std::wstring adapterAddress;
};

class DeviceSources : public IdentificationSources {
public:
    explicit DeviceSources(Device &device) : m_device(device) {}

    PhysicalReader *OpenMemory() override {
        ++opens;
        return m_device.memory.get();
    }
    void CloseMemory() override { ++closes; }
    bool ReadMemoryTexts(PhysicalReader &, SystemTexts &texts) override {
        texts = m_device.memoryTexts;
        return m_device.memoryTextsRead;
    }
    bool ReadFirmwareTexts(SystemTexts &texts) override {
        ++firmwareReads;
        texts = m_device.firmwareTexts;
        return m_device.firmwareRead;
    }
    int QueryManagementText(std::wstring &text, uint32_t timeLimitMs) override {
        const auto &r = m_device.managementResults;
        int result = r[std::min(queries, r.size() - 1)];
        ++queries;
        // A query takes time of its own; one that would take longer than allowed
        // is given up at the limit.
        m_now += std::min(m_device.queryMs, timeLimitMs);
        if (m_device.queryMs > timeLimitMs)
            return -1;
        if (result >= 0)
            text = result == 1 ? m_device.managementText : L"";
        return result;
    }
    bool GetAdapterAddress(std::wstring &text, const std::wstring &prefix) override {
        text.clear();
        if (m_device.adapterDescription.compare(0, prefix.size(), prefix) != 0)
            return false;
        text = m_device.adapterAddress;
        return true;
    }
    uint32_t TickCount() override { return m_now; }
    void Wait(uint32_t ms) override { m_now += ms; }

    size_t queries = 0;
    int opens = 0, closes = 0, firmwareReads = 0;
    uint32_t m_now = 0xFFFFF000u;  // the tick count wraps during the bound

private:
    Device &m_device;
};

SystemTexts Texts(const wchar_t *maker, const wchar_t *product, const wchar_t *serial) {
    return {maker, product, L"1.0", serial};
}

struct Expect {
    bool found;
    const wchar_t *model;
    const wchar_t *suffix;
    const wchar_t *serial;
};

void Check(const char *name, const wchar_t *family, Device &device, Expect e,
           size_t queries) {
    SCOPED_TRACE(name);
    DeviceSources sources(device);
    Identification result;
    result.modelName = L"stale";
    EXPECT_EQ(e.found, IdentifyDevice(family, sources, result));
    EXPECT_EQ(e.model, result.modelName);
    EXPECT_EQ(e.suffix, result.modelSuffix);
    EXPECT_EQ(e.serial, result.serial);
    EXPECT_EQ(queries, sources.queries);
    EXPECT_EQ(sources.opens, sources.closes + (device.memory ? 0 : 1));
    EXPECT_EQ(device.memory ? 0 : 1, sources.firmwareReads);
}

std::unique_ptr<MemoryImage> BiosWith(uint32_t address, const std::string &bytes) {
    auto memory = std::make_unique<MemoryImage>();
    memory->Put(address, bytes);
    return memory;
}

TEST(Identification, FirmwareRoute) {
    {
        Device d;
        d.firmwareTexts = Texts(L"pvmf_parvoni", L"PVMD_K4 EX", L"PVSN_9HK40001");
        Check("K4", L"MID", d, {true, L"marbo K4", L"EX", L"9HK40001"}, 0);
        Check("empty family is MID", L"", d, {true, L"marbo K4", L"EX", L"9HK40001"}, 0);
        Check("the same device as a CMPC", L"CMPC", d, {false, L"", L"", L""}, 1);
    }
    {
        Device d;
        d.firmwareTexts = Texts(L"PVMF_Parvoni", L"Unknown board", L"9HK40001");
        Check("maker without a tag or serial tag", L"MID", d, {true, L"", L"", L""}, 0);
    }
    {
        Device d;
        d.firmwareTexts = Texts(L"PVMF_Parvoni Co", L"PVMD_K4", L"PVSN_1");
        d.managementText = L"Wine";
        Check("manufacturer must be the whole text", L"MID", d, {false, L"", L"", L""}, 1);
    }
    {
        Device d;
        d.firmwareTexts = Texts(L"Intel", L"intel POWERED classmate pc", L"");
        d.adapterDescription = L"802.11 USB Wireless LAN Card #2";
        d.adapterAddress = L"0011223344AA";
        Check("classmate", L"cmpc", d, {true, L"marbo CMPC", L"", L"0011223344AA"}, 0);
        Check("classmate asked as a MID", L"MID", d, {false, L"", L"", L""}, 1);
        d.adapterDescription = L"Realtek Ethernet";
        Check("classmate without its adapter", L"CMPC", d, {true, L"marbo CMPC", L"", L""}, 0);
    }
    {
        Device d;
        d.firmwareTexts = Texts(L"Intel", L"Intel powered classmate PC 2", L"");
        d.managementText = L"Intel powered classmate PC 2";
        Check("product name longer than the classmate's, but WMI's prefix matches", L"CMPC",
              d, {true, L"marbo CMPC", L"", L""}, 1);
    }
}

TEST(Identification, ManagementInstrumentation) {
    {
        Device d;
        d.firmwareTexts = Texts(L"ACME", L"PVMD_P3PRO 2", L"PVSN_X");
        d.managementText = L"PVMD_P3PRO 2";
        Check("another maker's firmware with a model tag", L"MID", d,
              {true, L"marbo P3 PRO", L"2", L""}, 1);
    }
    {
        Device d;
        d.firmwareRead = false;
        d.managementText = L"pvmd_unknown";
        Check("a tag prefix without a known tag", L"MID", d, {true, L"", L"", L""}, 1);
    }
    {
        Device d;
        d.managementResults = {-1, -1, -1, 1};
        d.managementText = L"PVMD_K2";
        Check("failures are retried", L"MID", d, {true, L"marbo K2", L"", L""}, 4);
    }
    {
        Device d;
        d.managementResults = {-1, 0};
        d.managementText = L"PVMD_K2";
        Check("no object ends the asking", L"MID", d, {false, L"", L"", L""}, 2);
    }
    {
        Device d;
        d.managementResults = {-1};
        DeviceSources sources(d);
        Identification result;
        const uint32_t start = sources.m_now;
        EXPECT_FALSE(IdentifyDevice(L"MID", sources, result));
        const uint32_t elapsed = sources.m_now - start;
        EXPECT_GE(elapsed, kManagementTimeLimit);
        EXPECT_LT(elapsed, kManagementTimeLimit + 200);
        EXPECT_EQ(20000u / 130 + 1, sources.queries);
    }
    {
        // WMI that answers after 15 s, too late: the second attempt gets only the
        // rest of the bound.
        Device d;
        d.managementResults = {-1, 1};
        d.queryMs = 15000;
        d.managementText = L"PVMD_K2";
        DeviceSources sources(d);
        Identification result;
        const uint32_t start = sources.m_now;
        EXPECT_FALSE(IdentifyDevice(L"MID", sources, result));
        EXPECT_LE(sources.m_now - start, kManagementTimeLimit + kManagementRetryDelay);
        EXPECT_EQ(2u, sources.queries);
    }
}

TEST(Identification, PhysicalMemoryRoute) {
    {
        Device d;
        d.memory = BiosWith(0xF3000, "9HK4_");
        d.memoryTexts = Texts(L"PVMF_Parvoni", L"PVMD_W30 EX-H Rev2", L"PVSN_A1B2");
        d.firmwareTexts = Texts(L"never", L"read", L"");
        Check("a tag replaces the board code's model", L"MID", d,
              {true, L"marbo W30 EX-H", L"Rev2", L"A1B2"}, 0);
    }
    {
        Device d;
        d.memory = BiosWith(0xF3000, "9HK4_");
        d.memoryTexts = Texts(L"PVMF_Parvoni", L"Board", L"");
        Check("the board code's model stays without a tag", L"MID", d,
              {true, L"marbo K4", L"", L""}, 0);
    }
    {
        Device d;
        d.memory = BiosWith(0xF1000, "PARVONI");
        d.memoryTexts = Texts(L"OEM", L"OEM", L"");
        Check("a maker mark alone identifies but still asks WMI", L"MID", d,
              {true, L"marbo MID", L"", L""}, 1);
        d.managementText = L"PVMD_P3";
        Check("WMI's tag comes last", L"MID", d, {true, L"marbo P3 PRO", L"", L""}, 1);
        Check("as a CMPC", L"CMPC", d, {true, L"marbo CMPC", L"", L""}, 1);
    }
    {
        Device d;
        d.memory = BiosWith(0xF1000, "XPARVONI");
        d.memoryTextsRead = false;
        d.memoryTexts = Texts(L"PVMF_Parvoni", L"PVMD_K4", L"");
        Check("texts not read count for nothing; the mark off a paragraph start is a MID's",
              L"MID", d, {true, L"marbo MID", L"", L""}, 1);
        Check("but not a CMPC's", L"CMPC", d, {false, L"", L"", L""}, 1);
    }
}

// Start-up's order and the profile it keeps, from the sources to the texts the server
// folders are named by.
TEST(Identification, StartUpProfile) {
    struct Case {
        const char *name;
        SystemTexts firmware;
        const wchar_t *windows;
        DeviceProfile expected;
    };
    auto profile = [](const wchar_t *family, const wchar_t *model, const wchar_t *suffix,
                      const wchar_t *serial, const wchar_t *windows) {
        DeviceProfile p;
        p.family = family;
        p.modelName = model;
        p.modelSuffix = suffix;
        p.serial = serial;
        p.windowsName = windows;
        return p;
    };
    const Case cases[] = {
        {"K4", Texts(L"PVMF_Parvoni", L"PVMD_K4 EX", L"PVSN_9HK40001"), L"Microsoft Windows 7",
         profile(L"MID", L"marbo K4", L"EX", L"9HK40001", L"Win7")},
        {"W30 EX-H", Texts(L"PVMF_Parvoni", L"PVMD_W30 EX-H Rev2", L""), L"Microsoft Windows XP",
         profile(L"MID", L"marbo W30 EX-H", L"Rev2", L"", L"XP")},
        {"EX and blank leave the suffix", Texts(L"PVMF_Parvoni", L"PVMD_P3 PRO EX 5", L""),
         L"Microsoft Windows Vista", profile(L"MID", L"marbo P3 PRO", L"5", L"", L"Vista")},
        {"HC00 serial", Texts(L"PVMF_Parvoni", L"PVMD_K4", L"PVSN_hc0012 \r\n"), L"",
         profile(L"MID", L"marbo K12", L"", L"hc0012", L"Win7")},
        {"classmate", Texts(L"Intel", L"Intel powered classmate PC", L""), L"Microsoft Windows XP",
         profile(L"CMPC", L"marbo CMPC", L"", L"", L"XP")},
        {"nobody's", Texts(L"ACME", L"Box", L""), L"Microsoft Windows XP Professional x64 Edition",
         profile(L"", L"", L"", L"", L"Win7")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Device d;
        d.firmwareTexts = c.firmware;
        DeviceSources sources(d);
        std::wstring family;
        Identification found;
        IdentifyAnyFamily(sources, family, found);
        DeviceProfile p = BuildDeviceProfile(
            {family, found.modelName, found.modelSuffix, found.serial}, c.windows);
        EXPECT_EQ(c.expected.family, p.family);
        EXPECT_EQ(c.expected.modelName, p.modelName);
        EXPECT_EQ(c.expected.modelSuffix, p.modelSuffix);
        EXPECT_EQ(c.expected.serial, p.serial);
        EXPECT_EQ(c.expected.windowsName, p.windowsName);
    }
}

}  // namespace
