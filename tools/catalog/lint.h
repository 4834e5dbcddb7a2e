#ifndef TOOLS_CATALOG_LINT_H
#define TOOLS_CATALOG_LINT_H

#include <filesystem>
#include <string>
#include <vector>

// Checks a whole server tree on disk (the folder the update server serves):
// the catalogue trees of every family, model and board, worked out for each
// Windows name and board the tree serves, and the self-update trees.

struct LintFinding {
    bool error = false;  // an error makes the command fail; a warning does not
    std::wstring path;   // server path of the folder or file
    std::wstring message;
};

std::vector<LintFinding> LintTree(const std::filesystem::path &tree);

// "error: /path: message" lines, errors first, and a count line.
std::string FormatLintText(const std::vector<LintFinding> &findings);
std::string FormatLintJson(const std::vector<LintFinding> &findings);

#endif
