// The wheel router: how a notch is counted and where it goes, for every
// scroll method, and the parts of a notch from high-resolution and tilt wheels.
#include "wheel_router.h"

#include "fake_desktop.h"
#include "function_codes.h"
#include "mouse_scene.h"
#include "scroll_test_support.h"

#include <gtest/gtest.h>

#include <climits>

using namespace ptr;
using namespace ptr::fake;

namespace {

// The cursor at (50, 40); the window under it has both standard scroll bars,
// so both directions scroll by messages to the window itself.
constexpr int kX = 50;
constexpr int kY = 40;
constexpr LPARAM kCursorLp = 0x00280032;
const HWND kFocus = Handle(0x1000);
const HWND kUnder = Handle(0x1010);

struct Settings {
    int32_t wheelLines = 3;
    int32_t wheelPage = 0;
    uint16_t wheelCount = 1;
    int32_t hWheelLines = 3;
    int32_t hWheelPage = 0;
};

struct RouteCase {
    const char* name;
    int32_t os;
    int32_t enhance;
    int16_t delta;
    int result;
    std::vector<Step> expected;
    Settings settings = {};
};

struct RouterScene {
    FakeHook h;
    RouterScene(int32_t os, int32_t enhance, int16_t delta, const Settings& settings) {
        h.UseDefaultBlock();
        h.SetOs(os);
        h.block.EnhanceMode = enhance;
        h.block.WheelLines = settings.wheelLines;
        h.block.WheelPageScroll = settings.wheelPage;
        h.block.WheelCount = settings.wheelCount;
        h.block.HWheelLines = settings.hWheelLines;
        h.block.HWheelPageScroll = settings.hWheelPage;
        h.ctx.wheel.Delta = delta;
        HWND focus = h.desk.AddWindow("Focus", WS_VISIBLE | WS_VSCROLL, {300, 0, 400, 100});
        HWND under = h.desk.AddWindow("Edit", WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, {0, 0, 200, 200});
        EXPECT_EQ(focus, kFocus);
        EXPECT_EQ(under, kUnder);
    }
};

void ExpectRouteCases(const std::vector<RouteCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RouterScene s(c.os, c.enhance, c.delta, c.settings);
        // The message is addressed to the focus window; the window under the cursor scrolls.
        EXPECT_EQ(RouteWheel(s.h.ctx, kFocus, kX, kY), c.result);
        EXPECT_EQ(s.h.desk.log(), Expand(c.expected));
    }
}

std::string V(WPARAM code) { return Post(kUnder, WM_VSCROLL, code, 0); }
std::string H(WPARAM code) { return Post(kUnder, WM_HSCROLL, code, 0); }

TEST(WheelRouter, ModeSummary) {
    ExpectRouteCases({
        {"default mode, XP, +120: passed on", OS_WINXP, 0, 120, 0, {}},
        {"default mode, XP, -120: passed on", OS_WINXP, 0, -120, 0, {}},
        {"default mode, 98: passed on", OS_WIN98, 0, 120, 0, {}},
        {"default mode, NT 4: passed on", OS_NT4, 0, -240, 0, {}},
        {"default mode, 2000: passed on", OS_WIN2000, 0, 120, 0, {}},
        {"default mode, Me: passed on", OS_WINME, 0, -120, 0, {}},
        {"default mode, unknown system: passed on", OS_OTHER, 0, 120, 0, {}},
        {"default mode, XP, +840: routed left", OS_WINXP, 0, 840, 1, {Times(3, H(SB_LINELEFT)), Once(H(SB_ENDSCROLL))}},
        {"default mode, 2000, -840: routed right", OS_WIN2000, 0, -840, 1,
         {Times(3, H(SB_LINERIGHT)), Once(H(SB_ENDSCROLL))}},
        {"enhanced, XP, +120: routed up", OS_WINXP, -1, 120, 1, {Times(3, V(SB_LINEUP)), Once(V(SB_ENDSCROLL))}},
        {"enhanced (any non-zero), 98, -120: routed down", OS_WIN98, 1, -120, 1,
         {Times(3, V(SB_LINEDOWN)), Once(V(SB_ENDSCROLL))}},
        {"enhanced, NT 4, +840: routed left", OS_NT4, -1, 840, 1, {Times(3, H(SB_LINELEFT)), Once(H(SB_ENDSCROLL))}},
        {"Windows 95, default mode, -120: routed", OS_WIN95, 0, -120, 1, {Times(3, V(SB_LINEDOWN)), Once(V(SB_ENDSCROLL))}},
        {"Windows 95, enhanced, +120: routed", OS_WIN95, -1, 120, 1, {Times(3, V(SB_LINEUP)), Once(V(SB_ENDSCROLL))}},
        {"Windows 95, default mode, -840: routed right", OS_WIN95, 0, -840, 1,
         {Times(3, H(SB_LINERIGHT)), Once(H(SB_ENDSCROLL))}},
    });
}

