#ifndef TOOLS_CATALOG_COMMAND_LINE_H
#define TOOLS_CATALOG_COMMAND_LINE_H

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// A command's arguments: "--name value" options, "--flag" switches and the
// plain arguments in order. Unknown options are refused.
class CommandLine {
public:
    CommandLine(const std::vector<std::filesystem::path> &args, const std::vector<std::string> &options,
                const std::vector<std::string> &switches);

    bool Has(const std::string &name) const { return m_values.count(name) > 0; }
    std::wstring Text(const std::string &name, const std::wstring &fallback = L"") const;
    std::filesystem::path Path(const std::string &name) const;
    bool Switch(const std::string &name) const { return m_switches.count(name) > 0; }
    const std::vector<std::filesystem::path> &Plain() const { return m_plain; }

private:
    std::map<std::string, std::filesystem::path> m_values;
    std::map<std::string, bool> m_switches;
    std::vector<std::filesystem::path> m_plain;
};

// A mistake in how the command was called: shown with the usage, exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

#endif
