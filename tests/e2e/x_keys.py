#!/usr/bin/env python3
"""Keys sent through the X server's test extension to the window that has the keyboard, the
moments around them noted closely (xdotool spends tens of milliseconds of its own on a key).

  x_keys.py press KEY...       presses the keys together and lets go; prints the wall-clock
                               seconds just before the first went down and just after the
                               X server had them all: "BEFORE AFTER"
  x_keys.py menu COUNT KEY...  COUNT times, the keys, then the pop-up menu they open (an
                               override-redirect window) mapped, then Escape to close it;
                               prints each latency in milliseconds, then "median M max X".

Keys are X keysym names (i, Shift_L, F10). Needs only libX11 and libXtst, as xdotool does.
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

x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
xtst = ctypes.cdll.LoadLibrary(ctypes.util.find_library("Xtst") or "libXtst.so.6")
P, ULONG, INT = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int
for name, restype, argtypes in [
        ("XOpenDisplay", P, [ctypes.c_char_p]), ("XDefaultRootWindow", ULONG, [P]),
        ("XSelectInput", INT, [P, ULONG, ctypes.c_long]), ("XPending", INT, [P]),
        ("XStringToKeysym", ULONG, [ctypes.c_char_p]), ("XNextEvent", INT, [P, P]),
        ("XKeysymToKeycode", ctypes.c_ubyte, [P, ULONG]), ("XFlush", INT, [P]),
        ("XSync", INT, [P, INT]), ("XConnectionNumber", INT, [P])]:
    getattr(x11, name).restype = restype
    getattr(x11, name).argtypes = argtypes
xtst.XTestFakeKeyEvent.argtypes = [P, ctypes.c_uint, INT, ULONG]


class XEvent(ctypes.Structure):
    # XMapEvent and XUnmapEvent on a 64-bit system, padded to the size of the XEvent union.
    _fields_ = [("type", INT), ("serial", ULONG), ("send_event", INT), ("display", P),
                ("event", ULONG), ("window", ULONG), ("override_redirect", INT),
                ("pad", ctypes.c_long * 18)]


def keys(display, codes, down):
    for code in codes if down else reversed(codes):
        xtst.XTestFakeKeyEvent(display, code, 1 if down else 0, 0)


def window_of(display, event, wanted, failure):
    """The window of the first event that is wanted; exits if none has come within 10 s."""
    deadline = time.monotonic() + 10
    while True:
        while not x11.XPending(display):
            left = deadline - time.monotonic()
            if left <= 0:
                sys.exit(failure)
            select.select([x11.XConnectionNumber(display)], [], [], left)
        x11.XNextEvent(display, ctypes.byref(event))
        if wanted(event):
            return event.window


def press(display, codes):
    x11.XSync(display, 0)
    before = time.time()
    keys(display, codes, True)
    # Once the server has answered, it has taken the keys in and stamped them.
    x11.XSync(display, 0)
    after = time.time()
    keys(display, codes, False)
    x11.XSync(display, 0)
    print("%.6f %.6f" % (before, after))


def menu(display, count, codes):
    x11.XSelectInput(display, x11.XDefaultRootWindow(display), SUBSTRUCTURE_NOTIFY_MASK)
    escape = [x11.XKeysymToKeycode(display, x11.XStringToKeysym(b"Escape"))]
    event = XEvent()
    latencies = []
    for _ in range(count):
        start = time.monotonic()
        keys(display, codes, True)
        keys(display, codes, False)
        x11.XFlush(display)
        shown = window_of(display, event, lambda e: e.type == MAP_NOTIFY and e.override_redirect,
                          "no menu opened")
        latencies.append((time.monotonic() - start) * 1000)
        print("%.1f" % latencies[-1])
        keys(display, escape, True)
        keys(display, escape, False)
        x11.XFlush(display)
        window_of(display, event, lambda e: e.type == UNMAP_NOTIFY and e.window == shown,
                  "the menu did not close")
    print("median %.1f max %.1f" % (statistics.median(latencies), max(latencies)))


def main(argv):
    if not (argv[:1] == ["press"] and len(argv) >= 2 or argv[:1] == ["menu"] and len(argv) >= 3):
        print(__doc__, file=sys.stderr)
        return 2
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("no display")
    names = argv[1:] if argv[0] == "press" else argv[2:]
    codes = [x11.XKeysymToKeycode(display, x11.XStringToKeysym(k.encode())) for k in names]
    if argv[0] == "press":
        press(display, codes)
    else:
        menu(display, int(argv[1]), codes)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
