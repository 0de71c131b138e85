#include "start_rules.h"

namespace setting {

StartDecision DecideStart(const ptr::SettingsBlock& block, const std::function<bool(uint32_t)>& isOpenForm) {
    if (block.AgentWindow == 0) return StartDecision::NoAgent;
    const uint32_t settingsWindow = block.SettingsWindow;
    if (settingsWindow != 0 && isOpenForm(settingsWindow)) return StartDecision::FormOpen;
    return StartDecision::Run;
}

}  // namespace setting
