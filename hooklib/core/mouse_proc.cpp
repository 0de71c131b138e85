#include "mouse_proc.h"

namespace ptr {

LRESULT MouseHook(HookContext& ctx, int code, WPARAM message, LPARAM lParam) {
    return ctx.api.CallNextHookEx(ToHhook(ctx.shared.MouseHook), code, message, lParam);
}

}  // namespace ptr
