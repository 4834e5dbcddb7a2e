#ifndef TESTS_WINE_ENGINE_TEST_PAGE_H
#define TESTS_WINE_ENGINE_TEST_PAGE_H

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "setup/engine/engine_control_win.h"
#include "tests/harness/cross_thread_sends_win.h"
#include "tests/harness/shell_link_reader_win.h"

// A stand-in for a progress page: a window with the Folder (1015) and Item
// (1016) edits and the progress bar (1014) the engine is attached to. It reads
// the item text on the engine's message as the wizard's page does and stops the
// worker when the run has ended.
class TestPage {
public:
    explicit TestPage(CEngineControl &engine);
    ~TestPage();
    TestPage(const TestPage &) = delete;
    TestPage &operator=(const TestPage &) = delete;

    bool Ready() const { return window_ && bar_; }
    // Start, then dispatch messages until the completion message has been handled.
    bool RunToCompletion(DWORD timeoutMs = 60000);
    // Dispatches messages until `done` is true or the time is up.
    bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs);

    int Position() const;
    std::wstring EditText(int id) const;
    void SetEditText(int id, const std::wstring &text);

    const std::vector<std::wstring> &Items() const { return items_; }
    int Completions() const { return completions_; }
    // Messages the engine's worker sent to the bar itself (a sound engine sends none).
    int BarSendsFromOtherThreads() const { return barSends_ ? barSends_->fromOtherThreads : -1; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    CEngineControl &engine_;
    HWND window_ = nullptr;
    HWND bar_ = nullptr;
    std::unique_ptr<CrossThreadSends> barSends_;
    std::vector<std::wstring> items_;
    int completions_ = 0;
};

// Registry and shortcut reading for the checks.
bool ReadString(const std::wstring &key, const std::wstring &name, std::wstring &value);
bool ReadNumber(const std::wstring &key, const std::wstring &name, DWORD &value);
bool KeyExists(const std::wstring &key);


bool FileExists(const std::wstring &path);
bool FolderExists(const std::wstring &path);

#endif
