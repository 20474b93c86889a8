#!/usr/bin/env python3
"""Takes the README's pictures from the real Velodusk.exe: it starts the
exe (with the build's Logo.gif beside it) in Wine's virtual desktop, drives it
with the pointer as a user would (tray icon at the bottom right, "显示主画面",
buttons "设置" and "关于") and crops each picture to its window. A second run
under an English locale (code page 1252) takes the English main window.

Run it through scripts/screenshots.sh, which builds and sets up Wine. With
--dpi N the prefix's DPI (LogPixels) is N while the exe runs, and each picture
is named with -N before its extension (main-window-144.png).
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import harness  # noqa: E402
from harness import move_to, xdo  # noqa: E402

WM_CLOSE = 0x10
DPI_KEY = r"HKCU\Control Panel\Desktop"
DEFAULT_DPI = 96


def prefix_dpi(value):
    """Sets the prefix's LogPixels (None removes it); returns the value it had."""
    got = subprocess.run(["wine", "reg", "query", DPI_KEY, "/v", "LogPixels"], capture_output=True, text=True,
                         env=dict(os.environ, LC_ALL="C"))
    old = re.search(r"LogPixels\s+REG_DWORD\s+0x([0-9a-fA-F]+)", got.stdout)
    if value is None:
        subprocess.run(["wine", "reg", "delete", DPI_KEY, "/v", "LogPixels", "/f"], capture_output=True)
    else:
        subprocess.run(["wine", "reg", "add", DPI_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(value), "/f"],
                       capture_output=True, check=True)
    return int(old.group(1), 16) if old else None


def template(rc_text, dialog, control):
    """Size of a dialog template and a control's rectangle in it, in dialog units."""
    size = re.search(r"^%s\s+DIALOGEX\s+\d+\s*,\s*\d+\s*,\s*(\d+)\s*,\s*(\d+)" % dialog, rc_text, re.M)
    item = re.search(r"^\s*\w+\s+\"[^\"]*\"\s*,\s*%s\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)" % control,
                     rc_text, re.M)
    return tuple(int(v) for v in size.groups()), tuple(int(v) for v in item.groups())


def button_point(win_rect, dlg_size, ctrl):
    """Screen point in the middle of a control: scale dialog units by the window's
    size, measured from its bottom-right corner so that the caption height and
    frame width, which the scale cannot know, hardly matter."""
    left, top, right, bottom = win_rect
    frame = 3
    sx = (right - left - 2 * frame) / dlg_size[0]
    sy = (bottom - top - 2 * frame - 19) / dlg_size[1]
    x = right - frame - (dlg_size[0] - ctrl[0] - ctrl[2] / 2) * sx
    y = bottom - frame - (dlg_size[1] - ctrl[1] - ctrl[3] / 2) * sy
    return int(x), int(y)


