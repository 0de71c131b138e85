"""The tray agent's start and end under Wine, where they can go wrong: an agent
killed in a lock and started again, every way out while a lock holds a key
or a button, two starts at the same moment, starts that cannot go on (told
in a message box), a shell that loses the tray icon, and auto scroll and
zoom that must end without the hooks' word."""
import os
import shutil
import tempfile
import unittest

from agent_support import (LEFT, MIDDLE, TRAY_CALLBACK, WM_CANCELMODE, WM_CLOSE, WM_ENDSESSION, WM_RBUTTONUP, WHEEL_UP,
                           XP_HOOKS, AgentTest)
from function_codes import AUTO_SCROLL, CONTROL_LOCK, DRAG_LOCK, SHIFT_LOCK, UNIVERSAL_ZOOM
from harness import Program, wait_until


class Restart(AgentTest):
    def test_an_agent_started_after_one_was_killed_in_shift_lock_lets_shift_go_and_hooks_again(self):
        # The hook tool holds the library, and with it the hooks' shared state, past the kill.
        agent, hooks, sample = self.start_shift_lock()
        self.assertTrue(wait_until(lambda: self.keys()["shift"] == 1), self.keys())

        agent.stop()  # killed: it runs no line of its own any more
        self.assertEqual(self.agentctl("wait-gone", 5000), (0, "GONE"))
        self.assertEqual(self.keys()["shift"], 1, "nothing let Shift go yet")
        self.assertEqual(self.hooks_held(), XP_HOOKS, "the dead agent's hook handles are still in the shared state")

        again = self.start_agent()
        self.assertTrue(wait_until(lambda: self.keys()["shift"] == 0), "the stale Shift Lock is let go")
        # The new hooks work with real input: the middle button locks Shift again, a click lets it go.
        self.configure(hooks, ButtonFunction0=SHIFT_LOCK)  # the agent filled the block from what it kept
        self.click(MIDDLE, *sample.center("pad"))
        again.expect(f"PtrAgent: mode {SHIFT_LOCK}: Shift Locked")
        self.assertTrue(wait_until(lambda: self.keys()["shift"] == 1), self.keys())
        self.click(LEFT)
        again.expect("PtrAgent: mode ended")
        self.assertTrue(wait_until(lambda: self.keys()["shift"] == 0), self.keys())
        self.assertIn(f"PtrAgent: hooks held 0x{XP_HOOKS:X}, needed 0x{XP_HOOKS:X}", again.lines)


class WaysOut(AgentTest):
    def exit_menu(self, agent):
        """The tray menu as the shell opens it, and a real click on its last item, Exit."""
        self.post(TRAY_CALLBACK, 0, WM_RBUTTONUP)
        self.assertTrue(wait_until(lambda: self.agentctl("menu")[0] == 0), self.agentctl("menu"))
        left, top, right, bottom = (int(v) for v in self.agentctl_values("menu")["rect"].split(","))
        self.click(LEFT, left + 20, bottom - 10)

    def test_every_way_out_lets_go_of_what_the_lock_holds_and_removes_the_hooks(self):
        ways = [
            ("WM_QUIT from outside", SHIFT_LOCK, "shift", lambda agent: self.agentctl("quit")),
            ("WM_CLOSE", CONTROL_LOCK, "control", lambda agent: self.post(WM_CLOSE)),
            ("WM_ENDSESSION at log-off", DRAG_LOCK, "lbutton", lambda agent: self.agentctl("send", WM_ENDSESSION, 1, 0)),
            ("the Exit menu", SHIFT_LOCK, "shift", self.exit_menu),
        ]
        hooks = self.blockctl()
        sample = self.sample()
        self.other_window()
        for way, lock, key, leave in ways:
            with self.subTest(way):
                agent = self.start_agent()
                try:
                    self.configure(hooks, ButtonFunction0=lock)
                    self.click(MIDDLE, *sample.center("pad"))
                    agent.expect(f"PtrAgent: mode {lock}:")
                    self.assertTrue(wait_until(lambda: self.keys()[key] == 1), (way, self.keys()))

                    leave(agent)
                    self.assertTrue(wait_until(lambda: self.keys()[key] == 0), f"{way}: {key} is let go")
                    self.assertEqual(agent.wait(20), 0, agent.lines)
                    self.assertEqual(self.hooks_held(), 0, f"{way}: the hooks are removed")
                    self.assertEqual(self.field(hooks, "AgentWindow"), 0)
                    self.assertIn("PtrAgent: InstallHook(0) = 1", agent.lines)
                finally:
                    # The next way starts without this agent, whatever happened.
                    if agent.proc.poll() is None:
                        self.agentctl("quit")
                        if agent.wait(15) is None:
                            agent.stop()
                    self.agentctl("release")


