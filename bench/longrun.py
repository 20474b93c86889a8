"""Long-run soundness of Velodusk.exe under Wine (scripts/bench-longrun.sh).

Idle: Velodusk (in the tray, no trace) without and with Logo.gif beside it,
optionally an earlier build (--idle-exe) with the logo too, and TrayBaseline.exe
run side by side on the virtual desktop; the CPU time (utime + stime) of the
Unix process hosting each is read before and after the idle period.

Cycles: Velodusk with the relay trace, driven as the end-to-end tests drive it.
The probe counts its GDI objects, kernel handles and windows before, during
and after each series; the relay trace gives the balance of the USER objects
(menus, icons, cursors, DCs) the exe's own code creates and frees.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tests", "e2e"))
import harness  # noqa: E402
from harness import IDS, SC_CLOSE, WM_KEYDOWN, WM_SYSCOMMAND, move_to, wait_until, xdo  # noqa: E402

VK_ESCAPE = 0x1B
# Creators and their counterparts whose balance the trace gives; calls made by
# Wine's own DLLs are left out (their objects are counted by the probe).
PAIRS = [("CreatePopupMenu", "DestroyMenu"), ("CreateMenu", "DestroyMenu"), ("LoadMenuA", "DestroyMenu"),
         ("CopyIcon", "DestroyIcon"), ("CreateIconIndirect", "DestroyIcon"), ("LoadImageA", "DestroyIcon"),
         ("GetDC", "ReleaseDC"), ("GetWindowDC", "ReleaseDC"), ("BeginPaint", "EndPaint"),
         ("CreateWindowExA", "DestroyWindow"), ("CreateDialogParamA", "DestroyWindow")]
RELAY = sorted({"user32." + f for pair in PAIRS for f in pair} | {"user32.LoadIconA", "user32.LoadCursorA"})
PID_RE = re.compile(r"^(?:\d+\.\d+:)?([0-9a-f]+):")
CLK_TCK = os.sysconf("SC_CLK_TCK")


def cpu_seconds(unix_pid):
    with open("/proc/%d/stat" % unix_pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLK_TCK  # utime, stime


def unix_pid_of(exe):
    """The Unix process hosting EXE: Wine gives it the exe's own path as argv[0]
    (the explorer that launched it has its path in a later argument)."""
    def find():
        for p in os.listdir("/proc"):
            if not p.isdigit():
                continue
            try:
                with open("/proc/%s/cmdline" % p, "rb") as f:
                    argv = f.read().decode("latin-1").split("\0")
            except OSError:
                continue
            if argv[0] == exe:
                return int(p)
        return None
    return wait_until(find, 60, "the Unix process of " + exe)


def relay_include(extra):
    key = r"HKCU\Software\Wine\Debug"
    out = subprocess.run(["wine", "reg", "query", key, "/v", "RelayInclude"], capture_output=True,
                         env=dict(os.environ, LC_ALL="C")).stdout.decode("latin-1")
    have = (re.search(r"RelayInclude\s+REG_SZ\s+(\S*)", out) or [None, ""])[1]
    names = [n for n in have.split(";") if n] + [n for n in extra if n not in have.split(";")]
    subprocess.run(["wine", "reg", "add", key, "/v", "RelayInclude", "/t", "REG_SZ", "/d", ";".join(names), "/f"],
                   check=True, capture_output=True)


class Trace:
    """Reads the relay trace as it grows: lines of our process matching a pattern."""

    def __init__(self, path):
        self.path, self.pos, self.lines, self.seen = path, 0, [], {}

    def update(self):
        with open(self.path, "rb") as f:
            f.seek(self.pos)
            data = f.read()
        cut = data.rfind(b"\n") + 1
        self.pos += cut
        self.lines += data[:cut].decode("latin-1").splitlines()
        return self.lines

    def count(self, pid, needle):
        done, n = self.seen.get(needle, (0, 0))
        lines = self.update()
        n += sum(1 for line in lines[done:] if needle in line and line_pid(line) == pid)
        self.seen[needle] = (len(lines), n)
        return n


def line_pid(line):
    m = PID_RE.match(line)
    return int(m.group(1), 16) if m else None


def counts(run):
    r = run.probe.cmd("counts", "%x" % run.pid)
    if r[0] != "ok":
        raise RuntimeError("counts: %s" % r)
    return tuple(int(v) for v in r[1:4])


def balance(trace, pid, first, last):
    """Per function: calls the exe made between trace lines FIRST and LAST."""
    calls = {}
    pat = re.compile(r":Call user32\.(\w+)\(.*\) ret=([0-9a-f]+)")
    for line in trace.lines[first:last]:
        m = pat.search(line)
        if m and line_pid(line) == pid and int(m.group(2), 16) < 0x10000000:
            calls[m.group(1)] = calls.get(m.group(1), 0) + 1
    return calls


def series(name, run, trace, n, step, report):
    before, first = counts(run), len(trace.update())
    marks, t0 = [before], time.time()
    for i in range(n):
        step(i)
        if (i + 1) % max(1, n // 5) == 0:
            marks.append(counts(run))
    dt = time.time() - t0
    after = counts(run)
    calls = balance(trace, run.pid, first, len(trace.update()))
    pairs = ", ".join("%s/%s %d/%d" % (a, b, calls.get(a, 0), calls.get(b, 0))
                      for a, b in PAIRS if calls.get(a) or calls.get(b))
    others = ", ".join("%s %d" % (f, calls[f]) for f in ("TrackPopupMenu", "LoadIconA", "LoadCursorA") if f in calls)
    report("%s: %d cycles in %.0f s (%.2f s each)" % (name, n, dt, dt / max(n, 1)))
    report("  GDI/kernel/windows before %s, after %s" % (before, after))
    report("  checkpoints %s" % " ".join("%d/%d/%d" % m for m in marks[1:]))
    report("  exe-made USER calls (creator/counterpart): %s%s" % (pairs or "none", "; " + others if others else ""))
    return before, after


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--exe", required=True)
    ap.add_argument("--probe", required=True)
    ap.add_argument("--baseline", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--idle", type=float, default=300)
    ap.add_argument("--shows", type=int, default=500)
    ap.add_argument("--menus", type=int, default=200)
    ap.add_argument("--hotkeys", type=int, default=200)
    ap.add_argument("--idle-exe", action="append", default=[],
                    help="another build to idle beside, with the logo (repeatable)")
    args = ap.parse_args()
    for a in ("exe", "probe", "baseline", "work"):
        setattr(args, a, os.path.abspath(getattr(args, a)))
    harness.ARGS = args
    os.makedirs(args.work, exist_ok=True)
    log = open(os.path.join(args.work, "longrun.txt"), "w")

    def report(line):
        print(line, flush=True)
        log.write(line + "\n")
        log.flush()

    report("machine: %d cores, %s" % (os.cpu_count(), os.uname().machine))
    desk = harness.Desktop()
    desk.open()
    try:
        phases(args, desk, report)
    finally:
        desk.close()


def phases(args, desk, report):

    # Counting check: the probe counts its own objects, makes 5 of each, counts
    # again (twice: the first round also makes what Wine sets up once, such as
    # the screen DC's objects).
    run = harness.Run("calibrate", {"Lock": 1})
    run.start()
    run.wait_dialog()
    seen = [run.probe.cmd("counts", 0)[1:]]
    for _ in range(2):
        run.probe.cmd("make", 5)
        seen.append(run.probe.cmd("counts", 0)[1:])
    report("counting check (probe itself, GDI/kernel/windows, +5 bitmaps/events/windows twice): %s"
           % " -> ".join("/".join(c) for c in seen))
    run.stop()
    desk.end_case()

    if args.idle > 0:
        # Started as Run.start does, but without the relay trace, which would
        # cost Velodusk CPU time for every message.
        run = harness.Run("idle", {"Lock": 1})
        run.proc = harness.start_on_desktop([run.exe], run.trace)
        run.probe = desk.probe
        w = wait_until(lambda: run.probe.find("Velodusk"), 60, "the idle run's dialog")
        run.dlg, run.pid = w["hwnd"], w["pid"]
        # More instances, each in its own folder with its own hot key (two
        # holding F6 would stop one at a message box): this build with the logo,
        # then any earlier builds with it.
        with open(os.path.join(os.path.dirname(args.exe), "Logo.gif"), "rb") as f:
            logo = f.read()
        others = {"Velodusk+Logo": args.exe}
        others.update({"%s+Logo" % os.path.relpath(e): os.path.abspath(e) for e in args.idle_exe})
        extra_exes = {}
        for n, (name, exe) in enumerate(others.items(), 1):
            other = harness.Run("idle%d" % n, {"Lock": 1, "AccKey": n}, extra_files={"Logo.gif": logo})
            shutil.copy(exe, other.exe)
            harness.start_on_desktop([other.exe], os.path.join(other.logs, "start.err"))
            extra_exes[name] = other.exe
        wait_until(lambda: len(run.probe.windows("#32770")) >= 1 + len(others), 60, "every idle instance's dialog")
        baseline = os.path.join(run.dir, "TrayBaseline.exe")
        subprocess.run(["cp", args.baseline, baseline], check=True)
        base_proc = harness.start_on_desktop([baseline], os.path.join(run.logs, "baseline.err"))
        wait_until(lambda: run.probe.find("TrayBaseline"), 60, "the baseline's window")
        pids = {"Velodusk": unix_pid_of(run.exe), "TrayBaseline": unix_pid_of(baseline)}
        pids.update({k: unix_pid_of(e) for k, e in extra_exes.items()})
        start = {k: cpu_seconds(p) for k, p in pids.items()}
        report("idle: Unix pids %s, CPU since their start %s" % (pids, {k: "%.2f s" % v for k, v in start.items()}))
        t0 = time.time()
        # The measured period itself: nothing to wait for, both programs sit in the tray.
        time.sleep(args.idle)
        wall = time.time() - t0
        for k, p in pids.items():
            used = cpu_seconds(p) - start[k]
            report("idle %s: %.2f s CPU over %.0f s (%.3f%% of one core, %.1f ticks a minute)"
                   % (k, used, wall, 100 * used / wall, used * CLK_TCK * 60 / wall))
        run.probe.cmd("post", "%x" % run.probe.find("TrayBaseline")["hwnd"], "%x" % harness.WM_CLOSE, 0, 0)
        for hwnd, _, _ in run.probe.windows("#32770"):
            if hwnd != run.dlg:
                run.probe.cmd("post", "%x" % hwnd, "%x" % harness.WM_CLOSE, 0, 0)
        run.stop()
        base_proc.wait(60)
        desk.end_case()

    if not (args.shows or args.menus or args.hotkeys):
        return
    relay_include(RELAY)
    run = harness.Run("cycles", {"Lock": 1})
    run.start()
    run.wait_dialog()
    run.wait_returns("Shell_NotifyIconA", 1, 30)
    trace = Trace(run.trace)

    def menu_open():
        return [m for m in run.probe.windows("#32768") if m[1]]

    def show_hide(i):
        harness.show_main_window(run)
        run.probe.cmd("post", "%x" % run.dlg, "%x" % WM_SYSCOMMAND, "%x" % SC_CLOSE, 0)
        wait_until(lambda: not run.probe.find("Velodusk")["visible"], 10, "cycle %d: hidden" % i)

    def menu_cycle(i):
        tracked = trace.count(run.pid, "Ret  user32.TrackPopupMenu(")
        move_to(*harness.TRAY_ICON)
        xdo("click", 3)
        menu = wait_until(menu_open, 10, "menu %d open" % i)[0]
        run.probe.cmd("post", "%x" % menu[0], "%x" % WM_KEYDOWN, "%x" % VK_ESCAPE, 0)
        wait_until(lambda: trace.count(run.pid, "Ret  user32.TrackPopupMenu(") > tracked, 10, "menu %d closed" % i)

    def hotkey(i):
        done = trace.count(run.pid, ",00000112,0000f170,")
        xdo("key", "F6")
        wait_until(lambda: trace.count(run.pid, ",00000112,0000f170,") > done, 20, "hot-key action %d" % i)

    # One of each first: what Wine makes once (menu window class, caches) is not a leak.
    show_hide(-1)
    menu_cycle(-1)
    move_to(500, 400)
    hotkey(-1)
    series("show/hide", run, trace, args.shows, show_hide, report)
    series("tray menu open/dismiss", run, trace, args.menus, menu_cycle, report)
    move_to(500, 400)
    series("F6 hot key (real key presses)", run, trace, args.hotkeys, hotkey, report)
    run.stop()
    desk.end_case()


if __name__ == "__main__":
    main()
