#ifndef TOOLS_PKGBUILD_NATIVE_PATH_H
#define TOOLS_PKGBUILD_NATIVE_PATH_H

#include <filesystem>
#include <string>

// Paths as wide text for the file streams and the messages, and back: UTF-8
// on POSIX systems, the native wide form on Windows.
std::wstring WidePath(const std::filesystem::path &path);
std::filesystem::path PathFromWide(const std::wstring &text);

#endif
