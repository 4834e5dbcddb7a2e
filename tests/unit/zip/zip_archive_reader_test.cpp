#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <sys/wait.h>

#include "common/zip/entry_path.h"
#include "common/zip/file_stream.h"
#include "common/zip/zip_archive_reader.h"
#include "common/zip/zip_attributes.h"
#include "common/zip/zip_error.h"
#include "tests/unit/zip/zip_test_support.h"

// The update manager's package reader over archives made by the common ZIP
// tools and by this project's writer, and over damaged ones.

namespace {

std::string Temp(const std::string &name) { return testing::TempDir() + "package-reader-" + name; }

void WriteBytes(const std::string &path, const std::vector<uint8_t> &bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                               static_cast<std::streamsize>(bytes.size()));
}

int Run(const std::string &command) {
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::wstring Wide(const std::string &text) { return std::wstring(text.begin(), text.end()); }

// What every package below holds: a folder, text, random bytes, an empty file.
const std::map<std::string, std::vector<uint8_t>> &Files() {
    static const std::map<std::string, std::vector<uint8_t>> files = {
        {"docs/readme.txt", TextBytes(150000)},
        {"bin/tool.exe", RandomBytes(70001)},
        {"bin/empty.dat", {}},
    };
    return files;
}

// The package made by `tool` ("infozip", "infozip-stored", "python",
// "python-stored", "writer", "writer-stored"); empty when the tool is missing.
std::string MakePackage(const std::string &tool) {
    const std::string tree = Temp(tool + "-tree"), out = Temp(tool + ".zip");
    Run("rm -rf '" + tree + "' '" + out + "' && mkdir -p '" + tree + "/docs' '" + tree + "/bin'");
    for (const auto &file : Files()) WriteBytes(tree + "/" + file.first, file.second);
    const bool stored = tool.find("stored") != std::string::npos;
    if (tool.rfind("infozip", 0) == 0) {
        if (Run("cd '" + tree + "' && zip -q -r " + (stored ? "-0 " : "") + "'" + out + "' docs bin") != 0)
            return std::string();
    } else if (tool.rfind("python", 0) == 0) {
        const std::string script =
            "import zipfile,os,sys\n"
            "z=zipfile.ZipFile(sys.argv[1],'w',zipfile." + std::string(stored ? "ZIP_STORED" : "ZIP_DEFLATED") + ")\n"
            "os.chdir(sys.argv[2])\n"
            "z.write('docs')\n"
            "for n in ['docs/readme.txt','bin/tool.exe','bin/empty.dat']: z.write(n)\n"
            "z.close()\n";
        WriteBytes(Temp("make.py"), std::vector<uint8_t>(script.begin(), script.end()));
        if (Run("/usr/bin/python3 '" + Temp("make.py") + "' '" + out + "' '" + tree + "'") != 0)
            return std::string();
    } else {
        std::vector<TestEntry> entries = {{"docs/", {}, true}};
        for (const auto &file : Files()) entries.push_back({file.first, file.second, false, !stored});
        WriteBytes(out, BuildArchive(entries));
    }
    return out;
}

std::unique_ptr<ByteStream> Memory(const std::vector<uint8_t> &bytes) {
    return std::unique_ptr<ByteStream>(new VectorStream(bytes));
}

// Patches the one entry of a single-entry archive in its local and central header.
std::vector<uint8_t> PatchBoth(std::vector<uint8_t> bytes, size_t localAt, size_t centralAt,
                               void (*patch)(uint8_t *local, uint8_t *central)) {
    const size_t end = bytes.size() - zip::kEndRecordSize;
    const size_t directory = zip::ReadLe32(&bytes[end + 16]);
    patch(&bytes[localAt], &bytes[directory + centralAt]);
    return bytes;
}

}  // namespace

