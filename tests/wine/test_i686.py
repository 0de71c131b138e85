"""The i686 deliverables as a user has them, run for real: 32-bit processes
(i386 code under qemu's user-mode emulation, on the same wine server and
desktop as the 64-bit programs), with real input from the X server. On
Wine's 64-bit prefix the i686 agent finds itself on 64-bit Windows and
starts its 64-bit host (PtrAgent64.exe with PTRHK64A.dll, which the win32
preset puts beside the deliverables, as Setup does): the 64-bit edition.

Wine calls a 32-bit program's hooks only for 32-bit programs and a 64-bit
program's only for 64-bit ones, in the thread that takes the message: each
case has the window under the cursor and the window that has the focus of
the same bitness, so that only that bitness's library can act, and Wine's
own 3 lines a notch tell a case without the suite. A 32-bit start takes
seconds, so the cases are few and each does much."""
import os
import shutil
import unittest

import test_install
import uninst_support
from agent_support import AgentTest
from function_codes import AUTO_SCROLL, COPY, ENTER, SHIFT_LOCK, SYSTEM_DEFAULT, SYSTEM_HELP
from harness import BIN, Program, Sample, run_windows, winpath, wait_until
from settingharness import ID, SettingTest
from uninst_support import INSTALLED_FILES, per_user_target, reg, reg_value

BIN32 = os.environ.get("PTR_BIN32", "")
TOOLS32 = os.environ.get("PTR_TOOLS32", "")
# A 32-bit program starts in a few seconds, slower while the machine is busy.
START_TIMEOUT = 120.0

MIDDLE, WHEEL_DOWN, BUTTON4 = 2, 5, 8
VK_CONTROL, VK_C = 0x11, 0x43
WINE_LINES_PER_NOTCH = 3
AGENT_KEY = r"HKCU\Software\PTRHK32A\Agent"


def host_process():
    """The running 64-bit host's process id, or None."""
    result = run_windows([os.path.join(BIN, "agentctl.exe"), "host"])
    return int(result.stdout.strip().split("=")[1]) if result.returncode == 0 else None


def need_i686(test):
    if not (BIN32 and os.path.exists(os.path.join(BIN32, "PtrAgent.exe"))
            and os.path.exists(os.path.join(TOOLS32, "sampleapp.exe"))):
        test.skipTest("PTR_BIN32 and PTR_TOOLS32 name the i686 build (the win32 preset)")


class I686Desktop(AgentTest):
    """The i686 tray agent from the build's bin folder, as installed, and
    i686 programs around it."""

    def setUp(self):
        super().setUp()
        need_i686(self)

    def start_agent32(self):
        agent = self.started(Program(os.path.join(BIN32, "PtrAgent.exe"), [], False))
        self.agents.append(agent)
        self.addCleanup(self.end_agent, agent)
        agent.expect("PtrAgent: InstallHook(1) =", timeout=START_TIMEOUT)
        agent.expect("PtrAgent: hooks held ")
        return agent

    def host_process(self):
        return host_process()

    def sample32(self):
        sample = Sample(None, self.folder)
        sample.program = self.started(Program(os.path.join(TOOLS32, "sampleapp.exe"),
                                              ["--log", winpath(sample.log_path), "--state",
                                               winpath(sample.state_path)], False))
        sample.wait_ready(timeout=START_TIMEOUT)
        return sample

    def other32(self, x=700, y=760):
        log = os.path.join(self.folder, "other32.log")
        program = self.started(Program(os.path.join(TOOLS32, "sampleapp.exe"),
                                       ["--other", "--at", str(x), str(y), "--log", winpath(log)], False))
        self.wait_ready_line(program, log, START_TIMEOUT)

    def tool32(self, name):
        """An i686 test tool beside the i686 hook library, which it loads."""
        folder = os.path.join(self.folder, "tools32")
        if not os.path.isdir(folder):
            os.makedirs(folder)
            shutil.copy(os.path.join(BIN32, "PTRHK32A.dll"), folder)
        shutil.copy(os.path.join(TOOLS32, name), folder)
        program = self.started(Program(os.path.join(folder, name), [], True))
        program.expect("READY", timeout=START_TIMEOUT)
        return program

    def tool64(self, name):
        program = self.start(name, stdin=True)
        program.expect("READY", timeout=START_TIMEOUT)
        return program

    def list_top(self, sample, value):
        self.assertTrue(wait_until(lambda: sample.state().get("list_top") == value, 30), sample.state())


