#ifndef UPDATER_WIZARD_INSTALL_RUN_H
#define UPDATER_WIZARD_INSTALL_RUN_H

#include <string>
#include <vector>

#include "common/localized_text.h"
#include "updater/catalogue/component_list.h"

// The installation run's portable half: which package comes next, where it is
// fetched from and unpacked to, and the texts the progress page shows.

// The window title a running program of `component` has: "marboMusic" is
// "Tune Forge"; "marbo" followed by anything but a blank gets a blank after it.
std::wstring WindowTitleFor(const std::wstring &component);

bool IsZipPackage(const std::wstring &fileName);

// One package entry with everything the run derives from it.
struct PackagePlace {
    std::wstring component;
    std::wstring windowsFolder;
    std::wstring version;
    std::wstring fileName;
    std::wstring packageName;
    std::wstring localFolder;   // program folder\Temp\component\version
    std::wstring serverFolder;  // root/component[/Windows folder]/version
};

PackagePlace PlacePackage(const PackageEntry &entry, const std::wstring &programFolder);

// "server/folder/file" for the download control, with no doubled "/".
std::wstring RemotePackagePath(const std::wstring &server, const PackagePlace &place);

// The command line that starts an installer. An ".exe" is started itself (its
// path quoted, so a path with blanks never starts a shorter one); an ".msi"
// through its associated program with " /i "; any other file through its
// associated program, or by itself when there is none.
std::wstring InstallerCommandLine(const std::wstring &path, const std::wstring &associatedProgram);
// The same with the quiet switches of the installers whose kind is known:
// msiexec "/qn", and "/S" for a setup package of this project (`setupPackage`:
// the file carries the installer's marker). Other programs run as they are.
std::wstring QuietInstallerCommandLine(const std::wstring &path,
                                       const std::wstring &associatedProgram, bool setupPackage);

// "[k / n] component version".
std::wstring RunHeading(int ordinal, int count, const std::wstring &component,
                        const std::wstring &version);
// The log lines "  - Downloading "file" file." and "  - Installing "file" file.",
// each with its line break, in the language `langId` names.
std::wstring DownloadLogLine(const std::wstring &fileName, unsigned short langId);
std::wstring InstallLogLine(const std::wstring &fileName, unsigned short langId);
extern const LocalizedText kRunCompleteText;

// The run's position among the ticked rows' package lists: one package at a
// time, row after row. Rows without packages are passed over.
class InstallSequence {
public:
    // Starts over with `rows` (the ticked rows' packages in list order); nothing is current.
    void Reset(std::vector<PackageList> rows);
    // Moves to the next package; null when the run has none left (and stays so).
    const PackageEntry *Next();

    const PackageEntry *Current() const;
    int SelectedCount() const { return static_cast<int>(m_rows.size()); }
    // 1-based ordinal of the current row among the ticked rows; 0 before the first.
    int RowOrdinal() const { return m_row + 1; }
    bool AtRowStart() const { return m_entry == 0; }
    bool AtRowEnd() const;

private:
    std::vector<PackageList> m_rows;
    int m_row = -1;
    size_t m_entry = 0;
    bool m_done = false;
};

#endif
