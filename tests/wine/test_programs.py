"""Programs with settings of their own, under Wine: two copies of the sample
program under two file names, each with its own button 4 and wheel, real
buttons and wheel from the X server over them while a third program has the
focus; the tray agent reading the kept programs, keeping what the programs
block holds at an Apply, reading them again from its menu, and filling the
block again after a restart."""
import os
import unittest

from agent_support import LEFT, TRAY_CALLBACK, UM_SETTINGSCHANGED, WHEEL_DOWN, WM_RBUTTONUP, AgentTest
from function_codes import AUTO_SCROLL, COPY, ENTER, F5
from harness import Sample, read_text, wait_until

X_BUTTON_1 = 8
VK_RETURN, VK_CONTROL, VK_C, VK_F5 = 0x0D, 0x11, 0x43, 0x74
SB_LINEDOWN, SB_ENDSCROLL = 1, 8

ENTER_KEYS = [("WM_KEYDOWN", VK_RETURN), ("WM_KEYUP", VK_RETURN)]
COPY_KEYS = [("WM_KEYDOWN", VK_CONTROL), ("WM_KEYDOWN", VK_C), ("WM_KEYUP", VK_C), ("WM_KEYUP", VK_CONTROL)]
F5_KEYS = [("WM_KEYDOWN", VK_F5), ("WM_KEYUP", VK_F5)]


