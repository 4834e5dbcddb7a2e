// The install and uninstall frames' page tables and button rules, walked the
// way the buttons walk them.
#include <gtest/gtest.h>

#include "setup/wizard/wizard_flow.h"

namespace {

using S = ButtonState;

struct Expected {
    int page;
    S prev, next, action, complete, cancel;
};

void ExpectChoice(const PageChoice &c, const Expected &e) {
    EXPECT_EQ(c.page, e.page);
    EXPECT_EQ(c.buttons.prev, e.prev);
    EXPECT_EQ(c.buttons.next, e.next);
    EXPECT_EQ(c.buttons.action, e.action);
    EXPECT_EQ(c.buttons.complete, e.complete);
    EXPECT_EQ(c.buttons.cancel, e.cancel);
}

const Expected kWelcomeWithFiles = {0, S::Hidden, S::Shown, S::Hidden, S::Hidden, S::Shown};
const Expected kWelcomeNoFiles = {0, S::Hidden, S::Hidden, S::Shown, S::Hidden, S::Shown};
const Expected kDestination = {2, S::Shown, S::Hidden, S::Shown, S::Hidden, S::Shown};
const Expected kProgress = {3, S::Hidden, S::Hidden, S::Disabled, S::Hidden, S::Shown};
const Expected kCompletion = {4, S::Hidden, S::Hidden, S::Hidden, S::Shown, S::Disabled};

TEST(InstallPages, WelcomeOffersNextOnlyWhenThereAreFilesToPlace) {
    ExpectChoice(InstallPageFor(0, 0, true), kWelcomeWithFiles);
    ExpectChoice(InstallPageFor(0, 0, false), kWelcomeNoFiles);
}

TEST(InstallPages, IndexOneLeadsForwardToDestinationOrProgressAndBackToWelcome) {
    ExpectChoice(InstallPageFor(1, 0, true), kDestination);
    ExpectChoice(InstallPageFor(1, 0, false), kProgress);
    ExpectChoice(InstallPageFor(1, 2, true), kWelcomeWithFiles);
    ExpectChoice(InstallPageFor(1, 3, false), kWelcomeNoFiles);
}

TEST(InstallPages, IndexTwoWithoutFilesIsProgressForwardAndWelcomeBackward) {
    ExpectChoice(InstallPageFor(2, 0, true), kDestination);
    ExpectChoice(InstallPageFor(2, 3, true), kDestination);
    ExpectChoice(InstallPageFor(2, 0, false), kProgress);
    ExpectChoice(InstallPageFor(2, 4, false), kWelcomeNoFiles);
}

TEST(InstallPages, ProgressAndCompletion) {
    ExpectChoice(InstallPageFor(3, 2, true), kProgress);
    ExpectChoice(InstallPageFor(4, 3, true), kCompletion);
    ExpectChoice(InstallPageFor(4, 3, false), kCompletion);
}

// Walks the buttons as the frame does: Install/Uninstall move one index on.
int PressAction(int current, bool hasFiles) {
    int target = ActionTarget(current, install_page::kCompletion);
    return target < 0 ? current : InstallPageFor(target, current, hasFiles).page;
}
int PressPrev(int current, bool hasFiles) {
    int target = PrevTarget(current);
    return target < 0 ? current : InstallPageFor(target, current, hasFiles).page;
}
int PressNext(int current, bool hasFiles) {
    int target = NextTarget(current, install_page::kCompletion);
    return target < 0 ? current : InstallPageFor(target, current, hasFiles).page;
}

TEST(InstallButtons, PackageWithFilesGoesThroughTheDestinationPage) {
    int page = PressNext(0, true);
    EXPECT_EQ(page, install_page::kDestination);
    EXPECT_EQ(PressNext(page, true), install_page::kDestination);  // Next stops below 2
    EXPECT_EQ(PressPrev(page, true), install_page::kWelcome);
    EXPECT_EQ(PressAction(page, true), install_page::kProgress);
}

TEST(InstallButtons, PackageWithoutFilesGoesFromWelcomeToProgress) {
    EXPECT_EQ(PressAction(0, false), install_page::kProgress);
    EXPECT_EQ(PressPrev(0, false), 0);
}

TEST(InstallButtons, ActionAndNextDoNothingAtTheEnd) {
    EXPECT_EQ(ActionTarget(4, install_page::kCompletion), -1);
    EXPECT_EQ(NextTarget(2, install_page::kCompletion), -1);
    EXPECT_EQ(PrevTarget(0), -1);
}

TEST(UninstallPages, TableAndButtons) {
    ExpectChoice(UninstallPageFor(0), {0, S::Hidden, S::Hidden, S::Shown, S::Hidden, S::Shown});
    ExpectChoice(UninstallPageFor(1), {1, S::Hidden, S::Hidden, S::Disabled, S::Hidden, S::Shown});
    ExpectChoice(UninstallPageFor(2), {2, S::Hidden, S::Hidden, S::Hidden, S::Shown, S::Disabled});
    EXPECT_EQ(ActionTarget(0, uninstall_page::kCompletion), 1);
    EXPECT_EQ(ActionTarget(1, uninstall_page::kCompletion), 2);
    EXPECT_EQ(ActionTarget(2, uninstall_page::kCompletion), -1);
    // The hidden Next goes on only from the welcome page.
    EXPECT_EQ(NextTarget(0, uninstall_page::kCompletion), 1);
    EXPECT_EQ(NextTarget(1, uninstall_page::kCompletion), -1);
}

}  // namespace
