#ifndef UPDATER_UNATTENDED_RUN_LOG_WIN_H
#define UPDATER_UNATTENDED_RUN_LOG_WIN_H

#include <string>

// The log of runs without a window: "Tessel.log" in the all-users application
// data folder ("Parvoni\Tessel"), one time-stamped line per event with the
// device, UTF-8, kept below kRunLogLimit bytes. With `echo`, every line also
// goes to the standard output the program was given, or else to the console
// it was started from.
class CRunLogFile {
public:
    explicit CRunLogFile(bool echo);

    void Write(const std::wstring &message);
    const std::wstring &Path() const { return m_path; }

    // The file's path on this machine.
    static std::wstring DefaultPath();

private:
    void Echo(const std::string &line);

    std::wstring m_path;
    std::wstring m_device;
    bool m_echo;
};

#endif
