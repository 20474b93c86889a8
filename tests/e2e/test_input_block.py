"""The input block holds where BlockInput is refused (always under Wine): after a
lock-mode-2 action real keys and clicks no longer reach another program's window,
a window of Velodusk's over the whole screen holds the foreground, and once
Velodusk has ended the other program has the keys again."""
import harness
from harness import E2E, TARGET_RECT, move_to, wait_until, xdo

WM_CLOSE = 0x10
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
        run.wait_returns("Shell_NotifyIconA", 1, 30)
        self.poke()
        wait_until(lambda: counts() == (1, 1), 20, "the target's first click and key")

        xdo("key", "F6")
        acts = run.wait_actions(4, 30)
        self.assertActionShapes(acts, run.dlg, block=True, monitor_off=False, hooks=True)
        run.wait_returns("SetWindowsHookExA", 2, 30)
        fg = wait_until(lambda: (lambda f: f if f and f["pid"] == run.pid else None)(run.probe.foreground()), 20,
                        "a window of Velodusk's in the foreground")
        self.assertTrue(fg["exstyle"] & WS_EX_TOPMOST, fg)
        self.assertEqual(fg["rect"], (0, 0) + harness.DESKTOP_SIZE, fg)
        harness.screenshot(run.logs + "/blocked.png")
        self.poke()
        # A second action while blocked adds no second set of hooks.
        run.probe.cmd("click", "%x" % run.dlg, "%x" % harness.IDS["IDC_TURN_OFF"])
        acts = run.wait_actions(6, 30)
        self.assertActionShapes(acts[4:], run.dlg, block=True, monitor_off=False)

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


if __name__ == "__main__":
    harness.main()
