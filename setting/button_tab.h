// The settings form's "Button" tab: a function box for each of the mouse's
// buttons 3 to 5, and under them the page of the chosen function: its
// description, or the settings of Universal Zoom, Universal Scroll (with a
// test area), Auto Scroll (a test area) or the web address of the button.
// Each control shows a field of the settings block, found by its name in
// the block's field table, and writes it when the user changes it.
#pragma once

#include "form_controls.h"
#include "form_pictures.h"
#include "resource_modules.h"
#include "settings_editor.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>

namespace setting {

class TButtonTab {
public:
    struct Environment {
        TFormControls* controls;
        TSettingsEditor* editor;
        const TFunctionNames* names;
        TFormPictures* pictures;  // lights the button of the function box in use
        // Sets a control's own visibility; the form shows it with its tab.
        std::function<void(int id, bool visible)> setVisible;
        // Shows one page under the function boxes.
        std::function<void(int page)> showPage;
    };

    // Prepares the ranges of the spin edits and sliders.
    explicit TButtonTab(const Environment& environment);

    // The function boxes of the mouse's buttons, each with its function selected.
    void LoadFunctionRows();
    // The controls of the pages: each shows its field, and one that showed
    // something else runs its change, which writes what it shows.
    void LoadPages();
    // The first function box is entered, as when the tab is shown.
    void EnterFirstBox();

    // Notifications of the tab's controls; false for another's.
    bool HandleCommand(int id, int code);
    void HandleNotify(NMHDR* header);
    void HandleSlider(HWND slider, int request);

private:
    HWND Control(int id) const { return env_.controls->Control(id); }
    void FillFunctionBox(int id, int32_t code);
    bool FunctionBoxCommand(int id, int code);
    void FunctionBoxChange(int id);
    void ShowFunctionPage(int32_t code, bool hasCode);
    void ZoomSourceChange(int edit);
    void ZoomFactorChange();
    void SpinEditExit(int edit);

    Environment env_;
    int activeFunctionBox_ = 0;  // the function box that holds the form's focus
};

}  // namespace setting
