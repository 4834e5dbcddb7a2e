#ifndef TESTS_HARNESS_MESSAGE_PUMP_WIN_H
#define TESTS_HARNESS_MESSAGE_PUMP_WIN_H

#include <windows.h>

// Runs this thread's messages until `done` holds or `timeoutMs` have passed; true
// when `done` held. A quit message is put back for the caller and ends the wait.
template <typename Done>
bool PumpUntil(Done done, DWORD timeoutMs = 3000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return done();
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(2);
    }
    return true;
}

// Runs this thread's messages for `ms` milliseconds.
inline void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

#endif