TEST(PackageReader, ReadsEveryEntryOfInfoZipPythonAndOwnArchives) {
    for (const std::string tool :
         {"infozip", "infozip-stored", "python", "python-stored", "writer", "writer-stored"}) {
        SCOPED_TRACE(tool);
        const std::string path = MakePackage(tool);
        ASSERT_FALSE(path.empty()) << "could not make the package";
        ZipArchiveReader reader;
        reader.Open(FileStream::Open(Wide(path), FileStream::Mode::Read));
        std::map<std::string, std::vector<uint8_t>> seen;
        bool sawFolder = false;
        for (int i = 0; i < reader.GetCount(); ++i) {
            ZipFileHeader header;
            ASSERT_TRUE(reader.GetFileInfo(i, header));
            const std::string name(header.fileName.begin(), header.fileName.end());
            if (reader.IsFolder(i)) {
                EXPECT_TRUE(name == "docs/" || name == "bin/") << name;
                sawFolder = true;
                continue;
            }
            EXPECT_EQ(header.method, tool.find("stored") != std::string::npos ? zip::kMethodStored
                                                                                : header.method);
            EXPECT_EQ(header.attributes & file_attribute::kReadOnly, 0u) << name;
            EXPECT_NE(header.dosDate, 0) << name;
            ASSERT_TRUE(reader.OpenEntry(i)) << name;
            EXPECT_FALSE(reader.OpenEntry(i)) << "a second entry while one is open";
            std::vector<uint8_t> data, block(999);  // odd blocks cross every boundary
            for (size_t n; (n = reader.ReadEntry(block.data(), block.size())) > 0;)
                data.insert(data.end(), block.begin(), block.begin() + static_cast<long>(n));
            EXPECT_EQ(reader.CloseEntry(false), 1) << name;
            EXPECT_EQ(header.uncompressedSize, data.size());
            seen[name] = data;
        }
        EXPECT_TRUE(sawFolder);
        EXPECT_EQ(seen, Files());
        reader.Close(false);
        EXPECT_EQ(reader.GetCount(), 0);
    }
}

TEST(PackageReader, DamagedEncryptedAndUnknownEntriesFail) {
    const std::vector<uint8_t> deflated = BuildArchive({{"a.txt", TextBytes(200000)}});
    const std::vector<uint8_t> stored = BuildArchive({{"a.txt", TextBytes(5000), false, false}});
    const size_t central = 0, local = 0;

    auto badCrc = PatchBoth(deflated, local, central, [](uint8_t *l, uint8_t *c) {
        l[14] ^= 1;
        c[16] ^= 1;
    });
    auto encrypted = PatchBoth(stored, local, central, [](uint8_t *l, uint8_t *c) {
        l[6] |= 1;
        c[8] |= 1;
    });
    auto method12 = PatchBoth(stored, local, central, [](uint8_t *l, uint8_t *c) {
        l[8] = 12;
        c[10] = 12;
    });
    // A first deflate block of the reserved type 3.
    auto damaged = deflated;
    damaged[zip::kLocalHeaderSize + 5 + zip::ReadLe16(&damaged[28])] = 0xff;

    // A CRC mismatch or damaged deflate data ends in CZipException while the
    // entry is read or closed; encrypted entries do not open, unknown methods throw.
    struct Case {
        const char *what;
        std::vector<uint8_t> bytes;
        bool opens;
        ZipCause cause;
    };
    for (const Case &c : {Case{"bad CRC", badCrc, true, ZipCause::CrcMismatch},
                          Case{"damaged deflate", damaged, true, ZipCause::BadData}}) {
        SCOPED_TRACE(c.what);
        ZipArchiveReader reader;
        reader.Open(Memory(c.bytes));
        ASSERT_TRUE(reader.OpenEntry(0));
        try {
            uint8_t block[4096];
            while (reader.ReadEntry(block, sizeof block) > 0) {
            }
            reader.CloseEntry(false);
            ADD_FAILURE() << "no exception";
        } catch (const CZipException &e) {
            EXPECT_EQ(e.Cause(), c.cause);
        }
        EXPECT_EQ(reader.CloseEntry(true), 1);  // after an error: no checks, no throw
    }
    ZipArchiveReader reader;
    reader.Open(Memory(encrypted));
    EXPECT_FALSE(reader.OpenEntry(0));
    reader.Open(Memory(method12));
    EXPECT_THROW(reader.OpenEntry(0), CZipException);

    // Bytes left unread: -1, and the next entry may open.
    reader.Open(Memory(stored));
    ASSERT_TRUE(reader.OpenEntry(0));
    uint8_t block[100];
    EXPECT_EQ(reader.ReadEntry(block, sizeof block), sizeof block);
    EXPECT_EQ(reader.CloseEntry(false), -1);
    EXPECT_TRUE(reader.OpenEntry(0));
    reader.Close(true);

    // No entries at all, and no archive at all.
    reader.Open(Memory(BuildArchive({})));
    EXPECT_EQ(reader.GetCount(), 0);
    ZipFileHeader header;
    EXPECT_FALSE(reader.GetFileInfo(0, header));
    EXPECT_THROW(reader.Open(Memory(TextBytes(3000))), CZipException);
    EXPECT_FALSE(reader.IsOpen());
}