class TwoStarts(AgentTest):
    def test_of_two_starts_at_the_same_moment_one_runs_on_and_the_other_ends_with_2(self):
        starts = [self.start("PtrAgent.exe"), self.start("PtrAgent.exe")]
        self.agents.extend(starts)
        ended = wait_until(lambda: [agent for agent in starts if agent.proc.poll() is not None], timeout=30)
        self.assertEqual(len(ended), 1, [agent.lines for agent in starts])
        loser = ended[0]
        winner = starts[1] if loser is starts[0] else starts[0]
        self.assertEqual(loser.wait(), 2, loser.lines)
        self.assertIn("PtrAgent: already running", loser.lines)
        self.assertFalse([line for line in loser.lines if "InstallHook" in line or "block filled" in line])

        winner.expect(f"PtrAgent: hooks held 0x{XP_HOOKS:X}")
        self.assertIsNone(winner.proc.poll(), "the other runs on")
        hooks = self.blockctl()
        self.assertEqual(self.field(hooks, "AgentWindow"), self.agent_windows()["main"])
        self.assertEqual(self.quit_agent(winner), 0, winner.lines)
        self.assertEqual(self.agentctl("wait-gone", 5000), (0, "GONE"), "there was only one")


class FatalStart(AgentTest):
    def start_copy(self, library):
        """PtrAgent.exe alone in a folder of its own, with a PTRHK32A.dll copied from library (or none)."""
        folder = tempfile.mkdtemp(prefix="ptragent-")
        self.addCleanup(shutil.rmtree, folder, True)
        shutil.copy(self.exe("PtrAgent.exe"), folder)
        if library:
            shutil.copy(self.exe(library), os.path.join(folder, "PTRHK32A.dll"))
        agent = self.started(Program(os.path.join(folder, "PtrAgent.exe"), [], False))
        self.agents.append(agent)
        self.addCleanup(self.end_agent, agent)
        return agent

    def test_a_start_without_its_library_is_told_in_a_message_box(self):
        cases = [
            ("no library", None, "PtrAgent: Cannot load ", "Cannot load Z:"),
            ("a library without the exports", "agentctl.exe", "PtrAgent: PTRHK32A.dll has no export InstallHook",
             "PTRHK32A.dll has no export InstallHook"),
        ]
        for case, library, line, text in cases:
            with self.subTest(case):
                agent = self.start_copy(library)
                self.assertTrue(wait_until(lambda: self.agentctl("msgbox")[0] == 0 or agent.proc.poll() is not None,
                                           timeout=30), agent.lines)
                self.assertIsNone(agent.proc.poll(), f"ended without a message box: {agent.lines}")
                self.assertIn(line, "\n".join(agent.lines))
                values = dict(item.split("=", 1) for item in self.agentctl("msgbox")[1].splitlines())
                self.assertTrue(values["TEXT"].startswith(text), values)
                self.assertIsNone(agent.proc.poll(), "the message box waits for the user")
                self.click_centre(LEFT, [int(v) for v in values["BUTTON"].split(",")])
                self.assertEqual(agent.wait(20), 1, agent.lines)
                self.assertNotEqual(self.agentctl("msgbox")[0], 0, "the message box is gone")


class TrayIcon(AgentTest):
    def test_the_icon_comes_back_when_the_taskbar_is_created_and_goes_at_the_end(self):
        agent = self.start_agent()
        self.assertEqual(self.agentctl("icon"), (0, "ICON=1"))
        # A shell that restarts has lost the icon, and says so with "TaskbarCreated".
        self.assertEqual(self.agentctl("forget-icon"), (0, "FORGOTTEN=1"))
        self.assertEqual(self.agentctl("icon"), (0, "ICON=0"))
        self.post("TaskbarCreated")
        self.assertTrue(wait_until(lambda: self.agentctl("icon") == (0, "ICON=1")))
        # The same message while the icon is there: the agent knows it still has it ...
        self.post("TaskbarCreated")
        main = self.agent_windows()["main"]
        # ... and so takes it away at its end.
        self.assertEqual(self.quit_agent(agent), 0, agent.lines)
        self.assertEqual(self.agentctl("icon", main), (0, "ICON=0"))
        self.assertEqual(agent.lines.count("PtrAgent: taskbar created, tray icon shown"), 2, agent.lines)


