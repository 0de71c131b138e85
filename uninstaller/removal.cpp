// The removal run and the process routines it and the first instance share.
#include "ainsutils.h"
#include "os_version.h"
#include "ptrhk32a.h"
#include "restart_removal.h"
#include "uninst_app.h"

#include <cstdio>
#include <set>

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

// Whether the hook library loaded here still has hooks in: its shared state
// says so to every process that holds it.
bool HooksStillIn(HMODULE module) {
    const auto status = LibraryExport<GetHookStatusFn>(module, "GetHookStatus");
    return status && status() != 0;
}

// The hook library of the closed program was loaded into this process too
// when its hooks ran here (a click on the wizard is enough). Once the hooks
// are gone the copy held here is released, or the file could not be deleted.
// Only files the log lists as installed are looked at, and nothing while the
// program still runs.
void ReleaseInstalledModules(const TInsLog& log, ptr::CloseOutcome outcome) {
    if (outcome == ptr::CloseOutcome::StillRunning) return;
    const HMODULE self = GetModuleHandleA(nullptr);
    for (const std::string& file : log.Files.Items()) {
        HMODULE module = GetModuleHandleA(file.c_str());
        if (!module || module == self) continue;
        // A program whose process was not seen to end may have left its hooks in.
        if (outcome == ptr::CloseOutcome::WindowGone && HooksStillIn(module)) continue;
        for (int reference = 0; reference < kMaxModuleReferences && module; ++reference) {
            FreeLibrary(module);
            module = GetModuleHandleA(file.c_str());
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

bool StartsWithFolder(const std::string& path, const std::string& folder) {
    const std::string prefix = AddBackslash(folder);
    return path.size() > prefix.size() && CompareLocaleNoCase(path.substr(0, prefix.size()), prefix) == 0;
}

// Every file and folder below `folder`, full paths.
void CollectContents(const std::string& folder, std::vector<std::string>& contents) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((AddBackslash(folder) + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = AddBackslash(folder) + name;
        contents.push_back(path);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) CollectContents(path, contents);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const { return CompareLocaleNoCase(a, b) < 0; }
};

// What could not be deleted goes at the next restart where the system allows
// it: first the files, then each folder that nothing else will be left in.
void ArrangeRemovalAtRestart(const UninstallContext& context, RemovalReport& report) {
    std::set<std::string, NoCaseLess> going;
    for (const std::string& file : report.filesLeft) {
        if (context.removeAtRestart(file)) {
            going.insert(file);
            report.atRestart.push_back(file);
        }
    }
    const std::vector<std::string>& folders = context.log.Folders.Items();
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        if (!ptr::FolderExists(*folder)) continue;
        std::vector<std::string> contents;
        CollectContents(*folder, contents);
        bool emptyThen = true;
        for (const std::string& entry : contents) emptyThen = emptyThen && going.count(entry) != 0;
        if (emptyThen && context.removeAtRestart(*folder)) {
            going.insert(*folder);
            report.atRestart.push_back(*folder);
        }
    }
}

void NoteFilesLeft(const UninstallContext& context, RemovalReport& report) {
    for (const std::string& file : context.log.Files.Items()) {
        if (ptr::FileExists(file)) report.filesLeft.push_back(file);
    }
}

void NoteFoldersLeft(const UninstallContext& context, RemovalReport& report) {
    // A folder kept for a file of the user's own is meant to stay; one that
    // still holds something of the suite is not.
    for (const std::string& folder : context.log.Folders.Items()) {
        if (!ptr::FolderExists(folder)) continue;
        for (const std::string& file : report.filesLeft) {
            if (StartsWithFolder(file, folder)) {
                report.foldersLeft.push_back(folder);
                break;
            }
        }
    }
}

void NoteOwnFilesLeft(const UninstallContext& context, RemovalReport& report) {
    for (const std::string& file : {context.installedExecutable, context.logPath}) {
        if (!file.empty() && ptr::FileExists(file)) report.filesLeft.push_back(file);
    }
}

// A view for the silent mode: nothing to show, no messages to wait for.
class SilentView final : public RemovalView {
public:
    void HideButtons() override {}
    void ShowProgressLine(int) override {}
    void HandlePendingMessages() override {}
    void BringToFront() override {}
    void ShowFinishPage() override {}
};

}  // namespace

RestartRemoval SystemRestartRemoval() {
    return [](const std::string& path) {
        return ptr::RemoveAtRestart(path, ptr::CurrentOsVersion().nt, ptr::WininitPath());
    };
}

std::string MessageCaption() {
    const std::string path = ModulePath();
    const std::string name = path.substr(path.find_last_of("\\/") + 1);
    return name.substr(0, name.find_last_of('.'));
}

void ShowMessage(HWND owner, const std::string& text, UINT icon) {
    MessageBoxA(owner, text.c_str(), MessageCaption().c_str(), MB_OK | icon);
}

void Tell(bool silent, const std::string& text, UINT icon) {
    if (!silent) {
        ShowMessage(nullptr, text, icon);
        return;
    }
    std::printf("%s: %s\n", MessageCaption().c_str(), text.c_str());
    std::fflush(stdout);
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

RemovalReport RunRemoval(UninstallContext& context, RemovalView& view) {
    RemovalReport report;
    view.HideButtons();
    const ptr::CloseOutcome closed = ptr::QuitProgramWindow(context.log.AppWindowClass, context.log.AppWindowTitle,
                                                            kCloseWait, context.closeOps);
    report.programLeftRunning = !ptr::IsClosed(closed);
    context.log.RestoreRegistry();
    view.HandlePendingMessages();
    ReleaseFirstInstance(context);

    view.BringToFront();
    if (report.programLeftRunning) {
        view.ShowFailedLine(1);
    } else {
        view.ShowProgressLine(1);
    }
    view.HandlePendingMessages();

    const DeleteOps ops = SystemDeleteOps();
    ReleaseInstalledModules(context.log, closed);
    for (const std::string& file : context.log.Files.Items()) DeleteInstalledFile(file, ops);
    NoteFilesLeft(context, report);
    NoteOwnFilesLeft(context, report);
    if (report.filesLeft.empty()) {
        view.ShowProgressLine(2);
    } else {
        view.ShowFailedLine(2);
    }

    // Descending order meets a subfolder before its parent.
    const std::vector<std::string>& folders = context.log.Folders.Items();
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) RemoveDirectoryA(folder->c_str());
    NoteFoldersLeft(context, report);
    if (report.foldersLeft.empty()) {
        view.ShowProgressLine(3);
    } else {
        view.ShowFailedLine(3);
    }
    Pause(kStepPause);
    view.HandlePendingMessages();

    view.ShowProgressLine(4);
    view.HandlePendingMessages();
    context.log.RestoreRegistry(&report.registryLeft);
    if (report.registryLeft.empty()) {
        view.ShowProgressLine(5);
    } else {
        view.ShowFailedLine(5);
    }
    Pause(kStepPause);
    view.HandlePendingMessages();
    Pause(kStepPause);

    if (!report.Complete()) {
        ArrangeRemovalAtRestart(context, report);
        view.ShowLeftovers(report);
    }
    view.ShowFinishPage();
    return report;
}

int RunSilentRemoval(UninstallContext& context) {
    SilentView view;
    RemovalReport report;
    try {
        report = RunRemoval(context, view);
    } catch (const EUninstError& error) {
        std::printf("uninst: %s\n", error.what());
        return 2;
    }
    if (report.programLeftRunning) std::printf("uninst: the running program did not close\n");
    for (const std::string& file : report.filesLeft) std::printf("uninst: not deleted: %s\n", file.c_str());
    for (const std::string& folder : report.foldersLeft) std::printf("uninst: not removed: %s\n", folder.c_str());
    for (const std::string& entry : report.registryLeft) std::printf("uninst: not restored: %s\n", entry.c_str());
    for (const std::string& path : report.atRestart) std::printf("uninst: goes at the next restart: %s\n", path.c_str());
    std::fflush(stdout);
    return report.Complete() ? 0 : 2;
}

}  // namespace uninst
