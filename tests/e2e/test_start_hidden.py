"""Started with no INI file: invisible, defaults in force, F6 and button 1000 act."""
import harness
from harness import E2E, HOTKEY_ID, MOD_NOREPEAT, TIP_PREFIX, move_to, wait_until, xdo


class StartWithoutIni(E2E):
    def test_hidden_defaults_hotkey_and_button(self):
        run = self.launch("no_ini")
        w = run.wait_dialog()
        self.assertFalse(w["visible"], "the dialog must start invisible")

        # Defaults: plain F6, tray icon added, nothing acted at start.
        hk = run.wait_calls("RegisterHotKey", 1, 20)
        self.assertEqual([c.args for c in hk], [[run.dlg, HOTKEY_ID, MOD_NOREPEAT, 0x75]])
        tray = run.wait_calls("Shell_NotifyIconW", 1, 20)
        self.assertEqual([c.args[0] for c in tray], [0], "one NIM_ADD")
        run.wait_ticks(2)
        self.assertEqual(run.actions(), [], "no action without a trigger")
        self.assertFalse(run.probe.find("Velodusk")["visible"])

        # The tip names the hot key; read it back from the task bar's tooltip.
        self.assertEqual(harness.tray_tip(run), TIP_PREFIX + "F6)")

        # A real F6 on the desktop: the lock-mode-0 action.
        move_to(500, 400)
        tick = run.probe.tick()
        xdo("key", "F6")
        acts = run.wait_actions(5, 20)
        self.assertActionShapes(acts, run.dlg, block=True, monitor_off=True, hooks=True)
        self.assertLess(acts[0].ms - tick, 3000, "the sleep starts right after the key")

        # Button 1000 of the main window: the same action again.
        self.assertEqual(run.probe.cmd("click", "%x" % run.dlg, "%x" % harness.IDS["IDC_TURN_OFF"]), ["ok"])
        acts = run.wait_actions(7, 20)
        # The block of the first action still holds: none begins.
        self.assertActionShapes(acts[5:], run.dlg, block=False, monitor_off=True)

        self.assertFalse(run.probe.find("Velodusk")["visible"], "acting does not show the window")
        self.assertEqual(list(run.listing()), ["Velodusk.exe"], "nothing written while running")

        # Exit through WM_CLOSE: the hot key and the icon go, still nothing written.
        run.probe.cmd("post", "%x" % run.dlg, "10", 0, 0)
        self.assertTrue(run.wait_gone(20))
        run.wait_returns("Shell_NotifyIconW", 2, 10)
        self.assertEqual([c.args[:2] for c in run.calls("UnregisterHotKey")], [[run.dlg, HOTKEY_ID]])
        self.assertEqual([c.args[0] for c in run.calls("Shell_NotifyIconW")], [0, 2], "NIM_ADD then NIM_DELETE")
        self.assertEqual(list(run.listing()), ["Velodusk.exe"], "nothing written at exit")
        self.assertEqual(run.calls("WritePrivateProfileStringW"), [])


if __name__ == "__main__":
    harness.main()
