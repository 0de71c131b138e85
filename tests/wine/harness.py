"""Shared helpers of the tests under Wine: Windows programs of the test build
started in the run's private prefix and display, real input from the X server
through xdotool, and polling for what the windows report."""
import os
import queue
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest

STATE = os.environ.get("PTR_WINE_STATE", "")
BIN = os.environ.get("PTR_BIN", "")


def wine_env():
    env = dict(os.environ)
    env["WINEPREFIX"] = os.path.join(STATE, "prefix")
    # Wine's own errors (a process that cannot start, a DLL that fails to
    # load) go to standard error, which the tests keep apart from the output.
    env["WINEDEBUG"] = "fixme-all"
    env["WINEARCH"] = "win64"
    env["WINEDLLOVERRIDES"] = "mscoree=;mshtml=;winemenubuilder.exe=d"
    display_file = os.path.join(STATE, "display")
    if os.path.exists(display_file):
        with open(display_file) as f:
            env["DISPLAY"] = f.read().strip()
    return env


def wine_binary():
    if os.path.exists("/usr/lib/wine/wine64"):
        return "/usr/lib/wine/wine64"
    return "wine64"


# Now and then Wine cannot start a process at all: it finds the page every
# Windows process shares at 0x7ffe0000 taken, says so and ends with exit code
# 1 before any of the program's code has run. Such a start is made again.
WINE_START_FAILURE = "failed to map the shared user data"
START_ATTEMPTS = 3


def wine_could_not_start(code, errors):
    return code == 1 and WINE_START_FAILURE in errors


def run_windows(args, input=None, timeout=60, cwd=None):
    """A Windows program (or a tool of Wine's) run to its end with its output
    kept; a start that Wine itself failed is told and made again."""
    for attempt in range(START_ATTEMPTS):
        result = subprocess.run([wine_binary(), *[str(a) for a in args]], env=wine_env(), cwd=cwd,
                                input=input, stdin=None if input is not None else subprocess.DEVNULL,
                                capture_output=True, text=True, timeout=timeout)
        if not wine_could_not_start(result.returncode, result.stderr):
            return result
        sys.stderr.write("  Wine could not start %s (%s); once more\n" % (args[0], result.stderr.strip()))
    return result


def reg_query(key, *args):
    """What `reg query` prints of the key, or None when it says the key or
    value is not there. A query that fails otherwise is told and made once
    more, then fails the test: a missing value is never guessed from silence."""
    for attempt in range(2):
        result = run_windows(["reg", "query", key, *args])
        if result.returncode == 0:
            return result.stdout
        if "Unable to find the specified registry" in result.stdout + result.stderr:
            return None
        failure = "reg query %s %s ended with exit code %d (%r, %r)" % (
            key, " ".join(args), result.returncode, result.stdout, result.stderr)
        if attempt == 0:
            sys.stderr.write("  %s; once more\n" % failure)
    raise AssertionError(failure)


