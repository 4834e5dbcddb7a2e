#include "tools/pkgbuild/payload_plan.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <set>

#include "common/registry_path.h"
#include "common/text.h"
#include "setup/script/script_line.h"
#include "tools/pkgbuild/ansi_code_page.h"
#include "tools/pkgbuild/native_path.h"
#include "tools/pkgbuild/script_lines.h"

namespace fs = std::filesystem;

namespace {

std::string Utf8(const std::wstring &w) { return NarrowUtf8(w); }

uint32_t ModificationTime(const fs::path &p) {
#ifdef _WIN32
    struct _stat64 st;
    if (_wstat64(p.wstring().c_str(), &st) != 0) return 0;
#else
    struct stat st;
    if (stat(p.string().c_str(), &st) != 0) return 0;
#endif
    return st.st_mtime > 0 ? uint32_t(st.st_mtime) : 0;
}

std::wstring Lower(std::wstring s) {
    for (wchar_t &c : s)
        if (c >= L'A' && c <= L'Z') c = wchar_t(c - L'A' + L'a');
    return s;
}

std::wstring Joined(const std::vector<std::wstring> &parts) {
    std::wstring out;
    for (const std::wstring &p : parts) out += (out.empty() ? L"" : L"\\") + p;
    return out;
}

class Planner {
public:
    Planner(const PackageDescription &d, const fs::path &base, Diagnostics &diag, unsigned codePage)
        : d_(d), base_(base), diag_(diag), codePage_(codePage) {}

    PayloadPlan Run() {
        CheckGeneral();
        CheckExecute();
        for (const DescribedValue &v : d_.general) Add(GeneralLine(v.key, v.value), v.line);
        for (const DescribedValue &v : d_.execute) {
            if (v.key == L"AfterReboot" && !Truthy(v.value)) continue;
            Add(ExecuteLine(v.key, v.key == L"AfterReboot" ? L"TRUE" : v.value), v.line);
        }
        if (d_.uninstaller) {
            PlannedEntry e;
            e.kind = PlannedEntry::Kind::Uninstaller;
            e.name = kUninstallerEntryName;
            Push(e);
        }
        for (const FileSource &f : d_.files) AddFiles(f);
        for (const RegistryValueSpec &r : d_.registry) AddRegistry(r);
        for (const ShortcutSpec &s : d_.shortcuts) AddShortcut(s);
        return plan_;
    }

private:
    void Error(int line, const std::string &message) { diag_.Add(d_.file, line, message); }

    static bool Truthy(const std::wstring &v) {
        return EqualsNoCase(v, L"TRUE") || EqualsNoCase(v, L"yes");
    }

    void CheckGeneral() {
        for (const DescribedValue &v : d_.general) {
            if (v.key == L"InstallDir") continue;
            if (v.value.find(L'\\') != std::wstring::npos)
                Error(v.line, Utf8(v.key) + " must not contain \"\\\"");
            else if (!v.value.empty() && v.value.back() == L'/')
                Error(v.line, Utf8(v.key) + " must not end in \"/\": the setup wizard drops it");
        }
        std::wstring title = d_.General(L"Title");
        int titleLine = d_.LineOf(d_.general, L"Title");
        if (title.find_first_of(L":/") != std::wstring::npos)
            Error(titleLine, "Title must not contain \":\" or \"/\": the uninstaller would not "
                             "find the product's Uninstall registry key");
        if (d_.uninstaller && title.empty())
            Error(titleLine, "Title is needed: it names the product's Uninstall registry key "
                             "(or set Uninstaller = no in [Package])");

        int dirLine = d_.LineOf(d_.general, L"InstallDir");
        std::wstring dir = d_.General(L"InstallDir");
        if (dir.empty()) {
            if (d_.uninstaller)
                Error(dirLine, "InstallDir is needed: the uninstaller is put there");
        } else {
            std::vector<std::wstring> parts = PathComponents(dir);
            if (parts.empty() || EqualsNoCase(parts[0], L"{InstallDir}") ||
                !(IsSetupFolderToken(parts[0]) || IsDriveComponent(parts[0])))
                Error(dirLine, "InstallDir must begin with {ProgramFiles}, {WinDir}, {WinSysDir} "
                               "or a drive such as C:");
            CheckCarried(Joined(parts), dirLine, "InstallDir");
        }
    }

