// What one call into the hook logic works with: the platform, the settings
// block, the desktop-wide shared state and this process's own state.
#pragma once

#include "platform.h"
#include "settings_block.h"
#include "shared_state.h"
#include "window_handles.h"

#include <cstdint>

namespace ptr {

inline uint16_t LowWord32(uint64_t value) { return static_cast<uint16_t>(value & 0xFFFF); }
inline uint16_t HighWord32(uint64_t value) { return static_cast<uint16_t>((value >> 16) & 0xFFFF); }

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
};

struct HookContext {
    Platform& api;
    SettingsBlock& block;
    HookSharedState& shared;
    ProcessState& process;
};

}  // namespace ptr
