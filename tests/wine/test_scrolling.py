"""Scrolling with the hooks of the library installed under Wine: real wheel
notches and cursor moves from the X server over windows of another process
that do not have the focus.

Wine by itself already hands a wheel message to the window under the cursor
and scrolls it 3 lines a notch, so every test configures a different line
count or a different way of scrolling and checks for that. The legacy wheel
window is looked for the way Windows 95 programs do, with Wine playing
Windows 95 (the 64-bit programs do see platform 1, version 4.0)."""
import os
import subprocess
import unittest

from function_codes import HORIZONTAL_WHEEL, SYSTEM_DEFAULT, UNIVERSAL_SCROLL
from harness import Sample, WineTest, wait_until, wine_env, winpath

# Starting a Wine program can take long while other runs share the machine.
START_TIMEOUT = 90.0

WINE_LINES_PER_NOTCH = 3

WHEEL_UP, WHEEL_DOWN, MIDDLE = 4, 5, 2

SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN, SB_ENDSCROLL = 0, 1, 2, 3, 8
SB_LINERIGHT = 1


def wheel_delta(wparam):
    """The signed delta in the high word of a WM_MOUSEWHEEL wParam."""
    delta = (wparam >> 16) & 0xFFFF
    return delta - 0x10000 if delta >= 0x8000 else delta


class PatientTest(WineTest):
    """Gives the helper programs time to start on a busy machine."""

    def blockctl(self, reset=False):
        program = self.start("blockctl.exe", stdin=True)
        self.addCleanup(self.remove_hooks, program)
        program.expect("READY", timeout=START_TIMEOUT)
        if reset:
            program.ask("reset", "OK")
        return program

    def sample(self, *args):
        sample = Sample(None, self.folder)
        sample.program = self.start("sampleapp.exe", "--log", winpath(sample.log_path),
                                    "--state", winpath(sample.state_path), *args)
        sample.wait_ready(timeout=START_TIMEOUT)
        return sample

    def other_window(self, x=700, y=760):
        log = os.path.join(self.folder, "other.log")
        program = self.start("sampleapp.exe", "--other", "--at", str(x), str(y), "--log", winpath(log))
        self.wait_ready_line(program, log, START_TIMEOUT)
        return program


class ScrollingTest(PatientTest):
    """Hooks installed, enhanced mode on, one wheel, 5 lines a notch; the
    sample windows lie under the cursor while another program has the focus."""

    settings = {}

    def setUp(self):
        super().setUp()
        self.hooks = self.blockctl(reset=True)
        # The tool stands in for the tray agent, so that a test sees a mode start and end.
        self.hooks.ask("agentwindow", "AGENTWINDOW=")
        base = {"EnhanceMode": -1, "WheelCount": 1, "WheelLines": 5, "WheelPageScroll": 0,
                "ReverseWheel": 0, "ButtonFunction0": SYSTEM_DEFAULT}
        base.update(self.settings)
        self.configure(**base)
        installed = int(self.hooks.ask("install 1", "InstallHook(1)=").split("=")[1])
        self.assertNotIn(installed, (0, 6), "the hooks are installed on XP")
        self.sample_app = self.sample()
        self.other_window()

    def configure(self, **fields):
        self.hooks.ask("set " + " ".join(f"{k}={v}" for k, v in fields.items()), "OK")

    def state(self, key):
        return self.sample_app.state().get(key)

    def notches(self, button, count, window):
        """Turns the wheel count notches over the middle of a sample window."""
        self.move(*self.sample_app.center(window))
        for _ in range(count):
            self.xdo("click", button)

    def wait_state(self, key, predicate, timeout=15.0):
        """Polls a value of the sample's state file; returns the last value."""
        def matches():
            value = self.state(key)
            return value is not None and predicate(value)
        wait_until(matches, timeout)
        return self.state(key)

    def mode_started(self, mode):
        self.hooks.expect(f"AGENT UM_MODESTATE wp={mode} ")

    def mode_ended(self):
        self.hooks.expect("AGENT UM_MODEEND ")

    def settle(self, window):
        """A right click on the window: once its release is logged, every
        message the hooks posted for earlier input has been handled."""
        before = len(self.sample_app.messages(window, "WM_RBUTTONUP"))
        self.click(3, *self.sample_app.center(window))
        self.assertTrue(wait_until(lambda: len(self.sample_app.messages(window, "WM_RBUTTONUP")) > before))

    def scroll_codes(self, window, message):
        return [m[2] & 0xFFFF for m in self.sample_app.messages(window, message)]

    def probe(self, *args):
        program = self.start("winprobe.exe", *[str(a) for a in args])
        line = program.expect(args[0].upper() + " ", timeout=START_TIMEOUT)
        return dict(item.split("=", 1) for item in line.split()[1:])

    def pointer(self):
        out = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=wine_env(),
                             check=True, capture_output=True, text=True).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"])


