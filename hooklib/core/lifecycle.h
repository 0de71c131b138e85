// Library start-up, Windows version and process kind, hook installation, and
// the hook procedures other than the mouse hook.
#pragma once

#include "hook_context.h"
#include "ptrhk32a.h"

namespace ptr {

int32_t DetectOsKind(Platform& api);
// Kind of a process from its executable's full path (any case).
int32_t ProcessKindFromPath(const char* path);
int32_t DetectProcessKind(Platform& api);

// Process attach, once the running programs table is mapped and before the
// block is: detect the version once per desktop, register the Windows 95
// messages, classify the process, name its program and publish it.
void AttachProcess(Platform& api, HookSharedState& shared, ProcessState& process);

// InstallHook: nonzero installs, zero removes; returns the 32-bit result.
int32_t InstallHooks(HookContext& ctx, int32_t install);

// InstallHostHook, the 64-bit host's beside a 32-bit agent that holds the
// low-level hooks: nonzero installs the mouse and message-filter hooks only
// and returns HookStatus; zero removes them and nothing else (the mode and
// what it holds down are the agent's to end). Returns 0 then.
int32_t InstallHostHooks(HookContext& ctx, int32_t install);

// GetHookStatus: which hook handles the library holds, as HOOK_STATUS_... bits.
uint32_t HookStatus(const LibraryHooks& hooks);

// A call that Windows makes in the thread that installed the hooks for a
// window of another process: in that thread only, for the programs of the
// other bitness, which their own library serves. Any other thread asks the
// system nothing here.
bool IsOtherBitnessCall(HookContext& ctx, HWND window);

LRESULT SysMsgFilter(HookContext& ctx, int code, WPARAM wParam, LPARAM lParam);
LRESULT LowLevelWheel(HookContext& ctx, int code, WPARAM wParam, LPARAM lParam);
LRESULT LowLevelXButton(HookContext& ctx, int code, WPARAM wParam, LPARAM lParam);

}  // namespace ptr
