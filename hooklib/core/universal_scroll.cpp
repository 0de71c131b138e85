// Universal scroll: cursor movement scrolls the window that was under the
// cursor. Auto scroll: the browser's own, or the tray agent's auto-scroll
// window driving the DoAuto operations.
#include "universal_scroll.h"

#include "auto_scroll.h"
#include "discovery.h"
#include "actions.h"
#include "function_codes.h"
#include "markers.h"
#include "scroll.h"

namespace ptr {
namespace {

int32_t Clamp(int32_t value, int32_t low, int32_t high) { return value < low ? low : (value > high ? high : value); }

void RememberScrollTarget(HookContext& ctx, HWND window, uint32_t kind, HWND verticalBar, HWND horizontalBar) {
    ctx.shared.ScrollTarget = FromHwnd(window);
    ctx.shared.ScrollKind = static_cast<int32_t>(kind);
    ctx.shared.VBarControl = FromHwnd(verticalBar);
    ctx.shared.HBarControl = FromHwnd(horizontalBar);
}

void RememberScrollMethods(HookContext& ctx, HWND window) {
    HWND verticalBar = nullptr;
    HWND horizontalBar = nullptr;
    uint32_t kind = FindScrollMethods(ctx, window, verticalBar, horizontalBar);
    RememberScrollTarget(ctx, window, kind, verticalBar, horizontalBar);
}

// Windows 95 and NT 4 know only the primary screen.
Rect32 SnapBackBounds(HookContext& ctx) {
    Platform& api = ctx.api;
    if (ctx.shared.OsKind == OS_WIN95 || ctx.shared.OsKind == OS_NT4)
        return {0, 0, api.GetSystemMetrics(SM_CXSCREEN) - 1, api.GetSystemMetrics(SM_CYSCREEN) - 1};
    int32_t left = api.GetSystemMetrics(SM_XVIRTUALSCREEN);
    int32_t top = api.GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + api.GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1,
            top + api.GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1};
}

// The speeds are kept inside the settings' ranges: beyond them a threshold
// of zero or less would scroll on every move, whichever way it went.
void SetStepsFromSpeeds(HookContext& ctx) {
    int32_t vertical = Clamp(ctx.block.UScrollVSpeed, 1, 10);
    int32_t horizontal = Clamp(ctx.block.UScrollHSpeed, 1, 5);
    ctx.shared.VThreshold = (11 - vertical) * 2;
    ctx.shared.VStep = vertical * 2;
    ctx.shared.HThreshold = (6 - horizontal) * 2;
    ctx.shared.HStep = horizontal * 2;
}

bool TouchesEdge(const Rect32& bounds, int x, int y) {
    return x >= bounds.right || x <= bounds.left || y >= bounds.bottom || y <= bounds.top;
}

int SnapBackToAnchor(HookContext& ctx) {
    ctx.shared.LastPos = ctx.shared.Anchor;
    ctx.api.SetCursorPos(ctx.shared.Anchor.x, ctx.shared.Anchor.y);
    return 1;
}

// Each axis keeps its own last position, so slow movement accumulates.
void ScrollHorizontallyByTravel(HookContext& ctx, int x, int64_t dx) {
    HookSharedState& shared = ctx.shared;
    if (dx >= shared.HThreshold) {
        AutoRight(ctx, shared.HStep);
        shared.LastPos.x = x;
    } else if (dx <= -shared.HThreshold) {
        AutoLeft(ctx, shared.HStep);
        shared.LastPos.x = x;
    }
}

void ScrollVerticallyByTravel(HookContext& ctx, int y, int64_t dy) {
    HookSharedState& shared = ctx.shared;
    if (dy >= shared.VThreshold) {
        AutoDown(ctx, shared.VStep);
        shared.LastPos.y = y;
    } else if (dy <= -shared.VThreshold) {
        AutoUp(ctx, shared.VStep);
        shared.LastPos.y = y;
    }
}

int ScrollByCursorMove(HookContext& ctx, int x, int y) {
    if (TouchesEdge(ctx.shared.ScreenBounds, x, y)) return SnapBackToAnchor(ctx);
    // The anchor is wherever the starting message said the cursor was; the
    // travel from there may not fit 32 bits.
    int64_t dx = static_cast<int64_t>(x) - ctx.shared.LastPos.x;
    int64_t dy = static_cast<int64_t>(y) - ctx.shared.LastPos.y;
    if (ctx.block.UScrollReverse) {
        dx = -dx;
        dy = -dy;
    }
    if (ctx.block.UScrollHorizontal) ScrollHorizontallyByTravel(ctx, x, dx);
    if (ctx.block.UScrollVertical) ScrollVerticallyByTravel(ctx, y, dy);
    return 0;
}

bool IsBrowserView(HookContext& ctx, HWND window) {
    return ClassIs(ctx, window, "Internet Explorer_Server") || ClassIs(ctx, window, "HTML_Internet Explorer");
}

// The browser scrolls by itself once it sees a middle press of its own.
int StartBrowserAutoScroll(HookContext& ctx) {
    ctx.process.BrowserAutoScroll = true;
    // Nothing leaves the foreground here; should another process end this
    // mode, it must not hand the foreground to the window of an earlier run.
    ctx.shared.SavedForeground = 0;
    ctx.shared.Mode = function::kAutoScroll;
    // When the user's release went by before this run, the browser gets a
    // whole click, which starts its auto scroll too.
    bool releaseWentBy = ctx.shared.ReleasePending == 0;
    ctx.api.mouse_event(MOUSEEVENTF_MIDDLEDOWN, 0, 0, 0, ExtraInfo(MARK_PASS));
    if (releaseWentBy) ctx.api.mouse_event(MOUSEEVENTF_MIDDLEUP, 0, 0, 0, ExtraInfo(MARK_PASS));
    SetReleaseAction(ctx, releaseWentBy ? kReleaseSwallow : kReleasePassThrough);
    return 1;
}

int EndBrowserAutoScroll(HookContext& ctx, UINT message) {
    if (message == WM_MBUTTONUP) {
        // The user's release of the press made for the browser is made again,
        // after that press: in the system the user's own may come before it.
        if (ctx.shared.ReleaseAction != kReleasePassThrough) return 0;
        ctx.shared.ReleaseAction = kReleaseSwallow;
        ctx.api.mouse_event(MOUSEEVENTF_MIDDLEUP, 0, 0, 0, ExtraInfo(MARK_PASS));
        return 1;
    }
    // Ended before the user's release came: the press made for the browser
    // goes up now, in its turn, and that release is swallowed when it comes.
    if (ctx.shared.ReleaseAction == kReleasePassThrough) {
        ctx.shared.ReleaseAction = kReleaseSwallow;
        ctx.api.mouse_event(MOUSEEVENTF_MIDDLEUP, 0, 0, 0, ExtraInfo(MARK_PASS));
    }
    if (IsMiddlePress(message)) SetReleaseAction(ctx, kReleasePassThrough);
    ctx.process.BrowserAutoScroll = false;
    ctx.shared.Mode = 0;
    return 0;
}

void RestoreForeground(HookContext& ctx) {
    HWND saved = ToHwnd(ctx.shared.SavedForeground);
    if (saved != nullptr) ctx.api.SetForegroundWindow(saved);
}

// Every end lets go of the middle button that the run holds down once the
// user let it go over the auto-scroll window; where nothing is held, the
// dispatcher swallows this release like the user's own. The mode ends first,
// before the agent is told and before that release: the agent's thread may
// take input while the hooked thread waits for its answer, and auto scroll,
// still running, would take the release for the user's and hold the button
// again.
int EndAgentAutoScroll(HookContext& ctx, bool releaseCapture) {
    ctx.shared.Mode = 0;
    SendToAgent(ctx, UM_AUTOSCROLLEND);
    if (releaseCapture) ctx.api.ReleaseCapture();
    RestoreForeground(ctx);
    ctx.api.mouse_event(MOUSEEVENTF_MIDDLEUP, 0, 0, 0, 0);
    return 1;
}

// The user's release of the click that started auto scroll: the middle
// button is held down logically so that the window keeps all mouse input
// until the next click.
int HoldForAutoScrollWindow(HookContext& ctx, HWND autoScrollWindow) {
    ctx.shared.ReleasePending = 0;
    ctx.api.mouse_event(MOUSEEVENTF_MIDDLEDOWN, 0, 0, 0, ExtraInfo(MARK_SELF));
    // Only the window's own thread can give it the capture; the tray agent
    // has taken it at the start already.
    ctx.api.SetCapture(autoScrollWindow);
    return 1;
}

int HandleAutoScrollWindowMessage(HookContext& ctx, HWND autoScrollWindow, UINT message, uint16_t marker) {
    // A notch ends it, also on Windows 95, where the notch arrives as a middle
    // release: turned right after the user let the button go, it is in the
    // system before the press held since, and does not let that go.
    if (message == WM_MOUSEWHEEL) return EndAgentAutoScroll(ctx, false);
    if (message == WM_MBUTTONUP) return HoldForAutoScrollWindow(ctx, autoScrollWindow);
    if (IsButtonPress(message)) {
        if (marker == MARK_SELF) return 1;
        return EndAgentAutoScroll(ctx, true);
    }
    return 0;
}

}  // namespace

