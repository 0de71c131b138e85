// Names and descriptions from the program's own string table, the language
// module, the name library and a library with overlong texts; the choice of
// the resource and name modules.
#include "resource_modules.h"

#include "function_codes.h"
#include "function_list.h"
#include "setting_test_files.h"

#include <gtest/gtest.h>

#include <string>

using namespace setting;

namespace {

HMODULE LoadAsData(const std::string& path) { return LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE); }

struct Texts {
    std::string name;
    std::string description;
};

Texts TextsOf(HMODULE module, int code) {
    TFunctionNames names;
    names.SetNameModule(module);
    return {names.LoadFunctionName(code), names.LoadFunctionDescription(code)};
}

}  // namespace

TEST(FunctionNames, TheProgramsOwnTableNamesEveryListedCodeAndDescribesItByItsName) {
    HMODULE program = LoadAsData(TestProgramFolder() + "Setting.exe");
    ASSERT_NE(program, nullptr);
    struct Case {
        int code;
        const char* name;
    };
    // Every named code against the table, whose ids are the codes: a name
    // given the wrong number shows here. The names as stored, misspellings too.
    using namespace ptr::function;
    const Case spelled[] = {
        {kSystemDefault, "System Default"}, {kF1, "F1"}, {kF2, "F2"}, {kF3, "F3"}, {kF4, "F4"}, {kF5, "F5"},
        {kF6, "F6"}, {kF7, "F7"}, {kF8, "F8"}, {kF9, "F9"}, {kF10, "F10"}, {kEscape, "Esc"},
        {kBackspace, "Backspace"}, {kEnter, "Enter"}, {kSpace, "Space"}, {kDelete, "Delete"}, {kPageUp, "Page Up"},
        {kPageDown, "Page Down"}, {kTab, "Tab"}, {kHome, "Home"}, {kEnd, "End"}, {kUp, "Up"}, {kDown, "Down"},
        {kLeft, "Left"}, {kRight, "Right"}, {kUndo, "Undo"}, {kRedo, "Redo"}, {kCut, "Cut"}, {kCopy, "Copy"},
        {kPaste, "Paste"}, {kCycleTask, "Cycle Task"}, {kExplorer, "Explorer"}, {kFindComputer, "Find Computer"},
        {kFindFile, "Find File"}, {kSystemHelp, "System Help"}, {kMiddleButton, "Middle Button"},
        {kMinimizeAllWindows, "Minimize All Windows"}, {kRun, "Run.."}, {kStartMenu, "Start Menu"},
        {kSystemProperties, "System Property"}, {kUndoMinimizeAllWindows, "Undo Minimize All Windows"},
        {kControlPanel, "Control Panel"}, {kCloseApplication, "Close Applocation"}, {kDoubleClick, "Double Click"},
        {kMaximizeWindow, "Maximize Window"}, {kMinimizeWindow, "Minimize Window"}, {kDragLock, "Drag Lock"},
        {kShiftLock, "Shift Lock"}, {kControlLock, "Control Lock"}, {kHorizontalWheel, "Horizontal Wheel"},
        {kLaunchBrowser, "Lanuch Default Browser"}, {kLaunchMail, "Lanuch Default E-Mail"},
        {kBrowserBack, "I.E. Backward"}, {kBrowserForward, "I.E. Forward"}, {kUniversalScroll, "Universal Scroll"},
        {kAutoScroll, "Auto Scroll"}, {kUniversalZoom, "Universal Zoom"}, {kConnectToInternet, "Connect To Internel"},
        {kTaskSwitch, ""}};
    for (const Case& c : spelled) EXPECT_EQ(TextsOf(program, c.code).name, c.name) << c.code;
    for (int32_t code : kFunctionDisplayList) {
        const Texts texts = TextsOf(program, code);
        EXPECT_FALSE(texts.name.empty()) << code;
        EXPECT_EQ(texts.description, texts.name) << code;
    }
    EXPECT_EQ(TextsOf(program, 30).name, "") << "a code without a name";
    EXPECT_EQ(TextsOf(program, kTaskSwitch).description, "");
    const std::pair<int, const char*> status[] = {{4056, "Drag Lock Active"}, {4060, "Shift Locked"},
                                                  {4061, "Control Locked"},   {4062, "Horizontal Wheel"},
                                                  {4100, "Scroll Active"}};
    for (const auto& s : status) EXPECT_EQ(LoadResourceString(program, s.first), s.second);
    FreeLibrary(program);
}

TEST(FunctionNames, TextsOf255CharactersOrMoreAreCutTo254) {
    HMODULE longNames = LoadAsData(ModulesFolder() + "LONGNAMES.DLL");
    ASSERT_NE(longNames, nullptr);
    EXPECT_EQ(TextsOf(longNames, 0).name, std::string(254, 'a'));
    EXPECT_EQ(TextsOf(longNames, 1).name, std::string(254, 'b'));
    EXPECT_EQ(TextsOf(longNames, 2).name, std::string(254, 'c'));
    EXPECT_EQ(TextsOf(longNames, 0).description, std::string(254, 'd'));
    FreeLibrary(longNames);
}

