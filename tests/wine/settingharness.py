"""Helpers of the settings program's tests under Wine: a folder with the
program and the files a test chooses, the settingctl tool that stands in for
the tray agent and reads the live blocks and the form's controls, real clicks
on the controls, and the screen's pixels."""
import os
import re
import shutil
import subprocess

from function_codes import SYSTEM_DEFAULT
from harness import BIN, Program, WineTest, wait_until, wine_env

SOURCE = os.environ.get("PTR_SOURCE", os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
MODULES = os.path.join(os.path.dirname(BIN), "modules") if BIN else ""

UM_SETTINGSCHANGED = 2025
START_TIMEOUT = 90.0

# The English names of the function display list, in its order.
ENGLISH_NAMES = {
    0: "System Default", 1: "F1", 2: "F2", 3: "F3", 4: "F4", 5: "F5", 6: "F6", 7: "F7", 8: "F8", 9: "F9",
    10: "F10", 11: "Esc", 12: "Backspace", 13: "Enter", 14: "Space", 15: "Delete", 16: "Page Up",
    17: "Page Down", 18: "Tab", 19: "Home", 20: "End", 21: "Up", 22: "Down", 23: "Left", 24: "Right",
    25: "Undo", 26: "Redo", 27: "Cut", 28: "Copy", 29: "Paste", 41: "Explorer", 42: "Find Computer",
    43: "Find File", 44: "System Help", 45: "Middle Button", 46: "Minimize All Windows", 47: "Run..",
    48: "Start Menu", 49: "System Property", 50: "Undo Minimize All Windows", 51: "Control Panel",
    52: "Close Applocation", 53: "Double Click", 54: "Maximize Window", 55: "Minimize Window", 56: "Drag Lock",
    60: "Shift Lock", 61: "Control Lock", 62: "Horizontal Wheel", 70: "Lanuch Default Browser",
    71: "Lanuch Default E-Mail", 72: "I.E. Backward", 73: "I.E. Forward", 100: "Universal Scroll",
    101: "Auto Scroll", 102: "Universal Zoom", 103: "Connect To Internel",
}
DISPLAY_LIST = list(ENGLISH_NAMES)


def control_ids():
    """The form's control identifiers by name, from the header the program is built with."""
    ids = {}
    with open(os.path.join(SOURCE, "setting", "form_ids.h")) as f:
        for line in f:
            m = re.match(r"#define (\w+) (\d+)\s*$", line)
            if m:
                ids[m.group(1)] = int(m.group(2))
    return ids


ID = control_ids()


class SettingTest(WineTest):
    """Each test gets a folder of its own with Setting.exe and PTRHK32A.dll,
    and a settingctl that stands in for the tray agent."""

    def setUp(self):
        super().setUp()
        self.app_folder = os.path.join(self.folder, "app")
        os.makedirs(self.app_folder)
        for name in ("Setting.exe", "PTRHK32A.dll"):
            shutil.copy(os.path.join(BIN, name), self.app_folder)
        self.settings = []
        self.ctl = None
        self.stand_in_agent = False

    # The program's folder.

    def add_file(self, name, text=None):
        """Puts a file beside the program: the one the build ships in bin, or the given text."""
        target = os.path.join(self.app_folder, *name.split("/"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if text is not None:
            with open(target, "w", newline="\r\n") as f:
                f.write(text)
        else:
            shutil.copy(os.path.join(BIN, *name.split("/")), target)

    def add_module(self, name, source=None):
        shutil.copy(source or os.path.join(MODULES, name), os.path.join(self.app_folder, name))

    # The tool and the program.

    def settingctl(self, *args):
        program = self.start("settingctl.exe", *args, stdin=True)
        # After every settings program started later has ended: no form and
        # no stand-in agent stays named in the block.
        self.addCleanup(self.clear_block_windows, program)
        program.expect("READY", timeout=START_TIMEOUT)
        return program

    def clear_block_windows(self, ctl):
        if ctl.proc.poll() is None:
            agent = " AgentWindow=0" if self.stand_in_agent else ""
            ctl.ask("set SettingsWindow=0" + agent, "OK", timeout=20)
            ctl.send("quit")
            ctl.wait(20)

    def with_agent(self, **fields):
        """A stand-in agent window in the block and the given fields; returns its handle."""
        self.ctl = self.ctl or self.settingctl()
        agent = int(self.ctl.ask("agent", "AGENT=").split("=")[1])
        self.stand_in_agent = True
        base = {"SettingsWindow": 0, "ButtonCount": 5, "WheelCount": 1, "EnhanceMode": -1, "WheelLines": 3,
                "WheelPageScroll": 0, "UScrollVertical": -1, "UScrollHorizontal": 0, "UScrollReverse": 0,
                "UScrollVSpeed": 5, "UScrollHSpeed": 3, "ZoomSourceWidth": 32, "ZoomSourceHeight": 24,
                "ZoomTargetWidth": 64, "ZoomTargetHeight": 48, "ButtonFunction0": SYSTEM_DEFAULT,
                "ButtonFunction1": SYSTEM_DEFAULT, "ButtonFunction2": SYSTEM_DEFAULT}
        base.update(fields)
        self.set_fields(**base)
        return agent

    def start_setting(self):
        program = self.started(Program(os.path.join(self.app_folder, "Setting.exe"), [], False))
        self.settings.append(program)
        return program

    def open_form(self):
        """Starts the program and waits for its form; returns the process."""
        program = self.start_setting()
        if not wait_until(lambda: self.form()["LIVE"] == "1" or program.proc.poll() is not None, START_TIMEOUT):
            self.fail(f"no settings form; exit code {program.proc.poll()}")
        self.assertIsNone(program.proc.poll(), "the program runs")
        # The form is up once it has shown itself with Apply disabled.
        self.assertTrue(wait_until(lambda: self.state("OkButton")["visible"]), "the form is shown")
        return program

    # The blocks.

    def set_fields(self, **fields):
        self.ctl.ask("set " + " ".join(f"{k}={v}" for k, v in fields.items()), "OK")

    def field(self, name):
        return int(self.ctl.ask(f"get {name}", f"{name}=").split("=", 1)[1])

    def fields(self, *names):
        return {name: self.field(name) for name in names}

    def block_bytes(self):
        return bytes.fromhex(self.ctl.ask("block", "BLOCK=").split("=", 1)[1])

    def app_bytes(self):
        return bytes.fromhex(self.ctl.ask("app", "APP=").split("=", 1)[1])

    def web_address(self, slot):
        return self.ctl.ask(f"appget {slot}", "SLOT=").split("=", 1)[1].split(":", 1)[1]

    def posts(self):
        return int(self.ctl.ask("posts", "POSTS=").split("=")[1])

    # The form and its controls.

    def form(self):
        line = self.ctl.ask("form", "FORM=")
        m = re.match(r"FORM=(\d+) LIVE=(\d) CAPTION=(.*)$", line)
        return {"FORM": int(m.group(1)), "LIVE": m.group(2), "CAPTION": m.group(3)}

    def state(self, name):
        line = self.ctl.ask(f"state {ID[name]}", "STATE")
        values = dict(item.split("=") for item in line.split()[1:])
        rect = tuple(int(v) for v in values["rect"].split(","))
        return {"visible": values["visible"] == "1", "enabled": values["enabled"] == "1",
                "checked": values["checked"] == "1", "rect": rect}

    def text(self, name):
        return self.ctl.ask(f"text {ID[name]}", "TEXT=")[len("TEXT="):]

    def set_text(self, name, text):
        self.ctl.ask(f"settext {ID[name]} {text}", "OK")

    def items(self, name):
        """[(code, name)] of a function box, and the code of its selection (None if none)."""
        self.ctl.send(f"items {ID[name]}")
        entries = []
        while True:
            line = self.ctl.expect("ITEM")
            if line.startswith("ITEMS="):
                selected = line.split("SELECTED=")[1]
                return entries, None if selected == "none" else int(selected)
            parts = line.split(" ", 3)
            entries.append((int(parts[2]), parts[3] if len(parts) > 3 else ""))

    def select(self, name, code):
        self.assertEqual(self.ctl.ask(f"select {ID[name]} {code}", ""), "OK")

    def slider(self, name):
        return int(self.ctl.ask(f"slider {ID[name]}", "POS=").split("=")[1])

    def set_slider(self, name, position):
        self.ctl.ask(f"setslider {ID[name]} {position}", "OK")

    def updown(self, name):
        return int(self.ctl.ask(f"updown {ID[name]}", "POS=").split("=")[1])

    def tab(self):
        return int(self.ctl.ask("tab", "TAB=").split("=")[1])

    def focus(self):
        return self.ctl.ask("focus", "FOCUS=").split("=")[1]

    def apply_enabled(self):
        return self.state("ApplyButton")["enabled"]

    def center(self, name):
        left, top, right, bottom = self.state(name)["rect"]
        return (left + right) // 2, (top + bottom) // 2

    def click_control(self, name, dx=None):
        """A real click: the pointer moves to the control and the left button goes down and up."""
        left, top, right, bottom = self.state(name)["rect"]
        x = left + dx if dx is not None else (left + right) // 2
        self.click(1, x, (top + bottom) // 2)

    def click_tab(self, index):
        """A real click on a tab of the page control: the tabs sit left to right along its top."""
        left, top, _, _ = self.state("IDC_TABS")["rect"]
        self.click(1, left + 20 + 50 * index, top + 10)

    def close_box(self):
        self.ctl.ask("close", "OK")

    def owned(self):
        """(handle, texts) of the window the form owns, a message box; handle 0 when there is none."""
        line = self.ctl.ask("owned", "OWNED=")
        handle, texts = line[len("OWNED="):].split(" TEXT=", 1)
        return int(handle), texts

    def key(self, *keys):
        """Real keys from the X server, to the window with the focus."""
        for key in keys:
            self.xdo("key", "--delay", "40", key)

    def layout(self):
        """{id: (class, visible, rect, parent id)} of every control of the form, and the
        form's client area and the page control's display area, in screen coordinates."""
        self.ctl.send("layout")
        controls = {}
        while True:
            line = self.ctl.expect("")
            if line.startswith("CTL "):
                _, ident, kind, visible, rect, parent = line.split()
                controls[int(ident)] = (kind, visible == "1", tuple(int(v) for v in rect.split(",")), int(parent))
            elif line.startswith("LAYOUT "):
                areas = dict(item.split("=") for item in line.split()[1:])
                return controls, {k: tuple(int(v) for v in r.split(",")) for k, r in areas.items()}
            else:
                raise AssertionError(f"layout: {line}")

    def text_fit(self, name, bold):
        """((width, height) the control's text needs, (width, height) the control gives it)."""
        line = self.ctl.ask(f"textfit {ID[name]} {int(bold)}", "FIT")
        need, have = (tuple(int(v) for v in item.split("=")[1].split(",")) for item in line.split()[1:])
        return need, have

    def wait_ended(self, program, timeout=30.0):
        code = program.wait(timeout)
        self.assertIsNotNone(code, "the program ended")
        return code

    def settled_pixels(self, rect):
        """The screen's pixels in rect once the window has painted them: two
        captures in a row alike, and more than one colour."""
        last = [None]

        def settled():
            now = self.screen_pixels(rect)
            same = now == last[0] and len({p for row in now for p in row}) > 1
            last[0] = now
            return same

        self.assertTrue(wait_until(settled), f"the picture at {rect} never settled")
        return last[0]

    def screen_pixels(self, rect):
        """The screen's pixels in rect as rows of (r, g, b), taken from the X server."""
        left, top, right, bottom = rect
        width, height = right - left, bottom - top
        raw = subprocess.run(["import", "-window", "root", "-display", wine_env()["DISPLAY"], "-crop",
                              f"{width}x{height}+{left}+{top}", "-depth", "8", "rgb:-"],
                             check=True, capture_output=True).stdout
        self.assertEqual(len(raw), width * height * 3)
        return [[tuple(raw[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)]
                for y in range(height)]


def differing(a, b):
    """The (x, y) where two equally large pictures differ."""
    return [(x, y) for y, (ra, rb) in enumerate(zip(a, b)) for x, (pa, pb) in enumerate(zip(ra, rb)) if pa != pb]
