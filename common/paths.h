#ifndef COMMON_PATHS_H
#define COMMON_PATHS_H

#include <string>

// Server paths use "/", local paths "\"; both are normalised by turning the other
// separator into their own and collapsing doubled separators.
std::wstring NormaliseServerPath(const std::wstring &path);
// A leading "\\" of a network path is kept.
std::wstring NormaliseLocalPath(const std::wstring &path);

// Joins two parts with exactly one separator between them.
std::wstring JoinServerPath(const std::wstring &a, const std::wstring &b);
std::wstring JoinLocalPath(const std::wstring &a, const std::wstring &b);

// Text before / after the last "\" (the whole text is the folder when there is none).
std::wstring LocalFolderOf(const std::wstring &path);
std::wstring LocalNameOf(const std::wstring &path);

#endif
