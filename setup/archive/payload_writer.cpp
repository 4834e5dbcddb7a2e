#include "setup/archive/payload_writer.h"

#include "common/zip/zip_error.h"
#include "setup/archive/archive_result.h"

using namespace archive_result;

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

PayloadWriter::PayloadWriter(ByteStream &out) : writer_(out, true) {
    if (writer_.Failed()) failure_ = kWriteFailed;
}

uint32_t PayloadWriter::Check() const {
    if (closed_) return kWriterClosed;
    if (failure_) return kWriterFailed;
    return kOk;
}

uint32_t PayloadWriter::Failed(uint32_t result) {
    failure_ = result;
    return result;
}

uint32_t PayloadWriter::AddFolderEntry(const std::string &ansiName, const zip::ZipEntryMeta &meta) {
    if (uint32_t r = Check()) return r;
    if (ansiName.empty()) return kBadArguments;
    try {
        writer_.AddFolder(ToStoredFolderName(ansiName), meta);
        return kOk;
    } catch (const CZipException &) {
        return Failed(kWriteFailed);
    }
}

uint32_t PayloadWriter::AddDataEntry(const std::string &ansiName, ByteStream &source,
                                     const zip::ZipEntryMeta &meta) {
    if (uint32_t r = Check()) return r;
    if (ansiName.empty()) return kBadArguments;
    try {
        uint64_t size = source.Size() - source.Tell();
        writer_.AddData(ToStoredName(ansiName), source, size, true, meta);
        return kOk;
    } catch (const CZipException &) {
        return Failed(kWriteFailed);
    }
}

uint32_t PayloadWriter::Close() {
    if (closed_) return kWriterClosed;
    closed_ = true;
    if (failure_) return kWriterFailed;
    try {
        writer_.Finish();
        return kOk;
    } catch (const CZipException &) {
        return failure_ = kWriteFailed;
    }
}
