#include "tools/catalog/publish.h"

#include <atomic>
#include <sstream>

#include "common/text.h"
#include "tools/catalog/package_check.h"
#include "tools/pkgbuild/native_path.h"
#include "updater/catalogue/catalogue_walk.h"
#include "updater/catalogue/listing_names.h"
#include "updater/catalogue/local_folder_lister.h"
#include "updater/catalogue/server_folders.h"
#include "updater/catalogue/version_compare.h"
#include "updater/shell/self_update_paths.h"

#ifndef _WIN32
#include <unistd.h>
#else
#include <process.h>
#endif

namespace fs = std::filesystem;

namespace {

const wchar_t kRegion[] = L"Korea";

std::wstring Quote(const std::wstring &text) { return L"\"" + text + L"\""; }

// Why a device would leave `name` out of its listing (empty when it takes it).
std::wstring BadName(const std::wstring &what, const std::wstring &name,
                     ListedAs kind = ListedAs::kFolder) {
    if (name.empty()) return what + L" is empty";
    const std::wstring refused = RefusedListingName(name, kind);
    if (refused.empty()) return L"";
    return what + L" " + Quote(name) + L": " + refused + L"; no device would list it";
}

class Checks {
public:
    void Add(const std::wstring &problem) {
        if (!problem.empty()) m_problems << NarrowUtf8(problem) << "\n";
    }
    void ThrowIfAny() const {
        if (!m_problems.str().empty()) throw PublishRefused(m_problems.str());
    }

private:
    std::ostringstream m_problems;
};

// The component or self-update folder that holds the version folders.
std::wstring VersionParent(const PublishRequest &r) {
    DeviceProfile profile;
    profile.family = r.family;
    profile.modelName = r.model;
    switch (r.target) {
        case PublishRequest::Target::DriverRoot:
            return DriverRoot(profile, r.driverRoot) + L"/" + r.component + L"/" + r.windowsFolder;
        case PublishRequest::Target::SetupRoot:
            return ModelFolder(profile) + L"/" + r.board + L"/Setup/" + r.component;
        case PublishRequest::Target::SelfUpdate:
            break;
    }
    return StripTrailing(SelfUpdateSetupFolder(kRegion, r.family), L'/');
}

// "TesselMIDSetup 1.2.F.exe" -> "1.2.F"; empty for other names.
std::wstring VersionFromSetupName(const std::wstring &family, const std::wstring &name) {
    const std::wstring prefix = L"Tessel" + family + L"Setup ", suffix = L".exe";
    if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        !EndsWithNoCase(name, suffix))
        return L"";
    return name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
}

void CheckTarget(const PublishRequest &r, Checks &checks) {
    if (r.family != L"MID" && r.family != L"CMPC") checks.Add(L"the family must be MID or CMPC");
    if (r.target == PublishRequest::Target::SelfUpdate) return;
    checks.Add(BadName(L"the model", r.model));
    checks.Add(BadName(L"the component", r.component));
    if (r.target == PublishRequest::Target::SetupRoot) {
        checks.Add(BadName(L"the board folder", r.board));
        if (r.board.size() > 4)
            checks.Add(L"the board folder is the first four characters of the serial text: " +
                       Quote(r.board) + L" is longer");
        return;
    }
    if (r.driverRoot < 1 || r.driverRoot > 9) checks.Add(L"driver roots are numbered 1 to 9");
    if (r.windowsFolder != L"Win7" && r.windowsFolder != L"Vista" && r.windowsFolder != L"XP")
        checks.Add(L"the Windows folder must be Win7, Vista or XP");
    else if (r.windowsFolder == L"Win7" && ExcludedOnWin7(r.component))
        checks.Add(Quote(r.component) + L" is never offered on Windows 7: a \"Win7\" folder reaches "
                                        L"no device");
    else if (r.windowsFolder != L"Win7" && OnlyFromWin7(r.component))
        checks.Add(L"\"HIDeGalaxTouch\" is offered from its \"Win7\" folder only");
}

void CheckVersion(const fs::path &tree, const std::wstring &parent, const PublishRequest &r,
                  const std::wstring &version, Checks &checks) {
    const std::wstring bad = BadName(L"the version", version);
    if (!bad.empty()) return checks.Add(bad);
    if (version.find(L' ') != std::wstring::npos && !r.force)
        checks.Add(L"the version " + Quote(version) +
                   L" has a blank, which some FTP listings on the devices cut (--force to publish "
                   L"it all the same)");
    LocalFolderLister lister(tree);
    TextList existing;
    lister.ListFolders(existing, parent);
    for (const std::wstring &name : existing) {
        if (EqualsNoCase(name, version) || CompareVersion(name, version) == 0)
            return checks.Add(L"version " + Quote(name) + L" is already published in " + parent +
                              L"; a published version is never replaced");
    }
    if (existing.empty() || r.force) return;
    SortNames(existing, CompareVersion);
    if (CompareVersion(version, existing.back()) < 0)
        checks.Add(L"version " + Quote(version) + L" is older than " + Quote(existing.back()) +
                   L", the newest in " + parent + L", by the version order (--force to publish it)");
}

