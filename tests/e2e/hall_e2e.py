#!/usr/bin/python3
"""hall_e2e.py: one end-to-end case with the stand-in hall: the scripted server
plays a scenario, the stand-in hall (under Wine) launches the client and plays
its own script of hall messages, and optionally a SOCKS5 proxy stands between
client and server: microsocks, or a small proxy of our own that splits its
replies over several segments or offers no acceptable method.

The case passes when the hall's script ends with the expected code, the
server's scenario passes (when there is one) and the required lines appear in
the hall's log and in the client's stderr (the client inherits the hall's).
Every process is started here and ended by its own id. %PORT% and %PROXY% in
the launch line become the server's and the proxy's ports; %CLOSED% a port
nobody listens on.

While the case runs, a line "mark NAME" in the server's log takes the
screenshot asked for with --screenshot-at NAME=FILE. When the server has
ended, the runner creates the hall's release file, so a hall script can hold
the client with `wait-release` until the scenario is done and then check it.
"""
import argparse
import os
import re
import socket
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run_e2e  # noqa: E402  (the Wine environment and process helpers)

log = run_e2e.log
CaseFailed = run_e2e.CaseFailed


def parse_args(argv):
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--server", required=True)
    p.add_argument("--hall", required=True, help="stand_in_hall.exe")
    p.add_argument("--client", required=True, help="mjclient.exe")
    p.add_argument("--scenario", help="server scenario; omit for no server")
    p.add_argument("--hall-script", required=True)
    p.add_argument("--launch", required=True)
    p.add_argument("--work", required=True)
    p.add_argument("--wine", default="wine")
    p.add_argument("--wineprefix")
    p.add_argument("--timeout", type=float, default=90)
    p.add_argument("--proxy", choices=["none", "microsocks", "split", "nomethod"], default="none")
    p.add_argument("--proxy-user", default="gamer")
    p.add_argument("--proxy-pass", default="s3cret")
    p.add_argument("--hall-log", action="append", default=[], metavar="REGEX")
    p.add_argument("--client-stderr", action="append", default=[], metavar="REGEX")
    p.add_argument("--client-stderr-absent", action="append", default=[], metavar="REGEX",
                   help="no line of the client's stderr may match (repeatable)")
    p.add_argument("--hall-exit", type=int, default=0, help="the hall's expected exit code")
    p.add_argument("--screenshot-at", action="append", default=[], metavar="MARK=FILE",
                   help="a PNG of the screen when the server logs 'mark MARK' (repeatable)")
    p.add_argument("--click", action="append", default=[], metavar="LINE@X,Y[,BUTTON]",
                   help="as run_e2e.py: a click on the client's window once the server reached line LINE")
    p.add_argument("--shot", action="append", default=[], metavar="LINE@PATH",
                   help="as run_e2e.py: a PNG of the screen once the server reached line LINE")
    p.add_argument("--input", action="append", default=[], metavar="LINE@STEP|STEP...",
                   help="as run_e2e.py: keys, text and pointer moves once the server reached line LINE")
    p.add_argument("--window-title", default="mjclient-e2e", help="the client window's title, for the input")
    p.add_argument("--keep-going", action="store_true",
                   help="the server plays on past a failed step (the case still fails)")
    args = p.parse_args(argv)
    shots = []
    for item in args.screenshot_at:
        mark, sep, path = item.partition("=")
        if not sep or not mark or not path:
            p.error(f"--screenshot-at wants MARK=FILE, not {item!r}")
        shots.append((mark, path))
    args.shots = shots
    args.drag = []
    return args


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class OwnProxy:
    """A SOCKS5 proxy on loopback that sends every reply in pieces (or offers
    no acceptable method), then relays the connection."""

    def __init__(self, mode, user, password):
        self.mode, self.user, self.password = mode, user.encode(), password.encode()
        self.listener = socket.socket()
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(4)
        self.port = self.listener.getsockname()[1]
        self.stopped = False
        threading.Thread(target=self._serve, daemon=True).start()

    @staticmethod
    def _recv(c, n):
        data = b""
        while len(data) < n:
            chunk = c.recv(n - len(data))
            if not chunk:
                raise EOFError
            data += chunk
        return data

    @staticmethod
    def _pieces(c, data, cuts):
        last = 0
        for cut in list(cuts) + [len(data)]:
            c.sendall(data[last:cut])
            last = cut
            time.sleep(0.15)

    def _serve(self):
        while not self.stopped:
            try:
                c, _ = self.listener.accept()
            except OSError:
                return
            threading.Thread(target=self._session, args=(c,), daemon=True).start()

    def _session(self, c):
        c.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        try:
            ver, n = self._recv(c, 2)
            methods = self._recv(c, n)
            if self.mode == "nomethod" or 2 not in methods:
                c.sendall(b"\x05\xff")
                time.sleep(1)
                return
            self._pieces(c, b"\x05\x02", [1])
            _, ulen = self._recv(c, 2)
            user = self._recv(c, ulen)
            plen = self._recv(c, 1)[0]
            password = self._recv(c, plen)
            ok = user == self.user and password == self.password
            self._pieces(c, b"\x01\x00" if ok else b"\x01\x01", [1])
            if not ok:
                return
            head = self._recv(c, 4)
            if head[3] == 1:
                host = socket.inet_ntoa(self._recv(c, 4))
            else:
                host = self._recv(c, self._recv(c, 1)[0]).decode()
            port = int.from_bytes(self._recv(c, 2), "big")
            try:
                up = socket.create_connection((host, port), timeout=5)
            except OSError:
                self._pieces(c, b"\x05\x05\x00\x01\x00\x00\x00\x00\x00\x00", [1, 4])
                return
            bound = up.getsockname()
            reply = b"\x05\x00\x00\x01" + socket.inet_aton(bound[0]) + bound[1].to_bytes(2, "big")
            self._pieces(c, reply, [1, 3, 7])
            up.settimeout(None)
            threading.Thread(target=self._relay, args=(up, c), daemon=True).start()
            self._relay(c, up)
        except (EOFError, OSError):
            pass
        finally:
            c.close()

    @staticmethod
    def _relay(a, b):
        try:
            while True:
                data = a.recv(4096)
                if not data:
                    break
                b.sendall(data)
        except OSError:
            pass
        finally:
            for s in (a, b):
                try:
                    s.shutdown(socket.SHUT_RDWR)
                except OSError:
                    pass

    def stop(self):
        self.stopped = True
        self.listener.close()


