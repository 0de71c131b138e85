// Finding a program's settings of its own, cheaply on every message: this
// process's program is named once at attach; another process's program is
// named once, when first met (by process and thread, as its window reports
// them), and kept in a few slots; which entry of the programs block is its
// own is chosen again only when the block's generation has changed.
#include "programs.h"

#include <cstring>

namespace ptr {
namespace {

bool SameName(const char* upperName, const char (&entryName)[kProgramNameSize], Platform& api) {
    char name[kProgramNameSize];
    DWORD length = 0;
    // The entry's bytes may change while they are read: copied with a bound.
    while (length < kMaxProgramNameLength && entryName[length] != '\0') {
        name[length] = entryName[length];
        ++length;
    }
    if (length == 0) return false;
    name[length] = '\0';
    api.CharUpperBuffA(name, length);
    return std::strcmp(name, upperName) == 0;
}

int32_t EntryOfName(Platform& api, const ProgramsBlock& programs, const char* upperName) {
    if (upperName[0] == '\0') return -1;
    uint32_t count = programs.Header.Count;
    if (count > static_cast<uint32_t>(kMaxPrograms)) count = kMaxPrograms;
    for (uint32_t i = 0; i < count; ++i)
        if (SameName(upperName, programs.Entries[i].Name, api)) return static_cast<int32_t>(i);
    return -1;
}

// A name for the slot, upper case; empty when none fits an entry.
void SetName(Platform& api, KnownProgram& program, const char* name, DWORD length) {
    program.Name[0] = '\0';
    program.Generation = 1;
    program.Entry = -1;
    if (length == 0 || length > kMaxProgramNameLength) return;
    std::memcpy(program.Name, name, length);
    program.Name[length] = '\0';
    api.CharUpperBuffA(program.Name, length);
}

void LookUpName(HookContext& ctx, KnownProgram& program, DWORD now) {
    char name[MAX_PATH];
    DWORD length = ctx.api.ProgramNameOfProcess(program.ProcessId, name, MAX_PATH);
    SetName(ctx.api, program, name, length < MAX_PATH ? length : 0);
    // Also a name that cannot be found is kept for its lifetime: the lookup
    // is not made again for every message.
    program.LookupTime = now;
}

KnownProgram& ProgramOf(HookContext& ctx, DWORD processId, DWORD threadId) {
    ProcessState& process = ctx.process;
    if (processId == process.OwnProgram.ProcessId) return process.OwnProgram;
    DWORD now = ctx.api.GetTickCount();
    for (KnownProgram& known : process.OtherPrograms) {
        if (known.ProcessId != processId || known.ThreadId != threadId) continue;
        if (now - known.LookupTime > kProgramNameLifetime) LookUpName(ctx, known, now);
        return known;
    }
    KnownProgram& slot = process.OtherPrograms[process.NextProgramSlot % kKnownProgramSlots];
    process.NextProgramSlot = (process.NextProgramSlot + 1) % kKnownProgramSlots;
    slot.ProcessId = processId;
    slot.ThreadId = threadId;
    LookUpName(ctx, slot, now);
    return slot;
}

bool SettingsOfProgram(HookContext& ctx, DWORD processId, DWORD threadId, SettingsBlock& settings) {
    if (processId == 0) return false;
    const ProgramsBlock& programs = *ctx.process.Programs;
    uint32_t generation = ReadGenerationBefore(programs.Header);
    if ((generation & 1u) != 0) return false;  // being written: the block's own settings for now
    KnownProgram& program = ProgramOf(ctx, processId, threadId);
    if (program.Generation != generation) {
        program.Entry = EntryOfName(ctx.api, programs, program.Name);
        program.Generation = generation;
    }
    int32_t entry = program.Entry;
    if (entry >= 0) {
        settings = ctx.block;
        LayProgramFieldsOver(settings, programs.Entries[entry]);
    }
    if (!SameGenerationAfter(programs.Header, generation)) {
        program.Generation = 1;  // chosen from a block in change: choose again next time
        return false;
    }
    return entry >= 0;
}

}  // namespace

bool ProgramsInUse(const ProcessState& process) {
    const ProgramsBlock* programs = process.Programs;
    return programs != nullptr && IsProgramsLayout(programs->Header) && programs->Header.Count != 0;
}

bool SettingsOfWindow(HookContext& ctx, HWND window, SettingsBlock& settings) {
    if (!ProgramsInUse(ctx.process)) return false;
    DWORD processId = 0;
    DWORD threadId = ctx.api.GetWindowThreadProcessId(window, &processId);
    if (threadId == 0) return false;
    return SettingsOfProgram(ctx, processId, threadId, settings);
}

bool SettingsOfModeProgram(HookContext& ctx, SettingsBlock& settings) {
    if (!ProgramsInUse(ctx.process)) return false;
    return SettingsOfProgram(ctx, ctx.shared.ModeProcessId, ctx.shared.ModeThreadId, settings);
}

void RememberModeProgram(HookContext& ctx, HWND window) {
    DWORD processId = 0;
    DWORD threadId = ProgramsInUse(ctx.process) ? ctx.api.GetWindowThreadProcessId(window, &processId) : 0;
    ctx.shared.ModeProcessId = threadId != 0 ? processId : 0;
    ctx.shared.ModeThreadId = threadId;
}

void RememberOwnProgram(Platform& api, ProcessState& process, const char* path) {
    KnownProgram& own = process.OwnProgram;
    own.ProcessId = api.GetCurrentProcessId();
    own.ThreadId = 0;
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p)
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    SetName(api, own, name, static_cast<DWORD>(std::strlen(name)));
}

}  // namespace ptr
