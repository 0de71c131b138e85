// Programs' settings of their own as the tray agent keeps them and the
// programs block carries them: what a kept program holds, which kept
// programs are used, what an Apply keeps, and the block written and read
// whole.
#include "program_profiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace agent;

namespace {

using Kept = std::map<std::string, std::map<std::string, int32_t>>;

ProgramValueLookup LookupIn(const Kept& kept) {
    return [&kept](const std::string& program, const char* field, int32_t& value) {
        auto found = kept.find(program);
        if (found == kept.end()) return false;
        auto fieldFound = found->second.find(field);
        if (fieldFound == found->second.end()) return false;
        value = fieldFound->second;
        return true;
    };
}

std::vector<std::string> Names(const std::vector<ptr::ProgramSettings>& programs) {
    std::vector<std::string> names;
    for (const ptr::ProgramSettings& program : programs) names.push_back(program.name);
    return names;
}

ptr::ProgramSettings Program(const std::string& name, const std::map<std::string, int32_t>& fields = {}) {
    ptr::ProgramSettings program;
    program.name = name;
    for (const auto& field : fields) program.Set(field.first.c_str(), field.second);
    return program;
}

// A kept value comes into the range the settings form offers, as the kept
// configuration's do; fields that are not kept fall back to the block.
TEST(ProgramProfiles, AKeptProgramHoldsItsFieldsInRange) {
    const struct {
        const char* field;
        int32_t kept;
        int32_t held;
    } rows[] = {
        {"WheelLines", 5, 5},        {"WheelLines", 0, 1},          {"WheelLines", 99, 10},
        {"HWheelLines", -7, 1},      {"ButtonFunction1", 13, 13},   {"ButtonFunction1", 99, 0},
        {"ButtonFunction0", 151, 151}, {"ButtonFunction4", -1, 0},  {"EnhanceMode", 7, 7},
        {"WheelPageScroll", -1, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.field) + "=" + std::to_string(row.kept));
        const Kept kept = {{"alpha.exe", {{row.field, row.kept}}}};
        const ptr::ProgramSettings program = LoadProgram("alpha.exe", LookupIn(kept));
        EXPECT_EQ(program.fields, ptr::FieldBit(row.field));
        EXPECT_EQ(program.Get(row.field), row.held);
    }
    // Values of fields no program holds are not read at all.
    const Kept other = {{"alpha.exe", {{"UScrollVSpeed", 9}, {"ButtonCount", 5}}}};
    EXPECT_EQ(LoadProgram("alpha.exe", LookupIn(other)).fields, 0u);
}

TEST(ProgramProfiles, AtMost64KeptProgramsAreUsedInTheOrderOfTheirNames) {
    std::vector<std::string> names;
    for (int i = 65; i >= 0; --i) names.push_back("p" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".exe");
    names.push_back("P05.EXE");                       // the same program again
    names.push_back(std::string(64, 'x') + ".exe");   // too long for an entry
    names.push_back("dir\\name.exe");
    const Kept kept = {{"p00.exe", {{"WheelLines", 4}}}, {"p64.exe", {{"WheelLines", 6}}}};
    const ProgramChoice choice = ChooseKeptPrograms(names, LookupIn(kept));
    ASSERT_EQ(choice.used.size(), 64u);
    EXPECT_EQ(choice.used.front().name, "p00.exe");
    EXPECT_EQ(choice.used.front().Get("WheelLines"), 4);
    EXPECT_EQ(choice.used.back().name, "p63.exe");
    EXPECT_EQ(choice.tooMany, (std::vector<std::string>{"p64.exe", "p65.exe"}));
    EXPECT_EQ(choice.unusable, (std::vector<std::string>{"dir\\name.exe", "P05.EXE", std::string(64, 'x') + ".exe"}));
    const std::string notice = RefusedProgramsNotice(choice.tooMany, choice.unusable);
    EXPECT_NE(notice.find("At most 64 programs"), std::string::npos) << notice;
    EXPECT_NE(notice.find("p64.exe, p65.exe"), std::string::npos) << notice;
    EXPECT_NE(notice.find("P05.EXE"), std::string::npos) << notice;
    EXPECT_EQ(RefusedProgramsNotice({}, {}), "");
}

