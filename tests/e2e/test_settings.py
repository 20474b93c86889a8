"""The settings dialog, opened as a user does (tray menu, "显示主画面", "设置"),
changed with real clicks and keys, confirmed or cancelled; then the file, the hot
key, the tip, the shortcuts and run-once mode as the program applied them."""
import os
import re
import shutil
import struct
import subprocess

import harness
from harness import E2E, HOTKEY_ID, MOD_NOREPEAT, TIP_PREFIX, move_to, xdo

NIM_MODIFY = 1
MOD_CONTROL, VK_F6, VK_F12 = 2, 0x75, 0x7B
MB_ICONINFORMATION = 0x40
BM_GETCHECK = 0xF0
# Dialog 102's "设置" and the controls of dialog 130 (res/Resource.h).
IDOK = 1
IDC_SETTINGS, IDC_AUTORUN, IDC_RUNRUN, IDC_DESKTOP, IDC_TIMESKM, IDC_TIMESKM_VALUE, IDC_ACCCTRL, IDC_ACCKEY = (
    harness.IDS[n] for n in ("IDC_SETTINGS", "IDC_AUTORUN", "IDC_RUNRUN", "IDC_DESKTOP", "IDC_TIMESKM",
                             "IDC_TIMESKM_VALUE", "IDC_ACCCTRL", "IDC_ACCKEY"))
KEYS = ["AccCtrl", "AccKey", "Lock", "RunRun", "TimeSKM", "TimeSKMValue", "Desktop", "AutoRun"]
DEFAULTS = {"AccCtrl": 0, "AccKey": 0, "Lock": 0, "RunRun": 0, "TimeSKM": 0, "TimeSKMValue": 10,
            "Desktop": 0, "AutoRun": 0}
RUN_ONCE_NOTICE = ("您设定了启动即执行功能，程序将退出。\n\n（下次启动时即执行您选择的功能，\n不会出现画面！\n"
                   "如取消此功能，请将ini文件删除，\n或将里面的RunRun=1删除或改为0）")
PROFILE = os.path.join(os.environ.get("WINEPREFIX", ""), "drive_c", "users", os.environ.get("USER", "root"))
DESKTOP_LNK = os.path.join(PROFILE, "Desktop", "Velodusk.lnk")
PROGRAMS = os.path.join(PROFILE, "AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs")
# The start-up folder as the shell names it on disk; "启动" is where an earlier
# version put the shortcut.
STARTUP_LNK = os.path.join(PROGRAMS, "StartUp", "Velodusk.lnk")
LEGACY_DIR = os.path.join(PROGRAMS, "启动")
# Where the settings go when the folder beside the exe cannot take them.
USER_DIR = os.path.join(PROFILE, "AppData", "Roaming", "Velodusk")
USER_INI = os.path.join(USER_DIR, "Velodusk.ini")
USER_INI_WIN = "C:\\users\\%s\\AppData\\Roaming\\Velodusk\\Velodusk.ini" % os.environ.get("USER", "root")
SAVE_FAILED = "无法保存设置："
LOGO_ID = harness.IDS["IDC_LOGO"]
# A folder name code page 936 cannot spell: through ANSI it turns into "?".
OUTSIDE_CODE_PAGE = "settings_한국어_폴더"


def wait_for(what, probe, timeout=30, step=0.2):
    return harness.wait_until(probe, timeout, "timed out waiting for " + what, step)


def ini_text(values):
    return "[Velodusk]\r\n" + "".join("%s=%d\r\n" % (k, values[k]) for k in KEYS)


def message_boxes(run):
    """(owner, type) of each MessageBoxW of the run; long texts are traced cut short
    ("..."), which the harness's parser skips."""
    out = []
    with open(run.trace, "rb") as f:
        for line in f:
            line = line.decode("latin-1")
            m = re.match(r"^(?:\d+\.\d+:)?([0-9a-f]+):[0-9a-f]+:Call user32\.MessageBoxW\(([0-9a-f]+),.*,([0-9a-f]+)\) ret=", line)
            if m and int(m.group(1), 16) == run.pid:
                out.append((int(m.group(2), 16), int(m.group(3), 16)))
    return out


