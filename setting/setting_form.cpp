#include "setting_form.h"

#include "form_ids.h"
#include "form_keys.h"
#include "form_layout.h"
#include "late_bound.h"
#include "peer_windows.h"
#include "program_files.h"
#include "quiet.h"
#include "scroll_box.h"
#include "start_rules.h"
#include "window_handles.h"

#include <commctrl.h>

namespace setting {

namespace {

// The pages' controls lie on the page control and paint their background in
// the form's colour; a visual style would paint the page body in another one.
// The style is left only where there is one (Windows XP): earlier systems
// have no uxtheme.dll.
void DrawClassicTabs(HWND tabs) {
    HMODULE uxtheme = LoadLibraryA("uxtheme.dll");
    if (!uxtheme) return;
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    const auto setTheme = ptr::LateBound<SetWindowThemeFn>(uxtheme, "SetWindowTheme");
    if (setTheme) setTheme(tabs, L" ", L" ");
    FreeLibrary(uxtheme);
}

}  // namespace

TMOUSESETTINGForm::TMOUSESETTINGForm(const TFormEnvironment& environment) : env_(environment) {}

TMOUSESETTINGForm::~TMOUSESETTINGForm() {
    if (window_) DestroyWindow(window_);
    if (boldFont_) DeleteObject(boldFont_);
}

bool TMOUSESETTINGForm::Create() {
    RegisterScrollBoxClass(GetModuleHandleA(nullptr));
    // A template that does not make a form (a language module's of another
    // version) leaves the program's own.
    for (HINSTANCE module : {env_.formModule, env_.program}) {
        if (CreateDialogParamA(module, kFormTemplateName, nullptr, DialogProc, reinterpret_cast<LPARAM>(this)))
            return true;
        if (module == env_.program) break;
    }
    return false;
}

void TMOUSESETTINGForm::Show() {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

INT_PTR CALLBACK TMOUSESETTINGForm::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TMOUSESETTINGForm* form = nullptr;
    if (message == WM_INITDIALOG) {
        form = reinterpret_cast<TMOUSESETTINGForm*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        form->window_ = window;
    } else {
        form = reinterpret_cast<TMOUSESETTINGForm*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    return form ? form->HandleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR TMOUSESETTINGForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        PrepareControls();
        FormCreate();
        SetFocus(controls_->Control(IDC_TABS));
        return FALSE;  // the focus is set
    case WM_COMMAND: return HandleCommand(LOWORD(wParam), HIWORD(wParam));
    case ptr::UM_PROGRAMSKEPT:
        if (programsTab_) programsTab_->TakeKept();
        return TRUE;
    case WM_NOTIFY: return HandleNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (buttonTab_) {
            buttonTab_->HandleSlider(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
            SyncApplyButton();
        }
        return TRUE;
    case WM_CTLCOLORSTATIC: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (!IsBlueLabel(id)) return FALSE;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(0, 0, 255));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SHOWWINDOW:
        if (wParam) FormShow();
        return FALSE;
    case WM_CLOSE:
        // The close box only closes: nothing is restored, nothing is posted.
        Close();
        return TRUE;
    case WM_DESTROY:
        FormDestroy();
        PostQuitMessage(0);
        return TRUE;
    case WM_NCDESTROY: window_ = nullptr; return FALSE;
    default: return FALSE;
    }
}

bool TMOUSESETTINGForm::HandleCommand(int id, int code) {
    switch (id) {
    case OkButton: OkButtonClick(); return true;
    case CancelButton: CancelButtonClick(); return true;
    case ApplyButton: ApplyButtonClick(); return true;
    default: break;
    }
    if (!controls_ || controls_->IsQuiet() || closing_) return true;
    if (TProgramsTab::IsTabControl(id)) {
        if (programsTab_ && programsTab_->HandleCommand(id, code)) {
            editor_->EnableApply();
            SyncApplyButton();
        }
        return true;
    }
    if (!wheelTab_ || !buttonTab_) return false;
    if (!wheelTab_->HandleCommand(id, code) && !buttonTab_->HandleCommand(id, code)) return false;
    SyncApplyButton();
    return true;
}

bool TMOUSESETTINGForm::HandleNotify(NMHDR* header) {
    if (static_cast<int>(header->idFrom) == IDC_TABS && header->code == TCN_SELCHANGE) {
        ShowTab(static_cast<int>(SendMessageA(controls_->Control(IDC_TABS), TCM_GETCURSEL, 0, 0)));
        TabsChange();
        return true;
    }
    if (buttonTab_) buttonTab_->HandleNotify(header);
    return false;
}

// ---- Creation ----

void TMOUSESETTINGForm::PrepareControls() {
    controls_ = std::make_unique<TFormControls>(window_);
    Quiet quiet(controls_->QuietCounter());
    for (int i = 0; i < kControlPlaceCount; ++i) {
        const int id = kControlPlaces[i].id;
        ownVisible_[id] = (GetWindowLongA(controls_->Control(id), GWL_STYLE) & WS_VISIBLE) != 0;
    }

    // The bold face of the form's own font.
    LOGFONTA face = {};
    if (HFONT font = reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0));
        font && GetObjectA(font, sizeof face, &face)) {
        face.lfWeight = FW_BOLD;
        boldFont_ = CreateFontIndirectA(&face);
    }
    for (int i = 0; i < kControlPlaceCount; ++i)
        if (IsBoldLabel(kControlPlaces[i].id) && boldFont_)
            SendMessageA(controls_->Control(kControlPlaces[i].id), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_),
                         FALSE);

    // The tabs, captioned by the hidden sheet labels.
    HWND tabs = controls_->Control(IDC_TABS);
    DrawClassicTabs(tabs);
    const int sheets[] = {IDC_WHEEL_TAB_CAPTION, IDC_BUTTON_TAB_CAPTION, IDC_PROGRAMS_TAB_CAPTION};
    for (int i = 0; i < 3; ++i) {
        std::string caption = controls_->Text(sheets[i]);
        tabCaptions_.push_back(caption);
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = &caption[0];
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }

    pictures_ = std::make_unique<TFormPictures>(
        TFormPictures::Environment{controls_.get(), env_.folder, env_.resourceModule, env_.program});
    pictures_->Prepare();
    versionCaption_ = controls_->Text(VersionLabel);
}

