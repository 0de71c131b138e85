#!/usr/bin/env python3
"""The suite doing its job, in a short scripted session under Wine.

Installs the suite for the current user with PtrSetup.exe, alone in an
empty folder, and starts the installed tray agent
(which loads PTRHK32A.dll and installs the hooks), starts the sample program
and a small window of another program that holds the focus, then drives real
mouse input from the X server over the sample's windows: wheel notches by
lines and by pages over a list box without the focus, button functions of the
middle button and of button 4, Horizontal Wheel, universal scroll, auto
scroll and zoom; opens the settings program from the tray agent's menu and
changes a setting with real clicks; gives two more programs settings of their
own and shows button 4 and the wheel behaving differently in each; shows the
64-bit edition (the i686 tray agent of the win32 build with its 64-bit host
serving the 64-bit sample program, a killed host started again); and ends
by removing the suite with its
uninstaller, checking that no file, folder or registry value is left. For
each step it prints what it did and what the windows themselves report
(scroll positions, messages received, files, registry), and leaves a
screenshot in the output folder.

    main_job.py [--short] [--out FOLDER]

Needs PTR_WINE_STATE (a running session of tools/wine-session), PTR_BIN
(the x86_64 build's bin folder) and PTR_BIN32 (the i686 build's, with the
64-bit edition beside the deliverables). Exit code 0 when every step had its
effect.
"""
import argparse
import difflib
import os
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "wine"))
sys.path.insert(0, HERE)

import harness  # noqa: E402
import uninst_support  # noqa: E402
from function_codes import (AUTO_SCROLL, COPY, ENTER, HORIZONTAL_WHEEL, SYSTEM_DEFAULT, UNIVERSAL_SCROLL,  # noqa: E402
                            UNIVERSAL_ZOOM)
from harness import Program, Sample, read_text, wait_until, wine_binary, wine_env, winpath  # noqa: E402
from settingharness import ID  # noqa: E402

MIDDLE, WHEEL_UP, WHEEL_DOWN, BUTTON4 = 2, 4, 5, 8
SB_LINEDOWN, SB_PAGEDOWN, SB_ENDSCROLL = 1, 3, 8
VK_RETURN, VK_CONTROL = 0x0D, 0x11

TRAY_CALLBACK, WM_RBUTTONUP = 0x8000 + 1, 0x0205


class StepFailed(Exception):
    pass


