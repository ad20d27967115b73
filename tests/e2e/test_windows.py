#!/usr/bin/env python3
"""End-to-end checks of the auxiliary windows on a private Xvfb with a window manager.

- The gallery helper shows a page served here on 127.0.0.1 through its panel only: the page's
  left strip and the browser's scroll bars are cut off; script dialogs never appear.
- An unreachable address still opens the window, without a dialog, and it stays responsive.
- A second start brings the open gallery forward instead of opening another one.
- The real program starts with the splash, which hands over to the main window; "签名大全"
  opens one gallery, which outlives the main window.

Every process is stopped by its pid; every wait is for a condition, with a deadline.
"""
import argparse
import http.server
import os
import select
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import traceback

GALLERY_TITLE = "青岚雀贴吧小尾巴    个性签名大全"
SPLASH_TITLE = "青岚雀贴吧小尾巴"
MAIN_TITLE_START = "青岚雀贴吧小尾巴v2.2版"
# Gallery layout in pixels: the panel at (8, 8) is 545 x 505, the browser sits 55 px left of it.
PANEL = (8, 8, 545, 505)
BROWSER_LEFT = -55
CLOSE_BUTTON_CENTRE = (232 + 52, 520 + 16)

GREEN, BLUE, YELLOW, RED = (0, 255, 0), (0, 0, 255), (255, 255, 0), (255, 0, 0)

# Left strip red (must stay hidden), then a green band where the panel starts, a yellow band at
# the top; forced scroll bars; the background turns blue once every dialog call has returned
# with the refused answer (and magenta if one did not), and the answers are reported back.
BANDS_PAGE = b"""<!doctype html><html><head><style>
html { overflow: scroll; }
body { margin: 0; width: 2000px; height: 2000px; background: #fff; }
div { position: absolute; }
#strip { left: 0; top: 0; width: 55px; height: 2000px; background: #f00; }
#band { left: 55px; top: 0; width: 10px; height: 2000px; background: #0f0; }
#top { left: 0; top: 0; width: 2000px; height: 5px; background: #ff0; }
</style></head><body><div id="strip"></div><div id="band"></div><div id="top"></div>
<script>
alert("alert");
var c = confirm("confirm");
var p = prompt("prompt", "x");
window.open("about:blank", "_blank");
document.body.style.background = (!c && p === null) ? "#00f" : "#f0f";
new Image().src = "/report?confirm=" + c + "&prompt=" + p;
</script></body></html>"""


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(predicate, what, timeout=60.0):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.1)


class PageServer:
    def __init__(self):
        server = self
        self.reports = []

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                if self.path.startswith("/report?"):
                    server.reports.append(self.path)
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Content-Length", str(len(BANDS_PAGE)))
                self.end_headers()
                self.wfile.write(BANDS_PAGE)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def url(self, path="/bands"):
        return "http://127.0.0.1:%d%s" % (self.httpd.server_address[1], path)

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def closed_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


