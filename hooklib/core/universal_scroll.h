// Universal scroll and auto scroll, the modes of the functions of those names.
#pragma once

#include "hook_context.h"

namespace ptr {

int StartUniversalScroll(HookContext& ctx, HWND window, int x, int y);
int UniversalScrollHandler(HookContext& ctx, HWND window, UINT message, int x, int y);
int StartAutoScroll(HookContext& ctx, HWND window);
int AutoScrollHandler(HookContext& ctx, HWND window, UINT message, uint16_t marker);

}  // namespace ptr
