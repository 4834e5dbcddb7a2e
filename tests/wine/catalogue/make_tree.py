#!/usr/bin/python3
"""Writes a catalogue tree for the Wine and end-to-end tests, or for the benchmark.

  make_tree.py OUT sample          the tree the catalogue tests expect rows from
  make_tree.py OUT bench ROOTS N   ROOTS driver roots of N components each

Listed names are free of blanks: Wine's FTP listing keeps only a name's first word.
Folders the program only enters ("marbo K4") may hold blanks.
"""
import os
import sys

MODEL = "[MID]/marbo K4"
DRIVERS = MODEL + "/[common2]/Drivers_"
SETUP = MODEL + "/9HK4/Setup"

SAMPLE = [
    # Drivers_1: Windows folders and their fall-backs.
    DRIVERS + "1/Touchside/Win7/2.0/ts.zip",
    DRIVERS + "1/Touchside/Vista/1.9/ts.zip",
    DRIVERS + "1/HIDeGalaxTouch/Win7/1.0/h.exe",
    DRIVERS + "1/BlueSoleil/Vista/6.0/bs.zip",
    DRIVERS + "1/BlueSoleil/XP/5.0/bs.zip",
    DRIVERS + "1/Graphics/XP/1.9/g.zip",
    DRIVERS + "1/Graphics/XP/1.10/g.zip",
    DRIVERS + "1/Graphics/XP/1.10/readme.txt",
    DRIVERS + "1/Graphics/XP/1.10/Setup.exe",
    # Drivers_2: a version folder with only a sub-folder; a component again in Drivers_5.
    DRIVERS + "2/Broken/Win7/3.0/sub/x.zip",
    DRIVERS + "2/marboAudio/Win7/1.0/a.zip",
    DRIVERS + "5/marboAudio/Win7/1.5/a5.zip",
    DRIVERS + "5/marboAudio/XP/1.5/a5.zip",
    DRIVERS + "5/BlueSoleil/Win7/7.0/bs7.exe",
    # The setup root, walked last.
    SETUP + "/marboDMB/1.0.3/dmb.zip",
    SETUP + "/marboDMB/1.0.4/dmbplayer.zip",
    SETUP + "/marboDMB/1.0.4/Setup.exe",
    SETUP + "/Graphics/2.0/g2.zip",
]


def write(out, path, size=16):
    full = os.path.join(out, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.write(b"x" * size)


def main():
    out, kind = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    if kind == "sample":
        for path in SAMPLE:
            write(out, path)
    elif kind == "bench":
        roots, count = int(sys.argv[3]), int(sys.argv[4])
        for n in range(1, roots + 1):
            for c in range(count):
                for windows in ("Win7", "XP"):
                    for version in ("1.0", "1.1"):
                        write(out, f"{DRIVERS}{n}/comp{n}x{c}/{windows}/{version}/pkg.zip")
                        write(out, f"{DRIVERS}{n}/comp{n}x{c}/{windows}/{version}/Setup.exe")
    else:
        sys.exit(f"unknown kind {kind!r}")


if __name__ == "__main__":
    main()
