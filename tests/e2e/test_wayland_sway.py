#!/usr/bin/env python3
"""sway, headless: F8 is bound to `qinglanque --insert` in sway's configuration, pressed through
the compositor (wtype), and the tail is pasted into Chromium running natively on Wayland (the
data-control clipboard and the virtual keyboard)."""

import unittest

from harness import QUIET, PasteTest, options_file
from wayland_bed import WaylandSession


class SwayTest(PasteTest):
    session = staticmethod(lambda: WaylandSession("sway"))

    def start(self, **files):
        self.run_ = self.s.start_program(**files)
        return self.s.focus_browser()  # the program's window took the focus

    def test_each_f8_pastes_the_next_tail_in_list_order_and_sway_keeps_the_key(self):
        tails = ["尾巴一", "tail two", "第三条 ok"]
        mark = start = self.start(tails=tails)
        for tail in tails + tails[:1]:
            paste = self.press_f8(mark)
            self.assertEqual(paste["data"], "\u3000\r\n" + tail)
            mark = paste["seq"]
        page = self.s.page
        self.assertTrue(page.quiet("paste", after=mark, duration=QUIET), "a press pasted twice")
        # The binding takes F8: the page never sees it; and no Ctrl+Enter without the tick.
        self.assertEqual([e for e in page.events("keydown", after=start) if e["key"] == "F8"], [])
        self.assertEqual(page.events("submit", after=start), [])
        # A shortcut's command that sees no X display still finds this one copy.
        self.assertEqual(self.s.insert(env={"DISPLAY": ""}), (0, ""))
        self.assertEqual(self.pasted(mark)["data"], "\u3000\r\n" + tails[1])
        self.stop()
        status, output = self.s.insert()
        self.assertEqual(status, 1)
        self.assertIn("no running copy", output)

    def test_own_tail_and_ctrl_enter_follow_each_paste(self):
        own = "own tail [42]"
        mark = self.start(tails=["尾巴一", "tail two"],
                          options=options_file(own_tail=own, check1=1, check2=1))
        for tail in ["尾巴一", "tail two"]:
            paste = self.press_f8(mark)
            self.assertEqual(paste["data"], f"\u3000\r\n\u3000\r\n{tail}\r\n{own}")
            submit = self.s.page.wait_for("submit", after=mark)
            # Ctrl+Enter comes after the paste and finds the tail in the box.
            self.assertGreater(submit["seq"], paste["seq"])
            self.assertEqual(submit["value"], paste["data"].replace("\r\n", "\n"))
            mark = self.s.focus_browser()  # empties the box
        self.stop()


if __name__ == "__main__":
    unittest.main()
