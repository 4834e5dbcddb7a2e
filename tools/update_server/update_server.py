#!/usr/bin/python3
"""The product's update server for development and tests.

Serves FTP trees the way the update manager expects them: port 2121, the
product's account, passive mode, binary transfers. The primary server
(self-update tree) listens on 127.0.0.1, the secondary one (catalogue, report
folders, packages) on 127.0.0.2, each from a folder given on the command line.

The product's account is compiled into every copy of the program, so anyone can
use it: it gets exactly what devices need and nothing that could change what
another device is offered. On the primary server it may enter and list folders
and read files. On the secondary server it may also create the report folders,
"/[MID]/[]" and "/[CMPC]/[]" and the folders directly inside them, and no
other folder. Every other change (uploads, appends, deletions, renames, other
folders, modes and times) is refused with 550, whatever the address, port or
root; paths are resolved inside the root, so ".." never leads out of it.

For tests a server can instead be "silent": it accepts connections and never
answers. With --log every connection, command and log-in outcome is written as
one line, so that a test can count what the program sent. With --faults, file
transfers can misbehave as a JSON file describes (read again at every
transfer, so a test may change it between runs), keyed by file name:

  {"stall.bin": {"stall_after": 4096, "stall_seconds": 17},
   "grow.bin": {"grow_by": 952},
   "kill.bin": {"kill_after": 65536}}

stall_after / stall_seconds: send that many bytes, fall silent, then drop the
data connection. grow_by: append that many bytes to the file once its first
transfer has been read to the end (a file that grows while it is fetched).
kill_after: end the whole server process (SIGKILL) after that many bytes.

Stops cleanly on SIGTERM or SIGINT.
"""

import argparse
import json
import os
import signal
import socket
import sys
import threading
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

USER = "Ardwen3318"
PASSWORD = "molvex8264"
PORT = 2121
# Enter folders, list them, read files: all that a device does on the primary
# server and, report folders apart, on the secondary one.
READ_PERMISSIONS = "elr"
# The report folders a device creates on the secondary server: the family's
# "[]" folder and one folder per device directly inside it.
REPORT_FAMILIES = ("[MID]", "[CMPC]")
REPORT_FOLDER = "[]"


def is_report_folder(root, path):
    """Whether `path`, a resolved file-system path, names "/[family]/[]" or a
    folder directly inside it below `root`. Names are compared exactly, as the
    file system does."""
    parts = os.path.relpath(path, root).split(os.sep)
    return parts[0] in REPORT_FAMILIES and len(parts) in (2, 3) and parts[1] == REPORT_FOLDER


class DeviceRightsAuthorizer(DummyAuthorizer):
    """The account's rights on one server, decided by the path of each request
    rather than per existing folder, so that "/[MID]/[]" can be created without
    allowing any other new name in "/[MID]"."""

    def __init__(self, root, report_folders):
        super().__init__()
        self.add_user(USER, PASSWORD, root, perm=READ_PERMISSIONS)
        self._root = self.get_home_dir(USER)
        self._report_folders = report_folders

    def has_perm(self, username, perm, path=None):
        if username != USER:
            return False
        if perm in READ_PERMISSIONS:
            return True
        return (perm == "m" and self._report_folders and path is not None
                and is_report_folder(self._root, path))


class EventLog:
    """One line per event, flushed at once, shared by every server thread."""

    def __init__(self, path):
        self._file = open(path, "a", encoding="utf-8", buffering=1) if path else None
        self._lock = threading.Lock()

    def write(self, address, event, detail=""):
        if not self._file:
            return
        with self._lock:
            self._file.write(f"{address} {event} {detail}".rstrip() + "\n")

    def close(self):
        if self._file:
            self._file.close()


class Faults:
    """The faults file, read at every transfer; growth happens once per file."""

    def __init__(self, path):
        self._path = path
        self._grown = set()

    def lookup(self, name):
        if not self._path:
            return None
        try:
            with open(self._path, encoding="utf-8") as f:
                table = json.load(f)
        except (OSError, ValueError):
            return None
        return table.get(name)

    def grow_once(self, path, count):
        if path in self._grown:
            return
        self._grown.add(path)
        with open(path, "ab") as f:
            f.write(b"G" * count)


