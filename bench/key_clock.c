// Prints every key press the X server sees as "<keysym> <server time in ms>", one a line, so
// F8 -> Ctrl+V can be timed on the server's own clock whoever typed the keys. It listens to XI2
// raw events on the root and grabs nothing; repeats are left out.
//   key_clock        prints "ready" once it listens
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <stdio.h>

int main(void) {
    Display* display = XOpenDisplay(NULL);
    int xinput, unused, major = 2, minor = 0;
    if (!display || !XQueryExtension(display, "XInputExtension", &xinput, &unused, &unused) ||
        XIQueryVersion(display, &major, &minor) != Success) {
        fprintf(stderr, "no X display with XInput 2\n");
        return 1;
    }
    unsigned char mask[XIMaskLen(XI_RawKeyPress)] = {0};
    XISetMask(mask, XI_RawKeyPress);
    XIEventMask selection = {.deviceid = XIAllMasterDevices, .mask_len = sizeof mask, .mask = mask};
    XISelectEvents(display, DefaultRootWindow(display), &selection, 1);
    XSync(display, False);
    puts("ready");
    fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != GenericEvent || event.xcookie.extension != xinput ||
            !XGetEventData(display, &event.xcookie))
            continue;
        const XIRawEvent* raw = event.xcookie.data;
        if (raw->evtype == XI_RawKeyPress && !(raw->flags & XIKeyRepeat)) {
            const char* name =
                XKeysymToString(XkbKeycodeToKeysym(display, (KeyCode)raw->detail, 0, 0));
            printf("%s %lu\n", name ? name : "?", raw->time);
            fflush(stdout);
        }
        XFreeEventData(display, &event.xcookie);
    }
}
