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

// The programs lock (kProgramsLockName), held for one reading or writing of
// the block. A writer that died holding it left it abandoned: the next
// holder gets it, and what that writer was writing may be torn.
class ProgramsLock {
public:
    // Waits at most waitMs for the holder: writers are quick.
    explicit ProgramsLock(DWORD waitMs = 2000);
    ~ProgramsLock();
    ProgramsLock(const ProgramsLock&) = delete;
    ProgramsLock& operator=(const ProgramsLock&) = delete;
    bool Held() const { return held_; }

private:
    HANDLE mutex_ = nullptr;
    bool held_ = false;
};

// What a block of this layout holds, read whole under the programs lock:
// true, with programs empty for a block of another layout; false, with
// programs empty, when the lock cannot be had or the block is torn (a writer
// died while it wrote, or one that takes no lock is still at it). Entries
// with a name that is no program file name, or a name met before, are left
// out; values are brought into range and only the program fields are kept.
bool ReadPrograms(const ProgramsBlock& block, std::vector<ProgramSettings>& programs);
// Makes the block hold these programs (the first kMaxPrograms), in one
// change under the programs lock: the header of this layout, the entries,
// zero beyond them. False, with nothing written, when the lock cannot be had.
bool WritePrograms(ProgramsBlock& block, const std::vector<ProgramSettings>& programs);

}  // namespace ptr
