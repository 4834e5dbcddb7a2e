#ifndef SETUP_WIZARD_PROGRESS_PAGE_WIN_H
#define SETUP_WIZARD_PROGRESS_PAGE_WIN_H

#include <functional>
#include <memory>

// The engine control's inline members need its job and channel types complete.
#include "setup/engine/engine_job_win.h"
#include "setup/engine/engine_control_win.h"
#include "setup/wizard/wizard_page_win.h"

// Progress page (107, 110): the folder and item the engine is working on and
// its progress bar (control 1014, owned by the engine control). The engine
// runs while this page is current and is stopped before the page goes away.
class CProgressPage : public CWizardPage {
public:
    struct Texts {
        const LocalizedText &header;
        const LocalizedText &itemLabel;
    };
    // `finished` runs when the engine reports the end of its run (the frame
    // then shows its completion page).
    CProgressPage(int templateId, std::unique_ptr<CEngineControl> engine, Texts texts,
                  std::function<void()> finished);

    bool Start();
    void StopWorker();

private:
    void OnInit() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR &result) override;
    void ShowItem();

    std::unique_ptr<CEngineControl> engine_;
    Texts texts_;
    std::function<void()> finished_;
    std::wstring shownItem_;  // the item the Folder and Item texts show
};

#endif
