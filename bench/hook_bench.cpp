// Benchmarks of the hook's hot paths, each a ratio of medians measured in
// one run: the suite's path against the Win32 calls it has to make.
//
//   hook_bench [--samples N]
//
// "real": the exported MouseProc of PTRHK32A.dll (from this program's
// folder) on real windows of this process, against the Win32 calls alone.
// "logic": the same hook logic bound to a platform that does nothing,
// against the same Win32 calls: the cost of the suite's own work.
//
// (a) a cursor move through MouseProc      against a bare CallNextHookEx
// (b) a routed notch over a WS_VSCROLL pane against its four posts (3 lines + end)
// (c) a notch that needs the scroll-bar search among 10, 100, 1000 siblings
//     against one enumeration of them (EnumChildWindows with an empty callback)
// (d) the notch of (b) with 64 programs having settings of their own, this
//     one among them (the last), against the same notch with none
// (e) the notch of (d) over a window of another process (a second copy of
//     this program, started for it with --other), whose program is found in
//     the running programs table as for a program never met before, against
//     the same notch with no programs; and the same notch again right after
//     each change of the programs block, whose names are then upper-cased anew
//
// Prints a Markdown table. Needs a display (real windows); run it with bench/run.sh.
#include "function_codes.h"
#include "hook_context.h"
#include "mouse_proc.h"
#include "noop_platform.h"
#include "programs_block.h"
#include "ptrhk32a.h"
#include "running_programs.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace ptr;

namespace {

// ---- Timing ----

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void DrainMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// Nanoseconds per iteration of each body, medians over `samples` batches of
// `iterations`, the bodies taking turns batch by batch so that both see the
// same machine. Posted messages are removed between batches, untimed.
std::vector<double> Compare(int samples, int iterations, const std::vector<std::function<void()>>& bodies) {
    std::vector<std::vector<double>> times(bodies.size());
    for (int s = 0; s < samples + 1; ++s) {
        for (size_t b = 0; b < bodies.size(); ++b) {
            double start = Seconds();
            for (int i = 0; i < iterations; ++i) bodies[b]();
            double elapsed = Seconds() - start;
            DrainMessages();
            if (s > 0) times[b].push_back(elapsed * 1e9 / iterations);  // the first round warms up
        }
    }
    std::vector<double> medians;
    for (const auto& t : times) medians.push_back(Median(t));
    return medians;
}

// ---- Real windows of this process ----

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterClasses(HINSTANCE instance) {
    WNDCLASSA c = {};
    c.hInstance = instance;
    c.lpfnWndProc = PlainProc;
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    for (const char* name : {"PtrBenchHost", "PtrBenchPane", "PtrBenchPlain", "PtrBenchLeaf"}) {
        c.lpszClassName = name;
        RegisterClassA(&c);
    }
}

HWND Child(const char* className, DWORD style, int x, int y, int w, int h, HWND parent) {
    return CreateWindowExA(0, className, "", WS_CHILD | style, x, y, w, h, parent, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
}

// A family of `siblings` children: a plain window (the notch's target) at the
// top left, hidden leaves, and a vertical scroll-bar control last.
struct Family {
    HWND parent;
    HWND target;
    HWND bar;
};

Family MakeFamily(HWND host, int top, int siblings) {
    Family f;
    f.parent = Child("PtrBenchHost", WS_VISIBLE | WS_CLIPCHILDREN, 300, top, 380, 180, host);
    f.target = Child("PtrBenchPlain", WS_VISIBLE, 10, 10, 120, 120, f.parent);
    for (int i = 0; i < siblings - 2; ++i) Child("PtrBenchLeaf", 0, 0, 0, 1, 1, f.parent);
    f.bar = Child("SCROLLBAR", WS_VISIBLE | SBS_VERT, 350, 0, 20, 170, f.parent);
    return f;
}

POINT CenterOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// What the search asks of each window it is handed: its class name.
BOOL CALLBACK ReadClassName(HWND window, LPARAM) {
    char name[81];
    GetClassNameA(window, name, sizeof name);
    return TRUE;
}

// Counts the posted messages waiting for `window`; removes them all.
int CountPosted(HWND window, UINT message) {
    int count = 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.hwnd == window && msg.message == message) ++count;
    return count;
}

struct Row {
    std::string path;
    std::string reference;
    double suiteNs;      // the suite's path with the real Win32 calls
    double logicNs;      // the same logic on the platform that does nothing
    double referenceNs;  // the Win32 calls the path has to make
};

void PrintRows(const std::vector<Row>& rows) {
    std::printf("| Path | Against | suite, real (us) | Win32 calls (us) | real ratio | logic alone (us) | logic ratio |\n");
    std::printf("|---|---|---:|---:|---:|---:|---:|\n");
    for (const Row& r : rows) {
        std::printf("| %s | %s | %.3f | %.3f | %.2f | %.4f | %.4f |\n", r.path.c_str(), r.reference.c_str(),
                    r.suiteNs / 1000, r.referenceNs / 1000, r.suiteNs / r.referenceNs, r.logicNs / 1000,
                    r.logicNs / r.referenceNs);
    }
}

// The line setting of this program's entry (the last), written as a writer does.
void EntryLines(ProgramsBlock* programs, int32_t lines) {
    uint32_t odd = BeginProgramsChange(programs->Header);
    programs->Entries[kMaxPrograms - 1].Values.WheelLines = lines;
    EndProgramsChange(programs->Header, odd);
}

// ---- The other process of (e) ----

constexpr char kOtherClass[] = "PtrBenchOther";
constexpr UINT kAskScrolls = WM_APP + 1;  // answers the WM_VSCROLL received since the last ask

LRESULT CALLBACK OtherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static LRESULT scrolls = 0;
    if (message == WM_VSCROLL) ++scrolls;
    if (message == kAskScrolls) {
        LRESULT answer = scrolls;
        scrolls = 0;
        return answer;
    }
    if (message == WM_CLOSE) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

// A window with a vertical scroll bar beside the host, in a process of its
// own that has the library loaded (and so its program published); it takes
// the posts until it is closed.
int RunOther() {
    if (!LoadLibraryA("PTRHK32A.dll")) return 1;
    WNDCLASSA c = {};
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpfnWndProc = OtherProc;
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    c.lpszClassName = kOtherClass;
    RegisterClassA(&c);
    CreateWindowExA(WS_EX_TOPMOST, kOtherClass, "PTR bench other", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 720, 10, 200,
                    200, nullptr, nullptr, c.hInstance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}

HWND StartOther() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string command = std::string("\"") + path + "\" --other";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int waited = 0; waited < 300; ++waited) {
        HWND other = FindWindowA(kOtherClass, nullptr);
        if (other != nullptr) return other;
        Sleep(100);
    }
    return nullptr;
}

