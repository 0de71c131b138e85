// The two instances of uninst.exe: what the second one knows at start-up, the
// first-instance routine, the removal run and the wizard that drives it.
#pragma once

#include "ainslog.h"
#include "file_checks.h"
#include "module_path.h"

#include <windows.h>

#include <string>

namespace uninst {

constexpr UINT kReleaseMessage = WM_USER + 333;  // 1357
constexpr DWORD kWaitAccess = SYNCHRONIZE | STANDARD_RIGHTS_REQUIRED;  // 0x1F0000
constexpr DWORD kCloseWait = 5000;
constexpr DWORD kStepPause = 200;

// The second instance's state, set once at start-up.
struct UninstallContext {
    std::string installedExecutable;
    std::string logPath;
    HWND signalWindow = nullptr;
    TInsLog log;
};

// Process-level helpers.
using ptr::ModulePath;
using ptr::PathExists;
std::string MessageCaption();
void ShowMessage(HWND owner, const std::string& text, UINT icon);
// Starts `path` with the argument text; raises "Can Not Execute <path>".
HANDLE Run(const std::string& path, const std::string& arguments);

// Copies the program to the temporary folder, starts the copy and waits for
// it or for the release message. Returns the exit code (1).
int RunFirstInstance(HINSTANCE instance, const std::string& executable);

// What the removal run asks of the wizard.
class RemovalView {
public:
    virtual ~RemovalView() = default;
    virtual void HideButtons() = 0;
    virtual void ShowProgressLine(int line) = 0;  // 1 (P2) to 5 (P6)
    virtual void HandlePendingMessages() = 0;
    virtual void BringToFront() = 0;
    virtual void ShowFinishPage() = 0;
};

// The removal started by Next: close the running program, restore the
// registry, release the first instance, delete the installed executable, the
// log, the files and the folders, restore the registry again. Raises the
// registry write error, which stops the run where it occurs.
void RunRemoval(UninstallContext& context, RemovalView& view);

// Shows the wizard and runs its message loop; returns the exit code (0).
int RunWizard(HINSTANCE instance, UninstallContext& context);

}  // namespace uninst
