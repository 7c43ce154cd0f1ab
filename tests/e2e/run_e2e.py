#!/usr/bin/python3
"""run_e2e.py: one end-to-end case: the scripted server plays a scenario while
the Windows client runs under Wine with a launch line; the case passes when the
server's scenario passes and the client ends (or keeps running) as told.

Only the standard library. Each process is started by this script and ended by
its own id. Client output goes to files, never to our stdout: Wine's helper
processes inherit the client's descriptors, and a pipe held by them would keep
CTest waiting for ever.

The launch line may contain %PORT%, replaced by the port the server printed,
and %HOST%, replaced by the server's address: 127.0.0.1, or with a video relay
a loopback address of the case's own, so that two runs at once on one machine
do not both want 127.0.0.1 for the relay's fixed port.
"""
import argparse
import os
import random
import re
import select
import signal
import subprocess
import sys
import time

MESSAGEBOX_ENV = "MJ_TEST_AUTOCLOSE_MSGBOX"


class CaseFailed(Exception):
    pass


def log(msg):
    print(f"e2e: {msg}", flush=True)


def parse_args(argv):
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--server", required=True, help="scripted_server binary (native)")
    p.add_argument("--client", required=True, help="mjclient.exe")
    p.add_argument("--scenario", required=True)
    p.add_argument("--work", required=True, help="folder for logs of this case")
    p.add_argument("--wine", default="wine")
    p.add_argument("--wineprefix", help="used when WINEPREFIX is not set")
    p.add_argument("--timeout", type=float, default=60, help="bound of the whole case, seconds")
    p.add_argument("--launch", help="launch line; omit for an empty one")
    outcome = p.add_mutually_exclusive_group(required=True)
    outcome.add_argument("--client-exit", type=int, help="the client must end with this code")
    outcome.add_argument("--client-running", action="store_true",
                         help="the client must still run when the case ends (then it is killed)")
    p.add_argument("--alive-for", type=float, default=0,
                   help="with --client-running: seconds it must survive after the server finished")
    p.add_argument("--end-client-first", action="store_true",
                   help="with --client-running: kill the client before waiting for the server "
                        "(for scenarios that end by expecting the close)")
    p.add_argument("--client-stderr", action="append", default=[], metavar="REGEX",
                   help="a line of the client's stderr must match (repeatable)")
    p.add_argument("--second-launch", help="start a second instance once the server saw the login")
    p.add_argument("--second-exit", type=int, default=0)
    p.add_argument("--second-stderr", action="append", default=[], metavar="REGEX")
    p.add_argument("--screenshot", help="PNG of the screen taken while the client runs")
    p.add_argument("--screenshot-at", action="append", default=[], metavar="MARK=FILE",
                   help="a PNG of the screen when the server logs 'mark MARK' (repeatable)")
    p.add_argument("--window-at", action="append", default=[], metavar="MARK=TITLE",
                   help="when the server logs 'mark MARK', a window with this title must be shown; "
                        "with !TITLE it must not be (repeatable)")
    p.add_argument("--click", action="append", default=[], metavar="LINE@X,Y[,BUTTON]",
                   help="once the server has reached scenario line LINE, click the client's window at X,Y "
                        "(pixels of its client area) through the X server; in order")
    p.add_argument("--window-title", default="mjclient-e2e", help="the client window's title, for --click")
    p.add_argument("--shot", action="append", default=[], metavar="LINE@PATH",
                   help="once the server has reached scenario line LINE, a PNG of the screen")
    p.add_argument("--drag", action="append", default=[], metavar="LINE@X1,Y1,X2,Y2",
                   help="once the server has reached scenario line LINE, drag with the left button from X1,Y1 "
                        "to X2,Y2 (pixels of the client's window)")
    p.add_argument("--input", action="append", default=[], metavar="LINE@STEP|STEP...",
                   help="once the server has reached scenario line LINE, real input through the X server, "
                        "steps in order: type:TEXT, key:KEYNAME (X key names: Return, F1, Escape), "
                        "move:X,Y (the pointer to pixels of the client's window), click[:BUTTON]")
    p.add_argument("--relay", help="video_relay binary (native), started on port 8888 of a loopback address "
                                   "of its own before the server and the client")
    p.add_argument("--peer", help="video_peer binary (native), a table mate on the relay")
    p.add_argument("--peer-args", default="", help="the peer's arguments, separated by blanks")
    p.add_argument("--relay-restart", action="store_true",
                   help="once the peer has received the client's pictures, stop the relay, start it again "
                        "and a second peer with the same arguments, which must receive pictures as well")
    p.add_argument("--expect-files", metavar="DIR:COUNT:MAGIC",
                   help="after the case, DIR holds at least COUNT files starting with MAGIC (cleared first)")
    args = p.parse_args(argv)
    args.shots = []
    for item in args.screenshot_at:
        mark, sep, path = item.partition("=")
        if not sep or not mark or not path:
            p.error(f"--screenshot-at wants MARK=FILE, not {item!r}")
        args.shots.append((mark, path))
    args.window_checks = []
    for item in args.window_at:
        mark, sep, title = item.partition("=")
        if not sep or not mark or not title.lstrip("!"):
            p.error(f"--window-at wants MARK=TITLE or MARK=!TITLE, not {item!r}")
        args.window_checks.append((mark, title.lstrip("!"), not title.startswith("!")))
    return args


