#!/usr/bin/python3
"""The sample update server gives the product's account exactly what devices
need, checked with Python's ftplib (not the product's client) against the real
server process: read only on the primary server, read and the report folders
on the secondary one, whatever the addresses, port and roots, and nothing
reachable outside a root. After every scenario the trees on disk are compared
with what they held before, so a request that was answered as refused but
changed something is caught as well.

  update_server_rights_test.py PORT OTHER_PORT
"""

import ftplib
import hashlib
import io
import os
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER_FOLDER = os.path.join(HERE, "..", "..", "..", "tools", "update_server")
sys.path.insert(0, SERVER_FOLDER)
import check_rights  # noqa: E402

PORT, OTHER_PORT = 2121, 2141
SETUP_FOLDER = "/Korea/PC/TesselMIDSetup"
SETUP_FILE = SETUP_FOLDER + "/1.2.E/TesselMIDSetup 1.2.E.exe"
MODEL_FOLDER = "/[MID]/K4"
PACKAGE = MODEL_FOLDER + "/0000/Setup/Viewer/1.0/Viewer.zip"


def make_tree(root):
    """A self-update tree and a catalogue with both families, in one root."""
    for path, data in ((SETUP_FILE, b"MZ setup"), (PACKAGE, b"PK package"),
                       ("/[CMPC]/C1/[common2]/Drivers_1/Audio/Win7/2.0/audio.exe", b"MZ")):
        full = root + path
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(data)


def snapshot(folder):
    """Every path below `folder` with a digest of each file."""
    found = {}
    for parent, folders, files in os.walk(folder):
        for name in folders:
            found[os.path.relpath(os.path.join(parent, name), folder) + "/"] = None
        for name in files:
            with open(os.path.join(parent, name), "rb") as f:
                found[os.path.relpath(os.path.join(parent, name), folder)] = \
                    hashlib.sha256(f.read()).hexdigest()
    return found


