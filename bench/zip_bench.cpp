// The ZIP layer's side of the package benchmark (bench/zip-bench):
//   zip_bench pack FOLDER OUTPUT [--program FILE]   every file below FOLDER, deflate level 6
//   zip_bench extract ARCHIVE DESTINATION           every entry through the payload reader
//   zip_bench unpack ARCHIVE DESTINATION            every entry through the update package
//                                                   reader, 65535-byte blocks as the
//                                                   extraction control gives it
// Prints nothing on success; failures go to stderr with a non-zero status.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/zip/entry_path.h"
#include "common/zip/file_stream.h"
#include "common/zip/zip_archive_reader.h"
#include "common/zip/zip_attributes.h"
#include "common/zip/zip_error.h"
#include "common/zip/zip_writer.h"
#include "setup/archive/payload_reader.h"

namespace fs = std::filesystem;

namespace {

int Pack(const fs::path &folder, const fs::path &output, const fs::path &program) {
    std::vector<fs::path> files;
    for (const auto &item : fs::recursive_directory_iterator(folder))
        if (item.is_regular_file()) files.push_back(item.path());
    std::sort(files.begin(), files.end());
    auto out = FileStream::Open(output.wstring(), FileStream::Mode::CreateAlways);
    if (!out) return std::fprintf(stderr, "cannot create %s\n", output.c_str()), 1;
    if (!program.empty()) {
        auto in = FileStream::Open(program.wstring(), FileStream::Mode::Read);
        if (!in || !CopyStream(*in, *out, in->Size())) return std::fprintf(stderr, "cannot copy program\n"), 1;
    }
    try {
        zip::ZipWriter writer(*out, false);
        for (const fs::path &file : files) {
            auto in = FileStream::Open(file.wstring(), FileStream::Mode::Read);
            if (!in) return std::fprintf(stderr, "cannot open %s\n", file.c_str()), 1;
            std::string name = fs::relative(file, folder).generic_string();
            zip::ZipEntryMeta meta;
            meta.modificationTime = 1262347445;
            writer.AddData(name, *in, in->Size(), true, meta, 6);
        }
        writer.Finish();
    } catch (const CZipException &e) {
        return std::fprintf(stderr, "pack failed: %s\n", e.what()), 1;
    }
    return 0;
}

int Extract(const fs::path &archive, const fs::path &destination) {
    int failures = 0;
    try {
        PayloadReader reader(FileStream::Open(archive.wstring(), FileStream::Mode::Read));
        for (int i = 0; i < reader.Count(); ++i) {
            try {
                const PayloadEntryInfo &info = reader.Entry(i);
                std::wstring relative;
                if (!EntryNameToRelativePath(info.name, relative)) {
                    ++failures;
                    continue;
                }
                std::replace(relative.begin(), relative.end(), L'\\', L'/');
                fs::path target = destination / fs::path(relative);
                std::error_code ignored;
                if (info.IsFolder()) {
                    fs::create_directories(target, ignored);
                    continue;
                }
                fs::create_directories(target.parent_path(), ignored);
                auto out = FileStream::Open(target.wstring(), FileStream::Mode::CreateAlways);
                if (!out || reader.Extract(i, *out, {}, [](uint32_t) { return true; }) != zip::ChunkOutcome::Finished)
                    ++failures;
            } catch (const CZipException &) {
                ++failures;
            }
        }
    } catch (const CZipException &) {
        return std::fprintf(stderr, "cannot open %s\n", archive.c_str()), 1;
    }
    if (failures) std::fprintf(stderr, "%d entries failed\n", failures);
    return failures ? 1 : 0;
}

int Unpack(const fs::path &archive, const fs::path &destination) {
    ZipArchiveReader reader;
    std::vector<uint8_t> block(65535);
    int failures = 0;
    try {
        reader.Open(FileStream::Open(archive.wstring(), FileStream::Mode::Read));
        for (int i = 0; i < reader.GetCount(); ++i) {
            ZipFileHeader header;
            std::wstring target;
            if (!reader.GetFileInfo(i, header) ||
                !BuildEntryTarget(destination.wstring(), header.fileName, target)) {
                ++failures;
                continue;
            }
            std::replace(target.begin(), target.end(), L'\\', L'/');
            std::error_code ignored;
            if (header.attributes & file_attribute::kDirectory) {
                fs::create_directories(fs::path(target), ignored);
                continue;
            }
            fs::create_directories(fs::path(target).parent_path(), ignored);
            auto out = FileStream::Open(target, FileStream::Mode::CreateAlways);
            if (!out || !reader.OpenEntry(i) ||
                reader.CopyOpenEntry(*out, block.data(), block.size(), nullptr, nullptr) !=
                    zip::ChunkOutcome::Finished ||
                reader.CloseEntry(false) != 1)
                ++failures;
        }
    } catch (const CZipException &e) {
        return std::fprintf(stderr, "unpack failed: %s\n", e.what()), 1;
    }
    if (failures) std::fprintf(stderr, "%d entries failed\n", failures);
    return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char **argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 3 && args[0] == "pack") {
        fs::path program;
        if (args.size() == 5 && args[3] == "--program") program = args[4];
        return Pack(args[1], args[2], program);
    }
    if (args.size() == 3 && args[0] == "extract") return Extract(args[1], args[2]);
    if (args.size() == 3 && args[0] == "unpack") return Unpack(args[1], args[2]);
    std::fputs("usage: zip_bench pack FOLDER OUTPUT [--program FILE] | zip_bench extract|unpack ARCHIVE DESTINATION\n", stderr);
    return 2;
}
