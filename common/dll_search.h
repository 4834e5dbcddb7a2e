#ifndef COMMON_DLL_SEARCH_H
#define COMMON_DLL_SEARCH_H

// Both programs run with administrator rights from folders that ordinary users
// may write to (the Windows Temp folder, a download folder), so a DLL that a
// system library loads by name must never come from the current folder or the
// PATH. Called first thing at start: DLLs then load from the system folder
// and the program's own folder only (SetDefaultDllDirectories, where the
// system has it: Windows 7 with KB2533623, 8 on), or at least not from the
// current folder (SetDllDirectoryW(L""), XP SP1 on). False when neither was
// possible.
bool RestrictDllSearch();

#endif
