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

# The traced calls of the lock action: the monitor's power-off is sent to the main
# window, the block's hooks are set (BlockInput is traced under its own name).
MONITOR_OFF_CALL = "SendMessageW"
HOOK_CALL = "SetWindowsHookExW"
# The wake guard's thread asks for the display's power reports before it sets its
# hooks: its hooks are told from the block's by that.
GUARD_CALL = "RegisterPowerSettingNotification"


def resource_ids():
    """The program's identifiers, read from the header the program is built with."""
    ids = {"WM_USER": WM_USER}
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir, "res", "Resource.h")
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
# The hot key is registered without auto-repeat.
MOD_NOREPEAT = 0x4000


def rc_texts():
    """The user-visible texts of res/Velodusk.rc, per LANGUAGE section ("LANG_CHINESE",
    "LANG_ENGLISH"): {"strings": {id name: text}, dialog name: (caption, [(id name, text)
    of each control with a text, in template order])}. Defines of link/AboutText.h stand
    for their text."""
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir)
    with open(os.path.join(root, "link", "AboutText.h"), encoding="utf-8") as f:
        defines = dict(re.findall(r'^#define (\w+) "([^"]*)"', f.read(), re.M))
    with open(os.path.join(root, "res", "Velodusk.rc"), encoding="utf-8") as f:
        rc = f.read()

    def unquote(s):
        return s.replace('\\n', '\n').replace('""', '"')

    out = {}
    for lang, body in re.findall(r"^LANGUAGE (\w+),[^\n]*\n(.*?)(?=^LANGUAGE |\Z)", rc, re.M | re.S):
        section = out.setdefault(lang, {"strings": {}})
        for block in re.findall(r"^STRINGTABLE\s*\nBEGIN\n(.*?)^END", body, re.M | re.S):
            for name, text in re.findall(r'^\s*(\w+)\s+"((?:[^"]|"")*)"', block, re.M):
                section["strings"][name] = unquote(text)
        for name, head, block in re.findall(r"^(\w+) DIALOG(?:EX)? [^\n]*\n(.*?)^BEGIN\n(.*?)^END", body, re.M | re.S):
            caption = re.search(r'^CAPTION "([^"]*)"', head, re.M).group(1)
            items = []
            for text, ident in re.findall(r'^\s*(?:PUSHBUTTON|GROUPBOX|LTEXT|CONTROL)\s+("[^"]*"|\w+)\s*,\s*([-\w]+)', block, re.M):
                text = text[1:-1] if text.startswith('"') else defines[text]
                if text:
                    items.append((ident, text))
            section[name] = (caption, items)
    return out


RC = rc_texts()
TIP_PREFIX = RC["LANG_CHINESE"]["strings"]["IDS_TRAY_TIP"]

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
    def __init__(self, ms, pid, tid, dll, func, args, ret):
        self.ms, self.pid, self.tid, self.dll, self.func, self.ret = ms, pid, tid, dll, func, ret
        # String arguments are traced as pointer plus quoted text (L"..." for UTF-16);
        # keep the pointer.
        args = re.sub(r' L?"(?:[^"\\]|\\.)*"', "", args or "")
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
                call = Call(ms, int(m.group(3), 16), int(m.group(4), 16), m.group(5), m.group(6), m.group(7), ret)
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


# How much slower than a native machine this one starts a 32-bit Wine process:
# the probe's own start-up, measured when the desktop is made, over what it
# takes where 32-bit code runs natively (about 1 s with a warm server, desktop
# included). Every bounded wait is stretched by it, so a bound says how long
# the work may take natively and holds where the 32-bit side is emulated.
NATIVE_START_S = 1.5
SCALE = 1.0


def bound(seconds):
    return seconds * SCALE


