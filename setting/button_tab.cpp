#include "button_tab.h"

#include "form_ids.h"
#include "function_list.h"
#include "quiet.h"

#include <string>

namespace setting {

namespace {

// A row of the tab: the function box of a button, its number, the field of
// the button's function, and the button's region on the mouse picture.
struct FunctionBoxRow {
    int id;
    int label;
    int button;
    const char* field;
    uint32_t regionId;
};

constexpr FunctionBoxRow kFunctionBoxes[] = {
    {FunctionComboBox, Fun3Label, 3, "ButtonFunction0", 1},
    {Fun4ComboBox, Fun4Label, 4, "ButtonFunction1", 2},
    {Fun5ComboBox, Fun5Label, 5, "ButtonFunction2", 3},
};

const FunctionBoxRow* FunctionBoxOf(int id) {
    for (const FunctionBoxRow& row : kFunctionBoxes)
        if (row.id == id) return &row;
    return nullptr;
}

// Universal Scroll's page: a check box per flag, a slider per speed.
struct CheckField {
    const char* field;
    int id;
};

constexpr CheckField kChecks[] = {
    {"UScrollVertical", VScrollCheckBox},
    {"UScrollHorizontal", hScrollCheckBox},
    {"UScrollReverse", ReverseScrollCheckBox},
};

struct SliderField {
    const char* field;
    SliderControl slider;
};

constexpr SliderField kSliders[] = {
    {"UScrollHSpeed", {hScrollRxSlider, &kHorizontalSpeedRange, false}},
    {"UScrollVSpeed", {vScrollRxSlider, &kVerticalSpeedRange, true}},
};

// Universal Zoom's page: the source sizes, each with the target size that
// follows it, and the factor, which is no field: the targets are the factor
// times the sources.
struct ZoomSize {
    const char* source;
    const char* target;
    SpinControl spin;
    int shows;  // the target size
};

constexpr ZoomSize kZoomSizes[] = {
    {"ZoomSourceWidth", "ZoomTargetWidth", {IDC_ZOOM_SOURCE_WIDTH, IDC_ZOOM_SOURCE_WIDTH_SPIN, &kZoomSourceWidthRange}, IDC_ZOOM_TARGET_WIDTH},
    {"ZoomSourceHeight", "ZoomTargetHeight", {IDC_ZOOM_SOURCE_HEIGHT, IDC_ZOOM_SOURCE_HEIGHT_SPIN, &kZoomSourceHeightRange}, IDC_ZOOM_TARGET_HEIGHT},
};

constexpr SpinControl kZoomFactor = {IDC_ZOOM_FACTOR, IDC_ZOOM_FACTOR_SPIN, &kZoomFactorRange};

const ZoomSize* ZoomSizeOf(int edit) {
    for (const ZoomSize& size : kZoomSizes)
        if (size.spin.edit == edit) return &size;
    return nullptr;
}

const SpinControl* ZoomSpinOf(int edit) {
    if (const ZoomSize* size = ZoomSizeOf(edit)) return &size->spin;
    return edit == kZoomFactor.edit ? &kZoomFactor : nullptr;
}

}  // namespace

TButtonTab::TButtonTab(const Environment& environment) : env_(environment) {
    Quiet quiet(env_.controls->QuietCounter());
    for (const ZoomSize& size : kZoomSizes) env_.controls->PrepareSpin(size.spin);
    env_.controls->PrepareSpin(kZoomFactor);
    for (const SliderField& slider : kSliders) env_.controls->PrepareSlider(slider.slider);
}

void TButtonTab::FillFunctionBox(int id, int32_t code) {
    Choices functions;
    for (int32_t listed : kFunctionDisplayList) functions.emplace_back(env_.names->LoadFunctionName(listed), listed);
    FillChoices(Control(id), functions);
    SelectChoice(Control(id), code);
}

// The middle button's box is always there, without a number beside it on a
// mouse with no other; each further button's row shows on a mouse that has it.
void TButtonTab::LoadFunctionRows() {
    const unsigned buttons = static_cast<unsigned>(env_.editor->Get("ButtonCount"));
    for (const FunctionBoxRow& row : kFunctionBoxes) {
        if (row.button > 3 && buttons < static_cast<unsigned>(row.button)) continue;
        if (buttons > 3) env_.setVisible(row.label, true);
        if (row.button > 3) env_.setVisible(row.id, true);
        FillFunctionBox(row.id, env_.editor->Get(row.field));
    }
}

void TButtonTab::LoadPages() {
    TFormControls& controls = *env_.controls;
    for (const CheckField& check : kChecks) {
        const bool on = env_.editor->Get(check.field) != 0;
        if (controls.Checked(check.id) == on) continue;
        controls.SetQuietlyThenRun([&] { CheckDlgButton(controls.Form(), check.id, on ? BST_CHECKED : BST_UNCHECKED); },
                                   [&] { HandleCommand(check.id, BN_CLICKED); });
    }
    for (const SliderField& slider : kSliders) {
        const int32_t value = env_.editor->Get(slider.field);
        if (controls.SliderValue(slider.slider) == value) continue;
        controls.SetQuietlyThenRun([&] { controls.SetSliderValue(slider.slider, value); },
                                   [&] { env_.editor->Set(slider.field, controls.SliderValue(slider.slider)); });
    }

    // Each load reads the block afresh: the factor's change may have written it.
    const auto load = [&](const SpinControl& spin, int64_t value) {
        if (controls.SpinValue(spin) == value) return;
        const std::string text = std::to_string(ClampToRange(value, *spin.range));
        controls.SetQuietlyThenRun([&] { controls.SetText(spin.edit, text); },
                                   [&] { HandleCommand(spin.edit, EN_CHANGE); });
    };
    const ZoomSize& width = kZoomSizes[0];
    load(kZoomFactor, ZoomFactorOfBlock(env_.editor->Get(width.target), env_.editor->Get(width.source)));
    for (const ZoomSize& size : kZoomSizes) load(size.spin, env_.editor->Get(size.source));
    for (const ZoomSize& size : kZoomSizes) controls.SetText(size.shows, std::to_string(env_.editor->Get(size.target)));
}

void TButtonTab::EnterFirstBox() { SetFocus(Control(kFunctionBoxes[0].id)); }

bool TButtonTab::HandleCommand(int id, int code) {
    if (FunctionBoxOf(id)) return FunctionBoxCommand(id, code);
    for (const CheckField& check : kChecks) {
        if (check.id != id) continue;
        if (code != BN_CLICKED) return false;
        env_.editor->Set(check.field, TSettingsEditor::Flag(env_.controls->Checked(id)));
        return true;
    }
    if (ZoomSpinOf(id) && code == EN_CHANGE) {
        if (id == kZoomFactor.edit) {
            ZoomFactorChange();
        } else {
            ZoomSourceChange(id);
        }
        return true;
    }
    if (ZoomSpinOf(id) && code == EN_KILLFOCUS) {
        SpinEditExit(id);
        return true;
    }
    if (id == WebAddrEdit && code == EN_CHANGE) {
        // Typing an address does not enable Apply.
        env_.editor->SetCurrentWebAddress(env_.controls->Text(WebAddrEdit));
        return true;
    }
    return false;
}

// The source sizes go in steps of two.
void TButtonTab::HandleNotify(NMHDR* header) {
    if (header->code != UDN_DELTAPOS) return;
    for (const ZoomSize& size : kZoomSizes)
        if (size.spin.upDown == static_cast<int>(header->idFrom))
            reinterpret_cast<NMUPDOWN*>(header)->iDelta *= size.spin.range->step;
}

void TButtonTab::HandleSlider(HWND slider, int request) {
    if (env_.controls->IsQuiet() || request == TB_ENDTRACK) return;
    for (const SliderField& field : kSliders)
        if (slider == Control(field.slider.id)) env_.editor->Set(field.field, env_.controls->SliderValue(field.slider));
}

bool TButtonTab::FunctionBoxCommand(int id, int code) {
    switch (code) {
    case CBN_SELCHANGE: FunctionBoxChange(id); return true;
    case CBN_SETFOCUS:
        // Focus coming back with the form's activation is no entering.
        if (activeFunctionBox_ != id) FunctionBoxChange(id);
        return true;
    case CBN_KILLFOCUS: {
        // Focus leaving the form altogether is no exit either.
        HWND next = GetFocus();
        if (next && IsChild(env_.controls->Form(), next)) {
            activeFunctionBox_ = 0;
            env_.pictures->ShowPlain();
        }
        return true;
    }
    default: return false;
    }
}

// Entering a box or choosing in it: its button becomes the current one, its
// function is stored, its page shown and its button lit on the picture.
void TButtonTab::FunctionBoxChange(int id) {
    const FunctionBoxRow* row = FunctionBoxOf(id);
    activeFunctionBox_ = id;
    if (GetFocus() != Control(id)) SetFocus(Control(id));
    const LRESULT selected = SendMessageA(Control(id), CB_GETCURSEL, 0, 0);
    const bool hasCode = selected != CB_ERR;
    const int32_t code = hasCode ? static_cast<int32_t>(SendMessageA(Control(id), CB_GETITEMDATA, selected, 0)) : 0;
    env_.editor->UseFunctionBox(row->button, hasCode, code);
    ShowFunctionPage(code, hasCode);
    env_.pictures->LightButton(row->regionId);
}

void TButtonTab::ShowFunctionPage(int32_t code, bool hasCode) {
    // With nothing selected there is no function to describe.
    const FunctionPage page = hasCode ? PageForFunction(code) : FunctionPage::Default;
    if (page == FunctionPage::WebAddress && ptr::WebAddressSlotOfButton(env_.editor->CurrentButton()) >= 0)
        env_.controls->SetText(WebAddrEdit, env_.editor->CurrentWebAddress());
    if (page == FunctionPage::Default)
        env_.controls->SetText(FunDescLabel, hasCode ? env_.names->LoadFunctionDescription(code) : "");
    env_.showPage(static_cast<int>(page));
}

void TButtonTab::ZoomSourceChange(int edit) {
    const ZoomSize& size = *ZoomSizeOf(edit);
    TSettingsEditor& editor = *env_.editor;
    editor.Set(size.source, env_.controls->SpinValue(size.spin));
    const int32_t target = editor.SetZoomTarget(size.target, size.source, env_.controls->SpinValue(kZoomFactor));
    env_.controls->SetText(size.shows, std::to_string(target));
}

// The block's source sizes count here, not what the size controls show.
void TButtonTab::ZoomFactorChange() {
    const int32_t factor = env_.controls->SpinValue(kZoomFactor);
    for (const ZoomSize& size : kZoomSizes) {
        const int32_t target = env_.editor->SetZoomTarget(size.target, size.source, factor);
        env_.controls->SetText(size.shows, std::to_string(target));
    }
}

// Leaving a spin edit: a number typed beyond its range is held to it, and
// the edit shows that rather than what was typed.
void TButtonTab::SpinEditExit(int edit) {
    const std::string shown = std::to_string(env_.controls->SpinValue(*ZoomSpinOf(edit)));
    if (env_.controls->Text(edit) != shown) env_.controls->SetText(edit, shown);
}

}  // namespace setting
