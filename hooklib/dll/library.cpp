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

RealPlatform g_api;
ProcessState g_process;
HANDLE g_mapping = nullptr;
SettingsBlock* g_block = nullptr;
// Stands in for the block only if a caller reaches the library without a view.
SettingsBlock g_noBlock = {};

bool MapSettingsBlock() {
    g_mapping = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSettingsBlockSize,
                                     kSettingsBlockName);
    if (g_mapping == nullptr) return false;
    g_block = static_cast<SettingsBlock*>(::MapViewOfFile(g_mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (g_block == nullptr) {
        ::CloseHandle(g_mapping);
        g_mapping = nullptr;
        return false;
    }
    return true;
}

void UnmapSettingsBlock() {
    if (g_block) ::UnmapViewOfFile(g_block);
    if (g_mapping) ::CloseHandle(g_mapping);
    g_block = nullptr;
    g_mapping = nullptr;
}

// The programs block, which the tray agent makes before it loads the
// library; read-only here. A view of exactly this layout's size fails on a
// smaller block, so no read goes past what another writer made. Without
// it every program takes the settings block as it is.
HANDLE g_programsMapping = nullptr;

void MapProgramsBlock() {
    g_programsMapping = ::OpenFileMappingA(FILE_MAP_READ, FALSE, kProgramsBlockName);
    if (g_programsMapping == nullptr) return;
    g_process.Programs =
        static_cast<const ProgramsBlock*>(::MapViewOfFile(g_programsMapping, FILE_MAP_READ, 0, 0, kProgramsBlockSize));
    if (g_process.Programs == nullptr) {
        ::CloseHandle(g_programsMapping);
        g_programsMapping = nullptr;
    }
}

void UnmapProgramsBlock() {
    if (g_process.Programs) ::UnmapViewOfFile(const_cast<ProgramsBlock*>(g_process.Programs));
    if (g_programsMapping) ::CloseHandle(g_programsMapping);
    g_process.Programs = nullptr;
    g_programsMapping = nullptr;
}

// The desktop-wide state, which every copy of either library creates or
// opens and prepares before it reads it. Without it this copy could not end
// a mode another started: the library does not load in that process, and
// the hooks leave its input alone, as without the settings block.
HANDLE g_stateMapping = nullptr;
DesktopState* g_state = nullptr;
// Stands in only for an export called without the library's attach.
HookSharedState g_noState = kInitialSharedState;

bool MapDesktopState() {
    g_stateMapping = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kDesktopStateSize,
                                          kDesktopStateName);
    if (g_stateMapping == nullptr) return false;
    g_state = static_cast<DesktopState*>(
        ::MapViewOfFile(g_stateMapping, FILE_MAP_ALL_ACCESS, 0, 0, kDesktopStateSize));
    if (g_state != nullptr && PrepareDesktopState(*g_state)) return true;
    if (g_state != nullptr) ::UnmapViewOfFile(g_state);
    ::CloseHandle(g_stateMapping);
    g_state = nullptr;
    g_stateMapping = nullptr;
    return false;
}

void UnmapDesktopState() {
    if (g_state) ::UnmapViewOfFile(g_state);
    if (g_stateMapping) ::CloseHandle(g_stateMapping);
    g_state = nullptr;
    g_stateMapping = nullptr;
}

// The running programs table, which every copy of the library creates or
// opens, of exactly this layout's size; without it this process's program
// is not published and other processes' programs are not named.
HANDLE g_runningMapping = nullptr;

void MapRunningPrograms() {
    g_runningMapping = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kRunningProgramsSize,
                                            kRunningProgramsName);
    if (g_runningMapping == nullptr) return;
    auto* table = static_cast<RunningPrograms*>(
        ::MapViewOfFile(g_runningMapping, FILE_MAP_ALL_ACCESS, 0, 0, kRunningProgramsSize));
    if (table != nullptr && PrepareRunningPrograms(*table)) {
        g_process.Running = table;
        return;
    }
    if (table != nullptr) ::UnmapViewOfFile(table);
    ::CloseHandle(g_runningMapping);
    g_runningMapping = nullptr;
}

void UnmapRunningPrograms() {
    ForgetOwnProgram(g_process);
    if (g_process.Running) ::UnmapViewOfFile(g_process.Running);
    if (g_runningMapping) ::CloseHandle(g_runningMapping);
    g_process.Running = nullptr;
    g_runningMapping = nullptr;
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
