#!/usr/bin/python3
"""video_pair.py: the table video between two real clients under Wine.

Two clients ("tester" and "north", opposite seats of one table) each play
against a scripted game server with the same four seat names, and both log in
to one video relay on port 8888 of a loopback address of the run's own, so
each sees the other at the top of the table. Every step waits for a line the client, the relay or the server logs,
never for a fixed time:

  1. each client shows the other's video over the avatar (screenshots of both);
  2. north opens the top seat's floating panel and closes it again;
  3. tester takes a photo of north (a whole BMP picture), opens the panel,
     enlarges it (screenshot), shrinks it, drags it and closes it;
  4. north turns video off with the settings dialog's switch: it logs out of
     the relay and its pictures go (screenshot);
  5. tester leaves the table through the exit dialog: it logs out of the
     relay, the leave message reaches its server, and with no hall to go
     back to (a blank hall title) it ends with 0.

The two clients run in two Wine prefixes (one wineserver each), since a
client refuses to start next to another instance of itself. The second
prefix shares the first one's drive_c. Each client runs from its own folder,
so its photos and its video setting are its own.
"""
import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import run_e2e  # noqa: E402
from run_e2e import CaseFailed, Proc, log  # noqa: E402

LAUNCH = "{name}$secret${host}$%PORT%$E2E$0$$0$$$1$${title}$0$0$"

# Pixels of a client's window (the table lies 8, 20 inside the frame). Both
# windows open at the top left of the screen; the one acted on is raised first.
TOP_PHOTO = (557, 115)  # the top seat's photo button
TOP_PANEL = (525, 115)  # the top seat's panel button
SETTINGS_BUTTON = (826, 734)  # toolbar: settings
EXIT_BUTTON = (896, 766)  # toolbar: exit
# Inside the pop-ups, pixels of their own windows.
PANEL_SIZE = (234, 8)  # the normal panel's size button
PANEL_CLOSE = (258, 8)  # the normal panel's close button
PANEL_CAPTION = (100, 8)
BIG_PANEL_SIZE = (359, 15)  # the big panel's size button
SETTINGS_BUTTON = (826, 734)  # toolbar: settings
EXIT_BUTTON = (896, 766)  # toolbar: exit
VIDEO_SWITCH = (159, 274)  # the settings dialog's fifth switch, the video
EXIT_LEAVE = (80, 127)  # the exit dialog's leave button
SETTINGS_TITLE = "音效设置"
EXIT_TITLE = "退出"


def parse_args(argv):
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("--server", required=True)
    p.add_argument("--client", required=True)
    p.add_argument("--relay", required=True)
    p.add_argument("--scenario-a", required=True)
    p.add_argument("--scenario-b", required=True)
    p.add_argument("--work", required=True)
    p.add_argument("--wine", default="wine")
    p.add_argument("--wineprefix", help="used when WINEPREFIX is not set")
    p.add_argument("--timeout", type=float, default=110)
    return p.parse_args(argv)


class Client:
    def __init__(self, key, name, folder, prefix):
        self.key, self.name, self.folder, self.prefix = key, name, folder, prefix
        self.title = f"mjclient-{key}"
        self.proc = None
        self.server = None
        self.server_log = None

    def env(self, base):
        e = dict(base)
        e["WINEPREFIX"] = self.prefix
        return e


def second_prefix(first, second):
    """A prefix of its own registry, sharing the first prefix's drive_c."""
    if os.path.isfile(os.path.join(second, "system.reg")):
        return
    if not os.path.isfile(os.path.join(first, "system.reg")):
        raise CaseFailed(f"{first} is not a Wine prefix: source scripts/wine-env.sh first")
    os.makedirs(second, exist_ok=True)
    for name in ("system.reg", "user.reg", "userdef.reg", ".update-timestamp"):
        src = os.path.join(first, name)
        if os.path.exists(src):
            shutil.copy2(src, os.path.join(second, name))
    shutil.copytree(os.path.join(first, "dosdevices"), os.path.join(second, "dosdevices"), symlinks=True)
    os.symlink(os.path.abspath(os.path.join(first, "drive_c")), os.path.join(second, "drive_c"))
    log(f"made the second prefix {second}")


