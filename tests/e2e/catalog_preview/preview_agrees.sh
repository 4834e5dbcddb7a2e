#!/usr/bin/env bash
# The preview and the device agree: on a tree the sample server serves, the rows
# "tessel-catalog preview" prints for a marbo K4 on Windows 7 with some components
# installed equal the rows Tessel's selection page shows on a simulated K4 with
# the same registry values and program files.
#   preview_agrees.sh TESSEL_EXE TESSEL_CATALOG_EXE WINDRIVER_EXE SERVER_STATE_DIR
# Runs inside a simulated device (tests/harness/simulated-device) and the test
# run's Wine world, or makes a world of its own.
set -euo pipefail
tessel=$1 catalog=$2 windriver=$3 server=$4
root=$(cd "$(dirname "$0")/../../.." && pwd)

if [ -z "${TESSEL_WINE_READY:-}" ] || [ ! -d "${WINEPREFIX:-/nonexistent}" ]; then
  . "$root/tests/harness/wine-env.sh"
  world=$(mktemp -d /tmp/tessel-wine.XXXXXX)
  wine_env_start "$world"
  trap 'wine_env_stop "$world"' EXIT
fi
work=$(mktemp -d /tmp/catalog-preview.XXXXXX)
cleanup() {
  bash "$root/tools/update_server/run_with_server.sh" --stop "$server"
  rm -rf "$work"
  [ -z "${world:-}" ] || wine_env_stop "$world"
}
trap cleanup EXIT

