#include "tools/catalog/package_check.h"

#include <vector>

#include "common/text.h"
#include "common/zip/entry_path.h"
#include "common/zip/file_stream.h"
#include "common/zip/zip_directory.h"
#include "common/zip/zip_entry_reader.h"
#include "common/zip/zip_error.h"
#include "setup/script/marker_search.h"
#include "setup/script/setup_markers.h"
#include "tools/pkgbuild/marker_scan.h"
#include "tools/pkgbuild/native_path.h"

namespace fs = std::filesystem;

namespace {

// Each byte as one character: a separator or dot in any ANSI code page's
// reading of the name is one here too, so no escaping name passes unseen.
std::wstring ByteWise(const std::string &bytes) {
    std::wstring out;
    for (char c : bytes) out += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return out;
}

// Reads every entry to its end, which checks sizes and CRC-32s; entries must
// start at or after `archiveStart`.
std::string ReadBackWhole(ByteStream &stream, uint64_t archiveStart, bool checkNames) {
    try {
        zip::ZipDirectory directory(stream);
        std::vector<uint8_t> buffer(1 << 16);
        for (size_t i = 0; i < directory.Count(); ++i) {
            const zip::ZipEntry entry = directory.Entry(i);
            const std::string name = "entry \"" + entry.name + "\": ";
            std::wstring relative;
            if (checkNames && !EntryNameToRelativePath(ByteWise(entry.name), relative))
                return name + "its name would leave the folder it is unpacked into";
            if (entry.localHeaderPosition < archiveStart)
                return name + "lies before the setup marker";
            zip::ZipEntryReader reader(stream, directory, entry);
            while (reader.Read(buffer.data(), buffer.size()) > 0) {
            }
        }
        return "";
    } catch (const CZipException &e) {
        return std::string("does not read back: ") + e.what();
    }
}

}  // namespace

bool IsZipPackageName(const std::wstring &name) { return EndsWithNoCase(name, L".zip"); }

std::string CheckZipPackage(const fs::path &package) {
    auto stream = FileStream::Open(WidePath(package), FileStream::Mode::Read);
    if (!stream) return "cannot be opened";
    return ReadBackWhole(*stream, 0, true);
}

std::string CheckSetupPackage(const fs::path &package) {
    auto stream = FileStream::Open(WidePath(package), FileStream::Mode::Read);
    if (!stream) return "cannot be opened";
    const SetupFileMarks marks = ScanSetupFile(*stream);
    if (!marks.windowsProgram) return "not a setup package: not a Windows program";
    const MarkerSearch &installer = marks.installer;
    const uint64_t size = stream->Size();
    if (!installer.FoundBefore(size)) {
        return marks.uninstaller.FoundBefore(size)
                   ? "not a setup package: it is an uninstaller"
                   : "not a setup package of marboSetup: no installer marker";
    }
    const uint64_t archiveStart = installer.Position() + installer.MarkerLength();
    std::string why = ReadBackWhole(*stream, archiveStart, false);
    if (!why.empty()) return "the archive after the setup marker " + why;
    zip::ZipDirectory directory(*stream);
    if (directory.Count() == 0) return "the setup package's archive is empty";
    return "";
}
