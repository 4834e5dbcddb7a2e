#include "setup/wizard/destination_page_win.h"

#include <shlobj.h>

#include "common/size_text.h"
#include "setup/res/resource.h"
#include "setup/script/setup_settings.h"
#include "setup/wizard/destination_rules.h"
#include "setup/wizard/wizard_texts.h"

namespace {

// The browser selects the folder the edit names once it is ready.
int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED)
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

}  // namespace

CDestinationPage::CDestinationPage() : CWizardPage(IDD_INSTALL_DESTINATION) {}

void CDestinationPage::OnInit() {
    UseHeader(wizard_text::kDestinationHeader);
    SetItemText(IDC_DESTINATION_NOTE, wizard_text::kDestinationNote);
    SetItemText(IDC_DESTINATION_GROUP, wizard_text::kDestinationGroup);
    SetItemText(IDC_BROWSE, wizard_text::kBrowse);
    SetItemText(IDC_SPACE_REQUIRED_LABEL, wizard_text::kSpaceRequired);
    SetItemText(IDC_SPACE_AVAILABLE_LABEL, wizard_text::kSpaceAvailable);
    SetItemText(IDC_DESTINATION, ProcessSetupSettings().InstallDir);
    ShowDiskSpace();
}

bool CDestinationPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR &result) {
    if (message == WM_COMMAND) {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == IDC_DESTINATION && code == EN_UPDATE) {
            ProcessSetupSettings().InstallDir = EditText();
            result = 0;
            return true;
        }
        if (id == IDC_BROWSE && code == BN_CLICKED) {
            Browse();
            result = 0;
            return true;
        }
    }
    return CWizardPage::OnMessage(message, wParam, lParam, result);
}

std::wstring CDestinationPage::EditText() const {
    HWND edit = GetDlgItem(Window(), IDC_DESTINATION);
    std::wstring text(size_t(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(edit, &text[0], int(text.size()))));
    return text;
}

void CDestinationPage::Browse() {
    const std::wstring current = EditText();
    wchar_t display[MAX_PATH] = L"";
    BROWSEINFOW info = {};
    info.hwndOwner = Window();
    info.pszDisplayName = display;
    info.lpszTitle = wizard_text::kBrowseTitle;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    info.lpfn = &BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(current.c_str());
    PIDLIST_ABSOLUTE picked = SHBrowseForFolderW(&info);
    if (!picked) return;
    wchar_t path[MAX_PATH] = L"";
    const bool havePath = SHGetPathFromIDListW(picked, path) != FALSE;
    CoTaskMemFree(picked);
    if (!havePath || !path[0]) return;

    SetupSettings &settings = ProcessSetupSettings();
    const std::wstring chosen = DestinationFromPick(path, settings.InstallFolderName);
    SetItemText(IDC_DESTINATION, chosen);  // EN_UPDATE stores it as well
    settings.InstallDir = chosen;
    ShowDiskSpace();
}

void CDestinationPage::ShowDiskSpace() {
    const SetupSettings &settings = ProcessSetupSettings();
    SetItemText(IDC_SPACE_REQUIRED, FormatSize(settings.RequiredBytes));

    ULARGE_INTEGER available = {}, total = {}, free = {};
    const std::wstring volume = VolumeOf(settings.InstallDir);
    if (!volume.empty() && GetDiskFreeSpaceExW(volume.c_str(), &available, &total, &free))
        SetItemText(IDC_SPACE_AVAILABLE, FormatSize(double(free.QuadPart)));
    else
        SetItemText(IDC_SPACE_AVAILABLE, wizard_text::kSpaceUnknown);
}