def has_locale(name):
    try:
        out = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout
    except OSError:
        return False
    want = name.lower().replace("utf-8", "utf8")
    return any(line.strip().lower().replace("utf-8", "utf8") == want for line in out.splitlines())


def wine_env(args):
    env = dict(os.environ)
    if "WINEPREFIX" not in env and args.wineprefix:
        env["WINEPREFIX"] = args.wineprefix
    env.setdefault("WINEARCH", "win64")
    env.setdefault("WINEDEBUG", "-all")
    env.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
    env[MESSAGEBOX_ENV] = "1"
    # The client is a program for Chinese Windows: this locale gives Wine code
    # page 936. Without the generated locale Wine would mangle a Chinese launch
    # line, so the environment's own locale is kept then.
    locale = os.environ.get("MJ_E2E_LC_ALL", "zh_CN.UTF-8")
    if has_locale(locale):
        env["LC_ALL"] = locale
    else:
        log(f"note: locale {locale} is not generated; the client keeps code page of {env.get('LANG', 'C')}")
    if not env.get("DISPLAY"):
        log("warning: no DISPLAY; source scripts/wine-env.sh or run under xvfb-run")
    return env


class Proc:
    """A child started by us, with its output in files under the work folder."""

    def __init__(self, name, cmd, work, env, stdout=None):
        self.name = name
        self.err_path = os.path.join(work, f"{name}.stderr")
        self.out_path = os.path.join(work, f"{name}.stdout")
        self._err = open(self.err_path, "wb")
        self._out = None if stdout is not None else open(self.out_path, "wb")
        log(f"start {name}: {' '.join(repr(c) if not c or ' ' in c else c for c in cmd)}")
        self.p = subprocess.Popen(cmd, stdin=subprocess.DEVNULL,
                                  stdout=stdout if stdout is not None else self._out,
                                  stderr=self._err, env=env)

    def running(self):
        return self.p.poll() is None

    def wait(self, deadline):
        remaining = max(0.0, deadline - time.monotonic())
        try:
            return self.p.wait(timeout=remaining)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        if self.p.poll() is None:
            self.p.send_signal(signal.SIGTERM)
            try:
                self.p.wait(timeout=3)
            except subprocess.TimeoutExpired:
                self.p.kill()
                self.p.wait()
        for f in (self._err, self._out):
            if f:
                f.close()

    def stderr_text(self):
        if not self._err.closed:
            self._err.flush()
        with open(self.err_path, "rb") as f:
            return f.read().decode("utf-8", errors="replace")


# The client may start its diagnostic lines with the time of day.
TIME_PREFIX = re.compile(r"^\d\d:\d\d:\d\d(?:\.\d+)? ", re.MULTILINE)


def check_lines(proc, patterns):
    text = TIME_PREFIX.sub("", proc.stderr_text())
    for pat in patterns:
        if not re.search(pat, text, re.MULTILINE):
            raise CaseFailed(f"{proc.name}: no stderr line matches {pat!r}")
        log(f"{proc.name}: stderr has {pat!r}")


def read_port(server, deadline):
    line = b""
    fd = server.p.stdout.fileno()
    while not line.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            raise CaseFailed("the server printed no port")
        chunk = os.read(fd, 1)
        if not chunk:
            raise CaseFailed("the server ended before printing its port: " + server.stderr_text())
        line += chunk
    m = re.fullmatch(rb"listening on (\d+)\n", line)
    if not m:
        raise CaseFailed(f"unexpected first server line {line!r}")
    return int(m.group(1))


VIDEO_PORT = 8888


