// tessel-catalog: preview what a device is offered, check a tree, publish into it.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/catalog/command_line.h"
#include "tools/catalog/preview_command.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage:\n"
    "  tessel-catalog preview TREE --family MID|CMPC --model NAME --windows Win7|Vista|XP\n"
    "                 [--suffix S] [--serial S] [--language 0412]\n"
    "                 [--installed FILE] [--program-files FILE] [--json]\n"
    "\n"
    "TREE is the folder the update server serves (see docs/publishing.md).\n"
    "preview  prints what Tessel on that device shows: the rows of the selection page\n"
    "         with installed and new versions and ticks, each row's packages in the\n"
    "         order they are installed, the report folders it creates, and why each\n"
    "         other component of the tree is not offered. --installed takes a registry\n"
    "         export (.reg) or \"component=version\" lines; --program-files lists the\n"
    "         program files present (one path a line).\n";

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
