// Scrolling the remembered target for the tray agent's auto scroll and for
// universal scroll, and the legacy wheel window of Windows 95.
#include "auto_scroll.h"

#include "scroll_primitives.h"

namespace ptr {
namespace {

constexpr char kLegacyWheelClass[] = "MouseZ";
constexpr char kLegacyWheelTitle[] = "Magellan MSWHEEL";

HWND Target(HookContext& ctx) { return ToHwnd(ctx.shared.ScrollTarget); }
uint32_t Kind(HookContext& ctx) { return static_cast<uint32_t>(ctx.shared.ScrollKind); }

}  // namespace

// Auto scroll always moves by lines, never by pages.
int AutoUp(HookContext& ctx, int count) {
    return ScrollUp(ctx, Target(ctx), ctx.shared.Anchor.x, ctx.shared.Anchor.y, Kind(ctx), count,
                    ToHwnd(ctx.shared.VBarControl), 0);
}

int AutoDown(HookContext& ctx, int count) {
    return ScrollDown(ctx, Target(ctx), ctx.shared.Anchor.x, ctx.shared.Anchor.y, Kind(ctx), count,
                      ToHwnd(ctx.shared.VBarControl), 0);
}

int AutoLeft(HookContext& ctx, int count) {
    return ScrollLeft(ctx, Target(ctx), Kind(ctx), count, ToHwnd(ctx.shared.HBarControl), 0);
}

int AutoRight(HookContext& ctx, int count) {
    return ScrollRight(ctx, Target(ctx), Kind(ctx), count, ToHwnd(ctx.shared.HBarControl), 0);
}

HWND CreateLegacyWheelWindow(HookContext& ctx, HINSTANCE instance, HWND parent, WNDPROC windowProc) {
    // Only Windows 95 applications look for this window; later systems
    // deliver WM_MOUSEWHEEL themselves.
    if (ctx.shared.OsKind != OS_WIN95) return nullptr;

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kLegacyWheelClass;
    if (ctx.api.RegisterClassExA(&windowClass) == 0) return nullptr;

    return ctx.api.CreateWindowExA(0, kLegacyWheelClass, kLegacyWheelTitle, WS_POPUP | WS_CLIPSIBLINGS,
                                   CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, parent, nullptr, instance, nullptr);
}

LRESULT LegacyWheelWindowProc(HookContext& ctx, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const ProcessState& process = ctx.process;
    if (process.WheelSupportMessage != 0 && message == process.WheelSupportMessage) return 1;
    // One "line" per notch: the wheel messages the library posts already
    // carry notches x lines x 120. -1 asks for a page.
    if (process.ScrollLinesMessage != 0 && message == process.ScrollLinesMessage)
        return ctx.block.WheelPageScroll ? -1 : 1;
    if (message == WM_CLOSE) {
        ctx.api.PostQuitMessage(0);
        return 0;
    }
    return ctx.api.DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace ptr
