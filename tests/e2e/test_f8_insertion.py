#!/usr/bin/env python3
"""F8 in a real browser: the program pastes the next tail into the focused reply box.

One Xvfb, window manager and Chromium for the whole class; every test starts its own portable
copy of the program, so list positions and switches never leak from one test to the next.

    QLQ_PROGRAM=build/qinglanque python3 tests/e2e/test_f8_insertion.py -v
"""

import sys
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

from harness import Session, options_file  # noqa: E402

SAMPLE_TAILS = (HERE / "data" / "qinglanque.ini").read_bytes()
SAMPLE_OPTIONS = (HERE / "data" / "corvane.ini").read_bytes()

# Designed rectangles (twips) of the main window's controls that the tests click.
CHECK1 = (1800, 1920, 1815, 255)  # 插入后直接回帖
CHECK2 = (3720, 1920, 1575, 255)  # 带上自己的尾巴
TEXT5 = (120, 1440, 5175, 375)  # the own tail

IDEOGRAPHIC_SPACE = "\u3000"
CRLF = "\r\n"

# How long "nothing more arrives" is watched for. Presses are answered within 500 ms.
QUIET = 1.2


def decode_tail_file(data):
    """The tails of a GBK file with CR LF line ends: one per line, the last line end optional."""
    lines = data.decode("gb18030").split(CRLF)
    if lines and lines[-1] == "":
        lines.pop()
    return lines


def single(tail):
    return IDEOGRAPHIC_SPACE + CRLF + tail


def with_own_tail(tail, own):
    return IDEOGRAPHIC_SPACE + CRLF + IDEOGRAPHIC_SPACE + CRLF + tail + CRLF + own


