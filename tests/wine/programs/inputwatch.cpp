// A test tool that watches the desktop's input from a process of its own:
// the keys that are logically down, and (with --ll) every button event that
// passes a low-level mouse hook, with its flags and extra information, so
// that a test can tell input made by a program from input of the X server.
//
//   inputwatch [--ll]
//
// Commands on standard input, one per line:
//   keys       print KEYS shift=S control=C menu=M (1 when the key is down)
//   wheel D    SendInput a turn of the wheel by delta D at the cursor, print SENT
//   hwheel D   the same for the tilt wheel (MOUSEEVENTF_HWHEEL)
//   quit       end
// With --ll each button event is printed as
//   LL <message> data=0x<mouseData> flags=0x<flags> extra=0x<dwExtraInfo>
#include <windows.h>

#include "command_reader.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HHOOK g_hook;

void Print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    fputc('\n', stdout);
    fflush(stdout);
}

const char* ButtonMessageName(WPARAM m) {
    switch (m) {
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_RBUTTONDOWN: return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP: return "WM_RBUTTONUP";
    case WM_MBUTTONDOWN: return "WM_MBUTTONDOWN";
    case WM_MBUTTONUP: return "WM_MBUTTONUP";
    case WM_XBUTTONDOWN: return "WM_XBUTTONDOWN";
    case WM_XBUTTONUP: return "WM_XBUTTONUP";
    default: return nullptr;
    }
}

LRESULT CALLBACK WatchMouse(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && lParam != 0) {
        if (const char* name = ButtonMessageName(wParam)) {
            const MSLLHOOKSTRUCT* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
            Print("LL %s data=0x%lx flags=0x%lx extra=0x%llx", name, (unsigned long)event->mouseData,
                  (unsigned long)event->flags, (unsigned long long)(event->dwExtraInfo & 0xFFFFFFFF));
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

int Down(int vk) { return (GetAsyncKeyState(vk) & 0x8000) ? 1 : 0; }

void SendWheel(DWORD flags, const char* delta) {
    INPUT input = {INPUT_MOUSE, {}};
    input.mi = {0, 0, static_cast<DWORD>(atoi(delta)), flags, 0, 0};
    Print(SendInput(1, &input, sizeof input) == 1 ? "SENT" : "ERROR SendInput");
}

}  // namespace

int main(int argc, char** argv) {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists before the reader posts
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--ll")) {
            g_hook = SetWindowsHookExA(WH_MOUSE_LL, WatchMouse, GetModuleHandleA(nullptr), 0);
            if (!g_hook) {
                Print("ERROR no low-level mouse hook (%lu)", GetLastError());
                return 1;
            }
        }
    }
    Print("READY");
    StartCommandReader();
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == WM_COMMAND_LINE) {
            char* line = reinterpret_cast<char*>(msg.lParam);
            bool quit = !strcmp(line, "quit");
            if (!strcmp(line, "keys"))
                Print("KEYS shift=%d control=%d menu=%d", Down(VK_SHIFT), Down(VK_CONTROL), Down(VK_MENU));
            else if (!strncmp(line, "wheel ", 6))
                SendWheel(MOUSEEVENTF_WHEEL, line + 6);
            else if (!strncmp(line, "hwheel ", 7))
                SendWheel(0x1000 /* MOUSEEVENTF_HWHEEL */, line + 7);
            else if (!quit)
                Print("ERROR unknown command %s", line);
            free(line);
            if (quit) break;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (g_hook) UnhookWindowsHookEx(g_hook);
    return 0;
}
