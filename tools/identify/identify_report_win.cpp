#include "tools/identify/identify_report_win.h"

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <vector>

#include "updater/catalogue/server_folders.h"
#include "updater/identify/adapter_address_win.h"
#include "updater/identify/identification_sources_win.h"
#include "updater/identify/management_text_win.h"
#include "updater/identify/physical_memory_win.h"
#include "updater/identify/system_information_win.h"
#include "updater/identify/windows_version_win.h"
#include "updater/identify/device_profile.h"
#include "updater/shell/startup_rules.h"

namespace {

class Report {
public:
    void Section(const wchar_t *title) { m_text += std::wstring(m_text.empty() ? L"" : L"\n") + L"[" + title + L"]\n"; }
    void Line(const std::wstring &name, const std::wstring &value) {
        m_text += name + L": " + value + L"\n";
    }
    const std::wstring &Text() const { return m_text; }

private:
    std::wstring m_text;
};

std::wstring Quoted(const std::wstring &text) { return L"\"" + text + L"\""; }

std::wstring Hex(unsigned value, int digits) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%0*X", digits, value);
    return text;
}

void SystemTextLines(Report &r, const SystemTexts &texts) {
    r.Line(L"manufacturer", Quoted(texts.manufacturer));
    r.Line(L"product name", Quoted(texts.productName));
    r.Line(L"version", Quoted(texts.version));
    r.Line(L"serial number", Quoted(texts.serialNumber));
}

std::wstring ScanText(const BiosScanResult &scan) {
    std::wstring text = scan.makerFound ? L"maker mark at " + Hex(scan.makerAddress, 5)
                                        : L"no maker mark";
    if (scan.board)
        text += L", board code \"" + std::wstring(scan.board->code, scan.board->code +
                                                  std::strlen(scan.board->code)) +
                L"\" at " + Hex(scan.boardAddress, 5) + L" (" + scan.board->modelName + L")";
    else
        text += L", no board code";
    return text;
}

void MemorySection(Report &r) {
    r.Section(L"Physical memory");
    CPhysicalMemory memory;
    if (!memory.Open()) {
        r.Line(L"route", L"none (physical memory cannot be read; the firmware table is used)");
        return;
    }
    r.Line(L"route", memory.OpenedRoute() == CPhysicalMemory::Route::Section
                         ? L"section \"\\Device\\PhysicalMemory\""
                         : L"driver \"\\\\.\\pmio\" (" + memory.DriverFilePath() + L")");
    SystemTexts texts;
    SmbiosMemoryResult details;
    const bool read = ReadSystemInformationFromMemory(texts, memory, &details);
    r.Line(L"BIOS area", read ? L"read" : L"not readable");
    for (const SmbiosEntryPoint &e : details.entryPoints)
        r.Line(L"entry point",
               std::wstring(e.legacy ? L"_DMI_" : L"_SM_") + L" " + std::to_wstring(e.major) + L"." +
                   std::to_wstring(e.minor) + L" at " + Hex(kBiosAreaAddress + e.offset, 5) +
                   L", table " + Hex(e.tableAddress, 8) + L", " + std::to_wstring(e.tableLength) +
                   L" bytes, " + std::to_wstring(e.structureCount) + L" structures");
    SystemTextLines(r, texts);
    std::wstring model;
    BiosScanResult scan;
    ScanMidBiosArea(memory, model, scan);
    r.Line(L"MID scan", ScanText(scan));
    scan = BiosScanResult();
    ScanCmpcBiosArea(memory, model, scan);
    r.Line(L"CMPC scan", ScanText(scan));
    memory.Close();
}

void FirmwareSection(Report &r) {
    r.Section(L"Firmware table");
    SystemTexts texts;
    int major = 0, minor = 0;
    if (!ReadSystemInformationFromFirmware(texts, &major, &minor)) {
        r.Line(L"table", L"not available");
        return;
    }
    r.Line(L"SMBIOS version", std::to_wstring(major) + L"." + std::to_wstring(minor));
    SystemTextLines(r, texts);
}

void ManagementSection(Report &r) {
    r.Section(L"Management instrumentation");
    std::wstring text, source;
    const int result = QueryManagementText(text, &source);
    if (result < 0)
        r.Line(L"result", L"failed (WMI could not be asked)");
    else if (result == 0)
        r.Line(L"result", L"no object");
    else {
        r.Line(L"result", source);
        r.Line(L"text", Quoted(text));
    }
}

void AdapterSection(Report &r) {
    r.Section(L"Network adapters");
    std::vector<NetworkAdapter> adapters;
    if (!ListNetworkAdapters(adapters) || adapters.empty()) {
        r.Line(L"adapters", L"none listed");
        return;
    }
    for (const NetworkAdapter &a : adapters)
        r.Line(L"adapter", a.address + L" " + Quoted(a.description));
}

