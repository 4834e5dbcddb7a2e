#ifndef TESTS_E2E_SETUP_WIZARD_MACHINE_SNAPSHOT_H
#define TESTS_E2E_SETUP_WIZARD_MACHINE_SNAPSHOT_H

#include <set>
#include <string>
#include <vector>

// What a program can leave behind on the machine, for comparing before and
// after: every file and folder of drive C: outside the folders passed over, and
// every key and value (with its type and data) below HKLM\Software and
// HKCU\Software, except what is passed over. Folders are listed with a trailing "\", keys likewise; values
// as key + ":" + name + " = " + type + ":" + data in hex.
namespace setup_e2e {

using MachineSnapshot = std::set<std::wstring>;

// `skipped` holds folders ("C:\\windows\\Temp") and keys ("HKCU\\Software\\...")
// whose contents are passed over.
MachineSnapshot TakeMachineSnapshot(const std::vector<std::wstring> &skipped);

struct SnapshotChanges {
    std::vector<std::wstring> added;
    std::vector<std::wstring> removed;
};
SnapshotChanges CompareSnapshots(const MachineSnapshot &before, const MachineSnapshot &after);

// The changes one per line ("+ added", "- removed"), at most `limit` lines.
std::string DescribeChanges(const SnapshotChanges &changes, size_t limit = 60);

}  // namespace setup_e2e

#endif
