#ifndef TESTS_DRIVER_WINDOW_DRIVER_H
#define TESTS_DRIVER_WINDOW_DRIVER_H

#include <windows.h>

#include <string>
#include <vector>

// Drives another process's windows the way a person would: find a window,
// wait for a control, press buttons, read and type texts, read and tick list
// view rows, answer message boxes. Used by the end-to-end tests and by the
// windriver command. Every wait takes a time-out in milliseconds and gives up
// with a null handle or false; nothing here blocks on a hung target.
namespace windriver {

// Time-out used by the commands and tests unless they say otherwise.
constexpr DWORD kDefaultTimeoutMs = 10000;

// A visible top-level window whose class and title match (an empty criterion
// matches every window; the title is compared whole unless `titlePart` is set,
// then it only has to contain the text). `processId` 0 means any process.
struct WindowQuery {
    std::wstring className;
    std::wstring title;
    bool titlePart = false;
    DWORD processId = 0;
};

HWND FindTopWindow(const WindowQuery &query);
HWND WaitTopWindow(const WindowQuery &query, DWORD timeoutMs = kDefaultTimeoutMs);
// True once no window matches `query` (at once when none is open).
bool WaitTopWindowGone(const WindowQuery &query, DWORD timeoutMs = kDefaultTimeoutMs);
// True once `window` no longer exists (or is hidden, when `orHidden`).
bool WaitWindowGone(HWND window, DWORD timeoutMs = kDefaultTimeoutMs, bool orHidden = false);

enum class ControlState { Exists, Visible, Enabled };

// The control with dialog id `id` inside `window` or any of its descendants
// (pages are child dialogs). Several pages may reuse an id: a visible match
// wins over a hidden one, then the first in window order.
HWND FindControl(HWND window, int id);
// Waits until a control with that id is in `state` (Enabled also means visible).
HWND WaitControl(HWND window, int id, ControlState state = ControlState::Visible,
                 DWORD timeoutMs = kDefaultTimeoutMs);

bool IsShown(HWND control);
bool IsEnabledControl(HWND control);

// Waits for the button to be visible and enabled, then posts BM_CLICK (posted,
// so that a modal box the press opens does not block the caller).
bool Click(HWND window, int id, DWORD timeoutMs = kDefaultTimeoutMs);

// WM_GETTEXT / WM_SETTEXT; the system copies the text across processes.
bool GetText(HWND control, std::wstring &text);
std::wstring Text(HWND control);  // empty when it cannot be read
bool SetText(HWND control, const std::wstring &text);
// Waits until the control's text equals `expected`; returns the last text seen.
bool WaitText(HWND window, int id, const std::wstring &expected, std::wstring *last = nullptr,
              DWORD timeoutMs = kDefaultTimeoutMs);

// A check box's or radio button's state (BM_GETCHECK): BST_UNCHECKED,
// BST_CHECKED or BST_INDETERMINATE; -1 when it cannot be asked.
int ButtonCheckState(HWND button);
// A progress bar's position and range (PBM_GETPOS, PBM_GETRANGE); false when
// it cannot be asked.
bool ProgressPosition(HWND bar, int &position, int &low, int &high);
// The process that owns `window` (0 when there is no such window).
DWORD WindowProcessId(HWND window);

// One row of a list view: the item text and its sub-item texts, and whether its
// check box is ticked (false when the list has no check boxes).
struct ListRow {
    std::vector<std::wstring> cells;
    bool checked = false;
};

// Reads every row of a list view in another process (memory for the item
// records is allocated in the owner with VirtualAllocEx). False when the
// process cannot be opened or a read fails.
bool ReadListRows(HWND listView, std::vector<ListRow> &rows);
// Ticks or clears row `row`'s check box through LVM_SETITEMSTATE: the owner
// sees LVN_ITEMCHANGED but no click.
bool SetListCheck(HWND listView, int row, bool checked);
// Presses the mouse on the row's check box (posted button down and up), as a
// person would: the list toggles it and the owner also receives NM_CLICK.
bool ClickListCheck(HWND listView, int row);

// A message box: a #32770 window holding the static 65535. `title` empty
// matches any caption.
HWND FindMessageBox(const std::wstring &title = L"", DWORD processId = 0);
HWND WaitMessageBox(const std::wstring &title = L"", DWORD timeoutMs = kDefaultTimeoutMs,
                    DWORD processId = 0);
std::wstring MessageBoxText(HWND box);
// Presses IDYES, IDNO, IDOK... and waits for the box to close.
bool AnswerMessageBox(HWND box, int buttonId, DWORD timeoutMs = kDefaultTimeoutMs);

// A control of a window, for diagnostics. A picture static's text reads as
// "#" and its image's resource number.
struct ControlInfo {
    HWND handle = nullptr;
    HWND parent = nullptr;
    int id = 0;
    std::wstring className;
    std::wstring text;
    bool visible = false;
    bool enabled = false;
};
// Every descendant of `window` (only visible ones when `visibleOnly`).
std::vector<ControlInfo> ListControls(HWND window, bool visibleOnly = true);
// One line per control: "id class "text"" plus " hidden"/" disabled".
std::wstring DescribeControls(HWND window, bool visibleOnly = true);

// A program started by a test; it is ended (TerminateProcess) when the object
// goes away while it still runs, so that no test leaves one behind.
class Process {
public:
    Process() = default;
    ~Process();
    Process(const Process &) = delete;
    Process &operator=(const Process &) = delete;

    // Starts `commandLine` (the program path quoted by the caller when it holds
    // blanks) in `folder` (empty: the caller's current folder).
    bool Start(const std::wstring &commandLine, const std::wstring &folder = L"");
    // Takes over a process that is already running (for example one started
    // by the program under test).
    bool Attach(DWORD processId);
    bool Wait(DWORD timeoutMs = kDefaultTimeoutMs);
    bool Running() const;
    DWORD ExitCode() const;  // STILL_ACTIVE while running
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return handle_; }
    void Terminate();

private:
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

// Waits for the process `processId` to end; true when it has (or never ran).
bool WaitProcessEnd(DWORD processId, DWORD timeoutMs = kDefaultTimeoutMs);

// Writes a PNG of the whole display to `pngPath` (a Windows path) through the
// harness's screenshot script, named by the TESSEL_SCREENSHOT environment
// variable (a Unix path). Waits up to `timeoutMs` for the file. False when the
// variable is not set or no picture appears.
bool TakeScreenshot(const std::wstring &pngPath, DWORD timeoutMs = 30000);

// Runs `commandLine` to its end (at most `timeoutMs`) with its standard output and
// error going into `output`; returns its exit status, or 1000 and up when it could
// not be started or did not end.
DWORD RunCaptured(const std::wstring &commandLine, std::string &output, DWORD timeoutMs = 60000);

// Quotes one command-line argument the way CommandLineToArgvW reads it.
std::wstring QuoteArgument(const std::wstring &argument);

}  // namespace windriver

#endif
