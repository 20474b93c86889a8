"""The release zip as a Windows user gets it: exactly the shipped files and a
matching checksum, an exe that is stripped, small, needs only DLLs that come
with Windows and carries its version record (read back by exiftool), and that
starts with its tray icon from a freshly unpacked folder with a Chinese name."""
import argparse
import hashlib
import json
import os
import re
import subprocess
import sys
import tempfile
import zipfile

import harness
from harness import E2E

# DLLs every Windows the program supports has in its system folder.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "ole32.dll", "oleaut32.dll",
               "comctl32.dll", "comdlg32.dll", "advapi32.dll", "shlwapi.dll", "version.dll", "winmm.dll",
               "msvcrt.dll"}
MAX_EXE_BYTES = 256 * 1024
NIM_ADD = 0
SETTINGS_HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "settings", "SettingsValues.h")

PKG = None


class Package(E2E):
    def test_contents_checksum_and_exe(self):
        with zipfile.ZipFile(PKG.zip) as z:
            self.assertEqual(sorted(z.namelist()), sorted(PKG.files))
            exe = z.read("Velodusk.exe")
            readme = z.read("ReadMe.txt")
        with open(PKG.zip, "rb") as f:
            digest = hashlib.sha256(f.read()).hexdigest()
        with open(PKG.zip + ".sha256") as f:
            self.assertEqual(f.read().split(), [digest, os.path.basename(PKG.zip)])
        self.assertLessEqual(len(exe), MAX_EXE_BYTES, "exe size")

        # The read-me, for Notepad: UTF-8 with a byte-order mark and CRLF; it
        # names the section and every key of the settings file, and the way out.
        self.assertTrue(readme.startswith(b"\xef\xbb\xbf"))
        self.assertNotIn(b"\n", readme.replace(b"\r\n", b""))
        text = readme.decode("utf-8-sig")
        with open(SETTINGS_HEADER) as f:
            section, *keys = re.findall(r'constexpr wchar_t k\w+\[\] = L"(\w+)";', f.read())
        # The eight the settings dialog writes and those only an edit of the file sets.
        self.assertGreater(len(keys), 8)
        for word in ["[%s]" % section, "Ctrl+Alt+Del", "RunRun=0", PKG.version] + keys:
            self.assertIn(word, text)

        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "Velodusk.exe")
            with open(path, "wb") as f:
                f.write(exe)
            env = dict(os.environ, LC_ALL="C")
            objdump = lambda flag: subprocess.run(["i686-w64-mingw32-objdump", flag, path], check=True, env=env,
                                                  capture_output=True, text=True).stdout
            dlls = {d.lower() for d in re.findall(r"DLL Name: (\S+)", objdump("-p"))}
            self.assertTrue(dlls)
            self.assertLessEqual(dlls, SYSTEM_DLLS)
            self.assertIn("no symbols", objdump("-t"))
            self.assertNotIn(".debug", objdump("-h"))
            info = json.loads(subprocess.run(["exiftool", "-j", "-n", path], check=True,
                                             capture_output=True, text=True).stdout)[0]
        self.assertEqual((info["FileVersionNumber"], info["ProductVersionNumber"]), (PKG.version, PKG.version))
        self.assertEqual(int(str(info["LanguageCode"]), 16), int(PKG.language, 0))
        self.assertEqual(int(str(info["CharacterSet"]), 16), int(PKG.codepage, 0))

    def test_starts_from_unpacked_chinese_folder(self):
        run = harness.Run("发布包 解压")
        for name in os.listdir(run.dir):
            os.remove(os.path.join(run.dir, name))
        with zipfile.ZipFile(PKG.zip) as z:
            z.extractall(run.dir)
        self.runs.append(run)
        run.start()
        run.wait_dialog()
        adds = [c for c in run.wait_calls("Shell_NotifyIconW", 1, 60) if c.args[0] == NIM_ADD]
        self.assertEqual(len(adds), 1, "the tray icon")


if __name__ == "__main__":
    ap = argparse.ArgumentParser()
    ap.add_argument("--zip", required=True)
    ap.add_argument("--files", nargs="+", required=True)
    ap.add_argument("--version", required=True)
    ap.add_argument("--language", required=True)
    ap.add_argument("--codepage", required=True)
    PKG, rest = ap.parse_known_args()
    sys.argv = [sys.argv[0]] + rest
    harness.main()
