#include "common/tray_icon_owner.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>

#include "common/text.h"

namespace {

// Layouts as the 32-bit shell keeps them.
struct TrayButton {
    std::int32_t bitmap;
    std::int32_t command;
    std::uint8_t state;
    std::uint8_t style;
    std::uint8_t reserved[2];
    std::uint32_t data;
    std::int32_t text;
};
static_assert(sizeof(TrayButton) == 20, "the shell's 32-bit button structure");

struct TrayIconRecord {
    std::uint32_t owner;
    std::uint32_t rest[5];
};
static_assert(sizeof(TrayIconRecord) == 24, "the part of the icon record that is read");

bool OwnerMatches(HWND owner, const std::wstring &classPrefix, const std::wstring &titlePrefix) {
    wchar_t text[261];
    if (!classPrefix.empty()) {
        int n = GetClassNameW(owner, text, 261);
        if (n > 0 && StartsWithNoCase(std::wstring(text, size_t(n)), classPrefix)) return true;
    }
    if (!titlePrefix.empty()) {
        int n = GetWindowTextW(owner, text, 261);
        if (n > 0 && StartsWithNoCase(std::wstring(text, size_t(n)), titlePrefix)) return true;
    }
    return false;
}

// Memory for one button structure inside the toolbar's process.
class RemoteButtonBuffer {
  public:
    explicit RemoteButtonBuffer(DWORD processId)
        : process_(OpenProcess(
              PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
              FALSE, processId)) {
        if (process_)
            memory_ = VirtualAllocEx(process_, nullptr, sizeof(TrayButton),
                                     MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteButtonBuffer() {
        if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteButtonBuffer(const RemoteButtonBuffer &) = delete;
    RemoteButtonBuffer &operator=(const RemoteButtonBuffer &) = delete;

    bool Ready() const { return memory_ != nullptr; }
    void *Address() const { return memory_; }

    bool Read(const void *address, void *out, size_t size) const {
        SIZE_T got = 0;
        return ReadProcessMemory(process_, address, out, size, &got) && got == size;
    }

  private:
    HANDLE process_;
    void *memory_ = nullptr;
};

}  // namespace

HWND FindTrayToolbarBelow(HWND trayWindow) {
    if (!trayWindow) return nullptr;
    HWND notify = FindWindowExW(trayWindow, nullptr, L"TrayNotifyWnd", nullptr);
    HWND pager = notify ? FindWindowExW(notify, nullptr, L"SysPager", nullptr) : nullptr;
    return pager ? FindWindowExW(pager, nullptr, L"ToolbarWindow32", nullptr) : nullptr;
}

HWND FindTrayToolbar() { return FindTrayToolbarBelow(FindWindowW(L"Shell_TrayWnd", nullptr)); }

HWND FindTrayIconOwnerIn(HWND toolbar, const std::wstring &classPrefix,
                         const std::wstring &titlePrefix) {
    if (!toolbar || (classPrefix.empty() && titlePrefix.empty())) return nullptr;
    DWORD processId = 0;
    GetWindowThreadProcessId(toolbar, &processId);
    if (processId == 0) return nullptr;
    LRESULT count = SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0);
    if (count <= 0) return nullptr;
    RemoteButtonBuffer remote(processId);
    if (!remote.Ready()) return nullptr;
    for (LRESULT i = 0; i < count; ++i) {
        if (!SendMessageW(toolbar, TB_GETBUTTON, WPARAM(i),
                          reinterpret_cast<LPARAM>(remote.Address())))
            continue;
        TrayButton button;
        TrayIconRecord record;
        if (!remote.Read(remote.Address(), &button, sizeof button) || button.data == 0) continue;
        if (!remote.Read(reinterpret_cast<const void *>(std::uintptr_t(button.data)), &record,
                         sizeof record))
            continue;
        HWND owner = reinterpret_cast<HWND>(std::uintptr_t(record.owner));
        if (owner && OwnerMatches(owner, classPrefix, titlePrefix)) return owner;
    }
    return nullptr;
}

HWND FindTrayIconOwner(const std::wstring &classPrefix, const std::wstring &titlePrefix) {
    return FindTrayIconOwnerIn(FindTrayToolbar(), classPrefix, titlePrefix);
}
