// The fake desktop's own records, which the stress run judges by: a post to
// what is no window of the desktop is counted, and injected keys and buttons
// are held until let go.
#include "fake_desktop.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace ptr;
using namespace ptr::fake;

namespace {

TEST(FakeDesktop, RecordsWhatTheStressRunChecks) {
    struct Case {
        const char* name;
        std::function<void(FakeDesktop&, HWND window, HWND gone)> act;
        int misdirected;
        std::set<BYTE> keys;
        unsigned buttons;
    };
    const Case cases[] = {
        {"a post to a window", [](FakeDesktop& d, HWND w, HWND) { d.PostMessageA(w, WM_VSCROLL, 0, 0); }, 0, {}, 0},
        {"a post to a window that went away",
         [](FakeDesktop& d, HWND, HWND gone) { d.PostMessageA(gone, WM_VSCROLL, 0, 0); }, 1, {}, 0},
        {"a send to null",
         [](FakeDesktop& d, HWND, HWND) { d.SendMessageTimeoutA(nullptr, UM_ZOOMEND, 0, 0, 0, 1, nullptr); }, 1, {}, 0},
        {"a post to HWND_BROADCAST", [](FakeDesktop& d, HWND, HWND) { d.PostMessageA(HWND_BROADCAST, WM_CLOSE, 0, 0); },
         1, {}, 0},
        {"Shift down stays down", [](FakeDesktop& d, HWND, HWND) { d.keybd_event(VK_SHIFT, 0, 0, 0); }, 0, {VK_SHIFT}, 0},
        {"a chord leaves nothing down",
         [](FakeDesktop& d, HWND, HWND) {
             d.keybd_event(VK_CONTROL, 0, 0, 0);
             d.keybd_event('C', 0, 0, 0);
             d.keybd_event('C', 0, KEYEVENTF_KEYUP, 0);
             d.keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
         },
         0, {}, 0},
        {"buttons down, one let go by the user",
         [](FakeDesktop& d, HWND, HWND) {
             d.mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MIDDLEDOWN, 0, 0, 0, 0);
             d.mouse_event(MOUSEEVENTF_XDOWN, 0, 0, XBUTTON2, 0);
             d.ButtonsWentUp(HELD_MIDDLE);
         },
         0, {}, HELD_LEFT | HELD_X2},
        {"X button 1 down and up", [](FakeDesktop& d, HWND, HWND) {
             d.mouse_event(MOUSEEVENTF_XDOWN, 0, 0, XBUTTON1, 0);
             d.mouse_event(MOUSEEVENTF_XUP, 0, 0, XBUTTON1, 0);
         },
         0, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDesktop desk;
        HWND window = desk.AddWindow("Pane");
        HWND gone = desk.AddWindow("Gone");
        desk.RemoveWindow(gone);
        c.act(desk, window, gone);
        EXPECT_EQ(desk.MisdirectedCount(), c.misdirected);
        EXPECT_EQ(desk.HeldKeys(), c.keys);
        EXPECT_EQ(desk.HeldButtons(), c.buttons);
        desk.ClearLog();  // the records of one call go; what is held stays
        EXPECT_TRUE(desk.Deliveries().empty() && desk.Injections().empty() && desk.KeyEvents().empty());
        EXPECT_EQ(desk.HeldKeys(), c.keys);
    }
}

}  // namespace
