"""PtrSetup.exe under Wine, from a folder that holds nothing but itself: for the
current user and for all users, as an update over a running tray agent, and
refusing or taking back what it must not leave. Each test compares the
registry export and the file trees of every folder an installation writes
into before and after."""
import os
import shutil
import unittest

from harness import BIN, STATE, reg_query, wait_until, winpath
from uninst_support import (INSTALLED_FILES, START_MENU_GROUP, UNINSTALL_PARENT, UninstallTest, add_to_log,
                            common_start_menu, file_tree, install, install_trees, key_exists, machine_target,
                            per_user_target, probe, reg, reg_value, run_wine, set_file_version, user_start_menu)

USER_RUN = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
MACHINE_RUN = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
USER_UNINSTALL = UNINSTALL_PARENT + r"\PTRHK32A"
MACHINE_UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\PTRHK32A"
MACHINE_SUITE_KEY = r"HKLM\Software\PTRHK32A"
AGENT_KEY = r"HKCU\Software\PTRHK32A\Agent"
PROGRAMS_KEY = r"HKCU\Software\PTRHK32A\Programs\notepad.exe"
LINKS = ["PTRHK32A Mouse Settings.lnk", "PTRHK32A Mouse.lnk", "Uninstall PTRHK32A Mouse.lnk"]
LINK_TARGETS = {"PTRHK32A Mouse.lnk": "PtrAgent.exe", "PTRHK32A Mouse Settings.lnk": "Setting.exe",
                "Uninstall PTRHK32A Mouse.lnk": "uninst.exe"}


def lines_of(snapshot, root):
    """The lines of a registry export that belong to keys below one root."""
    kept, inside = [], False
    for line in snapshot:
        if line.startswith("["):
            inside = line.startswith("[" + root)
        if inside:
            kept.append(line)
    return kept


def link_names_target(path, name):
    """A shell link holds the path of what it starts (as ANSI or UTF-16 text)."""
    with open(path, "rb") as f:
        data = f.read()
    return name.encode() in data or name.encode("utf-16-le") in data


