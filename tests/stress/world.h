// One random desktop of the stress run: the fake desktop with a random
// window tree (deep, wide, with parent loops, windows that vanish), the
// settings block, the shared state, and the copies of the library in several
// processes. Process 0 is the tray agent's: it installed the hooks, runs the
// low-level hooks and calls the auto-scroll exports.
#pragma once

#include "fake_desktop.h"
#include "rng.h"

#include <map>
#include <vector>

namespace ptr::stress {

constexpr int kProcesses = 6;
constexpr int kAgentProcess = 0;

// The process number of each copy of the library.
constexpr DWORD ProcessIdOf(int process) { return 0x1000 + static_cast<DWORD>(process) * 0x10; }

struct World {
    fake::FakeDesktop desk;
    SettingsBlock block{};
    // Programs with settings of their own, mapped by most copies, and the
    // running programs table, where most copies publish their program.
    ProgramsBlock programs{};
    RunningPrograms running{};
    HookSharedState shared = kInitialSharedState;
    ProcessState process[kProcesses];
    std::map<HWND, int> owner;     // the process of each window made here
    std::vector<HWND> vanished;    // handles of windows that went away
    HWND agent = nullptr;
    HWND zoom = nullptr;
    HWND autoScroll = nullptr;
    bool primaryIsRight = false;   // the mouse's buttons are swapped

    HookContext Context(int process) { return HookContext{desk, block, shared, this->process[process]}; }
    int OwnerOf(HWND window) const;
};

// The Windows version a run plays, as GetVersionExA reports it.
struct VersionRow {
    DWORD platform;
    DWORD major;
    DWORD minor;
};

// A new desktop: version, process kinds, windows, a plausible block.
void BuildWorld(World& world, Rng& rng, const VersionRow& version);

// Windows come, go, change style and place; now and then a parent loop.
void MutateDesktop(World& world, Rng& rng);
// A field rewritten the way the settings program would, or raw bytes; now
// and then the programs block or the running programs table instead.
void MutateBlock(World& world, Rng& rng);
// A copy of the library attaches for the program at path, in the process.
void AttachAs(World& world, Rng& rng, int process, const char* path);

// Any handle a message may carry: mostly windows of the tree, sometimes one
// that vanished, null, HWND_BROADCAST or a number that names nothing.
HWND PickHandle(World& world, Rng& rng);
HWND PickWindow(World& world, Rng& rng);
// Mostly inside some window, sometimes on the screen edges or far outside it.
POINT PickPoint(World& world, Rng& rng);
// A function code from the table, or now and then any number.
int32_t PickFunction(Rng& rng);

}  // namespace ptr::stress
