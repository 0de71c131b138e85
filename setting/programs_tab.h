// The settings form's "Programs" tab: the programs with settings of their
// own, added by dragging the picker onto a program's window or by choosing
// its file, removed, and the selected one's buttons and wheel, each "as
// everywhere" or its own. Every change goes into the live programs block at
// once; Apply makes it the state Cancel goes back to.
#pragma once

#include "form_controls.h"
#include "program_names.h"
#include "programs_editor.h"
#include "resource_modules.h"

#include <windows.h>

#include <functional>

namespace setting {

class TProgramsTab {
public:
    struct Environment {
        HWND form;
        HINSTANCE resources;        // strings of the tab
        const TFunctionNames* names;
        unsigned buttonCount;       // which function rows the tab shows
        ptr::ProgramsBlock* block;  // null: the tray agent has none, nothing to edit
        // Sets a control's own visibility; the form shows it with its tab.
        std::function<void(int id, bool visible)> setVisible;
    };

    explicit TProgramsTab(const Environment& environment);
    ~TProgramsTab();
    TProgramsTab(const TProgramsTab&) = delete;
    TProgramsTab& operator=(const TProgramsTab&) = delete;

    // Fills the boxes and the list (at the form's creation).
    void Load();
    static bool IsTabControl(int id);
    // A notification of one of the tab's controls; returns true when it
    // changed the programs block (Apply is then enabled).
    bool HandleCommand(int id, int code);
    void Apply() { editor_.TakeSavedCopy(); }
    void Cancel() { editor_.RestoreSavedCopy(); }
    // The tray agent rewrote the block: shown as it is, and kept.
    void TakeKept();

    // A program's window was picked, or its file chosen: true when it is
    // listed (now or already) and selected.
    bool AddProgram(const std::string& name);
    bool PickWindow(HWND window);

private:
    static LRESULT CALLBACK PickerProc(HWND picker, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandlePicker(HWND picker, UINT message, WPARAM wParam, LPARAM lParam);

    HWND Control(int id) const { return GetDlgItem(env_.form, id); }
    std::string String(unsigned id) const { return LoadResourceString(env_.resources, id); }
    int Selected() const;
    void FillList(int select);
    // The list and the ways to add a program, while the block can be edited.
    void EnableEditing();
    void ShowSelected();
    void EnableFields(bool enabled);
    int32_t ChosenValue(int id) const;
    void UpdateLineControls();
    bool FunctionBoxChange(int id);
    bool WheelModeChange();
    bool WheelSpeedChange();
    bool WheelLinesChange();
    bool Browse();
    bool RemoveSelected();
    void Tell(unsigned textId) const;

    Environment env_;
    TProgramsEditor editor_;
    ptr::ProgramNameLookup programNames_;
    WNDPROC pickerProc_ = nullptr;
    bool picking_ = false;
    int quiet_ = 0;
};

}  // namespace setting
