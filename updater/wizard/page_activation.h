#ifndef UPDATER_WIZARD_PAGE_ACTIVATION_H
#define UPDATER_WIZARD_PAGE_ACTIVATION_H

// The wizard pages of the main window, as ShowPage numbers them.
enum WizardPage { kSearchPage = 0, kSelectPage = 1, kProgressPage = 2, kNoPage = 3 };

struct PageRequest {
    int page;
    bool start;  // start the page's work one timer tick later
};

// The show request's answer. `byUser` (wParam > 0) comes from start-up: the search
// starts again unless an installation is on the progress page. A second copy's
// request (wParam <= 0) brings back the last page as it was, or starts the search
// when no page was shown yet.
PageRequest PageForActivation(long long wParam, int lastPage);

#endif
