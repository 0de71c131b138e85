#include "agent_logic.h"

#include "ptrhk32a.h"
#include "settings_fields.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstddef>
#include <cstring>

namespace agent {

using ptr::SettingsBlock;

#define KEPT(name, lo, hi, even) \
    {#name, offsetof(SettingsBlock, name), sizeof(SettingsBlock::name), lo, hi, even, false}
#define KEPT_ANY(name) KEPT(name, INT32_MIN, INT32_MAX, false)
#define KEPT_FUNCTION(index)                                                                            \
    {"ButtonFunction" #index, static_cast<uint32_t>(offsetof(SettingsBlock, ButtonFunction) + 4 * index), 4, \
     INT32_MIN, INT32_MAX, false, true}
const KeptField kKeptFields[] = {
    // ButtonCount bounds the button index the dispatcher honours: below 3 the
    // middle button's own index, above 5 buttons no mouse has would count.
    KEPT(ButtonCount, 3, 5, false),
    KEPT(WheelCount, 0, 2, false),
    KEPT_ANY(LowLevelWheelHook),
    KEPT_ANY(EnhanceMode),
    KEPT_ANY(Reserved12),
    KEPT_ANY(Reserved16),
    KEPT_ANY(ReverseWheel),
    KEPT_ANY(WheelPageScroll),
    KEPT(WheelLines, 1, 10, false),
    KEPT_ANY(Reserved32),
    KEPT_ANY(ReverseHWheel),
    KEPT_ANY(HWheelPageScroll),
    KEPT(HWheelLines, 1, 10, false),
    KEPT_ANY(UScrollVertical),
    KEPT_ANY(UScrollHorizontal),
    KEPT_ANY(UScrollReverse),
    KEPT(UScrollVSpeed, 1, 10, false),
    KEPT(UScrollHSpeed, 1, 5, false),
    KEPT(ZoomSourceWidth, 2, 64, true),
    KEPT(ZoomSourceHeight, 2, 48, true),
    // The targets follow from the sources and the factor (ClampConfiguration).
    KEPT_ANY(ZoomTargetWidth),
    KEPT_ANY(ZoomTargetHeight),
    KEPT_FUNCTION(0),
    KEPT_FUNCTION(1),
    KEPT_FUNCTION(2),
    KEPT_FUNCTION(3),
    KEPT_FUNCTION(4),
};
#undef KEPT
#undef KEPT_ANY
#undef KEPT_FUNCTION
const int kKeptFieldCount = static_cast<int>(sizeof(kKeptFields) / sizeof(kKeptFields[0]));

const KeptField* FindKeptField(const char* name) {
    for (int i = 0; i < kKeptFieldCount; ++i)
        if (std::strcmp(kKeptFields[i].name, name) == 0) return &kKeptFields[i];
    return nullptr;
}

// The kept fields are block fields with ranges; reading and writing them is
// the block's own field access.
static ptr::SettingsField AsSettingsField(const KeptField& field) {
    return ptr::SettingsField{field.name, field.offset, field.width, false};
}

int32_t ReadKeptField(const SettingsBlock& block, const KeptField& field) {
    return ptr::ReadSettingsField(block, AsSettingsField(field));
}

void WriteKeptField(SettingsBlock& block, const KeptField& field, int32_t value) {
    ptr::WriteSettingsField(block, AsSettingsField(field), value);
}

int32_t ClampKeptValue(const KeptField& field, int32_t value) {
    if (field.function) return IsKnownFunctionCode(value) ? value : 0;
    int32_t clamped = std::min(std::max(value, field.min), field.max);
    if (field.even && clamped % 2 != 0) --clamped;  // min is even, so rounding down stays in range
    return clamped;
}

int ButtonCountFromSystem(int systemButtons) { return std::min(std::max(systemButtons, 3), 5); }

bool IsKnownFunctionCode(int32_t code) {
    static const struct {
        int32_t first;
        int32_t last;
    } kRanges[] = {{0, 29}, {40, 56}, {60, 62}, {70, 73}, {100, 103}, {151, 151}};
    for (const auto& range : kRanges)
        if (code >= range.first && code <= range.last) return true;
    return false;
}

void SetDefaultConfiguration(SettingsBlock& block, int systemButtons) {
    const uint32_t handles[] = {block.AgentWindow, block.SettingsWindow, block.ZoomWindow, block.AutoScrollWindow};
    std::memset(&block, 0, sizeof block);
    block.AgentWindow = handles[0];
    block.SettingsWindow = handles[1];
    block.ZoomWindow = handles[2];
    block.AutoScrollWindow = handles[3];

    block.ButtonCount = static_cast<uint16_t>(ButtonCountFromSystem(systemButtons));
    block.WheelCount = 1;
    block.EnhanceMode = -1;
    block.WheelLines = 3;
    block.HWheelLines = 3;
    block.UScrollVertical = -1;
    block.UScrollHorizontal = -1;
    block.UScrollVSpeed = 5;
    block.UScrollHSpeed = 3;
    block.ZoomSourceWidth = 32;
    block.ZoomSourceHeight = 24;
    block.ZoomTargetWidth = 64;
    block.ZoomTargetHeight = 48;
}

void ClampConfiguration(SettingsBlock& block) {
    for (int i = 0; i < kKeptFieldCount; ++i)
        WriteKeptField(block, kKeptFields[i], ClampKeptValue(kKeptFields[i], ReadKeptField(block, kKeptFields[i])));
    SetZoomFactor(block, ZoomFactor(block));
}

void LoadConfiguration(SettingsBlock& block, int systemButtons, const KeptValueLookup& lookup) {
    SetDefaultConfiguration(block, systemButtons);
    for (int i = 0; i < kKeptFieldCount; ++i) {
        int32_t value = 0;
        // Clamped before it is written: a 16-bit field would otherwise wrap.
        if (lookup(kKeptFields[i].name, value)) WriteKeptField(block, kKeptFields[i], ClampKeptValue(kKeptFields[i], value));
    }
    ClampConfiguration(block);
}

std::string DescribeConfiguration(const SettingsBlock& block) {
    std::string text;
    for (int i = 0; i < kKeptFieldCount; ++i) {
        if (!text.empty()) text += ' ';
        text += kKeptFields[i].name;
        text += '=';
        text += std::to_string(ReadKeptField(block, kKeptFields[i]));
    }
    return text;
}

int AutoScrollLines(int distance) {
    const long long magnitude = distance < 0 ? -static_cast<long long>(distance) : distance;
    if (magnitude <= kAutoScrollDeadZone) return 0;
    const long long lines = std::min<long long>((magnitude - kAutoScrollDeadZone) / kAutoScrollPixelsPerLine + 1,
                                                kAutoScrollMaxLines);
    return static_cast<int>(distance < 0 ? -lines : lines);
}

int ZoomFactor(const SettingsBlock& block) {
    const int factor = block.ZoomSourceWidth > 0 ? block.ZoomTargetWidth / block.ZoomSourceWidth : kMinZoomFactor;
    return std::min(std::max(factor, kMinZoomFactor), kMaxZoomFactor);
}

int SteppedZoomFactor(int factor, int32_t wheelDelta) {
    if (wheelDelta > 0) ++factor;
    if (wheelDelta < 0) --factor;
    return std::min(std::max(factor, kMinZoomFactor), kMaxZoomFactor);
}

void SetZoomFactor(SettingsBlock& block, int factor) {
    // Each target is one aligned word; the hooks may read one before the other.
    block.ZoomTargetWidth = factor * block.ZoomSourceWidth;
    block.ZoomTargetHeight = factor * block.ZoomSourceHeight;
}

Point MagnifierOrigin(Point cursor, int sourceWidth, int sourceHeight, int width, int height, Rect screen) {
    constexpr int kGap = 16;
    Point origin{cursor.x + sourceWidth / 2 + kGap, cursor.y + sourceHeight / 2 + kGap};
    if (origin.x + width > screen.right) origin.x = cursor.x - sourceWidth / 2 - kGap - width;
    if (origin.y + height > screen.bottom) origin.y = cursor.y - sourceHeight / 2 - kGap - height;
    return origin;
}

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    const size_t length = std::strlen(prefix);
    if (text.size() < length) return false;
    for (size_t i = 0; i < length; ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

}  // namespace

bool IsUsableWebAddress(const std::string& address) {
    for (char c : address)
        if (static_cast<unsigned char>(c) <= ' ') return false;  // blanks and control characters
    static const char* const kStarts[] = {"http://", "https://", "ftp://", "www."};
    for (const char* start : kStarts)
        if (StartsWithNoCase(address, start)) return address.size() > std::strlen(start);
    return false;
}

std::string WebAddressToOpen(const std::string& address) {
    if (!IsUsableWebAddress(address)) return std::string();
    return StartsWithNoCase(address, "www.") ? "http://" + address : address;
}

int WebAddressOffset(int slot) {
    if (slot < 0 || slot >= kWebAddressSlots) return -1;
    return 516 + slot * static_cast<int>(kShortStringSize);
}

std::string ReadShortString(const unsigned char* field) {
    return std::string(reinterpret_cast<const char*>(field + 1), field[0]);
}

void WriteShortString(unsigned char* field, const std::string& text) {
    const size_t length = std::min<size_t>(text.size(), kShortStringSize - 1);
    field[0] = static_cast<unsigned char>(length);
    std::memcpy(field + 1, text.data(), length);
}

bool IsWindows95(unsigned long platformId, unsigned long major, unsigned long minor) {
    return platformId == 1 && major == 4 && minor == 0;
}

uint32_t RequiredHooks(unsigned long platformId, unsigned long major, bool nt4WheelHook) {
    uint32_t hooks = HOOK_STATUS_MOUSE | HOOK_STATUS_MSGFILTER;
    if (platformId != VER_PLATFORM_WIN32_NT) return hooks;
    if (major <= 4) return nt4WheelHook ? hooks | HOOK_STATUS_NT4_WHEEL : hooks;
    return hooks | HOOK_STATUS_XBUTTON;
}

}  // namespace agent
