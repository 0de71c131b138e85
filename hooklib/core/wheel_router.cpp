// Placeholder until the wheel router is built.
#include "wheel_router.h"

namespace ptr {

int RouteWheel(HookContext&, HWND, int, int) { return 0; }

}  // namespace ptr
