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

// GetHookStatus: which hook handles are held, as HOOK_STATUS_... bits.
uint32_t HookStatus(const HookSharedState& shared);

LRESULT SysMsgFilter(HookContext& ctx, int code, WPARAM wParam, LPARAM lParam);
LRESULT LowLevelWheel(HookContext& ctx, int code, WPARAM wParam, LPARAM lParam);
LRESULT LowLevelXButton(HookContext& ctx, int code, WPARAM wParam, LPARAM lParam);

}  // namespace ptr
