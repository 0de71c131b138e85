// What the settings form does to the two shared blocks, without any window:
// a change of a field, by its name in the block's field table, the Apply
// state, the saved copies that Cancel writes back, and the button whose
// function box was last used. The form reads its controls and hands the
// values in here.
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

    // A field of the block by its name in the field table: what it holds,
    // and its change as its control shows it, written at once and Apply
    // enabled. A name the table does not have reads 0 and writes nothing.
    int32_t Get(const char* field) const;
    void Set(const char* field, int32_t value);
    // Universal Zoom's target size that follows a source size: the factor
    // times the block's source (not what a control shows), written at once
    // and Apply enabled; returns what it wrote.
    int32_t SetZoomTarget(const char* target, const char* source, int32_t factor);

    // A function box of button 3, 4 or 5 was entered or changed: its code is
    // stored and Apply enabled. hasCode is false when nothing is selected in
    // it: then nothing is stored.
    void UseFunctionBox(int button, bool hasCode, int32_t code);
    int CurrentButton() const { return currentButton_; }
    void SetCurrentButton(int button) { currentButton_ = button; }

    // The live web address of the current button, and its change, which
    // leaves Apply as it is.
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