class SampleServer:
    """scripts/update-server's program as a process of its own, stopped by SIGTERM."""

    def __init__(self, work, *args):
        ready = os.path.join(work, "ready")
        if os.path.exists(ready):
            os.remove(ready)
        self.process = subprocess.Popen(
            ["/usr/bin/python3", os.path.join(SERVER_FOLDER, "update_server.py"),
             "--ready-file", ready, "--refusal-delay", "0", *args],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 10
        while not os.path.exists(ready):
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.stop()
                raise RuntimeError(f"the update server did not start: {args}")
            time.sleep(0.05)

    def stop(self):
        self.process.terminate()
        self.process.wait(10)


def session(host, port, cwd="/"):
    ftp = ftplib.FTP(timeout=10)
    ftp.connect(host, port)
    ftp.login(check_rights.USER, check_rights.PASSWORD)
    ftp.cwd(cwd)
    return ftp


def answer(send):
    """The reply code of one request: "257", "550", ..."""
    try:
        return str(send())[:3]
    except ftplib.Error as error:
        return str(error)[:3]


class ServerRightsTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="tessel-rights-")
        # A file beside the roots that ".." must not reach.
        with open(os.path.join(self.work, "outside.txt"), "wb") as f:
            f.write(b"secret")
        self.state = tempfile.mkdtemp(prefix="tessel-rights-state-")
        self.servers = []

    def tearDown(self):
        for server in self.servers:
            server.stop()
        subprocess.run(["rm", "-rf", self.work, self.state], check=False)

    def serve(self, *args):
        self.servers.append(SampleServer(self.state, *args))

    def root(self, name):
        path = os.path.join(self.work, name)
        make_tree(path)
        return path

    def expect_check_passes(self, host, port, role, folder, file):
        out = io.StringIO()
        failed = check_rights.run(host, port, role, folder, file, "MID", out=out)
        self.assertEqual(0, failed, f"{role} server at {host}:{port}:\n{out.getvalue()}")

    def expect_no_way_out(self, host, port):
        """".." in any request stays inside the root."""
        ftp = session(host, port, SETUP_FOLDER)
        try:
            for path in ("/../outside.txt", "../../../../../outside.txt", "/..//../outside.txt"):
                self.assertEqual("550", answer(lambda: ftp.retrbinary(f"RETR {path}", print)), path)
            self.assertEqual("550", answer(lambda: ftp.sendcmd("MKD ../../../../escaped")))
            self.assertEqual("250", answer(lambda: ftp.cwd("/../../..")))
            self.assertEqual("/", ftp.pwd())
            self.assertEqual("250", answer(lambda: ftp.cwd("..")))
            self.assertEqual("/", ftp.pwd())
        finally:
            ftp.close()
        self.assertFalse(os.path.exists(os.path.join(self.work, "escaped")))

    def test_default_servers_give_devices_exactly_what_they_need(self):
        primary, secondary = self.root("self-update"), self.root("catalogue")
        before = snapshot(self.work)
        self.serve("--primary", primary, "--secondary", secondary, "--port", str(PORT))

        # The primary holds "/[MID]" too, but makes no report folder in it.
        ftp = session("127.0.0.1", PORT)
        for path in ("/[MID]/[]", "/[CMPC]/[]", SETUP_FOLDER + "/9.9.9", "/Korea/new"):
            self.assertEqual("550", answer(lambda: ftp.sendcmd(f"MKD {path}")), path)
        ftp.close()

        # On the secondary: both report folders once (then 550 as ever), one
        # device folder inside each, by absolute and relative paths; nothing
        # deeper, nothing beside them, no other spelling of the family.
        ftp = session("127.0.0.2", PORT)
        cases = [("/[MID]/[]", "257"), ("/[MID]/[]", "550"), ("/[CMPC]/[]", "257"),
                 ("/[CMPC]/[]/", "550"),
                 ("/[MID]/[]/(9HK4) (K4) (EX) (0412)", "257"),
                 ("/[MID]/[]/(9HK4) (K4) (EX) (0412)", "550"),
                 ("/[MID]/[]/(9HK4) (K4) (EX) (0412)/deeper", "550"),
                 ("/[MID]/[]/../9.9.9", "550"), ("/[MID]/[]/x/../../K5", "550"),
                 ("/[MID]/K5", "550"), ("/[MID]/K4/0000/Setup/Viewer/9.9", "550"),
                 ("/[mid]/[]", "550"), ("/[MID]/[ ]", "550"), ("/[OTHER]/[]", "550"),
                 ("/[]", "550"), (SETUP_FOLDER + "/9.9.9", "550")]
        for path, code in cases:
            self.assertEqual(code, answer(lambda: ftp.sendcmd(f"MKD {path}")), f"MKD {path}")
        ftp.cwd("/[CMPC]/[]")
        self.assertEqual("257", answer(lambda: ftp.sendcmd("MKD (0000) (C1) () (0409)")))
        self.assertEqual("550", answer(lambda: ftp.sendcmd("MKD ../C2")))
        ftp.cwd("/[CMPC]")
        self.assertEqual("550", answer(lambda: ftp.sendcmd("MKD C2")))
        self.assertEqual("550", answer(lambda: ftp.sendcmd("XMKD C3")))
        ftp.close()

        # Then every request once more, by the checker that operators run.
        self.expect_check_passes("127.0.0.1", PORT, "primary", SETUP_FOLDER, SETUP_FILE)
        self.expect_check_passes("127.0.0.2", PORT, "secondary", MODEL_FOLDER, PACKAGE)
        for host in ("127.0.0.1", "127.0.0.2"):
            self.expect_no_way_out(host, PORT)

        after = snapshot(self.work)
        made = {"catalogue/[MID]/[]/", "catalogue/[CMPC]/[]/",
                "catalogue/[MID]/[]/(9HK4) (K4) (EX) (0412)/",
                "catalogue/[CMPC]/[]/(0000) (C1) () (0409)/"}
        probes = {p for p in after if "tessel-rights-check-" in p}
        self.assertEqual(1, len(probes), probes)  # the checker's one device folder
        self.assertEqual(set(before) | made | probes, set(after))
        self.assertEqual({p: d for p, d in before.items()},
                         {p: after[p] for p in before})

    def test_rights_follow_the_role_on_any_address_port_and_root(self):
        # One root for both, the roles on each other's usual address, another port.
        shared = self.root("both")
        self.serve("--primary", shared, "--primary-address", "127.0.0.2",
                   "--secondary", shared, "--secondary-address", "127.0.0.1",
                   "--port", str(OTHER_PORT))
        self.expect_check_passes("127.0.0.2", OTHER_PORT, "primary", SETUP_FOLDER, SETUP_FILE)
        self.expect_check_passes("127.0.0.1", OTHER_PORT, "secondary", MODEL_FOLDER, PACKAGE)
        # The secondary made "/[MID]/[]"; the primary still refuses a folder in it.
        ftp = session("127.0.0.2", OTHER_PORT)
        self.assertEqual("550", answer(lambda: ftp.sendcmd("MKD /[MID]/[]/from-primary")))
        ftp.close()
        for host in ("127.0.0.1", "127.0.0.2"):
            self.expect_no_way_out(host, OTHER_PORT)
        self.assertFalse(os.path.exists(os.path.join(shared, "[MID]", "[]", "from-primary")))

    def test_checker_finds_a_server_that_allows_too_much(self):
        # pyftpdlib with folder creation everywhere, as the sample server once
        # was: the checker must fail it and name each folder it could make.
        root = self.root("open")
        ready = os.path.join(self.state, "open-ready")
        server = subprocess.Popen(["/usr/bin/python3", "-c", OPEN_SERVER, root, str(OTHER_PORT),
                                   ready], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            deadline = time.monotonic() + 10
            while not os.path.exists(ready) and time.monotonic() < deadline:
                time.sleep(0.05)
            before = snapshot(root)
            out = io.StringIO()
            failed = check_rights.run("127.0.0.1", OTHER_PORT, "primary", SETUP_FOLDER,
                                      SETUP_FILE, "MID", out=out)
        finally:
            server.terminate()
            server.wait(10)
        report = out.getvalue()
        self.assertGreaterEqual(failed, 2, report)
        self.assertRegex(report, r"FAIL MKD /Korea/PC/TesselMIDSetup/tessel-rights-check-\d+: "
                                 r"refused, accepted .*could not be undone")
        self.assertRegex(report, r"FAIL MKD /tessel-rights-check-\d+: refused, accepted")
        self.assertRegex(report, r"ok   DELE .*: refused, refused")
        left = set(snapshot(root)) - set(before)
        self.assertTrue(left and all("tessel-rights-check-" in p for p in left), left)


OPEN_SERVER = """
import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
root, port, ready = sys.argv[1], int(sys.argv[2]), sys.argv[3]
FTPHandler.authorizer = DummyAuthorizer()
FTPHandler.authorizer.add_user("%s", "%s", root, perm="elrm")
server = FTPServer(("127.0.0.1", port), FTPHandler)
open(ready, "w").close()
server.serve_forever()
""" % (check_rights.USER, check_rights.PASSWORD)

if __name__ == "__main__":
    if len(sys.argv) >= 3 and sys.argv[1].isdigit():
        PORT, OTHER_PORT = int(sys.argv[1]), int(sys.argv[2])
        del sys.argv[1:3]
    unittest.main(verbosity=2)