class ListBoxByLines(ScrollingTest):
    def test_each_notch_scrolls_the_list_box_under_the_cursor_by_the_line_setting(self):
        self.assertEqual(self.state("list_top"), 0)
        self.notches(WHEEL_DOWN, 2, "list")
        top = self.wait_state("list_top", lambda v: v >= 2 * 5)
        self.assertEqual(top, 2 * 5, "two notches of 5 lines each")
        self.assertNotEqual(top, 2 * WINE_LINES_PER_NOTCH)
        codes = self.scroll_codes("list", "WM_VSCROLL")
        self.assertEqual(codes, [SB_LINEDOWN] * 5 + [SB_ENDSCROLL] + [SB_LINEDOWN] * 5 + [SB_ENDSCROLL])
        self.assertEqual(self.sample_app.messages("list", "WM_MOUSEWHEEL"), [],
                         "the wheel message itself is swallowed")

        # Up again by one notch: 5 lines back.
        self.notches(WHEEL_UP, 1, "list")
        self.assertEqual(self.wait_state("list_top", lambda v: v <= 5), 5)
        self.assertEqual(self.scroll_codes("list", "WM_VSCROLL")[-6:], [SB_LINEUP] * 5 + [SB_ENDSCROLL])

    def test_a_changed_line_setting_holds_from_the_next_notch(self):
        self.configure(WheelLines=12)
        self.notches(WHEEL_DOWN, 1, "list")
        self.assertEqual(self.wait_state("list_top", lambda v: v >= 12), 12)


class AfterAMenuClosed(ScrollingTest):
    def test_the_wheel_is_routed_again_once_the_menu_is_gone(self):
        edit = self.sample_app.windows["edit"]["hwnd"]
        menu_open = lambda: self.hooks.ask(f"menu {edit:#x}", "MENU=") == "MENU=1"
        # The edit's context menu, opened with the right button and closed by a click beside it.
        self.click(3, *self.sample_app.center("edit"))
        self.assertTrue(wait_until(menu_open), "the context menu opened")
        self.click(1, *self.sample_app.center("bars"))
        self.assertTrue(wait_until(lambda: not menu_open()), "the context menu closed")
        self.notches(WHEEL_DOWN, 1, "list")
        self.assertEqual(self.wait_state("list_top", lambda v: v >= 5), 5, "the line setting, not Wine's 3")
        self.assertEqual(self.sample_app.messages("list", "WM_MOUSEWHEEL"), [])


class LaterWindowsServedAsXp(ScrollingTest):
    """Server 2003, 7 and 10 deliver the wheel as XP does; the hooks read the
    delta where XP has it, so a notch scrolls 5 lines there too."""

    def check_a_notch_scrolls_five_lines(self):
        self.notches(WHEEL_DOWN, 1, "list")
        self.assertEqual(self.wait_state("list_top", lambda v: v >= 5), 5)
        self.assertEqual(self.scroll_codes("list", "WM_VSCROLL"), [SB_LINEDOWN] * 5 + [SB_ENDSCROLL])


class OnWindowsServer2003(LaterWindowsServedAsXp):
    version = "win2003"

    def test_a_notch_scrolls_the_line_setting(self):
        self.check_a_notch_scrolls_five_lines()


class OnWindows7(LaterWindowsServedAsXp):
    version = "win7"

    def test_a_notch_scrolls_the_line_setting(self):
        self.check_a_notch_scrolls_five_lines()


class OnWindows10(LaterWindowsServedAsXp):
    version = "win10"

    def test_a_notch_scrolls_the_line_setting(self):
        self.check_a_notch_scrolls_five_lines()


