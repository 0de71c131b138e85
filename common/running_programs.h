// The running programs table "PTRHK32A_3_RUN": the program each process on
// the desktop runs, by process id. The copy of the hook library in each
// process names its own program once, from its executable's path, and
// publishes it here when it attaches; a hook in another process then names
// the program of a window with one GetWindowThreadProcessId and a bounded
// scan of this memory, never with a call into the system. A program whose
// window is under the cursor has the library loaded: its thread took the
// cursor's moves through the mouse hook.
//
// Layout, little-endian, of 32-bit fields and bytes only, so that copies of
// the library of every build (i686 and x86_64) share it (offsets in bytes):
//
//   0   u32  Size       20512, the whole table
//   4   u32  Version    1
//   8   u32  SlotCount  256
//   12  u32  SlotSize   80
//   16  u32  Used       slots handed out so far, 0 to SlotCount; slots at
//                       and beyond it have never been used
//   20  u32  Clock      claims made so far: each slot's age
//   24  u32  Reserved   x 2
//   32  slots, 80 bytes each:
//       0   u32       Sequence   0: never used; odd while a claimer fills or
//                                empties the slot; even otherwise
//       4   u32       ProcessId  0: free
//       8   u32       Claimed    the Clock at its claim
//       12  u32       Reserved
//       16  char[64]  Name       the program's file name, upper case, with its
//                                zero; empty when longer than any program's in
//                                the programs block
//
// Nothing takes a lock: a slot is claimed by a compare-and-swap of its
// Sequence from an even value to the next odd one, filled, and made even
// again; a reader takes a slot's name only when the Sequence it read before
// the name is the one it reads after. The compiler's atomic builtins are the
// i486's lock cmpxchg and lock xadd, which every Windows the suite runs on has.
//
// A process that ends normally empties its slot at detach. One that was
// killed leaves its slot behind: the next process given the same id takes
// that slot over when it attaches (before that, a window of the new process
// would be named after the old program), and when every slot is in use a
// claim takes the one claimed longest ago. A live process whose slot was
// taken that way claims a slot again at its next mouse message.
//
// Header-only and free of any runtime, so that the hook library includes it.
#pragma once

#include "programs_block.h"

#include <cstddef>
#include <cstdint>