class MixedDesktop(I686Desktop):
    """The 64-bit edition: a 32-bit and a 64-bit sample program side by side,
    neither of them focused, served by the i686 agent and its 64-bit host.

    Wine, unlike Windows, ends a hook chain at a hook whose library it cannot
    load into the process (the other bitness's): whichever of a 32-bit and a
    64-bit global mouse hook went in last serves its programs, and the
    programs of the other bitness get no hook at all. The host's hooks go in
    after the agent's. For the 32-bit programs' cases a 32-bit tool's copy of
    the i686 library installs its hooks after them; a killed host, started
    again, puts its hooks last once more."""

    def notch(self, sample, top):
        self.move(*sample.center("list"))
        self.xdo("click", WHEEL_DOWN)
        self.list_top(sample, top)

    def copied(self, sample):
        chord = [("WM_KEYDOWN", VK_CONTROL), ("WM_KEYDOWN", VK_C), ("WM_KEYUP", VK_C), ("WM_KEYUP", VK_CONTROL)]
        keys = lambda: [(m[1], m[2]) for m in sample.messages("pad") if m[1] in ("WM_KEYDOWN", "WM_KEYUP")]
        self.assertTrue(wait_until(lambda: keys() == chord, 30), sample.read_log())

    def test_the_i686_agent_and_its_64_bit_host_serve_32_and_64_bit_programs_as_one_suite(self):
        # Button 4 runs nothing of the suite's everywhere; viewer64.exe, a
        # 64-bit program, copies with it.
        self.keep({"Agent": {"EnhanceMode": -1, "WheelCount": 1, "WheelLines": 5, "WheelPageScroll": 0,
                             "ButtonCount": 5, "ButtonFunction0": COPY, "ButtonFunction1": SYSTEM_DEFAULT},
                   "Programs\\viewer64.exe": {"ButtonFunction1": COPY}})
        agent = self.start_agent32()
        self.assertIn("PtrAgent: hooks held 0xB, needed 0xB", agent.lines, "the XP hooks of a 32-bit agent")
        # The host's library holds no low-level hook: those stay with the agent.
        agent.expect("PtrAgent: 64-bit host's hooks held 0x3", timeout=START_TIMEOUT)
        sample = self.sample32()
        viewer = self.sample_as("viewer64", 600, 300)

        # The 64-bit program, the focus in another 64-bit one: only the host's
        # library can scroll it 5 lines, not Wine's own 3; button 4, which the
        # agent's low-level hook turns into a middle button, runs
        # viewer64.exe's own Copy.
        self.other_window(1000, 900)
        self.notch(viewer, 5)
        self.click(BUTTON4, *viewer.center("pad"))
        self.copied(viewer)

        # The 32-bit program, the focus in another 32-bit one: 5 lines a
        # notch, and the middle button copies.
        hooks = self.tool32("blockctl.exe")
        self.addCleanup(self.remove_hooks, hooks)
        self.assertNotEqual(hooks.ask("install 1", "InstallHook(1)="), "InstallHook(1)=0")
        self.other32(1010, 10)
        self.notch(sample, 5)
        self.click(MIDDLE, *sample.center("pad"))
        self.copied(sample)

        # A mode started over the 32-bit program goes on and ends over the
        # 64-bit one: Shift Lock from a middle click over the 32-bit pad...
        self.configure(hooks, ButtonFunction0=SHIFT_LOCK)
        x, y = sample.center("pad")
        self.click(MIDDLE, x + 40, y + 40)  # away from the first click: no double click
        agent.expect(f"PtrAgent: mode {SHIFT_LOCK}: Shift Locked", timeout=30)
        self.assertTrue(wait_until(lambda: self.keys()["shift"] == 1), self.keys())

        # ... a host that dies is started again (its hooks last again) ...
        killed = self.host_process()
        self.assertEqual(self.agentctl("kill-host")[0], 0)
        agent.expect("PtrAgent: 64-bit host ended unexpectedly (exit code 9), starting it again", timeout=30)
        agent.expect("PtrAgent: 64-bit host's hooks held 0x3", timeout=START_TIMEOUT)
        self.assertNotIn(self.host_process(), (None, killed))

        # ... and a click into viewer64.exe, which only the 64-bit library
        # sees, ends the lock; the host serves the 64-bit program again.
        self.click(1, *viewer.center("list"))
        agent.expect("PtrAgent: mode ended", timeout=30)
        self.assertTrue(wait_until(lambda: self.keys()["shift"] == 0), self.keys())
        self.notch(viewer, 10)

        # The agent's exit ends the host and removes every hook: the next
        # notches are Wine's own.
        self.remove_hooks(hooks)
        self.assertEqual(self.quit_agent(agent), 0, agent.lines)
        self.assertIn("PtrAgent: 64-bit host ended (exit code 0)", agent.lines)
        self.assertTrue([line for line in agent.lines if line.startswith("PtrAgent: InstallHook(0) = ")], agent.lines)
        self.assertIsNone(self.host_process())
        self.notch(viewer, 10 + WINE_LINES_PER_NOTCH)
        self.notch(sample, 5 + WINE_LINES_PER_NOTCH)


