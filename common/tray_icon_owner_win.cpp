#include "common/tray_icon_owner.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>

#include "common/remote_memory_win.h"
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
    CRemoteMemory remote(processId, sizeof(TrayButton));
    if (!remote.Ready()) return nullptr;
    for (LRESULT i = 0; i < count; ++i) {
        if (!SendMessageW(toolbar, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(remote.At())))
            continue;
        TrayButton button;
        TrayIconRecord record;
        if (!remote.Read(0, &button, sizeof button) || button.data == 0) continue;
        if (!remote.ReadFrom(reinterpret_cast<const void *>(std::uintptr_t(button.data)), &record,
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
