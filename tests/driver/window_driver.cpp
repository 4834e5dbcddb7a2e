// Windows, controls, texts and message boxes of another process.
#include "tests/driver/window_driver.h"

#include "tests/driver/polling.h"

#include <commctrl.h>

namespace windriver {

namespace {

constexpr UINT kSendTimeoutMs = 5000;

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// The caption as the system stores it; no message reaches the owner.
std::wstring CaptionOf(HWND window) {
    int length = GetWindowTextLengthW(window);
    if (length <= 0) return std::wstring();
    std::wstring text(length + 1, L'\0');
    int got = GetWindowTextW(window, &text[0], length + 1);
    text.resize(got > 0 ? got : 0);
    return text;
}

bool Matches(HWND window, const WindowQuery &query) {
    if (!IsWindowVisible(window)) return false;
    if (query.processId != 0) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != query.processId) return false;
    }
    if (!query.className.empty() && ClassOf(window) != query.className) return false;
    if (!query.title.empty()) {
        std::wstring caption = CaptionOf(window);
        if (query.titlePart ? caption.find(query.title) == std::wstring::npos
                            : caption != query.title)
            return false;
    }
    return true;
}

struct TopSearch {
    const WindowQuery *query;
    HWND found;
};

BOOL CALLBACK VisitTop(HWND window, LPARAM param) {
    auto *search = reinterpret_cast<TopSearch *>(param);
    if (Matches(window, *search->query)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct ChildSearch {
    int id;
    HWND firstHidden;
    HWND firstVisible;
};

BOOL CALLBACK VisitChild(HWND window, LPARAM param) {
    auto *search = reinterpret_cast<ChildSearch *>(param);
    if (GetDlgCtrlID(window) != search->id) return TRUE;
    if (IsWindowVisible(window)) {
        search->firstVisible = window;
        return FALSE;
    }
    if (!search->firstHidden) search->firstHidden = window;
    return TRUE;
}

bool InState(HWND control, ControlState state) {
    switch (state) {
    case ControlState::Exists: return IsWindow(control) != FALSE;
    case ControlState::Visible: return IsShown(control);
    case ControlState::Enabled: return IsShown(control) && IsEnabledControl(control);
    }
    return false;
}

struct BoxSearch {
    const std::wstring *title;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK VisitBox(HWND window, LPARAM param) {
    auto *search = reinterpret_cast<BoxSearch *>(param);
    WindowQuery query;
    query.className = L"#32770";
    query.title = *search->title;
    query.processId = search->processId;
    if (Matches(window, query) && GetDlgItem(window, 0xFFFF) != nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct ControlList {
    bool visibleOnly;
    std::vector<ControlInfo> *out;
};

BOOL CALLBACK VisitControl(HWND window, LPARAM param) {
    auto *list = reinterpret_cast<ControlList *>(param);
    bool visible = IsWindowVisible(window) != FALSE;
    if (list->visibleOnly && !visible) return TRUE;
    ControlInfo info;
    info.handle = window;
    info.parent = GetParent(window);
    info.id = GetDlgCtrlID(window);
    info.className = ClassOf(window);
    info.text = Text(window);
    // A picture static's text is its image's resource ordinal: 0xFFFF, number.
    if (info.text.size() >= 2 && info.text[0] == 0xFFFF)
        info.text = L"#" + std::to_wstring(static_cast<unsigned>(info.text[1]));
    info.visible = visible;
    info.enabled = IsWindowEnabled(window) != FALSE;
    list->out->push_back(info);
    return TRUE;
}

}  // namespace

HWND FindTopWindow(const WindowQuery &query) {
    TopSearch search{&query, nullptr};
    EnumWindows(VisitTop, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitTopWindow(const WindowQuery &query, DWORD timeoutMs) {
    HWND found = nullptr;
    PollUntil([&] { return (found = FindTopWindow(query)) != nullptr; }, timeoutMs);
    return found;
}

bool WaitTopWindowGone(const WindowQuery &query, DWORD timeoutMs) {
    return PollUntil([&] { return FindTopWindow(query) == nullptr; }, timeoutMs);
}

bool WaitWindowGone(HWND window, DWORD timeoutMs, bool orHidden) {
    return PollUntil([&] { return !IsWindow(window) || (orHidden && !IsWindowVisible(window)); },
                     timeoutMs);
}

HWND FindControl(HWND window, int id) {
    if (!IsWindow(window)) return nullptr;
    ChildSearch search{id, nullptr, nullptr};
    EnumChildWindows(window, VisitChild, reinterpret_cast<LPARAM>(&search));
    return search.firstVisible ? search.firstVisible : search.firstHidden;
}

HWND WaitControl(HWND window, int id, ControlState state, DWORD timeoutMs) {
    HWND found = nullptr;
    PollUntil([&] {
        found = FindControl(window, id);
        return found != nullptr && InState(found, state);
    }, timeoutMs);
    return found != nullptr && InState(found, state) ? found : nullptr;
}

bool IsShown(HWND control) { return IsWindow(control) && IsWindowVisible(control); }

bool IsEnabledControl(HWND control) { return IsWindow(control) && IsWindowEnabled(control); }

bool Click(HWND window, int id, DWORD timeoutMs) {
    HWND button = WaitControl(window, id, ControlState::Enabled, timeoutMs);
    return button != nullptr && PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

bool GetText(HWND control, std::wstring &text) {
    text.clear();
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &length))
        return false;
    std::wstring buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, buffer.size(),
                             reinterpret_cast<LPARAM>(&buffer[0]), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &copied))
        return false;
    buffer.resize(copied < buffer.size() ? copied : buffer.size() - 1);
    text = buffer;
    return true;
}

std::wstring Text(HWND control) {
    std::wstring text;
    GetText(control, text);
    return text;
}

bool SetText(HWND control, const std::wstring &text) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) &&
           result != FALSE;
}

bool WaitText(HWND window, int id, const std::wstring &expected, std::wstring *last,
              DWORD timeoutMs) {
    std::wstring seen;
    bool ok = PollUntil([&] {
        HWND control = FindControl(window, id);
        return control != nullptr && GetText(control, seen) && seen == expected;
    }, timeoutMs);
    if (last) *last = seen;
    return ok;
}

int ButtonCheckState(HWND button) {
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &state))
        return -1;
    return static_cast<int>(state);
}