# The tree. Listed names have no blanks: Wine's FTP listing keeps a name's first
# word only (folders that are only entered, "marbo K4", may have them).
tree=$work/tree
/usr/bin/python3 - "$tree" <<'PY'
import os, sys, zipfile
tree = sys.argv[1]
k4 = os.path.join(tree, "[MID]", "marbo K4")
def put(path, data=b"MZ"):
    full = os.path.join(k4, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    if full.endswith(".zip"):
        with zipfile.ZipFile(full, "w", zipfile.ZIP_DEFLATED) as z:
            z.writestr("bin/" + os.path.basename(full)[:-4] + ".sys", b"driver " * 100)
    else:
        open(full, "wb").write(data)
d = "[common2]/Drivers_"
put(d + "1/Graphic_Driver/Win7/1.9/g.zip")
put(d + "1/Graphic_Driver/Win7/1.10/g.zip")
put(d + "1/Graphic_Driver/Win7/1.10/Setup.exe")
put(d + "1/Touchside/Win7/1.0/t.exe")            # never on Windows 7
put(d + "1/Sound_Pack/XP/3.0/s.exe")             # from XP on Windows 7
put(d + "1/Sound_Pack/Vista/3.1/sub/x.exe")      # Vista lists a folder: it decides, and holds no files
put(d + "4/Graphic_Driver/Vista/2.0/g2.exe")     # a later root replaces Drivers_1's row
put("9HK4/Setup/marboDMB/1.0.4/dmbplayer.zip")
put("9HK4/Setup/marboDMB/1.0.4/Setup.exe")
put("9HK4/Setup/marboMUSIC/2.0/Setup.exe")
put("9HK4/Setup/Helper/0.9/helper.exe")
put("0000/Setup/Other/1.0/o.exe")                # another board's
PY
mkdir -p "$work/primary"

# What the device has installed: marboDMB with its program file, marboMUSIC
# without (so not installed on a MID), Helper only for the current user.
pf=$(wine winepath -u 'C:\Program Files' 2>/dev/null | tr -d '\r')
mkdir -p "$pf/marboDMB" "$pf/Helper" "$pf/Tessel"
echo MZ >"$pf/marboDMB/dmbplayer.exe"
echo MZ >"$pf/Helper/Helper.exe"
cp "$tessel" "$pf/Tessel/Tessel.exe"
wine reg add 'HKLM\SOFTWARE\Parvoni\marboDMB' /v version /d 1.0.4 /f >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\Parvoni\marboMUSIC' /v version /d 1.5 /f >/dev/null 2>&1
wine reg add 'HKCU\SOFTWARE\Parvoni\Helper' /v version /d 0.8 /f >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\Parvoni\Graphic_Driver' /v version /d 2.0 /f >/dev/null 2>&1
echo MZ >"$pf/Graphic_Driver.exe"   # not where Tessel looks: Graphic_Driver stays "-"
echo MZ >"$pf/TuneForge.exe"        # nor this, for marboMUSIC

# The same state for the preview: registry exports as regedit writes them, and
# the program files present.
wine regedit /E "$(wine winepath -w "$work/machine.reg" | tr -d '\r')" 'HKEY_LOCAL_MACHINE\SOFTWARE\Parvoni' >/dev/null 2>&1
wine regedit /E "$(wine winepath -w "$work/user.reg" | tr -d '\r')" 'HKEY_CURRENT_USER\SOFTWARE\Parvoni' >/dev/null 2>&1
/usr/bin/python3 - "$work" <<'PY'
import sys
work = sys.argv[1]
def text(name):
    raw = open(f"{work}/{name}", "rb").read()
    return raw.decode("utf-16") if raw[:2] == b"\xff\xfe" else raw.decode("utf-8")
user = text("user.reg").split("\n", 1)[1]
open(f"{work}/installed.reg", "w", encoding="utf-8").write(text("machine.reg") + user)
PY
(cd "$pf" && find . -type f | sed 's|^\./||') >"$work/files.txt"

win() { wine winepath -w "$1" 2>/dev/null | tr -d '\r'; }
wine "$catalog" preview "$(win "$tree")" --family MID --model "marbo K4" --suffix EX \
  --serial 9HK40001 --windows Win7 --installed "$(win "$work/installed.reg")" \
  --program-files "$(win "$work/files.txt")" --json >"$work/preview.json"
wine "$catalog" preview "$(win "$tree")" --family MID --model "marbo K4" --suffix EX \
  --serial 9HK40001 --windows Win7 --installed "$(win "$work/installed.reg")" \
  --program-files "$(win "$work/files.txt")"

# Tessel on the device, against the tree served as the secondary server.
bash "$root/tools/update_server/run_with_server.sh" "$server" \
  --primary "$work/primary" --secondary "$tree" -- bash -c '
  set -u
  wine "$1" >/dev/null 2>&1 &
  shown=0
  wine "$2" wait 1001 --class Tessel --timeout 120000 >/dev/null && shown=1
  [ $shown = 1 ] && wine "$2" rows 1001 --class Tessel >"$3/rows.txt"
  wine "$2" click 1003 --class Tessel >/dev/null 2>&1 || true
  wine "$2" gone --class Tessel --timeout 20000 >/dev/null 2>&1 || kill $! 2>/dev/null || true
  wait || true
  [ $shown = 1 ] || { wine "$2" controls --class Tessel --all >&2 || true; exit 1; }
' _ 'C:\Program Files\Tessel\Tessel.exe' "$windriver" "$work"

/usr/bin/python3 - "$work" <<'PY'
import json, sys
work = sys.argv[1]
preview = json.load(open(f"{work}/preview.json", encoding="utf-8"))
expected = ["[x]\t" if r["checked"] else "[ ]\t" for r in preview["rows"]]
expected = [t + "\t".join([r["name"], r["installed"], r["new"]]) for t, r in zip(expected, preview["rows"])]
shown = [l.rstrip("\r") for l in open(f"{work}/rows.txt", encoding="utf-8").read().split("\n") if l.strip()]
print("preview:", *expected, sep="\n  ")
print("Tessel:", *shown, sep="\n  ")
# The tree is built so that the rules show: a later root, a Windows fallback, an
# empty newest version, Windows 7 exclusions, installed state from both roots.
want = ["[x]\tGraphic_Driver\t-\t2.0", "[x]\tHelper\t0.8\t0.9",
        "[ ]\tmarboDMB\t1.0.4\t1.0.4", "[x]\tmarboMUSIC\t-\t2.0"]
assert expected == want, f"the preview's rows are not the tree's: {expected}"
assert shown == expected, "Tessel shows other rows than the preview"
reasons = {r["component"]: r["reason"] for r in preview["notOffered"]}
assert reasons.get("Touchside") == "never offered on Windows 7", reasons
assert reasons.get("Sound_Pack", "").startswith('its newest version folder "3.1" holds no files'), reasons
print("agree")
PY
