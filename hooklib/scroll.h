// Scroll method codes: low word the vertical method, high word the horizontal.
#pragma once

#include <cstdint>

namespace ptr {

constexpr uint32_t SCROLL_V_NONE = 1;
constexpr uint32_t SCROLL_V_WINDOW = 2;
constexpr uint32_t SCROLL_V_WHEEL = 4;
constexpr uint32_t SCROLL_V_BARCONTROL = 8;
constexpr uint32_t SCROLL_V_KEYS = 16;
constexpr uint32_t SCROLL_H_NONE = 0x10000;
constexpr uint32_t SCROLL_H_WINDOW = 0x20000;
constexpr uint32_t SCROLL_H_BARCONTROL = 0x40000;
constexpr uint32_t SCROLL_H_KEYS = 0x80000;

constexpr uint32_t VerticalMethod(uint32_t code) { return code & 0xFFFFu; }
constexpr uint32_t HorizontalMethod(uint32_t code) { return code & 0xFFFF0000u; }

}  // namespace ptr
