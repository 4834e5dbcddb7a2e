#include "updater/identify/adapter_address_win.h"

#include <windows.h>
#include <iphlpapi.h>

#include <cstdio>

#include "common/ansi_text_win.h"
#include "common/text.h"

namespace {

const size_t kMaxText = 260;

std::wstring AddressText(const IP_ADAPTER_INFO &adapter) {
    wchar_t text[13] = {};
    const BYTE *a = adapter.Address;
    swprintf(text, 13, L"%02X%02X%02X%02X%02X%02X", a[0], a[1], a[2], a[3], a[4], a[5]);
    return text;
}

}  // namespace

bool ListNetworkAdapters(std::vector<NetworkAdapter> &adapters) {
    adapters.clear();
    ULONG size = 0;
    // Only "the buffer is too small" means there is a list to fetch.
    if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW)
        return false;
    std::vector<BYTE> buffer(size);
    auto *first = reinterpret_cast<IP_ADAPTER_INFO *>(buffer.data());
    if (GetAdaptersInfo(first, &size) != ERROR_SUCCESS)
        return false;
    for (const IP_ADAPTER_INFO *a = first; a; a = a->Next) {
        std::wstring description = WidenAnsi(a->Description);
        if (description.size() > kMaxText)
            description.resize(kMaxText);
        adapters.push_back({description, AddressText(*a)});
    }
    return true;
}

bool GetAdapterAddress(std::wstring &text, const std::wstring &prefix) {
    text.clear();
    std::vector<NetworkAdapter> adapters;
    if (!ListNetworkAdapters(adapters))
        return false;
    for (const NetworkAdapter &adapter : adapters) {
        if (StartsWithNoCase(adapter.description, prefix)) {
            text = adapter.address;
            return true;
        }
    }
    return false;
}
