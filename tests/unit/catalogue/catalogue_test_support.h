#ifndef TESTS_UNIT_CATALOGUE_CATALOGUE_TEST_SUPPORT_H
#define TESTS_UNIT_CATALOGUE_CATALOGUE_TEST_SUPPORT_H

#include <map>
#include <string>
#include <vector>

#include "common/text.h"
#include "updater/catalogue/catalogue_walk.h"

// A server tree held in memory, listed in the order its entries were added (the
// order a server's LIST would give them). Paths match exactly, as on the sample
// server. Every request is logged.
class TreeLister : public FolderLister {
public:
    TreeLister() { m_folders[L""]; }

    // Adds a file (and the folders on its way) below the root.
    void AddFile(const std::wstring &path, long long size = 1) { Add(path, false, size); }
    void AddFolder(const std::wstring &path) { Add(path, true, 0); }

    bool ListFolders(TextList &folders, const std::wstring &folder) override {
        folders.clear();
        log.push_back(L"LIST " + folder);
        auto it = m_folders.find(Strip(folder));
        if (it == m_folders.end())
            return false;
        for (const Node &node : it->second)
            if (node.folder)
                folders.push_back(node.name);
        return true;
    }
    bool ListFiles(FileListing &files, const std::wstring &folder) override {
        files.clear();
        log.push_back(L"FILES " + folder);
        auto it = m_folders.find(Strip(folder));
        if (it == m_folders.end())
            return false;
        for (const Node &node : it->second)
            if (!node.folder)
                files.push_back({node.name, std::to_wstring(static_cast<int>(node.size))});
        return true;
    }
    bool CreateFolder(const std::wstring &path) override {
        log.push_back(L"MKD " + path);
        if (m_folders.count(Strip(path)))
            return false;
        AddFolder(path);
        return true;
    }

    std::vector<std::wstring> log;

private:
    struct Node {
        std::wstring name;
        bool folder;
        long long size;
    };
    static std::wstring Strip(const std::wstring &path) {
        return !path.empty() && path[0] == L'/' ? path.substr(1) : path;
    }
    void Add(const std::wstring &rawPath, bool folder, long long size) {
        const std::wstring path = Strip(rawPath);
        std::wstring parent;
        size_t start = 0;
        for (;;) {
            const size_t slash = path.find(L'/', start);
            const bool last = slash == std::wstring::npos;
            const std::wstring name = path.substr(start, last ? std::wstring::npos : slash - start);
            const std::wstring full = parent.empty() ? name : parent + L"/" + name;
            const bool isFolder = !last || folder;
            std::vector<Node> &entries = m_folders[parent];
            bool present = false;
            for (const Node &node : entries)
                present = present || node.name == name;
            if (!present)
                entries.push_back({name, isFolder, size});
            if (isFolder)
                m_folders[full];
            if (last)
                return;
            parent = full;
            start = slash + 1;
        }
    }
    std::map<std::wstring, std::vector<Node>> m_folders;
};

// Installed versions by component name (letter case ignored); "-" otherwise.
class InstalledTable : public InstalledVersions {
public:
    std::wstring InstalledVersion(const std::wstring &component) override {
        asked.push_back(component);
        for (const auto &entry : versions)
            if (EqualsNoCase(entry.first, component))
                return entry.second;
        return kNotInstalled;
    }
    std::map<std::wstring, std::wstring> versions;
    std::vector<std::wstring> asked;
};

// A row as one line: "name|installed|new|x or blank|root>F>file,..." for comparing
// whole results at once.
inline std::wstring Describe(const ComponentRow &row) {
    std::wstring text = row.name + L"|" + row.installedVersion + L"|" + row.newVersion + L"|" +
                        (row.checked ? L"x" : L" ") + L"|";
    for (const PackageEntry &p : *row.packages)
        text += p.root.substr(p.root.rfind(L'/') + 1) + L">" + p.windowsFolder + L">" + p.fileName +
                (p.component == row.name && p.version == row.newVersion ? L"," : L"!MISMATCH,");
    return text;
}

inline std::vector<std::wstring> Describe(const ComponentList &list) {
    std::vector<std::wstring> rows;
    for (const ComponentRow &row : list.Rows())
        rows.push_back(Describe(row));
    return rows;
}

#endif
