"""Shared machinery of the end-to-end tests.

A Run is one Velodusk process: its own directory with a copy of the exe (and
the INI the case wants), started inside Wine's virtual desktop with a relay
trace, a probe attached to the same desktop, and X input through xdotool.
The environment (prefix, wineserver, display) comes from scripts/wine-env.sh.
"""
import argparse
import ctypes
import ctypes.util
import os
import re
import shutil
import subprocess
import sys
import threading
import time
import unittest

DESKTOP = "velodusk"
DESKTOP_SIZE = (1024, 768)
# The first icon of the virtual desktop's task bar.
TRAY_ICON = (1014, 758)

WM_CLOSE = 0x10
WM_KEYDOWN = 0x100
WM_SYSCOMMAND = 0x112
WM_USER = 0x400
SC_CLOSE = 0xF060


def resource_ids():
    """The program's identifiers, read from the header the program is built with."""
    ids = {"WM_USER": WM_USER}
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir, "app", "Resource.h")
    with open(path, encoding="utf-8") as f:
        for name, value in re.findall(r"^#define (\w+) +(.+?) *$", f.read(), re.M):
            # Numbers, or (NAME + number) of a name defined before; other forms are skipped.
            try:
                ids[name] = sum(ids[t] if t in ids else int(t, 0) for t in re.findall(r"\w+", value))
            except ValueError:
                pass
    return ids


IDS = resource_ids()
HOTKEY_ID = IDS["IDH_ACTION"]
TIP_PREFIX = "双击执行您设定的功能(热键："

ARGS = None

# Window procedure lines of the relay trace: "Call dialog proc ..." when the
# dialog's procedure is entered, "Ret  dialog proc ..." when it returns; "window
# proc" lines likewise for the class procedure around it (default handling included).
MSG_RE = re.compile(
    r"^(?:(\d+)\.(\d+):)?([0-9a-f]+):[0-9a-f]+:(Call|Ret) +(dialog|window) proc [0-9A-Fa-f]+ "
    r"\(hwnd=([0-9A-Fa-f]+),msg=(\w+),wp=([0-9A-Fa-f]+),lp=([0-9A-Fa-f]+)\)")

RELAY_RE = re.compile(
    r"^(?:(\d+)\.(\d+):)?([0-9a-f]+):([0-9a-f]+):Call ([\w]+)\.(\w+)\((.*?)\)(?: ret=([0-9a-f]+))?")


def gbk_hex(text):
    return text.encode("gbk").hex() or "-"


def from_hex(h):
    return b"" if h == "-" else bytes.fromhex(h)


class Call:
    def __init__(self, ms, pid, dll, func, args, ret):
        self.ms, self.pid, self.dll, self.func, self.ret = ms, pid, dll, func, ret
        # String arguments are traced as pointer plus quoted text; keep the pointer.
        args = re.sub(r' "(?:[^"\\]|\\.)*"', "", args or "")
        self.args = [int(a, 16) for a in args.split(",") if a]

    def __repr__(self):
        return "%s.%s(%s)@%s" % (self.dll, self.func, ",".join("%x" % a for a in self.args), self.ms)


def parse_relay(path):
    calls = []
    with open(path, "rb") as f:
        for seq, raw in enumerate(f):
            m = RELAY_RE.match(raw.decode("latin-1"))
            if not m:
                continue
            ms = int(m.group(1)) * 1000 + int(m.group(2)) if m.group(1) else None
            ret = int(m.group(8), 16) if m.group(8) else None
            try:
                call = Call(ms, int(m.group(3), 16), m.group(5), m.group(6), m.group(7), ret)
            except ValueError:
                continue  # not a call of ours (window procs, DLL entry points)
            call.seq = seq  # the line: orders calls against window-procedure lines
            calls.append(call)
    return calls


class Message:
    def __init__(self, seq, ms, pid, phase, proc, hwnd, msg, wp, lp):
        self.seq, self.ms, self.pid, self.phase, self.proc = seq, ms, pid, phase, proc
        self.hwnd, self.msg, self.wp, self.lp = hwnd, msg, wp, lp

    def __repr__(self):
        return "%s %s(%x,%x)@%s" % (self.phase, self.msg, self.wp, self.lp, self.ms)


def parse_messages(path):
    """Calls of and returns from dialog procedures, in trace order."""
    out = []
    with open(path, "rb") as f:
        for seq, raw in enumerate(f):
            m = MSG_RE.match(raw.decode("latin-1"))
            if m:
                ms = int(m.group(1)) * 1000 + int(m.group(2)) if m.group(1) else None
                out.append(Message(seq, ms, int(m.group(3), 16), m.group(4), m.group(5), int(m.group(6), 16),
                                   m.group(7), int(m.group(8), 16), int(m.group(9), 16)))
    return out