def read_text(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            return run_e2e.TIME_PREFIX.sub("", f.read())
    except FileNotFoundError:
        return ""


def wait_line(path, pattern, deadline, what, procs=()):
    while time.monotonic() < deadline:
        m = re.search(pattern, read_text(path), re.MULTILINE)
        if m:
            log(f"{what}: {m.group(0)!r}")
            return m
        for p in procs:
            if not p.running():
                raise CaseFailed(f"{p.name} ended with {p.p.returncode} while waiting for {pattern!r}")
        time.sleep(0.1)
    raise CaseFailed(f"{what}: no line matches {pattern!r}")


def window_id(title, env):
    found = subprocess.run(["xdotool", "search", "--name", f"^{re.escape(title)}$"], env=env,
                           capture_output=True, text=True)
    ids = found.stdout.split()
    return ids[0] if ids else None


def wait_window(title, env, deadline):
    while time.monotonic() < deadline:
        wid = window_id(title, env)
        if wid:
            return wid
        time.sleep(0.1)
    raise CaseFailed(f"no window titled {title!r}")


def window_geometry(wid, env):
    """Screen position, size and whether it shows, of one X window."""
    info = subprocess.run(["xwininfo", "-id", wid], env=env, capture_output=True, text=True).stdout
    vals = {}
    for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
        m = re.search(rf"^\s*{key}:\s*(-?\d+)", info, re.MULTILINE)
        vals[key] = int(m.group(1)) if m else None
    return (vals["Absolute upper-left X"], vals["Absolute upper-left Y"], vals["Width"], vals["Height"],
            "IsViewable" in info)


def window_at(x, y, env, deadline):
    """The shown top-level window whose upper left corner is at x, y: a
    floating panel, whose window has no title."""
    while time.monotonic() < deadline:
        tree = subprocess.run(["xwininfo", "-root", "-children"], env=env, capture_output=True, text=True).stdout
        for line in tree.splitlines():
            m = re.match(r"\s*(0x[0-9a-f]+) .*\s(\d+)x(\d+)\+(-?\d+)\+(-?\d+)\s", line)
            if not m or abs(int(m.group(4)) - x) > 1 or abs(int(m.group(5)) - y) > 1:
                continue
            if window_geometry(m.group(1), env)[4]:
                return m.group(1)
        time.sleep(0.1)
    raise CaseFailed(f"no window shows at {x},{y}")


def raise_window(title, env):
    wid = window_id(title, env)
    if not wid:
        raise CaseFailed(f"no window titled {title!r} to raise")
    subprocess.check_call(["xdotool", "windowraise", wid], env=env)


def click(client, xy, env):
    """A click on the client's table: its window raised over the other one."""
    raise_window(client.title, env)
    run_e2e.click_window(client.title, xy[0], xy[1], 1, env)


def click_in(wid, xy, env):
    """A click inside a pop-up window, raised first."""
    subprocess.check_call(["xdotool", "windowraise", wid], env=env)
    subprocess.check_call(["xdotool", "mousemove", "--window", wid, str(xy[0]), str(xy[1])], env=env)
    time.sleep(0.3)
    subprocess.check_call(["xdotool", "click", "1"], env=env)
    log(f"clicked {xy[0]},{xy[1]} of window {wid}")


def click_popup(title, xy, env, deadline):
    click_in(wait_window(title, env, deadline), xy, env)


def opened_panel(err_path, view, env, deadline, procs):
    """The X window of a panel that has just opened, found where the client
    logged that it put it (twips)."""
    m = wait_line(err_path, rf"^video panel {view} opened at (-?\d+),(-?\d+)", deadline, "panel", procs)
    return window_at(round(int(m.group(1)) / 15), round(int(m.group(2)) / 15), env, deadline)


def shot(path, title, env, popup=None):
    """The screen with the client's window (and a pop-up of it) on top."""
    raise_window(title, env)
    if popup:
        subprocess.check_call(["xdotool", "windowraise", popup], env=env)
    # The raised windows paint what the other client's window covered.
    time.sleep(0.5)
    tool = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "screenshot.sh")
    if subprocess.call([tool, path], env=env, stdin=subprocess.DEVNULL) != 0 or not os.path.isfile(path):
        raise CaseFailed(f"no screenshot {path}")
    log(f"screenshot {path}")


