#include "tests/harness/shell_link_reader_win.h"

#include <objbase.h>
#include <shlobj.h>

bool ReadShellLink(const std::wstring &lnkPath, ShellLinkFields &out) {
    HRESULT init = CoInitialize(nullptr);
    bool ok = false;
    IShellLinkW *link = nullptr;
    IPersistFile *persist = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void **>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&persist))) &&
        SUCCEEDED(persist->Load(lnkPath.c_str(), STGM_READ))) {
        wchar_t text[1024] = {};
        link->GetPath(text, 1024, nullptr, SLGP_RAWPATH);
        out.target = text;
        text[0] = 0;
        link->GetArguments(text, 1024);
        out.arguments = text;
        text[0] = 0;
        link->GetWorkingDirectory(text, 1024);
        out.workingFolder = text;
        text[0] = 0;
        link->GetDescription(text, 1024);
        out.description = text;
        link->GetHotkey(&out.hotKey);
        ok = true;
    }
    if (persist) persist->Release();
    if (link) link->Release();
    if (SUCCEEDED(init)) CoUninitialize();
    return ok;
}
