"""Run-once mode: acts during start-up as the lock mode says, has no tray icon
and no hot key, and ends once the pointer moves (and not before)."""
import harness
from harness import E2E, move_to

# Lock value -> (blocks input, turns the monitor off)
MODES = {0: (True, True), 1: (False, True), 2: (True, False), 3: (False, False), -1: (False, False)}


class RunOnce(E2E):
    def check_run_once(self, run, block, monitor_off):
        run.wait_dialog()
        acts = run.wait_actions(1 + 3 * block + monitor_off, 30)
        self.assertActionShapes(acts, run.dlg, block, monitor_off, hooks=block)
        # Still there while the pointer rests, for several timer ticks.
        run.wait_ticks(3)
        w = run.probe.find("Velodusk")
        self.assertIsNotNone(w, "run-once mode must wait for the pointer to move")
        self.assertFalse(w["visible"])
        self.assertEqual(run.calls("RegisterHotKey"), [])
        self.assertEqual(run.calls("Shell_NotifyIconW"), [], "no tray icon, and no delete of one")
        moved = run.probe.tick()
        move_to(700, 300)
        self.assertTrue(run.wait_gone(10), "still running 10 s after the pointer moved")
        quits = run.calls("PostQuitMessage")
        self.assertTrue(quits, "ends through the quit message")
        # Emulated 32-bit code adds its own latency to the one-second tick.
        self.assertLess(quits[0].ms - moved, 4000, "quit %d ms after the move" % (quits[0].ms - moved))
        self.assertEqual(len(run.actions()), len(acts), "no second action")

    def test_lock_modes(self):
        for lock, (block, monitor_off) in MODES.items():
            with self.subTest(lock=lock):
                move_to(500, 400)
                run = self.launch("run_once_%d" % lock, {"RunRun": 1, "Lock": lock})
                self.check_run_once(run, block, monitor_off)
                self.assertEqual(sorted(run.listing()), ["Velodusk.exe", "Velodusk.ini"])
                run.stop()

    def test_renamed_copy_reads_its_own_ini(self):
        move_to(500, 400)
        run = self.launch("renamed", {"RunRun": 1, "Lock": 2}, exe_name="Other.exe",
                          extra_files={"Velodusk.ini": {"RunRun": 0, "Lock": 1, "AccCtrl": 1}})
        before = run.listing()
        self.check_run_once(run, block=True, monitor_off=False)
        self.assertEqual(run.listing(), before, "neither INI file is touched")


if __name__ == "__main__":
    harness.main()
