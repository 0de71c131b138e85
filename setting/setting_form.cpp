#include "setting_form.h"

#include "control_values.h"
#include "form_ids.h"
#include "form_keys.h"
#include "form_layout.h"
#include "function_list.h"
#include "late_bound.h"
#include "peer_windows.h"
#include "program_files.h"
#include "quiet.h"
#include "scroll_box.h"
#include "start_rules.h"
#include "window_handles.h"

#include <commctrl.h>

#include <exception>

namespace setting {

namespace {

// The form's own notifications while it loads a control run no handler
// (Quiet); the loading code runs them where the value changed.

struct FunctionBoxRole {
    int id;
    int button;
    uint32_t regionId;
};

constexpr FunctionBoxRole kFunctionBoxes[] = {
    {FunctionComboBox, 3, 1},
    {Fun4ComboBox, 4, 2},
    {Fun5ComboBox, 5, 3},
};

const FunctionBoxRole* FunctionBoxOf(int id) {
    for (const FunctionBoxRole& role : kFunctionBoxes)
        if (role.id == id) return &role;
    return nullptr;
}

struct SpinControl {
    int edit;
    int upDown;
    const ValueRange* range;
};

constexpr SpinControl kSpinControls[] = {
    {WheelLineEdit, WheelLineUpDown, &kWheelLinesRange},
    {ZX1, ZX1Spin, &kZoomSourceWidthRange},
    {ZY1, ZY1Spin, &kZoomSourceHeightRange},
    {ZF, ZFSpin, &kZoomFactorRange},
};

const SpinControl* SpinOf(int edit) {
    for (const SpinControl& spin : kSpinControls)
        if (spin.edit == edit) return &spin;
    return nullptr;
}

const ValueRange& SpinRangeOf(int edit) {
    const SpinControl* spin = SpinOf(edit);
    return spin ? *spin->range : kWheelLinesRange;
}

struct SliderControl {
    int id;
    const ValueRange* range;
    // The vertical slider shows its maximum at the top, where a trackbar has
    // its minimum: its value and its position mirror each other.
    bool mirrored;
};

constexpr SliderControl kSliderControls[] = {
    {hScrollRxSlider, &kHorizontalSpeedRange, false},
    {vScrollRxSlider, &kVerticalSpeedRange, true},
};

const SliderControl& SliderOf(int id) {
    for (const SliderControl& slider : kSliderControls)
        if (slider.id == id) return slider;
    return kSliderControls[0];
}

// The position that shows a value, or the value a position shows.
int32_t SliderMirror(const SliderControl& slider, int32_t valueOrPosition) {
    return slider.mirrored ? MirroredSliderValue(valueOrPosition, *slider.range) : valueOrPosition;
}

// The picture map's own failures are dropped: the picture then stays as it is.
template <typename Action>
void DroppingFailures(Action action) {
    try {
        action();
    } catch (const std::exception&) {
    }
}

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
    if (logo_) DeleteObject(logo_);
    if (mouseBitmap_) DeleteObject(mouseBitmap_);
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
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
        SetFocus(Control(PageControl1));
        return FALSE;  // the focus is set
    case WM_COMMAND: return HandleCommand(LOWORD(wParam), HIWORD(wParam));
    case ptr::UM_PROGRAMSKEPT:
        if (programsPage_) programsPage_->TakeKept();
        return TRUE;
    case WM_NOTIFY: return HandleNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_HSCROLL:
    case WM_VSCROLL:
        HandleSlider(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
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
    if (quiet_ > 0 || closing_) return true;
    if (code == EN_KILLFOCUS && SpinOf(id)) {
        SpinEditExit(id);
        return true;
    }
    if (TProgramsPage::IsPageControl(id)) {
        if (programsPage_ && programsPage_->HandleCommand(id, code)) {
            editor_->EnableApply();
            SyncApplyButton();
        }
        return true;
    }
    if (code == BN_CLICKED) {
        switch (id) {
        case SystemModeRadioButton: SystemModeRadioButtonClick(); break;
        case EnhanceModeRadioButton: EnhanceModeRadioButtonClick(); break;
        case LineScrollRadioButton: LineScrollRadioButtonClick(); break;
        case PageScrollRadioButton: PageScrollRadioButtonClick(); break;
        case VScrollCheckBox: VScrollCheckBoxClick(); break;
        case hScrollCheckBox: hScrollCheckBoxClick(); break;
        case ReverseScrollCheckBox: ReverseScrollCheckBoxClick(); break;
        default: return false;
        }
        return true;
    }
    if (code == EN_CHANGE) {
        switch (id) {
        case WheelLineEdit: WheelLineEditChange(); break;
        case ZX1: ZX1Change(); break;
        case ZY1: ZY1Change(); break;
        case ZF: ZFChange(); break;
        case WebAddrEdit: WebAddrEditChange(); break;
        default: return false;
        }
        return true;
    }
    if (!FunctionBoxOf(id)) return false;
    switch (code) {
    case CBN_SELCHANGE: FunctionBoxChange(id); break;
    case CBN_SETFOCUS:
        // Focus coming back with the form's activation is no entering.
        if (activeFunctionBox_ != id) FunctionBoxChange(id);
        break;
    case CBN_KILLFOCUS: {
        // Focus leaving the form altogether is no exit either.
        HWND next = GetFocus();
        if (next && IsChild(window_, next)) {
            activeFunctionBox_ = 0;
            FunctionComboBoxExit();
        }
        break;
    }
    default: return false;
    }
    return true;
}

bool TMOUSESETTINGForm::HandleNotify(NMHDR* header) {
    const int id = static_cast<int>(header->idFrom);
    if (id == PageControl1 && header->code == TCN_SELCHANGE) {
        ShowTab(static_cast<int>(SendMessageA(Control(PageControl1), TCM_GETCURSEL, 0, 0)));
        PageControl1Change();
        return true;
    }
    if ((id == ZX1Spin || id == ZY1Spin) && header->code == UDN_DELTAPOS) {
        // The source sizes go in steps of two.
        reinterpret_cast<NMUPDOWN*>(header)->iDelta *= kZoomSourceWidthRange.step;
        return false;
    }
    return false;
}

void TMOUSESETTINGForm::HandleSlider(HWND slider, int request) {
    if (quiet_ > 0 || request == TB_ENDTRACK) return;
    if (slider == Control(vScrollRxSlider)) vScrollRxSliderChange();
    if (slider == Control(hScrollRxSlider)) hScrollRxSliderChange();
}

// ---- Creation ----

void TMOUSESETTINGForm::PrepareControls() {
    Quiet quiet(quiet_);
    for (int i = 0; i < kControlPlaceCount; ++i) {
        const int id = kControlPlaces[i].id;
        ownVisible_[id] = (GetWindowLongA(Control(id), GWL_STYLE) & WS_VISIBLE) != 0;
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
            SendMessageA(Control(kControlPlaces[i].id), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_), FALSE);

    // The tabs, captioned by the hidden sheet labels.
    HWND tabs = Control(PageControl1);
    DrawClassicTabs(tabs);
    const int sheets[] = {TabSheet1, TabSheet2, TabSheet3};
    for (int i = 0; i < 3; ++i) {
        std::string caption = Text(sheets[i]);
        tabCaptions_.push_back(caption);
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = &caption[0];
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }

    for (const SpinControl& spin : kSpinControls) {
        SendMessageA(Control(spin.upDown), UDM_SETRANGE, 0, MAKELPARAM(spin.range->max, spin.range->min));
        SendMessageA(Control(spin.upDown), UDM_SETPOS, 0, MAKELPARAM(spin.range->initial, 0));
    }
    for (const SliderControl& slider : kSliderControls) {
        const ValueRange& range = *slider.range;
        HWND control = Control(slider.id);
        SendMessageA(control, TBM_SETRANGE, FALSE, MAKELPARAM(range.min, range.max));
        SendMessageA(control, TBM_SETPAGESIZE, 0, range.step);
        SendMessageA(control, TBM_SETLINESIZE, 0, range.step);
        SendMessageA(control, TBM_SETPOS, TRUE, SliderMirror(slider, range.initial));
    }

    // The test pictures live inside their scroll boxes.
    scrollTestImage_ = Control(ScrollTestIMage);
    autoScrollTestImage_ = Control(AutoScrollTestIMage);
    SetParent(scrollTestImage_, Control(ScrollBox1));
    SetParent(autoScrollTestImage_, Control(ScrollBox2));
    SetWindowPos(scrollTestImage_, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(autoScrollTestImage_, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    // The built-in icon, until RES\Tray.ico replaces it.
    HICON icon = LoadIconA(env_.resourceModule, "MAINICON");
    if (!icon) icon = LoadIconA(env_.program, "MAINICON");
    if (icon) {
        SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    versionCaption_ = Text(VersionLabel);
}

void TMOUSESETTINGForm::FormCreate() {
    ptr::SettingsBlock& block = *env_.block;
    block.SettingsWindow = ptr::FromHwnd(window_);
    editor_ = std::make_unique<TSettingsEditor>(block, env_.appBlock);
    names_.SetNameModule(env_.nameModule, env_.nameFallback);
    LoadWheelTab();
    LoadFunctionRows();
    TakeScreenSnapshot();
    ShowSnapshotIn(scrollTestImage_, Control(ScrollBox1));
    ShowSnapshotIn(autoScrollTestImage_, Control(ScrollBox2));
    LoadScrollPage();
    LoadZoomPage();
    LoadSettingsFile();
    LoadPictures();
    LoadMousePicture();
    CentreInFrame(LogoImage, Panel1);
    CentreInFrame(MouseImage, Panel2);
    LoadProgramsPage();
    editor_->SetCurrentButton(3);
    ShowNotebookPage(0);
    SendMessageA(Control(PageControl1), TCM_SETCURSEL, kWheelTab, 0);
    ShowTab(kWheelTab);
    editor_->DisableApply();
    SyncApplyButton();
}

// A control loaded as a change by the user would be: its own notifications
// run no handler while it is set, then its handler runs once.
void TMOUSESETTINGForm::SetQuietlyThenRun(const std::function<void()>& set, Handler handler) {
    {
        Quiet quiet(quiet_);
        set();
    }
    (this->*handler)();
}

void TMOUSESETTINGForm::LoadWheelTab() {
    const ptr::SettingsBlock& block = *env_.block;
    // A radio button that becomes checked runs its click handler.
    const bool enhanced = block.EnhanceMode != 0;
    const int mode = enhanced ? EnhanceModeRadioButton : SystemModeRadioButton;
    if (!Checked(mode))
        SetQuietlyThenRun([&] { CheckRadioButton(window_, SystemModeRadioButton, EnhanceModeRadioButton, mode); },
                          enhanced ? &TMOUSESETTINGForm::EnhanceModeRadioButtonClick
                                   : &TMOUSESETTINGForm::SystemModeRadioButtonClick);

    const int16_t position = PositionFromWheelLines(block.WheelLines);
    const int16_t shown = static_cast<int16_t>(LOWORD(SendMessageA(Control(WheelLineUpDown), UDM_GETPOS, 0, 0)));
    if (position != shown)
        SetQuietlyThenRun([&] { SendMessageA(Control(WheelLineUpDown), UDM_SETPOS, 0, MAKELPARAM(position, 0)); },
                          &TMOUSESETTINGForm::WheelLineEditChange);

    const bool page = block.WheelPageScroll != 0;
    const int scroll = page ? PageScrollRadioButton : LineScrollRadioButton;
    if (!Checked(scroll))
        SetQuietlyThenRun([&] { CheckRadioButton(window_, LineScrollRadioButton, PageScrollRadioButton, scroll); },
                          page ? &TMOUSESETTINGForm::PageScrollRadioButtonClick
                               : &TMOUSESETTINGForm::LineScrollRadioButtonClick);
    UpdateWheelLineControls();
}

void TMOUSESETTINGForm::FillFunctionBox(int id, int32_t code) {
    HWND box = Control(id);
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (int32_t listed : kFunctionDisplayList) {
        const std::string name = names_.LoadFunctionName(listed);
        const LRESULT index = SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        if (index >= 0) SendMessageA(box, CB_SETITEMDATA, index, static_cast<LPARAM>(listed));
    }
    // Found by the code each entry carries, never by position.
    LRESULT selected = CB_ERR;
    const LRESULT count = SendMessageA(box, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count && selected == CB_ERR; ++i)
        if (static_cast<int32_t>(SendMessageA(box, CB_GETITEMDATA, i, 0)) == code) selected = i;
    SendMessageA(box, CB_SETCURSEL, selected, 0);
}

void TMOUSESETTINGForm::LoadFunctionRows() {
    const ptr::SettingsBlock& block = *env_.block;
    const unsigned buttons = block.ButtonCount;
    FillFunctionBox(FunctionComboBox, block.ButtonFunction[0]);
    if (buttons > 3) SetControlVisible(Fun3Label, true);
    if (buttons >= 4) {
        SetControlVisible(Fun4Label, true);
        SetControlVisible(Fun4ComboBox, true);
        FillFunctionBox(Fun4ComboBox, block.ButtonFunction[1]);
    }
    if (buttons >= 5) {
        SetControlVisible(Fun5Label, true);
        SetControlVisible(Fun5ComboBox, true);
        FillFunctionBox(Fun5ComboBox, block.ButtonFunction[2]);
    }
}

void TMOUSESETTINGForm::TakeScreenSnapshot() {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HWND desktop = GetDesktopWindow();
    HDC screen = GetWindowDC(desktop);
    if (!screen) return;
    snapshot_ = CreateCompatibleBitmap(screen, width, height);
    HDC memory = CreateCompatibleDC(screen);
    if (snapshot_ && memory) {
        HGDIOBJ old = SelectObject(memory, snapshot_);
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        SelectObject(memory, old);
    }
    if (memory) DeleteDC(memory);
    ReleaseDC(desktop, screen);
}

void TMOUSESETTINGForm::ShowSnapshotIn(HWND image, HWND box) {
    // A picture of its own (from a language module's form) stays.
    if (!snapshot_ || SendMessageA(image, STM_GETIMAGE, IMAGE_BITMAP, 0)) return;
    BITMAP info = {};
    GetObjectA(snapshot_, sizeof info, &info);
    SendMessageA(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(snapshot_));
    SetWindowPos(image, nullptr, 0, 0, info.bmWidth, info.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ScrollBoxContentChanged(box);
}

void TMOUSESETTINGForm::LoadScrollPage() {
    const ptr::SettingsBlock& block = *env_.block;
    struct CheckLoad {
        int id;
        int32_t value;
        Handler handler;
    };
    const CheckLoad checks[] = {
        {VScrollCheckBox, block.UScrollVertical, &TMOUSESETTINGForm::VScrollCheckBoxClick},
        {hScrollCheckBox, block.UScrollHorizontal, &TMOUSESETTINGForm::hScrollCheckBoxClick},
        {ReverseScrollCheckBox, block.UScrollReverse, &TMOUSESETTINGForm::ReverseScrollCheckBoxClick},
    };
    for (const CheckLoad& check : checks) {
        const bool on = check.value != 0;
        if (Checked(check.id) == on) continue;
        SetQuietlyThenRun([&] { CheckDlgButton(window_, check.id, on ? BST_CHECKED : BST_UNCHECKED); },
                          check.handler);
    }

    struct SliderLoad {
        int id;
        int32_t value;
        Handler handler;
    };
    const SliderLoad sliders[] = {
        {hScrollRxSlider, block.UScrollHSpeed, &TMOUSESETTINGForm::hScrollRxSliderChange},
        {vScrollRxSlider, block.UScrollVSpeed, &TMOUSESETTINGForm::vScrollRxSliderChange},
    };
    for (const SliderLoad& load : sliders) {
        if (SliderValue(load.id) == load.value) continue;
        const SliderControl& slider = SliderOf(load.id);
        const int32_t position = SliderMirror(slider, ClampToRange(load.value, *slider.range));
        SetQuietlyThenRun([&] { SendMessageA(Control(load.id), TBM_SETPOS, TRUE, position); }, load.handler);
    }
}

void TMOUSESETTINGForm::LoadZoomPage() {
    const ptr::SettingsBlock& block = *env_.block;
    struct SpinLoad {
        int id;
        int64_t value;
        Handler handler;
    };
    // Each load reads the block afresh: the factor's handler may have written it.
    const auto load = [this](const SpinLoad& spin) {
        if (SpinValue(spin.id) == spin.value) return;
        const std::string text = std::to_string(ClampToRange(spin.value, SpinRangeOf(spin.id)));
        SetQuietlyThenRun([&] { SetText(spin.id, text); }, spin.handler);
    };
    load({ZF, ZoomFactorOfBlock(block.ZoomTargetWidth, block.ZoomSourceWidth), &TMOUSESETTINGForm::ZFChange});
    load({ZX1, block.ZoomSourceWidth, &TMOUSESETTINGForm::ZX1Change});
    load({ZY1, block.ZoomSourceHeight, &TMOUSESETTINGForm::ZY1Change});
    SetText(ZX2, std::to_string(block.ZoomTargetWidth));
    SetText(ZY2, std::to_string(block.ZoomTargetHeight));
}

void TMOUSESETTINGForm::LoadSettingsFile() {
    const TSettingsFileTexts texts = ReadSettingsFile(env_.folder);
    if (!texts.version.empty()) {
        SetText(VersionLabel, versionCaption_ + " " + texts.version);
    } else {
        SetControlVisible(VersionLabel, false);
    }
    if (!texts.caption.empty()) SetWindowTextA(window_, texts.caption.c_str());
}

void TMOUSESETTINGForm::LoadPictures() {
    const std::string icon = env_.folder + ptr::kTrayIconFile;
    if (ptr::FileExists(icon)) {
        bigIcon_ = static_cast<HICON>(LoadImageA(nullptr, icon.c_str(), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                 GetSystemMetrics(SM_CYICON), LR_LOADFROMFILE));
        smallIcon_ = static_cast<HICON>(LoadImageA(nullptr, icon.c_str(), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), LR_LOADFROMFILE));
        if (bigIcon_) SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
        if (smallIcon_) SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    }
    const std::string logo = env_.folder + ptr::kLogoFile;
    if (ptr::FileExists(logo)) {
        logo_ = static_cast<HBITMAP>(LoadImageA(nullptr, logo.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        if (logo_) SendMessageA(Control(LogoImage), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo_));
    }
}

void TMOUSESETTINGForm::LoadMousePicture() {
    pictureMapLoaded_ = false;
    const std::string regions = env_.folder + ptr::kRegionDataFile;
    if (ptr::FileExists(regions)) {
        regionFile_ = std::make_unique<TKsvRegionFile>(regions);
        DroppingFailures([this] {
            regionFile_->LoadFromFile();
            TKsvRegionObject* object = regionFile_->FindObject(env_.block->ButtonCount == 3 ? "M3" : "M5");
            if (!object) return;
            object->AttachImage(Control(MouseImage));
            mouseRegion_ = object;
            pictureMapLoaded_ = true;
        });
    }
    const std::string plain = env_.folder + ptr::kMouseBitmapFile;
    if (!pictureMapLoaded_ && ptr::FileExists(plain)) {
        mouseBitmap_ = static_cast<HBITMAP>(LoadImageA(nullptr, plain.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        if (mouseBitmap_)
            SendMessageA(Control(MouseImage), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(mouseBitmap_));
    }
}

void TMOUSESETTINGForm::LoadProgramsPage() {
    TProgramsPage::Environment page{window_, env_.resourceModule, &names_, env_.block->ButtonCount, env_.programs,
                                    [this](int id, bool visible) { SetControlVisible(id, visible); }};
    programsPage_ = std::make_unique<TProgramsPage>(page);
    programsPage_->Load();
}

void TMOUSESETTINGForm::CentreInFrame(int image, int frame) {
    const RECT frameRect = ChildRect(frame);
    const RECT imageRect = ChildRect(image);
    const PicturePlace place =
        CentredInFrame(frameRect.left, frameRect.top, frameRect.right - frameRect.left,
                       frameRect.bottom - frameRect.top, imageRect.right - imageRect.left, imageRect.bottom - imageRect.top);
    SetWindowPos(Control(image), nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMOUSESETTINGForm::FormShow() {
    editor_->DisableApply();
    SyncApplyButton();
}

void TMOUSESETTINGForm::FormDestroy() {
    if (snapshot_) {
        SendMessageA(scrollTestImage_, STM_SETIMAGE, IMAGE_BITMAP, 0);
        SendMessageA(autoScrollTestImage_, STM_SETIMAGE, IMAGE_BITMAP, 0);
        DeleteObject(snapshot_);
        snapshot_ = nullptr;
    }
    ClearOwnSettingsWindow(*env_.block, ptr::FromHwnd(window_));
}

// ---- Change handlers ----

void TMOUSESETTINGForm::SystemModeRadioButtonClick() {
    editor_->SetEnhanceMode(false);
    SyncApplyButton();
}

void TMOUSESETTINGForm::EnhanceModeRadioButtonClick() {
    editor_->SetEnhanceMode(true);
    SyncApplyButton();
}

void TMOUSESETTINGForm::LineScrollRadioButtonClick() {
    editor_->SetPageScroll(false);
    UpdateWheelLineControls();
    SyncApplyButton();
}

void TMOUSESETTINGForm::PageScrollRadioButtonClick() {
    editor_->SetPageScroll(true);
    UpdateWheelLineControls();
    SyncApplyButton();
}

// The up-down's position counts, not the text: the up-down takes the text
// only when it is a number within its range.
void TMOUSESETTINGForm::WheelLineEditChange() {
    const LRESULT position = SendMessageA(Control(WheelLineUpDown), UDM_GETPOS, 0, 0);
    editor_->SetWheelLines(static_cast<int16_t>(LOWORD(position)));
    SyncApplyButton();
}

void TMOUSESETTINGForm::VScrollCheckBoxClick() {
    editor_->SetUScrollVertical(Checked(VScrollCheckBox));
    SyncApplyButton();
}

void TMOUSESETTINGForm::hScrollCheckBoxClick() {
    editor_->SetUScrollHorizontal(Checked(hScrollCheckBox));
    SyncApplyButton();
}

void TMOUSESETTINGForm::ReverseScrollCheckBoxClick() {
    editor_->SetUScrollReverse(Checked(ReverseScrollCheckBox));
    SyncApplyButton();
}

void TMOUSESETTINGForm::vScrollRxSliderChange() {
    editor_->SetUScrollVSpeed(SliderValue(vScrollRxSlider));
    SyncApplyButton();
}

void TMOUSESETTINGForm::hScrollRxSliderChange() {
    editor_->SetUScrollHSpeed(SliderValue(hScrollRxSlider));
    SyncApplyButton();
}

void TMOUSESETTINGForm::ZX1Change() {
    const int32_t target = editor_->SetZoomSourceWidth(SpinValue(ZX1), SpinValue(ZF));
    SetText(ZX2, std::to_string(target));
    SyncApplyButton();
}

void TMOUSESETTINGForm::ZY1Change() {
    const int32_t target = editor_->SetZoomSourceHeight(SpinValue(ZY1), SpinValue(ZF));
    SetText(ZY2, std::to_string(target));
    SyncApplyButton();
}

void TMOUSESETTINGForm::ZFChange() {
    const TSettingsEditor::ZoomTargets targets = editor_->SetZoomFactor(SpinValue(ZF));
    SetText(ZX2, std::to_string(targets.width));
    SetText(ZY2, std::to_string(targets.height));
    SyncApplyButton();
}

void TMOUSESETTINGForm::FunctionBoxChange(int id) {
    const FunctionBoxRole* role = FunctionBoxOf(id);
    if (!role) return;
    activeFunctionBox_ = id;
    if (GetFocus() != Control(id)) SetFocus(Control(id));
    const LRESULT selected = SendMessageA(Control(id), CB_GETCURSEL, 0, 0);
    const bool hasCode = selected != CB_ERR;
    const int32_t code = hasCode ? static_cast<int32_t>(SendMessageA(Control(id), CB_GETITEMDATA, selected, 0)) : 0;
    editor_->UseFunctionBox(role->button, hasCode, code);
    ShowFunctionPage(code, hasCode);
    if (mouseRegion_) DroppingFailures([this, role] { mouseRegion_->HighlightRegion(role->regionId); });
    SyncApplyButton();
}

void TMOUSESETTINGForm::FunctionComboBoxExit() {
    if (mouseRegion_) DroppingFailures([this] { mouseRegion_->ShowPlain(); });
}

void TMOUSESETTINGForm::WebAddrEditChange() { editor_->SetCurrentWebAddress(Text(WebAddrEdit)); }

void TMOUSESETTINGForm::PageControl1Change() {
    if (activeTab_ == kButtonTab) SetFocus(Control(FunctionComboBox));
}

// A page turned from the keyboard turns as a click on its tab does.
void TMOUSESETTINGForm::SwitchToTab(int tab) {
    HWND tabs = Control(PageControl1);
    SetFocus(tabs);
    if (tab != activeTab_) {
        SendMessageA(tabs, TCM_SETCURSEL, tab, 0);
        ShowTab(tab);
    }
    PageControl1Change();
}

bool TMOUSESETTINGForm::HandleFormKey(const MSG& message) {
    if (!window_ || closing_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) return false;
    const int tabs = static_cast<int>(SendMessageA(Control(PageControl1), TCM_GETITEMCOUNT, 0, 0));
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

// Leaving a spin edit: a number typed beyond its range is held to it, and
// the edit shows what the block holds rather than what was typed.
void TMOUSESETTINGForm::SpinEditExit(int edit) {
    if (edit == WheelLineEdit) {
        // The up-down takes only a number within its range: one beyond is held to it.
        const int16_t position = static_cast<int16_t>(LOWORD(SendMessageA(Control(WheelLineUpDown), UDM_GETPOS, 0, 0)));
        const int32_t held = HeldSpinValue(Text(edit), kWheelLinesRange, position);
        if (held != position) SendMessageA(Control(WheelLineUpDown), UDM_SETPOS, 0, MAKELPARAM(held, 0));
    }
    const int32_t holds = edit == WheelLineEdit ? PositionFromWheelLines(env_.block->WheelLines) : SpinValue(edit);
    const std::string shown = std::to_string(holds);
    if (Text(edit) != shown) SetText(edit, shown);
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
    if (programsPage_) programsPage_->Apply();
    // A disabled button keeps no focus worth having.
    if (GetFocus() == Control(ApplyButton))
        SendMessageA(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(OkButton)), TRUE);
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
    if (programsPage_) programsPage_->Cancel();
    Close();
}

void TMOUSESETTINGForm::Close() {
    closing_ = true;
    if (window_) DestroyWindow(window_);
}

// ---- Internal operations ----

void TMOUSESETTINGForm::UpdateWheelLineControls() {
    const bool enabled = env_.block->WheelPageScroll == 0;
    EnableWindow(Control(WheelLineEdit), enabled);
    EnableWindow(Control(WheelLineUpDown), enabled);
}

void TMOUSESETTINGForm::ShowFunctionPage(int32_t code, bool hasCode) {
    // With nothing selected there is no function to describe.
    const FunctionPage page = hasCode ? PageForFunction(code) : FunctionPage::Default;
    if (page == FunctionPage::WebAddress && ptr::WebAddressSlotOfButton(editor_->CurrentButton()) >= 0)
        SetText(WebAddrEdit, editor_->CurrentWebAddress());
    if (page == FunctionPage::Default) SetText(FunDescLabel, hasCode ? names_.LoadFunctionDescription(code) : "");
    ShowNotebookPage(static_cast<int>(page));
}

// ---- Controls ----

std::string TMOUSESETTINGForm::Text(int id) const {
    HWND control = Control(id);
    const int length = GetWindowTextLengthA(control);
    std::string text(length > 0 ? length + 1 : 1, '\0');
    const int copied = GetWindowTextA(control, &text[0], static_cast<int>(text.size()));
    text.resize(copied > 0 ? copied : 0);
    return text;
}

void TMOUSESETTINGForm::SetText(int id, const std::string& text) { SetWindowTextA(Control(id), text.c_str()); }

bool TMOUSESETTINGForm::Checked(int id) const { return IsDlgButtonChecked(window_, id) == BST_CHECKED; }

int32_t TMOUSESETTINGForm::SpinValue(int id) const { return SpinEditValue(Text(id), SpinRangeOf(id)); }

int32_t TMOUSESETTINGForm::SliderValue(int id) const {
    return SliderMirror(SliderOf(id), static_cast<int32_t>(SendMessageA(Control(id), TBM_GETPOS, 0, 0)));
}

RECT TMOUSESETTINGForm::ChildRect(int id) const {
    RECT rect = {};
    GetWindowRect(Control(id), &rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

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
        HWND control = Control(place.id);
        const bool shown = (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
        if (control && shown != show) ShowWindow(control, show ? SW_SHOWNA : SW_HIDE);
    }
}

void TMOUSESETTINGForm::SyncApplyButton() {
    if (editor_) EnableWindow(Control(ApplyButton), editor_->ApplyEnabled());
}

}  // namespace setting
