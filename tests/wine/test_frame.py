"""The hook library loaded by real processes under Wine: one settings block and
one shared state for all of them, hook installation per Windows version, and
the X-button translation of real input from the X server."""
import unittest

from function_codes import COPY
from harness import WineTest, wait_until as wait_for


def names_of(sample, window):
    return [m[1] for m in sample.messages(window)]


class SharedBlockAndState(WineTest):
    def test_what_one_process_writes_the_other_reads(self):
        first = self.blockctl()
        second = self.blockctl()
        first.ask(f"set WheelLines=7 ButtonFunction2={COPY} AgentWindow=0x1234", "OK")
        self.assertEqual(second.ask("get WheelLines", "WheelLines="), "WheelLines=7")
        self.assertEqual(second.ask("get ButtonFunction2", "ButtonFunction2="), f"ButtonFunction2={COPY}")
        self.assertEqual(second.ask("get AgentWindow", "AgentWindow="), "AgentWindow=4660")
        second.ask("set EnhanceMode=-1 ButtonCount=5", "OK")
        self.assertEqual(first.ask("get EnhanceMode", "EnhanceMode="), "EnhanceMode=-1")
        self.assertEqual(first.ask("get ButtonCount", "ButtonCount="), "ButtonCount=5")

    def test_both_processes_see_one_hook_state(self):
        first = self.blockctl()
        second = self.blockctl()
        installed = int(first.ask("install 1", "InstallHook(1)=").split("=")[1])
        self.assertNotIn(installed, (0, 6), "on XP the first install returns the X-button hook's handle")
        # The second process sees the handles the first stored: nothing is installed twice.
        self.assertEqual(second.ask("install 1", "InstallHook(1)="), "InstallHook(1)=6")
        # ... and it can remove the hooks the first one installed.
        self.assertEqual(second.ask("install 0", "InstallHook(0)="), "InstallHook(0)=1")
        self.assertEqual(first.ask("install 0", "InstallHook(0)="), "InstallHook(0)=0")


class XButtonTest(WineTest):
    def click_x_button(self, sample, pressed):
        """X button 1 over the panel, released only once the panel has the
        press as the name given: the release then cannot overtake it."""
        self.move(*sample.center("bars"))
        self.press(8)
        self.assertTrue(wait_for(lambda: pressed in names_of(sample, "bars")), names_of(sample, "bars"))
        self.release(8)


class XButtonTranslationOnXp(XButtonTest):
    version = "winxp"

    def test_x_button_reaches_a_window_as_middle_press_and_release(self):
        hooks = self.blockctl()
        result = int(hooks.ask("install 1", "InstallHook(1)=").split("=")[1])
        self.assertNotIn(result, (0, 6))
        sample = self.sample()
        self.other_window()
        # The panel's class takes no double clicks, so the press stays a press.
        self.click_x_button(sample, "WM_MBUTTONDOWN")
        names = lambda: names_of(sample, "bars")
        self.assertTrue(wait_for(lambda: "WM_MBUTTONUP" in names()), names())
        self.assertEqual(names(), ["WM_MBUTTONDOWN", "WM_MBUTTONUP"])

        # Without the hooks the same press is an X button again.
        self.assertEqual(hooks.ask("install 0", "InstallHook(0)="), "InstallHook(0)=1")
        sample.clear_log()
        self.click_x_button(sample, "WM_XBUTTONDOWN")
        self.assertTrue(wait_for(lambda: "WM_XBUTTONUP" in names()), names())
        self.assertEqual(names(), ["WM_XBUTTONDOWN", "WM_XBUTTONUP"])


class NoLowLevelHookOn98(XButtonTest):
    version = "win98"

    def test_install_returns_the_os_kind_and_x_buttons_stay_x_buttons(self):
        hooks = self.blockctl()
        self.assertEqual(hooks.ask("install 1", "InstallHook(1)="), "InstallHook(1)=2")
        sample = self.sample()
        self.other_window()
        self.click_x_button(sample, "WM_XBUTTONDOWN")
        names = lambda: names_of(sample, "bars")
        self.assertTrue(wait_for(lambda: "WM_XBUTTONUP" in names()), names())
        self.assertEqual(names(), ["WM_XBUTTONDOWN", "WM_XBUTTONUP"])
        self.assertEqual(hooks.ask("install 0", "InstallHook(0)="), "InstallHook(0)=0")


if __name__ == "__main__":
    unittest.main(verbosity=2)
