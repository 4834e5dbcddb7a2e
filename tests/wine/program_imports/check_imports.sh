#!/usr/bin/env bash
# check_imports.sh OBJDUMP PROGRAM...
# Fails when a program imports a DLL beyond Windows' own or a function that
# Windows XP does not export (those must be looked up at run time instead).
set -u
objdump=$1; shift

# DLLs every supported Windows has.
allowed_dlls='^(ADVAPI32|COMCTL32|COMDLG32|GDI32|IPHLPAPI|KERNEL32|msvcrt|ole32|OLEAUT32|SHELL32|SHLWAPI|USER32|VERSION|WININET|WS2_32|ntdll)\.(dll|DLL)$'
# Functions that arrived with Vista or later, as far as these programs could
# plausibly reach them.
newer='^(GetTickCount64|RegDeleteTreeW|RegGetValueW|GetSystemFirmwareTable|QueryFullProcessImageNameW|InitializeSRWLock|AcquireSRWLock.*|ReleaseSRWLock.*|InitializeConditionVariable|SleepConditionVariable.*|WakeConditionVariable|WakeAllConditionVariable|InitOnce.*|CreateSymbolicLinkW|GetFinalPathNameByHandleW|CancelIoEx|CreateEventExW|CreateMutexExW|GetFileInformationByHandleEx|SetFileInformationByHandle|LocaleNameToLCID|LCIDToLocaleName|GetUserDefaultLocaleName|SHGetKnownFolderPath|TaskDialog.*|ChangeWindowMessageFilter.*|SetProcessDPIAware|GetErrorMode|Wow64.*|FlsAlloc|FlsGetValue|FlsSetValue|FlsFree|GetNativeSystemInfo)$'
# GetNativeSystemInfo exists on XP, but is looked up at run time all the same, so
# that a program never depends on it at load time.

fail=0
for program in "$@"; do
  listing=$("$objdump" -p "$program") || { echo "cannot read $program"; exit 1; }
  while read -r dll; do
    if ! [[ $dll =~ $allowed_dlls ]]; then
      echo "$(basename "$program") imports $dll, which is not a Windows DLL"; fail=1
    fi
  done < <(awk '/DLL Name:/{print $3}' <<<"$listing")
  while read -r dll fn; do
    if [[ $fn =~ $newer ]]; then
      echo "$(basename "$program") imports $fn from $dll, which Windows XP lacks"; fail=1
    fi
  done < <(awk '/DLL Name:/{dll=$3} /^\t[0-9a-f]+\t +[0-9]+  /{print dll, $3}' <<<"$listing")
  count=$(awk '/^\t[0-9a-f]+\t +[0-9]+  /' <<<"$listing" | wc -l)
  if [ "$count" -lt 20 ]; then
    echo "$(basename "$program"): only $count imports read; the listing format changed?"; fail=1
  fi
done
[ $fail -eq 0 ] && echo "imports of $# programs: Windows XP's own"
exit $fail
