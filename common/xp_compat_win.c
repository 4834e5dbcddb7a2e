/* Windows XP has no GetTickCount64, yet the static thread runtime of the
 * compiler imports it. Defining the import slot here makes every caller go
 * through this pointer instead: it resolves the system's function when there
 * is one (Vista and later) and otherwise extends GetTickCount to 64 bits.
 * Linked directly into each program (not through a library) so that the slot
 * is defined before the runtime's reference is resolved. */
#include <windows.h>

#include "common/system_function_win.h"

typedef ULONGLONG(WINAPI *TickCount64Function)(void);

static ULONGLONG WINAPI TickCount64Resolve(void);

/* The low 32 bits of the last tick count seen, and the wrap-arounds above them. */
static volatile LONGLONG g_ticks;

static ULONGLONG WINAPI TickCount64FromTickCount(void) {
    for (;;) {
        LONGLONG seen = g_ticks;
        DWORD now = GetTickCount();
        ULONGLONG wraps = (ULONGLONG)seen >> 32;
        if (now < (DWORD)seen) ++wraps;
        LONGLONG next = (LONGLONG)((wraps << 32) | now);
        if (__sync_val_compare_and_swap(&g_ticks, seen, next) == seen) return (ULONGLONG)next;
    }
}

TickCount64Function imp_GetTickCount64 __asm__("__imp__GetTickCount64@0") = TickCount64Resolve;

static ULONGLONG WINAPI TickCount64Resolve(void) {
    TickCount64Function system =
        (TickCount64Function)(void (*)(void))FindSystemFunctionAddress(L"kernel32.dll",
                                                                      "GetTickCount64");
    imp_GetTickCount64 = system ? system : TickCount64FromTickCount;
    return imp_GetTickCount64();
}