std::wstring WindowsSection(Report &r) {
    r.Section(L"Windows");
    std::wstring name;
    WindowsVersionFacts facts;
    unsigned build = 0;
    if (!GetWindowsProductName(name, &facts, &build)) {
        r.Line(L"product name", L"version not readable");
        return name;
    }
    r.Line(L"product name", Quoted(name));
    r.Line(L"reported", L"platform " + std::to_wstring(facts.platform) + L", version " +
                            std::to_wstring(facts.major) + L"." + std::to_wstring(facts.minor) +
                            L" build " + std::to_wstring(build) + L", product type " +
                            std::to_wstring(facts.productType));
    return name;
}

void ProfileSection(Report &r, const std::wstring &windowsProductName) {
    r.Section(L"Identification");
    SystemIdentificationSources sources;
    std::wstring family;
    Identification found;
    if (IdentifyAnyFamily(sources, family, found))
        r.Line(L"identified as", family);
    else
        r.Line(L"identified as", L"nothing (neither MID nor CMPC)");

    const DeviceProfile profile = BuildDeviceProfile(
        {family, found.modelName, found.modelSuffix, found.serial}, windowsProductName);
    r.Section(L"Device profile");
    r.Line(L"family", profile.family);
    r.Line(L"model name", profile.modelName);
    r.Line(L"model suffix", profile.modelSuffix);
    r.Line(L"serial text", profile.serial);
    r.Line(L"Windows name", profile.windowsName);
    r.Line(L"region", profile.region);
    r.Line(L"product key", ProductKeyPath(profile.family));

    r.Section(L"Server folders");
    r.Line(L"family folder", FamilyFolder(profile));
    r.Line(L"model folder", ModelFolder(profile));
    r.Line(L"board folder", BoardFolder(profile));
    r.Line(L"second report folder", SecondReportFolder(profile, GetSystemDefaultLangID()));
}

}  // namespace

std::wstring BuildIdentifyReport() {
    Report r;
    MemorySection(r);
    FirmwareSection(r);
    ManagementSection(r);
    AdapterSection(r);
    const std::wstring windows = WindowsSection(r);
    ProfileSection(r, windows);
    return r.Text();
}

const wchar_t *IdentifyReportHelp() {
    return LR"(Usage: tessel-identify [--help]

Prints what Tessel, the update manager, learns about this device at start-up,
source by source, and the device profile and update-server folders that follow.
Run it as administrator on the device (from a command prompt) and send the output
to support when the device gets no updates.

[Physical memory]  the BIOS area below 1 MiB, read as Tessel reads it
  route           "section" (the kernel's physical-memory section) or "driver"
                  (the pmio.sys driver Tessel carries), or none: then only the
                  firmware table below counts
  BIOS area       whether the 64 KiB from 0xF0000 could be read
  entry point     each valid SMBIOS entry point: kind, version, table address,
                  table length and structure count; a later one wins
  manufacturer, product name, version, serial number
                  the System Information strings through this route
                  ("Not Specified": string 0; "<BAD INDEX>": a string missing)
  MID scan        the maker mark "PARVONI" and the board code (9HD6, 9HK4_,
                  9HW3_, 9HK12, 9HP3E, 9HP3X) found in the pages 0xF1000-0xFFFFF
  CMPC scan       the maker mark at a paragraph start in the same pages

[Firmware table]   Windows' copy of the SMBIOS table (GetSystemFirmwareTable)
  SMBIOS version  from the table's header; below 2.1 the strings stay empty
  manufacturer .. serial number   as above, without substitutions

[Management instrumentation]  WMI, asked when the firmware did not tell
  result          the class and property that answered, "no object", or failed
  text            Win32_ComputerSystemProduct.Name (else Win32_BaseBoard.Product)

[Network adapters] every adapter: hardware address and description; a CMPC's
                  serial text is the address of its "802.11 USB Wireless LAN Card"

[Windows]
  product name    the name the version table gives ("Microsoft Windows 7", ...)
  reported        what the system reported: platform, version, build, product type

[Identification]   the family that identified the device: MID is tried first,
                  CMPC only when MID did not match

[Device profile]   what Tessel keeps: family, model name, model suffix (a leading
                  "EX " removed), serial text (a serial starting "HC00" makes the
                  model "marbo K12"), Windows name (XP, Vista, else Win7), region,
                  and the registry key Tessel records its version in

[Server folders]   where Tessel looks on the update server
  family folder   /[family]
  model folder    family folder/model name: the catalogue of this model
  board folder    first four characters of the serial text, 0000 when empty
  second report folder  the folder this device creates to report itself:
                  /[family]/[]/(board) (model) (suffix) (language)
)";
}
