// The shared settings block "KSV_PTRHK32A_3": the whole live configuration,
// written by the tray agent and the settings program, read by the hooks on
// every mouse message. Layout is fixed at 120 bytes in every build; the
// fields by name, with their ranges, are in settings_fields.h.
#pragma once

#include "function_codes.h"

#include <cstddef>
#include <cstdint>

namespace ptr {

constexpr char kSettingsBlockName[] = "KSV_PTRHK32A_3";
constexpr uint32_t kSettingsBlockSize = 120;

struct SettingsBlock {
    uint16_t ButtonCount;
    uint16_t WheelCount;
    int32_t LowLevelWheelHook;
    int32_t EnhanceMode;
    int32_t Reserved12;
    int32_t Reserved16;
    int32_t ReverseWheel;
    int32_t WheelPageScroll;
    int32_t WheelLines;
    int32_t Reserved32;
    int32_t ReverseHWheel;
    int32_t HWheelPageScroll;
    int32_t HWheelLines;
    int32_t UScrollVertical;
    int32_t UScrollHorizontal;
    int32_t UScrollReverse;
    int32_t UScrollVSpeed;
    int32_t UScrollHSpeed;
    int32_t ZoomSourceWidth;
    int32_t ZoomSourceHeight;
    int32_t ZoomTargetWidth;
    int32_t ZoomTargetHeight;
    int32_t ButtonFunction[5];
    uint32_t AgentWindow;
    uint32_t SettingsWindow;
    uint32_t ZoomWindow;
    uint32_t AutoScrollWindow;
};

static_assert(offsetof(SettingsBlock, ButtonCount) == 0, "layout");
static_assert(offsetof(SettingsBlock, WheelCount) == 2, "layout");
static_assert(offsetof(SettingsBlock, LowLevelWheelHook) == 4, "layout");
static_assert(offsetof(SettingsBlock, EnhanceMode) == 8, "layout");
static_assert(offsetof(SettingsBlock, Reserved12) == 12, "layout");
static_assert(offsetof(SettingsBlock, Reserved16) == 16, "layout");
static_assert(offsetof(SettingsBlock, ReverseWheel) == 20, "layout");
static_assert(offsetof(SettingsBlock, WheelPageScroll) == 24, "layout");
static_assert(offsetof(SettingsBlock, WheelLines) == 28, "layout");
static_assert(offsetof(SettingsBlock, Reserved32) == 32, "layout");
static_assert(offsetof(SettingsBlock, ReverseHWheel) == 36, "layout");
static_assert(offsetof(SettingsBlock, HWheelPageScroll) == 40, "layout");
static_assert(offsetof(SettingsBlock, HWheelLines) == 44, "layout");
static_assert(offsetof(SettingsBlock, UScrollVertical) == 48, "layout");
static_assert(offsetof(SettingsBlock, UScrollHorizontal) == 52, "layout");
static_assert(offsetof(SettingsBlock, UScrollReverse) == 56, "layout");
static_assert(offsetof(SettingsBlock, UScrollVSpeed) == 60, "layout");
static_assert(offsetof(SettingsBlock, UScrollHSpeed) == 64, "layout");
static_assert(offsetof(SettingsBlock, ZoomSourceWidth) == 68, "layout");
static_assert(offsetof(SettingsBlock, ZoomSourceHeight) == 72, "layout");
static_assert(offsetof(SettingsBlock, ZoomTargetWidth) == 76, "layout");
static_assert(offsetof(SettingsBlock, ZoomTargetHeight) == 80, "layout");
static_assert(offsetof(SettingsBlock, ButtonFunction) == 84, "layout");
static_assert(offsetof(SettingsBlock, AgentWindow) == 104, "layout");
static_assert(offsetof(SettingsBlock, SettingsWindow) == 108, "layout");
static_assert(offsetof(SettingsBlock, ZoomWindow) == 112, "layout");
static_assert(offsetof(SettingsBlock, AutoScrollWindow) == 116, "layout");
static_assert(sizeof(SettingsBlock) == kSettingsBlockSize, "the block is 120 bytes");

// Number of ButtonFunction elements; a button index at or past it is never honoured.
constexpr uint32_t kButtonFunctionSlots = 5;

// Private window messages (WM_USER = 0x400).
constexpr unsigned UM_SETTINGSCHANGED = 0x400 + 1001;
constexpr unsigned UM_MODESTATE = 0x400 + 1102;
constexpr unsigned UM_MODEEND = 0x400 + 1103;
constexpr unsigned UM_ZOOMSTART = 0x400 + 1104;
constexpr unsigned UM_ZOOMEND = 0x400 + 1105;
constexpr unsigned UM_ZOOMWHEEL = 0x400 + 1106;
constexpr unsigned UM_AUTOSCROLLSTART = 0x400 + 1107;
constexpr unsigned UM_AUTOSCROLLEND = 0x400 + 1108;
constexpr unsigned UM_LAUNCHBROWSER = 0x400 + 1109;
constexpr unsigned UM_CONNECTINTERNET = 0x400 + 1110;
constexpr unsigned UM_LAUNCHMAIL = 0x400 + 1111;
// The 64-bit host to the tray agent's window, once its hooks are in (or not):
// wParam the host library's GetHookStatus bits. Beside UM_PROGRAMSKEPT
// (programs_block.h), clear of the hooks' own messages.
constexpr unsigned UM_HOSTHOOKS = 0x400 + 1202;

static_assert(UM_SETTINGSCHANGED == 2025 && UM_MODESTATE == 2126 && UM_LAUNCHMAIL == 2135,
              "message numbers are part of the contract with the tray agent");

// Status texts the tray agent shows for a mode announced by UM_MODESTATE.
inline const char* ModeStatusText(unsigned mode) {
    switch (mode) {
    case function::kDragLock: return "Drag Lock Active";
    case function::kShiftLock: return "Shift Locked";
    case function::kControlLock: return "Control Locked";
    case function::kHorizontalWheel: return "Horizontal Wheel";
    case function::kUniversalScroll: return "Scroll Active";
    default: return nullptr;
    }
}

}  // namespace ptr
