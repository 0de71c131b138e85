// What one call into the hook logic works with: the platform, the settings
// block, the desktop-wide shared state and this process's own state.
#pragma once

#include "markers.h"
#include "platform.h"
#include "programs_block.h"
#include "running_programs.h"
#include "settings_block.h"
#include "shared_state.h"
#include "window_handles.h"

#include <cstdint>

namespace ptr {

inline uint16_t LowWord32(uint64_t value) { return static_cast<uint16_t>(value & 0xFFFF); }
inline uint16_t HighWord32(uint64_t value) { return static_cast<uint16_t>((value >> 16) & 0xFFFF); }

// The wheel message being handled, as the dispatcher and the router see
// it. A value of the one call that handles the message, on the stack of the
// thread that took it off its queue: two threads of one program (a browser,
// the shell) take wheel messages at the same time.
struct WheelMessage {
    // The delta after the reverse flags; a horizontal notch, whether the
    // driver's marker or a tilt, as the horizontal marker of its direction.
    int16_t Delta = 0;
    // The delta units the horizontal marker stands for: a whole notch, or
    // the part of one that a tilt or a high-resolution wheel sent.
    int32_t MarkerUnits = WHEEL_NOTCH;
    // The message is the tilt wheel's (WM_MOUSEHWHEEL).
    bool Tilt = false;
};

// The names of the programs block's entries in upper case, made once for
// each generation of the block in each process, so that naming a program's
// entry costs no call into the system. Threads of the process share it
// without a lock: one at a time makes it (Sequence odd meanwhile), and a
// reader uses what it read only when Sequence is the same after.
struct ProgramsIndex {
    uint32_t Sequence = 0;
    uint32_t Made = 0;        // non-zero once made from a whole block
    uint32_t Generation = 0;  // of the programs block it was made from
    uint32_t Count = 0;
    char Names[kMaxPrograms][kProgramNameSize] = {};
};

// Per-process state of one copy of the library: set at attach and read by
// every thread after, but for the few words each says how it is shared.
// Every start value is zero, so that it takes no room in the library's file.
struct ProcessState {
    HMODULE Module = nullptr;
    int32_t ProcessKind = PROCESS_OTHER;
    UINT RollMessage = 0;          // "MSWHEEL_ROLLMSG", Windows 95 only
    UINT WheelSupportMessage = 0;  // "MSH_WHEELSUPPORT_MSG", Windows 95 only
    UINT ScrollLinesMessage = 0;   // "MSH_SCROLL_LINES_MSG", Windows 95 only
    bool BrowserAutoScroll = false;
    // The programs block, mapped read-only at attach; null where there is none.
    const ProgramsBlock* Programs = nullptr;
    // The running programs table, null where there is none; this process's
    // id, its program's file name in upper case (empty when it is longer than
    // any entry's), and where it is published there.
    RunningPrograms* Running = nullptr;
    uint32_t ProcessId = 0;
    char ProgramName[kProgramNameSize] = {};
    RunningProgramClaim Claim;
    // Non-zero while a thread of this process publishes its program again.
    uint32_t Claiming = 0;
    ProgramsIndex Index;
};

struct HookContext {
    Platform& api;
    SettingsBlock& block;
    HookSharedState& shared;
    ProcessState& process;
    WheelMessage wheel = {};
};

// The same call with another view of the settings block: a program's own.
inline HookContext WithSettings(const HookContext& ctx, SettingsBlock& settings) {
    return HookContext{ctx.api, settings, ctx.shared, ctx.process, ctx.wheel};
}

}  // namespace ptr
