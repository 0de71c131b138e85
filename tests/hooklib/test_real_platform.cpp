// The hook library's real binding where a newer system's function is missing:
// the lookup is made to fail, and the call it serves takes its fallback
// instead of calling through a null pointer.
#include "program_names.h"
#include "real_platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace ptr {
// The binding's links to the DLL layer, which this test does not load.
HMODULE LibraryModule() { return nullptr; }
HOOKPROC HookProcedure(HookProcId) { return nullptr; }
}  // namespace ptr

namespace {

FARPROC WINAPI FindNothing(HMODULE, LPCSTR) { return nullptr; }

// NT 4: kernel32 without tool help, psapi.dll beside it.
FARPROC WINAPI FindNoToolHelp(HMODULE module, LPCSTR name) {
    if (std::strcmp(name, "CreateToolhelp32Snapshot") == 0) return nullptr;
    return ::GetProcAddress(module, name);
}

// A system with tool help but no PSAPI.
FARPROC WINAPI FindNoPsapi(HMODULE module, LPCSTR name) {
    if (std::strcmp(name, "GetModuleBaseNameA") == 0) return nullptr;
    return ::GetProcAddress(module, name);
}

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

namespace {

std::string NameOf(ptr::ProgramNameLookup& names, DWORD process, DWORD size = MAX_PATH) {
    char name[MAX_PATH] = "left over";
    DWORD length = ptr::ProgramNameOfProcess(names, process, name, size);
    EXPECT_EQ(length, std::strlen(name));
    return name;
}

// The settings program's picker names a window's program: this process's
// program is found by whichever way the system offers; without any, or for
// a process that does not exist, nothing is.
TEST(LateBoundTest, AProgramIsNamedByToolHelpOrByPsapi) {
    const struct {
        const char* name;
        ptr::ProcLookup lookup;
        const char* found;  // upper case
    } rows[] = {
        {"tool help", ::GetProcAddress, "HOOKLIB_UNIT_TESTS.EXE"},
        {"PSAPI, as on NT 4", FindNoToolHelp, "HOOKLIB_UNIT_TESTS.EXE"},
        {"tool help without PSAPI", FindNoPsapi, "HOOKLIB_UNIT_TESTS.EXE"},
        {"neither", FindNothing, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ptr::ProgramNameLookup names;
        ptr::BindProgramNameLookup(names, row.lookup);
        std::string own = NameOf(names, ::GetCurrentProcessId());
        ::CharUpperBuffA(&own[0], static_cast<DWORD>(own.size()));
        EXPECT_EQ(own, row.found);
        EXPECT_EQ(NameOf(names, 0xFFFFFFF0u), "") << "no such process";
        EXPECT_EQ(NameOf(names, ::GetCurrentProcessId(), 8), "") << "a name that does not fit";
    }
}

}  // namespace
