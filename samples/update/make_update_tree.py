#!/usr/bin/python3
"""Writes the update server's trees for a device "marbo K4" (board 9HK4) that
has none of the offered components yet:

  make_update_tree.py OUT STANDIN_EXE [MSI] [--setup-package PLAYER_SETUP]

OUT/primary      the self-update tree: no newer Tessel
OUT/secondary    the catalogue:
  Drivers_1/Driver/Win7/1.0.1  Driver.zip (Setup.exe that starts dpinst.exe)
                               and Patch.exe, installed in that order
  Setup/Viewer/2.0             Viewer.zip without a setup: a desktop shortcut
  Setup/marboDMB/1.0.4         marboDMB.zip with the DMB player (dmbplayer.exe):
                               a running player is closed and started again
  Setup/Notes/1.0              Notes.msi (when an MSI is given)
  Setup/Player/1.0             PlayerSetup.exe, a setup package of this project's
                               wizard (when one is given)

OUT/aside/listing  components a test moves into Setup/ and out again:
  Hostile/1.0      ..zip and ...zip (package names "." and ".."), Tool.zip
  Writable/1.0     Writable.zip made on Windows: host 0, DOS attribute 0x20

Every program in it is the stand-in installer, under the name it plays;
Driver.exe, Viewer.exe and Notes.exe are the files whose presence in Program
Files shows the component installed.
"""
import argparse
import os
import shutil
import sys
import zipfile

MODEL = "secondary/[MID]/marbo K4"
DRIVER = MODEL + "/[common2]/Drivers_1/Driver/Win7/1.0.1"
SETUP = MODEL + "/9HK4/Setup"


def zip_package(path, members):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, data in members:
            archive.writestr(name, data)


def windows_zip(path, members):
    """A ZIP as Windows tools write it: host byte 0, DOS attributes only."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, data in members:
            info = zipfile.ZipInfo(name, date_time=(2026, 1, 2, 3, 4, 6))
            info.create_system = 0
            info.external_attr = 0x20
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("standin")
    parser.add_argument("msi", nargs="?", default="")
    parser.add_argument("--setup-package", default="")
    parser.add_argument("--large-viewer", action="store_true",
                        help="also write aside/Viewer.zip with a 200 MB entry (tests swap it in)")
    args = parser.parse_args()
    out = args.out
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(os.path.join(out, "primary"))
    program = open(args.standin, "rb").read()

    zip_package(os.path.join(out, DRIVER, "Driver.zip"), [
        ("Setup.exe", program), ("dpinst.exe", program), ("Driver.exe", program),
        ("inf/driver.inf", b"[Version]\r\nSignature=\"$Windows NT$\"\r\n")])
    shutil.copyfile(args.standin, os.path.join(out, DRIVER, "Patch.exe"))

    zip_package(os.path.join(out, SETUP, "Viewer/2.0/Viewer.zip"), [
        ("Viewer.exe", program), ("readme.txt", b"The viewer needs no setup.\r\n")])

    zip_package(os.path.join(out, SETUP, "marboDMB/1.0.4/marboDMB.zip"), [
        ("dmbplayer.exe", program), ("channels.txt", b"KBS MBC SBS\r\n")])

    if args.large_viewer:
        zip_package(os.path.join(out, "aside/Viewer.zip"), [
            ("Viewer.exe", program), ("large.bin", bytes(200 * 1024 * 1024))])

    listing = os.path.join(out, "aside/listing")
    zip_package(os.path.join(listing, "Hostile/1.0/..zip"), [("escaped-dot.txt", b"x")])
    zip_package(os.path.join(listing, "Hostile/1.0/...zip"), [("escaped-dotdot.txt", b"x")])
    zip_package(os.path.join(listing, "Hostile/1.0/Tool.zip"), [("tool.txt", b"tool\r\n")])
    windows_zip(os.path.join(listing, "Writable/1.0/Writable.zip"), [("data.txt", b"data\r\n")])
    # An installer that is no program at all: its row must fail.
    os.makedirs(os.path.join(listing, "Broken/1.0"))
    with open(os.path.join(listing, "Broken/1.0/Broken.exe"), "wb") as broken:
        broken.write(b"This is text, not a program.\r\n")

    if args.msi:
        os.makedirs(os.path.join(out, SETUP, "Notes/1.0"))
        shutil.copyfile(args.msi, os.path.join(out, SETUP, "Notes/1.0/Notes.msi"))
    if args.setup_package:
        os.makedirs(os.path.join(out, SETUP, "Player/1.0"))
        shutil.copyfile(args.setup_package, os.path.join(out, SETUP, "Player/1.0/PlayerSetup.exe"))


if __name__ == "__main__":
    main()
