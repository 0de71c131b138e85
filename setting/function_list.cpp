#include "function_list.h"

namespace setting {

using namespace ptr::function;

const int32_t kFunctionDisplayList[kFunctionDisplayCount] = {
    kSystemDefault, kF1, kF2, kF3, kF4, kF5, kF6, kF7, kF8, kF9, kF10,
    kEscape, kBackspace, kEnter, kSpace, kDelete, kPageUp, kPageDown, kTab, kHome, kEnd, kUp, kDown, kLeft, kRight,
    kUndo, kRedo, kCut, kCopy, kPaste,
    kExplorer, kFindComputer, kFindFile, kSystemHelp, kMiddleButton, kMinimizeAllWindows, kRun, kStartMenu,
    kSystemProperties, kUndoMinimizeAllWindows, kControlPanel, kCloseApplication, kDoubleClick, kMaximizeWindow,
    kMinimizeWindow, kDragLock,
    kShiftLock, kControlLock, kHorizontalWheel,
    kLaunchBrowser, kLaunchMail, kBrowserBack, kBrowserForward,
    kUniversalScroll, kAutoScroll, kUniversalZoom, kConnectToInternet,
};

FunctionPage PageForFunction(int32_t code) {
    switch (code) {
    case kUniversalZoom: return FunctionPage::Zoom;
    case kUniversalScroll: return FunctionPage::Scroll;
    case kAutoScroll: return FunctionPage::AutoScroll;
    case kConnectToInternet: return FunctionPage::WebAddress;
    default: return FunctionPage::Default;
    }
}

}  // namespace setting
