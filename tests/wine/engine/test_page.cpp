#include "tests/wine/engine/test_page.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include "common/registry_key.h"

namespace {

const wchar_t kPageClass[] = L"EngineTestPage";

void RegisterPageClass(WNDPROC procedure) {
    static bool registered = false;
    if (registered) return;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kPageClass;
    registered = RegisterClassW(&wc) != 0;
}

}  // namespace

TestPage::TestPage(CEngineControl &engine) : engine_(engine) {
    RegisterPageClass(Procedure);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    window_ = CreateWindowExW(0, kPageClass, L"Engine test page", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                              200, nullptr, nullptr, instance, this);
    if (!window_) return;
    CreateWindowExW(0, L"EDIT", L"old folder", WS_CHILD, 0, 0, 200, 20, window_,
                    reinterpret_cast<HMENU>(1015), instance, nullptr);
    CreateWindowExW(0, L"EDIT", L"old item", WS_CHILD, 0, 30, 200, 20, window_,
                    reinterpret_cast<HMENU>(1016), instance, nullptr);
    bar_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 60, 200, 20, window_,
                           reinterpret_cast<HMENU>(1014), instance, nullptr);
    engine_.Attach(bar_);
    barSends_.reset(new CrossThreadSends(bar_));
}

TestPage::~TestPage() {
    barSends_.reset();
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK TestPage::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *page = reinterpret_cast<TestPage *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (page && message == page->engine_.Message() && wParam == 0) {
        page->engine_.ShowPosition();
        if (lParam == kWorkerProgress) {
            const std::wstring item = page->engine_.ItemText();
            if (!item.empty() && (page->items_.empty() || page->items_.back() != item))
                page->items_.push_back(item);
        }
        if (lParam == kWorkerFinished) {
            page->engine_.StopWorker();
            ++page->completions_;
        }
        return 0;
    }
    if (page && message == WM_DESTROY) page->engine_.StopWorker();
    return DefWindowProcW(window, message, wParam, lParam);
}

bool TestPage::PumpUntil(const std::function<bool()> &done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

bool TestPage::RunToCompletion(DWORD timeoutMs) {
    const int before = completions_;
    engine_.Start();
    return PumpUntil([&] { return completions_ > before; }, timeoutMs);
}

int TestPage::Position() const { return int(SendMessageW(bar_, PBM_GETPOS, 0, 0)); }

std::wstring TestPage::EditText(int id) const {
    wchar_t text[1024] = {};
    GetDlgItemTextW(window_, id, text, 1024);
    return text;
}

void TestPage::SetEditText(int id, const std::wstring &text) {
    SetDlgItemTextW(window_, id, text.c_str());
}

bool ReadString(const std::wstring &key, const std::wstring &name, std::wstring &value) {
    CRegistryKey k;
    return k.Open(key) && k.QueryValue(name, value, REG_SZ);
}

bool ReadNumber(const std::wstring &key, const std::wstring &name, DWORD &value) {
    CRegistryKey k;
    return k.Open(key) && k.QueryValue(name, value);
}

bool KeyExists(const std::wstring &key) {
    CRegistryKey k;
    return k.Open(key);
}


bool FileExists(const std::wstring &path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring &path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}
