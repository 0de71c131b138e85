// The button-function dispatcher.
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

}  // namespace ptr