def winpath(path):
    """A Unix path as Wine's Z: drive sees it."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def read_text(path):
    try:
        with open(path) as f:
            return f.read()
    except FileNotFoundError:
        return ""


def wine_tool(*args, stdin="", timeout=60):
    """Runs a tool of Wine's own (winedbg, reg) in the run's prefix; its output, or '' when it fails."""
    try:
        return run_windows(args, input=stdin, timeout=timeout).stdout
    except (subprocess.TimeoutExpired, OSError):
        return ""


def wine_threads():
    """{windows pid: (executable, [thread ids])} of every process of the prefix."""
    processes, current = {}, None
    for line in wine_tool("winedbg", "--command", "info thread").splitlines():
        process = re.match(r"^([0-9a-f]{8}) (\S+)", line)
        thread = re.match(r"^\s+([0-9a-f]{8})\s", line)
        if process:
            current = processes.setdefault(int(process.group(1), 16), (process.group(2).lower(), []))
        elif thread and current is not None:
            current[1].append(int(thread.group(1), 16))
    return processes


def backtraces(names):
    """A winedbg backtrace of every thread of every process running one of
    the named executables: where a program that does not answer waits."""
    names = {name.lower() for name in names}
    report = []
    for pid, (executable, threads) in sorted(wine_threads().items()):
        if executable not in names:
            continue
        commands = "".join(f"bt 0x{tid:x}\n" for tid in threads) + "detach\nquit\n"
        text = wine_tool("winedbg", f"0x{pid:x}", stdin=commands, timeout=120)
        if "Backtrace" not in text:
            # The 64-bit debugger takes a 32-bit process for ended, and the
            # 32-bit one cannot attach to code that runs under qemu's emulation.
            text += "\n(no backtrace: a 32-bit process, or one that has ended)"
        report.append(f"--- {executable} (pid 0x{pid:x}, {len(threads)} threads)\n{text.strip()}")
    return "\n".join(report) or f"(no process of {sorted(names)} to trace)"


def hang_report(waiting_for):
    """What the desktop shows when a wait runs out: every program still
    running with its last output, and where each of them and the shell wait."""
    live = [program for program in Program.running if program.proc.poll() is None]
    lines = [f"waited for {waiting_for}; running:"]
    for program in live:
        lines.append(f"  {program.name}: last output {program.lines[-8:]}, standard error {program.errors[-8:]}")
    lines.append(backtraces({program.name for program in live} | {"explorer.exe"}))
    return "\n".join(lines)


def wait_until(predicate, timeout=10.0, interval=0.05):
    """Polls until predicate() is true; returns its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(interval)


class Program:
    """A Windows program running under Wine, with its output collected line by line."""

    running = []  # every program started and not yet stopped, for a hang report

    def __init__(self, exe, args, stdin, cwd=None):
        self.name = os.path.basename(exe)
        self._command = ([wine_binary(), exe, *args], cwd or os.path.dirname(exe), stdin)
        self._starts = 0
        self.lines = []
        self.errors = []  # standard error: the program's and Wine's own
        self._start()
        Program.running.append(self)

    def _start(self):
        command, cwd, stdin = self._command
        self.proc = subprocess.Popen(command, env=wine_env(), cwd=cwd, stdin=subprocess.PIPE if stdin else subprocess.DEVNULL,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, bufsize=1)
        self._starts += 1
        # Each start has its lines of its own: the end of a start made again is not this one's.
        self._queue = queue.Queue()
        threading.Thread(target=self._read, args=(self.proc.stdout, self._queue), daemon=True).start()
        self._errors_reader = threading.Thread(target=self._read_errors, args=(self.proc.stderr,), daemon=True)
        self._errors_reader.start()

    def _started_again(self, code):
        """Starts the program once more if Wine could not start it; whether it did."""
        if code != 1 or self.lines or self._starts >= START_ATTEMPTS:
            return False
        # A failed start has no child to hold its standard error open; a program
        # that ended after starting others may have, so the wait is short.
        self._errors_reader.join(2)
        if not wine_could_not_start(code, "\n".join(self.errors)):
            return False
        sys.stderr.write(f"  Wine could not start {self.name} ({self.errors[-1]}); once more\n")
        for stream in (self.proc.stdin, self.proc.stdout, self.proc.stderr):
            if stream:
                stream.close()
        self.errors = []
        self._start()
        return True

    def _read(self, stream, lines):
        for line in stream:
            line = line.rstrip("\r\n")
            self.lines.append(line)
            lines.put(line)
        lines.put(None)

    def _read_errors(self, stream):
        for line in stream:
            self.errors.append(line.rstrip("\r\n"))

    def said(self):
        """The output, and standard error when there is any."""
        return f"output: {self.lines}" + (f", standard error: {self.errors[-20:]}" if self.errors else "")

    def expect(self, prefix, timeout=60.0):
        """Waits for the next output line that starts with prefix and returns it."""
        deadline = time.monotonic() + timeout
        while True:
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise AssertionError(f"{self.name}: no line starting with {prefix!r} within {timeout:.0f} s; "
                                     f"{self.said()}\n" + hang_report(f"{prefix!r} from {self.name}"))
            try:
                line = self._queue.get(timeout=remaining)
            except queue.Empty:
                continue
            if line is None:
                code = self.proc.wait(10)
                if self._started_again(code):
                    continue
                raise AssertionError(f"{self.name} ended (exit code {code}) without {prefix!r}; {self.said()}")
            if line.startswith(prefix):
                return line

    def send(self, command):
        self.proc.stdin.write(command + "\n")
        self.proc.stdin.flush()

    def ask(self, command, prefix=None, timeout=60.0):
        """Sends a command to a program that answers on its output (blockctl)."""
        self.send(command)
        return self.expect(prefix or "", timeout)

    def wait(self, timeout=15.0):
        deadline = time.monotonic() + timeout
        try:
            while True:
                code = self.proc.wait(max(0.0, deadline - time.monotonic()))
                if not self._started_again(code):
                    return code
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait(10)
        if self.proc.stdin:
            self.proc.stdin.close()
        if self in Program.running:
            Program.running.remove(self)


