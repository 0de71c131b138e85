#include "programs_tab.h"

#include "form_ids.h"
#include "function_list.h"
#include "quiet.h"
#include "settings_fields.h"

#include <commctrl.h>
#include <commdlg.h>

#include <climits>

namespace setting {

namespace {

// The choice that gives a field no value of the program's own.
constexpr int32_t kAsEverywhere = INT32_MIN;
constexpr int32_t kLines = 0;
constexpr int32_t kPage = 1;
// The picker's notification to the form: a window was picked.
constexpr int kPicked = 0x7F01;
// The lines a program may have of its own: the kept configuration's range.
constexpr const ptr::SettingsField& kLinesField = ptr::SettingsFieldNamed("WheelLines");

struct ProgramFunctionBox {
    int id;
    int label;
    const char* field;
    unsigned button;
};

constexpr ProgramFunctionBox kFunctionBoxes[] = {
    {ProgFun3Box, ProgFun3Label, "ButtonFunction0", 3},
    {ProgFun4Box, ProgFun4Label, "ButtonFunction1", 4},
    {ProgFun5Box, ProgFun5Label, "ButtonFunction2", 5},
};

const ProgramFunctionBox* FunctionBoxOf(int id) {
    for (const ProgramFunctionBox& box : kFunctionBoxes)
        if (box.id == id) return &box;
    return nullptr;
}

std::string WindowText(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

}  // namespace

TProgramsTab::TProgramsTab(const Environment& environment) : env_(environment), editor_(environment.block) {
    ptr::BindProgramNameLookup(programNames_);
}

TProgramsTab::~TProgramsTab() {
    HWND picker = Control(ProgramPicker);
    if (picker && pickerProc_) SetWindowLongPtrA(picker, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pickerProc_));
}

bool TProgramsTab::IsTabControl(int id) { return id >= ProgramsLabel && id <= ProgWheelLineUpDown; }

void TProgramsTab::Load() {
    Quiet quiet(quiet_);
    Choices functions = {{String(AS_EVERYWHERE_TEXT), kAsEverywhere}};
    for (int32_t code : kFunctionDisplayList) functions.emplace_back(env_.names->LoadFunctionName(code), code);
    for (const ProgramFunctionBox& box : kFunctionBoxes) {
        FillChoices(Control(box.id), functions);
        const bool shown = env_.buttonCount >= box.button;
        // As on the Button tab: no number beside a lone middle button.
        env_.setVisible(box.label, shown && env_.buttonCount > 3);
        env_.setVisible(box.id, shown);
    }
    // The wheel's choices in the words of the Wheel tab.
    FillChoices(Control(ProgWheelModeBox), {{String(AS_EVERYWHERE_TEXT), kAsEverywhere},
                                   {WindowText(Control(SystemModeRadioButton)), 0},
                                   {WindowText(Control(EnhanceModeRadioButton)), -1}});
    FillChoices(Control(ProgWheelSpeedBox), {{String(AS_EVERYWHERE_TEXT), kAsEverywhere},
                                    {String(PROGRAM_LINES_TEXT), kLines},
                                    {WindowText(Control(PageScrollRadioButton)), kPage}});
    SendMessageA(Control(ProgWheelLineUpDown), UDM_SETRANGE, 0, MAKELPARAM(kLinesField.max, kLinesField.min));

    HWND picker = Control(ProgramPicker);
    SetWindowLongPtrA(picker, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    pickerProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(picker, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PickerProc)));

    EnableEditing();
    FillList(editor_.Programs().empty() ? -1 : 0);
}

void TProgramsTab::EnableEditing() {
    const bool available = editor_.Available();
    for (int id : {ProgramList, ProgramPicker, ProgramBrowseButton}) EnableWindow(Control(id), available);
}

bool TProgramsTab::HandleCommand(int id, int code) {
    if (quiet_ > 0) return false;
    // Sent by the picker when it added a program.
    if (id == ProgramPicker && code == kPicked) return true;
    if (id == ProgramList && code == LBN_SELCHANGE) {
        ShowSelected();
        return false;
    }
    if (code == BN_CLICKED && id == ProgramBrowseButton) return Browse();
    if (code == BN_CLICKED && id == ProgramRemoveButton) return RemoveSelected();
    if (code == CBN_SELCHANGE && FunctionBoxOf(id)) return FunctionBoxChange(id);
    if (code == CBN_SELCHANGE && id == ProgWheelModeBox) return WheelModeChange();
    if (code == CBN_SELCHANGE && id == ProgWheelSpeedBox) return WheelSpeedChange();
    if (code == EN_CHANGE && id == ProgWheelLineEdit) return WheelLinesChange();
    return false;
}

