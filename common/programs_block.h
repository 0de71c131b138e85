// The programs block "PTRHK32A_3_PROG": the settings of their own that
// programs chosen by the user carry (button functions, wheel mode and
// speed), one entry per program file name. The tray agent creates and fills
// it from what it keeps; the settings program edits it live; the hooks map it
// read-only and lay a program's own fields over the settings block for each
// action in that program. A field an entry does not hold comes from the
// settings block.
//
// Layout, little-endian, the same in every build (offsets in bytes):
//
//   0   u32  Size        12320, the whole block
//   4   u32  Version     1
//   8   u32  Generation  odd while a writer changes the block, even otherwise
//   12  u32  Count       entries in use, 0 to 64
//   16  u32  EntrySize   192
//   20  u32  MaxEntries  64
//   24  u32  Reserved    x 2
//   32  entries, 192 bytes each:
//       0   char[64]  Name       the program's file name ("notepad.exe"), zero-terminated
//       64  u32       FieldMask  bit i set: field i of the field table is the program's own
//       68  u32       Reserved
//       72  120 bytes Values     the program's own values, each at its offset in the settings block
//
// A block whose Size, Version, EntrySize or MaxEntries differ from these is
// of another layout and is not read at all. Header-only and constexpr, so
// that the hook library includes it.
#pragma once

#include "settings_block.h"
#include "settings_fields.h"

#include <cstddef>
#include <cstdint>