TEST(PackageReader, EntryTargetsStayInsideTheDestination) {
    struct Case {
        const wchar_t *destination, *name, *target;  // target null: refused
    };
    const Case cases[] = {
        {L"C:\\Program Files\\Driver", L"bin/tool.exe", L"C:\\Program Files\\Driver\\bin\\tool.exe"},
        {L"C:\\Program Files\\Driver\\", L"data/", L"C:\\Program Files\\Driver\\data"},
        {L"C:\\a\\\\b//", L"x\\\\y//z", L"C:\\a\\b\\x\\y\\z"},
        {L"\\\\server\\share\\pkg", L"Setup.exe", L"\\\\server\\share\\pkg\\Setup.exe"},
        {L"C:\\pkg", L"..\\..\\Windows\\x", nullptr},
        {L"C:\\pkg", L"a/../../x", nullptr},
        {L"C:\\pkg", L"C:\\Windows\\x", nullptr},
        {L"C:\\pkg", L"C:x", nullptr},
        {L"C:\\pkg", L"\\Windows\\x", nullptr},
        {L"C:\\pkg", L"/etc/x", nullptr},
        {L"C:\\pkg", L"file.txt:stream", nullptr},
        {L"C:\\pkg", L"", nullptr},
        {L"C:\\pkg", L"/", nullptr},
        {L"", L"a.txt", nullptr},
        {L"\\\\", L"a.txt", nullptr},
    };
    for (const Case &c : cases) {
        std::wstring target = L"left over";
        const bool accepted = BuildEntryTarget(c.destination, c.name, target);
        EXPECT_EQ(accepted, c.target != nullptr) << std::string(c.name, c.name + wcslen(c.name));
        EXPECT_EQ(target, c.target ? c.target : L"");
    }
}

// Attributes come from the DOS byte unless the archive was made on Unix: a ZIP
// made on Windows (host 0, 0x20) unpacks writable, a Unix mode without owner
// write read-only.
TEST(PackageReader, AttributesAreReadAsTheMakingSystemWroteThem) {
    using namespace file_attribute;
    const uint32_t ownerWrite = 0x80u << 16, unixFile = 0x8000u << 16, unixFolder = 0x4000u << 16;
    struct Case {
        const char *what;
        uint16_t madeBy;
        uint32_t external;
        bool folder;
        uint32_t expected;
    } cases[] = {
        {"DOS, archive", 0x0014, 0x20, false, kNormal | kArchive},
        {"DOS, normal", 0x0014, 0x80, false, kNormal},
        {"DOS, read-only hidden", 0x0014, 0x23, false, kNormal | kArchive | kHidden | kReadOnly},
        {"DOS, system", 0x0014, 0x04, false, kNormal | kSystem},
        {"DOS, folder", 0x0014, 0x10, true, kNormal | kDirectory},
        {"DOS, high bits ignored", 0x0014, 0xFFFF0020, false, kNormal | kArchive},
        {"NTFS, archive", 0x0A14, 0x20, false, kNormal | kArchive},
        {"VFAT, read-only", 0x0E14, 0x21, false, kNormal | kArchive | kReadOnly},
        {"Unix, rw-r--r--", 0x0317, unixFile | (0644u << 16), false, kNormal},
        {"Unix, r--r--r--", 0x0317, unixFile | (0444u << 16), false, kNormal | kReadOnly},
        {"Unix, 0x20 alone", 0x0317, 0x20, false, kNormal | kArchive | kReadOnly},
        {"Unix, folder", 0x0317, unixFolder | ownerWrite | 0x10, true, kNormal | kDirectory},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        zip::ZipEntryMeta meta;
        meta.versionMadeBy = c.madeBy;
        meta.externalAttributes = c.external;
        ZipArchiveReader reader;
        reader.Open(Memory(BuildArchive({{c.folder ? "dir/" : "a.txt", {}, c.folder}}, {}, false,
                                        std::string(), meta)));
        ZipFileHeader header;
        ASSERT_TRUE(reader.GetFileInfo(0, header));
        EXPECT_EQ(c.expected, header.attributes);
        EXPECT_EQ(c.folder, reader.IsFolder(0));
    }
}
