#include "tools/catalog/preview.h"

#include <cstdio>
#include <sstream>

#include "common/text.h"
#include "tools/catalog/json_text.h"
#include "tools/catalog/recording_lister.h"
#include "updater/catalogue/catalogue_walk.h"

namespace {

using Kind = RecordingLister::Request::Kind;

std::wstring Quote(const std::wstring &text) { return L"\"" + text + L"\""; }

std::wstring QuoteAll(const TextList &names) {
    std::wstring out;
    for (size_t i = 0; i < names.size(); ++i) out += (i ? L", " : L"") + Quote(names[i]);
    return out;
}

std::wstring LastPart(const std::wstring &path) { return path.substr(path.rfind(L'/') + 1); }

const ComponentRow *RowNamed(const ComponentList &rows, const std::wstring &name) {
    for (const ComponentRow &row : rows.Rows()) {
        if (EqualsNoCase(row.name, name)) return &row;
    }
    return nullptr;
}

// Why the walk, as recorded, did not offer `component` from `root`; empty when it did.
std::wstring WhyNotOffered(FolderLister &tree, const RecordingLister &walk, const std::wstring &root,
                           const std::wstring &component, const std::wstring &windowsName,
                           const ComponentList &rows) {
    const std::wstring componentFolder = root + L"/" + component;
    const RecordingLister::Request *parent = nullptr;
    TextList attempted;
    if (windowsName.empty()) {
        parent = walk.Find(Kind::Folders, componentFolder);
    } else {
        for (const wchar_t *folder : {L"Win7", L"Vista", L"XP"}) {
            if (const auto *attempt = walk.Find(Kind::Folders, componentFolder + L"/" + folder)) {
                attempted.push_back(folder);
                parent = attempt;
            }
        }
        if (attempted.empty()) {
            if (OnlyFromWin7(component)) return L"offered on Windows 7 only, from its \"Win7\" folder";
            return L"never offered on Windows 7";
        }
    }
    if (!parent || !parent->ok || parent->names.empty()) {
        if (windowsName.empty()) return L"no version folder";
        TextList present;
        tree.ListFolders(present, componentFolder);
        std::wstring why = L"no version folder in " + QuoteAll(attempted);
        return present.empty() ? why : why + L" (its folders: " + QuoteAll(present) + L")";
    }
    // The walk listed the newest version folder's files right after this listing.
    const RecordingLister::Request *files = nullptr;
    for (const auto &request : walk.Requests()) {
        if (request.kind == Kind::Files && request.path.size() > parent->path.size() + 1 &&
            request.path.compare(0, parent->path.size() + 1, parent->path + L"/") == 0 &&
            request.path.find(L'/', parent->path.size() + 1) == std::wstring::npos)
            files = &request;
    }
    if (!files) return L"";
    const std::wstring version = LastPart(files->path);
    if (!files->ok || files->names.empty()) {
        TextList inside;
        tree.ListFolders(inside, files->path);
        return L"its newest version folder " + Quote(version) + L" holds no files" +
               (inside.empty() ? L"" : L" (only folders: " + QuoteAll(inside) + L")");
    }
    const ComponentRow *row = RowNamed(rows, component);
    if (!row || row->packages->empty()) return L"";
    const PackageEntry &shown = row->packages->front();
    if (shown.root != root) return L"replaced by " + Quote(LastPart(shown.root)) + L", a later root";
    if (row->name != component) return L"replaced by " + Quote(row->name) + L" of the same root";
    return L"";
}

}  // namespace

std::wstring PackagePath(const PackageEntry &entry) {
    std::wstring path = entry.root + L"/" + entry.component;
    if (!entry.windowsFolder.empty()) path += L"/" + entry.windowsFolder;
    return path + L"/" + entry.version + L"/" + entry.fileName;
}

PreviewReport Preview(FolderLister &tree, InstalledVersions &installed, const DeviceProfile &profile,
                      unsigned short languageId) {
    PreviewReport report;
    report.profile = profile;
    report.languageId = languageId;
    report.paths = CataloguePathsFor(profile, languageId);
    RecordingLister walk(tree);
    WalkCatalogue(walk, installed, report.paths, profile.windowsName, report.rows);

    std::vector<std::pair<std::wstring, std::wstring>> roots;
    for (const std::wstring &root : report.paths.driverRoots) roots.emplace_back(root, profile.windowsName);
    roots.emplace_back(report.paths.setupRoot, L"");
    for (const auto &root : roots) {
        const auto *listing = walk.Find(Kind::Folders, root.first);
        PreviewRoot shown{root.first, listing && listing->ok, listing ? listing->names.size() : 0};
        report.roots.push_back(shown);
        if (!shown.exists) continue;
        for (const std::wstring &component : listing->names) {
            std::wstring why = WhyNotOffered(tree, walk, root.first, component, root.second, report.rows);
            if (!why.empty()) report.notOffered.push_back({root.first, component, why});
        }
    }
    return report;
}