class PartsOfNotchesAndTiltsOnWindows7(ScrollingTest):
    """A high-resolution wheel sends parts of a notch, a tilt WM_MOUSEHWHEEL;
    inputwatch injects both with SendInput."""
    version = "win7"
    settings = {"WheelCount": 2, "HWheelLines": 4}

    def test_parts_add_up_and_a_tilt_scrolls_sideways(self):
        inject = self.start("inputwatch.exe", stdin=True)
        inject.expect("READY", timeout=START_TIMEOUT)
        self.glide(self.sample_app, *self.sample_app.center("edit"))
        inject.ask("hwheel 120", "SENT")
        self.assertGreater(self.wait_state("edit_hpos", lambda v: v > 0), 0, "tilted right: the edit scrolled right")
        self.assertEqual(self.scroll_codes("edit", "WM_HSCROLL"), [SB_LINERIGHT] * 4 + [SB_ENDSCROLL])
        self.assertEqual(self.sample_app.messages("edit", "WM_MOUSEHWHEEL"), [], "the tilt is swallowed")

        self.glide(self.sample_app, *self.sample_app.center("list"))
        for _ in range(4):
            inject.ask("wheel -30", "SENT")
        self.assertEqual(self.wait_state("list_top", lambda v: v >= 5), 5, "four parts of 30: a notch of 5 lines")
        # The first three parts are swallowed and post nothing.
        self.assertEqual(self.scroll_codes("list", "WM_VSCROLL"), [SB_LINEDOWN] * 5 + [SB_ENDSCROLL])


class PartsOfNotchesAndTiltsOnWindows10(PartsOfNotchesAndTiltsOnWindows7):
    version = "win10"


class ListBoxByPages(ScrollingTest):
    settings = {"WheelPageScroll": -1}

    def test_each_notch_scrolls_the_list_box_by_the_items_it_shows(self):
        page = int(self.probe("listpage", hex(self.sample_app.windows["list"]["hwnd"]))["items"])
        self.assertGreater(page, WINE_LINES_PER_NOTCH, "the list box shows more than three items")
        self.notches(WHEEL_DOWN, 2, "list")
        top = self.wait_state("list_top", lambda v: v >= 2 * page)
        self.assertEqual(top, 2 * page, f"two pages of {page} items")
        self.assertEqual(self.scroll_codes("list", "WM_VSCROLL"),
                         [SB_PAGEDOWN, SB_ENDSCROLL, SB_PAGEDOWN, SB_ENDSCROLL])

        self.notches(WHEEL_UP, 1, "list")
        self.assertEqual(self.wait_state("list_top", lambda v: v <= page), page)
        self.assertEqual(self.scroll_codes("list", "WM_VSCROLL")[-2:], [SB_PAGEUP, SB_ENDSCROLL])


class SeparateScrollBarControls(ScrollingTest):
    def test_the_panel_gets_scroll_messages_for_its_vertical_bar_control(self):
        self.assertEqual(self.state("bars_vpos"), 0)
        self.notches(WHEEL_DOWN, 3, "bars")
        vpos = self.wait_state("bars_vpos", lambda v: v >= 3 * 5)
        self.assertEqual(vpos, 3 * 5, "the bar control moves 5 positions a notch")
        self.assertEqual(self.state("bars_hpos"), 0)

        messages = self.sample_app.messages("bars", "WM_VSCROLL")
        self.assertEqual([m[2] for m in messages], ([SB_LINEDOWN] * 5 + [SB_ENDSCROLL]) * 3)
        bars = {m[3] for m in messages}
        self.assertEqual(len(bars), 1, "every message names the same control")
        control = self.probe("window", hex(bars.pop()))
        self.assertEqual(control["class"].lower(), "scrollbar")
        self.assertEqual(int(control["parent"], 16), self.sample_app.windows["bars"]["hwnd"])
        self.assertTrue(int(control["style"], 16) & 1, "SBS_VERT: the vertical one of the two bars")

        self.notches(WHEEL_UP, 1, "bars")
        self.assertEqual(self.wait_state("bars_vpos", lambda v: v <= 10), 10)


