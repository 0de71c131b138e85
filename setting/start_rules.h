// Whether the settings program may start, from the shared settings block.
#pragma once

#include "settings_block.h"

#include <cstdint>
#include <functional>

namespace setting {

enum class StartDecision {
    Run,
    NoAgent,   // no tray agent has registered its window
    FormOpen,  // another settings form is open: bring it forward
};

// isOpenForm tells whether a SettingsWindow value still names an open
// settings form. A value left behind by a settings program that ended without
// clearing it names no window, and does not keep every later start out.
StartDecision DecideStart(const ptr::SettingsBlock& block, const std::function<bool(uint32_t)>& isOpenForm);

}  // namespace setting