void CheckFiles(const PublishRequest &r, const TextList &names, Checks &checks) {
    if (r.files.empty()) checks.Add(L"no file to publish: a version folder without files is "
                                    L"offered to no device");
    if (r.target == PublishRequest::Target::SelfUpdate && r.files.size() > 1)
        checks.Add(L"a self-update version holds one setup package");
    for (size_t i = 0; i < r.files.size(); ++i) {
        const fs::path &file = r.files[i];
        std::error_code ec;
        if (!fs::is_regular_file(file, ec)) {
            checks.Add(WidePath(file) + L": not a file");
            continue;
        }
        for (size_t k = 0; k < i; ++k)
            if (EqualsNoCase(names[k], names[i]))
                checks.Add(WidePath(file) + L": a second file named " + Quote(names[i]) +
                           L" (names are compared without regard to letter case)");
        if (r.target == PublishRequest::Target::SelfUpdate) {
            const std::string why = CheckSetupPackage(file);
            if (!why.empty()) checks.Add(WidePath(file) + L": " + WidenUtf8(why));
            continue;
        }
        checks.Add(BadName(L"the file name", names[i], ListedAs::kFile));
        if (names[i].find(L' ') != std::wstring::npos && !r.force)
            checks.Add(WidePath(file) + L": the name has a blank, which some FTP listings on the "
                                    L"devices cut (--force to publish it all the same)");
        if (IsZipPackageName(names[i])) {
            const std::string why = CheckZipPackage(file);
            if (!why.empty()) checks.Add(WidePath(file) + L": " + WidenUtf8(why));
        }
    }
}

// A folder at the tree's root that the version folder is built in; removed
// with whatever it still holds.
class Staging {
public:
    explicit Staging(const fs::path &tree) {
        static std::atomic<int> counter{0};
#ifdef _WIN32
        const int pid = _getpid();
#else
        const int pid = getpid();
#endif
        m_path = tree / (".tessel-catalog-staging-" + std::to_string(pid) + "-" +
                         std::to_string(counter++));
        fs::create_directory(m_path);
    }
    ~Staging() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    const fs::path &Path() const { return m_path; }

private:
    fs::path m_path;
};

}  // namespace

PublishResult Publish(const fs::path &tree, const PublishRequest &request) {
    PublishRequest r = request;
    Checks checks;
    std::error_code ec;
    if (fs::exists(tree, ec) && !fs::is_directory(tree, ec))
        throw PublishRefused(tree.string() + ": not a folder\n");
    CheckTarget(r, checks);
    TextList names;
    for (const fs::path &file : r.files) names.push_back(WidePath(file.filename()));
    if (r.target == PublishRequest::Target::SelfUpdate && !r.files.empty()) {
        const std::wstring named = VersionFromSetupName(r.family, names[0]);
        if (r.version.empty()) r.version = named;
        if (r.version.empty())
            checks.Add(L"the version is not given, and the file is not named \"Tessel" + r.family +
                       L"Setup <version>.exe\"");
        else if (!named.empty() && named != r.version)
            checks.Add(L"the file is named for version " + Quote(named) + L", not " +
                       Quote(r.version));
        names[0] = BuildSelfUpdatePaths(kRegion, r.family, r.version, L"", L"").setupFileName;
    }
    checks.ThrowIfAny();
    const std::wstring parent = VersionParent(r);
    CheckVersion(tree, parent, r, r.version, checks);
    CheckFiles(r, names, checks);
    checks.ThrowIfAny();

    fs::create_directories(tree);  // the first publish into a new tree
    LocalFolderLister lister(tree);
    const fs::path parentFolder = lister.LocalPath(parent);
    PublishResult result;
    result.versionFolder = parent + L"/" + r.version;
    Staging staging(tree);
    const fs::path built = staging.Path() / PathFromWide(r.version);
    fs::create_directory(built);
    for (size_t i = 0; i < r.files.size(); ++i) {
        fs::copy_file(r.files[i], built / PathFromWide(names[i]));
        result.files.push_back(result.versionFolder + L"/" + names[i]);
    }
    // Folders made on the way are taken away again when the version cannot be put in place.
    fs::path firstMade;
    for (fs::path p = parentFolder; !fs::exists(p); p = p.parent_path()) firstMade = p;
    try {
        fs::create_directories(parentFolder);
        fs::rename(built, parentFolder / PathFromWide(r.version));
    } catch (const fs::filesystem_error &) {
        std::error_code ec;
        if (!firstMade.empty()) fs::remove_all(firstMade, ec);
        throw;
    }
    return result;
}
