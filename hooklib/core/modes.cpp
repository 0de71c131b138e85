// Drag Lock, Shift Lock, Control Lock, Horizontal Wheel, Universal Zoom and
// the task switch. Each start runs for the marked release of the button
// press that chose the function; each handler sees every dispatched message
// while its mode is active.
#include "modes.h"

#include "actions.h"
#include "function_codes.h"
#include "markers.h"
#include "wheel_router.h"

namespace ptr {
namespace {

constexpr DWORD kWin95TabPause = 50;

// No more Tabs than one scroll has steps: past that the switcher has long
// gone round every task, and each notch (or the replay at the end, with its
// pauses on Windows 95) would hold the hooked thread for ever longer.
constexpr int32_t kMaxTabCount = 273;

BYTE LockKey(uint32_t mode) { return mode == function::kShiftLock ? VK_SHIFT : VK_CONTROL; }

int32_t& LockFlag(HookContext& ctx, uint32_t mode) {
    return mode == function::kShiftLock ? ctx.shared.ShiftLocked : ctx.shared.ControlLocked;
}

void TapTab(HookContext& ctx, DWORD pause) {
    KeyDown(ctx, VK_TAB);
    if (pause != 0) ctx.api.Sleep(pause);
    KeyUp(ctx, VK_TAB);
}

// Windows 95 needs a pause between a Tab's press and its release; the
// replay holds the hooked thread for them, so it presses no more Tabs than
// a second of pauses allows (the twentieth task at most).
constexpr int32_t kMaxPausedTabs = 20;

// Windows 95, 98 and Me: once the held Alt is up, the same number of Tabs is
// pressed again under an Alt of its own.
void ReplayTaskSelection(HookContext& ctx, DWORD pause) {
    int32_t tabs = ctx.shared.TabCount;
    if (tabs > kMaxTabCount) tabs = kMaxTabCount;
    if (pause != 0 && tabs > kMaxPausedTabs) tabs = kMaxPausedTabs;
    KeyDown(ctx, VK_MENU);
    for (int32_t tab = 0; tab < tabs; ++tab) TapTab(ctx, pause);
    KeyUp(ctx, VK_MENU);
}

void FinishTaskSwitch(HookContext& ctx) {
    KeyUp(ctx, VK_MENU);
    ctx.shared.Mode = 0;
    int32_t os = ctx.shared.OsKind;
    if (os == OS_WIN98 || os == OS_WINME) ReplayTaskSelection(ctx, 0);
    else if (os == OS_WIN95) ReplayTaskSelection(ctx, kWin95TabPause);
}

// The most notches one wheel message stands for: 273 x 120 = 32760 is the
// largest delta that fits its signed 16 bits.
constexpr int kMaxNotches = 273;

void CountTabs(HookContext& ctx, int notches) {
    int32_t count = ctx.shared.TabCount;
    if (count < 0) count = 0;
    count += notches;
    ctx.shared.TabCount = count < kMaxTabCount ? count : kMaxTabCount;
}

// The size of a vertical wheel message's delta, in delta units.
int32_t UnitsOf(int16_t delta) { return delta < 0 ? -static_cast<int32_t>(delta) : delta; }

bool IsHorizontal(const WheelMessage& wheel) {
    return wheel.Tilt || wheel.Delta == HWHEEL_LEFT || wheel.Delta == HWHEEL_RIGHT;
}

// The whole notches of the vertical wheel that this message completes, for
// a mode that takes the wheel whatever its direction; a horizontal wheel or
// a tilt makes none.
int VerticalNotches(HookContext& ctx, HWND target) {
    if (IsHorizontal(ctx.wheel)) return 0;
    int16_t delta = ctx.wheel.Delta;
    return WholeNotches(ctx, ctx.shared.VRemainder, target, delta > 0 ? 1 : -1, UnitsOf(delta));
}

void NextTasks(HookContext& ctx, int notches) {
    if (notches <= 0) return;
    if (ctx.shared.OsKind == OS_WIN95) {
        // On Windows 95 each notch presses one Tab more than the one before:
        // the last notch's Tabs select the task.
        CountTabs(ctx, notches);
        const int32_t taps = ctx.shared.TabCount;
        for (int32_t tab = 0; tab < taps && tab < kMaxTabCount; ++tab) TapTab(ctx, 0);
        return;
    }
    int32_t taps = notches < kMaxTabCount ? notches : kMaxTabCount;
    for (int32_t tab = 0; tab < taps; ++tab) TapTab(ctx, 0);
    CountTabs(ctx, notches);
}

}  // namespace

int StartDragLock(HookContext& ctx) {
    // Marked so that this press does not end the lock it starts.
    InjectButton(ctx, MOUSEEVENTF_LEFTDOWN, ExtraInfo(MARK_PASS));
    ctx.shared.Mode = function::kDragLock;
    AnnounceMode(ctx);
    return 1;
}

int DragLockHandler(HookContext& ctx, HWND window, UINT message, uint16_t /*marker*/) {
    if (!IsButtonPress(message)) return 0;
    EndMode(ctx, window);
    InjectButton(ctx, MOUSEEVENTF_LEFTUP, 0);
    return 1;
}

int StartKeyLock(HookContext& ctx, uint32_t mode) {
    LockFlag(ctx, mode) = 1;
    ctx.shared.Mode = mode;
    AnnounceMode(ctx);
    KeyDown(ctx, LockKey(mode));
    return 1;
}

int KeyLockHandler(HookContext& ctx, HWND window, UINT message, uint16_t /*marker*/) {
    if (!IsButtonPress(message)) return 0;
    uint32_t mode = ctx.shared.Mode;
    LockFlag(ctx, mode) = 0;
    KeyUp(ctx, LockKey(mode));
    EndMode(ctx, window);
    return 1;
}

int StartHorizontalWheel(HookContext& ctx) {
    ctx.shared.Mode = function::kHorizontalWheel;
    AnnounceMode(ctx);
    return 1;
}

int HorizontalWheelHandler(HookContext& ctx, HWND window, UINT message, uint16_t /*marker*/) {
    if (message == WM_MOUSEWHEEL) {
        // The vertical wheel scrolls sideways, notch for notch: its delta
        // units go on as a horizontal marker's, so that the router counts
        // them as it counts every wheel's (240 two notches, parts added up).
        // A horizontal marker (a tilt, say) keeps its own size.
        int16_t delta = ctx.wheel.Delta;
        if (delta != HWHEEL_LEFT && delta != HWHEEL_RIGHT) ctx.wheel.MarkerUnits = UnitsOf(delta);
        ctx.wheel.Delta = delta > 0 ? HWHEEL_LEFT : HWHEEL_RIGHT;
        return 0;
    }
    if (IsMiddlePress(message)) {
        EndMode(ctx, window);
        return 1;
    }
    return 0;
}

int StartZoom(HookContext& ctx) {
    // Without a tray agent to show it, zoom would only swallow the wheel.
    if (!IsTargetWindow(ctx, ToHwnd(ctx.block.AgentWindow))) return 0;
    SendToAgent(ctx, UM_ZOOMSTART);
    ctx.shared.Mode = function::kUniversalZoom;
    return 1;
}

int ZoomHandler(HookContext& ctx, HWND /*window*/, UINT message, uint16_t /*marker*/) {
    if (message == WM_MOUSEWHEEL) {
        // The vertical wheel changes the zoom factor, a step per whole notch
        // (the agent steps by the notches in the delta it is sent); nothing
        // else moves, also not for a tilt.
        HWND zoom = ToHwnd(ctx.block.ZoomWindow);
        int notches = VerticalNotches(ctx, zoom);
        if (notches > kMaxNotches) notches = kMaxNotches;
        if (notches > 0) {
            LPARAM delta = (ctx.wheel.Delta > 0 ? 1 : -1) * notches * WHEEL_NOTCH;
            SendToWindow(ctx, zoom, UM_ZOOMWHEEL, 0, delta);
        }
        return 1;
    }
    if (IsButtonPress(message)) {
        // Ended before the agent is told, as auto scroll is.
        ctx.shared.Mode = 0;
        SendToAgent(ctx, UM_ZOOMEND);
        return 1;
    }
    return 0;
}

int StartTaskSwitch(HookContext& ctx) {
    ctx.shared.TabCount = 1;
    // The task switcher opens when this release comes back to the handler.
    ctx.api.mouse_event(MOUSEEVENTF_MIDDLEUP, 0, 0, 0, ExtraInfo(MARK_SELF));
    ctx.shared.Mode = function::kTaskSwitch;
    return 1;
}

int TaskSwitchHandler(HookContext& ctx, HWND /*window*/, UINT message, uint16_t marker) {
    if (message == WM_MBUTTONUP && marker == MARK_SELF) {
        // Alt stays down: the switcher shows with the next task selected.
        KeyDown(ctx, VK_MENU);
        TapTab(ctx, 0);
    } else if (message == WM_MOUSEWHEEL) {
        // A Tab per whole notch of the vertical wheel, whatever its direction.
        NextTasks(ctx, VerticalNotches(ctx, nullptr));
    } else if (message == WM_MBUTTONUP) {
        FinishTaskSwitch(ctx);
    }
    return 1;
}

void ReleaseAnyMode(HookContext& ctx) {
    HookSharedState& shared = ctx.shared;
    switch (shared.Mode) {
    case function::kDragLock: InjectButton(ctx, MOUSEEVENTF_LEFTUP, ExtraInfo(MARK_PASS)); break;
    case function::kTaskSwitch: KeyUp(ctx, VK_MENU); break;
    case function::kUniversalZoom: SendToAgent(ctx, UM_ZOOMEND); break;
    case function::kAutoScroll:
        // The agent's auto scroll holds the middle button down once the user let it go.
        ctx.api.mouse_event(MOUSEEVENTF_MIDDLEUP, 0, 0, 0, ExtraInfo(MARK_PASS));
        break;
    default: break;
    }
    // The X button made for a press of button 4 or 5 waits for the user's
    // release, which no hook will see any more (or a menu hid from them).
    SetReleaseAction(ctx, kReleaseSwallow);
    // The lock flags are read by the scroll primitives even without the mode.
    if (shared.ShiftLocked) KeyUp(ctx, VK_SHIFT);
    if (shared.ControlLocked) KeyUp(ctx, VK_CONTROL);
    shared.ShiftLocked = 0;
    shared.ControlLocked = 0;
    shared.Mode = 0;
    shared.PendingFunction = 0;
    shared.PendingButton = 0;
    shared.ReleasePending = 0;
    shared.TabCount = 0;
    shared.ModeProcessId = 0;
    shared.ModeThreadId = 0;
    // Left set by a menu loop that ended without the filter hook, it would
    // make the mouse hook ignore every message.
    shared.MenuActive = 0;
}

}  // namespace ptr