void TMOUSESETTINGForm::FormCreate() {
    ptr::SettingsBlock& block = *env_.block;
    block.SettingsWindow = ptr::FromHwnd(window_);
    editor_ = std::make_unique<TSettingsEditor>(block, env_.appBlock);
    names_.SetNameModule(env_.nameModule, env_.nameFallback);
    const auto setVisible = [this](int id, bool visible) { SetControlVisible(id, visible); };
    wheelTab_ = std::make_unique<TWheelTab>(*controls_, *editor_);
    buttonTab_ = std::make_unique<TButtonTab>(TButtonTab::Environment{
        controls_.get(), editor_.get(), &names_, pictures_.get(), setVisible,
        [this](int page) { ShowNotebookPage(page); }});
    wheelTab_->Load();
    buttonTab_->LoadFunctionRows();
    pictures_->ShowScreenSnapshot();
    buttonTab_->LoadPages();
    LoadSettingsFile();
    pictures_->Load(env_.block->ButtonCount);
    programsTab_ = std::make_unique<TProgramsTab>(TProgramsTab::Environment{
        window_, env_.resourceModule, &names_, env_.block->ButtonCount, env_.programs, setVisible});
    programsTab_->Load();
    editor_->SetCurrentButton(3);
    ShowNotebookPage(0);
    SendMessageA(controls_->Control(IDC_TABS), TCM_SETCURSEL, kWheelTab, 0);
    ShowTab(kWheelTab);
    editor_->DisableApply();
    SyncApplyButton();
}

void TMOUSESETTINGForm::LoadSettingsFile() {
    const TSettingsFileTexts texts = ReadSettingsFile(env_.folder);
    if (!texts.version.empty()) {
        controls_->SetText(VersionLabel, versionCaption_ + " " + texts.version);
    } else {
        SetControlVisible(VersionLabel, false);
    }
    if (!texts.caption.empty()) SetWindowTextA(window_, texts.caption.c_str());
}

void TMOUSESETTINGForm::FormShow() {
    editor_->DisableApply();
    SyncApplyButton();
}

void TMOUSESETTINGForm::FormDestroy() {
    if (pictures_) pictures_->ReleaseSnapshot();
    ClearOwnSettingsWindow(*env_.block, ptr::FromHwnd(window_));
}

