"""Unreadable or hostile settings files: the program runs on defaults, never
crashes and never writes."""
import os
import random
import subprocess

import harness
from harness import E2E, HOTKEY_ID, MOD_NOREPEAT


def junk(n, seed):
    rnd = random.Random(seed)
    return bytes(rnd.randrange(256) for _ in range(n))


class BadInput(E2E):
    def check_defaults(self, run):
        run.wait_dialog()
        hk = run.wait_calls("RegisterHotKey", 1, 20)
        run.wait_ticks(2)
        self.assertEqual([c.args for c in hk], [[run.dlg, HOTKEY_ID, MOD_NOREPEAT, 0x75]], "defaults: plain F6")
        self.assertEqual([c.args[0] for c in run.calls("Shell_NotifyIconW")], [0])
        self.assertEqual(run.actions(), [], "not run-once")

    def close(self, run):
        run.probe.cmd("post", "%x" % run.dlg, "10", 0, 0)
        self.assertTrue(run.wait_gone(20))
        self.assertEqual(run.calls("WritePrivateProfileStringW"), [])

    def test_binary_junk(self):
        # NULs, brackets and '=' in random places, but no "[Velodusk]" line.
        data = junk(4096, 1).replace(b"Velodusk", b"")
        run = self.launch("junk", data)
        before = run.listing()
        self.check_defaults(run)
        self.close(run)
        self.assertEqual(run.listing(), before)

    def test_one_megabyte(self):
        # The section sits after a megabyte of other lines: it is still found.
        filler = b"".join(b"K%06d=%s\r\n" % (i, b"x" * 40) for i in range(24000))
        data = b"[Other]\r\n" + filler + b"[Velodusk]\r\nAccCtrl=1\r\nAccKey=6\r\n"
        self.assertGreater(len(data), 1 << 20)
        run = self.launch("big", data)
        before = run.listing()
        run.wait_dialog()
        hk = run.wait_calls("RegisterHotKey", 1, 30)
        self.assertEqual([c.args for c in hk], [[run.dlg, HOTKEY_ID, MOD_NOREPEAT | 2, 0x7B]])
        self.close(run)
        self.assertEqual(run.listing(), before)

    def test_ini_is_a_directory(self):
        run = harness.Run("ini_dir")
        os.mkdir(os.path.join(run.dir, "Velodusk.ini"))
        self.runs.append(run)
        run.start()
        self.check_defaults(run)
        self.close(run)
        self.assertEqual(run.listing(), {"Velodusk.exe": run.listing()["Velodusk.exe"], "Velodusk.ini": None})

    def test_read_only_directory(self):
        run = harness.Run("read_only", {"Lock": 3})
        self.runs.append(run)
        # Root ignores permission bits; the immutable flag holds for root too.
        os.chmod(run.dir, 0o555)
        immutable = subprocess.run(["chattr", "+i", run.dir], stderr=subprocess.DEVNULL).returncode == 0
        try:
            run.start()
            self.check_defaults(run)
            self.close(run)
            self.assertEqual(sorted(run.listing()), ["Velodusk.exe", "Velodusk.ini"])
            if immutable:
                with self.assertRaises(OSError):
                    open(os.path.join(run.dir, "probe"), "wb")
        finally:
            subprocess.run(["chattr", "-i", run.dir], stderr=subprocess.DEVNULL)
            os.chmod(run.dir, 0o755)


if __name__ == "__main__":
    harness.main()
