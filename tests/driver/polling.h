#ifndef TESTS_DRIVER_POLLING_H
#define TESTS_DRIVER_POLLING_H

#include <windows.h>

namespace windriver {

// Calls `done` every 50 ms until it returns true or `timeoutMs` has passed;
// `done` is always called at least once, and once more at the deadline.
template <typename Done>
bool PollUntil(Done done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return done();
        Sleep(50);
    }
}

}  // namespace windriver

#endif
