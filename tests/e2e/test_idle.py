"""Timer 1's idle trigger: acts a minute after the last input, once per idle
period; switched off it never acts."""
import harness
from harness import E2E, TARGET_RECT, move_to, wait_until, xdo

WARNING_CLASS = "VeloduskIdleWarning"


class Idle(E2E):
    def test_off_never_acts(self):
        # TimeSKMValue=0 would act on every tick if the switch were ignored.
        move_to(500, 400)
        run = self.launch("idle_off", {"TimeSKM": 0, "TimeSKMValue": 0, "Lock": 1})
        run.wait_dialog()
        run.wait_ticks(6)
        self.assertEqual(run.actions(), [])

    def test_out_of_range_never_acts(self):
        # 0 acted on every tick; 71583 minutes wrapped to a 12.7 s threshold.
        for minutes in (0, 71583):
            with self.subTest(minutes=minutes):
                move_to(500, 400)
                run = self.launch("idle_range_%d" % minutes, {"TimeSKM": 1, "TimeSKMValue": minutes, "Lock": 1})
                run.wait_dialog()
                last_input = run.probe.tick()
                wait_until(lambda: run.wait_ticks(1) and run.probe.tick() - last_input > 14000, 60,
                           "14 s of idleness")
                run.wait_ticks(1)
                self.assertEqual(run.actions(), [])
                run.stop()

    def test_one_minute_after_its_warning(self):
        move_to(500, 400)
        run = self.launch("idle_on", {"TimeSKM": 1, "TimeSKMValue": 1, "Lock": 1})
        run.wait_dialog()
        # What the user reads: another program's window, in front.
        harness.start_target(run.logs)
        move_to((TARGET_RECT[0] + TARGET_RECT[2]) // 2, (TARGET_RECT[1] + TARGET_RECT[3]) // 2)
        xdo("click", 1)
        front = wait_until(lambda: (lambda f: f if f and f["class"] == "VeloduskProbeTarget" else None)(
            run.probe.foreground()), 20, "the target in front")
        move_to(510, 410)
        last_input = run.probe.tick()

        def warning():
            return next((w for w in run.probe.windows(WARNING_CLASS) if w[1]), None)

        # Ten seconds before the action, without the foreground, in the corner of the
        # work area above the taskbar's notification area.
        hwnd, _, rect = wait_until(warning, 70, "the idle warning")
        shown = run.probe.tick() - last_input
        self.assertTrue(48000 <= shown <= 53000, "warning %d ms after the last input" % shown)
        self.assertEqual(run.probe.foreground(), front, "the warning took the foreground")
        self.assertEqual(run.actions(), [])
        self.assertGreater(rect[0], harness.DESKTOP_SIZE[0] // 2, rect)
        self.assertGreater(rect[1], harness.DESKTOP_SIZE[1] // 2, rect)
        self.assertLess(rect[3], harness.DESKTOP_SIZE[1], rect)
        harness.screenshot(run.logs + "/warning.png")

        # Any input ends it, and no action follows in that period: the next comes a
        # whole minute after the input, with the warning gone before it.
        move_to(600, 500)
        moved = run.probe.tick()
        wait_until(lambda: not warning(), 10, "the warning gone after a pointer move")
        wait_until(warning, 70, "the next period's warning")
        acts = run.wait_actions(2, 30)
        self.assertTrue(acts, "no idle action after the second warning")
        first = acts[0].ms - moved
        self.assertTrue(59000 <= first <= 63500, "idle action %d ms after the input" % first)
        self.assertActionShapes(acts, run.dlg, block=False, monitor_off=True)
        self.assertIsNone(warning(), "the warning outlived the action")
        self.assertEqual(run.calls("BlockInput"), [], "lock mode 1 never blocks input")
        # Still idle: the next ticks stay quiet (it acted every second before).
        run.wait_ticks(5)
        self.assertEqual(len(run.actions()), 2, "acted again in the same idle period")

    def test_waits_for_full_screen_work(self):
        run = harness.Run("idle_full_screen", {"TimeSKM": 1, "TimeSKMValue": 1, "Lock": 1})
        self.runs.append(run)
        move_to(500, 400)
        run.start()
        run.wait_dialog()
        harness.start_target(run.logs, full=True)
        cover = wait_until(lambda: run.probe.find("target"), 30, "the full-screen window")
        move_to(510, 410)
        # The pointer leaves Wine's desktop: under Wine a window that goes from under
        # the pointer makes a pointer event, which counts as input; on Windows it does not.
        x0, y0 = harness.desktop_origin()
        xdo("mousemove", x0 + harness.DESKTOP_SIZE[0] + 100, y0 + harness.DESKTOP_SIZE[1] + 100)
        last_input = run.probe.tick()
        fg = run.probe.foreground()
        self.assertEqual((fg["hwnd"], fg["rect"]), (cover["hwnd"], (0, 0) + harness.DESKTOP_SIZE),
                         "the full-screen window is in front")
        wait_until(lambda: run.wait_ticks(1) and run.probe.tick() - last_input > 65000, 90, "65 s of idleness")
        run.wait_ticks(1)
        self.assertEqual(run.actions(), [], "no idle action behind full-screen work")
        closed = run.probe.tick()
        run.probe.cmd("post", "%x" % cover["hwnd"], "%x" % harness.WM_CLOSE, 0, 0)
        acts = run.wait_actions(2, 10)
        self.assertActionShapes(acts[:2], run.dlg, block=False, monitor_off=True)
        self.assertLess(acts[0].ms - closed, 4000, "acts at the first tick after the window went")


if __name__ == "__main__":
    harness.main()
