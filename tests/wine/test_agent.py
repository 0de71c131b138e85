"""The tray agent under Wine: its life (block filled, hooks installed, both
undone at WM_QUIT, a second start refused and the running agent shown), its
kept settings, and the modes it carries out for the hooks (auto scroll, zoom)
or shows (the tooltip text), driven by real input from the X server over
windows of other processes."""
import unittest

from agent_support import (MIDDLE, PRODUCT_NAME, SB_ENDSCROLL, SB_LINEDOWN, UM_MODEEND, UM_MODESTATE,
                           UM_SETTINGSCHANGED, WHEEL_DOWN, WHEEL_UP, AgentTest)
from function_codes import (AUTO_SCROLL, CONTROL_LOCK, COPY, DRAG_LOCK, ENTER, HORIZONTAL_WHEEL, SHIFT_LOCK,
                            SYSTEM_DEFAULT, UNIVERSAL_SCROLL, UNIVERSAL_ZOOM)
from harness import wait_until


class Life(AgentTest):
    def test_start_fills_the_block_and_installs_the_hooks_quit_undoes_both(self):
        agent = self.start_agent()
        windows = self.agent_windows()
        for name, handle in windows.items():
            self.assertNotEqual(handle, 0, f"the agent has no {name} window")

        hooks = self.blockctl()
        block = self.dump(hooks)
        self.assertIn(block["ButtonCount"], (3, 4, 5))
        self.assertEqual(block["WheelCount"], 1)
        self.assertEqual(block["EnhanceMode"], -1)
        self.assertEqual(block["WheelLines"], 3)
        self.assertGreaterEqual(block["ZoomSourceWidth"], 2)
        factor = block["ZoomTargetWidth"] // block["ZoomSourceWidth"]
        self.assertGreaterEqual(factor, 2)
        self.assertEqual(block["ZoomTargetWidth"], factor * block["ZoomSourceWidth"])
        self.assertEqual(block["ZoomTargetHeight"], factor * block["ZoomSourceHeight"])
        self.assertEqual(block["AgentWindow"], windows["main"])
        self.assertEqual(block["ZoomWindow"], windows["zoom"])
        self.assertEqual(block["AutoScrollWindow"], windows["autoscroll"])
        self.assertEqual(block["SettingsWindow"], 0)

        # The hooks exist already: another process installs nothing.
        self.assertEqual(hooks.ask("install 1", "InstallHook(1)="), "InstallHook(1)=6")

        self.assertEqual(self.quit_agent(agent), 0, agent.lines)
        self.assertEqual(self.agentctl("wait-gone", 5000), (0, "GONE"))
        block = self.dump(hooks)
        self.assertEqual((block["AgentWindow"], block["ZoomWindow"], block["AutoScrollWindow"]), (0, 0, 0))
        self.assertEqual(block["WheelLines"], 3, "the configuration stays in the block")

        # The hooks are gone: this process installs them anew, and removes them.
        installed = int(hooks.ask("install 1", "InstallHook(1)=").split("=")[1])
        self.assertNotIn(installed, (0, 6))
        self.assertEqual(hooks.ask("install 0", "InstallHook(0)="), "InstallHook(0)=1")

    def test_a_second_start_says_so_and_ends_without_installing(self):
        first = self.start_agent()
        windows = self.agent_windows()
        second = self.start("PtrAgent.exe")
        self.agents.append(second)
        second.expect("PtrAgent: already running")
        self.assertEqual(second.wait(20), 2, "no message box waits for a click")
        # The running agent shows itself instead.
        first.expect("PtrAgent: another start:")
        self.assertFalse([line for line in second.lines if "InstallHook" in line or "block filled" in line],
                         second.lines)

        self.assertIsNone(first.proc.poll(), "the first agent runs on")
        hooks = self.blockctl()
        self.assertEqual(self.field(hooks, "AgentWindow"), windows["main"])
        self.assertEqual(self.field(hooks, "AutoScrollWindow"), windows["autoscroll"])
        self.assertEqual(hooks.ask("install 1", "InstallHook(1)="), "InstallHook(1)=6")
        self.assertEqual(self.agent_windows(), windows)


