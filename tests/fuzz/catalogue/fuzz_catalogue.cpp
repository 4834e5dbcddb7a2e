// Feeds arbitrary server names to the catalogue: version folder names and file
// names come from whoever publishes the tree. Lines (UTF-8, "\n"-separated) are
// compared pairwise, sorted, and walked as paths of a catalogue tree; the
// orderings must stay antisymmetric, the sort must leave no neighbour out of
// order, and the rows must keep their invariant (one per name, packages of the
// row's own newest version). A name the listing rule accepts as a file must give
// a package folder exactly one level below Program Files.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/unit/catalogue/catalogue_test_support.h"
#include "updater/catalogue/listing_names.h"
#include "updater/catalogue/version_compare.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

std::vector<std::wstring> Lines(const uint8_t *data, size_t size) {
    std::vector<std::wstring> lines;
    std::string line;
    for (size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == '\n') {
            lines.push_back(WidenUtf8(line));
            line.clear();
        } else {
            line += static_cast<char>(data[i]);
        }
    }
    return lines;
}

void CheckOrderings(const std::vector<std::wstring> &names) {
    for (const std::wstring &a : names) {
        Check(CompareVersion(a, a) == 0 && CompareFileName(a, a) == 0 && !IsOfferNewer(a, a));
        for (const std::wstring &b : names) {
            Check(CompareVersion(a, b) == -CompareVersion(b, a));
            Check(CompareFileName(a, b) == -CompareFileName(b, a));
            Check(!(IsOfferNewer(a, b) && IsOfferNewer(b, a)));
        }
    }
    for (NameComparison compare : {CompareVersion, CompareFileName}) {
        std::vector<std::wstring> sorted = names;
        SortNames(sorted, compare);
        Check(sorted.size() == names.size());
        for (size_t i = 0; i + 1 < sorted.size(); ++i)
            Check(compare(sorted[i], sorted[i + 1]) != 1);
    }
}

// Each line is a path below driver root 1 ("component/Win7/version/file").
void CheckWalk(const std::vector<std::wstring> &lines) {
    const std::wstring root = L"/[MID]/m/[common2]/Drivers_1";
    TreeLister server;
    for (const std::wstring &line : lines) {
        if (!line.empty() && line.find(L"//") == std::wstring::npos && line.back() != L'/')
            server.AddFile(root + L"/" + line);
    }
    InstalledTable installed;
    ComponentList list;
    for (const wchar_t *windows : {L"Win7", L"Vista", L"XP", L""})
        ScanRoot(server, installed, root, windows, list);
    for (size_t i = 0; i < list.Size(); ++i) {
        Check(!list[i].packages->empty());
        for (const PackageEntry &entry : *list[i].packages)
            Check(entry.component == list[i].name && entry.version == list[i].newVersion);
        for (size_t j = i + 1; j < list.Size(); ++j)
            Check(!EqualsNoCase(list[i].name, list[j].name));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > 4096)
        return 0;
    const std::vector<std::wstring> lines = Lines(data, size);
    if (lines.size() <= 64)
        CheckOrderings(lines);
    const std::wstring programFiles = L"C:\\Program Files";
    for (const std::wstring &name : lines) {
        if (IsUsableListingName(name, ListedAs::kFile))
            Check(IsPackageFolderIn(programFiles, programFiles + L"\\" + ListedPackageName(name)));
    }
    CheckWalk(lines);
    return 0;
}
