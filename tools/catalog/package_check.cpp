#include "tools/catalog/package_check.h"

#include <vector>

#include "common/text.h"
#include "common/zip/entry_path.h"
#include "common/zip/file_stream.h"
#include "common/zip/zip_archive_reader.h"
#include "common/zip/zip_directory.h"
#include "common/zip/zip_entry_reader.h"
#include "common/zip/zip_error.h"
#include "setup/script/marker_search.h"
#include "setup/script/setup_markers.h"
#include "tools/pkgbuild/marker_scan.h"
#include "tools/pkgbuild/native_path.h"

namespace fs = std::filesystem;

namespace {

// The setup package's archive read to the end of every entry (sizes and CRC-32s
// checked); its entries must start after the marker.
std::string ReadBackAfter(ByteStream &stream, uint64_t archiveStart) {
    try {
        zip::ZipDirectory directory(stream);
        std::vector<uint8_t> buffer(1 << 16);
        for (size_t i = 0; i < directory.Count(); ++i) {
            const zip::ZipEntry entry = directory.Entry(i);
            if (entry.localHeaderPosition < archiveStart)
                return "entry \"" + entry.name + "\" lies before the setup marker";
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
    // The update manager's own package reader, as the installation unpacks.
    // Names are read byte by byte: a separator or dot in any ANSI code page's
    // reading of a name is one here too, so no escaping name passes unseen.
    ZipArchiveReader reader(DecodeNameLatin1);
    try {
        reader.Open(std::move(stream));
        std::vector<uint8_t> buffer(1 << 16);
        for (int i = 0; i < reader.GetCount(); ++i) {
            ZipFileHeader header;
            if (!reader.GetFileInfo(i, header)) return "does not read back: a damaged central header";
            const std::string name = "entry \"" + NarrowUtf8(header.fileName) + "\": ";
            std::wstring target;
            if (!BuildEntryTarget(L"C:\\Program Files", header.fileName, target))
                return name + "its name would leave the folder it is unpacked into";
            if (reader.IsFolder(i)) continue;
            if (!reader.OpenEntry(i)) return name + "encrypted: the update manager cannot unpack it";
            while (reader.ReadEntry(buffer.data(), buffer.size()) > 0) {
            }
            reader.CloseEntry(false);
        }
        reader.Close(false);
        return "";
    } catch (const CZipException &e) {
        reader.Close(true);
        return std::string("does not read back: ") + e.what();
    }
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
    std::string why = ReadBackAfter(*stream, archiveStart);
    if (!why.empty()) return "the archive after the setup marker " + why;
    zip::ZipDirectory directory(*stream);
    if (directory.Count() == 0) return "the setup package's archive is empty";
    return "";
}
