// The four scroll primitives; everything is posted, nothing waits.
#pragma once

#include "hook_context.h"

namespace ptr {

int ScrollUp(HookContext& ctx, HWND target, int x, int y, uint32_t code, int count, HWND barControl, int pageFlag);
int ScrollDown(HookContext& ctx, HWND target, int x, int y, uint32_t code, int count, HWND barControl, int pageFlag);
int ScrollLeft(HookContext& ctx, HWND target, uint32_t code, int count, HWND barControl, int pageFlag);
int ScrollRight(HookContext& ctx, HWND target, uint32_t code, int count, HWND barControl, int pageFlag);
void PostKeyStroke(HookContext& ctx, HWND window, BYTE vk);
HWND WheelRecipient(HookContext& ctx, HWND window);
// Control or Shift held or locked: a vertical scroll becomes one notch
// carrying the modifier, whatever its count.
bool ModifiersActive(HookContext& ctx);

}  // namespace ptr
