#!/usr/bin/env python3
"""Splash, main and gallery windows on a private Xvfb with openbox (needs QLQ_GALLERY)."""

import os
import re
import time
import unittest

from harness import MAIN_WINDOW_TITLE, Session, wait_until

HELPER = os.environ.get("QLQ_GALLERY")
GALLERY = "^青岚雀贴吧小尾巴 +个性签名大全$"
SPLASH = "^青岚雀贴吧小尾巴$"
COMMAND2 = (120, 8160, 1335, 495)  # 签名大全
TOP = 8  # of the gallery's page in its window


def frame_centre(s, window):
    """The centre of the window with the window manager's frame around it. (xdotool's position
    of a framed window counts the frame twice; xwininfo's absolute one is right.)"""
    info = dict(re.findall(r"^\s*(Absolute upper-left [XY]|Width|Height):\s+(-?\d+)$",
                           s.run("xwininfo", "-id", window), re.M))
    extents = s.run("xprop", "-id", window, "_NET_FRAME_EXTENTS").split("=")[-1]
    left, right, top, bottom = (int(v) for v in extents.split(","))
    return (int(info["Absolute upper-left X"]) + (int(info["Width"]) + right - left) // 2,
            int(info["Absolute upper-left Y"]) + (int(info["Height"]) + bottom - top) // 2)


# A page's dialogs are refused at once (it reports the answers it got) and a script alone opens
# no window. Of the links for a new window only web ones go to the user's browser, the others
# never reach the desktop. Each link reports its click (on the press).
PAGE = b"""<!doctype html><html><head><style>body { margin: 0; }
a { display: block; width: 2000px; height: 80px; }</style></head><body>
<a href="mailto:someone@example.invalid">mail</a>
<a href="ssh://example.invalid/">ssh</a>
<a href="javascript:location='vnd.evil:run'">vendor</a>
<a href="data:text/html,hi" target="_blank">new data</a>
<a href="/elsewhere" target="_blank">new page</a>
<a href="#" onclick="window.open('https://example.invalid/opened'); return false">opened</a>
<script>
alert("alert");
var c = confirm("confirm"), p = prompt("prompt", "x"), seq = 1;
window.open("https://example.invalid/pop-up");
for (const a of document.querySelectorAll("a"))
  a.addEventListener("mousedown", () => fetch("/event", {method: "POST", keepalive: true,
      body: JSON.stringify({type: "clicked", seq: ++seq, text: a.textContent})}));
fetch("/event", {method: "POST",
                 body: JSON.stringify({type: "loaded", seq: 1, confirm: c, prompt: p})});
</script></body></html>"""


@unittest.skipUnless(HELPER, "QLQ_GALLERY names no gallery helper")
class WindowsTest(unittest.TestCase):
    def setUp(self):  # a session each: the gallery is single-instance per session
        self.s = Session(wm=True, browser=False).start()
        self.addCleanup(self.s.close)

    def test_a_page_opens_no_dialog_or_window_and_only_web_links_leave_for_the_browser(self):
        s = self.s
        s.pages["/links"] = PAGE
        handlers, opened = s.tmp / "bin", s.tmp / "opened"
        handlers.mkdir()
        for name in ("xdg-open", "xdg-email"):
            (handlers / name).write_text(f'#!/bin/sh\necho "$0 $*" >> {opened}\n')
            (handlers / name).chmod(0o755)
        helper = s.spawn("gallery", [HELPER, s.url + "/links"],
                         env={"PATH": f"{handlers}:{s.env['PATH']}"})
        window = s.find_window(GALLERY, pid=helper.pid, timeout=30)
        loaded = s.page.wait_for("loaded", timeout=30)
        self.assertEqual((loaded["confirm"], loaded["prompt"]), (False, None))
        links = ["mail", "ssh", "vendor", "new data", "new page", "opened"]
        for row, text in enumerate(links):
            def clicked():  # the view may take a moment after loading before it takes clicks
                s.click(window, 200, TOP + 80 * row + 40)
                return s.page.arrived("clicked", predicate=lambda e: e["text"] == text)

            wait_until(clicked, what=f"the {text} link to be clicked")
        web = [f"{handlers}/xdg-open {s.url}/elsewhere",
               f"{handlers}/xdg-open https://example.invalid/opened"]
        wait_until(lambda: opened.exists() and len(opened.read_text().splitlines()) >= 2,
                   what="the web links in the browser")
        time.sleep(1.5)  # anything else would have been handed on by now
        self.assertEqual(sorted(opened.read_text().splitlines()), web)
        self.assertEqual(s.visible_windows(helper.pid), [window], "a dialog or second window")
        self.assertTrue(helper.running())

    def test_splash_then_a_centred_main_window_and_one_gallery_that_outlives_it(self):
        s = self.s
        # The built-in gallery address is not on this machine: nothing may be looked up.
        run = s.start_program(wait=False, beside=[HELPER], env={
            "QTWEBENGINE_CHROMIUM_FLAGS": "--host-resolver-rules=MAP * ~NOTFOUND"})
        s.find_window(SPLASH, pid=run.pid)
        main = run.main_window = s.find_window(MAIN_WINDOW_TITLE, pid=run.pid)
        # Centred with the title bar, not only the inside (the screen is 1600 x 1000).
        wait_until(lambda: abs(frame_centre(s, main)[1] - 500) <= 1, what="the main window centred")
        self.assertLessEqual(abs(frame_centre(s, main)[0] - 800), 1)

        s.click_control(main, *COMMAND2)
        gallery = s.find_window(GALLERY, timeout=30)
        helper_pid = int(s.xdotool("getwindowpid", gallery))
        self.assertNotEqual(helper_pid, run.pid, "the gallery runs inside the main program")
        time.sleep(2)  # its address is unreachable here; the error page is up by now, quietly
        self.assertEqual(s.visible_windows(helper_pid), [gallery], "a dialog or second window")
        # A second 签名大全 brings the minimised gallery back instead of opening another.
        s.xdotool("windowminimize", gallery)
        wait_until(lambda: not s.viewable(gallery), what="the gallery to be minimised")
        s.click_control(main, *COMMAND2)
        wait_until(lambda: s.viewable(gallery), what="the gallery to come back")
        self.assertEqual(s.search_windows(GALLERY), [gallery])

        self.assertEqual(s.stop_program(run), 0)
        self.assertEqual(s.search_windows(GALLERY, pid=helper_pid), [gallery],
                         "the gallery went with the main window")
        # The end of the program (退出, a signal, logout) takes the gallery with it.
        again = s.start_program(beside=[HELPER])
        self.assertEqual(again.stop(), 0)
        wait_until(lambda: not s.search_windows(GALLERY), what="the gallery to close")


if __name__ == "__main__":
    unittest.main()
