// The common controls the form uses: tabs, up-down controls and trackbars.
#pragma once

#include "late_bound.h"

namespace setting {

enum class ControlClassInit { Extended, Classic };

// Registers the control classes: with InitCommonControlsEx where comctl32 has
// it (4.70 and later), else with InitCommonControls, which registers them all
// on Windows 95's comctl32 4.00. Says which of the two it used.
ControlClassInit InitControlClasses(ptr::ProcLookup lookup = ::GetProcAddress);

}  // namespace setting
