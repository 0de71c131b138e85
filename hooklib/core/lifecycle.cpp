#include "lifecycle.h"

#include "markers.h"
#include "modes.h"
#include "programs.h"

#include <cstring>

namespace ptr {

namespace {

int32_t OsKindFromVersion(const OSVERSIONINFOA& info) {
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        if (info.dwMajorVersion != 4) return OS_OTHER;
        switch (info.dwMinorVersion) {
        case 0: return OS_WIN95;
        case 10: return OS_WIN98;
        case 90: return OS_WINME;
        default: return OS_OTHER;
        }
    }
    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        if (info.dwMajorVersion <= 4) return OS_NT4;
        if (info.dwMajorVersion == 5 && info.dwMinorVersion == 0) return OS_WIN2000;
        // Every NT system from XP on behaves as XP does for the hooks: the
        // wheel delta in mouseData, the X buttons through the low-level hook.
        return OS_WINXP;
    }
    return OS_OTHER;
}

// Base name of an upper-cased path: after the last '\', '/' or ':', before the last '.'.
void BaseName(const char* path, char* out, size_t outSize) {
    const char* start = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':') start = p + 1;
    }
    const char* end = start + std::strlen(start);
    for (const char* p = end; p > start; --p) {
        if (p[-1] == '.') {
            end = p - 1;
            break;
        }
    }
    size_t n = static_cast<size_t>(end - start);
    if (n >= outSize) n = outSize - 1;
    std::memcpy(out, start, n);
    out[n] = '\0';
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

HHOOK InstallOne(HookContext& ctx, int idHook, HookProcId proc, uint32_t& field) {
    if (field == 0) field = FromHhook(ctx.api.SetWindowsHookExA(idHook, proc));
    return ToHhook(field);
}

BOOL RemoveOne(HookContext& ctx, uint32_t& field) {
    if (field == 0) return FALSE;
    BOOL result = ctx.api.UnhookWindowsHookEx(ToHhook(field));
    field = 0;
    return result;
}

// The mouse and message-filter hooks, which Windows calls in the process of
// each program of this library's bitness. The thread that installs the
// mouse hook is the one where Windows calls it for the other bitness.
void InstallProgramHooks(HookContext& ctx) {
    LibraryHooks& h = ctx.hooks;
    if (h.MouseHook == 0 && InstallOne(ctx, WH_MOUSE, HookProcId::Mouse, h.MouseHook) != nullptr)
        ctx.process.HookThread = ctx.api.GetCurrentThreadId();
    InstallOne(ctx, WH_SYSMSGFILTER, HookProcId::SysMsgFilter, h.MsgFilterHook);
}

void RemoveProgramHooks(HookContext& ctx) {
    RemoveOne(ctx, ctx.hooks.MouseHook);
    RemoveOne(ctx, ctx.hooks.MsgFilterHook);
    ctx.process.HookThread = 0;
}

}  // namespace

int32_t DetectOsKind(Platform& api) {
    OSVERSIONINFOEXA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    if (!api.GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
        std::memset(&info, 0, sizeof info);
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!api.GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return OS_OTHER;
    }
    return OsKindFromVersion(*reinterpret_cast<OSVERSIONINFOA*>(&info));
}

int32_t ProcessKindFromPath(const char* path) {
    char upper[MAX_PATH];
    size_t n = 0;
    for (; path[n] && n < MAX_PATH - 1; ++n) upper[n] = UpperAscii(path[n]);
    upper[n] = '\0';
    char base[MAX_PATH];
    BaseName(upper, base, sizeof base);
    if (std::strcmp(base, "WINWORD") == 0) return PROCESS_WORD;
    if (std::strcmp(base, "EXCEL") == 0) return PROCESS_EXCEL;
    if (std::strcmp(base, "NETSCP6") == 0) return PROCESS_NETSCP6;
    if (std::strcmp(base, "RUNDLL32") == 0) return PROCESS_RUNDLL32;
    return PROCESS_OTHER;
}

int32_t DetectProcessKind(Platform& api) {
    char path[MAX_PATH];
    DWORD n = api.GetModuleFileNameA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return PROCESS_OTHER;
    path[n] = '\0';
    return ProcessKindFromPath(path);
}

