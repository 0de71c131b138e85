// The randomized stress run of the hook logic on the fake desktop.
//
//   hook_stress [--calls N] [--seed S]
//
// The seed may also come from PTR_STRESS_SEED and the call count from
// PTR_STRESS_CALLS; without a seed the run takes a new one and prints it, so
// that a failure can be replayed exactly with --seed. A crash or a call that
// never returns is reported with the seed too.
#include "driver.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr uint64_t kDefaultCalls = 100000;
constexpr int kHangSeconds = 120;

uint64_t g_seed = 0;
ptr::stress::Driver* g_driver = nullptr;
std::atomic<uint64_t> g_progress{0};

void PrintRecent() {
    if (g_driver != nullptr) std::printf("the last calls:\n%s", g_driver->RecentCalls().c_str());
    std::fflush(stdout);
}

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
    std::printf("CRASH: exception 0x%08lx during call %" PRIu64 ", seed %" PRIu64 "\n",
                info->ExceptionRecord->ExceptionCode,
                g_driver != nullptr ? g_driver->counters().calls + 1 : 0, g_seed);
    PrintRecent();
    ExitProcess(3);
}

// A call that never comes back (a walk that loops) ends the run with the seed.
DWORD WINAPI WatchForHang(void*) {
    uint64_t last = ~uint64_t(0);
    int still = 0;
    for (;;) {
        Sleep(1000);
        uint64_t now = g_progress.load();
        still = now == last ? still + 1 : 0;
        last = now;
        if (still >= kHangSeconds) {
            std::printf("HANG: no call returned for %d s, seed %" PRIu64 "\n", kHangSeconds, g_seed);
            PrintRecent();
            ExitProcess(4);
        }
    }
}

uint64_t ParseNumber(const char* text) { return std::strtoull(text, nullptr, 0); }

uint64_t FreshSeed() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    uint64_t seed = static_cast<uint64_t>(counter.QuadPart) ^ (static_cast<uint64_t>(GetCurrentProcessId()) << 32);
    return seed % 1000000000000ull;  // short enough to type back
}

}  // namespace

int main(int argc, char** argv) {
    uint64_t calls = kDefaultCalls;
    bool seeded = false;
    if (const char* env = std::getenv("PTR_STRESS_CALLS")) calls = ParseNumber(env);
    if (const char* env = std::getenv("PTR_STRESS_SEED")) {
        g_seed = ParseNumber(env);
        seeded = true;
    }
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--calls") && i + 1 < argc) {
            calls = ParseNumber(argv[++i]);
        } else if (!std::strcmp(argv[i], "--seed") && i + 1 < argc) {
            g_seed = ParseNumber(argv[++i]);
            seeded = true;
        } else {
            std::printf("usage: hook_stress [--calls N] [--seed S]\n");
            return 2;
        }
    }
    if (!seeded) g_seed = FreshSeed();
    std::printf("hook stress: seed %" PRIu64 ", %" PRIu64 " calls (again: hook_stress --seed %" PRIu64 " --calls %" PRIu64 ")\n",
                g_seed, calls, g_seed, calls);
    std::fflush(stdout);

    SetUnhandledExceptionFilter(ReportCrash);
    CloseHandle(CreateThread(nullptr, 0, WatchForHang, nullptr, 0, nullptr));

    auto start = std::chrono::steady_clock::now();
    ptr::stress::Driver driver(g_seed);
    g_driver = &driver;
    uint64_t chunk = calls / 10 > 0 ? calls / 10 : 1;
    bool ok = true;
    for (uint64_t done = 0; ok && done < calls;) {
        done = std::min(calls, done + chunk);
        ok = driver.Run(done);
        g_progress = driver.counters().calls;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const ptr::stress::Counters& c = driver.counters();
    std::printf("%" PRIu64 " calls in %.1f s on %" PRIu64 " desktops: MouseProc %" PRIu64 ", low-level %" PRIu64
                ", SysMsgHookProc %" PRIu64 ", DoAuto %" PRIu64 ", wheel window %" PRIu64 ", InstallHook %" PRIu64
                ", attach %" PRIu64 "\n",
                c.calls, seconds, c.worlds, c.mouseProc, c.lowLevel, c.sysMsg, c.autoScroll, c.legacy, c.install, c.attach);
    std::printf("modes begun (calls made in them):");
    for (int i = 0; i < 8; ++i)
        std::printf(" %u: %" PRIu64 " (%" PRIu64 ")", ptr::stress::kModes[i], c.modeStarts[i], c.modeCalls[i]);
    std::printf("\nhighest TabCount %d, longest input queue %zu, calls with a menu open %" PRIu64
                ", calls after which held buttons were judged %" PRIu64 ", programs published %" PRIu64
                "\n",
                c.maxTabCount, c.maxQueue, c.menuCalls, c.buttonsJudged, c.programsPublished);
    if (!ok) {
        std::printf("FAILED %s (seed %" PRIu64 ")\n", driver.failure().c_str(), g_seed);
        PrintRecent();
        return 1;
    }
    std::printf("OK\n");
    return 0;
}
