// The other windows the settings program meets through the settings block:
// the tray agent's main window and the form of another settings program. A
// handle in the block is only a number: the window may be gone (an agent
// that crashed could not clear it) and the number may since name another
// window, so each is looked at before it is used.
#pragma once

#include <cstdint>

namespace setting {

// A live window of the tray agent's class.
bool IsTrayAgentWindow(uint32_t value);

// Tells the tray agent that settings were applied; false when no tray agent
// window is there to take the message.
bool TellTrayAgent(uint32_t agentWindow);

// A live dialog box: the open form of another settings program.
bool IsOpenSettingsForm(uint32_t value);

// The same, and already shown (a form still being made is not yet brought forward).
bool IsShownSettingsForm(uint32_t value);

// Brings the form of another settings program forward: restored if it is
// minimised, then made the foreground window.
void BringFormForward(uint32_t value);

}  // namespace setting
