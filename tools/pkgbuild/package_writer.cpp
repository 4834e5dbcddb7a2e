#include "tools/pkgbuild/package_writer.h"

#include <fstream>
#include <sstream>

#include "common/text.h"
#include "common/zip/file_stream.h"
#include "common/zip/zip_error.h"
#include "common/zip/zip_writer.h"
#include "setup/script/marker_search.h"
#include "setup/script/setup_markers.h"
#include "tools/pkgbuild/marker_scan.h"
#include "tools/pkgbuild/native_path.h"
#include "tools/pkgbuild/parallel_entries.h"

#include <algorithm>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Removes the temporary file unless the build got through.
class PartialFile {
public:
    explicit PartialFile(fs::path path) : path_(std::move(path)) {}
    ~PartialFile() {
        if (!kept_) {
            std::error_code ec;
            fs::remove(path_, ec);
        }
    }
    void Keep() { kept_ = true; }
    const fs::path &Path() const { return path_; }

private:
    fs::path path_;
    bool kept_ = false;
};

uint32_t Now() { return uint32_t(std::time(nullptr)); }

unsigned Jobs(unsigned asked) {
    if (asked) return asked;
    return std::max(1u, std::thread::hardware_concurrency());
}

// The plan's entries as the parallel writer takes them.
std::vector<ParallelEntry> ParallelEntries(const PayloadPlan &plan, const fs::path &program,
                                           uint64_t programBytes, uint32_t now) {
    std::vector<ParallelEntry> entries;
    for (const PlannedEntry &e : plan.entries) {
        ParallelEntry p;
        p.name = e.storedName;
        p.meta.modificationTime = e.modificationTime ? e.modificationTime : now;
        p.label = e.name;
        switch (e.kind) {
            case PlannedEntry::Kind::ScriptLine:
            case PlannedEntry::Kind::Folder:
                p.folder = true;
                break;
            case PlannedEntry::Kind::File:
                p.source = e.source;
                p.size = e.size;
                p.compress = !zip::IsPrecompressedName(e.storedName);
                break;
            case PlannedEntry::Kind::Uninstaller:
                p.meta.modificationTime = now;
                p.source = program;
                p.size = programBytes;
                break;
        }
        entries.push_back(std::move(p));
    }
    return entries;
}

using Report = std::function<void(uint64_t, const std::wstring &)>;

// One entry after another through the streaming writer (--jobs 1).
void WriteEntriesSerially(zip::ZipWriter &writer, const PayloadPlan &plan, ByteStream &program,
                          uint64_t programBytes, const BuildOptions &o, uint32_t now,
                          const std::string &descName, const Report &report) {
    for (const PlannedEntry &e : plan.entries) {
        zip::ZipEntryMeta meta;
        meta.modificationTime = e.modificationTime ? e.modificationTime : now;
        switch (e.kind) {
            case PlannedEntry::Kind::ScriptLine:
            case PlannedEntry::Kind::Folder:
                writer.AddFolder(e.storedName, meta);
                break;
            case PlannedEntry::Kind::File: {
                auto source = FileStream::Open(WidePath(e.source), FileStream::Mode::Read);
                if (!source)
                    throw BuildFailure(descName + ":" + std::to_string(e.line) + ": cannot open \"" +
                                       e.source.string() + "\"\n");
                writer.AddData(e.storedName, *source, e.size, !zip::IsPrecompressedName(e.storedName),
                               meta, o.level, [&](uint64_t n) { report(n, e.name); });
                break;
            }
            case PlannedEntry::Kind::Uninstaller:
                program.Seek(0);
                meta.modificationTime = now;
                writer.AddData(e.storedName, program, programBytes, true, meta, o.level,
                               [&](uint64_t n) { report(n, e.name); });
                break;
        }
    }
}

}  // namespace

std::string CheckSetupProgram(const fs::path &program) {
    auto in = FileStream::Open(WidePath(program), FileStream::Mode::Read);
    if (!in) return "cannot open the setup program";
    const SetupFileMarks marks = ScanSetupFile(*in);
    if (!marks.windowsProgram)
        return "the setup program is not a Windows program (no \"MZ\" header)";
    if (marks.installer.Found() || marks.uninstaller.Found())
        return "the setup program already carries a setup marker (it is a package or an "
               "uninstaller, not the plain marboSetup.exe)";
    return "";
}

BuildResult BuildPackage(const BuildOptions &o) {
    const std::string descName = o.description.string();
    std::ifstream in(o.description, std::ios::binary);
    if (!in) throw BuildFailure(descName + ": cannot read the package description\n");
    std::stringstream text;
    text << in.rdbuf();

    Diagnostics diagnostics;
    PackageDescription description = ParseDescription(text.str(), descName, diagnostics);
    fs::path base = o.description.parent_path();
    PayloadPlan plan =
        PlanPayload(description, base.empty() ? fs::path(".") : base, diagnostics, o.codePage);
    std::string programProblem = CheckSetupProgram(o.program);
    if (!programProblem.empty()) diagnostics.Add(o.program.string(), 0, programProblem);
    std::error_code ec;
    if (fs::exists(o.output, ec) && fs::equivalent(o.output, o.program, ec))
        diagnostics.Add(o.output.string(), 0, "the output would overwrite the setup program");
    if (!diagnostics.Empty()) throw BuildFailure(diagnostics.Text());

    BuildResult result;
    result.programBytes = fs::file_size(o.program, ec);
    result.fileBytes = plan.fileBytes;
    const uint64_t total = result.programBytes * (description.uninstaller ? 2 : 1) + plan.fileBytes;
    uint64_t done = 0;
    auto report = [&](uint64_t step, const std::wstring &entry) {
        done += step;
        if (o.progress) o.progress(done, total, entry);
    };

    PartialFile partial(fs::path(o.output).concat(".partial"));
    try {
        auto out = FileStream::Open(WidePath(partial.Path()), FileStream::Mode::CreateAlways);
        if (!out) throw BuildFailure(partial.Path().string() + ": cannot create the package\n");
        auto program = FileStream::Open(WidePath(o.program), FileStream::Mode::Read);
        if (!program || !CopyStream(*program, *out, result.programBytes))
            throw BuildFailure(o.output.string() + ": copying the setup program failed\n");
        report(result.programBytes, L"");
        const std::string marker = InstallerMarker();
        if (!out->Write(marker.data(), marker.size()))
            throw BuildFailure(o.output.string() + ": writing failed\n");

        zip::ZipWriter writer(*out, o.absoluteOffsets);
        const uint32_t now = Now();
        if (Jobs(o.jobs) > 1) {
            WriteEntriesInParallel(writer, ParallelEntries(plan, o.program, result.programBytes, now),
                                   o.level, Jobs(o.jobs),
                                   [&](uint64_t n, const std::wstring &entry) { report(n, entry); });
        } else {
            WriteEntriesSerially(writer, plan, *program, result.programBytes, o, now, descName, report);
        }
        writer.Finish();
        result.entries = writer.Count();
        if (!out->Flush()) throw BuildFailure(o.output.string() + ": writing failed\n");
        result.packageBytes = out->Size();
    } catch (const CZipException &e) {
        throw BuildFailure(o.output.string() + ": writing the archive failed: " + e.what() + "\n");
    }
    fs::rename(partial.Path(), o.output, ec);
    if (ec)
        throw BuildFailure(o.output.string() + ": cannot put the package in place: " +
                           ec.message() + "\n");
    partial.Keep();
    return result;
}
