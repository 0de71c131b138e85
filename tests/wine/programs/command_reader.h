// Commands on standard input for the test tools, one per line, handed to the
// main thread as WM_COMMAND_LINE thread messages (lParam: a malloc'ed copy of
// the line, freed by the receiver) so that the main thread keeps pumping
// messages. The end of input posts WM_QUIT.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

constexpr UINT WM_COMMAND_LINE = WM_APP + 1;

inline DWORD WINAPI ReadCommandLines(void* mainThread) {
    DWORD thread = static_cast<DWORD>(reinterpret_cast<uintptr_t>(mainThread));
    char line[1024];
    while (fgets(line, sizeof line, stdin)) {
        line[strcspn(line, "\r\n")] = '\0';
        char* copy = _strdup(line);
        while (!PostThreadMessageA(thread, WM_COMMAND_LINE, 0, reinterpret_cast<LPARAM>(copy))) Sleep(10);
    }
    PostThreadMessageA(thread, WM_QUIT, 0, 0);
    return 0;
}

// Call from the thread that pumps messages, after its queue exists.
inline void StartCommandReader() {
    void* thread = reinterpret_cast<void*>(static_cast<uintptr_t>(GetCurrentThreadId()));
    CreateThread(nullptr, 0, ReadCommandLines, thread, 0, nullptr);
}
