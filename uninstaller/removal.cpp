// The removal run and the process routines it and the first instance share.
#include "delete_retries.h"
#include "folder_contents.h"
#include "os_version.h"
#include "ptrhk32a.h"
#include "registry_restore.h"
#include "restart_removal.h"
#include "suite_names.h"
#include "temp_copy.h"
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
void ReleaseInstalledModules(const inslog::TInsLog& log, ptr::CloseOutcome outcome) {
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

// Tells the first instance to end (the silent one with the removal's
// result) and waits until it has.
void EndFirstInstance(const UninstallContext& context, int result) {
    DWORD processId = 0;
    GetWindowThreadProcessId(context.signalWindow, &processId);
    HANDLE first = processId ? OpenProcess(kWaitAccess, FALSE, processId) : nullptr;
    SendMessageA(context.signalWindow, kReleaseMessage, static_cast<WPARAM>(result), 0);
    if (first) {
        WaitForSingleObject(first, INFINITE);
        CloseHandle(first);
    }
    Sleep(0);
}

// Tells the first instance to end, waits for it, then deletes the installed
// executable it kept in use, and the log.
void ReleaseFirstInstance(const UninstallContext& context) {
    EndFirstInstance(context, 0);
    DeleteInstalledExecutable(context.installedExecutable, SystemDeleteOps());
    DeleteFileA(context.logPath.c_str());
}

// Silent: the first instance runs until the removal has ended, so that the
// caller waiting for it finds everything gone. Where the system lets a
// running program's file be renamed (NT, on one drive), the installed
// executable leaves its folder for the copy's own at once, and goes once the
// first instance has ended; elsewhere it goes then from where it is.
void SetOwnFilesAside(UninstallContext& context) {
    const std::string copyFolder = ptr::ModulePath().substr(0, ptr::ModulePath().find_last_of('\\'));
    const std::string name = context.installedExecutable.substr(context.installedExecutable.find_last_of('\\') + 1);
    const std::string aside = ptr::AddBackslash(copyFolder) + name;
    if (MoveFileExA(context.installedExecutable.c_str(), aside.c_str(), 0)) context.executableAside = aside;
    context.executableGoes = true;
    DeleteFileA(context.logPath.c_str());
}

void Pause(DWORD milliseconds) { Sleep(milliseconds); }

bool StartsWithFolder(const std::string& path, const std::string& folder) {
    const std::string prefix = ptr::AddBackslash(folder);
    return path.size() > prefix.size() && ptr::CompareLocaleNoCase(path.substr(0, prefix.size()), prefix) == 0;
}

struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const { return ptr::CompareLocaleNoCase(a, b) < 0; }
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
        bool emptyThen = true;
        for (const ptr::FolderEntry& entry : ptr::FolderContents(*folder))
            emptyThen = emptyThen && going.count(entry.path) != 0;
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

// The silent removal deletes the installed executable last, once the first
// instance has ended: until then it is not left, only waiting.
void NoteOwnFilesLeft(const UninstallContext& context, RemovalReport& report) {
    for (const std::string& file : {context.installedExecutable, context.logPath}) {
        if (context.silent && file == context.installedExecutable) continue;
        if (!file.empty() && ptr::FileExists(file)) report.filesLeft.push_back(file);
    }
}

// An error or a warning, which the silent mode writes to standard error.
bool IsTrouble(UINT icon) {
    const UINT kind = icon & MB_ICONMASK;
    return kind == MB_ICONERROR || kind == MB_ICONWARNING;
}

void RemoveFolders(const UninstallContext& context) {
    // Descending order meets a subfolder before its parent.
    const std::vector<std::string>& folders = context.log.Folders.Items();
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) RemoveDirectoryA(folder->c_str());
}

