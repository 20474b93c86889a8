"""Switches from scripts and shortcuts: handed to the copy running in the tray,
which acts there with its own release wait and settle; with none running, /off
acts as run-once mode does; an unknown switch gets its box and exit code 2; a
plain second start shows the running copy's window instead of a second icon,
also when two start at once; another program that sends what a second start
sends is not obeyed."""
import os
import re

import harness
from harness import E2E, bound, move_to, parse_relay, wait_until

IDOK = 1
WM_COMMAND = 0x111
NIM_ADD, NIM_DELETE = 0, 2
# The switch table: each name with the string that says what it does and whether
# minutes follow it.
SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir)


def source(path):
    return open(os.path.join(SOURCE, path), encoding="utf-8").read()


SWITCHES = re.findall(r'^\s*\{L"([^"]+)", k\w+, (IDS_\w+), (true|false)\}', source("app/CommandLine.cpp"), re.M)
# What a second start hands over: the message's id and the switches' flags.
COPY_DATA_ID = int(re.search(r"kCopyDataId = (0x[0-9A-Fa-f]+);", source("app/CRunningCopy.cpp")).group(1), 16)
FLAGS = {k: int(v) for k, v in re.findall(r"(k\w+) = (\d+)", re.search(r"enum Flag\b[^}]*", source("app/CommandLine.h")).group(0))}
STRINGS = harness.rc_texts()["LANG_CHINESE"]["strings"]
SETTINGS_HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir, "settings",
                               "SettingsValues.h")


