#include "start_rules.h"

namespace setting {

StartDecision DecideStart(const ptr::SettingsBlock& block, const std::function<bool(uint32_t)>& isAgent,
                          const std::function<bool(uint32_t)>& isOpenForm) {
    const uint32_t agentWindow = block.AgentWindow;
    if (agentWindow == 0 || !isAgent(agentWindow)) return StartDecision::NoAgent;
    const uint32_t settingsWindow = block.SettingsWindow;
    if (settingsWindow != 0 && isOpenForm(settingsWindow)) return StartDecision::FormOpen;
    return StartDecision::Run;
}

void ClearOwnSettingsWindow(ptr::SettingsBlock& block, uint32_t form) {
    if (form != 0 && block.SettingsWindow == form) block.SettingsWindow = 0;
}

}  // namespace setting
