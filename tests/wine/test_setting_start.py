"""The settings program's start and end under Wine, as separate processes:
no tray agent (or only the handle a crashed one left), a second start beside
an open form (also a minimised one), starts at the same moment, a handle left
behind by a program that did not end, the three ways out of the form, and a
missing application block."""
import os
import unittest

from harness import wait_until, winpath
from settingharness import START_TIMEOUT, SettingTest


class Refusals(SettingTest):
    def test_without_a_tray_agent_no_window_opens_and_the_exit_code_is_1(self):
        self.ctl = self.settingctl()
        self.set_fields(AgentWindow=0, SettingsWindow=0)
        program = self.start_setting()
        self.assertEqual(self.wait_ended(program), 1)
        self.assertEqual(self.form()["FORM"], 0, "no form registered itself")
        self.assertEqual(self.ctl.ask("top Mouse Setting", "TOP="), "TOP=0 TEXT=")

    def test_a_handle_that_names_no_tray_agent_window_opens_no_form(self):
        # A crashed agent cannot clear its handle; the number may also come to
        # name another window. Either way nobody would keep what the form edits.
        self.ctl = self.settingctl()
        self.ctl.ask("agent", "AGENT=")
        self.ctl.ask("agentgone", "OK")
        crashed = self.field("AgentWindow")
        other = int(self.ctl.ask("window", "WINDOW=").split("=")[1])
        for what, handle in (("a crashed agent's window", crashed), ("another program's window", other)):
            self.set_fields(AgentWindow=handle, SettingsWindow=0)
            program = self.start_setting()
            self.assertEqual(self.wait_ended(program), 1, what)
            self.assertEqual(self.form()["FORM"], 0, what)
        self.set_fields(AgentWindow=0)

    def test_starts_at_the_same_moment_give_one_form(self):
        self.with_agent()
        self.ctl.ask("startmany 3 " + winpath(os.path.join(self.app_folder, "Setting.exe")), "STARTED=3")
        self.assertTrue(wait_until(lambda: self.form()["LIVE"] == "1", START_TIMEOUT), "a form opened")
        self.assertTrue(wait_until(lambda: self.state("OkButton")["visible"]))
        exits = lambda: self.ctl.ask("exits 20000", "EXITS=")[len("EXITS="):].split(",")
        self.assertEqual(sorted(exits()), ["1", "1", "259"], "two ended with 1, one runs on")
        self.assertEqual(self.ctl.ask("forms Mouse Setting", "FORMS="), "FORMS=1")
        self.close_box()
        self.assertEqual(sorted(exits()), ["0", "1", "1"])
        self.assertEqual(self.field("SettingsWindow"), 0)

    def test_a_second_start_restores_a_minimised_form_and_brings_it_forward(self):
        self.with_agent()
        first = self.open_form()
        form = self.form()["FORM"]
        self.ctl.ask("minimize", "OK")
        self.assertTrue(wait_until(lambda: self.ctl.ask("iconic", "ICONIC=") == "ICONIC=1"))
        self.other_window()
        self.assertTrue(wait_until(lambda: self.foreground() != form))

        second = self.start_setting()
        self.assertEqual(self.wait_ended(second), 1)
        self.assertTrue(wait_until(lambda: self.ctl.ask("iconic", "ICONIC=") == "ICONIC=0"), "restored")
        self.assertTrue(wait_until(lambda: self.foreground() == form), "in front")
        self.assertTrue(self.state("OkButton")["visible"])
        self.assertIsNone(first.proc.poll())

    def test_a_closing_form_leaves_a_settings_window_that_is_not_its_own(self):
        self.with_agent()
        program = self.open_form()
        left, top, right, bottom = self.state("CancelButton")["rect"]
        other = int(self.ctl.ask("window", "WINDOW=").split("=")[1])
        self.set_fields(SettingsWindow=other)  # as another form that came up since would
        self.click(1, (left + right) // 2, (top + bottom) // 2)
        self.assertEqual(self.wait_ended(program), 0)
        self.assertEqual(self.field("SettingsWindow"), other)

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
