// The button-function dispatcher and the operations its functions share.
#pragma once

#include "hook_context.h"

namespace ptr {

// Returns 1 to swallow the message, 0 to let it go on.
int Dispatch(HookContext& ctx, HWND window, UINT message, int x, int y, uint16_t marker, uint16_t index);

// Runs a function code for the marked release; returns its result.
int RunFunction(HookContext& ctx, HWND window, int x, int y, uint32_t code);

int PressKey(HookContext& ctx, HWND window, BYTE vk);
void CtrlChord(HookContext& ctx, HWND window, BYTE vk);
void WinChord(HookContext& ctx, BYTE modifier, BYTE vk);  // modifier 0: none
void RaiseTopLevel(HookContext& ctx, HWND window);
HWND TopLevelOf(HookContext& ctx, HWND window);
void InjectButton(HookContext& ctx, DWORD flags, uint32_t extra);
bool ClassIs(HookContext& ctx, HWND window, const char* name);
void AnnounceMode(HookContext& ctx);
void EndMode(HookContext& ctx, HWND window);
bool IsButtonPress(UINT message);

}  // namespace ptr
