// Process attach and detach, the shared settings block mapping, and the
// exports of the hook frame.
#include "library.h"

#include "../core/lifecycle.h"
#include "../core/mouse_proc.h"
#include "../core/programs.h"
#include "real_platform.h"

namespace ptr {
namespace {

// One instance per desktop: the section is marked read, write, shared.
HookSharedState g_shared __attribute__((section(".shared"), shared)) = kInitialSharedState;

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

HookContext LibraryContext() { return HookContext{g_api, g_block ? *g_block : g_noBlock, g_shared, g_process}; }

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

PTR_EXPORT DWORD WINAPI GetHookStatus(void) { return HookStatus(g_shared); }

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
        MapRunningPrograms();
        AttachProcess(g_api, g_shared, g_process);
        g_process.Module = module;
        if (!MapSettingsBlock()) {
            UnmapRunningPrograms();
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
    }
    return TRUE;
}
