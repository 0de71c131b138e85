#!/usr/bin/env python3
"""End-to-end latency of a wheel notch: from the button event given to the X
server (XTest, button 4 or 5) to the message the target window receives,

  with the suite:    the list box's first WM_VSCROLL, the hooks installed and
                     the enhanced mode on (the suite routes the notch), and
  without the suite: the list box's WM_MOUSEWHEEL, the hooks removed (the
                     system alone delivers the notch),

over the same list box of the sample program (a 64-bit program), which
stamps each message with the performance counter (under Wine the clock of
CLOCK_MONOTONIC_RAW, which this script reads when it sends). Prints the
medians over the notches and their ratios. The conditions take turns in
blocks, on one private Xvfb display and wine server that the script starts
and stops.

With --edition64 the suite is the 64-bit edition as 64-bit Windows runs it:
the i686 tray agent of the win32 build, started for each block, and its
64-bit host, whose PTRHK64A.dll serves the 64-bit program; beside it, as a
third condition, the x86_64 library installed by a 64-bit program itself
(the hooks without a host), to show what the host adds to a notch.

    python3 bench/latency.py [--notches 200] [--block 25] [--gap 0.1] [--edition64]

Each notch is sent once the window has had --gap seconds to finish with the
one before (scrolling and repainting), so that no notch waits behind another.

Build the win64 preset first (and the win32 one for --edition64)."""
import argparse
import ctypes
import os
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
STATE = os.path.join(ROOT, "build", "win64", "latency-wine")
os.environ["PTR_WINE_STATE"] = STATE
os.environ["PTR_BIN"] = os.path.join(ROOT, "build", "win64", "bin")
BIN32 = os.path.join(ROOT, "build", "win32", "bin")
sys.path.insert(0, os.path.join(ROOT, "tests", "wine"))

from harness import BIN, Program, Sample, wait_until, wine_binary, wine_env, winpath  # noqa: E402

WHEEL_UP, WHEEL_DOWN = 4, 5
SB_ENDSCROLL = 8
WARM_UP = 5  # notches at the start of each block that are not counted


def clock():
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW)


