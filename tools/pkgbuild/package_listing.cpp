#include "tools/pkgbuild/package_listing.h"

#include <sstream>

#include "common/size_text.h"
#include "common/text.h"
#include "common/zip/file_stream.h"
#include "common/zip/zip_directory.h"
#include "common/zip/zip_error.h"
#include "setup/script/marker_search.h"
#include "setup/script/script_line.h"
#include "setup/script/setup_markers.h"
#include "setup/script/value_escaping.h"
#include "tools/pkgbuild/ansi_code_page.h"
#include "tools/pkgbuild/build_diagnostics.h"
#include "tools/pkgbuild/marker_scan.h"
#include "tools/pkgbuild/native_path.h"

namespace fs = std::filesystem;

namespace {

std::wstring Quoted(const std::wstring &s) { return L"\"" + s + L"\""; }

bool FindMarker(ByteStream &file, const std::string &marker, uint64_t &position) {
    MarkerSearch search(marker);
    ScanStream(file, {&search});
    position = search.Position();
    return search.FoundBefore(file.Size());
}

}  // namespace

std::wstring DescribeScriptLine(const std::wstring &name) {
    if (name == kUninstallerEntryName) return L"Uninstall.exe (the uninstaller program)";
    ScriptLine line = ParseScriptLine(name);
    if (!line.hasSection) return L"(ignored) " + name;
    if (IsSection(line, L"General") || IsSection(line, L"Execute")) {
        KeyValue kv = SplitKeyValue(line.remainder);
        if (!kv.valid) return L"(ignored) " + name;
        std::wstring value = StripTrailing(kv.value, L'/');
        bool escaped = EqualsNoCase(kv.key, L"InstallDir") || EqualsNoCase(kv.key, L"AfterPath") ||
                       EqualsNoCase(kv.key, L"AfterParam");
        return line.section + L"  " + kv.key + L" = " + (escaped ? UnescapeValue(value) : value);
    }
    if (IsSection(line, L"File")) {
        // Payload lines carry "Target=" and end in "/" for folders; record lines
        // have no key and mark folders with an escaped "/" at the end.
        KeyValue kv = SplitKeyValue(line.remainder);
        if (!kv.valid) return L"File  " + UnescapeValue(line.remainder);
        bool folder = name.back() == L'/';
        std::wstring key = EqualsNoCase(kv.key, L"Target") ? L"" : L"(" + kv.key + L", ignored) ";
        return L"File  " + key + UnescapeValue(kv.value) + (folder ? L"\\" : L"");
    }
    std::vector<std::wstring> f = SplitFields(StripTrailing(name, L'/'));
    while (f.size() < 6) f.emplace_back();
    for (std::wstring &x : f) x = UnescapeValue(x);
    if (IsSection(line, L"Registry")) {
        std::wstring text = L"Registry  " + f[1] + L"  " + Quoted(f[2]);
        if (!f[4].empty()) text += L" = " + f[4] + L" " + Quoted(f[3]);
        return text;
    }
    if (IsSection(line, L"Shortcut")) {
        std::wstring text = L"Shortcut  " + f[1] + L"\\" + f[2];
        if (!f[4].empty()) text += L" -> " + Quoted(f[4]);
        if (!f[5].empty()) text += L" " + f[5];
        if (!f[3].empty()) text += L"  (" + f[3] + L")";
        return text;
    }
    return L"(ignored) " + name;
}

std::string ListPackage(const fs::path &package, unsigned codePage) {
    auto file = FileStream::Open(WidePath(package), FileStream::Mode::Read);
    if (!file) throw BuildFailure(package.string() + ": cannot open\n");
    uint64_t at = 0;
    bool installer = FindMarker(*file, InstallerMarker(), at);
    if (!installer && !FindMarker(*file, UninstallerMarker(), at))
        throw BuildFailure(package.string() + ": carries no setup marker: not a setup package\n");

    std::wostringstream out;
    out << L"package: " << WidePath(package) << L"\n";
    out << L"mode: " << (installer ? L"installer" : L"uninstaller") << L"\n";
    out << L"program image: " << at << L" bytes; archive from byte " << at + 40 << L"\n";
    try {
        zip::ZipDirectory directory(*file);
        out << L"offsets: " << (directory.FrontBytes() == 0 ? L"absolute in the file"
                                                             : L"relative to the archive")
            << L"\n";
        std::wostringstream lines, files;
        double required = 0;
        size_t fileCount = 0;
        for (size_t i = 0; i < directory.Count(); ++i) {
            zip::ZipEntry e = directory.Entry(i);
            std::wstring name = DecodeAnsi(e.name, codePage);
            required += e.header.uncompressedSize;
            ScriptLine line = ParseScriptLine(name);
            bool data = e.header.uncompressedSize > 0 || e.header.compressedSize > 0;
            if (name == kUninstallerEntryName) {
                files << L"  " << FormatSize(e.header.uncompressedSize) << L"\tUninstall.exe"
                      << L"  (the uninstaller)\n";
                ++fileCount;
            } else if (IsSection(line, L"File") && installer) {
                std::wstring text = DescribeScriptLine(name).substr(6);
                bool folder = !name.empty() && name.back() == L'/';
                files << L"  " << (folder ? L"<folder>" : FormatSize(e.header.uncompressedSize))
                      << L"\t" << text << L"\n";
                if (!folder) ++fileCount;
                continue;
            } else if (data) {
                files << L"  " << FormatSize(e.header.uncompressedSize) << L"\t" << name
                      << L"  (not a script line)\n";
                continue;
            }
            lines << L"  " << DescribeScriptLine(name) << L"\n";
        }
        out << (installer ? L"script:\n" : L"record:\n") << lines.str();
        if (installer) {
            out << L"files: " << fileCount << L", " << FormatSize(required) << L" to install\n"
                << files.str();
        }
    } catch (const CZipException &e) {
        throw BuildFailure(package.string() + ": the archive after the marker cannot be read: " +
                           e.what() + "\n");
    }
    return NarrowUtf8(out.str());
}
