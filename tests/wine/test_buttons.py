"""Button functions with the hooks installed and real buttons from the X server:
keystrokes and chords for the middle button and X button 1, the pass-through
middle click, the system default of X button 1 on XP, and Shift Lock. Every
click goes to a window of the sample program while another program has the
foreground and the focus."""
import unittest

from function_codes import COPY, ENTER, MIDDLE_BUTTON, SHIFT_LOCK, SYSTEM_DEFAULT
from harness import WineTest, wait_until

WM_XBUTTON_NAMES = ("WM_XBUTTONDOWN", "WM_XBUTTONUP")
MIDDLE = 2
MIDDLE_NAMES = ("WM_MBUTTONDOWN", "WM_MBUTTONUP", "WM_MBUTTONDBLCLK")

VK_RETURN = 0x0D
VK_CONTROL = 0x11
VK_C = 0x43
MK_LBUTTON = 0x0001
MK_SHIFT = 0x0004
XBUTTON1 = 0x0001
MARK_PASS_EXTRA = 0x00030000
LLMHF_INJECTED = 0x1


def high_word(value):
    return (value >> 16) & 0xFFFF


class ButtonTest(WineTest):
    """Hooks installed by a tool process, five buttons, the sample program in
    the background behind another program's window."""

    version = "winxp"

    def start_suite(self, **fields):
        self.hooks = self.blockctl(reset=True)
        settings = " ".join(f"{name}={value}" for name, value in {"ButtonCount": 5, **fields}.items())
        self.hooks.ask(f"set {settings}", "OK")
        installed = int(self.hooks.ask("install 1", "InstallHook(1)=").split("=")[1])
        self.assertNotIn(installed, (0, 6), "on XP the first install returns the X-button hook's handle")

    def start_watch(self, *args):
        watch = self.start("inputwatch.exe", *args, stdin=True)
        # Before it is killed, its low-level hook goes with a clean end.
        self.addCleanup(self.end_watch, watch)
        watch.expect("READY")
        return watch

    @staticmethod
    def end_watch(watch):
        if watch.proc.poll() is None:
            watch.send("quit")
            watch.wait()

    def start_windows(self):
        self.app = self.sample()
        self.other_window()
        main = self.app.windows["main"]["hwnd"]
        # The sample program goes to the background and loses the focus.
        in_background = lambda: (self.app.state().get("foreground", main) != main
                                 and self.app.state().get("focus") == "other")
        self.assertTrue(wait_until(in_background), self.app.state())

    def assert_state(self, key, value, message=None):
        """The sample writes its state file on a timer: wait for the value."""
        self.assertTrue(wait_until(lambda: self.app.state().get(key) == value),
                        message or f"{key} is {self.app.state().get(key)!r}, not {value!r}")

    def names(self, window=None):
        return [m[1] for m in self.app.messages(window)]

    def keys(self, window=None):
        """(message, virtual key) of the key messages, in the order they arrived."""
        return [(m[1], m[2]) for m in self.app.messages(window) if m[1] in ("WM_KEYDOWN", "WM_KEYUP")]

    def settle(self, window):
        """A right click on the window: once it is logged, every earlier
        button event of the same thread has been handled."""
        before = self.names(window).count("WM_RBUTTONUP")
        self.click(3, *self.app.center(window))
        self.assertTrue(wait_until(lambda: self.names(window).count("WM_RBUTTONUP") > before), self.names())


class CopyOnMiddleButton(ButtonTest):
    def test_middle_button_copies_in_the_window_under_the_cursor(self):
        self.start_suite(ButtonFunction0=COPY)
        self.start_windows()
        self.move(*self.app.center("pad"))

        self.press(2)
        chord = [("WM_KEYDOWN", VK_CONTROL), ("WM_KEYDOWN", VK_C), ("WM_KEYUP", VK_C), ("WM_KEYUP", VK_CONTROL)]
        # The keys go to the window under the cursor, which the chord gave the focus,
        # not to the other program's edit field that had it.
        self.assertTrue(wait_until(lambda: self.keys("pad") == chord), self.app.read_log())
        self.assertEqual(self.keys(), chord, "no other window of the sample receives keys")
        self.assert_state("focus", "pad")
        self.assert_state("foreground", self.app.windows["main"]["hwnd"])
        self.release(2)

        self.settle("pad")
        self.assertFalse([n for n in self.names() if n in MIDDLE_NAMES], self.app.read_log())
        self.assertEqual(self.keys(), chord, "the release adds no keystroke")


