// The first instance: the one the user starts from the installed folder. It
// only hands over to a temporary copy of itself and keeps the installed
// executable in use until the copy releases it. The silent one also writes
// the copy's lines and ends with the removal's result.
#include "temp_copy.h"
#include "uninst_app.h"

#include <cstdint>
#include <cstdio>
#include <set>

namespace uninst {

namespace {

constexpr char kLogExtension[] = ".log";
constexpr int kFolderAttempts = 16;

// The class procedure of "STATIC", kept for every message but the release.
WNDPROC g_staticProcedure = nullptr;

// A line of the silent copy, written where the caller reads it.
void WriteCopyLine(ULONG_PTR stream, const COPYDATASTRUCT& data) {
    std::FILE* out = stream == kErrorLine ? stderr : stdout;
    const std::string text(static_cast<const char*>(data.lpData), data.lpData ? data.cbData : 0);
    std::fprintf(out, "%s: %s\n", MessageCaption().c_str(), text.c_str());
    std::fflush(out);
}

LRESULT CALLBACK SignalWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kReleaseMessage) {
        // The silent copy's result travels with the release.
        PostQuitMessage(static_cast<int>(wParam));
        return 0;
    }
    if (message == WM_COPYDATA && lParam) {
        const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data.dwData == kOutputLine || data.dwData == kErrorLine) {
            WriteCopyLine(data.dwData, data);
            return TRUE;
        }
    }
    return CallWindowProcA(g_staticProcedure, window, message, wParam, lParam);
}

HWND CreateSignalWindow(HINSTANCE instance) {
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;
    g_staticProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SignalWindowProc)));
    return window;
}

// Handles messages until a quit message arrives (true, with its code) or the
// copy ends (false).
bool WaitForCopy(HANDLE copy, int& released) {
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                released = static_cast<int>(message.wParam);
                return true;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (MsgWaitForMultipleObjects(1, &copy, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0 + 1) return false;
    }
}

std::string TemporaryFolder() {
    char folder[MAX_PATH] = "";
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    return std::string(folder, length < MAX_PATH ? length : 0);
}

// The copy runs from a folder of its own, so that no DLL that someone put
// into the temporary folder is loaded beside it. The folder takes the first
// free name of the copy's naming rule (is-00001.TMP, ...), and so does the
// copy in it.
bool MakeCopyFolder(std::string& copyPath) {
    std::set<std::string> tried;
    auto taken = [&tried](const std::string& path) { return tried.count(path) != 0 || ptr::PathExists(path); };
    for (int attempt = 0; attempt < kFolderAttempts; ++attempt) {
        std::string folder;
        // The name code starts at 0, so the first name tried is is-00001.TMP.
        if (!UniqueName(TemporaryFolder(), kTempExtension, 0, taken, folder)) return false;
        tried.insert(folder);
        if (!CreateDirectoryA(folder.c_str(), nullptr)) continue;  // made by another meanwhile
        copyPath = ptr::AddBackslash(folder) + folder.substr(folder.find_last_of('\\') + 1);
        return true;
    }
    return false;
}

// What the silent caller learns when the copy ended without its result.
int ResultOfEndedCopy(HANDLE copy) {
    DWORD code = 0;
    GetExitCodeProcess(copy, &code);
    // A copy that could not start the removal said why, and ended with 1.
    if (code == static_cast<DWORD>(kSilentNothingRemoved)) return kSilentNothingRemoved;
    Tell(true, "The removal ended before its end (exit code " + std::to_string(code) + ").", MB_ICONERROR);
    return kSilentLeft;
}

}  // namespace

int RunFirstInstance(HINSTANCE instance, const std::string& executable, bool silent) {
    if (!ptr::PathExists(ChangeFileExt(executable, kLogExtension))) {
        Tell(silent, "Log File Not Exist.", MB_ICONWARNING);
        return 1;
    }
    std::string copyPath;
    if (!MakeCopyFolder(copyPath)) {
        Tell(silent, "", MB_ICONERROR);
        return 1;
    }
    if (!CopyFileA(executable.c_str(), copyPath.c_str(), FALSE)) {
        RemoveDirectoryA(copyPath.substr(0, copyPath.find_last_of('\\')).c_str());
        Tell(silent, "Can Not Create Temp File.", MB_ICONERROR);
        return 1;
    }
    SetEnvironmentVariableA(kSilentVariable, silent ? "1" : nullptr);
    HWND signal = CreateSignalWindow(instance);
    HANDLE copy = nullptr;
    try {
        // Window handles carry 32 significant bits in both builds.
        const auto handle = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(signal));
        copy = Run(copyPath, CopyArguments(executable, handle));
    } catch (const EUninstError& error) {
        Tell(silent, error.what(), MB_ICONERROR);
        DestroyWindow(signal);
        return 1;
    }
    int released = 0;
    const bool wasReleased = WaitForCopy(copy, released);
    const int result = !silent ? 1 : wasReleased ? released : ResultOfEndedCopy(copy);
    CloseHandle(copy);
    DestroyWindow(signal);
    return result;
}

}  // namespace uninst
