// Settings of their own for chosen programs: which program an action takes
// them from (the owner of the pressed window, of the window under the cursor
// for the wheel, the start's for a mode), which fields fall back to the
// settings block, how another process's program is named (the running
// programs table, which each copy of the library fills for its own process),
// and what a lookup costs (one call into the system per notch).
#include "fake_desktop.h"
#include "function_codes.h"
#include "lifecycle.h"
#include "markers.h"
#include "mouse_proc.h"
#include "programs.h"
#include "scroll_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace ptr;
using namespace ptr::fake;

namespace {

// The processes of the desktop: the hooked one (the host, which has the
// focus), and others under the cursor.
constexpr DWORD kAlpha = 0x200;
constexpr DWORD kBeta = 0x300;
constexpr DWORD kGamma = 0x400;     // no settings of its own
constexpr DWORD kNameless = 0x500;  // never published its program
constexpr DWORD kAccented = 0x600;

struct Desk {
    FakeHook h;
    HWND focus = nullptr;  // the host's window with the focus: wheel messages come to it
    HWND host = nullptr;
    HWND alpha = nullptr;
    HWND beta = nullptr;
    HWND gamma = nullptr;
    HWND nameless = nullptr;
    HWND accented = nullptr;

    Desk() {
        h.UseDefaultBlock();
        h.SetOs(OS_WINXP);
        h.hooks.MouseHook = 0x5550;
        h.block.ButtonCount = 5;
        h.block.ButtonFunction[1] = function::kF5;
        h.desk.SetExePath("C:\\Program Files\\Host\\Host.exe");
        AttachProcess(h.desk, h.shared, h.process);
        h.UsePrograms();
        focus = h.desk.AddWindow("Focus", WS_VISIBLE, {900, 900, 1000, 1000});
        host = Pane(0, kFakeOwnProcess);
        alpha = Pane(1, kAlpha);
        beta = Pane(2, kBeta);
        gamma = Pane(3, kGamma);
        nameless = Pane(4, kNameless);
        accented = Pane(5, kAccented);
        h.Publish(kAlpha, "alpha.exe");
        h.Publish(kBeta, "Beta.EXE");
        h.Publish(kGamma, "gamma.exe");
        h.Publish(kAccented, "\xE9t\xE9.exe");  // "été.exe"
    }

    // A pane with a vertical scroll bar, 100 pixels wide, in a row.
    HWND Pane(int column, DWORD process) {
        HWND pane = h.desk.AddWindow("Pane", WS_VISIBLE | WS_VSCROLL, {column * 100, 0, column * 100 + 100, 100});
        if (process != kFakeOwnProcess) h.desk.SetWindowOwner(pane, process, process + 4);
        return pane;
    }

    static POINT CentreOf(int column) { return {column * 100 + 50, 50}; }

    int Program(const std::string& name, const std::vector<std::pair<const char*, int32_t>>& fields) {
        int entry = h.AddProgram(name);
        for (const auto& field : fields) h.SetProgramField(entry, field.first, field.second);
        return entry;
    }

    // The hook for one event addressed to window; true when swallowed.
    bool Hook(HWND window, UINT message, uint32_t extra, DWORD mouseData = 0, POINT at = {3000, 3000}) {
        MOUSEHOOKSTRUCTEX data = {};
        data.pt = at;
        data.hwnd = window;
        data.dwExtraInfo = extra;
        data.mouseData = mouseData;
        int calls = h.desk.CallNextCount();
        LRESULT result = MouseHook(h.ctx, HC_ACTION, message, reinterpret_cast<LPARAM>(&data));
        return h.desk.CallNextCount() == calls && result == 1;
    }

    // Button 4 pressed over the window and released, as the X-button hook
    // hands it on: what its function did once the press was handled.
    Log PressButton4(HWND window) {
        h.desk.ClearLog();
        Hook(window, WM_MBUTTONDOWN, XBUTTON1);
        bool runs = !h.desk.Injections().empty() && h.desk.Injections().back().extra == ExtraInfo(MARK_RUN);
        h.desk.ClearLog();
        if (runs) Hook(window, WM_MBUTTONUP, ExtraInfo(MARK_RUN));
        Hook(window, WM_MBUTTONUP, XBUTTON1);
        return h.desk.log();
    }

