"""Helpers of the uninstaller's tests under Wine: an install source folder, the
installer, registry snapshots with `reg export`, the file tree, the wizard's
controls read by uninstprobe and clicked with real input from the X server."""
import difflib
import glob
import os
import shutil
import subprocess
import sys
import tempfile

from harness import BIN, STATE, Program, WineTest, reg_query, run_windows, wait_until, winpath

# What PtrSetup.exe installs (its file table), relative to the target folder.
# The 64-bit edition's two files go onto 64-bit Windows only, which Wine's
# 64-bit prefix always is.
INSTALLED_FILES = ["PTRHK32A.dll", "PtrAgent.exe", "PTRHK64A.dll", "PtrAgent64.exe", "Setting.exe", "uninst.exe",
                   "Setting.KRD", "MOUSE.BMP", "SETTING.INI", "Logo.bmp", "RES/Tray.ico"]

# The parts of the registry a snapshot covers: all the installer may touch and more.
SNAPSHOT_KEYS = [r"HKCU\Software", r"HKLM\Software\Microsoft\Windows\CurrentVersion", r"HKLM\Software\PTRHK32A"]
WINE_OWN_KEY = r"[HKEY_CURRENT_USER\Software\Wine"
UNINSTALL_PARENT = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall"
# Keys the installer writes below; the tests put them back as they found them.
GUARDED_KEYS = [r"HKCU\Software\PTRHK32A", r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run",
                r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\PTRHK32A",
                UNINSTALL_PARENT + r"\PTRHK32A", r"HKLM\Software\PTRHK32A",
                r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"]
# Where Windows keeps what goes at the next restart (NT), which the
# uninstaller adds to when something could not be removed.
SESSION_MANAGER = r"HKLM\System\CurrentControlSet\Control\Session Manager"
PENDING_VALUE = "PendingFileRenameOperations"
START_MENU_GROUP = "PTRHK32A Mouse"

WIZARD_TITLE = "Uninstall"
FINISH_TITLE = "Uninstall complete"
PRODUCT_NAME = "PTRHK32A Mouse"

IDC = {"NEXTBTN": 1001, "ABORTBTN": 1002, "FINISHBTN": 1003, "panImage": 1010, "ImgWizard": 1011,
       "bevWizard": 1012, "P1T": 1101, "P1": 1102, "PrjLabel": 1103, "P2": 1104, "P3": 1105, "P4": 1106,
       "P5": 1107, "P6": 1108, "P2T": 1201, "P21": 1202, "P22": 1203, "P23": 1204, "P24": 1205}
PROGRESS_LINES = ["P2", "P3", "P4", "P5", "P6"]


def run_wine(*args, timeout=60):
    return run_windows(args, timeout=timeout)


def reg(*args):
    return run_wine("reg", *args)


def temp_folder():
    """The Windows temporary folder of the test prefix, as a Unix path."""
    folders = glob.glob(os.path.join(STATE, "prefix", "drive_c", "users", "*", "Temp"))
    folders = [f for f in folders if os.sep + "Public" + os.sep not in f]
    return folders[0]


def prefix_path(*parts):
    return os.path.join(STATE, "prefix", "drive_c", *parts)


def wininit_path():
    """WININIT.INI in the Windows folder, whatever the case of its name."""
    folder = prefix_path("windows")
    for name in os.listdir(folder):
        if name.lower() == "wininit.ini":
            return os.path.join(folder, name)
    return os.path.join(folder, "WININIT.INI")


def user_folder():
    """The Windows user's profile folder of the test prefix, as a Unix path."""
    folders = [f for f in glob.glob(prefix_path("users", "*")) if os.path.basename(f) != "Public"
               and os.path.isdir(os.path.join(f, "AppData"))]
    return folders[0]


def per_user_target():
    """Where an installation for the current user goes: local application data\\Programs."""
    return os.path.join(user_folder(), "AppData", "Local", "Programs", "PTRHK32A")


def machine_target():
    return prefix_path("Program Files", "PTRHK32A")


def user_start_menu():
    return os.path.join(user_folder(), "AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs")


def common_start_menu():
    return prefix_path("ProgramData", "Microsoft", "Windows", "Start Menu", "Programs")


# The folders an installation writes into, for the file-tree snapshots.
def install_roots():
    return {"local": os.path.join(user_folder(), "AppData", "Local"), "programs": prefix_path("Program Files"),
            "menu": user_start_menu(), "common menu": common_start_menu()}


def install_trees(extra=None):
    """The file trees of every folder an installation writes into."""
    roots = dict(install_roots())
    if extra:
        roots["extra"] = extra
    return {name: file_tree(path) for name, path in roots.items()}


def temp_copies():
    """The uninstaller's copies in the temporary folder, each in a folder of its own named as it is."""
    return sorted(os.path.basename(p) for p in glob.glob(os.path.join(temp_folder(), "is-*.TMP")))


def remove_temp_copies():
    for path in glob.glob(os.path.join(temp_folder(), "is-*.TMP")):
        if os.path.isdir(path):
            shutil.rmtree(path, True)
        else:
            os.remove(path)


def drop_wine_sections(lines):
    """Without Wine's own keys, which Wine changes by itself as programs run
    (its temporary system parameters) and the tests set (the version)."""
    kept = []
    inside = False
    for line in lines:
        if line.startswith("["):
            inside = line.startswith(WINE_OWN_KEY)
        if not inside:
            kept.append(line)
    return kept


def registry_export(folder):
    """The snapshot keys as `reg export` writes them, without Wine's own; a
    key that does not exist adds a line that says so."""
    text = []
    for index, key in enumerate(SNAPSHOT_KEYS):
        path = os.path.join(folder, "snapshot-%d.reg" % index)
        result = reg("export", key, winpath(path), "/y")
        if result.returncode != 0 and key_exists(key):
            # Seen once on a busy machine: reg.exe ended with an error and said
            # nothing. What it said is kept, and the export made once more.
            sys.stderr.write("  reg export %s ended with exit code %d (%r, %r); once more\n"
                             % (key, result.returncode, result.stdout, result.stderr))
            result = reg("export", key, winpath(path), "/y")
        if result.returncode != 0:
            if key_exists(key):
                raise AssertionError("cannot export %s: exit code %d, output %r, errors %r"
                                     % (key, result.returncode, result.stdout, result.stderr))
            text.append("(no key %s)" % key)
            continue
        with open(path, encoding="utf-16") as f:
            text.extend(f.read().splitlines())
    return drop_wine_sections(text)


def file_tree(root):
    """Every file and folder below root, relative, folders ending in '/'."""
    entries = []
    for folder, dirs, files in os.walk(root):
        rel = os.path.relpath(folder, root)
        for d in dirs:
            entries.append(os.path.normpath(os.path.join(rel, d)) + "/")
        for f in files:
            entries.append(os.path.normpath(os.path.join(rel, f)))
    return sorted(entries)


class Launched(Program):
    """A Windows program started from a neutral Unix folder (the harness starts
    programs in their own folder, which the uninstaller is to remove)."""

    def __init__(self, exe, args=(), stdin=False):
        super().__init__(exe, list(args), stdin, cwd=tempfile.gettempdir())


class Control:
    def __init__(self, line):
        fields = line.split(" text=", 1)
        self.text = fields[1].replace("\\n", "\n") if len(fields) > 1 else ""
        values = dict(item.split("=", 1) for item in fields[0].split()[1:])
        self.hwnd = values["hwnd"]
        self.id = int(values["id"])
        self.cls = values["class"]
        self.visible = values["visible"] == "1"
        self.shown = values["shown"] == "1"
        self.rect = tuple(int(values[k]) for k in ("x", "y", "w", "h"))
        self.centre = (int(values["sx"]), int(values["sy"]))


def make_source(source):
    """An install source folder: the files of this build, a stand-in for one it lacks."""
    os.makedirs(os.path.join(source, "RES"))
    for name in INSTALLED_FILES + ["PtrSetup.exe"]:
        built = os.path.join(BIN, name)
        if os.path.exists(built):
            shutil.copy(built, os.path.join(source, name))
        else:
            with open(os.path.join(source, name), "w") as f:
                f.write("stand-in for %s\n" % name)
    return source


def install(source, target, *switches):
    """Runs the installer without questions and without starting the tray
    agent (whose output would keep the pipes open); returns its completed process."""
    args = ["/S", "/NORUN", *switches] + (["/D=" + winpath(target)] if target else [])
    return run_wine(os.path.join(source, "PtrSetup.exe"), *args, timeout=120)


# The installation log's layout: a 1298-byte header whose counts of files,
# folders and registry records lie at 0x502, 0x506 and 0x50A; 256-byte short
# strings (length byte, then the text); 773-byte records (root, key, value
# name, kind, data).
LOG_HEADER = 0x512
LOG_ROOTS = {"HKCU": 0x80000001, "HKLM": 0x80000002}


def short_string(text):
    data = text.encode("latin-1")
    return bytes([len(data)]) + data + bytes(255 - len(data))


def add_to_log(path, files=(), records=()):
    """Adds file entries and registry records (root, key, value name, kind) to a log."""
    with open(path, "rb") as f:
        log = f.read()
    counts = [int.from_bytes(log[at:at + 4], "little", signed=True) for at in (0x502, 0x506, 0x50A)]
    files_end = LOG_HEADER + 256 * counts[0]
    folders_end = files_end + 256 * counts[1]
    records_end = folders_end + 773 * counts[2]
    added_files = b"".join(short_string(name) for name in files)
    added_records = b"".join(LOG_ROOTS[root].to_bytes(4, "little") + short_string(key) + short_string(value) +
                             bytes([kind]) + bytes(256) for root, key, value, kind in records)
    header = bytearray(log[:LOG_HEADER])
    header[0x502:0x506] = (counts[0] + len(files)).to_bytes(4, "little")
    header[0x50A:0x50E] = (counts[2] + len(records)).to_bytes(4, "little")
    with open(path, "wb") as f:
        f.write(bytes(header) + log[LOG_HEADER:files_end] + added_files + log[files_end:records_end] + added_records)


def set_file_version(path, major):
    """Gives a built file another major version in its version resource's fixed part."""
    with open(path, "rb") as f:
        data = bytearray(f.read())
    fixed = data.find(b"\xbd\x04\xef\xfe\x00\x00\x01\x00")  # the signature and the structure's version
    assert fixed > 0, "no version resource in " + path
    data[fixed + 8:fixed + 12] = (major << 16).to_bytes(4, "little")
    with open(path, "wb") as f:
        f.write(bytes(data))


def reg_value(key, name):
    """The data of a registry value as `reg query` prints it, or None."""
    for line in (reg_query(key, "/v", name) or "").splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[0] == name and parts[1].startswith("REG_"):
            return parts[2] if len(parts) > 2 else ""
    return None


def key_exists(key):
    return reg_query(key) is not None


def probe(*args):
    # Now and then a Wine program started while another one opens its message
    # box never gets going; such a start is ended and made again.
    for attempt in range(4):
        try:
            return run_wine(os.path.join(BIN, "uninstprobe.exe"), *args, timeout=15).stdout.splitlines()
        except subprocess.TimeoutExpired:
            if attempt == 3:
                raise


def find_window(title, cls=None):
    """The handle text of a visible top-level window with that title (and class), or None."""
    lines = probe("find", title, *([cls] if cls else []))
    return lines[0].split()[1] if lines and lines[0].startswith("WINDOW ") else None


def controls(window):
    """{id: Control} of every control below the window."""
    return {c.id: c for c in (Control(line) for line in probe("controls", window) if line.startswith("CONTROL "))}


def window_info(window):
    head, title = probe("window", window)[0].split(" title=", 1)
    values = dict(item.split("=", 1) for item in head.split()[1:])
    return {"sysmenu": values["sysmenu"] == "1", "client": values["client"], "title": title,
            "origin": tuple(int(v) for v in values["origin"].split(","))}


def screen_colours(control):
    """The distinct colours a control shows on the screen, as RRGGBB."""
    line = probe("pixels", control.hwnd)[0]
    return {c[4:6] + c[2:4] + c[0:2] for c in line.split()[1:]}


def process_ids():
    """{name: [id, ...]} of the running Windows processes."""
    found = {}
    for line in probe("processes"):
        if line.startswith("PROCESS "):
            _, pid, name = line.split(" ", 2)
            found.setdefault(name, []).append(int(pid))
    return found


class UninstallTest(WineTest):
    """Installs into a fresh folder below the test's own folder and puts the
    registry keys the installer writes and the temporary copies back after
    each test."""

    def setUp(self):
        super().setUp()
        self.saved = {}
        for key in GUARDED_KEYS:
            path = os.path.join(self.folder, "saved-%d.reg" % len(self.saved))
            self.saved[key] = path if reg("export", key, winpath(path), "/y").returncode == 0 else None
        self.had_uninstall_parent = key_exists(UNINSTALL_PARENT)
        self.pending = reg_value(SESSION_MANAGER, PENDING_VALUE)
        self.wininit = os.path.exists(wininit_path())
        # Cleanups run last first: the agent and the copy end, then the files,
        # the folders and the keys go.
        self.addCleanup(self.restore_guarded_keys)
        self.addCleanup(self.remove_installations)
        self.addCleanup(shutil.rmtree, self.folder, True)
        remove_temp_copies()
        self.addCleanup(remove_temp_copies)
        self.addCleanup(self.end_temporary_copies)
        self.addCleanup(self.end_running_agents)
        self.source = self.make_source()
        self.target = os.path.join(self.folder, "Program Files", "PTRHK32A")

    def restore_guarded_keys(self):
        for key, path in self.saved.items():
            reg("delete", key, "/f")
            if path:
                reg("import", winpath(path))
        if not self.had_uninstall_parent:
            reg("delete", UNINSTALL_PARENT, "/f")
        if self.pending is None:
            reg("delete", SESSION_MANAGER, "/v", PENDING_VALUE, "/f")
        if not self.wininit and os.path.exists(wininit_path()):
            os.remove(wininit_path())

    def remove_installations(self):
        """What an installation into the default folders left (a test that
        installs without removing): the folders, and their parents the
        installer made."""
        for folder in (per_user_target(), machine_target(), os.path.join(user_start_menu(), START_MENU_GROUP),
                       os.path.join(common_start_menu(), START_MENU_GROUP)):
            shutil.rmtree(folder, True)
        programs = os.path.dirname(per_user_target())
        if os.path.isdir(programs) and not os.listdir(programs):
            os.rmdir(programs)

    def end_running_agents(self):
        """A tray agent the installer started is no program of the test's own."""
        for _ in range(3):
            if run_wine(os.path.join(BIN, "agentctl.exe"), "quit").returncode != 0:
                return
            run_wine(os.path.join(BIN, "agentctl.exe"), "wait-gone", "10000")

    # The installer and the uninstaller.

    def make_source(self):
        return make_source(os.path.join(self.folder, "source"))

    def install(self):
        result = install(self.source, self.target)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        return result

    def lone_setup(self):
        """A folder that holds PtrSetup.exe and nothing else: it carries the suite."""
        folder = os.path.join(self.folder, "download")
        os.makedirs(folder, exist_ok=True)
        shutil.copy(os.path.join(BIN, "PtrSetup.exe"), folder)
        return folder

    def start_quiet_uninstall(self, uninstall_key):
        """Starts the entry's QuietUninstallString, as a program that removes
        software without questions does."""
        command = reg_value(uninstall_key, "QuietUninstallString")
        self.assertIsNotNone(command, uninstall_key)
        self.assertTrue(command.startswith('"'), command)
        program, argument = command[1:].split('" ', 1)
        unix = program.replace("\\", "/")
        unix = unix[2:] if unix.startswith("Z:") else prefix_path(*unix[3:].split("/"))
        return self.launch(unix, argument)

    def quiet_uninstall(self, uninstall_key, code=0):
        """Runs the QuietUninstallString, which ends once the removal has, with
        its result; then lets the copy that did it end too."""
        first = self.start_quiet_uninstall(uninstall_key)
        self.assertEqual(first.wait(120), code, "\n".join(first.lines))
        self.assertTrue(wait_until(lambda: not any(name.startswith("is-") for name in self.processes()), 120, 0.3))
        return first

    def launch(self, path, *args, stdin=False):
        return self.started(Launched(path, args, stdin))

    def bin_tool(self, name):
        return os.path.join(BIN, name)

    def start_uninstaller(self):
        first = self.launch(os.path.join(self.target, "uninst.exe"))
        wizard = self.wait_window(WIZARD_TITLE)
        return first, wizard

    # Registry snapshots.

    def registry_snapshot(self):
        return registry_export(self.folder)

    def registry_diff(self, before, after):
        return [line for line in difflib.unified_diff(before, after, lineterm="", n=0)
                if not line.startswith(("---", "+++", "@@"))]

    # The wizard, read by uninstprobe and clicked with real input.

    def find_window(self, title, cls=None):
        return find_window(title, cls)

    def wait_window(self, title, timeout=60.0, cls=None):
        window = wait_until(lambda: find_window(title, cls), timeout, interval=0.3)
        self.assertTrue(window, "no window titled %r" % title)
        return window

    def controls(self, window):
        return controls(window)

    def control(self, window, name):
        return controls(window)[IDC[name]]

    def named_controls(self, window):
        """{name: Control} of the wizard's controls, read at once."""
        found = controls(window)
        return {name: found[number] for name, number in IDC.items() if number in found}

    def window_info(self, window):
        return window_info(window)

    def screen_colours(self, window, name):
        return screen_colours(self.control(window, name))

    def answer_message_box(self, title, button=None):
        """Waits for a message box, clicks its first button (or the one with
        that text) and returns its texts."""
        box = self.wait_window(title)
        found = self.controls(box).values()
        buttons = [c for c in found if c.cls == "Button" and button in (None, c.text)]
        self.click(1, *buttons[0].centre)
        return [c.text for c in found]

    def click_control(self, window, name):
        x, y = self.control(window, name).centre
        self.click(1, x, y)

    def wait_control_visible(self, window, name, timeout=60.0):
        ok = wait_until(lambda: self.control(window, name).visible, timeout, interval=0.3)
        self.assertTrue(ok, "%s never became visible" % name)

    def processes(self):
        return list(process_ids())

    def end_temporary_copies(self):
        """The second instance runs from the temporary copy, which no test started itself."""
        for name, ids in process_ids().items():
            if name.startswith("is-") and name.endswith(".TMP"):
                for pid in ids:
                    run_wine("taskkill", "/F", "/PID", pid)
