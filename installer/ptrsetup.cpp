// PtrSetup.exe: installs the suite, which it carries inside itself, and
// leaves the uninstaller what it needs to take it off again: the installation
// log (uninst.log) and the wizard's captions (uninst.UN2) beside uninst.exe.
// Every change is recorded in the log before it is made, so that a run that
// is killed half-way can still be removed or installed over; a failure takes
// back all that was done.
//
//   PtrSetup.exe [/S] [/NORUN] [/ALLUSERS] [/DOWNGRADE] [/D=folder]
//
// For the current user by default (no administrator rights needed), for
// every user with /ALLUSERS. A second installation of the same scope updates
// the first in its folder, keeping the user's settings; one of the other
// scope is refused. With /S nothing waits for a person: errors go to
// standard error and into the exit code.
//
// Exit codes: 0 installed, 1 cancelled by the user, 2 failed (nothing was
// changed), 3 no administrator rights for /ALLUSERS, 4 the running tray agent
// did not close for the update, 5 another Setup or removal of the suite is
// running, 6 a newer version is installed (and /DOWNGRADE was not given).
#include "dll_search.h"
#include "elevation.h"
#include "file_checks.h"
#include "file_placement.h"
#include "file_version.h"
#include "folder_rights.h"
#include "inslog.h"
#include "install_journal.h"
#include "install_log.h"
#include "install_plan.h"
#include "install_table.h"
#include "module_path.h"
#include "os_version.h"
#include "paths.h"
#include "payload.h"
#include "program_window.h"
#include "restart_removal.h"
#include "setup_error.h"
#include "setup_lock.h"
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
constexpr int kExitBusy = 5;
constexpr int kExitNewerInstalled = 6;
constexpr DWORD kAgentCloseWait = 10000;
// A removal that has just let its caller go may still be deleting its own
// executable; another Setup is not waited for longer.
constexpr DWORD kSetupWait = 5000;
constexpr char kCaption[] = "PTRHK32A Mouse Setup";
constexpr char kUsage[] = "Usage: PtrSetup.exe [/S] [/NORUN] [/ALLUSERS] [/DOWNGRADE] [/D=folder]";

using inslog::TInsLog;

// A reason to stop, with the exit code it ends the installer with.
class SetupStop : public std::runtime_error {
public:
    SetupStop(int exitCode, const std::string& text) : std::runtime_error(text), exitCode_(exitCode) {}
    int ExitCode() const { return exitCode_; }

private:
    int exitCode_;
};

void Write(std::FILE* stream, const std::string& text) {
    std::fprintf(stream, "PtrSetup: %s\n", text.c_str());
    std::fflush(stream);
}

// A line on standard output, where a silent run says what it did.
void Note(const std::string& text) { Write(stdout, text); }

bool IsTrouble(UINT icon) {
    const UINT kind = icon & MB_ICONMASK;
    return kind == MB_ICONERROR || kind == MB_ICONWARNING;
}

