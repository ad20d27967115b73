#!/usr/bin/env python3
"""F8 in a real browser: the program pastes the next tail into the focused reply box.
One Xvfb, openbox and Chromium for the class; each test runs its own copy of the program."""

import os
import time
import unittest

from harness import (HERE, MAIN_WINDOW_TITLE, QUIET, TIMEOUT, PasteTest, Session, options_file,
                     wait_until)

SAMPLE_TAILS = (HERE / "data" / "qinglanque.ini").read_bytes()
# Designed rectangles (twips) of the controls the tests click.
CHECK1 = (1800, 1920, 1815, 255)  # 插入后直接回帖
CHECK2 = (3720, 1920, 1575, 255)  # 带上自己的尾巴
TEXT5 = (120, 1440, 5175, 375)  # the own tail


class F8InsertionTest(PasteTest):
    session = staticmethod(lambda: Session(wm=True))

    def start(self, **files):
        """Starts a fresh copy (or again=run), focuses the page's box and empties it."""
        self.run_ = self.s.start_program(**files)
        return self.refocus()

    def refocus(self):
        self.s.focus_textarea()
        return self.s.page.clear()

    def click(self, control):
        self.s.click_control(self.run_.main_window, *control)

    def test_gbk_list_is_pasted_exactly_in_order_and_wraps_while_f8_reaches_the_page(self):
        tails = SAMPLE_TAILS.decode("gb18030").split("\r\n")[:-1]
        self.assertEqual(len(tails), 11)  # blanks, an empty line and a final empty tail
        mark = start = self.start(tails=SAMPLE_TAILS)
        expected = ["\u3000\r\n" + t for t in tails + tails[:2]]
        for text in expected:
            paste = self.press_f8(mark)
            self.assertEqual(paste["data"], text)
            mark = paste["seq"]
        page = self.s.page
        # The box holds every paste once (the browser turns CR LF into LF).
        self.assertEqual(page.wait_for("input", after=mark)["value"],
                         "".join(expected).replace("\r\n", "\n"))
        # The page saw every F8 itself: the program watches the key and does not grab it.
        page.wait_for("keydown", after=start, count=len(expected),
                      predicate=lambda e: e["key"] == "F8")
        self.assertTrue(page.quiet("paste", after=mark, duration=QUIET), "a press pasted twice")
        self.assertEqual(page.events("submit", after=start), [], "Ctrl+Enter without Check1")
        self.stop()

    def test_own_tail_typed_and_reply_ticked_paste_two_lines_then_ctrl_enter(self):
        self.start(tails=["尾巴一", "tail two"])
        own = "own tail [42] ok"
        lines = "\u3000\r\n\u3000\r\n{}\r\n" + own  # a tail with the own one
        self.click(TEXT5)
        self.s.xdotool("key", "ctrl+a", "type", "--delay", 5, own)
        self.click(CHECK2)
        self.click(CHECK1)
        mark = self.refocus()
        first = self.press_f8(mark)
        self.assertEqual(first["data"], lines.format("尾巴一"))
        submit = self.s.page.wait_for("submit", after=mark)
        # Ctrl+Enter comes after the paste and finds the tail in the box.
        self.assertGreater(submit["seq"], first["seq"])
        self.assertEqual(submit["value"], first["data"].replace("\r\n", "\n"))
        self.assertEqual(self.press_f8(submit["seq"])["data"], lines.format("tail two"))
        self.stop()

    def test_an_autostart_without_a_tray_waits_minimised_and_leaves_the_focus_to_the_user(self):
        s, mark = self.s, self.refocus()  # the user is typing when the autostart comes
        bare = {"XDG_RUNTIME_DIR": ""}  # a session without one: Qt must not complain either
        self.run_ = run = s.start_program(tails=["后台"], args=["--background"], wait=False,
                                          env=bare)
        run.main_window = wait_until(
            lambda: s.search_windows(MAIN_WINDOW_TITLE, pid=run.pid, visible=False))[0]
        wait_until(lambda: "Iconic" in s.run("xprop", "-id", run.main_window, "WM_STATE"),
                   what="the window minimised in the taskbar")
        self.assertEqual(self.press_f8(mark)["data"], "\u3000\r\n后台")
        self.assertEqual(s.active_window(), s.browser_window)
        self.assertFalse(s.viewable(run.main_window))
        # Started again (from the menu): the window comes up and takes the focus.
        self.assertEqual(s.start_program(wait=False, env=bare).wait(TIMEOUT), 0)
        wait_until(lambda: s.active_window() == run.main_window, what="the window brought up")
        self.stop()

    def test_a_clipboard_manager_costs_no_paste_and_another_text_never_gets_a_reply_sent(self):
        s = self.s
        mark = self.start(tails=["一", "二", "三"], options=options_file(check1=1))

        def press(kind, delay):
            rival = s.spawn("rival", [os.environ["QLQ_CLIPBOARD_RIVAL"], kind, str(delay)])
            try:
                wait_until(lambda: "ready" in rival.log_text(), what="the rival watching")
                # The user copied something before: the manager shows itself taking it back.
                s.run("sh", "-c", "echo copied | xclip -selection clipboard >/dev/null 2>&1 &")
                wait_until(lambda: "took 1" in rival.log_text(), what="the rival taking it")
                mark = self.refocus()
                s.press("F8")
                time.sleep(QUIET)
                return mark
            finally:
                rival.stop()

        page = s.page
        for turn, delay in enumerate((0, 2, 5, 20, 50)):
            mark = press("same", delay)
            self.assertEqual([e["data"] for e in page.events("paste", after=mark)],
                             ["\u3000\r\n" + "一二三"[turn % 3]], f"{delay} ms")
            self.assertEqual(len(page.events("submit", after=mark)), 1, f"{delay} ms")
        for delay in (2, 5):
            mark = press("other", delay)
            self.assertEqual(page.events("paste", after=mark), [], f"{delay} ms")
            self.assertEqual(page.events("submit", after=mark), [], f"{delay} ms")
        self.stop()


if __name__ == "__main__":
    unittest.main()
