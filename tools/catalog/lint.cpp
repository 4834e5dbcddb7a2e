#include "tools/catalog/lint.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "common/text.h"
#include "tools/catalog/device_state.h"
#include "tools/catalog/json_text.h"
#include "tools/catalog/package_check.h"
#include "tools/catalog/preview.h"
#include "updater/catalogue/catalogue_walk.h"
#include "updater/catalogue/local_folder_lister.h"
#include "updater/catalogue/server_folders.h"
#include "updater/catalogue/version_compare.h"
#include "updater/shell/self_update_paths.h"

namespace fs = std::filesystem;

namespace {

const wchar_t *const kFamilies[] = {L"MID", L"CMPC"};
const wchar_t *const kWindowsNames[] = {L"Win7", L"Vista", L"XP"};
const wchar_t kRegion[] = L"Korea";

std::wstring Quote(const std::wstring &text) { return L"\"" + text + L"\""; }

class Linter {
public:
    explicit Linter(const fs::path &tree) : m_tree(tree), m_lister(tree) {}

    std::vector<LintFinding> Run() {
        TextList top;
        m_lister.ListFolders(top, L"/");
        for (const std::wstring &name : top) {
            if (name.size() > 2 && name.front() == L'[' && name.back() == L']') {
                const std::wstring family = name.substr(1, name.size() - 2);
                if (family == L"MID" || family == L"CMPC") LintFamily(family);
                else Error(L"/" + name, L"not a device family: Tessel asks for \"[MID]\" and \"[CMPC]\" only");
            }
        }
        for (const wchar_t *family : kFamilies) LintSelfUpdate(family);
        for (const LocalFolderLister::RefusedEntry &refused : m_lister.Refused())
            Error(StripTrailing(refused.folder, L'/') + L"/" + refused.name,
                  L"no device lists this name (" + refused.reason + L")");
        return std::move(m_findings);
    }

private:
    void Error(const std::wstring &path, const std::wstring &message) {
        m_findings.push_back({true, path, message});
    }
    void Warning(const std::wstring &path, const std::wstring &message) {
        m_findings.push_back({false, path, message});
    }
    TextList Folders(const std::wstring &path) {
        TextList names;
        m_lister.ListFolders(names, path);
        return names;
    }
    TextList Files(const std::wstring &path) {
        FileListing listing;
        m_lister.ListFiles(listing, path);
        TextList names;
        for (const ListedFile &file : listing) names.push_back(file.name);
        return names;
    }
    fs::path Local(const std::wstring &path) { return m_lister.LocalPath(path); }

    // Names that a device's FTP listing may cut at the first blank.
    void CheckListedName(const std::wstring &path, const std::wstring &name) {
        if (name.find(L' ') != std::wstring::npos)
            Warning(path, L"the name has a blank: some FTP listings on the devices cut it there");
    }

    void LintFamily(const std::wstring &family) {
        const std::wstring familyFolder = L"/[" + family + L"]";
        for (const std::wstring &model : Folders(familyFolder)) {
            if (model != L"[]") LintModel(family, model);
        }
    }

    void LintModel(const std::wstring &family, const std::wstring &model) {
        DeviceProfile profile;
        profile.family = family;
        profile.modelName = model;
        const std::wstring modelFolder = ModelFolder(profile);
        const std::wstring driverFolder = modelFolder + L"/[common2]";
        std::set<std::wstring> roots;
        for (int n = 1; n <= 9; ++n) roots.insert(DriverRoot(profile, n));
        for (const std::wstring &name : Folders(driverFolder)) {
            const std::wstring root = driverFolder + L"/" + name;
            if (!roots.count(root)) {
                Error(root, L"not a driver root: Tessel walks \"Drivers_1\" to \"Drivers_9\" only");
                continue;
            }
            for (const std::wstring &component : Folders(root)) LintDriverComponent(root, component);
        }
        TextList boards;
        for (const std::wstring &name : Folders(modelFolder)) {
            if (name == L"[common2]") continue;
            const std::wstring board = modelFolder + L"/" + name;
            if (name.size() > 4) {
                Error(board, L"no device has this board folder: it is the first four characters of "
                             L"the serial text (\"0000\" when there is none)");
                continue;
            }
            TextList setup = Folders(board);
            if (std::find(setup.begin(), setup.end(), L"Setup") == setup.end()) {
                Warning(board, L"a board folder without \"Setup\": nothing in it is offered");
                continue;
            }
            boards.push_back(name);
            for (const std::wstring &component : Folders(board + L"/Setup"))
                LintVersions(board + L"/Setup/" + component, component, true);
        }
        LintShadowing(profile, boards);
    }

    void LintDriverComponent(const std::wstring &root, const std::wstring &component) {
        const std::wstring folder = root + L"/" + component;
        CheckListedName(folder, component);
        for (const std::wstring &windows : Folders(folder)) {
            const std::wstring path = folder + L"/" + windows;
            bool known = false;
            for (const wchar_t *name : kWindowsNames) known = known || windows == name;
            if (!known) {
                std::wstring hint;
                for (const wchar_t *name : kWindowsNames)
                    if (EqualsNoCase(windows, name)) hint = L" (write it " + Quote(name) + L")";
                Error(path, L"not a Windows folder: Tessel looks for \"Win7\", \"Vista\" and \"XP\" "
                            L"only" + hint);
                continue;
            }
            if (windows == L"Win7" && ExcludedOnWin7(component)) {
                Error(path, Quote(component) + L" is never offered on Windows 7: this folder "
                              L"reaches no device");
                continue;
            }
            if (windows != L"Win7" && OnlyFromWin7(component)) {
                Error(path, L"\"HIDeGalaxTouch\" is offered from its \"Win7\" folder only: this "
                            L"folder reaches no device");
                continue;
            }
            LintVersions(path, component, false);
        }
    }