class Blocks(I686Desktop):
    def fields(self, tool):
        values = self.dump(tool)
        tool.lines.clear()
        return values

    def test_32_and_64_bit_readers_see_the_blocks_the_i686_agent_wrote_field_by_field(self):
        kept = {"EnhanceMode": -1, "WheelCount": 2, "WheelLines": 7, "HWheelLines": 4, "ButtonCount": 5,
                "ButtonFunction0": COPY, "ButtonFunction1": ENTER, "ButtonFunction2": AUTO_SCROLL, "UScrollVSpeed": 9,
                "ZoomTargetWidth": 96}
        self.keep({"Agent": kept, "Programs\\alpha.exe": {"ButtonFunction1": SYSTEM_HELP, "WheelLines": 2},
                   "Programs\\beta.exe": {"EnhanceMode": 0}})
        self.reg_string(AGENT_KEY, "WebAddress1", "www.example.org/32")
        agent = self.start_agent32()
        windows = self.agent_windows()

        readers = {"i686": (self.tool32("blockctl.exe"), self.tool32("settingctl.exe")),
                   "x86_64": (self.tool64("blockctl.exe"), self.tool64("settingctl.exe"))}
        seen = {}
        for bits, (hooks, ctl) in readers.items():
            seen[bits] = (self.fields(hooks), self.programs_block(hooks)[0], ctl.ask("app", "APP="))
        self.assertEqual(seen["i686"], seen["x86_64"])
        settings, programs, app = seen["i686"]
        self.assertEqual({name: settings[name] for name in kept}, kept)
        self.assertEqual(settings["AgentWindow"], windows["main"], agent.lines)
        self.assertEqual(programs["alpha.exe"]["ButtonFunction1"], 44)
        self.assertEqual(programs["alpha.exe"]["WheelLines"], 2)
        self.assertEqual(programs["beta.exe"]["EnhanceMode"], 0)
        slot = bytes.fromhex(app.split("=", 1)[1])[516 + 256:516 + 512]
        self.assertEqual(slot[1:1 + slot[0]], b"www.example.org/32")

    def reg_string(self, key, name, value):
        self.assertEqual(reg("add", key, "/v", name, "/d", value, "/f").returncode, 0)


class Picture(SettingTest):
    def test_the_i686_settings_program_draws_the_mouse_picture_as_the_x86_64_one_pixel_for_pixel(self):
        need_i686(self)
        pictures = {}
        for bits, folder in (("x86_64", os.environ["PTR_BIN"]), ("i686", BIN32)):
            for name in ("Setting.exe", "PTRHK32A.dll", "Setting.KRD"):
                shutil.copy(os.path.join(folder, name), self.app_folder)
            self.with_agent(ButtonCount=5, ButtonFunction0=COPY)
            program = self.open_form()
            image = self.state("MouseImage")["rect"]
            plain = self.settled_pixels(image)
            # The button tab lights button 3, read from the region-data file.
            self.click_tab(1)
            self.assertTrue(wait_until(lambda: self.focus() == str(ID["FunctionComboBox"])))
            self.assertTrue(wait_until(lambda: self.screen_pixels(image) != plain), f"{bits}: button 3 lights up")
            pictures[bits] = (plain, self.settled_pixels(image))
            self.close_box()
            self.wait_ended(program)
        self.assertTrue(pictures["i686"] == pictures["x86_64"], "the i686 program's pictures differ")


