"""The program's languages on systems that are not Chinese (PRC): under code page
950 (Traditional Chinese) the Chinese texts read exactly as written, under 1252
(US English) every text is English, plain printable ASCII. The conflict box, the
main window, the settings dialog and the About box are read back through the W
functions, so nothing is converted through a code page on the reading side."""
import harness
from harness import E2E, RC, move_to, wait_until, xdo

WM_COMMAND = 0x111
IDOK, IDCANCEL = 1, 2
IDC_SETTINGS, IDC_ABOUT = harness.IDS["IDC_SETTINGS"], harness.IDS["IDC_ABOUT"]
VK_F6 = 0x75


class Languages(E2E):
    def read(self, run, hwnd):
        """Caption and the texts of the buttons and statics that have one, in order."""
        caption, children = run.probe.texts(hwnd)
        # An icon's static holds its resource ordinal (0xFFFF, number) as its text.
        return caption, [t for _, cls, t in children if cls in ("Button", "Static") and t and t[0] != "\uffff"]

    def expect(self, rc, dialog):
        caption, items = rc[dialog]
        return caption, [text for _, text in items]

    def open_from_main(self, run, ctrl, caption):
        """A real click on a main-window button; the dialog it opens, by its caption."""
        (left, top, right, bottom), _ = harness.child_rect(run, ctrl)
        move_to((left + right) // 2, (top + bottom) // 2)
        xdo("click", 1)
        return wait_until(lambda: (lambda w: w if w and w["visible"] and w["pid"] == run.pid else None)(
            run.probe.find(caption)), 30, "the dialog \"%s\"" % caption)

    def check_language(self, locale, lang):
        """Everything read, as (where, text) pairs."""
        rc = RC[lang]
        strings = rc["strings"]
        run = harness.Run("lang_" + locale.split(".")[0])
        self.runs.append(run)
        seen = []
        holder, status = harness.hold_hotkey(run.logs, 0, VK_F6)
        try:
            self.assertEqual(status, "ok", "the other program could not take the key")
            run.start(LC_ALL=locale)
            box = wait_until(lambda: run.probe.find(strings["IDS_NOTICE"]), 30, "the conflict box")
            caption, children = run.probe.texts(box["hwnd"])
            # The box's own button is the system's, in the system's language.
            texts = [t for _, cls, t in children if cls == "Static" and t]
            self.assertEqual((caption, texts), (strings["IDS_NOTICE"], [strings["IDS_HOTKEY_CONFLICT"]]))
            seen += [("conflict box", caption)] + [("conflict box", t) for t in texts]
            run.probe.cmd("post", "%x" % box["hwnd"], "%x" % WM_COMMAND, IDOK, 0)
        finally:
            if run.probe:
                run.probe.cmd("unhold")
            self.addCleanup(holder.wait, 60)

        run.wait_dialog()
        harness.show_main_window(run)
        main = self.read(run, run.dlg)
        self.assertEqual(main, self.expect(rc, "IDD_MONITORTOOL_DIALOG"))
        seen += [("main window", t) for t in [main[0]] + main[1]]

        for ctrl, dialog in ((IDC_SETTINGS, "IDD_SETTINGS"), (IDC_ABOUT, "IDD_ABOUTBOX")):
            want = self.expect(rc, dialog)
            dlg = self.open_from_main(run, ctrl, want[0])
            got = self.read(run, dlg["hwnd"])
            self.assertEqual(got, want, dialog)
            seen += [(dialog, t) for t in [got[0]] + got[1]]
            harness.screenshot("%s/%s.png" % (run.logs, dialog))
            run.probe.cmd("post", "%x" % dlg["hwnd"], "%x" % WM_COMMAND, IDCANCEL, 0)
            wait_until(lambda: run.probe.find(want[0]) is None, 30, "the dialog \"%s\" to close" % want[0])
        return seen

    def test_traditional_chinese_system_reads_chinese(self):
        self.check_language("zh_TW.UTF-8", "LANG_CHINESE")

    def test_english_system_reads_plain_english(self):
        seen = self.check_language("en_US.UTF-8", "LANG_ENGLISH")
        for where, text in seen:
            self.assertTrue(text and all(" " <= c <= "~" for c in text) and "?" not in text, (where, text))


if __name__ == "__main__":
    harness.main()
