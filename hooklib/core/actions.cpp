#include "actions.h"

namespace ptr {
namespace {

constexpr int kClassNameBuffer = 40;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool IsTargetWindow(HookContext& ctx, HWND window) {
    // Posting to a null window drops the message into the hooked program's own
    // queue; HWND_BROADCAST would reach every top-level window.
    return window != nullptr && window != HWND_BROADCAST && ctx.api.IsWindow(window);
}

void PostToWindow(HookContext& ctx, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsTargetWindow(ctx, window)) ctx.api.PostMessageA(window, message, wParam, lParam);
}

void SendToWindow(HookContext& ctx, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsTargetWindow(ctx, window)) return;
    DWORD_PTR ignored = 0;
    ctx.api.SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMs,
                                &ignored);
}

void PostToAgent(HookContext& ctx, UINT message, WPARAM wParam) {
    PostToWindow(ctx, ToHwnd(ctx.block.AgentWindow), message, wParam, 0);
}

void SendToAgent(HookContext& ctx, UINT message) { SendToWindow(ctx, ToHwnd(ctx.block.AgentWindow), message, 0, 0); }

void KeyDown(HookContext& ctx, BYTE vk) { ctx.api.keybd_event(vk, 0, 0, 0); }
void KeyUp(HookContext& ctx, BYTE vk) { ctx.api.keybd_event(vk, 0, KEYEVENTF_KEYUP, 0); }

void TapKey(HookContext& ctx, BYTE vk) {
    KeyDown(ctx, vk);
    KeyUp(ctx, vk);
}

HWND TopLevelOf(HookContext& ctx, HWND window) {
    HWND current = window;
    for (int depth = 0; current != nullptr && depth < kMaxAncestors; ++depth) {
        HWND parent = ctx.api.GetParent(current);
        if (parent == nullptr) break;
        current = parent;
    }
    return current;
}

void RaiseTopLevel(HookContext& ctx, HWND window) {
    HWND top = TopLevelOf(ctx, window);
    if (top != nullptr) ctx.api.SetForegroundWindow(top);
}

void InjectButton(HookContext& ctx, DWORD flags, uint32_t extra) {
    // The swap is read, never set: SwapMouseButton, which also reads it,
    // would swap the user's buttons for every program for a moment.
    if (ctx.api.GetSystemMetrics(SM_SWAPBUTTON) != 0) {
        const DWORD left = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP;
        const DWORD right = MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP;
        DWORD leftBits = flags & left;
        DWORD rightBits = flags & right;
        // RIGHTDOWN and RIGHTUP are LEFTDOWN and LEFTUP shifted by two bits.
        flags = (flags & ~(left | right)) | (leftBits << 2) | (rightBits >> 2);
    }
    ctx.api.mouse_event(flags, 0, 0, 0, extra);
}

bool SameTextIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (LowerAscii(*a) != LowerAscii(*b)) return false;
    }
    return *a == *b;
}

bool ClassIs(HookContext& ctx, HWND window, const char* name) {
    char className[kClassNameBuffer] = {};
    if (window == nullptr || ctx.api.GetClassNameA(window, className, kClassNameBuffer) <= 0) className[0] = '\0';
    className[kClassNameBuffer - 1] = '\0';
    return SameTextIgnoringCase(className, name);
}

void SetReleaseAction(HookContext& ctx, int32_t action) {
    int32_t earlier = ctx.shared.ReleaseAction;
    if (earlier == kReleaseXButton1 || earlier == kReleaseXButton2)
        ctx.api.mouse_event(MOUSEEVENTF_XUP, 0, 0, earlier == kReleaseXButton1 ? XBUTTON1 : XBUTTON2, 0);
    ctx.shared.ReleaseAction = action;
}

void AnnounceMode(HookContext& ctx) { PostToAgent(ctx, UM_MODESTATE, ctx.shared.Mode); }

void EndMode(HookContext& ctx, HWND window) {
    ctx.shared.Mode = 0;
    PostToAgent(ctx, UM_MODEEND, 0);
    if (ctx.api.GetForegroundWindow() == nullptr && window != nullptr) ctx.api.SetFocus(window);
}

bool IsMiddlePress(UINT message) {
    return message == WM_MBUTTONDOWN || message == WM_MBUTTONDBLCLK || message == WM_NCMBUTTONDBLCLK;
}

bool IsButtonPress(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_XBUTTONDBLCLK:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDBLCLK:
    case WM_NCXBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

}  // namespace ptr
