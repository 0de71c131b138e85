// The exports of PTRHK32A.dll, as the tray agent and other callers see them.
// All are WINAPI functions exported under undecorated names; callers bind them
// with GetProcAddress (hook_library.h binds all that a host calls).
#pragma once

#include "late_bound.h"

#include <windows.h>

extern "C" {
typedef LONG(WINAPI* InstallHookFn)(LONG install);
typedef void*(WINAPI* GetMapFilePointerFn)(void);
typedef int(WINAPI* DoAutoFn)(int count);
typedef HWND(WINAPI* CreateWheelWindowFn)(HINSTANCE instance, HWND parent);
typedef DWORD(WINAPI* GetHookStatusFn)(void);
// The x86_64 library only: the 64-bit host's install (nonzero: the mouse and
// message-filter hooks, returns GetHookStatus) and removal (zero: its own
// hooks and nothing else, returns 0).
typedef LONG(WINAPI* InstallHostHookFn)(LONG install);
}

// GetHookStatus: the hooks the library holds, one bit each, so that the tray
// agent can tell that InstallHook really put them in.
constexpr DWORD HOOK_STATUS_MOUSE = 0x1;      // WH_MOUSE, MouseProc
constexpr DWORD HOOK_STATUS_MSGFILTER = 0x2;  // WH_SYSMSGFILTER, SysMsgHookProc
constexpr DWORD HOOK_STATUS_NT4_WHEEL = 0x4;  // WH_MOUSE_LL, LowLevelMouseProc
constexpr DWORD HOOK_STATUS_XBUTTON = 0x8;    // WH_MOUSE_LL, LowLevelMouseProc5

// An export of the library by its plain name, as a typed function pointer.
template <typename Function>
Function LibraryExport(HMODULE library, const char* name) {
    return ptr::LateBound<Function>(library, name);
}
