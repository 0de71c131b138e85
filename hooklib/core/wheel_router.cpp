// Enhanced wheel routing: the window under the cursor scrolls, not the focus
// window, by the configured lines or pages.
#include "wheel_router.h"

#include "discovery.h"
#include "markers.h"
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

int RouteHorizontalNotch(HookContext& ctx, HWND target, int delta) {
    HWND bar = nullptr;
    uint32_t method = FindHorizontalMethod(ctx, target, bar);
    // A single-wheel mouse only gets a horizontal wheel through the
    // "Horizontal Wheel" function, which borrows the vertical settings.
    bool borrowsVertical = ctx.block.WheelCount == 1;
    int pageFlag = borrowsVertical ? ctx.block.WheelPageScroll : ctx.block.HWheelPageScroll;
    int count = LineCount(1, borrowsVertical ? ctx.block.WheelLines : ctx.block.HWheelLines);
    if (delta == HWHEEL_LEFT) return ScrollLeft(ctx, target, method, count, bar, pageFlag);
    return ScrollRight(ctx, target, method, count, bar, pageFlag);
}

int RouteVerticalNotches(HookContext& ctx, HWND target, int x, int y, int delta) {
    HWND bar = nullptr;
    uint32_t method = FindVerticalMethod(ctx, target, bar);
    if (delta > 0) {
        int count = LineCount(delta / WHEEL_NOTCH, ctx.block.WheelLines);
        return ScrollUp(ctx, target, x, y, method, count, bar, ctx.block.WheelPageScroll);
    }
    int count = LineCount(delta / -WHEEL_NOTCH, ctx.block.WheelLines);
    return ScrollDown(ctx, target, x, y, method, count, bar, ctx.block.WheelPageScroll);
}

}  // namespace

int RouteWheel(HookContext& ctx, HWND /*hookWindow*/, int x, int y) {
    int delta = ctx.process.WheelDelta;
    // In system default mode ordinary notches take the system's own path;
    // Windows 95 has no such path, and the horizontal marker is always ours.
    if (ctx.block.EnhanceMode == 0 && ctx.shared.OsKind != OS_WIN95 && !IsHorizontalMarker(delta)) return 0;

    HWND target = ctx.api.WindowFromPoint(POINT{x, y});
    // Nothing under the cursor: leave the message to the system.
    if (target == nullptr) return 0;

    if (IsHorizontalMarker(delta)) return RouteHorizontalNotch(ctx, target, delta);
    return RouteVerticalNotches(ctx, target, x, y, delta);
}

}  // namespace ptr
