#include "program_window.h"

namespace ptr {

namespace {

constexpr DWORD kWaitAccess = SYNCHRONIZE | STANDARD_RIGHTS_REQUIRED;  // 0x1F0000
constexpr DWORD kPollInterval = 50;

}  // namespace

WindowCloseOps SystemWindowCloseOps() {
    WindowCloseOps ops;
    ops.find = [](const std::string& windowClass, const std::string& title) {
        return FindWindowA(windowClass.c_str(), title.c_str());
    };
    ops.openProcess = [](HWND window) -> HANDLE {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        return processId ? OpenProcess(kWaitAccess, FALSE, processId) : nullptr;
    };
    ops.postQuit = [](HWND window) { PostMessageA(window, WM_QUIT, 0, 0); };
    ops.waitForEnd = [](HANDLE process, DWORD milliseconds) {
        return WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0;
    };
    ops.windowExists = [](HWND window) { return IsWindow(window) != FALSE; };
    ops.sleep = [](DWORD milliseconds) { Sleep(milliseconds); };
    ops.tickCount = [] { return GetTickCount(); };
    ops.closeHandle = [](HANDLE process) { CloseHandle(process); };
    return ops;
}

CloseOutcome QuitProgramWindow(const std::string& windowClass, const std::string& title, DWORD wait,
                               const WindowCloseOps& ops) {
    if (windowClass.empty()) return CloseOutcome::NotRunning;
    HWND window = ops.find(windowClass, title);
    if (!window) return CloseOutcome::NotRunning;
    HANDLE process = ops.openProcess(window);
    // The message goes whether or not the process can be watched: a program
    // that ends on it is closed either way.
    ops.postQuit(window);
    CloseOutcome outcome = CloseOutcome::StillRunning;
    if (process) {
        if (ops.waitForEnd(process, wait)) outcome = CloseOutcome::Ended;
        ops.closeHandle(process);
    } else {
        const DWORD start = ops.tickCount();
        for (;;) {
            if (!ops.windowExists(window)) {
                outcome = CloseOutcome::WindowGone;
                break;
            }
            if (ops.tickCount() - start >= wait) break;
            ops.sleep(kPollInterval);
        }
    }
    ops.sleep(0);
    return outcome;
}

}  // namespace ptr
