// List views of another process: their item records must live in the owner's
// address space, so each call borrows a block there with VirtualAllocEx.
#include "tests/driver/window_driver.h"

#include <commctrl.h>

#include "common/remote_memory_win.h"

namespace windriver {

namespace {

constexpr UINT kSendTimeoutMs = 5000;
constexpr int kTextChars = 1024;

// A block of memory in the list view's process, freed with the object.
class RemoteBlock : public CRemoteMemory {
public:
    RemoteBlock(HWND owner, SIZE_T size) : CRemoteMemory(OwnerProcess(owner), size) {}
    bool Ok() const { return Ready(); }

private:
    static DWORD OwnerProcess(HWND owner) {
        DWORD pid = 0;
        GetWindowThreadProcessId(owner, &pid);
        return pid;
    }
};

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR &result) {
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                               &result) != 0;
}

int ColumnCount(HWND listView) {
    DWORD_PTR header = 0, count = 0;
    if (!Send(listView, LVM_GETHEADER, 0, 0, header) || header == 0) return 1;
    if (!Send(reinterpret_cast<HWND>(header), HDM_GETITEMCOUNT, 0, 0, count)) return 1;
    int columns = static_cast<int>(static_cast<INT_PTR>(count));
    return columns > 0 ? columns : 1;
}

bool HasCheckBoxes(HWND listView) {
    DWORD_PTR style = 0;
    return Send(listView, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0, style) &&
           (style & LVS_EX_CHECKBOXES) != 0;
}

bool ReadCell(HWND listView, const RemoteBlock &block, int row, int column, std::wstring &text) {
    const SIZE_T textOffset = sizeof(LVITEMW);
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = reinterpret_cast<LPWSTR>(block.At(textOffset));
    item.cchTextMax = kTextChars;
    const wchar_t empty = 0;
    DWORD_PTR length = 0;
    if (!block.Write(0, &item, sizeof item) || !block.Write(textOffset, &empty, sizeof empty) ||
        !Send(listView, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(block.At(0)), length))
        return false;
    if (length >= static_cast<DWORD_PTR>(kTextChars)) length = kTextChars - 1;
    text.assign(length, L'\0');
    return length == 0 || block.Read(textOffset, &text[0], length * sizeof(wchar_t));
}

bool Checked(HWND listView, int row) {
    DWORD_PTR state = 0;
    Send(listView, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK, state);
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

int RowCount(HWND listView) {
    DWORD_PTR count = 0;
    if (!Send(listView, LVM_GETITEMCOUNT, 0, 0, count)) return -1;
    return static_cast<int>(static_cast<INT_PTR>(count));
}

// A client point on the row's check box, found by hit-testing along the row.
bool CheckBoxPoint(HWND listView, int row, POINT &point) {
    RemoteBlock block(listView, sizeof(RECT) + sizeof(LVHITTESTINFO));
    if (!block.Ok()) return false;
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    DWORD_PTR ok = 0;
    if (!block.Write(0, &bounds, sizeof bounds) ||
        !Send(listView, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(block.At(0)), ok) || !ok ||
        !block.Read(0, &bounds, sizeof bounds))
        return false;
    const int y = (bounds.top + bounds.bottom) / 2;
    for (int x = bounds.left; x < bounds.left + 48 && x < bounds.right; ++x) {
        LVHITTESTINFO hit = {};
        hit.pt.x = x;
        hit.pt.y = y;
        DWORD_PTR index = 0;
        if (!block.Write(sizeof(RECT), &hit, sizeof hit) ||
            !Send(listView, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(block.At(sizeof(RECT))),
                  index) ||
            !block.Read(sizeof(RECT), &hit, sizeof hit))
            return false;
        if (hit.iItem == row && (hit.flags & LVHT_ONITEMSTATEICON)) {
            // The middle of the box: step a few pixels past its left edge.
            point.x = x + 4;
            point.y = y;
            return true;
        }
    }
    return false;
}

}  // namespace

bool ReadListRows(HWND listView, std::vector<ListRow> &rows) {
    rows.clear();
    const int count = RowCount(listView);
    if (count < 0) return false;
    if (count == 0) return true;
    RemoteBlock block(listView, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t));
    if (!block.Ok()) return false;
    const int columns = ColumnCount(listView);
    const bool boxes = HasCheckBoxes(listView);
    for (int row = 0; row < count; ++row) {
        ListRow entry;
        for (int column = 0; column < columns; ++column) {
            std::wstring cell;
            if (!ReadCell(listView, block, row, column, cell)) return false;
            entry.cells.push_back(cell);
        }
        entry.checked = boxes && Checked(listView, row);
        rows.push_back(entry);
    }
    return true;
}

bool SetListCheck(HWND listView, int row, bool checked) {
    if (row < 0 || row >= RowCount(listView)) return false;
    RemoteBlock block(listView, sizeof(LVITEMW));
    if (!block.Ok()) return false;
    LVITEMW item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    DWORD_PTR ok = 0;
    return block.Write(0, &item, sizeof item) &&
           Send(listView, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(block.At(0)), ok) &&
           ok && Checked(listView, row) == checked;
}

bool ClickListCheck(HWND listView, int row) {
    if (row < 0 || row >= RowCount(listView)) return false;
    DWORD_PTR ignored = 0;
    Send(listView, LVM_ENSUREVISIBLE, row, FALSE, ignored);
    POINT point;
    if (!CheckBoxPoint(listView, row, point)) return false;
    const LPARAM at = MAKELPARAM(point.x, point.y);
    return PostMessageW(listView, WM_LBUTTONDOWN, MK_LBUTTON, at) &&
           PostMessageW(listView, WM_LBUTTONUP, 0, at);
}

}  // namespace windriver