def wait_until(check, timeout, what, poll=0.1):
    """CHECK's first true answer within TIMEOUT seconds; else fails naming WHAT did not happen."""
    deadline = time.time() + timeout
    while True:
        got = check()
        if got:
            return got
        if time.time() >= deadline:
            raise AssertionError("%s: not within %g s" % (what, timeout))
        time.sleep(poll)


_xlib = None


def keyboard_to_pointer():
    """X keyboard focus back to PointerRoot, the state of a fresh display.

    Wine's virtual desktop takes the X focus when a window inside it becomes
    active; when that desktop ends, the focus falls to None and, with no window
    manager to set it again, the X server drops every key until its clients
    all disconnect. Real keys must reach the desktop under the pointer."""
    global _xlib
    if _xlib is None:
        _xlib = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
        _xlib.XOpenDisplay.restype = ctypes.c_void_p
        _xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        _xlib.XSetInputFocus.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_ulong]
        _xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = _xlib.XOpenDisplay(None)
    if not display:
        raise RuntimeError("cannot open X display %s" % os.environ.get("DISPLAY"))
    pointer_root, revert_to_pointer_root, current_time = 1, 1, 0
    _xlib.XSetInputFocus(display, pointer_root, revert_to_pointer_root, current_time)
    _xlib.XCloseDisplay(display)  # flushes the request


class Probe:
    def __init__(self, exe, workdir):
        self.proc = None
        deadline = time.time() + 60
        while time.time() < deadline:
            # The desktop object exists before explorer maps its X window.
            if not desktop_window(deadline - time.time()):
                break
            with open(os.path.join(workdir, "probe.err"), "ab") as err:
                self.proc = subprocess.Popen(["wine", exe, DESKTOP], stdin=subprocess.PIPE,
                                             stdout=subprocess.PIPE, stderr=err, cwd=workdir)
            line = self.readline(30)
            if line == "ready":
                return
            self.proc.wait()
            self.proc.stdin.close()
            self.proc.stdout.close()
        raise RuntimeError("probe could not join the desktop")

    def readline(self, timeout):
        """One line from the probe; a probe that hangs is killed rather than waited for."""
        timer = threading.Timer(timeout, self.proc.kill)
        timer.start()
        try:
            return self.proc.stdout.readline().decode().strip()
        finally:
            timer.cancel()

    def cmd(self, *words):
        self.proc.stdin.write((" ".join(str(w) for w in words) + "\n").encode())
        self.proc.stdin.flush()
        line = self.readline(30)
        if not line:
            raise RuntimeError("probe died on %r" % (words,))
        return line.split(" ")

    def find(self, caption):
        r = self.cmd("find", gbk_hex(caption))
        if r[0] != "ok":
            return None
        return {"hwnd": int(r[1], 16), "visible": r[2] == "1", "pid": int(r[3], 16), "class": r[4],
                "rect": tuple(int(x) for x in r[5:9])}

    def tick(self):
        return int(self.cmd("tick")[1])

    def windows(self, cls):
        out = []
        for item in self.cmd("windows", cls)[1:]:
            hwnd, vis, rect = item.split(":")
            out.append((int(hwnd, 16), vis == "1", tuple(int(v) for v in rect.split(","))))
        return out

    def tooltips(self):
        out = []
        for item in self.cmd("tooltips")[1:]:
            hwnd, vis, text = item.split(":")
            out.append((int(hwnd, 16), vis == "1", from_hex(text).decode("gbk", "replace")))
        return out

    def msgbox(self, caption):
        r = self.cmd("msgbox", gbk_hex(caption))
        if r[0] != "ok":
            return None
        return {"hwnd": int(r[1], 16), "icon": r[2] == "1", "count": int(r[3]),
                "text": from_hex(r[4]).decode("gbk", "replace")}

    def close(self):
        if self.proc and self.proc.poll() is None:
            try:
                self.proc.stdin.write(b"quit\n")
                self.proc.stdin.flush()
                self.proc.wait(10)
            except (OSError, subprocess.TimeoutExpired):
                self.proc.kill()
                self.proc.wait()
        if self.proc:
            self.proc.stdin.close()
            self.proc.stdout.close()


def xdo(*args):
    if args and str(args[0]).startswith(("key", "type")):
        keyboard_to_pointer()
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True, timeout=30)


