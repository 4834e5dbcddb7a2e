#ifndef COMMON_PROCESS_START_WIN_H
#define COMMON_PROCESS_START_WIN_H

#include <windows.h>

#include <string>

#include "common/kernel_handle_win.h"

// Whose rights a started program gets.
enum class ProcessUser {
    kSame,         // this process's own token (installers, our own copies)
    kDesktopUser,  // the user at the desktop: programs started for the user to work in
};

struct StartedProcess {
    CKernelHandle process;  // empty when it did not start
    DWORD error = 0;        // GetLastError of the failed start
    explicit operator bool() const { return static_cast<bool>(process); }
};

// Starts a program (current folder and environment inherited, no window flags)
// and hands back its process handle; the thread handle is closed. `application`
// may be empty (then the command line names the program); `commandLine` may be
// empty.
//
// kDesktopUser matters where this process runs elevated (Vista and later): the
// program is started with a copy of the shell's token, so that an Open or Save
// dialog in it is not an administrator's file browser. Where the token cannot
// be had the program is not started (error set), rather than started elevated.
// XP has no elevation, and a desktop without a shell window (Wine's) gives no
// token to take: there the program starts as with kSame.
StartedProcess StartProcess(const std::wstring &application, const std::wstring &commandLine,
                            ProcessUser user = ProcessUser::kSame);

#endif
