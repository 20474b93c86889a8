"""The input block holds where BlockInput is refused (always under Wine): after a
lock-mode-2 action real keys and clicks no longer reach another program's window,
and they reach it again once Velodusk has ended."""
import harness
from harness import E2E, TARGET_RECT, move_to, wait_until, xdo

WM_CLOSE = 0x10


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
        run.wait_returns("SetWindowsHookExA", 2, 30)
        self.poke()
        # A second action while blocked adds no second set of hooks.
        run.probe.cmd("click", "%x" % run.dlg, "%x" % harness.IDS["IDC_TURN_OFF"])
        acts = run.wait_actions(6, 30)
        self.assertActionShapes(acts[4:], run.dlg, block=True, monitor_off=False)

        run.probe.cmd("post", "%x" % run.dlg, "%x" % WM_CLOSE, 0, 0)
        self.assertTrue(run.wait_gone(30))
        # Input is handled in order: once the later click and key have arrived, the
        # blocked ones would have arrived before them.
        self.poke()
        wait_until(lambda: counts() == (2, 2) or counts() == (3, 3), 20, "input reaching the target again")
        shot = harness.screenshot(run.logs + "/after.png")
        self.assertEqual(counts(), (2, 2), "input sent during the block reached the target: " + shot)


if __name__ == "__main__":
    harness.main()
