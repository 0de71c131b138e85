// A small desktop for the mouse input path: the tray agent's windows, a
// top-level frame with an edit child under the cursor, and builders for the
// raw mouse events the hook receives.
#pragma once

#include "fake_desktop.h"
#include "markers.h"
#include "mouse_proc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace ptr::scene {

// Far from every window: the wheel router finds nothing to scroll there.
constexpr POINT kAway = {3000, 3000};

struct Event {
    UINT message;
    uint64_t extra = 0;  // dwExtraInfo; only its low 32 bits count
    DWORD mouseData = 0;
    POINT pt = kAway;
};

inline Event Press(uint16_t index = 0) { return {WM_MBUTTONDOWN, index}; }
inline Event RunRelease() { return {WM_MBUTTONUP, ExtraInfo(MARK_RUN)}; }
inline Event UserRelease() { return {WM_MBUTTONUP, 0}; }
inline Event Button(UINT message, uint32_t extra = 0) { return {message, extra}; }

// A wheel notch as the given Windows version delivers it to the hook.
inline Event Wheel(int32_t os, int16_t delta) {
    uint16_t raw = static_cast<uint16_t>(delta);
    if (os == OS_WIN95) return {WM_MBUTTONUP, ExtraInfo(MARK_WHEEL, raw)};
    if (os == OS_WIN2000 || os == OS_WINXP) return {WM_MOUSEWHEEL, 0, static_cast<DWORD>(raw) << 16};
    return {WM_MOUSEWHEEL, raw};
}

struct Scene {
    fake::FakeHook h;
    HWND agent = nullptr;
    HWND zoom = nullptr;
    HWND top = nullptr;
    HWND child = nullptr;
    HWND elsewhere = nullptr;

    explicit Scene(int32_t os = OS_WINXP) {
        h.UseDefaultBlock();
        h.SetOs(os);
        h.hooks.MouseHook = 0x5550;
        agent = h.desk.AddWindow("PtrAgentWindow", 0);
        zoom = h.desk.AddWindow("PtrZoomWindow", 0);
        top = h.desk.AddWindow("MainFrame", WS_VISIBLE | WS_OVERLAPPEDWINDOW, {0, 0, 400, 300});
        child = h.desk.AddWindow("Edit", WS_VISIBLE | WS_CHILD, {10, 10, 390, 290}, top);
        elsewhere = h.desk.AddWindow("Notepad", WS_VISIBLE | WS_OVERLAPPEDWINDOW, {500, 0, 900, 300});
        h.block.AgentWindow = FromHwnd(agent);
        h.block.ZoomWindow = FromHwnd(zoom);
    }

    HookContext& ctx() { return h.ctx; }
    const fake::Log& log() const { return h.desk.log(); }

    // Runs the event through the hook; true when it was swallowed. Fails the
    // test when a swallowed event was passed on as well, or when the
    // structure was touched.
    bool Hook(const Event& event, int code = HC_ACTION) {
        MOUSEHOOKSTRUCTEX data = {};
        data.pt = event.pt;
        data.hwnd = child;
        data.wHitTestCode = HTCLIENT;
        data.dwExtraInfo = static_cast<ULONG_PTR>(event.extra);
        data.mouseData = event.mouseData;
        MOUSEHOOKSTRUCTEX before = data;
        int calls = h.desk.CallNextCount();
        LRESULT result = MouseHook(h.ctx, code, event.message, reinterpret_cast<LPARAM>(&data));
        EXPECT_EQ(0, std::memcmp(&before, &data, sizeof data)) << "the hook changed the structure";
        bool passed = h.desk.CallNextCount() == calls + 1;
        EXPECT_TRUE(passed || h.desk.CallNextCount() == calls);
        if (passed) {
            EXPECT_EQ(result, 0) << "the fake's next hook answers 0";
            EXPECT_EQ(h.desk.LastCallNext().wParam, event.message) << "passed on with another identifier";
            EXPECT_EQ(h.desk.LastCallNext().lParam, reinterpret_cast<LPARAM>(&data));
            EXPECT_EQ(h.desk.LastCallNext().code, code);
            EXPECT_EQ(h.desk.LastCallNext().hook, ToHhook(h.hooks.MouseHook));
            return false;
        }
        EXPECT_EQ(result, 1);
        return true;
    }
};

// One event of a scripted sequence and what it must do.
constexpr int kAnyDelta = 0x7FFFFFFF;

struct Step {
    Event event;
    bool swallowed;
    fake::Log entries;  // logged by this event alone, in order
    uint32_t modeAfter;
    int deltaAfter = kAnyDelta;  // WheelDelta after the event, when checked
};

inline void ExpectSteps(Scene& scene, const std::vector<Step>& steps) {
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE("step " + std::to_string(i + 1) + " " + fake::MessageName(steps[i].event.message));
        scene.h.desk.ClearLog();
        bool swallowed = scene.Hook(steps[i].event);
        EXPECT_EQ(swallowed, steps[i].swallowed);
        EXPECT_EQ(scene.log(), steps[i].entries);
        EXPECT_EQ(scene.h.shared.Mode, steps[i].modeAfter);
        if (steps[i].deltaAfter != kAnyDelta) {
            EXPECT_EQ(scene.h.ctx.wheel.Delta, steps[i].deltaAfter);
        }
    }
}

}  // namespace ptr::scene
