"""Presses keys in a headless mutter through its private remote-desktop D-Bus API (the test's
keyboard; mutter asks nothing there). Reads lines "KEYSYM 1|0" (hex keysym, down or up) from
standard input and answers "ok" for each once mutter took it. The session lives as long as
this process's bus connection."""

import sys

from gi.repository import Gio, GLib

SERVICE = "org.gnome.Mutter.RemoteDesktop"


def call(bus, path, interface, method, args=None, reply=None):
    return bus.call_sync(SERVICE, path, interface, method, args,
                         GLib.VariantType(reply) if reply else None, 0, 5000, None)


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    session, = call(bus, "/org/gnome/Mutter/RemoteDesktop", SERVICE, "CreateSession",
                    reply="(o)").unpack()
    call(bus, session, SERVICE + ".Session", "Start")
    print("ready", flush=True)
    for line in sys.stdin:
        keysym, down = line.split()
        call(bus, session, SERVICE + ".Session", "NotifyKeyboardKeysym",
             GLib.Variant("(ub)", (int(keysym, 16), down == "1")))
        print("ok", flush=True)


if __name__ == "__main__":
    main()
