// PtrSetup.exe: installs the suite, which it carries inside itself, and
// leaves the uninstaller what it needs to take it off again: the installation
// log (uninst.log) and the wizard's captions (uninst.UN2) beside uninst.exe.
// Every registry change is recorded before it is made; the log is written
// once everything is in place, and a failure takes back all that was done.
//
//   PtrSetup.exe [/S] [/NORUN] [/ALLUSERS] [/D=folder]
//
// For the current user by default (no administrator rights needed), for
// every user with /ALLUSERS. A second installation of the same scope updates
// the first in its folder, keeping the user's settings.
//
// Exit codes: 0 installed, 1 cancelled by the user, 2 failed (nothing was
// changed), 3 no administrator rights for /ALLUSERS, 4 the running tray agent
// did not close for the update.
#include "ainslog.h"
#include "elevation.h"
#include "file_checks.h"
#include "file_placement.h"
#include "install_log.h"
#include "install_plan.h"
#include "install_table.h"
#include "module_path.h"
#include "os_version.h"
#include "paths.h"
#include "payload.h"
#include "program_window.h"
#include "registry_recording.h"
#include "restart_removal.h"
#include "setup_options.h"
#include "setup_system.h"
#include "shell_links.h"
#include "win32_error.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace setup {

namespace {

constexpr int kExitInstalled = 0;
constexpr int kExitCancelled = 1;
constexpr int kExitFailed = 2;
constexpr int kExitNoRights = 3;
constexpr int kExitAgentRunning = 4;
constexpr DWORD kAgentCloseWait = 10000;
constexpr char kCaption[] = "PTRHK32A Mouse Setup";

using uninst::EUninstError;
using uninst::TInsLog;

// A reason to stop, with the exit code it ends the installer with.
class SetupStop : public std::runtime_error {
public:
    SetupStop(int exitCode, const std::string& text) : std::runtime_error(text), exitCode_(exitCode) {}
    int ExitCode() const { return exitCode_; }

private:
    int exitCode_;
};

// A line on standard output, where a silent run says what it did and why it ended.
void Note(const std::string& text) {
    std::printf("PtrSetup: %s\n", text.c_str());
    std::fflush(stdout);
}

void Say(const Options& options, const std::string& text, UINT icon) {
    Note(text);
    if (!options.silent) MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | icon);
}

std::string ArgumentsOf(const char* commandLine) {
    const std::string line = commandLine;
    std::size_t at = 0;
    if (!line.empty() && line[0] == '"') {
        at = line.find('"', 1);
        at = at == std::string::npos ? line.size() : at + 1;
    } else {
        while (at < line.size() && line[at] != ' ' && line[at] != '\t') ++at;
    }
    return line.substr(at);
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = "";
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) throw SetupStop(kExitFailed, "Invalid folder " + path);
    return ptr::RemoveBackslash(full);
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

// The tray agent holds the hook library and its own program: it is asked to
// close before they are replaced. Returns whether one was running.
bool CloseRunningAgent() {
    const ptr::CloseOutcome outcome = ptr::QuitProgramWindow(ptr::kAgentWindowClass, ptr::kAgentWindowTitle,
                                                             kAgentCloseWait, ptr::SystemWindowCloseOps());
    if (outcome == ptr::CloseOutcome::StillRunning) {
        throw SetupStop(kExitAgentRunning, std::string("The running ") + ptr::kProductName +
                                               " tray agent did not close. Choose Exit in its menu in the "
                                               "notification area, then run Setup again.");
    }
    if (outcome == ptr::CloseOutcome::NotRunning) return false;
    Note("the running tray agent closed");
    return true;
}

std::uint32_t SizeInKilobytes(const std::vector<PayloadFile>& payload) {
    std::uint64_t bytes = 0;
    for (const PayloadFile& file : payload) bytes += file.bytes.size();
    return static_cast<std::uint32_t>((bytes + 1023) / 1024);
}

struct Installation {
    InstallPlan plan;
    std::string target;
    bool upgrade = false;
    TInsLog earlier;  // the log of the installation an upgrade replaces
};

