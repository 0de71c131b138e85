// Enhanced wheel routing: the window under the cursor scrolls, not the focus
// window, by the configured lines or pages.
#include "wheel_router.h"

#include "discovery.h"
#include "markers.h"
#include "programs.h"
#include "scroll_primitives.h"

#include <cstdint>

namespace ptr {
namespace {

// 273 x 120 = 32760 is the largest delta that fits the signed 16 bits of
// WM_MOUSEWHEEL; it also bounds the burst of line messages per notch.
constexpr int64_t kMaxCount = 273;

bool IsHorizontalMarker(int delta) { return delta == HWHEEL_LEFT || delta == HWHEEL_RIGHT; }

// Lines for a number of notches; a zero or negative line setting scrolls nothing.
int LineCount(int64_t notches, int32_t lines) {
    int64_t count = notches * lines;
    if (count < 0) return 0;
    return static_cast<int>(count > kMaxCount ? kMaxCount : count);
}

// A kept part is always less than a notch; anything else was not written
// by this code and counts as nothing kept.
int32_t KeptUnits(const WheelRemainder& rest) {
    int32_t units = rest.Units;
    return units > -WHEEL_NOTCH && units < WHEEL_NOTCH ? units : 0;
}

// The kept part belongs to the same turn of the wheel: the same direction,
// the same window under the cursor, and no pause since the last part longer
// than the system's double-click time, the user's own measure of two
// movements that belong together (half a second unless changed). The
// unsigned difference of the tick counts stays right across their wrap.
bool SameTurn(HookContext& ctx, const WheelRemainder& rest, int32_t kept, int sign, HWND target) {
    if ((kept > 0) != (sign > 0)) return false;
    if (rest.Target != FromHwnd(target)) return false;
    DWORD since = ctx.api.GetTickCount() - rest.Time;
    return since <= ctx.api.GetDoubleClickTime();
}

}  // namespace

int WholeNotches(HookContext& ctx, WheelRemainder& rest, HWND target, int sign, int32_t units) {
    int32_t kept = KeptUnits(rest);
    if (kept != 0 && !SameTurn(ctx, rest, kept, sign, target)) kept = 0;
    int32_t total = (kept < 0 ? -kept : kept) + units;
    int32_t left = total % WHEEL_NOTCH;
    if (left != 0) {
        rest.Target = FromHwnd(target);
        rest.Time = ctx.api.GetTickCount();
    }
    rest.Units = sign * left;
    return total / WHEEL_NOTCH;
}

namespace {

// A part that completes no notch is swallowed and posts nothing: programs
// that step on any wheel or scroll message would move for it.
int RouteHorizontalNotch(HookContext& ctx, HWND target, int delta) {
    int32_t units = ctx.wheel.MarkerUnits < 0 ? 0 : ctx.wheel.MarkerUnits;
    int notches = WholeNotches(ctx, ctx.shared.HRemainder, target, delta == HWHEEL_LEFT ? 1 : -1, units);
    if (notches == 0) return 1;
    HWND bar = nullptr;
    uint32_t method = FindHorizontalMethod(ctx, target, bar);
    // A single-wheel mouse only gets a horizontal wheel through the
    // "Horizontal Wheel" function, which borrows the vertical settings.
    bool borrowsVertical = ctx.block.WheelCount == 1;
    int pageFlag = borrowsVertical ? ctx.block.WheelPageScroll : ctx.block.HWheelPageScroll;
    int count = LineCount(notches, borrowsVertical ? ctx.block.WheelLines : ctx.block.HWheelLines);
    if (delta == HWHEEL_LEFT) return ScrollLeft(ctx, target, method, count, bar, pageFlag);
    return ScrollRight(ctx, target, method, count, bar, pageFlag);
}

int RouteVerticalNotches(HookContext& ctx, HWND target, int x, int y, int delta) {
    bool up = delta > 0;
    int32_t units = up ? delta : -delta;
    int notches = WholeNotches(ctx, ctx.shared.VRemainder, target, up ? 1 : -1, units);
    if (notches == 0) return 1;
    HWND bar = nullptr;
    uint32_t method = FindVerticalMethod(ctx, target, bar);
    int count = LineCount(notches, ctx.block.WheelLines);
    if (up) return ScrollUp(ctx, target, x, y, method, count, bar, ctx.block.WheelPageScroll);
    return ScrollDown(ctx, target, x, y, method, count, bar, ctx.block.WheelPageScroll);
}

// In system default mode ordinary notches and the tilt take the system's
// own path; Windows 95 has no such path, and the horizontal marker is
// always ours.
bool IsRoutedInThisMode(HookContext& ctx, int delta) {
    if (ctx.block.EnhanceMode != 0) return true;
    if (ctx.wheel.Tilt) return false;
    return ctx.shared.OsKind == OS_WIN95 || IsHorizontalMarker(delta);
}

int RouteToTarget(HookContext& ctx, HWND target, int x, int y, int delta) {
    // Nothing under the cursor: leave the message to the system.
    if (target == nullptr) return 0;
    if (IsHorizontalMarker(delta)) return RouteHorizontalNotch(ctx, target, delta);
    return RouteVerticalNotches(ctx, target, x, y, delta);
}

// Where programs have settings of their own, the window under the cursor
// comes first: its program decides the mode, the lines and the pages. A
// mode keeps the program it started in.
int RouteWithProgramSettings(HookContext& ctx, int x, int y, int delta) {
    HWND target = ctx.api.WindowFromPoint(POINT{x, y});
    SettingsBlock settings;
    bool own = ctx.shared.Mode != 0 ? SettingsOfModeProgram(ctx, settings) : SettingsOfWindow(ctx, target, settings);
    HookContext programCtx = own ? WithSettings(ctx, settings) : ctx;
    if (!IsRoutedInThisMode(programCtx, delta)) return 0;
    return RouteToTarget(programCtx, target, x, y, delta);
}

}  // namespace

int RouteWheel(HookContext& ctx, HWND /*hookWindow*/, int x, int y) {
    int delta = ctx.wheel.Delta;
    if (ProgramsInUse(ctx.process)) return RouteWithProgramSettings(ctx, x, y, delta);
    if (!IsRoutedInThisMode(ctx, delta)) return 0;
    return RouteToTarget(ctx, ctx.api.WindowFromPoint(POINT{x, y}), x, y, delta);
}

}  // namespace ptr
