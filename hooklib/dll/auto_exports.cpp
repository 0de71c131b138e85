// The exports the tray agent calls during auto scroll, and the legacy wheel
// window it creates on Windows 95.
#include "library.h"

#include "../core/auto_scroll.h"

using namespace ptr;

PTR_EXPORT int WINAPI DoAutoUp(int count) {
    HookContext ctx = LibraryContext();
    return AutoUp(ctx, count);
}

PTR_EXPORT int WINAPI DoAutoDown(int count) {
    HookContext ctx = LibraryContext();
    return AutoDown(ctx, count);
}

PTR_EXPORT int WINAPI DoAutoLeft(int count) {
    HookContext ctx = LibraryContext();
    return AutoLeft(ctx, count);
}

PTR_EXPORT int WINAPI DoAutoRight(int count) {
    HookContext ctx = LibraryContext();
    return AutoRight(ctx, count);
}

PTR_EXPORT LRESULT CALLBACK WheelWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HookContext ctx = LibraryContext();
    return LegacyWheelWindowProc(ctx, window, message, wParam, lParam);
}

PTR_EXPORT HWND WINAPI CreateWheelWindow(HINSTANCE instance, HWND parent) {
    HookContext ctx = LibraryContext();
    return CreateLegacyWheelWindow(ctx, instance, parent, WheelWndProc);
}
