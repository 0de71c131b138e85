// Process attach and detach, the shared settings block mapping, and the
// exports of the hook frame.
#include "library.h"

#include "../core/lifecycle.h"
#include "../core/mouse_proc.h"
#include "../core/programs.h"
#include "real_platform.h"

namespace ptr {
namespace {

// This library's hook handles, seen by every copy of this file: the
// section is marked read, write, shared.
LibraryHooks g_hooks __attribute__((section(".shared"), shared)) = {0, 0, 0, 0};

// A view of a named block and its mapping, closed together.
struct SharedView {
    HANDLE mapping = nullptr;
    void* view = nullptr;

    // Creates the block or opens the one another copy made.
    bool Create(const char* name, DWORD size) {
        mapping = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
        return mapping != nullptr && MapOrClose(FILE_MAP_ALL_ACCESS, size);
    }

    // Opens a block another program made, read-only.
    bool OpenForReading(const char* name, DWORD size) {
        mapping = ::OpenFileMappingA(FILE_MAP_READ, FALSE, name);
        return mapping != nullptr && MapOrClose(FILE_MAP_READ, size);
    }

    void Close() {
        if (view) ::UnmapViewOfFile(view);
        if (mapping) ::CloseHandle(mapping);
        view = nullptr;
        mapping = nullptr;
    }

  private:
    // A view of exactly the layout's size fails on a smaller block, so no
    // read goes past what another writer made.
    bool MapOrClose(DWORD access, DWORD size) {
        view = ::MapViewOfFile(mapping, access, 0, 0, size);
        if (view == nullptr) Close();
        return view != nullptr;
    }
};

RealPlatform g_api;
ProcessState g_process;
SharedView g_settings;
SettingsBlock* g_block = nullptr;
// Stands in for the block only if a caller reaches the library without a view.
SettingsBlock g_noBlock = {};

bool MapSettingsBlock() {
    if (!g_settings.Create(kSettingsBlockName, kSettingsBlockSize)) return false;
    g_block = static_cast<SettingsBlock*>(g_settings.view);
    return true;
}

void UnmapSettingsBlock() {
    g_block = nullptr;
    g_settings.Close();
}

// The programs block, which the tray agent makes before it loads the
// library; read-only here. Without it every program takes the settings
// block as it is.
SharedView g_programs;

void MapProgramsBlock() {
    if (g_programs.OpenForReading(kProgramsBlockName, kProgramsBlockSize))
        g_process.Programs = static_cast<const ProgramsBlock*>(g_programs.view);
}

void UnmapProgramsBlock() {
    g_process.Programs = nullptr;
    g_programs.Close();
}

// The desktop-wide state, which every copy of either library creates or
// opens and prepares before it reads it. Without it this copy could not end
// a mode another started: the library does not load in that process, and
// the hooks leave its input alone, as without the settings block.
SharedView g_desktop;
DesktopState* g_state = nullptr;
// Stands in only for an export called without the library's attach.
HookSharedState g_noState = kInitialSharedState;

bool MapDesktopState() {
    if (!g_desktop.Create(kDesktopStateName, kDesktopStateSize)) return false;
    auto* state = static_cast<DesktopState*>(g_desktop.view);
    if (!PrepareDesktopState(*state)) {
        g_desktop.Close();
        return false;
    }
    g_state = state;
    return true;
}

void UnmapDesktopState() {
    g_state = nullptr;
    g_desktop.Close();
}

// The running programs table, which every copy of the library creates or
// opens, of exactly this layout's size; without it this process's program
// is not published and other processes' programs are not named.
SharedView g_running;

void MapRunningPrograms() {
    if (!g_running.Create(kRunningProgramsName, kRunningProgramsSize)) return;
    auto* table = static_cast<RunningPrograms*>(g_running.view);
    if (PrepareRunningPrograms(*table)) {
        g_process.Running = table;
    } else {
        g_running.Close();
    }
}

void UnmapRunningPrograms() {
    ForgetOwnProgram(g_process);
    g_process.Running = nullptr;
    g_running.Close();
}

}  // namespace

HookContext LibraryContext() {
    return HookContext{g_api, g_block ? *g_block : g_noBlock, g_state ? g_state->State : g_noState, g_hooks,
                       g_process};
}

HMODULE LibraryModule() { return g_process.Module; }

}  // namespace ptr

using namespace ptr;

PTR_EXPORT LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) {
    HookContext ctx = LibraryContext();
    return MouseHook(ctx, code, wParam, lParam);
}

PTR_EXPORT LRESULT CALLBACK SysMsgHookProc(int code, WPARAM wParam, LPARAM lParam) {
    HookContext ctx = LibraryContext();
    return SysMsgFilter(ctx, code, wParam, lParam);
}

PTR_EXPORT LRESULT CALLBACK LowLevelMouseProc(int code, WPARAM wParam, LPARAM lParam) {
    HookContext ctx = LibraryContext();
    return LowLevelWheel(ctx, code, wParam, lParam);
}

PTR_EXPORT LRESULT CALLBACK LowLevelMouseProc5(int code, WPARAM wParam, LPARAM lParam) {
    HookContext ctx = LibraryContext();
    return LowLevelXButton(ctx, code, wParam, lParam);
}

PTR_EXPORT LONG WINAPI InstallHook(LONG install) {
    HookContext ctx = LibraryContext();
    return InstallHooks(ctx, install);
}

PTR_EXPORT void* WINAPI GetMapFilePointer(void) { return g_block; }

PTR_EXPORT DWORD WINAPI GetHookStatus(void) { return HookStatus(g_hooks); }

#ifdef _WIN64
// The 64-bit host's, beside a 32-bit agent that holds the low-level hooks.
PTR_EXPORT LONG WINAPI InstallHostHook(LONG install) {
    HookContext ctx = LibraryContext();
    return InstallHostHooks(ctx, install);
}
#endif

namespace ptr {
HOOKPROC HookProcedure(HookProcId proc) {
    switch (proc) {
    case HookProcId::Mouse: return MouseProc;
    case HookProcId::SysMsgFilter: return SysMsgHookProc;
    case HookProcId::LowLevelWheel: return LowLevelMouseProc;
    case HookProcId::LowLevelXButton: return LowLevelMouseProc5;
    }
    return nullptr;
}
}  // namespace ptr

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(module);
        g_api.BindLateFunctions();
        if (!MapDesktopState()) return FALSE;
        MapRunningPrograms();
        AttachProcess(g_api, g_state->State, g_process);
        g_process.Module = module;
        if (!MapSettingsBlock()) {
            UnmapRunningPrograms();
            UnmapDesktopState();
            return FALSE;
        }
        MapProgramsBlock();
        return TRUE;
    }
    if (reason == DLL_PROCESS_DETACH) {
        g_process.Module = nullptr;
        UnmapProgramsBlock();
        UnmapRunningPrograms();
        UnmapSettingsBlock();
        UnmapDesktopState();
    }
    return TRUE;
}
