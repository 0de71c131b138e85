#include "programs_view.h"

#include <cstring>

namespace ptr {

namespace {

ProgramsView MapView(HANDLE mapping) {
    ProgramsView view;
    if (!mapping) return view;
    // Exactly this layout's size: a smaller block of another layout fails here.
    view.block = static_cast<ProgramsBlock*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, kProgramsBlockSize));
    if (view.block) {
        view.mapping = mapping;
    } else {
        CloseHandle(mapping);
    }
    return view;
}

const SettingsField* ProgramField(const char* name) {
    const int index = SettingsFieldIndex(name);
    if (index < 0 || (kProgramFieldMask & (1u << index)) == 0) return nullptr;
    return &kSettingsFields[index];
}

// Reads an entry whatever a writer left in it.
ProgramSettings EntryToSettings(const ProgramEntry& entry) {
    ProgramSettings program;
    size_t length = 0;
    while (length < kMaxProgramNameLength && entry.Name[length] != '\0') ++length;
    program.name.assign(entry.Name, length);
    for (int i = 0; i < kProgramFieldCount; ++i) {
        if ((entry.FieldMask & kProgramFields.bits[i]) == 0) continue;
        const SettingsField& field = kProgramFields.fields[i];
        program.fields |= kProgramFields.bits[i];
        WriteSettingsField(program.values, field, ClampSettingsFieldValue(field, ReadSettingsField(entry.Values, field)));
    }
    return program;
}

}  // namespace

ProgramsView CreateProgramsBlock() {
    return MapView(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kProgramsBlockSize,
                                      kProgramsBlockName));
}

ProgramsView OpenProgramsBlock() { return MapView(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kProgramsBlockName)); }

void CloseProgramsBlock(ProgramsView& view) {
    if (view.block) UnmapViewOfFile(view.block);
    if (view.mapping) CloseHandle(view.mapping);
    view = ProgramsView();
}

bool ProgramSettings::Has(const char* field) const {
    const int index = SettingsFieldIndex(field);
    return index >= 0 && (fields & (1u << index)) != 0;
}

int32_t ProgramSettings::Get(const char* field) const {
    const SettingsField* row = ProgramField(field);
    return row ? ReadSettingsField(values, *row) : 0;
}

void ProgramSettings::Set(const char* field, int32_t value) {
    const SettingsField* row = ProgramField(field);
    if (!row) return;
    WriteSettingsField(values, *row, ClampSettingsFieldValue(*row, value));
    fields |= FieldBit(field);
}

void ProgramSettings::Clear(const char* field) {
    const SettingsField* row = ProgramField(field);
    if (!row) return;
    WriteSettingsField(values, *row, 0);
    fields &= ~FieldBit(field);
}

bool IsProgramFileName(const std::string& name) {
    if (name.empty() || name.size() > kMaxProgramNameLength) return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < ' ' || std::strchr("\\/:*?\"<>|", c) != nullptr) return false;
    }
    return name != "." && name != "..";
}

std::string UpperProgramName(const std::string& name) {
    std::string upper = name;
    if (!upper.empty()) CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    return upper;
}

bool SameProgramName(const std::string& a, const std::string& b) { return UpperProgramName(a) == UpperProgramName(b); }

int FindProgram(const std::vector<ProgramSettings>& programs, const std::string& name) {
    for (size_t i = 0; i < programs.size(); ++i)
        if (SameProgramName(programs[i].name, name)) return static_cast<int>(i);
    return -1;
}

ProgramsLock::ProgramsLock(DWORD waitMs) {
    mutex_ = CreateMutexA(nullptr, FALSE, kProgramsLockName);
    if (!mutex_) return;
    const DWORD waited = WaitForSingleObject(mutex_, waitMs);
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

ProgramsLock::~ProgramsLock() {
    if (held_) ReleaseMutex(mutex_);
    if (mutex_) CloseHandle(mutex_);
}

bool ReadPrograms(const ProgramsBlock& block, std::vector<ProgramSettings>& programs) {
    programs.clear();
    ProgramsLock lock;
    if (!lock.Held()) return false;
    // Under the lock no writer of ours is at work: an odd generation was left
    // by one that died. A few more readings are for a writer that takes no lock.
    for (int attempt = 0; attempt < 3; ++attempt) {
        programs.clear();
        const uint32_t generation = ReadGenerationBefore(block.Header);
        if (!IsProgramsLayout(block.Header)) return (generation & 1u) == 0;
        uint32_t count = block.Header.Count;
        if (count > static_cast<uint32_t>(kMaxPrograms)) count = kMaxPrograms;
        for (uint32_t i = 0; i < count; ++i) {
            ProgramSettings program = EntryToSettings(block.Entries[i]);
            if (IsProgramFileName(program.name) && FindProgram(programs, program.name) < 0)
                programs.push_back(program);
        }
        if (SameGenerationAfter(block.Header, generation)) return true;
        Sleep(1);
    }
    programs.clear();
    return false;
}

bool WritePrograms(ProgramsBlock& block, const std::vector<ProgramSettings>& programs) {
    ProgramsLock lock;
    if (!lock.Held()) return false;
    const uint32_t odd = BeginProgramsChange(block.Header);
    InitProgramsHeader(block.Header);
    const size_t count = programs.size() < static_cast<size_t>(kMaxPrograms) ? programs.size() : kMaxPrograms;
    for (size_t i = 0; i < static_cast<size_t>(kMaxPrograms); ++i) {
        ProgramEntry& entry = block.Entries[i];
        std::memset(&entry, 0, sizeof entry);
        if (i >= count) continue;
        const ProgramSettings& program = programs[i];
        std::memcpy(entry.Name, program.name.data(), program.name.size() < kMaxProgramNameLength
                                                          ? program.name.size()
                                                          : kMaxProgramNameLength);
        entry.FieldMask = program.fields & kProgramFieldMask;
        entry.Values = program.values;
    }
    block.Header.Count = static_cast<uint32_t>(count);
    EndProgramsChange(block.Header, odd);
    return true;
}

}  // namespace ptr
