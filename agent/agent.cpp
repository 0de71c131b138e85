// PtrAgent: start-up, the main window and shut-down.
#include "agent.h"
#include "agent_logic.h"
#include "module_path.h"
#include "win32_error.h"
#include "window_handles.h"

#include <cstdarg>
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
constexpr int kExitCannotStart = 1;  // no library, export, block or window
constexpr int kExitAlreadyRunning = 2;
constexpr int kExitNoHooks = 3;

bool LoadHookLibrary() {
    const std::string path = g_agent.folder + ptr::kLibraryFile;
    HookLibrary& library = g_agent.library;
    library.module = LoadLibraryA(path.c_str());
    if (!library.module) {
        const std::string error = ptr::Win32ErrorText(GetLastError());
        TellUserFatal("Cannot load %s (%s). %s does not run without it.", path.c_str(), error.c_str(),
                      ptr::kProductName);
        return false;
    }
    if (const char* missing = BindHookLibraryExports(library)) {
        TellUserFatal("%s has no export %s: it does not belong to this version of %s.", ptr::kLibraryFile, missing,
                      ptr::kProductName);
        return false;
    }
    g_agent.block = static_cast<ptr::SettingsBlock*>(library.GetMapFilePointer());
    if (!g_agent.block) {
        TellUserFatal("%s cannot open its settings block.", ptr::kLibraryFile);
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
    for (int i = 0; i < ptr::kKeptSettingsFieldCount; ++i) {
        const ptr::SettingsField& field = ptr::kSettingsFields[i];
        ptr::WriteSettingsField(*g_agent.block, field, ptr::ReadSettingsField(kept, field));
    }
    g_agent.block->ZoomWindow = ptr::FromHwnd(g_agent.zoomWindow);
    g_agent.block->AutoScrollWindow = ptr::FromHwnd(g_agent.autoScrollWindow);
    g_agent.block->AgentWindow = ptr::FromHwnd(g_agent.mainWindow);
    Say("PtrAgent: block filled (%s)", DescribeConfiguration(*g_agent.block).c_str());
    Say("PtrAgent: windows agent=0x%08X zoom=0x%08X autoscroll=0x%08X", g_agent.block->AgentWindow,
        g_agent.block->ZoomWindow, g_agent.block->AutoScrollWindow);
}

// The programs' settings of their own, as kept, into the programs block.
void FillProgramsBlock() {
    if (!g_agent.programs.block) return;
    const ProgramChoice choice = LoadKeptPrograms();
    if (!ptr::WritePrograms(*g_agent.programs.block, choice.used)) {
        Say("PtrAgent: programs block busy: not written");
        return;
    }
    g_agent.knownPrograms = KnownNames(choice.used);
    Say("PtrAgent: programs %u: %s", static_cast<unsigned>(choice.used.size()), DescribePrograms(choice.used).c_str());
    const std::string notice = RefusedProgramsNotice(choice.tooMany, choice.unusable);
    if (!notice.empty()) {
        Say("PtrAgent: programs refused: %s", notice.c_str());
        ShowNotice(notice);
    }
}

// The settings form takes what the block holds now as what is kept.
void TellSettingsForm() {
    const HWND form = ptr::ToHwnd(g_agent.block->SettingsWindow);
    if (form != nullptr && IsWindow(form)) PostMessageA(form, ptr::UM_PROGRAMSKEPT, 0, 0);
}

// An Apply keeps what the programs block holds; programs kept meanwhile by
// someone else join it.
void KeepPrograms() {
    if (!g_agent.programs.block) return;
    std::vector<ptr::ProgramSettings> inBlock;
    if (!ptr::ReadPrograms(*g_agent.programs.block, inBlock)) {
        // A writer died in the middle: nothing of the block is kept, and it
        // is made whole again from what is kept.
        Say("PtrAgent: programs block torn: the kept programs stay and fill it again");
        FillProgramsBlock();
        TellSettingsForm();
        return;
    }
    const KeepPlan plan = PlanKeeping(inBlock, ReadKeptPrograms(), g_agent.knownPrograms);
    for (const ptr::ProgramSettings& program : plan.keep) KeepProgram(program);
    for (const std::string& name : plan.remove) RemoveKeptProgram(name);
    g_agent.knownPrograms = KnownNames(plan.keep);
    Say("PtrAgent: programs kept %u: %s", static_cast<unsigned>(plan.keep.size()), DescribePrograms(plan.keep).c_str());
    if (plan.blockChanged && ptr::WritePrograms(*g_agent.programs.block, plan.keep)) TellSettingsForm();
    if (!plan.refused.empty()) {
        const std::string notice = RefusedProgramsNotice(plan.refused, {});
        Say("PtrAgent: programs refused: %s", notice.c_str());
        ShowNotice(notice);
    }
}

void ClearOwnHandle(uint32_t& field, HWND own) {
    if (own != nullptr && field == ptr::FromHwnd(own)) field = 0;
}

void ClearOwnHandles() {
    if (!g_agent.block) return;
    ClearOwnHandle(g_agent.block->AgentWindow, g_agent.mainWindow);
    ClearOwnHandle(g_agent.block->ZoomWindow, g_agent.zoomWindow);
    ClearOwnHandle(g_agent.block->AutoScrollWindow, g_agent.autoScrollWindow);
}

// Every way out comes here, as early as it can: the agent's own auto scroll
// and magnifier end, the 64-bit host removes its hooks and ends, then
// InstallHook(0) ends the active mode and lets go of whatever it holds down
// (the primary button, Shift, Control, Alt, the middle button) before the
// hooks that would let go of it are gone.
void ReleaseHooks() {
    EndAutoScroll();
    EndZoom();
    EndHost();
    if (!g_agent.hooksInstalled) return;
    g_agent.hooksInstalled = false;
    Say("PtrAgent: InstallHook(0) = %ld", static_cast<long>(g_agent.library.InstallHook(0)));
}

// Also a crash must not leave keys held down for every program.
LONG WINAPI ReleaseHooksOnCrash(EXCEPTION_POINTERS*) {
    if (g_agent.hooksInstalled) {
        g_agent.hooksInstalled = false;
        g_agent.library.InstallHook(0);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

// At log-off the system may end the process as soon as this returns.
void EndSession() {
    Say("PtrAgent: the session ends");
    ReleaseHooks();
    ClearOwnHandles();
    RemoveTrayIcon();
    PostQuitMessage(0);
}

void ReAddTrayIcon() {
    ShowTrayIcon();
    Say("PtrAgent: taskbar created, tray icon %s", g_agent.trayIconShown ? "shown" : "not shown");
}

void SaveSettings() {
    SaveKeptConfiguration(*g_agent.block);
    SaveKeptWebAddresses();
    KeepPrograms();
    Say("PtrAgent: settings saved");
}

void ShowModeStatus(WPARAM mode) {
    const char* text = ptr::ModeStatusText(static_cast<unsigned>(mode));
    SetStatusText(text ? text : ptr::kProductName);
    Say("PtrAgent: mode %u: %s", static_cast<unsigned>(mode), text ? text : ptr::kProductName);
}

void ConnectInternet(WPARAM slot) {
    if (slot >= static_cast<WPARAM>(ptr::kWebAddressSlots)) {
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
        SetStatusText(ptr::kProductName);
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
    case ptr::UM_HOSTHOOKS: HostHooksHeld(wParam); return true;
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
        ReAddTrayIcon();  // the shell restarted and lost our icon
        return 0;
    }
    if (message == AnotherStartMessage() && message != 0) {
        ShowAnotherStartNotice();
        return 0;
    }
    switch (message) {
    case WM_ENTERIDLE:
        if (wParam == MSGF_MENU) SayTrayMenuItems();
        return 0;
    case WM_HOTKEY:
        if (wParam == kEscapeHotKey) {
            EndAutoScrollHere("Esc");
            EndZoomHere("Esc");
        }
        return 0;
    case WM_ENDSESSION:
        if (wParam) EndSession();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool CreateAgentWindows() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = g_agent.instance;
    windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.lpszClassName = ptr::kAgentWindowClass;
    if (!RegisterClassA(&windowClass) || !RegisterHelperClasses()) return false;
    // A hidden top-level window, not a message-only one: the uninstaller
    // finds it by class and title.
    g_agent.mainWindow = CreateWindowExA(0, ptr::kAgentWindowClass, ptr::kAgentWindowTitle, WS_OVERLAPPEDWINDOW,
                                         CW_USEDEFAULT, 0, 200, 100, nullptr, nullptr, g_agent.instance, nullptr);
    if (!g_agent.mainWindow) return false;
    g_agent.statusWindow =
        CreateWindowExA(0, "STATIC", ptr::kProductName, WS_CHILD, 0, 0, 180, 20, g_agent.mainWindow,
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

uint32_t HooksThisWindowsNeeds() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return HOOK_STATUS_MOUSE | HOOK_STATUS_MSGFILTER;
    return RequiredHooks(version.dwPlatformId, version.dwMajorVersion, g_agent.block->LowLevelWheelHook != 0);
}

// True when the hooks this Windows needs are all in.
bool InstallHooks() {
    HookLibrary& library = g_agent.library;
    // An agent that was killed leaves its hook handles and its mode (a held
    // Shift, say) in the library's shared state while any other process
    // holds the library; InstallHook(1) would see the dead handles and
    // install nothing.
    Say("PtrAgent: stale hooks and mode cleared, InstallHook(0) = %ld", static_cast<long>(library.InstallHook(0)));
    g_agent.hooksInstalled = true;
    Say("PtrAgent: InstallHook(1) = %ld", static_cast<long>(library.InstallHook(1)));
    g_agent.requiredHooks = HooksThisWindowsNeeds();
    const DWORD held = library.GetHookStatus();
    Say("PtrAgent: hooks held 0x%lX, needed 0x%lX", static_cast<unsigned long>(held),
        static_cast<unsigned long>(g_agent.requiredHooks));
    if ((held & g_agent.requiredHooks) != g_agent.requiredHooks) return false;
    if (RunsOnWindows95()) {
        HWND wheelWindow = library.CreateWheelWindow(g_agent.instance, g_agent.mainWindow);
        Say("PtrAgent: wheel window 0x%08X", ptr::FromHwnd(wheelWindow));
    }
    return true;
}

// Ends on WM_QUIT, whether PostQuitMessage put it there or someone posted
// it to the main window (the uninstaller does). While the 64-bit host runs
// it also wakes when the host's process ends.
void PumpMessages() {
    MSG message;
    for (;;) {
        HANDLE host = g_agent.hostProcess;
        if (host == nullptr) {
            if (GetMessageA(&message, nullptr, 0, 0) <= 0) return;
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        if (MsgWaitForMultipleObjects(1, &host, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0) {
            HostEnded();
            continue;
        }
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void DestroyOwnWindow(HWND& window) {
    if (window != nullptr && IsWindow(window)) DestroyWindow(window);
    window = nullptr;
}

// Undoes whatever part of the start has been done; may run more than once.
void ShutDown() {
    ReleaseHooks();
    ClearOwnHandles();
    RemoveTrayIcon();
    DestroyOwnWindow(g_agent.mainWindow);
    DestroyOwnWindow(g_agent.zoomWindow);
    DestroyOwnWindow(g_agent.autoScrollWindow);
    CloseAppBlock();
    if (g_agent.library.module) FreeLibrary(g_agent.library.module);
    // After the library: a process that still holds either keeps the block
    // alive for the next agent, which fills it again.
    CloseProgramsBlock();
    g_agent.library = HookLibrary();
    g_agent.block = nullptr;
}

// A start that cannot go on is told to the user, after everything done so
// far is undone: the mouse works as usual while the message box shows.
int FailStart(int exitCode, const char* format, ...) __attribute__((format(printf, 2, 3)));
int FailStart(int exitCode, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = FormatText(format, args);
    va_end(args);
    ShutDown();
    TellUserFatal("%s", text.c_str());
    return exitCode;
}

int Start() {
    // Before the library, whose attach in this process opens it too.
    if (!OpenProgramsBlock())
        Say("PtrAgent: no programs block %s (%s): every program takes the same settings", ptr::kProgramsBlockName,
            ptr::Win32ErrorText(GetLastError()).c_str());
    if (!LoadHookLibrary()) {
        ShutDown();
        return kExitCannotStart;
    }
    if (!OpenAppBlock())
        return FailStart(kExitCannotStart, "Cannot open the application block %s (%s).", ptr::kAppBlockName,
                         ptr::Win32ErrorText(GetLastError()).c_str());
    g_taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    if (!CreateAgentWindows())
        return FailStart(kExitCannotStart, "Cannot create the agent's windows (%s).",
                         ptr::Win32ErrorText(GetLastError()).c_str());
    FillBlock();
    Say("PtrAgent: web addresses loaded %d", LoadKeptWebAddresses());
    FillProgramsBlock();
    if (!InstallHooks()) {
        const unsigned long held = g_agent.library.GetHookStatus();
        return FailStart(kExitNoHooks, "The mouse hooks could not be installed (held 0x%lX, needed 0x%lX).", held,
                         static_cast<unsigned long>(g_agent.requiredHooks));
    }
    ShowTrayIcon();
    if (!g_agent.trayIconShown) Say("PtrAgent: no tray icon (no notification area)");
    // The 64-bit programs, once the agent's own hooks (the low-level ones
    // among them) are in; after the icon, where a notice would show.
    StartHost();
    return kExitNormal;
}

void ReadArguments() {
    for (int i = 1; i < __argc; ++i)
        if (std::strcmp(__argv[i], "--log") == 0 && i + 1 < __argc) OpenLogFile(__argv[++i]);
}

}  // namespace

void ReloadSettings() {
    FillBlock();
    Say("PtrAgent: web addresses loaded %d", LoadKeptWebAddresses());
    FillProgramsBlock();
    TellSettingsForm();
    Say("PtrAgent: settings reloaded");
}

int Run(HINSTANCE instance) {
    // Before anything else: of two starts at the same moment, one goes on.
    const bool alone = ClaimSingleInstance();
    ReadArguments();
    // A start that ends with nothing more said never reached this far.
    Say("PtrAgent: started, process %lu", static_cast<unsigned long>(GetCurrentProcessId()));
    if (!alone) {
        Say("PtrAgent: already running");
        TellRunningAgent();
        return kExitAlreadyRunning;
    }
    SetUnhandledExceptionFilter(ReleaseHooksOnCrash);
    g_agent.instance = instance;
    g_agent.folder = ptr::ProgramFolder();
    const int started = Start();
    if (started != kExitNormal) return started;
    PumpMessages();
    ShutDown();
    Say("PtrAgent: handles cleared, exiting");
    return kExitNormal;
}

}  // namespace agent

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return agent::Run(instance); }
