#ifndef TESTS_WINE_DOWNLOAD_DOWNLOAD_HOST_WIN_H
#define TESTS_WINE_DOWNLOAD_DOWNLOAD_HOST_WIN_H

#include <windows.h>

#include <functional>
#include <vector>

#include "updater/transfer/download_engine_win.h"

// A parent window for the download controls: a progress bar and a static for
// the slider, and a record of every notification with the texts read at it.
class DownloadHost {
public:
    DownloadHost();
    ~DownloadHost();
    DownloadHost(const DownloadHost &) = delete;
    DownloadHost &operator=(const DownloadHost &) = delete;

    HWND Window() const { return window_; }
    HWND Bar() const { return bar_; }
    HWND SliderStatic() const { return static_; }

    // The control's message and how to read its texts.
    void Watch(UINT message, std::function<DownloadTexts()> texts);
    void Clear();
    // Dispatches messages until an end notice (1, 2 or 3) came or `ms` passed.
    bool PumpUntilEnd(DWORD ms);
    // Dispatches whatever is queued for `ms`.
    void Pump(DWORD ms);

    std::vector<LPARAM> notices;
    std::vector<DownloadTexts> progressTexts;
    DownloadTexts endTexts;
    int Ends() const;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    HWND bar_ = nullptr;
    HWND static_ = nullptr;
    UINT message_ = 0;
    std::function<DownloadTexts()> texts_;
};

#endif
