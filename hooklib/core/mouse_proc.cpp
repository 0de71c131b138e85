// The WH_MOUSE hook. It decides which messages the suite looks at, brings
// them to one form (client-area identifiers, one wheel delta whatever the
// Windows version), and hands them to the dispatcher and then, for wheel
// messages, to the wheel router. What it passes on is always the original
// message with the original structure.
#include "mouse_proc.h"

#include "dispatcher.h"
#include "function_codes.h"
#include "lifecycle.h"
#include "markers.h"
#include "programs.h"
#include "wheel_router.h"

namespace ptr {
namespace {

LRESULT PassOn(HookContext& ctx, int code, WPARAM message, LPARAM lParam) {
    return ctx.api.CallNextHookEx(ToHhook(ctx.hooks.MouseHook), code, message, lParam);
}

// Only universal scroll needs cursor motion; every other move leaves here.
bool IsLookedAt(HookContext& ctx, int code, WPARAM message) {
    if (code < 0 || code == HC_NOREMOVE) return false;
    if ((message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE) && ctx.shared.Mode != function::kUniversalScroll)
        return false;
    // No button function may fire into an open menu. The filter hook sees the
    // menu loop's input but never its end (WM_MENUSELECT is sent, not queued),
    // so a flag left by a menu that has closed is cleared here.
    if (ctx.shared.MenuActive != 0) {
        if (ctx.api.InMenuLoop()) return false;
        ctx.shared.MenuActive = 0;
    }
    return true;
}

bool IsMiddleRelease(UINT message) { return message == WM_MBUTTONUP || message == WM_NCMBUTTONUP; }

bool HasMouseData(int32_t osKind) { return osKind == OS_WIN2000 || osKind == OS_WINXP; }

int16_t Negate16(int16_t value) { return static_cast<int16_t>(static_cast<uint16_t>(0u - static_cast<uint16_t>(value))); }

bool IsHorizontalNotch(int16_t delta) { return delta == HWHEEL_LEFT || delta == HWHEEL_RIGHT; }

// One rule for both reverse flags: ReverseWheel reverses the vertical
// wheel, ReverseHWheel the horizontal one, whichever way its notch arrives
// (the driver's horizontal marker in a wheel message, or a tilt), and
// whatever WheelCount says. The Horizontal Wheel mode turns the vertical
// wheel's notches sideways after ReverseWheel has reversed them.
void StoreWheelDelta(HookContext& ctx, uint16_t raw) {
    int16_t delta = static_cast<int16_t>(raw);
    const int32_t reverse = IsHorizontalNotch(delta) ? ctx.block.ReverseHWheel : ctx.block.ReverseWheel;
    ctx.wheel.Delta = reverse ? Negate16(delta) : delta;
    ctx.wheel.MarkerUnits = WHEEL_NOTCH;
    ctx.wheel.Tilt = false;
}

// The tilt wheel goes on as the horizontal marker of its direction, with its
// own size: a tilt of 120 is one horizontal notch, smaller ones add up.
void StoreTilt(HookContext& ctx, uint16_t raw) {
    int32_t tilt = static_cast<int16_t>(raw);
    if (ctx.block.ReverseHWheel) tilt = -tilt;
    ctx.wheel.Delta = tilt > 0 ? HWHEEL_RIGHT : HWHEEL_LEFT;
    ctx.wheel.MarkerUnits = tilt < 0 ? -tilt : tilt;
    ctx.wheel.Tilt = true;
}

// The message as the dispatcher and the router see it; for a wheel message
// also its delta, in ctx.wheel.
UINT Normalise(HookContext& ctx, UINT message, LPARAM lParam) {
    const MOUSEHOOKSTRUCT* event = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    uint16_t marker = HighWord32(event->dwExtraInfo);
    uint16_t low = LowWord32(event->dwExtraInfo);
    int32_t os = ctx.shared.OsKind;

    // On Windows 95 a wheel notch arrives as a marked middle release.
    if (os == OS_WIN95 && IsMiddleRelease(message) && marker == MARK_WHEEL) {
        StoreWheelDelta(ctx, low);
        return WM_MOUSEWHEEL;
    }
    if (message == WM_MOUSEWHEEL) {
        // Only the 2000/XP structure has mouseData; elsewhere the driver puts
        // the delta in the extra information.
        if (HasMouseData(os))
            StoreWheelDelta(ctx, HighWord32(reinterpret_cast<const MOUSEHOOKSTRUCTEX*>(lParam)->mouseData));
        else
            StoreWheelDelta(ctx, low);
        return WM_MOUSEWHEEL;
    }
    // The dispatcher's modes and the router take a tilt as a wheel message
    // carrying the horizontal marker. No system before XP sends it.
    if (message == WM_MOUSEHWHEEL && os == OS_WINXP) {
        StoreTilt(ctx, HighWord32(reinterpret_cast<const MOUSEHOOKSTRUCTEX*>(lParam)->mouseData));
        return WM_MOUSEWHEEL;
    }
    return ClientMessageOf(message);
}

}  // namespace

UINT ClientMessageOf(UINT message) {
    switch (message) {
    case WM_NCLBUTTONDOWN: return WM_LBUTTONDOWN;
    case WM_NCLBUTTONUP: return WM_LBUTTONUP;
    case WM_NCRBUTTONDOWN: return WM_RBUTTONDOWN;
    case WM_NCRBUTTONUP: return WM_RBUTTONUP;
    case WM_NCMBUTTONDOWN: return WM_MBUTTONDOWN;
    case WM_NCMBUTTONUP: return WM_MBUTTONUP;
    case WM_NCXBUTTONDOWN: return WM_XBUTTONDOWN;
    case WM_NCXBUTTONUP: return WM_XBUTTONUP;
    default: return message;
    }
}

LRESULT MouseHook(HookContext& ctx, int code, WPARAM message, LPARAM lParam) {
    // The other bitness's own library handles the message in its program;
    // handled here too, it would act twice, on this process's state.
    if (lParam != 0 && IsOtherBitnessCall(ctx, reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam)->hwnd))
        return PassOn(ctx, code, message, lParam);
    KeepOwnProgramPublished(ctx.process);
    if (!IsLookedAt(ctx, code, message) || lParam == 0) return PassOn(ctx, code, message, lParam);

    const MOUSEHOOKSTRUCT* event = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    UINT normalised = Normalise(ctx, static_cast<UINT>(message), lParam);
    uint16_t marker = HighWord32(event->dwExtraInfo);
    uint16_t index = LowWord32(event->dwExtraInfo);
    int x = event->pt.x;
    int y = event->pt.y;

    if (Dispatch(ctx, event->hwnd, normalised, x, y, marker, index)) return 1;
    if (normalised == WM_MOUSEWHEEL && RouteWheel(ctx, event->hwnd, x, y)) return 1;
    return PassOn(ctx, code, message, lParam);
}

}  // namespace ptr