namespace ptr {

constexpr char kRunningProgramsName[] = "PTRHK32A_3_RUN";
constexpr uint32_t kRunningProgramsVersion = 1;
constexpr uint32_t kRunningProgramSlots = 256;

struct RunningProgramSlot {
    uint32_t Sequence;
    uint32_t ProcessId;
    uint32_t Claimed;
    uint32_t Reserved;
    char Name[kProgramNameSize];
};

struct RunningProgramsHeader {
    uint32_t Size;
    uint32_t Version;
    uint32_t SlotCount;
    uint32_t SlotSize;
    uint32_t Used;
    uint32_t Clock;
    uint32_t Reserved[2];
};

struct RunningPrograms {
    RunningProgramsHeader Header;
    RunningProgramSlot Slots[kRunningProgramSlots];
};

static_assert(offsetof(RunningProgramSlot, Name) == 16 && sizeof(RunningProgramSlot) == 80, "a slot is 80 bytes");
static_assert(offsetof(RunningProgramsHeader, Used) == 16 && sizeof(RunningProgramsHeader) == 32, "layout");
static_assert(offsetof(RunningPrograms, Slots) == 32, "layout");
constexpr uint32_t kRunningProgramsSize = sizeof(RunningPrograms);
static_assert(kRunningProgramsSize == 20512, "the running programs table is 20512 bytes");

// Where a copy of the library published its program: the slot and the
// Sequence it made even (2 or more). Sequence 0: not published.
struct RunningProgramClaim {
    uint32_t Slot = 0;
    uint32_t Sequence = 0;
};

namespace running {

inline uint32_t Load(const uint32_t& word) { return __atomic_load_n(&word, __ATOMIC_ACQUIRE); }
inline uint32_t LoadRelaxed(const uint32_t& word) { return __atomic_load_n(&word, __ATOMIC_RELAXED); }
inline void Store(uint32_t& word, uint32_t value) { __atomic_store_n(&word, value, __ATOMIC_RELEASE); }
inline bool Swap(uint32_t& word, uint32_t expected, uint32_t desired) {
    return __atomic_compare_exchange_n(&word, &expected, desired, false, __ATOMIC_ACQ_REL, __ATOMIC_RELAXED);
}

inline uint32_t UsedSlots(const RunningPrograms& table) {
    const uint32_t used = Load(table.Header.Used);
    return used < kRunningProgramSlots ? used : kRunningProgramSlots;
}

// Takes the slot for its claimer when its Sequence is still `even`: it is
// then odd, the claimer's alone until it makes it even again.
inline bool TakeSlot(RunningProgramSlot& slot, uint32_t even) {
    return (even & 1u) == 0 && Swap(slot.Sequence, even, even + 1);
}

inline void FillSlot(RunningPrograms& table, RunningProgramSlot& slot, uint32_t processId, const char* upperName) {
    __atomic_store_n(&slot.ProcessId, processId, __ATOMIC_RELAXED);
    uint32_t i = 0;
    for (; i < kMaxProgramNameLength && upperName[i] != '\0'; ++i) slot.Name[i] = upperName[i];
    for (; i < kProgramNameSize; ++i) slot.Name[i] = '\0';
    __atomic_store_n(&slot.Claimed, __atomic_fetch_add(&table.Header.Clock, 1u, __ATOMIC_RELAXED), __ATOMIC_RELAXED);
}

inline void EmptySlot(RunningProgramSlot& slot) {
    __atomic_store_n(&slot.ProcessId, 0u, __ATOMIC_RELAXED);
    slot.Name[0] = '\0';
}

// A slot this claim took (odd `taken`) is filled and published.
inline RunningProgramClaim Publish(RunningPrograms& table, uint32_t index, uint32_t taken, uint32_t processId,
                                   const char* upperName) {
    RunningProgramSlot& slot = table.Slots[index];
    FillSlot(table, slot, processId, upperName);
    Store(slot.Sequence, taken + 1);
    RunningProgramClaim claim;
    claim.Slot = index;
    claim.Sequence = taken + 1;
    return claim;
}

// Every slot that still names processId was left by a process that ended
// without emptying it (it was killed): the id is the caller's now. The first
// is kept for the caller, taken (its odd Sequence in `taken`), the others are
// emptied. Returns the kept slot's index, or -1.
inline int32_t TakeOverSlotsOf(RunningPrograms& table, uint32_t processId, uint32_t& taken) {
    int32_t kept = -1;
    const uint32_t used = UsedSlots(table);
    for (uint32_t i = 0; i < used; ++i) {
        RunningProgramSlot& slot = table.Slots[i];
        if (LoadRelaxed(slot.ProcessId) != processId) continue;
        const uint32_t even = Load(slot.Sequence);
        if (LoadRelaxed(slot.ProcessId) != processId || !TakeSlot(slot, even)) continue;
        if (kept < 0) {
            kept = static_cast<int32_t>(i);
            taken = even + 1;
            continue;
        }
        EmptySlot(slot);
        Store(slot.Sequence, even + 2);
    }
    return kept;
}

// A free slot among those used before, a slot never used, or, when every
// slot is in use, the one claimed longest ago; taken. Returns -1 only when
// other claimers took each candidate first, again and again.
inline int32_t TakeFreeSlot(RunningPrograms& table, uint32_t& taken) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        const uint32_t used = UsedSlots(table);
        for (uint32_t i = 0; i < used; ++i) {
            RunningProgramSlot& slot = table.Slots[i];
            const uint32_t even = Load(slot.Sequence);
            if (LoadRelaxed(slot.ProcessId) != 0 || (even & 1u) != 0) continue;
            if (TakeSlot(slot, even)) {
                taken = even + 1;
                return static_cast<int32_t>(i);
            }
        }
        uint32_t grow = used;
        if (grow < kRunningProgramSlots && Swap(table.Header.Used, grow, grow + 1)) {
            // Never used, so free; a claimer that counted it in first may have taken it.
            const uint32_t even = Load(table.Slots[grow].Sequence);
            if (LoadRelaxed(table.Slots[grow].ProcessId) == 0 && TakeSlot(table.Slots[grow], even)) {
                taken = even + 1;
                return static_cast<int32_t>(grow);
            }
            continue;
        }
        if (grow < kRunningProgramSlots) continue;  // another claimer grew it first
        // Full: the slot claimed longest ago, by the unsigned age that stays
        // right across the wrap of the clock.
        const uint32_t now = LoadRelaxed(table.Header.Clock);
        int32_t oldest = -1;
        uint32_t oldestAge = 0;
        uint32_t oldestEven = 0;
        for (uint32_t i = 0; i < kRunningProgramSlots; ++i) {
            const uint32_t even = Load(table.Slots[i].Sequence);
            if ((even & 1u) != 0) continue;
            const uint32_t age = now - LoadRelaxed(table.Slots[i].Claimed);
            if (oldest < 0 || age > oldestAge) {
                oldest = static_cast<int32_t>(i);
                oldestAge = age;
                oldestEven = even;
            }
        }
        if (oldest >= 0 && TakeSlot(table.Slots[oldest], oldestEven)) {
            taken = oldestEven + 1;
            return oldest;
        }
    }
    return -1;
}

}  // namespace running

