// Enhanced wheel routing: the window under the cursor scrolls, not the focus.
#pragma once

#include "hook_context.h"

namespace ptr {

// Nonzero when the wheel message was handled and is to be swallowed.
int RouteWheel(HookContext& ctx, HWND hookWindow, int x, int y);

}  // namespace ptr
