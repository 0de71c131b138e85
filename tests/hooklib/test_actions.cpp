// The small operations the functions and modes share, whatever the block or
// the window tree hold: a notification goes only to a window and a send is
// bounded, a walk up a parent loop ends, an injected button is the user's
// primary one, a class name is compared as the system compares it.
#include "actions.h"
#include "button_functions.h"
#include "discovery.h"
#include "dispatcher.h"
#include "function_codes.h"
#include "mouse_scene.h"
#include "scroll.h"
#include "scroll_primitives.h"
#include "scroll_test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace ptr;
using namespace ptr::fake;
using namespace ptr::scene;

namespace {

// The handles come from the block, which any program can write.
TEST(Actions, NotificationsGoOnlyToWindowsAndSendsAreBounded) {
    struct Case {
        const char* name;
        uint32_t agentWindow;  // 0: the scene's real windows
        uint32_t zoomWindow;
    };
    const Case cases[] = {
        {"the agent's windows", 0, 0},
        {"HWND_BROADCAST as the agent: no zoom at all", 0xFFFF, 0},
        {"a handle that names no window as the agent", 0x7770, 0},
        {"HWND_BROADCAST as the zoom window", 0, 0xFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene s;
        if (c.agentWindow) s.h.block.AgentWindow = c.agentWindow;
        if (c.zoomWindow) s.h.block.ZoomWindow = c.zoomWindow;
        const bool agentOk = c.agentWindow == 0;
        const bool zoomOk = c.zoomWindow == 0;
        // Zoom: sent start, sent wheel, sent end; browser launch: posted.
        EXPECT_EQ(RunFunction(s.ctx(), s.child, 0, 0, function::kUniversalZoom), agentOk ? 1 : 0);
        s.h.ctx.wheel.Delta = 120;
        Dispatch(s.ctx(), s.child, WM_MOUSEWHEEL, 0, 0, MARK_NONE, 0);
        Dispatch(s.ctx(), s.child, WM_LBUTTONDOWN, 0, 0, MARK_NONE, 0);
        RunFunction(s.ctx(), s.child, 0, 0, function::kLaunchBrowser);
        Log expected;
        if (agentOk) expected.push_back(Send(s.agent, UM_ZOOMSTART, 0, 0));
        if (agentOk && zoomOk) expected.push_back(Send(s.zoom, UM_ZOOMWHEEL, 0, 120));
        if (agentOk) expected.push_back(Send(s.agent, UM_ZOOMEND, 0, 0));
        if (agentOk) expected.push_back(Post(s.agent, UM_LAUNCHBROWSER, 0, 0));
        EXPECT_EQ(s.log(), expected);
        EXPECT_EQ(s.h.shared.Mode, 0u);
        if (agentOk) {
            EXPECT_EQ(s.h.desk.LastSendFlags(), static_cast<UINT>(SMTO_NORMAL | SMTO_ABORTIFHUNG));
            EXPECT_EQ(s.h.desk.LastSendTimeout(), kSendTimeoutMs);
        }
    }
}

// A window whose parent chain loops back on itself: every walk ends.
TEST(Actions, ParentWalksEndOnALoop) {
    Scene s;
    HWND a = s.h.desk.AddWindow("SysListView32", WS_VISIBLE | WS_CHILD | WS_VSCROLL, {0, 0, 50, 50});
    HWND b = s.h.desk.AddWindow("Frame", WS_VISIBLE | WS_CHILD, {0, 0, 50, 50}, a);
    s.h.desk.WindowOf(a).parent = b;

    uint32_t code = 0;
    EXPECT_EQ(ClassifyWindow(s.ctx(), a, code), 1);  // the desktop test walks to the top
    EXPECT_EQ(code, static_cast<uint32_t>(SCROLL_V_WINDOW | SCROLL_H_NONE));
    s.h.process.ProcessKind = PROCESS_WORD;
    HWND recipient = WheelRecipient(s.ctx(), a);
    EXPECT_TRUE(recipient == a || recipient == b);
    // Close Application finds "its top-level window".
    EXPECT_EQ(RunFunction(s.ctx(), a, 0, 0, function::kCloseApplication), 1);
    s.h.desk.ClearLog();
    s.h.block.ButtonFunction[0] = function::kEnter;
    EXPECT_EQ(Dispatch(s.ctx(), a, WM_MBUTTONDOWN, 0, 0, MARK_NONE, 0), 1);  // the press raises "the top"
    EXPECT_EQ(s.log().size(), 2u);
}

// The primary button is the right one while the buttons are swapped; the
// swap state is put back as it was.
TEST(Actions, InjectButtonActsOnThePrimaryButton) {
    struct Case {
        bool swapped;
        DWORD flags;
        DWORD injected;
    };
    const Case cases[] = {
        {false, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTDOWN},
        {false, MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_RIGHTUP},
        {true, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_RIGHTDOWN},
        {true, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_RIGHTUP},
        {true, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_LEFTDOWN},
        {true, MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_LEFTUP},
        {true, MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP},
        {true, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEDOWN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.swapped) + " " + std::to_string(c.flags));
        Scene d;
        d.h.desk.SetButtonsSwapped(c.swapped);
        InjectButton(d.ctx(), c.flags, 0x00030000);
        EXPECT_EQ(d.log(), Log{Mouse(c.injected, 0, 0x00030000)});
        EXPECT_EQ(d.h.desk.ButtonsSwapped(), c.swapped);
    }
}

TEST(Actions, ClassIsComparesTheFirst39CharactersIgnoringCase) {
    struct Case {
        const char* className;
        const char* name;
        bool same;
    };
    const std::string long40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";  // 40 characters
    const std::string first39 = long40.substr(0, 39);
    const Case cases[] = {
        {"Progman", "Progman", true},
        {"PROGMAN", "progman", true},
        {"Internet Explorer_Server", "internet explorer_server", true},
        {"Progman", "Progma", false},
        {"Progma", "Progman", false},
        {"Progman", "", false},
        {"Edit", "Edit ", false},
        {long40.c_str(), first39.c_str(), true},
        {long40.c_str(), long40.c_str(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.className) + " / " + c.name);
        Scene d;
        HWND window = d.h.desk.AddWindow(c.className);
        EXPECT_EQ(ClassIs(d.ctx(), window, c.name), c.same);
    }
    Scene d;
    EXPECT_FALSE(ClassIs(d.ctx(), reinterpret_cast<HWND>(0xDEAD0), "Edit"));
}

}  // namespace