class Sample:
    """The sample program's windows, event log and state file."""

    def __init__(self, program, folder):
        self.program = program
        self.log_path = os.path.join(folder, "sample.log")
        self.state_path = os.path.join(folder, "sample.state")
        self.windows = {}

    def read_log(self):
        try:
            with open(self.log_path) as f:
                return [line.rstrip("\n") for line in f]
        except FileNotFoundError:
            return []

    def wait_ready(self, timeout=60.0):
        ready = lambda: "READY" in self.read_log() or self.program.proc.poll() is not None
        if not wait_until(ready, timeout) or "READY" not in self.read_log():
            ended = self.program.proc.poll()
            raise AssertionError(f"sample program not ready within {timeout:.0f} s "
                                 f"({'running' if ended is None else f'ended, exit code {ended}'}); "
                                 f"log {self.read_log()}, {self.program.said()}\n"
                                 + hang_report("the sample program's READY"))
        for line in self.read_log():
            if line.startswith("WINDOW "):
                parts = line.split()
                rect = [int(v) for v in parts[3].split("=")[1].split(",")]
                self.windows[parts[1]] = {"hwnd": int(parts[2].split("=")[1], 16), "rect": rect}

    def center(self, name):
        left, top, right, bottom = self.windows[name]["rect"]
        return (left + right) // 2, (top + bottom) // 2

    def last_move(self):
        state = self.state()
        return state.get("move_x"), state.get("move_y")

    def state(self):
        values = {}
        try:
            with open(self.state_path) as f:
                for line in f:
                    if "=" in line:
                        key, value = line.strip().split("=", 1)
                        values[key] = int(value, 0) if value.lstrip("-").replace("x", "").isalnum() and key != "focus" else value
        except (FileNotFoundError, ValueError):
            pass
        return values

    def messages(self, window=None, name=None):
        """The logged messages as (window, message, wp, lp, extra) tuples."""
        out = []
        for line in self.read_log():
            if not line.startswith("MSG "):
                continue
            parts = line.split()
            entry = (parts[1], parts[2], int(parts[3][3:], 16), int(parts[4][3:], 16), int(parts[5][6:], 16))
            if (window is None or entry[0] == window) and (name is None or entry[1] == name):
                out.append(entry)
        return out

    def clear_log(self):
        open(self.log_path, "w").close()


