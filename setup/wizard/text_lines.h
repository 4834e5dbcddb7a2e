#ifndef SETUP_WIZARD_TEXT_LINES_H
#define SETUP_WIZARD_TEXT_LINES_H

#include <string>
#include <vector>

// The lines of a static's text, split at "\r\n" (a lone "\n" or "\r" breaks too).
// A final line break adds no empty line.
std::vector<std::wstring> SplitTextLines(const std::wstring &text);

#endif
