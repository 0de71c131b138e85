// The button functions: what each function code does.
#pragma once

#include "hook_context.h"

namespace ptr {

// Runs a function code for the marked release; returns its result.
int RunFunction(HookContext& ctx, HWND window, int x, int y, uint32_t code);

int PressKey(HookContext& ctx, HWND window, BYTE vk);
void CtrlChord(HookContext& ctx, HWND window, BYTE vk);
void WinChord(HookContext& ctx, BYTE modifier, BYTE vk);  // modifier 0: none

// Whether the system gives applications X button messages: Windows 2000, Me and XP.
inline bool HasXButtons(int32_t osKind) { return osKind == OS_WIN2000 || osKind == OS_WINME || osKind == OS_WINXP; }

}  // namespace ptr
