#!/usr/bin/env python3
"""Background mode against a real notification area: openbox and trayer on Xvfb."""

import re
import signal
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import (MAIN_WINDOW_TITLE, TIMEOUT, Session, gbk, options_file,  # noqa: E402
                     wait_until)

OWN = "[本消息由青岚雀贴吧小尾巴自动发送]"
CHECK1 = (1800, 1920, 1815, 255)  # 插入后直接回帖
COMMAND3 = (6120, 8160, 1215, 495)  # 后台运行
COMMAND15 = (5640, 1440, 1695, 735)  # 编辑内容
EDITOR = "^青岚雀贴吧小尾巴 +修改内容$"
# A line of `xwininfo -tree`: id "name": (classes)  WxH+x+y  +absx+absy
TREE_LINE = re.compile(r'(0x[0-9a-f]+) .*\((.*)\)\s+(\d+)x(\d+)\S*\s+\+(-?\d+)\+(-?\d+)')


class TrayTest(unittest.TestCase):
    def setUp(self):
        self.s = Session(wm=True, tray=True, browser=False)
        self.s.start()
        self.addCleanup(self.s.close)

    def icons(self):
        """(id, x, y, w, h) of the program's windows docked inside trayer."""
        found, trayer_depth = [], None
        for line in self.s.run("xwininfo", "-root", "-tree").splitlines():
            depth, m = len(line) - len(line.lstrip()), TREE_LINE.search(line)
            if not m:
                continue
            if trayer_depth is not None and depth <= trayer_depth:
                trayer_depth = None
            if trayer_depth is None and '"trayer"' in m[2].lower():
                trayer_depth = depth
            elif trayer_depth is not None and '"qinglanque"' in m[2].lower():
                found.append((m[1], int(m[5]), int(m[6]), int(m[3]), int(m[4])))
        return found

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
        wait_until(lambda: self.s.run("xdotool", "getactivewindow").strip() == str(main),
                   what="the window to be active")
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

    def test_one_copy_per_display_and_sigterm_saves_like_closing(self):
        s = self.s
        run = s.start_program(tails=["甲"], options=options_file())
        main = run.main_window
        s.click_control(main, *CHECK1)
        s.click_control(main, *COMMAND3)
        self.to_tray(main)
        # Another copy started from the menu: the first one comes out of the tray, it leaves.
        second = s.start_program(wait=False)
        self.assertEqual(second.wait(TIMEOUT), 0, second.log_text())
        wait_until(lambda: s.viewable(main), what="the window back from the tray")
        self.assertEqual(s.search_windows(MAIN_WINDOW_TITLE), [main])
        # Text typed in the editor and not saved yet.
        s.click_control(main, *COMMAND15)
        s.find_window(EDITOR, pid=run.pid)
        s.press("ctrl+End")
        s.xdotool("type", "--delay", "20", "kept")
        s.press("Return")
        # What a session manager sends at logout: the options are saved as the close box does,
        # the editor's text goes beside the list, which stays as it was.
        run.popen.send_signal(signal.SIGTERM)
        self.assertEqual(run.wait(TIMEOUT), 0)
        self.assertEqual(run.read_file("corvane.ini"), options_file(check1=1))
        self.assertEqual(run.read_file("qinglanque.ini"), gbk(["甲"]))
        self.assertEqual(run.read_file("qinglanque.ini.unsaved"), gbk(["甲", "kept"]))
        # The next start offers it: Enter takes it into the editor, Tab and Enter save it.
        again = s.start_program(again=run)
        s.click_control(again.main_window, *COMMAND15)
        question = s.find_window("^青岚雀贴吧小尾巴$", pid=again.pid)
        s.xdotool("windowactivate", "--sync", question)
        s.press("Return")
        wait_until(lambda: not (again.directory / "corvane/qinglanque.ini.unsaved").exists(),
                   what="the kept text to be taken")
        s.press("Tab")
        s.press("Return")
        wait_until(lambda: again.read_file("qinglanque.ini") == gbk(["甲", "kept"]),
                   what="the restored text saved")
        self.assertEqual(s.stop_program(again), 0)
        # A copy killed outright leaves its lock behind; the next start is not blocked by it.
        killed = s.start_program()
        killed.popen.send_signal(signal.SIGKILL)
        killed.wait(TIMEOUT)
        self.assertEqual(s.stop_program(s.start_program()), 0)


if __name__ == "__main__":
    unittest.main()
