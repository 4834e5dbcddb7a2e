#ifndef UPDATER_IDENTIFY_ADAPTER_ADDRESS_WIN_H
#define UPDATER_IDENTIFY_ADAPTER_ADDRESS_WIN_H

#include <string>
#include <vector>

struct NetworkAdapter {
    std::wstring description;
    std::wstring address;  // 12 upper-case hexadecimal digits
};

// The adapters IP Helper lists, in its order; false when it gives no list.
bool ListNetworkAdapters(std::vector<NetworkAdapter> &adapters);

// The hardware address of the first adapter whose description begins with `prefix`
// (letter case ignored); `text` is emptied first. False when there is none.
bool GetAdapterAddress(std::wstring &text, const std::wstring &prefix);

#endif
