// One agent at a time, and a start that cannot go on is told to the user.
#include "agent.h"

#include <cstdarg>

namespace agent {

namespace {

// The first of two near-simultaneous starts may not have its window yet.
constexpr DWORD kWaitForRunningAgentMs = 5000;
constexpr DWORD kPollMs = 50;

HWND FindRunningAgent() { return FindWindowA(ptr::kAgentWindowClass, ptr::kAgentWindowTitle); }

}  // namespace

bool ClaimSingleInstance() {
    // Never closed: the system lets go of it when the process ends, however it ends.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kInstanceMutexName);
    const DWORD error = GetLastError();
    if (mutex != nullptr && error == ERROR_ALREADY_EXISTS) return false;
    // Held by an agent of another user on this desktop.
    if (mutex == nullptr && error == ERROR_ACCESS_DENIED) return false;
    // The window check also finds an agent that holds no mutex.
    return FindRunningAgent() == nullptr;
}

UINT AnotherStartMessage() {
    static const UINT message = RegisterWindowMessageA(kAnotherStartMessageName);
    return message;
}

void TellRunningAgent() {
    const DWORD start = GetTickCount();
    HWND running = FindRunningAgent();
    while (running == nullptr && GetTickCount() - start < kWaitForRunningAgentMs) {
        Sleep(kPollMs);
        running = FindRunningAgent();
    }
    if (running != nullptr && AnotherStartMessage() != 0 && PostMessageA(running, AnotherStartMessage(), 0, 0))
        Say("PtrAgent: the running agent was asked to show itself");
    else
        Say("PtrAgent: the running agent has no window to ask");
}

void TellUserFatal(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = FormatText(format, args);
    va_end(args);
    Say("PtrAgent: %s", text.c_str());
    MessageBoxA(nullptr, text.c_str(), ptr::kProductName, MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}

}  // namespace agent