def desktop_window(timeout=20):
    deadline = time.time() + timeout
    while True:
        r = subprocess.run(["xdotool", "search", "--name", "Wine desktop"], capture_output=True, text=True)
        ids = r.stdout.split()
        if ids:
            return ids[-1]
        if time.time() >= deadline:
            return None
        time.sleep(0.2)


def move_to(x, y):
    """Pointer to (x, y) of the virtual desktop; before one exists, of the screen."""
    win = desktop_window(0)
    if win:
        xdo("mousemove", "--window", win, x, y)
    else:
        xdo("mousemove", x, y)


def screenshot(path):
    subprocess.run(["import", "-window", "root", path], check=True, timeout=60)
    return path


def start_on_desktop(argv, log):
    with open(log, "wb") as err:
        return subprocess.Popen(["wine", "explorer", "/desktop=%s,%dx%d" % ((DESKTOP,) + DESKTOP_SIZE)] + argv,
                                stdout=subprocess.DEVNULL, stderr=err, cwd=os.path.dirname(log))


def hold_hotkey(logs, mod, vk, seconds=120):
    """Another program on the desktop takes MOD+VK first; returns its status line."""
    status = os.path.join(logs, "hold.status")
    if os.path.exists(status):
        os.remove(status)
    proc = start_on_desktop([ARGS.probe, "hold", "%x" % mod, "%x" % vk, str(seconds), status],
                            os.path.join(logs, "hold.err"))

    def line():
        try:
            with open(status) as f:
                text = f.read()
        except OSError:
            return None
        return text.endswith("\n") and text.strip()

    return proc, wait_until(line, 60, "the hot-key holder's status line")