// Whether the table is of this layout.
inline bool IsRunningProgramsLayout(const RunningProgramsHeader& header) {
    return running::Load(header.Size) == kRunningProgramsSize && header.Version == kRunningProgramsVersion &&
           header.SlotCount == kRunningProgramSlots && header.SlotSize == sizeof(RunningProgramSlot);
}

namespace running {
inline bool ZeroOr(uint32_t word, uint32_t value) { return word == 0 || word == value; }
}  // namespace running

// The first copies of the library find the table zero-filled and write its
// header; each writes the same words, Size last, so that a copy that reads
// Size sees the rest. A table of another layout is left as it is. Returns
// whether the table is of this layout.
inline bool PrepareRunningPrograms(RunningPrograms& table) {
    RunningProgramsHeader& header = table.Header;
    const bool fresh = running::Load(header.Size) == 0 && running::ZeroOr(header.Version, kRunningProgramsVersion) &&
                       running::ZeroOr(header.SlotCount, kRunningProgramSlots) &&
                       running::ZeroOr(header.SlotSize, sizeof(RunningProgramSlot));
    if (fresh) {
        header.Version = kRunningProgramsVersion;
        header.SlotCount = kRunningProgramSlots;
        header.SlotSize = sizeof(RunningProgramSlot);
        running::Swap(header.Size, 0, kRunningProgramsSize);
    }
    return IsRunningProgramsLayout(header);
}

// Publishes the program of processId (its name upper case, or empty) and
// returns where; a slot still naming processId is taken over, the others
// that do are emptied.
inline RunningProgramClaim ClaimRunningProgram(RunningPrograms& table, uint32_t processId, const char* upperName) {
    if (processId == 0) return RunningProgramClaim();
    uint32_t taken = 0;
    int32_t index = running::TakeOverSlotsOf(table, processId, taken);
    if (index < 0) index = running::TakeFreeSlot(table, taken);
    if (index < 0) return RunningProgramClaim();
    return running::Publish(table, static_cast<uint32_t>(index), taken, processId, upperName);
}

// Whether the claim still holds: no other claimer took the slot since.
inline bool StillPublished(const RunningPrograms& table, const RunningProgramClaim& claim, uint32_t processId) {
    if (claim.Sequence == 0 || claim.Slot >= kRunningProgramSlots) return false;
    const RunningProgramSlot& slot = table.Slots[claim.Slot];
    return running::Load(slot.Sequence) == claim.Sequence && running::LoadRelaxed(slot.ProcessId) == processId;
}

// Process detach: the slot is emptied, unless another claimer took it.
inline void ReleaseRunningProgram(RunningPrograms& table, const RunningProgramClaim& claim) {
    if (claim.Sequence == 0 || claim.Slot >= kRunningProgramSlots) return;
    RunningProgramSlot& slot = table.Slots[claim.Slot];
    if (!running::TakeSlot(slot, claim.Sequence)) return;
    running::EmptySlot(slot);
    running::Store(slot.Sequence, claim.Sequence + 2);
}

// The name the program of processId published, with its zero, into name;
// false when no whole slot names that process (it has not attached yet, or
// a claimer was changing the slot at that moment). Reads at most the slots
// ever used, and never waits.
inline bool FindRunningProgram(const RunningPrograms& table, uint32_t processId, char (&name)[kProgramNameSize]) {
    if (processId == 0) return false;
    const uint32_t used = running::UsedSlots(table);
    for (uint32_t i = 0; i < used; ++i) {
        const RunningProgramSlot& slot = table.Slots[i];
        if (running::LoadRelaxed(slot.ProcessId) != processId) continue;
        const uint32_t before = running::Load(slot.Sequence);
        if ((before & 1u) != 0 || running::LoadRelaxed(slot.ProcessId) != processId) continue;
        uint32_t length = 0;
        for (; length < kMaxProgramNameLength; ++length) {
            const char c = __atomic_load_n(&slot.Name[length], __ATOMIC_RELAXED);
            if (c == '\0') break;
            name[length] = c;
        }
        name[length] = '\0';
        __atomic_thread_fence(__ATOMIC_ACQUIRE);
        if (running::LoadRelaxed(slot.Sequence) == before) return true;
    }
    name[0] = '\0';
    return false;
}

}  // namespace ptr
