#include "fake_desktop.h"
#include "scroll_test_support.h"
#include "wheel_router.h"

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
