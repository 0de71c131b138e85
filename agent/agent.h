// The tray agent: hosts PTRHK32A.dll, fills its settings block, owns the
// windows the hooks talk to, and keeps the configuration between runs.
#pragma once

#include <windows.h>

#include "agent_logic.h"
#include "app_block_view.h"
#include "hook_library.h"
#include "program_profiles.h"
#include "programs_view.h"
#include "settings_block.h"
#include "suite_names.h"

#include <cstdarg>
#include <set>
#include <string>

namespace agent {

// Held by the running agent from its first instruction: a second start, however
// close, finds it taken.
constexpr char kInstanceMutexName[] = "PtrHkTrayAgentInstance";
// Registered message with which a second start asks the running agent to show itself.
constexpr char kAnotherStartMessageName[] = "PtrHkTrayAgentAnotherStart";
// The hidden child of the main window whose text is always the tray tooltip.
constexpr int kStatusControlId = 100;

struct Agent {
    HINSTANCE instance = nullptr;
    std::string folder;  // the program's folder, ending in a backslash
    HookLibrary library;
    ptr::SettingsBlock* block = nullptr;
    ptr::AppBlockView app;
    ptr::ProgramsView programs;
    // The upper-case names of the programs the agent put into the block or
    // kept since it read them: what is kept and not known was written by
    // someone else meanwhile.
    std::set<std::string> knownPrograms;
    HWND mainWindow = nullptr;
    HWND statusWindow = nullptr;
    HWND zoomWindow = nullptr;
    HWND autoScrollWindow = nullptr;
    bool trayIconShown = false;
    HMENU trayMenu = nullptr;  // while the tray menu shows, until its items are told
    // InstallHook(1) has been called and InstallHook(0) not since.
    bool hooksInstalled = false;
    uint32_t requiredHooks = 0;  // GetHookStatus bits this Windows needs
    bool autoScrollRunning = false;
    bool zoomRunning = false;
    POINT autoScrollAnchor = {0, 0};
    // The 64-bit host, on 64-bit Windows: its process while it runs.
    HANDLE hostProcess = nullptr;
    DWORD hostProcessId = 0;
    DWORD hostThread = 0;
    HostRestarts hostRestarts;
};

// Globals: g_agent, as window procedures and the crash filter get no context; file-local: log, TaskbarCreated, Esc.
extern Agent g_agent;

// Output: one line to stdout and, with --log, to the log file.
void OpenLogFile(const char* path);
void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A printf-style text, cut at 1023 characters.
std::string FormatText(const char* format, va_list args);

// The kept configuration (registry) and the application block.
void LoadKeptConfiguration(ptr::SettingsBlock& block);
void SaveKeptConfiguration(const ptr::SettingsBlock& block);
bool OpenAppBlock();
void CloseAppBlock();
int LoadKeptWebAddresses();
void SaveKeptWebAddresses();
std::string WebAddressInSlot(int slot);
bool OpenProgramsBlock();
void CloseProgramsBlock();
// The programs kept under HKCU\Software\PTRHK32A\Programs.
ProgramChoice LoadKeptPrograms();
std::vector<ptr::ProgramSettings> ReadKeptPrograms();
void KeepProgram(const ptr::ProgramSettings& program);
void RemoveKeptProgram(const std::string& name);

// Auto-scroll window and magnifier. The End functions may be called at any
// time, also when nothing runs.
bool RegisterHelperClasses();
HWND CreateAutoScrollWindow();
HWND CreateZoomWindow();
void StartAutoScroll();
void EndAutoScroll();
void StartZoom();
void EndZoom();
// Ends what runs without the hooks' word: on Esc, a lost capture, or hooks
// that are gone. why goes to the output.
void EndAutoScrollHere(const char* why);
void EndZoomHere(const char* why);
// The hooks this Windows needs are all still in.
bool HooksStillIn();
constexpr int kEscapeHotKey = 1;

// Tray icon, status text and the programs the agent starts.
void ShowTrayIcon();
void RemoveTrayIcon();
void SetStatusText(const char* text);
void ShowTrayMenu();
// Once the open tray menu waits for the user: where its items are, to the output.
void SayTrayMenuItems();
void HandleTrayMenuCommand(int command);
void OpenWithShell(const std::string& target);
void StartSettingsProgram();
// A second start asked this agent to show itself: a balloon at the tray icon,
// or the tray menu where the shell has no balloons.
void ShowAnotherStartNotice();
// A notice to the user that needs no answer: a balloon at the tray icon, or
// a message box of its own thread where the shell has no balloons.
void ShowNotice(const std::string& text);
// The kept configuration and programs read again into the blocks.
void ReloadSettings();

// The 64-bit host (PtrAgent64.exe beside the agent), on 64-bit Windows only:
// started once the agent's own hooks are in, ended on every way out (and it
// ends by itself when the agent's process does), started again when it dies
// (HostRestarts), or given up on with a notice.
void StartHost();
void EndHost();
// The host's process ended while the agent runs.
void HostEnded();
// UM_HOSTHOOKS: the hooks the host's library holds.
void HostHooksHeld(WPARAM held);

// Single instance: true when this is the only agent; otherwise the running one
// has been asked to show itself.
bool ClaimSingleInstance();
void TellRunningAgent();
UINT AnotherStartMessage();

// A fatal start: one output line and a message box.
void TellUserFatal(const char* format, ...) __attribute__((format(printf, 1, 2)));

constexpr UINT kTrayCallbackMessage = WM_APP + 1;
constexpr int kMenuSettings = 1;
constexpr int kMenuExit = 2;
constexpr int kMenuReload = 3;

}  // namespace agent
