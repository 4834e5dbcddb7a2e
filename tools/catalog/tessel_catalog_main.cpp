// tessel-catalog: preview what a device is offered, check a tree, publish into it.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <filesystem>
#include <string>
#include <vector>

#include "common/text.h"
#include "tools/catalog/command_line.h"
#include "tools/catalog/lint.h"
#include "tools/catalog/publish.h"
#include "tools/catalog/preview_command.h"
#include "tools/catalog/signing_command.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage:\n"
    "  tessel-catalog preview TREE --family MID|CMPC --model NAME --windows Win7|Vista|XP\n"
    "                 [--suffix S] [--serial S] [--language 0412]\n"
    "                 [--installed FILE] [--program-files FILE] [--json]\n"
    "                 [--index [--key PUBLIC]]\n"
    "  tessel-catalog lint TREE [--json] [--key PUBLIC]\n"
    "  tessel-catalog publish TREE FILE... --family MID|CMPC --model NAME --component NAME\n"
    "                 --version V (--drivers 1-9 --windows Win7|Vista|XP | --board B) [--force]\n"
    "  tessel-catalog publish TREE TesselMIDSetup\\ V.exe --self-update --family MID\n"
    "                 [--version V] [--force]\n"
    "  (publish also takes --key PRIVATE: the tree's release index is signed again)\n"
    "  tessel-catalog keygen --out PREFIX [--comment TEXT]\n"
    "  tessel-catalog sign TREE --key PRIVATE [--tree /[MID]/MODEL] [--serial N]\n"
    "\n"
    "TREE is the folder the update server serves (see docs/publishing.md).\n"
    "preview  prints what Tessel on that device shows: the rows of the selection page\n"
    "         with installed and new versions and ticks, each row's packages in the\n"
    "         order they are installed, the report folders it creates, and why each\n"
    "         other component of the tree is not offered. --installed takes a registry\n"
    "         export (.reg) or \"component=version\" lines; --program-files lists the\n"
    "         program files present, one a line, whole or below Program Files\n"
    "         or the Windows folder (marboDMB\\dmbplayer.exe).\n"
    "lint     checks the whole tree for every device it serves: folders no device is\n"
    "         ever offered, version folders without files, names with blanks, ZIP\n"
    "         packages that do not read back, self-update folders without a valid\n"
    "         setup package. Exit status 1 when it finds an error.\n"
    "publish  puts the files into a new version folder (driver root n with its Windows\n"
    "         folder, the setup root of a model and board, or the self-update tree),\n"
    "         built aside and renamed into place. Refused, with the tree unchanged: a\n"
    "         version that is not the newest (unless --force) or already there, a ZIP\n"
    "         package that does not read back or would unpack outside its folder, a\n"
    "         self-update file that is not a setup package, names with blanks (unless\n"
    "         --force), folders that reach no device.\n"
    "keygen   makes a release key pair (RSA 3072): PREFIX.private-key, which stays\n"
    "         offline, and PREFIX.public-key, which Tessel is built with.\n"
    "sign     writes the signed release index of every catalogue and self-update tree\n"
    "         (or of --tree), beside it (\"/[MID]/marbo K4.tessel-index\"), with a\n"
    "         serial one higher than the index's before (or --serial). See docs/signing.md.\n"
    "lint --key  also checks every release index: its signature, and each folder and\n"
    "         file of its tree both ways with sizes and SHA-256.\n"
    "preview --index  walks the model's release index instead of the folders.\n";

int RunLint(const CommandLine &line) {
    if (line.Plain().size() != 1) throw UsageError("lint takes one tree");
    if (!fs::is_directory(line.Plain()[0]))
        throw std::runtime_error(line.Plain()[0].string() + ": not a folder");
    std::vector<LintFinding> findings = LintTree(line.Plain()[0]);
    const std::vector<LintFinding> indexFindings = LintIndexes(line, line.Plain()[0]);
    findings.insert(findings.end(), indexFindings.begin(), indexFindings.end());
    std::stable_sort(findings.begin(), findings.end(),
                     [](const LintFinding &a, const LintFinding &b) { return a.error > b.error; });
    const std::string text = line.Switch("json") ? FormatLintJson(findings) : FormatLintText(findings);
    std::fputs(text.c_str(), stdout);
    for (const LintFinding &f : findings)
        if (f.error) return 1;
    return 0;
}

int RunPublish(const CommandLine &line) {
    if (line.Plain().size() < 2) throw UsageError("publish takes a tree and the files to publish");
    PublishRequest request;
    request.family = line.Text("family");
    request.model = line.Text("model");
    request.windowsFolder = line.Text("windows");
    request.board = line.Text("board");
    request.component = line.Text("component");
    request.version = line.Text("version");
    request.force = line.Switch("force");
    request.files.assign(line.Plain().begin() + 1, line.Plain().end());
    const bool drivers = line.Has("drivers"), board = line.Has("board");
    if (line.Switch("self-update")) {
        if (drivers || board || line.Has("model") || line.Has("component"))
            throw UsageError("--self-update takes --family, --version and the setup package only");
        request.target = PublishRequest::Target::SelfUpdate;
    } else if (drivers == board) {
        throw UsageError("give --drivers N with --windows, or --board, or --self-update");
    } else if (drivers) {
        request.target = PublishRequest::Target::DriverRoot;
        const std::wstring n = line.Text("drivers");
        request.driverRoot = n.size() == 1 && n[0] >= L'1' && n[0] <= L'9' ? n[0] - L'0' : 0;
    } else {
        request.target = PublishRequest::Target::SetupRoot;
    }
    if (request.target != PublishRequest::Target::SelfUpdate && request.version.empty())
        throw UsageError("--version names the version folder");
    const std::optional<RsaPrivateKey> key = PublishKey(line);
    try {
        const PublishResult result = Publish(line.Plain()[0], request);
        std::printf("published %s\n", NarrowUtf8(result.versionFolder).c_str());
        for (const std::wstring &file : result.files) std::printf("  %s\n", NarrowUtf8(file).c_str());
        if (key) SignPublishedTree(line.Plain()[0], request, *key);
        return 0;
    } catch (const PublishRefused &e) {
        std::fprintf(stderr, "tessel-catalog: publish refused; the tree is unchanged:\n%s", e.what());
        return 1;
    }
}

int Main(const std::vector<fs::path> &args) {
    try {
        if (args.empty()) throw UsageError("no command given");
        const std::string command = args[0].string();
        const std::vector<fs::path> rest(args.begin() + 1, args.end());
        if (command == "preview")
            return RunPreview(CommandLine(rest,
                                          {"family", "model", "suffix", "serial", "windows",
                                           "language", "installed", "program-files", "key"},
                                          {"json", "index"}));
        if (command == "publish")
            return RunPublish(CommandLine(rest,
                                          {"family", "model", "drivers", "windows", "board",
                                           "component", "version", "key"},
                                          {"self-update", "force"}));
        if (command == "lint") return RunLint(CommandLine(rest, {"key"}, {"json"}));
        if (command == "keygen") return RunKeygen(CommandLine(rest, {"out", "comment"}, {}));
        if (command == "sign") return RunSign(CommandLine(rest, {"key", "tree", "serial"}, {}));
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
