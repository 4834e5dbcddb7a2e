// marbo-pack: builds setup packages from a package description and lists them.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/size_text.h"
#include "common/text.h"
#include "tools/pkgbuild/ansi_code_page.h"
#include "tools/pkgbuild/build_diagnostics.h"
#include "tools/pkgbuild/package_listing.h"
#include "tools/pkgbuild/package_writer.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage:\n"
    "  marbo-pack build DESCRIPTION --program marboSetup.exe --output PACKAGE.exe\n"
    "                   [--absolute-offsets] [--level 1-9] [--jobs N] [--codepage N] [--quiet]\n"
    "  marbo-pack list PACKAGE.exe [--codepage N]\n"
    "\n"
    "build  writes the setup program, the installer marker and the payload archive\n"
    "       made from DESCRIPTION (see docs/package-builder.md).\n"
    "list   shows a package's mode, script lines, files and sizes, or an\n"
    "       uninstaller's record.\n"
    "--jobs N      deflate on N threads (default: one per core; 1: one entry after\n"
    "              another through the streaming writer).\n"
    "--codepage N  the target systems' ANSI code page for texts outside ASCII\n"
    "              (949 Korean, 1252 Western); without it, script lines must be ASCII.\n";

unsigned ParseCodePage(const std::string &text) {
    char *end = nullptr;
    unsigned long n = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || n == 0 || n > 65535 || !CodePageAvailable(unsigned(n)))
        throw BuildFailure("--codepage " + text + ": not a code page this system can convert to\n");
    return unsigned(n);
}

// Progress lines for packages large enough to take a while: one per tenth.
class ProgressPrinter {
public:
    void operator()(uint64_t done, uint64_t total, const std::wstring &) {
        if (total < kWorthShowing) return;
        int tenth = int(done * 10 / total);
        if (tenth <= shown_) return;
        shown_ = tenth;
        std::fprintf(stderr, "marbo-pack: %3d%% (%s of %s)\n", tenth * 10,
                     NarrowUtf8(FormatSize(double(done))).c_str(),
                     NarrowUtf8(FormatSize(double(total))).c_str());
    }

private:
    static constexpr uint64_t kWorthShowing = 16u << 20;
    int shown_ = 0;
};

int Fail(const std::string &text) {
    std::fputs(text.c_str(), stderr);
    return 1;
}

int Run(const std::vector<fs::path> &args) {
    if (args.empty()) return Fail(kUsage);
    const std::string command = args[0].string();
    if (command == "list" && (args.size() == 2 || (args.size() == 4 && args[2] == "--codepage"))) {
        unsigned codePage = args.size() == 4 ? ParseCodePage(args[3].string()) : 0;
        std::fputs(ListPackage(args[1], codePage).c_str(), stdout);
        return 0;
    }
    if (command != "build") return Fail(kUsage);

    BuildOptions options;
    bool quiet = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string a = args[i].string();
        auto next = [&](const char *what) -> fs::path {
            if (i + 1 >= args.size()) throw BuildFailure(std::string(what) + " needs a value\n");
            return args[++i];
        };
        if (a == "--program") options.program = next("--program");
        else if (a == "--output" || a == "-o") options.output = next("--output");
        else if (a == "--absolute-offsets") options.absoluteOffsets = true;
        else if (a == "--quiet") quiet = true;
        else if (a == "--codepage") options.codePage = ParseCodePage(next("--codepage").string());
        else if (a == "--jobs") {
            std::string jobs = next("--jobs").string();
            char *end = nullptr;
            unsigned long n = std::strtoul(jobs.c_str(), &end, 10);
            if (jobs.empty() || *end != '\0' || n < 1 || n > 64)
                throw BuildFailure("--jobs takes a number from 1 to 64\n");
            options.jobs = unsigned(n);
        } else if (a == "--level") {
            std::string level = next("--level").string();
            if (level.size() != 1 || level[0] < '1' || level[0] > '9')
                throw BuildFailure("--level takes a number from 1 to 9\n");
            options.level = level[0] - '0';
        } else if (!a.empty() && a[0] == '-') {
            throw BuildFailure("unknown option " + a + "\n" + kUsage);
        } else if (options.description.empty()) {
            options.description = args[i];
        } else {
            throw BuildFailure("more than one description given\n" + std::string(kUsage));
        }
    }
    if (options.description.empty() || options.program.empty() || options.output.empty())
        return Fail(kUsage);
    ProgressPrinter printer;
    if (!quiet) options.progress = [&printer](uint64_t d, uint64_t t, const std::wstring &e) {
        printer(d, t, e);
    };
    BuildResult r = BuildPackage(options);
    if (!quiet)
        std::printf("%s: %zu entries, %s of files, %s in all\n", options.output.string().c_str(),
                    r.entries, NarrowUtf8(FormatSize(double(r.fileBytes))).c_str(),
                    NarrowUtf8(FormatSize(double(r.packageBytes))).c_str());
    return 0;
}

int Main(const std::vector<fs::path> &args) {
    try {
        return Run(args);
    } catch (const BuildFailure &e) {
        return Fail(e.what());
    } catch (const std::exception &e) {
        return Fail(std::string("marbo-pack: ") + e.what() + "\n");
    }
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t **argv) {
    std::vector<fs::path> args(argv + 1, argv + argc);
    return Main(args);
}
#else
int main(int argc, char **argv) {
    std::vector<fs::path> args(argv + 1, argv + argc);
    return Main(args);
}
#endif