void PlaceFiles(const Installation& setup, const std::vector<PayloadFile>& payload, FilePlacement& files,
                TInsLog& log) {
    files.CreateFolders(setup.target, log.Folders);
    for (std::size_t i = 0; i < payload.size(); ++i) {
        const std::string destination = InstalledPath(setup.target, payload[i].path.c_str());
        files.CreateFolders(FolderOf(destination), log.Folders);
        files.Place(destination, payload[i].bytes);
        if (kInstalledFiles[i].listedInLog) log.Files.Add(destination);
    }
    const std::string dialogTexts = InstalledPath(setup.target, ptr::kDialogTextFile);
    files.Place(dialogTexts, DialogTextFile());
    log.Files.Add(dialogTexts);
}

// A shortcut of someone else's by the same name is left alone.
void PlaceShellLinks(const Installation& setup, FilePlacement& files, TInsLog& log) {
    if (setup.plan.startMenuPrograms.empty()) return;
    const std::string group = ptr::AddBackslash(setup.plan.startMenuPrograms) + kStartMenuGroup;
    files.CreateFolders(group, log.Folders);
    for (const ShellLinkEntry& link : kShellLinks) {
        const std::string path = ptr::AddBackslash(group) + link.name;
        if (ptr::FileExists(path) && !setup.earlier.Files.Contains(path)) continue;
        const std::string target = InstalledPath(setup.target, link.target);
        files.PlaceWith(path, [&](const std::string& linkPath) { CreateShellLink(linkPath, target, link.description); });
        log.Files.Add(path);
    }
}

void SetRegistryEntries(const Installation& setup, std::uint32_t sizeKb, RegistryRecorder& registry) {
    InstallFacts facts;
    facts.target = setup.target;
    facts.date = Today();
    facts.sizeKb = sizeKb;
    for (const PlannedValue& planned : PlannedValues(setup.plan)) {
        const RegistryEntry& entry = *planned.entry;
        registry.Write(planned.root, entry.ownKey, entry.key, entry.valueName, entry.kind,
                       RegistryValueOf(entry, facts));
    }
    for (const OwnKey& own : OwnKeys(setup.plan)) registry.RecordOwnKey(own.root, own.key);
}

bool RemoveAtNextRestart(const std::string& path) {
    return ptr::RemoveAtRestart(path, ptr::CurrentOsVersion().nt, ptr::WininitPath());
}

// Files, the dialog texts, the Start-menu entries, the registry, then the log.
void Install(const Installation& setup, const std::vector<PayloadFile>& payload) {
    TInsLog fresh = NewInstallLog();
    FilePlacement files;
    RegistryRecorder registry(fresh);
    const std::string logPath = InstalledPath(setup.target, ptr::kInstallLogFile);
    TInsLog log;
    try {
        PlaceFiles(setup, payload, files, fresh);
        PlaceShellLinks(setup, files, fresh);
        SetRegistryEntries(setup, SizeInKilobytes(payload), registry);
        log = AssembleLog(setup.upgrade ? &setup.earlier : nullptr, fresh, registry.SharedKeys());
        const std::vector<unsigned char> bytes = log.SaveToBytes();
        files.Place(logPath, std::string(bytes.begin(), bytes.end()));
    } catch (const EUninstError& error) {
        registry.Undo();
        files.Rollback();
        throw SetupStop(kExitFailed, std::string(error.what()) + "\n\nNothing was changed.");
    }
    // Replaced files still in use go at the next restart; until then the
    // uninstaller knows them too.
    const std::vector<std::string> left = files.Commit(RemoveAtNextRestart);
    if (!left.empty()) {
        for (const std::string& file : left) log.Files.Add(file);
        try {
            log.SaveToFile(logPath);
        } catch (const EUninstError&) {
            // They still go at the next restart.
        }
    }
}