class Desktop:
    """Xvfb on a free display, openbox on it, and the processes started there."""

    def __init__(self, root):
        self.root = root
        self.processes = []  # our children
        self.foreign_pids = []  # detached helpers found through their windows
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24",
             "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        number = b""
        deadline = time.monotonic() + 30
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([read_fd], [], [], max(0.0, deadline - time.monotonic()))
            chunk = os.read(read_fd, 16) if ready else b""
            if not chunk:
                os.close(read_fd)
                self.stop()
                raise Failure("Xvfb did not report a display")
            number += chunk
        os.close(read_fd)

        runtime = os.path.join(root, "runtime")
        os.mkdir(runtime, 0o700)
        self.env = dict(os.environ)
        for key in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "QTWEBENGINE_CHROMIUM_FLAGS"):
            self.env.pop(key, None)
        self.env.update({
            "DISPLAY": ":" + number.decode().strip(),
            "XDG_RUNTIME_DIR": runtime,
            "XDG_DATA_HOME": os.path.join(root, "data"),
            "XDG_CONFIG_HOME": os.path.join(root, "config"),
            "XDG_CACHE_HOME": os.path.join(root, "cache"),
            "DBUS_SESSION_BUS_ADDRESS": "unix:path=/nonexistent",
            "QT_QPA_PLATFORM": "xcb",
        })
        self.start(["openbox", "--sm-disable"])
        wait_until(lambda: "window id" in self.run(["xprop", "-root",
                                                      "_NET_SUPPORTING_WM_CHECK"]).stdout,
                   "the window manager", 30)

    def start(self, argv, extra_env=None):
        env = dict(self.env, **(extra_env or {}))
        p = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.processes.append(p)
        # Drain stderr so a chatty process never blocks on a full pipe.
        p.stderr_lines = []
        threading.Thread(target=lambda: p.stderr_lines.extend(p.stderr), daemon=True).start()
        return p

    def run(self, argv, timeout=30):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=timeout)

    def visible_windows(self, pid):
        out = self.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)]).stdout
        return [int(w) for w in out.split()]

    def window_name(self, wid):
        return self.run(["xdotool", "getwindowname", str(wid)]).stdout.rstrip("\n")

    def find_window(self, name, exact=True):
        out = self.run(["xdotool", "search", "--onlyvisible", "--name", name]).stdout
        for wid in (int(w) for w in out.split()):
            title = self.window_name(wid)
            if title == name or (not exact and title.startswith(name)):
                return wid
        return None

    def window_pid(self, wid):
        return int(self.run(["xdotool", "getwindowpid", str(wid)]).stdout.strip() or 0)

    def geometry(self, wid):
        info = self.run(["xwininfo", "-id", str(wid)]).stdout
        fields = dict(line.strip().split(": ", 1) for line in info.splitlines()
                      if ": " in line)
        return fields

    def viewable(self, wid):
        return self.geometry(wid).get("Map State") == "IsViewable"

    def grab(self, wid):
        """The window's pixels as (width, height, rgb bytes)."""
        data = subprocess.run(["import", "-window", str(wid), "-depth", "8", "ppm:-"], env=self.env,
                              capture_output=True, timeout=30).stdout
        fields, pos = [], 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos) + 1
                continue
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        check(fields[0] == b"P6" and fields[3] == b"255", "unexpected screenshot format")
        width, height = int(fields[1]), int(fields[2])
        return width, height, data[pos + 1:pos + 1 + width * height * 3]

    def save_screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env, timeout=30)

    def click(self, wid, x, y):
        self.run(["xdotool", "mousemove", "--window", str(wid), str(x), str(y), "click", "1"])

    def stop(self):
        for pid in self.foreign_pids:
            try:
                os.kill(pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
        for p in reversed(self.processes + [self.xvfb]):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(10)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait(10)
        for pid in self.foreign_pids:
            wait_until(lambda: not pid_alive(pid), "helper %d to end" % pid, 10)
        reap_orphans()


def become_subreaper():
    """The main program starts the gallery detached; as the subreaper this test gets such
    orphans (and their web engine processes) as children and can reap them."""
    import ctypes
    PR_SET_CHILD_SUBREAPER = 36
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)


