// The hooks' desktop-wide state "PTRHK32A_3_STATE" (HookSharedState): the
// mode and what it holds down, the pending function and release action, the
// remembered scroll target, the wheel remainders, the Windows version, the
// program a mode started in. One for the whole desktop, whichever library
// handles a message: on 64-bit Windows the i686 library serves the 32-bit
// programs and the x86_64 one the 64-bit programs, and a mode started in one
// must end in the other. So it is a named mapping of one fixed layout of
// 32-bit fields in both builds (handles as 32-bit values, sign-extended
// when widened), not a data section of either library. What belongs to one
// library alone (its hook handles, which only it can unhook) stays in that
// library's own shared section (hooklib/shared_state.h).
//
// Layout, little-endian, offsets in bytes:
//
//   0   u32  Size       172, the whole mapping
//   4   u32  Version    1
//   8   u32  StateSize  140, the HookSharedState below
//   12  u32  Reserved   x 5
//   32  HookSharedState
//
// No lock: every copy of either library prepares the mapping when it
// attaches, before it reads a field. A fresh mapping is zero-filled; each
// preparer writes the same header words and the same start values, each with
// a compare-and-swap from the zero of a fresh mapping, and Size last. A copy
// that maps it a moment after its creator so never reads a start value that
// is not there yet (it writes it itself, or sees Size and everything before
// it), and a later copy never overwrites a live value: no field that starts
// at something else than zero is ever zero once it is in use.
//
// Header-only and free of any runtime, so that the hook library includes it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ptr {

constexpr char kDesktopStateName[] = "PTRHK32A_3_STATE";
constexpr uint32_t kDesktopStateVersion = 1;

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
    int32_t MenuActive;
    // The user's release of a press the dispatcher swallowed has not been
    // handled yet. Auto scroll takes that release as the one over its window,
    // whichever window the system queued it for before the window came up.
    int32_t ReleasePending;
    // Desktop-wide, not per process: the hook runs in whichever process takes
    // the wheel message off its queue (the focus owner's on most systems),
    // and the next part of the same turn may arrive in another one.
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
static_assert(offsetof(HookSharedState, MenuActive) == 100, "layout");
static_assert(offsetof(HookSharedState, ReleasePending) == 104, "layout");
static_assert(offsetof(HookSharedState, VRemainder) == 108, "layout");
static_assert(offsetof(HookSharedState, HRemainder) == 120, "layout");
static_assert(offsetof(HookSharedState, ModeProcessId) == 132, "layout");
static_assert(sizeof(HookSharedState) == 140, "every field is 32-bit, in order");

// Start values: all zero except the universal-scroll thresholds and steps.
constexpr HookSharedState kInitialSharedState = {
    0, 0, 0, 0, 0, {0, 0}, {0, 0}, {0, 0, 0, 0},
    1, 1, 1, 1,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    {0, 0, 0}, {0, 0, 0},
    0, 0};

struct DesktopStateHeader {
    uint32_t Size;
    uint32_t Version;
    uint32_t StateSize;
    uint32_t Reserved[5];
};

struct DesktopState {
    DesktopStateHeader Header;
    HookSharedState State;
};

static_assert(sizeof(DesktopStateHeader) == 32 && offsetof(DesktopState, State) == 32, "layout");
constexpr uint32_t kDesktopStateSize = sizeof(DesktopState);
static_assert(kDesktopStateSize == 172, "the desktop state is 172 bytes");

namespace desktop {

constexpr uint32_t kStateWords = sizeof(HookSharedState) / sizeof(uint32_t);

inline uint32_t InitialWord(uint32_t index) {
    const HookSharedState initial = kInitialSharedState;
    return reinterpret_cast<const uint32_t*>(&initial)[index];
}

inline bool ZeroOr(uint32_t word, uint32_t value) { return word == 0 || word == value; }

inline void SwapFromZero(uint32_t& word, uint32_t value) {
    uint32_t expected = 0;
    __atomic_compare_exchange_n(&word, &expected, value, false, __ATOMIC_ACQ_REL, __ATOMIC_RELAXED);
}

}  // namespace desktop

// Whether the mapping is of this layout.
inline bool IsDesktopStateLayout(const DesktopStateHeader& header) {
    return __atomic_load_n(&header.Size, __ATOMIC_ACQUIRE) == kDesktopStateSize &&
           header.Version == kDesktopStateVersion && header.StateSize == sizeof(HookSharedState);
}

// Every copy of the library, at attach, before it reads a field. Returns
// whether the mapping is of this layout; one of another layout (a suite of
// another version on the same desktop) is left as it is.
inline bool PrepareDesktopState(DesktopState& mapped) {
    DesktopStateHeader& header = mapped.Header;
    const bool fresh = __atomic_load_n(&header.Size, __ATOMIC_ACQUIRE) == 0 &&
                       desktop::ZeroOr(header.Version, kDesktopStateVersion) &&
                       desktop::ZeroOr(header.StateSize, sizeof(HookSharedState));
    if (fresh) {
        header.Version = kDesktopStateVersion;
        header.StateSize = sizeof(HookSharedState);
        uint32_t* words = reinterpret_cast<uint32_t*>(&mapped.State);
        for (uint32_t i = 0; i < desktop::kStateWords; ++i) {
            const uint32_t start = desktop::InitialWord(i);
            if (start != 0) desktop::SwapFromZero(words[i], start);
        }
        desktop::SwapFromZero(header.Size, kDesktopStateSize);
    }
    return IsDesktopStateLayout(header);
}

}  // namespace ptr
