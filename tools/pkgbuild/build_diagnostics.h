#ifndef TOOLS_PKGBUILD_BUILD_DIAGNOSTICS_H
#define TOOLS_PKGBUILD_BUILD_DIAGNOSTICS_H

#include <stdexcept>
#include <string>
#include <vector>

// Problems found in a package description, each naming its file and line, so a
// packager can go straight to it. Messages are UTF-8.
struct Diagnostic {
    std::string file;
    int line = 0;  // 0: about the file as a whole
    std::string message;

    std::string Text() const;  // "file:line: message"
};

class Diagnostics {
public:
    void Add(const std::string &file, int line, const std::string &message);
    bool Empty() const { return items_.empty(); }
    const std::vector<Diagnostic> &Items() const { return items_; }
    std::string Text() const;  // one line per problem

private:
    std::vector<Diagnostic> items_;
};

// Thrown when a package cannot be built; what() holds every problem found.
class BuildFailure : public std::runtime_error {
public:
    explicit BuildFailure(const std::string &text) : std::runtime_error(text) {}
};

#endif