void AttachProcess(Platform& api, HookSharedState& shared, ProcessState& process) {
    if (shared.OsKind == OS_OTHER) shared.OsKind = DetectOsKind(api);
    if (shared.OsKind == OS_WIN95) {
        process.RollMessage = api.RegisterWindowMessageA("MSWHEEL_ROLLMSG");
        process.WheelSupportMessage = api.RegisterWindowMessageA("MSH_WHEELSUPPORT_MSG");
        process.ScrollLinesMessage = api.RegisterWindowMessageA("MSH_SCROLL_LINES_MSG");
    } else {
        process.RollMessage = process.WheelSupportMessage = process.ScrollLinesMessage = 0;
    }
    char path[MAX_PATH];
    DWORD n = api.GetModuleFileNameA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) n = 0;
    path[n] = '\0';
    process.ProcessKind = n == 0 ? PROCESS_OTHER : ProcessKindFromPath(path);
    RememberOwnProgram(api, process, path);
}

int32_t InstallHooks(HookContext& ctx, int32_t install) {
    LibraryHooks& h = ctx.hooks;
    const int32_t os = ctx.shared.OsKind;
    if (install == 0) {
        // Nothing may stay held down for every program once the hooks that
        // would let it go are gone; a mode left by an agent that was killed
        // ends here too, before the next agent installs.
        ReleaseAnyMode(ctx);
        RemoveProgramHooks(ctx);
        RemoveOne(ctx, h.Nt4WheelHook);
        return RemoveOne(ctx, h.XButtonHook);
    }
    InstallProgramHooks(ctx);
    if (os == OS_NT4 && ctx.block.LowLevelWheelHook != 0 && h.Nt4WheelHook == 0)
        InstallOne(ctx, WH_MOUSE_LL, HookProcId::LowLevelWheel, h.Nt4WheelHook);
    if ((os == OS_WIN2000 || os == OS_WINXP) && h.XButtonHook == 0) {
        InstallOne(ctx, WH_MOUSE_LL, HookProcId::LowLevelXButton, h.XButtonHook);
        return static_cast<int32_t>(h.XButtonHook);
    }
    return os;
}

int32_t InstallHostHooks(HookContext& ctx, int32_t install) {
    if (install == 0) {
        RemoveProgramHooks(ctx);
        return 0;
    }
    InstallProgramHooks(ctx);
    return static_cast<int32_t>(HookStatus(ctx.hooks));
}

uint32_t HookStatus(const LibraryHooks& hooks) {
    return (hooks.MouseHook ? HOOK_STATUS_MOUSE : 0) | (hooks.MsgFilterHook ? HOOK_STATUS_MSGFILTER : 0) |
           (hooks.Nt4WheelHook ? HOOK_STATUS_NT4_WHEEL : 0) | (hooks.XButtonHook ? HOOK_STATUS_XBUTTON : 0);
}

bool IsOtherBitnessCall(HookContext& ctx, HWND window) {
    const uint32_t hookThread = ctx.process.HookThread;
    if (hookThread == 0 || ctx.api.GetCurrentThreadId() != hookThread) return false;
    DWORD processId = 0;
    ctx.api.GetWindowThreadProcessId(window, &processId);
    return processId != ctx.process.ProcessId;
}

LRESULT SysMsgFilter(HookContext& ctx, int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_MENU && msg != nullptr && !IsOtherBitnessCall(ctx, msg->hwnd))
        ctx.shared.MenuActive = (msg->message == WM_MENUSELECT) ? 0 : 1;
    return ctx.api.CallNextHookEx(ToHhook(ctx.hooks.MsgFilterHook), code, wParam, lParam);
}

LRESULT LowLevelWheel(HookContext& ctx, int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && wParam == WM_MOUSEWHEEL && lParam != 0) {
        const MSLLHOOKSTRUCT* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        if (HighWord32(event->dwExtraInfo) == 0) {
            DWORD delta = HighWord32(event->mouseData);
            ctx.api.mouse_event(MOUSEEVENTF_WHEEL, static_cast<DWORD>(event->pt.x), static_cast<DWORD>(event->pt.y),
                                delta, ExtraInfo(MARK_WHEEL, static_cast<uint16_t>(delta)));
            return 1;
        }
    }
    return ctx.api.CallNextHookEx(ToHhook(ctx.hooks.Nt4WheelHook), code, wParam, lParam);
}

LRESULT LowLevelXButton(HookContext& ctx, int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && lParam != 0 && (wParam == WM_XBUTTONDOWN || wParam == WM_XBUTTONUP)) {
        const MSLLHOOKSTRUCT* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        if (event->flags != LLMHF_INJECTED) {
            DWORD flags = (wParam == WM_XBUTTONDOWN) ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
            ctx.api.mouse_event(flags, static_cast<DWORD>(event->pt.x), static_cast<DWORD>(event->pt.y), 0,
                                HighWord32(event->mouseData));
            return 1;
        }
    }
    return ctx.api.CallNextHookEx(ToHhook(ctx.hooks.XButtonHook), code, wParam, lParam);
}

}  // namespace ptr
