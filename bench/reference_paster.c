// The floor for F8 -> Ctrl+V on X11: the least a paster has to do, to measure the program
// against. On every F8 press (an XI2 raw event on the root, so nothing is grabbed) it takes
// CLIPBOARD with the key event's server time and types Ctrl+V with XTest in the same flush,
// waiting for no answer in between; then it serves the text from this same connection.
//   reference_paster TEXT        TEXT in UTF-8; prints "ready" once it watches F8
// No INCR transfers: the texts it is given are short.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { CLIPBOARD, TARGETS, TIMESTAMP, UTF8_STRING, TEXT_PLAIN_UTF8, TEXT, ATOM_COUNT };
static char* atomNames[ATOM_COUNT] = {
    "CLIPBOARD", "TARGETS", "TIMESTAMP", "UTF8_STRING", "text/plain;charset=utf-8", "TEXT"};
static Atom atoms[ATOM_COUNT];

static const char* text;
static size_t textLength;
static unsigned char* latin1Text; // the STRING target: Latin-1, other characters as '?'
static size_t latin1Length;
static Time ownedSince = CurrentTime;

static int reportError(Display* display, XErrorEvent* error) {
    // A requestor that vanished meanwhile only costs its own answer.
    char message[128];
    XGetErrorText(display, error->error_code, message, sizeof message);
    fprintf(stderr, "X error: %s (request %d)\n", message, error->request_code);
    return 0;
}

static void toLatin1(void) {
    const unsigned char* in = (const unsigned char*)text;
    latin1Text = malloc(textLength + 1);
    for (size_t i = 0; i < textLength;) {
        unsigned code = in[i++];
        int more = code >= 0xF0 ? 3 : code >= 0xE0 ? 2 : code >= 0xC0 ? 1 : 0;
        if (more)
            code &= 0x3F >> more;
        for (; more > 0 && i < textLength; --more)
            code = code << 6 | (in[i++] & 0x3F);
        latin1Text[latin1Length++] = code < 0x100 ? (unsigned char)code : '?';
    }
}

static void answer(Display* display, const XSelectionRequestEvent* request) {
    XSelectionEvent reply = {.type = SelectionNotify,
                             .display = display,
                             .requestor = request->requestor,
                             .selection = request->selection,
                             .target = request->target,
                             .property = None,
                             .time = request->time};
    // Clients from before ICCCM 2 name no property: the target's name is used.
    Atom property = request->property != None ? request->property : request->target;
    Atom target = request->target;
    int current = request->time == CurrentTime || request->time >= ownedSince;
    if (current && target == atoms[TARGETS]) {
        Atom offered[] = {atoms[TARGETS],         atoms[TIMESTAMP], atoms[UTF8_STRING],
                          atoms[TEXT_PLAIN_UTF8], XA_STRING,        atoms[TEXT]};
        XChangeProperty(display, request->requestor, property, XA_ATOM, 32, PropModeReplace,
                        (unsigned char*)offered, sizeof offered / sizeof *offered);
        reply.property = property;
    } else if (current && target == atoms[TIMESTAMP]) {
        long when = (long)ownedSince; // format 32 data travels as longs in Xlib
        XChangeProperty(display, request->requestor, property, XA_INTEGER, 32, PropModeReplace,
                        (unsigned char*)&when, 1);
        reply.property = property;
    } else if (current && (target == atoms[UTF8_STRING] || target == atoms[TEXT_PLAIN_UTF8] ||
                           target == atoms[TEXT])) {
        // TEXT lets the owner choose the encoding: UTF-8.
        Atom type = target == atoms[TEXT] ? atoms[UTF8_STRING] : target;
        XChangeProperty(display, request->requestor, property, type, 8, PropModeReplace,
                        (const unsigned char*)text, (int)textLength);
        reply.property = property;
    } else if (current && target == XA_STRING) {
        XChangeProperty(display, request->requestor, property, XA_STRING, 8, PropModeReplace,
                        latin1Text, (int)latin1Length);
        reply.property = property;
    }
    XSendEvent(display, request->requestor, False, NoEventMask, (XEvent*)&reply);
    XFlush(display);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s TEXT\n", argv[0]);
        return 2;
    }
    text = argv[1];
    textLength = strlen(text);
    toLatin1();
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "cannot open the X display\n");
        return 1;
    }
    int xinput, unused, major = 2, minor = 0;
    if (!XQueryExtension(display, "XInputExtension", &xinput, &unused, &unused) ||
        XIQueryVersion(display, &major, &minor) != Success ||
        !XTestQueryExtension(display, &unused, &unused, &unused, &unused)) {
        fprintf(stderr, "the X server lacks XInput 2 or XTest\n");
        return 1;
    }
    XSetErrorHandler(reportError);
    Window root = DefaultRootWindow(display);
    Window owner = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
    XInternAtoms(display, atomNames, ATOM_COUNT, False, atoms);
    KeyCode f8 = XKeysymToKeycode(display, XK_F8);
    KeyCode control = XKeysymToKeycode(display, XK_Control_L);
    KeyCode v = XKeysymToKeycode(display, XK_v);

    unsigned char mask[XIMaskLen(XI_RawKeyPress)] = {0};
    XISetMask(mask, XI_RawKeyPress);
    XIEventMask selection = {.deviceid = XIAllMasterDevices, .mask_len = sizeof mask, .mask = mask};
    XISelectEvents(display, root, &selection, 1);
    XSync(display, False);
    puts("ready");
    fflush(stdout);

    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == SelectionRequest) {
            answer(display, &event.xselectionrequest);
        } else if (event.type == GenericEvent && event.xcookie.extension == xinput &&
                   XGetEventData(display, &event.xcookie)) {
            const XIRawEvent* raw = event.xcookie.data;
            if (raw->evtype == XI_RawKeyPress && raw->detail == f8 && !(raw->flags & XIKeyRepeat)) {
                // All five requests leave in one flush; ownership is never checked back.
                ownedSince = raw->time;
                XSetSelectionOwner(display, atoms[CLIPBOARD], owner, raw->time);
                XTestFakeKeyEvent(display, control, True, CurrentTime);
                XTestFakeKeyEvent(display, v, True, CurrentTime);
                XTestFakeKeyEvent(display, v, False, CurrentTime);
                XTestFakeKeyEvent(display, control, False, CurrentTime);
                XFlush(display);
            }
            XFreeEventData(display, &event.xcookie);
        }
    }
}