namespace {

std::string Utf8(const std::wstring &text) { return NarrowUtf8(text); }

std::string Language(unsigned short id) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", unsigned(id));
    return text;
}

}  // namespace

std::string FormatPreviewText(const PreviewReport &r) {
    std::ostringstream out;
    const DeviceProfile &p = r.profile;
    out << "Device: " << Utf8(p.family) << " \"" << Utf8(p.modelName) << "\", suffix \""
        << Utf8(p.modelSuffix) << "\", serial \"" << Utf8(p.serial) << "\", Windows "
        << Utf8(p.windowsName) << ", language " << Language(r.languageId) << "\n";
    out << "\nReport folders created on the secondary server:\n  " << Utf8(r.paths.reportFolder)
        << "\n  " << Utf8(r.paths.deviceReportFolder) << "\n";
    out << "\nRoots walked:\n";
    for (const PreviewRoot &root : r.roots) {
        out << "  " << Utf8(root.path) << "  ";
        if (root.exists) out << root.components << " component folder(s)\n";
        else out << "(absent)\n";
    }
    if (r.rows.Empty()) {
        out << "\nSelection page: none; the search page says \"No components were found to be "
               "updated.\"\n";
    } else {
        out << "\nSelection page (" << r.rows.Size() << " rows; [x] ticked at the start):\n";
        for (const ComponentRow &row : r.rows.Rows()) {
            out << "  " << (row.checked ? "[x] " : "[ ] ") << Utf8(row.name)
                << "  installed " << Utf8(row.installedVersion) << ", new " << Utf8(row.newVersion)
                << "\n";
            for (const PackageEntry &entry : *row.packages)
                out << "        " << Utf8(PackagePath(entry)) << "\n";
        }
    }
    if (!r.notOffered.empty()) {
        out << "\nNot offered to this device:\n";
        for (const NotOffered &n : r.notOffered)
            out << "  " << Utf8(n.root.substr(n.root.rfind(L'/') + 1)) << "/" << Utf8(n.component)
                << ": " << Utf8(n.reason) << "\n";
    }
    return out.str();
}

std::string FormatPreviewJson(const PreviewReport &r) {
    std::ostringstream out;
    const DeviceProfile &p = r.profile;
    out << "{\n  \"device\": {\"family\": " << JsonString(p.family)
        << ", \"model\": " << JsonString(p.modelName) << ", \"suffix\": " << JsonString(p.modelSuffix)
        << ", \"serial\": " << JsonString(p.serial) << ", \"windows\": " << JsonString(p.windowsName)
        << ", \"language\": \"" << Language(r.languageId) << "\"},\n";
    out << "  \"reportFolders\": [" << JsonString(r.paths.reportFolder) << ", "
        << JsonString(r.paths.deviceReportFolder) << "],\n";
    out << "  \"roots\": [";
    for (size_t i = 0; i < r.roots.size(); ++i)
        out << (i ? ",\n    " : "\n    ") << "{\"path\": " << JsonString(r.roots[i].path)
            << ", \"exists\": " << (r.roots[i].exists ? "true" : "false")
            << ", \"components\": " << r.roots[i].components << "}";
    out << "\n  ],\n  \"rows\": [";
    for (size_t i = 0; i < r.rows.Size(); ++i) {
        const ComponentRow &row = r.rows[i];
        out << (i ? ",\n    " : "\n    ") << "{\"name\": " << JsonString(row.name)
            << ", \"installed\": " << JsonString(row.installedVersion)
            << ", \"new\": " << JsonString(row.newVersion)
            << ", \"checked\": " << (row.checked ? "true" : "false") << ", \"packages\": [";
        for (size_t k = 0; k < row.packages->size(); ++k) {
            const PackageEntry &e = (*row.packages)[k];
            out << (k ? ", " : "") << "{\"root\": " << JsonString(e.root)
                << ", \"windowsFolder\": " << JsonString(e.windowsFolder)
                << ", \"version\": " << JsonString(e.version) << ", \"file\": " << JsonString(e.fileName)
                << ", \"path\": " << JsonString(PackagePath(e)) << "}";
        }
        out << "]}";
    }
    out << "\n  ],\n  \"notOffered\": [";
    for (size_t i = 0; i < r.notOffered.size(); ++i)
        out << (i ? ",\n    " : "\n    ") << "{\"root\": " << JsonString(r.notOffered[i].root)
            << ", \"component\": " << JsonString(r.notOffered[i].component)
            << ", \"reason\": " << JsonString(r.notOffered[i].reason) << "}";
    out << "\n  ]\n}\n";
    return out.str();
}
