// windriver.exe: the window driver as a command for scripts. Exit status 0 on
// success, 1 when the window, control or box was not found in time or an
// action failed, 2 for a malformed command line.
#include "tests/driver/window_driver.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

using namespace windriver;

namespace {

const char kUsage[] =
    "usage: windriver COMMAND [window options] [arguments]\n"
    "window options: --class NAME  --title TEXT  --title-part TEXT  --pid N\n"
    "                --hwnd HANDLE  --timeout MS (default 10000)\n"
    "  find                          print handle, process id, class and title\n"
    "  wait ID [--enabled|--exists]  wait for control ID to be visible (enabled, present)\n"
    "  click ID                      press button ID once it is enabled\n"
    "  text ID                       print the control's text (ID 0: the window title)\n"
    "  settext ID TEXT               set the control's text\n"
    "  checked ID                    print a check box's state: 0, 1 or 2 (indeterminate)\n"
    "  progress ID                   print a progress bar's position, low and high\n"
    "  rows ID                       print list view rows: [x] or [ ], cells by tabs\n"
    "  check ID ROW on|off [--click] set a row's check box (--click: by the mouse)\n"
    "  msgbox [--answer yes|no|ok|cancel|ID] [--expect TEXT]\n"
    "                                print a message box's text, check it, answer it\n"
    "  controls [--all]              list the window's visible (all) controls\n"
    "  gone                          wait for the window to close\n"
    "  timeline LOG_ID BAR_ID        until the window closes (or --timeout): each new\n"
    "                                line of LOG_ID as \"<ms> line <text>\", and each\n"
    "                                time BAR_ID reaches its top as \"<ms> bar full\"\n"
    "  screenshot FILE.png           picture of the whole display\n";

void WriteUtf8(FILE *stream, const std::wstring &text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                0, nullptr, nullptr);
    std::string bytes(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], n,
                            nullptr, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), stream);
    fflush(stream);
}

int Fail(const std::wstring &message) {
    WriteUtf8(stderr, L"windriver: " + message + L"\n");
    return 1;
}

int Usage(const std::wstring &problem) {
    WriteUtf8(stderr, L"windriver: " + problem + L"\n");
    fputs(kUsage, stderr);
    return 2;
}

bool ParseNumber(const std::wstring &text, unsigned long &value) {
    if (text.empty()) return false;
    wchar_t *end = nullptr;
    value = wcstoul(text.c_str(), &end, 0);
    return end && *end == L'\0';
}

struct Command {
    std::wstring name;
    WindowQuery query;
    HWND window = nullptr;
    DWORD timeoutMs = kDefaultTimeoutMs;
    std::vector<std::wstring> args;
    std::vector<std::wstring> flags;       // --enabled, --exists, --click, --all
    std::wstring answer, expect;

    bool Has(const wchar_t *flag) const {
        for (const std::wstring &f : flags)
            if (f == flag) return true;
        return false;
    }
    std::wstring WindowName() const {
        std::wstring name = L"window";
        if (!query.className.empty()) name += L" of class \"" + query.className + L"\"";
        if (!query.title.empty()) name += L" titled \"" + query.title + L"\"";
        return name;
    }
};

