"""The input block holds where BlockInput is refused (always under Wine): after a
lock-mode-2 action real keys and clicks no longer reach another program's window,
a window of Velodusk's over the whole screen holds the foreground and outlives
another program's attempts to close it, and once Velodusk has ended the other
program has the keys again."""
import harness
from harness import E2E, SC_CLOSE, TARGET_RECT, WM_CLOSE, WM_SYSCOMMAND, move_to, wait_until, xdo

WS_EX_TOPMOST = 0x8


class InputBlock(E2E):
    def poke(self):
        """One real click on the target window, then one real key A."""
        move_to((TARGET_RECT[0] + TARGET_RECT[2]) // 2, (TARGET_RECT[1] + TARGET_RECT[3]) // 2)
        xdo("click", 1)
        xdo("key", "a")

    def test_keys_and_clicks_stop_reaching_another_window(self):
        run = harness.Run("input_block", {"Lock": 2})
        self.runs.append(run)
        _, counts = harness.start_target(run.logs)
        run.start()
        run.wait_dialog()
        run.wait_returns("Shell_NotifyIconW", 1, 30)
        self.poke()
        wait_until(lambda: counts() == (1, 1), 20, "the target's first click and key")

        xdo("key", "F6")
        acts = run.wait_actions(4, 30)
        self.assertActionShapes(acts, run.dlg, block=True, monitor_off=False, hooks=True)
        run.wait_returns(harness.HOOK_CALL, 2, 30)
        fg = wait_until(lambda: (lambda f: f if f and f["pid"] == run.pid else None)(run.probe.foreground()), 20,
                        "a window of Velodusk's in the foreground")
        self.assertTrue(fg["exstyle"] & WS_EX_TOPMOST, fg)
        self.assertEqual(fg["rect"], (0, 0) + harness.DESKTOP_SIZE, fg)
        harness.screenshot(run.logs + "/blocked.png")
        self.poke()

        # Another program closes the window, as a user would close one.
        for msg, wp, name in ((WM_CLOSE, 0, "WM_CLOSE"), (WM_SYSCOMMAND, SC_CLOSE, "WM_SYSCOMMAND")):
            run.probe.cmd("post", "%x" % fg["hwnd"], "%x" % msg, "%x" % wp, 0)
            wait_until(lambda: [m for m in harness.parse_messages(run.trace) if m.pid == run.pid and m.phase == "Ret"
                                and m.hwnd == fg["hwnd"] and m.msg == name and m.wp == wp], 20,
                       "the window handling %s %x" % (name, wp))
            self.assertEqual(run.probe.foreground(), fg, "after %s %x the window is gone or not in front" % (name, wp))
        self.poke()

        # A second action while blocked begins no second block.
        run.probe.cmd("click", "%x" % run.dlg, "%x" % harness.IDS["IDC_TURN_OFF"])
        acts = run.wait_actions(5, 30)
        self.assertActionShapes(acts[4:], run.dlg, block=False, monitor_off=False)

        run.probe.cmd("post", "%x" % run.dlg, "%x" % WM_CLOSE, 0, 0)
        self.assertTrue(run.wait_gone(30))
        # The key alone first: it reaches the target only if the target has the
        # foreground back. Input is handled in order: once the later key has arrived,
        # the blocked input would have arrived before it.
        xdo("key", "a")
        wait_until(lambda: counts()[0] >= 2, 20, "a key reaching the target again")
        self.poke()
        wait_until(lambda: counts() == (3, 2) or counts() == (4, 3), 20, "input reaching the target again")
        shot = harness.screenshot(run.logs + "/after.png")
        self.assertEqual(counts(), (3, 2), "input sent during the block reached the target: " + shot)
        self.assertEqual(run.calls("MessageBoxW"), [], "a block that held was told as refused")


if __name__ == "__main__":
    harness.main()