// An Apply keeps what the block holds; what someone else kept meanwhile
// joins it while there is room; what the settings program removed goes.
TEST(ProgramProfiles, AnApplyKeepsTheBlockAndWhatWasKeptMeanwhile) {
    const ptr::ProgramSettings alpha = Program("alpha.exe", {{"WheelLines", 5}});
    const ptr::ProgramSettings alphaKept = Program("ALPHA.EXE", {{"WheelLines", 9}});
    const ptr::ProgramSettings beta = Program("beta.exe", {{"ButtonFunction1", 28}});
    const ptr::ProgramSettings gamma = Program("gamma.exe", {{"EnhanceMode", 0}});
    const struct {
        const char* name;
        std::vector<ptr::ProgramSettings> inBlock;
        std::vector<ptr::ProgramSettings> kept;
        std::set<std::string> known;
        std::vector<std::string> keep;
        std::vector<std::string> remove;
        bool blockChanged;
    } rows[] = {
        {"nothing kept yet", {alpha, beta}, {}, {}, {"alpha.exe", "beta.exe"}, {}, false},
        {"the block's values win", {alpha}, {alphaKept}, {"ALPHA.EXE"}, {"alpha.exe"}, {}, false},
        {"removed in the settings program", {alpha}, {alphaKept, beta}, {"ALPHA.EXE", "BETA.EXE"}, {"alpha.exe"},
         {"beta.exe"}, false},
        {"kept by someone else meanwhile", {alpha}, {gamma}, {"ALPHA.EXE"}, {"alpha.exe", "gamma.exe"}, {}, true},
        {"added on both sides: the block's", {alpha}, {alphaKept}, {}, {"alpha.exe"}, {}, false},
        {"an empty block removes what was known only", {}, {alpha, gamma}, {"ALPHA.EXE"}, {"gamma.exe"},
         {"alpha.exe"}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const KeepPlan plan = PlanKeeping(row.inBlock, row.kept, row.known);
        EXPECT_EQ(Names(plan.keep), row.keep);
        EXPECT_EQ(plan.remove, row.remove);
        EXPECT_EQ(plan.blockChanged, row.blockChanged);
        EXPECT_TRUE(plan.refused.empty());
    }
    EXPECT_EQ(PlanKeeping({alpha}, {alphaKept}, {"ALPHA.EXE"}).keep[0].Get("WheelLines"), 5);
}

TEST(ProgramProfiles, WhatWasKeptMeanwhileFindsNoRoomInAFullBlock) {
    std::vector<ptr::ProgramSettings> full;
    for (int i = 0; i < ptr::kMaxPrograms; ++i) full.push_back(Program("p" + std::to_string(i) + ".exe"));
    const KeepPlan plan = PlanKeeping(full, {Program("extra.exe"), Program("p3.exe")}, KnownNames(full));
    EXPECT_EQ(plan.keep.size(), 64u);
    EXPECT_FALSE(plan.blockChanged);
    EXPECT_EQ(plan.refused, (std::vector<std::string>{"extra.exe"}));
    EXPECT_TRUE(plan.remove.empty()) << "a refused program stays kept";
}

// The block written and read whole, as the agent and the settings program do.
struct Blocks {
    std::unique_ptr<ptr::ProgramsBlock> block{new ptr::ProgramsBlock()};
};

std::vector<ptr::ProgramSettings> ReadWhole(const ptr::ProgramsBlock& block) {
    std::vector<ptr::ProgramSettings> programs;
    EXPECT_TRUE(ptr::ReadPrograms(block, programs));
    return programs;
}

bool SamePrograms(const std::vector<ptr::ProgramSettings>& a, const std::vector<ptr::ProgramSettings>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].fields != b[i].fields ||
            std::memcmp(&a[i].values, &b[i].values, sizeof a[i].values) != 0)
            return false;
    return true;
}

// Two lists of programs that share no name and no value.
std::vector<ptr::ProgramSettings> ListOf(const char* prefix, int count, int32_t lines) {
    std::vector<ptr::ProgramSettings> programs;
    for (int i = 0; i < count; ++i)
        programs.push_back(Program(prefix + std::to_string(i) + ".exe", {{"WheelLines", lines}, {"ButtonFunction1", lines}}));
    return programs;
}

struct Writer {
    ptr::ProgramsBlock* block;
    std::vector<ptr::ProgramSettings> programs;
    int writes;
    HANDLE go;  // the writers start together
    int refused;
};