class Installation(uninst_support.UninstallTest):
    # The installation tests' own ways of looking, without their tests.
    trees = test_install.InstallTests.trees
    contents = test_install.InstallTests.contents
    snapshot = test_install.InstallTests.snapshot
    assert_as_before = test_install.InstallTests.assert_as_before
    agent_window = test_install.InstallTests.agent_window
    run_setup = test_install.InstallTests.run_setup

    def setUp(self):
        super().setUp()
        self.download = self.lone_setup()
        self.setup_exe = os.path.join(self.download, "PtrSetup.exe")

    def lone_setup(self):
        need_i686(self)
        folder = os.path.join(self.folder, "download")
        os.makedirs(folder, exist_ok=True)
        shutil.copy(os.path.join(BIN32, "PtrSetup.exe"), folder)
        return folder

    def test_the_i686_setup_installs_the_suite_with_its_64_bit_edition_that_keeps_an_apply_and_goes_whole(self):
        reg("delete", r"HKCU\Software\PTRHK32A", "/f")  # put back by the test's cleanup
        before = self.snapshot()
        code, output = self.run_setup("/S")
        self.assertEqual(code, 0, output)
        target = per_user_target()
        for name in INSTALLED_FILES:
            with open(os.path.join(target, name), "rb") as installed, open(os.path.join(BIN32, name), "rb") as built:
                self.assertTrue(installed.read() == built.read(), f"{name} is the i686 build's")
        self.assertTrue(wait_until(self.agent_window, START_TIMEOUT), "the installed agent runs")
        self.assertTrue(wait_until(lambda: host_process() is not None, START_TIMEOUT), "with its 64-bit host")

        # The installed settings program: one more line a notch, applied and kept.
        form = SettingsForm(self)
        program = self.started(Program(os.path.join(target, "Setting.exe"), [], False))
        form.wait_open(program)
        lines = 4  # one more than the agent's first-run value
        left, top, right, _ = form.state("WheelLineUpDown")["rect"]
        self.click(1, (left + right) // 2, top + 3)
        self.assertTrue(wait_until(lambda: form.field("WheelLines") == lines), form.field("WheelLines"))
        form.click("ApplyButton")
        self.assertTrue(wait_until(lambda: reg_value(AGENT_KEY, "WheelLines") == hex(lines), 30),
                        reg_value(AGENT_KEY, "WheelLines"))
        form.click("OkButton")
        self.assertEqual(program.wait(30), 0)

        self.quiet_uninstall(test_install.USER_UNINSTALL)
        self.assertTrue(wait_until(lambda: not self.agent_window(), 30, 0.3), "the tray agent still runs")
        self.assertIsNone(host_process(), "the 64-bit host still runs")
        self.assert_as_before(before)


class SettingsForm:
    """The settings form of an installed suite, read and clicked through
    settingctl, as the settings tests do."""

    def __init__(self, test):
        self.test = test
        self.ctl = test.start("settingctl.exe", stdin=True)
        self.ctl.expect("READY", timeout=START_TIMEOUT)

    def wait_open(self, program):
        live = lambda: self.ctl.ask("form", "FORM=").split()[1] == "LIVE=1"
        self.test.assertTrue(wait_until(lambda: live() or program.proc.poll() is not None, START_TIMEOUT)
                             and live(), f"no settings form; exit code {program.proc.poll()}")
        self.test.assertTrue(wait_until(lambda: self.state("OkButton")["visible"]), "the form is shown")

    def state(self, name):
        values = dict(item.split("=") for item in self.ctl.ask(f"state {ID[name]}", "STATE").split()[1:])
        return {"visible": values["visible"] == "1", "rect": tuple(int(v) for v in values["rect"].split(","))}

    def field(self, name):
        return int(self.ctl.ask(f"get {name}", f"{name}=").split("=", 1)[1])

    def click(self, name):
        left, top, right, bottom = self.state(name)["rect"]
        self.test.click(1, (left + right) // 2, (top + bottom) // 2)


if __name__ == "__main__":
    unittest.main(verbosity=2)
