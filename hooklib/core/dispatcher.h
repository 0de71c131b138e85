// The button-function dispatcher.
#pragma once

#include "hook_context.h"

namespace ptr {

// Returns 1 to swallow the message, 0 to let it go on.
int Dispatch(HookContext& ctx, HWND window, UINT message, int x, int y, uint16_t marker, uint16_t index);

}  // namespace ptr
