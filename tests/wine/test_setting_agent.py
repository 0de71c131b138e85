"""The settings program with the real tray agent under Wine, end to end: the
agent's menu starts it, a change made with real clicks and applied is kept by
the agent in the registry and acts on the next real wheel notch, and the
restarted agent brings it back, web address included; after an agent crash
the form does not open, and Cancel after an agent restart leaves the new
agent working."""
import os
import unittest

from function_codes import CONNECT_TO_INTERNET, ENTER, F5, SYSTEM_DEFAULT, UNIVERSAL_ZOOM
from harness import reg_query, run_windows, wait_until
from settingharness import ID, START_TIMEOUT, SettingTest

CONFIG_KEY = r"HKCU\Software\PTRHK32A"
TRAY_CALLBACK = 0x8000 + 1  # WM_APP + 1
WM_RBUTTONUP = 0x0205
MIDDLE, WHEEL_DOWN = 2, 5
X_BUTTON_1 = 8
VK_RETURN, VK_F5 = 0x0D, 0x74


def reg(*args, check=False):
    result = run_windows(["reg", *args])
    if check and result.returncode != 0:
        raise AssertionError("reg %s: exit code %d, %r %r" % (" ".join(args), result.returncode, result.stdout,
                                                                result.stderr))
    return result


class WithTrayAgent(SettingTest):
    def setUp(self):
        super().setUp()
        self.backup = os.path.join(self.folder, "kept.reg")
        self.had_key = reg("export", CONFIG_KEY, self.backup_path(), "/y").returncode == 0
        self.addCleanup(self.restore_kept_configuration)
        reg("delete", CONFIG_KEY, "/f")
        self.agent = None

    def restore_kept_configuration(self):
        reg("delete", CONFIG_KEY, "/f")
        if self.had_key:
            reg("import", self.backup_path())

    def backup_path(self):
        return "Z:" + self.backup.replace("/", "\\")

    def start_agent(self):
        self.agent = self.start("PtrAgent.exe")
        self.addCleanup(self.end_agent, self.agent)
        self.agent.expect("PtrAgent: InstallHook(1) =", timeout=START_TIMEOUT)
        return self.agent

    def end_agent(self, agent):
        """The agent quits as a user ends it."""
        if agent.proc.poll() is None:
            self.agentctl("quit")
            agent.wait(20)

    def close_form(self, ctl):
        """A form the agent started, still open, closes by its close box."""
        if ctl.proc.poll() is None and self.form()["LIVE"] == "1":
            self.close_box()
            wait_until(lambda: self.form()["LIVE"] == "0", 20)

    def agentctl(self, *args):
        result = run_windows([self.exe("agentctl.exe"), *args])
        return result.returncode, result.stdout.strip()

    def kept(self, name):
        for line in (reg_query(CONFIG_KEY + r"\Agent", "/v", name) or "").splitlines():
            parts = line.split(None, 2)
            if len(parts) == 3 and parts[0] == name:
                return int(parts[2], 16) if parts[1] == "REG_DWORD" else parts[2]
        return None

    def open_settings_from_the_tray_menu(self):
        self.move(640, 200)
        self.assertEqual(self.agentctl("post", TRAY_CALLBACK, 0, WM_RBUTTONUP), (0, "POSTED=1"))
        menu = lambda: self.agentctl("info", "#32768")
        self.assertTrue(wait_until(lambda: menu()[0] == 0 and "visible=1" in menu()[1], 30), menu())
        rect = dict(item.split("=") for item in menu()[1].split())["rect"]
        left, top, _, _ = (int(v) for v in rect.split(","))
        self.click(1, left + 20, top + 10)  # the first item, "Settings"
        self.agent.expect("PtrAgent: starting ", timeout=30)
        self.addCleanup(self.close_form, self.ctl)
        self.assertTrue(wait_until(lambda: self.form()["LIVE"] == "1", START_TIMEOUT), "the settings form opened")
        self.assertTrue(wait_until(lambda: self.state("OkButton")["visible"]))

    def test_a_wheel_setting_applied_in_the_form_scrolls_the_next_notch_and_survives_a_restart(self):
        self.start_agent()
        self.ctl = self.settingctl()
        self.assertEqual(self.field("WheelLines"), 3, "the agent's first-run value")
        sample = self.sample()
        self.other_window()

        self.open_settings_from_the_tray_menu()
        left, top, right, _ = self.state("WheelLineUpDown")["rect"]
        for lines in (4, 5):
            self.click(1, (left + right) // 2, top + 3)
            self.assertTrue(wait_until(lambda: self.field("WheelLines") == lines), self.field("WheelLines"))
        self.assertEqual(self.text("WheelLineEdit"), "5")

        # A web address for the middle button, typed into the form.
        self.click_tab(1)
        self.assertTrue(wait_until(lambda: self.focus() == str(ID["FunctionComboBox"])))
        self.select("FunctionComboBox", CONNECT_TO_INTERNET)
        self.click_control("WebAddrEdit")
        self.xdo("type", "--delay", "20", "www.example.org")
        self.assertTrue(wait_until(lambda: self.web_address(0) == "www.example.org"))

        self.click_control("ApplyButton")
        self.agent.expect("PtrAgent: settings saved", timeout=30)
        self.assertEqual(self.kept("WheelLines"), 5)
        self.assertEqual(self.kept("ButtonFunction0"), CONNECT_TO_INTERNET)
        self.assertEqual(self.kept("WebAddress0"), "www.example.org")
        self.click_control("OkButton")
        self.assertTrue(wait_until(lambda: self.form()["LIVE"] == "0", 30))
        self.assertEqual(self.field("SettingsWindow"), 0)

        # The next real notch over the sample's list box scrolls 5 lines.
        self.move(*sample.center("list"))
        self.xdo("click", WHEEL_DOWN)
        self.assertTrue(wait_until(lambda: sample.state().get("list_top", 0) >= 5), sample.state())
        self.assertEqual(sample.state()["list_top"], 5)

        # The restarted agent fills the block with what it kept.
        self.assertEqual(self.agentctl("quit"), (0, "POSTED=1"))
        self.assertEqual(self.agent.wait(30), 0)
        self.set_fields(WheelLines=1, ButtonFunction0=SYSTEM_DEFAULT)
        self.ctl.ask("appset 0 changed.meanwhile", "OK")
        self.start_agent()
        self.assertEqual(self.fields("WheelLines", "ButtonFunction0"),
                         {"WheelLines": 5, "ButtonFunction0": CONNECT_TO_INTERNET})
        self.assertEqual(self.web_address(0), "www.example.org")

    def test_a_program_added_on_the_programs_tab_runs_its_own_button_4_at_once_and_is_kept(self):
        for name, value in (("ButtonCount", 5), ("ButtonFunction1", F5)):
            reg("add", CONFIG_KEY + r"\Agent", "/v", name, "/t", "REG_DWORD", "/d", str(value), "/f", check=True)
        self.start_agent()
        self.ctl = self.settingctl()
        # Below the form, which opens in the middle of the screen.
        alpha = self.sample_as("alpha", 0, 700)
        self.other_window(900, 40)
        list_keys = lambda: [(m[1], m[2]) for m in alpha.messages("list") if m[1] in ("WM_KEYDOWN", "WM_KEYUP")]

        def press_button_4(keys):
            before = len(list_keys())
            self.click(X_BUTTON_1, *alpha.center("list"))
            self.assertTrue(wait_until(lambda: list_keys()[before:] == keys, 20), list_keys()[before:])

        press_button_4([("WM_KEYDOWN", VK_F5), ("WM_KEYUP", VK_F5)])

        self.open_settings_from_the_tray_menu()
        self.click_tab(2)
        self.assertTrue(wait_until(lambda: self.state("ProgramPicker")["visible"]))
        self.move(*self.center("ProgramPicker"))
        self.press(1)
        self.move(*alpha.center("list"))
        self.release(1)
        self.assertTrue(wait_until(lambda: self.ctl.ask(f"lines {ID['ProgramList']}", "LINES=") == "LINES=1 SELECTED=0"),
                        "alpha.exe is listed and selected")
        self.select("ProgFun4Box", ENTER)

        # At once, before any Apply, and nothing restarted.
        press_button_4([("WM_KEYDOWN", VK_RETURN), ("WM_KEYUP", VK_RETURN)])
        self.assertIsNone(reg_query(CONFIG_KEY + r"\Programs"), "nothing kept yet")

        # Kept by someone else while the form is open: an Apply takes it in,
        # and the form shows it.
        reg("add", CONFIG_KEY + r"\Programs\gamma.exe", "/v", "WheelLines", "/t", "REG_DWORD", "/d", "2", "/f",
            check=True)
        self.click_control("ApplyButton")
        self.agent.expect("PtrAgent: settings saved", timeout=30)
        self.assertIn("0xd", reg_query(CONFIG_KEY + r"\Programs\alpha.exe", "/v", "ButtonFunction1") or "")
        self.assertTrue(wait_until(lambda: self.ctl.ask(f"lines {ID['ProgramList']}", "LINES=") == "LINES=2 SELECTED=0"),
                        "gamma.exe joined the list, alpha.exe stays selected")
        self.click_control("OkButton")
        self.assertTrue(wait_until(lambda: self.form()["LIVE"] == "0", 30))
        press_button_4([("WM_KEYDOWN", VK_RETURN), ("WM_KEYUP", VK_RETURN)])


    def test_after_an_agent_crash_no_form_opens(self):
        self.start_agent()
        self.ctl = self.settingctl()
        windows = self.agentctl("windows")[1]
        self.agent.stop()  # killed: it cannot clear its handles
        self.assertEqual(str(self.field("AgentWindow")), dict(w.split("=") for w in windows.split())["main"])
        program = self.start_setting()
        self.assertEqual(self.wait_ended(program), 1)
        self.assertEqual(self.form()["FORM"], 0)
        # The next agent takes over: the form opens again.
        self.start_agent()
        program = self.open_form()
        self.close_box()
        self.assertEqual(self.wait_ended(program), 0)

    def test_cancel_after_an_agent_restart_leaves_the_new_agent_zooming_and_saving(self):
        self.start_agent()
        self.ctl = self.settingctl()
        self.set_fields(ButtonFunction0=UNIVERSAL_ZOOM, ZoomSourceWidth=32, ZoomSourceHeight=24,
                        ZoomTargetWidth=64, ZoomTargetHeight=48)
        program = self.open_form()

        # The agent ends and starts again while the form is open.
        self.assertEqual(self.agentctl("quit"), (0, "POSTED=1"))
        self.assertEqual(self.agent.wait(30), 0)
        self.start_agent()
        windows = {k: int(v) for k, v in (w.split("=") for w in self.agentctl("windows")[1].split())}
        self.click_control("CancelButton")
        self.assertEqual(self.wait_ended(program), 0)
        self.assertEqual(self.fields("AgentWindow", "ZoomWindow", "AutoScrollWindow"),
                         {"AgentWindow": windows["main"], "ZoomWindow": windows["zoom"],
                          "AutoScrollWindow": windows["autoscroll"]}, "the new agent's windows")
        self.assertEqual(self.field("ButtonFunction0"), UNIVERSAL_ZOOM, "the configuration as the form found it")

        # The new agent zooms ...
        sample = self.sample()
        self.other_window()
        self.click(MIDDLE, *sample.center("pad"))
        self.agent.expect("PtrAgent: zoom started", timeout=30)
        self.assertTrue(wait_until(lambda: "visible=1" in self.agentctl("info", "PtrHkZoom")[1]))
        self.click(1)
        self.agent.expect("PtrAgent: zoom ended", timeout=30)

        # ... and keeps what the next form applies.
        self.open_form()
        self.set_text("WheelLineEdit", "8")
        self.assertTrue(wait_until(lambda: self.field("WheelLines") == 8))
        self.click_control("ApplyButton")
        self.agent.expect("PtrAgent: settings saved", timeout=30)
        self.assertEqual(self.kept("WheelLines"), 8)
        self.assertEqual(self.kept("ButtonFunction0"), UNIVERSAL_ZOOM)


if __name__ == "__main__":
    unittest.main(verbosity=2)
