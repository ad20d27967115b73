"""The few Xlib calls the command-line tools lack: XTest keys without xdotool's 50-100 ms start-up
(latency figures), a polite WM_DELETE_WINDOW without a window manager, and selection owners."""

import ctypes
import os
import time

_x11 = ctypes.CDLL("libX11.so.6")
_xtst = ctypes.CDLL("libXtst.so.6")
_P, _L = ctypes.c_void_p, ctypes.c_ulong

_x11.XOpenDisplay.argtypes, _x11.XOpenDisplay.restype = [ctypes.c_char_p], _P
_x11.XCloseDisplay.argtypes = [_P]
_x11.XSync.argtypes = [_P, ctypes.c_int]
_x11.XStringToKeysym.argtypes, _x11.XStringToKeysym.restype = [ctypes.c_char_p], _L
_x11.XKeysymToKeycode.argtypes, _x11.XKeysymToKeycode.restype = [_P, _L], ctypes.c_ubyte
_x11.XInternAtom.argtypes, _x11.XInternAtom.restype = [_P, ctypes.c_char_p, ctypes.c_int], _L
_x11.XGetSelectionOwner.argtypes, _x11.XGetSelectionOwner.restype = [_P, _L], _L
_x11.XSendEvent.argtypes = [_P, _L, ctypes.c_int, ctypes.c_long, _P]
_xtst.XTestFakeKeyEvent.argtypes = [_P, ctypes.c_uint, ctypes.c_int, _L]

# Xlib's default handler ends the process; a window gone meanwhile must only fail that request.
_ON_ERROR = ctypes.CFUNCTYPE(ctypes.c_int, _P, _P)(lambda dpy, err: 0)
_x11.XSetErrorHandler.argtypes = [_P]
_x11.XSetErrorHandler(ctypes.cast(_ON_ERROR, _P))


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", _L), ("send_event", ctypes.c_int),
                ("display", _P), ("window", _L), ("message_type", _L), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]


class Display:
    def __init__(self, name, xauthority):
        os.environ["XAUTHORITY"] = str(xauthority)  # Xlib reads the cookie file from there
        self._dpy = _x11.XOpenDisplay(name.encode())
        if not self._dpy:
            raise OSError(f"cannot open X display {name}")

    def close(self):
        if self._dpy:
            _x11.XCloseDisplay(self._dpy)
            self._dpy = None

    def fake_key(self, keysym_name, down):
        """One XTest key event; returns time.time() before and after the server processed it."""
        code = _x11.XKeysymToKeycode(self._dpy, _x11.XStringToKeysym(keysym_name.encode()))
        before = time.time()
        _xtst.XTestFakeKeyEvent(self._dpy, code, int(down), 0)
        _x11.XSync(self._dpy, 0)
        return before, time.time()

    def selection_owner(self, selection):
        atom = _x11.XInternAtom(self._dpy, selection.encode(), 0)
        return _x11.XGetSelectionOwner(self._dpy, atom)

    def request_close(self, window):
        """What a window manager's close button sends."""
        event = _ClientMessage(type=33, window=window, format=32,  # ClientMessage
                               message_type=_x11.XInternAtom(self._dpy, b"WM_PROTOCOLS", 0))
        event.data[0] = _x11.XInternAtom(self._dpy, b"WM_DELETE_WINDOW", 0)
        _x11.XSendEvent(self._dpy, window, 0, 0, ctypes.byref(event))
        _x11.XSync(self._dpy, 0)
