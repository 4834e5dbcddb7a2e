#ifndef COMMON_REGISTRY_KEY_H
#define COMMON_REGISTRY_KEY_H

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A registry key opened from a full path text such as
// "HKEY_LOCAL_MACHINE\SOFTWARE\Parvoni\Tessel". The value operations act on the key
// the object refers to; a key it opened or created is closed by Close or destruction.
class CRegistryKey {
  public:
    // QueryValue fails for values larger than this many bytes (a version text of at
    // most 129 characters and its terminator).
    static constexpr DWORD kQueryLimit = 260;

    CRegistryKey() = default;
    ~CRegistryKey() { Close(); }
    CRegistryKey(const CRegistryKey &) = delete;
    CRegistryKey &operator=(const CRegistryKey &) = delete;

    // "ROOT\sub\key" opens the sub-key; a root name alone ("HKEY_CURRENT_USER")
    // refers to that predefined key, which is never closed. Unknown roots, an empty
    // sub-key and a missing key fail. Any earlier key is closed first.
    bool Open(const std::wstring &path);
    // As Open, but a missing sub-key is created.
    bool Create(const std::wstring &path);
    bool Open(HKEY root, const std::wstring &subKey);
    bool Create(HKEY root, const std::wstring &subKey);

    // Each first deletes the value (ignoring the result), then writes it. An empty
    // name means the key's default value.
    //   REG_SZ: `data` with its terminator.
    //   REG_BINARY: `data` is hexadecimal digits, everything else skipped.
    // Other types fail.
    bool SetValue(const std::wstring &name, const std::wstring &data, DWORD type);
    // REG_DWORD only.
    bool SetValue(const std::wstring &name, DWORD number, DWORD type = REG_DWORD);

    // Reads the value only when its stored type is `type` and it is at most
    // kQueryLimit bytes long.
    bool QueryValue(const std::wstring &name, std::vector<std::uint8_t> &bytes, DWORD type);
    // REG_SZ (or REG_EXPAND_SZ, unexpanded) as text without its terminator.
    bool QueryValue(const std::wstring &name, std::wstring &text, DWORD type = REG_SZ);
    bool QueryValue(const std::wstring &name, DWORD &number);

    bool DeleteValue(const std::wstring &name);

    // False when the object referred to no key.
    bool Close();

    HKEY Handle() const { return key_; }

    // Deletes "ROOT\sub\key" with all its sub-keys and values. A root alone is never
    // deleted.
    static bool DeleteKey(const std::wstring &path);
    // Number of sub-keys plus number of values; 0 when the key cannot be opened.
    static DWORD CountEntries(HKEY root, const std::wstring &subKey);
    // True only when the key was opened and read and holds no sub-key and no
    // value: a key that cannot be opened or read is not known to be empty.
    static bool IsEmptyKey(HKEY root, const std::wstring &subKey);

  private:
    bool OpenOrCreate(const std::wstring &path, bool create);
    bool OpenOrCreate(HKEY root, const std::wstring &subKey, bool create);

    HKEY key_ = nullptr;
    bool owned_ = false;
};

// The predefined key of a root name, or nullptr.
HKEY RegistryRootKey(const std::wstring &rootName);

// DeleteKey's two ways: RegDeleteTreeW when advapi32 exports it (Vista and later),
// SHDeleteKeyW otherwise. `preferDeleteTree` false takes the XP way on any system.
bool DeleteRegistryTree(HKEY root, const std::wstring &subKey, bool preferDeleteTree = true);

#endif
