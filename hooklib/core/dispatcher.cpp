// The button-function dispatcher: the active mode first, otherwise the
// press/release cycle that turns a middle-button press (or a press of
// buttons 4 to 7, carried as a middle press with a button index) into the
// function the settings block assigns to that button.
#include "dispatcher.h"

#include "actions.h"
#include "button_functions.h"
#include "function_codes.h"
#include "markers.h"
#include "modes.h"
#include "programs.h"
#include "universal_scroll.h"

namespace ptr {
namespace {

constexpr uint32_t kMiddleButtonIndex = 0;
constexpr uint32_t kButtonIndexOffset = 3;  // index 0 is button 3

bool IsValidButtonIndex(HookContext& ctx, uint16_t index) {
    // The index comes from dwExtraInfo, which any program can set: it must
    // address a ButtonFunction element as well as a button the mouse has.
    return index < kButtonFunctionSlots && index + kButtonIndexOffset <= ctx.block.ButtonCount;
}

// The low-level hook carries XBUTTON1 or XBUTTON2 as the index of an unmarked middle event.
bool IsTranslatedXButton(uint16_t marker, uint16_t index) {
    return marker == MARK_NONE && (index == XBUTTON1 || index == XBUTTON2);
}

uint32_t ChosenButton(HookContext& ctx, uint16_t index) {
    return IsValidButtonIndex(ctx, index) ? index : kMiddleButtonIndex;
}

// System Default and Middle Button give the application an ordinary middle
// click, except that System Default on buttons 4 and 5 gives their X button
// where the system has one.
bool IsPlainMiddleClick(HookContext& ctx, uint32_t code, uint32_t button) {
    if (code == function::kMiddleButton) return true;
    return code == function::kSystemDefault && !(HasXButtons(ctx.shared.OsKind) && (button == 1 || button == 2));
}

// mayPassThrough: the press may reach the application as it came.
int HandlePressWith(HookContext& ctx, HWND window, uint16_t index, bool mayPassThrough) {
    uint32_t button = ChosenButton(ctx, index);
    uint32_t code = static_cast<uint32_t>(ctx.block.ButtonFunction[button]);
    RaiseTopLevel(ctx, window);
    if (mayPassThrough && IsPlainMiddleClick(ctx, code, button)) {
        // A press swallowed and made again would still count as a first click
        // for the system, and the one made again as the second: a double
        // click. Passed on as it came, the press is one click, as the user
        // made it. It runs nothing, so the function an earlier press left
        // pending stays for that press's marked release.
        SetReleaseAction(ctx, kReleasePassThrough);
        return 0;
    }
    ctx.shared.PendingButton = button;
    ctx.shared.PendingFunction = code;
    // The function runs when this release arrives, in the thread that owns
    // the window under the cursor, after its top-level window came forward.
    // The user's own release of a busy program's click may come before it:
    // a function that holds a button until that release finds out at its
    // run whether it already went by.
    ctx.api.mouse_event(MOUSEEVENTF_MIDDLEUP, 0, 0, 0, ExtraInfo(MARK_RUN));
    ctx.shared.ReleasePending = 1;
    return 1;
}

// The button's function is the one the program under the cursor (the owner
// of the window the press is for) gives it.
int HandlePress(HookContext& ctx, HWND window, uint16_t index, bool mayPassThrough) {
    SettingsBlock settings;
    if (!SettingsOfWindow(ctx, window, settings)) return HandlePressWith(ctx, window, index, mayPassThrough);
    HookContext programCtx = WithSettings(ctx, settings);
    return HandlePressWith(programCtx, window, index, mayPassThrough);
}

// A real second quick click of the middle button reaches the application as
// the system reports it; where the button is a plain middle button, its
// release follows it, so that the double click is whole.
int HandleDoubleClick(HookContext& ctx, HWND window) {
    SettingsBlock settings;
    const SettingsBlock& block = SettingsOfWindow(ctx, window, settings) ? settings : ctx.block;
    if (IsPlainMiddleClick(ctx, static_cast<uint32_t>(block.ButtonFunction[kMiddleButtonIndex]), kMiddleButtonIndex))
        SetReleaseAction(ctx, kReleasePassThrough);
    return 0;
}

int HandleUserRelease(HookContext& ctx) {
    ctx.shared.ReleasePending = 0;
    switch (ctx.shared.ReleaseAction) {
    case kReleaseSwallow:
        return 1;
    case kReleasePassThrough:
        ctx.shared.ReleaseAction = kReleaseSwallow;
        return 0;
    case kReleaseXButton1:
        ctx.shared.ReleaseAction = kReleaseSwallow;
        ctx.api.mouse_event(MOUSEEVENTF_XUP, 0, 0, XBUTTON1, 0);
        return 1;
    case kReleaseXButton2:
        ctx.shared.ReleaseAction = kReleaseSwallow;
        ctx.api.mouse_event(MOUSEEVENTF_XUP, 0, 0, XBUTTON2, 0);
        return 1;
    default:
        return 0;
    }
}

// A press auto scroll made to hold the middle button, arriving after a
// click already ended auto scroll: no user pressed it. It is swallowed and
// the button let go again, with a release that comes back here and is
// swallowed too.
int LetGoOfLateHold(HookContext& ctx) {
    ctx.api.mouse_event(MOUSEEVENTF_MIDDLEUP, 0, 0, 0, ExtraInfo(MARK_SELF));
    return 1;
}

int DispatchIdle(HookContext& ctx, HWND window, UINT message, int x, int y, uint16_t marker, uint16_t index,
                 bool translatedDoubleClick) {
    if (message == WM_MBUTTONDOWN && marker == MARK_SELF) return LetGoOfLateHold(ctx);
    if (message == WM_MBUTTONDOWN) return HandlePress(ctx, window, index, !translatedDoubleClick);
    if (message == WM_MBUTTONDBLCLK) return HandleDoubleClick(ctx, window);
    if (message != WM_MBUTTONUP) return 0;
    if (marker == MARK_RUN) return RunFunction(ctx, window, x, y, ctx.shared.PendingFunction);
    return HandleUserRelease(ctx);
}

// Returns -1 when no mode is active.
int DispatchToMode(HookContext& ctx, HWND window, UINT message, int x, int y, uint16_t marker) {
    switch (ctx.shared.Mode) {
    case function::kDragLock: return DragLockHandler(ctx, window, message, marker);
    case function::kShiftLock:
    case function::kControlLock: return KeyLockHandler(ctx, window, message, marker);
    case function::kHorizontalWheel: return HorizontalWheelHandler(ctx, window, message, marker);
    case function::kUniversalScroll: return UniversalScrollHandler(ctx, window, message, x, y);
    case function::kAutoScroll: return AutoScrollHandler(ctx, window, message, marker);
    case function::kUniversalZoom: return ZoomHandler(ctx, window, message, marker);
    case function::kTaskSwitch: return TaskSwitchHandler(ctx, window, message, marker);
    default: return -1;
    }
}

}  // namespace

int Dispatch(HookContext& ctx, HWND window, UINT message, int x, int y, uint16_t marker, uint16_t index) {
    // Input the suite made for applications is never interpreted again.
    if (marker == MARK_PASS) return 0;
    // The press the low-level hook made for button 4 or 5 is that button's
    // press, also when the system counts it as the second click of a middle
    // double click (it follows a middle click, or the press before it).
    bool translatedDoubleClick = message == WM_MBUTTONDBLCLK && IsTranslatedXButton(marker, index);
    if (translatedDoubleClick) message = WM_MBUTTONDOWN;
    int modeResult = DispatchToMode(ctx, window, message, x, y, marker);
    if (modeResult >= 0) return modeResult;
    return DispatchIdle(ctx, window, message, x, y, marker, index, translatedDoubleClick);
}

}  // namespace ptr
