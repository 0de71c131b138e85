// PtrAgent: start-up, the main window and shut-down.
#include "agent.h"
#include "agent_logic.h"
#include "hook_context.h"

#include <cstdlib>
#include <cstring>

namespace agent {

Agent g_agent;

namespace {

constexpr char kBrowserStart[] = "about:blank";
constexpr char kMailStart[] = "mailto:";
UINT g_taskbarCreated = 0;

// Exit codes.
constexpr int kExitNormal = 0;
constexpr int kExitNoLibrary = 1;
constexpr int kExitAlreadyRunning = 2;

std::string ProgramFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length < sizeof path ? length : 0);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

template <typename Function>
bool BindExport(HMODULE module, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (!function) Say("PtrAgent: %s has no export %s", kLibraryName, name);
    return function != nullptr;
}

bool LoadHookLibrary() {
    const std::string path = g_agent.folder + kLibraryName;
    Library& library = g_agent.library;
    library.module = LoadLibraryA(path.c_str());
    if (!library.module) {
        Say("PtrAgent: cannot load %s (error %lu)", path.c_str(), GetLastError());
        return false;
    }
    HMODULE module = library.module;
    const bool bound = BindExport(module, "InstallHook", library.InstallHook) &&
                       BindExport(module, "GetMapFilePointer", library.GetMapFilePointer) &&
                       BindExport(module, "DoAutoUp", library.DoAutoUp) &&
                       BindExport(module, "DoAutoDown", library.DoAutoDown) &&
                       BindExport(module, "DoAutoLeft", library.DoAutoLeft) &&
                       BindExport(module, "DoAutoRight", library.DoAutoRight) &&
                       BindExport(module, "CreateWheelWindow", library.CreateWheelWindow);
    if (!bound) return false;
    g_agent.block = static_cast<ptr::SettingsBlock*>(library.GetMapFilePointer());
    if (!g_agent.block) {
        Say("PtrAgent: %s has no settings block", kLibraryName);
        return false;
    }
    Say("PtrAgent: library loaded");
    return true;
}

// The kept configuration goes into the live block one field at a time; the
// handles, SettingsWindow above all, are not touched.
void FillBlock() {
    ptr::SettingsBlock kept = {};
    LoadKeptConfiguration(kept);
    for (int i = 0; i < kKeptFieldCount; ++i) WriteKeptField(*g_agent.block, kKeptFields[i], ReadKeptField(kept, kKeptFields[i]));
    g_agent.block->ZoomWindow = ptr::FromHwnd(g_agent.zoomWindow);
    g_agent.block->AutoScrollWindow = ptr::FromHwnd(g_agent.autoScrollWindow);
    g_agent.block->AgentWindow = ptr::FromHwnd(g_agent.mainWindow);
    Say("PtrAgent: block filled (%s)", DescribeConfiguration(*g_agent.block).c_str());
    Say("PtrAgent: windows agent=0x%08X zoom=0x%08X autoscroll=0x%08X", g_agent.block->AgentWindow,
        g_agent.block->ZoomWindow, g_agent.block->AutoScrollWindow);
}

void ClearOwnHandle(uint32_t& field, HWND own) {
    if (field == ptr::FromHwnd(own)) field = 0;
}

void SaveSettings() {
    SaveKeptConfiguration(*g_agent.block);
    SaveKeptWebAddresses();
    Say("PtrAgent: settings saved");
}

void ShowModeStatus(WPARAM mode) {
    const char* text = ptr::ModeStatusText(static_cast<unsigned>(mode));
    SetStatusText(text ? text : kProductName);
    Say("PtrAgent: mode %u: %s", static_cast<unsigned>(mode), text ? text : kProductName);
}

void ConnectInternet(WPARAM slot) {
    if (slot >= static_cast<WPARAM>(kWebAddressSlots)) {
        Say("PtrAgent: no web address slot %u", static_cast<unsigned>(slot));
        return;
    }
    const std::string kept = WebAddressInSlot(static_cast<int>(slot));
    const std::string address = WebAddressToOpen(kept);
    if (address.empty()) {
        Say("PtrAgent: web address %u not usable: \"%s\"", static_cast<unsigned>(slot), kept.c_str());
        return;
    }
    Say("PtrAgent: opening web address %u: %s", static_cast<unsigned>(slot), address.c_str());
    OpenWithShell(address);
}

void Launch(const char* what, const char* target) {
    Say("PtrAgent: launching %s (%s)", what, target);
    OpenWithShell(target);
}

// The notifications of the hook library and the settings program. The hooks
// wait for the sent ones, so each answers at once.
bool HandleAgentMessage(UINT message, WPARAM wParam) {
    switch (message) {
    case ptr::UM_SETTINGSCHANGED: SaveSettings(); return true;
    case ptr::UM_MODESTATE: ShowModeStatus(wParam); return true;
    case ptr::UM_MODEEND:
        SetStatusText(kProductName);
        Say("PtrAgent: mode ended");
        return true;
    case ptr::UM_ZOOMSTART:
        StartZoom();
        Say("PtrAgent: zoom started");
        return true;
    case ptr::UM_ZOOMEND:
        EndZoom();
        Say("PtrAgent: zoom ended");
        return true;
    case ptr::UM_AUTOSCROLLSTART:
        StartAutoScroll();
        Say("PtrAgent: auto scroll started at %ld,%ld", g_agent.autoScrollAnchor.x, g_agent.autoScrollAnchor.y);
        return true;
    case ptr::UM_AUTOSCROLLEND:
        EndAutoScroll();
        Say("PtrAgent: auto scroll ended");
        return true;
    case ptr::UM_LAUNCHBROWSER: Launch("browser", kBrowserStart); return true;
    case ptr::UM_LAUNCHMAIL: Launch("mail", kMailStart); return true;
    case ptr::UM_CONNECTINTERNET: ConnectInternet(wParam); return true;
    default: return false;
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (HandleAgentMessage(message, wParam)) return 0;
    if (message == kTrayCallbackMessage) {
        if (lParam == WM_RBUTTONUP) ShowTrayMenu();
        if (lParam == WM_LBUTTONDBLCLK) StartSettingsProgram();
        return 0;
    }
    if (g_taskbarCreated != 0 && message == g_taskbarCreated) {
        ShowTrayIcon();  // the shell restarted and lost our icon
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool CreateAgentWindows() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = g_agent.instance;
    windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.lpszClassName = kMainClass;
    if (!RegisterClassA(&windowClass) || !RegisterHelperClasses()) return false;
    // A hidden top-level window, not a message-only one: the uninstaller
    // finds it by class and title.
    g_agent.mainWindow = CreateWindowExA(0, kMainClass, kMainTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0, 200, 100,
                                         nullptr, nullptr, g_agent.instance, nullptr);
    if (!g_agent.mainWindow) return false;
    g_agent.statusWindow =
        CreateWindowExA(0, "STATIC", kProductName, WS_CHILD, 0, 0, 180, 20, g_agent.mainWindow,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusControlId)), g_agent.instance, nullptr);
    g_agent.autoScrollWindow = CreateAutoScrollWindow();
    g_agent.zoomWindow = CreateZoomWindow();
    return g_agent.statusWindow && g_agent.autoScrollWindow && g_agent.zoomWindow;
}

bool RunsOnWindows95() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return false;
    return IsWindows95(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}

void InstallHooks() {
    Say("PtrAgent: InstallHook(1) = %ld", static_cast<long>(g_agent.library.InstallHook(1)));
    if (RunsOnWindows95()) {
        HWND wheelWindow = g_agent.library.CreateWheelWindow(g_agent.instance, g_agent.mainWindow);
        Say("PtrAgent: wheel window 0x%08X", ptr::FromHwnd(wheelWindow));
    }
}

void PumpMessages() {
    MSG message;
    // Ends on WM_QUIT, whether PostQuitMessage put it there or someone
    // posted it to the main window (the uninstaller does).
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void ShutDown() {
    Say("PtrAgent: InstallHook(0) = %ld", static_cast<long>(g_agent.library.InstallHook(0)));
    ClearOwnHandle(g_agent.block->AgentWindow, g_agent.mainWindow);
    ClearOwnHandle(g_agent.block->ZoomWindow, g_agent.zoomWindow);
    ClearOwnHandle(g_agent.block->AutoScrollWindow, g_agent.autoScrollWindow);
    RemoveTrayIcon();
    Say("PtrAgent: handles cleared, exiting");
    if (IsWindow(g_agent.mainWindow)) DestroyWindow(g_agent.mainWindow);
    DestroyWindow(g_agent.zoomWindow);
    DestroyWindow(g_agent.autoScrollWindow);
    CloseAppBlock();
    FreeLibrary(g_agent.library.module);
}

void ReadArguments() {
    for (int i = 1; i < __argc; ++i)
        if (std::strcmp(__argv[i], "--log") == 0 && i + 1 < __argc) OpenLogFile(__argv[++i]);
}

}  // namespace

int Run(HINSTANCE instance) {
    ReadArguments();
    if (FindWindowA(kMainClass, kMainTitle)) {
        Say("PtrAgent: already running");
        return kExitAlreadyRunning;
    }
    g_agent.instance = instance;
    g_agent.folder = ProgramFolder();
    if (!LoadHookLibrary()) return kExitNoLibrary;
    if (!OpenAppBlock()) Say("PtrAgent: cannot open %s (error %lu)", kAppBlockName, GetLastError());
    if (!CreateAgentWindows()) {
        Say("PtrAgent: cannot create windows (error %lu)", GetLastError());
        return kExitNoLibrary;
    }
    FillBlock();
    Say("PtrAgent: web addresses loaded %d", LoadKeptWebAddresses());
    InstallHooks();
    g_taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    ShowTrayIcon();
    if (!g_agent.trayIconShown) Say("PtrAgent: no tray icon (no notification area)");
    PumpMessages();
    ShutDown();
    return kExitNormal;
}

}  // namespace agent

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return agent::Run(instance); }
