#include "tools/pkgbuild/build_diagnostics.h"

std::string Diagnostic::Text() const {
    std::string text = file;
    if (line > 0) text += ":" + std::to_string(line);
    return text + ": " + message;
}

void Diagnostics::Add(const std::string &file, int line, const std::string &message) {
    items_.push_back(Diagnostic{file, line, message});
}

std::string Diagnostics::Text() const {
    std::string text;
    for (const Diagnostic &d : items_) text += d.Text() + "\n";
    return text;
}
