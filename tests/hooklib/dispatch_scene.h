// The dispatcher's desk: the mouse scene with the window a press is for and
// the top-level window it brings forward, and builders of the entries that a
// press, a marked release and the functions they run leave in the log.
#pragma once

#include "dispatcher.h"
#include "markers.h"
#include "mouse_scene.h"

#include <functional>
#include <initializer_list>
#include <string>

namespace ptr::scene {

// The scene plus the window the dispatcher is handed and any windows a case adds.
struct Desk : Scene {
    explicit Desk(int32_t os = OS_WINXP) : Scene(os), target(child), raised(top) {}
    HWND target;
    HWND raised;  // the top-level window a press on target brings forward
    HWND made[3] = {};
};

using Entries = std::function<fake::Log(const Desk&)>;
using Arrange = std::function<void(Desk&)>;

constexpr uint32_t kRunExtra = 0x00010000;
constexpr uint32_t kPassExtra = 0x00030000;
constexpr int kX = 120;
constexpr int kY = 80;

inline int DispatchTo(Desk& d, UINT message, uint16_t marker = MARK_NONE, uint16_t index = 0) {
    return Dispatch(d.ctx(), d.target, message, kX, kY, marker, index);
}

inline fake::Log PressEntries(const Desk& d) {
    return {fake::Foreground(d.top), fake::Mouse(MOUSEEVENTF_MIDDLEUP, 0, kRunExtra)};
}

inline fake::Log Tap(BYTE vk) { return {fake::KeyDown(vk), fake::KeyUp(vk)}; }

inline fake::Log Cat(std::initializer_list<fake::Log> parts) {
    fake::Log all;
    for (const fake::Log& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline Entries KeyPress(BYTE vk) {
    return [vk](const Desk& d) { return Cat({{fake::Focus(d.target)}, Tap(vk)}); };
}

inline Entries CtrlKey(BYTE vk) {
    return [vk](const Desk& d) {
        return Cat({{fake::Focus(d.target), fake::KeyDown(VK_CONTROL)}, Tap(vk), {fake::KeyUp(VK_CONTROL)}});
    };
}

inline Entries WinKey(BYTE modifier, BYTE vk) {
    return [modifier, vk](const Desk&) {
        fake::Log down = {fake::Key(VK_LWIN, KEYEVENTF_EXTENDEDKEY)};
        if (modifier) down.push_back(fake::KeyDown(modifier));
        fake::Log up;
        if (modifier) up.push_back(fake::KeyUp(modifier));
        up.push_back(fake::Key(VK_LWIN, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP));
        return Cat({down, Tap(vk), up});
    };
}

inline Entries Nothing() {
    return [](const Desk&) { return fake::Log{}; };
}

inline Entries Entry(std::function<std::string(const Desk&)> entry) {
    return [entry](const Desk& d) { return fake::Log{entry(d)}; };
}

// A middle click the suite makes at a marked release: whole, press and release.
inline fake::Log MiddleClickEntries() {
    return {fake::Mouse(MOUSEEVENTF_MIDDLEDOWN, 0, kPassExtra), fake::Mouse(MOUSEEVENTF_MIDDLEUP, 0, kPassExtra)};
}

}  // namespace ptr::scene
