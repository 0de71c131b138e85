// The button functions: what each function code does when the marked
// release of its button's press arrives. Most act once (a keystroke, a
// system command, a request to the tray agent); the rest start a mode.
#include "button_functions.h"

#include "actions.h"
#include "function_codes.h"
#include "markers.h"
#include "modes.h"
#include "programs.h"
#include "universal_scroll.h"

namespace ptr {
namespace {

// WM_APPCOMMAND lParam: the command in the high word with FAPPCOMMAND_OEM.
constexpr LPARAM kAppCommandBack = 0x10010000;
constexpr LPARAM kAppCommandForward = 0x10020000;

// The X button goes down now and up at the user's own release, which the
// dispatcher makes again in its turn; when that release went by before this
// run, the application gets the whole click now, so that the X button does
// not stay down.
int XButtonClick(HookContext& ctx, DWORD button, int32_t releaseAction) {
    bool releaseWentBy = ctx.shared.ReleasePending == 0;
    ctx.api.mouse_event(MOUSEEVENTF_XDOWN, 0, 0, button, 0);
    if (releaseWentBy) ctx.api.mouse_event(MOUSEEVENTF_XUP, 0, 0, button, 0);
    SetReleaseAction(ctx, releaseWentBy ? kReleaseSwallow : releaseAction);
    return 1;
}

// A middle click made at the marked release (a press the system reported as
// a double click; a plain click passes on as it came) is made whole: the
// user's own release may already have let the middle button go in the
// system while it waits behind this release, and a press made now would
// then stay down. The user's release is handled as ReleaseAction says.
int MiddleClick(HookContext& ctx) {
    ctx.api.mouse_event(MOUSEEVENTF_MIDDLEDOWN, 0, 0, 0, ExtraInfo(MARK_PASS));
    ctx.api.mouse_event(MOUSEEVENTF_MIDDLEUP, 0, 0, 0, ExtraInfo(MARK_PASS));
    return 1;
}

int SystemDefault(HookContext& ctx) {
    if (HasXButtons(ctx.shared.OsKind)) {
        if (ctx.shared.PendingButton == 1) return XButtonClick(ctx, XBUTTON1, kReleaseXButton1);
        if (ctx.shared.PendingButton == 2) return XButtonClick(ctx, XBUTTON2, kReleaseXButton2);
    }
    return MiddleClick(ctx);
}

BYTE KeyOfFunction(uint32_t code) {
    if (code >= function::kF1 && code <= function::kF10) return static_cast<BYTE>(VK_F1 + code - function::kF1);
    switch (code) {
    case function::kEscape: return VK_ESCAPE;
    case function::kBackspace: return VK_BACK;
    case function::kEnter: return VK_RETURN;
    case function::kSpace: return VK_SPACE;
    case function::kDelete: return VK_DELETE;
    case function::kPageUp: return VK_PRIOR;
    case function::kPageDown: return VK_NEXT;
    case function::kTab: return VK_TAB;
    case function::kHome: return VK_HOME;
    case function::kEnd: return VK_END;
    case function::kUp: return VK_UP;
    case function::kDown: return VK_DOWN;
    case function::kLeft: return VK_LEFT;
    case function::kRight: return VK_RIGHT;
    default: return 0;
    }
}

BYTE ChordKeyOfFunction(uint32_t code) {
    switch (code) {
    case function::kUndo: return 'Z';
    case function::kRedo: return 'Y';
    case function::kCut: return 'X';
    case function::kCopy: return 'C';
    case function::kPaste: return 'V';
    default: return 0;
    }
}

void CycleTask(HookContext& ctx) {
    KeyDown(ctx, VK_MENU);
    TapKey(ctx, VK_TAB);
    KeyUp(ctx, VK_MENU);
}

void StartMenu(HookContext& ctx) {
    ctx.api.keybd_event(VK_LWIN, 0, KEYEVENTF_EXTENDEDKEY, 0);
    ctx.api.keybd_event(VK_LWIN, 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
}

void DoubleClick(HookContext& ctx) {
    for (int click = 0; click < 2; ++click) {
        InjectButton(ctx, MOUSEEVENTF_LEFTDOWN, ExtraInfo(MARK_PASS));
        InjectButton(ctx, MOUSEEVENTF_LEFTUP, ExtraInfo(MARK_PASS));
    }
}

void CloseApplication(HookContext& ctx, HWND window) {
    HWND top = TopLevelOf(ctx, window);
    // The desktop's icon view: closing "Progman" offers to shut down instead.
    if (ClassIs(ctx, window, "SysListView32") && ClassIs(ctx, top, "Progman")) {
        PostToWindow(ctx, top, WM_CLOSE, 0, 0);
        return;
    }
    PostToWindow(ctx, top, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// The first window from `window` up whose style has both boxes; the shell's
// folder view carries them without being the window to size.
HWND SizableAncestor(HookContext& ctx, HWND window, LONG box) {
    const LONG wanted = box | WS_SYSMENU;
    HWND current = window;
    for (int depth = 0; current != nullptr && depth < kMaxAncestors; ++depth) {
        LONG style = ctx.api.GetWindowLongA(current, GWL_STYLE);
        if ((style & wanted) == wanted && !ClassIs(ctx, current, "SHELLDLL_DefView")) return current;
        current = ctx.api.GetParent(current);
    }
    return nullptr;
}

void MaximizeWindow(HookContext& ctx, HWND window) {
    HWND target = SizableAncestor(ctx, window, WS_MAXIMIZEBOX);
    if (target != nullptr && !ctx.api.IsZoomed(target)) PostToWindow(ctx, target, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
}

void MinimizeWindow(HookContext& ctx, HWND window) {
    HWND target = SizableAncestor(ctx, window, WS_MINIMIZEBOX);
    if (target != nullptr && !ctx.api.IsIconic(target)) PostToWindow(ctx, target, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void BrowserNavigate(HookContext& ctx, HWND window, bool back) {
    if (ctx.shared.OsKind < OS_WIN2000) {
        // No WM_APPCOMMAND before Windows 2000: Alt+Left or Alt+Right to the foreground.
        ctx.api.SetFocus(ctx.api.GetForegroundWindow());
        KeyDown(ctx, VK_MENU);
        TapKey(ctx, back ? VK_LEFT : VK_RIGHT);
        KeyUp(ctx, VK_MENU);
        return;
    }
    PostToWindow(ctx, window, WM_APPCOMMAND, reinterpret_cast<WPARAM>(window),
                 back ? kAppCommandBack : kAppCommandForward);
}

// The functions that act once, System Default to Minimize Window and the
// browser's and the tray agent's: the release is swallowed.
// Returns -1 for a code that is not one of them.
int RunAction(HookContext& ctx, HWND window, uint32_t code) {
    if (BYTE vk = KeyOfFunction(code)) return PressKey(ctx, window, vk);
    if (BYTE vk = ChordKeyOfFunction(code)) {
        CtrlChord(ctx, window, vk);
        return 1;
    }
    switch (code) {
    case function::kSystemDefault: return SystemDefault(ctx);
    case function::kCycleTask: CycleTask(ctx); return 1;
    case function::kExplorer: WinChord(ctx, 0, 'E'); return 1;
    case function::kFindComputer: WinChord(ctx, VK_CONTROL, 'F'); return 1;
    case function::kFindFile: WinChord(ctx, 0, 'F'); return 1;
    case function::kSystemHelp: WinChord(ctx, 0, VK_F1); return 1;
    case function::kMiddleButton: return MiddleClick(ctx);
    case function::kMinimizeAllWindows: WinChord(ctx, 0, 'M'); return 1;
    case function::kRun: WinChord(ctx, 0, 'R'); return 1;
    case function::kStartMenu: StartMenu(ctx); return 1;
    case function::kSystemProperties:
        ctx.api.WinExec("rundll32.exe shell32.dll,Control_RunDLL sysdm.cpl,,0", SW_SHOW);
        return 1;
    case function::kUndoMinimizeAllWindows: WinChord(ctx, VK_SHIFT, 'M'); return 1;
    case function::kControlPanel: ctx.api.WinExec("Control.exe", SW_SHOWNORMAL); return 1;
    case function::kCloseApplication: CloseApplication(ctx, window); return 1;
    case function::kDoubleClick: DoubleClick(ctx); return 1;
    case function::kMaximizeWindow: MaximizeWindow(ctx, window); return 1;
    case function::kMinimizeWindow: MinimizeWindow(ctx, window); return 1;
    case function::kLaunchBrowser: PostToAgent(ctx, UM_LAUNCHBROWSER, 0); return 1;
    case function::kLaunchMail: PostToAgent(ctx, UM_LAUNCHMAIL, 0); return 1;
    case function::kBrowserBack: BrowserNavigate(ctx, window, true); return 1;
    case function::kBrowserForward: BrowserNavigate(ctx, window, false); return 1;
    default: return -1;
    }
}

// Functions that start a mode or talk to the tray agent. Returns -1 for a
// code that is not one of them. A mode keeps the settings of the program it
// starts in.
int RunModeStart(HookContext& ctx, HWND window, int x, int y, uint32_t code) {
    if (code != function::kConnectToInternet) RememberModeProgram(ctx, window);
    switch (code) {
    case function::kDragLock: return StartDragLock(ctx);
    case function::kShiftLock:
    case function::kControlLock: return StartKeyLock(ctx, code);
    case function::kHorizontalWheel: return StartHorizontalWheel(ctx);
    case function::kUniversalScroll:
        StartUniversalScroll(ctx, window, x, y);
        return 1;
    case function::kAutoScroll: return StartAutoScroll(ctx, window);
    case function::kUniversalZoom: return StartZoom(ctx);
    case function::kConnectToInternet: PostToAgent(ctx, UM_CONNECTINTERNET, ctx.shared.PendingButton); return 1;
    case function::kTaskSwitch: return StartTaskSwitch(ctx);
    default: return -1;
    }
}

}  // namespace

int RunFunction(HookContext& ctx, HWND window, int x, int y, uint32_t code) {
    int result = RunAction(ctx, window, code);
    if (result < 0) result = RunModeStart(ctx, window, x, y, code);
    // Unknown codes do nothing and let the marked release through.
    return result < 0 ? 0 : result;
}

int PressKey(HookContext& ctx, HWND window, BYTE vk) {
    if (ctx.api.GetFocus() != window) ctx.api.SetFocus(window);
    TapKey(ctx, vk);
    return 1;
}

void CtrlChord(HookContext& ctx, HWND window, BYTE vk) {
    ctx.api.SetFocus(window);
    KeyDown(ctx, VK_CONTROL);
    TapKey(ctx, vk);
    KeyUp(ctx, VK_CONTROL);
}

void WinChord(HookContext& ctx, BYTE modifier, BYTE vk) {
    ctx.api.keybd_event(VK_LWIN, 0, KEYEVENTF_EXTENDEDKEY, 0);
    if (modifier != 0) KeyDown(ctx, modifier);
    TapKey(ctx, vk);
    if (modifier != 0) KeyUp(ctx, modifier);
    ctx.api.keybd_event(VK_LWIN, 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
}

}  // namespace ptr
