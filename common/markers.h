// Markers in the high word of dwExtraInfo of mouse input the suite injects.
#pragma once

#include <cstdint>

// The tilt wheel's message (Windows Vista and later, and some XP mouse
// drivers); the headers name it only for Vista and later. Positive tilts right.
#ifndef WM_MOUSEHWHEEL
#define WM_MOUSEHWHEEL 0x020E
#endif

namespace ptr {

constexpr uint16_t MARK_NONE = 0;
constexpr uint16_t MARK_RUN = 1;       // the release that runs the pending button function
constexpr uint16_t MARK_PASS = 3;      // input made for applications, never dispatched again
constexpr uint16_t MARK_SELF = 4;      // middle-button events of auto scroll and the task switch
constexpr uint16_t MARK_WHEEL = 0x4001;  // a wheel notch; the low word carries the delta

constexpr uint32_t ExtraInfo(uint16_t marker, uint16_t low = 0) {
    return (static_cast<uint32_t>(marker) << 16) | low;
}

// The horizontal wheel marker: one notch left (+840) or right (-840).
constexpr int16_t HWHEEL_LEFT = 840;
constexpr int16_t HWHEEL_RIGHT = -840;
constexpr int WHEEL_NOTCH = 120;

}  // namespace ptr
