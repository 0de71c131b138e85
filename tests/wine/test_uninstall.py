"""The suite installed with PtrSetup.exe and taken off again with uninst.exe
under Wine: real processes, the real registry and file system of the test
prefix, and the wizard driven by real clicks from the X server."""
import os
import shutil
import unittest

from harness import wait_until, winpath
from uninst_support import (FINISH_TITLE, IDC, INSTALLED_FILES, PENDING_VALUE, PRODUCT_NAME, PROGRESS_LINES,
                            SESSION_MANAGER, WIZARD_TITLE, UninstallTest, file_tree, install, key_exists, reg,
                            reg_value, run_wine, temp_copies, temp_folder, wininit_path)

RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\PTRHK32A"
AGENT_KEY = r"HKCU\Software\PTRHK32A\Agent"
PROGRAM_KEY = r"HKCU\Software\PTRHK32A\Programs\notepad.exe"

# Where the wizard's controls sit in its client area (x, y, width, height).
BUTTON_PLACES = {"NEXTBTN": (220, 296, 109, 25), "ABORTBTN": (329, 296, 109, 25), "FINISHBTN": (454, 295, 109, 25)}
LABEL_PLACES = {"P1T": (144, 13), "P1": (158, 46), "PrjLabel": (204, 68), "P2": (221, 105), "P6": (221, 208)}


def read_lines(path):
    try:
        with open(path, errors="replace") as f:
            return [line.strip() for line in f]
    except FileNotFoundError:
        return []


