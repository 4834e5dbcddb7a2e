#ifndef TESTS_HARNESS_MACHINE_SNAPSHOT_WIN_H
#define TESTS_HARNESS_MACHINE_SNAPSHOT_WIN_H

#include <set>
#include <string>
#include <vector>

// What a program can leave behind on the machine, for comparing before and
// after: every file and folder of drive C: and every key and value (with its
// type and data) below HKLM\Software and HKCU\Software, except the places
// passed over. Folders and keys are listed with a trailing "\"; values as
// key + ":" + name + " = " + type + ":" + data in hex.
using MachineSnapshot = std::set<std::wstring>;

// The Windows and the user's Temp folders, and Wine's own volatile store of
// system parameters ("HKCU\Software\Wine\Temporary System Parameters"), which
// Wine fills as windows come and go, never saves, and which holds nothing of
// any program's.
std::vector<std::wstring> TransientPlaces();

// `passedOver` holds folders ("C:\windows\Temp") and keys ("HKCU\Software\...").
MachineSnapshot TakeMachineSnapshot(
    const std::vector<std::wstring> &passedOver = TransientPlaces());

struct SnapshotChanges {
    std::vector<std::wstring> added;
    std::vector<std::wstring> removed;
};
SnapshotChanges CompareSnapshots(const MachineSnapshot &before, const MachineSnapshot &after);

// The changes one per line ("+ added", "- removed"), at most `limit` lines, UTF-8.
std::string DescribeChanges(const SnapshotChanges &changes, size_t limit = 60);

#endif
