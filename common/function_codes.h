// The button-function codes: the number that names what a button does. The
// settings block keeps one per button (ButtonFunction), a program's entry its
// own, the hook library the pending one (PendingFunction); a function that
// starts a mode is also that mode's value in Mode, and the settings program's
// string tables carry each function's name and description under its code.
// Header-only and constexpr, so that the hook library may include it.
#pragma once

#include <cstdint>

namespace ptr {
namespace function {

// The application gets the button as it came: a middle click, or on Windows
// 2000, Me and XP the X button of buttons 4 and 5.
constexpr int32_t kSystemDefault = 0;

// Keystrokes to the window under the cursor.
constexpr int32_t kF1 = 1;
constexpr int32_t kF2 = 2;
constexpr int32_t kF3 = 3;
constexpr int32_t kF4 = 4;
constexpr int32_t kF5 = 5;
constexpr int32_t kF6 = 6;
constexpr int32_t kF7 = 7;
constexpr int32_t kF8 = 8;
constexpr int32_t kF9 = 9;
constexpr int32_t kF10 = 10;
constexpr int32_t kEscape = 11;
constexpr int32_t kBackspace = 12;
constexpr int32_t kEnter = 13;
constexpr int32_t kSpace = 14;
constexpr int32_t kDelete = 15;
constexpr int32_t kPageUp = 16;
constexpr int32_t kPageDown = 17;
constexpr int32_t kTab = 18;
constexpr int32_t kHome = 19;
constexpr int32_t kEnd = 20;
constexpr int32_t kUp = 21;
constexpr int32_t kDown = 22;
constexpr int32_t kLeft = 23;
constexpr int32_t kRight = 24;
// Control chords.
constexpr int32_t kUndo = 25;
constexpr int32_t kRedo = 26;
constexpr int32_t kCut = 27;
constexpr int32_t kCopy = 28;
constexpr int32_t kPaste = 29;

// System commands. Cycle Task has texts but the settings form does not offer it.
constexpr int32_t kCycleTask = 40;
constexpr int32_t kExplorer = 41;
constexpr int32_t kFindComputer = 42;
constexpr int32_t kFindFile = 43;
constexpr int32_t kSystemHelp = 44;
constexpr int32_t kMiddleButton = 45;
constexpr int32_t kMinimizeAllWindows = 46;
constexpr int32_t kRun = 47;
constexpr int32_t kStartMenu = 48;
constexpr int32_t kSystemProperties = 49;
constexpr int32_t kUndoMinimizeAllWindows = 50;
constexpr int32_t kControlPanel = 51;
constexpr int32_t kCloseApplication = 52;
constexpr int32_t kDoubleClick = 53;
constexpr int32_t kMaximizeWindow = 54;
constexpr int32_t kMinimizeWindow = 55;

// Modes, each ended by a later press (the task switch by the button's release).
constexpr int32_t kDragLock = 56;
constexpr int32_t kShiftLock = 60;
constexpr int32_t kControlLock = 61;
constexpr int32_t kHorizontalWheel = 62;

// Requests to the tray agent, and the browser's history.
constexpr int32_t kLaunchBrowser = 70;
constexpr int32_t kLaunchMail = 71;
constexpr int32_t kBrowserBack = 72;
constexpr int32_t kBrowserForward = 73;

// Modes with a page of their own on the settings form, and the button's web
// address, which the tray agent opens.
constexpr int32_t kUniversalScroll = 100;
constexpr int32_t kAutoScroll = 101;
constexpr int32_t kUniversalZoom = 102;
constexpr int32_t kConnectToInternet = 103;

// The task switch: Alt held while the wheel steps through the tasks. No
// display name, so the settings form never offers it.
constexpr int32_t kTaskSwitch = 151;

// The codes the hook library knows; any other does nothing.
constexpr bool IsKnown(int32_t code) {
    return (code >= kSystemDefault && code <= kPaste) || (code >= kCycleTask && code <= kDragLock) ||
           (code >= kShiftLock && code <= kHorizontalWheel) || (code >= kLaunchBrowser && code <= kBrowserForward) ||
           (code >= kUniversalScroll && code <= kConnectToInternet) || code == kTaskSwitch;
}

constexpr int32_t kHighest = kTaskSwitch;

}  // namespace function
}  // namespace ptr
