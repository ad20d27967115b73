"""Headless Wayland sessions for the end-to-end tests: sway, KWin or mutter with XWayland, the
loopback test page in Chromium running natively on Wayland, and program runs from portable
copies, as harness.Session does on Xvfb. As root everything runs as an unprivileged test user
(sway refuses root). The compositor starts a launcher that reports the session's environment
(DISPLAY, WAYLAND_DISPLAY, the session bus); later processes are our own children with that
environment, stopped by pid."""

import os
import pwd
import select
import shutil
import subprocess
from pathlib import Path

import harness
import xlib
from harness import TIMEOUT, wait_until

TEST_USER = "qlq-e2e"


def test_user():
    """The unprivileged user the session runs as when we are root (created once), else None."""
    if os.geteuid() != 0:
        return None
    try:
        return pwd.getpwnam(TEST_USER)
    except KeyError:
        # Exit 9: another test created it meanwhile.
        result = subprocess.run(["useradd", "--system", "--no-create-home", "--home-dir",
                                 "/nonexistent", "--shell", "/usr/sbin/nologin", TEST_USER],
                                capture_output=True)
        if result.returncode not in (0, 9):
            raise RuntimeError(f"useradd {TEST_USER}: {result.stderr.decode(errors='replace')}")
        return pwd.getpwnam(TEST_USER)