TEST(WheelRouter, VerticalCounts) {
    ExpectRouteCases({
        {"+240, 3 lines: 6", OS_WINXP, -1, 240, 1, {Times(6, V(SB_LINEUP)), Once(V(SB_ENDSCROLL))}},
        {"-360, 3 lines: 9", OS_WINXP, -1, -360, 1, {Times(9, V(SB_LINEDOWN)), Once(V(SB_ENDSCROLL))}},
        // A part that completes no notch posts nothing, not even the end of a scroll.
        {"+60: nothing", OS_WINXP, -1, 60, 1, {}},
        {"+239: one notch", OS_WINXP, -1, 239, 1, {Times(3, V(SB_LINEUP)), Once(V(SB_ENDSCROLL))}},
        {"-121: one notch", OS_WINXP, -1, -121, 1, {Times(3, V(SB_LINEDOWN)), Once(V(SB_ENDSCROLL))}},
        {"0: nothing, also in page mode", OS_WINXP, -1, 0, 1, {}, {3, -1}},
        {"0 on Windows 95: nothing", OS_WIN95, 0, 0, 1, {}},
        {"+32767, 10 lines: 273", OS_WINXP, -1, 32767, 1, {Times(273, V(SB_LINEUP)), Once(V(SB_ENDSCROLL))}, {10}},
        {"-32768, 10 lines: 273", OS_WINXP, -1, -32768, 1, {Times(273, V(SB_LINEDOWN)), Once(V(SB_ENDSCROLL))}, {10}},
        {"+32767, 1 line: 273", OS_WINXP, -1, 32767, 1, {Times(273, V(SB_LINEUP)), Once(V(SB_ENDSCROLL))}, {1}},
        {"+1200, 27 lines: 270", OS_WINXP, -1, 1200, 1, {Times(270, V(SB_LINEUP)), Once(V(SB_ENDSCROLL))}, {27}},
        {"+1200, 28 lines: 273", OS_WINXP, -1, 1200, 1, {Times(273, V(SB_LINEUP)), Once(V(SB_ENDSCROLL))}, {28}},
        {"huge line setting does not overflow", OS_WINXP, -1, 32767, 1,
         {Times(273, V(SB_LINEUP)), Once(V(SB_ENDSCROLL))}, {INT_MAX}},
        {"0 lines", OS_WINXP, -1, 360, 1, {Once(V(SB_ENDSCROLL))}, {0}},
        {"negative lines scroll nothing", OS_WINXP, -1, -360, 1, {Once(V(SB_ENDSCROLL))}, {-3}},
        {"page mode: one page up whatever the notches", OS_WINXP, -1, 360, 1, {Once(V(SB_PAGEUP)), Once(V(SB_ENDSCROLL))},
         {3, -1}},
        {"page mode, -120: one page down", OS_WINXP, -1, -120, 1, {Once(V(SB_PAGEDOWN)), Once(V(SB_ENDSCROLL))}, {3, -1}},
        {"the horizontal settings play no part", OS_WINXP, -1, 120, 1, {Times(2, V(SB_LINEUP)), Once(V(SB_ENDSCROLL))},
         {2, 0, 2, 9, -1}},
        {"+720 (not the marker) is vertical", OS_WINXP, -1, 720, 1, {Times(6, V(SB_LINEUP)), Once(V(SB_ENDSCROLL))}, {1}},
        {"+960 (not the marker) is vertical", OS_WINXP, -1, 960, 1, {Times(8, V(SB_LINEUP)), Once(V(SB_ENDSCROLL))}, {1}},
    });
}

TEST(WheelRouter, HorizontalMarkerCounts) {
    ExpectRouteCases({
        {"one wheel, 5 lines, -840: right 5", OS_WINXP, -1, -840, 1, {Times(5, H(SB_LINERIGHT)), Once(H(SB_ENDSCROLL))},
         {5, 0, 1, 2, -1}},
        {"one wheel, page mode, +840: a page left", OS_WINXP, -1, 840, 1, {Once(H(SB_PAGELEFT)), Once(H(SB_ENDSCROLL))},
         {5, -1, 1, 2, 0}},
        {"two wheels, 2 columns, page, +840: a page left", OS_WINXP, -1, 840, 1,
         {Once(H(SB_PAGELEFT)), Once(H(SB_ENDSCROLL))}, {5, 0, 2, 2, -1}},
        {"two wheels, 2 columns, -840: right 2", OS_WINXP, -1, -840, 1, {Times(2, H(SB_LINERIGHT)), Once(H(SB_ENDSCROLL))},
         {5, -1, 2, 2, 0}},
        {"no wheel count: the horizontal settings", OS_WINXP, 0, 840, 1, {Times(4, H(SB_LINELEFT)), Once(H(SB_ENDSCROLL))},
         {5, -1, 0, 4, 0}},
        {"one notch only, never times seven", OS_WINXP, -1, 840, 1, {Times(1, H(SB_LINELEFT)), Once(H(SB_ENDSCROLL))},
         {1, 0, 1, 9, 0}},
        {"0 columns", OS_WINXP, -1, -840, 1, {Once(H(SB_ENDSCROLL))}, {3, 0, 2, 0, 0}},
        // A wheel message never posts more than 273 steps.
        {"500 columns held at 273", OS_WINXP, -1, -840, 1, {Times(273, H(SB_LINERIGHT)), Once(H(SB_ENDSCROLL))},
         {3, 0, 2, 500, 0}},
    });
}

