// The settings form's controls by their ids, as its tabs read and set them:
// texts, check marks, spin edits (an edit and its up-down) and sliders, each
// within its range, and the counter that keeps the form's own settings of a
// control from running the handler a user's change runs.
#pragma once

#include "control_values.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace setting {

// A drop-down list's entries: each a text and the value it carries. An entry
// is found and read by its value, never by its position.
using Choices = std::vector<std::pair<std::string, int32_t>>;
void FillChoices(HWND box, const Choices& choices);
// Selects the entry that carries the value; none carries it: nothing is selected.
void SelectChoice(HWND box, int32_t value);

// A spin edit: an edit with its up-down, within a range.
struct SpinControl {
    int edit;
    int upDown;
    const ValueRange* range;
};

// A trackbar within a range. The vertical one shows its maximum at the top,
// where a trackbar has its minimum: its value and its position mirror each other.
struct SliderControl {
    int id;
    const ValueRange* range;
    bool mirrored;
};

class TFormControls {
public:
    explicit TFormControls(HWND form) : form_(form) {}
    TFormControls(const TFormControls&) = delete;
    TFormControls& operator=(const TFormControls&) = delete;

    HWND Form() const { return form_; }
    HWND Control(int id) const { return GetDlgItem(form_, id); }
    std::string Text(int id) const;
    void SetText(int id, const std::string& text);
    bool Checked(int id) const;
    // The form's rectangle of a control.
    RECT ChildRect(int id) const;

    // The up-down's range and its first value.
    void PrepareSpin(const SpinControl& spin);
    // The edit's text as a number within the range.
    int32_t SpinValue(const SpinControl& spin) const;
    // The up-down's 16-bit position, and setting it (which sets the edit's text).
    int16_t UpDownPosition(int upDown) const;
    void SetUpDownPosition(int upDown, int32_t position);

    // The trackbar's range, steps and first value.
    void PrepareSlider(const SliderControl& slider);
    int32_t SliderValue(const SliderControl& slider) const;
    void SetSliderValue(const SliderControl& slider, int32_t value);

    // While the form sets a control itself, the control's notifications run
    // no handler; its change then runs once, as a user's change would.
    bool IsQuiet() const { return quiet_ > 0; }
    int& QuietCounter() { return quiet_; }
    void SetQuietlyThenRun(const std::function<void()>& set, const std::function<void()>& change);

private:
    HWND form_;
    int quiet_ = 0;
};

}  // namespace setting
