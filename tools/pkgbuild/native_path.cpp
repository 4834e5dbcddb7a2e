#include "tools/pkgbuild/native_path.h"

#include "common/text.h"

std::wstring WidePath(const std::filesystem::path &path) {
#ifdef _WIN32
    return path.wstring();
#else
    return WidenUtf8(path.string());
#endif
}

std::filesystem::path PathFromWide(const std::wstring &text) {
#ifdef _WIN32
    return std::filesystem::path(text);
#else
    return std::filesystem::path(NarrowUtf8(text));
#endif
}