def start_relay(relay, work, deadline, tries=20):
    """Starts the video relay on VIDEO_PORT of a loopback address nobody else
    holds and returns (proc, address). The client reaches the video server at
    its game server's address, so the game server must then listen there too."""
    rng = random.SystemRandom()
    failures = []
    for _ in range(tries):
        host = f"127.{rng.randint(1, 254)}.{rng.randint(0, 255)}.{rng.randint(1, 254)}"
        proc = Proc("relay", [relay, "--host", host, "--port", str(VIDEO_PORT)], work, None)
        while time.monotonic() < deadline and proc.running() and "listening on" not in proc.stderr_text():
            time.sleep(0.05)
        if proc.running() and "listening on" in proc.stderr_text():
            return proc, host
        proc.stop()
        failures.append(proc.stderr_text().strip())
        if time.monotonic() >= deadline:
            break
    raise CaseFailed("the video relay could not listen: " + " | ".join(failures[-3:]))


def wait_for_log(path, pattern, deadline, poll=None):
    while time.monotonic() < deadline:
        if poll:
            poll()
        try:
            with open(path, encoding="utf-8", errors="replace") as f:
                if re.search(pattern, f.read(), re.MULTILINE):
                    return
        except FileNotFoundError:
            pass
        time.sleep(0.1)
    raise CaseFailed(f"the server log never showed {pattern!r}")


def screenshot(path, env):
    tool = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "screenshot.sh")
    rc = subprocess.call([tool, path], env=env, stdin=subprocess.DEVNULL,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    log(f"screenshot {path}" if rc == 0 else f"warning: screenshot failed ({rc})")


def click_window(title, x, y, button, env):
    """A real mouse click on the client's window: X events that Wine turns
    into the window's mouse messages."""
    found = subprocess.run(["xdotool", "search", "--name", f"^{re.escape(title)}$"], env=env,
                           capture_output=True, text=True)
    ids = found.stdout.split()
    if not ids:
        raise CaseFailed(f"no window titled {title!r} to click")
    subprocess.check_call(["xdotool", "mousemove", "--window", ids[0], str(x), str(y)], env=env)
    time.sleep(0.3)
    subprocess.check_call(["xdotool", "click", str(button)], env=env)
    log(f"clicked {x},{y} (button {button})")


def drag_window(title, x1, y1, x2, y2, env):
    found = subprocess.run(["xdotool", "search", "--name", f"^{re.escape(title)}$"], env=env,
                           capture_output=True, text=True)
    ids = found.stdout.split()
    if not ids:
        raise CaseFailed(f"no window titled {title!r} to drag on")
    subprocess.check_call(["xdotool", "mousemove", "--window", ids[0], str(x1), str(y1)], env=env)
    time.sleep(0.3)
    subprocess.check_call(["xdotool", "mousedown", "1"], env=env)
    time.sleep(0.3)
    for k in range(1, 11):
        x = x1 + (x2 - x1) * k // 10
        y = y1 + (y2 - y1) * k // 10
        subprocess.check_call(["xdotool", "mousemove", "--window", ids[0], str(x), str(y)], env=env)
        time.sleep(0.05)
    subprocess.check_call(["xdotool", "mouseup", "1"], env=env)
    log(f"dragged {x1},{y1} to {x2},{y2}")


def input_window(title, steps, env):
    """Key presses, typed text and pointer moves as the X server's own input
    (XTEST), so Wine delivers them to the window that has the focus as the
    system's key and character messages. Each step is its own xdotool call:
    a chained `type` would swallow the steps after it."""
    found = subprocess.run(["xdotool", "search", "--name", f"^{re.escape(title)}$"], env=env,
                           capture_output=True, text=True)
    ids = found.stdout.split()
    if not ids:
        raise CaseFailed(f"no window titled {title!r} for input")
    for step in steps.split("|"):
        verb, _, arg = step.partition(":")
        if verb == "type":
            # A character outside the keyboard map is typed through a key
            # mapped for it on the fly; Wine needs a moment to see the new map
            # before the key is mapped back, longer on a busy machine (the last
            # character of a line was seen lost at 60 ms).
            delay = "200" if any(ord(ch) > 127 for ch in arg) else "20"
            cmd = ["xdotool", "type", "--delay", delay, "--", arg]
        elif verb == "key":
            cmd = ["xdotool", "key", "--", arg]
        elif verb == "move":
            x, y = (int(v) for v in arg.split(","))
            cmd = ["xdotool", "mousemove", "--window", ids[0], str(x), str(y)]
        elif verb == "click":
            cmd = ["xdotool", "click", arg or "1"]
        else:
            raise CaseFailed(f"unknown input step {step!r}")
        subprocess.check_call(cmd, env=env)
    log(f"input {steps!r}")


def run_actions(args, server_log, deadline, env, poll=None):
    """Clicks, drags, screenshots and input in the order of their scenario
    lines (clicks first, then drags, then shots, then input at the same line,
    each in the order given)."""
    actions = []
    for order, specs in enumerate((args.click, args.drag, args.shot, getattr(args, "input", []))):
        for n, spec in enumerate(specs):
            line, rest = spec.split("@", 1)
            actions.append((int(line), order, n, rest))
    for line, kind, _, rest in sorted(actions):
        wait_for_log(server_log, rf"-- line {line}:", deadline, poll)
        end = time.monotonic() + 1.0
        while time.monotonic() < end:
            if poll:
                poll()
            time.sleep(0.05)
        if kind == 0:
            coords = [int(v) for v in rest.split(",")]
            click_window(args.window_title, coords[0], coords[1], coords[2] if len(coords) > 2 else 1, env)
        elif kind == 1:
            x1, y1, x2, y2 = (int(v) for v in rest.split(","))
            drag_window(args.window_title, x1, y1, x2, y2, env)
        elif kind == 2:
            screenshot(rest, env)
        else:
            input_window(args.window_title, rest, env)


def expected_files(spec, clear):
    folder, count, magic = spec.split(":")
    if clear:
        if os.path.isdir(folder):
            for name in os.listdir(folder):
                os.remove(os.path.join(folder, name))
        return
    names = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
    good = []
    for name in names:
        with open(os.path.join(folder, name), "rb") as f:
            if f.read(len(magic)) == magic.encode():
                good.append(name)
    if len(good) < int(count):
        raise CaseFailed(f"{folder} holds {names}, expected {count} files starting with {magic!r}")
    log(f"{folder} holds {good}")


def client_cmd(args, line, port, host="127.0.0.1"):
    cmd = [args.wine, args.client]
    if line is not None:
        cmd.append(line.replace("%PORT%", str(port)).replace("%HOST%", host))
    return cmd


def window_shown(title, env):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(title)}$"], env=env,
                           capture_output=True, text=True)
    return bool(found.stdout.split())


