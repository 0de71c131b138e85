// The one table of the settings block's fields: where each lies, how wide it
// is, what values it takes and what a first run puts there. It is built from
// the struct the hooks read (offsetof, sizeof); the settings form takes its
// control ranges from it and the tray agent keeps, clamps and fills the block
// by it. Header-only and constexpr, so that the hook library may include it.
#pragma once

#include "function_codes.h"
#include "settings_block.h"

#include <cstddef>
#include <cstdint>

namespace ptr {

enum class FieldKind : uint8_t {
    Number,    // a value within [min, max], in steps of `step` from min
    Flag,      // 0 off, any other value on; the programs write -1
    Reserved,  // neither read by the hooks nor written by the settings form
    Function,  // a button function code; an unknown code leaves its button without a function
    Handle,    // a window of the tray agent or the settings form; never kept between runs
};

struct SettingsField {
    const char* name;
    uint32_t offset;
    uint32_t width;  // 2 or 4 bytes
    FieldKind kind;
    int32_t min;  // the range the settings form offers and the tray agent keeps
    int32_t max;
    int32_t step;
    int32_t firstRun;  // what the tray agent writes the first time (ButtonCount: the mouse's own)
};

// Universal Zoom's factor is no field of its own: it is ZoomTargetWidth /
// ZoomSourceWidth, and both targets are that factor times their sources.
constexpr int32_t kMinZoomFactor = 2;
constexpr int32_t kMaxZoomFactor = 10;

#define PTR_FIELD(field, kind, lo, hi, step, first)                                                        \
    SettingsField { #field, static_cast<uint32_t>(offsetof(SettingsBlock, field)),                          \
                    static_cast<uint32_t>(sizeof(SettingsBlock::field)), FieldKind::kind, lo, hi, step, first }
#define PTR_ANY(field, kind, first) PTR_FIELD(field, kind, INT32_MIN, INT32_MAX, 1, first)
#define PTR_FUNCTION(index)                                                                                 \
    SettingsField { "ButtonFunction" #index,                                                                \
                    static_cast<uint32_t>(offsetof(SettingsBlock, ButtonFunction) + 4 * (index)), 4,        \
                    FieldKind::Function, function::kSystemDefault, function::kHighest, 1, function::kSystemDefault }
#define PTR_HANDLE(field) PTR_FIELD(field, Handle, 0, INT32_MAX, 1, 0)

// In the block's order; the handles come last, after every field that is kept.
inline constexpr SettingsField kSettingsFields[] = {
    // ButtonCount bounds the button index the dispatcher honours: below 3 the
    // middle button's own index, above 5 buttons no mouse has would count.
    PTR_FIELD(ButtonCount, Number, 3, 5, 1, 3),
    PTR_FIELD(WheelCount, Number, 0, 2, 1, 1),
    PTR_ANY(LowLevelWheelHook, Flag, 0),
    PTR_ANY(EnhanceMode, Flag, -1),
    PTR_ANY(Reserved12, Reserved, 0),
    PTR_ANY(Reserved16, Reserved, 0),
    PTR_ANY(ReverseWheel, Flag, 0),
    PTR_ANY(WheelPageScroll, Flag, 0),
    PTR_FIELD(WheelLines, Number, 1, 10, 1, 3),
    PTR_ANY(Reserved32, Reserved, 0),
    PTR_ANY(ReverseHWheel, Flag, 0),
    PTR_ANY(HWheelPageScroll, Flag, 0),
    PTR_FIELD(HWheelLines, Number, 1, 10, 1, 3),
    PTR_ANY(UScrollVertical, Flag, -1),
    PTR_ANY(UScrollHorizontal, Flag, -1),
    PTR_ANY(UScrollReverse, Flag, 0),
    PTR_FIELD(UScrollVSpeed, Number, 1, 10, 1, 5),
    PTR_FIELD(UScrollHSpeed, Number, 1, 5, 1, 3),
    PTR_FIELD(ZoomSourceWidth, Number, 2, 64, 2, 32),
    PTR_FIELD(ZoomSourceHeight, Number, 2, 48, 2, 24),
    // The targets follow from the sources and the factor.
    PTR_ANY(ZoomTargetWidth, Number, 64),
    PTR_ANY(ZoomTargetHeight, Number, 48),
    PTR_FUNCTION(0),
    PTR_FUNCTION(1),
    PTR_FUNCTION(2),
    PTR_FUNCTION(3),
    PTR_FUNCTION(4),
    PTR_HANDLE(AgentWindow),
    PTR_HANDLE(SettingsWindow),
    PTR_HANDLE(ZoomWindow),
    PTR_HANDLE(AutoScrollWindow),
};
#undef PTR_FIELD
#undef PTR_ANY
#undef PTR_FUNCTION
#undef PTR_HANDLE

constexpr int kSettingsFieldCount = static_cast<int>(sizeof kSettingsFields / sizeof kSettingsFields[0]);

// The fields the tray agent keeps between runs: every one but the handles.
constexpr int CountKeptFields() {
    int kept = 0;
    while (kept < kSettingsFieldCount && kSettingsFields[kept].kind != FieldKind::Handle) ++kept;
    return kept;
}
constexpr int kKeptSettingsFieldCount = CountKeptFields();

constexpr bool SameName(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

constexpr int SettingsFieldIndex(const char* name) {
    for (int i = 0; i < kSettingsFieldCount; ++i)
        if (SameName(kSettingsFields[i].name, name)) return i;
    return -1;
}

constexpr const SettingsField* FindSettingsField(const char* name) {
    const int index = SettingsFieldIndex(name);
    return index < 0 ? nullptr : &kSettingsFields[index];
}

// For names known when the program is built: a name that is not in the table
// does not compile where the result is needed as a constant.
constexpr const SettingsField& SettingsFieldNamed(const char* name) { return kSettingsFields[SettingsFieldIndex(name)]; }

// The table lays the fields end to end over the whole block, in order, the
// handles last; every first-run value lies within its range.
constexpr bool FieldsTileTheBlock() {
    uint32_t next = 0;
    for (int i = 0; i < kSettingsFieldCount; ++i) {
        const SettingsField& f = kSettingsFields[i];
        if (f.offset != next || (f.width != 2 && f.width != 4) || f.offset % f.width != 0) return false;
        if (f.min > f.max || f.step < 1 || f.firstRun < f.min || f.firstRun > f.max) return false;
        if ((f.kind == FieldKind::Handle) != (i >= kKeptSettingsFieldCount)) return false;
        next = f.offset + f.width;
    }
    return next == kSettingsBlockSize;
}
static_assert(FieldsTileTheBlock(), "the field table covers the 120-byte block field by field");
static_assert(SettingsFieldNamed("ButtonFunction4").offset + 4 == offsetof(SettingsBlock, AgentWindow) &&
                  SettingsFieldIndex("ButtonFunction4") - SettingsFieldIndex("ButtonFunction0") + 1 ==
                      static_cast<int>(kButtonFunctionSlots),
              "one field per ButtonFunction element");

// A value brought into what the field takes: a number into its range and onto
// its steps, an unknown function code to 0 (System Default). Flags, reserved
// words and handles take any value.
constexpr int32_t ClampSettingsFieldValue(const SettingsField& field, int32_t value) {
    if (field.kind == FieldKind::Function) return function::IsKnown(value) ? value : function::kSystemDefault;
    if (field.kind != FieldKind::Number) return value;
    int32_t clamped = value < field.min ? field.min : value > field.max ? field.max : value;
    if (field.step > 1) clamped -= (clamped - field.min) % field.step;  // down, and so still in range
    return clamped;
}

// Reads a field as a signed 32-bit value (16-bit fields are unsigned). Each
// field is read and written as the one aligned word it is, as the hooks
// expect of every store into the live block.
inline int32_t ReadSettingsField(const SettingsBlock& block, const SettingsField& field) {
    const unsigned char* base = reinterpret_cast<const unsigned char*>(&block) + field.offset;
    if (field.width == 2) return *reinterpret_cast<const uint16_t*>(base);
    return *reinterpret_cast<const int32_t*>(base);
}

inline void WriteSettingsField(SettingsBlock& block, const SettingsField& field, int32_t value) {
    unsigned char* base = reinterpret_cast<unsigned char*>(&block) + field.offset;
    if (field.width == 2) {
        *reinterpret_cast<uint16_t*>(base) = static_cast<uint16_t>(value);
    } else {
        *reinterpret_cast<int32_t*>(base) = value;
    }
}

// The first-run value of every field but the handles, which stay as they are.
inline void WriteFirstRunFields(SettingsBlock& block) {
    for (int i = 0; i < kKeptSettingsFieldCount; ++i)
        WriteSettingsField(block, kSettingsFields[i], kSettingsFields[i].firstRun);
}

}  // namespace ptr
