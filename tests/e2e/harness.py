"""Drives the real program on a private X display against a real browser page.

A Session owns everything it starts: an Xvfb on a free display, optionally a window manager
(openbox) and a tray host (trayer), a loopback HTTP server with the test page, Chromium showing
that page, and any number of program runs, each from its own portable copy. Every process is
stopped by its pid when the session closes, also when a test fails; processes that escaped their
parent (Chromium's helpers) are found by a token in their environment, and this process acts as
their subreaper so none is left behind. The display takes only clients holding its cookie.

The page reports to the loopback server rather than through its title: the reports arrive
complete and in order (sequence numbers), carry any text without escaping or length limits, and
a test waits on them with a condition variable instead of polling window names.

    with Session(program="build/qinglanque", wm=True) as s:
        run = s.start_program(tails=["a", "b"])
        s.browser.focus_textarea()
        mark = s.page.clear()
        s.press("F8")
        paste = s.page.wait_for("paste", after=mark)
        s.stop_program(run)

Standard library only; needs Xvfb, xdotool, xprop, chromium, and openbox/trayer/imagemagick
for the features that use them.
"""

import ctypes
import http.server
import json
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import tempfile
import threading
import time
import uuid
from pathlib import Path

import xlib

HERE = Path(__file__).resolve().parent
PAGE_HTML = (HERE / "page.html").read_bytes()

# What the program's main window title starts with (the rest names the version and maker).
MAIN_WINDOW_TITLE = "^青岚雀贴吧小尾巴v"
PAGE_WINDOW_TITLE = "^qlq-e2e"
TWIPS_PER_PIXEL = 15

DEFAULT_TIMEOUT = 10.0


class HarnessError(RuntimeError):
    pass


def wait_until(condition, timeout=DEFAULT_TIMEOUT, interval=0.02, what="condition"):
    """Polls condition() until it returns something true, which is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout:.1f} s waiting for {what}")
        time.sleep(interval)


def twips(value):
    """Designed positions are in twips; the program lays them out at 15 twips per pixel."""
    return round(value / TWIPS_PER_PIXEL)


def gbk(text, line_end="\r\n", final_line_end=True):
    """Bytes of a file the way users' files are: GBK (GB18030) with CR LF line ends."""
    lines = text if isinstance(text, (list, tuple)) else [text]
    body = line_end.join(lines) + (line_end if final_line_end else "")
    return body.encode("gb18030")


def options_file(own_tail="", check1=0, check2=0, weiba=0):
    """An options file as the program writes it: [t1] t=own tail, [peizhi] the three switches."""
    return gbk(["[t1]", f"t={own_tail}", "[peizhi]", f"Check1={check1}", f"Check2={check2}",
                f"weiba={weiba}"])


_spawned_pids = set()  # children some Popen object waits for; never reaped behind its back


def _xauth_entry(display_number, cookie):
    """One Xauthority record for any host (FamilyWild) holding an MIT-MAGIC-COOKIE-1."""
    def counted(data):
        return struct.pack(">H", len(data)) + data

    return (struct.pack(">H", 0xFFFF) + counted(b"") + counted(display_number.encode()) +
            counted(b"MIT-MAGIC-COOKIE-1") + counted(cookie))


def _become_subreaper():
    """Orphans of our children (Chromium's helpers) become ours, so none outlives the tests."""
    libc = ctypes.CDLL(None, use_errno=True)
    PR_SET_CHILD_SUBREAPER = 36
    libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)


