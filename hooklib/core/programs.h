// Settings of their own for the programs the user chose: each action takes
// the settings of the program that owns the window it is for, laid over the
// settings block, and every program without any takes the block as it is.
#pragma once

#include "hook_context.h"

namespace ptr {

// Some program has settings of its own (the programs block is mapped, of
// this layout, and holds an entry). Otherwise nothing here is asked.
bool ProgramsInUse(const ProcessState& process);

// Fills settings with the block as the program that owns window sees it
// and returns true; returns false when that program has no settings of its
// own, cannot be named, or the programs block changed while it was read
// (settings then holds nothing to use).
bool SettingsOfWindow(HookContext& ctx, HWND window, SettingsBlock& settings);

// The same for the program the active mode started in.
bool SettingsOfModeProgram(HookContext& ctx, SettingsBlock& settings);

// A mode starts for a window: its program's settings stay with the mode.
void RememberModeProgram(HookContext& ctx, HWND window);

// Process attach: this process and its program, from its executable's path.
void RememberOwnProgram(Platform& api, ProcessState& process, const char* path);

// How long the name found for another process is trusted: a process that
// ended leaves its number to a new one, which may run another program.
constexpr DWORD kProgramNameLifetime = 10000;

}  // namespace ptr