int StartUniversalScroll(HookContext& ctx, HWND window, int x, int y) {
    RememberScrollMethods(ctx, window);
    ctx.shared.ScreenBounds = SnapBackBounds(ctx);
    SetStepsFromSpeeds(ctx);
    ctx.shared.Anchor = {x, y};
    ctx.shared.LastPos = {x, y};
    ctx.shared.Mode = function::kUniversalScroll;
    AnnounceMode(ctx);
    return 1;
}

int UniversalScrollHandler(HookContext& ctx, HWND window, UINT message, int x, int y) {
    if (IsButtonPress(message)) {
        EndMode(ctx, window);
        if (!IsMiddlePress(message)) return 0;  // the click reaches the application
        ctx.api.SetCursorPos(ctx.shared.Anchor.x, ctx.shared.Anchor.y);
        return 1;
    }
    if (message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE) return ScrollByCursorMove(ctx, x, y);
    return 0;
}

int StartAutoScroll(HookContext& ctx, HWND window) {
    if (IsBrowserView(ctx, window)) return StartBrowserAutoScroll(ctx);
    // The agent's window takes the user's release itself; without one, the
    // release is swallowed as after any function.
    SetReleaseAction(ctx, kReleaseSwallow);
    HWND autoScrollWindow = ToHwnd(ctx.block.AutoScrollWindow);
    if (!IsTargetWindow(ctx, autoScrollWindow)) return 0;

    // A browser run that another process ended leaves this process's flag
    // set; it must not claim the messages of this run.
    ctx.process.BrowserAutoScroll = false;
    POINT cursor = {};
    ctx.api.GetCursorPos(&cursor);
    ctx.shared.Anchor = {cursor.x, cursor.y};
    // That browser's pages follow the arrow keys in both directions.
    if (ctx.process.ProcessKind == PROCESS_NETSCP6)
        RememberScrollTarget(ctx, window, SCROLL_V_KEYS | SCROLL_H_KEYS, nullptr, nullptr);
    else
        RememberScrollMethods(ctx, window);

    ctx.shared.SavedForeground = FromHwnd(ctx.api.GetForegroundWindow());
    SendToAgent(ctx, UM_AUTOSCROLLSTART);
    ctx.api.SetForegroundWindow(autoScrollWindow);
    ctx.shared.Mode = function::kAutoScroll;
    return 1;
}

int AutoScrollHandler(HookContext& ctx, HWND window, UINT message, uint16_t marker) {
    // The flag of a browser run that another process ended stays set here.
    // A run of the agent since then saved the foreground window, which a
    // browser run never does: that run is the agent's, and ends as such.
    if (ctx.process.BrowserAutoScroll && ctx.shared.SavedForeground != 0) ctx.process.BrowserAutoScroll = false;
    if (ctx.process.BrowserAutoScroll) return EndBrowserAutoScroll(ctx, message);
    HWND autoScrollWindow = ToHwnd(ctx.block.AutoScrollWindow);
    // The release of the starting click, queued for the window under the
    // cursor before the auto-scroll window came up there, is still that
    // release: it does not end auto scroll.
    if (message == WM_MBUTTONUP && marker == MARK_NONE && ctx.shared.ReleasePending)
        return HoldForAutoScrollWindow(ctx, autoScrollWindow);
    // A message for any other window, in whatever process, ends auto scroll.
    if (window != autoScrollWindow) return EndAgentAutoScroll(ctx, false);
    return HandleAutoScrollWindowMessage(ctx, autoScrollWindow, message, marker);
}

}  // namespace ptr
