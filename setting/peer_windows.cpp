#include "peer_windows.h"

#include "settings_block.h"
#include "suite_names.h"
#include "window_handles.h"

#include <windows.h>

#include <cstring>

namespace setting {

namespace {

bool IsLiveWindowOfClass(uint32_t value, const char* className) {
    HWND window = ptr::ToHwnd(value);
    if (value == 0 || !IsWindow(window)) return false;
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return std::strcmp(name, className) == 0;
}

}  // namespace

bool IsTrayAgentWindow(uint32_t value) { return IsLiveWindowOfClass(value, ptr::kAgentWindowClass); }

bool TellTrayAgent(uint32_t agentWindow) {
    return IsTrayAgentWindow(agentWindow) &&
           PostMessageA(ptr::ToHwnd(agentWindow), ptr::UM_SETTINGSCHANGED, 0, 0) != FALSE;
}

bool IsOpenSettingsForm(uint32_t value) { return IsLiveWindowOfClass(value, "#32770"); }

bool IsShownSettingsForm(uint32_t value) {
    return IsOpenSettingsForm(value) && IsWindowVisible(ptr::ToHwnd(value));
}

void BringFormForward(uint32_t value) {
    HWND form = ptr::ToHwnd(value);
    if (IsIconic(form)) ShowWindow(form, SW_RESTORE);
    SetForegroundWindow(form);
}

}  // namespace setting
