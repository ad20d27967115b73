#!/usr/bin/env python3
"""mutter 43, headless: the program's X11 clipboard reaches a native Wayland window (Chromium),
and `qinglanque --insert`, as a GNOME shortcut runs it, inserts the next tail. Without GNOME's
portal backend the program cannot type into native windows and says so at start; the test
types Ctrl+V itself through mutter's private remote-desktop API."""

import unittest

from harness import PasteTest, wait_until
from wayland_bed import WaylandSession

CONTROL_L, V, ESCAPE = 0xFFE3, 0x76, 0xFF1B


class MutterTest(PasteTest):
    session = staticmethod(lambda: WaylandSession("mutter", browser=False))

    def test_insert_puts_the_next_tail_on_the_clipboard_that_native_windows_paste(self):
        s, page = self.s, self.s.page
        self.run_ = run = s.start_program(tails=["尾巴一", "tail two"])
        # A notice says what is missing and what to bind.
        notices = wait_until(lambda: [w for w in s.visible_windows(run.pid)
                                      if w != run.main_window], what="the start-up notice")
        self.assertIn("qinglanque --insert", run.log_text())
        s._start_browser()  # the page's window comes last and has the focus
        press = s.mutter_keyboard()
        mark = s.focus_browser(escape=lambda: press(ESCAPE))
        for tail in ["尾巴一", "tail two"]:
            self.assertEqual(s.insert(), (0, ""))
            wait_until(lambda: s.run("xclip", "-o", "-selection", "clipboard").endswith(tail),
                       what=f"{tail!r} on the X11 clipboard")
            press(CONTROL_L, V)
            paste = page.wait_for("paste", after=mark, timeout=20)
            self.assertEqual(paste["data"], "\u3000\r\n" + tail)
            mark = paste["seq"]
        for window in notices:
            s._x.request_close(window)
        self.assertEqual(s.stop_program(run), 0, run.log_text())


if __name__ == "__main__":
    unittest.main()
