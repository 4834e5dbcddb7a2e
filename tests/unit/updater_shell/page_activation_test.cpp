#include <gtest/gtest.h>

#include "updater/wizard/page_activation.h"

namespace {

void ExpectRequest(long long wParam, int lastPage, int page, bool start) {
    PageRequest request = PageForActivation(wParam, lastPage);
    EXPECT_EQ(page, request.page) << "wParam " << wParam << ", last page " << lastPage;
    EXPECT_EQ(start, request.start) << "wParam " << wParam << ", last page " << lastPage;
}

TEST(ShowRequest, FromStartUpRestartsTheSearchUnlessInstalling) {
    ExpectRequest(1, kNoPage, kSearchPage, true);
    ExpectRequest(1, kSearchPage, kSearchPage, true);
    ExpectRequest(1, kSelectPage, kSearchPage, true);
    ExpectRequest(1, kProgressPage, kProgressPage, false);
    ExpectRequest(7, kSelectPage, kSearchPage, true);
}

TEST(ShowRequest, FromASecondCopyKeepsTheLastPage) {
    ExpectRequest(0, kNoPage, kSearchPage, true);
    ExpectRequest(0, kSearchPage, kSearchPage, false);
    ExpectRequest(0, kSelectPage, kSelectPage, false);
    ExpectRequest(0, kProgressPage, kProgressPage, false);
    ExpectRequest(-1, kNoPage, kSearchPage, true);
    ExpectRequest(-1, kSelectPage, kSelectPage, false);
}

}  // namespace