class KeptSettings(AgentTest):
    def test_applied_settings_come_back_after_a_restart_unapplied_ones_do_not(self):
        agent = self.start_agent()
        hooks = self.blockctl()
        self.configure(hooks, WheelLines=7, ButtonFunction1=COPY, UScrollVSpeed=9, WheelPageScroll=-1)
        self.post(UM_SETTINGSCHANGED)
        agent.expect("PtrAgent: settings saved")
        # Changed after the last apply: not kept.
        self.configure(hooks, WheelLines=9)
        self.assertEqual(self.quit_agent(agent), 0, agent.lines)
        self.assertNotIn("PtrAgent: settings saved", agent.lines[agent.lines.index("PtrAgent: settings saved") + 1:])

        # Whatever the block holds now, the restarted agent fills it from what it kept.
        self.configure(hooks, WheelLines=1, ButtonFunction1=SYSTEM_DEFAULT, UScrollVSpeed=1, WheelPageScroll=0)
        self.start_agent()
        block = self.dump(hooks)
        self.assertEqual(block["WheelLines"], 7)
        self.assertEqual(block["ButtonFunction1"], COPY)
        self.assertEqual(block["UScrollVSpeed"], 9)
        self.assertEqual(block["WheelPageScroll"], -1)
        self.assertEqual(block["AgentWindow"], self.agent_windows()["main"])

    def test_without_an_apply_a_restart_brings_the_first_run_values(self):
        agent = self.start_agent()
        hooks = self.blockctl()
        self.configure(hooks, WheelLines=8, ButtonFunction0=ENTER)
        self.assertEqual(self.quit_agent(agent), 0, agent.lines)
        self.start_agent()
        block = self.dump(hooks)
        self.assertEqual((block["WheelLines"], block["ButtonFunction0"]), (3, 0))


class AutoScroll(AgentTest):
    def test_a_middle_click_over_a_list_box_scrolls_it_towards_the_cursor_until_a_click(self):
        agent = self.start_agent()
        hooks = self.blockctl()
        self.configure(hooks, ButtonFunction0=AUTO_SCROLL)
        sample = self.sample()
        self.other_window()
        other = self.other_window_handle()
        self.assertTrue(wait_until(lambda: sample.state().get("foreground") == other), sample.state())
        self.assertEqual(sample.state()["list_top"], 0)

        # A slow click: its release comes after auto scroll has started.
        downs = self.start_auto_scroll(agent, sample, hold=True)

        self.click(1)
        agent.expect("PtrAgent: auto scroll ended")
        self.assertTrue(wait_until(lambda: sample.state().get("list_top", 0) > 0, timeout=20), sample.state())
        self.assertEqual(set(downs()), {SB_LINEDOWN, SB_ENDSCROLL}, "it only ever scrolled down")
        # The foreground goes back to the window that had it when auto scroll began:
        # the sample's, which the middle press brought forward.
        main = sample.windows["main"]["hwnd"]
        self.assertTrue(wait_until(lambda: sample.state().get("foreground") == main), (sample.state(), main))
        self.assert_auto_scroll_stopped()
        self.assertTrue(wait_until(lambda: self.keys()["mbutton"] == 0), "the middle button is up again")

        # It has stopped: the list stays where it is.
        settled = sample.state()["list_top"]
        count = len(downs())
        ups = lambda: len(sample.messages("list", "WM_LBUTTONUP"))
        clicks = ups()
        x, y = sample.center("list")
        self.move(x, y + 80)
        self.click(1)
        self.assertTrue(wait_until(lambda: ups() > clicks), sample.messages("list"))
        self.assertEqual((sample.state()["list_top"], len(downs())), (settled, count))


