"""The About box of the real exe: opened by a real click on "关于" and by the system
command, its mail link watched through the screen (colours) and the relay trace
(shell open, beep, fonts), closed by Esc while the program runs on."""
import os
import re
import subprocess

import harness
from harness import E2E, WM_CLOSE, WM_SYSCOMMAND, move_to, xdo

ABOUT_CAPTION = "关于 Velodusk"
IDC_ABOUT, IDC_MAIL_LINK, IDM_ABOUTBOX = (harness.IDS[n] for n in ("IDC_ABOUT", "IDC_MAIL_LINK", "IDM_ABOUTBOX"))
BLUE, RED, PURPLE = (0, 0, 255), (255, 0, 0), (128, 0, 128)
MAILTO_KEY = r"HKCR\mailto\shell\open\command"
# Open/close rounds for the handle balance (about a quarter of a second each here).
CYCLES = 100
WAIT = 30

HERE = os.path.dirname(os.path.abspath(__file__))
RET_RE = re.compile(r"^(?:\d+\.\d+:)?([0-9a-f]+):[0-9a-f]+:Ret\s+(\w+)\.(\w+)\(.*?\) retval=([0-9a-f]+) ret=([0-9a-f]+)")


def about_text(name):
    """A define of link/AboutText.h, the one place the maker's lines are written."""
    with open(os.path.join(HERE, "..", "..", "link", "AboutText.h"), encoding="utf-8") as f:
        return re.search(r'#define %s "([^"]*)"' % name, f.read()).group(1)


def wait_for(what, cond, timeout=WAIT, step=0.2):
    return harness.wait_until(cond, timeout, "timed out waiting for " + what, step)


def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def set_mail_program(command):
    subprocess.run(["wine", "reg", "add", MAILTO_KEY, "/ve", "/t", "REG_SZ", "/d", command, "/f"],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)


