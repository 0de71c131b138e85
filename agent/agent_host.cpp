// The 64-bit host. On 64-bit Windows a 32-bit library's global hook never
// runs inside a 64-bit program: Windows calls it in the agent's thread for
// every mouse message of those programs, where it passes on at once. The
// host, PtrAgent64.exe beside the agent, serves them with the x86_64 library
// instead; the agent starts it, watches it, and ends it.
#include "agent.h"
#include "os_version.h"
#include "win32_error.h"

#include <cstdio>

namespace agent {

namespace {

// The host removes its hooks and ends at once; one that does not is ended.
constexpr DWORD kHostEndWait = 5000;
constexpr DWORD kHostEndSlice = 50;

void Forget() {
    if (g_agent.hostProcess) CloseHandle(g_agent.hostProcess);
    g_agent.hostProcess = nullptr;
    g_agent.hostProcessId = 0;
    g_agent.hostThread = 0;
}

std::string NotServedNotice(const std::string& why) {
    return std::string("64-bit programs are not served: ") + why + " The wheel and the buttons work as " +
           ptr::kProductName + " sets them in 32-bit programs only.";
}

// Started from the agent's folder; it ends by itself when this process does.
bool Launch() {
    const std::string path = g_agent.folder + ptr::kHostFile;
    char arguments[64];
    std::snprintf(arguments, sizeof arguments, " --agent %lu", static_cast<unsigned long>(GetCurrentProcessId()));
    std::string commandLine = '"' + path + '"' + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, g_agent.folder.c_str(),
                        &startup, &process)) {
        const std::string error = ptr::Win32ErrorText(GetLastError());
        Say("PtrAgent: 64-bit host %s not started (%s)", path.c_str(), error.c_str());
        ShowNotice(NotServedNotice(std::string(ptr::kHostFile) + " could not be started (" + error + ")."));
        return false;
    }
    CloseHandle(process.hThread);
    g_agent.hostProcess = process.hProcess;
    g_agent.hostProcessId = process.dwProcessId;
    g_agent.hostThread = process.dwThreadId;
    Say("PtrAgent: 64-bit host started, process %lu", static_cast<unsigned long>(process.dwProcessId));
    return true;
}

}  // namespace

void StartHost() {
    if (g_agent.hostProcess || !ptr::RunsUnderWow64()) return;
    Launch();
}

void EndHost() {
    if (!g_agent.hostProcess) return;
    // Its thread may not have a message queue yet, just started: asked again.
    bool asked = false;
    DWORD waited = 0;
    DWORD ended = WAIT_TIMEOUT;
    while (waited < kHostEndWait && ended == WAIT_TIMEOUT) {
        if (!asked) asked = PostThreadMessageA(g_agent.hostThread, WM_QUIT, 0, 0) != FALSE;
        ended = WaitForSingleObject(g_agent.hostProcess, kHostEndSlice);
        waited += kHostEndSlice;
    }
    if (ended != WAIT_OBJECT_0) {
        TerminateProcess(g_agent.hostProcess, 1);
        WaitForSingleObject(g_agent.hostProcess, kHostEndWait);
    }
    DWORD code = 0;
    GetExitCodeProcess(g_agent.hostProcess, &code);
    Say("PtrAgent: 64-bit host ended (exit code %lu%s)", static_cast<unsigned long>(code),
        ended == WAIT_OBJECT_0 ? "" : ", it did not end when asked");
    Forget();
}

void HostEnded() {
    DWORD code = 0;
    GetExitCodeProcess(g_agent.hostProcess, &code);
    Forget();
    if (g_agent.hostRestarts.MayRestart(GetTickCount())) {
        Say("PtrAgent: 64-bit host ended unexpectedly (exit code %lu), starting it again",
            static_cast<unsigned long>(code));
        Launch();
        return;
    }
    Say("PtrAgent: 64-bit host ended unexpectedly (exit code %lu) %d times within %lu s: not started again",
        static_cast<unsigned long>(code), kHostRestarts + 1, static_cast<unsigned long>(kHostRestartPeriod / 1000));
    ShowNotice(NotServedNotice(std::string(ptr::kHostFile) + " ended unexpectedly again and again."));
}

void HostHooksHeld(WPARAM held) {
    Say("PtrAgent: 64-bit host's hooks held 0x%lX", static_cast<unsigned long>(held));
}

}  // namespace agent
