// The removal run and the process routines it and the first instance share.
#include "ainsutils.h"
#include "uninst_app.h"

namespace uninst {

namespace {

constexpr int kMaxModuleReferences = 64;

DeleteOps SystemDeleteOps() {
    DeleteOps ops;
    ops.remove = [](const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; };
    ops.lastError = [] { return static_cast<unsigned long>(GetLastError()); };
    ops.sleep = [](unsigned milliseconds) { Sleep(milliseconds); };
    return ops;
}

// Ends the program named in the log by posting WM_QUIT to its window.
// Returns whether it is gone (ended, or not running at all).
bool CloseRunningProgram(const TInsLog& log) {
    if (log.AppWindowClass.empty()) return true;
    HWND window = FindWindowA(log.AppWindowClass.c_str(), log.AppWindowTitle.c_str());
    if (!window) return true;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(kWaitAccess, FALSE, processId);
    if (!process) return false;
    PostMessageA(window, WM_QUIT, 0, 0);
    const bool ended = WaitForSingleObject(process, kCloseWait) == WAIT_OBJECT_0;
    CloseHandle(process);
    Sleep(0);
    return ended;
}

// The hook library of the closed program was loaded into this process too
// when its hooks ran here (a click on the wizard is enough). Its hooks went
// with the program, so the copy held here is released; otherwise the file
// could not be deleted. Only installed files are looked at.
void ReleaseInstalledModules(const TInsLog& log) {
    const HMODULE self = GetModuleHandleA(nullptr);
    for (const std::string& file : log.Files.Items()) {
        for (int reference = 0; reference < kMaxModuleReferences; ++reference) {
            const HMODULE module = GetModuleHandleA(file.c_str());
            if (!module || module == self) break;
            FreeLibrary(module);
        }
    }
}

// Tells the first instance to end, waits for it, then deletes the installed
// executable it kept in use, and the log.
void ReleaseFirstInstance(const UninstallContext& context) {
    DWORD processId = 0;
    GetWindowThreadProcessId(context.signalWindow, &processId);
    HANDLE first = processId ? OpenProcess(kWaitAccess, FALSE, processId) : nullptr;
    SendMessageA(context.signalWindow, kReleaseMessage, 0, 0);
    if (first) {
        WaitForSingleObject(first, INFINITE);
        CloseHandle(first);
    }
    Sleep(0);
    DeleteInstalledExecutable(context.installedExecutable, SystemDeleteOps());
    DeleteFileA(context.logPath.c_str());
}

void Pause(DWORD milliseconds) { Sleep(milliseconds); }

}  // namespace

std::string MessageCaption() {
    const std::string path = ModulePath();
    const std::string name = path.substr(path.find_last_of("\\/") + 1);
    return name.substr(0, name.find_last_of('.'));
}

void ShowMessage(HWND owner, const std::string& text, UINT icon) {
    MessageBoxA(owner, text.c_str(), MessageCaption().c_str(), MB_OK | icon);
}

HANDLE Run(const std::string& path, const std::string& arguments) {
    std::string commandLine = Quote(path) + " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        throw EUninstError("Can Not Execute " + path);
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

void RunRemoval(UninstallContext& context, RemovalView& view) {
    view.HideButtons();
    const bool programClosed = CloseRunningProgram(context.log);
    context.log.RestoreRegistry();
    view.HandlePendingMessages();
    ReleaseFirstInstance(context);

    view.BringToFront();
    view.ShowProgressLine(1);
    view.HandlePendingMessages();

    const DeleteOps ops = SystemDeleteOps();
    if (programClosed) ReleaseInstalledModules(context.log);
    for (const std::string& file : context.log.Files.Items()) DeleteInstalledFile(file, ops);
    view.ShowProgressLine(2);

    // Descending order meets a subfolder before its parent.
    const std::vector<std::string>& folders = context.log.Folders.Items();
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) RemoveDirectoryA(folder->c_str());
    view.ShowProgressLine(3);
    Pause(kStepPause);
    view.HandlePendingMessages();

    view.ShowProgressLine(4);
    view.HandlePendingMessages();
    context.log.RestoreRegistry();
    view.ShowProgressLine(5);
    Pause(kStepPause);
    view.HandlePendingMessages();
    Pause(kStepPause);

    view.ShowFinishPage();
}

}  // namespace uninst
