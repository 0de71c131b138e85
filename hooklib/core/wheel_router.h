// Enhanced wheel routing: the window under the cursor scrolls, not the focus.
#pragma once

#include "hook_context.h"

namespace ptr {

// Nonzero when the wheel message was handled and is to be swallowed.
int RouteWheel(HookContext& ctx, HWND hookWindow, int x, int y);

// Everything that counts notches counts whole ones through this: adds the
// delta units of one wheel message, in the direction of sign, to the part of
// a notch the axis kept (rest), and returns the whole notches they make;
// what is left over is kept for the next message of the same turn (the same
// direction, the same target, no pause beyond the double-click time).
int WholeNotches(HookContext& ctx, WheelRemainder& rest, HWND target, int sign, int32_t units);

}  // namespace ptr
