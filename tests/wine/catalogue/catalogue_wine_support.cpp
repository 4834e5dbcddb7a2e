#include "tests/wine/catalogue/catalogue_wine_support.h"

#include <windows.h>
#include <shlobj.h>

#include "common/folders.h"
#include "common/registry_key.h"
#include "common/system_folders.h"

namespace {

const wchar_t kDmbKey[] = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Parvoni\\marboDMB";
const wchar_t kBlueSoleilKey[] = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\IVT Corporation\\BlueSoleil\\Install";

std::wstring DmbProgram() {
    std::wstring folder;
    GetSpecialFolder(folder, nullptr, CSIDL_PROGRAM_FILES);
    return folder + L"\\marboDMB\\dmbplayer.exe";
}

}  // namespace

std::vector<std::wstring> SampleRows(const std::wstring &windowsName) {
    if (windowsName == L"Win7")
        return {L"HIDeGalaxTouch|-|1.0|x", L"BlueSoleil|6.0|7.0|x", L"marboAudio|-|1.5|x",
                L"Graphics|-|2.0|x", L"marboDMB|1.0.4|1.0.4| "};
    if (windowsName == L"Vista")
        return {L"BlueSoleil|6.0|6.0| ", L"Touchside|-|1.9|x", L"marboAudio|-|1.5|x",
                L"Graphics|-|2.0|x", L"marboDMB|1.0.4|1.0.4| "};
    return {L"BlueSoleil|6.0|5.0| ", L"marboAudio|-|1.5|x", L"Graphics|-|2.0|x",
            L"marboDMB|1.0.4|1.0.4| "};
}

void InstallSampleVersions() {
    CRegistryKey key;
    key.Create(kDmbKey);
    key.SetValue(L"version", L"1.0.4", REG_SZ);
    key.Create(kBlueSoleilKey);
    key.SetValue(L"ProductVersion", L"6.0", REG_SZ);
    key.Close();
    const std::wstring program = DmbProgram();
    CreateFolderPath(program.substr(0, program.rfind(L'\\')));
    HANDLE file = CreateFileW(program.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

void RemoveSampleVersions() {
    CRegistryKey::DeleteKey(kDmbKey);
    CRegistryKey::DeleteKey(kBlueSoleilKey);
    DeleteFileW(DmbProgram().c_str());
}

std::wstring RowLine(const ComponentRow &row) {
    return row.name + L"|" + row.installedVersion + L"|" + row.newVersion + L"|" +
           (row.checked ? L"x" : L" ");
}

std::wstring SampleTreeFolder() {
    wchar_t unixPath[1024] = L"";
    GetEnvironmentVariableW(L"TESSEL_CATALOGUE_TREE", unixPath, 1024);
    std::wstring path = L"Z:" + std::wstring(unixPath);
    for (wchar_t &c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}