bool ProgressPosition(HWND bar, int &position, int &low, int &high) {
    DWORD_PTR pos = 0, lo = 0, hi = 0;
    if (!SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &pos) ||
        !SendMessageTimeoutW(bar, PBM_GETRANGE, TRUE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &lo) ||
        !SendMessageTimeoutW(bar, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &hi))
        return false;
    position = static_cast<int>(pos);
    low = static_cast<int>(lo);
    high = static_cast<int>(hi);
    return true;
}

DWORD WindowProcessId(HWND window) {
    DWORD pid = 0;
    if (IsWindow(window)) GetWindowThreadProcessId(window, &pid);
    return pid;
}

HWND FindMessageBox(const std::wstring &title, DWORD processId) {
    BoxSearch search{&title, processId, nullptr};
    EnumWindows(VisitBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitMessageBox(const std::wstring &title, DWORD timeoutMs, DWORD processId) {
    HWND found = nullptr;
    PollUntil([&] { return (found = FindMessageBox(title, processId)) != nullptr; }, timeoutMs);
    return found;
}

std::wstring MessageBoxText(HWND box) { return Text(GetDlgItem(box, 0xFFFF)); }

bool AnswerMessageBox(HWND box, int buttonId, DWORD timeoutMs) {
    HWND button = GetDlgItem(box, buttonId);
    if (!button || !IsWindowVisible(button)) return false;
    if (!PostMessageW(button, BM_CLICK, 0, 0)) return false;
    return WaitWindowGone(box, timeoutMs, true);
}

std::vector<ControlInfo> ListControls(HWND window, bool visibleOnly) {
    std::vector<ControlInfo> controls;
    ControlList list{visibleOnly, &controls};
    if (IsWindow(window)) EnumChildWindows(window, VisitControl, reinterpret_cast<LPARAM>(&list));
    return controls;
}

std::wstring DescribeControls(HWND window, bool visibleOnly) {
    std::wstring out;
    for (const ControlInfo &c : ListControls(window, visibleOnly)) {
        out += std::to_wstring(c.id) + L" " + c.className + L" \"" + c.text + L"\"";
        if (!c.visible) out += L" hidden";
        if (!c.enabled) out += L" disabled";
        out += L"\n";
    }
    return out;
}

}  // namespace windriver
