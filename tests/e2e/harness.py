"""A Session: Xvfb (display from -displayfd, clients need its cookie), optionally openbox, trayer
and Chromium showing a loopback page that reports its events in order, and program runs from
portable copies. Everything is stopped by pid; escaped helpers carry the session's token or are
handed to us as their subreaper, and are reaped too."""

import contextlib
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
import sys
import tempfile
import threading
import time
import unittest
import uuid
from pathlib import Path

import xlib

HERE = Path(__file__).resolve().parent
MAIN_WINDOW_TITLE = "^青岚雀贴吧小尾巴v"
TIMEOUT = 10.0
QUIET = 1.2  # how long "nothing more arrives" is watched; presses are answered within 500 ms
_libc = ctypes.CDLL(None, use_errno=True)
PR_SET_PDEATHSIG, PR_SET_CHILD_SUBREAPER = 1, 36
CHROMIUM_FLAGS = [
    f"--{flag}" for flag in (
        "no-first-run", "no-default-browser-check", "disable-gpu", "disable-background-networking",
        "disable-component-update", "disable-sync", "disable-extensions",
        "disable-features=Translate,MediaRouter,OptimizationHints", "password-store=basic",
        "noerrdialogs", "disable-session-crashed-bubble", "disable-dev-shm-usage", "mute-audio",
        "test-type", "host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1")]


def wait_until(condition, timeout=TIMEOUT, what="condition"):
    deadline = time.monotonic() + timeout
    while not (value := condition()):
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(0.05)
    return value


def gbk(lines):
    """A file the way users' files are: GB18030 with CR LF line ends."""
    return "".join(line + "\r\n" for line in lines).encode("gb18030")


def options_file(own_tail="", check1=0, check2=0, weiba=0):
    return gbk(["[t1]", f"t={own_tail}", "[peizhi]", f"Check1={check1}", f"Check2={check2}",
                f"weiba={weiba}"])


def _xauth_entry(display_number, cookie):
    fields = (b"", display_number.encode(), b"MIT-MAGIC-COOKIE-1", cookie)
    return struct.pack(">H", 0xFFFF) + b"".join(struct.pack(">H", len(f)) + f for f in fields)


def _read(path):
    with contextlib.suppress(OSError):
        return Path(path).read_bytes()
    return b""


def _stragglers(token):
    """Live processes carrying the token, and any child of ours (orphans handed to us)."""
    me, marker, found = os.getpid(), f"QLQ_E2E_SESSION={token}".encode(), []
    for pid in (int(e) for e in os.listdir("/proc") if e.isdigit()):
        stat = _read(f"/proc/{pid}/stat").rsplit(b")", 1)[-1].split()
        if pid != me and stat and (int(stat[1]) == me or marker in _read(f"/proc/{pid}/environ")):
            found.append(pid)
    return found


class Process:
    """A child with its own log file (its output, unless popen pipes it); own_group=True gives it
    a process group of its own."""

    def __init__(self, name, argv, env, log_dir, own_group=False, **popen):
        self.own_group = own_group
        self.log_path = Path(log_dir) / f"{name}.log"
        with open(self.log_path, "wb") as log:
            self.popen = subprocess.Popen(argv, **{
                "env": env, "stdin": subprocess.DEVNULL, "stdout": log,
                "stderr": subprocess.STDOUT, "start_new_session": own_group, **popen})
        self.pid = self.popen.pid

    def running(self):
        return self.popen.poll() is None

    def wait(self, timeout):
        """The exit status, None when the process is still running after timeout."""
        with contextlib.suppress(subprocess.TimeoutExpired):
            return self.popen.wait(timeout)

    def _signal(self, sig):
        with contextlib.suppress(ProcessLookupError):
            if self.own_group:
                os.killpg(self.pid, sig)
            elif self.running():
                os.kill(self.pid, sig)

    def stop(self, timeout=5.0):
        self._signal(signal.SIGTERM)
        if self.wait(timeout) is None:
            self._signal(signal.SIGKILL)
            self.wait(timeout)
        if self.own_group:
            self._signal(signal.SIGKILL)  # the leader may be gone while its children linger
        return self.popen.returncode

    def log_text(self):
        return _read(self.log_path)[-4000:].decode("utf-8", "replace")