class WaylandSession(harness.Session):
    """compositor: "sway", "kwin" or "mutter". On sway, F8 is bound to `qinglanque --insert`."""

    def __init__(self, compositor, program=None, browser=True):
        super().__init__(program=program, browser=browser)
        self.compositor, self.prefix = compositor, f"qlq-{compositor}-"
        self.user = test_user()
        if self.user:
            self.as_user = {"user": self.user.pw_uid, "group": self.user.pw_gid,
                            "extra_groups": []}

    def own(self, path):
        if self.user:
            for root, dirs, files in os.walk(path):
                for name in [root, *(os.path.join(root, n) for n in dirs + files)]:
                    os.lchown(name, self.user.pw_uid, self.user.pw_gid)

    def _start_display(self):
        for sub in ("home", "run", "bin"):
            (self.tmp / sub).mkdir(mode=0o700)
        # The program the desktop shortcut runs, where the test user may run it.
        shutil.copy2(self.program, self.tmp / "bin")
        self.insert_command = f"{self.tmp / 'bin' / self.program.name} --insert"
        self.own(self.tmp)
        self._start_compositor()
        # XWayland lets in the test user's clients only; ours too. The first client also starts
        # XWayland where it waits for one.
        if self.user:
            self.run("xhost", "+si:localuser:root", check=True)
        self._x = xlib.Display(self.display, self.env.get("XAUTHORITY", "/nonexistent"))

    def _start_compositor(self):
        self.env = self._home_env(self.tmp / "run")
        report = self.tmp / "run" / "session-env"
        launcher = self.tmp / "bin" / "report-session"
        launcher.write_text(f'#!/bin/sh\nenv -0 > "{report}.part" && mv "{report}.part" "{report}"'
                            f'\nexec sleep 86400\n')
        launcher.chmod(0o755)
        self.own(launcher)
        # No portal backends for sway and mutter, as on wlroots desktops and GNOME without
        # gnome-shell (whose remote-control dialog no test could answer anyway).
        (self.tmp / "no-portals").mkdir()
        no_portals = str(self.tmp / "no-portals")
        if self.compositor == "sway":
            config = self.tmp / "sway.cfg"
            config.write_text("output HEADLESS-1 resolution 1280x720\nxwayland enable\n"
                              f"seat * hide_cursor 0\nbindsym F8 exec {self.insert_command}\n"
                              f"exec {launcher}\n")
            self.own(config)
            self.env.update(WLR_BACKENDS="headless", WLR_RENDERER="pixman",
                            WLR_LIBINPUT_NO_DEVICES="1", XDG_CURRENT_DESKTOP="sway",
                            XDG_DESKTOP_PORTAL_DIR=no_portals)
            argv = ["dbus-run-session", "--", "sway", "-c", str(config)]
        elif self.compositor == "kwin":
            # kwin_wayland's file capability makes exec fail in a container; a copy without it,
            # keeping the name, runs.
            kwin = self.tmp / "kwin" / "kwin_wayland"
            kwin.parent.mkdir()
            shutil.copy(shutil.which("kwin_wayland"), kwin)
            self.own(kwin.parent)
            self.env.update(KWIN_COMPOSE="Q", QT_QPA_PLATFORM="wayland", XDG_CURRENT_DESKTOP="KDE")
            argv = ["dbus-run-session", "--", str(kwin), "--virtual", "--xwayland", "--width",
                    "1280", "--height", "720", str(launcher)]
        elif self.compositor == "mutter":
            self.env.update(LIBGL_ALWAYS_SOFTWARE="1", XDG_CURRENT_DESKTOP="GNOME",
                            XDG_DESKTOP_PORTAL_DIR=no_portals)
            argv = ["dbus-run-session", "--", "mutter", "--headless", "--wayland",
                    "--virtual-monitor", "1280x720", "--", str(launcher)]
        else:
            raise ValueError(self.compositor)
        compositor = self.spawn(self.compositor, argv, group=True)

        def reported():
            if not compositor.running():
                raise RuntimeError(f"{self.compositor} ended: {compositor.log_text()}")
            return report.exists()

        wait_until(reported, timeout=30, what=f"{self.compositor} to start its session")
        session = dict(e.split("=", 1) for e in report.read_text().split("\0") if "=" in e)
        self.env.update({name: session[name] for name in (
            "DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS", "SWAYSOCK")
            if name in session})
        self.env.pop("QT_QPA_PLATFORM", None)  # KWin's own; the program picks xcb itself
        self.display = self.env["DISPLAY"]

    def _start_browser(self):
        self._spawn_browser("--ozone-platform=wayland", "--window-size=640,600", "--no-sandbox")

    # ----- keys, as the compositor receives them

    def wtype(self, *args):
        """Keys through the compositor's virtual keyboard (sway). wtype loses the first key of a
        new keyboard without the delay."""
        self.run("wtype", "-s", "300", *args, check=True)

    def press(self, key):
        self.wtype("-k", key)

    def focus_browser(self, escape=None):
        """Gives the page's window the focus (a window mapped meanwhile may take it back) and
        empties the box; returns the mark to wait after. escape() types Escape another way; the
        first keys of a new input device may be lost, so it is tried again as well."""
        def cleared():
            if self.compositor == "sway":
                self.run("swaymsg", '[app_id="^chrome-"] focus')
            mark = self.page.last_seq()
            (escape or (lambda: self.press("Escape")))()
            cleared = self.page.arrived("cleared", after=mark)
            return cleared and cleared["seq"]

        return wait_until(cleared, what="the page's box to have the focus")

    def mutter_keyboard(self):
        """mutter's private remote-desktop input as the test's keyboard: a child that keeps
        the session; press(keysym, ...) taps keys, the first held while the rest are tapped."""
        script = self.tmp / "bin" / "mutter_keys.py"
        shutil.copy(Path(__file__).with_name("mutter_keys.py"), script)
        self.own(script)
        child = self.spawn("mutter-keys", ["/usr/bin/python3", str(script)],
                           stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True).popen
        ready = select.select([child.stdout], [], [], TIMEOUT)[0] and child.stdout.readline()
        if ready != "ready\n":
            raise RuntimeError("mutter's remote-desktop session did not start")

        def press(*keysyms):
            for keysym, down in [(k, 1) for k in keysyms] + [(k, 0) for k in keysyms[::-1]]:
                child.stdin.write(f"{keysym:x} {down}\n")
                child.stdin.flush()
                if child.stdout.readline() != "ok\n":
                    raise RuntimeError("mutter did not take a key")

        return press

    def insert(self, env=None):
        """`qinglanque --insert` as a desktop shortcut runs it; (exit status, its output)."""
        status, out, err = self.call(*self.insert_command.split(), env=env)
        return status, out + err
