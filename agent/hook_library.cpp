#include "hook_library.h"

namespace agent {

namespace {

// Binds nothing more once an export was missing.
template <typename Function>
void Bind(HMODULE module, const char* name, Function& function, const char*& missing) {
    if (missing) return;
    function = LibraryExport<Function>(module, name);
    if (!function) missing = name;
}

}  // namespace

const char* BindHookLibraryExports(HookLibrary& library) {
    const char* missing = nullptr;
    HMODULE module = library.module;
    Bind(module, "InstallHook", library.InstallHook, missing);
    Bind(module, "GetMapFilePointer", library.GetMapFilePointer, missing);
    Bind(module, "DoAutoUp", library.DoAutoUp, missing);
    Bind(module, "DoAutoDown", library.DoAutoDown, missing);
    Bind(module, "DoAutoLeft", library.DoAutoLeft, missing);
    Bind(module, "DoAutoRight", library.DoAutoRight, missing);
    Bind(module, "CreateWheelWindow", library.CreateWheelWindow, missing);
    Bind(module, "GetHookStatus", library.GetHookStatus, missing);
    return missing;
}

}  // namespace agent
