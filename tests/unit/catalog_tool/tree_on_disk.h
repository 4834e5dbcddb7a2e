#ifndef TESTS_UNIT_CATALOG_TOOL_TREE_ON_DISK_H
#define TESTS_UNIT_CATALOG_TOOL_TREE_ON_DISK_H

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>

// A server tree in a folder of its own, removed afterwards.
class TreeOnDisk {
public:
    TreeOnDisk() {
        static std::atomic<int> counter{0};
        m_root = std::filesystem::temp_directory_path() /
                 ("catalog-tool-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root);
    }
    ~TreeOnDisk() {
        std::error_code ec;
        std::filesystem::remove_all(m_root, ec);
    }
    TreeOnDisk(const TreeOnDisk &) = delete;
    TreeOnDisk &operator=(const TreeOnDisk &) = delete;

    const std::filesystem::path &Root() const { return m_root; }
    std::filesystem::path Local(const std::string &serverPath) const {
        return m_root / serverPath.substr(serverPath[0] == '/' ? 1 : 0);
    }
    // A file (and the folders on its way) at a server path.
    std::filesystem::path File(const std::string &serverPath, const std::string &bytes = "x") const {
        const std::filesystem::path path = Local(serverPath);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    void Folder(const std::string &serverPath) const {
        std::filesystem::create_directories(Local(serverPath));
    }

private:
    std::filesystem::path m_root;
};

#endif