class ProgramsTest(AgentTest):

    def two_programs(self):
        """alpha.exe above, beta.exe below it (their lists never covered by the
        other), and another program with the focus; returns (alpha, beta, other)."""
        alpha = self.sample_as("alpha", 0, 0)
        beta = self.sample_as("beta", 0, 690)
        self.other_window(700, 40)
        other = Sample(None, self.folder)
        other.log_path = os.path.join(self.folder, "other.log")
        for sample in (alpha, beta):
            main = sample.windows["main"]["hwnd"]
            self.assertTrue(wait_until(lambda: sample.state().get("focus") == "other"
                                       and sample.state().get("foreground", main) != main), sample.state())
        return alpha, beta, other

    @staticmethod
    def typed(sample, window):
        return [(m[1], m[2]) for m in sample.messages(window) if m[1] in ("WM_KEYDOWN", "WM_KEYUP")]

    def press_button_4(self, sample, window, expected):
        """A real click of X button 1 over the window; waits for its keys."""
        before = len(self.typed(sample, window))
        left, top, right, bottom = sample.windows[window]["rect"] if window in sample.windows else (0, 0, 0, 0)
        self.click(X_BUTTON_1, (left + right) // 2, (top + bottom) // 2)
        self.assertTrue(wait_until(lambda: len(self.typed(sample, window)) - before >= len(expected), 20),
                        self.typed(sample, window)[before:])
        self.assertEqual(self.typed(sample, window)[before:], expected)

    def notch_down(self, sample):
        """A real notch down over the sample's list box; waits until the list
        took it, and returns what it received."""
        sample.clear_log()
        self.move(*sample.center("list"))
        self.xdo("click", WHEEL_DOWN)
        took = lambda: (sample.messages("list", "WM_MOUSEWHEEL")
                        or SB_ENDSCROLL in [m[2] & 0xFFFF for m in sample.messages("list", "WM_VSCROLL")])
        self.assertTrue(wait_until(took, 20), sample.read_log())
        # The scroll code of WM_VSCROLL, the signed delta of WM_MOUSEWHEEL.
        return [(m[1], m[2] & 0xFFFF if m[1] == "WM_VSCROLL" else ((m[2] >> 16) ^ 0x8000) - 0x8000)
                for m in sample.messages("list") if m[1] in ("WM_MOUSEWHEEL", "WM_VSCROLL")]

    def assert_routed(self, received, lines):
        self.assertEqual(received, [("WM_VSCROLL", SB_LINEDOWN)] * lines + [("WM_VSCROLL", SB_ENDSCROLL)])

    def reload_from_the_menu(self, agent):
        """The tray menu as the shell opens it, and a real click on "Reload settings"."""
        seen = len(agent.lines)
        self.post(TRAY_CALLBACK, 0, WM_RBUTTONUP)
        told = agent.expect("PtrAgent: menu items ", timeout=30)
        items = [[int(v) for v in item.split("=")[1].split(",")] for item in told.split()[3:]]
        left, top, right, bottom = (int(v) for v in self.agentctl_values("menu")["rect"].split(","))
        # The items' places within the menu (the agent's numbers may be
        # offset), and the menu's border the same above and below them.
        border = ((bottom - top) - (items[-1][3] - items[0][1])) // 2
        reload_top, reload_bottom = (top + border + y - items[0][1] for y in (items[1][1], items[1][3]))
        self.click(LEFT, (left + right) // 2, (reload_top + reload_bottom) // 2)
        self.assertTrue(wait_until(lambda: "PtrAgent: settings reloaded" in agent.lines[seen:], 30), agent.lines[seen:])


class TwoPrograms(ProgramsTest):
    def test_each_program_runs_its_own_button_4_and_takes_its_own_wheel(self):
        self.keep({
            "Agent": {"ButtonCount": 5, "ButtonFunction1": F5, "EnhanceMode": -1, "WheelLines": 3},
            r"Programs\alpha.exe": {"ButtonFunction1": ENTER, "EnhanceMode": 0},
            r"Programs\BETA.EXE": {"ButtonFunction1": COPY, "WheelLines": 5},
        })
        agent = self.start_agent()
        self.assertIn(f"PtrAgent: programs 2: alpha.exe(EnhanceMode=0 ButtonFunction1={ENTER}) "
                      f"BETA.EXE(WheelLines=5 ButtonFunction1={COPY})", agent.lines)
        alpha, beta, other = self.two_programs()

        # The wheel message goes to the focus, another program: there the hook
        # names the program under the cursor. alpha takes the system's wheel,
        # which Wine hands to the list under the cursor; beta is scrolled by
        # the suite, by its own 5 lines.
        self.assertEqual(self.notch_down(alpha), [("WM_MOUSEWHEEL", -120)],
                         "alpha: the system's own wheel message, nothing routed")
        self.assert_routed(self.notch_down(beta), 5)
        self.assertTrue(wait_until(lambda: beta.state().get("list_top") == 5), beta.state())
        # And again, now that each is known to the focus's process.
        self.assertEqual(self.notch_down(alpha), [("WM_MOUSEWHEEL", -120)])
        self.assert_routed(self.notch_down(beta), 5)

        # Button 4 over each program runs that program's function; over the
        # program without settings of its own, the block's.
        self.press_button_4(alpha, "list", ENTER_KEYS)
        self.press_button_4(beta, "list", COPY_KEYS)
        self.press_button_4(alpha, "list", ENTER_KEYS)
        other_edit = self.other_edit_rect()
        before = len(self.typed(other, "pad"))
        self.click(X_BUTTON_1, (other_edit[0] + other_edit[2]) // 2, (other_edit[1] + other_edit[3]) // 2)
        self.assertTrue(wait_until(lambda: self.typed(other, "pad")[before:] == F5_KEYS, 20),
                        self.typed(other, "pad")[before:])
        self.assertEqual(self.typed(alpha, "list").count(("WM_KEYDOWN", VK_C)), 0, "alpha never copied")

    def other_edit_rect(self):
        for line in read_text(os.path.join(self.folder, "other.log")).splitlines():
            if line.startswith("WINDOW pad "):
                return [int(v) for v in line.split()[3].split("=")[1].split(",")]
        self.fail("the other window logged no edit")


class KeptPrograms(ProgramsTest):
    def test_settings_given_in_the_block_are_kept_at_an_apply_and_come_back_after_a_restart(self):
        agent = self.start_agent()
        self.assertIn("PtrAgent: programs 0: ", agent.lines)
        hooks = self.blockctl()
        self.assertEqual(self.programs_block(hooks)[0], {})
        alpha = self.sample_as("alpha", 0, 0)
        self.other_window(700, 40)
        self.assert_routed(self.notch_down(alpha), 3)

        # Written into the live block, as the settings program does: the next
        # notch takes it, though nothing is kept yet.
        hooks.ask(f"program alpha.exe WheelLines=6 ButtonFunction2={AUTO_SCROLL}", "OK")
        self.assert_routed(self.notch_down(alpha), 6)
        self.assertEqual(self.kept_programs(), {})

        self.post(UM_SETTINGSCHANGED)
        agent.expect("PtrAgent: settings saved")
        self.assertEqual(self.kept_programs(), {"alpha.exe": {"WheelLines": 6, "ButtonFunction2": AUTO_SCROLL}})
        programs, generation = self.programs_block(hooks)

        # The agent ends; the running programs still hold the block, and the
        # next agent fills it again from what it kept.
        self.assertEqual(self.quit_agent(agent), 0, agent.lines)
        hooks.ask("program alpha.exe WheelLines=2", "OK")  # not applied: lost at the restart
        again = self.start_agent()
        self.assertIn(f"PtrAgent: programs 1: alpha.exe(WheelLines=6 ButtonFunction2={AUTO_SCROLL})", again.lines)
        after, later = self.programs_block(hooks)
        self.assertEqual(after, programs)
        self.assertGreater(later, generation, "the same block, written again")
        self.assert_routed(self.notch_down(alpha), 6)

    def test_programs_kept_while_the_agent_runs_come_in_with_reload_or_an_apply(self):
        agent = self.start_agent()
        hooks = self.blockctl()
        alpha = self.sample_as("alpha", 0, 0)
        self.other_window(700, 40)

        # Kept by someone else while the agent runs: not in effect yet.
        self.keep({r"Programs\alpha.exe": {"WheelLines": 7}})
        self.assert_routed(self.notch_down(alpha), 3)
        self.reload_from_the_menu(agent)
        self.assertEqual(self.programs_block(hooks)[0], {"alpha.exe": {"WheelLines": 7}})
        self.assert_routed(self.notch_down(alpha), 7)

        # An Apply keeps the block and takes in what was kept meanwhile.
        hooks.ask("program beta.exe WheelPageScroll=-1", "OK")
        self.keep({r"Programs\gamma.exe": {"EnhanceMode": 0}})
        self.post(UM_SETTINGSCHANGED)
        agent.expect("PtrAgent: settings saved")
        expected = {"alpha.exe": {"WheelLines": 7}, "beta.exe": {"WheelPageScroll": -1},
                    "gamma.exe": {"EnhanceMode": 0}}
        self.assertEqual(self.kept_programs(), expected)
        self.assertEqual(self.programs_block(hooks)[0], expected)

    def test_a_writer_killed_in_the_middle_leaves_nothing_torn_kept(self):
        self.keep({r"Programs\alpha.exe": {"WheelLines": 7}})
        agent = self.start_agent()
        hooks = self.blockctl()
        # Another writer (as the settings program would) dies half way through
        # a change, holding the programs lock.
        writer = self.blockctl()
        writer.ask("tear", "TORN")
        writer.stop()

        # An Apply: nothing of the torn block is kept, and the block is whole
        # again, as kept.
        self.post(UM_SETTINGSCHANGED)
        agent.expect("PtrAgent: programs block torn: the kept programs stay and fill it again")
        agent.expect("PtrAgent: settings saved")
        self.assertEqual(self.kept_programs(), {"alpha.exe": {"WheelLines": 7}})
        programs, generation = self.programs_block(hooks)
        self.assertEqual(programs, {"alpha.exe": {"WheelLines": 7}})
        self.assertEqual(generation % 2, 0, "no change left open")
        # The lock the dead writer left is taken by the next.
        hooks.ask("program beta.exe WheelLines=3", "OK")
        self.post(UM_SETTINGSCHANGED)
        agent.expect("PtrAgent: settings saved")
        self.assertEqual(self.kept_programs(), {"alpha.exe": {"WheelLines": 7}, "beta.exe": {"WheelLines": 3}})

    def test_more_than_64_programs_are_refused_with_a_notice(self):
        self.keep({rf"Programs\p{i:02d}.exe": {"WheelLines": 1 + i % 10} for i in range(66)})
        agent = self.start_agent()
        self.assertTrue([line for line in agent.lines if line.startswith("PtrAgent: programs 64: p00.exe(")],
                        agent.lines)
        refused = [line for line in agent.lines if line.startswith("PtrAgent: programs refused: ")]
        self.assertEqual(len(refused), 1, agent.lines)
        self.assertIn("At most 64 programs", refused[0])
        self.assertIn("p64.exe, p65.exe", refused[0])
        hooks = self.blockctl()
        programs = self.programs_block(hooks)[0]
        self.assertEqual(len(programs), 64)
        self.assertNotIn("p64.exe", programs)
        self.assertEqual(len(self.kept_programs()), 66, "the refused ones stay kept")


if __name__ == "__main__":
    unittest.main(verbosity=2)
