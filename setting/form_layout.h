// Where each control of the settings form lives: on both tabs, on one tab, or
// on one page of the Button tab's notebook. The form shows a control when it
// is visible by itself and its tab and page are the ones showing.
#pragma once

namespace setting {

constexpr int kEveryTab = -1;
constexpr int kWholeTab = -1;
constexpr int kWheelTab = 0;
constexpr int kButtonTab = 1;
constexpr int kProgramsTab = 2;

struct ControlPlace {
    int id;
    int tab;   // kEveryTab, kWheelTab, kButtonTab or kProgramsTab
    int page;  // a notebook page of the Button tab, or kWholeTab
};

extern const ControlPlace kControlPlaces[];
extern const int kControlPlaceCount;

bool PlaceIsShowing(const ControlPlace& place, int activeTab, int activePage);

// Labels drawn in the bold face of the form's font, and those drawn in blue.
bool IsBoldLabel(int id);
bool IsBlueLabel(int id);

// The left column's pictures keep their size in pixels while their frames
// grow with the system's font (large fonts, 120 dpi): each sits in the middle
// of its frame. A picture larger than its frame keeps to the frame's top left.
struct PicturePlace {
    int left;
    int top;
};
PicturePlace CentredInFrame(int frameLeft, int frameTop, int frameWidth, int frameHeight, int width, int height);

}  // namespace setting