def _die_with_parent():
    """Runs in the child before exec: killed with us even if we are killed with SIGKILL (a
    ctest timeout). Used for Xvfb; its clients end when their display goes."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None).prctl(PR_SET_PDEATHSIG, signal.SIGKILL, 0, 0, 0)


def _terminate_as_exit(signum, frame):
    raise SystemExit(128 + signum)


def _all_pids():
    me = os.getpid()
    return [int(e) for e in os.listdir("/proc") if e.isdigit() and int(e) != me]


def _environ(pid):
    try:
        with open(f"/proc/{pid}/environ", "rb") as f:
            return f.read().split(b"\0")
    except OSError:
        return []


def _reap_orphans():
    """Kills and waits for processes handed to us as the subreaper: helpers whose parent died.

    Returns how many were still alive."""
    me = os.getpid()
    alive = 0
    for pid in _all_pids():
        if pid in _spawned_pids:
            continue
        try:
            with open(f"/proc/{pid}/stat", "rb") as f:
                # pid (comm) state ppid ...; comm may hold blanks and parentheses
                fields = f.read().rsplit(b")", 1)[1].split()
        except OSError:
            continue
        if int(fields[1]) != me:
            continue
        if fields[0] != b"Z":
            alive += 1
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        try:
            os.waitpid(pid, os.WNOHANG)
        except ChildProcessError:
            pass
    return alive


class _Process:
    """A child process with its own log file, stopped by pid (and by group when asked)."""

    def __init__(self, name, argv, env, log_dir, group=False, pass_fds=(), cwd=None,
                 preexec_fn=None):
        self.name = name
        self.log_path = Path(log_dir) / f"{name}.log"
        self._log = open(self.log_path, "wb")
        self.group = group
        self.popen = subprocess.Popen(
            argv, env=env, stdin=subprocess.DEVNULL, stdout=self._log, stderr=subprocess.STDOUT,
            start_new_session=group, pass_fds=pass_fds, cwd=cwd, preexec_fn=preexec_fn)
        self.pid = self.popen.pid
        _spawned_pids.add(self.pid)

    def running(self):
        return self.popen.poll() is None

    def wait(self, timeout):
        try:
            return self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def _signal(self, sig):
        try:
            if self.group:
                os.killpg(self.pid, sig)
            elif self.running():
                os.kill(self.pid, sig)
        except ProcessLookupError:
            pass

    def stop(self, timeout=5.0):
        """SIGTERM, then SIGKILL; returns the exit status."""
        if self.running() or self.group:
            self._signal(signal.SIGTERM)
            if self.wait(timeout) is None:
                self._signal(signal.SIGKILL)
                self.wait(timeout)
            if self.group:
                # The leader may be gone while its children linger.
                self._signal(signal.SIGKILL)
        self._log.close()
        if self.popen.returncode is not None:
            _spawned_pids.discard(self.pid)
        return self.popen.returncode

    def log_text(self, tail=4000):
        try:
            data = self.log_path.read_bytes()
        except OSError:
            return ""
        return data[-tail:].decode("utf-8", "replace")


class Page:
    """The test page's reports, as the loopback server received them, in the page's order."""

    def __init__(self, press):
        self._press = press
        self._events = []
        self._cond = threading.Condition()

    def _add(self, event):
        event["received"] = time.time()
        with self._cond:
            self._events.append(event)
            self._events.sort(key=lambda e: e.get("seq", 0))
            self._cond.notify_all()

    def events(self, type=None, after=0):
        with self._cond:
            return [e for e in self._events
                    if e.get("seq", 0) > after and (type is None or e["type"] == type)]

    def last_seq(self):
        with self._cond:
            return self._events[-1]["seq"] if self._events else 0

    def wait_for(self, type, after=0, count=1, predicate=None, timeout=DEFAULT_TIMEOUT):
        """Waits for `count` events of `type` with seq > after; returns the last of them."""
        def matching():
            return [e for e in self._events
                    if e.get("seq", 0) > after and e["type"] == type
                    and (predicate is None or predicate(e))]

        deadline = time.monotonic() + timeout
        with self._cond:
            while len(matching()) < count:
                remaining = deadline - time.monotonic()
                if remaining <= 0:
                    seen = [(e["seq"], e["type"]) for e in self._events[-12:]]
                    raise TimeoutError(
                        f"page: no {count} x {type!r} after seq {after} within {timeout} s; "
                        f"last events: {seen}")
                self._cond.wait(remaining)
            return matching()[count - 1]

    def quiet(self, type, after, duration):
        """True when no event of `type` arrives after `after` for `duration` seconds."""
        try:
            self.wait_for(type, after=after, timeout=duration)
            return False
        except TimeoutError:
            return True

    def settle(self, duration=0.5, timeout=DEFAULT_TIMEOUT):
        """Waits until the page has reported nothing for `duration` seconds (or gives up)."""
        deadline = time.monotonic() + timeout
        with self._cond:
            while time.monotonic() < deadline:
                last = self._events[-1]["received"] if self._events else 0
                quiet_for = time.time() - last
                if quiet_for >= duration:
                    return True
                self._cond.wait(duration - quiet_for)
        return False

    def clear(self):
        """Empties the text box (Escape, handled by the page); returns the mark to wait after."""
        mark = self.last_seq()
        self._press("Escape")
        return self.wait_for("cleared", after=mark)["seq"]


def _page_handler(page):
    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            if self.path in ("/", "/index.html"):
                self._reply(200, PAGE_HTML, "text/html; charset=utf-8")
            else:
                self._reply(404, b"", "text/plain")

        def do_POST(self):
            length = int(self.headers.get("Content-Length", 0))
            body = self.rfile.read(length)
            if self.path == "/event":
                try:
                    page._add(json.loads(body.decode("utf-8")))
                except ValueError:
                    pass
            self._reply(204, b"", "text/plain")

        def _reply(self, code, body, content_type):
            self.send_response(code)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    return Handler


class ProgramRun:
    """One run of the program from its own portable copy (program directory with corvane/)."""

    def __init__(self, session, directory, process):
        self.session = session
        self.directory = Path(directory)
        self.corvane = self.directory / "corvane"
        self.process = process
        self.pid = process.pid
        self.main_window = None

    def running(self):
        return self.process.running()

    def read_file(self, name):
        return (self.corvane / name).read_bytes()

    def wait_for_main_window(self, timeout=DEFAULT_TIMEOUT):
        self.main_window = self.session.find_window(MAIN_WINDOW_TITLE, pid=self.pid,
                                                    timeout=timeout)
        return self.main_window

    def click(self, x, y, window=None):
        """Clicks at (x, y) pixels inside the window's client area (the main window by default)."""
        self.session.click(window or self.main_window, x, y)

    def click_control(self, left, top, width, height, window=None):
        """Clicks the middle of a control given by its designed twips rectangle."""
        self.click(twips(left + width / 2), twips(top + height / 2), window)

    def log_text(self):
        return self.process.log_text()