class HorizontalWheelFunction(ScrollingTest):
    settings = {"ButtonFunction0": HORIZONTAL_WHEEL}

    def test_while_active_a_notch_scrolls_sideways_and_a_middle_click_ends_it(self):
        self.click(MIDDLE, *self.sample_app.center("edit"))
        self.mode_started(HORIZONTAL_WHEEL)
        self.notches(WHEEL_DOWN, 1, "edit")
        hpos = self.wait_state("edit_hpos", lambda v: v > 0)
        self.assertGreater(hpos, 0, "the edit scrolled to the right")
        self.assertEqual(self.scroll_codes("edit", "WM_HSCROLL"), [SB_LINERIGHT] * 5 + [SB_ENDSCROLL])
        self.assertEqual(self.state("edit_line"), 0, "not down")
        self.assertEqual(self.sample_app.messages("edit", "WM_MOUSEWHEEL"), [])
        self.assertEqual(self.sample_app.messages("edit", "WM_MBUTTONDOWN"), [], "the click went to the suite")

        # A middle click ends it: the next notch scrolls down again, 5 lines.
        self.click(MIDDLE)
        self.mode_ended()
        self.notches(WHEEL_DOWN, 1, "edit")
        self.assertEqual(self.wait_state("edit_line", lambda v: v >= 5), 5)
        self.assertEqual(self.state("edit_hpos"), hpos, "no further sideways scroll")
        self.assertEqual(self.scroll_codes("edit", "WM_HSCROLL"), [SB_LINERIGHT] * 5 + [SB_ENDSCROLL])


class SystemDefaultMode(ScrollingTest):
    def test_with_enhanced_mode_off_the_notch_passes_on_unchanged(self):
        # While enhanced, the hooks scroll the list box 5 lines ...
        self.notches(WHEEL_DOWN, 1, "list")
        self.assertEqual(self.wait_state("list_top", lambda v: v >= 5), 5)
        self.assertEqual(self.sample_app.messages("list", "WM_MOUSEWHEEL"), [])
        self.sample_app.clear_log()

        # ... and with enhanced mode off the system's own wheel message arrives.
        self.configure(EnhanceMode=0)
        self.notches(WHEEL_DOWN, 1, "list")
        self.assertTrue(wait_until(lambda: self.sample_app.messages("list", "WM_MOUSEWHEEL")),
                        self.sample_app.read_log())
        self.assertEqual(self.wait_state("list_top", lambda v: v >= 5 + WINE_LINES_PER_NOTCH),
                         5 + WINE_LINES_PER_NOTCH, "the system's own 3 lines")
        self.assertEqual([wheel_delta(m[2]) for m in self.sample_app.messages("list", "WM_MOUSEWHEEL")], [-120])
        self.assertEqual(self.sample_app.messages("list", "WM_VSCROLL"), [], "nothing posted by the hooks")

        self.notches(WHEEL_UP, 1, "list")
        self.assertEqual(self.wait_state("list_top", lambda v: v <= 5), 5)
        self.assertEqual([wheel_delta(m[2]) for m in self.sample_app.messages("list", "WM_MOUSEWHEEL")],
                         [-120, 120])
        self.assertEqual(self.sample_app.messages("list", "WM_VSCROLL"), [])


class UniversalScroll(ScrollingTest):
    settings = {"ButtonFunction0": UNIVERSAL_SCROLL, "UScrollVertical": -1, "UScrollHorizontal": 0,
                "UScrollReverse": 0, "UScrollVSpeed": 5}
    # Speed 5: a step of 10 lines for each 12 pixels of vertical travel.
    STEP = 10

    def settled_top(self, predicate):
        """The list box's top index once it matches predicate and every line
        message in the log has been taken into account."""
        def settled():
            top = self.state("list_top")
            codes = self.scroll_codes("list", "WM_VSCROLL")
            return top is not None and predicate(top) and top == codes.count(SB_LINEDOWN) - codes.count(SB_LINEUP)
        wait_until(settled, 15.0)
        return self.state("list_top")

    def test_cursor_moves_scroll_the_list_box_and_a_middle_click_returns_to_the_anchor(self):
        anchor = self.sample_app.center("list")
        self.click(MIDDLE, *anchor)
        self.mode_started(UNIVERSAL_SCROLL)
        self.assertEqual(self.pointer(), anchor)
        self.assertEqual(self.state("list_top"), 0, "the click alone scrolls nothing")

        x, y = anchor
        for offset in range(4, 73, 4):
            self.glide(self.sample_app, x, y + offset)
        top = self.settled_top(lambda v: v >= 3 * self.STEP)
        self.assertGreaterEqual(top, 3 * self.STEP, "72 pixels down scroll several steps")
        self.assertEqual(top % self.STEP, 0, f"whole steps of {self.STEP} lines: {top}")
        codes = self.scroll_codes("list", "WM_VSCROLL")
        self.assertEqual(codes.count(SB_LINEDOWN), top)
        self.assertEqual(codes.count(SB_ENDSCROLL) * self.STEP, top, "one end per step")
        self.assertNotEqual(self.pointer(), anchor)

        # Moving up scrolls back.
        for offset in range(68, 31, -4):
            self.glide(self.sample_app, x, y + offset)
        back = self.settled_top(lambda v: v < top)
        self.assertLess(back, top)
        self.assertEqual(back % self.STEP, 0)
        codes = self.scroll_codes("list", "WM_VSCROLL")
        self.assertEqual(codes.count(SB_LINEUP), top - back)

        # A middle click ends it and puts the cursor back where it started.
        self.click(MIDDLE)
        self.mode_ended()
        self.assertEqual(wait_until(lambda: self.pointer() == anchor), True, f"pointer at {self.pointer()}")
        self.assertEqual(self.sample_app.messages("list", "WM_MBUTTONDOWN"), [])
        scrolled = len(self.sample_app.messages("list", "WM_VSCROLL"))
        for offset in range(4, 61, 4):
            self.glide(self.sample_app, x, y + offset)
        self.settle("list")
        self.assertEqual(len(self.sample_app.messages("list", "WM_VSCROLL")), scrolled, "moves no longer scroll")