def lnk_target(path):
    out = subprocess.run(["lnkinfo", path], capture_output=True, text=True, timeout=60).stdout
    fields = {}
    for line in out.splitlines():
        key, sep, value = line.partition(":")
        if sep:
            fields[key.strip()] = value.strip()
    return fields


def lnk_item_path(path):
    """The target as the link's item list names it: the volume, then each entry's long
    name. lnkinfo shows only the entries' code-page names ("?" for what the code page
    lacks); the long name is UTF-16 in the entry's extension block, whose offset is
    the entry's last WORD. Wine (version 0) and XP put it 0x14 bytes into the block."""
    with open(path, "rb") as f:
        data = f.read()
    if not struct.unpack_from("<I", data, 0x14)[0] & 1:  # HasLinkTargetIDList
        return None
    pos = 0x4E
    end = pos + struct.unpack_from("<H", data, 0x4C)[0]
    parts = []
    while pos + 2 < end:
        size = struct.unpack_from("<H", data, pos)[0]
        if size < 3:
            break
        item = data[pos:pos + size]
        kind = item[2] & 0x70
        if kind == 0x20:  # volume: "Z:\"
            parts.append(item[3:].split(b"\0")[0].decode("ascii").rstrip("\\"))
        elif kind == 0x30:  # file or folder
            ext = struct.unpack_from("<H", item, size - 2)[0]
            if 14 < ext < size - 2:
                version = struct.unpack_from("<H", item, ext + 2)[0]
                raw = item[ext + {7: 0x1C, 8: 0x26, 9: 0x2E}.get(version, 0x14):size - 2]
                parts.append(raw[:len(raw) & ~1].decode("utf-16-le").split("\0")[0])
            else:
                parts.append(item[14:].split(b"\0")[0].decode("latin-1"))
        pos += size
    return "\\".join(parts)