TEST(WheelRouter, RoutesByTheMethodOfTheWindowUnderTheCursor) {
    struct {
        const char* name;
        int16_t delta;
        int32_t os;
        bool withBars;
        std::vector<Step> expected;
    } const cases[] = {
        {"no scroll styles: a wheel message with the cursor", 240, OS_WINXP, false,
         {Once(Post(Handle(0x1010), WM_MOUSEWHEEL, 0x02D00000, kCursorLp))}},
        {"Windows 95: the roll message", -120, OS_WIN95, false, {Once(Post(Handle(0x1010), 0xC0DE, 0xFFFFFE98, kCursorLp))}},
        {"no scroll styles, +840: arrow keys", 840, OS_WINXP, false, {Strokes(3, Handle(0x1010), VK_LEFT)}},
        {"a vertical bar control", -120, OS_WINXP, true,
         {Times(3, Post(Handle(0x1010), WM_VSCROLL, SB_LINEDOWN, 0x1020)),
          Once(Post(Handle(0x1010), WM_VSCROLL, SB_ENDSCROLL, 0x1020))}},
        {"a horizontal bar control", -840, OS_WINXP, true,
         {Times(3, Post(Handle(0x1010), WM_HSCROLL, SB_LINERIGHT, 0x1030)),
          Once(Post(Handle(0x1010), WM_HSCROLL, SB_ENDSCROLL, 0x1030))}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHook h;
        h.UseDefaultBlock();
        h.SetOs(c.os);
        h.process.RollMessage = 0xC0DE;
        h.ctx.wheel.Delta = c.delta;
        HWND focus = h.desk.AddWindow("Focus", WS_VISIBLE, {300, 0, 400, 100});
        HWND pane = h.desk.AddWindow("Pane", WS_VISIBLE, {0, 0, 200, 200});
        ASSERT_EQ(pane, Handle(0x1010));
        if (c.withBars) {
            h.desk.AddWindow("ScrollBar", WS_VISIBLE | WS_CHILD | SBS_VERT, {0, 0, 0, 0}, pane);
            h.desk.AddWindow("ScrollBar", WS_VISIBLE | WS_CHILD | SBS_HORZ, {0, 0, 0, 0}, pane);
        }
        EXPECT_EQ(RouteWheel(h.ctx, focus, kX, kY), 1);
        EXPECT_EQ(h.desk.log(), Expand(c.expected));
    }
}

TEST(WheelRouter, NothingUnderTheCursorPassesTheMessageOn) {
    // Posting to no window would scroll the hooked thread's own windows.
    const struct {
        const char* name;
        int32_t os;
        int32_t enhance;
        int16_t delta;
    } cases[] = {
        {"enhanced, vertical", OS_WINXP, -1, 120},
        {"default mode, marker", OS_WINXP, 0, -840},
        {"Windows 95", OS_WIN95, 0, -120},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RouterScene s(c.os, c.enhance, c.delta, {});
        s.h.desk.SetWindowUnderCursor(nullptr);
        EXPECT_EQ(RouteWheel(s.h.ctx, kFocus, kX, kY), 0);
        EXPECT_TRUE(s.h.desk.log().empty());
    }
}

}  // namespace

namespace {

// High-resolution wheels and the tilt wheel, through the mouse hook on
// Windows XP: parts of a notch add up per axis to whole notches for the
// window under the cursor; a new direction, another window or a pause longer
// than the double-click time starts again from nothing. Every other part
// comes through another process, as the hook runs in whichever one takes
// the message.

const HWND kChild = Handle(0x1030);
const HWND kElsewhere = Handle(0x1040);
constexpr POINT kOverChild = {100, 100};
constexpr POINT kOverElsewhere = {600, 100};

scene::Event Turn(int16_t delta, POINT pt = kOverChild, UINT message = WM_MOUSEWHEEL) {
    return {message, 0, static_cast<DWORD>(static_cast<uint16_t>(delta)) << 16, pt};
}
scene::Event Tilt(int16_t delta) { return Turn(delta, kOverChild, WM_MOUSEHWHEEL); }

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
    scene::Event event;
    Log posted;
    DWORD pause = 0;  // the clock moves this far first
    bool swallowed = true;
};

