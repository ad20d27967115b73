#!/usr/bin/env python3
"""Background mode against a real notification area: openbox and trayer on Xvfb."""

import re
import signal
import unittest

from harness import TIMEOUT, PasteTest, Session, options_file, wait_until

OWN = "[本消息由青岚雀贴吧小尾巴自动发送]"
CHECK1 = (1800, 1920, 1815, 255)  # 插入后直接回帖
COMMAND3 = (6120, 8160, 1215, 495)  # 后台运行
# A line of `xwininfo -tree`: id "name": (classes)  WxH+x+y  +absx+absy
TREE_LINE = re.compile(r'(0x[0-9a-f]+) .*\((.*)\)\s+(\d+)x(\d+)\S*\s+\+(-?\d+)\+(-?\d+)')


class TrayTest(PasteTest):
    session = staticmethod(lambda: Session(wm=True, tray=True, browser=False))

    def icons(self):
        """(id, x, y, w, h) of the program's windows docked inside trayer."""
        return sorted({(m[1], int(m[5]), int(m[6]), int(m[3]), int(m[4]))
                       for trayer in self.s.run("xdotool", "search", "--class", "^trayer$").split()
                       for m in TREE_LINE.finditer(self.s.run("xwininfo", "-tree", "-id", trayer))
                       if '"qinglanque"' in m[2].lower()})

    def to_tray(self, main):
        """Waits for the window to go and its one icon to be docked; returns the icon's centre."""
        wait_until(lambda: not self.s.viewable(main), what="the window to leave the screen")
        last = [None, None]

        def settled():  # the tray host docks the icon first and lays it out after
            icons = self.icons()
            self.assertLessEqual(len(icons), 1, "more than one tray icon")
            last[:] = [icons, last[0]]
            return icons and icons == last[1] and min(icons[0][1:3]) >= 0 and \
                self.s.viewable(icons[0][0])

        wait_until(settled, what="the icon in the tray")
        _, x, y, w, h = last[0][0]
        return x + w // 2, y + h // 2

    def double_click_back(self, main, icon, position):
        self.s.xdotool("mousemove", *icon, "click", "--repeat", 2, "--delay", 80, 1)
        wait_until(lambda: self.s.viewable(main) and self.s.window_geometry(main)[:2] == position,
                   what=f"the window back at {position}")
        wait_until(lambda: self.s.active_window() == main, what="the window to be active")
        self.assertEqual(len(self.icons()), 1)

    def test_minimise_restore_and_exit_from_the_tray(self):
        s = self.s
        run = s.start_program(tails=["第一条尾巴", "第二条尾巴"], options=options_file(OWN, check2=1))
        main = run.main_window
        start = s.window_geometry(main)[:2]
        s.click_control(main, *CHECK1)  # a change the exit item must save
        s.click_control(main, *COMMAND3)
        self.double_click_back(main, self.to_tray(main), start)

        # Moved, then minimised by the window manager: back where it was moved to.
        s.xdotool("windowmove", "--sync", main, 100, 150)
        moved = wait_until(lambda: (p := s.window_geometry(main)[:2]) != start and p)
        s.xdotool("windowminimize", main)
        self.double_click_back(main, self.to_tray(main), moved)

        # The right button opens the menu; its second item, exit, ends the program.
        s.click_control(main, *COMMAND3)
        s.xdotool("mousemove", *self.to_tray(main), "click", 3)

        def menus():  # the program's visible windows but the icon and its tooltip
            icons = {int(icon[0], 16) for icon in self.icons()}
            return [w for w in s.visible_windows(run.pid) if w not in icons
                    and "TOOLTIP" not in s.run("xprop", "-id", w, "_NET_WM_WINDOW_TYPE")]

        [menu] = wait_until(menus, what="the tray menu")
        _, _, width, height = s.window_geometry(menu)
        s.click(menu, width // 2, height * 3 // 4)
        self.assertEqual(run.wait(TIMEOUT), 0)
        self.assertEqual(self.icons(), [])
        self.assertEqual(run.log_text().strip(), "", "the program printed warnings")
        self.assertEqual(run.read_file("corvane.ini"), options_file(OWN, check1=1, check2=1))

    def test_sigterm_saves_like_closing_and_a_killed_copy_blocks_no_start(self):
        s = self.s
        run = s.start_program(tails=["甲"], options=options_file())
        s.click_control(run.main_window, *CHECK1)
        # What a session manager sends at logout: the options are saved as the close box does.
        run.popen.send_signal(signal.SIGTERM)
        self.assertEqual(run.wait(TIMEOUT), 0)
        self.assertEqual(run.read_file("corvane.ini"), options_file(check1=1))
        # A copy killed outright leaves its lock and socket behind; they block no later start.
        killed = s.start_program()
        killed.popen.send_signal(signal.SIGKILL)
        killed.wait(TIMEOUT)
        again = s.start_program()
        self.assertEqual(s.stop_program(again), 0)
        self.assertEqual(again.log_text().strip(), "", "the program printed warnings")


if __name__ == "__main__":
    unittest.main()