DWORD WINAPI WriteOften(void* context) {
    Writer& w = *static_cast<Writer*>(context);
    WaitForSingleObject(w.go, INFINITE);
    for (int i = 0; i < w.writes; ++i) w.refused += ptr::WritePrograms(*w.block, w.programs) ? 0 : 1;
    return 0;
}

struct Reader {
    const ptr::ProgramsBlock* block;
    const std::vector<ptr::ProgramSettings>* lists[2];
    volatile LONG* writing;
    int reads;
    int failed;
    int mixed;
};

DWORD WINAPI ReadOften(void* context) {
    Reader& r = *static_cast<Reader*>(context);
    while (*r.writing != 0) {
        std::vector<ptr::ProgramSettings> programs;
        ++r.reads;
        if (!ptr::ReadPrograms(*r.block, programs)) ++r.failed;
        else if (!programs.empty() && !SamePrograms(programs, *r.lists[0]) && !SamePrograms(programs, *r.lists[1]))
            ++r.mixed;
    }
    return 0;
}

// The tray agent and the settings program write at the same time while
// both read: one writer at a time, every reading whole, every change a
// generation of its own.
TEST(ProgramsView, WritersTakeTurnsAndReadersNeverSeeAMix) {
    Blocks b;
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Writer writers[2] = {{b.block.get(), ListOf("a", 40, 2), 500, go, 0}, {b.block.get(), ListOf("b", 64, 7), 500, go, 0}};
    volatile LONG writing = 1;
    Reader readers[2];
    HANDLE threads[4];
    for (int i = 0; i < 2; ++i) {
        readers[i] = {b.block.get(), {&writers[0].programs, &writers[1].programs}, &writing, 0, 0, 0};
        threads[2 + i] = CreateThread(nullptr, 0, ReadOften, &readers[i], 0, nullptr);
    }
    for (int i = 0; i < 2; ++i) threads[i] = CreateThread(nullptr, 0, WriteOften, &writers[i], 0, nullptr);
    SetEvent(go);
    WaitForMultipleObjects(2, threads, TRUE, INFINITE);
    CloseHandle(go);
    InterlockedExchange(&writing, 0);
    WaitForMultipleObjects(2, threads + 2, TRUE, INFINITE);
    for (HANDLE thread : threads) CloseHandle(thread);

    EXPECT_EQ(writers[0].refused + writers[1].refused, 0);
    EXPECT_EQ(b.block->Header.Generation, 2u * 1000) << "two writers ended a change on the same number";
    const std::vector<ptr::ProgramSettings> last = ReadWhole(*b.block);
    EXPECT_TRUE(SamePrograms(last, writers[0].programs) || SamePrograms(last, writers[1].programs));
    for (const Reader& r : readers) {
        EXPECT_GT(r.reads, 0);
        EXPECT_EQ(r.failed, 0);
        EXPECT_EQ(r.mixed, 0);
    }
}

// A writer that dies in the middle of its change (here a thread ended from
// outside while it holds the lock): the block reads as torn, not as what it
// holds; the next writer gets the lock the dead one left and makes it whole.
DWORD WINAPI DieWhileWriting(void* context) {
    auto* block = static_cast<ptr::ProgramsBlock*>(context);
    ptr::ProgramsLock lock;
    ptr::BeginProgramsChange(block->Header);
    std::memcpy(block->Entries[0].Name, "torn", 4);
    Sleep(INFINITE);
    return 0;
}

TEST(ProgramsView, AWriterKilledInTheMiddleLeavesATornBlockTheNextWriterMakesWhole) {
    Blocks b;
    const std::vector<ptr::ProgramSettings> before = ListOf("a", 3, 2);
    ASSERT_TRUE(ptr::WritePrograms(*b.block, before));
    HANDLE writer = CreateThread(nullptr, 0, DieWhileWriting, b.block.get(), 0, nullptr);
    while ((b.block->Header.Generation & 1u) == 0) Sleep(1);
    TerminateThread(writer, 1);
    WaitForSingleObject(writer, INFINITE);
    CloseHandle(writer);

    std::vector<ptr::ProgramSettings> read = before;
    EXPECT_FALSE(ptr::ReadPrograms(*b.block, read));
    EXPECT_TRUE(read.empty());
    const std::vector<ptr::ProgramSettings> after = ListOf("c", 5, 9);
    EXPECT_TRUE(ptr::WritePrograms(*b.block, after));
    EXPECT_EQ(b.block->Header.Generation % 2, 0u);
    EXPECT_TRUE(SamePrograms(ReadWhole(*b.block), after));
}