# Each asked-for screenshot once its mark shows in the server log.
Screenshots = run_e2e.Screenshots


def check(path, name, patterns):
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    for pat in patterns:
        if not re.search(pat, text, re.MULTILINE):
            raise CaseFailed(f"{name}: no line matches {pat!r}")
        log(f"{name} has {pat!r}")


def check_absent(path, name, patterns):
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    for pat in patterns:
        m = re.search(pat, text, re.MULTILINE)
        if m:
            line = text[text.rfind("\n", 0, m.start()) + 1:].split("\n", 1)[0]
            raise CaseFailed(f"{name}: a line matches {pat!r}: {line}")
        log(f"{name} has no {pat!r}")


def abort_path(args):
    return os.path.join(args.work, "abort")


def end_hall(args, procs):
    """Asks a hall still running to end its client and itself: only the hall
    can reach the client, and a client left behind would refuse the next
    case's client as a second instance."""
    for p in procs:
        if getattr(p, "is_hall", False) and p.running():
            open(abort_path(args), "w").close()
            if p.wait(time.monotonic() + 10) is None:
                log("warning: the hall did not end on the abort file")


def run_case(args, procs, extras):
    os.makedirs(args.work, exist_ok=True)
    deadline = time.monotonic() + args.timeout
    env = run_e2e.wine_env(args)
    port = free_port()
    server = None
    if args.scenario:
        server_log = os.path.join(args.work, "server.log")
        server = run_e2e.Proc("server", [args.server, "--port", "0", "--log", server_log,
                                         "--timeout", f"{int(args.timeout)}s"]
                              + (["--keep-going"] if args.keep_going else []) + [args.scenario],
                              args.work, None, stdout=subprocess.PIPE)
        procs.append(server)
        port = run_e2e.read_port(server, deadline)
    proxy_port = 0
    if args.proxy == "microsocks":
        proxy_port = free_port()
        procs.append(run_e2e.Proc("proxy", ["microsocks", "-i", "127.0.0.1", "-p", str(proxy_port),
                                            "-u", args.proxy_user, "-P", args.proxy_pass], args.work, None))
        time.sleep(0.3)
    elif args.proxy in ("split", "nomethod"):
        own = OwnProxy(args.proxy, args.proxy_user, args.proxy_pass)
        extras.append(own)
        proxy_port = own.port
    line = (args.launch.replace("%PORT%", str(port)).replace("%PROXY%", str(proxy_port))
            .replace("%CLOSED%", str(free_port())))
    hall_log = os.path.join(args.work, "hall.log")
    release = os.path.join(args.work, "release")
    for path in (release, abort_path(args)):
        if os.path.exists(path):
            os.remove(path)
    hall = run_e2e.Proc("hall", [args.wine, args.hall, "--client", args.client, "--launch", line,
                                 "--log", hall_log, "--script", args.hall_script, "--release", release,
                                 "--abort", abort_path(args)],
                        args.work, env)
    hall.is_hall = True
    procs.append(hall)
    shots = Screenshots(os.path.join(args.work, "server.log"), args.shots, env)
    server_code = None
    if args.click or args.shot or args.input:
        if not server:
            raise CaseFailed("input at scenario lines needs a scenario")

        def poll():
            shots.poll()
            if not hall.running():
                raise CaseFailed(f"the hall ended with {hall.p.returncode} before the input was done")
        run_e2e.run_actions(args, os.path.join(args.work, "server.log"), deadline, env, poll)
    while hall.running() and time.monotonic() < deadline:
        shots.poll()
        if server and server_code is None and not server.running():
            server_code = server.p.returncode
            log(f"server ended with {server_code}; releasing the hall")
            open(release, "w").close()
        time.sleep(0.1)
    code = hall.wait(deadline)
    if code is None:
        raise CaseFailed("the hall's script did not finish in time")
    if code != args.hall_exit:
        raise CaseFailed(f"the hall's script ended with {code}, expected {args.hall_exit}")
    log(f"hall script ended with {code}")
    if server:
        code = server.wait(deadline)
        if code != 0:
            raise CaseFailed(f"the server's scenario failed (exit {code})")
        log("server scenario passed")
    if shots.pending:
        raise CaseFailed("no screenshot at the marks " + ", ".join(m for m, _ in shots.pending))
    unwritten = [path for path in shots.taken if not os.path.isfile(path)]
    if unwritten:
        raise CaseFailed("the screenshots were not written: " + ", ".join(unwritten))
    check(hall_log, "hall log", args.hall_log)
    check(hall.err_path, "client stderr", args.client_stderr)
    check_absent(hall.err_path, "client stderr", args.client_stderr_absent)


def main(argv):
    sys.stdout.reconfigure(encoding="utf-8", errors="backslashreplace")
    args = parse_args(argv)
    procs, extras = [], []
    ok = False
    try:
        run_case(args, procs, extras)
        ok = True
    except CaseFailed as e:
        log(f"FAILED: {e}")
    finally:
        end_hall(args, procs)
        for p in reversed(procs):
            p.stop()
        for e in extras:
            e.stop()
    if not ok:
        for name in ("hall.log", "server.log", "hall.stderr", "server.stderr", "proxy.stdout"):
            run_e2e.dump(os.path.join(args.work, name), name)
    log("PASSED" if ok else "case failed")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
