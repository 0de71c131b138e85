// Placeholder until universal scroll and auto scroll are built.
#include "universal_scroll.h"

namespace ptr {

int StartUniversalScroll(HookContext&, HWND, int, int) { return 0; }
int UniversalScrollHandler(HookContext&, HWND, UINT, int, int) { return 0; }
int StartAutoScroll(HookContext&, HWND) { return 0; }
int AutoScrollHandler(HookContext&, HWND, UINT, uint16_t) { return 0; }

}  // namespace ptr
