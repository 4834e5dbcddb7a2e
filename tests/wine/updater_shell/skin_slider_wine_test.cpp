// CSkinSlider on the Download window's own template and bitmaps: positions,
// presses, drags, keys, the transparent thumb, and SetPos from another thread.
#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "resource.h"
#include "updater/controls/skin_slider_win.h"

namespace {

struct Notice {
    UINT message;
    WPARAM id;
    LPARAM position;
};

std::vector<Notice> g_notices;

INT_PTR CALLBACK RecordingProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SKINSLIDER_MOVING || message == WM_SKINSLIDER_MOVED) {
        g_notices.push_back({message, wParam, lParam});
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class SkinSliderTest : public testing::Test {
protected:
    void SetUp() override {
        g_notices.clear();
        dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_DOWNLOAD),
                                    nullptr, RecordingProc, 0);
        ASSERT_TRUE(dialog);
        HWND control = GetDlgItem(dialog, IDC_DOWNLOAD_SLIDER);
        ASSERT_TRUE(slider.Attach(control));
        ASSERT_TRUE(slider.SetChannelBitmaps(IDB_SLIDER_CHANNEL, IDB_SLIDER_CHANNEL_ACTIVE, false,
                                             0, 0, 0));
        ASSERT_TRUE(slider.SetThumbBitmaps(IDB_SLIDER_THUMB, IDB_SLIDER_THUMB_ACTIVE, true,
                                           kSkinKeyFromPixel, 0, 0));
        slider.SetMargins(2, 3, 2, 0);
        slider.SetDrawFocusRect(false, false);
        slider.SetRange(0, 100, false);
        // The dialog is centred, where the display's pointer starts: the pointer
        // moves to a corner so that only the messages the tests post reach the slider.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        ShowWindow(control, SW_SHOW);
        ShowWindow(dialog, SW_SHOW);
        Pump();
        g_notices.clear();
    }
    void TearDown() override {
        if (dialog) DestroyWindow(dialog);
    }
    void Post(UINT message, WPARAM wParam, int x) {
        PostMessageW(slider.Handle(), message, wParam, MAKELPARAM(x, 8));
        Pump();
    }

    HWND dialog = nullptr;
    CSkinSlider slider;
};

TEST_F(SkinSliderTest, TakesTheChannelSizeAndLimitsPositionsToTheRange) {
    RECT r;
    GetClientRect(slider.Handle(), &r);
    EXPECT_EQ(r.right, 240);
    EXPECT_EQ(r.bottom, 17);
    for (auto [set, expected] : {std::pair{150, 100}, std::pair{-3, 0}, std::pair{37, 37}}) {
        slider.SetPos(set);
        EXPECT_EQ(slider.GetPos(), expected) << set;
    }
    slider.SetPos(50);
    EXPECT_EQ(slider.ThumbCentre(), 119);
    EXPECT_TRUE(g_notices.empty()) << "SetPos notifies nobody";
}

TEST_F(SkinSliderTest, APressAwayFromTheThumbJumpsAndAReleaseOnItOnlyEndsTheDrag) {
    slider.SetPos(0);  // thumb centred on 13
    Post(WM_LBUTTONDOWN, MK_LBUTTON, 119);
    ASSERT_EQ(g_notices.size(), 1u);
    EXPECT_EQ(g_notices[0].message, WM_SKINSLIDER_MOVING);
    EXPECT_EQ(g_notices[0].id, WPARAM(IDC_DOWNLOAD_SLIDER));
    EXPECT_EQ(g_notices[0].position, 49);
    EXPECT_EQ(slider.GetPos(), 49);
    Post(WM_MOUSEMOVE, MK_LBUTTON, 500);  // dragged past the end: limited to the maximum
    EXPECT_EQ(slider.GetPos(), 100);
    Post(WM_LBUTTONUP, 0, 500);
    ASSERT_EQ(g_notices.size(), 3u);
    EXPECT_EQ(g_notices[1].message, WM_SKINSLIDER_MOVING);
    EXPECT_EQ(g_notices[2].message, WM_SKINSLIDER_MOVED);
    EXPECT_EQ(g_notices[2].position, 100);

    g_notices.clear();
    slider.SetPos(50);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, 119 + 5);  // on the thumb, off its centre
    Post(WM_LBUTTONUP, 0, 119 + 5);
    ASSERT_EQ(g_notices.size(), 1u);
    EXPECT_EQ(g_notices[0].message, WM_SKINSLIDER_MOVED);
    EXPECT_EQ(g_notices[0].position, 50);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SkinSliderTest, EveryKeyStepsAndNotifiesMoved) {
    struct Step {
        WPARAM key;
        int expected;
    } steps[] = {{VK_NEXT, 20},  {VK_NEXT, 40},   {VK_PRIOR, 20}, {VK_RIGHT, 21},
                 {VK_DOWN, 22},  {VK_LEFT, 21},   {VK_UP, 20},    {VK_END, 100},
                 {VK_RIGHT, 100}, {VK_HOME, 0},   {VK_LEFT, 0},   {VK_PRIOR, 0}};
    slider.SetPos(0);
    for (const Step &s : steps) {
        g_notices.clear();
        PostMessageW(slider.Handle(), WM_KEYDOWN, s.key, 0);
        Pump();
        ASSERT_EQ(g_notices.size(), 1u) << s.key;
        EXPECT_EQ(g_notices[0].message, WM_SKINSLIDER_MOVED);
        EXPECT_EQ(g_notices[0].position, s.expected) << s.key;
    }
    g_notices.clear();
    PostMessageW(slider.Handle(), WM_KEYDOWN, 'A', 0);
    Pump();
    EXPECT_TRUE(g_notices.empty()) << "other keys are not steps";
    EXPECT_EQ(SendMessageW(slider.Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS,
              LRESULT(DLGC_WANTARROWS));
}

TEST_F(SkinSliderTest, TheThumbIsDrawnThroughItsMaskOverTheTravelledChannel) {
    slider.SetPos(50);
    RedrawWindow(slider.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(slider.Handle());
    const COLORREF thumbCorner = GetPixel(dc, 119 - 11, 3);  // the key pixel of the thumb
    const COLORREF thumbBody = GetPixel(dc, 119 - 5, 3 + 5);
    const COLORREF travelled = GetPixel(dc, 40, 8);
    const COLORREF ahead = GetPixel(dc, 200, 8);
    ReleaseDC(slider.Handle(), dc);
    EXPECT_NE(thumbCorner, RGB(255, 0, 255)) << "the key colour never shows";
    EXPECT_NE(thumbBody, RGB(255, 0, 255));
    EXPECT_NE(travelled, ahead) << "active image before the thumb, normal one after";
}

TEST_F(SkinSliderTest, SetPosFromAnotherThreadWhileTheWindowPaints) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i <= 2000; ++i) slider.SetPos(i % 101);
        slider.SetPos(77);
        done = true;
    });
    const DWORD start = GetTickCount();
    while (!done && GetTickCount() - start < 20000) {
        RedrawWindow(slider.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Pump();
    }
    worker.join();
    EXPECT_TRUE(done.load());
    EXPECT_EQ(slider.GetPos(), 77);
}

}  // namespace
