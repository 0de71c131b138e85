#include "world.h"

#include "function_codes.h"
#include "lifecycle.h"

#include <climits>
#include <cstring>
#include <string>

namespace ptr::stress {
namespace {

const char* const kClassNames[] = {
    "ListBox", "SysListView32", "SysTreeView32", "MS_WINTOPIC", "TSCROLLBOX", "ScrollBar", "HScrollBar",
    "scrollbar", "Edit", "Internet Explorer_Server", "Internet Explorer_Server", "HTML_Internet Explorer",
    "SHELLDLL_DefView", "Progman",
    "EXCEL@", "EXCELB", "EXCELA", "EXCEL4", "MainFrame", "Static", "#32770", "",
};

const char* const kExecutables[] = {
    "C:\\WINDOWS\\NOTEPAD.EXE",
    "C:\\Program Files\\Microsoft Office\\Office\\WINWORD.EXE",
    "C:\\Program Files\\Microsoft Office\\Office\\excel.exe",
    "C:\\Program Files\\Netscape\\NETSCP6.EXE",
    "C:\\WINDOWS\\SYSTEM32\\RUNDLL32.EXE",
    "D:\\tools\\winword.exe.bak",
};

std::string RandomClassName(Rng& rng) {
    int r = rng.Range(0, 99);
    if (r < 88) return kClassNames[rng.Below(sizeof kClassNames / sizeof kClassNames[0])];
    // Names past the 40- and 81-character buffers, one that starts like a bar.
    if (r < 92) return "ScrollBar" + std::string(static_cast<size_t>(rng.Range(31, 120)), 'x');
    if (r < 96) return std::string(static_cast<size_t>(rng.Range(38, 41)), 'L');
    std::string name;
    for (int i = rng.Range(1, 12); i > 0; --i) name += static_cast<char>(rng.Range(1, 255));
    return name;
}

LONG RandomStyle(Rng& rng, bool child, bool bar) {
    if (rng.Percent(3)) return static_cast<LONG>(rng.Bits32());
    DWORD style = 0;
    if (rng.Percent(80)) style |= WS_VISIBLE;
    if (child) style |= WS_CHILD;
    else if (rng.Percent(20)) style |= WS_POPUP;
    if (rng.Percent(8)) style |= WS_DISABLED;
    if (bar) {
        if (rng.Percent(50)) style |= SBS_VERT;
        if (rng.Percent(10)) style |= SBS_SIZEBOX;
    } else {
        if (rng.Percent(35)) style |= WS_VSCROLL;
        if (rng.Percent(25)) style |= WS_HSCROLL;
    }
    if (!child || rng.Percent(10)) {
        if (rng.Percent(60)) style |= WS_SYSMENU;
        if (rng.Percent(60)) style |= WS_MAXIMIZEBOX;
        if (rng.Percent(60)) style |= WS_MINIMIZEBOX;
    }
    return static_cast<LONG>(style);
}

LONG ToLong(int64_t value) { return static_cast<LONG>(std::max<int64_t>(INT_MIN, std::min<int64_t>(INT_MAX, value))); }

// Somewhere inside `within` (which may lie anywhere, even at the far edges of
// the coordinates), or now and then anywhere at all.
RECT RandomRect(Rng& rng, const RECT& within) {
    if (rng.Percent(3)) return {rng.Range(-5000, 5000), rng.Range(-5000, 5000), rng.Range(-5000, 5000),
                                rng.Range(-5000, 5000)};
    int64_t width = std::max<int64_t>(1, std::min<int64_t>(100000, int64_t(within.right) - within.left));
    int64_t height = std::max<int64_t>(1, std::min<int64_t>(100000, int64_t(within.bottom) - within.top));
    int64_t left = within.left + rng.Range(0, static_cast<int>(width - 1));
    int64_t top = within.top + rng.Range(0, static_cast<int>(height - 1));
    int64_t right = left + rng.Range(1, static_cast<int>(width));
    int64_t bottom = top + rng.Range(1, static_cast<int>(height));
    return {ToLong(left), ToLong(top), ToLong(right), ToLong(bottom)};
}

const RECT kScreen = {0, 0, 1024, 768};

HWND AddWindow(World& world, Rng& rng, HWND parent, int owner, bool bar) {
    const RECT& within = parent != nullptr && world.desk.HasWindow(parent) ? world.desk.WindowOf(parent).rect : kScreen;
    std::string name = bar ? std::string(rng.Pick({"ScrollBar", "HScrollBar", "SCROLLBAR"})) : RandomClassName(rng);
    HWND window = world.desk.AddWindow(name, RandomStyle(rng, parent != nullptr, bar), RandomRect(rng, within), parent);
    fake::Window& w = world.desk.WindowOf(window);
    w.zoomed = rng.Percent(15);
    w.iconic = rng.Percent(10);
    // Each process has two threads with windows.
    w.processId = ProcessIdOf(owner);
    w.threadId = ProcessIdOf(owner) + (rng.Percent(80) ? 4 : 8);
    world.owner[window] = owner;
    return window;
}

void AddSubtree(World& world, Rng& rng, HWND parent, int owner, int depth, int& budget) {
    for (int children = rng.Range(0, 4); children > 0 && budget > 0; --children, --budget) {
        bool bar = rng.Percent(25);
        HWND child = AddWindow(world, rng, parent, owner, bar);
        if (!bar && depth < 6) AddSubtree(world, rng, child, owner, depth + 1, budget);
    }
}

// One long chain; most of it hidden, so that only its deep end lies on top.
void AddDeepChain(World& world, Rng& rng, int owner) {
    HWND parent = AddWindow(world, rng, nullptr, owner, false);
    for (int depth = rng.Range(30, 400); depth > 0; --depth) {
        HWND child = AddWindow(world, rng, parent, owner, rng.Percent(5));
        if (depth > 1 && rng.Percent(90)) world.desk.WindowOf(child).style &= ~WS_VISIBLE;
        parent = child;
    }
}

// One parent with many children, a good share of them scroll bars.
void AddWideFamily(World& world, Rng& rng, int owner) {
    HWND parent = AddWindow(world, rng, nullptr, owner, false);
    for (int children = rng.Range(50, 300); children > 0; --children)
        AddWindow(world, rng, parent, owner, rng.Percent(40));
}

// A parent chain that comes back to itself: a window becomes the parent of
// one of its ancestors, or its own.
void MakeParentLoop(World& world, Rng& rng) {
    const std::vector<HWND>& windows = world.desk.Windows();
    if (windows.empty()) return;
    HWND window = rng.Pick(windows);
    std::vector<HWND> chain = {window};
    for (HWND p = world.desk.GetParent(window); p != nullptr && chain.size() < 20 && world.desk.HasWindow(p);
         p = world.desk.GetParent(p))
        chain.push_back(p);
    world.desk.WindowOf(chain.back()).parent = window;
}

uint32_t PickBlockHandle(World& world, Rng& rng, HWND usual) {
    if (rng.Percent(88)) return FromHwnd(usual);
    return FromHwnd(PickHandle(world, rng));
}

int32_t PickLines(Rng& rng) {
    if (rng.Percent(80)) return rng.Range(1, 10);
    return rng.Pick<int32_t>({0, -1, -3, 272, 273, 274, 1000, 40000, INT_MAX, INT_MIN});
}

int32_t PickSpeed(Rng& rng, int high) {
    if (rng.Percent(85)) return rng.Range(1, high);
    return rng.Pick<int32_t>({0, -1, -100, 11, 100, INT_MAX, INT_MIN});
}

int32_t PickFlag(Rng& rng, int percentOn) {
    if (rng.Percent(3)) return static_cast<int32_t>(rng.Bits32());
    return rng.Percent(percentOn) ? -1 : 0;
}

constexpr int kBlockFields = 26;

void RewriteField(World& world, Rng& rng, int field) {
    SettingsBlock& b = world.block;
    switch (field) {
    case 0: b.ButtonCount = rng.Percent(90) ? rng.Pick<uint16_t>({3, 5, 7}) : static_cast<uint16_t>(rng.Bits32()); break;
    case 1: b.WheelCount = rng.Percent(90) ? rng.Pick<uint16_t>({1, 2, 0}) : static_cast<uint16_t>(rng.Bits32()); break;
    case 2: b.LowLevelWheelHook = PickFlag(rng, 50); break;
    case 3: b.EnhanceMode = PickFlag(rng, 70); break;
    case 4: b.ReverseWheel = PickFlag(rng, 20); break;
    case 5: b.WheelPageScroll = PickFlag(rng, 20); break;
    case 6: b.WheelLines = PickLines(rng); break;
    case 7: b.ReverseHWheel = PickFlag(rng, 30); break;
    case 8: b.HWheelPageScroll = PickFlag(rng, 20); break;
    case 9: b.HWheelLines = PickLines(rng); break;
    case 10: b.UScrollVertical = PickFlag(rng, 80); break;
    case 11: b.UScrollHorizontal = PickFlag(rng, 60); break;
    case 12: b.UScrollReverse = PickFlag(rng, 20); break;
    case 13: b.UScrollVSpeed = PickSpeed(rng, 10); break;
    case 14: b.UScrollHSpeed = PickSpeed(rng, 5); break;
    case 15: b.ZoomSourceWidth = rng.Range(-2, 64); break;
    case 16: b.ZoomSourceHeight = rng.Range(-2, 48); break;
    case 17: b.ZoomTargetWidth = rng.Range(-2, 640); break;
    case 18: b.ZoomTargetHeight = rng.Range(-2, 480); break;
    case 19: b.ButtonFunction[rng.Below(5)] = PickFunction(rng); break;
    case 20: b.AgentWindow = PickBlockHandle(world, rng, world.agent); break;
    case 21: b.SettingsWindow = rng.Percent(80) ? 0 : FromHwnd(PickHandle(world, rng)); break;
    case 22: b.ZoomWindow = PickBlockHandle(world, rng, world.zoom); break;
    case 23: b.AutoScrollWindow = rng.Percent(10) ? 0 : PickBlockHandle(world, rng, world.autoScroll); break;
    case 24: b.Reserved12 = static_cast<int32_t>(rng.Bits32()); break;
    default: b.Reserved32 = static_cast<int32_t>(rng.Bits32()); break;
    }
}

// Program names as the entries hold them: the executables' in any case,
// others, empty ones, and names as long as an entry takes or longer.
std::string PickProgramName(Rng& rng) {
    static const char* const kNames[] = {"notepad.exe", "WINWORD.EXE", "Excel.exe", "netscp6.exe", "rundll32.exe",
                                         "winword.exe.bak", "viewer.exe", "PtrAgent.exe", "other.exe", ""};
    int r = rng.Range(0, 99);
    if (r < 85) return kNames[rng.Below(sizeof kNames / sizeof kNames[0])];
    if (r < 92) return std::string(static_cast<size_t>(rng.Range(60, 70)), 'n');
    std::string name;
    for (int i = rng.Range(1, 20); i > 0; --i) name += static_cast<char>(rng.Range(1, 255));
    return name;
}

int32_t PickProgramValue(Rng& rng, const SettingsField& field) {
    if (rng.Percent(5)) return static_cast<int32_t>(rng.Bits32());
    if (field.kind == FieldKind::Function) return PickFunction(rng);
    if (field.kind == FieldKind::Flag) return PickFlag(rng, 50);
    return PickLines(rng);
}

// An entry as a writer makes it, or one spoiled; the generation moves on,
// and is left odd now and then, as a writer that died mid-change leaves it.
void RewriteProgram(World& world, Rng& rng) {
    ProgramsBlock& programs = world.programs;
    uint32_t odd = BeginProgramsChange(programs.Header);
    if (rng.Percent(90)) InitProgramsHeader(programs.Header);
    else programs.Header.Version = rng.Pick<uint32_t>({0, 2, 1});
    programs.Header.Count = rng.Percent(95) ? static_cast<uint32_t>(rng.Range(0, 10)) : rng.Bits32();
    ProgramEntry& entry = programs.Entries[rng.Below(12)];
    std::memset(&entry, 0, sizeof entry);
    const std::string name = PickProgramName(rng);
    std::memcpy(entry.Name, name.data(), std::min(name.size(), sizeof entry.Name));
    entry.FieldMask = rng.Percent(90) ? rng.Bits32() & kProgramFieldMask : rng.Bits32();
    for (int i = 0; i < kProgramFieldCount; ++i)
        WriteSettingsField(entry.Values, kProgramFields.fields[i], PickProgramValue(rng, kProgramFields.fields[i]));
    if (!rng.Percent(3)) EndProgramsChange(programs.Header, odd);
}

void SetMetrics(World& world, Rng& rng) {
    fake::FakeDesktop& desk = world.desk;
    bool twoScreens = rng.Percent(30);
    int left = twoScreens ? rng.Pick({-1280, 0}) : 0;
    desk.SetMetric(SM_XVIRTUALSCREEN, left);
    desk.SetMetric(SM_YVIRTUALSCREEN, twoScreens ? rng.Pick({-200, 0}) : 0);
    desk.SetMetric(SM_CXVIRTUALSCREEN, twoScreens ? 2304 : 1024);
    desk.SetMetric(SM_CYVIRTUALSCREEN, twoScreens ? 968 : 768);
    if (rng.Percent(2)) desk.SetMetric(SM_CXSCREEN, 0);  // a screen the metrics call cannot tell
}

}  // namespace

int World::OwnerOf(HWND window) const {
    auto found = owner.find(window);
    if (found != owner.end()) return found->second;
    return static_cast<int>(reinterpret_cast<uintptr_t>(window) % kProcesses);
}

void BuildWorld(World& world, Rng& rng, const VersionRow& version) {
    fake::FakeDesktop& desk = world.desk;
    desk.SetVersion(version.platform, version.major, version.minor);
    SetMetrics(world, rng);
    world.primaryIsRight = rng.Percent(20);
    desk.SetButtonsSwapped(world.primaryIsRight);

    world.agent = desk.AddWindow("PtrHkTrayAgent", 0, {0, 0, 0, 0});
    world.zoom = desk.AddWindow("PtrHkZoom", WS_POPUP, {0, 0, 200, 150});
    int x = rng.Range(0, 1000);
    int y = rng.Range(0, 740);
    world.autoScroll = desk.AddWindow("PtrHkAutoScroll", static_cast<LONG>(WS_POPUP | WS_VISIBLE), {x, y, x + 24, y + 24});
    for (HWND own : {world.agent, world.zoom, world.autoScroll}) world.owner[own] = kAgentProcess;

    int budget = rng.Range(10, 60);
    for (int tops = rng.Range(2, 5); tops > 0; --tops) {
        int owner = rng.Range(1, kProcesses - 1);
        AddSubtree(world, rng, AddWindow(world, rng, nullptr, owner, false), owner, 1, budget);
    }
    int shape = rng.Range(0, 99);
    if (shape < 15) AddDeepChain(world, rng, rng.Range(1, kProcesses - 1));
    else if (shape < 30) AddWideFamily(world, rng, rng.Range(1, kProcesses - 1));
    if (rng.Percent(25)) MakeParentLoop(world, rng);

    for (int field = 0; field < kBlockFields; ++field) RewriteField(world, rng, field);
    for (int button = 0; button < 5; ++button) world.block.ButtonFunction[button] = PickFunction(rng);

    if (rng.Percent(70))
        for (int entries = rng.Range(1, 12); entries > 0; --entries) RewriteProgram(world, rng);
    PrepareRunningPrograms(world.running);

    // Every copy of the library attaches: version once per desktop, its own process kind.
    for (int p = 0; p < kProcesses; ++p)
        AttachAs(world, rng, p, p == kAgentProcess ? "C:\\Program Files\\PtrHk\\PtrAgent.exe"
                                                   : kExecutables[rng.Below(sizeof kExecutables / sizeof kExecutables[0])]);
}

void AttachAs(World& world, Rng& rng, int process, const char* path) {
    fake::FakeDesktop& desk = world.desk;
    desk.SetExePath(path);
    desk.SetCurrentProcess(ProcessIdOf(process));
    // The copy before it in this process was killed: its slot stays behind.
    world.process[process] = ProcessState{};
    // A copy that found no programs block, or no running programs table (its
    // program is not published, and it names no other).
    if (rng.Percent(90)) world.process[process].Programs = &world.programs;
    if (rng.Percent(90)) world.process[process].Running = &world.running;
    AttachProcess(desk, world.shared, world.process[process]);
}

void MutateDesktop(World& world, Rng& rng) {
    fake::FakeDesktop& desk = world.desk;
    const std::vector<HWND>& windows = desk.Windows();
    int r = rng.Range(0, 99);
    if ((r < 30 || windows.size() > 700) && !windows.empty()) {
        HWND gone = rng.Pick(windows);
        // The tray agent's own windows vanish too, now and then.
        if ((gone == world.agent || gone == world.zoom || gone == world.autoScroll) && !rng.Percent(10)) return;
        desk.RemoveWindow(gone);
        world.vanished.push_back(gone);
    } else if (r < 50) {
        HWND parent = rng.Percent(30) || windows.empty() ? nullptr : rng.Pick(windows);
        AddWindow(world, rng, parent, parent ? world.OwnerOf(parent) : rng.Range(1, kProcesses - 1), rng.Percent(30));
    } else if (r < 58) {
        MakeParentLoop(world, rng);
    } else if (r < 62 && !windows.empty()) {
        desk.WindowOf(rng.Pick(windows)).parent = PickHandle(world, rng);
    } else if (r < 77 && !windows.empty()) {
        HWND window = rng.Pick(windows);
        desk.WindowOf(window).style = RandomStyle(rng, desk.GetParent(window) != nullptr, rng.Percent(30));
    } else if (r < 87 && !windows.empty()) {
        desk.WindowOf(rng.Pick(windows)).rect = RandomRect(rng, kScreen);
    } else if (r < 93 && !windows.empty()) {
        fake::Window& w = desk.WindowOf(rng.Pick(windows));
        w.zoomed = !w.zoomed;
        w.iconic = rng.Percent(20);
    } else if (r < 97) {
        desk.SetFocusWindow(PickHandle(world, rng));
    } else {
        desk.SetForegroundWindowState(rng.Percent(20) ? nullptr : PickHandle(world, rng));
    }
}

// Processes of other desktops' numbers claim and leave slots, fill the
// table, or spoil a slot's bytes.
void ChangeRunningPrograms(World& world, Rng& rng) {
    RunningPrograms& table = world.running;
    int r = rng.Range(0, 99);
    if (r < 60) {
        for (int n = rng.Range(1, r < 10 ? 300 : 8); n > 0; --n) {
            std::string name = PickProgramName(rng);
            RunningProgramClaim claim = ClaimRunningProgram(table, 0x9000 + rng.Below(400) * 4, name.c_str());
            if (rng.Percent(40)) ReleaseRunningProgram(table, claim);
        }
    } else if (r < 90) {
        unsigned char* bytes = reinterpret_cast<unsigned char*>(&table.Slots[rng.Below(kRunningProgramSlots)]);
        for (int n = rng.Range(1, 8); n > 0; --n) bytes[rng.Below(sizeof(RunningProgramSlot))] = static_cast<unsigned char>(rng.Bits32());
    } else {
        table.Header.Used = rng.Percent(50) ? rng.Bits32() : rng.Below(kRunningProgramSlots + 2);
    }
}

void MutateBlock(World& world, Rng& rng) {
    int r = rng.Range(0, 99);
    if (r < 8) {
        ChangeRunningPrograms(world, rng);
    } else if (r < 20) {
        RewriteProgram(world, rng);
    } else if (r < 70) {
        RewriteField(world, rng, rng.Range(0, kBlockFields - 1));
    } else if (r < 95) {
        unsigned char* bytes = reinterpret_cast<unsigned char*>(&world.block);
        for (int n = rng.Range(1, 8); n > 0; --n) bytes[rng.Below(sizeof(SettingsBlock))] = static_cast<unsigned char>(rng.Bits32());
    } else {
        unsigned char* bytes = reinterpret_cast<unsigned char*>(&world.block);
        for (size_t i = 0; i < sizeof(SettingsBlock); ++i) bytes[i] = static_cast<unsigned char>(rng.Bits32());
    }
}

HWND PickWindow(World& world, Rng& rng) {
    const std::vector<HWND>& windows = world.desk.Windows();
    return windows.empty() ? nullptr : rng.Pick(windows);
}

HWND PickHandle(World& world, Rng& rng) {
    int r = rng.Range(0, 99);
    if (r < 60) return PickWindow(world, rng);
    if (r < 70) return rng.Pick({world.agent, world.zoom, world.autoScroll});
    if (r < 80) return world.vanished.empty() ? PickWindow(world, rng) : rng.Pick(world.vanished);
    if (r < 86) return nullptr;
    if (r < 90) return HWND_BROADCAST;
    if (r < 95) return ToHwnd(rng.Bits32());
    return reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(PickWindow(world, rng)) + 1);
}

