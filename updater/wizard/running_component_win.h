#ifndef UPDATER_WIZARD_RUNNING_COMPONENT_WIN_H
#define UPDATER_WIZARD_RUNNING_COMPONENT_WIN_H

#include <string>

// Ends the maker application a component installs before its files are replaced:
// the owner of a notification-area icon whose class or title matches, then a
// top-level window whose class name is `component` or whose title is the
// component's window title. The program to start again afterwards
// (`programFilesFolder`\`packageName`\program file), or empty when nothing ran.
std::wstring CloseRunningComponent(const std::wstring &component, const std::wstring &packageName,
                                   const std::wstring &programFilesFolder);

#endif