// Started from its own folder, as the log-on start does.
bool StartAgent(const std::string& target) {
    std::string commandLine = '"' + InstalledPath(target, ptr::kAgentFile) + '"';
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, target.c_str(), &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

std::string ForeignFilesText(const std::string& target, const TargetCheck& check) {
    std::string text = "The folder " + target + " holds files that are not " + ptr::kProductName + "'s:";
    for (const std::string& file : check.foreignFiles) text += "\n    " + file;
    return text + "\n\nChoose an empty folder.";
}

int RunSetup(const Options& options, const std::string& arguments) {
    const ptr::OsVersion os = ptr::CurrentOsVersion();
    Installation setup;
    setup.plan = PlanInstall(options.allUsers ? Scope::AllUsers : Scope::CurrentUser, os, QuerySystemFolders());
    const std::string installed = InstalledFolder(setup.plan);
    setup.target = !options.folder.empty() ? FullPath(options.folder) : !installed.empty() ? installed : setup.plan.target;
    if (setup.target.empty()) throw SetupStop(kExitFailed, "Windows names no folder for your programs.");
    // One installation per scope: a second one updates the first.
    if (!installed.empty() && !SameFolder(setup.target, installed)) {
        throw SetupStop(kExitFailed, std::string(ptr::kProductName) + " is already installed in " + installed +
                                         ". Remove it there first to install it into " + setup.target + ".");
    }
    if (options.allUsers && !CanInstallForMachine(setup.target)) {
        if (ptr::HasUserAccountControl(os) && !options.elevated) {
            Note("asking for administrator rights");
            const int code = ptr::RunElevated(ptr::ModulePath(), "/ELEVATED " + arguments);
            if (code >= 0) {
                // It told the user itself why it ended.
                Note("the installation with administrator rights ended with exit code " + std::to_string(code));
                return code;
            }
        }
        throw SetupStop(kExitNoRights, std::string("Installing ") + ptr::kProductName +
                                           " for all users needs administrator rights. Run Setup as an "
                                           "administrator, or without /ALLUSERS to install it for yourself.");
    }
    const TargetCheck check = CheckTarget(setup.target, setup.earlier);
    if (check.state == TargetState::Foreign) throw SetupStop(kExitFailed, ForeignFilesText(setup.target, check));
    setup.upgrade = check.state == TargetState::OwnInstallation;

    if (!options.silent) {
        const std::string question = setup.upgrade
                                         ? std::string("Update ") + ptr::kProductName + " in\n" + setup.target + "?"
                                         : std::string("Install ") + ptr::kProductName + " into\n" + setup.target + "?";
        if (MessageBoxA(nullptr, question.c_str(), kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
            return kExitCancelled;
        }
    }
    std::vector<PayloadFile> payload;
    try {
        payload = LoadPayload(GetModuleHandleA(nullptr));
    } catch (const EUninstError& error) {
        throw SetupStop(kExitFailed, error.what());
    }
    const bool agentClosed = setup.upgrade && CloseRunningAgent();
    try {
        Install(setup, payload);
    } catch (const SetupStop&) {
        // The earlier installation is back as it was: so is its tray agent.
        if (agentClosed) StartAgent(setup.target);
        throw;
    }
    if (StartsAgent(options) && !StartAgent(setup.target)) {
        Say(options, "The tray agent could not be started (" + ptr::Win32ErrorText(GetLastError()) + ").",
            MB_ICONWARNING);
    }
    Say(options, std::string(ptr::kProductName) + (setup.upgrade ? " is updated in " : " is installed in ") +
                     setup.target + ".",
        MB_ICONINFORMATION);
    return kExitInstalled;
}

int Main() {
    const std::string arguments = ArgumentsOf(GetCommandLineA());
    Options options;
    if (!ParseOptions(arguments, options)) {
        MessageBoxA(nullptr, "Usage: PtrSetup.exe [/S] [/NORUN] [/ALLUSERS] [/D=folder]", kCaption,
                    MB_OK | MB_ICONINFORMATION);
        return kExitFailed;
    }
    const bool com = SUCCEEDED(CoInitialize(nullptr));
    int code = kExitFailed;
    try {
        code = RunSetup(options, arguments);
    } catch (const SetupStop& stop) {
        Say(options, stop.what(), MB_ICONERROR);
        code = stop.ExitCode();
    }
    if (com) CoUninitialize();
    return code;
}

}  // namespace

}  // namespace setup

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return setup::Main(); }
