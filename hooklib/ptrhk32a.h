// The exports of PTRHK32A.dll, as the tray agent and other callers see them.
// All are WINAPI functions exported under undecorated names; callers bind them
// with GetProcAddress.
#pragma once

#include <windows.h>

extern "C" {
typedef LONG(WINAPI* InstallHookFn)(LONG install);
typedef void*(WINAPI* GetMapFilePointerFn)(void);
typedef int(WINAPI* DoAutoFn)(int count);
typedef HWND(WINAPI* CreateWheelWindowFn)(HINSTANCE instance, HWND parent);
}

// An export of the library by its plain name, as a typed function pointer.
template <typename Function>
Function LibraryExport(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}
