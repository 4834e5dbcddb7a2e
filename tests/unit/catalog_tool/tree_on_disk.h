#ifndef TESTS_UNIT_CATALOG_TOOL_TREE_ON_DISK_H
#define TESTS_UNIT_CATALOG_TOOL_TREE_ON_DISK_H

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/unit/pkgbuild/temp_folder.h"

// A server tree in a folder of its own, removed afterwards; paths as the server names them.
class TreeOnDisk {
public:
    const std::filesystem::path &Root() const { return m_folder.Path(); }
    std::filesystem::path Local(const std::string &serverPath) const {
        return Root() / serverPath.substr(serverPath[0] == '/' ? 1 : 0);
    }
    // A file (and the folders on its way) at a server path.
    std::filesystem::path File(const std::string &serverPath, const std::string &bytes = "x") const {
        return m_folder.Write(serverPath.substr(serverPath[0] == '/' ? 1 : 0), bytes);
    }
    void Folder(const std::string &serverPath) const {
        std::filesystem::create_directories(Local(serverPath));
    }

private:
    TempFolder m_folder;
};

#endif
