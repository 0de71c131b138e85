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
// own, has not published its name (its process never took input through
// the hooks), or the programs block changed while it was read (settings
// then holds nothing to use). Asks the system one thing: the window's process.
bool SettingsOfWindow(HookContext& ctx, HWND window, SettingsBlock& settings);

// The same for the program the active mode started in.
bool SettingsOfModeProgram(HookContext& ctx, SettingsBlock& settings);

// A mode starts for a window: its program's settings stay with the mode.
void RememberModeProgram(HookContext& ctx, HWND window);

// Process attach: this process and its program, named from its executable's
// path and published in the running programs table, if there is one.
void RememberOwnProgram(Platform& api, ProcessState& process, const char* path);

// Every mouse message: the program stays published. A process whose slot a
// claimer took while the table was full claims one again (one thread at a
// time; the others go on at once).
void KeepOwnProgramPublished(ProcessState& process);

// Process detach: the slot is emptied.
void ForgetOwnProgram(ProcessState& process);

}  // namespace ptr
