"""A held hot key: the action waits for its release and comes once, however long
the key's auto-repeat runs; a tap acts as before. After the off, only the user
coming back counts: a pointer that drifts by a pixel or two is held back."""
import time

import harness
from harness import E2E, HOOK_CALL, WM_SYSCOMMAND, move_to, wait_until, xdo

WM_MOUSEMOVE = 0x200


def hold(run, key, seconds, pressed, what):
    """KEY held down for SECONDS once PRESSED shows the program got it; the probe's
    tick just before the release."""
    xdo("keydown", key)
    try:
        wait_until(pressed, 20, what)
        # The hold itself is the input under test, not a wait for something.
        time.sleep(seconds)
        return run.probe.tick()
    finally:
        xdo("keyup", key)


class Release(E2E):
    def test_f6_held_three_seconds(self):
        move_to(500, 400)
        run = self.launch("release_f6", {"Lock": 1})
        run.wait_dialog()
        run.wait_returns("Shell_NotifyIconW", 1, 30)
        move_to(500, 400)

        def power_offs():
            return [c for c in run.actions() if c.func == harness.MONITOR_OFF_CALL and c.args[1] == WM_SYSCOMMAND]

        released = hold(run, "F6", 3, lambda: run.messages("WM_HOTKEY", "Call"), "the hot key while held")
        offs = run.wait_actions(2, 30) and power_offs()
        self.assertTrue(offs, "no power-off after the release")
        early = [c.ms - released for c in offs if c.ms < released]
        self.assertEqual(early, [], "power-offs while F6 was held (ms before the release)")
        acts = run.wait_actions(2, 30)
        self.assertEqual(len(run.actions()), 2, "one action for one press: %r" % run.actions())
        self.assertActionShapes(acts, run.dlg, block=False, monitor_off=True)
        self.assertGreater(len(run.messages("WM_HOTKEY", "Call")), 1, "the key repeated while held")

        xdo("key", "F6")
        acts = run.wait_actions(4, 30)
        self.assertActionShapes(acts[2:], run.dlg, block=False, monitor_off=True)

    def test_enter_held_on_the_focused_button(self):
        move_to(500, 400)
        run = self.launch("release_enter", {"Lock": 1})
        run.wait_dialog()
        left, top, right, bottom = harness.show_main_window(run)["rect"]
        # A click on the window's bare edge makes it active; a round of Tab through the
        # three buttons brings the focus back to the action button as the dialog
        # manager moves it, which makes a focused button the one Enter presses.
        move_to(left + 4, (top + bottom) // 2)
        xdo("click", 1)
        wait_until(lambda: (run.probe.foreground() or {}).get("hwnd") == run.dlg, 20, "the main window active")
        xdo("key", "Tab", "Tab", "Tab")
        released = hold(run, "Return", 2, lambda: [m for m in run.messages("WM_COMMAND", "Call", proc="window")
                                                   if m.wp == harness.IDS["IDC_TURN_OFF"]],
                        "the button's click while Enter is down")
        acts = run.wait_actions(2, 30)
        self.assertActionShapes(acts, run.dlg, block=False, monitor_off=True)
        self.assertEqual([c.ms - released for c in acts if c.ms < released], [],
                         "acted while Enter was held (ms before the release)")

    def test_exit_chosen_while_f6_is_held(self):
        move_to(500, 400)
        run = self.launch("release_exit", {"Lock": 1})
        run.wait_dialog()
        run.wait_returns("Shell_NotifyIconW", 1, 30)
        xdo("keydown", "F6")
        try:
            wait_until(lambda: run.messages("WM_HOTKEY", "Call"), 20, "the hot key while held")
            left, _, right, bottom = harness.open_tray_menu(run, 20)[2]
            # "退出", the last item.
            move_to((left + right) // 2, bottom - 10)
            xdo("click", 1)
            gone = run.wait_gone(20)
        finally:
            xdo("keyup", "F6")
        self.assertTrue(gone or run.wait_gone(20), "the program did not end")
        run.proc.wait(harness.bound(20))
        self.assertEqual([c for c in run.actions() if c.func == harness.MONITOR_OFF_CALL], [], "powered off on the way out")

    def test_drift_after_the_off(self):
        move_to(500, 400)
        run = self.launch("wake_dead_zone", {"Lock": 1})
        run.wait_dialog()
        run.wait_returns("Shell_NotifyIconW", 1, 30)
        move_to(500, 400)

        def guard(func, after, wp=None):
            return [c for c in run.guard_calls() if c.func == func and c.seq > after and (wp is None or c.args[2] == wp)]

        for wake, how in (("a 100-pixel move", ("mousemove_relative", "--", 100, 0)), ("a key", ("key", "shift"))):
            with self.subTest(wake=wake):
                before = len(run.actions())
                xdo("key", "F6")
                acts = run.wait_actions(before + 2, 30)
                self.assertActionShapes(acts[before:], run.dlg, block=False, monitor_off=True)
                off = acts[-1].seq
                # The guard's hooks go in before the action returns.
                self.assertEqual([c.args[0] for c in guard(HOOK_CALL, off)], [13, 14], "WH_KEYBOARD_LL, WH_MOUSE_LL")

                # Each hook call passes the event down the chain: a marker of the move
                # having been judged. The hooks still in for the wake after it show
                # the drift did not end the guard.
                xdo("mousemove_relative", "--", 2, 0)
                wait_until(lambda: guard("CallNextHookEx", off, WM_MOUSEMOVE), 20, "the drift through the guard's hook")
                xdo(*how)
                gone = wait_until(lambda: len(guard("UnhookWindowsHookEx", off)) == 2 and guard("UnhookWindowsHookEx", off),
                                  20, "the guard's hooks removed after %s" % wake)
                judged = guard("CallNextHookEx", off)
                self.assertTrue([c for c in judged if c.seq > guard("CallNextHookEx", off, WM_MOUSEMOVE)[0].seq],
                                "the hooks saw nothing after the drift: %r" % judged)
                self.assertLess(max(c.seq for c in judged), gone[0].seq)
                run.wait_ticks(2)
                self.assertEqual(guard(harness.MONITOR_OFF_CALL, off), [], "turned off again")
                self.assertEqual(len(run.actions()), before + 2, "another off after %s" % wake)


if __name__ == "__main__":
    harness.main()
