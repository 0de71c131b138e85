#include "program_profiles.h"

#include <algorithm>

namespace agent {

ptr::ProgramSettings LoadProgram(const std::string& name, const ProgramValueLookup& lookup) {
    ptr::ProgramSettings program;
    program.name = name;
    for (const char* field : ptr::kProgramFieldNames) {
        int32_t value = 0;
        if (lookup(name, field, value)) program.Set(field, value);
    }
    return program;
}

ProgramChoice ChooseKeptPrograms(std::vector<std::string> names, const ProgramValueLookup& lookup) {
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return ptr::UpperProgramName(a) < ptr::UpperProgramName(b);
    });
    ProgramChoice choice;
    for (const std::string& name : names) {
        if (!ptr::IsProgramFileName(name) || ptr::FindProgram(choice.used, name) >= 0) {
            choice.unusable.push_back(name);
        } else if (choice.used.size() >= static_cast<size_t>(ptr::kMaxPrograms)) {
            choice.tooMany.push_back(name);
        } else {
            choice.used.push_back(LoadProgram(name, lookup));
        }
    }
    return choice;
}

KeepPlan PlanKeeping(const std::vector<ptr::ProgramSettings>& inBlock, const std::vector<ptr::ProgramSettings>& kept,
                     const std::set<std::string>& known) {
    KeepPlan plan;
    plan.keep = inBlock;
    if (plan.keep.size() > static_cast<size_t>(ptr::kMaxPrograms)) plan.keep.resize(ptr::kMaxPrograms);
    for (const ptr::ProgramSettings& program : kept) {
        if (ptr::FindProgram(plan.keep, program.name) >= 0) continue;
        if (known.count(ptr::UpperProgramName(program.name))) {
            plan.remove.push_back(program.name);
        } else if (plan.keep.size() < static_cast<size_t>(ptr::kMaxPrograms)) {
            plan.keep.push_back(program);
            plan.blockChanged = true;
        } else {
            plan.refused.push_back(program.name);
        }
    }
    return plan;
}

std::set<std::string> KnownNames(const std::vector<ptr::ProgramSettings>& programs) {
    std::set<std::string> names;
    for (const ptr::ProgramSettings& program : programs) names.insert(ptr::UpperProgramName(program.name));
    return names;
}

std::string DescribePrograms(const std::vector<ptr::ProgramSettings>& programs) {
    std::string text;
    for (const ptr::ProgramSettings& program : programs) {
        if (!text.empty()) text += ' ';
        text += program.name + '(';
        bool first = true;
        for (const char* field : ptr::kProgramFieldNames) {
            if (!program.Has(field)) continue;
            if (!first) text += ' ';
            text += std::string(field) + '=' + std::to_string(program.Get(field));
            first = false;
        }
        text += ')';
    }
    return text;
}

namespace {

std::string NameList(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
    return list;
}

}  // namespace

std::string RefusedProgramsNotice(const std::vector<std::string>& tooMany, const std::vector<std::string>& unusable) {
    std::string text;
    if (!tooMany.empty())
        text = "At most " + std::to_string(ptr::kMaxPrograms) +
               " programs can have settings of their own; these have none: " + NameList(tooMany) + ".";
    if (!unusable.empty()) {
        if (!text.empty()) text += ' ';
        text += "Not a program file name of at most " + std::to_string(ptr::kMaxProgramNameLength) +
                " characters, or one kept twice: " + NameList(unusable) + ".";
    }
    return text;
}

}  // namespace agent
