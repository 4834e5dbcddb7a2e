// tessel-catalog: preview what a device is offered, check a tree, publish into it.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/catalog/command_line.h"
#include "tools/catalog/lint.h"
#include "tools/catalog/preview_command.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage:\n"
    "  tessel-catalog preview TREE --family MID|CMPC --model NAME --windows Win7|Vista|XP\n"
    "                 [--suffix S] [--serial S] [--language 0412]\n"
    "                 [--installed FILE] [--program-files FILE] [--json]\n"
    "  tessel-catalog lint TREE [--json]\n"
    "\n"
    "TREE is the folder the update server serves (see docs/publishing.md).\n"
    "preview  prints what Tessel on that device shows: the rows of the selection page\n"
    "         with installed and new versions and ticks, each row's packages in the\n"
    "         order they are installed, the report folders it creates, and why each\n"
    "         other component of the tree is not offered. --installed takes a registry\n"
    "         export (.reg) or \"component=version\" lines; --program-files lists the\n"
    "         program files present (one path a line).\n"
    "lint     checks the whole tree for every device it serves: folders no device is\n"
    "         ever offered, version folders without files, names with blanks, ZIP\n"
    "         packages that do not read back, self-update folders without a valid\n"
    "         setup package. Exit status 1 when it finds an error.\n";

int RunLint(const CommandLine &line) {
    if (line.Plain().size() != 1) throw UsageError("lint takes one tree");
    if (!fs::is_directory(line.Plain()[0]))
        throw std::runtime_error(line.Plain()[0].string() + ": not a folder");
    const std::vector<LintFinding> findings = LintTree(line.Plain()[0]);
    const std::string text = line.Switch("json") ? FormatLintJson(findings) : FormatLintText(findings);
    std::fputs(text.c_str(), stdout);
    for (const LintFinding &f : findings)
        if (f.error) return 1;
    return 0;
}

int Main(const std::vector<fs::path> &args) {
    try {
        if (args.empty()) throw UsageError("no command given");
        const std::string command = args[0].string();
        const std::vector<fs::path> rest(args.begin() + 1, args.end());
        if (command == "preview")
            return RunPreview(CommandLine(rest,
                                          {"family", "model", "suffix", "serial", "windows",
                                           "language", "installed", "program-files"},
                                          {"json"}));
        if (command == "lint") return RunLint(CommandLine(rest, {}, {"json"}));
        if (command == "--help" || command == "help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        throw UsageError("unknown command " + command);
    } catch (const UsageError &e) {
        std::fprintf(stderr, "tessel-catalog: %s\n\n%s", e.what(), kUsage);
        return 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tessel-catalog: %s\n", e.what());
        return 1;
    }
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t **argv) { return Main(std::vector<fs::path>(argv + 1, argv + argc)); }
#else
int main(int argc, char **argv) { return Main(std::vector<fs::path>(argv + 1, argv + argc)); }
#endif
