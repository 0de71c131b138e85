#!/usr/bin/env python3
"""Takes the README's pictures of the settings form: each tab in English and
with the German language module, and in English with large fonts (120 dpi),
in a running test session (the build's Wine session, as the tests use it).

    PTR_WINE_STATE=build/win64/wine PTR_BIN=build/win64/bin python3 setting/doc/screenshots.py OUT_FOLDER
"""
import os
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "wine"))

from harness import wait_until, wine_binary, wine_env  # noqa: E402
from settingharness import ID, SettingTest  # noqa: E402

OUT = sys.argv.pop(1) if len(sys.argv) > 1 else os.path.join(HERE)


class Screenshots(SettingTest):
    def shoot(self, name):
        left, top, right, bottom = self.state("IDC_TABS")["rect"]
        form_left = self.state("IDC_LOGO_FRAME")["rect"][0] - 8
        form_top = top - 8
        width = right - form_left + 8
        height = self.state("OkButton")["rect"][3] - form_top + 8
        subprocess.run(["import", "-window", "root", "-display", wine_env()["DISPLAY"], "-crop",
                        f"{width}x{height}+{form_left}+{form_top}", os.path.join(OUT, name + ".png")], check=True)

    def set_dpi(self, dpi):
        key = r"HKCU\Control Panel\Desktop"
        args = ["add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"] if dpi else \
            ["delete", key, "/v", "LogPixels", "/f"]
        subprocess.run([wine_binary(), "reg", *args], env=wine_env(), stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def test_take_the_pictures(self):
        self.addCleanup(self.set_dpi, None)
        for language, dpi in (("en", None), ("de", None), ("en", 120)):
            self.set_dpi(dpi)
            suffix = f"-{dpi}dpi" if dpi else ""
            for name in ("SETTING.INI", "Logo.bmp", "RES/Tray.ico", "Setting.KRD"):
                self.add_file(name)
            if language == "de":
                self.add_module("LNGPAK.DLL")
            self.with_agent(ButtonCount=5, ButtonFunction0=100, ButtonFunction1=28, ButtonFunction2=103)
            # Two programs with settings of their own, as the tray agent would have them.
            self.ctl.ask("programsblock", "PROGRAMSBLOCK=1")
            for program in ("notepad.exe ButtonFunction1=13 EnhanceMode=0", "winword.exe WheelPageScroll=0 WheelLines=6"):
                self.ctl.ask(f"program {program}", "OK")
            program = self.open_form()
            self.assertTrue(wait_until(lambda: self.state("LogoImage")["visible"]))
            self.shoot(f"setting-{language}-wheel{suffix}")
            self.click_tab(1)
            self.assertTrue(wait_until(lambda: self.focus() == str(ID["FunctionComboBox"])))
            wait_until(lambda: False, 1.0)  # a picture, not a test: time for the lit button to be drawn
            self.shoot(f"setting-{language}-button{suffix}")
            self.key("ctrl+Tab")  # the next tab, Programs, whatever the tabs' widths
            self.assertTrue(wait_until(lambda: self.state("ProgramList")["visible"]))
            wait_until(lambda: False, 1.0)
            self.shoot(f"setting-{language}-programs{suffix}")
            self.close_box()
            self.wait_ended(program)
            if language == "de":
                os.remove(os.path.join(self.app_folder, "LNGPAK.DLL"))


if __name__ == "__main__":
    unittest.main(verbosity=2)
