// Drag Lock, Shift Lock, Control Lock, Horizontal Wheel, Universal Zoom and
// the task switch: start operations and handlers.
#pragma once

#include "hook_context.h"

namespace ptr {

int StartDragLock(HookContext& ctx);
int DragLockHandler(HookContext& ctx, HWND window, UINT message, uint16_t marker);
int StartKeyLock(HookContext& ctx, uint32_t mode);  // function::kShiftLock or kControlLock
int KeyLockHandler(HookContext& ctx, HWND window, UINT message, uint16_t marker);
int StartHorizontalWheel(HookContext& ctx);
int HorizontalWheelHandler(HookContext& ctx, HWND window, UINT message, uint16_t marker);
int StartZoom(HookContext& ctx);
int ZoomHandler(HookContext& ctx, HWND window, UINT message, uint16_t marker);
int StartTaskSwitch(HookContext& ctx);
int TaskSwitchHandler(HookContext& ctx, HWND window, UINT message, uint16_t marker);

// Ends whatever mode is active and lets go of every key and button a mode
// holds down, the lock flags included; clears the press and menu state.
void ReleaseAnyMode(HookContext& ctx);

}  // namespace ptr