class Run:
    """One Velodusk process in its own directory."""

    def __init__(self, name, ini=None, exe_name="Velodusk.exe", extra_files=None):
        self.dir = os.path.join(ARGS.work, name)
        if os.path.isdir(self.dir):
            subprocess.run(["chattr", "-i", self.dir], stderr=subprocess.DEVNULL)
            shutil.rmtree(self.dir)
        os.makedirs(self.dir)
        # Logs live beside the run directory, which a case may make read-only.
        self.logs = self.dir + ".logs"
        shutil.rmtree(self.logs, ignore_errors=True)
        os.makedirs(self.logs)
        self.exe = os.path.join(self.dir, exe_name)
        shutil.copy(ARGS.exe, self.exe)
        if ini is not None:
            self.write_ini(os.path.splitext(exe_name)[0] + ".ini", ini)
        for fname, data in (extra_files or {}).items():
            self.write_ini(fname, data)
        self.trace = os.path.join(self.logs, "relay.log")
        self.proc = None
        self.probe = None
        self.pid = None
        self.dlg = None

    def write_ini(self, fname, ini):
        if isinstance(ini, dict):
            ini = "[Velodusk]\r\n" + "".join("%s=%s\r\n" % kv for kv in ini.items())
        if isinstance(ini, str):
            ini = ini.encode("ascii")
        with open(os.path.join(self.dir, fname), "wb") as f:
            f.write(ini)

    def listing(self):
        """Names and contents of the run directory apart from the logs."""
        out = {}
        for fname in sorted(os.listdir(self.dir)):
            p = os.path.join(self.dir, fname)
            if os.path.isfile(p):
                with open(p, "rb") as f:
                    out[fname] = f.read()
            else:
                out[fname] = None
        return out

    def start(self, probe=True):
        env = dict(os.environ)
        env["WINEDEBUG"] = "+pid,+timestamp,+relay"
        with open(self.trace, "wb") as trace:
            self.proc = subprocess.Popen(
                ["wine", "explorer", "/desktop=%s,%dx%d" % ((DESKTOP,) + DESKTOP_SIZE), self.exe],
                cwd=self.logs, env=env, stdout=subprocess.DEVNULL, stderr=trace)
        if probe:
            self.probe = Probe(ARGS.probe, self.logs)
        return self

    def wait_dialog(self, timeout=60):
        def ours():
            w = self.probe.find("Velodusk")
            # The process must be this run's: a previous one may still be on its way out.
            return w if w and w["class"] == "#32770" and w["pid"] in {c.pid for c in parse_relay(self.trace)} else None
        w = wait_until(ours, timeout, "dialog \"Velodusk\" of this run")
        self.dlg, self.pid = w["hwnd"], w["pid"]
        return w

    def calls(self, func=None, own=True):
        """Relay calls of our process; own=True keeps those made from the exe's code."""
        out = []
        for c in parse_relay(self.trace):
            if self.pid is not None and c.pid != self.pid:
                continue
            if own and c.ret is not None and c.ret >= 0x10000000:
                continue
            if func and c.func != func:
                continue
            out.append(c)
        return out

    def wait_calls(self, func, count, timeout):
        """At least COUNT calls of FUNC; after TIMEOUT seconds, whatever there is."""
        try:
            return wait_until(lambda: len(self.calls(func)) >= count and self.calls(func), timeout, func)
        except AssertionError:
            return self.calls(func)

    def wait_returns(self, func, count, timeout=30):
        """COUNT calls of FUNC that have returned (relay "Ret" lines of our process)."""
        pattern = re.compile(r"^(?:\d+\.\d+:)?([0-9a-f]+):[0-9a-f]+:Ret  \w+\.%s\(" % re.escape(func))

        def done():
            with open(self.trace, "rb") as f:
                n = sum(1 for raw in f if (m := pattern.match(raw.decode("latin-1"))) and int(m.group(1), 16) == self.pid)
            return n >= count
        wait_until(done, timeout, "%d returns from %s" % (count, func))

    def messages(self, msg=None, phase=None, proc="dialog"):
        """What the main dialog's procedure was handed ("Call") and when it returned ("Ret");
        proc="window": its class procedure, which returns after default handling too."""
        return [m for m in parse_messages(self.trace)
                if m.pid == self.pid and (self.dlg is None or m.hwnd == self.dlg) and m.proc == proc
                and msg in (None, m.msg) and phase in (None, m.phase)]

    def ticks(self):
        """Timer ticks the dialog has finished handling."""
        return self.messages("WM_TIMER", "Ret")

    def wait_ticks(self, count=1, timeout=30, after=None):
        """Waits until COUNT more ticks are handled (after trace line AFTER, default now).

        A tick is a positive marker for negative checks: the system makes WM_TIMER
        only when no posted message waits, so every trigger queued before it
        (hot key, tray click) has been handled by then."""
        if after is None:
            seen = self.ticks()
            after = seen[-1].seq if seen else -1
        return wait_until(lambda: len([t for t in self.ticks() if t.seq > after]) >= count and self.ticks(),
                          timeout, "%d timer tick(s) of the main dialog" % count)

    def actions(self):
        """The calls the lock action makes, in order."""
        return [c for c in self.calls()
                if c.func in ("BlockInput", "SetWindowsHookExA") or (c.func == "SendMessageA" and c.args[1:2] == [WM_SYSCOMMAND])
                or (c.func == "Sleep" and c.args == [500])]

    def wait_actions(self, count, timeout):
        """Waits for COUNT action calls (sleeps included), then for a timer tick after
        them: any further trigger already queued has been handled by then."""
        try:
            acts = wait_until(lambda: len(self.actions()) >= count and self.actions(), timeout,
                              "%d action calls" % count)
        except AssertionError:
            return self.actions()
        self.wait_ticks(1, after=acts[-1].seq if acts else None)
        return self.actions()

    def alive(self):
        return self.probe.find("Velodusk") is not None

    def wait_gone(self, timeout):
        try:
            return wait_until(lambda: not self.alive(), timeout, "Velodusk gone")
        except AssertionError:
            return False

    def stop(self):
        if self.proc is None:
            return
        if self.probe:
            try:
                if self.dlg and self.alive():
                    self.probe.cmd("post", "%x" % self.dlg, "%x" % WM_CLOSE, 0, 0)
                    self.wait_gone(10)
            except (RuntimeError, OSError):
                pass
            self.probe.close()
        # The launcher is the desktop's explorer, which ends once the desktop is
        # empty. Under load a new run could still find this desktop half torn
        # down (its X window gone), and a hung Velodusk must not reach the next
        # case: so every run ends with a server restart and starts clean.
        try:
            self.proc.wait(20)
        except subprocess.TimeoutExpired:
            pass
        subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
        self.proc.wait()
        subprocess.run(["wineserver", "-w"], stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-p"], stderr=subprocess.DEVNULL)
        subprocess.run(["wine", "cmd", "/c", "exit"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.proc = self.probe = None


class E2E(unittest.TestCase):
    def setUp(self):
        self.runs = []

    def tearDown(self):
        for r in self.runs:
            r.stop()

    def launch(self, name, ini=None, **kw):
        r = Run(name, ini, **kw)
        self.runs.append(r)
        r.start()
        return r

    def assertActionShapes(self, calls, dlg, block, monitor_off, hooks=False):
        """One action's calls: the 500 ms sleep, then what the lock mode asks for.
        HOOKS: the block's keyboard and mouse hooks go in (BlockInput fails under Wine;
        a block already holding adds none)."""
        want = (["Sleep"] + (["BlockInput"] if block else []) + (["SetWindowsHookExA"] * 2 if hooks else [])
                + (["SendMessageA"] if monitor_off else []))
        self.assertEqual([c.func for c in calls], want, calls)
        self.assertEqual([c.args[0] for c in calls if c.func == "SetWindowsHookExA"], [13, 14] if hooks else [],
                         "WH_KEYBOARD_LL, WH_MOUSE_LL")
        for c in calls:
            if c.func == "BlockInput":
                self.assertEqual(c.args, [1])
            if c.func == "SendMessageA":
                self.assertEqual(c.args, [dlg, WM_SYSCOMMAND, 0xF170, 2])
        if len(calls) > 1 and calls[0].ms is not None:
            waited = calls[1].ms - calls[0].ms
            self.assertTrue(450 <= waited <= 2000, "acted %d ms after the sleep began" % waited)


def main():
    global ARGS
    ap = argparse.ArgumentParser()
    ap.add_argument("--exe", required=True)
    ap.add_argument("--probe", required=True)
    ap.add_argument("--work", required=True)
    ARGS, rest = ap.parse_known_args()
    ARGS.exe, ARGS.probe, ARGS.work = (os.path.abspath(p) for p in (ARGS.exe, ARGS.probe, ARGS.work))
    for var in ("WINEPREFIX", "DISPLAY"):
        if not os.environ.get(var):
            sys.exit("%s is not set: run under scripts/wine-env.sh's velodusk_wine_setup" % var)
    os.makedirs(ARGS.work, exist_ok=True)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


# --- The logo area: the window shown from the tray, its pixels read from the X screen.

def desktop_origin():
    """Where the virtual desktop's (0, 0) lies on the X screen."""
    win = desktop_window(20)
    out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", win],
                         capture_output=True, text=True, check=True, timeout=30).stdout
    vals = dict(line.split("=", 1) for line in out.split())
    return int(vals["X"]), int(vals["Y"])


def grab(rect):
    """RGB bytes of the rectangle (left, top, right, bottom) of the virtual desktop."""
    x0, y0 = desktop_origin()
    left, top, right, bottom = rect
    geometry = "%dx%d+%d+%d" % (right - left, bottom - top, x0 + left, y0 + top)
    return subprocess.run(["import", "-window", "root", "-crop", geometry, "+repage", "-depth", "8", "rgb:-"],
                          capture_output=True, check=True, timeout=60).stdout


def show_main_window(run, timeout=30):
    """The tray menu's first item, "显示主画面", picked with the menu's own keys."""
    # The icon answers clicks only once the shell has taken it: wait for the add to return.
    run.wait_returns("Shell_NotifyIconA", 1, timeout)
    move_to(*TRAY_ICON)
    xdo("click", 3)
    menu = wait_until(lambda: next((m for m in run.probe.windows("#32768") if m[1]), None), timeout,
                      "a pop-up menu after a right-click on the icon")
    for vk in (0x28, 0x0D):  # VK_DOWN, VK_RETURN
        run.probe.cmd("post", "%x" % menu[0], "%x" % WM_KEYDOWN, "%x" % vk, 0)
    return wait_until(lambda: (lambda w: w if w and w["visible"] else None)(run.probe.find("Velodusk")), timeout,
                      "the main window to show")


def child_rect(run, ctrl_id):
    r = run.probe.cmd("child", "%x" % run.dlg, "%x" % ctrl_id)
    return (tuple(int(v) for v in r[1:5]), r[5] == "1") if r[0] == "ok" else None


# --- Another program's window on the desktop, counting the input that reaches it.

TARGET_RECT = (100, 100, 400, 300)


def start_target(logs, seconds=300):
    """The probe's target window; returns its process and a reader of its counts (keys, clicks)."""
    status = os.path.join(logs, "target.status")
    if os.path.exists(status):
        os.remove(status)
    proc = start_on_desktop([ARGS.probe, "target", str(seconds), status], os.path.join(logs, "target.err"))

    def counts():
        try:
            with open(status) as f:
                text = f.read()
        except OSError:
            return None
        words = text.split()
        return text.endswith("\n") and len(words) == 4 and (int(words[1]), int(words[3]))

    wait_until(counts, 60, "the target window's status line")
    return proc, counts
