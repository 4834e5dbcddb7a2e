#ifndef SETUP_WIZARD_WIZARD_FLOW_H
#define SETUP_WIZARD_WIZARD_FLOW_H

// Which page each frame shows for a requested index, and how its buttons look
// there. The frames hold no other navigation logic.

enum class ButtonState { Hidden, Shown, Disabled };

// The buttons of a frame; `action` is Install or Uninstall, at Next's place.
struct PageButtons {
    ButtonState prev = ButtonState::Hidden;
    ButtonState next = ButtonState::Hidden;
    ButtonState action = ButtonState::Hidden;
    ButtonState complete = ButtonState::Hidden;
    ButtonState cancel = ButtonState::Shown;
};

struct PageChoice {
    int page = 0;  // index of the page to show (and to store as current)
    PageButtons buttons;
};

// Install frame pages: 0 welcome, 2 destination, 3 progress, 4 completion (1 has
// no page of its own). A package without files never shows the destination page.
namespace install_page {
constexpr int kWelcome = 0, kDestination = 2, kProgress = 3, kCompletion = 4;
}
PageChoice InstallPageFor(int target, int current, bool hasFiles);

// Uninstall frame pages: 0 welcome, 1 progress, 2 completion.
namespace uninstall_page {
constexpr int kWelcome = 0, kProgress = 1, kCompletion = 2;
}
PageChoice UninstallPageFor(int target);

// The index a button asks for from `current`, or -1 when it does nothing there.
// `last` is the completion page's index (4 or 2).
int PrevTarget(int current);
int NextTarget(int current, int last);    // install frame: below 2; uninstall frame: at 0
int ActionTarget(int current, int last);  // Install / Uninstall: below the last page

#endif
