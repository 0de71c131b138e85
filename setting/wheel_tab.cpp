#include "wheel_tab.h"

#include "form_ids.h"
#include "quiet.h"

#include <string>

namespace setting {

namespace {

// A flag shown by two radio buttons: `on` is checked when the field holds
// anything but 0, `off` when it holds 0.
struct FlagChoice {
    const char* field;
    int off;
    int on;
};

// The line count counts only while the wheel scrolls by lines.
constexpr char kPageScrollField[] = "WheelPageScroll";

constexpr FlagChoice kFlagChoices[] = {
    {"EnhanceMode", SystemModeRadioButton, EnhanceModeRadioButton},
    {kPageScrollField, LineScrollRadioButton, PageScrollRadioButton},
};

const FlagChoice* FlagChoiceOf(int id) {
    for (const FlagChoice& choice : kFlagChoices)
        if (choice.off == id || choice.on == id) return &choice;
    return nullptr;
}

// WheelLines travels as the up-down's 16-bit position, not as the edit's text.
constexpr char kLinesField[] = "WheelLines";
constexpr SpinControl kLines = {WheelLineEdit, WheelLineUpDown, &kWheelLinesRange};

}  // namespace

TWheelTab::TWheelTab(TFormControls& controls, TSettingsEditor& editor) : controls_(controls), editor_(editor) {
    Quiet quiet(controls_.QuietCounter());
    controls_.PrepareSpin(kLines);
}

void TWheelTab::Load() {
    for (const FlagChoice& choice : kFlagChoices) {
        const int shows = editor_.Get(choice.field) != 0 ? choice.on : choice.off;
        if (controls_.Checked(shows)) continue;
        controls_.SetQuietlyThenRun([&] { CheckRadioButton(controls_.Form(), choice.off, choice.on, shows); },
                                    [&] { HandleCommand(shows, BN_CLICKED); });
    }
    const int16_t position = PositionFromWheelLines(editor_.Get(kLinesField));
    if (position != controls_.UpDownPosition(kLines.upDown))
        controls_.SetQuietlyThenRun([&] { controls_.SetUpDownPosition(kLines.upDown, position); },
                                    [&] { LinesChange(); });
    UpdateWheelLineControls();
}

bool TWheelTab::HandleCommand(int id, int code) {
    if (const FlagChoice* choice = FlagChoiceOf(id)) {
        if (code != BN_CLICKED) return false;
        editor_.Set(choice->field, TSettingsEditor::Flag(id == choice->on));
        if (choice->field == kPageScrollField) UpdateWheelLineControls();
        return true;
    }
    if (id != kLines.edit) return false;
    if (code == EN_CHANGE) {
        LinesChange();
        return true;
    }
    if (code == EN_KILLFOCUS) {
        LinesEditExit();
        return true;
    }
    return false;
}

// The up-down's position counts, not the text: the up-down takes the text
// only when it is a number within its range.
void TWheelTab::LinesChange() {
    editor_.Set(kLinesField, WheelLinesFromPosition(controls_.UpDownPosition(kLines.upDown)));
}

// Leaving the edit: a number typed beyond the range is held to it, and the
// edit shows what the block holds rather than what was typed.
void TWheelTab::LinesEditExit() {
    const int16_t position = controls_.UpDownPosition(kLines.upDown);
    const int32_t held = HeldSpinValue(controls_.Text(kLines.edit), *kLines.range, position);
    if (held != position) controls_.SetUpDownPosition(kLines.upDown, held);
    const std::string shown = std::to_string(PositionFromWheelLines(editor_.Get(kLinesField)));
    if (controls_.Text(kLines.edit) != shown) controls_.SetText(kLines.edit, shown);
}

void TWheelTab::UpdateWheelLineControls() {
    const bool enabled = editor_.Get(kPageScrollField) == 0;
    EnableWindow(controls_.Control(kLines.edit), enabled);
    EnableWindow(controls_.Control(kLines.upDown), enabled);
}

}  // namespace setting