void TProgramsTab::TakeKept() {
    const int selected = Selected();
    const std::string name = selected >= 0 ? editor_.Programs()[selected].name : std::string();
    editor_.TakeKept();
    EnableEditing();
    const int again = name.empty() ? -1 : ptr::FindProgram(editor_.Programs(), name);
    FillList(again >= 0 ? again : (editor_.Programs().empty() ? -1 : 0));
}

bool TProgramsTab::AddProgram(const std::string& name) {
    int index = -1;
    switch (editor_.Add(name, index)) {
    case TProgramsEditor::AddResult::Added: FillList(index); return true;
    case TProgramsEditor::AddResult::Known: FillList(index); return false;
    case TProgramsEditor::AddResult::Full: Tell(PROGRAMS_FULL_TEXT); return false;
    case TProgramsEditor::AddResult::NoName: Tell(PROGRAM_NAME_TEXT); return false;
    }
    return false;
}

bool TProgramsTab::PickWindow(HWND window) {
    DWORD process = 0;
    if (!window || !GetWindowThreadProcessId(window, &process)) return false;
    // This program's own windows: nothing to pick.
    if (process == GetCurrentProcessId()) return false;
    char name[MAX_PATH];
    if (!ptr::ProgramNameOfProcess(programNames_, process, name, MAX_PATH)) return false;
    return AddProgram(name);
}

// ---- The picker: pressed, dragged onto a window, let go there ----

LRESULT CALLBACK TProgramsTab::PickerProc(HWND picker, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* tab = reinterpret_cast<TProgramsTab*>(GetWindowLongPtrA(picker, GWLP_USERDATA));
    return tab ? tab->HandlePicker(picker, message, wParam, lParam) : DefWindowProcA(picker, message, wParam, lParam);
}

LRESULT TProgramsTab::HandlePicker(HWND picker, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        picking_ = true;
        SetCapture(picker);
        SetCursor(LoadCursor(nullptr, IDC_CROSS));
        return 0;
    case WM_MOUSEMOVE:
        if (picking_) SetCursor(LoadCursor(nullptr, IDC_CROSS));
        return 0;
    case WM_LBUTTONUP: {
        if (!picking_) return 0;
        picking_ = false;
        ReleaseCapture();
        POINT at;
        GetCursorPos(&at);
        const bool changed = PickWindow(WindowFromPoint(at));
        // The form learns of a change as of any other of its controls.
        if (changed) SendMessageA(env_.form, WM_COMMAND, MAKEWPARAM(ProgramPicker, kPicked), reinterpret_cast<LPARAM>(picker));
        return 0;
    }
    case WM_CAPTURECHANGED: picking_ = false; break;
    default: break;
    }
    return CallWindowProcA(pickerProc_, picker, message, wParam, lParam);
}

// ---- The list and the selected program's fields ----

int TProgramsTab::Selected() const {
    const LRESULT selected = SendMessageA(Control(ProgramList), LB_GETCURSEL, 0, 0);
    return selected == LB_ERR || selected >= static_cast<LRESULT>(editor_.Programs().size()) ? -1
                                                                                              : static_cast<int>(selected);
}

void TProgramsTab::FillList(int select) {
    Quiet quiet(quiet_);
    HWND list = Control(ProgramList);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const ptr::ProgramSettings& program : editor_.Programs())
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(program.name.c_str()));
    SendMessageA(list, LB_SETCURSEL, select, 0);
    ShowSelected();
}

void TProgramsTab::ShowSelected() {
    Quiet quiet(quiet_);
    const int index = Selected();
    EnableFields(index >= 0);
    for (const ProgramFunctionBox& box : kFunctionBoxes) {
        const int32_t code = editor_.Has(index, box.field) ? editor_.Get(index, box.field) : kAsEverywhere;
        SelectChoice(Control(box.id), code);
    }
    SelectChoice(Control(ProgWheelModeBox), !editor_.Has(index, "EnhanceMode")  ? kAsEverywhere
                                            : editor_.Get(index, "EnhanceMode") ? -1
                                                                                : 0);
    int32_t speed = kAsEverywhere;
    if (editor_.Has(index, "WheelPageScroll")) speed = editor_.Get(index, "WheelPageScroll") ? kPage : kLines;
    else if (editor_.Has(index, "WheelLines")) speed = kLines;
    SelectChoice(Control(ProgWheelSpeedBox), speed);
    // Lines of its own, or those of the Wheel tab to begin with.
    const int32_t lines = editor_.Has(index, "WheelLines")
                              ? editor_.Get(index, "WheelLines")
                              : static_cast<int16_t>(LOWORD(SendMessageA(Control(WheelLineUpDown), UDM_GETPOS, 0, 0)));
    SendMessageA(Control(ProgWheelLineUpDown), UDM_SETPOS, 0, MAKELPARAM(lines, 0));
    UpdateLineControls();
}

