// The two instances of uninst.exe: what the second one knows at start-up, the
// first-instance routine, the removal run and the wizard that drives it.
#pragma once

#include "ainslog.h"
#include "file_checks.h"
#include "module_path.h"
#include "program_window.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace uninst {

constexpr UINT kReleaseMessage = WM_USER + 333;  // 1357
constexpr DWORD kWaitAccess = SYNCHRONIZE | STANDARD_RIGHTS_REQUIRED;  // 0x1F0000
constexpr DWORD kCloseWait = 5000;
constexpr DWORD kStepPause = 200;
// The silent first instance hands its mode to the copy in the environment
// the copy inherits, so that the copy's command line stays as it always is.
constexpr char kSilentVariable[] = "PTRHK32A_UNINSTALL_SILENT";

// Arranges for a file or an empty folder to go at the next restart; false
// when the system does not allow it.
using RestartRemoval = std::function<bool(const std::string& path)>;
RestartRemoval SystemRestartRemoval();

// The second instance's state, set once at start-up.
struct UninstallContext {
    std::string installedExecutable;
    std::string logPath;
    HWND signalWindow = nullptr;
    TInsLog log;
    bool silent = false;  // no wizard, no message boxes
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
    bool Complete() const {
        return !programLeftRunning && filesLeft.empty() && foldersLeft.empty() && registryLeft.empty();
    }
};

// Process-level helpers.
using ptr::ModulePath;
using ptr::PathExists;
std::string MessageCaption();
void ShowMessage(HWND owner, const std::string& text, UINT icon);
// A message box, or in the silent mode a line on standard output.
void Tell(bool silent, const std::string& text, UINT icon);
// Starts `path` with the argument text; raises "Can Not Execute <path>".
HANDLE Run(const std::string& path, const std::string& arguments);

// Copies the program to the temporary folder, starts the copy and waits for
// it or for the release message. Returns the exit code (1). Silent: no
// message boxes, and the copy removes the suite without its wizard.
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

// The removal without a window, for the silent mode: the same run, with what
// is left written to standard output. Returns the exit code (0 all went, 2 not).
int RunSilentRemoval(UninstallContext& context);

// Shows the wizard and runs its message loop; returns the exit code (0).
int RunWizard(HINSTANCE instance, UninstallContext& context);

}  // namespace uninst
