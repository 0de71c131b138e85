// PtrAgent64.exe, the 64-bit host: on 64-bit Windows the 32-bit tray agent
// starts it once its own hooks are in. A 32-bit library's global hook is
// never loaded into a 64-bit process (Windows calls it in the agent's thread
// instead, for every mouse message of those programs), so the host loads the
// x86_64 library PTRHK64A.dll from its own folder and installs its mouse and
// message-filter hooks for the 64-bit programs. The low-level hooks stay
// with the agent, so that nothing is injected twice; the modes, the zoom and
// auto-scroll windows and the DoAuto exports stay the agent's too, reached
// through the desktop-wide state and the agent's windows.
//
//   PtrAgent64.exe --agent PROCESS_ID
//
// It pumps messages (Windows calls its hooks here for the 32-bit programs,
// which pass on at once) until the agent ends it with WM_QUIT, the agent's
// process ends however it ends, or the session does; then it removes its
// hooks. No tray icon: a hidden window by which Setup and the uninstaller
// find a host that outlived its agent.
//
// Exit codes: 0 ended, 1 cannot start (no agent, no library or export, no
// window), 2 another host runs, 3 the hooks did not go in.
#include "ptrhk32a.h"
#include "settings_block.h"
#include "suite_names.h"
#include "window_handles.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kExitEnded = 0;
constexpr int kExitCannotStart = 1;
constexpr int kExitAnotherHost = 2;
constexpr int kExitNoHooks = 3;
// A host that is ending (its agent restarted) lets go of the mutex soon.
constexpr DWORD kMutexWait = 5000;
constexpr DWORD kRequiredHooks = HOOK_STATUS_MOUSE | HOOK_STATUS_MSGFILTER;

struct Library {
    HMODULE module = nullptr;
    InstallHostHookFn InstallHostHook = nullptr;
    GetHookStatusFn GetHookStatus = nullptr;
    GetMapFilePointerFn GetMapFilePointer = nullptr;
};

Library g_library;
bool g_hooksIn = false;

void RemoveHooks() {
    if (!g_hooksIn) return;
    g_hooksIn = false;
    g_library.InstallHostHook(0);
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        PostQuitMessage(kExitEnded);
        return 0;
    case WM_ENDSESSION:
        // The system may end the process as soon as this returns.
        if (wParam) RemoveHooks();
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND CreateHostWindow(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = ptr::kHostWindowClass;
    if (!RegisterClassA(&windowClass)) return nullptr;
    // Top-level and never shown, not message-only: FindWindow finds it.
    return CreateWindowExA(WS_EX_TOOLWINDOW, ptr::kHostWindowClass, ptr::kHostWindowTitle, WS_POPUP, 0, 0, 0, 0,
                           nullptr, nullptr, instance, nullptr);
}

// The process given by --agent, opened to see it end; null without one.
HANDLE OpenAgent() {
    for (int i = 1; i + 1 < __argc; ++i) {
        if (std::strcmp(__argv[i], "--agent") != 0) continue;
        const unsigned long id = std::strtoul(__argv[i + 1], nullptr, 10);
        return id != 0 ? OpenProcess(SYNCHRONIZE, FALSE, id) : nullptr;
    }
    return nullptr;
}

// The library beside this program, by its full path.
bool LoadHostLibrary() {
    char path[MAX_PATH + sizeof ptr::kLibrary64File];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    char* name = std::strrchr(path, '\\');
    std::strcpy(name ? name + 1 : path, ptr::kLibrary64File);
    g_library.module = LoadLibraryA(path);
    if (!g_library.module) return false;
    g_library.InstallHostHook = LibraryExport<InstallHostHookFn>(g_library.module, "InstallHostHook");
    g_library.GetHookStatus = LibraryExport<GetHookStatusFn>(g_library.module, "GetHookStatus");
    g_library.GetMapFilePointer = LibraryExport<GetMapFilePointerFn>(g_library.module, "GetMapFilePointer");
    return g_library.InstallHostHook && g_library.GetHookStatus && g_library.GetMapFilePointer;
}

// The agent hears which hooks went in.
void TellAgent(DWORD held) {
    const auto* block = static_cast<const ptr::SettingsBlock*>(g_library.GetMapFilePointer());
    const HWND agent = block ? ptr::ToHwnd(block->AgentWindow) : nullptr;
    if (agent != nullptr) PostMessageA(agent, ptr::UM_HOSTHOOKS, held, 0);
}

// Handles only what is queued: the hooks need nothing else of this thread.
int PumpUntilTheEnd(HANDLE agent) {
    for (;;) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &agent, FALSE, INFINITE, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) return kExitEnded;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return kExitEnded;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

int Run(HINSTANCE instance) {
    HANDLE agent = OpenAgent();
    if (agent == nullptr) return kExitCannotStart;
    // Never closed: the system lets go of it when the process ends.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, ptr::kHostMutex);
    if (mutex == nullptr) return kExitAnotherHost;
    const DWORD taken = WaitForSingleObject(mutex, kMutexWait);
    if (taken != WAIT_OBJECT_0 && taken != WAIT_ABANDONED) return kExitAnotherHost;
    if (!LoadHostLibrary() || !CreateHostWindow(instance)) return kExitCannotStart;
    // Handles a host that was killed left in the library, while any 64-bit
    // program still holds it, would keep these from going in.
    g_library.InstallHostHook(0);
    g_hooksIn = true;
    g_library.InstallHostHook(1);
    const DWORD held = g_library.GetHookStatus();
    TellAgent(held);
    if ((held & kRequiredHooks) != kRequiredHooks) {
        RemoveHooks();
        return kExitNoHooks;
    }
    const int code = PumpUntilTheEnd(agent);
    RemoveHooks();
    return code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return Run(instance); }