void TProgramsTab::EnableFields(bool enabled) {
    for (const ProgramFunctionBox& box : kFunctionBoxes) EnableWindow(Control(box.id), enabled);
    for (int id : {ProgWheelModeBox, ProgWheelSpeedBox, ProgramRemoveButton}) EnableWindow(Control(id), enabled);
}

void TProgramsTab::UpdateLineControls() {
    const bool lines = Selected() >= 0 && ChosenValue(ProgWheelSpeedBox) == kLines;
    EnableWindow(Control(ProgWheelLineEdit), lines);
    EnableWindow(Control(ProgWheelLineUpDown), lines);
}

int32_t TProgramsTab::ChosenValue(int id) const {
    const LRESULT selected = SendMessageA(Control(id), CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? kAsEverywhere : static_cast<int32_t>(SendMessageA(Control(id), CB_GETITEMDATA, selected, 0));
}

bool TProgramsTab::FunctionBoxChange(int id) {
    const int index = Selected();
    if (index < 0) return false;
    const int32_t code = ChosenValue(id);
    if (code == kAsEverywhere) editor_.Clear(index, FunctionBoxOf(id)->field);
    else editor_.Set(index, FunctionBoxOf(id)->field, code);
    return true;
}

bool TProgramsTab::WheelModeChange() {
    const int index = Selected();
    if (index < 0) return false;
    const int32_t mode = ChosenValue(ProgWheelModeBox);
    if (mode == kAsEverywhere) editor_.Clear(index, "EnhanceMode");
    else editor_.Set(index, "EnhanceMode", mode);
    return true;
}

bool TProgramsTab::WheelSpeedChange() {
    const int index = Selected();
    if (index < 0) return false;
    switch (ChosenValue(ProgWheelSpeedBox)) {
    case kLines:
        editor_.Set(index, "WheelPageScroll", 0);
        editor_.Set(index, "WheelLines",
                    static_cast<int16_t>(LOWORD(SendMessageA(Control(ProgWheelLineUpDown), UDM_GETPOS, 0, 0))));
        break;
    case kPage:
        editor_.Set(index, "WheelPageScroll", -1);
        editor_.Clear(index, "WheelLines");
        break;
    default:
        editor_.Clear(index, "WheelPageScroll");
        editor_.Clear(index, "WheelLines");
        break;
    }
    UpdateLineControls();
    return true;
}

// The up-down's position counts, as on the Wheel tab.
bool TProgramsTab::WheelLinesChange() {
    const int index = Selected();
    if (index < 0 || ChosenValue(ProgWheelSpeedBox) != kLines) return false;
    editor_.Set(index, "WheelLines",
                static_cast<int16_t>(LOWORD(SendMessageA(Control(ProgWheelLineUpDown), UDM_GETPOS, 0, 0))));
    return true;
}

bool TProgramsTab::Browse() {
    std::string filter = String(PROGRAM_BROWSE_FILTER);
    for (char& c : filter)
        if (c == '|') c = '\0';
    const std::string title = String(PROGRAM_BROWSE_TITLE);
    char file[MAX_PATH] = "";
    OPENFILENAMEA dialog = {};
    // The size every system since Windows 95 takes.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = env_.form;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&dialog)) return false;
    return AddProgram(ProgramNameOfPath(file));
}

bool TProgramsTab::RemoveSelected() {
    const int index = Selected();
    if (!editor_.Remove(index)) return false;
    const int count = static_cast<int>(editor_.Programs().size());
    FillList(index < count ? index : count - 1);
    return true;
}

// Titled as the tab is, without its mnemonic.
void TProgramsTab::Tell(unsigned textId) const {
    std::string title;
    for (char c : WindowText(Control(IDC_PROGRAMS_TAB_CAPTION)))
        if (c != '&') title += c;
    MessageBoxA(env_.form, String(textId).c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace setting
