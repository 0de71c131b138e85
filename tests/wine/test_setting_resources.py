"""Where the settings form takes its texts and pictures from, under Wine: the
program's own English resources, the German language module "LNGPAK.DLL",
the name library "SPINRSRC.DLL", a name library with overlong names,
"SETTING.INI", "Logo.bmp" and the mouse picture files."""
import os
import unittest

from function_codes import (CLOSE_APPLICATION, CONNECT_TO_INTERNET, COPY, ENTER, PASTE, SYSTEM_DEFAULT,
                            UNIVERSAL_SCROLL)
from settingharness import DISPLAY_LIST, ENGLISH_NAMES, ID, MODULES, SettingTest

# Captions of the form, in English and as the language module has them.
CAPTIONS = {
    "IDC_BUTTON_TAB_CAPTION": ("&Button", "&Tasten"),
    "IDC_WHEEL_MODE_LABEL": ("Wheel Mode", "Radmodus"),
    "SystemModeRadioButton": ("System default ( Intelli-Mouse) mode.", "Systemstandard (Intelli-Mouse-Modus)."),
    "IDC_LINES_PER_UNIT_LABEL": ("lines per scroll unit.", "Zeilen je Radraste."),
    "IDC_DESCRIPTION_LABEL": ("Function Description:", "Beschreibung der Funktion:"),
    "IDC_AUTO_SCROLL_CLICK_HINT": ("Click function Button enable auto scroll  function.",
               "Funktionstaste klicken, um Auto-Bildlauf zu starten."),
    "IDC_ZOOM_SOURCE_LABEL": ("Before Zoomed Size:", "Größe vor dem Zoom:"),
    "ApplyButton": ("&Apply", "Ü&bernehmen"),
}


class Texts(SettingTest):
    def open(self):
        self.with_agent(ButtonCount=3)
        self.open_form()

    def names(self):
        entries, _ = self.items("FunctionComboBox")
        self.assertEqual([code for code, _ in entries], DISPLAY_LIST)
        return dict(entries)

    def description(self, code):
        self.select("FunctionComboBox", code)
        return self.text("FunDescLabel")

    def test_without_modules_the_english_names_and_each_description_equals_its_name(self):
        self.open()
        self.assertEqual(self.names(), ENGLISH_NAMES)
        for code in DISPLAY_LIST:
            if code < UNIVERSAL_SCROLL:
                self.assertEqual(self.description(code), ENGLISH_NAMES[code], code)
        for name, (english, _) in CAPTIONS.items():
            self.assertEqual(self.text(name), english, name)
        self.assertEqual(self.form()["CAPTION"], "Mouse Setting")

    def test_the_language_module_translates_captions_names_and_descriptions(self):
        self.add_module("LNGPAK.DLL")
        self.open()
        for name, (_, german) in CAPTIONS.items():
            self.assertEqual(self.text(name), german, name)
        self.assertEqual(self.form()["CAPTION"], "Mauseinstellungen")
        names = self.names()
        self.assertEqual((names[SYSTEM_DEFAULT], names[PASTE], names[CONNECT_TO_INTERNET]),
                         ("Systemstandard", "Einfügen", "Mit dem Internet verbinden"))
        self.assertEqual(sum(names[code] != ENGLISH_NAMES[code] for code in DISPLAY_LIST), 57 - 10, "all but F1-F10")
        self.assertEqual(self.description(COPY), "Kopiert die Auswahl (Strg+C).")

    def test_with_the_name_library_as_well_names_come_from_it_and_captions_from_the_language_module(self):
        self.add_module("LNGPAK.DLL")
        self.add_module("SPINRSRC.DLL")
        self.open()
        for name, (_, german) in CAPTIONS.items():
            self.assertEqual(self.text(name), german, name)
        names = self.names()
        self.assertEqual((names[CLOSE_APPLICATION], names[CONNECT_TO_INTERNET], names[COPY]),
                         ("Close Application", "Connect To Internet", "Copy (Ctrl+C)"))
        self.assertEqual(self.description(COPY), "Copies the selection to the clipboard (Ctrl+C) in the window under "
                                               "the pointer.")

    def test_a_language_module_without_the_form_leaves_the_programs_form_with_the_modules_texts(self):
        # An older program's module: a few names and no form.
        self.add_module("LNGPAK.DLL", os.path.join(MODULES, "PARTLNG.DLL"))
        self.open()
        for name, (english, _) in CAPTIONS.items():
            self.assertEqual(self.text(name), english, name)
        names = self.names()
        self.assertEqual((names[SYSTEM_DEFAULT], names[COPY]), ("Systemstandard", "Kopieren"), "the module's names")
        self.assertEqual((names[PASTE], names[CONNECT_TO_INTERNET]), ("Paste", "Connect To Internel"),
                         "the program's for the rest")
        self.assertEqual(self.description(COPY), "Kopiert die Auswahl.")
        self.assertEqual(self.description(ENTER), "Enter")

    def test_names_of_255_characters_or_more_are_cut_to_254(self):
        self.add_module("SPINRSRC.DLL", os.path.join(MODULES, "LONGNAMES.DLL"))
        self.open()
        names = self.names()
        self.assertEqual((names[0], names[1], names[2]), ("a" * 254, "b" * 254, "c" * 254))
        self.assertEqual(names[3], "", "a name the library lacks is an empty entry")
        self.assertEqual(self.description(0), "d" * 254)


