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
//   agentctl sendto CLASS MSG WP LP   SendMessage (5 s timeout) to the agent's window of CLASS
//   agentctl keys               prints shift=, control=, menu=, lbutton=, mbutton= (1: logically down)
//   agentctl release            lets go of whichever of those is down; prints RELEASED=<names>
//   agentctl hooks              prints HOOKS=<GetHookStatus bits> of PTRHK32A.dll
//   agentctl icon [HWND]        prints ICON=1 when the shell has the tray icon of the agent
//                               (or of the agent whose main window HWND was)
//   agentctl forget-icon        removes the agent's tray icon, as a restarted shell loses it
//   agentctl menu               prints rect= of the agent's open popup menu
//   agentctl msgbox             prints TEXT=<text> and then BUTTON=<rect> of a message box
//                               titled "PTRHK32A Mouse"
//   agentctl host               prints HOST pid=<id> of the running 64-bit host (exit 1: none)
//   agentctl kill-host          ends the 64-bit host's process at once, as a crash does
//
// MSG is a number or the name of a registered window message.
// Exit code 0 on success, 1 when the agent (or the window asked for) is not found,
// 2 on a usage error.
#include <windows.h>
#include <shellapi.h>

#include "ptrhk32a.h"
#include "suite_names.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr char kZoomClass[] = "PtrHkZoom";
constexpr char kAutoScrollClass[] = "PtrHkAutoScroll";
constexpr int kStatusControlId = 100;
constexpr UINT kTrayIconId = 1;

unsigned long long Handle(HWND window) { return static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)); }

HWND FindAgent() { return FindWindowA(ptr::kAgentWindowClass, ptr::kAgentWindowTitle); }

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

UINT Message(const char* text) {
    if ((*text >= '0' && *text <= '9') || *text == '-') return static_cast<UINT>(Number(text));
    return RegisterWindowMessageA(text);
}

void PrintRect(const char* name, HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    std::printf("%s=%ld,%ld,%ld,%ld\n", name, rect.left, rect.top, rect.right, rect.bottom);
}

// Visible top-level windows of a class, of one process or of any (0).
struct VisibleSearch {
    const char* className;
    const char* title;  // nullptr: any
    DWORD process;
    HWND found;
};

