// A test tool that looks at the uninstaller's windows and the processes:
//
//   uninstprobe find TITLE [CLASS]  WINDOW 0xHANDLE, for a visible top-level
//                              window with exactly that title (and class), or NONE
//   uninstprobe window HWND    WINDOW sysmenu=0|1 client=WxH origin=X,Y title=TEXT
//                              (origin: the client area's top left on the screen)
//   uninstprobe controls HWND  one line per control below the window:
//                              CONTROL hwnd=H id=N class=C visible=0|1 shown=0|1
//                              x=X y=Y w=W h=H sx=SX sy=SY text=TEXT (line breaks
//                              as \n), where
//                              visible is on the screen and shown its own style
//                              bit, x and y are in the window's client area and
//                              sx, sy the screen point at the control's centre
//   uninstprobe pixels HWND    PIXELS RRGGBB... the distinct colours (as COLORREF
//                              values, blue first) of the window on the screen
//   uninstprobe processes      PROCESS ID NAME for every running process
//   uninstprobe selfdelete     DELETED=1|0 ERROR=N: tries to delete its own
//                              executable while it runs
//   uninstprobe rights PATH    RIGHTS SDDL: the access list of a file or folder
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

namespace {

HWND g_top = nullptr;

HWND HandleOf(const char* text) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoull(text, nullptr, 0)));
}

struct Search {
    const char* title;
    const char* className;  // or null for any class
    HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    char title[512] = "";
    char name[64] = "";
    GetWindowTextA(window, title, sizeof title);
    GetClassNameA(window, name, sizeof name);
    if (IsWindowVisible(window) && !strcmp(title, search->title) &&
        (!search->className || !strcmp(name, search->className))) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A text on one output line: line breaks become "\n".
void OneLine(char* text, size_t size) {
    std::string line;
    for (const char* c = text; *c; ++c) {
        if (*c == '\n') {
            line += "\\n";
        } else if (*c != '\r') {
            line += *c;
        }
    }
    snprintf(text, size, "%s", line.c_str());
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    char name[64] = "";
    char text[4096] = "";
    GetClassNameA(control, name, sizeof name);
    // An edit keeps its text to itself: only its own thread hands it out.
    DWORD_PTR length = 0;
    if (lstrcmpiA(name, "Edit") != 0 ||
        !SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                             &length))
        GetWindowTextA(control, text, sizeof text);
    OneLine(text, sizeof text);
    RECT rect;
    GetWindowRect(control, &rect);
    POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    MapWindowPoints(nullptr, g_top, reinterpret_cast<POINT*>(&rect), 2);
    printf("CONTROL hwnd=0x%llx id=%d class=%s visible=%d shown=%d x=%ld y=%ld w=%ld h=%ld sx=%ld sy=%ld text=%s\n",
           static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(control)), GetDlgCtrlID(control), name,
           IsWindowVisible(control) ? 1 : 0,
           (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) ? 1 : 0, rect.left, rect.top,
           rect.right - rect.left, rect.bottom - rect.top, centre.x, centre.y, text);
    return TRUE;
}

void PrintWindow(HWND window) {
    char title[512] = "";
    GetWindowTextA(window, title, sizeof title);
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    printf("WINDOW sysmenu=%d client=%ldx%ld origin=%ld,%ld title=%s\n", (style & WS_SYSMENU) ? 1 : 0, client.right,
           client.bottom, origin.x, origin.y, title);
}

// Read from the screen: another process's window DC shows nothing here.
void PrintPixels(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    HDC dc = GetDC(nullptr);
    std::set<COLORREF> colors;
    for (LONG y = rect.top; y < rect.bottom; y += 2) {
        for (LONG x = rect.left; x < rect.right; x += 2) colors.insert(GetPixel(dc, x, y));
    }
    ReleaseDC(nullptr, dc);
    printf("PIXELS");
    for (COLORREF color : colors) printf(" %06lX", static_cast<unsigned long>(color));
    printf("\n");
}

void PrintProcesses() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        printf("PROCESS %lu %s\n", entry.th32ProcessID, entry.szExeFile);
    }
    CloseHandle(snapshot);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && !strcmp(argv[1], "processes")) {
        PrintProcesses();
    } else if (argc >= 2 && !strcmp(argv[1], "selfdelete")) {
        char path[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        const BOOL deleted = DeleteFileA(path);
        printf("DELETED=%d ERROR=%lu\n", deleted ? 1 : 0, deleted ? 0ul : GetLastError());
    } else if (argc >= 3 && !strcmp(argv[1], "rights")) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        PACL dacl = nullptr;
        char* text = nullptr;
        if (GetNamedSecurityInfoA(argv[2], SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                  nullptr, &descriptor) == ERROR_SUCCESS &&
            ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1,
                                                                 DACL_SECURITY_INFORMATION, &text, nullptr)) {
            printf("RIGHTS %s\n", text);
        } else {
            printf("RIGHTS NONE\n");
        }
    } else if (argc >= 3 && !strcmp(argv[1], "find")) {
        Search search = {argv[2], argc >= 4 ? argv[3] : nullptr, nullptr};
        EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            printf("WINDOW 0x%llx\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(search.found)));
        } else {
            printf("NONE\n");
        }
    } else if (argc >= 3 && IsWindow(HandleOf(argv[2]))) {
        g_top = HandleOf(argv[2]);
        if (!strcmp(argv[1], "window")) {
            PrintWindow(g_top);
        } else if (!strcmp(argv[1], "controls")) {
            EnumChildWindows(g_top, PrintControl, 0);
        } else if (!strcmp(argv[1], "pixels")) {
            PrintPixels(g_top);
        } else {
            printf("ERROR unknown command %s\n", argv[1]);
            return 2;
        }
    } else {
        printf("ERROR usage: uninstprobe find|window|controls|pixels|processes|rights [ARG]\n");
        return 2;
    }
    fflush(stdout);
    return 0;
}