class InstallTests(UninstallTest):

    def setUp(self):
        super().setUp()
        self.download = self.lone_setup()
        self.setup_exe = os.path.join(self.download, "PtrSetup.exe")

    def trees(self):
        """The folders an installation writes into, and the test's own (without its registry exports)."""
        trees = install_trees(self.folder)
        trees["extra"] = [entry for entry in trees["extra"] if not entry.startswith("snapshot-")]
        return trees

    def contents(self):
        """The bytes of every file in the default folders of an installation."""
        found = {}
        for target in (per_user_target(), machine_target()):
            for entry in file_tree(target):
                if not entry.endswith("/"):
                    with open(os.path.join(target, entry), "rb") as f:
                        found[os.path.join(target, entry)] = f.read()
        return found

    def snapshot(self):
        return self.registry_snapshot(), self.trees(), self.contents()

    def assert_as_before(self, before):
        registry, trees, contents = before
        self.assertEqual(self.registry_diff(registry, self.registry_snapshot()), [])
        self.assertEqual(self.trees(), trees)
        self.assertTrue(self.contents() == contents, "a file's content changed")

    def agent_window(self):
        result = run_wine(os.path.join(BIN, "agentctl.exe"), "windows")
        return result.stdout.split()[0] if result.returncode == 0 else None

    def copies_ended(self):
        return wait_until(lambda: not any(name.startswith("is-") for name in self.processes()), 120, 0.3)

    def run_setup(self, *args):
        """PtrSetup.exe as a program started by the user; it may start the
        tray agent, whose output then shares its pipe."""
        program = self.launch(self.setup_exe, *args)
        code = program.wait(120)
        return code, "\n".join(program.lines + program.errors)

    def test_for_the_current_user_by_default_and_removed_by_the_quiet_command(self):
        rows = [
            # Windows 2000 and later: the user's own programs folder and list of programs.
            ("winxp", per_user_target, USER_UNINSTALL, MACHINE_UNINSTALL),
            # Windows 98 keeps programs only for the machine, and reads its list there.
            ("win98", machine_target, MACHINE_UNINSTALL, USER_UNINSTALL),
        ]
        for version, target_of, entry, other_entry in rows:
            with self.subTest(version=version):
                self.set_version(version)
                before = self.snapshot()
                code, output = self.run_setup("/S")
                self.assertEqual(code, 0, output)
                target = target_of()
                self.assertEqual(sorted(os.listdir(self.download)), ["PtrSetup.exe"])
                self.assertTrue(os.path.exists(os.path.join(target, "uninst.log")))
                self.assertTrue(os.path.exists(os.path.join(target, "uninst.UN2")))
                for name in INSTALLED_FILES:
                    with open(os.path.join(target, name), "rb") as installed, \
                            open(os.path.join(BIN, name), "rb") as built:
                        self.assertEqual(installed.read(), built.read(), name)
                # The tray agent runs, from the installed folder.
                self.assertTrue(wait_until(self.agent_window, 60, 0.5), "the tray agent did not start")
                self.assertIn("PtrAgent.exe", self.processes())
                self.assertTrue(reg_value(entry, "UninstallString").endswith('\\uninst.exe"'))
                values = {name: reg_value(entry, name) for name in
                          ("DisplayName", "DisplayVersion", "Publisher", "EstimatedSize", "InstallDate",
                           "DisplayIcon", "QuietUninstallString", "InstallLocation")}
                self.assertEqual((values["DisplayName"], values["DisplayVersion"], values["Publisher"]),
                                 ("PTRHK32A Mouse", "3.0.0", "PTRHK32A Project"))
                self.assertGreater(int(values["EstimatedSize"], 16), 100)
                self.assertRegex(values["InstallDate"], r"^20\d{6}$")
                self.assertTrue(values["QuietUninstallString"].endswith('\\uninst.exe" /S'))
                self.assertTrue(values["DisplayIcon"].endswith('\\PtrAgent.exe"'))
                self.assertTrue(reg_value(USER_RUN, "PtrAgent").endswith('\\PtrAgent.exe"'))
                self.assertFalse(key_exists(other_entry))
                menu = os.path.join(user_start_menu(), START_MENU_GROUP)
                self.assertEqual(sorted(os.listdir(menu)), LINKS)
                for link, program in LINK_TARGETS.items():
                    self.assertTrue(link_names_target(os.path.join(menu, link), program), link)
                if version == "winxp":
                    # Nothing of the machine's is touched.
                    self.assertEqual(lines_of(self.registry_snapshot(), "HKEY_LOCAL_MACHINE"),
                                     lines_of(before[0], "HKEY_LOCAL_MACHINE"))
                    self.assertFalse(os.path.exists(machine_target()))

                self.quiet_uninstall(entry)
                self.assertTrue(wait_until(lambda: not self.agent_window(), 30, 0.3), "the tray agent still runs")
                self.assert_as_before(before)

    def test_for_all_users_in_the_program_folder_and_the_machines_keys(self):
        before = self.snapshot()
        result = install(self.download, None, "/ALLUSERS")
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertTrue(os.path.exists(os.path.join(machine_target(), "PtrAgent.exe")))
        self.assertFalse(os.path.exists(per_user_target()))
        self.assertTrue(reg_value(MACHINE_UNINSTALL, "QuietUninstallString").endswith('\\uninst.exe" /S'))
        self.assertTrue(reg_value(MACHINE_RUN, "PtrAgent").endswith('\\PtrAgent.exe"'))
        self.assertEqual(reg_value(r"HKLM\Software\PTRHK32A", "InstallFolder"), r"C:\Program Files\PTRHK32A")
        self.assertEqual(sorted(os.listdir(os.path.join(common_start_menu(), START_MENU_GROUP))), LINKS)
        # Nothing of the user's is written.
        self.assertEqual(lines_of(self.registry_snapshot(), "HKEY_CURRENT_USER"),
                         lines_of(before[0], "HKEY_CURRENT_USER"))
        self.assertFalse(os.path.exists(os.path.join(user_start_menu(), START_MENU_GROUP)))
        # A second installation for all users updates the first, in its folder.
        result = install(self.download, None, "/ALLUSERS")
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertIn("is updated in", result.stdout)
        self.assertFalse(key_exists(USER_UNINSTALL))

        self.quiet_uninstall(MACHINE_UNINSTALL)
        self.assert_as_before(before)

    def test_for_all_users_without_the_rights_says_so_and_writes_nothing(self):
        # No account may write below /sys, the kernel's own file system.
        rows = [("winxp", True, False), ("win7", True, False), ("win7", False, True)]
        for version, silent, asks in rows:
            with self.subTest(version=version, silent=silent):
                self.set_version(version)
                before = self.snapshot()
                if silent:
                    # Asking for the rights would wait for a person: a silent run never does.
                    result = install(self.download, "/sys/PTRHK32A", "/ALLUSERS")
                    code, output, errors = result.returncode, result.stdout, result.stderr
                else:
                    program = self.launch(self.setup_exe, "/ALLUSERS", "/D=" + winpath("/sys/PTRHK32A"))
                    # Vista and later: it asks for the rights itself, and the
                    # start with them (which finds none here either) tells why it ended.
                    self.assertIn("Installing PTRHK32A Mouse for all users needs administrator rights. Run Setup "
                                  "as an administrator, or without /ALLUSERS to install it for yourself.",
                                  self.answer_message_box("PTRHK32A Mouse Setup"))
                    code = program.wait(60)
                    output = errors = "\n".join(program.lines + program.errors)
                self.assertEqual(code, 3, output + errors)
                if asks:
                    self.assertIn("asking for administrator rights", output)
                    self.assertIn("with administrator rights ended with exit code 3", output)
                else:
                    self.assertNotIn("asking", output)
                    self.assertIn("for all users needs administrator rights", errors)
                self.assert_as_before(before)

    def test_an_update_over_the_running_agent_keeps_the_settings_and_one_entry_and_log(self):
        before = self.snapshot()
        self.assertEqual(self.run_setup("/S")[0], 0)
        self.assertTrue(wait_until(self.agent_window, 60, 0.5), "the tray agent did not start")
        first_agent = self.agent_window()
        # The user's settings, and per-program settings beside them.
        self.assertEqual(reg("add", AGENT_KEY, "/v", "WheelLines", "/t", "REG_DWORD", "/d", "7", "/f").returncode, 0)
        self.assertEqual(reg("add", PROGRAMS_KEY, "/v", "WheelLines", "/t", "REG_DWORD", "/d", "9", "/f").returncode,
                         0)
        target = per_user_target()
        with open(os.path.join(target, "Setting.KRD"), "wb") as f:
            f.write(b"damaged")
        installed_log = file_tree(target)

        code, output = self.run_setup("/S")
        self.assertEqual(code, 0, output)
        self.assertIn("the running tray agent closed", output)
        self.assertIn("is updated in", output)
        self.assertTrue(wait_until(lambda: self.agent_window() not in (None, first_agent), 60, 0.5),
                        "no new tray agent")
        with open(os.path.join(target, "Setting.KRD"), "rb") as installed, \
                open(os.path.join(BIN, "Setting.KRD"), "rb") as built:
            self.assertEqual(installed.read(), built.read())
        self.assertEqual(reg_value(AGENT_KEY, "WheelLines"), "0x7")
        self.assertEqual(reg_value(PROGRAMS_KEY, "WheelLines"), "0x9")
        # One entry, one log, and no copy of a replaced file left.
        self.assertEqual(file_tree(target), installed_log)
        self.assertFalse(key_exists(MACHINE_UNINSTALL))
        entries = (reg_query(UNINSTALL_PARENT) or "").split()
        self.assertEqual([e for e in entries if "PTRHK32A" in e], [UNINSTALL_PARENT.replace(
            "HKCU", "HKEY_CURRENT_USER") + "\\PTRHK32A"])

        # The log still takes away everything the suite ever put there, settings too.
        self.quiet_uninstall(USER_UNINSTALL)
        self.assert_as_before(before)

    def test_an_update_stops_with_nothing_changed_when_the_running_agent_will_not_close(self):
        self.assertEqual(install(self.download, None).returncode, 0)
        installed = self.snapshot()
        stubborn = self.launch(self.bin_tool("stubborn.exe"), stdin=True)
        stubborn.expect("READY")
        result = install(self.download, None)
        self.assertEqual(result.returncode, 4, result.stderr)
        self.assertIn("tray agent did not close", result.stderr)
        stubborn.expect("QUIT")
        self.assert_as_before(installed)
        stubborn.proc.stdin.close()
        self.assertEqual(stubborn.wait(30), 0)

    def test_a_missing_run_key_is_never_taken_with_another_programs_value(self):
        for other_program in (True, False):
            with self.subTest(other_program=other_program):
                reg("delete", USER_RUN, "/f")
                before = self.snapshot()
                self.assertEqual(install(self.download, None).returncode, 0)
                self.assertTrue(key_exists(USER_RUN))
                if other_program:
                    self.assertEqual(reg("add", USER_RUN, "/v", "Other", "/d", r"C:\other.exe", "/f").returncode, 0)
                self.quiet_uninstall(USER_UNINSTALL)
                if other_program:
                    # Only the suite's value went; the key stays with the other program's.
                    self.assertEqual(reg_value(USER_RUN, "Other"), r"C:\other.exe")
                    self.assertIsNone(reg_value(USER_RUN, "PtrAgent"))
                    reg("delete", USER_RUN, "/f")
                # The key the installation found missing is gone again once nothing is in it.
                self.assert_as_before(before)

    def test_a_folder_with_files_of_another_program_is_refused(self):
        rows = [
            ("files of another program", ["notes.txt", "sub/readme.txt"], 2),
            ("a log of another program", ["uninst.log"], 2),
            ("nothing but empty folders", ["sub/", "RES/"], 0),
        ]
        for name, entries, code in rows:
            with self.subTest(name):
                target = os.path.join(self.folder, name.replace(" ", "-"))
                for entry in entries:
                    path = os.path.join(target, entry)
                    os.makedirs(os.path.dirname(path) if not entry.endswith("/") else path, exist_ok=True)
                    if not entry.endswith("/"):
                        with open(path, "w") as f:
                            f.write("not the suite's\n")
                before = self.snapshot()
                result = install(self.download, target)
                self.assertEqual(result.returncode, code, result.stderr)
                if code == 2:
                    self.assertIn("holds files that are not PTRHK32A Mouse's", result.stderr)
                    for entry in entries:
                        self.assertIn(entry.replace("/", "\\"), result.stderr)
                else:
                    self.quiet_uninstall(USER_UNINSTALL)
                # The folders that were there stay, with what they held.
                self.assert_as_before(before)

    def test_a_failed_copy_takes_back_everything_and_the_next_try_succeeds(self):
        before = self.snapshot()
        # A fresh installation that cannot make its Start-menu folder, after every file was written.
        blocker = os.path.join(user_start_menu(), START_MENU_GROUP)
        with open(blocker, "w") as f:
            f.write("in the way\n")
        self.addCleanup(lambda: os.path.isfile(blocker) and os.remove(blocker))
        blocked = self.snapshot()
        result = install(self.download, None)
        self.assertEqual(result.returncode, 2, result.stderr)
        self.assertIn("Cannot create the folder", result.stderr)
        self.assertIn("Nothing was changed.", result.stderr)
        self.assert_as_before(blocked)
        os.remove(blocker)
        self.assertEqual(self.run_setup("/S")[0], 0)
        self.assertTrue(wait_until(self.agent_window, 60, 0.5), "the tray agent did not start")
        first_agent = self.agent_window()

        # An update that cannot replace a file another program holds changes
        # nothing, and the tray agent it closed runs again.
        target = per_user_target()
        installed = self.snapshot()
        holder = self.launch(self.bin_tool("uninsthold.exe"), winpath(os.path.join(target, "Setting.KRD")),
                             stdin=True)
        holder.expect("HELD")
        code, output = self.run_setup("/S")
        self.assertEqual(code, 2, output)
        self.assertIn("the running tray agent closed", output)
        self.assertIn("Cannot replace", output)
        self.assertIn("Setting.KRD", output)
        self.assertTrue(wait_until(lambda: self.agent_window() not in (None, first_agent), 60, 0.5),
                        "the tray agent was not started again")
        self.assert_as_before(installed)
        holder.proc.stdin.close()
        self.assertEqual(holder.wait(30), 0)
        result = install(self.download, None)
        self.assertEqual(result.returncode, 0, result.stdout)
        self.quiet_uninstall(USER_UNINSTALL)
        self.assert_as_before(before)

    def test_a_script_removes_then_installs_at_once_and_reads_each_result(self):
        before = self.snapshot()
        self.assertEqual(install(self.download, None).returncode, 0)
        # The quiet removal ends once the removal has: the moment it does,
        # everything is as before, and its exit code says so.
        first = self.start_quiet_uninstall(USER_UNINSTALL)
        self.assertEqual(first.wait(120), 0, "\n".join(first.lines))
        self.assertIn("uninst: PTRHK32A Mouse is removed.", first.lines)
        self.assert_as_before(before)
        # An installation started at once is not undone by the removal's last steps.
        result = install(self.download, None)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(self.copies_ended())
        for name in INSTALLED_FILES + ["uninst.log"]:
            self.assertTrue(os.path.exists(os.path.join(per_user_target(), name)), name)
        self.assertTrue(reg_value(USER_RUN, "PtrAgent").endswith('\\PtrAgent.exe"'))
        self.assertTrue(reg_value(USER_UNINSTALL, "QuietUninstallString").endswith('\\uninst.exe" /S'))

        # What a removal cannot do is in its result too: a file held open stays, named.
        holder = self.launch(self.bin_tool("uninsthold.exe"), winpath(os.path.join(per_user_target(), "SETTING.INI")),
                             stdin=True)
        holder.expect("HELD")
        first = self.quiet_uninstall(USER_UNINSTALL, code=2)
        self.assertTrue(any(line.startswith("uninst: not deleted: ") and line.endswith("\\SETTING.INI")
                            for line in first.lines), first.lines)
        holder.proc.stdin.close()
        self.assertEqual(holder.wait(30), 0)

    def test_an_entry_left_by_a_folder_deleted_by_hand_goes_with_the_next_installation(self):
        # The keys and the folder other programs share are there, as on any Windows in use.
        os.makedirs(os.path.dirname(per_user_target()), exist_ok=True)
        self.assertEqual(reg("add", USER_RUN, "/v", "Other", "/d", r"C:\other.exe", "/f").returncode, 0)
        self.assertEqual(reg("add", UNINSTALL_PARENT + r"\Other", "/v", "DisplayName", "/d", "Other", "/f").returncode,
                         0)
        before = self.snapshot()
        self.assertEqual(install(self.download, None).returncode, 0)
        shutil.rmtree(per_user_target())
        # The entry, the start at log-on and the Start-menu folder still name
        # the deleted files; they were the suite's, and stay so.
        self.assertEqual(install(self.download, None).returncode, 0)
        self.quiet_uninstall(USER_UNINSTALL)
        self.assert_as_before(before)
        self.assertFalse(key_exists(USER_UNINSTALL))

    def test_a_drive_that_is_not_there_is_named_at_once(self):
        before = self.snapshot()
        self.assertFalse(os.path.exists(os.path.join(STATE, "prefix", "dosdevices", "q:")))
        for switches in ((), ("/ALLUSERS",)):
            with self.subTest(switches=switches):
                result = run_wine(self.setup_exe, "/S", "/NORUN", *switches, r"/D=Q:\Tools\PTRHK32A", timeout=60)
                self.assertEqual(result.returncode, 2, result.stderr)
                self.assertIn("The folder Q:\\Tools\\PTRHK32A cannot be made: Q:\\ is not there, or not ready.",
                              result.stderr)
                self.assert_as_before(before)

    def test_a_silent_run_never_waits_for_a_person(self):
        before = self.snapshot()
        for args in (["/S", "/BOGUS"], ["/BOGUS", "/S", "/NORUN"]):
            with self.subTest(args=args):
                result = run_wine(self.setup_exe, *args, timeout=60)
                self.assertEqual(result.returncode, 2, result.stdout)
                self.assertIn("Unknown argument /BOGUS. Usage: PtrSetup.exe", result.stderr)
                self.assert_as_before(before)
        # /D= takes the rest of the line, spaces and all, unquoted; a switch after it is still one.
        target = os.path.join(self.folder, "My Tools", "PTRHK32A")
        result = run_wine(self.setup_exe, *("/D=" + winpath(target)).split(" "), "/S", "/NORUN", timeout=120)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(os.path.exists(os.path.join(target, "uninst.log")))
        self.quiet_uninstall(USER_UNINSTALL)
        # The folder above, which the installation made, went too.
        self.assertFalse(os.path.exists(os.path.dirname(target)))
        self.assert_as_before(before)

    def test_an_installation_killed_half_way_is_removed_or_installed_over(self):
        before = self.snapshot()
        # Killed as it is about to write its first registry value (every file
        # is in place), or a file (the uninstaller is there already).
        for point, then in (("registry ", "removed"), ("Setting.KRD", "installed over")):
            with self.subTest(point=point, then=then):
                result = run_wine(self.bin_tool("setupkill.exe"), point, self.setup_exe, "/S", "/NORUN", timeout=120)
                self.assertEqual(result.returncode, 0, result.stdout)
                self.assertIn("KILLING PtrSetup: ", result.stdout)
                uninstaller = os.path.join(per_user_target(), "uninst.exe")
                if then == "removed":
                    first = self.launch(uninstaller, "/S")
                    self.assertEqual(first.wait(120), 0, "\n".join(first.lines))
                else:
                    self.assertFalse(os.path.exists(os.path.join(per_user_target(), "Setting.KRD")))
                    self.assertEqual(install(self.download, None).returncode, 0)
                    self.quiet_uninstall(USER_UNINSTALL)
                self.assertTrue(self.copies_ended())
                self.assert_as_before(before)

    def test_one_setup_or_removal_at_a_time(self):
        self.assertEqual(install(self.download, None).returncode, 0)
        installed = self.snapshot()
        # An interactive update asks its question, and holds the others off meanwhile.
        asking = self.launch(self.setup_exe)
        self.wait_window("PTRHK32A Mouse Setup")
        result = install(self.download, None)
        self.assertEqual(result.returncode, 5, result.stderr)
        self.assertIn("Another Setup or removal of PTRHK32A Mouse is running.", result.stderr)
        first = self.quiet_uninstall(USER_UNINSTALL, code=1)
        self.assertIn("uninst: Setup of PTRHK32A Mouse is running. Remove it when Setup has ended.", first.errors)
        self.assert_as_before(installed)
        self.answer_message_box("PTRHK32A Mouse Setup", "&No")
        self.assertEqual(asking.wait(60), 1)
        self.quiet_uninstall(USER_UNINSTALL)

    def test_an_installation_of_the_other_scope_is_refused_by_name(self):
        before = self.snapshot()
        tools = os.path.join(self.folder, "Tools", "PTRHK32A")
        rows = [
            ((), ("/ALLUSERS",), USER_UNINSTALL, "already installed for you in "),
            # For all users outside the program folder: the folder gets its rights.
            (("/ALLUSERS", "/D=" + winpath(tools)), (), MACHINE_UNINSTALL,
             "already installed for all users in " + winpath(tools)),
        ]
        for first, second, entry, named in rows:
            with self.subTest(first=first):
                self.assertEqual(run_wine(self.setup_exe, "/S", "/NORUN", *first, timeout=120).returncode, 0)
                installed = self.snapshot()
                result = install(self.download, None, *second)
                self.assertEqual(result.returncode, 2, result.stderr)
                self.assertIn("PTRHK32A Mouse is " + named, result.stderr)
                self.assertIn("Remove it there first", result.stderr)
                if "/ALLUSERS" in first:
                    rights = probe("rights", winpath(tools))[0]
                    # System and administrators change it; users read and run it.
                    self.assertIn("(A;OICI;FA;;;SY)", rights)
                    self.assertIn(";0x1200a9;;;", rights)
                self.assert_as_before(installed)
                self.quiet_uninstall(entry)
                self.assert_as_before(before)

    def test_a_log_that_names_what_is_not_the_suites_is_refused_and_reported(self):
        before = self.snapshot()
        self.assertEqual(install(self.download, None).returncode, 0)
        precious = os.path.join(self.folder, "precious.txt")
        with open(precious, "w") as f:
            f.write("not the suite's\n")
        foreign = r"HKCU\Software\PtrForeignTest"
        self.addCleanup(reg, "delete", foreign, "/f")
        self.assertEqual(reg("add", foreign, "/v", "Keep", "/d", "mine", "/f").returncode, 0)
        add_to_log(os.path.join(per_user_target(), "uninst.log"), files=[winpath(precious)],
                   records=[("HKCU", foreign[5:], "", 0), ("HKCU", r"Software\Microsoft\Windows\CurrentVersion\Run",
                                                           "Other", 1)])
        first = self.quiet_uninstall(USER_UNINSTALL, code=2)
        for named in (winpath(precious), foreign, r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run\Other"):
            self.assertIn("uninst: not the suite's, left alone: " + named, first.lines)
        self.assertTrue(os.path.exists(precious))
        self.assertEqual(reg_value(foreign, "Keep"), "mine")
        # The rest went as ever.
        os.remove(precious)
        reg("delete", foreign, "/f")
        self.assert_as_before(before)

    def test_an_older_version_is_not_put_over_a_newer_one_unless_told_to(self):
        before = self.snapshot()
        self.assertEqual(install(self.download, None).returncode, 0)
        library = os.path.join(per_user_target(), "PTRHK32A.dll")
        set_file_version(library, 99)
        installed = self.snapshot()
        result = install(self.download, None)
        self.assertEqual(result.returncode, 6, result.stderr)
        self.assertIn("PTRHK32A Mouse 99.0.0 is installed in", result.stderr)
        self.assertIn("newer than this Setup's 3.0.0. Run Setup with /DOWNGRADE", result.stderr)
        self.assert_as_before(installed)
        result = install(self.download, None, "/DOWNGRADE")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("replacing version 99.0.0 with the older 3.0.0", result.stdout)
        with open(library, "rb") as installed_file, open(os.path.join(BIN, "PTRHK32A.dll"), "rb") as built:
            self.assertEqual(installed_file.read(), built.read())
        self.quiet_uninstall(USER_UNINSTALL)
        self.assert_as_before(before)


if __name__ == "__main__":
    unittest.main(verbosity=2)