class Page:
    """The test page's reports as the loopback server received them, in the page's order."""

    def __init__(self, press):
        self._press, self._events, self._cond = press, [], threading.Condition()

    def add(self, event):
        with self._cond:
            self._events.append(event)
            self._events.sort(key=lambda e: e.get("seq", 0))
            self._cond.notify_all()

    def events(self, type=None, after=0):
        with self._cond:
            return [e for e in self._events
                    if e.get("seq", 0) > after and type in (None, e["type"])]

    def last_seq(self):
        with self._cond:
            return self._events[-1].get("seq", 0) if self._events else 0

    def wait_for(self, type, after=0, count=1, predicate=None, timeout=TIMEOUT):
        """The count-th event of type with seq > after (and matching predicate)."""
        deadline = time.monotonic() + timeout
        with self._cond:
            while len(found := [e for e in self.events(type, after)
                                if predicate is None or predicate(e)]) < count:
                if not self._cond.wait(deadline - time.monotonic()):
                    seen = [(e.get("seq"), e["type"]) for e in self._events[-12:]]
                    raise TimeoutError(f"page: no {count} x {type!r} after {after}; saw {seen}")
            return found[count - 1]

    def quiet(self, type, after, duration):
        """True when no event of type (None: any) arrives after `after` for duration seconds."""
        return not self.arrived(type, after, timeout=duration)

    def arrived(self, type, after=0, predicate=None, timeout=2):
        """The first such event within timeout, or None."""
        with contextlib.suppress(TimeoutError):
            return self.wait_for(type, after, predicate=predicate, timeout=timeout)

    def clear(self):
        """Empties the text box (the page handles Escape); returns the mark to wait after."""
        mark = self.last_seq()
        self._press("Escape")
        return self.wait_for("cleared", after=mark)["seq"]


def _handler(session):
    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            body = session.pages.get(self.path.split("?")[0])
            self._reply(200 if body is not None else 404, body or b"")

        def do_POST(self):
            session.page.add(json.loads(self.rfile.read(int(self.headers["Content-Length"]))))
            self._reply(204, b"")

        def _reply(self, code, body):
            self.send_response(code)
            self.send_header("Content-Type", "text/html; charset=utf-8")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    return Handler


class ProgramRun(Process):
    """One run from its own copy of the program (its directory holds corvane/)."""
    main_window = None

    def read_file(self, name):
        return (self.directory / "corvane" / name).read_bytes()


