// The programs block for the test tools: mapped as the tray agent maps it,
// described line by line, and a program's fields written as the settings
// program writes them.
#pragma once

#include "programs_block.h"
#include "programs_view.h"

#include <windows.h>

#include "block_fields_text.h"

#include <cstring>
#include <string>
#include <vector>

// The block of the running tray agent (or of a stand-in), mapped for reading
// and writing; create makes it where there is none yet, as the agent does.
inline ptr::ProgramsBlock* MapTestProgramsBlock(bool create, HANDLE& mapping) {
    mapping = create ? CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, ptr::kProgramsBlockSize,
                                          ptr::kProgramsBlockName)
                     : OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, ptr::kProgramsBlockName);
    if (!mapping) return nullptr;
    auto* block = static_cast<ptr::ProgramsBlock*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, ptr::kProgramsBlockSize));
    if (!block) {
        CloseHandle(mapping);
        mapping = nullptr;
        return nullptr;
    }
    if (create && !ptr::IsProgramsLayout(block->Header)) {
        ptr::ProgramsLock lock;
        const uint32_t odd = ptr::BeginProgramsChange(block->Header);
        ptr::InitProgramsHeader(block->Header);
        ptr::EndProgramsChange(block->Header, odd);
    }
    return block;
}

inline void UnmapTestProgramsBlock(ptr::ProgramsBlock* block, HANDLE mapping) {
    if (block) UnmapViewOfFile(block);
    if (mapping) CloseHandle(mapping);
}

// "PROGRAMS count=N generation=G layout=1", then "PROGRAM NAME FIELD=VALUE ..."
// for each entry.
inline std::vector<std::string> DescribeProgramsBlock(const ptr::ProgramsBlock& programs) {
    const ptr::ProgramsHeader& header = programs.Header;
    std::vector<std::string> lines;
    lines.push_back("PROGRAMS count=" + std::to_string(header.Count) + " generation=" + std::to_string(header.Generation) +
                    " layout=" + (ptr::IsProgramsLayout(header) ? "1" : "0"));
    for (uint32_t i = 0; i < header.Count && i < static_cast<uint32_t>(ptr::kMaxPrograms); ++i) {
        const ptr::ProgramEntry& entry = programs.Entries[i];
        std::string line = "PROGRAM " + std::string(entry.Name, strnlen(entry.Name, ptr::kMaxProgramNameLength));
        for (int f = 0; f < ptr::kProgramFieldCount; ++f) {
            if ((entry.FieldMask & ptr::kProgramFields.bits[f]) == 0) continue;
            const ptr::SettingsField& field = ptr::kProgramFields.fields[f];
            line += " " + std::string(field.name) + "=" + std::to_string(ptr::ReadSettingsField(entry.Values, field));
        }
        lines.push_back(line);
    }
    return lines;
}

// "NAME FIELD=VALUE ...": the program's entry (a new one unless one has that
// name) gets these fields of its own, in one change under the programs lock.
// Returns "" or what failed.
inline std::string WriteTestProgram(ptr::ProgramsBlock& programs, const char* text) {
    char name[ptr::kProgramNameSize] = "";
    int used = 0;
    sscanf(text, "%63s %n", name, &used);
    if (!ptr::IsProgramsLayout(programs.Header)) return "no programs block of this layout";
    ptr::ProgramsLock lock;
    if (!lock.Held()) return "the programs lock is held";
    const uint32_t odd = ptr::BeginProgramsChange(programs.Header);
    uint32_t index = 0;
    while (index < programs.Header.Count && _stricmp(programs.Entries[index].Name, name) != 0) ++index;
    std::string failure;
    if (index == programs.Header.Count && index < static_cast<uint32_t>(ptr::kMaxPrograms)) {
        memset(&programs.Entries[index], 0, sizeof programs.Entries[index]);
        memcpy(programs.Entries[index].Name, name, strlen(name));
        ++programs.Header.Count;
    }
    if (index < static_cast<uint32_t>(ptr::kMaxPrograms)) {
        ptr::ProgramEntry& entry = programs.Entries[index];
        ptr::SettingsBlock values = entry.Values;
        failure = WriteSettingsFields(values, text + used);
        entry.Values = values;
        for (const char* item = text + used; *item != '\0';) {
            const char* eq = strchr(item, '=');
            if (!eq) break;
            const int row = ptr::SettingsFieldIndex(std::string(item, eq - item).c_str());
            if (row >= 0) entry.FieldMask |= 1u << row;
            item = strchr(eq, ' ');
            if (!item) break;
            ++item;
        }
    } else {
        failure = "no room";
    }
    ptr::EndProgramsChange(programs.Header, odd);
    return failure;
}
