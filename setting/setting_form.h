// TMOUSESETTINGForm: the settings program's one window, a dialog built from
// the template "TMOUSESETTINGFORM" of the resource module. Every change of a
// control goes into the live blocks at once (through TSettingsEditor); Apply
// tells the tray agent, Cancel goes back to the state of the last Apply.
#pragma once

#include "programs_tab.h"
#include "region_data.h"
#include "resource_modules.h"
#include "settings_block.h"
#include "settings_editor.h"

#include <windows.h>

#include <cstdint>
#include <functional>
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
    void HandleSlider(HWND slider, int request);

    // A change handler of the form.
    using Handler = void (TMOUSESETTINGForm::*)();
    // Sets a control while its notifications run no handler, then runs handler.
    void SetQuietlyThenRun(const std::function<void()>& set, Handler handler);

    // Creation, showing, destruction.
    void PrepareControls();
    void FormCreate();
    void LoadWheelTab();
    void FillFunctionBox(int id, int32_t code);
    void LoadFunctionRows();
    void TakeScreenSnapshot();
    void ShowSnapshotIn(HWND image, HWND box);
    void LoadScrollPage();
    void LoadZoomPage();
    void LoadSettingsFile();
    void LoadPictures();
    void LoadMousePicture();
    void CentreInFrame(int image, int frame);
    void LoadProgramsPage();
    void FormShow();
    void FormDestroy();

    // The change handlers.
    void SystemModeRadioButtonClick();
    void EnhanceModeRadioButtonClick();
    void LineScrollRadioButtonClick();
    void PageScrollRadioButtonClick();
    void WheelLineEditChange();
    void VScrollCheckBoxClick();
    void hScrollCheckBoxClick();
    void ReverseScrollCheckBoxClick();
    void vScrollRxSliderChange();
    void hScrollRxSliderChange();
    void ZX1Change();
    void ZY1Change();
    void ZFChange();
    void FunctionBoxChange(int id);
    void FunctionComboBoxExit();
    void WebAddrEditChange();
    void PageControl1Change();
    void SwitchToTab(int tab);
    void SpinEditExit(int edit);
    // False when the tray agent could not be told: the user is told instead.
    bool ApplyButtonClick();
    void ReportAgentGone();
    void OkButtonClick();
    void CancelButtonClick();
    void Close();

    void UpdateWheelLineControls();
    void ShowFunctionPage(int32_t code, bool hasCode);

    // Controls.
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    std::string Text(int id) const;
    void SetText(int id, const std::string& text);
    bool Checked(int id) const;
    int32_t SpinValue(int id) const;
    int32_t SliderValue(int id) const;
    void SetControlVisible(int id, bool visible);
    RECT ChildRect(int id) const;
    void ShowTab(int tab);
    void ShowNotebookPage(int page);
    void RefreshVisibility();
    void SyncApplyButton();

    TFormEnvironment env_;
    TFunctionNames names_;
    std::unique_ptr<TSettingsEditor> editor_;
    std::unique_ptr<TProgramsPage> programsPage_;
    HWND window_ = nullptr;
    int quiet_ = 0;  // while positive, control notifications run no handler
    bool closing_ = false;  // once closing, no notification runs a handler
    int activeTab_ = 0;
    int activePage_ = 0;
    int activeFunctionBox_ = 0;  // the function box that holds the form's focus
    std::map<int, bool> ownVisible_;  // a control's own visibility, whatever its page
    HFONT boldFont_ = nullptr;
    HBITMAP snapshot_ = nullptr;
    HBITMAP logo_ = nullptr;
    HBITMAP mouseBitmap_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HWND scrollTestImage_ = nullptr;
    HWND autoScrollTestImage_ = nullptr;
    std::string versionCaption_;
    std::vector<std::string> tabCaptions_;
    bool pictureMapLoaded_ = false;
    std::unique_ptr<TKsvRegionFile> regionFile_;
    TKsvRegionObject* mouseRegion_ = nullptr;
};

}  // namespace setting
