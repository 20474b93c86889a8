"""The tray icon and its menu, driven by real clicks on the task bar of Wine's
virtual desktop; the menu's own key handling picks the items."""
import harness
from harness import E2E, SC_CLOSE, WM_SYSCOMMAND, move_to, wait_until, xdo

WM_KEYDOWN = 0x100
VK_RETURN, VK_ESCAPE, VK_UP, VK_DOWN = 0x0D, 0x1B, 0x26, 0x28


class Tray(E2E):
    def open_menu(self, run):
        move_to(*harness.TRAY_ICON)
        xdo("click", 3)
        return wait_until(lambda: [m for m in run.probe.windows("#32768") if m[1]], 10,
                          "a pop-up menu after a right-click on the icon")[0]

    def pick(self, run, menu, *keys):
        # The menu's loop takes the posted keys in order.
        tracked = len(run.calls("TrackPopupMenu"))
        for k in keys:
            self.assertEqual(run.probe.cmd("post", "%x" % menu[0], "%x" % WM_KEYDOWN, "%x" % k, 0), ["ok"])
        run.wait_returns("TrackPopupMenu", tracked, 10)
        wait_until(lambda: not [m for m in run.probe.windows("#32768") if m[1]], 5, "the menu closing")

    def visible(self, run):
        return run.probe.find("Velodusk")["visible"]

    def wait_visible(self, run, visible, what):
        wait_until(lambda: self.visible(run) == visible, 10, what)

    def test_icon_menu_and_window(self):
        # Lock mode 1: a block (modes 0 and 2) would swallow the clicks that follow.
        run = self.launch("tray", {"Lock": 1})
        run.wait_dialog()
        run.wait_returns("Shell_NotifyIconW", 1, 20)

        # Double-click: the action (lock mode 1: the monitor only).
        move_to(*harness.TRAY_ICON)
        xdo("click", "--repeat", 2, "--delay", 80, 1)
        acts = run.wait_actions(2, 20)
        self.assertActionShapes(acts, run.dlg, block=False, monitor_off=True)

        # Right-click shows the menu; Esc dismisses it and nothing happens.
        menu = self.open_menu(run)
        shot = harness.screenshot(run.logs + "/menu.png")
        self.assertEqual(len(run.calls("TrackPopupMenu")), 1, shot)
        self.assertEqual(run.calls("TrackPopupMenu")[0].args[1], 0x188)
        self.pick(run, menu, VK_ESCAPE)
        run.wait_ticks(1)
        self.assertEqual(len(run.actions()), len(acts))
        self.assertFalse(self.visible(run))

        # "关闭显示器" (second item) acts.
        self.pick(run, self.open_menu(run), VK_DOWN, VK_DOWN, VK_RETURN)
        acts = run.wait_actions(4, 20)
        self.assertActionShapes(acts[2:], run.dlg, block=False, monitor_off=True)

        # "显示主画面" shows the window; the close box hides it; again and again.
        for i in range(3):
            self.pick(run, self.open_menu(run), VK_DOWN, VK_RETURN)
            self.wait_visible(run, True, "round %d: shown" % i)
            if i == 0:
                harness.screenshot(run.logs + "/main.png")
            run.probe.cmd("post", "%x" % run.dlg, "%x" % WM_SYSCOMMAND, "%x" % SC_CLOSE, 0)
            self.wait_visible(run, False, "round %d: hidden by the close box" % i)
            self.assertIsNotNone(run.probe.find("Velodusk"), "the close box must not end the program")

        # "退出" (last item) ends the program and removes the icon.
        self.pick(run, self.open_menu(run), VK_UP, VK_RETURN)
        self.assertTrue(run.wait_gone(20))
        self.assertEqual([c.args[0] for c in run.calls("Shell_NotifyIconW")], [0, 2])
        self.assertEqual(len(run.actions()), 4, "leaving performs no action")

    def test_escape_while_visible_ends(self):
        run = self.launch("tray_esc")
        run.wait_dialog()
        run.wait_returns("Shell_NotifyIconW", 1, 20)
        self.pick(run, self.open_menu(run), VK_DOWN, VK_RETURN)
        self.wait_visible(run, True, "shown")
        w = run.probe.find("Velodusk")
        left, top, right, _ = w["rect"]
        # A real click on the caption gives the window the keyboard, then a real Esc.
        move_to((left + right) // 2, top + 8)
        def clicks():
            return len(run.messages("WM_NCLBUTTONDOWN", "Ret", proc="window"))
        before = clicks()
        xdo("click", 1)
        wait_until(lambda: clicks() > before, 10, "the caption click handled")
        xdo("key", "Escape")
        self.assertTrue(run.wait_gone(20), "Esc on the visible window must end the program")
        self.assertEqual(run.actions(), [])

    def test_menu_in_the_foreground_closes_on_a_click_elsewhere(self):
        run = self.launch("tray_elsewhere", {"Lock": 1})
        run.wait_dialog()
        run.wait_returns("Shell_NotifyIconW", 1, 20)
        self.open_menu(run)
        # A click on the empty desktop closes the menu and picks nothing.
        move_to(300, 200)
        xdo("click", 1)
        run.wait_returns("TrackPopupMenu", 1, 10)
        wait_until(lambda: not [m for m in run.probe.windows("#32768") if m[1]], 5, "the menu closing")
        run.wait_ticks(1)
        self.assertEqual(run.actions(), [])
        self.assertFalse(self.visible(run))
        # The owner comes to the foreground before the menu; a null message follows it.
        calls = [c for c in run.calls() if c.func in ("SetForegroundWindow", "TrackPopupMenu")
                 or (c.func == "PostMessageW" and c.args[1] == 0)]
        self.assertEqual([(c.func, c.args[0] if c.func != "TrackPopupMenu" else c.args[5]) for c in calls],
                         [("SetForegroundWindow", run.dlg), ("TrackPopupMenu", run.dlg), ("PostMessageW", run.dlg)])

    def test_icon_again_after_the_shell_restarts(self):
        run = self.launch("tray_again", {"AccKey": 2})
        run.wait_dialog()
        run.wait_returns("Shell_NotifyIconW", 1, 20)
        # The shell loses the icon, then announces itself to every top-level window.
        self.assertEqual(run.probe.cmd("untray", "%x" % run.dlg, "%x" % harness.IDS["ID_TRAY_ICON"]), ["ok"])
        msg = run.probe.cmd("register", harness.gbk_hex("TaskbarCreated"))[1]
        self.assertEqual(run.probe.cmd("post", "ffff", msg, 0, 0), ["ok"])
        run.wait_returns("Shell_NotifyIconW", 2, 20)
        self.assertEqual([c.args[0] for c in run.calls("Shell_NotifyIconW")], [0, 0], "NIM_ADD again")
        move_to(harness.TRAY_ICON[0] - 3, harness.TRAY_ICON[1] - 2)
        tips = wait_until(lambda: [t for _, vis, t in run.probe.tooltips() if t.startswith(harness.TIP_PREFIX)], 10,
                          "the tray icon's tooltip")
        self.assertEqual(tips[:1], [harness.TIP_PREFIX + "F8)"])


if __name__ == "__main__":
    harness.main()
