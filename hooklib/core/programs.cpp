// Finding a program's settings of its own, cheaply on every message: this
// process's program is named once at attach and published in the running
// programs table; another process's program is found there by its process
// id; which entry of the programs block holds a name is looked up among the
// entries' names, upper-cased once per generation of the block.
#include "programs.h"

#include <cstring>

namespace ptr {
namespace {

uint32_t LoadWord(const uint32_t& word) { return __atomic_load_n(&word, __ATOMIC_ACQUIRE); }

// Copies an entry's name, whose bytes may change while they are read, with
// a bound and its zero; returns its length.
uint32_t CopyEntryName(const char (&entryName)[kProgramNameSize], char (&name)[kProgramNameSize]) {
    uint32_t length = 0;
    for (; length < kMaxProgramNameLength; ++length) {
        const char c = __atomic_load_n(&entryName[length], __ATOMIC_RELAXED);
        if (c == '\0') break;
        name[length] = c;
    }
    for (uint32_t i = length; i < kProgramNameSize; ++i) name[i] = '\0';
    return length;
}

uint32_t EntryCount(const ProgramsBlock& programs) {
    const uint32_t count = __atomic_load_n(&programs.Header.Count, __ATOMIC_RELAXED);
    return count < static_cast<uint32_t>(kMaxPrograms) ? count : kMaxPrograms;
}

bool SameName(const char (&indexName)[kProgramNameSize], const char* upperName) {
    for (uint32_t i = 0; i < kProgramNameSize; ++i) {
        const char c = __atomic_load_n(&indexName[i], __ATOMIC_RELAXED);
        if (c != upperName[i]) return false;
        if (c == '\0') return true;
    }
    return false;
}

// The names of the entries, upper case with one call for all of them.
void MakeIndex(Platform& api, const ProgramsBlock& programs, uint32_t generation, ProgramsIndex& index) {
    const uint32_t count = EntryCount(programs);
    for (uint32_t i = 0; i < static_cast<uint32_t>(kMaxPrograms); ++i) {
        if (i < count) CopyEntryName(programs.Entries[i].Name, index.Names[i]);
        else std::memset(index.Names[i], 0, kProgramNameSize);
    }
    api.CharUpperBuffA(&index.Names[0][0], sizeof index.Names);
    index.Count = count;
    index.Generation = generation;
    // Names copied while a writer changed them are made again at the next lookup.
    index.Made = SameGenerationAfter(programs.Header, generation) ? 1 : 0;
}

int32_t SearchIndex(const ProgramsIndex& index, const char* upperName) {
    const uint32_t count = __atomic_load_n(&index.Count, __ATOMIC_RELAXED);
    for (uint32_t i = 0; i < count && i < static_cast<uint32_t>(kMaxPrograms); ++i)
        if (SameName(index.Names[i], upperName)) return static_cast<int32_t>(i);
    return -1;
}

// While another thread of this process makes the index: each entry's name
// upper-cased by itself, a call each.
int32_t SearchEntries(Platform& api, const ProgramsBlock& programs, const char* upperName) {
    const uint32_t count = EntryCount(programs);
    for (uint32_t i = 0; i < count; ++i) {
        char name[kProgramNameSize];
        const uint32_t length = CopyEntryName(programs.Entries[i].Name, name);
        if (length == 0) continue;
        api.CharUpperBuffA(name, length);
        if (std::strcmp(name, upperName) == 0) return static_cast<int32_t>(i);
    }
    return -1;
}

// The entry that holds the program's settings, or -1.
int32_t EntryOfName(HookContext& ctx, const ProgramsBlock& programs, uint32_t generation, const char* upperName) {
    if (upperName[0] == '\0') return -1;
    ProgramsIndex& index = ctx.process.Index;
    const uint32_t before = LoadWord(index.Sequence);
    if ((before & 1u) != 0) return SearchEntries(ctx.api, programs, upperName);
    if (LoadWord(index.Made) != 0 && LoadWord(index.Generation) == generation) {
        const int32_t entry = SearchIndex(index, upperName);
        __atomic_thread_fence(__ATOMIC_ACQUIRE);
        if (__atomic_load_n(&index.Sequence, __ATOMIC_RELAXED) == before) return entry;
    }
    uint32_t expected = before;
    if (!__atomic_compare_exchange_n(&index.Sequence, &expected, before + 1, false, __ATOMIC_ACQ_REL,
                                     __ATOMIC_RELAXED))
        return SearchEntries(ctx.api, programs, upperName);
    MakeIndex(ctx.api, programs, generation, index);
    const int32_t entry = SearchIndex(index, upperName);
    __atomic_store_n(&index.Sequence, before + 2, __ATOMIC_RELEASE);
    return entry;
}

// The program of a process, upper case: this process's own, or the one
// another copy of the library published.
bool NameOfProcess(const ProcessState& process, uint32_t processId, char (&name)[kProgramNameSize]) {
    if (processId == process.ProcessId) {
        std::memcpy(name, process.ProgramName, kProgramNameSize);
        return name[0] != '\0';
    }
    return process.Running != nullptr && FindRunningProgram(*process.Running, processId, name);
}

bool SettingsOfProgram(HookContext& ctx, DWORD processId, SettingsBlock& settings) {
    if (processId == 0) return false;
    const ProgramsBlock& programs = *ctx.process.Programs;
    const uint32_t generation = ReadGenerationBefore(programs.Header);
    if ((generation & 1u) != 0) return false;  // being written: the block's own settings for now
    char name[kProgramNameSize];
    if (!NameOfProcess(ctx.process, processId, name)) return false;
    const int32_t entry = EntryOfName(ctx, programs, generation, name);
    if (entry >= 0) {
        settings = ctx.block;
        LayProgramFieldsOver(settings, programs.Entries[entry]);
    }
    return SameGenerationAfter(programs.Header, generation) && entry >= 0;
}

}  // namespace

bool ProgramsInUse(const ProcessState& process) {
    const ProgramsBlock* programs = process.Programs;
    return programs != nullptr && IsProgramsLayout(programs->Header) && programs->Header.Count != 0;
}

bool SettingsOfWindow(HookContext& ctx, HWND window, SettingsBlock& settings) {
    if (!ProgramsInUse(ctx.process)) return false;
    DWORD processId = 0;
    if (ctx.api.GetWindowThreadProcessId(window, &processId) == 0) return false;
    return SettingsOfProgram(ctx, processId, settings);
}

bool SettingsOfModeProgram(HookContext& ctx, SettingsBlock& settings) {
    if (!ProgramsInUse(ctx.process)) return false;
    return SettingsOfProgram(ctx, ctx.shared.ModeProcessId, settings);
}

void RememberModeProgram(HookContext& ctx, HWND window) {
    DWORD processId = 0;
    DWORD threadId = ProgramsInUse(ctx.process) ? ctx.api.GetWindowThreadProcessId(window, &processId) : 0;
    ctx.shared.ModeProcessId = threadId != 0 ? processId : 0;
    ctx.shared.ModeThreadId = threadId;
}

void RememberOwnProgram(Platform& api, ProcessState& process, const char* path) {
    process.ProcessId = api.GetCurrentProcessId();
    std::memset(process.ProgramName, 0, kProgramNameSize);
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p)
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    const size_t length = std::strlen(name);
    // A name longer than any entry's matches none: published empty.
    if (length > 0 && length <= kMaxProgramNameLength) {
        std::memcpy(process.ProgramName, name, length);
        api.CharUpperBuffA(process.ProgramName, static_cast<DWORD>(length));
    }
    if (process.Running != nullptr)
        process.Claim = ClaimRunningProgram(*process.Running, process.ProcessId, process.ProgramName);
}

void KeepOwnProgramPublished(ProcessState& process) {
    RunningPrograms* table = process.Running;
    if (table == nullptr || StillPublished(*table, process.Claim, process.ProcessId)) return;
    uint32_t idle = 0;
    if (!__atomic_compare_exchange_n(&process.Claiming, &idle, 1u, false, __ATOMIC_ACQ_REL, __ATOMIC_RELAXED)) return;
    // Claim is written only while Claiming is held: read again, it is whole.
    if (!StillPublished(*table, process.Claim, process.ProcessId))
        process.Claim = ClaimRunningProgram(*table, process.ProcessId, process.ProgramName);
    __atomic_store_n(&process.Claiming, 0u, __ATOMIC_RELEASE);
}

void ForgetOwnProgram(ProcessState& process) {
    if (process.Running != nullptr) ReleaseRunningProgram(*process.Running, process.Claim);
    process.Claim = RunningProgramClaim();
}

}  // namespace ptr
