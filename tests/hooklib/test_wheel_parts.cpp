// High-resolution wheels and the tilt wheel, through the mouse hook on
// Windows XP: parts of a notch add up per axis to whole notches for the
// window under the cursor; a new direction, another window or a pause longer
// than the double-click time starts again from nothing. Every other part
// comes through another process, as the hook runs in whichever one takes
// the message.
#include "function_codes.h"
#include "mouse_scene.h"
#include "scroll_test_support.h"

#include <gtest/gtest.h>

using namespace ptr;
using namespace ptr::fake;
using namespace ptr::scene;

namespace {

const HWND kChild = Handle(0x1030);
const HWND kElsewhere = Handle(0x1040);
constexpr POINT kOverChild = {100, 100};
constexpr POINT kOverElsewhere = {600, 100};

Event Turn(int16_t delta, POINT pt = kOverChild, UINT message = WM_MOUSEWHEEL) {
    return {message, 0, static_cast<DWORD>(static_cast<uint16_t>(delta)) << 16, pt};
}
Event Tilt(int16_t delta) { return Turn(delta, kOverChild, WM_MOUSEHWHEEL); }

// count steps of code, then the end of the scroll; count 0: the end alone.
Log Scroll(UINT message, WPARAM code, int count, HWND window = kChild) {
    Log log(static_cast<size_t>(count), Post(window, message, code, 0));
    log.push_back(Post(window, message, SB_ENDSCROLL, 0));
    return log;
}
// A part that completes no notch is swallowed and posts nothing.
const Log kNothing = {};
Log Zoomed(int notches) { return {Send(Handle(0x1010), UM_ZOOMWHEEL, 0, notches * WHEEL_NOTCH)}; }
Log Tabs(int count) {
    Log log;
    for (int i = 0; i < count; ++i) log.insert(log.end(), {KeyDown(VK_TAB), KeyUp(VK_TAB)});
    return log;
}

struct Part {
    Event event;
    Log posted;
    DWORD pause = 0;  // the clock moves this far first
    bool swallowed = true;
};

struct PartsCase {
    const char* name;
    std::vector<Part> parts;
    void (*setUp)(Scene&) = nullptr;
};

TEST(WheelParts, AddUpPerAxisAndTurn) {
    const PartsCase cases[] = {
        {"parts of 30 make a notch", {{Turn(30), kNothing}, {Turn(30), kNothing}, {Turn(30), kNothing},
                                      {Turn(30), Scroll(WM_VSCROLL, SB_LINEUP, 3)}}},
        {"a new direction starts again", {{Turn(90), kNothing}, {Turn(-60), kNothing},
                                          {Turn(-60), Scroll(WM_VSCROLL, SB_LINEDOWN, 3)}}},
        {"another window starts again",
         {{Turn(90), kNothing}, {Turn(60, kOverElsewhere), kNothing},
          {Turn(60, kOverElsewhere), Scroll(WM_VSCROLL, SB_LINEUP, 3, kElsewhere)}}},
        // The fake's clock crosses the wrap of the tick count here.
        {"a pause beyond the system's double-click time starts again",
         {{Turn(90), kNothing}, {Turn(30), kNothing, 901}, {Turn(90), Scroll(WM_VSCROLL, SB_LINEUP, 3), 900}},
         [](Scene& s) { s.h.desk.SetDoubleClickTime(900); }},
        {"page mode, one wheel: a part scrolls no page",
         {{Turn(60), kNothing}, {Turn(60), Scroll(WM_VSCROLL, SB_PAGEUP, 1)}, {Tilt(-60), kNothing},
          {Tilt(-60), Scroll(WM_HSCROLL, SB_PAGELEFT, 1)}},
         [](Scene& s) { s.h.block.WheelPageScroll = -1; }},
        {"Control held: one Control notch for the whole notch",
         {{Turn(-60), {}}, {Turn(-60), {Post(kChild, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -120), MAKELPARAM(100, 100))}}},
         [](Scene& s) { s.h.desk.SetKeyDown(VK_CONTROL, true); }},
        {"tilt, two wheels: the horizontal columns",
         {{Tilt(120), Scroll(WM_HSCROLL, SB_LINERIGHT, 3)}, {Tilt(-40), kNothing}, {Tilt(-80), Scroll(WM_HSCROLL, SB_LINELEFT, 3)}},
         [](Scene& s) { s.h.block.WheelCount = 2, s.h.block.WheelLines = 5; }},
        {"ReverseHWheel reverses the tilt, ReverseWheel does not",
         {{Tilt(120), Scroll(WM_HSCROLL, SB_LINELEFT, 3)}, {Tilt(-120), Scroll(WM_HSCROLL, SB_LINERIGHT, 3)}},
         [](Scene& s) { s.h.block.ReverseHWheel = s.h.block.ReverseWheel = -1; }},
        {"273 at most", {{Tilt(100), kNothing}, {Tilt(32767), Scroll(WM_HSCROLL, SB_LINERIGHT, 273)}},
         [](Scene& s) { s.h.block.WheelLines = 10; }},
        {"the axes keep their parts apart", {{Turn(60), kNothing}, {Tilt(60), kNothing}, {Turn(60), Scroll(WM_VSCROLL, SB_LINEUP, 3)},
                                             {Tilt(60), Scroll(WM_HSCROLL, SB_LINERIGHT, 3)}}},
        {"system default mode passes the tilt on", {{Tilt(120), {}, 0, false}},
         [](Scene& s) { s.h.block.EnhanceMode = 0; }},
        {"Horizontal Wheel: a tilt keeps its sense, vertical parts add up",
         {{Tilt(120), Scroll(WM_HSCROLL, SB_LINERIGHT, 3)}, {Turn(60), kNothing}, {Turn(60), Scroll(WM_HSCROLL, SB_LINELEFT, 3)}},
         [](Scene& s) { s.h.shared.Mode = function::kHorizontalWheel; }},
        {"Horizontal Wheel: whole notches of any message, the rest kept",
         {{Turn(240), Scroll(WM_HSCROLL, SB_LINELEFT, 6)}, {Turn(130), Scroll(WM_HSCROLL, SB_LINELEFT, 3)},
          {Turn(110), Scroll(WM_HSCROLL, SB_LINELEFT, 3)}, {Turn(0), kNothing}, {Turn(-250), Scroll(WM_HSCROLL, SB_LINERIGHT, 6)}},
         [](Scene& s) { s.h.shared.Mode = function::kHorizontalWheel; }},
        {"Universal Zoom: a step per whole notch, none for a part or a tilt",
         {{Turn(60), kNothing}, {Turn(60), Zoomed(1)}, {Turn(-250), Zoomed(-2)}, {Tilt(120), kNothing}, {Turn(-110), Zoomed(-1)},
          {Turn(0), kNothing}},
         [](Scene& s) { s.h.shared.Mode = function::kUniversalZoom; }},
        {"task switch: a Tab per whole notch, none for a part or a tilt",
         {{Turn(-40), kNothing}, {Turn(-40), kNothing}, {Turn(-40), Tabs(1)}, {Tilt(-120), kNothing}, {Turn(360), Tabs(3)}},
         [](Scene& s) { s.h.shared.Mode = function::kTaskSwitch, s.h.shared.TabCount = 1; }},
    };
    for (const PartsCase& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        ProcessState otherProcess;
        for (HWND w : {scene.child, scene.elsewhere}) scene.h.desk.WindowOf(w).style |= WS_VSCROLL | WS_HSCROLL;
        if (c.setUp) c.setUp(scene);
        for (size_t i = 0; i < c.parts.size(); ++i) {
            SCOPED_TRACE("part " + std::to_string(i + 1));
            std::swap(scene.h.process, otherProcess);
            scene.h.desk.ClearLog();
            scene.h.desk.AdvanceClock(c.parts[i].pause);
            EXPECT_EQ(scene.Hook(c.parts[i].event), c.parts[i].swallowed);
            EXPECT_EQ(scene.log(), c.parts[i].posted);
        }
    }
}

}  // namespace