def centre(rect):
    return ((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)


class About(E2E):
    def child(self, run, hwnd, ctrl_id):
        r = run.probe.cmd("child", "%x" % hwnd, "%x" % ctrl_id)
        self.assertEqual(r[0], "ok", r)
        return tuple(int(v) for v in r[1:5])

    def ink(self, run, rect, shot="shot.png"):
        """Pixels of RECT (desktop coordinates) on the screen, counted by link colour."""
        path = os.path.join(run.logs, shot)
        subprocess.run(["import", "-window", harness.desktop_window(), path], check=True, timeout=60)
        w, h = rect[2] - rect[0], rect[3] - rect[1]
        out = subprocess.run(["convert", path, "-crop", "%dx%d+%d+%d" % (w, h, rect[0], rect[1]), "+repage",
                              "-depth", "8", "txt:-"], check=True, capture_output=True, text=True).stdout
        counts = {BLUE: 0, RED: 0, PURPLE: 0}
        for m in re.finditer(r"^\d+,\d+: \((\d+),(\d+),(\d+)", out, re.M):
            px = tuple(int(v) for v in m.groups())
            for colour in counts:
                counts[colour] += all(abs(a - b) <= 48 for a, b in zip(px, colour))
        return counts

    def wait_colour(self, run, rect, colour):
        def shown():
            c = self.ink(run, rect)
            return c[colour] > 5 and c[colour] > 2 * (sum(c.values()) - c[colour])
        wait_for("the link in %s" % (colour,), shown)

    def about_box(self, run, present=True):
        def check():
            w = run.probe.find(ABOUT_CAPTION)
            if present:
                return w if w and w["visible"] and w["pid"] == run.pid else None
            return w is None
        return wait_for("the About box to %s" % ("open" if present else "close"), check)

    def shell_opens(self, run):
        """The ShellExecuteW calls of our process, as (verb, file) texts."""
        out = []
        with open(run.trace, "rb") as f:
            for raw in f:
                line = raw.decode("gbk", "replace")
                if ":Call shell32.ShellExecuteW(" in line and ":%04x:" % run.pid in line:
                    out.append(tuple(re.findall(r'"((?:[^"\\]|\\.)*)"', line)[:2]))
        return out

    def font_copies(self, run):
        """(trace line, handle) of each font our code created, in order."""
        out = []
        with open(run.trace, "rb") as f:
            for seq, raw in enumerate(f):
                m = RET_RE.match(raw.decode("latin-1"))
                if m and int(m.group(1), 16) == run.pid and m.group(3) == "CreateFontIndirectW" \
                        and int(m.group(5), 16) < 0x10000000:
                    out.append((seq, int(m.group(4), 16)))
        return out

    def font_balance(self, run):
        """Fonts our code created (every creation, in order), and those not deleted after.
        Walked in trace order: a deleted font's handle value may come back for a later one."""
        events = [(seq, "create", handle) for seq, handle in self.font_copies(run)]
        events += [(c.seq, "delete", c.args[0]) for c in run.calls("DeleteObject")]
        created, live = [], set()
        for _, what, handle in sorted(events):
            if what == "create":
                created.append(handle)
                live.add(handle)
            else:
                live.discard(handle)
        return created, live

    def test_about_box_and_mail_link(self):
        exit_at_once = os.path.join(os.path.dirname(harness.ARGS.probe), "ExitAtOnce.exe")
        saved = os.path.join(harness.ARGS.work, "mailto.reg")
        subprocess.run(["wine", "reg", "export", r"HKCR\mailto", winpath(saved), "/y"], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
        self.addCleanup(subprocess.run, ["wine", "reg", "import", winpath(saved)],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
        set_mail_program('"%s" "%%1"' % winpath(exit_at_once))
        target = about_text("ABOUT_CONTACT_MAILTO")

        run = self.launch("about")
        run.wait_dialog()
        harness.show_main_window(run)

        # A real click on "关于".
        move_to(*centre(self.child(run, run.dlg, IDC_ABOUT)))
        xdo("click", 1)
        about = self.about_box(run)
        link = self.child(run, about["hwnd"], IDC_MAIL_LINK)
        self.wait_colour(run, link, BLUE)
        harness.screenshot(os.path.join(run.logs, "about.png"))

        # Pointer on: red; away (inside the box): blue.
        outside = (about["rect"][0] + 20, about["rect"][3] - 12)
        move_to(*centre(link))
        self.wait_colour(run, link, RED)
        move_to(*outside)
        self.wait_colour(run, link, BLUE)

        # A mail program that opens: the shell gets the mailto target, no beep, purple.
        move_to(*centre(link))
        self.wait_colour(run, link, RED)
        xdo("click", 1)
        wait_for("the shell open", lambda: len(self.shell_opens(run)) == 1)
        self.assertEqual(self.shell_opens(run), [("open", target)])
        self.wait_colour(run, link, PURPLE)
        self.assertEqual(run.calls("MessageBeep"), [])
        move_to(*outside)
        self.wait_colour(run, link, BLUE)

        # A mail program that does not exist: one beep, the link stays red.
        set_mail_program(r'"C:\no\such\mailer.exe" "%1"')
        move_to(*centre(link))
        self.wait_colour(run, link, RED)
        xdo("click", 1)
        beeps = wait_for("the beep", lambda: run.calls("MessageBeep"))
        self.assertEqual([b.args for b in beeps], [[0]])
        self.assertEqual(len(self.shell_opens(run)), 2)
        self.wait_colour(run, link, RED)

        # Esc closes the box; the program runs on; a new box shows the link blue again.
        xdo("key", "Escape")
        self.about_box(run, present=False)
        self.assertIsNotNone(run.probe.find("Velodusk"))
        move_to(*centre(self.child(run, run.dlg, IDC_ABOUT)))
        xdo("click", 1)
        about = self.about_box(run)
        self.wait_colour(run, self.child(run, about["hwnd"], IDC_MAIL_LINK), BLUE)
        self.assertEqual(run.probe.cmd("post", "%x" % about["hwnd"], "%x" % WM_CLOSE, 0, 0), ["ok"])
        self.about_box(run, present=False)

        # The system command opens it too, whatever its low four bits; rounds of it
        # leave no font and no window behind.
        windows_before = len(run.probe.windows("#32770"))
        for i in range(CYCLES):
            command = IDM_ABOUTBOX | (i % 16)
            self.assertEqual(run.probe.cmd("post", "%x" % run.dlg, "%x" % WM_SYSCOMMAND, "%x" % command, 0), ["ok"])
            about = self.about_box(run)
            # The link copies its font when it is first coloured for painting; a box
            # closed before that paints nothing and copies nothing.
            wait_for("the link's font copy", lambda: len(self.font_copies(run)) >= 3 + i)
            self.assertEqual(run.probe.cmd("post", "%x" % about["hwnd"], "%x" % WM_CLOSE, 0, 0), ["ok"])
            self.about_box(run, present=False)
        self.assertEqual(len(run.probe.windows("#32770")), windows_before)
        created, leaked = self.font_balance(run)
        self.assertEqual(len(created), CYCLES + 2, "one font copy per box shown")
        self.assertEqual(leaked, set())
        self.assertLessEqual(len(run.calls("CopyIcon")), 1)
        self.assertIsNotNone(run.probe.find("Velodusk"))


if __name__ == "__main__":
    harness.main()