void SendLine(const UninstallContext& context, ULONG_PTR stream, const std::string& text) {
    COPYDATASTRUCT data = {};
    data.dwData = stream;
    data.cbData = static_cast<DWORD>(text.size());
    data.lpData = const_cast<char*>(text.data());
    SendMessageA(context.signalWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

void ReportLines(const UninstallContext& context, const RemovalReport& report) {
    if (report.programLeftRunning) SendLine(context, kOutputLine, "the running program did not close");
    for (const std::string& file : report.filesLeft) SendLine(context, kOutputLine, "not deleted: " + file);
    for (const std::string& folder : report.foldersLeft) SendLine(context, kOutputLine, "not removed: " + folder);
    for (const std::string& entry : report.registryLeft) SendLine(context, kOutputLine, "not restored: " + entry);
    for (const std::string& path : report.atRestart) {
        SendLine(context, kOutputLine, "goes at the next restart: " + path);
    }
    for (const std::string& entry : report.refused) {
        SendLine(context, kOutputLine, "not the suite's, left alone: " + entry);
    }
    if (report.Complete()) SendLine(context, kOutputLine, std::string(ptr::kProductName) + " is removed.");
}

// After the first instance has ended: its executable, then the folders that
// held only it. What stays goes at the next restart where it can.
void DeleteExecutableLast(UninstallContext& context) {
    if (!context.executableGoes) return;  // the run stopped before it removed anything
    const std::string executable =
        context.executableAside.empty() ? context.installedExecutable : context.executableAside;
    DeleteInstalledExecutable(executable, SystemDeleteOps());
    if (!context.executableAside.empty()) return;
    RemoveFolders(context);
    if (ptr::FileExists(executable) && context.removeAtRestart(executable)) {
        const std::vector<std::string>& folders = context.log.Folders.Items();
        for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
            if (ptr::FolderExists(*folder)) context.removeAtRestart(*folder);
        }
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
    const std::string path = ptr::ModulePath();
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
    std::FILE* stream = IsTrouble(icon) ? stderr : stdout;
    std::fprintf(stream, "%s: %s\n", MessageCaption().c_str(), text.c_str());
    std::fflush(stream);
}

void TellFromCopy(const UninstallContext& context, const std::string& text, UINT icon) {
    if (!context.silent || !context.signalWindow) {
        Tell(context.silent, text, icon);
        return;
    }
    SendLine(context, IsTrouble(icon) ? kErrorLine : kOutputLine, text);
}

// The program the log names (the tray agent, which ends its 64-bit host as
// it ends), then a 64-bit host that outlived it.
ptr::CloseOutcome CloseSuitePrograms(UninstallContext& context) {
    const ptr::CloseOutcome agent =
        ptr::QuitProgramWindow(context.log.AppWindowClass, context.log.AppWindowTitle, kCloseWait, context.closeOps);
    if (!ptr::IsClosed(agent)) return agent;
    const ptr::CloseOutcome host =
        ptr::QuitProgramWindow(ptr::kHostWindowClass, ptr::kHostWindowTitle, kCloseWait, context.closeOps);
    return ptr::IsClosed(host) ? agent : host;
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
    const ptr::CloseOutcome closed = CloseSuitePrograms(context);
    report.programLeftRunning = !ptr::IsClosed(closed);
    RestoreRegistry(context.log);
    view.HandlePendingMessages();
    if (context.silent) {
        SetOwnFilesAside(context);
    } else {
        ReleaseFirstInstance(context);
    }

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

    RemoveFolders(context);
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
    RestoreRegistry(context.log, &report.registryLeft);
    if (report.registryLeft.empty()) {
        view.ShowProgressLine(5);
    } else {
        view.ShowFailedLine(5);
    }
    Pause(kStepPause);
    view.HandlePendingMessages();
    Pause(kStepPause);

    report.refused = context.refused;
    if (!report.Complete()) {
        ArrangeRemovalAtRestart(context, report);
        view.ShowLeftovers(report);
    }
    // The wizard has done all it does; an installation may follow.
    if (!context.silent) context.lock.Release();
    view.ShowFinishPage();
    return report;
}

int RunSilentRemoval(UninstallContext& context) {
    if (!context.lock.Take(kSetupWait)) {
        TellFromCopy(context,
                     std::string("Setup of ") + ptr::kProductName + " is running. Remove it when Setup has ended.",
                     MB_ICONERROR);
        EndFirstInstance(context, kSilentNothingRemoved);
        return kSilentNothingRemoved;
    }
    SilentView view;
    int result = kSilentLeft;
    try {
        const RemovalReport report = RunRemoval(context, view);
        ReportLines(context, report);
        result = report.Complete() ? kSilentRemoved : kSilentLeft;
    } catch (const inslog::EInsLogError& error) {
        TellFromCopy(context, error.what(), MB_ICONERROR);
    }
    // Moved out of its folder, the executable no longer holds up an installation.
    if (!context.executableAside.empty()) context.lock.Release();
    EndFirstInstance(context, result);
    DeleteExecutableLast(context);
    context.lock.Release();
    return result;
}

void RemoveCopyAtRestart(const UninstallContext& context) {
    const std::string copy = ptr::ModulePath();
    const std::string folder = copy.substr(0, copy.find_last_of('\\'));
    const std::string name = copy.substr(folder.size() + 1);
    // Only a copy in a folder of its own, named as the copy: never the
    // installed executable started with a copy's arguments.
    const bool ownFolder = folder.size() > name.size() && folder[folder.size() - name.size() - 1] == '\\' &&
                           ptr::CompareLocaleNoCase(folder.substr(folder.size() - name.size()), name) == 0;
    if (!ownFolder || ptr::CompareLocaleNoCase(copy, context.installedExecutable) == 0) return;
    if (!context.executableAside.empty() && ptr::FileExists(context.executableAside)) {
        context.removeAtRestart(context.executableAside);
    }
    context.removeAtRestart(copy);
    context.removeAtRestart(folder);
}

}  // namespace uninst
