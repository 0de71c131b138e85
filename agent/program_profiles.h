// The tray agent's rules for the programs' settings of their own: which of
// the kept ones go into the programs block, and what an Apply keeps. Nothing
// here touches the registry; the lookups are handed in.
#pragma once

#include "programs_view.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace agent {


// Looks up a kept value of a program by field name; false when there is none.
using ProgramValueLookup = std::function<bool(const std::string& program, const char* field, int32_t& value)>;

// A program's kept settings: the program fields it holds, brought into range.
ptr::ProgramSettings LoadProgram(const std::string& name, const ProgramValueLookup& lookup);

struct ProgramChoice {
    std::vector<ptr::ProgramSettings> used;  // at most ptr::kMaxPrograms
    std::vector<std::string> tooMany;   // beyond the limit
    std::vector<std::string> unusable;  // no program file name, or one that came before
};

// The programs kept under the given names, in the order of their names
// (without regard to case); those beyond the limit, and names that are no
// program file name or that came before, are refused.
ProgramChoice ChooseKeptPrograms(std::vector<std::string> names, const ProgramValueLookup& lookup);

// What an Apply keeps. The block holds what the settings program left there;
// the kept ones may hold programs written there by someone else while the
// agent ran (known: the upper-case names the agent put into the block or
// kept since it read them): those are kept too and join the block, as far as
// there is room. A kept program the agent knew that is gone from the block
// was removed in the settings program.
struct KeepPlan {
    std::vector<ptr::ProgramSettings> keep;  // written as kept, and the block's contents from now on
    std::vector<std::string> remove;    // kept programs to remove
    std::vector<std::string> refused;   // kept programs that found no room (they stay kept)
    bool blockChanged = false;          // keep holds more than the block did
};
KeepPlan PlanKeeping(const std::vector<ptr::ProgramSettings>& inBlock, const std::vector<ptr::ProgramSettings>& kept,
                     const std::set<std::string>& known);

// The upper-case names of the programs, as the agent remembers what it knows.
std::set<std::string> KnownNames(const std::vector<ptr::ProgramSettings>& programs);

// "alpha.exe(ButtonFunction1=13 WheelLines=5) beta.exe()" for the output.
std::string DescribePrograms(const std::vector<ptr::ProgramSettings>& programs);

// The words of the notice for kept programs that are not used; empty when
// every one is.
std::string RefusedProgramsNotice(const std::vector<std::string>& tooMany, const std::vector<std::string>& unusable);

}  // namespace agent
