// TScrollBox: a bordered pane with scroll bars, around one child window that
// is larger than the pane (the test areas' screen pictures).
#pragma once

#include <windows.h>

namespace setting {

// Registers the window class SCROLL_BOX_CLASS for every module of the
// process, so that a form built from a language module finds it too.
bool RegisterScrollBoxClass(HINSTANCE instance);

// Puts the child at the pane's origin and sizes the scroll bars to it; call
// after the child changed its size.
void ScrollBoxContentChanged(HWND box);

}  // namespace setting
