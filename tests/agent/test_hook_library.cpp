// PTRHK32A.dll bound as the tray agent binds it: every export by name.
#include "hook_library.h"

#include "module_path.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(HookLibrary, EveryExportTheAgentCallsIsBoundByName) {
    agent::HookLibrary library;
    library.module = LoadLibraryA((ptr::ProgramFolder() + "PTRHK32A.dll").c_str());
    ASSERT_NE(library.module, nullptr);
    EXPECT_EQ(agent::BindHookLibraryExports(library), nullptr);
    const void* bound[] = {reinterpret_cast<void*>(library.InstallHook),
                           reinterpret_cast<void*>(library.GetMapFilePointer),
                           reinterpret_cast<void*>(library.DoAutoUp),
                           reinterpret_cast<void*>(library.DoAutoDown),
                           reinterpret_cast<void*>(library.DoAutoLeft),
                           reinterpret_cast<void*>(library.DoAutoRight),
                           reinterpret_cast<void*>(library.CreateWheelWindow),
                           reinterpret_cast<void*>(library.GetHookStatus)};
    for (const void* function : bound) EXPECT_NE(function, nullptr);
    EXPECT_NE(library.GetMapFilePointer(), nullptr);
    FreeLibrary(library.module);

    // A library of another kind lacks the first export, and binding stops there.
    agent::HookLibrary other;
    other.module = GetModuleHandleA("kernel32.dll");
    EXPECT_STREQ(agent::BindHookLibraryExports(other), "InstallHook");
    EXPECT_EQ(other.GetMapFilePointer, nullptr);
}

}  // namespace
