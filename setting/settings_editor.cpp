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

void TSettingsEditor::SetEnhanceMode(bool enhanced) {
    block_.EnhanceMode = Flag(enhanced);
    EnableApply();
}

void TSettingsEditor::SetPageScroll(bool page) {
    block_.WheelPageScroll = Flag(page);
    EnableApply();
}

void TSettingsEditor::SetWheelLines(int16_t upDownPosition) {
    block_.WheelLines = WheelLinesFromPosition(upDownPosition);
    EnableApply();
}

void TSettingsEditor::SetUScrollVertical(bool on) {
    block_.UScrollVertical = Flag(on);
    EnableApply();
}

void TSettingsEditor::SetUScrollHorizontal(bool on) {
    block_.UScrollHorizontal = Flag(on);
    EnableApply();
}

void TSettingsEditor::SetUScrollReverse(bool on) {
    block_.UScrollReverse = Flag(on);
    EnableApply();
}

void TSettingsEditor::SetUScrollVSpeed(int32_t speed) {
    block_.UScrollVSpeed = speed;
    EnableApply();
}

void TSettingsEditor::SetUScrollHSpeed(int32_t speed) {
    block_.UScrollHSpeed = speed;
    EnableApply();
}

int32_t TSettingsEditor::SetZoomSourceWidth(int32_t width, int32_t factor) {
    block_.ZoomSourceWidth = width;
    block_.ZoomTargetWidth = WrappingProduct(factor, block_.ZoomSourceWidth);
    EnableApply();
    return block_.ZoomTargetWidth;
}

int32_t TSettingsEditor::SetZoomSourceHeight(int32_t height, int32_t factor) {
    block_.ZoomSourceHeight = height;
    block_.ZoomTargetHeight = WrappingProduct(factor, block_.ZoomSourceHeight);
    EnableApply();
    return block_.ZoomTargetHeight;
}

// The block's source sizes count here, not what the size controls show.
TSettingsEditor::ZoomTargets TSettingsEditor::SetZoomFactor(int32_t factor) {
    block_.ZoomTargetWidth = WrappingProduct(factor, block_.ZoomSourceWidth);
    block_.ZoomTargetHeight = WrappingProduct(factor, block_.ZoomSourceHeight);
    EnableApply();
    return ZoomTargets{block_.ZoomTargetWidth, block_.ZoomTargetHeight};
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