class TwoThreadsOfOneProgram(PatientTest):
    """Two threads of one program call the library's MouseProc at the same
    time, each with the wheel messages of its own window, while the programs
    block changes between rounds: neither ever scrolls with the other's
    delta, direction, scroll bar or settings."""

    def test_each_thread_scrolls_its_own_window_its_own_way(self):
        rounds, notches = 10, 200
        program = self.start("hookthreads.exe", "--rounds", str(rounds), "--notches", str(notches))
        program.expect("DONE", timeout=START_TIMEOUT * 2)
        families = {}
        for line in program.lines:
            if line.startswith("FAMILY "):
                name, *counts = line.split()[1:]
                families[name] = {key: int(value) for key, value in (c.split("=") for c in counts)}
        n = rounds * notches
        # The program's own settings: 2 lines and 4 columns a notch (everywhere else 3 and 3).
        self.assertEqual(families["A"], {"vup": 2 * n, "vdown": 0, "vend": n, "hleft": 0, "hright": 4 * n, "hend": n,
                                         "foreign": 0}, "up and tilted right")
        self.assertEqual(families["B"], {"vup": 0, "vdown": 2 * n, "vend": n, "hleft": 4 * n, "hright": 0, "hend": n,
                                         "foreign": 0}, "down and tilted left")


class LegacyWheelWindowOn95(PatientTest):
    version = "win95"

    def query(self):
        program = self.start("wheelquery.exe", "--wait", "5")
        program.expect("DONE", timeout=START_TIMEOUT)
        return dict(line.split(" ", 1) for line in program.lines if " " in line)

    def test_another_process_finds_the_window_and_gets_its_answers(self):
        hooks = self.blockctl()
        hooks.ask("set WheelLines=5 WheelPageScroll=0", "OK")
        created = int(hooks.ask("wheelwindow", "CreateWheelWindow=").split("=")[1], 16)
        self.assertNotEqual(created, 0)

        answers = self.query()
        self.assertEqual(answers["PLATFORM"], "id=1 version=4.0", "Wine plays Windows 95")
        self.assertEqual(int(answers["WINDOW"], 16), created)
        self.assertTrue(answers["WHEELSUPPORT"].endswith(" answer=1"), answers)
        self.assertTrue(answers["SCROLLLINES"].endswith(" answer=1"), "1 whatever the line setting")

        hooks.ask("set WheelPageScroll=-1", "OK")
        answers = self.query()
        self.assertTrue(answers["WHEELSUPPORT"].endswith(" answer=1"), answers)
        self.assertTrue(answers["SCROLLLINES"].endswith(" answer=-1"), "a page a notch")

        # A second window is not made: the class is taken.
        self.assertEqual(hooks.ask("wheelwindow", "CreateWheelWindow="), "CreateWheelWindow=0x0")


if __name__ == "__main__":
    unittest.main(verbosity=2)
