// How a window is to be scrolled: class-name and style rules, and the search
// for separate scroll-bar controls.
#pragma once

#include "hook_context.h"

namespace ptr {

enum BarOrientation { BAR_VERTICAL = 0, BAR_HORIZONTAL = 1 };

int ClassifySpreadsheetWindow(HookContext& ctx, HWND window, uint32_t& code);
int ClassifyWindow(HookContext& ctx, HWND window, uint32_t& code);
HWND FindScrollBarControl(HookContext& ctx, HWND window, BarOrientation orientation);
uint32_t FindVerticalMethod(HookContext& ctx, HWND window, HWND& barControl);
uint32_t FindHorizontalMethod(HookContext& ctx, HWND window, HWND& barControl);
uint32_t FindScrollMethods(HookContext& ctx, HWND window, HWND& verticalBar, HWND& horizontalBar);

}  // namespace ptr