namespace ptr {

constexpr char kProgramsBlockName[] = "PTRHK32A_3_PROG";
constexpr uint32_t kProgramsBlockVersion = 1;
constexpr int kMaxPrograms = 64;
// A name's bytes with its terminating zero: program file names of at most 63 characters.
constexpr uint32_t kProgramNameSize = 64;
constexpr uint32_t kMaxProgramNameLength = kProgramNameSize - 1;

// The writers of the block (the tray agent, the settings program) write it
// one at a time, and read it whole, holding this named mutex. The hooks
// never take it: they read by the generation alone.
constexpr char kProgramsLockName[] = "PTRHK32A_3_PROG_LOCK";

// Posted by the tray agent to the settings form (SettingsWindow) when it has
// rewritten the programs block on its own (programs kept meanwhile joined it
// at an Apply, or the kept settings were read again): what the block holds
// now is what is kept.
constexpr unsigned UM_PROGRAMSKEPT = 0x400 + 1201;

struct ProgramEntry {
    char Name[kProgramNameSize];
    uint32_t FieldMask;
    uint32_t Reserved;
    SettingsBlock Values;
};

struct ProgramsHeader {
    uint32_t Size;
    uint32_t Version;
    uint32_t Generation;
    uint32_t Count;
    uint32_t EntrySize;
    uint32_t MaxEntries;
    uint32_t Reserved[2];
};

struct ProgramsBlock {
    ProgramsHeader Header;
    ProgramEntry Entries[kMaxPrograms];
};

static_assert(offsetof(ProgramEntry, FieldMask) == 64 && offsetof(ProgramEntry, Values) == 72, "layout");
static_assert(sizeof(ProgramEntry) == 192, "an entry is 192 bytes");
static_assert(offsetof(ProgramsHeader, Generation) == 8 && offsetof(ProgramsHeader, Count) == 12, "layout");
static_assert(sizeof(ProgramsHeader) == 32, "the header is 32 bytes");
static_assert(offsetof(ProgramsBlock, Entries) == 32, "layout");
constexpr uint32_t kProgramsBlockSize = sizeof(ProgramsBlock);
static_assert(kProgramsBlockSize == 12320, "the programs block is 12320 bytes");

// The fields a program may hold of its own, by their names in the field
// table: what makes the buttons and the wheel behave differently in it.
inline constexpr const char* kProgramFieldNames[] = {
    "EnhanceMode",     "WheelPageScroll", "WheelLines",      "HWheelPageScroll", "HWheelLines",
    "ButtonFunction0", "ButtonFunction1", "ButtonFunction2", "ButtonFunction3",  "ButtonFunction4",
};
constexpr int kProgramFieldCount = static_cast<int>(sizeof kProgramFieldNames / sizeof kProgramFieldNames[0]);

static_assert(kSettingsFieldCount <= 32, "one bit of FieldMask per field of the table");

// The bit of a field in FieldMask: 1 << its index in the field table.
constexpr uint32_t FieldBit(const char* name) { return 1u << SettingsFieldIndex(name); }

constexpr uint32_t MakeProgramFieldMask() {
    uint32_t mask = 0;
    for (const char* name : kProgramFieldNames) mask |= FieldBit(name);
    return mask;
}
constexpr uint32_t kProgramFieldMask = MakeProgramFieldMask();

// The program fields' table rows, copied so that reading them does not
// bring the whole table into the hook library.
struct ProgramFieldTable {
    SettingsField fields[kProgramFieldCount];
    uint32_t bits[kProgramFieldCount];
};

constexpr ProgramFieldTable MakeProgramFieldTable() {
    ProgramFieldTable table{};
    for (int i = 0; i < kProgramFieldCount; ++i) {
        table.fields[i] = kSettingsFields[SettingsFieldIndex(kProgramFieldNames[i])];
        table.bits[i] = FieldBit(kProgramFieldNames[i]);
    }
    return table;
}
inline constexpr ProgramFieldTable kProgramFields = MakeProgramFieldTable();

// The bits are the rows of the table; a change of the table's order is a new
// layout of this block.
static_assert(FieldBit("EnhanceMode") == 1u << 3 && FieldBit("WheelLines") == 1u << 8 &&
                  FieldBit("HWheelLines") == 1u << 12 && FieldBit("ButtonFunction0") == 1u << 22 &&
                  FieldBit("ButtonFunction4") == 1u << 26,
              "FieldMask bits of version 1");
static_assert(kProgramFieldMask == 0x07C01988u, "the program fields of version 1");

// Whether the block is of this layout.
inline bool IsProgramsLayout(const ProgramsHeader& header) {
    return header.Size == kProgramsBlockSize && header.Version == kProgramsBlockVersion &&
           header.EntrySize == sizeof(ProgramEntry) && header.MaxEntries == static_cast<uint32_t>(kMaxPrograms);
}

inline void InitProgramsHeader(ProgramsHeader& header) {
    header.Size = kProgramsBlockSize;
    header.Version = kProgramsBlockVersion;
    header.EntrySize = sizeof(ProgramEntry);
    header.MaxEntries = kMaxPrograms;
}

// Readers take the generation before and after they read entries; the
// entries they read are whole when both readings are the same even number.
// Writers make it odd while they change anything; a writer that died in the
// middle leaves it odd until the next writer writes the block whole. Each reading and writing
// is one aligned word; the fences keep the compiler and the processor from
// moving the entries' reads and writes across them.
inline uint32_t ReadGenerationBefore(const ProgramsHeader& header) {
    return __atomic_load_n(&header.Generation, __ATOMIC_ACQUIRE);
}

inline bool SameGenerationAfter(const ProgramsHeader& header, uint32_t before) {
    __atomic_thread_fence(__ATOMIC_ACQUIRE);
    return (before & 1u) == 0 && __atomic_load_n(&header.Generation, __ATOMIC_RELAXED) == before;
}

// Returns the odd generation that EndProgramsChange makes even again.
inline uint32_t BeginProgramsChange(ProgramsHeader& header) {
    const uint32_t odd = __atomic_load_n(&header.Generation, __ATOMIC_RELAXED) | 1u;
    __atomic_store_n(&header.Generation, odd, __ATOMIC_RELAXED);
    __atomic_thread_fence(__ATOMIC_RELEASE);
    return odd;
}

inline uint32_t EndProgramsChange(ProgramsHeader& header, uint32_t odd) {
    __atomic_store_n(&header.Generation, odd + 1, __ATOMIC_RELEASE);
    return odd + 1;
}

// Lays the entry's own fields over `block`, each brought into its field's
// range as the kept configuration is: an unknown function code is System
// Default, a line count outside 1 to 10 the nearest end.
inline void LayProgramFieldsOver(SettingsBlock& block, const ProgramEntry& entry) {
    const uint32_t mask = entry.FieldMask;
    for (int i = 0; i < kProgramFieldCount; ++i) {
        if ((mask & kProgramFields.bits[i]) == 0) continue;
        const SettingsField& field = kProgramFields.fields[i];
        WriteSettingsField(block, field, ClampSettingsFieldValue(field, ReadSettingsField(entry.Values, field)));
    }
}

}  // namespace ptr
