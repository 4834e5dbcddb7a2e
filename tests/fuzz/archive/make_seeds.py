#!/usr/bin/env python3
"""Writes the seed archives of fuzz_archive: ordinary packages and hostile ones."""
import io
import os
import struct
import sys
import zipfile
import zlib

out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "seeds")
os.makedirs(out, exist_ok=True)
PROGRAM = b"MZ" + bytes(range(256)) * 4
MARKER = "{AFA5D9B3_6269_4FC4_990D_49AE2918ED06_I}"[::-1].encode()


def archive(entries, comment=b"", method=zipfile.ZIP_DEFLATED):
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w", method) as z:
        for name, data in entries:
            info = zipfile.ZipInfo(name, (2010, 1, 1, 12, 0, 0))
            info.external_attr = (0o40755 << 16 | 0x10) if name.endswith("/") else (0o100644 << 16)
            info.extra = struct.pack("<HHBIII", 0x5455, 13, 7, 1262347200, 1262347300, 1262347400)
            z.writestr(info, data, compress_type=method)
        z.comment = comment
    return buf.getvalue()


def appended(entries):
    # Appending to a non-ZIP file stores offsets from the file's start.
    buf = io.BytesIO(PROGRAM + MARKER)
    buf.seek(0, 2)
    with zipfile.ZipFile(buf, "a", zipfile.ZIP_DEFLATED) as z:
        for name, data in entries:
            z.writestr(name, data)
    return buf.getvalue()


def write(name, data):
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)


script = [("General/Title=Viewer v./", b""), ("General/Version=1.0/", b""),
          ("General/InstallDir={ProgramFiles}%5CViewer/", b""),
          ("File/{InstallDir}/bin/viewer.exe", b"MZ" + b"x" * 3000),
          ("File/{InstallDir}/docs/", b""), ("Uninstall.exe", b"MZ" * 100)]
write("package_relative", PROGRAM + MARKER + archive(script))
write("package_absolute", appended(script))
write("stored", archive([("a.txt", b"hello " * 100), ("b.bin", os.urandom(500))], method=zipfile.ZIP_STORED))
write("empty", archive([]))
write("hostile_names", archive([("../../evil.txt", b"x"), ("/etc/passwd", b"y"), ("C:\\x.dll", b"z"),
                                ("C:x", b"w"), ("a/../../b", b"v"), ("...", b"u"), ("f.txt:ads", b"t"),
                                ("n" * 400, b"long name")]))
good = archive([("data.txt", b"The quick brown fox " * 2000)])
crc = bytearray(good)
cd = struct.unpack("<I", good[-6:-2])[0]
crc[cd + 16:cd + 20] = b"\x01\x02\x03\x04"
write("bad_crc", bytes(crc))
deflate = bytearray(good)
deflate[60:90] = b"\xff" * 30
write("bad_deflate", bytes(deflate))
write("truncated", good[: len(good) // 2] + good[-22:])
counts = bytearray(good)
counts[-14:-12] = struct.pack("<H", 9)
write("wrong_counts", bytes(counts))
huge = bytearray(good)
huge[cd + 24:cd + 28] = struct.pack("<I", 0xFFFFFFF0)  # declares 4 GB
write("bomb_size", bytes(huge))
write("long_comment", archive([("a.txt", b"a")], comment=b"c" * 65000))
# A deflate stream that inflates far beyond what it declares.
bomb = zlib.compressobj(9, zlib.DEFLATED, -15)
stream = bomb.compress(b"\0" * 5_000_000) + bomb.flush()
name = b"zeros.bin"
local = struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, 8, 0, 0x3C21, zlib.crc32(b"\0" * 100), len(stream), 100,
                    len(name), 0) + name + stream
central = struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 0x0B17, 20, 0, 8, 0, 0x3C21, zlib.crc32(b"\0" * 100),
                      len(stream), 100, len(name), 0, 0, 0, 0, 0x81A40000, 0) + name
end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 1, 1, len(central), len(local), 0)
write("longer_than_declared", local + central + end)