class CommandLine(E2E):
    def start_copy(self, run, name, *switches):
        """Another start of RUN's exe; its exit code, within a bound, and its relay calls."""
        log = os.path.join(run.logs, name + ".log")
        proc = harness.start_on_desktop([run.exe] + list(switches), log, harness.relay_env())
        code = proc.wait(bound(30))
        return code, [c.func for c in parse_relay(log) if c.ret is not None and c.ret < 0x10000000]

    def assertNoSecondCopy(self, funcs):
        for func in ("Shell_NotifyIconW", "RegisterHotKey", "MessageBoxW", harness.MONITOR_OFF_CALL, "BlockInput"):
            self.assertNotIn(func, funcs, "the second start must only hand over")

    def test_switches_go_to_the_running_copy(self):
        # Lock 3 makes the copy's own triggers do nothing: what acts is the switches' mode.
        run = self.launch("forward", {"Lock": 3})
        run.wait_dialog()
        run.wait_returns("Shell_NotifyIconW", 1)
        before = run.listing()
        for sent, (switches, block, monitor_off, hooks) in enumerate(((["/off"], False, True, False),
                                                                     (["/LOCK"], True, False, True),
                                                                     # The block of /LOCK still holds: none begins.
                                                                     (["-off", "/lock"], False, True, False)), 1):
            with self.subTest(switches=switches):
                done = len(run.actions())
                code, funcs = self.start_copy(run, "copy_" + "_".join(s.strip("/-") for s in switches), *switches)
                self.assertEqual(code, 0)
                self.assertNoSecondCopy(funcs)
                want = 1 + block + 2 * hooks + monitor_off
                acts = run.wait_actions(done + want, 20)[done:]
                self.assertActionShapes(acts, run.dlg, block, monitor_off, hooks)
                self.assertEqual(len(run.messages("WM_COPYDATA", "Call", proc="window")), sent, "handed over as WM_COPYDATA")
        self.assertEqual([c.args[0] for c in run.calls("Shell_NotifyIconW")], [NIM_ADD], "one icon all along")

        code, funcs = self.start_copy(run, "copy_exit", "/exit")
        self.assertEqual(code, 0)
        self.assertNoSecondCopy(funcs)
        self.assertTrue(run.wait_gone(20), "/exit ends the running copy")
        run.wait_returns("Shell_NotifyIconW", 2)
        self.assertEqual([c.args[0] for c in run.calls("Shell_NotifyIconW")], [NIM_ADD, NIM_DELETE])
        self.assertEqual(run.proc.wait(bound(20)), 0)
        self.assertEqual(run.listing(), before, "the INI is neither read for the mode nor written")

    def test_plain_second_start_shows_the_window(self):
        run = self.launch("second")
        w = run.wait_dialog()
        self.assertFalse(w["visible"])
        run.wait_returns("Shell_NotifyIconW", 1)
        code, funcs = self.start_copy(run, "copy_plain")
        self.assertEqual(code, 0)
        self.assertNoSecondCopy(funcs)
        wait_until(lambda: run.probe.find("Velodusk")["visible"], 10, "the first copy's window to show")
        self.assertEqual(run.probe.find("Velodusk")["hwnd"], run.dlg)
        self.assertEqual(len(run.calls("RegisterHotKey")), 1, "no second registration, so no conflict box")
        self.assertIsNone(run.probe.msgbox("提示"))

    def test_two_plain_starts_at_once(self):
        run = harness.Run("twins")
        self.runs.append(run)
        logs = [run.trace, os.path.join(run.logs, "twin.log")]
        procs = [run.start().proc, harness.start_on_desktop([run.exe], logs[1], harness.relay_env())]
        ended = wait_until(lambda: [i for i, p in enumerate(procs) if p.poll() is not None], 60, "one start to end")
        self.assertEqual(len(ended), 1, "the other is the copy")
        self.assertEqual(procs[ended[0]].returncode, 0)
        self.assertNoSecondCopy([c.func for c in parse_relay(logs[ended[0]]) if c.ret is not None and c.ret < 0x10000000])
        run.proc, run.trace = procs[1 - ended[0]], logs[1 - ended[0]]
        run.wait_dialog()
        run.wait_returns("Shell_NotifyIconW", 1)
        wait_until(lambda: run.probe.find("Velodusk")["visible"], 10, "the copy's window to show")
        self.assertEqual([c.args[0] for c in run.calls("Shell_NotifyIconW")], [NIM_ADD])
        self.assertEqual(len(run.calls("RegisterHotKey")), 1)
        self.assertIsNone(run.probe.msgbox("提示"))

    def test_other_programs_do_not_command_it(self):
        run = self.launch("forged")
        run.wait_dialog()
        run.wait_returns("Shell_NotifyIconW", 1)
        # The probe is another exe: naming no window, a window of its own, or the copy's.
        senders = {"none": "0", "the probe's window": "self", "the copy's window": "%x" % run.dlg}
        for name, sender in senders.items():
            for flags in (FLAGS["kOff"] | FLAGS["kLock"], FLAGS["kExit"]):
                with self.subTest(sender=name, flags=flags):
                    self.assertEqual(run.probe.cmd("copydata", "%x" % run.dlg, sender, "%x" % COPY_DATA_ID,
                                                   "%x" % flags), ["ok", "0"], "refused")
        self.assertEqual(len(run.messages("WM_COPYDATA", "Call", proc="window")), 2 * len(senders), "all arrived")
        run.wait_ticks(1)
        self.assertIsNone(run.proc.poll(), "still running")
        self.assertEqual(run.actions(), [])
        self.assertFalse(run.probe.find("Velodusk")["visible"])

    def test_off_with_none_running(self):
        move_to(500, 400)
        run = harness.Run("alone", {"Lock": 2, "TimeSKM": 1, "TimeSKMValue": 0})
        self.runs.append(run)
        run.start(args=["/off"])
        run.wait_dialog()
        acts = run.wait_actions(2, 30)
        self.assertActionShapes(acts, run.dlg, block=False, monitor_off=True)
        # TimeSKMValue=0 would act on every tick: the settings' idle trigger is off too.
        run.wait_ticks(3)
        self.assertEqual(len(run.actions()), 2, "one action")
        self.assertFalse(run.probe.find("Velodusk")["visible"])
        self.assertEqual(run.calls("RegisterHotKey"), [])
        self.assertEqual(run.calls("Shell_NotifyIconW"), [], "no tray icon")
        move_to(700, 300)
        self.assertTrue(run.wait_gone(10), "still running 10 s after the pointer moved")
        self.assertEqual(run.proc.wait(bound(20)), 0)

    def test_unknown_switch(self):
        run = harness.Run("bogus")
        self.runs.append(run)
        # Quoted, with a blank and Hangul, which code page 936 lacks: shown whole, as typed.
        unknown = "/bogus 한국어"
        run.start(args=["/off", unknown, "/lock"])
        box = wait_until(lambda: run.probe.msgbox("提示"), 30, "the unknown switch's box")
        self.assertEqual(len(SWITCHES), 6)
        most = int(re.search(r"kLockMinutesMax = (\d+);", open(SETTINGS_HEADER, encoding="utf-8").read()).group(1))
        listing = "".join("\n/%s%s\t%s" % (name, ":N" if minutes == "true" else "",
                                            STRINGS[ident].replace("%d", str(most)))
                          for name, ident, minutes in SWITCHES)
        text = next(t for ident, _, t in run.probe.texts(box["hwnd"])[1] if ident == 0xFFFF)
        self.assertEqual(text.replace("\r", ""),
                         STRINGS["IDS_SWITCH_UNKNOWN"] + unknown + "\n\n" + STRINGS["IDS_SWITCH_HEADING"] + listing
                         + STRINGS["IDS_SWITCH_FOOTER"])
        self.assertTrue(box["icon"])
        harness.screenshot(run.logs + "/box.png")
        run.probe.cmd("post", "%x" % box["hwnd"], "%x" % WM_COMMAND, IDOK, 0)
        self.assertEqual(run.proc.wait(bound(20)), 2)
        self.assertIsNone(run.probe.find("Velodusk"))
        funcs = [c.func for c in parse_relay(run.trace)]
        for func in ("Sleep", "Shell_NotifyIconW", "RegisterHotKey"):
            self.assertNotIn(func, funcs, "nothing done")
        self.assertEqual(list(run.listing()), ["Velodusk.exe"])


if __name__ == "__main__":
    harness.main()