    // One notch down over the column; the log of what was posted, or
    // "passed" when the message went on to the system.
    Log Notch(int column, int16_t delta = -120) {
        h.desk.ClearLog();
        bool swallowed = Hook(focus, WM_MOUSEWHEEL, 0, static_cast<DWORD>(static_cast<uint16_t>(delta)) << 16,
                              CentreOf(column));
        Log log = h.desk.log();
        if (!swallowed) log.push_back("passed");
        return log;
    }
};

Log KeyTap(HWND focusFrom, HWND window, BYTE vk) {
    Log log;
    if (focusFrom != window) log.push_back(Focus(window));
    log.push_back(KeyDown(vk));
    log.push_back(KeyUp(vk));
    return log;
}

Log Chord(HWND window, BYTE vk) {
    return {Focus(window), KeyDown(VK_CONTROL), KeyDown(vk), KeyUp(vk), KeyUp(VK_CONTROL)};
}

Log Lines(HWND pane, int lines) {
    return Expand({Times(lines, Post(pane, WM_VSCROLL, SB_LINEDOWN, 0)), Once(Post(pane, WM_VSCROLL, SB_ENDSCROLL, 0))});
}

Log Page(HWND pane) {
    return {Post(pane, WM_VSCROLL, SB_PAGEDOWN, 0), Post(pane, WM_VSCROLL, SB_ENDSCROLL, 0)};
}

// A press's function comes from the program that owns the pressed window;
// a field its settings do not hold comes from the block.
TEST(Programs, APressRunsTheFunctionOfTheProgramUnderTheCursor) {
    Desk d;
    d.Program("ALPHA.exe", {{"ButtonFunction1", function::kEnter}});
    d.Program("beta.exe", {{"ButtonFunction1", function::kCopy}});
    d.Program("host.exe", {{"ButtonFunction1", function::kPaste}});
    d.Program("gamma.com", {{"ButtonFunction1", function::kEnter}});  // not gamma.exe
    d.Program("\xC9T\xC9.EXE", {{"ButtonFunction0", function::kEnter}, {"ButtonFunction1", 99}});  // "ÉTÉ.EXE"
    const struct {
        const char* name;
        HWND Desk::*window;
        int32_t pending;
    } rows[] = {
        {"a program named in another case", &Desk::alpha, function::kEnter},
        {"another program, its own function", &Desk::beta, function::kCopy},
        {"the hooked process's own program", &Desk::host, function::kPaste},
        {"a program without settings: the block's", &Desk::gamma, function::kF5},
        {"a program that cannot be named: the block's", &Desk::nameless, function::kF5},
        {"an unknown code in a program's settings: System Default", &Desk::accented, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        d.PressButton4(d.*row.window);
        EXPECT_EQ(d.h.shared.PendingFunction, static_cast<uint32_t>(row.pending));
    }
    // Whole: the keys go to the pressed window.
    EXPECT_EQ(d.PressButton4(d.alpha), KeyTap(nullptr, d.alpha, VK_RETURN));
    EXPECT_EQ(d.PressButton4(d.beta), Chord(d.beta, 'C'));
    EXPECT_EQ(d.PressButton4(d.gamma), KeyTap(d.beta, d.gamma, VK_F5));

    // With three buttons, button 4 is the middle button, in the program's settings too.
    d.h.block.ButtonCount = 3;
    d.PressButton4(d.accented);
    EXPECT_EQ(d.h.shared.PendingFunction, static_cast<uint32_t>(function::kEnter));
    EXPECT_FALSE(d.Hook(d.alpha, WM_MBUTTONDOWN, XBUTTON1)) << "alpha's middle button is the block's: a plain click";
}

// The wheel takes the settings of the program that owns the window under the
// cursor, not those of the hooked process (the focus's).
TEST(Programs, TheWheelTakesTheSettingsOfTheWindowUnderTheCursor) {
    const struct {
        const char* name;
        std::vector<std::pair<const char*, int32_t>> alphaFields;
        int32_t blockEnhance;
        int32_t blockLines;
        Log (*expected)(const Desk&);
    } rows[] = {
        {"system mode in the program, enhanced elsewhere", {{"EnhanceMode", 0}}, -1, 3,
         [](const Desk&) { return Log{"passed"}; }},
        {"enhanced in the program, system mode elsewhere", {{"EnhanceMode", -1}}, 0, 3,
         [](const Desk& d) { return Lines(d.alpha, 3); }},
        {"its own lines", {{"WheelLines", 7}}, -1, 3, [](const Desk& d) { return Lines(d.alpha, 7); }},
        {"its own pages", {{"WheelPageScroll", -1}}, -1, 3, [](const Desk& d) { return Page(d.alpha); }},
        {"lines beyond the range: 10", {{"WheelLines", 55}}, -1, 3, [](const Desk& d) { return Lines(d.alpha, 10); }},
        {"lines below the range: 1", {{"WheelLines", -4}}, -1, 3, [](const Desk& d) { return Lines(d.alpha, 1); }},
        {"only buttons of its own: the block's wheel", {{"ButtonFunction1", function::kEnter}}, -1, 4,
         [](const Desk& d) { return Lines(d.alpha, 4); }},
        {"only the horizontal wheel: the block's vertical one", {{"HWheelLines", 9}, {"HWheelPageScroll", -1}}, -1, 2,
         [](const Desk& d) { return Lines(d.alpha, 2); }},
        {"enhanced and its own lines in system mode", {{"EnhanceMode", 1}, {"WheelLines", 6}}, 0, 3,
         [](const Desk& d) { return Lines(d.alpha, 6); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Desk d;
        d.h.block.EnhanceMode = row.blockEnhance;
        d.h.block.WheelLines = row.blockLines;
        d.Program("alpha.exe", row.alphaFields);
        d.Program("beta.exe", {{"WheelLines", 8}});
        EXPECT_EQ(d.Notch(1), row.expected(d));
        // Over a program without settings of its own, the block decides.
        EXPECT_EQ(d.Notch(3), row.blockEnhance ? Lines(d.gamma, row.blockLines) : Log{"passed"});
        EXPECT_EQ(d.Notch(2), row.blockEnhance ? Lines(d.beta, 8) : Log{"passed"}) << "beta keeps the block's mode";
    }
}

TEST(Programs, TheHorizontalWheelTakesTheProgramsHorizontalSettings) {
    Desk d;
    d.h.block.WheelCount = 2;
    d.Program("alpha.exe", {{"HWheelLines", 5}, {"WheelLines", 9}});
    d.Program("beta.exe", {{"HWheelPageScroll", -1}});
    const auto right = [](HWND pane, WPARAM code, int times) {
        return Expand({Times(times, Post(pane, WM_HSCROLL, code, 0)), Once(Post(pane, WM_HSCROLL, SB_ENDSCROLL, 0))});
    };
    // A pane with both bars: the marker scrolls it sideways.
    d.h.desk.WindowOf(d.alpha).style |= WS_HSCROLL;
    d.h.desk.WindowOf(d.beta).style |= WS_HSCROLL;
    d.h.desk.WindowOf(d.gamma).style |= WS_HSCROLL;
    EXPECT_EQ(d.Notch(1, HWHEEL_RIGHT), right(d.alpha, SB_LINERIGHT, 5));
    EXPECT_EQ(d.Notch(2, HWHEEL_RIGHT), right(d.beta, SB_PAGERIGHT, 1));
    EXPECT_EQ(d.Notch(3, HWHEEL_RIGHT), right(d.gamma, SB_LINERIGHT, 3));
}

// A mode keeps the program it started in: the horizontal wheel started over
// alpha scrolls by alpha's lines wherever the cursor goes.
TEST(Programs, AModeKeepsTheSettingsOfTheProgramItStartedIn) {
    Desk d;
    d.h.block.ButtonFunction[1] = function::kHorizontalWheel;
    d.Program("alpha.exe", {{"WheelLines", 6}});
    d.Program("beta.exe", {{"WheelLines", 2}, {"ButtonFunction1", function::kHorizontalWheel}});
    for (HWND pane : {d.alpha, d.beta, d.gamma}) d.h.desk.WindowOf(pane).style |= WS_HSCROLL;
    const auto left = [](HWND pane, int times) {
        return Expand({Times(times, Post(pane, WM_HSCROLL, SB_LINELEFT, 0)), Once(Post(pane, WM_HSCROLL, SB_ENDSCROLL, 0))});
    };

    d.PressButton4(d.alpha);
    ASSERT_EQ(d.h.shared.Mode, 62u);
    EXPECT_EQ(d.Notch(2, 120), left(d.beta, 6)) << "over beta, alpha's lines";
    EXPECT_EQ(d.Notch(3, 120), left(d.gamma, 6));
    d.PressButton4(d.gamma);  // a middle press ends the mode
    ASSERT_EQ(d.h.shared.Mode, 0u);

    d.PressButton4(d.beta);
    ASSERT_EQ(d.h.shared.Mode, 62u);
    EXPECT_EQ(d.Notch(1, 120), left(d.alpha, 2)) << "a mode started over beta: beta's lines over alpha";
    d.PressButton4(d.beta);

    // Started over a program without settings: the block's, even over alpha.
    d.PressButton4(d.gamma);
    ASSERT_EQ(d.h.shared.Mode, 62u);
    EXPECT_EQ(d.Notch(1, 120), left(d.alpha, 3));
}

// A notch over another program costs one call into the system more than
// the same notch without any program's settings: the window's process. The
// entries' names are upper-cased once for each generation of the programs
// block, with one call for all of them; a change chooses the entry again.
TEST(Programs, ANotchCostsOneCallMoreWhateverTheProgramsAndIsChosenAgainWhenTheBlockChanges) {
    Desk d;
    // Calls other than the posts, whose number is the lines'.
    const auto queries = [&d] { return d.h.desk.Calls() - d.h.desk.Calls("PostMessageA"); };
    // The notch without any program's settings: the calls of routing it.
    d.Notch(3);
    int before = queries();
    EXPECT_EQ(d.Notch(3), Lines(d.gamma, 3));
    const int plain = queries() - before;

    for (int i = 0; i < kMaxPrograms - 1; ++i) d.Program("other" + std::to_string(i) + ".exe", {{"WheelLines", 9}});
    int gamma = d.Program("gamma.exe", {{"WheelLines", 7}});
    const struct {
        const char* name;
        int column;
        HWND Desk::*pane;
        int lines;
    } rows[] = {
        {"the last of 64 programs", 3, &Desk::gamma, 7},
        {"a program without settings", 1, &Desk::alpha, 3},
        {"a program that never published its name", 4, &Desk::nameless, 3},
        {"the hooked process's own program", 0, &Desk::host, 3},
    };
    int upperCalls = d.h.desk.Calls("CharUpperBuffA");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        for (int notch = 0; notch < 3; ++notch) {
            before = queries();
            EXPECT_EQ(d.Notch(row.column), Lines(d.*row.pane, row.lines));
            const int calls = queries() - before;
            // The first notch after the change upper-cases the 64 names, once.
            const int expected = plain + 1 + (notch == 0 && row.column == 3 ? 1 : 0);
            EXPECT_EQ(calls, expected);
        }
    }
    EXPECT_EQ(d.h.desk.Calls("CharUpperBuffA") - upperCalls, 1);

    // Changed live: the next notch takes the new value; a program added now
    // takes its settings at once.
    d.h.SetProgramField(gamma, "WheelLines", 2);
    EXPECT_EQ(d.Notch(3), Lines(d.gamma, 2));
    d.h.SetProgramField(gamma, "WheelPageScroll", -1);
    EXPECT_EQ(d.Notch(3), Page(d.gamma));
    EXPECT_EQ(d.h.desk.Calls("CharUpperBuffA") - upperCalls, 3);
    // Removed: the block's settings again.
    uint32_t odd = BeginProgramsChange(d.h.programs.Header);
    d.h.programs.Header.Count = 1;
    EndProgramsChange(d.h.programs.Header, odd);
    EXPECT_EQ(d.Notch(3), Lines(d.gamma, 3));
}

// Another process's program is the one its copy of the library published:
// not before it did, and after a process was killed (its slot left behind),
// the program of the next process given its id.
TEST(Programs, AProgramIsTheOneItsProcessPublished) {
    Desk d;
    d.Program("alpha.exe", {{"WheelLines", 7}});
    d.Program("other.exe", {{"WheelLines", 1}});
    d.Program("late.exe", {{"WheelLines", 5}});
    EXPECT_EQ(d.Notch(1), Lines(d.alpha, 7));
    // alpha was killed, and its id runs other.exe, which attached.
    d.h.Publish(kAlpha, "other.exe");
    EXPECT_EQ(d.Notch(1), Lines(d.alpha, 1));
    // A process that has not attached yet is named as soon as it has.
    EXPECT_EQ(d.Notch(4), Lines(d.nameless, 3));
    RunningProgramClaim late = d.h.Publish(kNameless, "LATE.exe");
    EXPECT_EQ(d.Notch(4), Lines(d.nameless, 5));
    // Ended normally: its slot is emptied.
    ReleaseRunningProgram(*d.h.running, late);
    EXPECT_EQ(d.Notch(4), Lines(d.nameless, 3));
}

// Blocks this layout does not know, or that are being written, are not
// read: every program takes the settings block.
TEST(Programs, ABlockOfAnotherLayoutOrInChangeIsNotRead) {
    const struct {
        const char* name;
        void (*spoil)(ProgramsBlock&);
    } rows[] = {
        {"another size", [](ProgramsBlock& p) { p.Header.Size += 192; }},
        {"another version", [](ProgramsBlock& p) { p.Header.Version = 2; }},
        {"another entry size", [](ProgramsBlock& p) { p.Header.EntrySize = 256; }},
        {"other room", [](ProgramsBlock& p) { p.Header.MaxEntries = 128; }},
        {"no entries", [](ProgramsBlock& p) { p.Header.Count = 0; }},
        {"being written", [](ProgramsBlock& p) { BeginProgramsChange(p.Header); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Desk d;
        d.Program("alpha.exe", {{"WheelLines", 7}, {"ButtonFunction1", function::kEnter}});
        row.spoil(d.h.programs);
        EXPECT_EQ(d.Notch(1), Lines(d.alpha, 3));
        d.PressButton4(d.alpha);
        EXPECT_EQ(d.h.shared.PendingFunction, static_cast<uint32_t>(function::kF5));
    }
    Desk unmapped;
    unmapped.h.process.Programs = nullptr;
    int before = unmapped.h.desk.Calls();
    EXPECT_EQ(unmapped.Notch(1), Lines(unmapped.alpha, 3));
    EXPECT_EQ(unmapped.h.desk.Calls("GetWindowThreadProcessId"), 0);
    EXPECT_GT(unmapped.h.desk.Calls(), before);
}

// Whatever a writer left in the entries, nothing is read beyond them and an
// entry never matches by accident.
TEST(Programs, EntriesAreReadWithinTheirBounds) {
    Desk d;
    d.Program("alpha.exe", {{"WheelLines", 7}});
    int noName = d.Program("", {{"WheelLines", 9}});
    int full = d.Program("", {{"WheelLines", 8}});
    (void)noName;
    // A name filling all 64 bytes, without its zero: cut at 63.
    std::memset(d.h.programs.Entries[full].Name, 'g', sizeof d.h.programs.Entries[full].Name);
    d.h.Publish(kGamma, std::string(63, 'g'));
    d.h.programs.Header.Count = 1000;  // beyond the entries: only 64 are read
    // Bits beyond the program fields lay nothing over the block: the agent's
    // window stays the block's.
    HWND agent = d.h.desk.AddWindow("Agent", 0);
    d.h.block.AgentWindow = FromHwnd(agent);
    ProgramEntry& first = d.h.programs.Entries[0];
    first.FieldMask = 0xFFFFFFFFu;
    first.Values.EnhanceMode = -1;
    first.Values.ButtonFunction[1] = function::kLaunchBrowser;
    first.Values.AgentWindow = 0x1234;
    EXPECT_EQ(d.Notch(1), Lines(d.alpha, 7));
    EXPECT_EQ(d.Notch(3), Lines(d.gamma, 8)) << "63 characters still match";
    EXPECT_EQ(d.Notch(4), Lines(d.nameless, 3)) << "no name matches an empty one";
    EXPECT_EQ(d.PressButton4(d.alpha), Log{Post(agent, UM_LAUNCHBROWSER, 0, 0)});

    // A program name longer than any entry's: published empty, the block's settings.
    d.h.Publish(kBeta, std::string(64, 'g'));
    EXPECT_EQ(d.Notch(2), Lines(d.beta, 3));
}

}  // namespace

namespace {

// ---- The running programs table ----

std::string NameOfId(uint32_t processId) {
    char name[16];
    std::snprintf(name, sizeof name, "P%08X.EXE", processId);
    return name;
}

std::string Found(const RunningPrograms& table, uint32_t processId) {
    char name[kProgramNameSize];
    return FindRunningProgram(table, processId, name) ? name : "-";
}

int SlotsNaming(const RunningPrograms& table, uint32_t processId) {
    int count = 0;
    for (const RunningProgramSlot& slot : table.Slots) count += slot.ProcessId == processId ? 1 : 0;
    return count;
}

// Slots left by killed processes, ids given again, a full table, and a
// table of another layout.
TEST(RunningPrograms, KilledProcessesReusedIdsAndAFullTable) {
    std::unique_ptr<RunningPrograms> table(new RunningPrograms());
    ASSERT_TRUE(PrepareRunningPrograms(*table));
    std::vector<RunningProgramClaim> claims;
    for (uint32_t id = 4; id <= 4 * kRunningProgramSlots; id += 4)
        claims.push_back(ClaimRunningProgram(*table, id, NameOfId(id).c_str()));
    EXPECT_EQ(table->Header.Used, kRunningProgramSlots);
    EXPECT_EQ(Found(*table, 4), NameOfId(4));

    // Full: a new process takes the slot claimed longest ago.
    ClaimRunningProgram(*table, 0x9000, "NEW.EXE");
    EXPECT_EQ(Found(*table, 0x9000), "NEW.EXE");
    EXPECT_EQ(Found(*table, 4), "-");
    // That process is alive: at its next mouse message it claims again, and
    // the next oldest goes; after that it stays.
    ProcessState first;
    first.Running = table.get();
    first.ProcessId = 4;
    std::snprintf(first.ProgramName, sizeof first.ProgramName, "%s", NameOfId(4).c_str());
    first.Claim = claims[0];
    KeepOwnProgramPublished(first);
    EXPECT_EQ(Found(*table, 4), NameOfId(4));
    EXPECT_EQ(Found(*table, 8), "-");
    const uint32_t clock = table->Header.Clock;
    KeepOwnProgramPublished(first);
    EXPECT_EQ(table->Header.Clock, clock) << "published: nothing claimed";

    // Process 12 was killed; its id runs another program, which takes its
    // slot over; a second slot still naming 12 is emptied.
    table->Slots[200].ProcessId = 12;
    ClaimRunningProgram(*table, 12, "AGAIN.EXE");
    EXPECT_EQ(Found(*table, 12), "AGAIN.EXE");
    EXPECT_EQ(SlotsNaming(*table, 12), 1);

    // Ended normally: its slot is free for the next process; a release of a
    // claim whose slot another process took since changes nothing.
    ReleaseRunningProgram(*table, claims[5]);
    EXPECT_EQ(Found(*table, 24), "-");
    ClaimRunningProgram(*table, 0x9004, "NEXT.EXE");
    EXPECT_EQ(Found(*table, 0x9004), "NEXT.EXE");
    ReleaseRunningProgram(*table, claims[5]);
    EXPECT_EQ(Found(*table, 0x9004), "NEXT.EXE");
    EXPECT_EQ(Found(*table, 0), "-") << "no process has id 0";

    const struct {
        const char* name;
        void (*spoil)(RunningProgramsHeader&);
    } layouts[] = {
        {"another version", [](RunningProgramsHeader& h) { h.Version = 2; }},
        {"other slots", [](RunningProgramsHeader& h) { h.SlotSize = 96; }},
        {"another size", [](RunningProgramsHeader& h) { h.Size = 4096; }},
    };
    for (const auto& row : layouts) {
        SCOPED_TRACE(row.name);
        std::unique_ptr<RunningPrograms> other(new RunningPrograms());
        row.spoil(other->Header);
        EXPECT_FALSE(PrepareRunningPrograms(*other));
    }
}

// Claims, lookups and releases from many threads at once, more live claims
// than slots: a name found is always the whole name its process published
// (each name spells its process id), never two slots name one process, and
// no slot is left half claimed.
struct Claimer {
    RunningPrograms* table;
    uint32_t firstId;
    volatile LONG* arrived;  // threads whose first claims are made
    long wrong;
};

DWORD WINAPI ClaimAndLook(void* context) {
    Claimer& c = *static_cast<Claimer*>(context);
    constexpr int kLive = 48;
    RunningProgramClaim claims[kLive] = {};
    bool held[kLive] = {};
    // 8 x 48 first claims, more than the slots: the table is full before
    // any thread goes on.
    for (int j = 0; j < kLive; ++j) {
        const uint32_t id = c.firstId + static_cast<uint32_t>(j) * 4;
        claims[j] = ClaimRunningProgram(*c.table, id, NameOfId(id).c_str());
        held[j] = true;
    }
    InterlockedIncrement(c.arrived);
    while (*c.arrived < 8) ::Sleep(0);
    uint32_t seed = c.firstId;
    for (int i = 0; i < 20000; ++i) {
        const int j = i % kLive;
        const uint32_t id = c.firstId + static_cast<uint32_t>(j) * 4;
        const std::string found = Found(*c.table, id);
        if (held[j] && found != NameOfId(id) && found != "-") ++c.wrong;
        if (held[j]) ReleaseRunningProgram(*c.table, claims[j]);
        else claims[j] = ClaimRunningProgram(*c.table, id, NameOfId(id).c_str());
        held[j] = !held[j];
        seed = seed * 1103515245u + 12345u;
        const uint32_t other = 0x10000 * (1 + (seed >> 8) % 8) + ((seed >> 16) % kLive) * 4;
        const std::string seen = Found(*c.table, other);
        if (seen != "-" && seen != NameOfId(other)) ++c.wrong;
    }
    return 0;
}

TEST(RunningPrograms, ClaimsWithoutALockFromManyThreads) {
    std::unique_ptr<RunningPrograms> table(new RunningPrograms());
    ASSERT_TRUE(PrepareRunningPrograms(*table));
    Claimer claimers[8];
    HANDLE threads[8];
    volatile LONG arrived = 0;
    for (int t = 0; t < 8; ++t) {
        claimers[t] = {table.get(), 0x10000u * static_cast<uint32_t>(t + 1), &arrived, 0};
        threads[t] = CreateThread(nullptr, 0, ClaimAndLook, &claimers[t], 0, nullptr);
        ASSERT_NE(threads[t], nullptr);
    }
    WaitForMultipleObjects(8, threads, TRUE, INFINITE);
    for (int t = 0; t < 8; ++t) {
        CloseHandle(threads[t]);
        EXPECT_EQ(claimers[t].wrong, 0) << "thread " << t;
    }
    EXPECT_EQ(table->Header.Used, kRunningProgramSlots) << "more live claims than slots";
    std::set<uint32_t> ids;
    for (const RunningProgramSlot& slot : table->Slots) {
        EXPECT_EQ(slot.Sequence % 2, 0u) << "a slot left half claimed";
        if (slot.ProcessId != 0) {
            EXPECT_TRUE(ids.insert(slot.ProcessId).second) << "two slots name " << slot.ProcessId;
        }
    }
}

}  // namespace
