#ifndef TOOLS_PKGBUILD_PAYLOAD_PLAN_H
#define TOOLS_PKGBUILD_PAYLOAD_PLAN_H

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/pkgbuild/build_diagnostics.h"
#include "tools/pkgbuild/package_description.h"

// The archive entries of a payload, in the order they are written: General and
// Execute lines, the uninstaller, the files and folders, the Registry and
// Shortcut lines. Script lines are written as folder entries, as the uninstall
// record's lines are.
struct PlannedEntry {
    enum class Kind { ScriptLine, Folder, File, Uninstaller };
    Kind kind = Kind::ScriptLine;
    std::wstring name;            // the script line
    std::string storedName;       // the bytes written into the archive
    std::filesystem::path source; // File
    uint64_t size = 0;            // File
    uint32_t modificationTime = 0;  // Unix seconds; File and Folder
    int line = 0;                 // description line it comes from
};

struct PayloadPlan {
    std::vector<PlannedEntry> entries;
    uint64_t fileBytes = 0;  // sum of the files' sizes
};

// Longest entry name the setup wizard reads whole.
constexpr size_t kMaxEntryName = 259;
// Larger entries do not fit the setup wizard's signed 32-bit sizes.
constexpr uint64_t kMaxEntrySize = 0x7FFFFFFF;

// Checks every value of the description and lists the entries. Sources are
// found relative to `baseFolder` (the description's folder). Problems go to
// `diagnostics` with the description line they come from. Entry names are
// written in `codePage` (0: ASCII only, see ansi_code_page.h).
PayloadPlan PlanPayload(const PackageDescription &description,
                        const std::filesystem::path &baseFolder, Diagnostics &diagnostics,
                        unsigned codePage = 0);

#endif
