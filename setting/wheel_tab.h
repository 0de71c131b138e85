// The settings form's "Wheel" tab: the wheel's mode and speed. Each control
// shows a field of the settings block, found by its name in the block's
// field table, and writes it when the user changes it.
#pragma once

#include "form_controls.h"
#include "settings_editor.h"

namespace setting {

class TWheelTab {
public:
    // Prepares the line count's range; the tab lives as long as the form.
    TWheelTab(TFormControls& controls, TSettingsEditor& editor);

    // Each control shows its field: one that showed something else runs its
    // change, which writes what it shows (a value within its range).
    void Load();
    // A notification of one of the tab's controls; false for another's.
    bool HandleCommand(int id, int code);

private:
    void LinesChange();
    void LinesEditExit();
    void UpdateWheelLineControls();

    TFormControls& controls_;
    TSettingsEditor& editor_;
};

}  // namespace setting
