#include "updater/wizard/page_activation.h"

PageRequest PageForActivation(long long wParam, int lastPage) {
    if (wParam > 0) {
        if (lastPage == kProgressPage)
            return {kProgressPage, false};
        return {kSearchPage, true};
    }
    if (lastPage == kNoPage)
        return {kSearchPage, true};
    return {lastPage, false};
}
