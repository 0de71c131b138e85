// What one call into the hook logic works with: the platform, the settings
// block, the desktop-wide shared state and this process's own state.
#pragma once

#include "platform.h"
#include "programs_block.h"
#include "settings_block.h"
#include "shared_state.h"
#include "window_handles.h"

#include <cstdint>

namespace ptr {

inline uint16_t LowWord32(uint64_t value) { return static_cast<uint16_t>(value & 0xFFFF); }
inline uint16_t HighWord32(uint64_t value) { return static_cast<uint16_t>((value >> 16) & 0xFFFF); }

// A program as one copy of the library knows it: the process (and the
// thread, for another process) that runs it, its file name, and which entry
// of the programs block holds its own settings.
struct KnownProgram {
    uint32_t ProcessId = 0;  // 0: the slot is free
    uint32_t ThreadId = 0;
    uint32_t LookupTime = 0;  // tick count when the name was found
    uint32_t Generation = 1;  // of the programs block when Entry was chosen; odd: to choose
    int32_t Entry = -1;       // -1: no settings of its own
    char Name[kProgramNameSize] = {};  // upper case; empty when not found or longer than any entry's
};

// Other programs this copy has met; the oldest slot is taken for a new one.
constexpr int kKnownProgramSlots = 8;

// Per-process state of one copy of the library.
struct ProcessState {
    HMODULE Module = nullptr;
    int16_t WheelDelta = 0;
    // The delta units that a horizontal marker in WheelDelta stands for: a
    // whole notch, or the part of one that a tilt or a high-resolution wheel sent.
    int32_t MarkerUnits = 120;
    // The wheel message is the tilt wheel's (WM_MOUSEHWHEEL).
    bool TiltWheel = false;
    int32_t ProcessKind = PROCESS_OTHER;
    UINT RollMessage = 0;          // "MSWHEEL_ROLLMSG", Windows 95 only
    UINT WheelSupportMessage = 0;  // "MSH_WHEELSUPPORT_MSG", Windows 95 only
    UINT ScrollLinesMessage = 0;   // "MSH_SCROLL_LINES_MSG", Windows 95 only
    bool BrowserAutoScroll = false;
    // Scroll-bar search, per orientation (0 vertical, 1 horizontal); valid during one search.
    bool BarSeen[2] = {false, false};
    HWND BarCandidate[2] = {nullptr, nullptr};
    // The programs block, mapped read-only at attach; null where there is none.
    const ProgramsBlock* Programs = nullptr;
    // The program this process runs, named at attach, and others met since.
    KnownProgram OwnProgram;
    KnownProgram OtherPrograms[kKnownProgramSlots];
    uint32_t NextProgramSlot = 0;
};

struct HookContext {
    Platform& api;
    SettingsBlock& block;
    HookSharedState& shared;
    ProcessState& process;
};

// The same call with another view of the settings block: a program's own.
inline HookContext WithSettings(const HookContext& ctx, SettingsBlock& settings) {
    return HookContext{ctx.api, settings, ctx.shared, ctx.process};
}

}  // namespace ptr
