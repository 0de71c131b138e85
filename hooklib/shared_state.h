// HookSharedState: one instance per desktop, in the library's shared data
// section. Every field is one aligned 32-bit word so that it is read and
// written whole without locks; handles are kept as 32-bit values.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ptr {

struct Point32 {
    int32_t x;
    int32_t y;
};

struct Rect32 {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The part of a notch that a high-resolution wheel or a tilt has sent and
// that has not made a whole notch yet, for one axis: delta units signed by
// their direction, the window under the cursor they were meant for, and the
// tick count of the last part.
struct WheelRemainder {
    int32_t Units;
    uint32_t Target;
    uint32_t Time;
};

struct HookSharedState {
    int32_t ScrollKind;
    uint32_t ScrollTarget;
    uint32_t VBarControl;
    uint32_t HBarControl;
    uint32_t SavedForeground;
    Point32 Anchor;
    Point32 LastPos;
    Rect32 ScreenBounds;
    int32_t VThreshold;
    int32_t HThreshold;
    int32_t VStep;
    int32_t HStep;
    uint32_t Mode;
    uint32_t PendingFunction;
    int32_t ReleaseAction;
    int32_t ControlLocked;
    int32_t ShiftLocked;
    uint32_t PendingButton;
    int32_t TabCount;
    int32_t OsKind;
    uint32_t MouseHook;
    uint32_t MsgFilterHook;
    int32_t MenuActive;
    uint32_t Nt4WheelHook;
    uint32_t XButtonHook;
    // The user's release of a press the dispatcher swallowed has not been
    // handled yet. Auto scroll takes that release as the one over its window,
    // whichever window the system queued it for before the window came up.
    int32_t ReleasePending;
    // Shared, not per process: the hook runs in whichever process takes the
    // wheel message off its queue (the focus owner's on most systems), and
    // the next part of the same turn may arrive in another one.
    WheelRemainder VRemainder;  // positive up
    WheelRemainder HRemainder;  // positive left, as the horizontal marker +840
    // The program a mode started in, whose settings of its own the mode
    // keeps wherever the cursor goes: the process and thread that made the
    // window of the start; 0 when no program had settings of its own then.
    uint32_t ModeProcessId;
    uint32_t ModeThreadId;
};

static_assert(offsetof(HookSharedState, Anchor) == 20, "layout");
static_assert(offsetof(HookSharedState, ScreenBounds) == 36, "layout");
static_assert(offsetof(HookSharedState, VThreshold) == 52, "layout");
static_assert(offsetof(HookSharedState, Mode) == 68, "layout");
static_assert(offsetof(HookSharedState, OsKind) == 96, "layout");
static_assert(offsetof(HookSharedState, XButtonHook) == 116, "layout");
static_assert(offsetof(HookSharedState, ReleasePending) == 120, "layout");
static_assert(offsetof(HookSharedState, VRemainder) == 124, "layout");
static_assert(offsetof(HookSharedState, HRemainder) == 136, "layout");
static_assert(offsetof(HookSharedState, ModeProcessId) == 148, "layout");
static_assert(sizeof(HookSharedState) == 156, "every field is 32-bit, in order");

// Start values: all zero except the universal-scroll thresholds and steps.
constexpr HookSharedState kInitialSharedState = {
    0, 0, 0, 0, 0, {0, 0}, {0, 0}, {0, 0, 0, 0},
    1, 1, 1, 1,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    {0, 0, 0}, {0, 0, 0},
    0, 0};

// Windows versions as the library tells them apart.
enum OsKindValue : int32_t {
    OS_OTHER = 0,
    OS_WIN95 = 1,
    OS_WIN98 = 2,
    OS_NT4 = 3,
    OS_WIN2000 = 4,
    OS_WINME = 5,
    OS_WINXP = 6,
};

// Kind of the host process, from the base name of its executable.
enum ProcessKindValue : int32_t {
    PROCESS_OTHER = 0,
    PROCESS_WORD = 1,
    PROCESS_EXCEL = 3,
    PROCESS_NETSCP6 = 4,
    PROCESS_RUNDLL32 = 5,
};

}  // namespace ptr
