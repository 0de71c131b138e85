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
    {Label4, kWheelTab, kWholeTab},
    {SystemModeRadioButton, kWheelTab, kWholeTab},
    {EnhanceModeRadioButton, kWheelTab, kWholeTab},
    {Label5, kWheelTab, kWholeTab},
    {LineScrollRadioButton, kWheelTab, kWholeTab},
    {PageScrollRadioButton, kWheelTab, kWholeTab},
    {WheelLineEdit, kWheelTab, kWholeTab},
    {WheelLineUpDown, kWheelTab, kWholeTab},
    {Label6, kWheelTab, kWholeTab},

    {Fun3Label, kButtonTab, kWholeTab},
    {FunctionComboBox, kButtonTab, kWholeTab},
    {Fun4Label, kButtonTab, kWholeTab},
    {Fun4ComboBox, kButtonTab, kWholeTab},
    {Fun5Label, kButtonTab, kWholeTab},
    {Fun5ComboBox, kButtonTab, kWholeTab},

    {Label1, kButtonTab, kDefaultPage},
    {FunDescLabel, kButtonTab, kDefaultPage},

    {ZoomImage, kButtonTab, kZoomPage},
    {Label2, kButtonTab, kZoomPage},
    {Label10, kButtonTab, kZoomPage},
    {ZX1, kButtonTab, kZoomPage},
    {ZX1Spin, kButtonTab, kZoomPage},
    {Label11, kButtonTab, kZoomPage},
    {ZY1, kButtonTab, kZoomPage},
    {ZY1Spin, kButtonTab, kZoomPage},
    {Label12, kButtonTab, kZoomPage},
    {ZF, kButtonTab, kZoomPage},
    {ZFSpin, kButtonTab, kZoomPage},
    {Label13, kButtonTab, kZoomPage},
    {ZX2, kButtonTab, kZoomPage},
    {Label14, kButtonTab, kZoomPage},
    {ZY2, kButtonTab, kZoomPage},

    {Label23, kButtonTab, kScrollPage},
    {ScrollBox1, kButtonTab, kScrollPage},
    {Label15, kButtonTab, kScrollPage},
    {vScrollRxSlider, kButtonTab, kScrollPage},
    {Label16, kButtonTab, kScrollPage},
    {Label17, kButtonTab, kScrollPage},
    {hScrollRxSlider, kButtonTab, kScrollPage},
    {Label18, kButtonTab, kScrollPage},
    {Panel3, kButtonTab, kScrollPage},
    {VScrollCheckBox, kButtonTab, kScrollPage},
    {hScrollCheckBox, kButtonTab, kScrollPage},
    {ReverseScrollCheckBox, kButtonTab, kScrollPage},

    {Label8, kButtonTab, kAutoScrollPage},
    {ScrollBox2, kButtonTab, kAutoScrollPage},
    {Label3, kButtonTab, kAutoScrollPage},
    {Label7, kButtonTab, kAutoScrollPage},

    {Label9, kButtonTab, kWebPage},
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

    {Panel1, kEveryTab, kWholeTab},
    {LogoImage, kEveryTab, kWholeTab},
    {Panel2, kEveryTab, kWholeTab},
    {MouseImage, kEveryTab, kWholeTab},
    {VersionLabel, kEveryTab, kWholeTab},
    {OkButton, kEveryTab, kWholeTab},
    {CancelButton, kEveryTab, kWholeTab},
    {ApplyButton, kEveryTab, kWholeTab},
    {PageControl1, kEveryTab, kWholeTab},
};
const int kControlPlaceCount = sizeof kControlPlaces / sizeof kControlPlaces[0];

bool PlaceIsShowing(const ControlPlace& place, int activeTab, int activePage) {
    if (place.tab == kEveryTab) return true;
    if (place.tab != activeTab) return false;
    return place.page == kWholeTab || place.page == activePage;
}

bool IsBoldLabel(int id) {
    switch (id) {
    case Label4:
    case Label5:
    case Label1:
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
