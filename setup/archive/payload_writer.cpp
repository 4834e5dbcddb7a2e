#include "setup/archive/payload_writer.h"

#include "common/zip/zip_error.h"

namespace {

void CheckName(const std::string &ansiName) {
    if (ansiName.empty()) throw CZipException(ZipCause::EmptyName, "entry without a name");
}

}  // namespace

std::string ToStoredName(const std::string &ansiName) {
    std::string name = ansiName.substr(0, kMaxWriterNameBytes);
    for (char &c : name)
        if (c == '\\') c = '/';
    return name;
}

std::string ToStoredFolderName(const std::string &ansiName) {
    std::string name = ToStoredName(ansiName);
    if (name.empty() || name.back() != '/') name.push_back('/');
    return name;
}

PayloadWriter::PayloadWriter(ByteStream &out) : writer_(out, true) {}

void PayloadWriter::AddFolderEntry(const std::string &ansiName, const zip::ZipEntryMeta &meta) {
    CheckName(ansiName);
    writer_.AddFolder(ToStoredFolderName(ansiName), meta);
}

void PayloadWriter::AddDataEntry(const std::string &ansiName, ByteStream &source,
                                 const zip::ZipEntryMeta &meta) {
    CheckName(ansiName);
    writer_.AddData(ToStoredName(ansiName), source, source.Size() - source.Tell(), true, meta);
}

void PayloadWriter::Close() { writer_.Finish(); }
