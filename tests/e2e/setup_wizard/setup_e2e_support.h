#ifndef TESTS_E2E_SETUP_WIZARD_SETUP_E2E_SUPPORT_H
#define TESTS_E2E_SETUP_WIZARD_SETUP_E2E_SUPPORT_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/driver/window_driver.h"
#include "tests/harness/shell_link_reader_win.h"
#include "tests/harness/utf8_win.h"

// What the setup wizard's end-to-end tests share: the programs they are given,
// packages made with the package builder, and looks at files, registry values
// and shortcuts afterwards.
namespace setup_e2e {

struct Programs {
    std::wstring setup;    // marboSetup.exe
    std::wstring packer;   // marbo-pack.exe
    std::wstring probe;    // after_probe.exe
    std::wstring payload;  // the folder with the test's payload files
    std::wstring work;     // a scratch folder for descriptions and packages
    std::wstring sample;   // the bundled sample's package description
};
Programs &Given();

// Unix path -> the Windows path Wine shows it under ("/a/b" -> "Z:\a\b").
std::wstring WindowsPathOf(const std::string &unixPath);

// Writes `description` (UTF-8) and builds `package` from it; false with the
// builder's exit code in `detail` when it fails.
bool BuildPackage(const std::wstring &name, const std::string &description,
                  std::wstring &package, std::string &detail);

// Byte-level changes to a built package.
bool ReadFileBytes(const std::wstring &path, std::vector<unsigned char> &bytes);
bool WriteFileBytes(const std::wstring &path, const std::vector<unsigned char> &bytes);
// Sets the external attributes of the central-directory entry `entryName`.
bool SetEntryAttributes(const std::wstring &package, const std::string &entryName, DWORD attributes);
// Overwrites the stored data of the local entry `entryName` with 0xFF bytes.
bool DamageEntryData(const std::wstring &package, const std::string &entryName);
// Replaces every occurrence of `from` by `to` (same length: entry names in the
// local and the central headers change alike). False when there is none.
bool ReplaceBytes(const std::wstring &package, const std::string &from, const std::string &to);
// Breaks the end record's signature so that no archive is found.
bool BreakEndRecord(const std::wstring &package);

// Starts a program in the test's folder and locale.
bool StartProgram(windriver::Process &process, const std::wstring &commandLine);

// The frame of a running setup wizard ("Setup Wizard : " + caption).
HWND WaitWizard(const std::wstring &caption, DWORD processId = 0, DWORD timeoutMs = 20000);
// Starts a package and waits for its frame; null when either fails.
HWND OpenWizard(windriver::Process &setup, const std::wstring &package,
                const std::wstring &caption);
// A page of the frame, by one of its controls, once shown.
HWND Page(HWND wizard, int controlId);
// Presses the action button (Install or Uninstall) and waits for the completion
// page, photographing the progress page when `shot` names a picture.
bool InstallToCompletion(HWND wizard, int actionId, const std::wstring &shot = L"");
// Install, wait for the completion page, Complete, and the program ends.
bool InstallAndComplete(HWND wizard, windriver::Process &setup);
// The program ends, with exit code 0, within 15 s.
bool Ends(windriver::Process &process);

bool FileExists(const std::wstring &path);
bool FolderExists(const std::wstring &path);
std::string FileText(const std::wstring &path);
std::wstring SpecialFolder(int csidl);

bool RegistryString(HKEY root, const std::wstring &key, const std::wstring &name,
                    std::wstring &value);
bool RegistryDword(HKEY root, const std::wstring &key, const std::wstring &name, DWORD &value);
bool RegistryKeyExists(HKEY root, const std::wstring &key);
bool RegistryValueExists(HKEY root, const std::wstring &key, const std::wstring &name);
void DeleteRegistryTree(HKEY root, const std::wstring &key);


// The image path of a running process (empty when it cannot be read).
std::wstring ProcessImage(DWORD processId);
DWORD WindowProcess(HWND window);

// Polls every 20 ms until `done` holds (true) or `timeoutMs` passes (false),
// noting in `seen` the title and class of every visible top-level window that
// was not there when it began, of a process whose program file is named in
// `programs` ("Uninstall.exe", a package's file name).
bool PollWithoutNewWindows(const std::function<bool()> &done, DWORD timeoutMs,
                           std::vector<std::wstring> &seen, const std::vector<std::wstring> &programs);
// A running process whose image file is named `fileName` (0 when none is).
DWORD RunningProcessNamed(const std::wstring &fileName);

// screenshots\setup_wizard_<name>.png in the test's folder, after a moment for painting.
void Screenshot(const std::wstring &name, DWORD settleMs = 400);

}  // namespace setup_e2e

#endif
