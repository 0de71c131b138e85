// The programs block as the tray agent and the settings program hold it: its
// mapping, and the programs' settings of their own read and written whole.
#pragma once

#include "programs_block.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ptr {

struct ProgramsView {
    HANDLE mapping = nullptr;
    ProgramsBlock* block = nullptr;  // null when the block could not be mapped
};

// The tray agent: creates the block zero-filled, or opens the one that
// processes still hold from an earlier run.
ProgramsView CreateProgramsBlock();
// The settings program: opens the tray agent's block.
ProgramsView OpenProgramsBlock();
void CloseProgramsBlock(ProgramsView& view);

// One program's settings of its own.
struct ProgramSettings {
    std::string name;        // the program's file name as the user gave it
    uint32_t fields = 0;     // FieldBit of each field it holds of its own
    SettingsBlock values{};  // those fields' values, each at its offset

    bool Has(const char* field) const;
    // The program's own value; the field must be one of the program fields.
    int32_t Get(const char* field) const;
    // Brought into the field's range; fields that are no program field are ignored.
    void Set(const char* field, int32_t value);
    void Clear(const char* field);
};

// A program's file name: 1 to 63 characters, none of them a folder separator,
// a drive colon, a wildcard or a control character.
bool IsProgramFileName(const std::string& name);
// Names are matched without regard to case, in the system's code page.
std::string UpperProgramName(const std::string& name);
bool SameProgramName(const std::string& a, const std::string& b);
// The index of the program of that name in the list, or -1.
int FindProgram(const std::vector<ProgramSettings>& programs, const std::string& name);

// What a block of this layout holds, read whole (while a writer changes it,
// the reading is made again); empty for a block of another layout. Entries
// with a name that is no program file name, or a name met before, are left
// out; values are brought into range and only the program fields are kept.
std::vector<ProgramSettings> ReadPrograms(const ProgramsBlock& block);
// Makes the block hold these programs (the first kMaxPrograms), in one
// change: the header of this layout, the entries, zero beyond them.
void WritePrograms(ProgramsBlock& block, const std::vector<ProgramSettings>& programs);

}  // namespace ptr