class F8InsertionTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = Session(wm=True)
        cls.session.start()

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def setUp(self):
        self.run_ = None

    def tearDown(self):
        if self.run_ and self.run_.running():
            # After a failure a paste may still be under way; closing the clipboard's owner in
            # its middle would hang the browser for the tests that follow.
            self.session.page.settle()
            self.session.stop_program(self.run_)

    # ----- steps

    def start(self, **files):
        """Starts a fresh copy, puts the focus into the page's box and empties it."""
        self.run_ = self.session.start_program(**files)
        self.session.browser.focus_textarea()
        return self.session.page.clear()

    def expect(self, what, wait):
        try:
            return wait()
        except TimeoutError as error:
            shot = self.session.failure_screenshot(self.id())
            self.fail(f"{what}: {error}\nscreenshot: {shot}\n{self.session.diagnostics()}")

    def press_f8(self, mark):
        """One F8 press; returns the paste it caused, once the text is in the box."""
        self.session.press("F8")
        return self.pasted(mark)

    def pasted(self, mark):
        """The next paste after mark. Waits until the browser has also inserted it: a program
        closed in the middle of a paste leaves Chromium waiting for the clipboard for minutes."""
        page = self.session.page
        paste = self.expect("no paste", lambda: page.wait_for("paste", after=mark))
        self.expect("the paste was not inserted",
                    lambda: page.wait_for("input", after=paste["seq"],
                                          predicate=lambda e: e["inputType"] == "insertFromPaste"))
        return paste

    def stop(self):
        """Closes the main window like the user; the program must end cleanly and silently."""
        status = self.session.stop_program(self.run_)
        self.assertEqual(status, 0, self.run_.log_text())
        self.assertEqual(self.run_.log_text().strip(), "", "the program printed warnings")

    # ----- tests

    def test_sample_tails_are_pasted_exactly_in_list_order_and_wrap(self):
        tails = decode_tail_file(SAMPLE_TAILS)
        self.assertEqual(len(tails), 11)  # blanks, an empty line and a final empty tail
        mark = self.start(tails=SAMPLE_TAILS)
        pasted = []
        for _ in range(len(tails) + 2):
            paste = self.press_f8(mark)
            pasted.append(paste["data"])
            mark = paste["seq"]
        expected = [single(t) for t in tails + tails[:2]]
        self.assertEqual(pasted, expected)
        # The box holds every paste once; the browser turns each CR LF into LF.
        value = self.expect("no input after the last paste",
                            lambda: self.session.page.wait_for("input", after=mark))["value"]
        self.assertEqual(value, "".join(expected).replace(CRLF, "\n"))
        self.stop()

    def test_f8_is_watched_not_taken_and_each_press_inserts_once(self):
        tails = ["第一条", "second", "★☆ 第三条 ☆★"]
        mark = start = self.start(tails=tails)
        for tail in tails:
            paste = self.press_f8(mark)
            self.assertEqual(paste["data"], single(tail))
            mark = paste["seq"]
        page = self.session.page
        # The page saw every F8 itself: the program did not grab the key.
        self.expect("the page did not see every F8",
                    lambda: page.wait_for("keydown", after=start, count=len(tails),
                                          predicate=lambda e: e["key"] == "F8"))
        self.assertTrue(page.quiet("paste", after=mark, duration=QUIET),
                        "a press was inserted twice")
        self.assertEqual(len(page.events("paste", after=start)), len(tails))
        self.assertEqual(page.events("submit", after=start), [], "Ctrl+Enter without Check1")
        self.stop()

    def test_reply_directly_sends_ctrl_enter_after_the_paste_only_while_ticked(self):
        self.start(tails=["回帖尾巴"])
        self.run_.click_control(*CHECK1)
        self.session.browser.focus_textarea()
        mark = self.session.page.clear()
        paste = self.press_f8(mark)
        submit = self.expect("no Ctrl+Enter with Check1 ticked",
                             lambda: self.session.page.wait_for("submit", after=mark))
        self.assertGreater(submit["seq"], paste["seq"])
        # Ctrl+Enter found the tail already in the box: the reply is sent with its tail.
        self.assertEqual(submit["value"], single("回帖尾巴").replace(CRLF, "\n"))

        self.run_.click_control(*CHECK1)  # untick
        self.session.browser.focus_textarea()
        mark = self.session.page.clear()
        paste = self.press_f8(mark)
        self.assertEqual(paste["data"], single("回帖尾巴"))
        self.assertTrue(self.session.page.quiet("submit", after=mark, duration=QUIET),
                        "Ctrl+Enter sent after Check1 was unticked")
        self.stop()

    def test_own_tail_gives_the_two_line_form(self):
        self.start(tails=["尾巴一", "tail two"])
        own = "own tail [42] ok"
        self.run_.click_control(*TEXT5)
        self.session.key("ctrl+a")
        self.session.type_text(own)
        self.run_.click_control(*CHECK2)
        self.session.browser.focus_textarea()
        mark = self.session.page.clear()
        first = self.press_f8(mark)
        second = self.press_f8(first["seq"])
        self.assertEqual([first["data"], second["data"]],
                         [with_own_tail("尾巴一", own), with_own_tail("tail two", own)])
        self.stop()

    def test_without_any_files_the_empty_tail_is_still_pasted(self):
        mark = self.start()
        first = self.press_f8(mark)
        second = self.press_f8(first["seq"])
        self.assertEqual([first["data"], second["data"]], [single(""), single("")])
        self.stop()

    def test_a_press_with_alt_held_waits_for_its_release(self):
        mark = self.start(tails=["等 Alt 松开"])
        page = self.session.page
        self.session.xdotool("keydown", "alt")
        try:
            self.session.press("F8")
            # With Alt down a Ctrl+V would not paste, and the press would be lost.
            self.assertTrue(page.quiet("paste", after=mark, duration=QUIET),
                            "pasted while Alt was held")
        finally:
            self.session.xdotool("keyup", "alt")
        paste = self.pasted(mark)
        self.assertEqual(paste["data"], single("等 Alt 松开"))
        self.stop()

    def test_switches_and_own_tail_come_from_the_options_file(self):
        own = "[本消息由青岚雀贴吧小尾巴自动发送]"
        mark = self.start(tails=["甲", "乙"], options=options_file(own, check1=1, check2=1))
        paste = self.press_f8(mark)
        self.assertEqual(paste["data"], with_own_tail("甲", own))
        self.expect("no Ctrl+Enter with Check1=1",
                    lambda: self.session.page.wait_for("submit", after=paste["seq"]))
        self.stop()

    def test_sample_files_paste_the_first_tail_with_the_sample_own_tail(self):
        tails = decode_tail_file(SAMPLE_TAILS)
        mark = self.start(tails=SAMPLE_TAILS, options=SAMPLE_OPTIONS)
        paste = self.press_f8(mark)
        own = "[本消息由青岚雀贴吧小尾巴自动发送]"
        self.assertEqual(paste["data"], with_own_tail(tails[0], own))
        self.assertTrue(self.session.page.quiet("submit", after=mark, duration=QUIET))
        self.stop()

    def test_a_switch_ticked_in_the_window_survives_a_restart(self):
        self.start(tails=["重启后"], options=options_file("", check1=0))
        self.run_.click_control(*CHECK1)
        self.stop()
        saved = self.run_.read_file("corvane.ini")
        self.assertIn(b"Check1=1", saved)
        self.run_ = self.session.start_program(again=self.run_)
        self.session.browser.focus_textarea()
        mark = self.session.page.clear()
        paste = self.press_f8(mark)
        self.assertEqual(paste["data"], single("重启后"))
        self.expect("Check1 was not restored",
                    lambda: self.session.page.wait_for("submit", after=paste["seq"]))
        self.stop()


if __name__ == "__main__":
    unittest.main()
