// The fields of the settings block by name, for programs that read, write or
// keep the block (the tray agent's saved configuration, test tools).
#pragma once

#include "settings_block.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace ptr {

struct SettingsField {
    const char* name;
    uint32_t offset;
    uint32_t width;  // 2 or 4 bytes
    bool isHandle;   // a window handle of the tray agent or the settings form
};

#define PTR_FIELD(name) {#name, offsetof(SettingsBlock, name), sizeof(SettingsBlock::name), false}
#define PTR_HANDLE(name) {#name, offsetof(SettingsBlock, name), sizeof(SettingsBlock::name), true}
constexpr SettingsField kSettingsFields[] = {
    PTR_FIELD(ButtonCount),      PTR_FIELD(WheelCount),       PTR_FIELD(LowLevelWheelHook),
    PTR_FIELD(EnhanceMode),      PTR_FIELD(Reserved12),       PTR_FIELD(Reserved16),
    PTR_FIELD(ReverseWheel),     PTR_FIELD(WheelPageScroll),  PTR_FIELD(WheelLines),
    PTR_FIELD(Reserved32),       PTR_FIELD(ReverseHWheel),    PTR_FIELD(HWheelPageScroll),
    PTR_FIELD(HWheelLines),      PTR_FIELD(UScrollVertical),  PTR_FIELD(UScrollHorizontal),
    PTR_FIELD(UScrollReverse),   PTR_FIELD(UScrollVSpeed),    PTR_FIELD(UScrollHSpeed),
    PTR_FIELD(ZoomSourceWidth),  PTR_FIELD(ZoomSourceHeight), PTR_FIELD(ZoomTargetWidth),
    PTR_FIELD(ZoomTargetHeight),
    {"ButtonFunction0", 84, 4, false}, {"ButtonFunction1", 88, 4, false}, {"ButtonFunction2", 92, 4, false},
    {"ButtonFunction3", 96, 4, false}, {"ButtonFunction4", 100, 4, false},
    PTR_HANDLE(AgentWindow),     PTR_HANDLE(SettingsWindow),  PTR_HANDLE(ZoomWindow),
    PTR_HANDLE(AutoScrollWindow),
};
#undef PTR_FIELD
#undef PTR_HANDLE

inline const SettingsField* FindSettingsField(const char* name) {
    for (const SettingsField& f : kSettingsFields)
        if (std::strcmp(f.name, name) == 0) return &f;
    return nullptr;
}

// Reads a field as a signed 32-bit value (16-bit fields are unsigned).
inline int32_t ReadSettingsField(const SettingsBlock& block, const SettingsField& field) {
    const unsigned char* base = reinterpret_cast<const unsigned char*>(&block) + field.offset;
    if (field.width == 2) {
        uint16_t v;
        std::memcpy(&v, base, 2);
        return v;
    }
    int32_t v;
    std::memcpy(&v, base, 4);
    return v;
}

inline void WriteSettingsField(SettingsBlock& block, const SettingsField& field, int32_t value) {
    unsigned char* base = reinterpret_cast<unsigned char*>(&block) + field.offset;
    if (field.width == 2) {
        uint16_t v = static_cast<uint16_t>(value);
        std::memcpy(base, &v, 2);
    } else {
        std::memcpy(base, &value, 4);
    }
}

// Writes "FIELD=VALUE FIELD=VALUE ..." into the block (values in C notation).
// Stops at the first unknown field and returns its name; "" when all were written.
inline std::string WriteSettingsFields(SettingsBlock& block, const std::string& text) {
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        const std::string item = text.substr(at, end - at);
        at = end + 1;
        const size_t eq = item.find('=');
        if (eq == std::string::npos) continue;
        const std::string name = item.substr(0, eq);
        const SettingsField* field = FindSettingsField(name.c_str());
        if (!field) return name;
        WriteSettingsField(block, *field, static_cast<int32_t>(std::strtoll(item.c_str() + eq + 1, nullptr, 0)));
    }
    return "";
}

}  // namespace ptr
