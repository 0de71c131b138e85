"""Real pointer input through the X server's test extension, for what xdotool
cannot do: a click whose press and release reach the server together.

xdotool waits a few milliseconds between the press and the release of a
click. Under Wine that is long enough for the hooks to handle the press
before the release is read, so the release then arrives after the function
it started. A fast click (a touchpad tap, say) sends both at once; this
module does the same."""
import ctypes
import ctypes.util

_x11 = None
_xtst = None


def _libraries():
    global _x11, _xtst
    if _x11 is None:
        _x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        _xtst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
        _x11.XOpenDisplay.restype = ctypes.c_void_p
        _x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        _x11.XFlush.argtypes = [ctypes.c_void_p]
        _x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        _xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
    return _x11, _xtst


def fast_click(display, button):
    """Presses and releases an X pointer button with one flush."""
    x11, xtst = _libraries()
    connection = x11.XOpenDisplay(display.encode())
    if not connection:
        raise RuntimeError(f"cannot open X display {display}")
    try:
        xtst.XTestFakeButtonEvent(connection, button, 1, 0)
        xtst.XTestFakeButtonEvent(connection, button, 0, 0)
        x11.XFlush(connection)
    finally:
        x11.XCloseDisplay(connection)
