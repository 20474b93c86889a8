"""The input block holds where BlockInput is refused (always under Wine): after a
lock-mode-2 action real keys and clicks no longer reach another program's window,
a window of Velodusk's over the whole screen holds the foreground and outlives
another program's attempts to close it, and once Velodusk has ended the other
program has the keys again. A block given minutes (the INI's LockMinutes, the
switch /lock:N) ends by itself, Velodusk still running."""
import os

import harness
from harness import E2E, SC_CLOSE, TARGET_RECT, WM_CLOSE, WM_SYSCOMMAND, bound, move_to, wait_until, xdo

WS_EX_TOPMOST = 0x8
UNHOOK_CALL = "UnhookWindowsHookEx"


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

    def hooks_gone(self, run):
        """The block's own end: the last hook calls of RUN are the two removals, none set
        after them. (Two blocking copies starve each other's hooks, which each then puts
        in again: a removal followed by new hooks is no end.)"""
        calls = [c for c in run.calls() if c.func in (harness.HOOK_CALL, UNHOOK_CALL)]
        return len(calls) >= 4 and [c.func for c in calls[-2:]] == [UNHOOK_CALL] * 2 and calls

    def test_blocks_of_a_minute_end_by_themselves(self):
        # Two copies waited out together: one with LockMinutes in its INI, acting from
        # its button; one with none, handed /lock:1 by a later start. Their hot keys differ.
        ini = harness.Run("minute_ini", {"Lock": 2, "LockMinutes": 1})
        switch = harness.Run("minute_switch", {"Lock": 3, "AccKey": 1})
        self.runs += [ini, switch]
        _, counts = harness.start_target(ini.logs)
        for run in (ini, switch):
            run.start()
            run.wait_dialog()
            run.wait_returns("Shell_NotifyIconW", 1, 30)
        self.poke()
        wait_until(lambda: counts() == (1, 1), 20, "the target's first click and key")

        ini.probe.cmd("click", "%x" % ini.dlg, "%x" % harness.IDS["IDC_TURN_OFF"])
        ini.wait_returns(harness.HOOK_CALL, 2, 30)
        copy = harness.start_on_desktop([switch.exe, "/lock:1"], os.path.join(switch.logs, "copy.log"))
        self.assertEqual(copy.wait(bound(30)), 0)
        switch.wait_returns(harness.HOOK_CALL, 2, 30)
        self.poke()

        for run in (ini, switch):
            calls = wait_until(lambda: self.hooks_gone(run), 90, "the hooks of %s removed" % run.dir)
            self.assertIsNone(run.proc.poll(), "the block ended with the program, not by itself")
            held = calls[-1].ms - calls[0].ms
            # Checked once a second; the deadline counts from just after the hooks went in.
            self.assertTrue(59900 <= held <= 60000 + bound(4) * 1000, "the block held %d ms" % held)
        self.assertEqual(counts(), (1, 1), "input sent during the blocks reached the target")
        # Input is handled in order: once the key has arrived, the click before it has.
        self.poke()
        wait_until(lambda: counts()[0] >= 2, 20, "a key reaching the target again")
        shot = harness.screenshot(ini.logs + "/after.png")
        self.assertEqual(counts(), (2, 2), shot)
        self.assertEqual(ini.calls("MessageBoxW") + switch.calls("MessageBoxW"), [])


if __name__ == "__main__":
    harness.main()
