// uninst.exe start-up. Started by the user without arguments it is the first
// instance, which hands over to a temporary copy; the copy, started with the
// installed executable's path and the signal window, loads the log and shows
// the wizard.
#include "ainsutils.h"
#include "elevation.h"
#include "os_version.h"
#include "suite_names.h"
#include "uninst_app.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdlib>

namespace uninst {

namespace {

constexpr char kLogExtension[] = ".Log";

// The executable's full path as an object name: upper case, so that two
// spellings of one path meet, with the backslashes (not allowed in a name)
// replaced.
std::string SemaphoreName(const std::string& executable) {
    std::string name = executable;
    if (!name.empty()) CharUpperBuffA(&name[0], static_cast<DWORD>(name.size()));
    for (char& c : name) {
        if (c == '\\') c = '/';
    }
    return name;
}

// Vista and later: an installation for all users lies where only an
// administrator may delete files, so the user is asked for the rights first.
bool NeedsAdministratorRights(const std::string& executable) {
    return ptr::HasUserAccountControl(ptr::CurrentOsVersion()) &&
           !ptr::CanCreateFilesIn(executable.substr(0, executable.find_last_of('\\'))) && !ptr::ProcessIsElevated();
}

// The copy started by a silent first instance finds the mode in its environment.
bool SilentCopy() {
    char value[8] = "";
    const DWORD length = GetEnvironmentVariableA(kSilentVariable, value, sizeof value);
    return length > 0 && length < sizeof value && value[0] == '1';
}

// Loads what the second instance needs; raises the conversion or stream error.
void LoadContext(UninstallContext& context, const char* installed, const char* signal) {
    context.installedExecutable = installed;
    context.logPath = ChangeFileExt(context.installedExecutable, kLogExtension);
    std::int32_t handle = 0;
    if (!ParseInteger(signal, handle)) throw EUninstError(NotAnIntegerMessage(signal));
    context.signalWindow = reinterpret_cast<HWND>(static_cast<std::intptr_t>(handle));
    context.log.LoadFromFile(context.logPath);
}

int Main(HINSTANCE instance) {
    const std::string executable = ModulePath();
    HANDLE semaphore = CreateSemaphoreA(nullptr, 1, 1, SemaphoreName(executable).c_str());
    if (semaphore && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(semaphore);
        return 1;
    }
    // The semaphore stays open until the process ends.
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, MAX_PATH);
    SetCurrentDirectoryA(windows);

    // No argument, or the one of the entry's QuietUninstallString.
    const bool silent = __argc == 2 && lstrcmpiA(__argv[1], ptr::kSilentFlag) == 0;
    if (__argc == 1 || silent) {
        if (NeedsAdministratorRights(executable)) {
            // The start with the rights takes over; it is the same executable.
            CloseHandle(semaphore);
            const int code = ptr::RunElevated(executable, silent ? ptr::kSilentFlag : "");
            if (code >= 0) return code;
            Tell(silent, std::string("Removing ") + ptr::kProductName + " needs administrator rights.", MB_ICONERROR);
            return 1;
        }
        return RunFirstInstance(instance, executable, silent);
    }
    if (__argc != 3) return 1;

    UninstallContext context;
    context.silent = SilentCopy();
    try {
        LoadContext(context, __argv[1], __argv[2]);
    } catch (const EUninstError& error) {
        Tell(context.silent, error.what(), MB_ICONERROR);
        return 1;
    }
    if (context.silent) return RunSilentRemoval(context);
    InitCommonControls();
    return RunWizard(instance, context);
}

}  // namespace

}  // namespace uninst

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return uninst::Main(instance); }