struct PartsCase {
    const char* name;
    std::vector<Part> parts;
    void (*setUp)(scene::Scene&) = nullptr;
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
         [](scene::Scene& s) { s.h.desk.SetDoubleClickTime(900); }},
        {"page mode, one wheel: a part scrolls no page",
         {{Turn(60), kNothing}, {Turn(60), Scroll(WM_VSCROLL, SB_PAGEUP, 1)}, {Tilt(-60), kNothing},
          {Tilt(-60), Scroll(WM_HSCROLL, SB_PAGELEFT, 1)}},
         [](scene::Scene& s) { s.h.block.WheelPageScroll = -1; }},
        {"Control held: one Control notch for the whole notch",
         {{Turn(-60), {}}, {Turn(-60), {Post(kChild, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -120), MAKELPARAM(100, 100))}}},
         [](scene::Scene& s) { s.h.desk.SetKeyDown(VK_CONTROL, true); }},
        {"tilt, two wheels: the horizontal columns",
         {{Tilt(120), Scroll(WM_HSCROLL, SB_LINERIGHT, 3)}, {Tilt(-40), kNothing}, {Tilt(-80), Scroll(WM_HSCROLL, SB_LINELEFT, 3)}},
         [](scene::Scene& s) { s.h.block.WheelCount = 2, s.h.block.WheelLines = 5; }},
        {"ReverseHWheel reverses the tilt, ReverseWheel does not",
         {{Tilt(120), Scroll(WM_HSCROLL, SB_LINELEFT, 3)}, {Tilt(-120), Scroll(WM_HSCROLL, SB_LINERIGHT, 3)}},
         [](scene::Scene& s) { s.h.block.ReverseHWheel = s.h.block.ReverseWheel = -1; }},
        {"273 at most", {{Tilt(100), kNothing}, {Tilt(32767), Scroll(WM_HSCROLL, SB_LINERIGHT, 273)}},
         [](scene::Scene& s) { s.h.block.WheelLines = 10; }},
        {"the axes keep their parts apart", {{Turn(60), kNothing}, {Tilt(60), kNothing}, {Turn(60), Scroll(WM_VSCROLL, SB_LINEUP, 3)},
                                             {Tilt(60), Scroll(WM_HSCROLL, SB_LINERIGHT, 3)}}},
        {"system default mode passes the tilt on", {{Tilt(120), {}, 0, false}},
         [](scene::Scene& s) { s.h.block.EnhanceMode = 0; }},
        {"Horizontal Wheel: a tilt keeps its sense, vertical parts add up",
         {{Tilt(120), Scroll(WM_HSCROLL, SB_LINERIGHT, 3)}, {Turn(60), kNothing}, {Turn(60), Scroll(WM_HSCROLL, SB_LINELEFT, 3)}},
         [](scene::Scene& s) { s.h.shared.Mode = function::kHorizontalWheel; }},
        {"Horizontal Wheel: whole notches of any message, the rest kept",
         {{Turn(240), Scroll(WM_HSCROLL, SB_LINELEFT, 6)}, {Turn(130), Scroll(WM_HSCROLL, SB_LINELEFT, 3)},
          {Turn(110), Scroll(WM_HSCROLL, SB_LINELEFT, 3)}, {Turn(0), kNothing}, {Turn(-250), Scroll(WM_HSCROLL, SB_LINERIGHT, 6)}},
         [](scene::Scene& s) { s.h.shared.Mode = function::kHorizontalWheel; }},
        {"Universal Zoom: a step per whole notch, none for a part or a tilt",
         {{Turn(60), kNothing}, {Turn(60), Zoomed(1)}, {Turn(-250), Zoomed(-2)}, {Tilt(120), kNothing}, {Turn(-110), Zoomed(-1)},
          {Turn(0), kNothing}},
         [](scene::Scene& s) { s.h.shared.Mode = function::kUniversalZoom; }},
        {"task switch: a Tab per whole notch, none for a part or a tilt",
         {{Turn(-40), kNothing}, {Turn(-40), kNothing}, {Turn(-40), Tabs(1)}, {Tilt(-120), kNothing}, {Turn(360), Tabs(3)}},
         [](scene::Scene& s) { s.h.shared.Mode = function::kTaskSwitch, s.h.shared.TabCount = 1; }},
    };
    for (const PartsCase& c : cases) {
        SCOPED_TRACE(c.name);
        scene::Scene scene;
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