bool Parse(int argc, wchar_t **argv, Command &command, std::wstring &problem) {
    if (argc < 2) {
        problem = L"no command";
        return false;
    }
    command.name = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::wstring arg = argv[i];
        auto value = [&](std::wstring &out) {
            if (i + 1 >= argc) {
                problem = arg + L" needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::wstring v;
        unsigned long number = 0;
        if (arg == L"--class") {
            if (!value(command.query.className)) return false;
        } else if (arg == L"--title" || arg == L"--title-part") {
            if (!value(command.query.title)) return false;
            command.query.titlePart = arg == L"--title-part";
        } else if (arg == L"--pid" || arg == L"--hwnd" || arg == L"--timeout") {
            if (!value(v)) return false;
            if (!ParseNumber(v, number)) {
                problem = arg + L" needs a number, not \"" + v + L"\"";
                return false;
            }
            if (arg == L"--pid") command.query.processId = number;
            if (arg == L"--hwnd") command.window = reinterpret_cast<HWND>(number);
            if (arg == L"--timeout") command.timeoutMs = number;
        } else if (arg == L"--answer") {
            if (!value(command.answer)) return false;
        } else if (arg == L"--expect") {
            if (!value(command.expect)) return false;
        } else if (arg == L"--enabled" || arg == L"--exists" || arg == L"--click" ||
                   arg == L"--all") {
            command.flags.push_back(arg);
        } else if (arg.size() > 2 && arg.compare(0, 2, L"--") == 0) {
            problem = L"unknown option " + arg;
            return false;
        } else {
            command.args.push_back(arg);
        }
    }
    return true;
}

HWND Window(Command &command) {
    if (command.window) return IsWindow(command.window) ? command.window : nullptr;
    command.window = WaitTopWindow(command.query, command.timeoutMs);
    return command.window;
}

int AnswerId(const std::wstring &answer) {
    if (answer == L"yes") return IDYES;
    if (answer == L"no") return IDNO;
    if (answer == L"ok") return IDOK;
    if (answer == L"cancel") return IDCANCEL;
    unsigned long id = 0;
    return ParseNumber(answer, id) ? static_cast<int>(id) : -1;
}

std::wstring Hex(HWND window) {
    wchar_t text[32];
    swprintf(text, 32, L"0x%lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}

int RunMessageBox(Command &command) {
    HWND box = WaitMessageBox(command.query.title, command.timeoutMs, command.query.processId);
    if (!box) return Fail(L"no message box appeared");
    const std::wstring text = MessageBoxText(box);
    WriteUtf8(stdout, text + L"\n");
    if (!command.expect.empty() && text.find(command.expect) == std::wstring::npos)
        return Fail(L"the message box does not say \"" + command.expect + L"\"");
    if (command.answer.empty()) return 0;
    int id = AnswerId(command.answer);
    if (id < 0) return Usage(L"unknown answer \"" + command.answer + L"\"");
    if (!AnswerMessageBox(box, id, command.timeoutMs))
        return Fail(L"the message box has no button " + command.answer + L" or did not close");
    return 0;
}

// Succeeds at once when no such window is open any more.
int RunGone(Command &command) {
    bool gone = command.window ? WaitWindowGone(command.window, command.timeoutMs)
                               : WaitTopWindowGone(command.query, command.timeoutMs);
    return gone ? 0 : Fail(L"the " + command.WindowName() + L" is still open");
}

// Polls in this process, so that the times are those of the program's own
// changes within a few tens of milliseconds. The bar is read before the log: a
// package unpacked within one poll shows as unpacked before the next line.
int RunTimeline(const Command &command, HWND window) {
    unsigned long logId = 0, barId = 0;
    if (command.args.size() != 2 || !ParseNumber(command.args[0], logId) ||
        !ParseNumber(command.args[1], barId))
        return Usage(L"timeline needs a log control id and a progress bar id");
    const DWORD start = GetTickCount();
    size_t linesSeen = 0;
    bool barFull = false;
    while (IsWindow(window) && GetTickCount() - start < command.timeoutMs) {
        const std::wstring stamp = std::to_wstring(GetTickCount() - start);
        int position = 0, low = 0, high = 0;
        HWND bar = FindControl(window, static_cast<int>(barId));
        if (bar && ProgressPosition(bar, position, low, high)) {
            const bool full = high > low && position >= high;
            if (full && !barFull) WriteUtf8(stdout, stamp + L" bar full\n");
            barFull = full;
        }
        std::wstring text;
        if (HWND log = FindControl(window, static_cast<int>(logId)); log && GetText(log, text)) {
            std::vector<std::wstring> lines;
            for (size_t from = 0; from < text.size();) {
                size_t end = text.find(L"\r\n", from);
                if (end == std::wstring::npos) break;  // a line is whole once it ends
                lines.push_back(text.substr(from, end - from));
                from = end + 2;
            }
            for (; linesSeen < lines.size(); ++linesSeen)
                WriteUtf8(stdout, stamp + L" line " + lines[linesSeen] + L"\n");
        }
        Sleep(20);
    }
    return 0;
}

int RunOnWindow(Command &command) {
    const std::wstring &name = command.name;
    if (name == L"gone") return RunGone(command);
    HWND window = Window(command);
    if (!window) return Fail(L"no visible " + command.WindowName() + L" appeared");
    if (name == L"find") {
        wchar_t cls[256] = {};
        GetClassNameW(window, cls, 256);
        WriteUtf8(stdout, Hex(window) + L" " + std::to_wstring(WindowProcessId(window)) + L" " +
                              cls + L" \"" +
                              Text(window) + L"\"\n");
        return 0;
    }
    if (name == L"controls") {
        WriteUtf8(stdout, DescribeControls(window, !command.Has(L"--all")));
        return 0;
    }
    if (name == L"timeline") return RunTimeline(command, window);

    unsigned long number = 0;
    if (command.args.empty() || !ParseNumber(command.args[0], number))
        return Usage(name + L" needs a control id");
    const int id = static_cast<int>(number);
    const std::wstring control = L"control " + std::to_wstring(id);

    if (name == L"text" && id == 0) {
        WriteUtf8(stdout, Text(window) + L"\n");
        return 0;
    }
    ControlState state = command.Has(L"--enabled")  ? ControlState::Enabled
                         : command.Has(L"--exists") ? ControlState::Exists
                                                    : ControlState::Visible;
    if (name == L"click") state = ControlState::Enabled;
    if (name == L"text" || name == L"settext" || name == L"rows" || name == L"check" ||
        name == L"checked" || name == L"progress")
        state = ControlState::Exists;
    HWND target = WaitControl(window, id, state, command.timeoutMs);
    if (!target) {
        WriteUtf8(stderr, L"controls now shown:\n" + DescribeControls(window));
        return Fail(control + (state == ControlState::Enabled   ? L" was not enabled in time"
                               : state == ControlState::Visible ? L" was not shown in time"
                                                                : L" does not exist"));
    }
    if (name == L"wait") return 0;
    if (name == L"click") return PostMessageW(target, BM_CLICK, 0, 0) ? 0 : Fail(L"click failed");
    if (name == L"text") {
        std::wstring text;
        if (!GetText(target, text)) return Fail(L"cannot read the text of " + control);
        WriteUtf8(stdout, text + L"\n");
        return 0;
    }
    if (name == L"checked") {
        int state = ButtonCheckState(target);
        if (state < 0) return Fail(L"cannot ask " + control + L" for its state");
        WriteUtf8(stdout, std::to_wstring(state) + L"\n");
        return 0;
    }
    if (name == L"progress") {
        int position = 0, low = 0, high = 0;
        if (!ProgressPosition(target, position, low, high))
            return Fail(L"cannot ask " + control + L" for its position");
        WriteUtf8(stdout, std::to_wstring(position) + L" " + std::to_wstring(low) + L" " +
                              std::to_wstring(high) + L"\n");
        return 0;
    }
    if (name == L"settext") {
        if (command.args.size() != 2) return Usage(L"settext needs an id and a text");
        return SetText(target, command.args[1]) ? 0 : Fail(L"cannot set the text of " + control);
    }
    if (name == L"rows") {
        std::vector<ListRow> rows;
        if (!ReadListRows(target, rows)) return Fail(L"cannot read the rows of " + control);
        for (const ListRow &row : rows) {
            std::wstring line = row.checked ? L"[x]" : L"[ ]";
            for (const std::wstring &cell : row.cells) line += L"\t" + cell;
            WriteUtf8(stdout, line + L"\n");
        }
        return 0;
    }
    if (name == L"check") {
        unsigned long row = 0;
        if (command.args.size() != 3 || !ParseNumber(command.args[1], row) ||
            (command.args[2] != L"on" && command.args[2] != L"off"))
            return Usage(L"check needs an id, a row number and on or off");
        const bool on = command.args[2] == L"on";
        const int index = static_cast<int>(row);
        if (command.Has(L"--click")) {
            std::vector<ListRow> rows;
            if (!ReadListRows(target, rows) || index >= static_cast<int>(rows.size()))
                return Fail(L"row " + command.args[1] + L" does not exist");
            if (rows[index].checked != on && !ClickListCheck(target, index))
                return Fail(L"cannot click the check box of row " + command.args[1]);
            return 0;
        }
        return SetListCheck(target, index, on) ? 0 : Fail(L"cannot set row " + command.args[1]);
    }
    return Usage(L"unknown command " + name);
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
    // Scripts read the output on Unix: lines end in "\n" alone.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    Command command;
    std::wstring problem;
    if (!Parse(argc, argv, command, problem)) return Usage(problem);
    if (command.name == L"msgbox") return RunMessageBox(command);
    if (command.name == L"screenshot") {
        if (command.args.size() != 1) return Usage(L"screenshot needs a file name");
        return TakeScreenshot(command.args[0], command.timeoutMs)
                   ? 0
                   : Fail(L"no screenshot was written (is TESSEL_SCREENSHOT set?)");
    }
    static const wchar_t *const kWindowCommands[] = {
        L"find", L"wait",  L"click",    L"text", L"settext", L"checked",
        L"progress", L"rows", L"check", L"controls", L"gone", L"timeline"};
    for (const wchar_t *known : kWindowCommands)
        if (command.name == known) return RunOnWindow(command);
    return Usage(L"unknown command " + command.name);
}
