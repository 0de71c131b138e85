#include "settings_editor.h"

#include "control_values.h"
#include "settings_fields.h"

#include <cstring>

namespace setting {

TSettingsEditor::TSettingsEditor(ptr::SettingsBlock& block, uint8_t* appBlock) : block_(block), app_(appBlock) {
    TakeSavedCopies();
}

void TSettingsEditor::TakeSavedCopies() {
    std::memcpy(&savedBlock_, &block_, sizeof savedBlock_);
    std::memcpy(savedApp_, app_, ptr::kAppBlockSize);
}

void TSettingsEditor::RestoreSavedCopies() {
    // Field by field, each as the one aligned word it is.
    for (const ptr::SettingsField& field : ptr::kSettingsFields)
        if (field.kind != ptr::FieldKind::Handle)
            ptr::WriteSettingsField(block_, field, ptr::ReadSettingsField(savedBlock_, field));
    std::memcpy(app_, savedApp_, ptr::kAppBlockSize);
}

uint32_t TSettingsEditor::Apply() {
    TakeSavedCopies();
    DisableApply();
    return block_.AgentWindow;
}

bool TSettingsEditor::ApplyTelling(const std::function<bool(uint32_t agentWindow)>& tell) {
    if (!tell(block_.AgentWindow)) return false;
    Apply();
    return true;
}

int32_t TSettingsEditor::Get(const char* field) const {
    const ptr::SettingsField* found = ptr::FindSettingsField(field);
    return found ? ptr::ReadSettingsField(block_, *found) : 0;
}

void TSettingsEditor::Set(const char* field, int32_t value) {
    const ptr::SettingsField* found = ptr::FindSettingsField(field);
    if (!found) return;
    ptr::WriteSettingsField(block_, *found, value);
    EnableApply();
}

int32_t TSettingsEditor::SetZoomTarget(const char* target, const char* source, int32_t factor) {
    const int32_t size = WrappingProduct(factor, Get(source));
    Set(target, size);
    return Get(target);
}

void TSettingsEditor::UseFunctionBox(int button, bool hasCode, int32_t code) {
    currentButton_ = button;
    const int slot = button - 3;
    if (hasCode && slot >= 0 && slot < 3) block_.ButtonFunction[slot] = code;
    EnableApply();
}

std::string TSettingsEditor::CurrentWebAddress() const {
    return ptr::GetWebAddress(app_, ptr::WebAddressSlotOfButton(currentButton_));
}

void TSettingsEditor::SetCurrentWebAddress(const std::string& text) {
    ptr::SetWebAddress(app_, ptr::WebAddressSlotOfButton(currentButton_), text);
}

}  // namespace setting
