"""What the tray agent's tests under Wine share: the agent and the tools that
talk to it (agentctl, blockctl), and a clean desktop before and after every
test: no agent left over, no key or button held down, no kept configuration,
hooks removed and programs ended even when a test fails."""
import os
import sys

from function_codes import SHIFT_LOCK
from harness import WineTest, read_text, reg_query, run_windows, wait_until, wine_env, winpath


UM_SETTINGSCHANGED = 2025
UM_MODESTATE = 2126
UM_MODEEND = 2127
WM_CLOSE = 0x0010
WM_ENDSESSION = 0x0016
WM_CANCELMODE = 0x001F
TRAY_CALLBACK = 0x8001  # WM_APP + 1, the tray icon's notifications
WM_RBUTTONUP = 0x0205

PRODUCT_NAME = "PTRHK32A Mouse"
LEFT, MIDDLE, WHEEL_UP, WHEEL_DOWN = 1, 2, 4, 5
SB_LINEDOWN, SB_ENDSCROLL = 1, 8


# GetHookStatus bits
HOOK_MOUSE, HOOK_MSGFILTER, HOOK_XBUTTON = 0x1, 0x2, 0x8
XP_HOOKS = HOOK_MOUSE | HOOK_MSGFILTER | HOOK_XBUTTON


