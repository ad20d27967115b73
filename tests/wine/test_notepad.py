#!/usr/bin/env python3
"""The Windows program under Wine on Xvfb: F8 pastes into notepad, the options file is written
the Windows way. QLQ_PROGRAM names qinglanque.exe; WINEPREFIX a prefix made by wineboot."""

import os
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))

from harness import Session, options_file, wait_until  # noqa: E402

WINE = {"WINEPREFIX": os.environ.get("WINEPREFIX", ""), "WINEDEBUG": "-all"}
# GB18030 four-byte characters (emoji, a rare CJK) beside plain GBK ones.
TAILS = ["第一条尾巴", "second tail 😀", "㐀 第三条"]
OWN = "[本消息由青岚雀贴吧小尾巴自动发送]"


class NotepadTest(unittest.TestCase):
    def setUp(self):
        self.s = Session(wm=True, browser=False, launcher=["wine"]).start()
        self.addCleanup(self.s.close)
        self.s.env.update(WINE)
        notepad = self.s.spawn("notepad", ["wine", "notepad"])
        self.notepad = self.s.find_window("Notepad", pid=notepad.pid, timeout=60)

    def typed_into_notepad(self, presses):
        """Presses F8 into notepad and returns its whole text, line ends as LF."""
        self.s.xdotool("windowactivate", "--sync", self.notepad)
        for _ in range(presses):
            self.s.press("F8")
            time.sleep(0.6)  # one press per 500 ms poll at most
        time.sleep(1.0)  # nothing more may arrive
        self.s.xdotool("windowactivate", "--sync", self.notepad)
        self.s.xdotool("key", "ctrl+a", "ctrl+c")

        def clipboard():
            out = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.s.env,
                                 capture_output=True, timeout=10).stdout
            return out.decode("utf-8") if out.startswith("\u3000".encode()) else None

        return wait_until(clipboard, what="notepad's text on the clipboard").replace("\r\n", "\n")

    def test_tails_arrive_in_list_order_once_each_then_the_options_are_saved(self):
        run = self.s.start_program(tails=TAILS, options=options_file(check1=0, check2=0))
        # A second start hands over to the running copy and ends at once.
        second = subprocess.run(["wine", str(run.directory / "qinglanque.exe")], env=self.s.env,
                                capture_output=True, timeout=60)
        self.assertEqual(second.returncode, 0, second.stderr)
        self.assertIn(b"already running", second.stdout)
        text = self.typed_into_notepad(4)
        self.assertEqual(text, "".join("\u3000\n" + t for t in TAILS + TAILS[:1]))

        # Own tail on (the option as the file holds it), closed: written back in code page 936.
        self.s.stop_program(run)
        self.s.xdotool("windowactivate", "--sync", self.notepad)
        self.s.xdotool("key", "ctrl+a", "BackSpace")
        run = self.s.start_program(again=run, options=options_file(OWN, check2=1))
        self.assertEqual(self.typed_into_notepad(1),
                         "\u3000\n\u3000\n" + TAILS[0] + "\n" + OWN)
        # F8 with Alt held: the paste waits for Alt's release, then goes once.
        self.s.xdotool("key", "ctrl+a", "BackSpace")
        self.s.xdotool("keydown", "alt")
        self.s.press("F8")
        time.sleep(1.2)
        self.s.xdotool("keyup", "alt")
        self.assertEqual(self.typed_into_notepad(0),
                         "\u3000\n\u3000\n" + TAILS[1] + "\n" + OWN)
        self.assertEqual(self.s.stop_program(run), 0)
        self.assertEqual(run.read_file("corvane.ini"), options_file(OWN, check2=1))


if __name__ == "__main__":
    unittest.main()
