// The hook library's real binding where a newer system's function is missing:
// the lookup is made to fail, and the call it serves takes its fallback
// instead of calling through a null pointer.
#include "real_platform.h"

#include <gtest/gtest.h>

namespace ptr {
// The binding's links to the DLL layer, which this test does not load.
HMODULE LibraryModule() { return nullptr; }
HOOKPROC HookProcedure(HookProcId) { return nullptr; }
}  // namespace ptr

namespace {

FARPROC WINAPI FindNothing(HMODULE, LPCSTR) { return nullptr; }

struct LateRow {
    const char* name;
    ptr::ProcLookup lookup;
    BOOL inMenuLoop;  // outside any menu
};

// With GetGUIThreadInfo the binding sees that no menu runs; without it (Windows
// 95) it cannot tell and answers TRUE, the careful answer.
const LateRow kRows[] = {
    {"found", ::GetProcAddress, FALSE},
    {"missing", FindNothing, TRUE},
};

TEST(LateBoundTest, MenuLoopAnswersWithAndWithoutGetGUIThreadInfo) {
    for (const LateRow& row : kRows) {
        ptr::RealPlatform api;
        api.BindLateFunctions(row.lookup);
        EXPECT_EQ(api.InMenuLoop(), row.inMenuLoop) << row.name;
    }
}

}  // namespace