class AgentTest(WineTest):
    """Each test starts with no agent, nothing held down and no kept configuration."""

    def setUp(self):
        super().setUp()
        self.agents = []
        # Last of all: hooks a killed agent left behind go, and nothing stays held.
        self.addCleanup(self.agentctl, "release")
        # An agent left by an earlier run that failed would answer for this one.
        if self.agentctl("windows")[0] == 0:
            self.agentctl("quit")
            self.assertEqual(self.agentctl("wait-gone", 10000), (0, "GONE"), "an agent of an earlier run stays")
        self.agentctl("release")
        # After the agents have ended (they keep the configuration as they go),
        # what they kept goes too: the next test file starts without it.
        self.forget_configuration()
        self.addCleanup(self.forget_configuration)

    def forget_configuration(self):
        run_windows(["reg", "delete", r"HKCU\Software\PTRHK32A", "/f"])

    # The agent and the tools around it.

    def start_agent(self):
        agent = self.start("PtrAgent.exe")
        self.agents.append(agent)
        # Before it is killed: a clean end removes the hooks and lets go of what a mode holds.
        self.addCleanup(self.end_agent, agent)
        agent.expect("PtrAgent: InstallHook(1) =", timeout=30)
        return agent

    def start_shift_lock(self):
        """The agent, the hook tool, the sample behind another program, and Shift
        Lock started by a real middle click over the pad; returns (agent, hooks, sample)."""
        agent = self.start_agent()
        hooks = self.blockctl()
        self.configure(hooks, ButtonFunction0=SHIFT_LOCK)
        sample = self.sample()
        self.other_window()
        self.click(MIDDLE, *sample.center("pad"))
        agent.expect(f"PtrAgent: mode {SHIFT_LOCK}: Shift Locked")
        return agent, hooks, sample

    def end_agent(self, agent):
        if agent.proc.poll() is None:
            self.agentctl("quit")
            agent.wait(15)

    def agentctl(self, *args):
        """Runs agentctl; returns its exit code and its output."""
        result = run_windows([self.exe("agentctl.exe"), *args])
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

    def keys(self):
        """Which of Shift, Control, Alt and the left and middle buttons are logically down."""
        return {name: int(value) for name, value in self.agentctl_values("keys").items()}

    def hooks_held(self):
        return int(self.agentctl_values("hooks")["HOOKS"])

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

    def keep(self, keys):
        """Kept values below HKCU\\Software\\PTRHK32A, as {"Agent": {"WheelLines": 5},
        "Programs\\alpha.exe": {...}}: DWORD values, all in one import."""
        lines = ["REGEDIT4", ""]
        for key, values in keys.items():
            lines.append(f"[HKEY_CURRENT_USER\\Software\\PTRHK32A\\{key}]")
            lines += [f'"{name}"=dword:{value & 0xFFFFFFFF:08x}' for name, value in values.items()]
            lines.append("")
        path = os.path.join(self.folder, "kept.reg")
        with open(path, "w", newline="\r\n") as f:
            f.write("\n".join(lines) + "\n")
        result = run_windows(["reg", "import", winpath(path)])
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def kept_programs(self):
        """The programs kept in the registry: {name: {field: value}}."""
        programs, current = {}, None
        for line in (reg_query(r"HKCU\Software\PTRHK32A\Programs", "/s") or "").splitlines():
            if line.startswith("HKEY_") and "\\Programs\\" in line:
                current = programs.setdefault(line.rsplit("\\", 1)[1], {})
            elif current is not None and "REG_DWORD" in line:
                name, _, value = line.split(None, 2)
                value = int(value, 16)
                current[name] = value - (1 << 32) if value & 0x80000000 else value
        return programs

    def programs_block(self, hooks):
        """The programs block as the hooks see it: ({name: {field: value}}, generation), or None."""
        hooks.send("programs")
        first = hooks.expect("PROGRAMS")
        if first == "PROGRAMS none":
            return None
        head = dict(item.split("=") for item in first.split()[1:])
        self.assertEqual(head["layout"], "1", first)
        programs = {}
        for _ in range(int(head["count"])):
            parts = hooks.expect("PROGRAM ").split()
            programs[parts[1]] = {k: int(v) for k, v in (item.split("=") for item in parts[2:])}
        hooks.expect("OK")
        return programs, int(head["generation"])

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

    def click_centre(self, button, rect):
        left, top, right, bottom = rect
        self.click(button, (left + right) // 2, (top + bottom) // 2)

    # Auto scroll, which the hooks start at a middle click.

    def start_auto_scroll(self, agent, sample, hold=False):
        """Starts auto scroll with a middle click over the sample's list box
        and waits until it scrolls the list down. With hold, the button goes
        up only once auto scroll has started (a slow click); either way the
        click's release must not end it. Returns a function that gives the
        list's WM_VSCROLL codes so far."""
        autoscroll = self.agent_windows()["autoscroll"]
        x, y = sample.center("list")
        downs = lambda: [m[2] & 0xFFFF for m in sample.messages("list", "WM_VSCROLL")]
        self.move(x, y)
        seen = len(agent.lines)
        if hold:
            self.press(MIDDLE)
            agent.expect("PtrAgent: auto scroll started")
            self.release(MIDDLE)
        else:
            self.click(MIDDLE)
            agent.expect("PtrAgent: auto scroll started")
        ended = lambda: "PtrAgent: auto scroll ended" in agent.lines[seen:]
        running = lambda: self.agentctl_values("capture") == {
            "capture": str(autoscroll), "active": str(autoscroll), "foreground": str(autoscroll)}
        self.assertTrue(wait_until(lambda: ended() or running()), self.agentctl_values("capture"))
        self.assertFalse(ended(), f"the click's release ended auto scroll: {agent.lines[seen:]}")
        # The auto-scroll window lies under the cursor, holds the capture and the foreground.
        info = self.window_info("PtrHkAutoScroll")
        self.assertTrue(info["visible"])
        left, top, right, bottom = info["rect"]
        self.assertTrue(left <= x < right and top <= y < bottom, (info, x, y))
        self.assertEqual([m for m in sample.messages("list") if m[1].startswith("WM_MBUTTON")], [],
                         "neither the press nor its release reaches the list box")
        # Below the anchor: the list scrolls down, line by line.
        self.move(x, y + 40)
        self.assertTrue(wait_until(lambda: ended() or downs().count(SB_LINEDOWN) >= 6, timeout=20), downs())
        self.assertFalse(ended(), "only a click ends it")
        return downs

    def assert_auto_scroll_stopped(self):
        """The auto-scroll window is hidden and holds no capture."""
        self.assertTrue(wait_until(lambda: not self.window_info("PtrHkAutoScroll")["visible"]),
                        "the auto-scroll window is hidden")
        self.assertTrue(wait_until(lambda: self.agentctl_values("capture")["capture"] == "0"),
                        f"the hidden window keeps no capture: {self.agentctl_values('capture')}")
