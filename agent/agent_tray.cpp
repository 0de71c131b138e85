// The tray icon, its menu, the status text, and the programs the agent starts.
#include "agent.h"
#include "file_checks.h"
#include "late_bound.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstring>

namespace agent {

namespace {

constexpr UINT kTrayIconId = 1;
constexpr UINT kBalloonTimeoutMs = 10000;

// The first version of the structure: every shell since Windows 95 takes it.
NOTIFYICONDATAA TrayIconData(UINT flags) {
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof data);
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = g_agent.mainWindow;
    data.uID = kTrayIconId;
    data.uFlags = flags;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    GetWindowTextA(g_agent.statusWindow, data.szTip, 64);
    return data;
}

// Work that may take a while runs in a thread of its own: the low-level
// hooks run in the agent's thread. The thread owns its copy of the text.
void RunWithText(LPTHREAD_START_ROUTINE work, const std::string& text) {
    std::string* copy = new std::string(text);
    HANDLE thread = CreateThread(nullptr, 0, work, copy, 0, nullptr);
    if (thread) {
        CloseHandle(thread);
    } else {
        delete copy;
    }
}

DWORD WINAPI OpenWithShellThread(void* parameter) {
    std::string* target = static_cast<std::string*>(parameter);
    ShellExecuteA(nullptr, "open", target->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    delete target;
    return 0;
}

// Balloons came with the shell of Windows 2000 and Me (shell32 5.0).
bool ShellHasBalloons() {
    const auto getVersion = ptr::LateBound<DLLGETVERSIONPROC>(GetModuleHandleA("shell32.dll"), "DllGetVersion");
    DLLVERSIONINFO version = {};
    version.cbSize = sizeof version;
    return getVersion && SUCCEEDED(getVersion(&version)) && version.dwMajorVersion >= 5;
}

bool ShowBalloon(const char* text) {
    if (!g_agent.trayIconShown || !ShellHasBalloons()) return false;
    NOTIFYICONDATAA data = TrayIconData(NIF_INFO);
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    lstrcpynA(data.szInfo, text, sizeof data.szInfo);
    lstrcpynA(data.szInfoTitle, ptr::kProductName, sizeof data.szInfoTitle);
    data.uTimeout = kBalloonTimeoutMs;
    data.dwInfoFlags = NIIF_INFO;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

}  // namespace

void ShowTrayIcon() {
    NOTIFYICONDATAA data = TrayIconData(NIF_ICON | NIF_TIP | NIF_MESSAGE);
    // "TaskbarCreated" also comes while the icon is still there (another
    // program may send it): the add then fails, and the icon is ours still.
    g_agent.trayIconShown =
        Shell_NotifyIconA(NIM_ADD, &data) != FALSE || Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

void RemoveTrayIcon() {
    if (!g_agent.trayIconShown) return;
    NOTIFYICONDATAA data = TrayIconData(0);
    Shell_NotifyIconA(NIM_DELETE, &data);
    g_agent.trayIconShown = false;
}

void SetStatusText(const char* text) {
    SetWindowTextA(g_agent.statusWindow, text);
    if (!g_agent.trayIconShown) return;
    NOTIFYICONDATAA data = TrayIconData(NIF_TIP);
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

void ShowTrayMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, kMenuSettings, "Settings");
    // While the settings form is open, it is what the settings are: they are
    // read again once it has closed.
    const bool formOpen = g_agent.block && g_agent.block->SettingsWindow != 0;
    AppendMenuA(menu, MF_STRING | (formOpen ? MF_GRAYED : 0), kMenuReload, "Reload settings");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kMenuExit, "Exit");
    POINT cursor;
    GetCursorPos(&cursor);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(g_agent.mainWindow);
    g_agent.trayMenu = menu;
    const int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0,
                                       g_agent.mainWindow, nullptr);
    g_agent.trayMenu = nullptr;
    PostMessageA(g_agent.mainWindow, WM_NULL, 0, 0);
    DestroyMenu(menu);
    HandleTrayMenuCommand(command);
}

namespace {

DWORD WINAPI NoticeBoxThread(void* parameter) {
    std::string* text = static_cast<std::string*>(parameter);
    MessageBoxA(nullptr, text->c_str(), ptr::kProductName, MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
    delete text;
    return 0;
}

}  // namespace

void ShowNotice(const std::string& text) {
    if (ShowBalloon(text.c_str())) return;
    RunWithText(NoticeBoxThread, text);  // the box waits there
}

void SayTrayMenuItems() {
    HMENU menu = g_agent.trayMenu;
    if (!menu) return;
    g_agent.trayMenu = nullptr;  // once per menu
    std::string items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        RECT r = {};
        if (!GetMenuItemRect(g_agent.mainWindow, menu, static_cast<UINT>(i), &r)) continue;
        char item[64];
        std::snprintf(item, sizeof item, " %d=%ld,%ld,%ld,%ld", i, r.left, r.top, r.right, r.bottom);
        items += item;
    }
    Say("PtrAgent: menu items%s", items.c_str());
}

void ShowAnotherStartNotice() {
    const std::string text =
        std::string(ptr::kProductName) + " is already running. Right-click this icon for its settings.";
    if (ShowBalloon(text.c_str())) {
        Say("PtrAgent: another start: balloon shown");
        return;
    }
    Say("PtrAgent: another start: menu shown");
    ShowTrayMenu();
}

void HandleTrayMenuCommand(int command) {
    if (command == kMenuSettings) StartSettingsProgram();
    if (command == kMenuReload) ReloadSettings();
    if (command == kMenuExit) DestroyWindow(g_agent.mainWindow);
}

// Starting a program can take a while.
void OpenWithShell(const std::string& target) { RunWithText(OpenWithShellThread, target); }

void StartSettingsProgram() {
    const std::string path = g_agent.folder + ptr::kSettingsProgramFile;
    if (!ptr::FileExists(path)) {
        Say("PtrAgent: %s not found", path.c_str());
        return;
    }
    Say("PtrAgent: starting %s", path.c_str());
    OpenWithShell(path);
}

}  // namespace agent
