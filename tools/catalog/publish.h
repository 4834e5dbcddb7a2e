#ifndef TOOLS_CATALOG_PUBLISH_H
#define TOOLS_CATALOG_PUBLISH_H

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

// Puts a component version, or a new Tessel setup package, into a server tree
// on disk. Everything is checked before anything is written; the version folder
// is filled under a staging folder at the tree's root (which no device lists)
// and renamed into place, so a device never lists a half-copied version.

struct PublishRequest {
    enum class Target { DriverRoot, SetupRoot, SelfUpdate } target = Target::DriverRoot;
    std::wstring family;         // "MID" or "CMPC"
    std::wstring model;          // catalogue targets
    int driverRoot = 0;          // 1 to 9 (DriverRoot)
    std::wstring windowsFolder;  // "Win7", "Vista" or "XP" (DriverRoot)
    std::wstring board;          // the board folder (SetupRoot)
    std::wstring component;      // catalogue targets
    std::wstring version;        // SelfUpdate: may be empty when the file is named "Tessel<F>Setup V.exe"
    std::vector<std::filesystem::path> files;
    bool force = false;          // publish a version that is not the newest, or names with blanks
};

// Every reason a request is refused, one a line.
class PublishRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct PublishResult {
    std::wstring versionFolder;       // server path
    std::vector<std::wstring> files;  // server paths, in the order given
};

// A tree folder that does not exist yet is made. Throws PublishRefused (nothing written) or std::runtime_error when writing
// failed (nothing left behind).
PublishResult Publish(const std::filesystem::path &tree, const PublishRequest &request);

#endif