class Screenshots:
    """Takes each asked-for screenshot, and checks each asked-for window, once
    its mark shows in the server log."""

    def __init__(self, server_log, shots, env, window_checks=()):
        self.server_log, self.pending, self.env = server_log, list(shots), env
        self.taken = []
        self.checks = list(window_checks)
        self.failures = []

    def poll(self):
        if not self.pending and not self.checks:
            return
        try:
            with open(self.server_log, encoding="utf-8", errors="replace") as f:
                text = f.read()
        except FileNotFoundError:
            return
        for mark, path in list(self.pending):
            if re.search(rf"\] mark {re.escape(mark)}$", text, re.MULTILINE):
                screenshot(path, self.env)
                self.pending.remove((mark, path))
                self.taken.append(path)
        for mark, title, want in list(self.checks):
            if re.search(rf"\] mark {re.escape(mark)}$", text, re.MULTILINE):
                self.checks.remove((mark, title, want))
                shown = window_shown(title, self.env)
                log(f"at {mark}: window {title} {'shown' if shown else 'not shown'}")
                if shown != want:
                    self.failures.append(f"at {mark} the window {title} is {'' if shown else 'not '}shown")

    def check(self):
        if self.failures:
            raise CaseFailed("; ".join(self.failures))
        if self.checks:
            raise CaseFailed("no window check at the marks " + ", ".join(m for m, _, _ in self.checks))
        if self.pending:
            raise CaseFailed("no screenshot at the marks " + ", ".join(m for m, _ in self.pending))
        unwritten = [path for path in self.taken if not os.path.isfile(path)]
        if unwritten:
            raise CaseFailed("the screenshots were not written: " + ", ".join(unwritten))


