#include "setup/wizard/welcome_page_win.h"

#include <string>

#include "setup/res/resource.h"
#include "setup/script/setup_settings.h"

CWelcomePage::CWelcomePage(int templateId, const LocalizedText &welcome)
    : CWizardPage(templateId), welcome_(welcome) {}

void CWelcomePage::OnInit() {
    text_.Attach(GetDlgItem(Window(), IDC_WELCOME_TEXT), CHeaderStatic::Kind::Welcome);
    const std::wstring text = L" " + ProductCaption() + Localized(welcome_);
    text_.SetText(text.c_str());
}