def check_bmp(path):
    """A whole BMP picture: the header's file size is the file's, and the
    pixels the header promises are there."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 54 or data[:2] != b"BM":
        raise CaseFailed(f"{path} is not a BMP picture")
    size, = struct.unpack_from("<I", data, 2)
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    bits, = struct.unpack_from("<H", data, 28)
    row = (width * bits + 31) // 32 * 4
    if size != len(data) or width <= 0 or height == 0 or offset + row * abs(height) > len(data):
        raise CaseFailed(f"{path}: a broken BMP ({len(data)} bytes, header {size}, {width}x{height}x{bits})")
    log(f"{path}: a BMP of {width}x{abs(height)}, {bits} bits, {len(data)} bytes")


def run_case(args, procs, prefixes):
    for path in (args.server, args.client, args.relay):
        if not os.path.isfile(path):
            raise CaseFailed(f"{path} is missing: build it first")
    os.makedirs(args.work, exist_ok=True)
    deadline = time.monotonic() + args.timeout
    base = run_e2e.wine_env(argparse.Namespace(wineprefix=args.wineprefix))
    first = base["WINEPREFIX"]
    second = first.rstrip("/") + "-b"
    second_prefix(first, second)
    a = Client("a", "tester", os.path.join(args.work, "a"), first)
    b = Client("b", "north", os.path.join(args.work, "b"), second)
    shots = os.path.join(args.work, "shots")
    for folder in (a.folder, b.folder, shots):
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)

    # Both clients reach the relay at their game server's address: the relay
    # and both servers share one loopback address of this run's own.
    relay, host = run_e2e.start_relay(args.relay, args.work, deadline)
    procs.append(relay)
    for c, scenario in ((a, args.scenario_a), (b, args.scenario_b)):
        c.server_log = os.path.join(args.work, f"server_{c.key}.log")
        c.server = Proc(f"server_{c.key}", [args.server, "--host", host, "--port", "0", "--log", c.server_log,
                                            "--timeout", f"{int(args.timeout)}s", scenario],
                        args.work, None, stdout=subprocess.PIPE)
        procs.append(c.server)
        c.port = run_e2e.read_port(c.server, deadline)

    for c in (a, b):
        exe = os.path.join(c.folder, "mjclient.exe")
        shutil.copy2(args.client, exe)
        line = LAUNCH.format(name=c.name, title=c.title, host=host).replace("%PORT%", str(c.port))
        c.proc = Proc(f"client_{c.key}", [args.wine, exe, line], args.work, c.env(base))
        procs.append(c.proc)
        prefixes.append((c.prefix, c.env(base)))
    errs = {c.key: c.proc.err_path for c in (a, b)}
    alive = [a.proc, b.proc]

    # 1. Each seat's video over its avatar, on both tables.
    for c in (a, b):
        wait_line(errs[c.key], r"^video: own login state 2", deadline, c.name, alive)
    for c in (a, b):
        wait_line(errs[c.key], r"^video: view 2 shown", deadline, c.name, alive)
    env = a.env(base)
    shot(os.path.join(shots, "tester_sees_north.png"), a.title, env)
    shot(os.path.join(shots, "north_sees_tester.png"), b.title, env)

    # 2. North's panel of tester: open, screenshot, close.
    click(b, TOP_PANEL, env)
    panel = opened_panel(errs["b"], 2, env, deadline, alive)
    shot(os.path.join(shots, "north_panel.png"), b.title, env, panel)
    click_in(panel, PANEL_CLOSE, env)
    wait_line(errs["b"], r"^video panel 2 closed", deadline, b.name, alive)

    # 3. Tester's photo of north and tester's panel of north.
    click(a, TOP_PHOTO, env)
    m = wait_line(errs["a"], r"^photo: saved (.+?)\r?$", deadline, a.name, alive)
    photos = os.path.join(a.folder, "photo")
    names = os.listdir(photos) if os.path.isdir(photos) else []
    if len(names) != 1:
        raise CaseFailed(f"{photos} holds {names}, expected the one photo {m.group(1)!r}")
    check_bmp(os.path.join(photos, names[0]))
    click(a, TOP_PANEL, env)
    panel = opened_panel(errs["a"], 2, env, deadline, alive)
    normal = window_geometry(panel, env)
    click_in(panel, PANEL_SIZE, env)
    wait_line(errs["a"], r"^video panel 2 big", deadline, a.name, alive)
    big = window_geometry(panel, env)
    if not (big[2] > normal[2] and big[3] > normal[3]):
        raise CaseFailed(f"the enlarged panel is {big[2]}x{big[3]}, the normal one {normal[2]}x{normal[3]}")
    shot(os.path.join(shots, "tester_panel_big.png"), a.title, env, panel)
    click_in(panel, BIG_PANEL_SIZE, env)
    wait_line(errs["a"], r"^video panel 2 normal", deadline, a.name, alive)
    before = window_geometry(panel, env)
    if before[2:4] != normal[2:4]:
        raise CaseFailed(f"the shrunk panel is {before[2]}x{before[3]}, not {normal[2]}x{normal[3]}")
    main = window_geometry(window_id(a.title, env), env)
    subprocess.check_call(["xdotool", "windowraise", panel], env=env)
    x1, y1 = before[0] + PANEL_CAPTION[0] - main[0], before[1] + PANEL_CAPTION[1] - main[1]
    run_e2e.drag_window(a.title, x1, y1, x1 - 200, y1 + 200, env)
    after = window_geometry(panel, env)
    if (after[0] - before[0], after[1] - before[1]) != (-200, 200):
        raise CaseFailed(f"the dragged panel went from {before[:2]} to {after[:2]}, not 200 left and down")
    log(f"the panel moved from {before[:2]} to {after[:2]}")
    shot(os.path.join(shots, "tester_panel_moved.png"), a.title, env, panel)
    click_in(panel, PANEL_CLOSE, env)
    wait_line(errs["a"], r"^video panel 2 closed", deadline, a.name, alive)
    if window_geometry(panel, env)[4]:
        raise CaseFailed("the closed panel still shows")

    # 4. North's video switch in the settings dialog.
    click(b, SETTINGS_BUTTON, env)
    click_popup(SETTINGS_TITLE, VIDEO_SWITCH, env, deadline)
    wait_line(errs["b"], r"^video switch: off", deadline, b.name, alive)
    north_conn = wait_line(relay.err_path, r"^video_relay: connection (\d+) logged in as north", deadline, "relay")
    wait_line(relay.err_path, rf"^video_relay: connection {north_conn.group(1)} logged out", deadline, "relay")
    click(b, SETTINGS_BUTTON, env)  # the dialog goes, the table shows whole
    shot(os.path.join(shots, "north_video_off.png"), b.title, env)

    # 5. Tester leaves the table.
    click(a, EXIT_BUTTON, env)
    click_popup(EXIT_TITLE, EXIT_LEAVE, env, deadline)
    tester_conn = wait_line(relay.err_path, r"^video_relay: connection (\d+) logged in as tester", deadline, "relay")
    wait_line(relay.err_path, rf"^video_relay: connection {tester_conn.group(1)} logged out", deadline, "relay")
    code = a.server.wait(deadline)
    if code != 0:
        raise CaseFailed(f"tester's scenario failed ({code})")
    log("tester's server saw the leave")
    # A blank hall title: no hall to give the player back to, so the client ends.
    code = a.proc.wait(deadline)
    if code != 0:
        raise CaseFailed(f"tester's client ended with {code} after leaving")
    wait_line(errs["a"], r"^hall window gone; ending", deadline, a.name)

    if not b.proc.running():
        raise CaseFailed(f"north's client ended with {b.proc.p.returncode}")
    b.proc.stop()
    code = b.server.wait(deadline)
    if code != 0:
        raise CaseFailed(f"north's scenario failed ({code})")
    log("north's server passed")


def main(argv):
    sys.stdout.reconfigure(encoding="utf-8", errors="backslashreplace")
    args = parse_args(argv)
    procs, prefixes = [], []
    ok = False
    try:
        run_case(args, procs, prefixes)
        ok = True
    except CaseFailed as e:
        log(f"FAILED: {e}")
    finally:
        for p in reversed(procs):
            p.stop()
        # The second prefix's wineserver was started by our client; end it.
        for prefix, env in prefixes[1:]:
            subprocess.call(["wineserver", "-k"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if not ok:
        for name in ("server_a.log", "server_b.log"):
            run_e2e.dump(os.path.join(args.work, name), name)
        for name in ("server_a", "server_b", "client_a", "client_b", "relay"):
            run_e2e.dump(os.path.join(args.work, f"{name}.stderr"), f"{name} stderr")
    log("PASSED" if ok else "case failed")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
