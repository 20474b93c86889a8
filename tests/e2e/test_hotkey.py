"""The global hot key from the settings, the tip that names it, and the
conflict box when another program holds the combination."""
import harness
from harness import E2E, HOTKEY_ID, MOD_NOREPEAT, TIP_PREFIX, move_to, wait_until, xdo

IDOK = 1
WM_COMMAND = 0x111


class HotKey(E2E):
    def test_ctrl_f12(self):
        run = self.launch("ctrl_f12", {"AccCtrl": 1, "AccKey": 6, "Lock": 1})
        run.wait_dialog()
        hk = run.wait_calls("RegisterHotKey", 1, 20)
        self.assertEqual([c.args for c in hk], [[run.dlg, HOTKEY_ID, MOD_NOREPEAT | 2, 0x7B]])
        self.assertEqual(harness.tray_tip(run), TIP_PREFIX + "Ctrl + F12)")
        move_to(500, 400)
        # Without Ctrl the key is not ours. The keys reach the program in order,
        # and the tick after the Ctrl+F12 action shows nothing else was queued.
        xdo("key", "F12")
        xdo("key", "ctrl+F12")
        acts = run.wait_actions(2, 20)
        self.assertActionShapes(acts, run.dlg, block=False, monitor_off=True)
        vk_f12, mod_control = 0x7B, 2
        self.assertEqual([(m.wp, m.lp) for m in run.messages("WM_HOTKEY", "Call")],
                         [(HOTKEY_ID, vk_f12 << 16 | mod_control)], "one hot key: Ctrl+F12")

    def test_key_index_out_of_range(self):
        # Index 9 is F15: registered all the same, but the tip names no key.
        run = self.launch("f15", {"AccKey": 9})
        run.wait_dialog()
        hk = run.wait_calls("RegisterHotKey", 1, 20)
        self.assertEqual([c.args for c in hk], [[run.dlg, HOTKEY_ID, MOD_NOREPEAT, 0x7E]])
        self.assertEqual(harness.tray_tip(run), TIP_PREFIX + ")")
        self.assertIsNone(run.probe.msgbox("提示"), "a registered key is no conflict")

    def check_conflict(self, name, ini, mod, vk, tip):
        run = harness.Run(name, ini)
        self.runs.append(run)
        holder, status = harness.hold_hotkey(run.logs, mod, vk)
        try:
            self.assertEqual(status, "ok", "the other program could not take the key")
            run.start()
            box = wait_until(lambda: run.probe.msgbox("提示"), 30, "the conflict box")
            self.assertEqual(box["text"], "热键冲突！")
            self.assertTrue(box["icon"], "the box shows an icon")
            self.assertEqual(box["count"], 1, "exactly one box")
            shot = harness.screenshot(run.logs + "/conflict.png")
            boxes = run.calls("MessageBoxW")
            self.assertEqual(len(boxes), 1, shot)
            self.assertEqual(boxes[0].args[3], 0x10, "MB_ICONERROR | MB_OK")
            run.probe.cmd("post", "%x" % box["hwnd"], "%x" % WM_COMMAND, IDOK, 0)
            run.wait_dialog()
            self.assertEqual(boxes[0].args[0], run.dlg, "owned by the main dialog")
            self.assertEqual(harness.tray_tip(run), tip)
            self.assertIsNone(run.probe.msgbox("提示"), "no second box")
            self.assertIsNotNone(run.probe.find("Velodusk"), "runs on without a hot key")
        finally:
            if run.probe:
                run.probe.cmd("unhold")
            # The launcher is the desktop's explorer: it ends with the desktop.
            self.addCleanup(holder.wait, 60)

    def test_conflict_plain(self):
        self.check_conflict("conflict_plain", None, 0, 0x75, TIP_PREFIX + ")")

    def test_conflict_ctrl(self):
        self.check_conflict("conflict_ctrl", {"AccCtrl": 1, "AccKey": 2}, 2, 0x77, TIP_PREFIX + "Ctrl + )")


if __name__ == "__main__":
    harness.main()