class XTest:
    """Button events straight to the X server, without a helper process."""

    def __init__(self, display):
        self.x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
        self.xtst = ctypes.cdll.LoadLibrary("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(display.encode())
        if not self.display:
            raise RuntimeError(f"cannot open display {display}")

    def click(self, button):
        """Sends a press and a release; returns the time just before."""
        sent = clock()
        self.xtst.XTestFakeButtonEvent(self.display, button, 1, 0)
        self.xtst.XTestFakeButtonEvent(self.display, button, 0, 0)
        self.x11.XFlush(self.display)
        return sent

    def close(self):
        self.x11.XCloseDisplay(self.display)


class LogTail:
    """The sample program's log, read from where the last read ended."""

    def __init__(self, path):
        self.path = path
        self.offset = 0

    def new_lines(self):
        try:
            with open(self.path, "rb") as f:  # the C runtime ends lines with CR LF
                f.seek(self.offset)
                data = f.read()
        except FileNotFoundError:
            return []
        end = data.rfind(b"\n") + 1  # a line still being written waits for the next read
        self.offset += end
        return data[:end].decode("latin-1").splitlines()


def stamped(line):
    """(window, message, wParam, t) of a stamped MSG line, else None."""
    parts = line.split()
    if len(parts) < 7 or parts[0] != "MSG" or not parts[6].startswith("t="):
        return None
    return parts[1], parts[2], int(parts[3][3:], 16), float(parts[6][2:])


def notch_latency(xtest, tail, button, routed):
    """Seconds from the X event to the list box's message; waits until the
    notch is wholly handled (the end of the scroll, or the wheel message)."""
    sent = xtest.click(button)
    first = None
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        for line in tail.new_lines():
            entry = stamped(line)
            if entry is None or entry[0] != "list":
                continue
            window, message, wparam, t = entry
            if routed and message == "WM_VSCROLL":
                first = t if first is None else first
                if wparam & 0xFFFF == SB_ENDSCROLL:
                    return first - sent
            if not routed and message == "WM_MOUSEWHEEL":
                return t - sent
        time.sleep(0.001)
    raise AssertionError(f"no {'WM_VSCROLL' if routed else 'WM_MOUSEWHEEL'} for the notch")


class Condition:
    """One way the notch is handled; set up before each of its blocks and undone after."""

    def __init__(self, label, routed, begin=lambda: None, end=lambda: None):
        self.label, self.routed, self.begin, self.end = label, routed, begin, end
        self.latencies = []


def library_hooks(hooks):
    """The x86_64 library's hooks, installed by a 64-bit program (blockctl)."""
    def begin():
        if hooks.ask("install 1", "InstallHook(").endswith("=0"):
            sys.exit("the hooks did not install")
    return Condition("x86_64 library, its hooks installed by a 64-bit program", True, begin,
                     lambda: hooks.ask("install 0", "InstallHook("))


def edition64(hooks, programs, configure):
    """The i686 agent and its 64-bit host, as on 64-bit Windows."""
    agent = []

    def begin():
        program = Program(os.path.join(BIN32, "PtrAgent.exe"), [], False)
        programs.append(program)
        agent.append(program)
        program.expect("PtrAgent: 64-bit host's hooks held 0x3", 120)
        configure()

    def end():
        program = agent.pop()
        subprocess.run([wine_binary(), os.path.join(BIN, "agentctl.exe"), "quit"], env=wine_env(),
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, timeout=60)
        if program.wait(30) != 0:
            sys.exit(f"the i686 agent did not end: {program.lines[-3:]}")
    return Condition("64-bit edition: i686 agent, its 64-bit host's PTRHK64A.dll", True, begin, end)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--notches", type=int, default=200, help="counted notches for each condition")
    parser.add_argument("--block", type=int, default=25, help="counted notches in one block of a condition")
    parser.add_argument("--gap", type=float, default=0.1, help="seconds between a notch's message and the next notch")
    parser.add_argument("--edition64", action="store_true",
                        help="the i686 agent and its 64-bit host against the x86_64 library alone and the system")
    args = parser.parse_args()
    if not os.path.exists(os.path.join(BIN, "sampleapp.exe")):
        sys.exit("build the win64 preset first")
    if args.edition64 and not os.path.exists(os.path.join(BIN32, "PtrAgent64.exe")):
        sys.exit("build the win32 preset first: it puts the 64-bit edition beside the i686 deliverables")

    session = os.path.join(ROOT, "tools", "wine-session")
    subprocess.run([session, "start", STATE], check=True, stdout=subprocess.DEVNULL)
    programs = []
    folder = tempfile.mkdtemp(prefix="ptrlatency-")
    try:
        env = wine_env()
        hooks = Program(os.path.join(BIN, "blockctl.exe"), [], True)
        programs.append(hooks)
        hooks.expect("READY", 120)
        hooks.ask("reset", "OK")

        def configure():
            hooks.ask("set EnhanceMode=-1 WheelCount=1 WheelLines=3 WheelPageScroll=0 ButtonCount=3", "OK")
        configure()

        before = clock()
        sample = Sample(None, folder)
        sample.program = Program(os.path.join(BIN, "sampleapp.exe"),
                                 ["--log", winpath(sample.log_path), "--state", winpath(sample.state_path),
                                  "--stamp"], False)
        programs.append(sample.program)
        sample.wait_ready(120)
        after = clock()
        stamps = [float(line.split("t=")[1]) for line in sample.read_log() if line.startswith("CLOCK ")]
        if not stamps or not before <= stamps[0] <= after:
            sys.exit(f"the sample's clock is not CLOCK_MONOTONIC_RAW: {stamps} outside [{before}, {after}]")

        # The pointer over the list box, which also gets the focus.
        x, y = sample.center("list")
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], env=env, check=True)
        if not wait_until(lambda: sample.last_move() == (x, y), 30):
            sys.exit("the sample never saw the pointer over the list box")

        alone = Condition("system alone (WM_MOUSEWHEEL)", False)
        if args.edition64:
            conditions = [edition64(hooks, programs, configure), library_hooks(hooks), alone]
        else:
            suite = library_hooks(hooks)
            suite.label = "with the suite (WM_VSCROLL)"
            conditions = [suite, alone]
        xtest = XTest(env["DISPLAY"])
        tail = LogTail(sample.log_path)
        tail.new_lines()
        button = WHEEL_DOWN
        turn = 0
        while min(len(c.latencies) for c in conditions) < args.notches:
            condition = conditions[turn % len(conditions)]
            turn += 1
            condition.begin()
            for n in range(WARM_UP + args.block):
                time.sleep(args.gap)  # pacing of the benchmark: the window is idle again
                tail.new_lines()
                latency = notch_latency(xtest, tail, button, condition.routed)
                button = WHEEL_UP if button == WHEEL_DOWN else WHEEL_DOWN  # the list stays inside its items
                if n >= WARM_UP and len(condition.latencies) < args.notches:
                    condition.latencies.append(latency)
            condition.end()
        xtest.close()

        def spread(values):
            q = statistics.quantiles(values, n=10)
            return f"10% {q[0] * 1e3:.2f} ms, 90% {q[-1] * 1e3:.2f} ms"

        print(f"{args.notches} notches each, in blocks of {args.block}, {args.gap} s apart")
        width = max(len(c.label) for c in conditions) + 1
        for condition in conditions:
            median = statistics.median(condition.latencies)
            print(f"{condition.label + ':':<{width}} median {median * 1e3:.2f} ms ({spread(condition.latencies)})")
        system = statistics.median(alone.latencies)
        for condition in conditions[:-1]:
            print(f"ratio of medians, {condition.label} / system alone: "
                  f"{statistics.median(condition.latencies) / system:.2f}")
        if args.edition64:
            print(f"ratio of medians, 64-bit edition / x86_64 library alone: "
                  f"{statistics.median(conditions[0].latencies) / statistics.median(conditions[1].latencies):.2f}")
    finally:
        for program in reversed(programs):
            program.stop()
        subprocess.run([session, "stop", STATE], stdout=subprocess.DEVNULL)


if __name__ == "__main__":
    main()
