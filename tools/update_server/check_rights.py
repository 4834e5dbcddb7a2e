#!/usr/bin/python3
"""Checks what the product's account may do on an update server.

The account is compiled into every copy of the update manager, so anyone can
use it. A device only reads, and on the secondary server creates its report
folders "/[family]/[]" and one folder inside it; any other change (a new
version folder on the primary, a new folder in a model tree, an upload, a
deletion, a rename) would change what other devices are offered or whether
the update manager starts at all. This command tries each request with its own
FTP client and checks the answer and, by listing again, the server's tree:

  check_rights.py --role primary   --host 203.0.113.10 --folder /Korea/PC/TesselMIDSetup --file ...
  check_rights.py --role secondary --host 203.0.113.20 --folder '/[MID]/marbo K4' --file ...

FOLDER is an existing folder and FILE an existing file of the tree. Refused
requests should change nothing; if one got through anyway, the command tries
to undo it and says so. On the secondary server the check creates one report
folder named tessel-rights-check-<pid> below "/[family]/[]" (what a device
does). Exit status 0 when the server grants exactly what devices need.
"""

import argparse
import ftplib
import io
import os
import posixpath
import sys

USER = "Ardwen3318"
PASSWORD = "molvex8264"
PORT = 2121


def is_refusal(error):
    return isinstance(error, (ftplib.error_perm, ftplib.error_temp, ftplib.error_reply))


class RightsCheck:
    """One session with the product's account; records each request's outcome."""

    def __init__(self, host, port, timeout=10):
        self.ftp = ftplib.FTP()
        self.ftp.connect(host, port, timeout=timeout)
        self.ftp.login(USER, PASSWORD)
        self.ftp.set_pasv(True)
        self.findings = []  # (request, expected, outcome, ok)

    def close(self):
        try:
            self.ftp.quit()
        except (OSError, EOFError, ftplib.Error):
            self.ftp.close()

    def _note(self, request, allowed, outcome, ok):
        self.findings.append((request, "allowed" if allowed else "refused", outcome, ok))

    def entries(self, folder):
        """`folder`'s LIST lines by name (None when it cannot be listed). Lists
        as the program does, from inside the folder: some servers take a LIST
        argument with brackets as a pattern."""
        lines = []
        try:
            self.ftp.cwd(folder)
            self.ftp.retrlines("LIST", lines.append)
        except ftplib.Error:
            return None
        finally:
            self.ftp.cwd("/")
        # The name is the last of the nine LIST fields; it may hold blanks.
        fields = (line.split(None, 8) for line in lines)
        return {f[8]: " ".join(f) for f in fields if len(f) == 9}

    def request(self, label, allowed, send, watch=None):
        """Sends one request. For a request that must be refused, the listing
        of the folder `watch` must also be the same after it as before (names,
        sizes and times), whatever the server answered."""
        before = self.entries(watch) if watch else None
        try:
            reply = send()
            outcome = f"accepted ({str(reply).splitlines()[0][:60]})" if reply else "accepted"
            accepted = True
        except ftplib.Error as error:
            if not is_refusal(error):
                raise
            outcome, accepted = f"refused ({str(error).splitlines()[0][:60]})", False
        changed = watch is not None and self.entries(watch) != before
        if changed and not accepted:
            outcome += ", but the tree changed"
        self._note(label, allowed, outcome, accepted == allowed and (allowed or not changed))
        return accepted

    # --- the requests

    def check_reading(self, folder, file):
        self.request(f"CWD {folder}", True, lambda: self.ftp.cwd(folder))
        self.request(f"LIST {folder}", True, lambda: self._list(folder))
        self.request(f"RETR {file}", True,
                     lambda: self.ftp.retrbinary(f"RETR {file}", lambda block: None))

    def _list(self, folder):
        self.ftp.cwd(folder)
        try:
            return self.ftp.retrlines("LIST", lambda line: None)
        finally:
            self.ftp.cwd("/")

    def check_folder_refused(self, path):
        if self.request(f"MKD {path}", False, lambda: self.ftp.mkd(path),
                        watch=posixpath.dirname(path)):
            self._undo(lambda: self.ftp.rmd(path))

    def check_changes_refused(self, folder, file, probe):
        file_folder = posixpath.dirname(file)
        stored = posixpath.join(folder, probe + ".txt")
        renamed = posixpath.join(file_folder, probe)

        self.check_folder_refused(posixpath.join(folder, probe))
        if self.request(f"STOR {stored}", False, watch=folder,
                        send=lambda: self.ftp.storbinary(f"STOR {stored}", io.BytesIO(b"x"))):
            self._undo(lambda: self.ftp.delete(stored))
        self.request(f"STOU in {folder}", False, lambda: self._transfer_in(folder, "STOU"),
                     watch=folder)
        self.request(f"APPE {file}", False, watch=file_folder,
                     send=lambda: self.ftp.storbinary(f"APPE {file}", io.BytesIO(b"x")))
        self.request(f"DELE {file}", False, lambda: self.ftp.delete(file), watch=file_folder)
        if self.request(f"RNFR/RNTO {file}", False, lambda: self.ftp.rename(file, renamed),
                        watch=file_folder):
            self._undo(lambda: self.ftp.rename(renamed, file))
        self.request(f"RMD {folder}", False, lambda: self.ftp.rmd(folder),
                     watch=posixpath.dirname(folder.rstrip("/")) or "/")
        self.request(f"SITE CHMOD 777 {file}", False,
                     lambda: self.ftp.sendcmd(f"SITE CHMOD 777 {file}"), watch=file_folder)

    def _transfer_in(self, folder, command):
        self.ftp.cwd(folder)
        try:
            return self.ftp.storbinary(command, io.BytesIO(b"x"))
        finally:
            self.ftp.cwd("/")

    def _undo(self, action):
        try:
            action()
            note = "undone"
        except ftplib.Error as error:
            note = f"could not be undone: {error}"
        request, expected, outcome, ok = self.findings[-1]
        self.findings[-1] = (request, expected, f"{outcome}; {note}", ok)

    def check_report_folders(self, family, probe, file):
        """A device's report folders: "/[family]/[]" (new or already there) and
        one folder inside it, nothing else in the family folder; nothing can be
        put into a device's folder, and it cannot be removed or renamed."""
        family_folder = f"/[{family}]"
        reports = f"{family_folder}/[]"
        self.request(f"MKD {reports} (or it exists)", True,
                     lambda: "exists" if "[]" in (self.entries(family_folder) or {})
                     else self.ftp.mkd(reports))
        device = f"{reports}/{probe}"
        self.request(f"MKD {device}", True, lambda: self.ftp.mkd(device))
        self.check_folder_refused(f"{family_folder}/{probe}")
        self.check_folder_refused(f"{reports}/../{probe}-up")
        self.check_folder_refused(f"{device}/deeper")
        stored = f"{device}/{probe}.txt"
        if self.request(f"STOR {stored}", False, watch=device,
                        send=lambda: self.ftp.storbinary(f"STOR {stored}", io.BytesIO(b"x"))):
            self._undo(lambda: self.ftp.delete(stored))
        for command in (f"SITE SYMLINK / {device}/root", f"SITE MKDIR {device}/a/b",
                        f"SITE CPFR {file}"):
            self.request(command, False, lambda: self.ftp.sendcmd(command), watch=device)
        self.request(f"RMD {device}", False, lambda: self.ftp.rmd(device), watch=reports)
        self.request(f"RNFR/RNTO {device}", False, watch=reports,
                     send=lambda: self.ftp.rename(device, f"{device}-renamed"))

    def check_root_is_closed(self, probe):
        """".." never leads above the root: listing "/.." lists the root, and
        no folder can be made through it."""
        root = self.entries("/")
        above = self.entries("/../..")
        self._note("CWD /../.. and LIST", True,
                   "shows the root" if above == root else "shows another folder", above == root)
        self.check_folder_refused(f"/../{probe}-above")

    def failures(self):
        return [finding for finding in self.findings if not finding[3]]


