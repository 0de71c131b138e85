// Expected logs of the scrolling tests, written as steps that repeat a group
// of entries, so a table row reads "273 line-up messages, then the end".
#pragma once

#include "fake_desktop.h"

#include <string>
#include <vector>

namespace ptr::fake {

struct Step {
    Log entries;
    int times = 1;
};

inline Step Once(const std::string& entry) { return {{entry}, 1}; }
inline Step Times(int times, const std::string& entry) { return {{entry}, times}; }

// A posted keystroke as the fake sees it: the fake's scan code is the key
// code plus 0x80; repeat 1 and the extended bit, and on the release also the
// previous-state and transition bits.
inline std::string KeyDownPost(HWND window, BYTE vk) {
    uint32_t scan = (vk + 0x80u) & 0xFFu;
    return Post(window, WM_KEYDOWN, vk, static_cast<LPARAM>(0x01000001u | (scan << 16)));
}
inline std::string KeyUpPost(HWND window, BYTE vk) {
    uint32_t scan = (vk + 0x80u) & 0xFFu;
    return Post(window, WM_KEYUP, vk, static_cast<LPARAM>(0xC1000001u | (scan << 16)));
}
inline Step Strokes(int times, HWND window, BYTE vk) { return {{KeyDownPost(window, vk), KeyUpPost(window, vk)}, times}; }

inline Log Expand(const std::vector<Step>& steps) {
    Log log;
    for (const Step& step : steps)
        for (int i = 0; i < step.times; ++i) log.insert(log.end(), step.entries.begin(), step.entries.end());
    return log;
}

inline HWND Handle(uintptr_t value) { return reinterpret_cast<HWND>(value); }

}  // namespace ptr::fake
