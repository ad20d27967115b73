"""The few Xlib calls the harness needs and the command-line tools do not offer.

xdotool costs 50-100 ms per call (it loads its libraries and sleeps 12 ms after each key), which
hides the figure a latency measurement is after, and it has no way to ask a window politely to
close (WM_DELETE_WINDOW) when no window manager runs. ctypes keeps this stdlib-only.
"""

import ctypes
import os
import time

_x11 = ctypes.CDLL("libX11.so.6")
_xtst = ctypes.CDLL("libXtst.so.6")

_Display = ctypes.c_void_p
_Window = ctypes.c_ulong
_Atom = ctypes.c_ulong

_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XOpenDisplay.restype = _Display
_x11.XCloseDisplay.argtypes = [_Display]
_x11.XFlush.argtypes = [_Display]
_x11.XSync.argtypes = [_Display, ctypes.c_int]
_x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
_x11.XStringToKeysym.restype = ctypes.c_ulong
_x11.XKeysymToKeycode.argtypes = [_Display, ctypes.c_ulong]
_x11.XKeysymToKeycode.restype = ctypes.c_ubyte
_x11.XInternAtom.argtypes = [_Display, ctypes.c_char_p, ctypes.c_int]
_x11.XInternAtom.restype = _Atom
_x11.XGetSelectionOwner.argtypes = [_Display, _Atom]
_x11.XGetSelectionOwner.restype = _Window
_x11.XSendEvent.argtypes = [_Display, _Window, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
_x11.XQueryKeymap.argtypes = [_Display, ctypes.c_char * 32]
_xtst.XTestFakeKeyEvent.argtypes = [_Display, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
_xtst.XTestFakeKeyEvent.restype = ctypes.c_int

_CLIENT_MESSAGE = 33

# Xlib's default error handler ends the process; a window that vanished in the meantime (say,
# the program closed itself) must only make that one request fail.
_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, _Display, ctypes.c_void_p)(lambda dpy, err: 0)
_x11.XSetErrorHandler.argtypes = [ctypes.c_void_p]
_x11.XSetErrorHandler(ctypes.cast(_ERROR_HANDLER, ctypes.c_void_p))


class _ClientMessage(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", _Display),
        ("window", _Window),
        ("message_type", _Atom),
        ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
    ]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


class Display:
    """One connection to an X display; close it (or use `with`) when done."""

    def __init__(self, name, xauthority=None):
        # Xlib reads the cookie file named by XAUTHORITY while it connects.
        saved = os.environ.get("XAUTHORITY")
        if xauthority:
            os.environ["XAUTHORITY"] = str(xauthority)
        try:
            self._dpy = _x11.XOpenDisplay(name.encode())
        finally:
            if saved is None:
                os.environ.pop("XAUTHORITY", None)
            else:
                os.environ["XAUTHORITY"] = saved
        if not self._dpy:
            raise OSError(f"cannot open X display {name}")

    def close(self):
        if self._dpy:
            _x11.XCloseDisplay(self._dpy)
            self._dpy = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def keycode(self, keysym_name):
        sym = _x11.XStringToKeysym(keysym_name.encode())
        code = _x11.XKeysymToKeycode(self._dpy, sym) if sym else 0
        if not code:
            raise ValueError(f"no keycode for {keysym_name}")
        return code

    def fake_key(self, keysym_name, down):
        """Sends one XTest key event and returns once the server has processed it.

        Returns (before, after): time.time() around the round trip, so the moment the server
        saw the key lies between them.
        """
        code = self.keycode(keysym_name)
        before = time.time()
        _xtst.XTestFakeKeyEvent(self._dpy, code, 1 if down else 0, 0)
        _x11.XSync(self._dpy, 0)
        return before, time.time()

    def key_is_down(self, keysym_name):
        keys = (ctypes.c_char * 32)()
        _x11.XQueryKeymap(self._dpy, keys)
        code = self.keycode(keysym_name)
        return bool(keys.raw[code // 8] & (1 << (code % 8)))

    def selection_owner(self, selection):
        atom = _x11.XInternAtom(self._dpy, selection.encode(), 0)
        return _x11.XGetSelectionOwner(self._dpy, atom)

    def request_close(self, window):
        """Asks a window to close the way a window manager's close button does."""
        protocols = _x11.XInternAtom(self._dpy, b"WM_PROTOCOLS", 0)
        delete = _x11.XInternAtom(self._dpy, b"WM_DELETE_WINDOW", 0)
        event = _XEvent()
        event.xclient.type = _CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = protocols
        event.xclient.format = 32
        event.xclient.data[0] = delete
        event.xclient.data[1] = 0  # CurrentTime
        _x11.XSendEvent(self._dpy, window, 0, 0, ctypes.byref(event))
        _x11.XSync(self._dpy, 0)
