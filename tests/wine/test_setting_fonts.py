"""The settings form with small and large fonts under Wine: at 96 and at 120
dots per inch (Wine reads the resolution from HKCU\\Control Panel\\Desktop,
value LogPixels, when a program starts), in English and with the German
language module, every tab and every page of the Button tab is measured:
each control lies within the form and each page's controls within the page
control's display area, no two overlap that should not, each text has the
room it needs, and the logo and the mouse picture show whole, pixel for
pixel, in the middle of their frames."""
import os
import struct
import unittest

from function_codes import AUTO_SCROLL, CONNECT_TO_INTERNET, COPY, ENTER, UNIVERSAL_SCROLL, UNIVERSAL_ZOOM
from harness import BIN, run_windows, wait_until
from settingharness import ID, SettingTest

NAMES = {number: name for name, number in ID.items()}
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"

# Controls that show on every tab; the rest lie on the page control.
EVERY_TAB = {"IDC_LOGO_FRAME", "LogoImage", "IDC_MOUSE_FRAME", "MouseImage", "VersionLabel", "OkButton", "CancelButton",
             "ApplyButton", "IDC_TABS"}
# Pairs that lie on one another by design: an edit and its up-down, the
# group box and its check boxes, a frame and its picture.
TOGETHER = {frozenset(pair) for pair in [
    ("WheelLineEdit", "WheelLineUpDown"), ("IDC_ZOOM_SOURCE_WIDTH", "IDC_ZOOM_SOURCE_WIDTH_SPIN"), ("IDC_ZOOM_SOURCE_HEIGHT", "IDC_ZOOM_SOURCE_HEIGHT_SPIN"), ("IDC_ZOOM_FACTOR", "IDC_ZOOM_FACTOR_SPIN"),
    ("IDC_SCROLL_ENABLE_FRAME", "VScrollCheckBox"), ("IDC_SCROLL_ENABLE_FRAME", "hScrollCheckBox"), ("IDC_LOGO_FRAME", "LogoImage"),
    ("IDC_MOUSE_FRAME", "MouseImage"), ("ProgWheelLineEdit", "ProgWheelLineUpDown")]}
BOLD = {"IDC_WHEEL_MODE_LABEL", "IDC_WHEEL_SPEED_LABEL", "IDC_DESCRIPTION_LABEL", "FunDescLabel", "Fun3Label", "Fun4Label", "Fun5Label", "VersionLabel",
        "ProgFun3Label", "ProgFun4Label", "ProgFun5Label"}
PICTURES = {"LogoImage", "MouseImage", "ZoomImage", "IDC_LOGO_FRAME", "IDC_MOUSE_FRAME", "ScrollTestIMage", "AutoScrollTestIMage"}


def read_bmp(path):
    """(width, height, rows of (r, g, b) from the top) of a 24-bit bitmap file."""
    with open(path, "rb") as f:
        data = f.read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    assert bits == 24, path
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        line = offset + (abs(height) - 1 - y if height > 0 else y) * stride
        rows.append([tuple(reversed(data[line + 3 * x:line + 3 * x + 3])) for x in range(width)])
    return width, abs(height), rows


def inside(inner, outer):
    return inner[0] >= outer[0] and inner[1] >= outer[1] and inner[2] <= outer[2] and inner[3] <= outer[3]


