#include "tools/catalog/preview_command.h"

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <optional>
#include <sstream>

#include "common/text.h"
#include "tools/catalog/device_state.h"
#include "tools/catalog/preview.h"
#include "updater/catalogue/local_folder_lister.h"
#include "updater/catalogue/release_index_lister.h"
#include "updater/catalogue/server_folders.h"
#include "tools/catalog/signing_command.h"

namespace {

std::wstring ReadTextFile(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path.string() + ": cannot be read");
    std::stringstream bytes;
    bytes << in.rdbuf();
    return DecodeTextFile(bytes.str());
}

}  // namespace

DeviceProfile ProfileFromCommandLine(const CommandLine &line, unsigned short &languageId) {
    DeviceProfile profile;
    profile.family = AsciiUpper(line.Text("family"));
    if (profile.family != L"MID" && profile.family != L"CMPC")
        throw UsageError("--family must be MID or CMPC");
    profile.modelName = line.Text("model");
    if (profile.modelName.empty()) throw UsageError("--model names the device's model, e.g. \"marbo K4\"");
    profile.modelSuffix = line.Text("suffix");
    profile.serial = line.Text("serial");
    const std::wstring windows = line.Text("windows");
    for (const wchar_t *name : {L"Win7", L"Vista", L"XP"}) {
        if (EqualsNoCase(windows, name)) profile.windowsName = name;
    }
    if (profile.windowsName.empty()) throw UsageError("--windows must be Win7, Vista or XP");
    const std::wstring language = line.Text("language", L"0412");
    wchar_t *end = nullptr;
    const unsigned long id = std::wcstoul(language.c_str(), &end, 16);
    if (language.empty() || language.size() > 4 || *end != L'\0')
        throw UsageError("--language takes four hexadecimal digits, e.g. 0412 (Korean) or 0409");
    languageId = static_cast<unsigned short>(id);
    return profile;
}

int RunPreview(const CommandLine &line) {
    if (line.Plain().size() != 1) throw UsageError("preview takes one tree");
    unsigned short languageId = 0;
    const DeviceProfile profile = ProfileFromCommandLine(line, languageId);
    DeviceState state(profile.family);
    if (line.Has("installed")) {
        try {
            state.LoadInstalled(ReadTextFile(line.Path("installed")));
        } catch (const std::runtime_error &e) {
            throw std::runtime_error(line.Path("installed").string() + ": " + e.what());
        }
    }
    if (line.Has("program-files")) state.LoadProgramFiles(ReadTextFile(line.Path("program-files")));
    const std::filesystem::path tree = line.Plain()[0];
    if (!std::filesystem::is_directory(tree))
        throw std::runtime_error(tree.string() + ": not a folder");
    LocalFolderLister lister(tree);
    // With --index the walk runs over the model's release index, as a signed-mode Tessel's does.
    ReleaseIndex index;
    std::optional<ReleaseIndexLister> indexLister;
    std::string indexNote;
    if (line.Switch("index")) {
        index = ReadIndexForPreview(line, tree, ModelFolder(profile), indexNote);
        indexLister.emplace(index);
    }
    FolderLister &source = indexLister ? static_cast<FolderLister &>(*indexLister) : lister;
    const PreviewReport report = Preview(source, state, profile, languageId);
    std::string text = line.Switch("json") ? FormatPreviewJson(report) : FormatPreviewText(report);
    if (!indexNote.empty()) std::fprintf(line.Switch("json") ? stderr : stdout, "%s\n\n", indexNote.c_str());
    if (!line.Switch("json") && !state.ProgramFilesKnown() && profile.family == L"MID")
        text += "\n(No --program-files list: every maker component's program file counts as "
                "present.)\n";
    std::fputs(text.c_str(), stdout);
    return 0;
}