class UninstallTests(UninstallTest):

    def set_previous_values(self):
        """What an installation whose folder was deleted by hand leaves: the
        suite's own entry and start at log-on, pointing at files that are gone,
        and a value of another program's in the list of installed programs."""
        self.assertEqual(reg("add", RUN_KEY, "/v", "PtrAgent", "/d", r"C:\old\PtrAgent.exe", "/f").returncode, 0)
        self.assertEqual(reg("add", UNINSTALL_KEY, "/v", "DisplayName", "/d", "Old Mouse", "/f").returncode, 0)
        self.assertEqual(reg("add", UNINSTALL_KEY, "/v", "NoModify", "/t", "REG_DWORD", "/d", "7", "/f").returncode, 0)
        self.assertEqual(reg("add", UNINSTALL_KEY, "/v", "Comments", "/t", "REG_MULTI_SZ", "/d", "kept",
                             "/f").returncode, 0)
        self.assertEqual(reg("add", RUN_KEY, "/v", "Other", "/d", r"C:\other.exe", "/f").returncode, 0)

    def start_installed_agent(self):
        agent = self.launch(os.path.join(self.target, "PtrAgent.exe"))
        agent.expect("PtrAgent: InstallHook(1) =", timeout=60)
        return agent

    def run_wizard_to_the_end(self, wizard):
        self.click_control(wizard, "NEXTBTN")
        self.wait_control_visible(wizard, "FINISHBTN", timeout=120)
        self.assertEqual(self.window_info(wizard)["title"], FINISH_TITLE)

    def assert_installed(self):
        for name in INSTALLED_FILES + ["uninst.log", "uninst.UN2"]:
            self.assertTrue(os.path.exists(os.path.join(self.target, name)), name)

    def test_install_then_uninstall_leaves_nothing(self):
        self.set_previous_values()
        before_registry = self.registry_snapshot()
        before_tree = file_tree(self.folder)

        self.install()
        self.assert_installed()
        installed_registry = self.registry_snapshot()
        print("registry changed by the installation:")
        print("\n".join(self.registry_diff(before_registry, installed_registry)))
        # The tray agent keeps its settings below the suite's key.
        self.assertEqual(reg("add", AGENT_KEY, "/v", "WheelLines", "/t", "REG_DWORD", "/d", "3", "/f").returncode, 0)
        # And the programs' settings of their own.
        self.assertEqual(reg("add", PROGRAM_KEY, "/v", "WheelLines", "/t", "REG_DWORD", "/d", "7", "/f").returncode, 0)
        agent = self.start_installed_agent()

        first, wizard = self.start_uninstaller()
        info = self.window_info(wizard)
        self.assertEqual((info["client"], info["sysmenu"]), ("573x329", False))
        before = self.named_controls(wizard)
        self.assertEqual(set(before), set(IDC))
        for name, place in BUTTON_PLACES.items():
            self.assertEqual(before[name].rect, place, name)
        for name, (x, y) in LABEL_PLACES.items():
            self.assertEqual(before[name].rect[:2], (x, y), name)
        self.assertEqual((before["PrjLabel"].text, before["NEXTBTN"].text), (PRODUCT_NAME, "&Next >"))
        self.assertEqual({name for name, c in before.items() if c.cls == "Button" and c.visible},
                         {"NEXTBTN", "ABORTBTN"})
        self.assertFalse(any(before[name].visible for name in PROGRESS_LINES))
        # The side picture: a mouse in white, grey and black over dark and
        # bright blue, and a yellow arrow, in the sixteen standard colours.
        self.assertEqual(self.screen_colours(wizard, "ImgWizard"),
                         {"000080", "0000FF", "FFFFFF", "808080", "000000", "FFFF00"})

        self.run_wizard_to_the_end(wizard)
        # Every progress line revealed, P21 to P23 never; only Finish offered.
        after = self.named_controls(wizard)
        self.assertEqual({name for name, c in after.items() if c.shown} -
                         {"panImage", "ImgWizard", "bevWizard", "P1T", "P1", "PrjLabel"},
                         set(PROGRESS_LINES) | {"P2T", "FINISHBTN"})
        self.assertEqual({name for name in ("P2T", "FINISHBTN", "P2") if after[name].visible}, {"P2T", "FINISHBTN"})
        self.assertEqual(first.wait(60), 1)
        self.assertIsNotNone(agent.wait(30), "the tray agent is still running")

        self.click_control(wizard, "FINISHBTN")
        self.assertTrue(wait_until(lambda: not self.find_window(FINISH_TITLE), 60, 0.3))
        self.assertTrue(wait_until(lambda: "is-00001.TMP" not in self.processes(), 60, 0.3))

        self.assertEqual(file_tree(self.folder), before_tree)
        self.assertFalse(os.path.exists(os.path.join(self.folder, "Program Files")))
        # The stale entry and start at log-on were the suite's, and went with
        # it, the entry whole; the other program's value stayed, and nothing
        # else changed.
        self.assertIsNone(reg_value(RUN_KEY, "PtrAgent"))
        self.assertFalse(key_exists(UNINSTALL_KEY))
        self.assertEqual(reg_value(RUN_KEY, "Other"), r"C:\other.exe")
        removed = self.registry_diff(before_registry, self.registry_snapshot())
        self.assertTrue(removed and all(line.startswith("-") for line in removed), removed)
        # The temporary copy stays behind in a folder of its own in the
        # temporary folder (it goes at the next restart where Windows lets it).
        self.assertEqual(temp_copies(), ["is-00001.TMP"])
        self.assertEqual(os.listdir(os.path.join(temp_folder(), "is-00001.TMP")), ["is-00001.TMP"])

    def test_abort_removes_nothing_and_a_second_start_ends_silently(self):
        self.install()
        installed_registry = self.registry_snapshot()
        installed_tree = file_tree(self.folder)
        first, wizard = self.start_uninstaller()

        second = self.launch(os.path.join(self.target, "uninst.exe"))
        self.assertEqual(second.wait(60), 1)
        self.assertEqual(second.lines, [])
        self.assertIsNone(self.find_window("uninst"))

        self.click_control(wizard, "ABORTBTN")
        self.assertEqual(first.wait(60), 1)
        self.assertTrue(wait_until(lambda: "is-00001.TMP" not in self.processes(), 60, 0.3))
        self.assertIsNone(self.find_window(WIZARD_TITLE))
        self.assertEqual(file_tree(self.folder), installed_tree)
        self.assertEqual(self.registry_diff(installed_registry, self.registry_snapshot()), [])
        self.assertEqual(temp_copies(), ["is-00001.TMP"])

    def test_a_held_file_and_a_user_file_keep_their_folders(self):
        before_registry = self.registry_snapshot()
        self.install()
        user_file = os.path.join(self.target, "RES", "notes.txt")
        with open(user_file, "w") as f:
            f.write("mine\n")
        held = os.path.join(self.target, "SETTING.INI")
        holder = self.launch(self.bin_tool("uninsthold.exe"), winpath(held), stdin=True)
        holder.expect("HELD")

        first, wizard = self.start_uninstaller()
        self.run_wizard_to_the_end(wizard)
        self.assertEqual(first.wait(60), 1)
        # The run went on past the held file: everything else is gone.
        self.assertEqual(file_tree(os.path.join(self.folder, "Program Files")),
                         ["PTRHK32A/", "PTRHK32A/RES/", "PTRHK32A/RES/notes.txt", "PTRHK32A/SETTING.INI"])
        self.assertEqual(self.registry_diff(before_registry, self.registry_snapshot()), [])
        self.click_control(wizard, "FINISHBTN")

    def test_a_locked_file_is_named_on_the_last_page_and_goes_at_the_next_restart(self):
        rows = [
            # NT: the system's list of what goes at the next restart.
            ("winxp", lambda path: path in (reg_value(SESSION_MANAGER, PENDING_VALUE) or "")),
            # 95, 98 and Me: a NUL= line of WININIT.INI, by the file's short name.
            ("win98", lambda path: any(line.upper().startswith("NUL=") and line.upper().endswith("\\PTRHK32A.DLL")
                                       for line in read_lines(wininit_path()))),
        ]
        for version, arranged in rows:
            with self.subTest(version=version):
                self.set_version(version)
                before_registry = self.registry_snapshot()
                self.install()
                held = os.path.join(self.target, "PTRHK32A.dll")
                holder = self.launch(self.bin_tool("uninsthold.exe"), winpath(held), stdin=True)
                holder.expect("HELD")

                first, wizard = self.start_uninstaller()
                self.run_wizard_to_the_end(wizard)
                self.assertEqual(first.wait(60), 1)
                after = self.named_controls(wizard)
                # The step that did not do all it says tells so; the others keep their lines.
                self.assertEqual(after["P3"].text, "Some program files could not be deleted.")
                self.assertEqual(after["P6"].text, "The registry is as it was before the installation.")
                self.assertEqual(after["P2"].text, "The tray agent is closed and the registry restored.")
                self.assertTrue(after["P24"].visible)
                report = after["P24"].text
                self.assertIn("These are removed when Windows restarts:\n    %s\n" % winpath(held), report)
                if version == "win98":
                    # Windows 98 removes files at its restart, not folders.
                    self.assertIn("These could not be removed:\n    %s\n" % winpath(self.target), report)
                self.assertTrue(arranged(winpath(held)), version)
                self.assertEqual(self.registry_diff(before_registry, self.registry_snapshot()), [])
                self.click_control(wizard, "FINISHBTN")
                holder.proc.stdin.close()
                self.assertEqual(holder.wait(30), 0)
                shutil.rmtree(self.target)

    def test_a_tray_agent_that_does_not_close_is_named_on_the_last_page(self):
        before_registry = self.registry_snapshot()
        self.install()
        stubborn = self.launch(self.bin_tool("stubborn.exe"), stdin=True)
        stubborn.expect("READY")
        first, wizard = self.start_uninstaller()
        self.run_wizard_to_the_end(wizard)
        self.assertEqual(first.wait(60), 1)
        # WM_QUIT went to its window, and the removal went on without it.
        stubborn.expect("QUIT")
        after = self.named_controls(wizard)
        self.assertEqual(after["P2"].text, "The tray agent did not close.")
        self.assertEqual(after["P3"].text, "The program files are deleted.")
        self.assertTrue(after["P24"].visible)
        self.assertEqual(after["P24"].text.strip(), "The tray agent did not close.")
        self.assertFalse(os.path.exists(self.target))
        self.assertEqual(self.registry_diff(before_registry, self.registry_snapshot()), [])
        self.click_control(wizard, "FINISHBTN")
        stubborn.proc.stdin.close()
        self.assertEqual(stubborn.wait(30), 0)

    def test_captions_come_only_from_the_dialog_text_file_and_the_product_name_from_the_log(self):
        self.install()
        with open(os.path.join(self.target, "uninst.UN2"), "w") as f:
            f.write("[DLG]\r\nPrjLabel=Not shown\r\n")
        first = self.launch(os.path.join(self.target, "uninst.exe"))
        wizard = self.wait_window("", cls="#32770")
        texts = {name: c.text for name, c in self.named_controls(wizard).items()}
        self.assertEqual({name for name, text in texts.items() if text}, {"PrjLabel"})
        self.assertEqual(texts["PrjLabel"], PRODUCT_NAME)
        self.click_control(wizard, "ABORTBTN")
        self.assertEqual(first.wait(60), 1)
        self.assertTrue(os.path.exists(os.path.join(self.target, "uninst.exe")))

    def test_without_a_log_the_uninstaller_says_so_and_copies_nothing(self):
        lonely = os.path.join(self.folder, "lonely")
        os.makedirs(lonely)
        shutil.copy(os.path.join(self.source, "uninst.exe"), lonely)
        program = self.launch(os.path.join(lonely, "uninst.exe"))
        self.assertIn("Log File Not Exist.", self.answer_message_box("uninst"))
        self.assertEqual(program.wait(60), 1)
        self.assertEqual(temp_copies(), [])
        self.assertEqual(os.listdir(lonely), ["uninst.exe"])

    def test_a_cut_log_stops_the_copy_with_the_stream_error_before_anything_is_removed(self):
        self.install()
        log = os.path.join(self.target, "uninst.log")
        with open(log, "r+b") as f:
            f.truncate(os.path.getsize(log) - 1)
        installed_tree = file_tree(self.folder)
        first = self.launch(os.path.join(self.target, "uninst.exe"))
        self.assertIn("Stream read error", self.answer_message_box("is-00001"))
        self.assertEqual(first.wait(60), 1)
        self.assertEqual(file_tree(self.folder), installed_tree)

    def test_the_installer_asks_first_and_a_second_installation_updates_the_first(self):
        setup = os.path.join(self.source, "PtrSetup.exe")
        declined = self.launch(setup, "/D=" + winpath(self.target))
        question = self.answer_message_box("PTRHK32A Mouse Setup", "&No")
        self.assertIn("Install PTRHK32A Mouse into\n%s?" % winpath(self.target), question)
        self.assertEqual(declined.wait(60), 1)
        self.assertFalse(os.path.exists(self.target))

        accepted = self.launch(setup, "/D=" + winpath(self.target))
        self.answer_message_box("PTRHK32A Mouse Setup", "&Yes")
        self.answer_message_box("PTRHK32A Mouse Setup")
        self.assertEqual(accepted.wait(60), 0)
        self.assert_installed()
        installed_tree = file_tree(self.folder)
        # Asked again, it offers to update the installation in its folder.
        again = self.launch(setup)
        question = self.answer_message_box("PTRHK32A Mouse Setup", "&No")
        self.assertIn("Update PTRHK32A Mouse in\n%s?" % winpath(self.target), question)
        self.assertEqual(again.wait(60), 1)
        self.assertEqual(install(self.source, self.target).returncode, 0)
        self.assertEqual(file_tree(self.folder), installed_tree)

    def test_wrong_arguments_end_the_program(self):
        exe = os.path.join(self.source, "uninst.exe")
        self.assertEqual(run_wine(exe, "one").returncode, 1)
        self.assertEqual(run_wine(exe, "a", "b", "c").returncode, 1)
        program = self.launch(exe, winpath(exe), "$zz")
        self.assertIn("'$zz' is not a valid integer value", self.answer_message_box("uninst"))
        self.assertEqual(program.wait(60), 1)

    def test_a_running_program_cannot_delete_its_own_file(self):
        # Why the uninstaller hands over to a copy: under Wine, as on Windows,
        # the executable of a running process cannot be deleted.
        copy = os.path.join(self.folder, "selfdelete.exe")
        shutil.copy(self.bin_tool("uninstprobe.exe"), copy)
        result = run_wine(copy, "selfdelete")
        self.assertEqual(result.stdout.strip(), "DELETED=0 ERROR=5")
        self.assertTrue(os.path.exists(copy))


if __name__ == "__main__":
    unittest.main(verbosity=2)
