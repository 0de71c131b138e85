// A test tool that asks the legacy wheel window the way an old application
// does: it finds the window by class and title, registers the query names and
// sends each query. It prints what it saw, one line per item:
//
//   PLATFORM id=N version=MAJOR.MINOR
//   WINDOW 0xHANDLE            (0x0 when there is none)
//   WHEELSUPPORT id=0xID answer=N
//   SCROLLLINES id=0xID answer=N
//   DONE
//
//   wheelquery [--wait SECONDS]   keep looking for the window that long
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    int waitSeconds = 0;
    for (int i = 1; i < argc; ++i)
        if (!strcmp(argv[i], "--wait") && i + 1 < argc) waitSeconds = atoi(argv[++i]);

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    printf("PLATFORM id=%lu version=%lu.%lu\n", version.dwPlatformId, version.dwMajorVersion,
           version.dwMinorVersion);

    HWND window = FindWindowA("MouseZ", "Magellan MSWHEEL");
    for (int waited = 0; window == nullptr && waited < waitSeconds * 10; ++waited) {
        Sleep(100);
        window = FindWindowA("MouseZ", "Magellan MSWHEEL");
    }
    printf("WINDOW 0x%llx\n", (unsigned long long)(uintptr_t)window);
    if (window != nullptr) {
        UINT support = RegisterWindowMessageA("MSH_WHEELSUPPORT_MSG");
        UINT lines = RegisterWindowMessageA("MSH_SCROLL_LINES_MSG");
        LRESULT supportAnswer = SendMessageA(window, support, 0, 0);
        LRESULT linesAnswer = SendMessageA(window, lines, 0, 0);
        printf("WHEELSUPPORT id=0x%x answer=%ld\n", support, (long)supportAnswer);
        printf("SCROLLLINES id=0x%x answer=%ld\n", lines, (long)linesAnswer);
    }
    printf("DONE\n");
    fflush(stdout);
    return 0;
}
