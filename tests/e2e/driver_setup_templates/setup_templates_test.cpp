// The setup wizard's dialog templates and bitmaps, read from marboSetup.exe
// itself: every template opens as a plain dialog (pages as pop-ups), holds the
// controls the wizard's code expects at the places it expects them, and is
// photographed into screenshots/ for a person to look at.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "setup/res/resource.h"
#include "tests/driver/window_driver.h"
#include "tests/harness/message_pump_win.h"

using namespace windriver;

namespace {

std::wstring g_setupExe;  // from the command line
HMODULE g_module = nullptr;

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// A template as stored, and opened as a top-level window: child pages get a
// pop-up frame so that they can be shown and photographed on their own.
class OpenTemplate {
public:
    explicit OpenTemplate(int id) {
        HRSRC found = FindResourceW(g_module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
        if (!found) return;
        const auto *bytes = static_cast<const BYTE *>(LockResource(LoadResource(g_module, found)));
        bytes_.assign(bytes, bytes + SizeofResource(g_module, found));
        extended_ = bytes_.size() > 16 && bytes_[2] == 0xFF && bytes_[3] == 0xFF;
        std::memcpy(&style_, &bytes_[extended_ ? 12 : 0], sizeof style_);
        DWORD shown = style_;
        if (shown & WS_CHILD) shown = (shown & ~(WS_CHILD | DS_CONTROL)) | WS_POPUP | WS_CAPTION;
        shown |= WS_VISIBLE;
        std::vector<BYTE> copy = bytes_;
        std::memcpy(&copy[extended_ ? 12 : 0], &shown, sizeof shown);
        window_ = CreateDialogIndirectParamW(
            g_module, reinterpret_cast<const DLGTEMPLATE *>(copy.data()), nullptr, PlainDialog, 0);
        if (window_) {
            // Not "Setup Wizard": tests running beside this one look for that title.
            SetWindowTextW(window_, (L"Template " + std::to_wstring(id)).c_str());
            SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
            UpdateWindow(window_);
            PumpFor(150);
        }
    }
    ~OpenTemplate() {
        if (window_) DestroyWindow(window_);
    }
    OpenTemplate(const OpenTemplate &) = delete;
    OpenTemplate &operator=(const OpenTemplate &) = delete;

    HWND Window() const { return window_; }
    // Pixels per 4 horizontal and 8 vertical dialog units.
    SIZE BaseUnits() const {
        RECT r = FromUnits(0, 0, 4, 8);
        return SIZE{r.right, r.bottom};
    }
    DWORD StoredStyle() const { return style_; }
    bool Extended() const { return extended_; }

    // A control's rectangle in client pixels.
    RECT Pixels(int id) const {
        RECT r = {};
        GetWindowRect(GetDlgItem(window_, id), &r);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT *>(&r), 2);
        return r;
    }

    // The pixels a rectangle in dialog units covers on this dialog (the
    // system converts a control's place and size each on its own).
    RECT FromUnits(LONG x, LONG y, LONG w, LONG h) const {
        RECT place = {x, y, w, h};
        MapDialogRect(window_, &place);
        return RECT{place.left, place.top, place.left + place.right, place.top + place.bottom};
    }

    // The control stands where the template's dialog units put it.
    void ExpectAt(int id, LONG x, LONG y, LONG w, LONG h) const {
        RECT actual = Pixels(id), expected = FromUnits(x, y, w, h);
        EXPECT_EQ(actual.left, expected.left) << "control " << id;
        EXPECT_EQ(actual.top, expected.top) << "control " << id;
        EXPECT_EQ(actual.right, expected.right) << "control " << id;
        EXPECT_EQ(actual.bottom, expected.bottom) << "control " << id;
    }

    void Photograph(const std::wstring &name) const {
        CreateDirectoryW(L"screenshots", nullptr);
        PumpFor(100);
        EXPECT_TRUE(TakeScreenshot(L"screenshots\\setup_" + name + L".png")) << "no screenshot";
    }

private:
    std::vector<BYTE> bytes_;
    bool extended_ = false;
    DWORD style_ = 0;
    HWND window_ = nullptr;
};

// The width in pixels of `text` in the control's own font.
LONG TextWidth(HWND control, const wchar_t *text) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
}

