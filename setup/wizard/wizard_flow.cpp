#include "setup/wizard/wizard_flow.h"

namespace {

PageChoice Welcome(bool hasFiles) {
    PageChoice c;
    c.page = install_page::kWelcome;
    c.buttons.next = hasFiles ? ButtonState::Shown : ButtonState::Hidden;
    c.buttons.action = hasFiles ? ButtonState::Hidden : ButtonState::Shown;
    return c;
}

PageChoice Destination() {
    PageChoice c;
    c.page = install_page::kDestination;
    c.buttons.prev = ButtonState::Shown;
    c.buttons.action = ButtonState::Shown;
    return c;
}

PageChoice Progress(int page) {
    PageChoice c;
    c.page = page;
    c.buttons.action = ButtonState::Disabled;
    return c;
}

PageChoice Completion(int page) {
    PageChoice c;
    c.page = page;
    c.buttons.complete = ButtonState::Shown;
    c.buttons.cancel = ButtonState::Disabled;
    return c;
}

}  // namespace

PageChoice InstallPageFor(int target, int current, bool hasFiles) {
    switch (target) {
        case 1:
            // Index 1 is a way station: backwards it is the welcome page, forwards
            // the destination page, or the progress page when there is nothing to place.
            if (current > 1) return Welcome(hasFiles);
            return hasFiles ? Destination() : Progress(install_page::kProgress);
        case 2:
            if (hasFiles) return Destination();
            return current > 2 ? Welcome(hasFiles) : Progress(install_page::kProgress);
        case 3:
            return Progress(install_page::kProgress);
        case 4:
            return Completion(install_page::kCompletion);
        default:
            return Welcome(hasFiles);
    }
}

PageChoice UninstallPageFor(int target) {
    if (target == uninstall_page::kProgress) return Progress(uninstall_page::kProgress);
    if (target == uninstall_page::kCompletion) return Completion(uninstall_page::kCompletion);
    PageChoice c;
    c.page = uninstall_page::kWelcome;
    c.buttons.action = ButtonState::Shown;
    return c;
}

int PrevTarget(int current) { return current > 0 ? current - 1 : -1; }

int NextTarget(int current, int last) {
    const int limit = last == install_page::kCompletion ? 2 : 1;
    return current < limit ? current + 1 : -1;
}

int ActionTarget(int current, int last) { return current < last ? current + 1 : -1; }
