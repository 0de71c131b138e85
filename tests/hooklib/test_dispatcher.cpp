// The button-function dispatcher: the idle press/release cycle, the choice
// of the button's function, a quick second click, the user's release.
#include "actions.h"
#include "dispatch_scene.h"
#include "function_codes.h"

#include <gtest/gtest.h>

#include <functional>

using namespace ptr;
using namespace ptr::fake;
using namespace ptr::scene;

namespace {

// The whole cycle of one button: the press, the marked release, the user's
// own release. What the application receives is what the log shows.
struct CycleCase {
    const char* name;
    int32_t os;
    int32_t code;
    uint16_t index;  // 0 button 3, 1 button 4, 2 button 5
    int runResult;
    Log runEntries;
    int releaseResult;
    Log releaseEntries;
    bool pressPasses = false;  // a plain middle click: the press goes on as it came, nothing is run
};

std::vector<CycleCase> CycleCases() {
    const Log x1Press = {Mouse(MOUSEEVENTF_XDOWN, XBUTTON1, 0)};
    const Log x2Press = {Mouse(MOUSEEVENTF_XDOWN, XBUTTON2, 0)};
    const Log x1Release = {Mouse(MOUSEEVENTF_XUP, XBUTTON1, 0)};
    const Log x2Release = {Mouse(MOUSEEVENTF_XUP, XBUTTON2, 0)};
    return {
        // The application sees the keystroke only: press and release are swallowed.
        {"KeystrokeOnXp", OS_WINXP, function::kF1, 0, 1, {KeyDown(VK_F1), KeyUp(VK_F1)}, 1, {}},
        {"KeystrokeFromButton5On98", OS_WIN98, function::kEnter, 2, 1, {KeyDown(VK_RETURN), KeyUp(VK_RETURN)}, 1, {}},
        // An ordinary middle click: the user's own press and release reach the application.
        {"MiddleButtonOnXp", OS_WINXP, function::kMiddleButton, 0, 0, {}, 0, {}, true},
        {"MiddleButtonFromButton4OnXp", OS_WINXP, function::kMiddleButton, 1, 0, {}, 0, {}, true},
        {"SystemDefaultButton3On98", OS_WIN98, function::kSystemDefault, 0, 0, {}, 0, {}, true},
        {"SystemDefaultButton4On98", OS_WIN98, function::kSystemDefault, 1, 0, {}, 0, {}, true},
        {"SystemDefaultButton5On98", OS_WIN98, function::kSystemDefault, 2, 0, {}, 0, {}, true},
        {"SystemDefaultButton4OnNt4", OS_NT4, function::kSystemDefault, 1, 0, {}, 0, {}, true},
        {"SystemDefaultButton3OnXp", OS_WINXP, function::kSystemDefault, 0, 0, {}, 0, {}, true},
        // X button press now, X button release at the user's release.
        {"SystemDefaultButton4OnXp", OS_WINXP, function::kSystemDefault, 1, 1, x1Press, 1, x1Release},
        {"SystemDefaultButton5OnXp", OS_WINXP, function::kSystemDefault, 2, 1, x2Press, 1, x2Release},
        {"SystemDefaultButton4On2000", OS_WIN2000, function::kSystemDefault, 1, 1, x1Press, 1, x1Release},
        {"SystemDefaultButton5OnMe", OS_WINME, function::kSystemDefault, 2, 1, x2Press, 1, x2Release},
        // Unknown code: the marked release reaches the application, the user's is swallowed.
        {"UnknownCode", OS_WINXP, 77, 0, 0, {}, 1, {}},
    };
}

class CycleTest : public ::testing::TestWithParam<CycleCase> {};

TEST_P(CycleTest, PressMarkedReleaseUserRelease) {
    const CycleCase& c = GetParam();
    Desk d(c.os);
    d.h.block.ButtonCount = 5;
    d.h.block.ButtonFunction[c.index] = c.code;
    d.h.desk.SetFocusWindow(d.child);

    EXPECT_EQ(DispatchTo(d, WM_MBUTTONDOWN, MARK_NONE, c.index), c.pressPasses ? 0 : 1);
    EXPECT_EQ(d.log(), c.pressPasses ? Log{Foreground(d.top)} : PressEntries(d));
    d.h.desk.ClearLog();
    if (!c.pressPasses) {
        EXPECT_EQ(DispatchTo(d, WM_MBUTTONUP, MARK_RUN), c.runResult);
        EXPECT_EQ(d.log(), c.runEntries);
        d.h.desk.ClearLog();
    }
    EXPECT_EQ(DispatchTo(d, WM_MBUTTONUP, MARK_NONE, c.index), c.releaseResult);
    EXPECT_EQ(d.log(), c.releaseEntries);
    EXPECT_EQ(d.h.shared.ReleaseAction, 0);
    EXPECT_EQ(d.h.shared.Mode, 0u);
}

INSTANTIATE_TEST_SUITE_P(Dispatcher, CycleTest, ::testing::ValuesIn(CycleCases()),
                         [](const ::testing::TestParamInfo<CycleCase>& info) { return std::string(info.param.name); });

// Sequences of presses and releases as the system reports them: a real
// quick second middle click, the press the low-level hook made for button 4
// or 5 right after a middle press (which the system counts as that click's
// second), a release that comes before the marked one, and two buttons held
// at once.
struct ClickStep {
    UINT message;
    uint16_t marker;
    uint16_t index;
    int result;
    Entries entries;
};

struct DoubleClickCase {
    const char* name;
    int32_t middleFunction;
    int32_t button4Function;
    uint32_t mode;
    std::vector<ClickStep> steps;
};

std::vector<DoubleClickCase> DoubleClickCases() {
    const Entries none = Nothing();
    const Entries press = [](const Desk& d) { return PressEntries(d); };
    const Entries raise = [](const Desk& d) { return Log{Foreground(d.top)}; };
    return {
        // The application receives all four messages, as without the suite.
        {"PlainMiddleDoubleClickIsWhole", function::kSystemDefault, function::kEnter, 0,
         {{WM_MBUTTONDOWN, MARK_NONE, 0, 0, raise}, {WM_MBUTTONUP, MARK_NONE, 0, 0, none},
          {WM_MBUTTONDBLCLK, MARK_NONE, 0, 0, none}, {WM_MBUTTONUP, MARK_NONE, 0, 0, none}}},
        // A function on the middle button: the double click reaches the
        // application, its release is swallowed.
        {"CopyThenSecondQuickClick", function::kCopy, function::kEnter, 0,
         {{WM_MBUTTONDBLCLK, MARK_NONE, 0, 0, none}, {WM_MBUTTONUP, MARK_NONE, 0, 1, none}}},
        // Button 4 after a middle click: its press, reported as a double
        // click, runs button 4's function and never reaches the application.
        {"Button4AfterMiddleClickRunsItsFunction", function::kSystemDefault, function::kEnter, 0,
         {{WM_MBUTTONDOWN, MARK_NONE, 0, 0, raise}, {WM_MBUTTONUP, MARK_NONE, 0, 0, none},
          {WM_MBUTTONDBLCLK, MARK_NONE, 1, 1, press},
          {WM_MBUTTONUP, MARK_RUN, 0, 1, [](const Desk&) { return Tap(VK_RETURN); }},
          {WM_MBUTTONUP, MARK_NONE, 1, 1, none}}},
        // Made a middle click again by the suite, not passed on as a double
        // click; the user's release is swallowed, the click being whole.
        {"Button4AsMiddleButtonAfterDoubleClickGetsAClick", function::kSystemDefault, function::kMiddleButton, 0,
         {{WM_MBUTTONDBLCLK, MARK_NONE, 1, 1, press},
          {WM_MBUTTONUP, MARK_RUN, 0, 1, [](const Desk&) { return MiddleClickEntries(); }},
          {WM_MBUTTONUP, MARK_NONE, 1, 1, none}}},
        // It is a press for a mode too: it ends Horizontal Wheel.
        {"Button4DoubleClickEndsHorizontalWheel", function::kSystemDefault, function::kEnter, function::kHorizontalWheel,
         {{WM_MBUTTONDBLCLK, MARK_NONE, 1, 1,
           [](const Desk& d) { return Log{Post(d.agent, UM_MODEEND, 0, 0), Focus(d.target)}; }}}},
        // Only the indexes of X buttons 1 and 2 are translated presses.
        {"OtherIndexIsAnOrdinaryDoubleClick", function::kSystemDefault, function::kEnter, 0,
         {{WM_MBUTTONDBLCLK, MARK_NONE, 3, 0, none}, {WM_MBUTTONUP, MARK_NONE, 3, 0, none}}},
        // A quick click on a busy program: the user's release comes before the
        // marked one. Nothing the suite makes may stay down.
        {"Button4AsMiddleButtonReleasedBeforeItsRunGetsAClick", function::kSystemDefault, function::kMiddleButton, 0,
         {{WM_MBUTTONDBLCLK, MARK_NONE, 1, 1, press},
          {WM_MBUTTONUP, MARK_NONE, 1, 1, none},
          {WM_MBUTTONUP, MARK_RUN, 0, 1, [](const Desk&) { return MiddleClickEntries(); }}}},
        {"SystemDefaultButton4ReleasedBeforeItsRunGetsAWholeClick", function::kSystemDefault, function::kSystemDefault,
         0,
         {{WM_MBUTTONDOWN, MARK_NONE, 1, 1, press},
          {WM_MBUTTONUP, MARK_NONE, 1, 1, none},
          {WM_MBUTTONUP, MARK_RUN, 0, 1,
           [](const Desk&) { return Log{Mouse(MOUSEEVENTF_XDOWN, XBUTTON1, 0), Mouse(MOUSEEVENTF_XUP, XBUTTON1, 0)}; }}}},
        // Button 4's press waits for its marked release while a quick middle
        // click passes on: the marked release still runs button 4's function.
        {"Button4ThenAQuickMiddleClickRunsButton4sFunction", function::kSystemDefault, function::kEnter, 0,
         {{WM_MBUTTONDOWN, MARK_NONE, 1, 1, press},
          {WM_MBUTTONDOWN, MARK_NONE, 0, 0, raise},
          {WM_MBUTTONUP, MARK_RUN, 0, 1, [](const Desk&) { return Tap(VK_RETURN); }},
          {WM_MBUTTONUP, MARK_NONE, 0, 0, none},
          {WM_MBUTTONUP, MARK_NONE, 1, 1, none}}},
        // Button 4 held down as X button 1 while the middle button clicks: the
        // middle click takes ReleaseAction over, so X button 1 goes up first.
        {"Button4HeldThroughAMiddleClickIsLetGo", function::kSystemDefault, function::kSystemDefault, 0,
         {{WM_MBUTTONDOWN, MARK_NONE, 1, 1, press},
          {WM_MBUTTONUP, MARK_RUN, 0, 1, [](const Desk&) { return Log{Mouse(MOUSEEVENTF_XDOWN, XBUTTON1, 0)}; }},
          {WM_MBUTTONDOWN, MARK_NONE, 0, 0,
           [](const Desk& d) { return Log{Foreground(d.top), Mouse(MOUSEEVENTF_XUP, XBUTTON1, 0)}; }},
          {WM_MBUTTONUP, MARK_NONE, 0, 0, none},
          {WM_MBUTTONUP, MARK_NONE, 1, 1, none}}},
    };
}

class DoubleClickTest : public ::testing::TestWithParam<DoubleClickCase> {};

TEST_P(DoubleClickTest, EachMessageAsTheApplicationGetsIt) {
    const DoubleClickCase& c = GetParam();
    Desk d;
    d.h.block.ButtonCount = 5;
    d.h.block.ButtonFunction[0] = c.middleFunction;
    d.h.block.ButtonFunction[1] = c.button4Function;
    d.h.shared.Mode = c.mode;
    d.h.desk.SetFocusWindow(d.child);
    for (size_t i = 0; i < c.steps.size(); ++i) {
        const ClickStep& step = c.steps[i];
        SCOPED_TRACE("step " + std::to_string(i));
        d.h.desk.ClearLog();
        EXPECT_EQ(DispatchTo(d, step.message, step.marker, step.index), step.result);
        EXPECT_EQ(d.log(), step.entries(d));
    }
    EXPECT_EQ(d.h.shared.ReleaseAction, 0);
    EXPECT_EQ(d.h.shared.Mode, 0u);
}

INSTANTIATE_TEST_SUITE_P(Dispatcher, DoubleClickTest, ::testing::ValuesIn(DoubleClickCases()),
                         [](const ::testing::TestParamInfo<DoubleClickCase>& info) { return std::string(info.param.name); });

// Which element of ButtonFunction a press chooses. The index comes from the
// event's extra information, which any program can set.
TEST(Dispatcher, ButtonIndexIsHonouredOnlyWithinButtonCountAndTheTable) {
    struct Case {
        uint16_t buttonCount;
        uint16_t index;
        uint32_t chosen;
    };
    const Case cases[] = {
        {3, 0, 0},      {3, 1, 0},    {3, 2, 0},    {4, 1, 1},       {4, 2, 0},      {5, 1, 1},
        {5, 2, 2},      {5, 3, 0},    {6, 3, 3},    {6, 4, 0},       {7, 4, 4},      {0, 0, 0},
        {2, 0, 0},      {200, 4, 4},  {200, 5, 0},  {200, 7, 0},     {200, 0xFFFF, 0}, {0xFFFF, 0xFFFD, 0},
        {0xFFFF, 0xFFFF, 0},
    };
    // F1 to F5 tell the elements apart.
    const BYTE keys[] = {VK_F1, VK_F2, VK_F3, VK_F4, VK_F5};
    for (const Case& c : cases) {
        SCOPED_TRACE("ButtonCount " + std::to_string(c.buttonCount) + " index " + std::to_string(c.index));
        Desk d;
        d.h.desk.SetFocusWindow(d.child);
        d.h.block.ButtonCount = c.buttonCount;
        for (int i = 0; i < 5; ++i) d.h.block.ButtonFunction[i] = i + 1;
        d.h.shared.PendingButton = 9;
        EXPECT_EQ(DispatchTo(d, WM_MBUTTONDOWN, MARK_NONE, c.index), 1);
        EXPECT_EQ(DispatchTo(d, WM_MBUTTONUP, MARK_RUN), 1);
        EXPECT_EQ(d.log(), Cat({PressEntries(d), Tap(keys[c.chosen])}));
        EXPECT_EQ(d.h.shared.PendingButton, c.chosen);
        EXPECT_EQ(d.h.shared.PendingFunction, c.chosen + 1);
    }
}

// The user's own middle release, by ReleaseAction.
TEST(Dispatcher, UserReleaseFollowsReleaseAction) {
    struct Case {
        int32_t action;
        uint16_t marker;
        int result;
        Log entries;
        int32_t actionAfter;
    };
    const Case cases[] = {
        {0, MARK_NONE, 1, {}, 0},
        {45, MARK_NONE, 0, {}, 0},
        {72, MARK_NONE, 1, {Mouse(MOUSEEVENTF_XUP, XBUTTON1, 0)}, 0},
        {73, MARK_NONE, 1, {Mouse(MOUSEEVENTF_XUP, XBUTTON2, 0)}, 0},
        {99, MARK_NONE, 0, {}, 99},
        {-1, MARK_NONE, 0, {}, -1},
        // Markers other than MARK_RUN and MARK_PASS make no difference to a release.
        {0, MARK_SELF, 1, {}, 0},
        {45, MARK_WHEEL, 0, {}, 0},
        // MARK_PASS input is never interpreted, whatever ReleaseAction says.
        {72, MARK_PASS, 0, {}, 72},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("ReleaseAction " + std::to_string(c.action) + " marker " + std::to_string(c.marker));
        Desk d;
        d.h.shared.ReleaseAction = c.action;
        EXPECT_EQ(DispatchTo(d, WM_MBUTTONUP, c.marker), c.result);
        EXPECT_EQ(d.log(), c.entries);
        EXPECT_EQ(d.h.shared.ReleaseAction, c.actionAfter);
    }
}

// Without a mode only the middle press and release are handled.
TEST(Dispatcher, IdleIgnoresEveryOtherMessage) {
    const UINT messages[] = {WM_LBUTTONDOWN, WM_LBUTTONUP,     WM_RBUTTONDOWN, WM_RBUTTONUP,
                             WM_XBUTTONDOWN, WM_XBUTTONUP,     WM_MOUSEWHEEL,  WM_MOUSEMOVE,
                             WM_MBUTTONDBLCLK, WM_LBUTTONDBLCLK, WM_NCMBUTTONDBLCLK, 0x7FFF};
    for (UINT message : messages) {
        SCOPED_TRACE(MessageName(message));
        Desk d;
        d.h.block.ButtonFunction[0] = function::kEnter;
        d.h.shared.ReleaseAction = 72;
        EXPECT_EQ(DispatchTo(d, message), 0);
        EXPECT_EQ(d.log(), Log{});
        EXPECT_EQ(d.h.shared.PendingFunction, 0u);
        EXPECT_EQ(d.h.shared.ReleaseAction, 72);
    }
}

TEST(Dispatcher, MarkedPassPressIsNotAButtonPress) {
    Desk d;
    d.h.block.ButtonFunction[0] = function::kEnter;
    EXPECT_EQ(DispatchTo(d, WM_MBUTTONDOWN, MARK_PASS), 0);
    EXPECT_EQ(DispatchTo(d, WM_MBUTTONUP, MARK_PASS), 0);
    EXPECT_EQ(d.log(), Log{});
}

// A press raises the top-level window of whatever window the cursor is over.
TEST(Dispatcher, PressRaisesTheTopLevelWindow) {
    Desk d;
    d.h.block.ButtonFunction[0] = function::kEnter;
    HWND grandchild = d.h.desk.AddWindow("Static", WS_VISIBLE | WS_CHILD, {0, 0, 5, 5}, d.child);
    const std::pair<HWND, HWND> cases[] = {{grandchild, d.top}, {d.child, d.top}, {d.top, d.top},
                                           {d.elsewhere, d.elsewhere}};
    for (const auto& [window, top] : cases) {
        d.h.desk.ClearLog();
        EXPECT_EQ(Dispatch(d.ctx(), window, WM_MBUTTONDOWN, 1, 2, MARK_NONE, 0), 1);
        EXPECT_EQ(d.log(), (Log{Foreground(top), Mouse(MOUSEEVENTF_MIDDLEUP, 0, kRunExtra)}));
    }
}

}  // namespace