class Shooter:
    def __init__(self, out):
        self.out = out
        win = harness.desktop_window()
        geo = subprocess.run(["xdotool", "getwindowgeometry", "--shell", win],
                             capture_output=True, text=True, check=True).stdout
        vals = dict(line.split("=", 1) for line in geo.split())
        self.origin = (int(vals["X"]), int(vals["Y"]))

    def grab(self, rect, path):
        left, top = max(rect[0], 0), max(rect[1], 0)
        right, bottom = min(rect[2], harness.DESKTOP_SIZE[0]), min(rect[3], harness.DESKTOP_SIZE[1])
        geom = "%dx%d+%d+%d" % (right - left, bottom - top, left + self.origin[0], top + self.origin[1])
        subprocess.run(["import", "-window", "root", "-crop", geom, "+repage", path], check=True, timeout=60)
        return path

    def settled(self, rect, name, timeout=20):
        """The window's picture once its lower half (below an animated logo) stops
        changing between two grabs: painting has finished."""
        left, top, right, bottom = rect
        lower = (left, (top + bottom) // 2, right, bottom)
        with tempfile.TemporaryDirectory() as tmp:
            prev = None
            deadline = time.time() + timeout
            while time.time() < deadline:
                p = self.grab(lower, os.path.join(tmp, "lower.png"))
                with open(p, "rb") as f:
                    cur = f.read()
                if cur == prev:
                    break
                prev = cur
                time.sleep(0.5)
        path = self.grab(rect, os.path.join(self.out, name))
        print("wrote", path)
        return path


def wait_for(what, probe_fn, timeout=30):
    deadline = time.time() + timeout
    while time.time() < deadline:
        got = probe_fn()
        if got:
            return got
        time.sleep(0.25)
    return None


def new_dialog(run, known):
    return [w for w in run.probe.windows("#32770") if w[1] and w[0] not in known]


def shoot_child_dialog(run, shooter, rc_text, control, name):
    """Clicks a main-window button and pictures the dialog it opens, then closes it."""
    main = run.probe.find("Velodusk")
    size, ctrl = template(rc_text, "IDD_MONITORTOOL_DIALOG", control)
    move_to(*button_point(main["rect"], size, ctrl))
    xdo("click", 1)
    got = wait_for(name, lambda: new_dialog(run, {run.dlg}), 20)
    if not got:
        print("skipped %s: no dialog opened from %s (not built in yet?)" % (name, control))
        return False
    hwnd, _, rect = got[0]
    shooter.settled(rect, name)
    run.probe.cmd("post", "%x" % hwnd, "%x" % WM_CLOSE, 0, 0)
    if not wait_for("close", lambda: not new_dialog(run, {run.dlg}), 20):
        raise SystemExit("the %s dialog did not close" % name)
    return True


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--exe", required=True)
    ap.add_argument("--probe", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--dpi", type=int, default=DEFAULT_DPI)
    args = ap.parse_args()
    harness.ARGS = argparse.Namespace(**{k: os.path.abspath(getattr(args, k)) for k in ("exe", "probe", "work")})
    out = os.path.abspath(args.out)
    os.makedirs(harness.ARGS.work, exist_ok=True)
    with open(os.path.join(ROOT, "res", "Velodusk.rc"), encoding="utf-8") as f:
        rc_text = f.read()

    extra = {}
    logo = os.path.join(os.path.dirname(harness.ARGS.exe), "Logo.gif")
    if os.path.exists(logo):
        with open(logo, "rb") as f:
            extra["Logo.gif"] = f.read()
    else:
        print("note: no %s, the main window shows no logo" % logo)

    def named(name):
        return name if args.dpi == DEFAULT_DPI else "%s-%d.png" % (name[:-len(".png")], args.dpi)

    # The system DPI is read when a process starts: set before the exe runs.
    old_dpi = prefix_dpi(args.dpi)
    desk = harness.Desktop()
    desk.open()
    try:
        shoot_chinese(args, rc_text, extra, named, out)
        desk.end_case()
        shoot_english(extra, named, out)
    finally:
        desk.end_case()
        desk.close()
        prefix_dpi(old_dpi)


def shoot_english(extra, named, out):
    """The main window as a user whose language is not Chinese sees it."""
    run = harness.Run("screenshots-en", extra_files=extra)
    try:
        run.start(LC_ALL="en_US.UTF-8")
        run.wait_dialog()
        shooter = Shooter(out)
        harness.show_main_window(run, 60)
        shooter.settled(run.probe.find("Velodusk")["rect"], named("main-window-en.png"))
    finally:
        run.stop()


def shoot_chinese(args, rc_text, extra, named, out):
    run = harness.Run("screenshots", extra_files=extra)
    try:
        run.start()
        run.wait_dialog()
        if not run.wait_calls("Shell_NotifyIconW", 1, 60):
            raise SystemExit("no tray icon")
        shooter = Shooter(out)

        # The tray menu, with the icon it belongs to. The menu's corner comes
        # where the pointer is: clicked near the icon's top left, the menu
        # leaves the icon (16 pixels at 96 DPI, more at higher DPI) in sight.
        tx, ty = harness.TRAY_ICON
        inset = 16 * args.dpi // DEFAULT_DPI // 2 - 3
        move_to(tx - inset, ty - inset)
        xdo("click", 3)
        menu = wait_for("menu", lambda: [m for m in run.probe.windows("#32768") if m[1]], 20)
        if not menu:
            raise SystemExit("no tray menu")
        _, _, (ml, mt, mr, mb) = menu[0]
        # The pointer on "显示主画面", the first of three items, as the user is about to click it.
        move_to((ml + mr) // 2, mt + (mb - mt) // 6)
        pad = 16
        shooter.settled((min(ml, tx) - pad, min(mt, ty) - pad, max(mr, tx) + pad, max(mb, ty) + pad), named("tray-menu.png"))
        xdo("click", 1)
        if not wait_for("main", lambda: run.probe.find("Velodusk")["visible"], 20):
            raise SystemExit("the main window did not show")
        shooter.settled(run.probe.find("Velodusk")["rect"], named("main-window.png"))

        shoot_child_dialog(run, shooter, rc_text, "IDC_SETTINGS", named("settings.png"))
        shoot_child_dialog(run, shooter, rc_text, "IDC_ABOUT", named("about.png"))
    finally:
        run.stop()


if __name__ == "__main__":
    main()