    // The version folders below one component (and Windows folder).
    void LintVersions(const std::wstring &parent, const std::wstring &component, bool setupRoot) {
        if (setupRoot) CheckListedName(parent, component);
        TextList versions = Folders(parent);
        if (versions.empty()) {
            Warning(parent, L"no version folder: the component is not offered from here");
            return;
        }
        SortNames(versions, CompareVersion);
        for (const std::wstring &version : versions) {
            const std::wstring folder = parent + L"/" + version;
            CheckListedName(folder, version);
            const TextList files = Files(folder);
            const bool newest = &version == &versions.back();
            if (files.empty()) {
                const std::wstring what = Folders(folder).empty() ? L"holds no files"
                                                                 : L"holds only folders";
                if (newest)
                    Error(folder, L"the newest version folder " + what +
                                      L": devices are offered nothing of this component from here");
                else
                    Warning(folder, L"an older version folder " + what);
            }
            for (const std::wstring &file : files) {
                const std::wstring path = folder + L"/" + file;
                CheckListedName(path, file);
                if (!IsZipPackageName(file)) continue;
                const std::string why = CheckZipPackage(Local(path));
                if (!why.empty()) Error(path, L"the ZIP package " + WidenUtf8(why));
            }
        }
    }

    // A component folder that the walk finds and then always replaces by a
    // later root's, on every device the tree serves.
    void LintShadowing(DeviceProfile profile, TextList boards) {
        if (boards.empty()) boards.push_back(L"");
        std::map<std::wstring, std::wstring> replaced;  // root/component -> by which root
        std::set<std::wstring> offered;
        DeviceState none(profile.family);
        for (const std::wstring &board : boards) {
            profile.serial = board == L"0000" ? L"" : board;
            for (const wchar_t *windows : kWindowsNames) {
                profile.windowsName = windows;
                const PreviewReport report = Preview(m_lister, none, profile, 0x0412);
                for (const ComponentRow &row : report.rows.Rows())
                    offered.insert(row.packages->front().root + L"/" + row.name);
                for (const NotOffered &n : report.notOffered)
                    if (StartsWithNoCase(n.reason, L"replaced by"))
                        replaced[n.root + L"/" + n.component] = n.reason;
            }
        }
        for (const auto &entry : replaced) {
            if (!offered.count(entry.first))
                Warning(entry.first, L"reaches no device: always " + entry.second);
        }
    }

    void LintSelfUpdate(const std::wstring &family) {
        const std::wstring setupFolder = StripTrailing(SelfUpdateSetupFolder(kRegion, family), L'/');
        for (const std::wstring &version : Folders(setupFolder)) {
            const std::wstring folder = setupFolder + L"/" + version;
            const std::wstring file = BuildSelfUpdatePaths(kRegion, family, version, L"", L"").setupFileName;
            const TextList files = Files(folder);
            if (std::find(files.begin(), files.end(), file) == files.end()) {
                Error(folder, L"a self-update version folder without its setup file " + Quote(file) +
                                  L": while it is the newest, Tessel on every " + family +
                                  L" device ends at start");
                continue;
            }
            const std::string why = CheckSetupPackage(Local(folder + L"/" + file));
            if (!why.empty())
                Error(folder + L"/" + file, WidenUtf8(why) + L": Tessel on every " + family +
                                                L" device would start it and end");
        }
    }

    fs::path m_tree;
    LocalFolderLister m_lister;
    std::vector<LintFinding> m_findings;
};

}  // namespace

std::vector<LintFinding> LintTree(const fs::path &tree) {
    std::vector<LintFinding> findings = Linter(tree).Run();
    std::stable_sort(findings.begin(), findings.end(),
                     [](const LintFinding &a, const LintFinding &b) { return a.error > b.error; });
    return findings;
}

std::string FormatLintText(const std::vector<LintFinding> &findings) {
    std::ostringstream out;
    size_t errors = 0;
    for (const LintFinding &f : findings) {
        errors += f.error ? 1 : 0;
        out << (f.error ? "error: " : "warning: ") << NarrowUtf8(f.path) << ": "
            << NarrowUtf8(f.message) << "\n";
    }
    out << errors << " error(s), " << findings.size() - errors << " warning(s)\n";
    return out.str();
}

std::string FormatLintJson(const std::vector<LintFinding> &findings) {
    std::ostringstream out;
    out << "[";
    for (size_t i = 0; i < findings.size(); ++i)
        out << (i ? ",\n  " : "\n  ") << "{\"severity\": \""
            << (findings[i].error ? "error" : "warning") << "\", \"path\": "
            << JsonString(findings[i].path) << ", \"message\": " << JsonString(findings[i].message)
            << "}";
    out << "\n]\n";
    return out.str();
}
