// The first instance: the one the user starts from the installed folder. It
// only hands over to a temporary copy of itself and keeps the installed
// executable in use until the copy releases it.
#include "ainsutils.h"
#include "uninst_app.h"

#include <cstdint>

namespace uninst {

namespace {

constexpr char kLogExtension[] = ".log";

// The class procedure of "STATIC", kept for every message but the release.
WNDPROC g_staticProcedure = nullptr;

LRESULT CALLBACK SignalWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kReleaseMessage) {
        PostQuitMessage(0);
        return 0;
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

// Handles messages until a quit message arrives or the copy ends.
void WaitForCopy(HANDLE copy) {
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (MsgWaitForMultipleObjects(1, &copy, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0 + 1) return;
    }
}

std::string TemporaryFolder() {
    char folder[MAX_PATH] = "";
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    return std::string(folder, length < MAX_PATH ? length : 0);
}

}  // namespace

int RunFirstInstance(HINSTANCE instance, const std::string& executable, bool silent) {
    if (!PathExists(ChangeFileExt(executable, kLogExtension))) {
        Tell(silent, "Log File Not Exist.", MB_ICONWARNING);
        return 1;
    }
    std::string copyPath;
    // The name code starts at 0, so the first name tried is is-00001.TMP.
    if (!UniqueName(TemporaryFolder(), kTempExtension, 0, PathExists, copyPath)) {
        Tell(silent, "", MB_ICONERROR);
        return 1;
    }
    if (!CopyFileA(executable.c_str(), copyPath.c_str(), FALSE)) {
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
    WaitForCopy(copy);
    CloseHandle(copy);
    DestroyWindow(signal);
    return 1;
}

}  // namespace uninst