def run_case(args, procs):
    os.makedirs(args.work, exist_ok=True)
    for path, target in ((args.server, "scripted_server_host"), (args.client, "mjclient")):
        if not os.path.isfile(path):
            raise CaseFailed(f"{path} is missing: build the target {target} first")
    deadline = time.monotonic() + args.timeout
    env = wine_env(args)
    host = "127.0.0.1"
    relay = None
    if args.relay:
        relay, host = start_relay(args.relay, args.work, deadline)
        procs.append(relay)
    server_log = os.path.join(args.work, "server.log")
    server = Proc("server", [args.server, "--host", host, "--port", "0", "--log", server_log,
                             "--timeout", f"{int(args.timeout)}s", args.scenario],
                  args.work, None, stdout=subprocess.PIPE)
    procs.append(server)
    port = read_port(server, deadline)
    log(f"server listening on {host}:{port}; its log: {server_log}")

    peer = None
    if args.peer:
        peer = Proc("peer", [args.peer, "--host", host, "--port", str(VIDEO_PORT)] + args.peer_args.split(),
                    args.work, None)
        procs.append(peer)
    if args.expect_files:
        expected_files(args.expect_files, clear=True)

    client = Proc("client", client_cmd(args, args.launch, port, host), args.work, env)
    procs.append(client)

    if args.second_launch is not None:
        wait_for_log(server_log, r"C>S cmd 18 ", deadline)
        second = Proc("second", client_cmd(args, args.second_launch, port, host), args.work, env)
        procs.append(second)
        code = second.wait(deadline)
        if code is None:
            raise CaseFailed("the second instance did not end")
        if code != args.second_exit:
            raise CaseFailed(f"the second instance ended with {code}, expected {args.second_exit}")
        log(f"second instance ended with {code}")
        check_lines(second, args.second_stderr)

    shots = Screenshots(server_log, args.shots, env, args.window_checks)
    if args.click or args.drag or args.shot or args.input:
        run_actions(args, server_log, deadline, env, shots.poll)
    if peer is not None:
        code = peer.wait(deadline)
        if code != 0:
            raise CaseFailed(f"the video peer ended with {code}: {peer.stderr_text()[-400:]}")
        log("the video peer received the client's pictures")
    if args.relay_restart:
        if relay is None or peer is None:
            raise CaseFailed("--relay-restart wants --relay and --peer")
        relay.stop()
        log("relay stopped in the middle of the hand; started again")
        procs.append(Proc("relay2", [args.relay, "--host", host, "--port", str(VIDEO_PORT)], args.work, None))
        peer2 = Proc("peer2", [args.peer, "--host", host, "--port", str(VIDEO_PORT)] + args.peer_args.split(),
                      args.work, None)
        procs.append(peer2)
        code = peer2.wait(deadline)
        if code != 0:
            raise CaseFailed(f"the second video peer ended with {code}: {peer2.stderr_text()[-400:]}")
        log("the second video peer received the client's pictures through the new relay")
    if args.expect_files:
        expected_files(args.expect_files, clear=False)

    if args.client_running and args.end_client_first:
        if args.screenshot:
            screenshot(args.screenshot, env)
        if not client.running():
            raise CaseFailed(f"the client ended early with {client.p.returncode}")
        client.stop()
        log("client ended by the runner")

    while (args.shots or args.window_checks) and server.running() and time.monotonic() < deadline:
        shots.poll()
        time.sleep(0.1)
    shots.poll()
    code = server.wait(deadline)
    if code is None:
        raise CaseFailed("the server's scenario did not finish in time")
    shots.check()
    if code != 0:
        raise CaseFailed(f"the server's scenario failed (exit {code})")
    log("server scenario passed")

    if args.client_running and not args.end_client_first:
        end = time.monotonic() + args.alive_for
        while time.monotonic() < end and client.running():
            time.sleep(0.1)
        if args.screenshot and client.running():
            screenshot(args.screenshot, env)
        if not client.running():
            raise CaseFailed(f"the client ended with {client.p.returncode} while it should keep running")
        client.stop()
        log("client still running; ended by the runner")
    elif args.client_exit is not None:
        code = client.wait(deadline)
        if code is None:
            raise CaseFailed("the client did not end")
        if code != args.client_exit:
            raise CaseFailed(f"the client ended with {code}, expected {args.client_exit}")
        log(f"client ended with {code}")
    check_lines(client, args.client_stderr)


def dump(path, title):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
    except FileNotFoundError:
        return
    print(f"----- {title} ({path}) -----")
    print(text[-6000:], end="" if text.endswith("\n") else "\n")


def main(argv):
    sys.stdout.reconfigure(encoding="utf-8", errors="backslashreplace")
    args = parse_args(argv)
    procs = []
    ok = False
    try:
        run_case(args, procs)
        ok = True
    except CaseFailed as e:
        log(f"FAILED: {e}")
    finally:
        for p in reversed(procs):
            p.stop()
    if not ok:
        dump(os.path.join(args.work, "server.log"), "server log")
        for name in ("server", "client", "second", "relay", "peer", "relay2", "peer2"):
            dump(os.path.join(args.work, f"{name}.stderr"), f"{name} stderr")
    log("PASSED" if ok else "case failed")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
