// A test tool that stands in for a tray agent that will not close: a window
// of the agent's class and title whose program goes on after WM_QUIT, until
// its standard input ends. Prints READY, then QUIT for each WM_QUIT it ignores.
#include "suite_names.h"

#include <windows.h>

#include <cstdio>

namespace {

constexpr UINT kInputEnded = WM_APP + 1;

DWORD WINAPI ReadInput(LPVOID mainThread) {
    char line[64];
    while (std::fgets(line, sizeof line, stdin)) {
    }
    PostThreadMessageA(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(mainThread)), kInputEnded, 0, 0);
    return 0;
}

}  // namespace

int main() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = ptr::kAgentWindowClass;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, ptr::kAgentWindowClass, ptr::kAgentWindowTitle, WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    if (!window) {
        std::printf("ERROR no window\n");
        return 1;
    }
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for the reader's message
    CreateThread(nullptr, 0, ReadInput, reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(GetCurrentThreadId())), 0,
                 nullptr);
    std::printf("READY\n");
    std::fflush(stdout);
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            std::printf("QUIT\n");
            std::fflush(stdout);
            continue;
        }
        if (message.message == kInputEnded) break;
        DispatchMessageA(&message);
    }
    DestroyWindow(window);
    return 0;
}