POINT PickPoint(World& world, Rng& rng) {
    int r = rng.Range(0, 99);
    HWND window = PickWindow(world, rng);
    if (r < 65 && window != nullptr) {
        const RECT& rect = world.desk.WindowOf(window).rect;
        int x = rect.right > rect.left ? rng.Range(rect.left, rect.right - 1) : rect.left;
        int y = rect.bottom > rect.top ? rng.Range(rect.top, rect.bottom - 1) : rect.top;
        return {x, y};
    }
    if (r < 80) return {rng.Range(-1280, 1280), rng.Range(-200, 968)};
    if (r < 92) return {rng.Pick({-1281, -1280, -1, 0, 1, 1022, 1023, 1024, 1025}), rng.Pick({-201, -200, -1, 0, 1, 766, 767, 768})};
    return {rng.Pick({INT_MIN, INT_MAX, -32768, 32767, 100000}), rng.Pick({INT_MIN, INT_MAX, -32768, 32767, -100000})};
}

int32_t PickFunction(Rng& rng) {
    // Auto scroll lives longest across processes: it comes up more often.
    using namespace function;
    static const std::vector<int32_t> modes = {kSystemDefault,   kMiddleButton, kDragLock,  kShiftLock,
                                               kControlLock,     kHorizontalWheel, kUniversalScroll, kAutoScroll,
                                               kAutoScroll,      kAutoScroll,   kUniversalZoom, kTaskSwitch};
    static const std::vector<int32_t> all = [] {
        std::vector<int32_t> codes;
        for (int32_t c = 0; c <= kHighest; ++c)
            if (IsKnown(c)) codes.push_back(c);
        return codes;
    }();
    int r = rng.Range(0, 99);
    if (r < 35) return rng.Pick(modes);
    if (r < 94) return rng.Pick(all);
    return rng.Percent(50) ? rng.Range(-3, 300) : static_cast<int32_t>(rng.Bits32());
}

}  // namespace ptr::stress
