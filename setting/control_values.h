// The ranges of the form's spin edits, up-downs and sliders, and how a value
// shown in one of them is read: window-free, so the rules are tested alone.
#pragma once

#include "settings_fields.h"

#include <cstdint>
#include <string>

namespace setting {

struct ValueRange {
    int32_t min;
    int32_t max;
    int32_t step;
    int32_t initial;  // the value the control shows before the form loads it
};

// A control's range is its field's, from the block's field table.
constexpr ValueRange FieldRange(const char* field, int32_t initial) {
    return {ptr::SettingsFieldNamed(field).min, ptr::SettingsFieldNamed(field).max,
            ptr::SettingsFieldNamed(field).step, initial};
}

constexpr ValueRange kWheelLinesRange = FieldRange("WheelLines", 1);
constexpr ValueRange kZoomSourceWidthRange = FieldRange("ZoomSourceWidth", 30);
constexpr ValueRange kZoomSourceHeightRange = FieldRange("ZoomSourceHeight", 30);
constexpr ValueRange kZoomFactorRange = {ptr::kMinZoomFactor, ptr::kMaxZoomFactor, 1, 2};
constexpr ValueRange kVerticalSpeedRange = FieldRange("UScrollVSpeed", 1);
constexpr ValueRange kHorizontalSpeedRange = FieldRange("UScrollHSpeed", 1);

int32_t ClampToRange(int64_t value, const ValueRange& range);

// A spin edit's integer value: its text as a decimal number, kept within the
// range; text that is no number counts as the minimum.
int32_t SpinEditValue(const std::string& text, const ValueRange& range);

// What a number typed into a spin edit comes to: held to the range; text
// that is no number gives `otherwise`.
int32_t HeldSpinValue(const std::string& text, const ValueRange& range, int32_t otherwise);

// The zoom factor of a block: target width / source width, truncated. A
// source of 0 has no factor: the form then shows the smallest, 2.
int64_t ZoomFactorOfBlock(int32_t targetWidth, int32_t sourceWidth);

// A 32-bit product that wraps instead of overflowing, as the stores into the
// block do.
int32_t WrappingProduct(int32_t a, int32_t b);

// WheelLines as the form writes it: the up-down's 16-bit position, sign-extended.
int32_t WheelLinesFromPosition(int16_t position);
// The up-down position the form shows for a WheelLines value: its low 16 bits, signed.
int16_t PositionFromWheelLines(int32_t wheelLines);

// A vertical slider shows its maximum at the top, where a trackbar has its
// minimum: the value and the trackbar's position mirror each other.
int32_t MirroredSliderValue(int32_t position, const ValueRange& range);

}  // namespace setting