TEST(ResourceModule, ALanguageModuleReplacesTheProgramAndAFileThatDoesNotLoadChangesNothing) {
    HINSTANCE program = GetModuleHandleA(nullptr);
    TResourceModule resources(program);
    ScratchFolder folder;
    folder.Write("LNGPAK.DLL", "not a library");
    EXPECT_EQ(resources.SetResourceModule(folder.Path() + "LNGPAK.DLL"), nullptr);
    EXPECT_EQ(resources.SetResourceModule(folder.Path() + "ABSENT.DLL"), nullptr);
    EXPECT_EQ(resources.ResourceModule(), program);

    HMODULE language = resources.SetResourceModule(ModulesFolder() + "LNGPAK.DLL");
    ASSERT_NE(language, nullptr);
    EXPECT_EQ(resources.ResourceModule(), language);
    EXPECT_EQ(LoadResourceString(resources.ResourceModule(), 0), "Systemstandard");
    EXPECT_EQ(resources.SetResourceModule(folder.Path() + "ABSENT.DLL"), nullptr);
    EXPECT_EQ(resources.ResourceModule(), language);

    HMODULE other = resources.SetResourceModule(ModulesFolder() + "SPINRSRC.DLL");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(resources.ResourceModule(), other);
    EXPECT_EQ(LoadResourceString(resources.ResourceModule(), ptr::function::kConnectToInternet), "Connect To Internet");
}

// A language module of an older program has no form, or only some texts:
// the form is the program's own, and each text the module lacks is the program's.
TEST(ResourceModule, WhatALanguageModuleLacksComesFromTheProgram) {
    HINSTANCE program = LoadAsData(TestProgramFolder() + "Setting.exe");
    ASSERT_NE(program, nullptr);
    struct Case {
        const char* module;
        bool ownForm;
        const char* name0;
        const char* name29;
        const char* title;
    };
    const Case cases[] = {
        {"", true, "System Default", "Paste", "Mouse Setting"},
        {"LNGPAK.DLL", true, "Systemstandard", "Einf\xFCgen", "Mauseinstellungen"},
        {"PARTLNG.DLL", false, "Systemstandard", "Paste", "Mauseinstellungen"},
        {"SPINRSRC.DLL", false, "System Default", "Paste (Ctrl+V)", "Mouse Setting"},
    };
    for (const Case& c : cases) {
        TResourceModule resources(program);
        if (*c.module) {
            ASSERT_NE(resources.SetResourceModule(ModulesFolder() + c.module), nullptr) << c.module;
        }
        EXPECT_EQ(resources.FormModule(), c.ownForm ? resources.ResourceModule() : program) << c.module;
        EXPECT_EQ(resources.LoadText(5001), c.title) << c.module;
        EXPECT_EQ(resources.LoadText(5000).empty(), false) << c.module;
        TFunctionNames names;
        names.SetNameModule(resources.ResourceModule(), program);
        EXPECT_EQ(names.LoadFunctionName(0), c.name0) << c.module;
        EXPECT_EQ(names.LoadFunctionName(29), c.name29) << c.module;
        EXPECT_EQ(names.LoadFunctionName(30), "") << c.module << ": a code without a name anywhere";
    }
    HMODULE partial = LoadAsData(ModulesFolder() + "PARTLNG.DLL");
    EXPECT_EQ(TextsOf(partial, 29).name, "") << "without a fallback a missing text stays empty";
    EXPECT_EQ(TextsOf(partial, ptr::function::kCopy).description, "Kopiert die Auswahl.");
    FreeLibrary(partial);
    FreeLibrary(program);
}

TEST(NameModule, TheNameLibraryIsLoadedAndOwnedOnlyWhenItIsThereAndLoads) {
    HMODULE resources = GetModuleHandleA(nullptr);
    {
        ScratchFolder empty;
        TNameModule names = ChooseNameModule(empty.Path(), resources);
        EXPECT_EQ(names.module, resources);
        EXPECT_FALSE(names.owned);
        FreeNameModule(names);
    }
    {
        ScratchFolder broken;
        broken.Write("SPINRSRC.DLL", "MZ but nothing more");
        TNameModule names = ChooseNameModule(broken.Path(), resources);
        EXPECT_EQ(names.module, resources) << "names come from the resource module";
        EXPECT_FALSE(names.owned) << "nothing to free";
        FreeNameModule(names);
    }
    {
        ScratchFolder present;
        present.Copy(ModulesFolder() + "SPINRSRC.DLL", "SPINRSRC.DLL");
        TNameModule names = ChooseNameModule(present.Path(), resources);
        ASSERT_NE(names.module, nullptr);
        EXPECT_NE(names.module, resources);
        EXPECT_TRUE(names.owned);
        EXPECT_EQ(LoadResourceString(names.module, 52), "Close Application");
        FreeNameModule(names);
        EXPECT_EQ(names.module, nullptr);
        EXPECT_EQ(GetModuleHandleA((present.Path() + "SPINRSRC.DLL").c_str()), nullptr) << "freed at exit";
    }
}
