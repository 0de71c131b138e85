// Closing a running program of the suite through its main window, as the
// installer (before it replaces the files) and the uninstaller (before it
// removes them) do: WM_QUIT posted to the window, then a bounded wait.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace ptr {

enum class CloseOutcome {
    NotRunning,    // no such window
    Ended,         // the program's process has ended
    WindowGone,    // its process could not be watched, but the window went
    StillRunning,  // still there when the time was up
};

// What closing needs from the system, so that each way through it runs in
// the unit tests too.
struct WindowCloseOps {
    std::function<HWND(const std::string& windowClass, const std::string& title)> find;
    std::function<HANDLE(HWND window)> openProcess;  // null when it cannot be opened for waiting
    std::function<void(HWND window)> postQuit;
    std::function<bool(HANDLE process, DWORD milliseconds)> waitForEnd;  // true when it ended
    std::function<bool(HWND window)> windowExists;
    std::function<void(DWORD milliseconds)> sleep;
    std::function<DWORD()> tickCount;
    std::function<void(HANDLE process)> closeHandle;
};
WindowCloseOps SystemWindowCloseOps();

// Finds the top-level window of that class and title, posts WM_QUIT to it
// (also when its process cannot be opened for waiting) and waits at most
// `wait` milliseconds for the process to end, or else for the window to go.
CloseOutcome QuitProgramWindow(const std::string& windowClass, const std::string& title, DWORD wait,
                               const WindowCloseOps& ops);

inline bool IsClosed(CloseOutcome outcome) { return outcome != CloseOutcome::StillRunning; }

}  // namespace ptr
