// A sample program with scrollable windows for the tests under Wine and the
// demonstration: a list box, a multi-line edit, a panel whose scroll bars are
// separate scroll-bar controls, and a plain pad. It logs the mouse, key and
// scroll messages its windows receive, and keeps a state file with their
// scroll positions, so that another process can see what happened.
//
//   sampleapp [--log FILE] [--state FILE] [--at X Y] [--other] [--stamp]
//
// --other makes a single small window that takes the foreground, so that the
// sample windows do not have the focus. --stamp ends every logged message
// with t=SECONDS, the performance counter when the window procedure got it
// (under Wine the clock of CLOCK_MONOTONIC_RAW), and logs CLOCK t=SECONDS
// when the windows are ready.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

FILE* g_log = nullptr;
bool g_stamp = false;
std::string g_statePath;
std::string g_lastState;
HWND g_main, g_list, g_edit, g_bars, g_vbar, g_hbar, g_pad;
WNDPROC g_listProc, g_editProc;

const char* MessageName(UINT m) {
    switch (m) {
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
    case WM_SYSKEYUP: return "WM_SYSKEYUP";
    case WM_CHAR: return "WM_CHAR";
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_RBUTTONDOWN: return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP: return "WM_RBUTTONUP";
    case WM_MBUTTONDOWN: return "WM_MBUTTONDOWN";
    case WM_MBUTTONUP: return "WM_MBUTTONUP";
    case WM_MBUTTONDBLCLK: return "WM_MBUTTONDBLCLK";
    case WM_XBUTTONDOWN: return "WM_XBUTTONDOWN";
    case WM_XBUTTONUP: return "WM_XBUTTONUP";
    case WM_MOUSEWHEEL: return "WM_MOUSEWHEEL";
    case 0x020E: return "WM_MOUSEHWHEEL";
    case WM_VSCROLL: return "WM_VSCROLL";
    case WM_HSCROLL: return "WM_HSCROLL";
    default: return nullptr;
    }
}

const char* WindowName(HWND w) {
    if (w == g_list) return "list";
    if (w == g_edit) return "edit";
    if (w == g_bars) return "bars";
    if (w == g_pad) return "pad";
    if (w == g_main) return "main";
    return "other";
}

void Log(const char* format, ...) {
    if (!g_log) return;
    va_list args;
    va_start(args, format);
    vfprintf(g_log, format, args);
    va_end(args);
    fputc('\n', g_log);
    fflush(g_log);
}

double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void LogMessage(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    const char* name = MessageName(m);
    if (!name) return;
    double now = g_stamp ? Now() : 0;
    char stamp[40] = "";
    if (g_stamp) snprintf(stamp, sizeof stamp, " t=%.7f", now);
    Log("MSG %s %s wp=0x%llx lp=0x%llx extra=0x%llx%s", WindowName(w), name, (unsigned long long)wp,
        (unsigned long long)lp, (unsigned long long)(GetMessageExtraInfo() & 0xFFFFFFFF), stamp);
}

void LogWindow(const char* name, HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    Log("WINDOW %s hwnd=0x%llx rect=%ld,%ld,%ld,%ld", name, (unsigned long long)(uintptr_t)w, r.left, r.top,
        r.right, r.bottom);
}

// Where the last cursor move that reached this program's windows happened.
POINT g_lastMove = {-1, -1};

void WriteState() {
    char text[512];
    snprintf(text, sizeof text,
             "list_top=%ld\nedit_line=%ld\nedit_hpos=%d\nbars_vpos=%d\nbars_hpos=%d\nforeground=0x%llx\nfocus=%s\n"
             "move_x=%ld\nmove_y=%ld\n",
             (long)SendMessageA(g_list, LB_GETTOPINDEX, 0, 0), (long)SendMessageA(g_edit, EM_GETFIRSTVISIBLELINE, 0, 0),
             GetScrollPos(g_edit, SB_HORZ), GetScrollPos(g_vbar, SB_CTL), GetScrollPos(g_hbar, SB_CTL),
             (unsigned long long)(uintptr_t)GetForegroundWindow(), WindowName(GetFocus()), g_lastMove.x, g_lastMove.y);
    if (g_statePath.empty() || g_lastState == text) return;
    std::string temp = g_statePath + ".tmp";
    FILE* f = fopen(temp.c_str(), "w");
    if (!f) return;
    fputs(text, f);
    fclose(f);
    MoveFileExA(temp.c_str(), g_statePath.c_str(), MOVEFILE_REPLACE_EXISTING);
    g_lastState = text;
}

LRESULT CALLBACK ListProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    LogMessage(w, m, wp, lp);
    return CallWindowProcA(g_listProc, w, m, wp, lp);
}

LRESULT CALLBACK EditProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    LogMessage(w, m, wp, lp);
    return CallWindowProcA(g_editProc, w, m, wp, lp);
}

void MoveBar(HWND bar, WPARAM code) {
    int pos = GetScrollPos(bar, SB_CTL);
    switch (LOWORD(code)) {
    case SB_LINEUP: pos -= 1; break;
    case SB_LINEDOWN: pos += 1; break;
    case SB_PAGEUP: pos -= 10; break;
    case SB_PAGEDOWN: pos += 10; break;
    default: return;
    }
    SetScrollPos(bar, SB_CTL, pos, TRUE);
}

