#include "common/registry_path.h"

#include "common/text.h"

RegistryRoot ParseRegistryRoot(const std::wstring &name) {
    static const struct {
        const wchar_t *name;
        RegistryRoot root;
    } kRoots[] = {
        {L"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
        {L"HKEY_CURRENT_CONFIG", RegistryRoot::CurrentConfig},
        {L"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
        {L"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
        {L"HKEY_USERS", RegistryRoot::Users},
    };
    for (const auto &entry : kRoots)
        if (EqualsNoCase(name, entry.name)) return entry.root;
    return RegistryRoot::None;
}

bool SplitRegistryPath(const std::wstring &path, RegistryPath &out) {
    out = RegistryPath();
    size_t slash = path.find(L'\\');
    out.hasBackslash = slash != std::wstring::npos;
    out.root = ParseRegistryRoot(out.hasBackslash ? path.substr(0, slash) : path);
    if (out.root == RegistryRoot::None) return false;
    if (!out.hasBackslash) return true;
    out.subKey = path.substr(slash + 1);
    return !out.subKey.empty();
}

static int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

std::vector<std::uint8_t> ParseHexBytes(const std::wstring &text) {
    std::vector<int> digits;
    for (wchar_t c : text) {
        int v = HexValue(c);
        if (v >= 0) digits.push_back(v);
    }
    std::vector<std::uint8_t> bytes;
    size_t i = 0;
    if (digits.size() % 2 == 1) bytes.push_back(std::uint8_t(digits[i++]));
    for (; i + 1 < digits.size(); i += 2)
        bytes.push_back(std::uint8_t(digits[i] * 16 + digits[i + 1]));
    return bytes;
}

std::wstring RegistryBytesToText(const std::vector<std::uint8_t> &bytes) {
    std::wstring text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        wchar_t c = wchar_t(bytes[i] | (bytes[i + 1] << 8));
        if (c == 0) break;
        text += c;
    }
    return text;
}