class WineTest(unittest.TestCase):
    """Base of the tests under Wine: starts programs, cleans up after each test."""

    version = "winxp"

    def setUp(self):
        # Everything set up is undone by a cleanup registered as it is set
        # up: a set-up that fails half-way leaves nothing behind either.
        if not STATE or not BIN:
            self.skipTest("PTR_WINE_STATE and PTR_BIN are set by the test run")
        started = time.monotonic()
        # Last of all: what the case took, to keep the test command's time in view.
        self.addCleanup(lambda: print(f"  ({self.id().split('.', 1)[1]}: {time.monotonic() - started:.1f} s)",
                                      file=sys.stderr))
        self.folder = tempfile.mkdtemp(prefix="ptrwine-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.programs = []
        self.held = []  # X buttons pressed and not yet released
        self.addCleanup(self.set_version, "winxp")
        self.set_version(self.version)

    def exe(self, name):
        return os.path.join(BIN, name)

    def start(self, name, *args, stdin=False):
        return self.started(Program(self.exe(name), list(args), stdin))

    def started(self, program):
        """Ends the program when the test ends, whatever happens."""
        self.programs.append(program)
        self.addCleanup(program.stop)
        return program

    def set_version(self, version):
        result = run_windows(["reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", version, "/f"])
        if result.returncode != 0:
            raise AssertionError(f"Wine's version could not be set to {version} (exit code {result.returncode}, "
                                 f"{result.stdout!r}, {result.stderr!r})")

    def blockctl(self, reset=False):
        """The hook tool; with reset the block starts all zero, whatever an
        earlier process left in it."""
        program = self.start("blockctl.exe", stdin=True)
        # Before the tool ends: a hook tool killed with its hooks installed can
        # leave Wine calling the mouse hook twice per message in the next test.
        self.addCleanup(self.remove_hooks, program)
        program.expect("READY")
        if reset:
            program.ask("reset", "OK")
        return program

    @staticmethod
    def remove_hooks(program):
        """InstallHook(0) through a hook tool that still runs; which also lets
        go of any key a mode holds."""
        if program.proc.poll() is None:
            try:
                program.ask("install 0", "InstallHook(0)=", timeout=10.0)
            except (AssertionError, OSError, ValueError):
                pass

    def sample(self, *args):
        sample = Sample(None, self.folder)
        sample.program = self.start("sampleapp.exe", "--log", winpath(sample.log_path),
                                    "--state", winpath(sample.state_path), *args)
        sample.wait_ready()
        return sample

    def sample_as(self, name, x, y):
        """The sample program copied to NAME.exe in a folder of its own, and
        started at x, y: another program, as far as a program's file name
        tells programs apart."""
        folder = os.path.join(self.folder, name)
        os.makedirs(folder)
        exe = os.path.join(folder, name + ".exe")
        shutil.copy(self.exe("sampleapp.exe"), exe)
        sample = Sample(None, folder)
        sample.program = self.started(Program(exe, ["--log", winpath(sample.log_path),
                                                     "--state", winpath(sample.state_path), "--at", str(x), str(y)],
                                              False))
        sample.wait_ready()
        return sample

    def other_window(self, x=700, y=760):
        """A window of another process that takes the foreground and the focus."""
        log = os.path.join(self.folder, "other.log")
        program = self.start("sampleapp.exe", "--other", "--at", str(x), str(y), "--log", winpath(log))
        self.wait_ready_line(program, log, 60.0)
        return program

    @staticmethod
    def wait_ready_line(program, log, timeout):
        """Waits for READY in a program's log; says why when it never comes."""
        if not wait_until(lambda: "READY" in read_text(log) or program.proc.poll() is not None, timeout) \
                or "READY" not in read_text(log):
            raise AssertionError(f"{program.name} {' '.join(program.proc.args[2:])} not ready within {timeout:.0f} s "
                                 f"(exit code {program.proc.poll()}); log {read_text(log)!r}, {program.said()}\n"
                                 + hang_report(f"READY from {program.name}"))

    def xdo(self, *args):
        subprocess.run(["xdotool", *[str(a) for a in args]], env=wine_env(), check=True)

    def move(self, x, y):
        """Moves the pointer. The X server hands Wine this move before any
        button event that follows, so a click after it lands here."""
        self.xdo("mousemove", x, y)

    def glide(self, sample, x, y):
        """Moves the pointer over a sample window and returns once the sample
        has taken the move off its queue: each move is then one message to
        the hooks, not merged with the next one as moves waiting in a queue are."""
        self.move(x, y)
        if not wait_until(lambda: sample.last_move() == (x, y), 30.0):
            raise AssertionError(f"the move to {x},{y} never reached the sample: {sample.last_move()}")

    def click(self, button, x=None, y=None):
        if x is not None:
            self.move(x, y)
        self.xdo("click", button)

    def press(self, button):
        self.xdo("mousedown", button)
        if button not in self.held:
            self.addCleanup(lambda: button in self.held and self.release(button))
        self.held.append(button)

    def release(self, button):
        self.xdo("mouseup", button)
        if button in self.held:
            self.held.remove(button)