class PlainMiddleClick(ButtonTest):
    """With "System Default" (0) or "Middle Button" (45) on the middle button,
    a window that takes double clicks (the pad's class has CS_DBLCLKS) gets a
    single click as a press and a release, and a quick double click as a
    double click."""

    def middle_messages(self):
        return [(m[1], m[4]) for m in self.app.messages("pad") if m[1] in MIDDLE_NAMES]

    def check_clicks(self, function):
        self.start_suite(ButtonFunction0=function)
        self.start_windows()
        self.move(*self.app.center("pad"))

        self.click(MIDDLE)
        self.settle("pad")
        self.assertEqual(self.middle_messages(), [("WM_MBUTTONDOWN", 0), ("WM_MBUTTONUP", 0)],
                         f"the user's own press and release, no double click: {self.app.read_log()}")
        self.assert_state("foreground", self.app.windows["main"]["hwnd"],
                          "the press brought the window under the cursor forward")

        # A real quick double click, some way off the first click.
        self.app.clear_log()
        self.move(self.app.center("pad")[0] + 40, self.app.center("pad")[1] + 40)
        self.xdo("click", "--repeat", 2, "--delay", 50, MIDDLE)
        self.settle("pad")
        self.assertEqual([name for name, _ in self.middle_messages()],
                         ["WM_MBUTTONDOWN", "WM_MBUTTONUP", "WM_MBUTTONDBLCLK", "WM_MBUTTONUP"])
        self.assertEqual(self.keys(), [])

    def test_system_default(self):
        self.check_clicks(SYSTEM_DEFAULT)

    def test_middle_button_function(self):
        self.check_clicks(MIDDLE_BUTTON)


class ButtonFourRightAfterAMiddleClick(ButtonTest):
    """The press the low-level hook makes for X button 1 follows the middle
    click's press: the system counts it as a double click's second press. It
    is still button 4's press."""

    def test_button_four_runs_its_function_and_no_double_click_is_delivered(self):
        self.start_suite(ButtonFunction0=SYSTEM_DEFAULT, ButtonFunction1=ENTER)
        self.start_windows()
        self.move(*self.app.center("pad"))

        self.click(MIDDLE)
        self.click(8)
        enter = [("WM_KEYDOWN", VK_RETURN), ("WM_KEYUP", VK_RETURN)]
        self.assertTrue(wait_until(lambda: self.keys("pad") == enter), self.app.read_log())
        self.settle("pad")
        self.assertEqual(self.keys(), enter)
        middle = [m[1] for m in self.app.messages() if m[1] in MIDDLE_NAMES + WM_XBUTTON_NAMES]
        self.assertEqual(middle, ["WM_MBUTTONDOWN", "WM_MBUTTONUP"], "the middle click only, no double click")


