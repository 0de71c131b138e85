"""The settings form under Wine, driven through its real controls: real
clicks where a person clicks, the controls' own messages elsewhere; the live
settings block and application block are read from another process (the
settingctl tool, which also stands in for the tray agent's window)."""
import unittest

from function_codes import AUTO_SCROLL, CONNECT_TO_INTERNET, COPY, CYCLE_TASK, UNIVERSAL_SCROLL, UNIVERSAL_ZOOM
from harness import wait_until
from settingharness import ID, SettingTest, differing

NAMES = {number: name for name, number in ID.items()}



class FormTest(SettingTest):
    def open_with(self, **fields):
        self.with_agent(**fields)
        program = self.open_form()
        self.assertFalse(self.apply_enabled(), "the form shows with Apply disabled")
        return program

    def show_button_tab(self):
        self.click_tab(1)
        self.assertTrue(wait_until(lambda: self.tab() == 1))
        self.assertTrue(wait_until(lambda: self.focus() == str(ID["FunctionComboBox"])), "the first box is entered")

    def wait_field(self, name, value):
        self.assertTrue(wait_until(lambda: self.field(name) == value), f"{name}={self.field(name)}, not {value}")

    def click_arrow(self, updown, up=True):
        left, top, right, bottom = self.state(updown)["rect"]
        self.click(1, (left + right) // 2, top + 3 if up else bottom - 3)


class WheelTab(FormTest):
    def test_each_wheel_control_writes_its_field_and_enables_apply(self):
        self.open_with(EnhanceMode=-1, WheelPageScroll=0, WheelLines=3)
        steps = [
            ("SystemModeRadioButton", "EnhanceMode", 0),
            ("EnhanceModeRadioButton", "EnhanceMode", -1),
            ("PageScrollRadioButton", "WheelPageScroll", -1),
            ("LineScrollRadioButton", "WheelPageScroll", 0),
        ]
        for control, field, value in steps:
            self.click_control(control, dx=6)
            self.wait_field(field, value)
            self.assertTrue(self.apply_enabled(), control)
            self.click_control("ApplyButton")
            self.assertTrue(wait_until(lambda: not self.apply_enabled()))

        # Page scrolling disables the line count, which keeps its value.
        self.click_control("PageScrollRadioButton", dx=6)
        self.wait_field("WheelPageScroll", -1)
        self.assertEqual([self.state(c)["enabled"] for c in ("WheelLineEdit", "WheelLineUpDown")], [False, False])
        self.assertEqual(self.text("WheelLineEdit"), "3")
        self.click_control("LineScrollRadioButton", dx=6)
        self.assertTrue(wait_until(lambda: self.state("WheelLineEdit")["enabled"]))

        # The up-down's position is written, not the text.
        self.click_arrow("WheelLineUpDown")
        self.wait_field("WheelLines", 4)
        self.assertEqual(self.text("WheelLineEdit"), "4")
        self.set_text("WheelLineEdit", "7")
        self.wait_field("WheelLines", 7)
        for text in ("12", "abc", "", "0"):
            self.set_text("WheelLineEdit", text)
            self.assertEqual(self.field("WheelLines"), 7, f"text {text!r} leaves the position as it was")
        self.assertEqual(self.updown("WheelLineUpDown"), 7)

    def test_loading_brings_values_into_range_and_cancel_restores_the_block_as_found(self):
        self.open_with(EnhanceMode=1, WheelLines=0x10005, UScrollVSpeed=12, UScrollHSpeed=0, ZoomSourceWidth=31,
                       ZoomTargetWidth=64, ZoomSourceHeight=30, ZoomTargetHeight=61)
        found = self.block_bytes()
        # Where a loaded value differed from what a control showed, its handler
        # wrote what the control shows.
        self.assertEqual(self.fields("EnhanceMode", "WheelLines", "UScrollVSpeed", "UScrollHSpeed"),
                         {"EnhanceMode": -1, "WheelLines": 5, "UScrollVSpeed": 10, "UScrollHSpeed": 1})
        self.assertEqual(self.fields("ZoomSourceWidth", "ZoomTargetWidth"),
                         {"ZoomSourceWidth": 31, "ZoomTargetWidth": 62})
        self.assertEqual(self.field("ZoomTargetHeight"), 61, "the height showed 30 already: no handler ran")
        self.assertEqual(self.text("WheelLineEdit"), "5")
        program = self.settings[-1]
        self.click_control("CancelButton")
        self.assertEqual(self.wait_ended(program), 0)
        restored = self.fields("EnhanceMode", "WheelLines", "UScrollVSpeed", "UScrollHSpeed", "ZoomTargetWidth")
        self.assertEqual(restored, {"EnhanceMode": 1, "WheelLines": 0x10005, "UScrollVSpeed": 12,
                                    "UScrollHSpeed": 0, "ZoomTargetWidth": 64})
        self.assertNotEqual(found, self.block_bytes())


class ApplyAndCancel(FormTest):
    def test_apply_posts_once_and_cancel_restores_that_apply_but_not_the_agents_windows(self):
        self.open_with(ButtonCount=3)
        self.set_text("WheelLineEdit", "6")
        self.wait_field("WheelLines", 6)
        self.click_control("ApplyButton")
        self.assertTrue(wait_until(lambda: self.posts() == 1))
        self.assertFalse(self.apply_enabled())
        applied, applied_app = self.block_bytes(), self.app_bytes()

        # More changes in the form, and changes by another process.
        self.click_control("SystemModeRadioButton", dx=6)
        self.wait_field("EnhanceMode", 0)
        self.show_button_tab()
        self.select("FunctionComboBox", CONNECT_TO_INTERNET)
        self.set_text("WebAddrEdit", "www.typed.example")
        self.set_fields(ZoomWindow=0x1234, Reserved16=16, WheelCount=2)
        self.ctl.ask("appfill 77", "OK")

        program = self.settings[-1]
        self.click_control("CancelButton")
        self.assertEqual(self.wait_ended(program), 0)
        self.assertEqual(self.posts(), 1, "Cancel posts nothing")
        block = self.block_bytes()
        self.assertEqual(block[:104], applied[:104], "every configuration field of the applied block")
        self.assertEqual(self.field("ZoomWindow"), 0x1234, "the agent's window is the agent's")
        self.assertEqual(self.field("AgentWindow"), int.from_bytes(applied[104:108], "little"))
        self.assertEqual(self.field("SettingsWindow"), 0)
        self.assertEqual(self.app_bytes(), applied_app, "all 1284 bytes of the application block")

    def test_apply_without_the_tray_agent_tells_the_user_and_keeps_nothing(self):
        for how in ("ended", "crashed"):
            with self.subTest(how):
                program = self.open_with(EnhanceMode=-1)
                self.click_control("SystemModeRadioButton", dx=6)
                self.wait_field("EnhanceMode", 0)
                self.ctl.ask("agentgone", "OK")
                if how == "ended":
                    self.set_fields(AgentWindow=0)

                # Apply and OK: each tells the user and claims nothing.
                for button in ("ApplyButton", "OkButton"):
                    self.click_control(button)
                    self.assertTrue(wait_until(lambda: self.owned()[0] != 0), f"{button}: a message")
                    self.assertIn("the tray agent is not running", self.owned()[1])
                    self.key("Return")
                    self.assertTrue(wait_until(lambda: self.owned()[0] == 0), "the message goes with Enter")
                    self.assertTrue(self.apply_enabled(), f"{button}: Apply stays enabled")
                    self.assertIsNone(program.proc.poll(), f"{button}: the form stays open")
                self.assertEqual(self.posts(), 0)

                # Nothing was kept: Cancel goes back to the state at opening.
                self.click_control("CancelButton")
                self.assertEqual(self.wait_ended(program), 0)
                self.assertEqual(self.field("EnhanceMode"), -1)

    def test_ok_applies_only_when_apply_is_enabled(self):
        program = self.open_with()
        self.click_control("OkButton")
        self.assertEqual(self.wait_ended(program), 0)
        self.assertEqual(self.posts(), 0)

        program = self.open_form()
        self.click_control("SystemModeRadioButton", dx=6)
        self.wait_field("EnhanceMode", 0)
        self.click_control("OkButton")
        self.assertEqual(self.wait_ended(program), 0)
        self.assertEqual(self.posts(), 1)
        self.assertEqual(self.field("EnhanceMode"), 0)

    def test_the_close_box_keeps_the_changes_and_posts_nothing(self):
        program = self.open_with(WheelLines=3)
        self.set_text("WheelLineEdit", "9")
        self.wait_field("WheelLines", 9)
        self.close_box()
        self.assertEqual(self.wait_ended(program), 0)
        self.assertEqual((self.field("WheelLines"), self.posts()), (9, 0))


class Keyboard(FormTest):
    def focused(self):
        return NAMES.get(int(self.focus()), self.focus())

    def test_tab_goes_from_the_tab_strip_through_the_page_to_apply_and_back(self):
        self.open_with(ButtonCount=3, EnhanceMode=-1, WheelPageScroll=0, ButtonFunction0=UNIVERSAL_ZOOM)
        self.assertEqual(self.focused(), "IDC_TABS", "the form opens with the tab strip focused")
        self.click_control("SystemModeRadioButton", dx=6)  # Apply enabled: it takes its turn
        self.key("Tab")
        self.assertTrue(wait_until(lambda: self.focused() == "LineScrollRadioButton"))
        cycles = {
            0: ["IDC_TABS", "SystemModeRadioButton", "LineScrollRadioButton", "WheelLineEdit", "OkButton",
                "CancelButton", "ApplyButton"],
            1: ["IDC_TABS", "FunctionComboBox", "IDC_ZOOM_SOURCE_WIDTH", "IDC_ZOOM_SOURCE_HEIGHT", "IDC_ZOOM_FACTOR", "OkButton", "CancelButton", "ApplyButton"],
        }
        for tab, cycle in cycles.items():
            if tab == 1:
                self.click_tab(1)
                self.assertTrue(wait_until(lambda: self.focused() == "FunctionComboBox"))
                self.key("shift+Tab")
            else:
                self.click_tab(0)
            self.assertTrue(wait_until(lambda: self.focused() == "IDC_TABS"), self.focused())
            for expected in cycle[1:] + cycle[:1]:
                self.key("Tab")
                self.assertTrue(wait_until(lambda: self.focused() == expected), (tab, expected, self.focused()))
            for expected in list(reversed(cycle[1:])) + cycle[:1]:
                self.key("shift+Tab")
                self.assertTrue(wait_until(lambda: self.focused() == expected), (tab, expected, self.focused()))

    def test_alt_and_the_tabs_letter_and_control_with_tab_or_the_page_keys_turn_the_pages(self):
        self.open_with(ButtonCount=3, ButtonFunction0=COPY)
        self.click_control("WheelLineEdit")
        self.assertTrue(wait_until(lambda: self.focused() == "WheelLineEdit"))
        self.key("alt+b")
        self.assertTrue(wait_until(lambda: self.tab() == 1), "Alt+B shows the Button tab")
        self.assertTrue(wait_until(lambda: self.focused() == "FunctionComboBox"), self.focused())
        self.assertTrue(self.state("FunDescLabel")["visible"])
        self.assertFalse(self.state("WheelLineEdit")["visible"])
        # Three tabs: Wheel, Button, Programs, round and round.
        steps = [("ctrl+Tab", 2), ("ctrl+Tab", 0), ("ctrl+shift+Tab", 2), ("ctrl+shift+Tab", 1),
                 ("ctrl+Next", 2), ("ctrl+Next", 0), ("ctrl+Prior", 2), ("ctrl+Prior", 1), ("alt+p", 2)]
        for keys, tab in steps:
            self.key(keys)
            self.assertTrue(wait_until(lambda: self.tab() == tab), (keys, tab))
            shown = {0: "SystemModeRadioButton", 1: "FunctionComboBox", 2: "ProgramList"}[tab]
            self.assertTrue(wait_until(lambda: self.state(shown)["visible"]), (keys, shown))
            self.assertTrue(self.state(self.focused())["visible"], f"{keys}: the focus is on a control shown")

    def type_into(self, name, text):
        # Two clicks on one spot in quick succession would be a double click.
        self.clicks = getattr(self, "clicks", 0) + 1
        self.click_control(name, dx=4 + 8 * (self.clicks % 2))
        self.assertTrue(wait_until(lambda: self.focused() == name), (name, self.focused()))
        self.key("End", "shift+Home", "BackSpace")
        if text:
            self.xdo("type", "--delay", "40", text)
        self.assertTrue(wait_until(lambda: self.text(name) == text), self.text(name))

    def test_a_spin_edit_shows_what_the_block_holds_once_it_is_left(self):
        self.open_with(ButtonCount=3, ButtonFunction0=UNIVERSAL_ZOOM, WheelLines=3, ZoomSourceWidth=32,
                       ZoomTargetWidth=64)
        cases = [
            ("WheelLineEdit", "12", "WheelLines", 10),
            ("WheelLineEdit", "0", "WheelLines", 1),
            ("WheelLineEdit", "7", "WheelLines", 7),
            ("WheelLineEdit", "abc", "WheelLines", 7),
            ("IDC_ZOOM_SOURCE_WIDTH", "100", "ZoomSourceWidth", 64),
            ("IDC_ZOOM_FACTOR", "25", "ZoomTargetWidth", 640),
            ("IDC_ZOOM_FACTOR", "", "ZoomTargetWidth", 128),
        ]
        for edit, typed, field, value in cases:
            if edit != "WheelLineEdit" and self.tab() != 1:
                self.click_tab(1)
                self.assertTrue(wait_until(lambda: self.state("IDC_ZOOM_SOURCE_WIDTH")["visible"]))
            self.type_into(edit, typed)
            self.key("Tab")
            self.assertTrue(wait_until(lambda: self.focused() != edit))
            self.wait_field(field, value)
            shown = str(self.field(field) if edit != "IDC_ZOOM_FACTOR" else value // self.field("ZoomSourceWidth"))
            self.assertTrue(wait_until(lambda: self.text(edit) == shown), (edit, typed, self.text(edit), shown))
        self.assertEqual(self.text("IDC_ZOOM_TARGET_WIDTH"), str(self.field("ZoomTargetWidth")))


class ButtonTab(FormTest):
    def test_each_button_count_shows_its_rows_and_its_mouse_picture(self):
        self.add_file("Setting.KRD")
        pictures = {}
        for count, rows in ((3, (False, False, False)), (4, (True, True, False)), (5, (True, True, True))):
            program = self.open_with(ButtonCount=count)
            image = self.state("MouseImage")["rect"]
            pictures[count] = self.settled_pixels(image)
            self.show_button_tab()
            shown = (self.state("Fun3Label")["visible"], self.state("Fun4ComboBox")["visible"],
                     self.state("Fun5ComboBox")["visible"])
            self.assertEqual(shown, rows, f"ButtonCount {count}")
            self.assertEqual(self.state("Fun4Label")["visible"], rows[1])
            self.assertEqual(self.state("Fun5Label")["visible"], rows[2])
            self.assertTrue(self.state("FunctionComboBox")["visible"])
            self.close_box()
            self.wait_ended(program)
        self.assertTrue(differing(pictures[3], pictures[5]), "M3 differs from M5")
        self.assertEqual(pictures[4], pictures[5], "4 buttons show M5")

    def test_the_button_tab_enables_apply_and_lights_the_button_being_edited(self):
        self.add_file("Setting.KRD")
        self.open_with(ButtonCount=5, ButtonFunction0=COPY)
        image = self.state("MouseImage")["rect"]
        plain = self.settled_pixels(image)

        self.show_button_tab()
        self.assertTrue(self.apply_enabled(), "entering the first box enables Apply")
        self.assertEqual(self.field("ButtonFunction0"), COPY, "and stores what it shows")
        self.assertEqual(self.text("FunDescLabel"), "Copy")
        lit = lambda: differing(plain, self.screen_pixels(image))
        self.assertTrue(wait_until(lambda: len(lit()) > 30), "button 3 lights up")
        button3 = set(lit())

        self.click_control("Fun4ComboBox")
        self.assertTrue(wait_until(lambda: self.focus() == str(ID["Fun4ComboBox"])))
        self.xdo("key", "Escape")
        self.assertTrue(wait_until(lambda: len(lit()) > 30 and not set(lit()) & button3),
                        "button 4 alone is lit")
        top3 = min(y for _, y in button3)
        self.assertGreater(min(y for _, y in lit()), top3, "button 4 lies below button 3 on the picture")

        self.click_tab(0)
        self.assertTrue(wait_until(lambda: not lit()), "leaving the box shows the plain picture")

    def test_a_code_not_in_the_list_leaves_its_box_empty_and_entering_it_stores_nothing(self):
        self.open_with(ButtonCount=5, ButtonFunction1=CYCLE_TASK, ButtonFunction2=AUTO_SCROLL)
        entries, selected = self.items("Fun4ComboBox")
        self.assertEqual(len(entries), 57)
        self.assertNotIn(CYCLE_TASK, [code for code, _ in entries])
        self.assertIsNone(selected)
        self.assertEqual(self.items("Fun5ComboBox")[1], AUTO_SCROLL)

        self.show_button_tab()
        self.click_control("Fun4ComboBox")
        self.assertTrue(wait_until(lambda: self.focus() == str(ID["Fun4ComboBox"])))
        self.xdo("key", "Escape")
        self.assertEqual(self.field("ButtonFunction1"), CYCLE_TASK)
        self.assertTrue(self.state("FunDescLabel")["visible"], "the Default page")
        self.assertEqual(self.text("FunDescLabel"), "")

    def test_each_function_shows_its_page_and_writes_its_element(self):
        self.open_with(ButtonCount=5)
        self.show_button_tab()
        pages = {UNIVERSAL_ZOOM: "IDC_ZOOM_FACTOR", UNIVERSAL_SCROLL: "vScrollRxSlider",
                 AUTO_SCROLL: "IDC_AUTO_SCROLL_TEST_BOX", CONNECT_TO_INTERNET: "WebAddrEdit", COPY: "FunDescLabel"}
        for box, element in (("FunctionComboBox", 0), ("Fun4ComboBox", 1), ("Fun5ComboBox", 2)):
            for code, control in pages.items():
                self.select(box, code)
                self.wait_field(f"ButtonFunction{element}", code)
                self.assertEqual([c for c in pages.values() if self.state(c)["visible"]], [control], (box, code))

        # The scroll page's controls.
        self.select("FunctionComboBox", UNIVERSAL_SCROLL)
        for control, field in (("VScrollCheckBox", "UScrollVertical"), ("hScrollCheckBox", "UScrollHorizontal"),
                               ("ReverseScrollCheckBox", "UScrollReverse")):
            before = self.field(field)
            self.click_control(control, dx=6)
            self.wait_field(field, 0 if before else -1)
            self.click_control(control, dx=6)
            self.wait_field(field, before)
        self.set_slider("hScrollRxSlider", 4)
        self.wait_field("UScrollHSpeed", 4)
        # The vertical slider has its fastest end at the top.
        self.set_slider("vScrollRxSlider", 1)
        self.wait_field("UScrollVSpeed", 10)
        self.set_slider("vScrollRxSlider", 8)
        self.wait_field("UScrollVSpeed", 3)


class Zoom(FormTest):
    def test_a_target_that_is_no_multiple_shows_factor_2_until_the_first_change_rewrites_it(self):
        self.open_with(ButtonCount=3, ZoomSourceWidth=30, ZoomSourceHeight=30, ZoomTargetWidth=65,
                       ZoomTargetHeight=61)
        self.assertEqual([self.text(c) for c in ("IDC_ZOOM_SOURCE_WIDTH", "IDC_ZOOM_SOURCE_HEIGHT", "IDC_ZOOM_FACTOR", "IDC_ZOOM_TARGET_WIDTH", "IDC_ZOOM_TARGET_HEIGHT")], ["30", "30", "2", "65", "61"])
        self.assertEqual(self.fields("ZoomTargetWidth", "ZoomTargetHeight"),
                         {"ZoomTargetWidth": 65, "ZoomTargetHeight": 61}, "opening changes nothing")
        self.show_button_tab()
        self.select("FunctionComboBox", UNIVERSAL_ZOOM)
        self.click_arrow("IDC_ZOOM_FACTOR_SPIN")
        self.wait_field("ZoomTargetWidth", 90)
        self.assertEqual(self.field("ZoomTargetHeight"), 90)
        self.assertEqual((self.text("IDC_ZOOM_FACTOR"), self.text("IDC_ZOOM_TARGET_WIDTH"), self.text("IDC_ZOOM_TARGET_HEIGHT")), ("3", "90", "90"))

        # The sizes go in steps of two; each rewrites its target.
        self.click_arrow("IDC_ZOOM_SOURCE_WIDTH_SPIN")
        self.wait_field("ZoomSourceWidth", 32)
        self.assertEqual((self.field("ZoomTargetWidth"), self.text("IDC_ZOOM_TARGET_WIDTH")), (96, "96"))
        self.set_text("IDC_ZOOM_SOURCE_HEIGHT", "20")
        self.wait_field("ZoomTargetHeight", 60)
        self.assertEqual((self.field("ZoomSourceHeight"), self.text("IDC_ZOOM_TARGET_HEIGHT")), (20, "60"))

    def test_a_source_width_of_0_shows_factor_2(self):
        self.open_with(ZoomSourceWidth=0, ZoomTargetWidth=64)
        self.assertEqual(self.text("IDC_ZOOM_FACTOR"), "2")
        self.assertEqual(self.text("IDC_ZOOM_SOURCE_WIDTH"), "2", "the size shows its smallest value")
        self.assertEqual(self.fields("ZoomSourceWidth", "ZoomTargetWidth"),
                         {"ZoomSourceWidth": 2, "ZoomTargetWidth": 4})


class WebAddresses(FormTest):
    def test_a_typed_address_goes_into_its_buttons_slot_only_and_does_not_enable_apply(self):
        self.open_with(ButtonCount=5, ButtonFunction1=CONNECT_TO_INTERNET)
        self.ctl.ask("appset 0 www.three.example", "OK")
        self.ctl.ask("appset 2 www.five.example", "OK")
        self.show_button_tab()
        self.click_control("Fun4ComboBox")
        self.assertTrue(wait_until(lambda: self.focus() == str(ID["Fun4ComboBox"])))
        self.xdo("key", "Escape")
        self.assertTrue(self.state("WebAddrEdit")["visible"])
        self.click_control("ApplyButton")
        self.assertTrue(wait_until(lambda: not self.apply_enabled()))

        self.click_control("WebAddrEdit")
        self.xdo("type", "--delay", "20", "www.four.example")
        self.assertTrue(wait_until(lambda: self.web_address(1) == "www.four.example"), self.web_address(1))
        self.assertEqual((self.web_address(0), self.web_address(2)), ("www.three.example", "www.five.example"))
        self.assertFalse(self.apply_enabled())

        # Entering the box again shows the live address, typed and not applied.
        self.click_control("FunctionComboBox")
        self.xdo("key", "Escape")
        self.click_control("Fun4ComboBox")
        self.assertTrue(wait_until(lambda: self.focus() == str(ID["Fun4ComboBox"])))
        self.xdo("key", "Escape")
        self.assertEqual(self.text("WebAddrEdit"), "www.four.example")

        self.set_text("WebAddrEdit", "h" * 300)
        self.assertTrue(wait_until(lambda: self.web_address(1) == "h" * 255))
        self.assertEqual(self.app_bytes()[772], 255)


if __name__ == "__main__":
    unittest.main(verbosity=2)
