#!/usr/bin/python3
"""measure_hand.py: the client's CPU time over the main job's whole hand.

Plays tools/demo/hand.scn through tests/e2e/hall_e2e.py (scripted server,
stand-in hall, client under Wine), with the scenario extended by 30 s at the
table after the reveal. It watches the server log's marks and reads the
client's /proc/<pid>/stat (utime+stime) at each: the hand is "hand-start" to
"reveal", idle is "idle-start" to "idle-end". The client is the Wine process
of this WINEPREFIX whose command line names mjclient.exe. Prints one line of
figures; MJ_FULL_REPAINT=1 in the environment measures full repaints.
Run with the Wine environment sourced (see measure.sh)."""
import argparse
import os
import re
import subprocess
import sys
import time

TICK = os.sysconf("SC_CLK_TCK")
PAGE = os.sysconf("SC_PAGE_SIZE")
MARKS = ("hand-start", "reveal", "idle-start", "idle-end")


def client_pid(prefix):
    for d in os.listdir("/proc"):
        if not d.isdigit():
            continue
        try:
            with open(f"/proc/{d}/cmdline", "rb") as f:
                argv = f.read().split(b"\0")
            if not argv or not any(a.endswith(b"mjclient.exe") for a in argv[:3]):
                continue
            with open(f"/proc/{d}/environ", "rb") as f:
                env = f.read().split(b"\0")
            if b"WINEPREFIX=" + prefix.encode() in env:
                return int(d)
        except OSError:
            continue
    return None


def stat_fields(path):
    with open(path) as f:
        text = f.read()
    return text[text.rindex(")") + 2:].split()  # fields from state (3rd) on


def cpu(pid):
    """Process CPU seconds, the busiest thread's CPU seconds and RSS in MiB."""
    f = stat_fields(f"/proc/{pid}/stat")
    total = (int(f[11]) + int(f[12])) / TICK
    busiest = 0.0
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            t = stat_fields(f"/proc/{pid}/task/{tid}/stat")
            busiest = max(busiest, (int(t[11]) + int(t[12])) / TICK)
        except OSError:
            pass
    rss = int(f[21]) * PAGE / 2**20
    return total, busiest, rss


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--build", required=True)
    p.add_argument("--work", required=True)
    p.add_argument("--idle", type=int, default=30)
    args = p.parse_args()
    root = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
    os.makedirs(args.work, exist_ok=True)
    for name in os.listdir(args.work):
        os.remove(os.path.join(args.work, name))
    scn = os.path.join(args.work, "hand-idle.scn")
    with open(os.path.join(root, "tools/demo/hand.scn"), encoding="utf-8") as f:
        text = f.read()
    # Idle at the table after the reveal, while the server still holds the line.
    text = text.replace("mark reveal\n", f"mark reveal\nwait 2s\nmark idle-start\nwait {args.idle}s\nmark idle-end\n", 1)
    with open(scn, "w", encoding="utf-8") as f:
        f.write(text)
    launch = "p0$pw$127.0.0.1$%PORT%$演示房间$0$$0$$$0$$$0$0$"
    b = args.build
    runner = subprocess.Popen(
        [sys.executable, os.path.join(root, "tests/e2e/hall_e2e.py"), "--server",
         f"{b}/host-tools/scripted_server/scripted_server", "--hall", f"{b}/bin/stand_in_hall.exe", "--client",
         f"{b}/bin/mjclient.exe", "--scenario", scn, "--hall-script", os.path.join(root, "tools/demo/demo.hall"),
         "--launch", launch, "--work", args.work, "--keep-going", "--timeout", "300"],
        stdout=open(os.path.join(args.work, "run.log"), "w"), stderr=subprocess.STDOUT)
    server_log = os.path.join(args.work, "server.log")
    prefix = os.environ["WINEPREFIX"]
    pid, seen, peak = None, {}, 0.0
    while runner.poll() is None and len(seen) < len(MARKS):
        time.sleep(0.05)
        if pid is None:
            pid = client_pid(prefix)
            continue
        try:
            now = cpu(pid)
            peak = max(peak, now[2])
            with open(server_log, encoding="utf-8", errors="replace") as f:
                log = f.read()
        except OSError:
            continue
        for m in MARKS:
            if m not in seen and re.search(rf"\] mark {m}$", log, re.MULTILINE):
                seen[m] = (time.monotonic(), now)
    rc = runner.wait()
    if len(seen) < len(MARKS):
        print(f"measure_hand: marks seen {sorted(seen)}; runner exit {rc}; see {args.work}", file=sys.stderr)
        return 1
    (t0, h0), (t1, h1) = seen["hand-start"], seen["reveal"]
    (t2, i0), (t3, i1) = seen["idle-start"], seen["idle-end"]
    mode = "full" if os.environ.get("MJ_FULL_REPAINT") == "1" else "partial"
    print(f"{mode}: hand {h1[0] - h0[0]:.2f} s CPU over {t1 - t0:.1f} s (busiest thread {h1[1] - h0[1]:.2f} s);"
          f" whole run to reveal {h1[0]:.2f} s; idle {100 * (i1[0] - i0[0]) / (t3 - t2):.2f} % of a core over"
          f" {t3 - t2:.0f} s; RSS {i1[2]:.1f} MiB (peak seen {peak:.1f} MiB); runner exit {rc}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