def run(host, port, role, folder, file, family, out=sys.stdout):
    """Checks one server; returns the number of requests whose outcome was wrong."""
    probe = f"tessel-rights-check-{os.getpid()}"
    check = RightsCheck(host, port)
    try:
        check.check_reading(folder, file)
        check.check_changes_refused(folder, file, probe)
        check.check_folder_refused(f"/{probe}")
        check.check_root_is_closed(probe)
        if role == "secondary":
            check.check_report_folders(family, probe, file)
        else:
            check.check_folder_refused(f"/[{family}]/[]/{probe}")
    finally:
        check.close()
    for request, expected, outcome, ok in check.findings:
        print(f"{'ok  ' if ok else 'FAIL'} {request}: {expected}, {outcome}", file=out)
    return len(check.failures())


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                     epilog="\n\n".join(__doc__.split("\n\n")[1:]),
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--host", required=True)
    parser.add_argument("--port", type=int, default=PORT, help=f"default {PORT}")
    parser.add_argument("--role", choices=("primary", "secondary"), required=True)
    parser.add_argument("--folder", required=True, help="an existing folder of the tree")
    parser.add_argument("--file", required=True, help="an existing file of the tree")
    parser.add_argument("--family", default="MID", choices=("MID", "CMPC"),
                        help="whose report folders to try (default MID)")
    args = parser.parse_args(argv)
    try:
        failed = run(args.host, args.port, args.role, args.folder, args.file, args.family)
    except (OSError, EOFError, ftplib.Error) as error:
        print(f"check_rights: {args.host}:{args.port}: {error}", file=sys.stderr)
        return 2
    print(f"{failed} request(s) answered wrongly" if failed
          else "the account gets what devices need, nothing more")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