class Browser:
    """Chromium showing the test page in an app window on the session's display."""

    def __init__(self, session, process, window):
        self.session = session
        self.process = process
        self.window = window

    def focus_textarea(self, timeout=DEFAULT_TIMEOUT):
        """Clicks into the text box and waits until the page says it has the keyboard focus."""
        page = self.session.page
        x, y, width, height = self.session.window_geometry(self.window)
        deadline = time.monotonic() + timeout
        while True:
            mark = page.last_seq()
            self.session.click(self.window, width // 2, height // 2)
            try:
                click = page.wait_for("click", after=mark, timeout=2)
                if click["hasFocus"] and click["active"] == "box":
                    return
            except TimeoutError:
                pass
            if time.monotonic() >= deadline:
                shot = self.session.failure_screenshot("focus-textarea")
                raise TimeoutError(f"the page's text box did not get the focus (screenshot "
                                   f"{shot}; last page events {page.events()[-8:]}; window "
                                   f"{self.window} at {x},{y} {width}x{height})")


class Session:
    def __init__(self, program=None, wm=False, tray=False, browser=True, screen=(1600, 1000),
                 artifacts=None):
        """program: the built executable (default: $QLQ_PROGRAM); wm: run openbox; tray: run
        trayer (a notification area); browser: Chromium with the test page; artifacts: where
        failure screenshots go (default: $QLQ_E2E_ARTIFACTS, else none are taken)."""
        program = program or os.environ.get("QLQ_PROGRAM")
        self.program = Path(program).resolve() if program else None
        artifacts = artifacts or os.environ.get("QLQ_E2E_ARTIFACTS")
        self.artifacts = Path(artifacts) if artifacts else None
        self.want_wm = wm
        self.want_tray = tray
        self.want_browser = browser
        self.screen = screen
        self.token = uuid.uuid4().hex
        self.tmp = None
        self.display = None
        self.xauthority = None
        self.env = None
        self.page = Page(self.press)
        self.browser = None
        self.runs = []
        self._processes = []
        self._server = None
        self._x = None
        self._run_count = 0

    # ----- lifecycle

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.close()

    def start(self):
        _become_subreaper()
        # A terminated test run still stops what it started (the finally blocks run).
        if (threading.current_thread() is threading.main_thread() and
                signal.getsignal(signal.SIGTERM) is signal.SIG_DFL):
            signal.signal(signal.SIGTERM, _terminate_as_exit)
        try:
            self.tmp = Path(tempfile.mkdtemp(prefix="qlq-e2e-"))
            (self.tmp / "home").mkdir()
            self._start_xvfb()
            self._x = xlib.Display(self.display, self.xauthority)
            if self.want_wm:
                self._start_wm()
            if self.want_tray:
                self._start_tray()
            if self.want_browser:
                self._start_server()
                self._start_browser()
        except BaseException:
            self.close()
            raise

    def close(self):
        """Stops everything this session started, newest first. Safe to call twice."""
        # Our own X connection goes first: Xlib ends the process when its server vanishes.
        if self._x:
            self._x.close()
            self._x = None
        for run in reversed(self.runs):
            if run.running():
                run.process.stop(timeout=3)
        for proc in reversed(self._processes):
            proc.stop(timeout=3)
        self._processes.clear()
        self._kill_stragglers()
        if self._server:
            self._server.shutdown()
            self._server.server_close()
            self._server = None
        if self.tmp and not os.environ.get("QLQ_E2E_KEEP"):
            shutil.rmtree(self.tmp, ignore_errors=True)

    def _kill_stragglers(self):
        """Processes that left our process groups still carry the session's token; as the
        subreaper we inherit them when their parents die, and reap them here."""
        marker = f"QLQ_E2E_SESSION={self.token}".encode()
        deadline = time.monotonic() + 5
        while True:
            alive = [pid for pid in _all_pids() if marker in _environ(pid)]
            for pid in alive:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            orphans = _reap_orphans()
            if not (alive or orphans) or time.monotonic() >= deadline:
                return
            time.sleep(0.05)

    def _spawn(self, name, argv, group=False, pass_fds=(), env=None, cwd=None, preexec_fn=None):
        proc = _Process(name, argv, env or self.env, self.tmp, group=group, pass_fds=pass_fds,
                        cwd=cwd, preexec_fn=preexec_fn)
        self._processes.append(proc)
        return proc

    def _start_xvfb(self):
        # A cookie keeps other people's clients off this display: on a shared machine a program
        # started elsewhere with DISPLAY=:0 would otherwise see our key presses and paste into
        # our browser. The server takes every cookie in its file, whatever display it names.
        cookie = os.urandom(16)
        server_auth = self.tmp / "xauth-server"
        server_auth.write_bytes(_xauth_entry("0", cookie))
        read_fd, write_fd = os.pipe()
        try:
            width, height = self.screen
            base_env = dict(os.environ, QLQ_E2E_SESSION=self.token)
            self._spawn("xvfb", ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                                 f"{width}x{height}x24", "-nolisten", "tcp", "-noreset",
                                 "-auth", str(server_auth)],
                        pass_fds=(write_fd,), env=base_env, preexec_fn=_die_with_parent)
            os.close(write_fd)
            write_fd = None
            data = b""
            deadline = time.monotonic() + DEFAULT_TIMEOUT
            while not data.endswith(b"\n"):
                remaining = deadline - time.monotonic()
                if remaining <= 0 or not select.select([read_fd], [], [], remaining)[0]:
                    raise HarnessError("Xvfb did not report its display")
                chunk = os.read(read_fd, 64)
                if not chunk:
                    raise HarnessError("Xvfb exited: " + self._processes[-1].log_text())
                data += chunk
        finally:
            os.close(read_fd)
            if write_fd is not None:
                os.close(write_fd)
        number = data.decode().strip()
        self.display = ":" + number
        self.xauthority = self.tmp / "Xauthority"
        self.xauthority.write_bytes(_xauth_entry(number, cookie))
        home = str(self.tmp / "home")
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "DISPLAY": self.display,
            "XAUTHORITY": str(self.xauthority),
            "HOME": home,
            "XDG_CONFIG_HOME": home + "/.config",
            "XDG_DATA_HOME": home + "/.local/share",
            "XDG_CACHE_HOME": home + "/.cache",
            "XDG_RUNTIME_DIR": str(self.tmp),
            "LANG": "C.UTF-8",
            # No session bus: nothing gets spawned to provide one.
            "DBUS_SESSION_BUS_ADDRESS": "unix:path=/nonexistent",
            "QLQ_E2E_SESSION": self.token,
        }
        # Lets a run choose its fonts (e.g. prove a test notices missing CJK glyphs).
        if "FONTCONFIG_FILE" in os.environ:
            self.env["FONTCONFIG_FILE"] = os.environ["FONTCONFIG_FILE"]
        os.chmod(self.tmp, 0o700)

    def _start_wm(self):
        self._spawn("openbox", ["openbox", "--sm-disable"])
        wait_until(lambda: "window id" in self._xprop_root("_NET_SUPPORTING_WM_CHECK"),
                   what="the window manager")

    def _start_tray(self):
        self._spawn("trayer", ["trayer", "--edge", "top", "--align", "right", "--widthtype",
                               "request", "--height", "24", "--SetDockType", "true",
                               "--transparent", "false", "--expand", "true"])
        wait_until(lambda: self._x.selection_owner("_NET_SYSTEM_TRAY_S0"),
                   what="the tray host")

    def _start_server(self):
        self._server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), _page_handler(self.page))
        self._server.daemon_threads = True
        threading.Thread(target=self._server.serve_forever, daemon=True).start()

    @property
    def page_url(self):
        return f"http://127.0.0.1:{self._server.server_address[1]}/"

    def _start_browser(self):
        profile = self.tmp / "chromium"
        argv = [
            "chromium", "--no-sandbox", f"--user-data-dir={profile}", f"--app={self.page_url}",
            "--window-position=0,0", "--window-size=520,700", "--no-first-run",
            "--no-default-browser-check", "--disable-gpu", "--disable-background-networking",
            "--disable-component-update", "--disable-sync", "--disable-quic",
            "--disable-extensions", "--disable-default-apps", "--disable-breakpad",
            "--disable-dev-shm-usage", "--disable-features=Translate,MediaRouter,"
            "OptimizationHints,AutofillServerCommunication,CertificateTransparencyComponentUpdater",
            "--password-store=basic", "--noerrdialogs", "--disable-session-crashed-bubble",
            "--mute-audio", "--test-type",
            "--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE localhost , EXCLUDE 127.0.0.1",
        ]
        if os.geteuid() != 0:
            argv.remove("--no-sandbox")
        proc = self._spawn("chromium", argv, group=True)
        self.page.wait_for("ready", timeout=30)
        window = self.find_window(PAGE_WINDOW_TITLE, timeout=DEFAULT_TIMEOUT)
        self.browser = Browser(self, proc, window)

    # ----- the program

    def start_program(self, corvane_files=None, tails=None, options=None, portable=True,
                      extra_files=None, again=None, wait=True, timeout=DEFAULT_TIMEOUT):
        """Copies the program into a fresh directory and starts it there; returns a ProgramRun.

        corvane_files: {file name: bytes} written into corvane/ beside the copy.
        tails: shortcut for corvane/qinglanque.ini: a list of lines (GBK, CR LF) or bytes.
        options: shortcut for corvane/corvane.ini (bytes, see options_file()).
        portable=False leaves out corvane/ (the program then uses the per-user data directory).
        again: an earlier ProgramRun whose copy and files are used once more (a restart); files
        given here are written over them first.
        """
        if not self.program or not self.program.is_file():
            raise HarnessError(f"program not found: {self.program} (set QLQ_PROGRAM)")
        if again is not None and again.running():
            raise HarnessError("the earlier run is still running")
        self._run_count += 1
        if again is None:
            directory = self.tmp / f"run{self._run_count}"
            directory.mkdir()
            shutil.copy2(self.program, directory / self.program.name)
        else:
            directory = again.directory
        files = dict(corvane_files or {})
        if tails is not None:
            files["qinglanque.ini"] = tails if isinstance(tails, bytes) else gbk(tails)
        if options is not None:
            files["corvane.ini"] = options
        if portable:
            (directory / "corvane").mkdir(exist_ok=True)
            for name, data in files.items():
                (directory / "corvane" / name).write_bytes(data)
        for name, data in (extra_files or {}).items():
            (directory / name).parent.mkdir(parents=True, exist_ok=True)
            (directory / name).write_bytes(data)
        env = dict(self.env, QT_QPA_PLATFORM="xcb")
        proc = _Process(f"program{self._run_count}", [str(directory / self.program.name)], env,
                        self.tmp, cwd=directory)
        run = ProgramRun(self, directory, proc)
        self.runs.append(run)
        if wait:
            try:
                run.wait_for_main_window(timeout=timeout)
            except TimeoutError as error:
                raise HarnessError(f"{error}; program log:\n{run.log_text()}") from None
        return run

    def stop_program(self, run=None, timeout=DEFAULT_TIMEOUT):
        """Closes the main window as the user would and waits for the program to end.

        Returns the exit status. A program that does not end in time is killed and HarnessError
        is raised, so a hanging shutdown fails the test instead of the whole suite.
        """
        run = run or self.runs[-1]
        if run.main_window and run.running():
            self._x.request_close(run.main_window)
        status = run.process.wait(timeout)
        if status is None:
            shot = self.failure_screenshot("stop-program")
            run.process.stop(timeout=3)
            raise HarnessError(f"program did not end within {timeout} s after its window was "
                               f"closed (screenshot: {shot}); log:\n{run.log_text()}")
        run.process.stop(timeout=1)
        return status

    # ----- windows, keys, mouse, screen

    def xdotool(self, *args, timeout=DEFAULT_TIMEOUT, check=True):
        result = subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True,
                                timeout=timeout)
        if check and result.returncode != 0:
            raise HarnessError(f"xdotool {' '.join(map(str, args))} failed: "
                               f"{result.stderr.decode(errors='replace')}")
        return result.stdout.decode("utf-8", "replace")

    def search_windows(self, name_regex, pid=None, visible=True):
        args = ["search"]
        if visible:
            args.append("--onlyvisible")
        if pid is not None:
            args += ["--pid", pid]
        args += ["--name", name_regex]
        out = self.xdotool(*args, check=False)
        # xdotool's own matching is byte-wise and lets CJK patterns match too much (the splash
        # "青岚雀贴吧小尾巴" matches "^青岚雀贴吧小尾巴v"); check each title here again.
        found = []
        for w in out.split():
            try:
                if re.search(name_regex, self.window_name(int(w))):
                    found.append(int(w))
            except HarnessError:
                pass  # gone in the meantime
        return found

    def find_window(self, name_regex, pid=None, timeout=DEFAULT_TIMEOUT):
        """Waits until a visible window whose title matches shows up; returns its id."""
        windows = wait_until(lambda: self.search_windows(name_regex, pid), timeout=timeout,
                             interval=0.05, what=f"a window named {name_regex!r}")
        return windows[0]

    def window_name(self, window):
        return self.xdotool("getwindowname", window).rstrip("\n")

    def window_geometry(self, window):
        """(x, y, width, height) of the window on the screen."""
        values = {}
        for line in self.xdotool("getwindowgeometry", "--shell", window).splitlines():
            key, _, value = line.partition("=")
            values[key] = int(value)
        return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]

    def click(self, window, x, y):
        self.xdotool("mousemove", "--window", window, x, y, "click", 1)

    def press(self, key):
        """One key press: down, then up, in one xdotool call (never a key left down)."""
        self.xdotool("keydown", key, "keyup", key)

    def key(self, *keys):
        """Key chords such as "ctrl+a"; xdotool pairs every down with its up."""
        self.xdotool("key", *keys)

    def type_text(self, text):
        self.xdotool("type", "--delay", 5, text)

    def fake_key(self, key, down):
        """One XTest key event with the server's receipt bracketed by time.time() values."""
        return self._x.fake_key(key, down)

    def key_is_down(self, key):
        return self._x.key_is_down(key)

    def screenshot(self, path):
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["import", "-display", self.display, "-window", "root", str(path)],
                       env=self.env, check=True, timeout=30, capture_output=True)
        return path

    def failure_screenshot(self, label):
        """A screenshot into the artifacts directory, if one was given; never raises."""
        if not self.artifacts:
            return None
        try:
            return self.screenshot(self.artifacts / f"{label}-{int(time.time() * 1000)}.png")
        except Exception:  # a diagnostic must not hide the real failure
            return None

    def _xprop_root(self, prop):
        result = subprocess.run(["xprop", "-root", prop], env=self.env, capture_output=True,
                                timeout=DEFAULT_TIMEOUT)
        return result.stdout.decode(errors="replace")

    def diagnostics(self):
        """Logs of the processes and the page's last reports, for a failure message."""
        parts = []
        for run in self.runs:
            parts.append(f"--- program {run.directory.name} (pid {run.pid}):\n{run.log_text()}")
        for proc in self._processes:
            if proc.name != "chromium":
                parts.append(f"--- {proc.name}:\n{proc.log_text(1500)}")
        parts.append(f"--- page events: {self.page.events()[-10:]}")
        return "\n".join(parts)
