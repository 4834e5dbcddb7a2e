#!/usr/bin/env bash
# The marbo-pack command on the bundled sample: it builds with both offset
# layouts, other ZIP readers accept the result, bad descriptions are refused
# with the file and line named, and nothing is left behind after a failure.
#   marbo_pack_command_test.sh MARBO_PACK SAMPLE_FOLDER
set -u
pack=$(realpath "$1"); sample=$(realpath "$2")
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fails=0
check() { if eval "$2"; then :; else echo "FAILED: $1"; fails=$((fails + 1)); fi; }

printf 'MZ stand-in for marboSetup.exe\0\0' >"$work/setup.exe"
for layout in relative absolute; do
  opt=; [ $layout = absolute ] && opt=--absolute-offsets
  out="$work/viewer-$layout.exe"
  check "build ($layout)" "'$pack' build '$sample/viewer-package.txt' --program '$work/setup.exe' --output '$out' $opt >/dev/null"
  check "python zipfile reads ($layout)" "/usr/bin/python3 -m zipfile -t '$out' >/dev/null 2>&1"
  check "python sees the script ($layout)" "/usr/bin/python3 -m zipfile -l '$out' 2>/dev/null | grep -q 'Registry/HKEY_LOCAL_MACHINE%5CSOFTWARE%5CParvoni%5Cmarbo Viewer/Build/12abc/REG_DWORD/'"
  check "unzip -l lists ($layout)" "unzip -l '$out' 2>/dev/null | grep -q 'File/Target={InstallDir}/docs/images/sample.png'"
  unzip -tq "$out" >/dev/null 2>&1; rc=$?
  check "unzip -t accepts ($layout, status $rc)" "[ $rc -le 1 ]"
  check "listing ($layout)" "'$pack' list '$out' | grep -q 'offsets: $layout'"
done
check "uninstaller inside is the program" "unzip -p '$work/viewer-relative.exe' Uninstall.exe 2>/dev/null | cmp -s - '$work/setup.exe'"
check "sample file inside is byte for byte" "unzip -p '$work/viewer-relative.exe' 'File/Target={InstallDir}/docs/guide.txt' 2>/dev/null | cmp -s - '$sample/files/docs/guide.txt'"

# Bad input: a message naming the file and line, status 1, no output file.
bad() {  # name, description text, expected message part
  printf '%s' "$2" >"$work/bad.txt"
  local msg; msg=$("$pack" build "$work/bad.txt" --program "$work/setup.exe" --output "$work/bad.exe" 2>&1 >/dev/null)
  local rc=$?
  check "$1: refused (status $rc)" "[ $rc -eq 1 ]"
  local found=1; grep -qF -- "$3" <<<"$msg" && found=0
  check "$1: message '$3' in: $msg" "[ $found -eq 0 ]"
  check "$1: no output" "[ ! -e '$work/bad.exe' ] && [ ! -e '$work/bad.exe.partial' ]"
}
head='[General]
Title = T
InstallDir = {ProgramFiles}\T
'
bad "unknown key" "$head"'Colour = red
' "bad.txt:4: unknown key \"Colour\""
bad "registry type" "$head"'[Registry HKEY_CURRENT_USER\Software\T]
Blob = REG_BINARY 00
' "bad.txt:5: registry type REG_BINARY is not supported"
bad "shortcut folder" "$head"'[Shortcut]
Folder = C:\Links
Name = T
Target = {InstallDir}\t.exe
' "bad.txt:4: shortcut folder"
bad "missing source" "$head"'[Files]
nothing-here.txt = {InstallDir}
' "bad.txt:5: source"
long=$(printf 'x%.0s' $(seq 1 250))
bad "long entry name" "$head"'[Registry HKEY_CURRENT_USER\Software\T]
'"$long"' = REG_SZ v
' "bad.txt:5: the script line"

cp "$work/viewer-relative.exe" "$work/carrier.exe"
msg=$("$pack" build "$sample/viewer-package.txt" --program "$work/carrier.exe" --output "$work/bad.exe" 2>&1 >/dev/null)
found=1; grep -q 'carrier.exe: the setup program already carries a setup marker' <<<"$msg" && found=0
check "program with a marker refused: $msg" "[ $found -eq 0 ]"
check "program with a marker: no output" "[ ! -e '$work/bad.exe' ]"
msg=$("$pack" list "$work/setup.exe" 2>&1); rc=$?
found=1; grep -q 'not a setup package' <<<"$msg" && found=0
check "list of a plain program fails: $msg" "[ $rc -eq 1 ] && [ $found -eq 0 ]"

# Large packages report progress.
mkdir -p "$work/big/files"
head -c 20000000 /dev/urandom >"$work/big/files/blob.bin"
printf '%s[Files]\nfiles = {InstallDir}\n' "$head" >"$work/big/big.txt"
msg=$("$pack" build "$work/big/big.txt" --program "$work/setup.exe" --output "$work/big.exe" 2>&1 >/dev/null)
found=1; grep -q '100% (' <<<"$msg" && found=0
check "progress shown: $msg" "[ $found -eq 0 ]"

[ $fails -eq 0 ] && echo "marbo-pack command: all checks passed"
exit $((fails > 0))
