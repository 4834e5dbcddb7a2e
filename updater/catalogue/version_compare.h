#ifndef UPDATER_CATALOGUE_VERSION_COMPARE_H
#define UPDATER_CATALOGUE_VERSION_COMPARE_H

#include <string>
#include <vector>

// The orderings of version folder names, server file names and installed-version
// texts. Texts compare by UTF-16 code unit, whatever the width of wchar_t.

// -1, 0 or 1 as `a` is older than, equal to or newer than `b`. Parts between "."
// compare as numbers when both are the exact decimal text of a 32-bit integer
// ("7", "-3", "0"; not "07", "-0", "+7"), otherwise as case-sensitive texts; the
// shorter version is padded with empty parts. Any number of parts is handled.
int CompareVersion(const std::wstring &a, const std::wstring &b);

// True when the first "."-part of `name` is a number in the sense above.
bool StartsWithVersionNumber(const std::wstring &name);

// -1, 0 or 1: a name ending in ".zip" sorts before one ending in ".exe" (letter case
// ignored), everything else by code unit. Not transitive over mixed listings.
int CompareFileName(const std::wstring &a, const std::wstring &b);

// True when the offered version is newer than the installed one by CompareVersion;
// the not-installed text "-" is below every version.
bool IsOfferNewer(const std::wstring &offered, const std::wstring &installed);

using NameComparison = int (*)(const std::wstring &, const std::wstring &);

// Straight insertion sort in listing order: an entry moves back only past names
// that compare greater (1). The result for a non-transitive comparison depends on
// the order of `names`, exactly as the server listed them.
void SortNames(std::vector<std::wstring> &names, NameComparison compare);

#endif
