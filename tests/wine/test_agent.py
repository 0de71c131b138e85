"""The tray agent under Wine: its life (block filled, hooks installed, both
undone at WM_QUIT, a second start refused), its kept settings, and the modes
it carries out for the hooks (auto scroll, zoom) or shows (the tooltip text),
driven by real input from the X server over windows of other processes."""
import os
import subprocess
import sys
import unittest

from harness import WineTest, read_text, wait_until, wine_binary, wine_env

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "demo"))
from xinput import fast_click  # noqa: E402

UM_SETTINGSCHANGED = 2025
UM_MODESTATE = 2126
UM_MODEEND = 2127

PRODUCT_NAME = "PTRHK32A Mouse"
MIDDLE, WHEEL_UP, WHEEL_DOWN = 2, 4, 5
SB_LINEDOWN, SB_ENDSCROLL = 1, 8

AUTO_SCROLL, ZOOM, SHIFT_LOCK = 101, 102, 60


class AgentTest(WineTest):
    """Each test starts from no kept configuration at all."""

    def setUp(self):
        super().setUp()
        subprocess.run([wine_binary(), "reg", "delete", r"HKCU\Software\PTRHK32A", "/f"], env=wine_env(),
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.agents = []

    def tearDown(self):
        try:
            # A clean end removes the hooks; a kill would leave them to the next test.
            if any(agent.proc.poll() is None for agent in self.agents):
                self.agentctl("quit")
                for agent in self.agents:
                    agent.wait(15)
        finally:
            super().tearDown()

    # The agent and the tools around it.

    def start_agent(self):
        agent = self.start("PtrAgent.exe")
        self.agents.append(agent)
        agent.expect("PtrAgent: InstallHook(1) =", timeout=30)
        return agent

    def agentctl(self, *args):
        """Runs agentctl; returns its exit code and its output line."""
        result = subprocess.run([wine_binary(), self.exe("agentctl.exe"), *[str(a) for a in args]], env=wine_env(),
                                stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)
        return result.returncode, result.stdout.strip()

    def agentctl_values(self, *args):
        code, out = self.agentctl(*args)
        self.assertEqual(code, 0, f"agentctl {args}: {out}")
        return dict(item.split("=", 1) for item in out.split())

    def agent_windows(self):
        return {name: int(value) for name, value in self.agentctl_values("windows").items()}

    def status_text(self):
        code, out = self.agentctl("status")
        return out[len("STATUS="):] if code == 0 and out.startswith("STATUS=") else None

    def window_info(self, class_name):
        values = self.agentctl_values("info", class_name)
        left, top, right, bottom = (int(v) for v in values["rect"].split(","))
        return {"visible": values["visible"] == "1", "rect": (left, top, right, bottom),
                "width": right - left, "height": bottom - top}

    def post(self, message, wparam=0, lparam=0):
        self.assertEqual(self.agentctl("post", message, wparam, lparam), (0, "POSTED=1"))

    def quit_agent(self, agent):
        self.assertEqual(self.agentctl("quit"), (0, "POSTED=1"))
        return agent.wait(20)

    def blockctl(self):
        try:
            return super().blockctl()
        except AssertionError as failure:
            tool = self.programs[-1]
            raise AssertionError(f"{failure}; blockctl exit code {tool.wait(10)}") from None

    def dump(self, hooks):
        hooks.send("dump")
        hooks.expect("OK")
        values = {}
        for line in hooks.lines:
            if "=" in line:
                key, value = line.split("=", 1)
                values[key] = int(value)
        return values

    def field(self, hooks, name):
        return int(hooks.ask(f"get {name}", f"{name}=").split("=")[1])

    def configure(self, hooks, **fields):
        hooks.ask("set " + " ".join(f"{k}={v}" for k, v in fields.items()), "OK")

    def other_window_handle(self):
        for line in read_text(os.path.join(self.folder, "other.log")).splitlines():
            if line.startswith("WINDOW main "):
                return int(line.split()[2].split("=")[1], 16)
        self.fail("the other window logged no handle")

    def display(self):
        return wine_env()["DISPLAY"]


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
        self.assertEqual(second.wait(20), 2)
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
        self.configure(hooks, WheelLines=7, ButtonFunction1=28, UScrollVSpeed=9, WheelPageScroll=-1)
        self.post(UM_SETTINGSCHANGED)
        agent.expect("PtrAgent: settings saved")
        # Changed after the last apply: not kept.
        self.configure(hooks, WheelLines=9)
        self.assertEqual(self.quit_agent(agent), 0, agent.lines)
        self.assertNotIn("PtrAgent: settings saved", agent.lines[agent.lines.index("PtrAgent: settings saved") + 1:])

        # Whatever the block holds now, the restarted agent fills it from what it kept.
        self.configure(hooks, WheelLines=1, ButtonFunction1=0, UScrollVSpeed=1, WheelPageScroll=0)
        self.start_agent()
        block = self.dump(hooks)
        self.assertEqual(block["WheelLines"], 7)
        self.assertEqual(block["ButtonFunction1"], 28)
        self.assertEqual(block["UScrollVSpeed"], 9)
        self.assertEqual(block["WheelPageScroll"], -1)
        self.assertEqual(block["AgentWindow"], self.agent_windows()["main"])

    def test_without_an_apply_a_restart_brings_the_first_run_values(self):
        agent = self.start_agent()
        hooks = self.blockctl()
        self.configure(hooks, WheelLines=8, ButtonFunction0=13)
        self.assertEqual(self.quit_agent(agent), 0, agent.lines)
        self.start_agent()
        block = self.dump(hooks)
        self.assertEqual((block["WheelLines"], block["ButtonFunction0"]), (3, 0))


class AutoScroll(AgentTest):
    def auto_scroll_runs(self, agent, sample, autoscroll, x, y, downs):
        """A fast middle click at (x, y), then the cursor 40 pixels lower.
        True once the list box scrolls down; False when the click's release
        came only after auto scroll had started and so ended it."""
        self.move(x, y)
        seen = len(agent.lines)
        fast_click(self.display(), MIDDLE)
        agent.expect("PtrAgent: auto scroll started")
        ended = lambda: "PtrAgent: auto scroll ended" in agent.lines[seen:]
        running = lambda: self.agentctl_values("capture") == {
            "capture": str(autoscroll), "active": str(autoscroll), "foreground": str(autoscroll)}
        wait_until(lambda: ended() or running())
        if ended():
            return False
        # The auto-scroll window lies under the cursor, holds the capture and the foreground.
        info = self.window_info("PtrHkAutoScroll")
        self.assertTrue(info["visible"] or ended())
        left, top, right, bottom = info["rect"]
        self.assertTrue(left <= x < right and top <= y < bottom, (info, x, y))
        self.assertEqual([m for m in sample.messages("list") if m[1] == "WM_MBUTTONDOWN"], [],
                         "the middle press itself is swallowed")
        # Below the anchor: the list scrolls down, line by line.
        self.move(x, y + 40)
        wait_until(lambda: ended() or downs().count(SB_LINEDOWN) >= 6, timeout=20)
        if ended() and downs().count(SB_LINEDOWN) == 0:
            return False
        self.assertGreaterEqual(downs().count(SB_LINEDOWN), 6, downs())
        self.assertFalse(ended(), "only the click ends it")
        return True

    def test_a_middle_click_over_a_list_box_scrolls_it_towards_the_cursor_until_a_click(self):
        agent = self.start_agent()
        hooks = self.blockctl()
        self.configure(hooks, ButtonFunction0=AUTO_SCROLL)
        sample = self.sample()
        self.other_window()
        other = self.other_window_handle()
        self.assertTrue(wait_until(lambda: sample.state().get("foreground") == other), sample.state())
        autoscroll = self.agent_windows()["autoscroll"]
        self.assertEqual(sample.state()["list_top"], 0)

        x, y = sample.center("list")
        downs = lambda: [m[2] & 0xFFFF for m in sample.messages("list", "WM_VSCROLL")]
        for attempt in range(4):
            # A little apart from the last try: the same spot again would make a double click.
            y = sample.center("list")[1] + 8 * attempt
            if self.auto_scroll_runs(agent, sample, autoscroll, x, y, downs):
                break
            # The release reached the list box after the start, as a release
            # over another window would: auto scroll ended at once. Again.
            self.assertFalse(self.window_info("PtrHkAutoScroll")["visible"])
        else:
            self.fail(f"auto scroll never kept running; agent said {agent.lines}")

        self.click(1)
        agent.expect("PtrAgent: auto scroll ended")
        self.assertTrue(wait_until(lambda: sample.state().get("list_top", 0) > 0, timeout=20), sample.state())
        self.assertEqual(set(downs()), {SB_LINEDOWN, SB_ENDSCROLL}, "it only ever scrolled down")
        # The foreground goes back to the window that had it when auto scroll began:
        # the sample's, which the middle press brought forward.
        main = sample.windows["main"]["hwnd"]
        self.assertTrue(wait_until(lambda: sample.state().get("foreground") == main), (sample.state(), main))
        self.assertFalse(self.window_info("PtrHkAutoScroll")["visible"])
        self.assertEqual(self.agentctl_values("capture")["capture"], "0", "the hidden window keeps no capture")

        # It has stopped: the list stays where it is.
        settled = sample.state()["list_top"]
        count = len(downs())
        ups = lambda: len(sample.messages("list", "WM_LBUTTONUP"))
        clicks = ups()
        self.move(x, y + 80)
        self.click(1)
        self.assertTrue(wait_until(lambda: ups() > clicks), sample.messages("list"))
        self.assertEqual((sample.state()["list_top"], len(downs())), (settled, count))


class Zoom(AgentTest):
    def test_wheel_notches_change_the_factor_and_the_magnifier_follows(self):
        agent = self.start_agent()
        hooks = self.blockctl()
        self.configure(hooks, ButtonFunction0=ZOOM, ZoomSourceWidth=32, ZoomSourceHeight=24, ZoomTargetWidth=64,
                       ZoomTargetHeight=48)
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
        texts = {56: "Drag Lock Active", 60: "Shift Locked", 61: "Control Locked", 62: "Horizontal Wheel",
                 100: "Scroll Active"}
        for mode, text in texts.items():
            self.post(UM_MODESTATE, mode)
            self.assertTrue(wait_until(lambda: self.status_text() == text), (mode, self.status_text()))
            self.post(UM_MODEEND)
            self.assertTrue(wait_until(lambda: self.status_text() == PRODUCT_NAME), (mode, self.status_text()))
        # A mode without a text of its own shows the product name.
        self.post(UM_MODESTATE, 56)
        self.assertTrue(wait_until(lambda: self.status_text() == "Drag Lock Active"))
        self.post(UM_MODESTATE, 7)
        self.assertTrue(wait_until(lambda: self.status_text() == PRODUCT_NAME), self.status_text())

    def test_a_shift_lock_started_by_the_middle_button_shows_until_a_click_ends_it(self):
        agent = self.start_agent()
        hooks = self.blockctl()
        self.configure(hooks, ButtonFunction0=SHIFT_LOCK)
        sample = self.sample()
        self.other_window()
        self.click(MIDDLE, *sample.center("pad"))
        agent.expect("PtrAgent: mode 60: Shift Locked")
        self.assertTrue(wait_until(lambda: self.status_text() == "Shift Locked"), self.status_text())
        self.click(1)
        agent.expect("PtrAgent: mode ended")
        self.assertTrue(wait_until(lambda: self.status_text() == PRODUCT_NAME), self.status_text())


if __name__ == "__main__":
    unittest.main(verbosity=2)