std::wstring ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

LONG Style(HWND window, int id) { return GetWindowLongW(GetDlgItem(window, id), GWL_STYLE); }

// Each listed id must exist once, directly on the page, with the given class.
void ExpectControls(HWND window, const std::vector<std::pair<int, std::wstring>> &controls) {
    for (const auto &control : controls) {
        HWND found = GetDlgItem(window, control.first);
        ASSERT_NE(found, nullptr) << "control " << control.first << " is missing";
        EXPECT_EQ(ClassName(found), control.second) << "control " << control.first;
    }
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    GetObjectW(bitmap, sizeof info, &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

SIZE PictureSize(HWND window, int id) {
    auto bitmap = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageW(window, id, STM_GETIMAGE, IMAGE_BITMAP, 0));
    return bitmap ? BitmapSize(bitmap) : SIZE{0, 0};
}

// The bitmap's pixels as 0x00RRGGBB, top row first.
std::vector<DWORD> Pixels(int id, SIZE &size) {
    auto bitmap = static_cast<HBITMAP>(
        LoadImageW(g_module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return {};
    size = BitmapSize(bitmap);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels(static_cast<size_t>(size.cx) * size.cy);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, size.cy, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    for (DWORD &p : pixels) p &= 0xFFFFFF;
    return pixels;
}

size_t CountColour(const std::vector<DWORD> &pixels, BYTE r, BYTE g, BYTE b) {
    const DWORD wanted = (static_cast<DWORD>(r) << 16) | (g << 8) | b;
    size_t n = 0;
    for (DWORD p : pixels) n += p == wanted;
    return n;
}

class FrameTest : public testing::TestWithParam<int> {};

TEST_P(FrameTest, IsAFrameOf282By241UnitsWithItsButtonsInPlace) {
    const int id = GetParam();
    OpenTemplate frame(id);
    ASSERT_NE(frame.Window(), nullptr) << "template " << id;
    EXPECT_FALSE(frame.StoredStyle() & WS_CHILD);
    EXPECT_TRUE(frame.StoredStyle() & WS_CAPTION);

    RECT client = {};
    GetClientRect(frame.Window(), &client);
    RECT expected = {0, 0, 282, 241};
    MapDialogRect(frame.Window(), &expected);
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);

    const int action = id == IDD_INSTALL_WIZARD ? IDC_INSTALL : IDC_UNINSTALL;
    const int absent = id == IDD_INSTALL_WIZARD ? IDC_UNINSTALL : IDC_INSTALL;
    ExpectControls(frame.Window(), {{IDC_PREV, L"Button"}, {IDC_NEXT, L"Button"},
                                    {action, L"Button"}, {IDC_COMPLETE, L"Button"},
                                    {IDCANCEL, L"Button"}});
    EXPECT_EQ(GetDlgItem(frame.Window(), absent), nullptr);
    frame.ExpectAt(IDC_PREV, 115, 217, 50, 16);
    for (int shared : {IDC_NEXT, action, IDC_COMPLETE}) frame.ExpectAt(shared, 166, 217, 50, 16);
    frame.ExpectAt(IDCANCEL, 224, 217, 50, 16);

    // The buttons sit in the 52-pixel strip below the pages.
    RECT button = {};
    GetWindowRect(GetDlgItem(frame.Window(), IDCANCEL), &button);
    MapWindowPoints(nullptr, frame.Window(), reinterpret_cast<POINT *>(&button), 2);
    EXPECT_GE(button.top, client.bottom - 52);
    const SIZE base = frame.BaseUnits();
    RecordProperty("base_units", std::to_string(base.cx) + "x" + std::to_string(base.cy));
    printf("frame %d: client %ldx%ld pixels, base units %ldx%ld\n", id, client.right,
           client.bottom, base.cx, base.cy);
    frame.Photograph(std::to_wstring(id));

    // The English and the Korean button texts fit the buttons.
    const LONG room = frame.FromUnits(0, 0, 50, 16).right - 8;
    const std::pair<int, const wchar_t *> texts[][6] = {
        {{IDC_PREV, L"Prev"}, {IDC_NEXT, L"Next"}, {IDC_INSTALL, L"Install"},
         {IDC_UNINSTALL, L"Uninstall"}, {IDC_COMPLETE, L"Complete"}, {IDCANCEL, L"Cancel"}},
        {{IDC_PREV, L"이전"}, {IDC_NEXT, L"다음"}, {IDC_INSTALL, L"설치"},
         {IDC_UNINSTALL, L"제거"}, {IDC_COMPLETE, L"완료"}, {IDCANCEL, L"취소"}}};
    for (const auto &language : texts) {
        for (const auto &text : language) {
            HWND button = GetDlgItem(frame.Window(), text.first);
            if (!button) continue;
            SetWindowTextW(button, text.second);
            EXPECT_LT(TextWidth(button, text.second), room) << "button " << text.first;
        }
    }
    ShowWindow(GetDlgItem(frame.Window(), IDC_COMPLETE), SW_HIDE);
    ShowWindow(GetDlgItem(frame.Window(), action), SW_HIDE);
    frame.Photograph(std::to_wstring(id) + L"_ko");
}

INSTANTIATE_TEST_SUITE_P(Frames, FrameTest,
                         testing::Values(IDD_INSTALL_WIZARD, IDD_UNINSTALL_WIZARD));

class PageTest : public testing::TestWithParam<int> {};

TEST_P(PageTest, IsAChildDialogWithThePagesControls) {
    const int id = GetParam();
    OpenTemplate page(id);
    ASSERT_NE(page.Window(), nullptr) << "template " << id;
    EXPECT_TRUE(page.StoredStyle() & WS_CHILD);
    EXPECT_FALSE(page.StoredStyle() & WS_CAPTION);
    HWND w = page.Window();

    switch (id) {
    case IDD_INSTALL_WELCOME:
    case IDD_UNINSTALL_WELCOME: {
        ExpectControls(w, {{IDC_WELCOME_PICTURE, L"Static"}, {IDC_WELCOME_TEXT, L"Static"}});
        SIZE picture = PictureSize(w, IDC_WELCOME_PICTURE);
        EXPECT_EQ(picture.cx, 164);
        EXPECT_EQ(picture.cy, 314);
        bool listed = false;
        for (const ControlInfo &c : ListControls(w))
            listed |= c.id == IDC_WELCOME_PICTURE && c.text == L"#129";
        EXPECT_TRUE(listed) << "the picture static names bitmap 129\n"
                            << DescribeControls(w).c_str();
        EXPECT_EQ(page.Pixels(IDC_WELCOME_TEXT).left, page.FromUnits(94, 0, 0, 0).left)
            << "the text starts beside the 94-unit picture";
        break;
    }
    case IDD_INSTALL_DESTINATION:
        ExpectControls(w, {{IDC_HEADER, L"Static"}, {IDC_DESTINATION_NOTE, L"Static"},
                           {IDC_DESTINATION_GROUP, L"Button"}, {IDC_DESTINATION, L"Edit"},
                           {IDC_BROWSE, L"Button"}, {IDC_SPACE_REQUIRED_LABEL, L"Static"},
                           {IDC_SPACE_AVAILABLE_LABEL, L"Static"}, {IDC_SPACE_REQUIRED, L"Edit"},
                           {IDC_SPACE_AVAILABLE, L"Edit"}});
        EXPECT_EQ(Style(w, IDC_DESTINATION_GROUP) & BS_TYPEMASK, BS_GROUPBOX);
        EXPECT_FALSE(Style(w, IDC_DESTINATION) & ES_READONLY);
        EXPECT_TRUE(Style(w, IDC_SPACE_REQUIRED) & ES_READONLY);
        EXPECT_TRUE(Style(w, IDC_SPACE_AVAILABLE) & ES_READONLY);
        break;
    case IDD_INSTALL_PROGRESS:
    case IDD_UNINSTALL_PROGRESS:
        ExpectControls(w, {{IDC_HEADER, L"Static"}, {IDC_FOLDER_LABEL, L"Static"},
                           {IDC_FOLDER, L"Edit"}, {IDC_ITEM_LABEL, L"Static"}, {IDC_ITEM, L"Edit"},
                           {IDC_PROGRESS_BAR, L"msctls_progress32"}});
        EXPECT_TRUE(Style(w, IDC_FOLDER) & ES_READONLY);
        EXPECT_TRUE(Style(w, IDC_ITEM) & ES_READONLY);
        break;
    case IDD_INSTALL_COMPLETION:
    case IDD_UNINSTALL_COMPLETION: {
        ExpectControls(w, {{IDC_HEADER, L"Static"}, {IDC_COMPLETION_PICTURE, L"Static"}});
        SIZE picture = PictureSize(w, IDC_COMPLETION_PICTURE);
        EXPECT_EQ(picture.cx, 494);
        EXPECT_EQ(picture.cy, 250);
        RECT header = {};
        GetWindowRect(GetDlgItem(w, IDC_HEADER), &header);
        RECT below = {};
        GetWindowRect(GetDlgItem(w, IDC_COMPLETION_PICTURE), &below);
        EXPECT_GT(below.top, header.bottom) << "the picture starts below the header line";
        break;
    }
    default: FAIL() << "no expectations for page " << id;
    }
    if (GetDlgItem(w, IDC_HEADER)) page.ExpectAt(IDC_HEADER, 0, 0, 282, 40);
    page.Photograph(std::to_wstring(id));
}

INSTANTIATE_TEST_SUITE_P(Pages, PageTest,
                         testing::Values(IDD_INSTALL_WELCOME, IDD_INSTALL_DESTINATION,
                                         IDD_INSTALL_PROGRESS, IDD_INSTALL_COMPLETION,
                                         IDD_UNINSTALL_WELCOME, IDD_UNINSTALL_PROGRESS,
                                         IDD_UNINSTALL_COMPLETION));

TEST(SetupBitmaps, HaveTheirSizesAndKeyColours) {
    SIZE size = {};
    std::vector<DWORD> welcome = Pixels(IDB_WELCOME, size);
    EXPECT_EQ(size.cx, 164);
    EXPECT_EQ(size.cy, 314);
    // The welcome static centres the picture and fills the rest of the page
    // with its top-left colour: the top and bottom rows must be that colour.
    ASSERT_EQ(welcome.size(), 164u * 314u);
    for (LONG x = 0; x < size.cx; ++x) {
        EXPECT_EQ(welcome[x], welcome[0]) << "top row, x " << x;
        EXPECT_EQ(welcome[(size.cy - 1) * size.cx + x], welcome[0]) << "bottom row, x " << x;
    }

    std::vector<DWORD> completion = Pixels(IDB_COMPLETION, size);
    ASSERT_EQ(size.cx, 494);
    ASSERT_EQ(size.cy, 250);
    const size_t key = CountColour(completion, 212, 208, 200);
    EXPECT_GT(key, completion.size() / 2) << "the background is the key colour";
    EXPECT_LT(key, completion.size()) << "and something is drawn on it";
    EXPECT_EQ(completion[0], 0xD4D0C8u) << "the corners are background";
    EXPECT_EQ(completion.back(), 0xD4D0C8u);

    std::vector<DWORD> header = Pixels(IDB_HEADER, size);
    ASSERT_EQ(size.cx, 70);
    ASSERT_EQ(size.cy, 42);
    const size_t white = CountColour(header, 251, 251, 251);
    EXPECT_GT(white, header.size() / 3);
    EXPECT_LT(white, header.size());
}

TEST(SetupIcon, IsResource128) {
    EXPECT_NE(FindResourceW(g_module, MAKEINTRESOURCEW(IDI_MARBOSETUP), RT_GROUP_ICON), nullptr);
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: setup_templates_test MARBOSETUP.EXE\n");
        return 2;
    }
    g_setupExe = argv[1];
    if (!g_setupExe.empty() && g_setupExe[0] == L'/') g_setupExe = L"Z:" + g_setupExe;
    g_module = LoadLibraryExW(g_setupExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!g_module) {
        fprintf(stderr, "cannot load %ls (error %lu)\n", g_setupExe.c_str(), GetLastError());
        return 1;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    return RUN_ALL_TESTS();
}