// The WM_VSCROLL the other window received, once they have all come in.
LRESULT OtherScrolls(HWND other, LRESULT expected) {
    LRESULT received = 0;
    for (int waited = 0; waited < 200 && received < expected; ++waited) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(other, kAskScrolls, 0, 0, SMTO_NORMAL, 1000, &answer);
        received += static_cast<LRESULT>(answer);
        if (received < expected) Sleep(10);
    }
    return received;
}

MOUSEHOOKSTRUCTEX HookEvent(POINT pt, HWND window, int16_t delta) {
    MOUSEHOOKSTRUCTEX event = {};
    event.pt = pt;
    event.hwnd = window;
    event.wHitTestCode = HTCLIENT;
    event.mouseData = static_cast<DWORD>(static_cast<uint16_t>(delta)) << 16;
    return event;
}

}  // namespace

int main(int argc, char** argv) {
    int samples = 21;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--other")) return RunOther();
        if (!std::strcmp(argv[i], "--samples") && i + 1 < argc) samples = std::atoi(argv[++i]);
    }

    // The programs block, made before the library as the tray agent makes it,
    // so that the library's attach maps it; empty until (d).
    HANDLE programsMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kProgramsBlockSize,
                                                kProgramsBlockName);
    auto* programs = static_cast<ProgramsBlock*>(
        programsMapping ? MapViewOfFile(programsMapping, FILE_MAP_ALL_ACCESS, 0, 0, kProgramsBlockSize) : nullptr);
    if (programs == nullptr) {
        std::printf("cannot make the programs block (%lu)\n", GetLastError());
        return 1;
    }
    HMODULE library = LoadLibraryA("PTRHK32A.dll");
    if (library == nullptr) {
        std::printf("cannot load PTRHK32A.dll (%lu)\n", GetLastError());
        return 1;
    }
    auto mouseProc = LibraryExport<HOOKPROC>(library, "MouseProc");
    auto getBlock = LibraryExport<GetMapFilePointerFn>(library, "GetMapFilePointer");
    SettingsBlock* block = static_cast<SettingsBlock*>(getBlock());
    std::memset(block, 0, sizeof *block);
    block->ButtonCount = 3;
    block->WheelCount = 1;
    block->EnhanceMode = -1;
    block->WheelLines = 3;

    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterClasses(instance);
    HWND host = CreateWindowExA(WS_EX_TOPMOST, "PtrBenchHost", "PTR bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                                0, 700, 620, nullptr, nullptr, instance, nullptr);
    HWND pane = Child("PtrBenchPane", WS_VISIBLE | WS_VSCROLL, 10, 10, 200, 200, host);
    const int kSiblings[] = {10, 100, 1000};
    Family families[3];
    for (int i = 0; i < 3; ++i) families[i] = MakeFamily(host, 10 + 200 * i, kSiblings[i]);
    ShowWindow(host, SW_SHOW);
    UpdateWindow(host);
    DrainMessages();

    // The logic alone: the same scene on a platform that does nothing.
    bench::NoopPlatform noop;
    SettingsBlock noopBlock = *block;
    HookSharedState noopShared = kInitialSharedState;
    noopShared.OsKind = OS_WINXP;
    // Every window of the platform that does nothing is its process's: this
    // one's for (d), another's, published in a table of its own, for (e).
    std::unique_ptr<ProcessState> ownProcess(new ProcessState());
    ownProcess->Programs = programs;
    ownProcess->ProcessId = bench::NoopPlatform::kProcess;
    std::strcpy(ownProcess->ProgramName, "HOOK_BENCH.EXE");
    std::unique_ptr<RunningPrograms> otherTable(new RunningPrograms());
    PrepareRunningPrograms(*otherTable);
    ClaimRunningProgram(*otherTable, bench::NoopPlatform::kProcess, "HOOK_BENCH.EXE");
    std::unique_ptr<ProcessState> otherProcess(new ProcessState());
    otherProcess->Programs = programs;
    otherProcess->Running = otherTable.get();
    LibraryHooks noopHooks{};
    HookContext logic{noop, noopBlock, noopShared, noopHooks, *ownProcess};
    HookContext otherLogic{noop, noopBlock, noopShared, noopHooks, *otherProcess};

    std::vector<Row> rows;
    std::vector<double> searchCalls;  // (c): the enumeration with a class name read for each window

    // (a) A cursor move: the gate passes it on at once.
    {
        MOUSEHOOKSTRUCTEX move = HookEvent(CenterOf(pane), pane, 0);
        LPARAM lp = reinterpret_cast<LPARAM>(&move);
        auto t = Compare(samples, 20000,
                         {[&] { mouseProc(HC_ACTION, WM_MOUSEMOVE, lp); },
                          [&] { MouseHook(logic, HC_ACTION, WM_MOUSEMOVE, lp); },
                          [&] { CallNextHookEx(nullptr, HC_ACTION, WM_MOUSEMOVE, lp); }});
        rows.push_back({"(a) cursor move through MouseProc", "bare CallNextHookEx", t[0], t[1], t[2]});
    }

    // (b) A routed notch over a pane with WS_VSCROLL: 3 lines and the end.
    {
        POINT at = CenterOf(pane);
        if (WindowFromPoint(at) != pane) {
            std::printf("the pane is not under its own centre; no display?\n");
            return 1;
        }
        MOUSEHOOKSTRUCTEX notch = HookEvent(at, pane, -120);
        LPARAM lp = reinterpret_cast<LPARAM>(&notch);
        DrainMessages();
        mouseProc(HC_ACTION, WM_MOUSEWHEEL, lp);
        int posted = CountPosted(pane, WM_VSCROLL);
        if (posted != 4) {
            std::printf("the routed notch posted %d WM_VSCROLL, not 4\n", posted);
            return 1;
        }
        noop.SetSiblings(0);
        auto t = Compare(samples, 500,
                         {[&] { mouseProc(HC_ACTION, WM_MOUSEWHEEL, lp); },
                          [&] { MouseHook(logic, HC_ACTION, WM_MOUSEWHEEL, lp); },
                          [&] {
                              for (int line = 0; line < 3; ++line) PostMessageA(pane, WM_VSCROLL, SB_LINEDOWN, 0);
                              PostMessageA(pane, WM_VSCROLL, SB_ENDSCROLL, 0);
                          }});
        rows.push_back({"(b) routed notch, WS_VSCROLL pane", "its 4 posts", t[0], t[1], t[2]});
    }

    // (c) A notch over a plain window: the scroll-bar search among its siblings.
    for (int i = 0; i < 3; ++i) {
        const Family& f = families[i];
        POINT at = CenterOf(f.target);
        MOUSEHOOKSTRUCTEX notch = HookEvent(at, f.target, -120);
        LPARAM lp = reinterpret_cast<LPARAM>(&notch);
        DrainMessages();
        mouseProc(HC_ACTION, WM_MOUSEWHEEL, lp);
        int posted = CountPosted(f.parent, WM_VSCROLL);
        if (WindowFromPoint(at) != f.target || posted != 4) {
            std::printf("the notch over %d siblings posted %d WM_VSCROLL to their parent, not 4\n", kSiblings[i],
                        posted);
            return 1;
        }
        noop.SetSiblings(kSiblings[i]);
        int iterations = 20000 / kSiblings[i] + 20;
        auto t = Compare(samples, iterations,
                         {[&] { mouseProc(HC_ACTION, WM_MOUSEWHEEL, lp); },
                          [&] { MouseHook(logic, HC_ACTION, WM_MOUSEWHEEL, lp); },
                          [&] { EnumChildWindows(f.parent, [](HWND, LPARAM) -> BOOL { return TRUE; }, 0); },
                          [&] { EnumChildWindows(f.parent, ReadClassName, 0); }});
        rows.push_back({"(c) notch with the bar search, " + std::to_string(kSiblings[i]) + " siblings",
                        "one enumeration of them", t[0], t[1], t[2]});
        searchCalls.push_back(t[3]);
    }

    // (d) The notch of (b) where 64 programs have settings of their own, the
    // one under the cursor last among them; its own (the block's) values.
    double logicWithout = 0;
    {
        uint32_t odd = BeginProgramsChange(programs->Header);
        InitProgramsHeader(programs->Header);
        for (int i = 0; i < kMaxPrograms; ++i) {
            ProgramEntry& entry = programs->Entries[i];
            std::snprintf(entry.Name, sizeof entry.Name, i + 1 < kMaxPrograms ? "other%02d.exe" : "HOOK_bench.EXE", i);
            entry.FieldMask = FieldBit("EnhanceMode") | FieldBit("WheelLines") | FieldBit("ButtonFunction0");
            entry.Values.EnhanceMode = -1;
            entry.Values.WheelLines = 3;
            entry.Values.ButtonFunction[0] = function::kCopy;
        }
        programs->Header.Count = kMaxPrograms;
        EndProgramsChange(programs->Header, odd);
        EntryLines(programs, 7);
        POINT at = CenterOf(pane);
        MOUSEHOOKSTRUCTEX notch = HookEvent(at, pane, -120);
        LPARAM lp = reinterpret_cast<LPARAM>(&notch);
        DrainMessages();
        mouseProc(HC_ACTION, WM_MOUSEWHEEL, lp);
        int posted = CountPosted(pane, WM_VSCROLL);
        EntryLines(programs, 3);
        if (posted != 8) {
            std::printf("the notch with programs posted %d WM_VSCROLL, not 8: this program's settings not taken\n",
                        posted);
            return 1;
        }
        noop.SetSiblings(0);
        // Only the count changes between the two: a store each.
        auto t = Compare(samples, 500,
                         {[&] {
                              programs->Header.Count = kMaxPrograms;
                              mouseProc(HC_ACTION, WM_MOUSEWHEEL, lp);
                          },
                          [&] {
                              programs->Header.Count = kMaxPrograms;
                              MouseHook(logic, HC_ACTION, WM_MOUSEWHEEL, lp);
                          },
                          [&] {
                              programs->Header.Count = 0;
                              mouseProc(HC_ACTION, WM_MOUSEWHEEL, lp);
                          },
                          [&] {
                              programs->Header.Count = 0;
                              MouseHook(logic, HC_ACTION, WM_MOUSEWHEEL, lp);
                          }});
        rows.push_back({"(d) routed notch, 64 programs with settings, this one last", "the notch without them", t[0],
                        t[1], t[2]});
        logicWithout = t[3];
    }

    // (e) The notch of (d) over another process's window: its program comes
    // from the running programs table, as every time; then the same notch
    // after a change of the programs block each time.
    HWND other = StartOther();
    if (other == nullptr) {
        std::printf("the other process's window did not come up\n");
        return 1;
    }
    {
        RECT r;
        GetWindowRect(other, &r);
        POINT at = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        MOUSEHOOKSTRUCTEX notch = HookEvent(at, pane, -120);
        LPARAM lp = reinterpret_cast<LPARAM>(&notch);
        programs->Header.Count = kMaxPrograms;
        EntryLines(programs, 7);
        OtherScrolls(other, 0);
        mouseProc(HC_ACTION, WM_MOUSEWHEEL, lp);
        LRESULT posted = OtherScrolls(other, 8);
        EntryLines(programs, 3);
        if (WindowFromPoint(at) != other || posted != 8) {
            std::printf("the notch over the other process posted %ld WM_VSCROLL, not 8: its settings not taken\n",
                        static_cast<long>(posted));
            return 1;
        }
        const auto change = [&] {
            uint32_t odd = BeginProgramsChange(programs->Header);
            EndProgramsChange(programs->Header, odd);
        };
        auto t = Compare(samples, 500,
                         {[&] {
                              programs->Header.Count = kMaxPrograms;
                              mouseProc(HC_ACTION, WM_MOUSEWHEEL, lp);
                          },
                          [&] {
                              programs->Header.Count = kMaxPrograms;
                              MouseHook(otherLogic, HC_ACTION, WM_MOUSEWHEEL, lp);
                          },
                          [&] {
                              programs->Header.Count = 0;
                              mouseProc(HC_ACTION, WM_MOUSEWHEEL, lp);
                          },
                          [&] {
                              programs->Header.Count = kMaxPrograms;
                              change();
                              mouseProc(HC_ACTION, WM_MOUSEWHEEL, lp);
                          },
                          [&] {
                              programs->Header.Count = kMaxPrograms;
                              change();
                              MouseHook(otherLogic, HC_ACTION, WM_MOUSEWHEEL, lp);
                          }});
        rows.push_back({"(e) the notch of (d) over another program", "the notch without programs", t[0], t[1], t[2]});
        rows.push_back({"(e) the same, the programs block changed before it", "the notch without programs", t[3], t[4],
                        t[2]});
    }
    PostMessageA(other, WM_CLOSE, 0, 0);

    DWORD version = GetVersion();
    std::printf("%d samples each, medians; Windows version %u.%u as the system reports it\n\n", samples,
                static_cast<unsigned>(LOBYTE(LOWORD(version))), static_cast<unsigned>(HIBYTE(LOWORD(version))));
    PrintRows(rows);
    // The search's cost per sibling, for its growth with their number, and
    // the Win32 calls it makes itself: the enumeration and a class name each.
    std::printf("\n| Siblings | suite, real, per sibling (us) | logic alone, per sibling (us) | "
                "enumeration + class names (us) | real ratio to these calls |\n");
    std::printf("|---:|---:|---:|---:|---:|\n");
    for (size_t i = 0; i < searchCalls.size(); ++i) {
        const Row& r = rows[i + 2];
        std::printf("| %d | %.3f | %.5f | %.3f | %.2f |\n", kSiblings[i], r.suiteNs / 1000 / kSiblings[i],
                    r.logicNs / 1000 / kSiblings[i], searchCalls[i] / 1000, r.suiteNs / searchCalls[i]);
    }
    const Row& d = rows[rows.size() - 3];
    std::printf("\n(d) the logic alone: %.4f us with the 64 programs, %.4f us without them, ratio %.2f\n",
                d.logicNs / 1000, logicWithout / 1000, d.logicNs / logicWithout);
    const Row& e = rows[rows.size() - 2];
    std::printf("(e) the logic alone: %.4f us over another program, ratio %.2f to the notch without programs\n",
                e.logicNs / 1000, e.logicNs / logicWithout);
    DestroyWindow(host);
    return 0;
}
