// The form's control classes where comctl32 has no InitCommonControlsEx (4.00,
// Windows 95): the lookup is made to fail, InitCommonControls registers them,
// and every kind of control the form uses can be made.
#include "control_classes.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

FARPROC WINAPI FindNothing(HMODULE, LPCSTR) { return nullptr; }

struct ClassRow {
    const char* name;
    ptr::ProcLookup lookup;
    setting::ControlClassInit expected;
};

const ClassRow kRows[] = {
    {"comctl32 4.70 and later", ::GetProcAddress, setting::ControlClassInit::Extended},
    {"comctl32 4.00", FindNothing, setting::ControlClassInit::Classic},
};

TEST(ControlClassesTest, EveryControlOfTheFormCanBeMade) {
    for (const ClassRow& row : kRows) {
        EXPECT_EQ(setting::InitControlClasses(row.lookup), row.expected) << row.name;
        for (const char* kind : {WC_TABCONTROLA, UPDOWN_CLASSA, TRACKBAR_CLASSA}) {
            HWND control = CreateWindowExA(0, kind, "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
            EXPECT_NE(control, nullptr) << row.name << ": " << kind;
            if (control) DestroyWindow(control);
        }
    }
}

}  // namespace
