// PTRHK32A.dll as a program that hosts it holds it: the module and every
// export it calls, bound by name.
#pragma once

#include "ptrhk32a.h"

namespace agent {

struct HookLibrary {
    HMODULE module = nullptr;
    InstallHookFn InstallHook = nullptr;
    GetMapFilePointerFn GetMapFilePointer = nullptr;
    DoAutoFn DoAutoUp = nullptr;
    DoAutoFn DoAutoDown = nullptr;
    DoAutoFn DoAutoLeft = nullptr;
    DoAutoFn DoAutoRight = nullptr;
    CreateWheelWindowFn CreateWheelWindow = nullptr;
    GetHookStatusFn GetHookStatus = nullptr;
};

// Binds every export of library.module, in the order above. Returns the name
// of the first one the module lacks (a library of another version), or
// nullptr when all are bound.
const char* BindHookLibraryExports(HookLibrary& library);

}  // namespace agent
