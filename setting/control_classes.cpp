#include "control_classes.h"

#include <commctrl.h>

namespace setting {

ControlClassInit InitControlClasses(ptr::ProcLookup lookup) {
    using InitExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto initEx = ptr::LateBound<InitExFn>(GetModuleHandleA("comctl32.dll"), "InitCommonControlsEx", lookup);
    if (initEx != nullptr) {
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
        if (initEx(&classes)) return ControlClassInit::Extended;
    }
    InitCommonControls();
    return ControlClassInit::Classic;
}

}  // namespace setting