BOOL CALLBACK MatchVisible(HWND window, LPARAM parameter) {
    VisibleSearch* search = reinterpret_cast<VisibleSearch*>(parameter);
    char name[64] = "";
    char title[256] = "";
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, title, sizeof title);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (IsWindowVisible(window) && std::strcmp(name, search->className) == 0 &&
        (search->title == nullptr || std::strcmp(title, search->title) == 0) &&
        (search->process == 0 || process == search->process)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindVisible(const char* className, const char* title, DWORD process) {
    VisibleSearch search = {className, title, process, nullptr};
    EnumWindows(MatchVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int Usage() {
    std::printf("ERROR usage: agentctl post|send MSG WP LP | quit | status | windows | info CLASS | capture | "
                "foreground | wait-gone [MS] | sendto CLASS MSG WP LP | keys | release | hooks | icon | "
                "forget-icon | menu | msgbox | host | kill-host\n");
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
    const BOOL posted = PostMessageA(agent, Message(argv[2]), static_cast<WPARAM>(Number(argv[3])),
                                     static_cast<LPARAM>(Number(argv[4])));
    std::printf("POSTED=%d\n", posted ? 1 : 0);
    return posted ? 0 : 1;
}

int SendTo(HWND window, char** message) {
    DWORD_PTR result = 0;
    const LRESULT answered = SendMessageTimeoutA(window, Message(message[0]), static_cast<WPARAM>(Number(message[1])),
                                                 static_cast<LPARAM>(Number(message[2])), SMTO_NORMAL, 5000, &result);
    if (!answered) {
        std::printf("ERROR no answer\n");
        return 1;
    }
    std::printf("RESULT=%lld\n", static_cast<long long>(result));
    return 0;
}

int Send(int argc, char** argv) {
    if (argc < 5) return Usage();
    HWND agent = FindAgent();
    if (!agent) return NoAgent();
    return SendTo(agent, argv + 2);
}

int SendToClass(int argc, char** argv) {
    if (argc < 6) return Usage();
    HWND window = FindAgentWindow(argv[2]);
    if (!window) {
        std::printf("ERROR no window of class %s\n", argv[2]);
        return 1;
    }
    return SendTo(window, argv + 3);
}

bool IsDown(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

int Keys() {
    std::printf("shift=%d control=%d menu=%d lbutton=%d mbutton=%d\n", IsDown(VK_SHIFT), IsDown(VK_CONTROL),
                IsDown(VK_MENU), IsDown(VK_LBUTTON), IsDown(VK_MBUTTON));
    return 0;
}

// What a test may have left held down, let go so that the next test starts clean.
int Release() {
    std::string released;
    const struct {
        int key;
        const char* name;
    } keys[] = {{VK_SHIFT, "shift"}, {VK_CONTROL, "control"}, {VK_MENU, "menu"}};
    for (const auto& key : keys) {
        if (!IsDown(key.key)) continue;
        keybd_event(static_cast<BYTE>(key.key), 0, KEYEVENTF_KEYUP, 0);
        released += std::string(released.empty() ? "" : ",") + key.name;
    }
    // Both name the physical left button, whatever the button swap says.
    if (IsDown(VK_LBUTTON)) {
        mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
        released += std::string(released.empty() ? "" : ",") + "lbutton";
    }
    if (IsDown(VK_MBUTTON)) {
        mouse_event(MOUSEEVENTF_MIDDLEUP, 0, 0, 0, 0);
        released += std::string(released.empty() ? "" : ",") + "mbutton";
    }
    std::printf("RELEASED=%s\n", released.c_str());
    return 0;
}

int Hooks() {
    HMODULE library = LoadLibraryA("PTRHK32A.dll");
    auto status = library ? LibraryExport<GetHookStatusFn>(library, "GetHookStatus") : nullptr;
    if (!status) {
        std::printf("ERROR no GetHookStatus in PTRHK32A.dll\n");
        return 1;
    }
    std::printf("HOOKS=%lu\n", static_cast<unsigned long>(status()));
    FreeLibrary(library);
    return 0;
}

// The shell is asked through Shell_NotifyIconA with the agent's window and icon id.
int TrayIcon(DWORD operation, int argc, char** argv) {
    HWND agent = argc >= 3 ? reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(argv[2], nullptr, 0)))
                           : FindAgent();
    if (!agent) return NoAgent();
    typedef BOOL(WINAPI * NotifyIconFn)(DWORD, NOTIFYICONDATAA*);
    HMODULE shell = LoadLibraryA("shell32.dll");
    NotifyIconFn notify = shell ? reinterpret_cast<NotifyIconFn>(
                                      reinterpret_cast<void*>(GetProcAddress(shell, "Shell_NotifyIconA")))
                                : nullptr;
    if (!notify) {
        std::printf("ERROR no Shell_NotifyIconA\n");
        return 1;
    }
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = agent;
    data.uID = kTrayIconId;
    // A change of nothing succeeds exactly when the icon is there.
    const BOOL done = notify(operation, &data);
    std::printf(operation == NIM_MODIFY ? "ICON=%d\n" : "FORGOTTEN=%d\n", done ? 1 : 0);
    return 0;
}

int Menu() {
    HWND agent = FindAgent();
    if (!agent) return NoAgent();
    DWORD process = 0;
    GetWindowThreadProcessId(agent, &process);
    HWND menu = FindVisible("#32768", nullptr, process);
    if (!menu) {
        std::printf("ERROR no open menu\n");
        return 1;
    }
    PrintRect("rect", menu);
    return 0;
}

BOOL CALLBACK FindTextAndButton(HWND child, LPARAM parameter) {
    HWND* found = reinterpret_cast<HWND*>(parameter);
    char name[64] = "";
    char text[512] = "";
    GetClassNameA(child, name, sizeof name);
    GetWindowTextA(child, text, sizeof text);
    if (_stricmp(name, "Static") == 0 && text[0] != '\0' && !found[0]) found[0] = child;
    if (_stricmp(name, "Button") == 0 && !found[1]) found[1] = child;
    return TRUE;
}

// The message box of a fatal start: its text, and where its button is for a real click.
int MessageBoxInfo() {
    HWND box = FindVisible("#32770", ptr::kProductName, 0);
    if (!box) {
        std::printf("ERROR no message box\n");
        return 1;
    }
    HWND found[2] = {nullptr, nullptr};
    EnumChildWindows(box, FindTextAndButton, reinterpret_cast<LPARAM>(found));
    char text[512] = "";
    if (found[0]) GetWindowTextA(found[0], text, sizeof text);
    std::printf("TEXT=%s\n", text);
    if (!found[1]) {
        std::printf("ERROR no button\n");
        return 1;
    }
    PrintRect("BUTTON", found[1]);
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

// The 64-bit host, by its hidden window; its process id, or 0.
DWORD HostProcess() {
    HWND host = FindWindowA(ptr::kHostWindowClass, ptr::kHostWindowTitle);
    DWORD process = 0;
    if (host) GetWindowThreadProcessId(host, &process);
    return process;
}

int Host() {
    const DWORD process = HostProcess();
    if (!process) {
        std::printf("ERROR no host\n");
        return 1;
    }
    std::printf("HOST pid=%lu\n", static_cast<unsigned long>(process));
    return 0;
}

int KillHost() {
    const DWORD id = HostProcess();
    HANDLE process = id ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id) : nullptr;
    if (!process || !TerminateProcess(process, 9)) {
        std::printf("ERROR no host to end (%lu)\n", GetLastError());
        return 1;
    }
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
    std::printf("KILLED pid=%lu\n", static_cast<unsigned long>(id));
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
    else if (!std::strcmp(command, "sendto")) result = SendToClass(argc, argv);
    else if (!std::strcmp(command, "keys")) result = Keys();
    else if (!std::strcmp(command, "release")) result = Release();
    else if (!std::strcmp(command, "hooks")) result = Hooks();
    else if (!std::strcmp(command, "icon")) result = TrayIcon(NIM_MODIFY, argc, argv);
    else if (!std::strcmp(command, "forget-icon")) result = TrayIcon(NIM_DELETE, argc, argv);
    else if (!std::strcmp(command, "menu")) result = Menu();
    else if (!std::strcmp(command, "msgbox")) result = MessageBoxInfo();
    else if (!std::strcmp(command, "host")) result = Host();
    else if (!std::strcmp(command, "kill-host")) result = KillHost();
    else result = Usage();
    std::fflush(stdout);
    return result;
}