// Errors and warnings go to standard error, the rest to standard output;
// without /S the user also sees them in a message box.
void Say(const Options& options, const std::string& text, UINT icon) {
    Write(IsTrouble(icon) ? stderr : stdout, text);
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

bool AgentRunning() { return FindWindowA(ptr::kAgentWindowClass, ptr::kAgentWindowTitle) != nullptr; }

// The tray agent holds the hook library and its own program: it is asked to
// close before they are replaced, and ends its 64-bit host as it closes; a
// host that outlived its agent is closed after it. Returns whether the agent
// was running.
bool CloseRunningAgent() {
    const ptr::WindowCloseOps ops = ptr::SystemWindowCloseOps();
    ptr::CloseOutcome outcome = ptr::QuitProgramWindow(ptr::kAgentWindowClass, ptr::kAgentWindowTitle,
                                                       kAgentCloseWait, ops);
    const bool agentRan = outcome != ptr::CloseOutcome::NotRunning;
    if (ptr::IsClosed(outcome)) {
        const ptr::CloseOutcome host =
            ptr::QuitProgramWindow(ptr::kHostWindowClass, ptr::kHostWindowTitle, kAgentCloseWait, ops);
        if (!ptr::IsClosed(host)) outcome = host;
    }
    if (outcome == ptr::CloseOutcome::StillRunning) {
        throw SetupStop(kExitAgentRunning, std::string("The running ") + ptr::kProductName +
                                               " tray agent did not close. Choose Exit in its menu in the "
                                               "notification area, then run Setup again.");
    }
    if (!agentRan) return false;
    Note("the running tray agent closed");
    return true;
}

std::uint32_t SizeInKilobytes(const InstallPlan& plan, const std::vector<PayloadFile>& payload) {
    std::uint64_t bytes = 0;
    for (std::size_t i = 0; i < payload.size(); ++i)
        if (plan.Places(kInstalledFiles[i])) bytes += payload[i].bytes.size();
    return static_cast<std::uint32_t>((bytes + 1023) / 1024);
}

struct Installation {
    InstallPlan plan;
    std::string target;
    bool upgrade = false;
    bool protectFolder = false;  // an installation for all users outside the system's program folder
    TInsLog earlier;             // the log of the installation an update replaces
};

bool IsUninstaller(const PayloadFile& file) { return file.path == ptr::kUninstallerFile; }

// The uninstaller and its captions first: whatever else a killed run did,
// its removal works.
void PlaceFiles(const Installation& setup, const std::vector<PayloadFile>& payload, FilePlacement& files,
                TInsLog& log) {
    files.CreateFolders(setup.target, log.Folders);
    if (setup.protectFolder && !ptr::GiveProgramFolderRights(setup.target)) {
        Note("the folder keeps the rights of the folder above it: Windows would not change them");
    }
    const std::string dialogTexts = InstalledPath(setup.target, ptr::kDialogTextFile);
    log.Files.Add(dialogTexts);
    files.Place(dialogTexts, DialogTextFile());
    for (const bool uninstaller : {true, false}) {
        for (std::size_t i = 0; i < payload.size(); ++i) {
            if (IsUninstaller(payload[i]) != uninstaller || !setup.plan.Places(kInstalledFiles[i])) continue;
            const std::string destination = InstalledPath(setup.target, payload[i].path.c_str());
            files.CreateFolders(FolderOf(destination), log.Folders);
            if (kInstalledFiles[i].listedInLog) log.Files.Add(destination);
            files.Place(destination, payload[i].bytes);
        }
    }
}

// The Start-menu folder is the suite's, and so are its shortcuts, whoever
// left them there (an installation whose folder was deleted by hand).
void PlaceShellLinks(const Installation& setup, FilePlacement& files, TInsLog& log) {
    if (setup.plan.startMenuPrograms.empty()) return;
    const std::string group = ptr::AddBackslash(setup.plan.startMenuPrograms) + ptr::kStartMenuGroup;
    log.Folders.Add(group);
    files.CreateFolders(group, log.Folders);
    for (const ShellLinkEntry& link : kShellLinks) {
        const std::string path = ptr::AddBackslash(group) + link.name;
        const std::string target = InstalledPath(setup.target, link.target);
        log.Files.Add(path);
        files.PlaceWith(path,
                        [&](const std::string& linkPath) { CreateShellLink(linkPath, target, link.description); });
    }
}

void SetRegistryEntries(const Installation& setup, std::uint32_t sizeKb, RegistryRecorder& registry) {
    InstallFacts facts;
    facts.target = setup.target;
    facts.date = Today();
    facts.sizeKb = sizeKb;
    for (const OwnKey& own : OwnKeys(setup.plan)) registry.RecordOwnKey(own.root, own.key);
    for (const PlannedValue& planned : PlannedValues(setup.plan)) {
        const RegistryEntry& entry = *planned.entry;
        registry.Write(planned.root, entry.ownKey, entry.key, entry.valueName, entry.kind,
                       RegistryValueOf(entry, facts));
    }
}

bool RemoveAtNextRestart(const std::string& path) {
    return ptr::RemoveAtRestart(path, ptr::CurrentOsVersion().nt, ptr::WininitPath());
}

// Replaced files still in use: where the system lets it arrange that, they
// go at the next restart; either way the log lists them, so that the
// removal of the suite takes them too.
void ReportBackupsLeft(const std::vector<std::string>& left, const std::vector<bool>& arranged) {
    for (std::size_t i = 0; i < left.size(); ++i) {
        Note(left[i] + (arranged[i] ? " is still in use and goes at the next restart"
                                    : " is still in use; it goes when the suite is removed (Windows would not "
                                      "arrange its removal at the next restart)"));
    }
}

// A run that failed is taken back whole: the registry, the log, the files.
[[noreturn]] void TakeBack(InstallJournal& journal, FilePlacement& files, const std::runtime_error& error) {
    journal.Registry().Undo();
    journal.Abandon();
    files.Rollback();
    throw SetupStop(kExitFailed, std::string(error.what()) + "\n\nNothing was changed.");
}

// The folders, files, Start-menu entries and registry, each recorded in the
// journal before it is made.
void Install(const Installation& setup, const std::vector<PayloadFile>& payload) {
    InstallJournal journal(InstalledPath(setup.target, ptr::kInstallLogFile), setup.upgrade ? &setup.earlier : nullptr);
    FilePlacement files(journal.FileChanges());
    try {
        PlaceFiles(setup, payload, files, journal.Log());
        PlaceShellLinks(setup, files, journal.Log());
        SetRegistryEntries(setup, SizeInKilobytes(setup.plan, payload), journal.Registry());
        journal.Save("the backups of replaced files");
    } catch (const ESetupError& error) {
        TakeBack(journal, files, error);
    } catch (const inslog::EInsLogError& error) {
        TakeBack(journal, files, error);
    }
    std::vector<bool> arranged;
    const std::vector<std::string> left = files.Commit([&arranged](const std::string& path) {
        arranged.push_back(RemoveAtNextRestart(path));
        return arranged.back();
    });
    try {
        journal.Finish(left);
    } catch (const ESetupError&) {
        // The log as last saved lists them too.
    }
    ReportBackupsLeft(left, arranged);
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

void StartAgentOrSay(const Options& options, const std::string& target) {
    if (!StartAgent(target)) {
        Say(options, "The tray agent could not be started (" + ptr::Win32ErrorText(GetLastError()) + ").",
            MB_ICONWARNING);
    }
}

std::string ForeignFilesText(const std::string& target, const TargetCheck& check) {
    std::string text = "The folder " + target + " holds files that are not " + ptr::kProductName + "'s:";
    for (const std::string& file : check.foreignFiles) text += "\n    " + file;
    return text + "\n\nChoose an empty folder.";
}

// One installation per machine and user: a removal of one scope's must never
// take the other's settings or close the other's tray agent.
void RefuseTheOtherScope(const InstallPlan& plan) {
    const std::string other = OtherScopeFolder(plan);
    if (other.empty()) return;
    const bool forAll = plan.scope == Scope::CurrentUser;
    throw SetupStop(kExitFailed, std::string(ptr::kProductName) + " is already installed " +
                                     (forAll ? "for all users" : "for you") + " in " + other + ". Remove it there " +
                                     "first to install it " + (forAll ? "for yourself." : "for all users."));
}

void RefuseAnOlderVersion(const Options& options, const std::string& folder) {
    ptr::FileVersion installed;
    if (!InstalledVersion(folder, installed) || ptr::CompareVersions(installed, ptr::kSuiteVersion) <= 0) return;
    if (options.downgrade) {
        Note("replacing version " + ptr::VersionText(installed) + " with the older " +
             ptr::VersionText(ptr::kSuiteVersion));
        return;
    }
    throw SetupStop(kExitNewerInstalled, std::string(ptr::kProductName) + " " + ptr::VersionText(installed) +
                                             " is installed in " + folder + ", newer than this Setup's " +
                                             ptr::VersionText(ptr::kSuiteVersion) +
                                             ". Run Setup with /DOWNGRADE to replace it all the same.");
}

bool Inside(const std::string& path, const std::string& folder) {
    const std::string prefix = ptr::AddBackslash(folder);
    return !folder.empty() && path.size() >= prefix.size() &&
           lstrcmpiA(path.substr(0, prefix.size()).c_str(), prefix.c_str()) == 0;
}

// The start with administrator rights does the installation; this process,
// which runs with the user's rights, starts the tray agent afterwards.
int InstallWithRights(const Options& options, const std::string& arguments, const std::string& target) {
    Note("asking for administrator rights");
    const bool agentWasRunning = AgentRunning();
    const ptr::ElevatedRun run = ptr::RunElevated(ptr::ModulePath(), "/ELEVATED " + arguments);
    if (!run.started) {
        throw SetupStop(kExitNoRights, std::string("Installing ") + ptr::kProductName +
                                           " for all users needs administrator rights, and they were not given.");
    }
    const unsigned long code = run.exitCode;
    // It told the user itself why it ended; a crash or a kill it could not tell.
    if (code > static_cast<unsigned long>(kExitNewerInstalled)) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08lX", code);
        throw SetupStop(kExitFailed, std::string("Setup with administrator rights ended unexpectedly (exit code ") +
                                         text + "). Run Setup again: it takes up what that one left.");
    }
    Note("the installation with administrator rights ended with exit code " + std::to_string(code));
    const bool installed = code == static_cast<unsigned long>(kExitInstalled);
    // The agent it closed for an update that then failed runs again.
    if ((installed && StartsAgent(options)) || (agentWasRunning && !AgentRunning())) {
        StartAgentOrSay(options, target);
    }
    return static_cast<int>(code);
}

int RunSetup(const Options& options, const std::string& arguments) {
    const ptr::OsVersion os = ptr::CurrentOsVersion();
    Installation setup;
    const SystemFolders folders = QuerySystemFolders();
    setup.plan = PlanInstall(options.allUsers ? Scope::AllUsers : Scope::CurrentUser, os, folders);
    RefuseTheOtherScope(setup.plan);
    const std::string installed = InstalledFolder(setup.plan);
    setup.target = !options.folder.empty() ? FullPath(options.folder)
                   : !installed.empty()     ? installed
                                            : setup.plan.target;
    if (setup.target.empty()) throw SetupStop(kExitFailed, "Windows names no folder for your programs.");
    if (!ptr::RootIsReady(setup.target)) {
        throw SetupStop(kExitFailed, "The folder " + setup.target + " cannot be made: " + ptr::PathRoot(setup.target) +
                                         " is not there, or not ready.");
    }
    // One installation per scope: a second one updates the first.
    if (!installed.empty() && !SameFolder(setup.target, installed)) {
        throw SetupStop(kExitFailed, std::string(ptr::kProductName) + " is already installed in " + installed +
                                         ". Remove it there first to install it into " + setup.target + ".");
    }
    if (options.allUsers && !CanInstallForMachine(setup.target)) {
        // Asking for the rights would wait for a person.
        if (ptr::HasUserAccountControl(os) && !options.elevated && !options.silent) {
            return InstallWithRights(options, arguments, setup.target);
        }
        throw SetupStop(kExitNoRights, std::string("Installing ") + ptr::kProductName +
                                           " for all users needs administrator rights. Run Setup as an "
                                           "administrator, or without /ALLUSERS to install it for yourself.");
    }
    const TargetCheck check = CheckTarget(setup.target, setup.earlier);
    if (check.state == TargetState::Foreign) throw SetupStop(kExitFailed, ForeignFilesText(setup.target, check));
    setup.upgrade = check.state == TargetState::OwnInstallation;
    if (setup.upgrade) RefuseAnOlderVersion(options, setup.target);
    setup.protectFolder = options.allUsers && os.nt && !Inside(setup.target, folders.programFiles);

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
    } catch (const ESetupError& error) {
        throw SetupStop(kExitFailed, error.what());
    }
    const bool startsAgentHere = StartsAgentItself(options, ptr::StartsProgramsAsTheUser());
    const bool agentClosed = setup.upgrade && CloseRunningAgent();
    try {
        Install(setup, payload);
    } catch (const SetupStop&) {
        // The earlier installation is back as it was: so is its tray agent
        // (started by the parent of a start with administrator rights).
        if (agentClosed && !options.elevated && ptr::StartsProgramsAsTheUser()) StartAgent(setup.target);
        throw;
    }
    if (startsAgentHere) {
        StartAgentOrSay(options, setup.target);
    } else if (StartsAgent(options) && !options.elevated) {
        Note("the tray agent starts when you next log on: Setup runs with rights your log-on does not give it");
    }
    Say(options, std::string(ptr::kProductName) + (setup.upgrade ? " is updated in " : " is installed in ") +
                     setup.target + ".",
        MB_ICONINFORMATION);
    return kExitInstalled;
}

int Main() {
    ptr::SearchSystemFolderForDlls();
    const std::string arguments = ArgumentsOf(GetCommandLineA());
    Options options;
    std::string unknown;
    if (!ParseOptions(arguments, options, &unknown)) {
        Say(options, "Unknown argument " + unknown + ". " + kUsage, MB_ICONERROR);
        return kExitFailed;
    }
    // The start with administrator rights runs under its parent's lock.
    ptr::SetupLock lock;
    if (!options.elevated && !lock.Take(kSetupWait)) {
        Say(options, std::string("Another Setup or removal of ") + ptr::kProductName +
                         " is running. Run Setup again when it has ended.",
            MB_ICONERROR);
        return kExitBusy;
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
