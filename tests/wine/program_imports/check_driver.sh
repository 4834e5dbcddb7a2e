#!/usr/bin/env bash
# check_driver.sh OBJDUMP DRIVER PROGRAM
# Fails unless DRIVER is a 32-bit native-subsystem PE image with a valid
# checksum, importing only from ntoskrnl.exe and hal.dll, and PROGRAM holds
# exactly DRIVER's bytes once.
set -u
objdump=$1 driver=$2 program=$3
fail=0

listing=$("$objdump" -p "$driver") || { echo "cannot read $driver"; exit 1; }
grep -Eq '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)' <<<"$listing" ||
  { echo "pmio.sys is not PE32"; fail=1; }
grep -Eq '^Subsystem[[:space:]]+00000001' <<<"$listing" ||
  { echo "pmio.sys is not a native-subsystem image"; fail=1; }
dlls=$(awk '/DLL Name:/{print tolower($3)}' <<<"$listing" | sort -u)
grep -qx 'ntoskrnl.exe' <<<"$dlls" || { echo "pmio.sys imports nothing from ntoskrnl.exe"; fail=1; }
while read -r dll; do
  [[ -z $dll || $dll == ntoskrnl.exe || $dll == hal.dll ]] ||
    { echo "pmio.sys imports $dll"; fail=1; }
done <<<"$dlls"

/usr/bin/python3 - "$driver" "$program" <<'PY' || fail=1
import struct, sys
driver = open(sys.argv[1], 'rb').read()
program = open(sys.argv[2], 'rb').read()
ok = True
# The PE checksum: 16-bit one's-complement sum of the file without its
# checksum field, plus the file's length.
at = struct.unpack_from('<I', driver, 0x3C)[0] + 24 + 64
stored = struct.unpack_from('<I', driver, at)[0]
image = bytearray(driver)
struct.pack_into('<I', image, at, 0)
if len(image) % 2:
    image.append(0)
total = 0
for (word,) in struct.iter_unpack('<H', image):
    total += word
    total = (total & 0xFFFF) + (total >> 16)
if stored != total + len(driver):
    print('pmio.sys checksum 0x%08X, should be 0x%08X' % (stored, total + len(driver)))
    ok = False
count = program.count(driver)
if count != 1:
    print('%s holds the driver %d times' % (sys.argv[2].rsplit('/', 1)[-1], count))
    ok = False
sys.exit(0 if ok else 1)
PY

[ $fail -eq 0 ] && echo "pmio.sys ($(stat -c %s "$driver") bytes): native PE32, kernel imports only, carried by $(basename "$program")"
exit $fail