TEST(ProgramsView, WhatIsWrittenIsReadBackInRangeAndInOrder) {
    Blocks b;
    std::vector<ptr::ProgramSettings> programs;
    for (int i = 0; i < 70; ++i) programs.push_back(Program("p" + std::to_string(i) + ".exe", {{"WheelLines", i % 12}}));
    programs[1].Set("ButtonFunction2", 101);
    programs[1].Set("EnhanceMode", -1);
    ptr::WritePrograms(*b.block, programs);
    EXPECT_EQ(b.block->Header.Generation, 2u) << "one change: odd while written, even after";
    EXPECT_TRUE(ptr::IsProgramsLayout(b.block->Header));
    EXPECT_EQ(b.block->Header.Count, 64u);
    EXPECT_STREQ(b.block->Entries[1].Name, "p1.exe");
    EXPECT_EQ(b.block->Entries[1].Values.ButtonFunction[2], 101);
    EXPECT_EQ(b.block->Entries[1].FieldMask,
              ptr::FieldBit("WheelLines") | ptr::FieldBit("ButtonFunction2") | ptr::FieldBit("EnhanceMode"));

    const std::vector<ptr::ProgramSettings> read = ReadWhole(*b.block);
    ASSERT_EQ(read.size(), 64u);
    for (int i = 0; i < 64; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read[i].name, programs[i].name);
        EXPECT_EQ(read[i].fields, programs[i].fields);
        EXPECT_EQ(read[i].Get("WheelLines"), i % 12 == 0 ? 1 : i % 12 > 10 ? 10 : i % 12);
    }

    // Fewer programs: the entries beyond them are cleared.
    ptr::WritePrograms(*b.block, {programs[5]});
    EXPECT_EQ(b.block->Header.Generation, 4u);
    EXPECT_EQ(b.block->Header.Count, 1u);
    EXPECT_EQ(b.block->Entries[1].Name[0], '\0');
    EXPECT_EQ(b.block->Entries[1].FieldMask, 0u);
}

// Whatever another writer left in the block, what is read is of use.
TEST(ProgramsView, ABlockIsReadWithinItsLayout) {
    const struct {
        const char* name;
        void (*spoil)(ptr::ProgramsBlock&);
        std::vector<std::string> read;
    } rows[] = {
        {"as written", [](ptr::ProgramsBlock&) {}, {"alpha.exe", "beta.exe", "gamma.exe"}},
        {"another version", [](ptr::ProgramsBlock& b) { b.Header.Version = 9; }, {}},
        {"another size", [](ptr::ProgramsBlock& b) { b.Header.Size = 999; }, {}},
        {"a count beyond the room", [](ptr::ProgramsBlock& b) { b.Header.Count = 0xFFFFFFFF; },
         {"alpha.exe", "beta.exe", "gamma.exe"}},
        {"a name twice, in another case", [](ptr::ProgramsBlock& b) { std::strcpy(b.Entries[1].Name, "ALPHA.exe"); },
         {"alpha.exe", "gamma.exe"}},
        {"a name that is no file name", [](ptr::ProgramsBlock& b) { std::strcpy(b.Entries[2].Name, "c:\\x.exe"); },
         {"alpha.exe", "beta.exe"}},
        {"a name without its zero", [](ptr::ProgramsBlock& b) { std::memset(b.Entries[0].Name, 'a', 64); },
         {std::string(63, 'a'), "beta.exe", "gamma.exe"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Blocks b;
        ptr::WritePrograms(*b.block, {Program("alpha.exe"), Program("beta.exe"), Program("gamma.exe")});
        row.spoil(*b.block);
        EXPECT_EQ(Names(ReadWhole(*b.block)), row.read);
    }
    // Bits of fields no program holds, and values out of range, are not taken.
    Blocks b;
    ptr::WritePrograms(*b.block, {Program("alpha.exe")});
    b.block->Entries[0].FieldMask = 0xFFFFFFFF;
    b.block->Entries[0].Values.WheelLines = 1000;
    b.block->Entries[0].Values.ButtonFunction[0] = 57;
    const ptr::ProgramSettings read = ReadWhole(*b.block).at(0);
    EXPECT_EQ(read.fields, ptr::kProgramFieldMask);
    EXPECT_EQ(read.Get("WheelLines"), 10);
    EXPECT_EQ(read.Get("ButtonFunction0"), 0);
}

}  // namespace