// ---- The tabs, Apply, OK and Cancel ----

void TMOUSESETTINGForm::TabsChange() {
    if (activeTab_ == kButtonTab) buttonTab_->EnterFirstBox();
}

// A page turned from the keyboard turns as a click on its tab does.
void TMOUSESETTINGForm::SwitchToTab(int tab) {
    HWND tabs = controls_->Control(IDC_TABS);
    SetFocus(tabs);
    if (tab != activeTab_) {
        SendMessageA(tabs, TCM_SETCURSEL, tab, 0);
        ShowTab(tab);
    }
    TabsChange();
}

bool TMOUSESETTINGForm::HandleFormKey(const MSG& message) {
    if (!window_ || closing_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) return false;
    const int tabs = static_cast<int>(SendMessageA(controls_->Control(IDC_TABS), TCM_GETITEMCOUNT, 0, 0));
    if (message.message == WM_KEYDOWN) {
        const int step = TabStepOfKey(static_cast<unsigned>(message.wParam), GetKeyState(VK_CONTROL) < 0,
                                      GetKeyState(VK_SHIFT) < 0);
        if (step == 0) return false;
        SwitchToTab(TabAfterStep(activeTab_, tabs, step));
        return true;
    }
    if (message.message == WM_SYSCHAR) {
        const int tab = TabOfMnemonic(tabCaptions_, static_cast<char>(message.wParam));
        if (tab < 0 || tab >= tabs) return false;
        SwitchToTab(tab);
        return true;
    }
    return false;
}

bool TMOUSESETTINGForm::ApplyButtonClick() {
    // Only a tray agent that takes the message keeps the settings: without
    // one nothing is kept, so nothing may look as if it were.
    if (!editor_->ApplyTelling(TellTrayAgent)) {
        SyncApplyButton();
        ReportAgentGone();
        return false;
    }
    // The programs as the tray agent is told to keep them.
    if (programsTab_) programsTab_->Apply();
    // A disabled button keeps no focus worth having.
    if (GetFocus() == controls_->Control(ApplyButton))
        SendMessageA(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(controls_->Control(OkButton)), TRUE);
    SyncApplyButton();
    return true;
}

void TMOUSESETTINGForm::ReportAgentGone() {
    const std::string text = LoadResourceString(env_.resourceModule, AGENT_GONE_TEXT, env_.program);
    char caption[256] = "";
    GetWindowTextA(window_, caption, sizeof caption);
    MessageBoxA(window_, text.c_str(), caption, MB_OK | MB_ICONWARNING);
}

// OK keeps the form open when its Apply could not reach the tray agent:
// the user has been told and chooses what to do.
void TMOUSESETTINGForm::OkButtonClick() {
    if (editor_->ApplyEnabled() && !ApplyButtonClick()) return;
    Close();
}

void TMOUSESETTINGForm::CancelButtonClick() {
    closing_ = true;
    editor_->RestoreSavedCopies();
    if (programsTab_) programsTab_->Cancel();
    Close();
}

void TMOUSESETTINGForm::Close() {
    closing_ = true;
    if (window_) DestroyWindow(window_);
}

// ---- Which controls show ----

void TMOUSESETTINGForm::SetControlVisible(int id, bool visible) {
    ownVisible_[id] = visible;
    RefreshVisibility();
}

void TMOUSESETTINGForm::ShowTab(int tab) {
    activeTab_ = tab;
    RefreshVisibility();
}

void TMOUSESETTINGForm::ShowNotebookPage(int page) {
    activePage_ = page;
    RefreshVisibility();
}

void TMOUSESETTINGForm::RefreshVisibility() {
    for (int i = 0; i < kControlPlaceCount; ++i) {
        const ControlPlace& place = kControlPlaces[i];
        const bool show = ownVisible_[place.id] && PlaceIsShowing(place, activeTab_, activePage_);
        HWND control = controls_->Control(place.id);
        const bool shown = (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
        if (control && shown != show) ShowWindow(control, show ? SW_SHOWNA : SW_HIDE);
    }
}

void TMOUSESETTINGForm::SyncApplyButton() {
    if (editor_) EnableWindow(controls_->Control(ApplyButton), editor_->ApplyEnabled());
}

}  // namespace setting
