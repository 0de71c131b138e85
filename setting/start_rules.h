// Whether the settings program may start, from the shared settings block,
// and how the form lets go of its place there.
#pragma once

#include "settings_block.h"

#include <cstdint>
#include <functional>

namespace setting {

enum class StartDecision {
    Run,
    NoAgent,   // no tray agent has registered its window, or that window is gone
    FormOpen,  // another settings form is open: bring it forward
};

// isAgent tells whether an AgentWindow value names the tray agent's window:
// an agent that crashed leaves its handle behind, and a form opened then
// would edit settings that nobody keeps. isOpenForm tells whether a
// SettingsWindow value still names an open settings form: a value left
// behind by a settings program that ended without clearing it names no
// window, and does not keep every later start out.
StartDecision DecideStart(const ptr::SettingsBlock& block, const std::function<bool(uint32_t)>& isAgent,
                          const std::function<bool(uint32_t)>& isOpenForm);

// A closing form clears SettingsWindow only while it still names that form.
void ClearOwnSettingsWindow(ptr::SettingsBlock& block, uint32_t form);

}  // namespace setting
