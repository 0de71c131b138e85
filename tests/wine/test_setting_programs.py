"""The settings form's Programs tab under Wine, beside a stand-in tray agent
that has made the programs block: a program added by dragging the picker
onto its window with the real mouse, or by choosing its file in the real
file dialog; its buttons and wheel set or left "as everywhere", each change
in the live block at once; Cancel going back to the last Apply; removal; the
limit of 64 programs; and the German texts of the tab."""
import os
import shutil
import unittest

from function_codes import COPY, ENTER, HORIZONTAL_WHEEL
from harness import wait_until, winpath
from settingharness import ID, MODULES, SettingTest

AS_EVERYWHERE = -2147483648
LINES, PAGE = 0, 1


class ProgramsTab(SettingTest):

    def open_programs_tab(self, *programs, **fields):
        """The stand-in agent with a programs block holding the given
        programs ("NAME FIELD=VALUE ..."), the form open on the Programs tab."""
        self.with_agent(ButtonCount=5, **fields)
        self.assertEqual(self.ctl.ask("programsblock", "PROGRAMSBLOCK="), "PROGRAMSBLOCK=1")
        for program in programs:
            self.ctl.ask(f"program {program}", "OK")
        self.open_form()
        self.click_tab(2)
        self.assertTrue(wait_until(lambda: self.state("ProgramList")["visible"]), "the Programs tab shows")
        self.assertFalse(self.state("FunctionComboBox")["visible"])

    def live_programs(self):
        """The live programs block: {name: {field: value}}."""
        self.ctl.send("programs")
        head = self.ctl.expect("PROGRAMS")
        self.assertIn("layout=1", head)
        found = {}
        while True:
            line = self.ctl.expect("")
            if line == "OK":
                return found
            parts = line.split()
            found[parts[1]] = {k: int(v) for k, v in (item.split("=") for item in parts[2:])}

    def listed(self):
        """The list box's lines and the selected index."""
        self.ctl.send(f"lines {ID['ProgramList']}")
        names = []
        while True:
            line = self.ctl.expect("LINE")
            if line.startswith("LINES="):
                return names, int(line.split("SELECTED=")[1])
            names.append(line.split(" ", 2)[2])

    def chosen(self, name):
        return self.items(name)[1]

    def drag_picker_onto(self, x, y):
        """The real mouse: the picker pressed, dragged onto x, y, let go there."""
        self.move(*self.center("ProgramPicker"))
        self.press(1)
        for step in (1, 2, 3):
            px, py = self.center("ProgramPicker")
            self.move(px + (x - px) * step // 3, py + (y - py) * step // 3)
        self.release(1)

    def test_a_program_picked_with_the_mouse_gets_its_own_buttons_and_wheel_live_and_cancel_takes_them_back(self):
        alpha = self.sample_as("alpha", 0, 0)
        self.open_programs_tab("kept.exe WheelLines=4")
        self.assertEqual(self.listed(), (["kept.exe"], 0))
        self.assertEqual(self.chosen("ProgWheelSpeedBox"), LINES)
        self.assertEqual(self.updown("ProgWheelLineUpDown"), 4)
        self.assertFalse(self.apply_enabled())

        self.drag_picker_onto(*alpha.center("list"))
        self.assertTrue(wait_until(lambda: self.listed() == (["kept.exe", "alpha.exe"], 1)), self.listed())
        self.assertEqual(self.live_programs(), {"kept.exe": {"WheelLines": 4}, "alpha.exe": {}})
        self.assertTrue(self.apply_enabled())
        for box in ("ProgFun3Box", "ProgFun4Box", "ProgFun5Box", "ProgWheelModeBox", "ProgWheelSpeedBox"):
            self.assertEqual(self.chosen(box), AS_EVERYWHERE, box)
        self.assertFalse(self.state("ProgWheelLineEdit")["enabled"], "no lines of its own: nothing to type")

        # Each choice goes into the live block at once.
        steps = [
            ("ProgFun4Box", ENTER, {"ButtonFunction1": ENTER}),
            ("ProgWheelModeBox", 0, {"ButtonFunction1": ENTER, "EnhanceMode": 0}),
            ("ProgWheelSpeedBox", LINES, {"ButtonFunction1": ENTER, "EnhanceMode": 0, "WheelPageScroll": 0,
                                          "WheelLines": 3}),
            ("ProgWheelSpeedBox", PAGE, {"ButtonFunction1": ENTER, "EnhanceMode": 0, "WheelPageScroll": -1}),
            ("ProgFun4Box", AS_EVERYWHERE, {"EnhanceMode": 0, "WheelPageScroll": -1}),
            ("ProgWheelSpeedBox", LINES, {"EnhanceMode": 0, "WheelPageScroll": 0, "WheelLines": 3}),
        ]
        for box, value, expected in steps:
            self.select(box, value)
            self.assertEqual(self.live_programs()["alpha.exe"], expected, (box, value))
        self.set_text("ProgWheelLineEdit", "7")
        self.assertEqual(self.live_programs()["alpha.exe"], {"EnhanceMode": 0, "WheelPageScroll": 0, "WheelLines": 7})

        # Going back to the other program (a real click on its line) shows its own settings.
        left, top, _, _ = self.state("ProgramList")["rect"]
        self.click(1, left + 10, top + 7)
        self.assertTrue(wait_until(lambda: self.listed()[1] == 0))
        self.assertEqual((self.chosen("ProgWheelSpeedBox"), self.updown("ProgWheelLineUpDown")), (LINES, 4))
        self.assertEqual(self.chosen("ProgWheelModeBox"), AS_EVERYWHERE)

        self.click_control("CancelButton")
        self.assertTrue(wait_until(lambda: self.form()["LIVE"] == "0"))
        self.assertEqual(self.live_programs(), {"kept.exe": {"WheelLines": 4}}, "as the form found them")
        self.assertEqual(self.posts(), 0)

    def test_apply_keeps_what_cancel_goes_back_to_and_remove_takes_a_program_off(self):
        self.open_programs_tab(f"alpha.exe ButtonFunction0={COPY}", "beta.exe EnhanceMode=-1")
        self.select("ProgFun3Box", ENTER)
        self.click_control("ApplyButton")
        self.assertTrue(wait_until(lambda: self.posts() == 1))
        self.assertFalse(self.apply_enabled())

        self.click_control("ProgramRemoveButton")
        self.assertTrue(wait_until(lambda: self.listed() == (["beta.exe"], 0)), self.listed())
        self.assertEqual(self.live_programs(), {"beta.exe": {"EnhanceMode": -1}})
        self.assertEqual(self.chosen("ProgWheelModeBox"), -1)
        self.click_control("ProgramRemoveButton")
        self.assertTrue(wait_until(lambda: self.listed() == ([], -1)), self.listed())
        self.assertFalse(self.state("ProgFun3Box")["enabled"], "nothing selected: nothing to set")
        self.assertFalse(self.state("ProgramRemoveButton")["enabled"])

        self.click_control("CancelButton")
        self.assertTrue(wait_until(lambda: self.form()["LIVE"] == "0"))
        self.assertEqual(self.live_programs(), {"alpha.exe": {"ButtonFunction0": ENTER}, "beta.exe": {"EnhanceMode": -1}},
                         "the state of the last Apply")

    def test_a_program_chosen_by_its_file_and_the_64th_is_the_last(self):
        beta = os.path.join(self.folder, "Beta.exe")
        gamma = os.path.join(self.folder, "gamma.exe")
        for path in (beta, gamma):
            shutil.copy(self.exe("sampleapp.exe"), path)
        self.open_programs_tab(*[f"p{i:02d}.exe" for i in range(62)], "beta.EXE WheelLines=9")

        def choose_file(path):
            self.click_control("ProgramBrowseButton")
            self.assertTrue(wait_until(lambda: self.ctl.ask("top Choose a program", "TOP=") != "TOP=0 TEXT=", 30),
                            "the file dialog opened")
            self.xdo("type", "--delay", "20", winpath(path))
            self.xdo("key", "Return")
            self.assertTrue(wait_until(lambda: self.ctl.ask("top Choose a program", "TOP=") == "TOP=0 TEXT=", 30),
                            "the file dialog closed")

        # A program already listed is found, whatever the case of its name.
        choose_file(beta)
        self.assertTrue(wait_until(lambda: self.listed()[1] == HORIZONTAL_WHEEL), self.listed())
        self.assertEqual(self.updown("ProgWheelLineUpDown"), 9)
        self.assertFalse(self.apply_enabled(), "nothing changed")

        choose_file(gamma)
        self.assertTrue(wait_until(lambda: self.listed()[1] == 63), self.listed())
        self.assertEqual(self.listed()[0][63], "gamma.exe")
        self.assertEqual(len(self.live_programs()), 64)

        # A 65th is refused with a message.
        self.ctl.ask("program q.exe", "ERROR")  # no room in the block either
        other = os.path.join(self.folder, "other.exe")
        shutil.copy(self.exe("sampleapp.exe"), other)
        self.click_control("ProgramBrowseButton")
        self.assertTrue(wait_until(lambda: self.ctl.ask("top Choose a program", "TOP=") != "TOP=0 TEXT=", 30))
        self.xdo("type", "--delay", "20", winpath(other))
        self.xdo("key", "Return")
        message = lambda: self.ctl.ask("top Programs", "TOP=")
        self.assertTrue(wait_until(lambda: "At most 64 programs" in message(), 30), message())
        self.ctl.ask("dismiss Programs", "OK")
        self.assertTrue(wait_until(lambda: message() == "TOP=0 TEXT="))
        self.assertEqual(len(self.listed()[0]), 64)
        self.assertNotIn("other.exe", self.live_programs())

    def test_the_language_module_translates_the_tab(self):
        shutil.copy(os.path.join(MODULES, "LNGPAK.DLL"), self.app_folder)
        self.open_programs_tab("alpha.exe")
        captions = {"IDC_PROGRAMS_TAB_CAPTION": "&Programme", "ProgramsLabel": "Programme mit eigenen Einstellungen:",
                    "ProgramBrowseButton": "&Durchsuchen...", "ProgramRemoveButton": "&Entfernen",
                    "ProgWheelModeLabel": "Rad:"}
        for name, text in captions.items():
            self.assertEqual(self.text(name), text, name)
        entries, selected = self.items("ProgWheelModeBox")
        self.assertEqual(entries, [(AS_EVERYWHERE, "Wie überall"), (0, "Systemstandard (Intelli-Mouse-Modus)."),
                                   (-1, "Erweiterter Bildlaufmodus.")])
        self.assertEqual(selected, AS_EVERYWHERE)
        functions, _ = self.items("ProgFun4Box")
        self.assertEqual(functions[0], (AS_EVERYWHERE, "Wie überall"))
        self.assertEqual(dict(functions)[29], "Einfügen")


if __name__ == "__main__":
    unittest.main(verbosity=2)