LRESULT CALLBACK BarsProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    LogMessage(w, m, wp, lp);
    if ((m == WM_VSCROLL || m == WM_HSCROLL) && lp != 0) {
        MoveBar(reinterpret_cast<HWND>(lp), wp);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

LRESULT CALLBACK PadProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    LogMessage(w, m, wp, lp);
    if (m == WM_LBUTTONDOWN) SetFocus(w);
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        TextOutA(dc, 8, 8, "pad", 3);
        EndPaint(w, &ps);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

LRESULT CALLBACK MainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_TIMER) {
        WriteState();
        return 0;
    }
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

void RegisterClasses(HINSTANCE instance) {
    WNDCLASSA c = {};
    c.hInstance = instance;
    c.hCursor = LoadCursor(nullptr, IDC_ARROW);
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    c.lpfnWndProc = MainProc;
    c.lpszClassName = "PtrSampleMain";
    RegisterClassA(&c);
    c.lpfnWndProc = BarsProc;
    c.lpszClassName = "PtrBarPanel";
    RegisterClassA(&c);
    c.lpfnWndProc = PadProc;
    c.lpszClassName = "PtrPad";
    c.style = CS_DBLCLKS;
    RegisterClassA(&c);
}

void FillList() {
    char text[32];
    for (int i = 0; i < 300; ++i) {
        snprintf(text, sizeof text, "Item %03d", i);
        SendMessageA(g_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
}

void FillEdit() {
    std::string text;
    for (int i = 0; i < 300; ++i) {
        char line[160];
        snprintf(line, sizeof line,
                 "Line %03d: the quick brown fox jumps over the lazy dog, again and again and again, "
                 "far to the right%s",
                 i, i + 1 < 300 ? "\r\n" : "");
        text += line;
    }
    SetWindowTextA(g_edit, text.c_str());
}

void CreateSampleWindows(HINSTANCE instance, int x, int y) {
    g_main = CreateWindowExA(0, "PtrSampleMain", "PTR Sample", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, 960, 680,
                             nullptr, nullptr, instance, nullptr);
    DWORD child = WS_CHILD | WS_VISIBLE | WS_BORDER;
    g_list = CreateWindowExA(0, "LISTBOX", "", child | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, 10, 10, 300,
                             300, g_main, reinterpret_cast<HMENU>(1), instance, nullptr);
    g_edit = CreateWindowExA(0, "EDIT", "",
                             child | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL, 320,
                             10, 300, 300, g_main, reinterpret_cast<HMENU>(2), instance, nullptr);
    g_bars = CreateWindowExA(0, "PtrBarPanel", "", child, 630, 10, 300, 300, g_main, reinterpret_cast<HMENU>(3),
                             instance, nullptr);
    g_vbar = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT, 278, 0, 20, 278, g_bars,
                             reinterpret_cast<HMENU>(31), instance, nullptr);
    g_hbar = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 0, 278, 278, 20, g_bars,
                             reinterpret_cast<HMENU>(32), instance, nullptr);
    SetScrollRange(g_vbar, SB_CTL, 0, 1000, FALSE);
    SetScrollRange(g_hbar, SB_CTL, 0, 1000, FALSE);
    g_pad = CreateWindowExA(0, "PtrPad", "", child, 10, 320, 300, 300, g_main, reinterpret_cast<HMENU>(4), instance,
                            nullptr);
    g_listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(g_list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
    g_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(g_edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
    FillList();
    FillEdit();
    UpdateWindow(g_main);
    LogWindow("main", g_main);
    LogWindow("list", g_list);
    LogWindow("edit", g_edit);
    LogWindow("bars", g_bars);
    LogWindow("pad", g_pad);
    SetTimer(g_main, 1, 50, nullptr);
    WriteState();
}

void CreateOtherWindow(HINSTANCE instance, int x, int y) {
    g_main = CreateWindowExA(0, "PtrSampleMain", "PTR Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, 260, 120,
                             nullptr, nullptr, instance, nullptr);
    g_pad = CreateWindowExA(0, "EDIT", "focus is here", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 220, 24, g_main,
                            nullptr, instance, nullptr);
    SetForegroundWindow(g_main);
    // Its messages are logged as the pad's.
    g_editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(g_pad, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
    SetFocus(g_pad);
    LogWindow("main", g_main);
    LogWindow("pad", g_pad);
}

}  // namespace

int main(int argc, char** argv) {
    bool other = false;
    int x = 40, y = 40;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--log") && i + 1 < argc) g_log = fopen(argv[++i], "a");
        else if (!strcmp(argv[i], "--state") && i + 1 < argc) g_statePath = argv[++i];
        else if (!strcmp(argv[i], "--other")) other = true;
        else if (!strcmp(argv[i], "--stamp")) g_stamp = true;
        else if (!strcmp(argv[i], "--at") && i + 2 < argc) {
            x = atoi(argv[++i]);
            y = atoi(argv[++i]);
        }
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterClasses(instance);
    if (other) CreateOtherWindow(instance, x, y);
    else CreateSampleWindows(instance, x, y);
    Log("READY");
    if (g_stamp) Log("CLOCK t=%.7f", Now());
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) g_lastMove = msg.pt;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
