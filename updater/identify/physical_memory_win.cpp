#include "updater/identify/physical_memory_win.h"

#include <winternl.h>

#include <atomic>
#include <cstring>

#include "common/system_function_win.h"

#include "updater/identify/memory_driver_service_win.h"

namespace {

// The native section functions, taken from ntdll.dll once for every object.
typedef LONG(NTAPI *ZwOpenSectionFn)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES);
typedef LONG(NTAPI *ZwMapViewOfSectionFn)(HANDLE, HANDLE, PVOID *, ULONG_PTR, SIZE_T,
                                          PLARGE_INTEGER, PSIZE_T, DWORD, ULONG, ULONG);
typedef LONG(NTAPI *ZwUnmapViewOfSectionFn)(HANDLE, PVOID);
typedef VOID(NTAPI *RtlInitUnicodeStringFn)(PUNICODE_STRING, PCWSTR);

struct NtdllBinding {
    ZwOpenSectionFn openSection = FindSystemFunction<ZwOpenSectionFn>(L"ntdll.dll", "ZwOpenSection");
    ZwMapViewOfSectionFn mapView =
        FindSystemFunction<ZwMapViewOfSectionFn>(L"ntdll.dll", "ZwMapViewOfSection");
    ZwUnmapViewOfSectionFn unmapView =
        FindSystemFunction<ZwUnmapViewOfSectionFn>(L"ntdll.dll", "ZwUnmapViewOfSection");
    RtlInitUnicodeStringFn initUnicodeString =
        FindSystemFunction<RtlInitUnicodeStringFn>(L"ntdll.dll", "RtlInitUnicodeString");

    bool Complete() const { return openSection && mapView && unmapView && initUnicodeString; }
};

const NtdllBinding &CurrentBinding() {
    static const NtdllBinding binding;
    return binding;
}

// Set once the driver's service failed to start in this process: a driver
// that did not start will not start a moment later, and under Wine (which
// never starts it) each attempt costs seconds.
std::atomic<bool> g_driverStartFailed{false};

const ACCESS_MASK kSectionMapRead = 4; // SECTION_MAP_READ
const DWORD kViewShare = 1;

} // namespace

CPhysicalMemory::~CPhysicalMemory() { Close(); }

bool CPhysicalMemory::Open() {
    Close();
    if (!CreatePageBuffer())
        return false;
    if (OpenSection() || OpenDriver())
        return true;
    DropPageBuffer();
    return false;
}

void CPhysicalMemory::Close() {
    m_section.Reset();
    if (m_driver) {
        m_driver.Reset();
        RemoveMemoryDriverService();
    }
    DropPageBuffer();
}

CPhysicalMemory::Route CPhysicalMemory::OpenedRoute() const {
    if (m_section)
        return Route::Section;
    if (m_driver)
        return Route::Driver;
    return Route::None;
}

bool CPhysicalMemory::OpenSection() {
    const NtdllBinding &binding = CurrentBinding();
    if (!binding.Complete())
        return false;
    UNICODE_STRING name;
    binding.initUnicodeString(&name, L"\\Device\\PhysicalMemory");
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &name, 0, nullptr, nullptr);
    HANDLE section = nullptr;
    if (binding.openSection(&section, kSectionMapRead, &attributes) < 0 || !section)
        return false;
    m_section.Reset(section);
    return true;
}

// Only the drivers folder's copy is ever loaded. When the service does not
// start there is no device to open, so none is waited for.
bool CPhysicalMemory::OpenDriver() {
    m_driverFilePath = MemoryDriverFilePath();
    const bool fileIsImage = WriteMemoryDriverFile(m_driverFilePath);
    m_driver = OpenMemoryDriverDevice();
    if (m_driver)
        return true;
    if (fileIsImage && !g_driverStartFailed) {
        const DriverServiceStart start = InstallMemoryDriverService(m_driverFilePath);
        if (start == DriverServiceStart::Running)
            m_driver = OpenMemoryDriverDevice();
        else if (start == DriverServiceStart::StartFailed)
            g_driverStartFailed = true;
    }
    if (m_driver)
        return true;
    RemoveMemoryDriverService();
    return false;
}

bool CPhysicalMemory::LoadPage(uint32_t address, unsigned char *page) {
    if (m_driver)
        return ReadPageThroughDriver(m_driver.Get(), address, page);
    if (m_section)
        return LoadPageFromSection(address, page);
    return false;
}

// The system may round the view's offset down to its allocation granularity
// (64 KiB) and says so in the offset and size it hands back: the page is found
// at its distance from the offset actually mapped.
bool CPhysicalMemory::LoadPageFromSection(uint32_t address, unsigned char *page) {
    const NtdllBinding &binding = CurrentBinding();
    if (!binding.Complete())
        return false;
    const uint32_t pageBase = address - address % kPageSize;
    LARGE_INTEGER offset;
    offset.QuadPart = pageBase;
    SIZE_T viewSize = kPageSize;
    PVOID view = nullptr;
    if (binding.mapView(m_section.Get(), GetCurrentProcess(), &view, 0, kPageSize, &offset, &viewSize,
                        kViewShare, 0, PAGE_READONLY) < 0 ||
        !view)
        return false;
    const uint64_t skip = pageBase - static_cast<uint64_t>(offset.QuadPart);
    const bool inside = offset.QuadPart <= pageBase && skip + kPageSize <= viewSize;
    if (inside)
        std::memcpy(page, static_cast<const unsigned char *>(view) + skip, kPageSize);
    binding.unmapView(GetCurrentProcess(), view);
    return inside;
}
