#!/usr/bin/env python3
"""KWin 5.27, headless, with xdg-desktop-portal-kde: the program registers F8 through the
GlobalShortcuts portal, sets the clipboard through data-control and types Ctrl+V through the
RemoteDesktop portal into Chromium running natively on Wayland. The test fires the shortcut
the way KWin does for a key press, through kglobalaccel (the bed has no keyboard)."""

import re
import unittest

from harness import QUIET, PasteTest, wait_until
from wayland_bed import WaylandSession

SHORTCUT = "insert-next-tail"
QT_KEY_F8 = 0x01000037


class KWinTest(PasteTest):
    session = staticmethod(lambda: WaylandSession("kwin", browser=False))

    def kglobalaccel(self, path, method, *args):
        iface = "org.kde.KGlobalAccel" if path == "/kglobalaccel" else \
            "org.kde.kglobalaccel.Component"
        status, out, _ = self.s.call("gdbus", "call", "--session", "-d", "org.kde.kglobalaccel",
                                     "-o", path, "-m", f"{iface}.{method}", *args)
        return out if status == 0 else ""

    def our_component(self):
        for path in re.findall(r"'(/component/[^']+)'",
                               self.kglobalaccel("/kglobalaccel", "allComponents")):
            if f"'{SHORTCUT}'" in self.kglobalaccel(path, "shortcutNames"):
                return path
        return None

    def test_the_portal_shortcut_for_f8_pastes_through_the_portals_remote_control(self):
        s, page = self.s, self.s.page
        tails = ["尾巴一", "tail two", "三"]
        self.run_ = s.start_program(tails=tails)
        s._start_browser()  # the page's window comes last and has the focus
        component = wait_until(self.our_component, timeout=20, what="our shortcut in kglobalaccel")
        self.assertIn(f"[{QT_KEY_F8}]", self.kglobalaccel(component, "allShortcutInfos"),
                      "the shortcut is not on F8")
        # A headless KWin has no keyboard until the portal's first key makes one, and that key
        # does not reach the window (a bare Debian 12; a desktop with a keyboard has one from the
        # start): presses go until one arrives. Every press after it must arrive, in list order.
        for press in range(3):
            self.kglobalaccel(component, "invokeShortcut", SHORTCUT)
            try:
                paste = page.wait_for("paste", timeout=5)
                break
            except TimeoutError:
                self.assertLess(press, 2, "no press reached the page")
        row, mark = tails.index(paste["data"][3:]), paste["seq"]
        for press in range(2):
            row = (row + 1) % len(tails)
            self.kglobalaccel(component, "invokeShortcut", SHORTCUT)
            paste = page.wait_for("paste", after=mark, timeout=20)
            self.assertEqual(paste["data"], "\u3000\r\n" + tails[row])
            self.assertEqual(
                [e["key"] for e in page.events("keydown", after=mark)][-2:], ["Control", "v"])
            mark = paste["seq"]
        self.assertTrue(page.quiet("paste", after=mark, duration=QUIET), "a press pasted twice")
        # `qinglanque --insert` works here too.
        self.assertEqual(s.insert(), (0, ""))
        row = (row + 1) % len(tails)
        self.assertEqual(page.wait_for("paste", after=mark)["data"], "\u3000\r\n" + tails[row])
        self.stop()


if __name__ == "__main__":
    unittest.main()
