#!/usr/bin/env python3
"""Takes the README's pictures of the uninstall wizard, its first page and its
finish page, and the finish page that names what could not be removed (a
file held open by another program), from real installations and removals
in a running test session (the build's Wine session, as the tests use it).

    PTR_WINE_STATE=build/win64/wine PTR_BIN=build/win64/bin python3 uninstaller/doc/screenshots.py OUT_FOLDER
"""
import os
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "wine"))

from harness import wait_until, wine_env, winpath  # noqa: E402
from uninst_support import FINISH_TITLE, UninstallTest, install, per_user_target, screen_colours  # noqa: E402

OUT = sys.argv.pop(1) if len(sys.argv) > 1 else HERE
YELLOW = "FFFF00"


class Screenshots(UninstallTest):
    def shoot(self, window, name):
        info = self.window_info(window)
        left, top = info["origin"]
        subprocess.run(["import", "-window", "root", "-display", wine_env()["DISPLAY"], "-crop",
                        f"{info['client']}+{left}+{top}", "+repage", os.path.join(OUT, name + ".png")], check=True)

    def test_take_the_pictures(self):
        self.install()
        first, wizard = self.start_uninstaller()
        picture = self.control(wizard, "ImgWizard")
        self.assertTrue(wait_until(lambda: YELLOW in screen_colours(picture), 30, 0.3))
        self.shoot(wizard, "uninst-confirm")
        self.click_control(wizard, "NEXTBTN")
        self.wait_control_visible(wizard, "FINISHBTN", timeout=120)
        self.assertTrue(wait_until(lambda: self.find_window(FINISH_TITLE), 30, 0.3))
        self.shoot(wizard, "uninst-finish")
        self.click_control(wizard, "FINISHBTN")
        self.assertEqual(first.wait(60), 1)

    def test_take_the_picture_of_what_is_left(self):
        # Where a user's installation goes by default.
        self.assertEqual(install(self.source, None).returncode, 0)
        self.target = per_user_target()
        holder = self.launch(self.bin_tool("uninsthold.exe"), winpath(os.path.join(self.target, "PTRHK32A.dll")),
                             stdin=True)
        holder.expect("HELD")
        first, wizard = self.start_uninstaller()
        self.click_control(wizard, "NEXTBTN")
        self.wait_control_visible(wizard, "FINISHBTN", timeout=120)
        self.assertTrue(wait_until(lambda: self.control(wizard, "P24").visible, 30, 0.3))
        self.shoot(wizard, "uninst-left")
        self.click_control(wizard, "FINISHBTN")
        self.assertEqual(first.wait(60), 1)
        holder.proc.stdin.close()
        holder.wait(30)


if __name__ == "__main__":
    unittest.main(verbosity=2)