class Settings(E2E):
    @classmethod
    def setUpClass(cls):
        # A real desktop folder in the test prefix (a fresh one links to $HOME), and no
        # menu builder writing desktop entries into the home on every save.
        desktop = os.path.dirname(DESKTOP_LNK)
        if os.path.islink(desktop):
            os.remove(desktop)
        os.makedirs(desktop, exist_ok=True)
        os.environ["WINEDLLOVERRIDES"] = os.environ.get("WINEDLLOVERRIDES", "") + ";winemenubuilder.exe=d"
        super().setUpClass()

    def setUp(self):
        super().setUp()
        for p in (DESKTOP_LNK, STARTUP_LNK):
            if os.path.exists(p):
                os.remove(p)
        for d in (LEGACY_DIR, USER_DIR):
            shutil.rmtree(d, ignore_errors=True)

    def unwritable(self, path):
        """Closed to writing, for root too (Wine as root writes read-only files);
        opened again when the case ends, however it ends."""
        subprocess.run(["chattr", "+i", path], check=True)
        self.addCleanup(subprocess.run, ["chattr", "-i", path], check=True)

    # --- driving the program -------------------------------------------------

    def item(self, run, hwnd, ctrl):
        r = run.probe.cmd("item", "%x" % hwnd, "%x" % ctrl)
        self.assertEqual(r[0], "ok", "control %d missing" % ctrl)
        return {"hwnd": int(r[1], 16), "rect": tuple(int(v) for v in r[2:6]), "enabled": r[6] == "1",
                "text": harness.from_hex(r[7]).decode("gbk")}

    def click(self, run, hwnd, ctrl):
        left, top, right, bottom = self.item(run, hwnd, ctrl)["rect"]
        move_to((left + right) // 2, (top + bottom) // 2)
        xdo("click", 1)

    def checked(self, run, hwnd, ctrl):
        return run.probe.cmd("send", "%x" % self.item(run, hwnd, ctrl)["hwnd"], "%x" % BM_GETCHECK, 0, 0)[1] == "1"

    def open_settings(self, run, screenshot=None):
        """Tray menu, "显示主画面", then a real click on "设置": the dialog's handle."""
        run.wait_dialog()
        harness.show_main_window(run)
        self.click(run, run.dlg, IDC_SETTINGS)
        dlg = wait_for("the settings dialog", lambda: (lambda w: w if w and w["visible"] else None)(
            run.probe.find("设置")))
        self.assertEqual(dlg["pid"], run.pid)
        if screenshot:
            harness.screenshot(screenshot)
        return dlg["hwnd"]

    def confirm(self, run, dlg, n=2):
        """A real click on OK; answers once the two shortcut operations of this
        confirmation (the Nth in all) have ended, each with its CoUninitialize."""
        self.click(run, dlg, IDOK)
        self.shortcuts_done(run, n)

    def shortcuts_done(self, run, n=2):
        wait_for("the shortcut operations", lambda: len(run.calls("CoUninitialize")) >= n, 60)

    def tip(self, run):
        return harness.tray_tip(run, 30)

    def ini(self, run):
        with open(os.path.join(run.dir, "Velodusk.ini"), "rb") as f:
            return f.read().decode("ascii")

    # --- cases ---------------------------------------------------------------

    def test_ok_unchanged_without_a_file(self):
        with open(DESKTOP_LNK, "wb") as f:
            f.write(b"stale")
        run = self.launch("settings_ok")
        dlg = self.open_settings(run, screenshot=run.logs + "/dialog130.png")
        # Filled from memory: defaults, F6 selected, minutes 10 and grey.
        self.assertEqual(self.item(run, dlg, IDC_ACCKEY)["text"], "F6")
        minutes = self.item(run, dlg, IDC_TIMESKM_VALUE)
        self.assertEqual((minutes["text"], minutes["enabled"]), ("10", False))
        self.assertTrue(self.item(run, dlg, IDC_AUTORUN)["enabled"])
        before = len(run.calls())
        self.confirm(run, dlg)
        self.assertEqual(self.ini(run), ini_text(DEFAULTS))
        after = [c for c in run.calls()[before:]
                 if c.func in ("UnregisterHotKey", "RegisterHotKey", "Shell_NotifyIconW", "MessageBoxW")]
        self.assertEqual([c.func for c in after], ["UnregisterHotKey", "RegisterHotKey", "Shell_NotifyIconW"], after)
        self.assertEqual(after[0].args, [run.dlg, HOTKEY_ID])
        self.assertEqual(after[1].args, [run.dlg, HOTKEY_ID, MOD_NOREPEAT, VK_F6])
        self.assertEqual(after[2].args[0], NIM_MODIFY)
        self.assertFalse(os.path.exists(DESKTOP_LNK), "an unwanted shortcut is deleted")
        self.assertEqual(self.tip(run), TIP_PREFIX + "F6)")

    def choose_ctrl_f12(self, run, dlg):
        self.click(run, dlg, IDC_ACCCTRL)
        self.click(run, dlg, IDC_ACCKEY)
        xdo("key", "End", "Return")
        wait_for("F12 in the list", lambda: self.item(run, dlg, IDC_ACCKEY)["text"] == "F12")
        self.assertTrue(self.checked(run, dlg, IDC_ACCCTRL))

    def test_ctrl_f12_takes_effect_at_once(self):
        run = self.launch("settings_ctrl_f12", {"Lock": 1})
        # A second name for the INI, as a package manager keeps it across updates:
        # the settings must be written into the file, not into a new one.
        persisted = os.path.join(run.logs, "persisted.ini")
        os.link(os.path.join(run.dir, "Velodusk.ini"), persisted)
        dlg = self.open_settings(run)
        self.choose_ctrl_f12(run, dlg)
        self.confirm(run, dlg)
        self.assertTrue(os.path.samefile(persisted, os.path.join(run.dir, "Velodusk.ini")), "the INI was replaced")
        self.assertEqual([c.args for c in run.calls("RegisterHotKey")][-1], [run.dlg, HOTKEY_ID, MOD_CONTROL | MOD_NOREPEAT, VK_F12])
        self.assertEqual(run.calls("MessageBoxW"), [])
        self.assertEqual(self.ini(run), "[Velodusk]\r\nLock=1\r\n" + "".join(
            "%s=%d\r\n" % (k, v) for k, v in dict(DEFAULTS, AccCtrl=1, AccKey=6).items() if k != "Lock"))
        self.assertEqual(self.tip(run), TIP_PREFIX + "Ctrl + F12)")
        move_to(500, 400)
        xdo("key", "ctrl+F12")
        acts = run.wait_actions(2, 30)
        self.assertActionShapes(acts, run.dlg, block=False, monitor_off=True)

    def test_ctrl_f12_held_elsewhere(self):
        run = harness.Run("settings_conflict", None)
        self.runs.append(run)
        holder, status = harness.hold_hotkey(run.logs, MOD_CONTROL, VK_F12)
        self.addCleanup(holder.wait, 60)
        self.assertEqual(status, "ok")
        run.start()
        try:
            dlg = self.open_settings(run)
            self.choose_ctrl_f12(run, dlg)
            self.click(run, dlg, IDOK)
            box = wait_for("the conflict box", lambda: run.probe.msgbox("提示"))
            self.assertEqual((box["text"], box["count"]), ("热键冲突！", 1))
            run.probe.cmd("post", "%x" % box["hwnd"], "%x" % 0x111, IDOK, 0)
            self.shortcuts_done(run)
            self.assertEqual(len(run.calls("MessageBoxW")), 1)
            self.assertEqual(self.tip(run), TIP_PREFIX + "Ctrl + )")
        finally:
            run.probe.cmd("unhold")

    def test_idle_trigger_without_restart(self):
        run = self.launch("settings_idle", {"Lock": 2})
        dlg = self.open_settings(run)
        self.click(run, dlg, IDC_TIMESKM)
        wait_for("the minutes to be enabled", lambda: self.item(run, dlg, IDC_TIMESKM_VALUE)["enabled"])
        self.click(run, dlg, IDC_TIMESKM_VALUE)
        xdo("key", "End", "BackSpace", "BackSpace", "BackSpace", "1")
        wait_for("minutes 1", lambda: self.item(run, dlg, IDC_TIMESKM_VALUE)["text"] == "1")
        self.confirm(run, dlg)
        self.assertIn("TimeSKM=1\r\nTimeSKMValue=1\r\n", self.ini(run))
        t0 = run.calls("CoUninitialize")[-1].ms
        acts = run.wait_actions(4, 150)
        self.assertActionShapes(acts[:4], run.dlg, block=True, monitor_off=False, hooks=True)
        self.assertGreaterEqual(acts[0].ms - t0, 55000, "acted before a minute of idleness")

    def test_shortcuts_follow_the_boxes(self):
        run = self.launch("settings_lnk")
        dlg = self.open_settings(run)
        self.click(run, dlg, IDC_DESKTOP)
        self.click(run, dlg, IDC_AUTORUN)
        wait_for("both boxes ticked", lambda: self.checked(run, dlg, IDC_DESKTOP) and self.checked(run, dlg, IDC_AUTORUN))
        self.confirm(run, dlg)
        exe = "Z:" + run.exe.replace("/", "\\")
        for p in (DESKTOP_LNK, STARTUP_LNK):
            info = lnk_target(p)
            self.assertEqual(info.get("Local path", "").lower(), exe.lower(), info)
            self.assertEqual(info.get("Description"), "关闭您的显示器，且可以锁定键盘、鼠标的工具", info)
            self.assertNotIn("Working directory", info)
        self.assertIn("Desktop=1\r\nAutoRun=1\r\n", self.ini(run))
        self.assertFalse(os.path.exists(LEGACY_DIR))

        # Opened again: both boxes show the file's values; untick both. A shortcut
        # an earlier version left in "启动" goes with the start-up one.
        os.makedirs(LEGACY_DIR)
        with open(os.path.join(LEGACY_DIR, "Velodusk.lnk"), "wb") as f:
            f.write(b"stale")
        dlg = self.open_settings(run)
        self.assertTrue(self.checked(run, dlg, IDC_DESKTOP) and self.checked(run, dlg, IDC_AUTORUN))
        self.click(run, dlg, IDC_DESKTOP)
        self.click(run, dlg, IDC_AUTORUN)
        wait_for("both boxes clear", lambda: not self.checked(run, dlg, IDC_DESKTOP) and not self.checked(run, dlg, IDC_AUTORUN))
        self.confirm(run, dlg, 4)
        self.assertFalse(os.path.exists(DESKTOP_LNK) or os.path.exists(STARTUP_LNK))
        self.assertEqual(os.listdir(LEGACY_DIR), [])

    def test_run_once_notice_then_exit(self):
        run = self.launch("settings_run_once", {"AutoRun": 1})
        dlg = self.open_settings(run)
        self.assertTrue(self.checked(run, dlg, IDC_AUTORUN))
        self.click(run, dlg, IDC_RUNRUN)
        wait_for("start-up box cleared and grey",
                 lambda: not self.item(run, dlg, IDC_AUTORUN)["enabled"] and not self.checked(run, dlg, IDC_AUTORUN))
        self.click(run, dlg, IDOK)
        box = wait_for("the run-once notice", lambda: run.probe.msgbox("提示"))
        self.assertEqual(box["text"].replace("\r\n", "\n"), RUN_ONCE_NOTICE)
        self.assertTrue(box["icon"])
        self.assertEqual(message_boxes(run), [(run.dlg, MB_ICONINFORMATION)])
        # Only the keys up to RunRun are written while the notice is open.
        self.assertEqual(self.ini(run), "[Velodusk]\r\nAutoRun=1\r\nAccCtrl=0\r\nAccKey=0\r\nLock=0\r\nRunRun=1\r\n")
        # The pointer moves while the notice is open: timer 1 is stopped, nothing ends.
        move_to(300, 300)
        move_to(310, 310)
        t0 = run.probe.tick()
        wait_for("two timer periods", lambda: run.probe.tick() - t0 >= 2500)
        self.assertEqual(run.calls("PostQuitMessage"), [], "timer 1 ran while the notice was open")
        run.probe.cmd("post", "%x" % box["hwnd"], "%x" % 0x111, IDOK, 0)
        self.shortcuts_done(run)
        move_to(600, 500)
        self.assertTrue(run.wait_gone(30), "run-once mode did not end the program after the pointer moved")
        values = dict(DEFAULTS, RunRun=1)
        self.assertEqual(self.ini(run), "[Velodusk]\r\nAutoRun=0\r\n" + "".join(
            "%s=%d\r\n" % (k, values[k]) for k in KEYS if k != "AutoRun"))

    def save_where_the_exe_folder_cannot(self, name, ini=None, folder=False, file=False, user_dir=False):
        """Ctrl+F12 chosen and confirmed with the folder or the INI beside the exe
        closed to writing (and the per-user folder too, with USER_DIR); answers the
        run, stopped, with the listing of its folder unchanged."""
        run = harness.Run(name, ini)
        self.runs.append(run)
        if file:
            self.unwritable(os.path.join(run.dir, "Velodusk.ini"))
        if folder:
            self.unwritable(run.dir)
        if user_dir:
            os.makedirs(USER_DIR)
            self.unwritable(USER_DIR)
        before = run.listing()
        run.start()
        dlg = self.open_settings(run)
        self.choose_ctrl_f12(run, dlg)
        if user_dir:
            self.click(run, dlg, IDOK)
            box = wait_for("the box saying the settings were not saved", lambda: run.probe.msgbox("提示"))
            harness.screenshot(run.logs + "/save-failed.png")
            self.assertTrue(box["text"].startswith(SAVE_FAILED + USER_INI_WIN + "\n"), box["text"])
            self.assertGreater(len(box["text"]), len(SAVE_FAILED + USER_INI_WIN + "\n"), "no reason given")
            self.assertEqual(message_boxes(run), [(run.dlg, 0x10)], "MB_ICONERROR, owned by the main window")
            run.probe.cmd("post", "%x" % box["hwnd"], "%x" % 0x111, IDOK, 0)
            self.shortcuts_done(run)
        else:
            self.confirm(run, dlg)
            self.assertEqual(run.calls("MessageBoxW"), [])
        run.stop()
        self.assertEqual(run.listing(), before)
        return run

    def restarted_hot_key(self, run):
        """The hot key a fresh start in the same folder registers."""
        run.trace = os.path.join(run.logs, "relay-again.log")
        run.pid = run.dlg = None
        run.start()
        run.wait_dialog()
        return run.wait_calls("RegisterHotKey", 1, 30)[0].args

    def test_read_only_folder_saves_per_user(self):
        run = self.save_where_the_exe_folder_cannot("settings_ro_dir", folder=True)
        self.assertEqual(self.restarted_hot_key(run), [run.dlg, HOTKEY_ID, MOD_CONTROL | MOD_NOREPEAT, VK_F12])
        with open(USER_INI, "rb") as f:
            self.assertEqual(f.read().decode("ascii"), ini_text(dict(DEFAULTS, AccCtrl=1, AccKey=6)))

    def test_read_only_ini_saves_per_user(self):
        # Read while no per-user file exists; its lock mode goes over with the rest.
        run = self.save_where_the_exe_folder_cannot("settings_ro_ini", {"Lock": 1}, file=True)
        self.assertEqual(self.restarted_hot_key(run), [run.dlg, HOTKEY_ID, MOD_CONTROL | MOD_NOREPEAT, VK_F12])
        with open(USER_INI, "rb") as f:
            self.assertEqual(f.read().decode("ascii"), ini_text(dict(DEFAULTS, AccCtrl=1, AccKey=6, Lock=1)))

    def test_nowhere_to_save_says_so(self):
        run = self.save_where_the_exe_folder_cannot("settings_ro_all", folder=True, user_dir=True)
        self.assertEqual(os.listdir(USER_DIR), [])
        # Applied all the same for this run: the hot key is the new one.
        self.assertEqual([c.args for c in run.calls("RegisterHotKey")][-1], [run.dlg, HOTKEY_ID, MOD_CONTROL | MOD_NOREPEAT, VK_F12])

    def test_folder_outside_the_code_page(self):
        """The exe in a folder named in Hangul under code page 936: the INI there keeps a
        confirmed hot key across a restart, the logo beside the exe is drawn, the desktop
        shortcut names the exe, and a second start finds the running copy."""
        run = self.launch(OUTSIDE_CODE_PAGE)
        run.wait_dialog()
        dlg = self.open_settings(run)
        self.choose_ctrl_f12(run, dlg)
        self.click(run, dlg, IDC_DESKTOP)
        wait_for("the desktop box ticked", lambda: self.checked(run, dlg, IDC_DESKTOP))
        self.confirm(run, dlg)
        self.assertEqual(run.calls("MessageBoxW"), [])
        self.assertEqual(self.ini(run), ini_text(dict(DEFAULTS, AccCtrl=1, AccKey=6, Desktop=1)))
        self.assertFalse(os.path.exists(USER_INI))
        self.assertEqual(lnk_item_path(DESKTOP_LNK), "Z:" + run.exe.replace("/", "\\"))

        # The logo joins for the restart: under qemu-user, Wine's shell link code saving
        # while the animation thread runs has crashed the emulator (an illegal
        # instruction in shell32 on the other thread), which no Windows does.
        run.stop()
        shutil.copy(os.path.join(os.path.dirname(harness.ARGS.exe), "Logo.gif"), run.dir)
        self.assertEqual(self.restarted_hot_key(run), [run.dlg, HOTKEY_ID, MOD_CONTROL | MOD_NOREPEAT, VK_F12])
        harness.show_main_window(run)
        rect, visible = harness.child_rect(run, LOGO_ID)
        self.assertTrue(visible)
        pixels = harness.wait_until(lambda: (lambda px: px if len(set(px[i:i + 3] for i in range(0, len(px), 3))) > 3
                                             else None)(harness.grab(rect)), 30, "the logo to be drawn")
        self.assertGreater(len(pixels), 0)
        harness.screenshot(run.logs + "/logo-outside-code-page.png")
        run.probe.cmd("post", "%x" % run.dlg, "%x" % harness.WM_SYSCOMMAND, "%x" % harness.SC_CLOSE, 0)
        wait_for("the window hidden by its close box", lambda: not run.probe.find("Velodusk")["visible"])
        log = os.path.join(run.logs, "second.log")
        second = harness.start_on_desktop([run.exe], log, harness.relay_env())
        self.assertEqual(second.wait(harness.bound(30)), 0)
        self.assertNotIn("Shell_NotifyIconW", [c.func for c in harness.parse_relay(log)], "a second icon")
        wait_for("the running copy's window to show", lambda: run.probe.find("Velodusk")["visible"])
        self.assertEqual(run.probe.find("Velodusk")["hwnd"], run.dlg)

    def test_per_user_file_is_the_one_in_force(self):
        """With a per-user file and none beside a writable exe folder, the per-user
        settings hold and OK writes them back there, creating nothing beside the exe."""
        os.makedirs(USER_DIR)
        with open(USER_INI, "wb") as f:
            f.write(ini_text(dict(DEFAULTS, AccCtrl=1, AccKey=6, Lock=1)).encode("ascii"))
        run = self.launch("settings_per_user")
        run.wait_dialog()
        self.assertEqual(run.wait_calls("RegisterHotKey", 1, 30)[0].args, [run.dlg, HOTKEY_ID, MOD_CONTROL | MOD_NOREPEAT, VK_F12])
        before = run.listing()
        dlg = self.open_settings(run)
        self.assertEqual(self.item(run, dlg, IDC_ACCKEY)["text"], "F12")
        self.click(run, dlg, IDC_TIMESKM)
        wait_for("the idle box ticked", lambda: self.checked(run, dlg, IDC_TIMESKM))
        self.confirm(run, dlg)
        self.assertEqual(run.calls("MessageBoxW"), [])
        with open(USER_INI, "rb") as f:
            self.assertEqual(f.read().decode("ascii"), ini_text(dict(DEFAULTS, AccCtrl=1, AccKey=6, Lock=1, TimeSKM=1)))
        self.assertEqual(run.listing(), before, "a file beside the exe")

    def test_escape_changes_nothing(self):
        ini = ini_text(dict(DEFAULTS, Desktop=1))
        with open(DESKTOP_LNK, "wb") as f:
            f.write(b"kept")
        run = self.launch("settings_esc", ini)
        dlg = self.open_settings(run)
        self.choose_ctrl_f12(run, dlg)
        self.click(run, dlg, IDC_DESKTOP)
        before = len(run.calls())
        xdo("key", "Escape")
        wait_for("the settings dialog to close", lambda: run.probe.find("设置") is None)
        # Proof of time passing: the main window answers after the dialog has gone.
        self.assertEqual(run.probe.cmd("send", "%x" % run.dlg, "0", 0, 0)[0], "ok")
        self.assertEqual([c.func for c in run.calls()[before:] if c.func in (
            "UnregisterHotKey", "RegisterHotKey", "Shell_NotifyIconW", "WritePrivateProfileStringW",
            "CoUninitialize", "DeleteFileW")], [])
        self.assertEqual(self.ini(run), ini)
        with open(DESKTOP_LNK, "rb") as f:
            self.assertEqual(f.read(), b"kept")
        self.assertEqual(self.tip(run), TIP_PREFIX + "F6)")


if __name__ == "__main__":
    harness.main()