class Files(SettingTest):
    def test_the_settings_file_gives_version_and_caption_and_its_absence_hides_the_version(self):
        cases = [
            (None, False, "Version :", "Mouse Setting"),
            ("[MAIN]\nVER=3.0.1\nCAP=Wheel and Buttons\n", True, "Version : 3.0.1", "Wheel and Buttons"),
            ("[OTHER]\nVER=9\nCAP=Elsewhere\n", False, "Version :", "Mouse Setting"),
        ]
        self.with_agent()
        for content, shown, label, caption in cases:
            path = os.path.join(self.app_folder, "SETTING.INI")
            if content is None:
                if os.path.exists(path):
                    os.remove(path)
            else:
                self.add_file("SETTING.INI", text=content)
            program = self.open_form()
            self.assertEqual(self.state("VersionLabel")["visible"], shown, content)
            self.assertEqual(self.text("VersionLabel"), label, content)
            self.assertEqual(self.form()["CAPTION"], caption, content)
            self.close_box()
            self.wait_ended(program)

    def test_pictures_come_from_the_region_file_or_mouse_bmp_and_the_logo_from_logo_bmp(self):
        self.with_agent(ButtonCount=5)
        image = lambda name: self.ctl.ask(f"image {ID[name]}", "IMAGE=") == "IMAGE=1"
        cases = [
            ((), False, False),
            (("Logo.bmp",), True, False),
            (("MOUSE.BMP",), False, True),
        ]
        sizes = {}
        for files, logo, mouse in cases:
            for name in ("Logo.bmp", "MOUSE.BMP"):
                if os.path.exists(os.path.join(self.app_folder, name)):
                    os.remove(os.path.join(self.app_folder, name))
            for name in files:
                self.add_file(name)
            program = self.open_form()
            self.assertEqual((image("LogoImage"), image("MouseImage")), (logo, mouse), files)
            sizes[files] = self.state("MouseImage")["rect"]
            self.close_box()
            self.wait_ended(program)
        # A region file that cannot be read falls back to MOUSE.BMP.
        self.add_file("Setting.KRD", text="not a region file")
        self.add_file("MOUSE.BMP")
        program = self.open_form()
        self.assertTrue(image("MouseImage"))
        self.assertEqual(self.state("MouseImage")["rect"], sizes[("MOUSE.BMP",)])
        self.assertIsNone(program.proc.poll())


if __name__ == "__main__":
    unittest.main(verbosity=2)