class XButtonOneOnXp(ButtonTest):
    version = "winxp"

    def test_system_default_gives_the_window_x_button_one(self):
        # A low-level watcher installed before the suite's hook sees what the
        # suite lets through and injects, after the suite's hook.
        watch = self.start_watch("--ll")
        self.start_suite(ButtonFunction0=ENTER, ButtonFunction1=SYSTEM_DEFAULT)
        self.start_windows()
        self.move(*self.app.center("pad"))

        self.press(8)
        self.assertTrue(wait_until(lambda: "WM_XBUTTONDOWN" in self.names("pad")), self.app.read_log())
        down = self.app.messages("pad", "WM_XBUTTONDOWN")
        self.assertEqual(len(down), 1)
        self.assertEqual(high_word(down[0][2]), XBUTTON1)
        self.assertNotIn("WM_XBUTTONUP", self.names("pad"), "the release waits for the user's")
        # The press the window got is the suite's own: the user's press went
        # round through the dispatcher as button 4 ...
        injected = lambda message: [line for line in watch.lines if line.startswith(f"LL {message} ")
                                    and int(line.split("flags=")[1].split()[0], 16) & LLMHF_INJECTED]
        self.assertTrue(wait_until(lambda: injected("WM_XBUTTONDOWN")), watch.lines)
        self.assertIn("data=0x10000", injected("WM_XBUTTONDOWN")[0])
        self.assertTrue(any(line.endswith("extra=0x1") for line in injected("WM_MBUTTONDOWN")), watch.lines)

        # ... and the user's release comes back as X button 1's release.
        self.release(8)
        self.assertTrue(wait_until(lambda: "WM_XBUTTONUP" in self.names("pad")), self.app.read_log())
        self.assertTrue(wait_until(lambda: injected("WM_XBUTTONUP")), watch.lines)
        self.settle("pad")
        buttons = [(m[1], high_word(m[2])) for m in self.app.messages()
                   if m[1] in WM_XBUTTON_NAMES + MIDDLE_NAMES]
        self.assertEqual(buttons, [("WM_XBUTTONDOWN", XBUTTON1), ("WM_XBUTTONUP", XBUTTON1)])
        self.assertEqual(self.keys(), [], "the middle button's Enter is not run for button 4")

    def test_enter_on_x_button_one(self):
        self.start_suite(ButtonFunction1=ENTER)
        self.start_windows()
        self.move(*self.app.center("pad"))

        self.press(8)
        enter = [("WM_KEYDOWN", VK_RETURN), ("WM_KEYUP", VK_RETURN)]
        self.assertTrue(wait_until(lambda: self.keys("pad") == enter), self.app.read_log())
        self.assert_state("focus", "pad")
        self.release(8)

        self.settle("pad")
        self.assertEqual(self.keys(), enter)
        self.assertFalse([n for n in self.names() if n in WM_XBUTTON_NAMES + MIDDLE_NAMES], self.app.read_log())


class ShiftLock(ButtonTest):
    def test_shift_stays_down_until_the_next_press_which_is_swallowed(self):
        watch = self.start_watch()
        shift = lambda: watch.ask("keys", "KEYS ").split()[1] == "shift=1"
        self.start_suite(ButtonFunction0=SHIFT_LOCK)
        self.start_windows()
        self.assertFalse(shift())
        self.move(*self.app.center("pad"))

        # The middle press starts the lock: Shift goes down for every program.
        self.press(2)
        self.assertTrue(wait_until(shift), watch.lines)
        self.release(2)
        # Input that arrives meanwhile carries Shift: the middle release that
        # follows the swallowed press reaches the window with MK_SHIFT.
        self.assertTrue(wait_until(lambda: "WM_MBUTTONUP" in self.names("pad")), self.app.read_log())
        release = self.app.messages("pad", "WM_MBUTTONUP")[0]
        self.assertTrue(release[2] & MK_SHIFT, self.app.read_log())
        self.assertTrue(shift(), "Shift stays down after the button is up")
        self.assertNotIn("WM_MBUTTONDOWN", self.names(), self.app.read_log())

        # The next press, of any button, only ends the lock: Shift goes up and
        # the window never sees the press, only its release.
        self.press(1)
        self.assertTrue(wait_until(lambda: not shift()), watch.lines)
        self.release(1)
        self.assertTrue(wait_until(lambda: "WM_LBUTTONUP" in self.names("pad")), self.app.read_log())
        self.assertNotIn("WM_LBUTTONDOWN", self.names(), self.app.read_log())

        # After that a click is an ordinary click again, without Shift.
        self.click(1)
        self.assertTrue(wait_until(lambda: "WM_LBUTTONDOWN" in self.names("pad")), self.app.read_log())
        press = self.app.messages("pad", "WM_LBUTTONDOWN")[0]
        self.assertEqual(press[2] & (MK_SHIFT | MK_LBUTTON), MK_LBUTTON, self.app.read_log())
        self.assertFalse(shift())


if __name__ == "__main__":
    unittest.main(verbosity=2)