    void CheckExecute() {
        for (const DescribedValue &v : d_.execute) {
            if (v.key == L"AfterReboot") {
                if (!Truthy(v.value) && !EqualsNoCase(v.value, L"FALSE") &&
                    !EqualsNoCase(v.value, L"no") && !v.value.empty())
                    Error(v.line, "AfterReboot must be TRUE or FALSE, not \"" + Utf8(v.value) + "\"");
            } else {
                CheckCarried(v.value, v.line, Utf8(v.key));
            }
        }
    }

    void CheckCarried(const std::wstring &raw, int line, const std::string &what) {
        if (!SurvivesEscaping(raw))
            Error(line, what + " \"" + Utf8(raw) +
                            "\" cannot be carried exactly (doubled \"\\\", or a literal %2F, "
                            "%3A or %5C)");
    }

    void Push(PlannedEntry e) {
        if (!EncodeAnsi(e.name, codePage_, e.storedName)) {
            Error(e.line, "\"" + Utf8(e.name) + "\" " +
                              (codePage_ == 0
                                   ? std::string("has characters outside ASCII; name the target "
                                                 "systems' code page with --codepage (949 for "
                                                 "Korean Windows) to allow them")
                                   : "cannot be written in code page " + std::to_string(codePage_)));
            return;
        }
        if (e.kind == PlannedEntry::Kind::ScriptLine && e.storedName.back() != '/')
            e.storedName += '/';
        if (StripTrailing(e.name, L'/').size() > kMaxEntryName) {
            Error(e.line, "the script line \"" + Utf8(e.name) + "\" is " +
                              std::to_string(e.name.size()) + " characters long; the setup "
                              "wizard reads at most 259");
            return;
        }
        plan_.entries.push_back(std::move(e));
    }

    void Add(const std::wstring &line, int source) {
        PlannedEntry e;
        e.name = line;
        e.line = source;
        Push(std::move(e));
    }

    // Checks a target folder and returns its components (empty on error).
    std::vector<std::wstring> Target(const std::wstring &folder, int line) {
        std::vector<std::wstring> parts = PathComponents(folder);
        if (parts.empty() || !(IsSetupFolderToken(parts[0]) || IsDriveComponent(parts[0]))) {
            Error(line, "target folder \"" + Utf8(folder) + "\" must begin with {InstallDir}, "
                        "{ProgramFiles}, {WinDir}, {WinSysDir} or a drive such as C:");
            return {};
        }
        if (EqualsNoCase(parts[0], L"{InstallDir}") && d_.General(L"InstallDir").empty())
            Error(line, "the target uses {InstallDir} but [General] sets no InstallDir");
        for (const std::wstring &p : parts)
            if (p == L".." || p == L"." || (&p != &parts[0] && p.find(L':') != std::wstring::npos)) {
                Error(line, "target folder \"" + Utf8(folder) + "\" has a \"..\", \".\" or \":\" part");
                return {};
            }
        return parts;
    }

    // Adds a folder entry for every folder below the root that is not listed yet.
    void EnsureFolders(const std::vector<std::wstring> &parts, size_t count, int line, uint32_t time) {
        for (size_t n = 2; n <= count; ++n) {
            std::vector<std::wstring> prefix(parts.begin(), parts.begin() + long(n));
            if (!folders_.insert(Lower(Joined(prefix))).second) continue;
            PlannedEntry e;
            e.kind = PlannedEntry::Kind::Folder;
            e.name = FileTargetLine(prefix, true);
            e.modificationTime = time;
            e.line = line;
            Push(std::move(e));
        }
    }

