#ifndef TESTS_WINE_ENGINE_TEST_PACKAGE_H
#define TESTS_WINE_ENGINE_TEST_PACKAGE_H

#include <cstdint>
#include <string>
#include <vector>

// Setup packages for the engine tests, written the way the package builder
// writes them: a program image, the reversed installer marker and a ZIP archive
// whose entry names are the script (script lines as folder entries).
class TestPackage {
public:
    // A script line ("Registry/...", "General/Title=..."), stored as a folder entry.
    TestPackage &Line(const std::string &line);
    // A folder entry with the directory attribute ("File/Target={InstallDir}/docs").
    TestPackage &Folder(const std::string &name);
    // A file entry; `stored` keeps the bytes as they are in the archive.
    TestPackage &File(const std::string &name, const std::string &bytes, bool readOnly = false,
                      bool stored = false);
    // A deflated entry of `size` zero bytes, streamed (large extractions).
    TestPackage &Zeros(const std::string &name, uint64_t size);

    // Writes program, marker (made from `identifier`) and archive. False on failure.
    bool Write(const std::wstring &path, const std::string &program,
               const std::wstring &identifier) const;

private:
    struct Entry {
        enum class Kind { Folder, File, Zeros } kind;
        std::string name;
        std::string bytes;
        uint64_t size = 0;
        bool readOnly = false;
        bool stored = false;
    };
    std::vector<Entry> entries_;
};

std::string ReadWholeFile(const std::wstring &path);
bool WriteWholeFile(const std::wstring &path, const std::string &bytes);

#endif
