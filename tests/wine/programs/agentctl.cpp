// A test tool that talks to a running tray agent from another process, the
// way the hook library and the settings program do: through its windows.
// One command per run; the result goes to standard output.
//
//   agentctl post MSG WP LP     PostMessage to the agent's main window
//   agentctl send MSG WP LP     SendMessage (5 s timeout), prints RESULT=n
//   agentctl quit               posts WM_QUIT to the main window
//   agentctl status             prints STATUS=<text of the tooltip mirror>
//   agentctl windows            prints main=, zoom=, autoscroll= (decimal handles)
//   agentctl info CLASS         prints hwnd=, visible=, rect= of the first window of CLASS
//   agentctl capture            prints capture=, foreground= and active= of the agent's thread
//   agentctl foreground         prints foreground=<handle> of the desktop
//   agentctl wait-gone [MS]     waits until the main window is gone (exit 1 if not)
//
// Exit code 0 on success, 1 when the agent (or the window asked for) is not found,
// 2 on a usage error.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char kMainClass[] = "PtrHkTrayAgent";
constexpr char kMainTitle[] = "PTRHK32A Tray Agent";
constexpr char kZoomClass[] = "PtrHkZoom";
constexpr char kAutoScrollClass[] = "PtrHkAutoScroll";
constexpr int kStatusControlId = 100;

unsigned long long Handle(HWND window) { return static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)); }

HWND FindAgent() { return FindWindowA(kMainClass, kMainTitle); }

// The helper windows are found among the agent's own top-level windows, so that
// a stray window of the same class in another process does not count.
struct ClassSearch {
    const char* className;
    DWORD process;
    HWND found;
};

BOOL CALLBACK MatchClass(HWND window, LPARAM parameter) {
    ClassSearch* search = reinterpret_cast<ClassSearch*>(parameter);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (std::strcmp(name, search->className) == 0 && (search->process == 0 || process == search->process)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindAgentWindow(const char* className) {
    HWND agent = FindAgent();
    ClassSearch search = {className, 0, nullptr};
    if (agent) GetWindowThreadProcessId(agent, &search.process);
    EnumWindows(MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

long Number(const char* text) { return std::strtol(text, nullptr, 0); }

int Usage() {
    std::printf("ERROR usage: agentctl post|send MSG WP LP | quit | status | windows | info CLASS | capture | "
                "foreground | wait-gone [MS]\n");
    return 2;
}

int NoAgent() {
    std::printf("ERROR no agent window\n");
    return 1;
}

int Post(int argc, char** argv) {
    if (argc < 5) return Usage();
    HWND agent = FindAgent();
    if (!agent) return NoAgent();
    const BOOL posted = PostMessageA(agent, static_cast<UINT>(Number(argv[2])), static_cast<WPARAM>(Number(argv[3])),
                                     static_cast<LPARAM>(Number(argv[4])));
    std::printf("POSTED=%d\n", posted ? 1 : 0);
    return posted ? 0 : 1;
}

int Send(int argc, char** argv) {
    if (argc < 5) return Usage();
    HWND agent = FindAgent();
    if (!agent) return NoAgent();
    DWORD_PTR result = 0;
    const LRESULT answered =
        SendMessageTimeoutA(agent, static_cast<UINT>(Number(argv[2])), static_cast<WPARAM>(Number(argv[3])),
                            static_cast<LPARAM>(Number(argv[4])), SMTO_NORMAL, 5000, &result);
    if (!answered) {
        std::printf("ERROR no answer\n");
        return 1;
    }
    std::printf("RESULT=%lld\n", static_cast<long long>(result));
    return 0;
}

int Quit() {
    HWND agent = FindAgent();
    if (!agent) return NoAgent();
    const BOOL posted = PostMessageA(agent, WM_QUIT, 0, 0);
    std::printf("POSTED=%d\n", posted ? 1 : 0);
    return posted ? 0 : 1;
}

int Status() {
    HWND agent = FindAgent();
    if (!agent) return NoAgent();
    HWND status = GetDlgItem(agent, kStatusControlId);
    if (!status) {
        std::printf("ERROR no status control\n");
        return 1;
    }
    char text[256] = "";
    SendMessageTimeoutA(status, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, nullptr);
    std::printf("STATUS=%s\n", text);
    return 0;
}

int Windows() {
    HWND agent = FindAgent();
    if (!agent) return NoAgent();
    std::printf("main=%llu zoom=%llu autoscroll=%llu\n", Handle(agent), Handle(FindAgentWindow(kZoomClass)),
                Handle(FindAgentWindow(kAutoScrollClass)));
    return 0;
}

int Info(int argc, char** argv) {
    if (argc < 3) return Usage();
    HWND window = FindAgentWindow(argv[2]);
    if (!window) {
        std::printf("ERROR no window of class %s\n", argv[2]);
        return 1;
    }
    RECT rect = {};
    GetWindowRect(window, &rect);
    std::printf("hwnd=%llu visible=%d rect=%ld,%ld,%ld,%ld\n", Handle(window), IsWindowVisible(window) ? 1 : 0,
                rect.left, rect.top, rect.right, rect.bottom);
    return 0;
}

// The capture is per thread: asked of the thread that owns the agent's windows.
int Capture() {
    HWND agent = FindAgent();
    if (!agent) return NoAgent();
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(agent, nullptr), &info)) {
        std::printf("ERROR GetGUIThreadInfo %lu\n", GetLastError());
        return 1;
    }
    std::printf("capture=%llu active=%llu foreground=%llu\n", Handle(info.hwndCapture), Handle(info.hwndActive),
                Handle(GetForegroundWindow()));
    return 0;
}

int Foreground() {
    std::printf("foreground=%llu\n", Handle(GetForegroundWindow()));
    return 0;
}

int WaitGone(int argc, char** argv) {
    const DWORD limit = argc >= 3 ? static_cast<DWORD>(Number(argv[2])) : 10000;
    const DWORD start = GetTickCount();
    while (FindAgent()) {
        if (GetTickCount() - start > limit) {
            std::printf("ERROR agent window still there\n");
            return 1;
        }
        Sleep(50);
    }
    std::printf("GONE\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const char* command = argv[1];
    int result = 2;
    if (!std::strcmp(command, "post")) result = Post(argc, argv);
    else if (!std::strcmp(command, "send")) result = Send(argc, argv);
    else if (!std::strcmp(command, "quit")) result = Quit();
    else if (!std::strcmp(command, "status")) result = Status();
    else if (!std::strcmp(command, "windows")) result = Windows();
    else if (!std::strcmp(command, "info")) result = Info(argc, argv);
    else if (!std::strcmp(command, "capture")) result = Capture();
    else if (!std::strcmp(command, "foreground")) result = Foreground();
    else if (!std::strcmp(command, "wait-gone")) result = WaitGone(argc, argv);
    else result = Usage();
    std::fflush(stdout);
    return result;
}