    void AddFile(const fs::path &source, std::vector<std::wstring> target, int line) {
        std::error_code ec;
        uint64_t size = fs::file_size(source, ec);
        if (ec) return Error(line, "cannot read \"" + source.string() + "\": " + ec.message());
        if (size > kMaxEntrySize)
            return Error(line, "\"" + source.string() + "\" is larger than 2 GB, more than the "
                               "setup wizard can extract");
        std::wstring key = Lower(Joined(target));
        if (EqualsNoCase(key, L"{InstallDir}\\Uninstall.exe") && d_.uninstaller)
            return Error(line, "{InstallDir}\\Uninstall.exe is where the uninstaller goes");
        auto seen = targets_.emplace(key, line);
        if (!seen.second)
            return Error(line, "installs \"" + Utf8(Joined(target)) + "\" a second time (first on "
                               "line " + std::to_string(seen.first->second) + ")");
        uint32_t time = ModificationTime(source);
        EnsureFolders(target, target.size() - 1, line, time);
        PlannedEntry e;
        e.kind = PlannedEntry::Kind::File;
        e.name = FileTargetLine(target, false);
        e.source = source;
        e.size = size;
        e.modificationTime = time;
        e.line = line;
        plan_.fileBytes += size;
        Push(std::move(e));
    }

    void AddTree(const fs::path &folder, const std::vector<std::wstring> &target, int line) {
        EnsureFolders(target, target.size(), line, ModificationTime(folder));
        std::error_code ec;
        std::vector<fs::directory_entry> children;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            children.push_back(*it);
        if (ec) return Error(line, "cannot list \"" + folder.string() + "\": " + ec.message());
        std::sort(children.begin(), children.end(),
                  [](const fs::directory_entry &a, const fs::directory_entry &b) {
                      return a.path().filename() < b.path().filename();
                  });
        for (const fs::directory_entry &child : children) {
            std::vector<std::wstring> below = target;
            below.push_back(WidePath(child.path().filename()));
            if (child.is_directory(ec)) AddTree(child.path(), below, line);
            else if (child.is_regular_file(ec)) AddFile(child.path(), below, line);
            else Error(line, "\"" + child.path().string() + "\" is neither a file nor a folder");
        }
    }

    void AddFiles(const FileSource &f) {
        std::vector<std::wstring> target = Target(f.targetFolder, f.line);
        if (target.empty()) return;
        fs::path source = base_ / PathFromWide(f.source);
        std::error_code ec;
        fs::file_status status = fs::status(source, ec);
        if (ec || !fs::exists(status))
            return Error(f.line, "source \"" + source.string() + "\" does not exist");
        if (fs::is_directory(status)) return AddTree(source, target, f.line);
        target.push_back(WidePath(source.filename()));
        AddFile(source, target, f.line);
    }

    void AddRegistry(const RegistryValueSpec &r) {
        RegistryPath path;
        if (!SplitRegistryPath(r.keyPath, path) || !path.hasBackslash)
            Error(r.line, "registry key \"" + Utf8(r.keyPath) + "\" must begin with "
                          "HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG, HKEY_CURRENT_USER, "
                          "HKEY_LOCAL_MACHINE or HKEY_USERS and a backslash");
        if (r.valueName.empty())
            Error(r.line, "a registry value needs a name: the setup wizard skips unnamed values");
        CheckCarried(r.keyPath, r.line, "the registry key");
        CheckCarried(r.valueName, r.line, "the value name");
        CheckCarried(r.data, r.line, "the data");
        Add(RegistryLine(r), r.line);
    }

    void AddShortcut(const ShortcutSpec &s) {
        if (!BeginsWithShortcutToken(s.folder))
            Error(s.line, "shortcut folder \"" + Utf8(s.folder) + "\" must begin with {StartMenu}, "
                          "{Startup}, {DeskTop} or {QuickLaunch}");
        if (s.name.find_first_of(L"\\/:") != std::wstring::npos)
            Error(s.line, "shortcut name \"" + Utf8(s.name) + "\" must not contain \\, / or :");
        for (const std::wstring *v : {&s.folder, &s.description, &s.target, &s.arguments})
            CheckCarried(*v, s.line, "the shortcut's text");
        Add(ShortcutLine(s), s.line);
    }

    const PackageDescription &d_;
    fs::path base_;
    Diagnostics &diag_;
    unsigned codePage_;
    PayloadPlan plan_;
    std::set<std::wstring> folders_;
    std::map<std::wstring, int> targets_;
};

}  // namespace

PayloadPlan PlanPayload(const PackageDescription &description, const fs::path &baseFolder,
                        Diagnostics &diagnostics, unsigned codePage) {
    return Planner(description, baseFolder, diagnostics, codePage).Run();
}
