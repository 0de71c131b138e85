// TMOUSESETTINGForm: the settings program's one window, a dialog built from
// the template "TMOUSESETTINGFORM" of the resource module. Its tabs, each a
// file of its own (wheel_tab, button_tab, programs_tab), write every change
// of a control into the live blocks at once (through TSettingsEditor), and
// its pictures (form_pictures) light the button being edited; Apply tells
// the tray agent, Cancel goes back to the state of the last Apply.
#pragma once

#include "button_tab.h"
#include "form_controls.h"
#include "form_pictures.h"
#include "programs_tab.h"
#include "resource_modules.h"
#include "settings_block.h"
#include "settings_editor.h"
#include "wheel_tab.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace setting {

struct TFormEnvironment {
    std::string folder;        // the program folder, ending in a backslash
    HINSTANCE resourceModule;  // strings and icon come from here
    HINSTANCE formModule;      // the template: the resource module's, or the program's where it has none
    HINSTANCE program;         // the program's own resources, where the resource module lacks one
    HMODULE nameModule;        // function names and descriptions
    HMODULE nameFallback;      // where a name the name module lacks comes from (the program), or none
    ptr::SettingsBlock* block;
    uint8_t* appBlock;
    ptr::ProgramsBlock* programs = nullptr;  // null where the tray agent has none
};

class TMOUSESETTINGForm {
public:
    explicit TMOUSESETTINGForm(const TFormEnvironment& environment);
    ~TMOUSESETTINGForm();
    TMOUSESETTINGForm(const TMOUSESETTINGForm&) = delete;
    TMOUSESETTINGForm& operator=(const TMOUSESETTINGForm&) = delete;

    // Builds the window from the template (FormCreate runs inside); false when
    // the resource module has no usable template.
    bool Create();
    void Show();
    HWND Handle() const { return window_; }

    // The keys that turn the pages (Ctrl+Tab, Ctrl+PgDn, Alt and a tab's
    // letter ...), taken before the dialog manager sees them; true when the
    // message was one of them.
    bool HandleFormKey(const MSG& message);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool HandleCommand(int id, int code);
    bool HandleNotify(NMHDR* header);

    // Creation, showing, destruction.
    void PrepareControls();
    void FormCreate();
    void LoadSettingsFile();
    void FormShow();
    void FormDestroy();

    void TabsChange();
    void SwitchToTab(int tab);
    // False when the tray agent could not be told: the user is told instead.
    bool ApplyButtonClick();
    void ReportAgentGone();
    void OkButtonClick();
    void CancelButtonClick();
    void Close();

    // Which controls show: those of the tab shown and, on the Button tab,
    // of the page shown, each where it is visible by itself.
    void SetControlVisible(int id, bool visible);
    void ShowTab(int tab);
    void ShowNotebookPage(int page);
    void RefreshVisibility();
    void SyncApplyButton();

    TFormEnvironment env_;
    TFunctionNames names_;
    HWND window_ = nullptr;
    std::unique_ptr<TFormControls> controls_;
    std::unique_ptr<TFormPictures> pictures_;
    std::unique_ptr<TSettingsEditor> editor_;
    std::unique_ptr<TWheelTab> wheelTab_;
    std::unique_ptr<TButtonTab> buttonTab_;
    std::unique_ptr<TProgramsTab> programsTab_;
    bool closing_ = false;  // once closing, no notification runs a handler
    int activeTab_ = 0;
    int activePage_ = 0;
    std::map<int, bool> ownVisible_;  // a control's own visibility, whatever its page
    HFONT boldFont_ = nullptr;
    std::string versionCaption_;
    std::vector<std::string> tabCaptions_;
};

}  // namespace setting