class FaultyFile:
    """A file being sent that stalls, grows or ends the server as its fault says."""

    def __init__(self, file, fault, faults):
        self._file = file
        self._fault = fault
        self._faults = faults
        self._sent = 0
        self.name = file.name
        self.closed = False

    def _limit(self, key):
        value = self._fault.get(key)
        return None if value is None else int(value)

    def read(self, size=-1):
        stall = self._limit("stall_after")
        kill = self._limit("kill_after")
        for limit in (stall, kill):
            if limit is not None and self._sent < limit and (size < 0 or self._sent + size > limit):
                size = limit - self._sent
        if stall is not None and self._sent >= stall:
            # The whole server falls silent, then the data connection breaks.
            time.sleep(float(self._fault.get("stall_seconds", 17)))
            raise OSError("stalled transfer dropped")
        if kill is not None and self._sent >= kill:
            os.kill(os.getpid(), signal.SIGKILL)
        data = self._file.read(size)
        self._sent += len(data)
        if not data and self._fault.get("grow_by"):
            self._faults.grow_once(self.name, int(self._fault["grow_by"]))
        return data

    def seek(self, *args):
        return self._file.seek(*args)

    def tell(self):
        return self._file.tell()

    def close(self):
        self.closed = True
        self._file.close()


def make_filesystem(faults):
    class FaultyFS(AbstractedFS):
        def open(self, filename, mode):
            file = super().open(filename, mode)
            fault = faults.lookup(os.path.basename(filename)) if "r" in mode else None
            return FaultyFile(file, fault, faults) if fault else file
    return FaultyFS


def make_handler(root, role, log, refusal_delay, passive_ports, faults=None, reply_delay=0.0):
    authorizer = DeviceRightsAuthorizer(root, report_folders=(role == "secondary"))

    class LoggingHandler(FTPHandler):
        def _server_address(self):
            try:
                return self.socket.getsockname()[0]
            except OSError:
                return "?"

        def on_connect(self):
            self.logged_address = self._server_address()
            log.write(self.logged_address, "CONNECT")

        def on_disconnect(self):
            log.write(getattr(self, "logged_address", "?"), "DISCONNECT")

        def on_login(self, username):
            log.write(self.logged_address, "LOGIN", username)

        def on_login_failed(self, username, password):
            log.write(self.logged_address, "REFUSED", username)

        def pre_process_command(self, line, cmd, arg):
            detail = cmd if cmd == "PASS" else f"{cmd} {arg or ''}"
            log.write(getattr(self, "logged_address", "?"), "CMD", detail.strip())
            if reply_delay:
                # A far server: every answer comes one round trip later. The
                # whole server waits, which is what one client sees anyway.
                time.sleep(reply_delay)
            super().pre_process_command(line, cmd, arg)

        def ftp_STOU(self, line):
            # pyftpdlib makes the unique file before it asks for the right to:
            # refuse first, so that no file appears even for a moment.
            self.respond("550 Not enough privileges.")

    LoggingHandler.authorizer = authorizer
    LoggingHandler.auth_failed_timeout = refusal_delay
    LoggingHandler.banner = "Tessel update server ready."
    if passive_ports:
        LoggingHandler.passive_ports = passive_ports
    if faults:
        # Faulty files are read chunk by chunk; sendfile would bypass them.
        LoggingHandler.abstracted_fs = make_filesystem(faults)
        LoggingHandler.use_sendfile = False
    return LoggingHandler