def reap_orphans(timeout=15.0):
    """Waits for every remaining descendant to end; call once our own processes are stopped."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            if time.monotonic() > deadline:
                raise Failure("processes left behind")
            time.sleep(0.1)


def pid_alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    try:  # a zombie has ended
        with open("/proc/%d/stat" % pid) as f:
            return f.read().split(")")[-1].split()[0] != "Z"
    except OSError:
        return False


def pixel(shot, x, y):
    width, _, rgb = shot
    i = (y * width + x) * 3
    return tuple(rgb[i:i + 3])


def stable_frame(desktop, wid, ready):
    """A screenshot that is ready and equal to the next one."""
    first = desktop.grab(wid)
    if not ready(first):
        return None
    time.sleep(0.1)
    return first if desktop.grab(wid) == first else None


def panel_colours(shot):
    left, top, width, height = PANEL
    return len({pixel(shot, x, y) for y in range(top, top + height, 3)
                for x in range(left, left + width, 3)})


def start_gallery(desktop, helper, address):
    p = desktop.start([helper, address])
    wid = wait_until(lambda: desktop.find_window(GALLERY_TITLE), "the gallery window")
    check(desktop.window_pid(wid) == p.pid, "the gallery window belongs to another process")
    return p, wid


def test_gallery_shows_only_the_panel_and_no_dialog(desktop, args, server):
    del server.reports[:]
    helper, wid = start_gallery(desktop, args.helper, server.url())
    reports = wait_until(lambda: server.reports, "the page's script to get past its dialogs")
    check(reports == ["/report?confirm=false&prompt=null"], "dialog answers: %s" % reports)
    left, top, width, height = PANEL
    centre = (left + width // 2, top + height // 2)
    # Before the page is drawn the browser shows a frame of plain background colour.
    shot = wait_until(lambda: stable_frame(
        desktop, wid, lambda s: pixel(s, *centre) == BLUE and panel_colours(s) > 1),
        "the page to turn blue")
    if args.screenshots:
        desktop.save_screenshot(os.path.join(args.screenshots, "gallery.png"))
    check(shot[0] == 565 and shot[1] == 566, "gallery client size %dx%d" % shot[:2])

    # Every pixel in the panel is page content: no hidden strip, no scroll bar.
    band_end = left + 65 + BROWSER_LEFT  # the green band covers page x 55..64
    for y in range(top, top + height):
        for x in range(left, left + width):
            colour = pixel(shot, x, y)
            if y < top + 5:
                expected = YELLOW
            elif x < band_end:
                expected = GREEN
            else:
                expected = BLUE
            if colour != expected:
                raise Failure("panel pixel (%d, %d) is %s, expected %s" % (x, y, colour, expected))
    # And nothing of the page outside it.
    page = {GREEN, BLUE, YELLOW, RED}
    for x, y in [(left - 1, centre[1]), (left + width, centre[1]), (centre[0], top - 1),
                 (centre[0], top + height), (left + width + 5, top + height + 5)]:
        check(pixel(shot, x, y) not in page, "page drawn outside the panel at (%d, %d)" % (x, y))

    check(desktop.visible_windows(helper.pid) == [wid], "a second window appeared")

    # A second start brings the minimised gallery back instead of opening another one.
    desktop.run(["xdotool", "windowminimize", str(wid)])
    wait_until(lambda: not desktop.viewable(wid), "the gallery to be minimised")
    second = desktop.start([args.helper, server.url("/other")])
    check(second.wait(30) == 0, "the second start failed")
    wait_until(lambda: desktop.viewable(wid), "the gallery to come back")
    check(desktop.visible_windows(helper.pid) == [wid], "the gallery opened twice")

    # 关闭 ends it. Right after coming back the window may miss a click that arrives before it
    # has settled, as any window would, so click again until it goes.
    def closed():
        desktop.click(wid, *CLOSE_BUTTON_CENTRE)
        try:
            return helper.wait(0.5) == 0 or "failed"
        except subprocess.TimeoutExpired:
            return False
    check(wait_until(closed, "关闭 to end the gallery", 30) is True, "the gallery failed")


def test_unreachable_address_opens_quietly(desktop, args, server):
    helper, wid = start_gallery(desktop, args.helper,
                                "http://127.0.0.1:%d/" % closed_port())
    # The window answers while the load fails: a raise request goes through.
    second = desktop.start([args.helper, server.url()])
    check(second.wait(30) == 0, "the open gallery did not answer")
    # Wait for the failed load to have drawn its page, then look for dialogs.
    wait_until(lambda: panel_colours(desktop.grab(wid)) > 1, "the browser to draw its page")
    if args.screenshots:
        desktop.save_screenshot(os.path.join(args.screenshots, "unreachable.png"))
    check(helper.poll() is None, "the gallery ended")
    check(desktop.visible_windows(helper.pid) == [wid], "a dialog or second window appeared")
    helper.terminate()
    helper.wait(30)


def test_program_starts_with_splash_and_opens_one_gallery(desktop, args, server):
    # The built-in gallery address is not on this machine: nothing may be looked up.
    program = desktop.start([args.program], {
        "QTWEBENGINE_CHROMIUM_FLAGS": "--host-resolver-rules=MAP * ~NOTFOUND"})
    splash = wait_until(lambda: desktop.find_window(SPLASH_TITLE), "the splash")
    size = desktop.geometry(splash)
    check((size.get("Width"), size.get("Height")) == ("445", "300"), "splash size %s" % size)
    if args.screenshots:
        desktop.save_screenshot(os.path.join(args.screenshots, "splash.png"))
    check(desktop.find_window(MAIN_TITLE_START, exact=False) is None,
          "the main window came with the splash")

    main = wait_until(lambda: desktop.find_window(MAIN_TITLE_START, exact=False),
                      "the main window")
    check(not desktop.find_window(SPLASH_TITLE), "the splash outlived the hand-over")

    # 使用说明 and 签名大全 on the main window (Command4 and Command2).
    desktop.click(main, 2120 // 15 + 44, 8160 // 15 + 16)
    help_window = wait_until(lambda: desktop.find_window("介绍与帮助"), "the help window")
    if args.screenshots:
        desktop.save_screenshot(os.path.join(args.screenshots, "help.png"))
    desktop.run(["xdotool", "windowactivate", "--sync", str(help_window), "key", "alt+F4"])
    wait_until(lambda: not desktop.find_window("介绍与帮助"), "the help window to close")

    desktop.click(main, 120 // 15 + 44, 8160 // 15 + 16)
    gallery = wait_until(lambda: desktop.find_window(GALLERY_TITLE), "the gallery window")
    helper_pid = desktop.window_pid(gallery)
    desktop.foreign_pids.append(helper_pid)
    check(helper_pid not in (0, program.pid), "the gallery runs inside the main program")
    # A second 签名大全 brings the minimised gallery back, as the user left it.
    desktop.run(["xdotool", "windowminimize", str(gallery)])
    wait_until(lambda: not desktop.viewable(gallery), "the gallery to be minimised")
    desktop.click(main, 120 // 15 + 44, 8160 // 15 + 16)
    wait_until(lambda: desktop.viewable(gallery), "the gallery to come back")
    windows = desktop.run(["xdotool", "search", "--onlyvisible", "--name", GALLERY_TITLE])
    check(len(windows.stdout.split()) == 1, "two galleries are open")

    # The gallery outlives the main window.
    desktop.run(["xdotool", "windowactivate", "--sync", str(main), "key", "alt+F4"])
    check(program.wait(30) == 0, "the main program did not end")
    check(pid_alive(helper_pid) and desktop.viewable(gallery),
          "the gallery went with the main window")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--helper", required=True)
    parser.add_argument("--program")
    parser.add_argument("--screenshots", help="directory for screenshots to look at")
    args = parser.parse_args()

    tests = [test_gallery_shows_only_the_panel_and_no_dialog,
             test_unreachable_address_opens_quietly]
    if args.program:
        tests.append(test_program_starts_with_splash_and_opens_one_gallery)

    become_subreaper()
    server = PageServer()
    passed = failed = 0
    try:
        for test in tests:
            with tempfile.TemporaryDirectory(prefix="qlq-windows-e2e-") as root:
                desktop = None
                try:
                    desktop = Desktop(root)
                    test(desktop, args, server)
                    passed += 1
                    print("PASS", test.__name__, flush=True)
                except Exception:
                    failed += 1
                    print("FAIL", test.__name__, flush=True)
                    traceback.print_exc()
                    if desktop and args.screenshots:
                        desktop.save_screenshot(
                            os.path.join(args.screenshots, "failed-%s.png" % test.__name__))
                    if desktop:
                        for p in desktop.processes:
                            tail = b"".join(getattr(p, "stderr_lines", [])[-20:])
                            if tail:
                                print("--- stderr of", p.args[0], "\n" + tail.decode(errors="replace"))
                finally:
                    if desktop:
                        desktop.stop()
    finally:
        server.stop()
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
