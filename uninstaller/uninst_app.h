// The two instances of uninst.exe: what the second one knows at start-up, the
// first-instance routine, the removal run and the wizard that drives it.
#pragma once

#include "file_checks.h"
#include "inslog.h"
#include "module_path.h"
#include "program_window.h"
#include "setup_lock.h"

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace uninst {

// A failure of either instance at its start, with a message for the user.
class EUninstError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

constexpr UINT kReleaseMessage = WM_USER + 333;  // 1357
constexpr DWORD kWaitAccess = SYNCHRONIZE | STANDARD_RIGHTS_REQUIRED;  // 0x1F0000
constexpr DWORD kCloseWait = 5000;
constexpr DWORD kStepPause = 200;
// The silent first instance hands its mode to the copy in the environment
// the copy inherits, so that the copy's command line stays as it always is.
constexpr char kSilentVariable[] = "PTRHK32A_UNINSTALL_SILENT";
// How long a removal waits for an installation that is still running.
constexpr DWORD kSetupWait = 5000;

// Exit codes of uninst.exe /S, which waits until the removal has ended.
constexpr int kSilentRemoved = 0;         // everything went
constexpr int kSilentNothingRemoved = 1;  // nothing was removed (no log, a log that cannot be read, Setup running)
constexpr int kSilentLeft = 2;            // removed, but something is left (written to standard output)
constexpr int kSilentNoRights = 3;        // the installation needs administrator rights to remove

// The silent copy's lines, sent to the first instance (WM_COPYDATA to the
// signal window), which writes them to its standard output or error: the
// copy has no console of its own, and the first instance is the process the
// caller waits for.
constexpr ULONG_PTR kOutputLine = 1;
constexpr ULONG_PTR kErrorLine = 2;

// Arranges for a file or an empty folder to go at the next restart; false
// when the system does not allow it.
using RestartRemoval = std::function<bool(const std::string& path)>;
RestartRemoval SystemRestartRemoval();

// The second instance's state, set once at start-up.
struct UninstallContext {
    std::string installedExecutable;
    std::string logPath;
    HWND signalWindow = nullptr;
    inslog::TInsLog log;
    bool silent = false;  // no wizard, no message boxes
    // What the log named outside the suite's bounds, taken out of it and left alone.
    std::vector<std::string> refused;
    // Held while the removal runs: no installation meanwhile.
    ptr::SetupLock lock;
    // Silent: where the installed executable was moved out of its folder
    // while the first instance still ran from it; empty when it stayed.
    std::string executableAside;
    bool executableGoes = false;  // silent: the run got as far as removing files
    RestartRemoval removeAtRestart = SystemRestartRemoval();
    ptr::WindowCloseOps closeOps = ptr::SystemWindowCloseOps();
};

// What a removal run could not do. Empty lists and a closed program: all went.
struct RemovalReport {
    bool programLeftRunning = false;
    std::vector<std::string> filesLeft;     // installed files, the uninstaller or its log, still there
    std::vector<std::string> foldersLeft;   // created folders still there that hold something of the suite
    std::vector<std::string> registryLeft;  // keys and values not as they were before the installation
    std::vector<std::string> atRestart;     // of those files and folders, the ones that go at the next restart
    std::vector<std::string> refused;       // what the log named that is not the suite's: left alone
    bool Complete() const {
        return !programLeftRunning && filesLeft.empty() && foldersLeft.empty() && registryLeft.empty() &&
               refused.empty();
    }
};

// Process-level helpers.
std::string MessageCaption();
void ShowMessage(HWND owner, const std::string& text, UINT icon);
// A message box, or in the silent mode a line on standard output (standard
// error for an error or a warning).
void Tell(bool silent, const std::string& text, UINT icon);
// The same for the copy: in the silent mode its lines go to the first
// instance, which writes them.
void TellFromCopy(const UninstallContext& context, const std::string& text, UINT icon);
// Starts `path` with the argument text; raises "Can Not Execute <path>".
HANDLE Run(const std::string& path, const std::string& arguments);

// Copies the program into a folder of its own in the temporary folder,
// starts the copy and waits for it or for the release message. Returns the
// exit code: 1 with the wizard; silent (no message boxes, and the copy
// removes the suite without its wizard), the removal's result, once the
// copy has done all it can while this instance runs.
int RunFirstInstance(HINSTANCE instance, const std::string& executable, bool silent);

// What the removal run asks of the wizard.
class RemovalView {
public:
    virtual ~RemovalView() = default;
    virtual void HideButtons() = 0;
    virtual void ShowProgressLine(int line) = 0;  // 1 (P2) to 5 (P6)
    virtual void HandlePendingMessages() = 0;
    virtual void BringToFront() = 0;
    virtual void ShowFinishPage() = 0;
    // A step that did not do all its line says: the line tells what failed.
    virtual void ShowFailedLine(int line) { ShowProgressLine(line); }
    // Before the finish page, only when something is left.
    virtual void ShowLeftovers(const RemovalReport&) {}
};

// The removal started by Next: close the running program, restore the
// registry, release the first instance, delete the installed executable, the
// log, the files and the folders, restore the registry again; what is left
// is arranged to go at the next restart and reported. Raises the registry
// write error, which stops the run where it occurs.
RemovalReport RunRemoval(UninstallContext& context, RemovalView& view);

// The removal without a window, for the silent mode: the same run, except
// that the first instance is released at its end, with the result, and what
// is left is written to its standard output. Returns the exit code
// (kSilentRemoved, kSilentLeft, or kSilentNothingRemoved while Setup runs).
int RunSilentRemoval(UninstallContext& context);

// The copy's own file and folder go at the next restart, where the system
// lets it arrange that.
void RemoveCopyAtRestart(const UninstallContext& context);

// Shows the wizard and runs its message loop; returns the exit code (0).
int RunWizard(HINSTANCE instance, UninstallContext& context);

}  // namespace uninst
