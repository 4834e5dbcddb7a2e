#include "tools/catalog/command_line.h"

#include <algorithm>

#include "tools/pkgbuild/native_path.h"

namespace {

bool Listed(const std::vector<std::string> &names, const std::string &name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}


}  // namespace

CommandLine::CommandLine(const std::vector<std::filesystem::path> &args,
                         const std::vector<std::string> &options,
                         const std::vector<std::string> &switches) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string arg = args[i].string();
        if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            const std::string name = arg.substr(2);
            if (Listed(switches, name)) {
                m_switches[name] = true;
            } else if (Listed(options, name)) {
                if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
                m_values[name] = args[++i];
            } else {
                throw UsageError("unknown option " + arg);
            }
        } else {
            m_plain.push_back(args[i]);
        }
    }
}

std::wstring CommandLine::Text(const std::string &name, const std::wstring &fallback) const {
    auto it = m_values.find(name);
    return it == m_values.end() ? fallback : WidePath(it->second);
}

std::filesystem::path CommandLine::Path(const std::string &name) const {
    auto it = m_values.find(name);
    return it == m_values.end() ? std::filesystem::path() : it->second;
}
