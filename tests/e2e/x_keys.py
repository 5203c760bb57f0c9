#!/usr/bin/env python3
"""Keys sent to the window that has the keyboard through the X server's test extension, with
the moments around them noted closely (xdotool spends tens of milliseconds of its own around
a key, which would blur the moment a key went down).

  x_keys.py press KEY...         presses the keys together and lets go; prints the wall-clock
                                 seconds just before the first went down and just after the
                                 X server had them all: "BEFORE AFTER"
  x_keys.py menu COUNT KEY...    how long the keys take to open a pop-up menu, seen from
                                 outside as the operator sees it: from the keys to the menu's
                                 window mapped on the screen (a pop-up menu is an
                                 override-redirect window of the root); Escape closes it again
                                 before the next press. Prints one latency a line in
                                 milliseconds, then "median M max X".

Keys are X keysym names: i, Shift_L, F10. Needs only libX11 and libXtst, which xdotool
brings.
"""
import ctypes
import ctypes.util
import select
import statistics
import sys
import time

MAP_NOTIFY = 19
UNMAP_NOTIFY = 18
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19


def load(name, fallback):
    return ctypes.cdll.LoadLibrary(ctypes.util.find_library(name) or fallback)


x11 = load("X11", "libX11.so.6")
xtst = load("Xtst", "libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XPending.argtypes = [ctypes.c_void_p]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]


class XEvent(ctypes.Structure):
    # XMapEvent and XUnmapEvent on a 64-bit system, padded to the size of the XEvent union.
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int), ("pad", ctypes.c_long * 18)]


def next_event(display, event, deadline):
    """The next event, or None once the deadline has passed."""
    while not x11.XPending(display):
        left = deadline - time.monotonic()
        if left <= 0:
            return None
        select.select([x11.XConnectionNumber(display)], [], [], left)
    x11.XNextEvent(display, ctypes.byref(event))
    return event


def keys(display, codes, down):
    for code in codes if down else reversed(codes):
        xtst.XTestFakeKeyEvent(display, code, 1 if down else 0, 0)


def open_display():
    display = x11.XOpenDisplay(None)
    if not display:
        raise SystemExit("no display")
    return display


def keycodes(display, names):
    return [x11.XKeysymToKeycode(display, x11.XStringToKeysym(k.encode())) for k in names]


def press(names):
    display = open_display()
    codes = keycodes(display, names)
    x11.XSync(display, 0)
    before = time.time()
    keys(display, codes, True)
    # Once the server has answered, it has taken the keys in and stamped them.
    x11.XSync(display, 0)
    after = time.time()
    keys(display, codes, False)
    x11.XSync(display, 0)
    print("%.6f %.6f" % (before, after))
    return 0


def menu(count, names):
    display = open_display()
    x11.XSelectInput(display, x11.XDefaultRootWindow(display), SUBSTRUCTURE_NOTIFY_MASK)
    codes = keycodes(display, names)
    escape = keycodes(display, ["Escape"])
    event = XEvent()
    latencies = []
    for _ in range(count):
        start = time.monotonic()
        keys(display, codes, True)
        keys(display, codes, False)
        x11.XFlush(display)
        shown = None
        while shown is None:
            got = next_event(display, event, start + 10)
            if got is None:
                print("no menu opened", file=sys.stderr)
                return 1
            if got.type == MAP_NOTIFY and got.override_redirect:
                shown = got.window
        latencies.append((time.monotonic() - start) * 1000)
        print("%.1f" % latencies[-1])
        keys(display, escape, True)
        keys(display, escape, False)
        x11.XFlush(display)
        closed = False
        while not closed:
            got = next_event(display, event, time.monotonic() + 10)
            if got is None:
                print("the menu did not close", file=sys.stderr)
                return 1
            closed = got.type == UNMAP_NOTIFY and got.window == shown
    print("median %.1f max %.1f" % (statistics.median(latencies), max(latencies)))
    return 0


def main(argv):
    if len(argv) >= 2 and argv[0] == "press":
        return press(argv[1:])
    if len(argv) >= 3 and argv[0] == "menu":
        return menu(int(argv[1]), argv[2:])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
