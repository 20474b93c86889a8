"""The logo: Logo.gif beside the exe shows in the main window's logo area at the
picture's size and animates; closing during a long frame wait ends at once; a
junk Logo.gif leaves the area empty and the program working."""
import os
import re
import struct
import subprocess
import sys
import time

import harness
from harness import E2E, WM_CLOSE

LOGO_ID = harness.IDS["IDC_LOGO"]
BUTTON_TURN_OFF = harness.IDS["IDC_TURN_OFF"]
MAKE_LOGO = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "make-logo.py")
STOP_WAIT_MS = 5000
# Both ends of every traced call, with the thread: Stop's wait on the worker
# and the worker's frame wait are told apart by their timeouts.
WAIT_RE = re.compile(r"^(\d+)\.(\d+):([0-9a-f]+):([0-9a-f]+):(Call|Ret)\s+\w+\.WaitForSingleObject\((.*?)\)"
                     r"(?: retval=([0-9a-f]+))?")


def waits(trace, pid):
    """(ms, tid, 'Call'|'Ret', args or retval) of each WaitForSingleObject of PID."""
    out = []
    with open(trace, "rb") as f:
        for raw in f:
            m = WAIT_RE.match(raw.decode("latin-1"))
            if m and int(m.group(3), 16) == pid:
                ms = int(m.group(1)) * 1000 + int(m.group(2))
                val = [int(a, 16) for a in m.group(6).split(",")] if m.group(5) == "Call" else int(m.group(7), 16)
                out.append((ms, int(m.group(4), 16), m.group(5), val))
    return out


def colours(rgb):
    return set(rgb[i:i + 3] for i in range(0, len(rgb), 3))


def grab_until(rect, done, timeout=30):
    """Grabs RECT until DONE(pixels) holds (the window has painted) or TIMEOUT passes."""
    deadline = time.time() + timeout
    pixels = harness.grab(rect)
    while not done(pixels) and time.time() < deadline:
        pixels = harness.grab(rect)
    return pixels


def ended_after(calls, tid, since):
    """The time of the first return on TID after SINCE."""
    return next((ms for ms, t, kind, _ in calls if t == tid and kind == "Ret" and ms >= since), None)


class Logo(E2E):
    def built_logo(self):
        with open(os.path.join(os.path.dirname(harness.ARGS.exe), "Logo.gif"), "rb") as f:
            return f.read()

    def test_animates_at_its_size(self):
        logo = self.built_logo()
        width, height = struct.unpack("<HH", logo[6:10])
        run = self.launch("logo", extra_files={"Logo.gif": logo})
        run.wait_dialog()
        harness.show_main_window(run)
        rect, visible = harness.child_rect(run, LOGO_ID)
        self.assertTrue(visible)
        self.assertEqual((rect[2] - rect[0], rect[3] - rect[1]), (width, height), "sized to the logical screen")

        first = grab_until(rect, lambda px: len(colours(px)) > 3)
        self.assertEqual(len(first), width * height * 3)
        self.assertGreater(len(colours(first)), 3, "the picture is drawn")
        later = grab_until(rect, lambda px: px != first)
        shot = harness.screenshot(run.logs + "/logo.png")
        self.assertNotEqual(later, first, "the logo never changed: " + shot)

    def test_closing_during_a_long_frame_wait_ends_at_once(self):
        slow = subprocess.run([sys.executable, MAKE_LOGO, "-", "--delay", "3000"], capture_output=True,
                              check=True).stdout
        run = self.launch("logo_slow", extra_files={"Logo.gif": slow})
        run.wait_dialog()
        deadline, frame_wait = time.time() + 30, None
        while frame_wait is None and time.time() < deadline:
            frame_wait = next((c for c in waits(run.trace, run.pid) if c[2] == "Call" and c[3][1] == 30000), None)
            time.sleep(0.2)
        self.assertIsNotNone(frame_wait, "the worker never began its 30 s frame wait")

        run.probe.cmd("post", "%x" % run.dlg, "%x" % WM_CLOSE, 0, 0)
        self.assertTrue(run.wait_gone(60))
        # The dialog's destruction starts with its hot key going; the worker's
        # frame wait must end right then, not 30 s after it began.
        closing = run.calls("UnregisterHotKey")[0].ms
        calls = waits(run.trace, run.pid)
        woke = ended_after(calls, frame_wait[1], frame_wait[0])
        self.assertIsNotNone(woke, "the frame wait never ended")
        # Stop waits on the worker only when it takes the thread's handle
        # before the worker's own end does; either way the wait is short.
        stop = next((c for c in calls if c[2] == "Call" and c[3][1] == STOP_WAIT_MS), None)
        stopped = ended_after(calls, stop[1], stop[0]) if stop else woke
        print("frame wait ended %d ms after the close began; Stop waited %s ms"
              % (woke - closing, stopped - stop[0] if stop else "no"))
        # Within 100 ms on a real machine; a wait left to run would take 30 s,
        # one that ran out of Stop's patience 5 s.
        self.assertLess(woke - closing, 1000)
        self.assertLess(stopped - closing, 1000)

    def test_junk_logo_leaves_the_area_empty_and_the_program_working(self):
        run = self.launch("logo_junk", extra_files={"Logo.gif": b"GIF89a" + bytes(range(256)) * 3})
        run.wait_dialog()
        self.assertEqual([c.args[0] for c in run.wait_calls("Shell_NotifyIconW", 1, 20)], [0], "tray icon added")
        w = harness.show_main_window(run)
        # Painted once its buttons and group box show; a corner of the client
        # area then gives the dialog's background.
        grab_until(w["rect"], lambda px: len(colours(px)) > 10)
        left, _, _, bottom = w["rect"]
        background = harness.grab((left + 5, bottom - 6, left + 6, bottom - 5))
        rect, _ = harness.child_rect(run, LOGO_ID)
        shot = harness.screenshot(run.logs + "/logo-junk.png")
        self.assertEqual(colours(harness.grab(rect)), {background}, "not even the static's black frame: " + shot)

        self.assertEqual(run.probe.cmd("click", "%x" % run.dlg, "%x" % BUTTON_TURN_OFF), ["ok"])
        self.assertActionShapes(run.wait_actions(5, 20), run.dlg, block=True, monitor_off=True, hooks=True)


if __name__ == "__main__":
    harness.main()