def overlap(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


class Fonts(SettingTest):
    maxDiff = None

    def set_dpi(self, dpi):
        def reg(*args):
            run_windows(["reg", *args])
        reg("add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
        self.addCleanup(reg, "delete", DESKTOP_KEY, "/v", "LogPixels", "/f")

    def problems_of_view(self, view):
        """What is wrong with the form as it shows now, as readable lines."""
        controls, areas = self.layout()
        shown = {NAMES.get(i, str(i)): (kind, rect) for i, (kind, visible, rect, parent) in controls.items()
                 if visible and parent == 0}
        problems = []
        for name, (kind, rect) in shown.items():
            if not inside(rect, areas["client"]):
                problems.append(f"{view}: {name} {rect} reaches beyond the form {areas['client']}")
            if name not in EVERY_TAB and not inside(rect, areas["display"]):
                problems.append(f"{view}: {name} {rect} lies beyond the page {areas['display']}")
        names = sorted(shown)
        for i, a in enumerate(names):
            for b in names[i + 1:]:
                if "IDC_TABS" in (a, b) and not (a in EVERY_TAB and b in EVERY_TAB):
                    continue
                if frozenset((a, b)) not in TOGETHER and overlap(shown[a][1], shown[b][1]):
                    problems.append(f"{view}: {a} {shown[a][1]} and {b} {shown[b][1]} overlap")
        for name, (kind, rect) in shown.items():
            if kind not in ("Static", "Button") or name in PICTURES or not self.text(name):
                continue
            (need_w, need_h), (have_w, have_h) = self.text_fit(name, name in BOLD)
            box = 0  # room besides the text: a check or radio button's box, a button's or group's edges
            if kind == "Button":
                box = have_h + 4 if name.endswith(("RadioButton", "CheckBox")) else 8
            if need_w + box > have_w or need_h > have_h:
                problems.append(f"{view}: the text of {name} needs {need_w}+{box}x{need_h}, has {have_w}x{have_h}")
        return problems

    def problems_of_pictures(self):
        problems = []
        for image, frame, file in (("LogoImage", "IDC_LOGO_FRAME", "Logo.bmp"), ("MouseImage", "IDC_MOUSE_FRAME", "MOUSE.BMP")):
            width, height, pixels = read_bmp(os.path.join(BIN, file))
            rect = self.state(image)["rect"]
            left, top, right, bottom = self.state(frame)["rect"]
            if (rect[2] - rect[0], rect[3] - rect[1]) != (width, height):
                problems.append(f"{image} is {rect}, its picture {width}x{height}")
                continue
            gaps = (rect[0] - left, right - rect[2], rect[1] - top, bottom - rect[3])
            if min(gaps) < 1 or abs(gaps[0] - gaps[1]) > 1 or abs(gaps[2] - gaps[3]) > 1:
                problems.append(f"{image} {rect} does not sit in the middle of {frame} {(left, top, right, bottom)}")
            if self.settled_pixels(rect) != pixels:
                problems.append(f"{image} does not show {file} whole")
        return problems

    def check_form(self, dpi, language):
        self.set_dpi(dpi)
        for name in ("Logo.bmp", "MOUSE.BMP", "SETTING.INI"):
            self.add_file(name)
        if language == "de":
            self.add_module("LNGPAK.DLL")
        self.with_agent(ButtonCount=5, ButtonFunction0=UNIVERSAL_ZOOM)
        self.ctl.ask("programsblock", "PROGRAMSBLOCK=1")
        self.ctl.ask(f"program notepad.exe ButtonFunction1={ENTER} WheelLines=4", "OK")
        self.open_form()
        view = f"{dpi} dpi, {language}"
        problems = self.problems_of_pictures() + self.problems_of_view(f"{view}, Wheel")
        self.click_tab(1)
        self.assertTrue(wait_until(lambda: self.tab() == 1))
        for code, control in ((UNIVERSAL_ZOOM, "IDC_ZOOM_FACTOR"), (UNIVERSAL_SCROLL, "vScrollRxSlider"),
                              (AUTO_SCROLL, "IDC_AUTO_SCROLL_TEST_BOX"), (CONNECT_TO_INTERNET, "WebAddrEdit"),
                              (COPY, "FunDescLabel")):
            self.select("FunctionComboBox", code)
            self.assertTrue(wait_until(lambda: self.state(control)["visible"]), control)
            problems += self.problems_of_view(f"{view}, Button, function {code}")
        # The Programs tab, the next one, whatever the tabs' widths.
        self.click_control("FunctionComboBox", dx=4)
        self.key("Escape", "ctrl+Tab")
        self.assertTrue(wait_until(lambda: self.tab() == 2))
        self.assertTrue(wait_until(lambda: self.state("ProgWheelSpeedBox")["visible"]))
        problems += self.problems_of_view(f"{view}, Programs")
        self.assertEqual(problems, [])

    def test_96_dpi_english(self):
        self.check_form(96, "en")

    def test_96_dpi_german(self):
        self.check_form(96, "de")

    def test_120_dpi_english(self):
        self.check_form(120, "en")

    def test_120_dpi_german(self):
        self.check_form(120, "de")

    def test_the_form_grows_with_the_font(self):
        # The measures above mean something only if Wine honours the setting.
        sizes = {}
        self.with_agent()
        for dpi in (96, 120):
            self.set_dpi(dpi)
            program = self.open_form()
            left, top, right, bottom = self.state("IDC_TABS")["rect"]
            sizes[dpi] = (right - left, bottom - top)
            self.close_box()
            self.wait_ended(program)
        self.assertGreater(sizes[120][0], sizes[96][0] * 1.1, sizes)
        self.assertGreater(sizes[120][1], sizes[96][1] * 1.1, sizes)


if __name__ == "__main__":
    unittest.main(verbosity=2)
