#include "form_controls.h"

#include "quiet.h"

#include <commctrl.h>

namespace setting {

namespace {

// The position that shows a value, or the value a position shows.
int32_t SliderMirror(const SliderControl& slider, int32_t valueOrPosition) {
    return slider.mirrored ? MirroredSliderValue(valueOrPosition, *slider.range) : valueOrPosition;
}

}  // namespace

void FillChoices(HWND box, const Choices& choices) {
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (const auto& choice : choices) {
        const LRESULT index = SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.first.c_str()));
        if (index >= 0) SendMessageA(box, CB_SETITEMDATA, index, static_cast<LPARAM>(choice.second));
    }
}

void SelectChoice(HWND box, int32_t value) {
    LRESULT selected = CB_ERR;
    const LRESULT count = SendMessageA(box, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count && selected == CB_ERR; ++i)
        if (static_cast<int32_t>(SendMessageA(box, CB_GETITEMDATA, i, 0)) == value) selected = i;
    SendMessageA(box, CB_SETCURSEL, selected, 0);
}

std::string TFormControls::Text(int id) const {
    HWND control = Control(id);
    const int length = GetWindowTextLengthA(control);
    std::string text(length > 0 ? length + 1 : 1, '\0');
    const int copied = GetWindowTextA(control, &text[0], static_cast<int>(text.size()));
    text.resize(copied > 0 ? copied : 0);
    return text;
}

void TFormControls::SetText(int id, const std::string& text) { SetWindowTextA(Control(id), text.c_str()); }

bool TFormControls::Checked(int id) const { return IsDlgButtonChecked(form_, id) == BST_CHECKED; }

RECT TFormControls::ChildRect(int id) const {
    RECT rect = {};
    GetWindowRect(Control(id), &rect);
    MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void TFormControls::PrepareSpin(const SpinControl& spin) {
    SendMessageA(Control(spin.upDown), UDM_SETRANGE, 0, MAKELPARAM(spin.range->max, spin.range->min));
    SendMessageA(Control(spin.upDown), UDM_SETPOS, 0, MAKELPARAM(spin.range->initial, 0));
}

int32_t TFormControls::SpinValue(const SpinControl& spin) const { return SpinEditValue(Text(spin.edit), *spin.range); }

int16_t TFormControls::UpDownPosition(int upDown) const {
    return static_cast<int16_t>(LOWORD(SendMessageA(Control(upDown), UDM_GETPOS, 0, 0)));
}

void TFormControls::SetUpDownPosition(int upDown, int32_t position) {
    SendMessageA(Control(upDown), UDM_SETPOS, 0, MAKELPARAM(position, 0));
}

void TFormControls::PrepareSlider(const SliderControl& slider) {
    const ValueRange& range = *slider.range;
    HWND control = Control(slider.id);
    SendMessageA(control, TBM_SETRANGE, FALSE, MAKELPARAM(range.min, range.max));
    SendMessageA(control, TBM_SETPAGESIZE, 0, range.step);
    SendMessageA(control, TBM_SETLINESIZE, 0, range.step);
    SendMessageA(control, TBM_SETPOS, TRUE, SliderMirror(slider, range.initial));
}

int32_t TFormControls::SliderValue(const SliderControl& slider) const {
    return SliderMirror(slider, static_cast<int32_t>(SendMessageA(Control(slider.id), TBM_GETPOS, 0, 0)));
}

void TFormControls::SetSliderValue(const SliderControl& slider, int32_t value) {
    SendMessageA(Control(slider.id), TBM_SETPOS, TRUE, SliderMirror(slider, ClampToRange(value, *slider.range)));
}

void TFormControls::SetQuietlyThenRun(const std::function<void()>& set, const std::function<void()>& change) {
    {
        Quiet quiet(quiet_);
        set();
    }
    change();
}

}  // namespace setting