MARK_SELF_EXTRA = 0x00040000


class EndsWithoutTheHooks(AgentTest):
    def said(self, agent, *lines):
        """Waits until the agent has said each line, in whatever order."""
        for line in lines:
            self.assertTrue(wait_until(lambda: line in agent.lines), (line, agent.lines))

    def start_scrolling(self):
        agent = self.start_agent()
        hooks = self.blockctl()
        self.configure(hooks, ButtonFunction0=AUTO_SCROLL)
        sample = self.sample()
        self.other_window()
        downs = self.start_auto_scroll(agent, sample)
        return agent, hooks, sample, downs

    def test_auto_scroll_ends_when_its_window_loses_the_capture(self):
        agent, hooks, sample, downs = self.start_scrolling()
        # What the system sends a window whose thread must give up the capture.
        self.assertEqual(self.agentctl("sendto", "PtrHkAutoScroll", WM_CANCELMODE, 0, 0), (0, "RESULT=0"))
        self.assert_auto_scroll_stopped()
        # The agent ends its side, and the hooks' own auto scroll ends too
        # (the two lines in either order), and the middle button is up.
        self.said(agent, "PtrAgent: auto scroll ended here: the capture is lost", "PtrAgent: auto scroll ended")
        self.assertTrue(wait_until(lambda: self.keys()["mbutton"] == 0), self.keys())
        self.assertEqual(self.hooks_held(), XP_HOOKS)
        self.assertEqual([m for m in sample.messages("list") if m[1] == "WM_MBUTTONUP"], [],
                         "the release that ends it reaches no program")

    def test_auto_scroll_ends_when_the_hooks_are_removed(self):
        agent, hooks, sample, downs = self.start_scrolling()
        self.assertEqual(hooks.ask("install 0", "InstallHook(0)="), "InstallHook(0)=1")
        self.assert_auto_scroll_stopped()
        agent.expect("PtrAgent: auto scroll ended here: the hooks are gone")
        self.assertTrue(wait_until(lambda: self.keys()["mbutton"] == 0), self.keys())

    def test_auto_scroll_ends_on_esc(self):
        agent, hooks, sample, downs = self.start_scrolling()
        self.xdo("key", "Escape")
        self.assert_auto_scroll_stopped()
        self.said(agent, "PtrAgent: auto scroll ended here: Esc", "PtrAgent: auto scroll ended")
        self.assertTrue(wait_until(lambda: self.keys()["mbutton"] == 0), self.keys())

    # Removing the hooks ends zoom from the library's side (it tells the
    # agent), so only Esc is the agent's own affair here.
    def test_the_magnifier_hides_on_esc(self):
        agent = self.start_agent()
        hooks = self.blockctl()
        self.configure(hooks, ButtonFunction0=UNIVERSAL_ZOOM)
        sample = self.sample()
        self.other_window()
        self.click(MIDDLE, *sample.center("pad"))
        agent.expect("PtrAgent: zoom started")
        self.assertTrue(wait_until(lambda: self.window_info("PtrHkZoom")["visible"]))
        width = self.field(hooks, "ZoomTargetWidth")
        self.xdo("key", "Escape")
        self.assertTrue(wait_until(lambda: not self.window_info("PtrHkZoom")["visible"]))
        # The hooks' zoom ends with it: a notch no longer changes the factor,
        # and the next click is an ordinary click again.
        self.said(agent, "PtrAgent: zoom ended here: Esc", "PtrAgent: zoom ended")
        self.click(WHEEL_UP)
        self.click(LEFT)
        self.assertTrue(wait_until(lambda: sample.messages("pad", "WM_LBUTTONUP")), sample.read_log())
        self.assertEqual(len(sample.messages("pad", "WM_LBUTTONDOWN")), 1, "the click is not swallowed")
        self.assertEqual(self.field(hooks, "ZoomTargetWidth"), width)
        self.assertEqual([m for m in sample.messages("pad") if m[1] == "WM_MBUTTONDOWN" or m[4] == MARK_SELF_EXTRA],
                         [], "the marked click that ends zoom reaches no program")


if __name__ == "__main__":
    unittest.main(verbosity=2)
