// uninst.exe start-up. Started by the user without arguments it is the first
// instance, which hands over to a temporary copy; the copy, started with the
// installed executable's path and the signal window, loads the log and shows
// the wizard.
#include "dll_search.h"
#include "elevation.h"
#include "log_bounds.h"
#include "os_version.h"
#include "suite_names.h"
#include "temp_copy.h"
#include "uninst_app.h"

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

// Loads what the second instance needs; raises the conversion or stream
// error. Whatever the log names outside the suite's bounds is taken out.
void LoadContext(UninstallContext& context, const char* installed, const char* signal) {
    context.installedExecutable = installed;
    context.logPath = ChangeFileExt(context.installedExecutable, kLogExtension);
    std::int32_t handle = 0;
    if (!ParseInteger(signal, handle)) throw EUninstError(NotAnIntegerMessage(signal));
    context.signalWindow = reinterpret_cast<HWND>(static_cast<std::intptr_t>(handle));
    context.log.LoadFromFile(context.logPath);
    context.refused = KeepWithinBounds(context.log, SystemSuiteBounds(context.installedExecutable));
}

bool IsSilentFlag(const char* argument) { return lstrcmpiA(argument, ptr::kSilentFlag) == 0; }

int Main(HINSTANCE instance) {
    ptr::SearchSystemFolderForDlls();
    const std::string executable = ptr::ModulePath();
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
    const bool silent = __argc >= 2 && IsSilentFlag(__argv[1]);
    if (silent && __argc > 2) {
        // Nothing waits for a person in the silent mode, not even for a wrong command line.
        Tell(true, std::string("Usage: ") + ptr::kUninstallerFile + " [" + ptr::kSilentFlag + "]", MB_ICONERROR);
        return kSilentNothingRemoved;
    }
    if (__argc == 1 || silent) {
        if (NeedsAdministratorRights(executable)) {
            const std::string needed = std::string("Removing ") + ptr::kProductName + " needs administrator rights.";
            // Asking for them would wait for a person.
            if (silent) {
                Tell(true, needed + " Run " + ptr::kUninstallerFile + " " + ptr::kSilentFlag + " as an administrator.",
                     MB_ICONERROR);
                return kSilentNoRights;
            }
            // The start with the rights takes over; it is the same executable.
            CloseHandle(semaphore);
            const ptr::ElevatedRun run = ptr::RunElevated(executable, "");
            if (run.started) return static_cast<int>(run.exitCode);
            Tell(silent, needed, MB_ICONERROR);
            return 1;
        }
        return RunFirstInstance(instance, executable, silent);
    }
    if (__argc != 3) return 1;

    UninstallContext context;
    context.silent = SilentCopy();
    int code = kSilentNothingRemoved;
    try {
        LoadContext(context, __argv[1], __argv[2]);
        code = context.silent ? RunSilentRemoval(context) : RunWizard(instance, context);
    } catch (const EUninstError& error) {
        TellFromCopy(context, error.what(), MB_ICONERROR);
    } catch (const inslog::EInsLogError& error) {
        TellFromCopy(context, error.what(), MB_ICONERROR);
    }
    RemoveCopyAtRestart(context);
    return code;
}

}  // namespace

}  // namespace uninst

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return uninst::Main(instance); }
