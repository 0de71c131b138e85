// The WH_MOUSE hook: gate, normalisation, dispatch, wheel routing.
#pragma once

#include "hook_context.h"

namespace ptr {

// lParam points to a MOUSEHOOKSTRUCT (a MOUSEHOOKSTRUCTEX on Windows 2000 and XP).
LRESULT MouseHook(HookContext& ctx, int code, WPARAM message, LPARAM lParam);

// The client-area counterpart of a non-client button message; any other
// message keeps its identifier.
UINT ClientMessageOf(UINT message);

}  // namespace ptr
