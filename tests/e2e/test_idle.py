"""Timer 1's idle trigger: acts a minute after the last input and every second
after that until input resumes; switched off it never acts."""
import harness
from harness import E2E, move_to, wait_until, xdo


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

    def test_one_minute(self):
        move_to(500, 400)
        run = self.launch("idle_on", {"TimeSKM": 1, "TimeSKMValue": 1, "Lock": 1})
        run.wait_dialog()
        move_to(510, 410)
        last_input = run.probe.tick()
        acts = run.wait_actions(2, 90)
        self.assertTrue(acts, "no idle action within 90 s")
        first = acts[0].ms - last_input
        self.assertTrue(59000 <= first <= 63500, "first idle action %d ms after the last input" % first)
        def idle_sleeps():
            return [c for c in run.actions() if c.func == "Sleep"]
        sleeps = wait_until(lambda: len(idle_sleeps()) >= 4 and idle_sleeps(), 20, "the action repeats while idle")
        gaps = [b.ms - a.ms for a, b in zip(sleeps, sleeps[1:])]
        self.assertTrue(all(900 <= g <= 2500 for g in gaps), gaps)
        for c in run.actions():
            if c.func == "SendMessageA":
                self.assertEqual(c.args, [run.dlg, harness.WM_SYSCOMMAND, 0xF170, 2])
        self.assertEqual(run.calls("BlockInput"), [], "lock mode 1 never blocks input")
        move_to(600, 500)
        # While idle every tick acts; the first tick without an action shows the
        # input has arrived. Four more ticks must stay quiet.
        def quiet_tick():
            seqs = [c.seq for c in run.actions() if c.func == "Sleep"]
            ticks = [t.seq for t in run.ticks()]
            return [b for a, b in zip(ticks, ticks[1:]) if not any(a < s < b for s in seqs) and b > seqs[-1]]
        settled_at = wait_until(quiet_tick, 20, "a tick without an action after the input")[0]
        settled = len(run.actions())
        run.wait_ticks(4, after=settled_at)
        self.assertEqual(len(run.actions()), settled, "input stops the repetition")

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
        fg = run.probe.cmd("foreground")
        self.assertEqual(int(fg[1], 16), cover["hwnd"], "the full-screen window is in front")
        self.assertEqual(tuple(int(v) for v in fg[2:6]), (0, 0) + harness.DESKTOP_SIZE)
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
