// The small operations that the dispatcher, the modes and universal and auto
// scroll share: keys, injected buttons, class names, parent walks, and every
// message the hooks post or send, each checked so that nothing goes to a
// value that is not a window.
#pragma once

#include "hook_context.h"

namespace ptr {

// GetParent never cycles on a sound desktop; the bound only keeps a broken
// window tree (an owner loop) from holding the hooked thread.
constexpr int kMaxAncestors = 256;

// How long a sent notification may hold the hooked thread: the tray agent
// answers at once, a hung or hostile window must not freeze the program.
constexpr UINT kSendTimeoutMs = 500;

// A window a message may go to: not null, not HWND_BROADCAST, and a window.
bool IsTargetWindow(HookContext& ctx, HWND window);
void PostToWindow(HookContext& ctx, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void SendToWindow(HookContext& ctx, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostToAgent(HookContext& ctx, UINT message, WPARAM wParam);
void SendToAgent(HookContext& ctx, UINT message);

void KeyDown(HookContext& ctx, BYTE vk);
void KeyUp(HookContext& ctx, BYTE vk);
void TapKey(HookContext& ctx, BYTE vk);

// The last window reached by following GetParent from window (bounded).
HWND TopLevelOf(HookContext& ctx, HWND window);
void RaiseTopLevel(HookContext& ctx, HWND window);
// mouse_event on the user's primary or secondary button, whichever way they are swapped.
void InjectButton(HookContext& ctx, DWORD flags, uint32_t extra);

bool SameTextIgnoringCase(const char* a, const char* b);
bool ClassIs(HookContext& ctx, HWND window, const char* name);

// What the user's own release of the button does (ReleaseAction).
constexpr int32_t kReleaseSwallow = 0;
constexpr int32_t kReleasePassThrough = 45;
constexpr int32_t kReleaseXButton1 = 72;
constexpr int32_t kReleaseXButton2 = 73;

// ReleaseAction keeps one button's release. Taken over while the X button
// made for an earlier press is still down, that X button goes up first:
// nothing would let it go later, for any program.
void SetReleaseAction(HookContext& ctx, int32_t action);

void AnnounceMode(HookContext& ctx);
void EndMode(HookContext& ctx, HWND window);
// The press that ends a mode. A quick second press of a button is still a
// press, though the system reports it as a double click: the first press
// may have been the one that started the mode, or one the suite made.
bool IsButtonPress(UINT message);
bool IsMiddlePress(UINT message);

}  // namespace ptr