class Session:
    """The programs of the session and the input and measurements around them."""

    def __init__(self, out):
        self.out = out
        self.folder = tempfile.mkdtemp(prefix="run-", dir=out)
        self.programs = []
        self.agent = None
        self.hooks = None
        self.sample = None
        self.settingctl = None
        self.source = os.path.join(self.folder, "source")
        self.target = None  # where the installer puts the suite for the current user

    # Programs.

    def exe(self, name):
        return os.path.join(harness.BIN, name)

    def start(self, name, *args, stdin=False):
        program = Program(self.exe(name), list(args), stdin)
        self.programs.append(program)
        return program

    def open(self):
        subprocess.run([wine_binary(), "reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", "winxp", "/f"],
                       env=wine_env(), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
        if self.agentctl("windows")[0] == 0:
            raise StepFailed("a tray agent is running already in this session")
        self.hooks = self.start("blockctl.exe", stdin=True)
        self.hooks.expect("READY")
        self.sample = Sample(None, self.folder)
        self.sample.program = self.start("sampleapp.exe", "--log", winpath(self.sample.log_path), "--state",
                                         winpath(self.sample.state_path))
        self.sample.wait_ready()
        other_log = os.path.join(self.folder, "other.log")
        self.start("sampleapp.exe", "--other", "--at", "700", "760", "--log", winpath(other_log))
        if not wait_until(lambda: "READY" in read_text(other_log), 20):
            raise StepFailed("the other window did not come up")
        wait_until(lambda: self.sample.state().get("focus") == "other", 10)

    def start_installed_agent(self):
        """The tray agent as a user starts it: from the folder the suite was installed to."""
        # From a folder of its own, as the log-on start does: a program's
        # current folder could not be removed while it runs.
        self.agent = uninst_support.Launched(os.path.join(self.target, "PtrAgent.exe"))
        self.programs.append(self.agent)
        self.agent.expect("PtrAgent: InstallHook(1) =", timeout=60)

    def registry(self):
        """The parts of the registry an installation touches, as `reg export` writes them."""
        try:
            return uninst_support.registry_export(self.folder)
        except AssertionError as failure:
            raise StepFailed(str(failure)) from None

    def close(self):
        """Ends what the session started: the agent by WM_QUIT (it removes the hooks), the rest."""
        if self.agent and self.agent.proc.poll() is None:
            self.agentctl("quit")
            if self.agent.wait(20) is None:
                print("  (the agent did not end on WM_QUIT; stopped)")
        for tool in (self.hooks, self.settingctl):
            if tool and tool.proc.poll() is None:
                tool.send("quit")
                tool.wait(10)
        for program in reversed(self.programs):
            program.stop()

    # Tools.

    def agentctl(self, *args):
        result = subprocess.run([wine_binary(), self.exe("agentctl.exe"), *[str(a) for a in args]], env=wine_env(),
                                stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)
        return result.returncode, result.stdout.strip()

    def configure(self, **fields):
        self.hooks.ask("set " + " ".join(f"{k}={v}" for k, v in fields.items()), "OK")

    def field(self, name):
        return int(self.hooks.ask(f"get {name}", f"{name}=").split("=")[1])

    def state(self, key):
        return self.sample.state().get(key)

    def wait_state(self, key, predicate, timeout=20.0):
        wait_until(lambda: self.state(key) is not None and predicate(self.state(key)), timeout)
        return self.state(key)

    def messages(self, window, name=None):
        return self.sample.messages(window, name)

    def agent_says(self, prefix, timeout=15.0):
        try:
            return self.agent.expect(prefix, timeout)
        except AssertionError:
            raise StepFailed(f"the agent did not say {prefix!r}; its last lines: {self.agent.lines[-3:]}") from None

    # Input from the X server.

    def xdo(self, *args):
        subprocess.run(["xdotool", *[str(a) for a in args]], env=wine_env(), check=True)

    def move(self, x, y):
        """The X server hands Wine this move before any button event that follows."""
        self.xdo("mousemove", x, y)

    def glide(self, x, y):
        """A move over the sample that the sample has taken off its queue, so
        that the hooks see it as one move of its own."""
        self.move(x, y)
        if not wait_until(lambda: self.sample.last_move() == (x, y), 30):
            raise StepFailed(f"the move to {x},{y} never reached the sample")

    def click(self, button, where=None):
        if where:
            self.move(*self.sample.center(where))
        self.xdo("click", button)

    def notches(self, button, count, where):
        self.move(*self.sample.center(where))
        for _ in range(count):
            self.xdo("click", button)

    def screenshot(self, name):
        path = os.path.join(self.out, name + ".png")
        subprocess.run(["import", "-window", "root", "-display", wine_env()["DISPLAY"], path], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path


def scroll_codes(session, window, message):
    return [m[2] & 0xFFFF for m in session.messages(window, message)]


def describe_codes(codes):
    names = {0: "LINEUP/LEFT", 1: "LINEDOWN/RIGHT", 2: "PAGEUP/LEFT", 3: "PAGEDOWN/RIGHT", 8: "ENDSCROLL"}
    counts = {}
    for code in codes:
        counts[names.get(code, str(code))] = counts.get(names.get(code, str(code)), 0) + 1
    return ", ".join(f"{n} x {c}" for c, n in ((v, k) for k, v in counts.items())) or "none"


def keys(session, window):
    return [m[2] for m in session.messages(window, "WM_KEYDOWN")]


# The steps. Each returns (what it did, what it measured) or raises StepFailed.

def step_install(s):
    # As on a machine the suite never was on: no kept configuration.
    uninst_support.reg("delete", r"HKCU\Software\PTRHK32A", "/f")
    s.registry_before = s.registry()
    s.trees_before = uninst_support.install_trees()
    # The installer carries the suite inside itself: it is the only file there.
    os.makedirs(s.source)
    shutil.copy(os.path.join(harness.BIN, "PtrSetup.exe"), s.source)
    result = uninst_support.install(s.source, None)
    if result.returncode != 0:
        raise StepFailed(f"PtrSetup.exe ended with {result.returncode}: {result.stdout}")
    s.target = uninst_support.per_user_target()
    installed = uninst_support.file_tree(s.target)
    s.start_installed_agent()
    run = uninst_support.reg("query", r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run", "/v", "PtrAgent").stdout
    entry = uninst_support.reg_value(uninst_support.UNINSTALL_PARENT + r"\PTRHK32A", "UninstallString")
    menu = uninst_support.file_tree(os.path.join(uninst_support.user_start_menu(), uninst_support.START_MENU_GROUP))
    did = f"PtrSetup.exe /S /NORUN, alone in {s.source}: installed for the current user; then the installed PtrAgent.exe started"
    got = (f"{len([e for e in installed if not e.endswith('/')])} files in {winpath(s.target)} "
           f"({', '.join(e for e in installed if not e.endswith('/'))}); started at log-on: "
           f"{'PtrAgent.exe' in run}; the user's list of programs: {entry}; Start menu: {', '.join(menu)}; "
           f"the agent says: {s.agent.lines[-1]}")
    if "uninst.exe" not in installed or "PtrAgent.exe" not in run or not entry or len(menu) != 3:
        raise StepFailed(got)
    return did, got


def step_wheel_lines(s):
    s.configure(EnhanceMode=-1, WheelCount=1, WheelLines=5, WheelPageScroll=0, ButtonFunction0=SYSTEM_DEFAULT)
    before = s.state("list_top")
    sent = len(s.messages("list", "WM_VSCROLL"))
    s.notches(WHEEL_DOWN, 2, "list")
    after = s.wait_state("list_top", lambda v: v >= before + 10)
    codes = scroll_codes(s, "list", "WM_VSCROLL")[sent:]
    did = "2 wheel notches down over the list box (the focus is in the other program), WheelLines 5"
    got = (f"list_top {before} -> {after}; the list box received WM_VSCROLL {describe_codes(codes)}; "
           f"focus stays in '{s.state('focus')}'")
    if after != before + 10:
        raise StepFailed(got + f" (expected {before + 10})")
    return did, got


def step_wheel_page(s):
    s.configure(WheelPageScroll=-1)
    before = s.state("list_top")
    sent = len(s.messages("list", "WM_VSCROLL"))
    s.notches(WHEEL_DOWN, 1, "list")
    after = s.wait_state("list_top", lambda v: v > before + 5)
    codes = scroll_codes(s, "list", "WM_VSCROLL")[sent:]
    s.configure(WheelPageScroll=0)
    did = "1 wheel notch down over the list box in page mode"
    got = f"list_top {before} -> {after} (one page); WM_VSCROLL {describe_codes(codes)}"
    if not (after > before + 5 and SB_PAGEDOWN in codes):
        raise StepFailed(got)
    return did, got


def step_copy(s):
    s.configure(ButtonFunction0=COPY)
    before = len(keys(s, "pad"))
    s.click(MIDDLE, "pad")
    wait_until(lambda: ord("C") in keys(s, "pad")[before:], 15)
    pressed = keys(s, "pad")[before:]
    did = "middle click over the pad, middle button set to Copy"
    got = "pad received WM_KEYDOWN " + (" ".join(f"0x{k:02X}" for k in pressed) or "nothing") + \
          f" (Control 0x{VK_CONTROL:02X}, C 0x43); middle clicks seen by the pad: " \
          f"{len(s.messages('pad', 'WM_MBUTTONDOWN'))}"
    if pressed[:2] != [VK_CONTROL, ord("C")]:
        raise StepFailed(got)
    return did, got


def step_button4(s):
    s.configure(ButtonCount=5, ButtonFunction1=ENTER)
    before = len(keys(s, "pad"))
    s.click(BUTTON4, "pad")
    wait_until(lambda: VK_RETURN in keys(s, "pad")[before:], 15)
    pressed = keys(s, "pad")[before:]
    xbuttons = s.messages("pad", "WM_XBUTTONDOWN")
    did = "button 4 (X button 1) clicked over the pad, button 4 set to Enter"
    got = "pad received WM_KEYDOWN " + (" ".join(f"0x{k:02X}" for k in pressed) or "nothing") + \
          f" (Enter 0x{VK_RETURN:02X}); WM_XBUTTONDOWN seen by the pad: {len(xbuttons)}"
    if pressed != [VK_RETURN] or xbuttons:
        raise StepFailed(got)
    return did, got


def step_horizontal_wheel(s):
    s.configure(ButtonFunction0=HORIZONTAL_WHEEL)
    line, hpos = s.state("edit_line"), s.state("edit_hpos")
    sent = len(s.messages("edit", "WM_HSCROLL"))
    s.click(MIDDLE, "edit")
    s.agent_says(f"PtrAgent: mode {HORIZONTAL_WHEEL}: Horizontal Wheel")
    s.notches(WHEEL_DOWN, 2, "edit")
    after = s.wait_state("edit_hpos", lambda v: v > hpos)
    codes = scroll_codes(s, "edit", "WM_HSCROLL")[sent:]
    shot = s.screenshot("05-horizontal-wheel")
    s.click(MIDDLE, "edit")
    s.agent_says("PtrAgent: mode ended")
    did = "middle click over the edit (Horizontal Wheel), 2 notches down, middle click to end"
    got = (f"edit_hpos {hpos} -> {after}, edit_line {line} -> {s.state('edit_line')}; "
           f"WM_HSCROLL {describe_codes(codes)}; agent showed 'Horizontal Wheel'")
    if not (after > hpos and s.state("edit_line") == line):
        raise StepFailed(got)
    return did, got, shot


def step_universal_scroll(s):
    s.configure(ButtonFunction0=UNIVERSAL_SCROLL, UScrollVertical=-1, UScrollHorizontal=0, UScrollVSpeed=5)
    x, y = s.sample.center("list")
    before = s.state("list_top")
    s.move(x, y)
    s.click(MIDDLE)
    s.agent_says(f"PtrAgent: mode {UNIVERSAL_SCROLL}: Scroll Active")
    for i in range(1, 6):
        s.glide(x, y + 15 * i)
    after = s.wait_state("list_top", lambda v: v >= before + 10)
    shot = s.screenshot("06-universal-scroll")
    s.click(MIDDLE)
    s.agent_says("PtrAgent: mode ended")
    did = "middle click over the list box (universal scroll), cursor moved 75 pixels down in 5 steps, middle click"
    got = f"list_top {before} -> {after} as the cursor moved (12 pixels a step of 10 lines at speed 5)"
    if after < before + 10:
        raise StepFailed(got)
    return did, got, shot


def step_auto_scroll(s):
    s.configure(ButtonFunction0=AUTO_SCROLL)
    x, y = s.sample.center("list")
    if s.state("list_top") > 150:
        s.configure(WheelPageScroll=0, WheelLines=10)
        s.notches(WHEEL_UP, 20, "list")
        s.wait_state("list_top", lambda v: v == 0)
        s.configure(WheelLines=5)
    before = s.state("list_top")
    sent = len(s.messages("list", "WM_VSCROLL"))
    downs = lambda: scroll_codes(s, "list", "WM_VSCROLL")[sent:].count(SB_LINEDOWN)
    s.move(x, y)
    seen = len(s.agent.lines)
    s.click(MIDDLE)
    s.agent_says("PtrAgent: auto scroll started")
    ended = lambda: "PtrAgent: auto scroll ended" in s.agent.lines[seen:]
    s.move(x, y + 40)
    wait_until(lambda: ended() or downs() >= 6, 20)
    if ended():
        raise StepFailed(f"auto scroll ended before the click that ends it: {s.agent.lines[seen:]}")
    shot = s.screenshot("07-auto-scroll")
    capture = s.agentctl("capture")[1]
    s.click(1)
    s.agent_says("PtrAgent: auto scroll ended")
    after = s.wait_state("list_top", lambda v: v > before)
    main = s.sample.windows["main"]["hwnd"]
    s.wait_state("foreground", lambda v: v == main, 10)
    codes = scroll_codes(s, "list", "WM_VSCROLL")[sent:]
    did = "middle click over the list box (auto scroll), cursor 40 pixels below the anchor, left click to end"
    got = (f"while running: {capture}; list_top {before} -> {after}; WM_VSCROLL {describe_codes(codes)}; "
           f"foreground back to the sample: {s.state('foreground') == main}")
    if not (after > before and set(codes) <= {SB_LINEDOWN, SB_ENDSCROLL}):
        raise StepFailed(got)
    return did, got, shot


def step_zoom(s):
    s.configure(ButtonFunction0=UNIVERSAL_ZOOM, ZoomSourceWidth=32, ZoomSourceHeight=24, ZoomTargetWidth=64,
                ZoomTargetHeight=48)
    # Over the edit's text, so that the picture shows it magnified.
    s.click(MIDDLE, "edit")
    s.agent_says("PtrAgent: zoom started")
    s.notches(WHEEL_UP, 2, "edit")
    wait_until(lambda: s.field("ZoomTargetWidth") == 4 * 32, 15)
    width, height = s.field("ZoomTargetWidth"), s.field("ZoomTargetHeight")
    wait_until(lambda: "rect=" in s.agentctl("info", "PtrHkZoom")[1] and
               _width(s.agentctl("info", "PtrHkZoom")[1]) == width, 10)
    magnifier = s.agentctl("info", "PtrHkZoom")[1]
    shot = s.screenshot("08-zoom")
    s.click(1)
    s.agent_says("PtrAgent: zoom ended")
    did = "middle click over the edit's text (zoom), 2 wheel notches up, left click to end"
    got = (f"zoom target {width}x{height} for a source of 32x24 (factor 2 -> 4); magnifier {magnifier}; "
           f"wheel messages that reached the edit: {len(s.messages('edit', 'WM_MOUSEWHEEL'))}")
    if (width, height) != (128, 96) or _width(magnifier) != 128:
        raise StepFailed(got)
    return did, got, shot


def step_settings(s):
    """From the tray agent's menu to the settings form, 5 lines a notch with real clicks, Apply and OK."""
    s.configure(EnhanceMode=-1, WheelPageScroll=0, WheelLines=3, ButtonFunction0=SYSTEM_DEFAULT)
    s.settingctl = s.start("settingctl.exe", stdin=True)
    s.settingctl.expect("READY", timeout=60)
    ctl = lambda command, prefix: s.settingctl.ask(command, prefix)
    state = lambda name: dict(item.split("=") for item in ctl(f"state {ID[name]}", "STATE").split()[1:])
    live = lambda: ctl("form", "FORM=").split()[1] == "LIVE=1"
    s.move(640, 200)
    s.agentctl("post", TRAY_CALLBACK, 0, WM_RBUTTONUP)
    menu = lambda: s.agentctl("info", "#32768")
    if not wait_until(lambda: menu()[0] == 0 and "visible=1" in menu()[1], 30):
        raise StepFailed(f"the tray menu did not open: {menu()}")
    rect = dict(item.split("=") for item in menu()[1].split())["rect"]
    left, top = (int(v) for v in rect.split(",")[:2])
    s.xdo("mousemove", left + 20, top + 10)
    s.xdo("click", 1)  # the first item, "Settings"
    s.agent_says("PtrAgent: starting ", 30)
    if not wait_until(lambda: live() and state("OkButton")["visible"] == "1", 60):
        raise StepFailed("the settings form did not open")
    left, top, right, _ = (int(v) for v in state("WheelLineUpDown")["rect"].split(","))
    for lines in (4, 5):
        s.xdo("mousemove", (left + right) // 2, top + 3)
        s.xdo("click", 1)  # the up arrow
        if not wait_until(lambda: s.field("WheelLines") == lines, 15):
            raise StepFailed(f"WheelLines stayed {s.field('WheelLines')}")
    shot = s.screenshot("09-settings")
    for button in ("ApplyButton", "OkButton"):
        left, top, right, bottom = (int(v) for v in state(button)["rect"].split(","))
        s.xdo("mousemove", (left + right) // 2, (top + bottom) // 2)
        s.xdo("click", 1)
        if button == "ApplyButton":
            s.agent_says("PtrAgent: settings saved", 30)
    if not wait_until(lambda: not live(), 30):
        raise StepFailed("the settings form did not close on OK")
    kept = uninst_support.reg("query", r"HKCU\Software\PTRHK32A\Agent", "/v", "WheelLines").stdout
    before = s.state("list_top")
    s.notches(WHEEL_DOWN, 1, "list")
    after = s.wait_state("list_top", lambda v: v >= before + 5)
    did = ("tray menu -> Settings; two real clicks on the wheel lines' up arrow (3 -> 5), Apply, OK; "
           "then one notch over the list box")
    got = (f"block WheelLines {s.field('WheelLines')}; kept by the agent: "
           f"{'0x5' in kept}; list_top {before} -> {after}")
    if after != before + 5 or "0x5" not in kept:
        raise StepFailed(got)
    return did, got, shot


def step_two_programs(s):
    """Two programs with settings of their own: button 4 and the wheel each as the program says."""
    s.configure(ButtonCount=5, ButtonFunction1=SYSTEM_DEFAULT, EnhanceMode=-1, WheelLines=3, WheelPageScroll=0)
    # Two copies of the sample program under other names: as far as the
    # suite is concerned, two other programs.
    copies = {}
    for name, x, y in (("viewer", 0, 0), ("editor", 0, 690)):
        folder = os.path.join(s.folder, name)
        os.makedirs(folder)
        exe = os.path.join(folder, name + ".exe")
        subprocess.run(["cp", s.exe("sampleapp.exe"), exe], check=True)
        sample = Sample(None, folder)
        sample.program = Program(exe, ["--log", winpath(sample.log_path), "--state", winpath(sample.state_path),
                                       "--at", str(x), str(y)], False)
        s.programs.append(sample.program)
        sample.wait_ready()
        copies[name] = sample
    # As the settings program's Programs tab writes them, then kept as by its Apply.
    for program in (f"viewer.exe ButtonFunction1={ENTER} EnhanceMode=0",
                    f"editor.exe ButtonFunction1={COPY} WheelLines=6"):
        if s.hooks.ask(f"program {program}", "") != "OK":
            raise StepFailed(f"cannot write the programs block: {program}")
    s.agentctl("post", 2025, 0, 0)  # UM_SETTINGSCHANGED
    s.agent_says("PtrAgent: settings saved", 30)
    kept = uninst_support.reg("query", r"HKCU\Software\PTRHK32A\Programs", "/s").stdout

    def typed(sample):
        return [m[2] for m in sample.messages("list", "WM_KEYDOWN")]

    results = {}
    for name, sample in copies.items():
        sample.clear_log()
        s.move(*sample.center("list"))
        s.xdo("click", WHEEL_DOWN)
        wait_until(lambda: sample.messages("list", "WM_MOUSEWHEEL") or
                   SB_ENDSCROLL in [m[2] & 0xFFFF for m in sample.messages("list", "WM_VSCROLL")], 15)
        wheel = ("the system's WM_MOUSEWHEEL" if sample.messages("list", "WM_MOUSEWHEEL") else
                 "WM_VSCROLL " + describe_codes([m[2] & 0xFFFF for m in sample.messages("list", "WM_VSCROLL")]))
        s.xdo("click", BUTTON4)
        wait_until(lambda: typed(sample), 15)
        results[name] = (wheel, typed(sample))
    shot = s.screenshot("10-two-programs")
    for sample in copies.values():
        sample.program.stop()
    did = ("viewer.exe (button 4: Enter, wheel: system default) and editor.exe (button 4: Copy, 6 lines a notch) "
           "kept by the tray agent; over each list box one wheel notch down and one click of button 4")
    got = "; ".join(f"{name}.exe list box received {wheel} and WM_KEYDOWN "
                    f"{' '.join(f'0x{k:02X}' for k in keys) or 'nothing'}" for name, (wheel, keys) in results.items())
    got += f"; kept under Programs: {', '.join(n for n in ('viewer.exe', 'editor.exe') if n in kept)}"
    viewer_ok = results["viewer"] == ("the system's WM_MOUSEWHEEL", [VK_RETURN])
    editor_ok = results["editor"] == ("WM_VSCROLL LINEDOWN/RIGHT x 6, ENDSCROLL x 1", [VK_CONTROL, ord("C")])
    if not (viewer_ok and editor_ok and "viewer.exe" in kept and "editor.exe" in kept):
        raise StepFailed(got)
    return did, got, shot


def step_64_bit_edition(s):
    """The suite as 64-bit Windows runs it: the i686 tray agent and its 64-bit host serve a 64-bit program."""
    bin32 = os.environ.get("PTR_BIN32", "")
    if not os.path.exists(os.path.join(bin32, "PtrAgent64.exe")):
        raise StepFailed("PTR_BIN32 names no i686 build with the 64-bit edition beside it (see scripts/demo.sh)")
    # The installed agent (of the x86_64 build) steps aside for the i686 deliverables.
    s.agentctl("quit")
    s.agent.wait(20)
    agent = s.agent = Program(os.path.join(bin32, "PtrAgent.exe"), [], False)
    s.programs.append(agent)
    started = s.agent_says("PtrAgent: 64-bit host started", 120)
    held = s.agent_says("PtrAgent: 64-bit host's hooks held", 60)
    s.configure(EnhanceMode=-1, WheelLines=4, WheelPageScroll=0)
    tops = [s.state("list_top")]
    # Towards the list's other end, whichever it is nearer to.
    button, step = (WHEEL_UP, -4) if tops[0] >= 8 else (WHEEL_DOWN, 4)
    s.notches(button, 1, "list")
    tops.append(s.wait_state("list_top", lambda v: v != tops[0]))
    # A host that dies is started again.
    killed = s.agentctl("kill-host")[1]
    again = s.agent_says("PtrAgent: 64-bit host ended unexpectedly", 30)
    s.agent_says("PtrAgent: 64-bit host's hooks held", 60)
    s.notches(button, 1, "list")
    tops.append(s.wait_state("list_top", lambda v: v != tops[1]))
    shot = s.screenshot("12-64-bit-edition")
    s.agentctl("quit")
    ended = agent.wait(30) == 0 and "PtrAgent: 64-bit host ended (exit code 0)" in agent.lines
    host_left = s.agentctl("host")[0] == 0
    s.start_installed_agent()
    did = ("the i686 PtrAgent.exe with PTRHK64A.dll and PtrAgent64.exe beside it (as Setup places them on 64-bit "
           "Windows); one notch over the 64-bit sample's list box, 4 lines a notch; the host killed; one more notch; "
           "the agent ended")
    got = (f"{started}; {held}; list_top {' -> '.join(str(t) for t in tops)} (Wine alone: 3 a notch); "
           f"{killed}: {again}; agent and host ended: {ended}, host left running: {host_left}")
    if tops != [tops[0], tops[0] + step, tops[0] + 2 * step] or not ended or host_left:
        raise StepFailed(got)
    return did, got, shot


def step_uninstall(s):
    """The uninstaller closes the tray agent, and nothing of the suite is left."""
    # The hooks loaded the installed library into every program that took
    # mouse input. Windows lets go of it in each once the hooks are gone; Wine
    # keeps it until the program ends, so the session's own programs end first.
    for program in [p for p in s.programs if p is not s.agent]:
        program.stop()
    first = uninst_support.Launched(os.path.join(s.target, "uninst.exe"))
    s.programs.append(first)
    wizard = wait_until(lambda: uninst_support.find_window(uninst_support.WIZARD_TITLE), 60, interval=0.3)
    if not wizard:
        raise StepFailed("the uninstaller's wizard did not open")
    press = lambda name: s.xdo("mousemove", *uninst_support.controls(wizard)[uninst_support.IDC[name]].centre)
    press("NEXTBTN")
    s.xdo("click", 1)
    finish = lambda: uninst_support.controls(wizard).get(uninst_support.IDC["FINISHBTN"])
    if not wait_until(lambda: finish() is not None and finish().visible, 120, interval=0.3):
        raise StepFailed("the removal did not finish")
    shot = s.screenshot("11-uninstall")
    press("FINISHBTN")
    s.xdo("click", 1)
    agent_ended = s.agent.wait(30) is not None
    first_ended = first.wait(30) is not None
    trees = uninst_support.install_trees()
    left = [f"{name}: {entry}" for name in trees
            for entry in sorted(set(trees[name]) ^ set(s.trees_before[name]))]
    registry = s.registry()
    changed = [line for line in difflib.unified_diff(s.registry_before, registry, lineterm="", n=0)
               if not line.startswith(("---", "+++", "@@"))]
    did = ("the sample and tool programs closed, then uninst.exe from the installed folder: Next, then Finish, "
           "with real clicks")
    got = (f"tray agent ended: {agent_ended}; uninstaller ended: {first_ended}; files and folders changed since "
           f"before the install (application data, program files, Start menu): {left or 'none'}; "
           f"registry lines changed: {len(changed)}")
    if not (agent_ended and first_ended) or left or changed:
        raise StepFailed(got + ("; " + "; ".join(changed[:6]) if changed else ""))
    return did, got, shot


def _width(info):
    for item in info.split():
        if item.startswith("rect="):
            left, _, right, _ = (int(v) for v in item[5:].split(","))
            return right - left
    return None


STEPS = [
    ("00-install", "Install", step_install),
    ("01-wheel-lines", "Wheel by lines", step_wheel_lines),
    ("02-wheel-page", "Wheel by pages", step_wheel_page),
    ("03-copy", "Middle button: Copy", step_copy),
    ("04-button4-enter", "Button 4: Enter", step_button4),
    ("05-horizontal-wheel", "Horizontal Wheel", step_horizontal_wheel),
    ("06-universal-scroll", "Universal scroll", step_universal_scroll),
    ("07-auto-scroll", "Auto scroll", step_auto_scroll),
    ("08-zoom", "Zoom", step_zoom),
    ("09-settings", "Settings from the tray menu", step_settings),
    ("10-two-programs", "Two programs, each with settings of its own", step_two_programs),
    ("12-64-bit-edition", "The 64-bit edition: a 64-bit program served by the i686 agent's 64-bit host",
     step_64_bit_edition),
    ("11-uninstall", "Uninstall", step_uninstall),
]
SHORT = ("00-install", "01-wheel-lines", "03-copy", "07-auto-scroll", "10-two-programs", "12-64-bit-edition",
         "11-uninstall")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--short", action="store_true", help="a quick subset of the steps")
    parser.add_argument("--out", default=os.path.join(ROOT, "build", "demo"), help="folder of the screenshots")
    options = parser.parse_args()
    if not harness.STATE or not harness.BIN:
        print("main_job: PTR_WINE_STATE and PTR_BIN must be set (see scripts/demo.sh)", file=sys.stderr)
        return 2
    out = os.path.abspath(options.out)
    os.makedirs(out, exist_ok=True)
    steps = [step for step in STEPS if not options.short or step[0] in SHORT]

    session = Session(out)
    passed = 0
    try:
        session.open()
        print(f"Sample program at {session.sample.windows['main']['rect']}, the focus in another program.",
              flush=True)
        for number, (name, title, run) in enumerate(steps, 1):
            print(f"\nStep {number}: {title}", flush=True)
            try:
                result = run(session)
                did, got = result[0], result[1]
                shot = result[2] if len(result) > 2 else session.screenshot(name)
                print(f"  did:      {did}")
                print(f"  measured: {got}")
                print(f"  picture:  {shot}")
                print("  PASS", flush=True)
                passed += 1
            except StepFailed as failure:
                print(f"  measured: {failure}")
                print(f"  picture:  {session.screenshot(name + '-failed')}")
                print("  FAIL", flush=True)
            except Exception:  # a step that breaks down counts as failed; the others still run
                traceback.print_exc()
                print("  FAIL", flush=True)
    except StepFailed as failure:
        print(f"main_job: {failure}")
    finally:
        session.close()
    print(f"\n{len(steps)} steps, {passed} passed")
    return 0 if passed == len(steps) else 1


if __name__ == "__main__":
    sys.exit(main())
