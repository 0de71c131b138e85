// The four scroll primitives. Each delivers one scroll of a given size to one
// window by the method discovery chose for it; everything is posted.
#include "scroll_primitives.h"

#include "actions.h"
#include "markers.h"
#include "scroll.h"

namespace ptr {
namespace {

// The largest count whose wheel delta, 273 x 120 = 32760, still fits the
// signed 16 bits of WM_MOUSEWHEEL; a larger one would wrap into the
// opposite direction. Every method keeps to it, so that no caller can make
// one scroll post more than 274 messages.
constexpr int kMaxCount = 273;

struct VerticalDirection {
    int sign;  // of the wheel delta
    WPARAM lineCode;
    WPARAM pageCode;
    BYTE lineKey;
    BYTE pageKey;
};

constexpr VerticalDirection kUp = {+1, SB_LINEUP, SB_PAGEUP, VK_UP, VK_PRIOR};
constexpr VerticalDirection kDown = {-1, SB_LINEDOWN, SB_PAGEDOWN, VK_DOWN, VK_NEXT};

struct HorizontalDirection {
    WPARAM lineCode;
    WPARAM pageCode;
    BYTE key;
};

constexpr HorizontalDirection kLeft = {SB_LINELEFT, SB_PAGELEFT, VK_LEFT};
constexpr HorizontalDirection kRight = {SB_LINERIGHT, SB_PAGERIGHT, VK_RIGHT};

// A page of horizontal keystrokes is ten arrow keys: there is no page-left key.
constexpr int kKeysPerHorizontalPage = 10;

bool KeyIsDown(HookContext& ctx, int vk) { return (ctx.api.GetKeyState(vk) & 0xFF00) != 0; }

bool ControlActive(HookContext& ctx) { return KeyIsDown(ctx, VK_CONTROL) || ctx.shared.ControlLocked != 0; }

bool ShiftActive(HookContext& ctx) { return KeyIsDown(ctx, VK_SHIFT) || ctx.shared.ShiftLocked != 0; }

LPARAM CursorLParam(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

int BoundedCount(int count) {
    if (count < 0) return 0;
    return count > kMaxCount ? kMaxCount : count;
}

// One wheel message: the registered roll message on Windows 95 (which knows
// no key flags), WM_MOUSEWHEEL elsewhere.
void PostWheel(HookContext& ctx, HWND recipient, int x, int y, WORD keyFlags, int delta) {
    if (ctx.shared.OsKind == OS_WIN95) {
        PostToWindow(ctx, recipient, ctx.process.RollMessage, static_cast<WPARAM>(static_cast<uint32_t>(delta)),
                     CursorLParam(x, y));
        return;
    }
    PostToWindow(ctx, recipient, WM_MOUSEWHEEL, MAKEWPARAM(keyFlags, static_cast<WORD>(delta)), CursorLParam(x, y));
}

// With Control or Shift held or locked the application zooms or pages by
// itself, so it receives exactly one notch carrying the modifier.
void PostModifiedNotch(HookContext& ctx, HWND target, int x, int y, int sign) {
    HWND recipient = WheelRecipient(ctx, target);
    int delta = sign * WHEEL_NOTCH;
    if (ctx.shared.OsKind == OS_WIN95) {
        PostWheel(ctx, recipient, x, y, 0, delta);
        return;
    }
    // The key state is read again: Control wins over Shift, and if neither
    // holds any more nothing is posted.
    if (ControlActive(ctx)) {
        PostWheel(ctx, recipient, x, y, MK_CONTROL, delta);
    } else if (ShiftActive(ctx)) {
        PostWheel(ctx, recipient, x, y, MK_SHIFT, delta);
    }
}

HWND ScrollMessageRecipient(HookContext& ctx, HWND target, HWND barControl, bool viaBarControl) {
    if (!viaBarControl || barControl == nullptr) return target;
    HWND parent = ctx.api.GetParent(barControl);
    return parent != nullptr ? parent : target;
}

void PostScrollMessages(HookContext& ctx, HWND recipient, UINT message, WPARAM scrollCode, int repeat,
                        HWND barControl) {
    if (!IsTargetWindow(ctx, recipient)) return;
    LPARAM bar = reinterpret_cast<LPARAM>(barControl);
    for (int i = 0; i < repeat; ++i) ctx.api.PostMessageA(recipient, message, scrollCode, bar);
    ctx.api.PostMessageA(recipient, message, SB_ENDSCROLL, bar);
}

// One page, or count lines, as scroll messages followed by the end message.
void PostScrollStep(HookContext& ctx, HWND recipient, UINT message, WPARAM lineCode, WPARAM pageCode, int count,
                    int pageFlag, HWND barControl) {
    if (pageFlag)
        PostScrollMessages(ctx, recipient, message, pageCode, 1, barControl);
    else
        PostScrollMessages(ctx, recipient, message, lineCode, count, barControl);
}

void PostKeyStrokesTo(HookContext& ctx, HWND window, BYTE vk, int repeat) {
    uint32_t scan = ctx.api.MapVirtualKeyA(vk, 0) & 0xFF;
    // Repeat count 1, the scan code, and the extended-key bit for every key.
    uint32_t down = 1u | (scan << 16) | (1u << 24);
    uint32_t up = down | (1u << 30) | (1u << 31);
    for (int i = 0; i < repeat; ++i) {
        ctx.api.PostMessageA(window, WM_KEYDOWN, vk, static_cast<LPARAM>(down));
        ctx.api.PostMessageA(window, WM_KEYUP, vk, static_cast<LPARAM>(up));
    }
}

void PostKeyStrokes(HookContext& ctx, HWND window, BYTE vk, int repeat) {
    if (IsTargetWindow(ctx, window)) PostKeyStrokesTo(ctx, window, vk, repeat);
}

int ScrollVertically(HookContext& ctx, HWND target, int x, int y, uint32_t code, int count, HWND barControl,
                     int pageFlag, const VerticalDirection& direction) {
    uint32_t method = VerticalMethod(code);
    if (method == SCROLL_V_NONE) return 1;
    count = BoundedCount(count);
    if (ModifiersActive(ctx)) {
        PostModifiedNotch(ctx, target, x, y, direction.sign);
        return 1;
    }
    switch (method) {
    case SCROLL_V_WINDOW:
    case SCROLL_V_BARCONTROL: {
        HWND recipient = ScrollMessageRecipient(ctx, target, barControl, method == SCROLL_V_BARCONTROL);
        PostScrollStep(ctx, recipient, WM_VSCROLL, direction.lineCode, direction.pageCode, count, pageFlag, barControl);
        break;
    }
    case SCROLL_V_WHEEL:
        if (pageFlag)
            PostKeyStroke(ctx, target, direction.pageKey);
        else
            PostWheel(ctx, WheelRecipient(ctx, target), x, y, 0, direction.sign * count * WHEEL_NOTCH);
        break;
    case SCROLL_V_KEYS:
        if (pageFlag)
            PostKeyStroke(ctx, target, direction.pageKey);
        else
            PostKeyStrokes(ctx, target, direction.lineKey, count);
        break;
    default:
        break;
    }
    return 1;
}

int ScrollHorizontally(HookContext& ctx, HWND target, uint32_t code, int count, HWND barControl, int pageFlag,
                       const HorizontalDirection& direction) {
    uint32_t method = HorizontalMethod(code);
    count = BoundedCount(count);
    switch (method) {
    case SCROLL_H_WINDOW:
    case SCROLL_H_BARCONTROL: {
        HWND recipient = ScrollMessageRecipient(ctx, target, barControl, method == SCROLL_H_BARCONTROL);
        PostScrollStep(ctx, recipient, WM_HSCROLL, direction.lineCode, direction.pageCode, count, pageFlag, barControl);
        break;
    }
    case SCROLL_H_KEYS:
        PostKeyStrokes(ctx, target, direction.key, pageFlag ? kKeysPerHorizontalPage : count);
        break;
    default:
        break;
    }
    return 1;
}

}  // namespace

bool ModifiersActive(HookContext& ctx) { return ControlActive(ctx) || ShiftActive(ctx); }

void PostKeyStroke(HookContext& ctx, HWND window, BYTE vk) { PostKeyStrokes(ctx, window, vk, 1); }

HWND WheelRecipient(HookContext& ctx, HWND window) {
    // Word listens for the wheel only in its top-level window.
    if (ctx.process.ProcessKind != PROCESS_WORD) return window;
    return TopLevelOf(ctx, window);
}

int ScrollUp(HookContext& ctx, HWND target, int x, int y, uint32_t code, int count, HWND barControl, int pageFlag) {
    return ScrollVertically(ctx, target, x, y, code, count, barControl, pageFlag, kUp);
}

int ScrollDown(HookContext& ctx, HWND target, int x, int y, uint32_t code, int count, HWND barControl,
               int pageFlag) {
    return ScrollVertically(ctx, target, x, y, code, count, barControl, pageFlag, kDown);
}

int ScrollLeft(HookContext& ctx, HWND target, uint32_t code, int count, HWND barControl, int pageFlag) {
    return ScrollHorizontally(ctx, target, code, count, barControl, pageFlag, kLeft);
}

int ScrollRight(HookContext& ctx, HWND target, uint32_t code, int count, HWND barControl, int pageFlag) {
    return ScrollHorizontally(ctx, target, code, count, barControl, pageFlag, kRight);
}

}  // namespace ptr