def wait_until(check, timeout, what, poll=0.1):
    """CHECK's first true answer within TIMEOUT seconds (scaled); else fails naming WHAT did not happen."""
    limit = bound(timeout)
    deadline = time.time() + limit
    while True:
        got = check()
        if got:
            return got
        if time.time() >= deadline:
            raise AssertionError("%s: not within %g s" % (what, limit))
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
    """The serving probe: one per test file. Started as a plain program, it lands
    on the tests' desktop (the prefix's default, see Desktop) and is the user
    that keeps that desktop alive from the first case of the file to the last."""

    def __init__(self, exe, workdir, limit):
        with open(os.path.join(workdir, "probe.err"), "ab") as err:
            self.proc = subprocess.Popen(["wine", exe, DESKTOP], stdin=subprocess.PIPE,
                                         stdout=subprocess.PIPE, stderr=err, cwd=workdir)
        line = self.readline(limit)
        if line != "ready":
            self.close()
            raise RuntimeError("probe did not start on the desktop within %g s (%r)" % (limit, line))

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
        line = self.readline(bound(30))
        if not line:
            raise RuntimeError("probe died on %r" % (words,))
        return line.split(" ")

    def find(self, caption):
        r = self.cmd("find", gbk_hex(caption))
        if r[0] != "ok":
            return None
        return {"hwnd": int(r[1], 16), "visible": r[2] == "1", "pid": int(r[3], 16), "class": r[4],
                "rect": tuple(int(x) for x in r[5:9])}

    def foreground(self):
        r = self.cmd("foreground")
        if r[0] != "ok":
            return None
        return {"hwnd": int(r[1], 16), "pid": int(r[2], 16), "class": r[3], "exstyle": int(r[4], 16),
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

    def texts(self, hwnd):
        """A window's text and its children's (id, class, text), read through the W
        functions."""
        r = self.cmd("textsw", "%x" % hwnd)
        if r[0] != "ok":
            return None
        children = []
        for item in r[2:]:
            ident, cls, text = item.split(":")
            children.append((int(ident, 16), cls, from_hex(text).decode("utf-8")))
        return from_hex(r[1]).decode("utf-8"), children

    def close(self):
        if self.proc and self.proc.poll() is None:
            try:
                self.proc.stdin.write(b"quit\n")
                self.proc.stdin.flush()
                self.proc.wait(bound(10))
            except (OSError, subprocess.TimeoutExpired):
                self.proc.kill()
                self.proc.wait()
        if self.proc:
            self.proc.stdin.close()
            self.proc.stdout.close()
            self.proc = None


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


def relay_env(**environ):
    """The environment of a traced start: the relay trace with pid and time stamps."""
    return dict(os.environ, **environ, WINEDEBUG="+pid,+timestamp,+relay")


def start_on_desktop(argv, log, env=None):
    """A program on the tests' desktop: with the prefix's default desktop set to
    it, a plain start lands there, as a program started from Explorer does."""
    with open(log, "wb") as err:
        proc = subprocess.Popen(["wine"] + argv, stdout=subprocess.DEVNULL, stderr=err,
                                cwd=os.path.dirname(log), env=env)
    Desktop.current.started.append(proc)
    return proc


def status_line(path):
    """The status a helper program wrote whole (its line ended), or None."""
    try:
        with open(path) as f:
            text = f.read()
    except OSError:
        return None
    return text if text.endswith("\n") else None


def hold_hotkey(logs, mod, vk, seconds=120):
    """Another program on the desktop takes MOD+VK first; returns its status line.
    The case's tear-down ends the holder (the probe's "unhold", else a kill)."""
    status = os.path.join(logs, "hold.status")
    if os.path.exists(status):
        os.remove(status)
    proc = start_on_desktop([ARGS.probe, "hold", "%x" % mod, "%x" % vk, str(seconds), status],
                            os.path.join(logs, "hold.err"))

    def line():
        text = status_line(status)
        return text and text.strip()

    return proc, wait_until(line, 60, "the hot-key holder's status line")


class Desktop:
    """Wine's virtual desktop the cases of one file share, with its probe.

    The desktop is the prefix's default one for the file's lifetime, so every
    program (probe, Velodusk, a hot-key holder) starts on it without a launcher.
    Started through "explorer /desktop=..." instead, a desktop closes one second
    after its last user leaves: where 32-bit code is emulated, the launched
    program takes longer than that to arrive and finds the desktop (and its X
    window) gone. The probe is a user from the file's first case to its last.

    A case that ends cleanly (its processes gone by themselves) leaves the
    desktop as it found it; one that does not gets the whole Wine session
    restarted, so it cannot reach the next case."""
    current = None
    KEY = r"HKCU\Software\Wine\Explorer"

    def __init__(self):
        self.workdir = os.path.join(ARGS.work, "desktop")
        os.makedirs(self.workdir, exist_ok=True)
        self.started = []
        # What a case asks to be closed at its end before its processes are waited for.
        self.closers = []
        self.probe = None
        Desktop.current = self

    def reg(self, *args):
        subprocess.run([os.environ.get("VELODUSK_WINE64", "wine"), "reg"] + list(args) + ["/f"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True, timeout=120)

    def open(self):
        global SCALE
        self.reg("add", self.KEY, "/v", "Desktop", "/t", "REG_SZ", "/d", DESKTOP)
        self.reg("add", self.KEY + r"\Desktops", "/v", DESKTOP, "/t", "REG_SZ", "/d", "%dx%d" % DESKTOP_SIZE)
        t0 = time.time()
        # The very first start also pays for the desktop's explorer; 120 s covers
        # the slowest emulated start seen (about 20 s) several times over.
        self.probe = Probe(ARGS.probe, self.workdir, 120)
        SCALE = min(max(1.0, (time.time() - t0) / NATIVE_START_S), 10.0)
        if not desktop_window(bound(20)):
            raise RuntimeError("the desktop's X window did not appear")
        keyboard_to_pointer()

    def close(self):
        if self.probe:
            self.probe.close()
            self.probe = None
        # Gone when its last user has left (a second later): the next file's
        # desktop must not meet this one's X window.
        wait_until(lambda: not desktop_window(0), 20, "the desktop closing after the probe left")
        self.reg("delete", self.KEY, "/v", "Desktop")
        self.reg("delete", self.KEY + r"\Desktops", "/v", DESKTOP)

    def end_case(self):
        """Ends what the case started; True when everything ended by itself."""
        clean = True
        for close in self.closers:
            try:
                close()
            except (RuntimeError, OSError):
                clean = False
        self.closers = []
        for proc in self.started:
            try:
                proc.wait(bound(20))
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
                clean = False
        self.started = []
        if clean and self.probe and self.probe.proc:
            # Nothing but the desktop's own windows may stay: no box, no menu.
            try:
                clean = not [w for w in self.probe.windows("#32770") + self.probe.windows("#32768") if w[1]]
            except (RuntimeError, OSError):
                clean = False
        if not clean:
            self.restart()
        keyboard_to_pointer()
        return clean

    def restart(self):
        if self.probe:
            self.probe.close()
            self.probe = None
        subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], stderr=subprocess.DEVNULL)
        wait_until(lambda: not desktop_window(0), 20, "the old desktop's X window to go")
        subprocess.run(["wineserver", "-p"], stderr=subprocess.DEVNULL)
        subprocess.run([os.environ.get("VELODUSK_WINE64", "wine"), "cmd", "/c", "exit"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.open()


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

    def start(self, probe=True, args=(), **environ):
        env = relay_env(**environ)
        self.proc = start_on_desktop([self.exe] + list(args), self.trace, env)
        # The launch log is the relay trace: the program's own stderr.
        self.probe = Desktop.current.probe if probe else None
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
        """The calls the lock action makes, in order; the wake guard's apart (guard_calls)."""
        guards = {c.tid for c in self.calls(GUARD_CALL)}
        return [c for c in self.calls()
                if c.func == "BlockInput" or (c.func == HOOK_CALL and c.tid not in guards)
                or (c.func == MONITOR_OFF_CALL and c.args[1:2] == [WM_SYSCOMMAND] and c.tid not in guards)
                or (c.func == "Sleep" and c.args == [500])]

    def guard_calls(self):
        """What the wake guard's threads call: its power reports, its hooks set and
        removed, the monitor turned off again."""
        guards = {c.tid for c in self.calls(GUARD_CALL)}
        return [c for c in self.calls() if c.tid in guards]

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
        """Asks the program to close as the tray's "退出" does; the case's end
        waits for its process (and kills it if it hangs)."""
        if self.proc is None or self.proc.poll() is not None:
            return
        try:
            if self.dlg and self.probe and self.alive():
                self.probe.cmd("post", "%x" % self.dlg, "%x" % WM_CLOSE, 0, 0)
                self.proc.wait(bound(20))
        except (RuntimeError, OSError, subprocess.TimeoutExpired):
            pass


class E2E(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        Desktop().open()

    @classmethod
    def tearDownClass(cls):
        Desktop.current.close()

    def setUp(self):
        self.runs = []

    def tearDown(self):
        for r in self.runs:
            r.stop()
        Desktop.current.end_case()

    def launch(self, name, ini=None, **kw):
        r = Run(name, ini, **kw)
        self.runs.append(r)
        r.start()
        return r

    def assertActionShapes(self, calls, dlg, block, monitor_off, hooks=False):
        """One action's calls: the 500 ms sleep, then what the lock mode asks for.
        HOOKS: the block's keyboard and mouse hooks go in (BlockInput fails under Wine;
        a block already holding adds none)."""
        want = (["Sleep"] + (["BlockInput"] if block else []) + ([HOOK_CALL] * 2 if hooks else [])
                + ([MONITOR_OFF_CALL] if monitor_off else []))
        self.assertEqual([c.func for c in calls], want, calls)
        self.assertEqual([c.args[0] for c in calls if c.func == HOOK_CALL], [13, 14] if hooks else [],
                         "WH_KEYBOARD_LL, WH_MOUSE_LL")
        for c in calls:
            if c.func == "BlockInput":
                self.assertEqual(c.args, [1])
            if c.func == MONITOR_OFF_CALL:
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


def open_tray_menu(run, timeout=30):
    """A real right-click on the tray icon; the pop-up menu it opens (hwnd, visible, rect)."""
    # The icon answers clicks only once the shell has taken it: wait for the add to return.
    run.wait_returns("Shell_NotifyIconW", 1, timeout)
    move_to(*TRAY_ICON)
    xdo("click", 3)
    return wait_until(lambda: next((m for m in run.probe.windows("#32768") if m[1]), None), timeout,
                      "a pop-up menu after a right-click on the icon")


def show_main_window(run, timeout=30):
    """The tray menu's first item, "显示主画面", picked with the menu's own keys."""
    menu = open_tray_menu(run, timeout)
    for vk in (0x28, 0x0D):  # VK_DOWN, VK_RETURN
        run.probe.cmd("post", "%x" % menu[0], "%x" % WM_KEYDOWN, "%x" % vk, 0)
    return wait_until(lambda: (lambda w: w if w and w["visible"] else None)(run.probe.find("Velodusk")), timeout,
                      "the main window to show")


def tray_tip(run, timeout=10):
    """The tray icon's tip as the task bar shows it when the pointer rests on the icon.
    Only a shown tooltip counts: the task bar keeps hidden ones of icons gone before."""
    move_to(TRAY_ICON[0] - 40, TRAY_ICON[1] - 2)
    move_to(TRAY_ICON[0] - 3, TRAY_ICON[1] - 2)
    return wait_until(lambda: [t for _, vis, t in run.probe.tooltips() if vis and t.startswith(TIP_PREFIX)],
                      timeout, "the tray icon's tooltip")[0]


def child_rect(run, ctrl_id):
    r = run.probe.cmd("child", "%x" % run.dlg, "%x" % ctrl_id)
    return (tuple(int(v) for v in r[1:5]), r[5] == "1") if r[0] == "ok" else None


# --- Another program's window on the desktop, counting the input that reaches it.

TARGET_RECT = (100, 100, 400, 300)


def start_target(logs, seconds=300, full=False):
    """The probe's target window (FULL: borderless over the whole screen, in front);
    returns its process and a reader of its counts (keys, clicks)."""
    status = os.path.join(logs, "target.status")
    if os.path.exists(status):
        os.remove(status)
    proc = start_on_desktop([ARGS.probe, "target", str(seconds), status] + (["full"] if full else []),
                            os.path.join(logs, "target.err"))

    def counts():
        words = (status_line(status) or "").split()
        return len(words) == 4 and (int(words[1]), int(words[3]))

    wait_until(counts, 60, "the target window's status line")

    def close():
        w = Desktop.current.probe.find("target")
        if w:
            Desktop.current.probe.cmd("post", "%x" % w["hwnd"], "%x" % WM_CLOSE, 0, 0)
    Desktop.current.closers.append(close)
    return proc, counts
