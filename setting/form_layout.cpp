#include "form_layout.h"

#include "form_ids.h"

namespace setting {

namespace {

constexpr int kDefaultPage = 0;
constexpr int kZoomPage = 1;
constexpr int kScrollPage = 2;
constexpr int kAutoScrollPage = 3;
constexpr int kWebPage = 4;

}  // namespace

// The images of the test areas are children of their scroll boxes and show
// with them, so they are not listed.
const ControlPlace kControlPlaces[] = {
    {IDC_WHEEL_MODE_LABEL, kWheelTab, kWholeTab},
    {SystemModeRadioButton, kWheelTab, kWholeTab},
    {EnhanceModeRadioButton, kWheelTab, kWholeTab},
    {IDC_WHEEL_SPEED_LABEL, kWheelTab, kWholeTab},
    {LineScrollRadioButton, kWheelTab, kWholeTab},
    {PageScrollRadioButton, kWheelTab, kWholeTab},
    {WheelLineEdit, kWheelTab, kWholeTab},
    {WheelLineUpDown, kWheelTab, kWholeTab},
    {IDC_LINES_PER_UNIT_LABEL, kWheelTab, kWholeTab},

    {Fun3Label, kButtonTab, kWholeTab},
    {FunctionComboBox, kButtonTab, kWholeTab},
    {Fun4Label, kButtonTab, kWholeTab},
    {Fun4ComboBox, kButtonTab, kWholeTab},
    {Fun5Label, kButtonTab, kWholeTab},
    {Fun5ComboBox, kButtonTab, kWholeTab},

    {IDC_DESCRIPTION_LABEL, kButtonTab, kDefaultPage},
    {FunDescLabel, kButtonTab, kDefaultPage},

    {ZoomImage, kButtonTab, kZoomPage},
    {IDC_ZOOM_HINT, kButtonTab, kZoomPage},
    {IDC_ZOOM_SOURCE_LABEL, kButtonTab, kZoomPage},
    {IDC_ZOOM_SOURCE_WIDTH, kButtonTab, kZoomPage},
    {IDC_ZOOM_SOURCE_WIDTH_SPIN, kButtonTab, kZoomPage},
    {IDC_ZOOM_SOURCE_TIMES, kButtonTab, kZoomPage},
    {IDC_ZOOM_SOURCE_HEIGHT, kButtonTab, kZoomPage},
    {IDC_ZOOM_SOURCE_HEIGHT_SPIN, kButtonTab, kZoomPage},
    {IDC_ZOOM_FACTOR_LABEL, kButtonTab, kZoomPage},
    {IDC_ZOOM_FACTOR, kButtonTab, kZoomPage},
    {IDC_ZOOM_FACTOR_SPIN, kButtonTab, kZoomPage},
    {IDC_ZOOM_TARGET_LABEL, kButtonTab, kZoomPage},
    {IDC_ZOOM_TARGET_WIDTH, kButtonTab, kZoomPage},
    {IDC_ZOOM_TARGET_TIMES, kButtonTab, kZoomPage},
    {IDC_ZOOM_TARGET_HEIGHT, kButtonTab, kZoomPage},

    {IDC_SCROLL_TEST_LABEL, kButtonTab, kScrollPage},
    {IDC_SCROLL_TEST_BOX, kButtonTab, kScrollPage},
    {IDC_VERTICAL_FAST_LABEL, kButtonTab, kScrollPage},
    {vScrollRxSlider, kButtonTab, kScrollPage},
    {IDC_VERTICAL_SLOW_LABEL, kButtonTab, kScrollPage},
    {IDC_HORIZONTAL_SLOW_LABEL, kButtonTab, kScrollPage},
    {hScrollRxSlider, kButtonTab, kScrollPage},
    {IDC_HORIZONTAL_FAST_LABEL, kButtonTab, kScrollPage},
    {IDC_SCROLL_ENABLE_FRAME, kButtonTab, kScrollPage},
    {VScrollCheckBox, kButtonTab, kScrollPage},
    {hScrollCheckBox, kButtonTab, kScrollPage},
    {ReverseScrollCheckBox, kButtonTab, kScrollPage},

    {IDC_AUTO_SCROLL_TEST_LABEL, kButtonTab, kAutoScrollPage},
    {IDC_AUTO_SCROLL_TEST_BOX, kButtonTab, kAutoScrollPage},
    {IDC_AUTO_SCROLL_CLICK_HINT, kButtonTab, kAutoScrollPage},
    {IDC_AUTO_SCROLL_MOVE_HINT, kButtonTab, kAutoScrollPage},

    {IDC_WEB_ADDRESS_LABEL, kButtonTab, kWebPage},
    {WebAddrEdit, kButtonTab, kWebPage},

    {ProgramsLabel, kProgramsTab, kWholeTab},
    {ProgramList, kProgramsTab, kWholeTab},
    {ProgramPicker, kProgramsTab, kWholeTab},
    {ProgramBrowseButton, kProgramsTab, kWholeTab},
    {ProgramRemoveButton, kProgramsTab, kWholeTab},
    {ProgFun3Label, kProgramsTab, kWholeTab},
    {ProgFun3Box, kProgramsTab, kWholeTab},
    {ProgFun4Label, kProgramsTab, kWholeTab},
    {ProgFun4Box, kProgramsTab, kWholeTab},
    {ProgFun5Label, kProgramsTab, kWholeTab},
    {ProgFun5Box, kProgramsTab, kWholeTab},
    {ProgWheelModeLabel, kProgramsTab, kWholeTab},
    {ProgWheelModeBox, kProgramsTab, kWholeTab},
    {ProgWheelSpeedLabel, kProgramsTab, kWholeTab},
    {ProgWheelSpeedBox, kProgramsTab, kWholeTab},
    {ProgWheelLineEdit, kProgramsTab, kWholeTab},
    {ProgWheelLineUpDown, kProgramsTab, kWholeTab},

    {IDC_LOGO_FRAME, kEveryTab, kWholeTab},
    {LogoImage, kEveryTab, kWholeTab},
    {IDC_MOUSE_FRAME, kEveryTab, kWholeTab},
    {MouseImage, kEveryTab, kWholeTab},
    {VersionLabel, kEveryTab, kWholeTab},
    {OkButton, kEveryTab, kWholeTab},
    {CancelButton, kEveryTab, kWholeTab},
    {ApplyButton, kEveryTab, kWholeTab},
    {IDC_TABS, kEveryTab, kWholeTab},
};
const int kControlPlaceCount = sizeof kControlPlaces / sizeof kControlPlaces[0];

bool PlaceIsShowing(const ControlPlace& place, int activeTab, int activePage) {
    if (place.tab == kEveryTab) return true;
    if (place.tab != activeTab) return false;
    return place.page == kWholeTab || place.page == activePage;
}

bool IsBoldLabel(int id) {
    switch (id) {
    case IDC_WHEEL_MODE_LABEL:
    case IDC_WHEEL_SPEED_LABEL:
    case IDC_DESCRIPTION_LABEL:
    case FunDescLabel:
    case Fun3Label:
    case Fun4Label:
    case Fun5Label:
    case ProgFun3Label:
    case ProgFun4Label:
    case ProgFun5Label:
    case VersionLabel: return true;
    default: return false;
    }
}

bool IsBlueLabel(int id) {
    return id == Fun3Label || id == Fun4Label || id == Fun5Label || id == ProgFun3Label || id == ProgFun4Label ||
           id == ProgFun5Label || id == VersionLabel;
}

PicturePlace CentredInFrame(int frameLeft, int frameTop, int frameWidth, int frameHeight, int width, int height) {
    const int spareWidth = frameWidth > width ? frameWidth - width : 0;
    const int spareHeight = frameHeight > height ? frameHeight - height : 0;
    return {frameLeft + spareWidth / 2, frameTop + spareHeight / 2};
}

}  // namespace setting