class SilentServer:
    """Accepts connections and holds them open without ever sending a byte."""

    def __init__(self, address, port, log):
        self._log = log
        self._address = address
        self._listener = socket.create_server((address, port), reuse_port=False)
        self._listener.settimeout(0.2)
        self._clients = []
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)

    def start(self):
        self._thread.start()

    def _run(self):
        while not self._stop.is_set():
            try:
                client, _ = self._listener.accept()
            except socket.timeout:
                self._reap()
                continue
            except OSError:
                break
            client.setblocking(False)
            self._clients.append(client)
            self._log.write(self._address, "CONNECT")
        for client in self._clients:
            client.close()

    def _reap(self):
        """Notes clients that hung up, so a test can see that nothing is left open."""
        for client in list(self._clients):
            try:
                if client.recv(4096) == b"":
                    raise ConnectionResetError
            except BlockingIOError:
                continue
            except OSError:
                pass
            client.close()
            self._clients.remove(client)
            self._log.write(self._address, "DISCONNECT")

    def stop(self):
        self._stop.set()
        self._thread.join()
        self._listener.close()


def parse_port_range(text):
    low, _, high = text.partition("-")
    return list(range(int(low), int(high or low) + 1))


def main(argv=None):
    parser = argparse.ArgumentParser(
        description="\n\n".join(__doc__.split("\n\n")[:2]), epilog=__doc__.split("\n\n")[2],
        formatter_class=argparse.RawDescriptionHelpFormatter)
    for role, default in (("primary", "127.0.0.1"), ("secondary", "127.0.0.2")):
        group = parser.add_mutually_exclusive_group()
        group.add_argument(f"--{role}", metavar="FOLDER",
                           help=f"serve FOLDER as the {role} server's root")
        group.add_argument(f"--silent-{role}", action="store_true",
                           help=f"the {role} server accepts connections and never answers")
        parser.add_argument(f"--{role}-address", default=default,
                            help=f"address of the {role} server (default {default})")
    parser.add_argument("--port", type=int, default=PORT, help=f"port (default {PORT})")
    parser.add_argument("--passive-ports", type=parse_port_range, metavar="LOW-HIGH",
                        help="ports for passive data connections (default: any free port)")
    parser.add_argument("--refusal-delay", type=float, default=1.0, metavar="SECONDS",
                        help="pause before answering a refused log-in (default 1)")
    parser.add_argument("--log", metavar="FILE", help="append one line per event to FILE")
    parser.add_argument("--faults", metavar="FILE",
                        help="JSON file of transfer faults by file name (see above)")
    parser.add_argument("--reply-delay", type=float, default=0.0, metavar="SECONDS",
                        help="wait this long before answering each command (a far server)")
    parser.add_argument("--ready-file", metavar="FILE",
                        help="create FILE once every server listens")
    args = parser.parse_args(argv)

    log = EventLog(args.log)
    ftp_servers, silent_servers = [], []
    try:
        for role in ("primary", "secondary"):
            address = getattr(args, f"{role}_address")
            root = getattr(args, role)
            if getattr(args, f"silent_{role}"):
                silent_servers.append(SilentServer(address, args.port, log))
            elif root:
                if not os.path.isdir(root):
                    parser.error(f"{role} folder {root!r} does not exist")
                handler = make_handler(os.path.abspath(root), role, log, args.refusal_delay,
                                       args.passive_ports,
                                       Faults(args.faults) if args.faults else None,
                                       args.reply_delay)
                server = FTPServer((address, args.port), handler)
                ftp_servers.append(server)
    except OSError as error:
        print(f"update-server: cannot listen: {error}", file=sys.stderr)
        return 1
    if not ftp_servers and not silent_servers:
        parser.error("give --primary, --secondary or a --silent-* server")

    def stop(signum, frame):
        raise SystemExit(0)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)

    for server in silent_servers:
        server.start()
    if args.ready_file:
        open(args.ready_file, "w").close()
    try:
        if ftp_servers:
            # Every FTPServer shares pyftpdlib's one I/O loop: serving one serves all.
            ftp_servers[0].serve_forever(handle_exit=False)
        else:
            signal.pause()
    except SystemExit:
        pass
    finally:
        for server in ftp_servers:
            server.close_all()
        for server in silent_servers:
            server.stop()
        log.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