class Zoom(AgentTest):
    def test_wheel_notches_change_the_factor_and_the_magnifier_follows(self):
        agent = self.start_agent()
        hooks = self.blockctl()
        self.configure(hooks, ButtonFunction0=UNIVERSAL_ZOOM, ZoomSourceWidth=32, ZoomSourceHeight=24,
                       ZoomTargetWidth=64, ZoomTargetHeight=48)
        sample = self.sample()
        self.other_window()

        self.click(MIDDLE, *sample.center("pad"))
        agent.expect("PtrAgent: zoom started")
        self.assertTrue(wait_until(lambda: self.window_info("PtrHkZoom")["visible"]))
        magnifier = self.window_info("PtrHkZoom")
        self.assertEqual((magnifier["width"], magnifier["height"]), (64, 48))

        for _ in range(3):
            self.click(WHEEL_UP)
        self.assertTrue(wait_until(lambda: self.field(hooks, "ZoomTargetWidth") == 5 * 32),
                        self.field(hooks, "ZoomTargetWidth"))
        self.assertEqual(self.field(hooks, "ZoomTargetHeight"), 5 * 24)
        self.assertTrue(wait_until(lambda: self.window_info("PtrHkZoom")["width"] == 160), self.window_info("PtrHkZoom"))
        self.assertEqual(self.window_info("PtrHkZoom")["height"], 120)

        self.click(WHEEL_DOWN)
        self.assertTrue(wait_until(lambda: self.field(hooks, "ZoomTargetWidth") == 4 * 32))
        self.assertEqual(self.field(hooks, "ZoomTargetHeight"), 4 * 24)
        self.assertEqual(self.field(hooks, "ZoomSourceWidth"), 32, "the source size stays")
        self.assertEqual(sample.messages(name="WM_MOUSEWHEEL"), [], "the notches only zoom")
        self.assertEqual(sample.state()["list_top"], 0)

        self.click(1)
        agent.expect("PtrAgent: zoom ended")
        self.assertTrue(wait_until(lambda: not self.window_info("PtrHkZoom")["visible"]))
        # The factor stays for the next zoom.
        self.assertEqual(self.field(hooks, "ZoomTargetWidth"), 4 * 32)


class TooltipText(AgentTest):
    def test_each_announced_mode_shows_its_text_and_the_end_the_product_name(self):
        self.start_agent()
        self.assertEqual(self.status_text(), PRODUCT_NAME)
        texts = {DRAG_LOCK: "Drag Lock Active", SHIFT_LOCK: "Shift Locked", CONTROL_LOCK: "Control Locked",
                 HORIZONTAL_WHEEL: "Horizontal Wheel", UNIVERSAL_SCROLL: "Scroll Active"}
        for mode, text in texts.items():
            self.post(UM_MODESTATE, mode)
            self.assertTrue(wait_until(lambda: self.status_text() == text), (mode, self.status_text()))
            self.post(UM_MODEEND)
            self.assertTrue(wait_until(lambda: self.status_text() == PRODUCT_NAME), (mode, self.status_text()))
        # A mode without a text of its own shows the product name.
        self.post(UM_MODESTATE, DRAG_LOCK)
        self.assertTrue(wait_until(lambda: self.status_text() == "Drag Lock Active"))
        self.post(UM_MODESTATE, 7)
        self.assertTrue(wait_until(lambda: self.status_text() == PRODUCT_NAME), self.status_text())

    def test_a_shift_lock_started_by_the_middle_button_shows_until_a_click_ends_it(self):
        agent, hooks, sample = self.start_shift_lock()
        self.assertTrue(wait_until(lambda: self.status_text() == "Shift Locked"), self.status_text())
        self.click(1)
        agent.expect("PtrAgent: mode ended")
        self.assertTrue(wait_until(lambda: self.status_text() == PRODUCT_NAME), self.status_text())


if __name__ == "__main__":
    unittest.main(verbosity=2)
