#!/usr/bin/env bash
# The Windows build of tessel-catalog signs and checks on CryptoAPI: the index
# it writes is checked here by Python's cryptography package (another
# implementation), lint finds a changed byte, and a key pair it generates signs
# indexes that verify.
#   windows_tool_signs.sh TESSEL_CATALOG_EXE
set -euo pipefail
catalog=$1
root=$(cd "$(dirname "$0")/../../.." && pwd)

if [ -z "${TESSEL_WINE_READY:-}" ] || [ ! -d "${WINEPREFIX:-/nonexistent}" ]; then
  . "$root/tests/harness/wine-env.sh"
  world=$(mktemp -d /tmp/tessel-wine.XXXXXX)
  wine_env_start "$world"
fi
work=$(mktemp -d /tmp/catalog-signing.XXXXXX)
cleanup() {
  rm -rf "$work"
  [ -z "${world:-}" ] || wine_env_stop "$world"
}
trap cleanup EXIT

tree=$work/tree
/usr/bin/python3 - "$tree" <<'PY'
import os, sys, zipfile
tree = sys.argv[1]
def put(path, data=None):
    full = os.path.join(tree, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with zipfile.ZipFile(full, "w") as z:
        z.writestr("bin/driver.sys", data or path.encode())
put("[MID]/marbo K4/[common2]/Drivers_1/Audio/Win7/1.0/audio.zip")
put("[MID]/marbo K4/9HK4/Setup/그래픽/2.0/g.zip")
put("[MID]/marbo K4/[common2]/Drivers_2/Older/XP/1.0/o.zip")
os.makedirs(os.path.join(tree, "[MID]/marbo K4/[common2]/Drivers_2/Older/XP/0.9"))  # empty, and indexed
PY

win() { wine winepath -w "$1" 2>/dev/null | tr -d '\r'; }
run() { wine "$catalog" "$@" 2>&1 | tr -d '\r'; return "${PIPESTATUS[0]}"; }
verify() {  # verify.py TREE PUBLIC_KEY EXPECTED_SERIAL
  /usr/bin/python3 - "$@" <<'PY'
import hashlib, os, sys
from cryptography.hazmat.primitives import hashes
from cryptography.hazmat.primitives.asymmetric import padding, rsa
tree, key_file, serial = sys.argv[1], sys.argv[2], sys.argv[3]
fields = dict(l.split(" ", 1) for l in open(key_file).read().splitlines() if l and not l.startswith("#") and " " in l)
key = rsa.RSAPublicNumbers(int(fields["exponent"], 16), int(fields["modulus"], 16)).public_key()
data = open(os.path.join(tree, "[MID]", "marbo K4.tessel-index"), "rb").read()
body, _, last = data[:-1].rpartition(b"\n")
body += b"\n"
assert last.startswith(b"signature "), last[:40]
key.verify(bytes.fromhex(last[10:].decode()), body, padding.PKCS1v15(), hashes.SHA256())
lines = body.decode().splitlines()
assert lines[:3] == ["tessel-release-index 1", "tree /[MID]/marbo K4", "serial " + serial], lines[:3]
listed = set()
for line in lines[3:]:
    kind, rest = line.split(" ", 1)
    if kind == "file":
        size, sha, path = rest.split(" ", 2)
        raw = open(os.path.join(tree, "[MID]", "marbo K4", path), "rb").read()
        assert int(size) == len(raw) and sha == hashlib.sha256(raw).hexdigest(), path
    else:
        path = rest
    listed.add(path)
on_disk = set()
base = os.path.join(tree, "[MID]", "marbo K4")
for folder, dirs, files in os.walk(base):
    for name in dirs + files:
        on_disk.add(os.path.relpath(os.path.join(folder, name), base))
assert listed == on_disk, listed ^ on_disk
print("index verified:", len(listed), "entries, serial", serial)
PY
}

sample="$root/samples/release-key/sample-release"
run sign "$(win "$tree")" --key "$(win "$sample.private-key")"
verify "$tree" "$sample.public-key" 1
run lint "$(win "$tree")" --key "$(win "$sample.public-key")" >"$work/lint.txt" || {
  cat "$work/lint.txt"; echo "lint failed on the tree as signed" >&2; exit 1; }

# One byte of a package changed: lint fails and names the file.
printf 'X' | dd of="$tree/[MID]/marbo K4/[common2]/Drivers_1/Audio/Win7/1.0/audio.zip" bs=1 seek=40 conv=notrunc status=none
if run lint "$(win "$tree")" --key "$(win "$sample.public-key")" >"$work/lint.txt"; then
  cat "$work/lint.txt"; echo "lint passed a changed package" >&2; exit 1
fi
grep -q 'audio.zip: the SHA-256 differs from the index' "$work/lint.txt" || { cat "$work/lint.txt"; exit 1; }

# A key pair made by CryptoAPI signs the next index (serial 2).
run keygen --out "$(win "$work/own")" --comment "test key"
run sign "$(win "$tree")" --key "$(win "$work/own.private-key")"
verify "$tree" "$work/own.public-key" 2
echo "windows tool: signed, checked and refused as expected"
