// Scrolling the remembered target for the tray agent's auto scroll, and the
// legacy wheel window of Windows 95.
#pragma once

#include "hook_context.h"

namespace ptr {

int AutoUp(HookContext& ctx, int count);
int AutoDown(HookContext& ctx, int count);
int AutoLeft(HookContext& ctx, int count);
int AutoRight(HookContext& ctx, int count);

HWND CreateLegacyWheelWindow(HookContext& ctx, HINSTANCE instance, HWND parent, WNDPROC windowProc);
LRESULT LegacyWheelWindowProc(HookContext& ctx, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace ptr
