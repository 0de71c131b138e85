// What the settings form does to the two shared blocks, without any window:
// each change handler's field and value, the Apply state, the saved copies
// that Cancel writes back, and the button whose function box was last used.
// The form reads its controls and hands the values in here.
#pragma once

#include "app_block_view.h"
#include "settings_block.h"

#include <cstdint>
#include <functional>
#include <string>

namespace setting {

class TSettingsEditor {
public:
    // block and appBlock are the live shared views (120 and 1284 bytes); both
    // must outlive the editor. The saved copies are taken at once.
    TSettingsEditor(ptr::SettingsBlock& block, uint8_t* appBlock);

    const ptr::SettingsBlock& Live() const { return block_; }

    // The saved copies: the state that Cancel goes back to. The restore puts
    // back every field of the configuration and the whole application block,
    // but no window handle: those belong to the tray agent (and the form), and
    // an agent restarted while the form was open has written its new ones.
    void TakeSavedCopies();
    void RestoreSavedCopies();
    const ptr::SettingsBlock& SavedBlock() const { return savedBlock_; }
    const uint8_t* SavedAppBlock() const { return savedApp_; }

    bool ApplyEnabled() const { return applyEnabled_; }
    void EnableApply() { applyEnabled_ = true; }
    void DisableApply() { applyEnabled_ = false; }

    // Apply: the current state becomes the saved one and Apply is disabled.
    // Returns the window that is told of the change (AgentWindow).
    uint32_t Apply();
    // Apply as the user asks for it: tell(AgentWindow) tells the tray agent
    // and says whether the message reached it. Only then is the state kept;
    // otherwise nothing changes and Apply stays enabled.
    bool ApplyTelling(const std::function<bool(uint32_t agentWindow)>& tell);

    // The change handlers. Each writes its fields and enables Apply, except
    // SetCurrentWebAddress, which leaves Apply as it is.
    void SetEnhanceMode(bool enhanced);
    void SetPageScroll(bool page);
    void SetWheelLines(int16_t upDownPosition);
    void SetUScrollVertical(bool on);
    void SetUScrollHorizontal(bool on);
    void SetUScrollReverse(bool on);
    void SetUScrollVSpeed(int32_t speed);
    void SetUScrollHSpeed(int32_t speed);
    // Source sizes and the factor: each returns the target sizes it wrote.
    int32_t SetZoomSourceWidth(int32_t width, int32_t factor);
    int32_t SetZoomSourceHeight(int32_t height, int32_t factor);
    struct ZoomTargets {
        int32_t width;
        int32_t height;
    };
    ZoomTargets SetZoomFactor(int32_t factor);

    // A function box of button 3, 4 or 5 was entered or changed. hasCode is
    // false when nothing is selected in it: then nothing is stored.
    void UseFunctionBox(int button, bool hasCode, int32_t code);
    int CurrentButton() const { return currentButton_; }
    void SetCurrentButton(int button) { currentButton_ = button; }

    // The live web address of the current button, and its change.
    std::string CurrentWebAddress() const;
    void SetCurrentWebAddress(const std::string& text);

    static int32_t Flag(bool on) { return on ? -1 : 0; }

private:
    ptr::SettingsBlock& block_;
    uint8_t* app_;
    ptr::SettingsBlock savedBlock_;
    uint8_t savedApp_[ptr::kAppBlockSize];
    bool applyEnabled_ = false;
    int currentButton_ = 3;
};

}  // namespace setting
