"""The settings program's start and end under Wine, as separate processes:
no tray agent, a second start beside an open form, a handle left behind by a
program that did not end, the three ways out of the form, and a missing
application block."""
import unittest

from harness import wait_until
from settingharness import SettingTest


class Refusals(SettingTest):
    def test_without_a_tray_agent_no_window_opens_and_the_exit_code_is_1(self):
        self.ctl = self.settingctl()
        self.set_fields(AgentWindow=0, SettingsWindow=0)
        program = self.start_setting()
        self.assertEqual(self.wait_ended(program), 1)
        self.assertEqual(self.form()["FORM"], 0, "no form registered itself")
        self.assertEqual(self.ctl.ask("top Mouse Setting", "TOP="), "TOP=0 TEXT=")

    def test_a_second_start_brings_the_open_form_forward_and_ends_with_1(self):
        self.with_agent(WheelLines=4)
        first = self.open_form()
        form = self.form()["FORM"]
        self.other_window()
        self.assertTrue(wait_until(lambda: self.foreground() != form), "another window has the foreground")
        before = self.block_bytes()

        second = self.start_setting()
        self.assertEqual(self.wait_ended(second), 1)
        self.assertTrue(wait_until(lambda: self.foreground() == form), "the first form is in front")
        self.assertIsNone(first.proc.poll(), "the first form stays")
        self.assertEqual(self.form()["FORM"], form)
        self.assertEqual(self.block_bytes(), before, "nothing in the block changed")
        self.assertEqual(self.text("WheelLineEdit"), "4")

    def test_a_handle_left_by_a_program_that_did_not_end_cleanly_bars_no_start(self):
        # The obvious reading, a handle taken at face value, would keep every
        # later start out for good after one crash.
        self.with_agent()
        stale = int(self.ctl.ask("stale", "STALE=").split("=")[1])
        self.set_fields(SettingsWindow=stale)
        program = self.open_form()
        self.assertNotIn(self.form()["FORM"], (0, stale))

        # The same after a settings program is killed with its form open.
        program.stop()
        left = self.form()["FORM"]
        self.assertNotEqual(left, 0, "the killed program could not clear its handle")
        self.open_form()
        self.assertNotIn(self.form()["FORM"], (0, left))

    def test_without_the_application_block_a_message_says_so_and_the_exit_code_is_1(self):
        # Something else holds the block's name, so the mapping cannot be made.
        self.ctl = self.settingctl("--no-app")
        self.assertEqual(self.ctl.ask("squat", "SQUAT="), "SQUAT=1")
        self.with_agent()
        program = self.start_setting()
        message = lambda: self.ctl.ask("top Mouse Setting", "TOP=")
        self.assertTrue(wait_until(lambda: not message().startswith("TOP=0 "), 60), "a message box")
        self.assertIn("PTRHK32A_3_APP cannot be opened", message())
        self.assertIsNone(program.proc.poll(), "it waits for the message to be read")
        self.assertEqual(self.form()["FORM"], 0, "no form")
        self.ctl.ask("dismiss Mouse Setting", "OK")
        self.assertEqual(self.wait_ended(program), 1)

    def foreground(self):
        return int(self.ctl.ask("foreground", "FOREGROUND=").split("=")[1])


class WaysOut(SettingTest):
    def test_ok_cancel_and_the_close_box_each_end_the_program_and_clear_settings_window(self):
        self.with_agent()
        ways = {"ok": lambda: self.click_control("OkButton"), "cancel": lambda: self.click_control("CancelButton"),
                "close box": self.close_box}
        for way, leave in ways.items():
            program = self.open_form()
            self.assertNotEqual(self.form()["FORM"], 0)
            leave()
            self.assertEqual(self.wait_ended(program), 0, way)
            self.assertEqual(self.field("SettingsWindow"), 0, way)
            self.assertEqual(self.posts(), 0, f"{way}: nothing applied, nothing posted")


if __name__ == "__main__":
    unittest.main(verbosity=2)