class Session:
    prefix = "qlq-e2e-"

    def __init__(self, program=None, wm=False, tray=False, browser=True, launcher=()):
        self.program = Path(program or os.environ["QLQ_PROGRAM"]).resolve()
        self.launcher = list(launcher)  # e.g. ["wine"] for the Windows program
        self.wm, self.tray, self.browser = wm, tray, browser
        self.token = uuid.uuid4().hex
        self.page = Page(self.press)
        self.pages = {"/": (HERE / "page.html").read_bytes()}
        self.tmp = self._x = self._server = self.browser_window = None
        self.runs, self._processes = [], []
        self.as_user = {}  # Popen's user, group, extra_groups for every process (Wayland beds)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.close()

    def start(self):
        _libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)
        if threading.current_thread() is threading.main_thread():
            # A terminated run still unwinds, so close() stops what it started.
            signal.signal(signal.SIGTERM, lambda signum, _: sys.exit(128 + signum))
        try:
            self.tmp = Path(tempfile.mkdtemp(prefix=self.prefix))
            os.chmod(self.tmp, 0o700)
            self._server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), _handler(self))
            self._server.daemon_threads = True
            threading.Thread(target=self._server.serve_forever, daemon=True).start()
            self.url = f"http://127.0.0.1:{self._server.server_address[1]}"
            self._start_display()
            if self.browser:
                self._start_browser()
        except BaseException:
            self.close()
            raise
        return self

    def _start_display(self):
        self._start_xvfb()
        self._x = xlib.Display(self.display, self.env["XAUTHORITY"])
        if self.wm:
            self.spawn("openbox", ["openbox", "--sm-disable"])
            wait_until(lambda: "window id" in self.run("xprop", "-root",
                                                       "_NET_SUPPORTING_WM_CHECK"),
                       what="the window manager")
        if self.tray:
            self.spawn("trayer", ["trayer", "--edge", "top", "--align", "right", "--widthtype",
                                  "request", "--height", "24", "--SetDockType", "true",
                                  "--transparent", "false"])
            wait_until(lambda: self._x.selection_owner("_NET_SYSTEM_TRAY_S0"),
                       what="the tray host")

    def close(self):
        """Stops everything this session started, newest first. Safe to call twice."""
        if self._x:  # first: Xlib ends the process when its server vanishes
            self._x.close()
            self._x = None
        for proc in self.runs[::-1] + self._processes[::-1]:
            proc.stop(timeout=3)
        self._processes.clear()
        deadline = time.monotonic() + 5
        while (left := _stragglers(self.token)) and time.monotonic() < deadline:
            for pid in left:
                with contextlib.suppress(ProcessLookupError, ChildProcessError):
                    os.kill(pid, signal.SIGKILL)
                    os.waitpid(pid, os.WNOHANG)
            time.sleep(0.05)
        if self._server:
            self._server.shutdown()
            self._server.server_close()
            self._server = None
        if self.tmp:
            shutil.rmtree(self.tmp, ignore_errors=True)

    def spawn(self, name, argv, group=False, env=None, **popen):
        """Starts an extra process on the display; env adds to the session's environment."""
        proc = Process(name, argv, dict(self.env, **(env or {})), self.tmp, group,
                       **self.as_user, **popen)
        self._processes.append(proc)
        return proc

    def _start_xvfb(self):
        # The cookie keeps other people's clients (DISPLAY=:0 guessed elsewhere) off our display.
        cookie = os.urandom(16)
        (self.tmp / "xauth-server").write_bytes(_xauth_entry("0", cookie))
        self.env = dict(os.environ, QLQ_E2E_SESSION=self.token)
        read_fd, write_fd = os.pipe()
        with os.fdopen(read_fd) as pipe:
            xvfb = self.spawn("xvfb", ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                                       "1600x1000x24", "-nolisten", "tcp", "-noreset", "-auth",
                                       str(self.tmp / "xauth-server")], pass_fds=(write_fd,),
                              # Its clients end with it, also after a SIGKILL of ours.
                              preexec_fn=lambda: _libc.prctl(PR_SET_PDEATHSIG, signal.SIGKILL,
                                                             0, 0, 0))
            os.close(write_fd)
            if not select.select([pipe], [], [], TIMEOUT)[0]:
                raise TimeoutError("Xvfb did not report its display")
            number = pipe.readline().strip()  # written at once, once it takes clients
        if not number:
            raise RuntimeError("Xvfb exited: " + xvfb.log_text())
        self.display = ":" + number
        (self.tmp / "Xauthority").write_bytes(_xauth_entry(number, cookie))
        self.env = dict(self._home_env(self.tmp), DISPLAY=self.display,
                        XAUTHORITY=str(self.tmp / "Xauthority"), QT_QPA_PLATFORM="xcb",
                        DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent")

    def _home_env(self, runtime_dir):
        """A fresh home of the session's own, nothing of ours but PATH."""
        home = self.tmp / "home"
        home.mkdir(mode=0o700, exist_ok=True)
        return {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": str(home),
                "XDG_CONFIG_HOME": f"{home}/.config", "XDG_DATA_HOME": f"{home}/.local/share",
                "XDG_CACHE_HOME": f"{home}/.cache", "XDG_RUNTIME_DIR": str(runtime_dir),
                "LANG": "C.UTF-8", "QLQ_E2E_SESSION": self.token}

    def _spawn_browser(self, *flags):
        self.spawn("chromium", ["chromium", f"--user-data-dir={self.tmp / 'chromium'}",
                                f"--app={self.url}/", *flags, *CHROMIUM_FLAGS], group=True)
        self.page.wait_for("ready", timeout=30)

    def _start_browser(self):
        self._spawn_browser("--window-position=0,0", "--window-size=520,700",
                            *(["--no-sandbox"] if os.geteuid() == 0 else []))
        self.browser_window = self.find_window("^qlq-e2e")

    def focus_textarea(self):
        """Clicks into the page's text box until the page reports it has the focus."""
        _, _, width, height = self.window_geometry(self.browser_window)

        def focused():
            mark = self.page.last_seq()
            self.click(self.browser_window, width // 2, height // 2)
            click = self.page.arrived("click", after=mark) or {}
            return click.get("hasFocus") and click.get("active") == "box"

        wait_until(focused, what="the page's text box to get the focus")

    # ----- the program

    def start_program(self, tails=None, options=None, corvane_files=None, again=None, wait=True,
                      beside=(), env=None, args=()):
        """Starts the program from a fresh copy (or again's copy, for a restart); tails (a list
        or GBK bytes) and options go to corvane/; beside: executables copied next to it."""
        directory = again.directory if again else self.tmp / f"run{len(self.runs) + 1}"
        (directory / "corvane").mkdir(parents=True, exist_ok=True)
        for path in [self.program, *beside]:
            shutil.copy2(path, directory)
        files = dict(corvane_files or {})
        if tails is not None:
            files["qinglanque.ini"] = tails if isinstance(tails, bytes) else gbk(tails)
        if options is not None:
            files["corvane.ini"] = options
        for name, data in files.items():
            (directory / "corvane" / name).write_bytes(data)
        self.own(directory)
        run = ProgramRun(f"program{len(self.runs) + 1}",
                         [*self.launcher, str(directory / self.program.name), *args],
                         dict(self.env, **(env or {})), self.tmp, cwd=directory, **self.as_user)
        run.directory = directory
        self.runs.append(run)
        if wait:
            try:
                run.main_window = self.find_window(MAIN_WINDOW_TITLE, pid=run.pid)
            except TimeoutError as error:
                raise AssertionError(f"{error}; program log:\n{run.log_text()}") from None
        return run

    def own(self, path):
        """Hands what the session wrote to the user its processes run as (Wayland beds)."""

    def stop_program(self, run):
        """Closes the main window as the user would; returns the exit status. A program that
        does not end in time is killed and fails the test rather than hanging the suite."""
        if run.running():
            self._x.request_close(run.main_window)
        status = run.wait(TIMEOUT)
        if status is None:
            run.stop(timeout=3)
            raise AssertionError(f"the program did not end after its window was closed; "
                                 f"log:\n{run.log_text()}")
        return status

    # ----- windows, keys, mouse

    def call(self, *argv, env=None):
        """A command in the session, as its user: (exit status, its stdout, its stderr)."""
        result = subprocess.run([str(a) for a in argv], env=dict(self.env, **(env or {})),
                                capture_output=True, timeout=30, **self.as_user)
        return (result.returncode, *(out.decode("utf-8", "replace")
                                     for out in (result.stdout, result.stderr)))

    def run(self, *argv, check=False):
        """A command's output; check: a failure raises."""
        status, out, err = self.call(*argv)
        if check and status != 0:
            raise RuntimeError(f"{argv} failed: {out}{err}")
        return out

    def xdotool(self, *args):
        return self.run("xdotool", *args, check=True)

    def search_windows(self, name_regex, pid=None, visible=True):
        """Windows (visible ones by default) whose title matches. xdotool's own matching is
        byte-wise and lets CJK patterns match too much, so every title is checked here again."""
        out = self.run("xdotool", "search", *(["--onlyvisible"] if visible else []),
                       *(["--pid", pid] if pid else []), "--name", name_regex)
        return [int(w) for w in out.split()
                if re.search(name_regex, self.run("xdotool", "getwindowname", w).rstrip("\n"))]

    def visible_windows(self, pid):
        return [int(w) for w in
                self.run("xdotool", "search", "--onlyvisible", "--pid", pid).split()]

    def find_window(self, name_regex, pid=None, timeout=TIMEOUT):
        return wait_until(lambda: self.search_windows(name_regex, pid), timeout,
                          f"a window named {name_regex!r}")[0]

    def window_geometry(self, window):
        """(x, y, width, height) on the screen."""
        values = dict(line.split("=") for line in
                      self.xdotool("getwindowgeometry", "--shell", window).split())
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def active_window(self):
        return int(self.run("xdotool", "getactivewindow") or 0)

    def viewable(self, window):
        return "IsViewable" in self.run("xwininfo", "-id", window)

    def click(self, window, x, y):
        self.xdotool("mousemove", "--window", window, x, y, "click", 1)

    def click_control(self, window, left, top, width, height):
        """Clicks the middle of a control given by its designed twips rectangle."""
        self.click(window, round((left + width / 2) / 15), round((top + height / 2) / 15))

    def press(self, key):
        self.xdotool("keydown", key, "keyup", key)

    def fake_key(self, key, down):
        return self._x.fake_key(key, down)


class PasteTest(unittest.TestCase):
    """One session for the class (session() makes it), a fresh copy of the program per test."""
    run_ = None

    @classmethod
    def setUpClass(cls):
        cls.s = cls.session().start()

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def tearDown(self):
        if self.run_ and self.run_.running():
            # A paste may still be under way after a failure; ending the clipboard's owner in
            # its middle leaves Chromium waiting for minutes.
            page = self.s.page
            wait_until(lambda: page.quiet(None, page.last_seq(), 0.5), what="a silent page")
            self.s.stop_program(self.run_)

    def press_f8(self, mark):
        self.s.press("F8")
        return self.pasted(mark)

    def pasted(self, mark):
        """The paste after mark, once the browser has also inserted it."""
        paste = self.s.page.wait_for("paste", after=mark)
        self.s.page.wait_for("input", after=paste["seq"],
                             predicate=lambda e: e["inputType"] == "insertFromPaste")
        return paste

    def stop(self):
        """Closes the main window; the program must end cleanly and print nothing."""
        self.assertEqual(self.s.stop_program(self.run_), 0, self.run_.log_text())
        self.assertEqual(self.run_.log_text().strip(), "", "the program printed warnings")
