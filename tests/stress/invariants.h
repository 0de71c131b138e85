// What must hold after every call of a hook procedure or export, whatever
// came before: each check returns an empty string or what it found wrong.
#pragma once

#include "world.h"

#include <string>

namespace ptr::stress {

// Extra bit beside fake::HELD_...: an X button the mouse reports with an
// index other than 1 or 2.
constexpr unsigned HELD_XOTHER = 32;

// The user at the mouse: the physical buttons held, and those X buttons
// whose press the low-level hook swallowed and made into a middle press
// (their release comes back as a middle release, not as their own).
struct UserState {
    unsigned held = 0;
    unsigned translated = 0;
};

// What the tray agent believes, from the notifications it received.
struct AgentView {
    uint32_t agentWindow = 0;  // the view belongs to this AgentWindow
    uint32_t announcedMode = 0;
    bool zooming = false;
    bool autoScrolling = false;
};

// Reads this call's notifications to the agent. A new agent window (or none)
// starts from nothing: what the old one was told no longer shows anywhere.
void UpdateAgentView(AgentView& view, World& world);

// This call's deliveries: only to windows; at most 273 steps and the end of
// one scroll per kind, no wheel delta beyond 273 notches, bounded sends.
std::string CheckDeliveries(World& world);
// Keys and buttons the suite's own input holds down, and what allows it.
// Buttons are judged only while every button message since the user last
// held nothing came from the user or from the suite: a press some other
// program makes, mixed into the user's, can take over the one pending
// function and release action there is (keys are judged always).
std::string CheckHeldInput(World& world, const UserState& user, bool judgeButtons);
// Mode, pending state, lock flags and counters are values they can have,
// and the agent is never left showing a mode that has ended.
std::string CheckSharedState(World& world, const AgentView& view);

}  // namespace ptr::stress
