// A test tool for the settings program: it stands in for the tray agent (a
// window that counts UM_SETTINGSCHANGED), reads and writes the live settings
// block and application block, and finds the settings form and its controls
// by identifier to read them or change them with the controls' own messages.
// Commands on standard input, one per line; answers on standard output:
//
//   agent                 create the stand-in agent window (the agent's class), store it in AgentWindow; AGENT=<handle>
//   agentgone             destroy it and leave its handle in the block, as a crashed agent does; OK
//   posts                 POSTS=<UM_SETTINGSCHANGED received>
//   set F=V ... | get F | dump     fields of the settings block
//   block                 BLOCK=<120 bytes in hex>
//   app                   APP=<1284 bytes in hex>
//   appfill SEED          fill the application block with a pattern
//   appset SLOT TEXT      write a web address slot; appget SLOT: SLOT=<length>:<text>
//   squat                 create an event named like the application block; SQUAT=<0|1>
//   stale                 STALE=<handle of a window that existed and is gone>
//   window                WINDOW=<handle of a live window of another class than the agent's>
//   owned                 OWNED=<handle> TEXT=<its static texts>: the window the form owns (a message box), or 0
//   form                  FORM=<SettingsWindow> LIVE=<0|1> CAPTION=<text>
//   state ID              STATE visible= enabled= checked= rect=l,t,r,b
//   text ID               TEXT=<window text>
//   settext ID TEXT       WM_SETTEXT (the control notifies the form itself)
//   items ID              ITEM <index> <code> <name> ..., then ITEMS=<count> SELECTED=<code or none>
//   select ID CODE        select the entry carrying CODE and notify the form as the box does
//   slider ID             POS=<trackbar position>; setslider ID POS: move it and notify the form
//   updown ID             POS=<up-down position>
//   tab                   TAB=<page control's tab>
//   focus                 FOCUS=<identifier of the form's focused control>
//   foreground            FOREGROUND=<handle>
//   image ID              IMAGE=<0|1> (a picture is set in the static control)
//   close                 the close box: WM_SYSCOMMAND SC_CLOSE to the form
//   minimize              minimise the form; iconic: ICONIC=<0|1>
//   layout                CTL <id> <class> <visible> <l,t,r,b> <parent id> for each control of the form, then
//                         LAYOUT client=<form's client area> display=<page control's display area> (screen)
//   textfit ID BOLD       FIT need=<w,h> have=<w,h>: the room the control's text needs in the form's
//                         font (bold if BOLD is 1), and the room the control gives it
//   startmany N PATH      start the program at PATH N times, one right after the other; STARTED=<n>
//                         (those still running when the tool ends are ended with it)
//   exits MS              waits up to MS for them to end; EXITS=<code>,... (259: still running)
//   forms TITLE           FORMS=<visible top-level windows with this title>
//   top TITLE             TOP=<handle> TEXT=<texts of its static controls, joined by |> (a message box)
//   dismiss TITLE         press the OK button of that window: WM_COMMAND IDOK
//   programsblock         make the programs block, as the tray agent does; PROGRAMSBLOCK=1
//   programs              PROGRAMS count= generation= layout=, a PROGRAM NAME FIELD=VALUE ... line
//                         per program, then OK
//   program NAME F=V ...  give a program settings of its own in the programs block; OK
//   lines ID              LINE <index> <text> per entry of a list box, then LINES=<count> SELECTED=<index>
//   quit
#include "app_block_layout.h"
#include "ptrhk32a.h"
#include "settings_fields.h"
#include "suite_names.h"

#include <windows.h>
#include <commctrl.h>

#include "block_fields_text.h"
#include "command_reader.h"
#include "programs_text.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace ptr;

namespace {

constexpr int kPageControlId = 30;

struct Tool {
    HMODULE library = nullptr;
    SettingsBlock* block = nullptr;
    uint8_t* app = nullptr;
    HWND agent = nullptr;
    long posts = 0;
    std::vector<HANDLE> started;  // settings programs started by startmany
    HANDLE programsMapping = nullptr;
    ProgramsBlock* programs = nullptr;
};

Tool g_tool;

void Print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    fputc('\n', stdout);
    fflush(stdout);
}

unsigned long long Handle(HWND window) { return static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)); }

HWND ToWindow(uint32_t value) { return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(value))); }

std::string Hex(const uint8_t* bytes, size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

LRESULT CALLBACK AgentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == UM_SETTINGSCHANGED) {
        ++g_tool.posts;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND Form() { return g_tool.block ? ToWindow(g_tool.block->SettingsWindow) : nullptr; }

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND window, LPARAM parameter) {
    ControlSearch* search = reinterpret_cast<ControlSearch*>(parameter);
    if (GetDlgCtrlID(window) == search->id) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Controls may sit inside other controls (the test pictures in their boxes).
HWND FindControl(int id) {
    HWND form = Form();
    if (!form || !IsWindow(form)) return nullptr;
    ControlSearch search = {id, nullptr};
    EnumChildWindows(form, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Texts cross the process boundary as UTF-16 and are printed in UTF-8.
std::string Utf8(const wchar_t* text) {
    char out[8192] = "";
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, nullptr);
    return out;
}

std::string WindowText(HWND window) {
    wchar_t text[4096] = L"";
    SendMessageW(window, WM_GETTEXT, sizeof text / sizeof text[0], reinterpret_cast<LPARAM>(text));
    return Utf8(text);
}

// Texts to set come in UTF-8.
std::wstring Wide(const char* text) {
    wchar_t out[4096] = L"";
    MultiByteToWideChar(CP_UTF8, 0, text, -1, out, sizeof out / sizeof out[0]);
    return out;
}

void PrintItems(HWND box) {
    const LRESULT count = SendMessageA(box, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t name[1024] = L"";
        const LRESULT length = SendMessageW(box, CB_GETLBTEXTLEN, i, 0);
        if (length >= 0 && length < static_cast<LRESULT>(sizeof name / sizeof name[0]))
            SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
        Print("ITEM %ld %ld %s", static_cast<long>(i), static_cast<long>(SendMessageA(box, CB_GETITEMDATA, i, 0)),
              Utf8(name).c_str());
    }
    const LRESULT selected = SendMessageA(box, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) {
        Print("ITEMS=%ld SELECTED=none", static_cast<long>(count));
    } else {
        Print("ITEMS=%ld SELECTED=%ld", static_cast<long>(count),
              static_cast<long>(SendMessageA(box, CB_GETITEMDATA, selected, 0)));
    }
}

bool SelectCode(HWND box, long code) {
    const LRESULT count = SendMessageA(box, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (SendMessageA(box, CB_GETITEMDATA, i, 0) != code) continue;
        SendMessageA(box, CB_SETCURSEL, i, 0);
        SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(box));
        return true;
    }
    return false;
}

// The form's controls, their places and their parents, for the layout checks.
struct LayoutWalk {
    HWND form;
};

BOOL CALLBACK PrintControl(HWND window, LPARAM parameter) {
    const LayoutWalk* walk = reinterpret_cast<const LayoutWalk*>(parameter);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    RECT rect;
    GetWindowRect(window, &rect);
    HWND parent = GetParent(window);
    Print("CTL %d %s %d %ld,%ld,%ld,%ld %d", GetDlgCtrlID(window), name, IsWindowVisible(window) ? 1 : 0, rect.left,
          rect.top, rect.right, rect.bottom, parent == walk->form ? 0 : GetDlgCtrlID(parent));
    return TRUE;
}

// The page control's display area: TCM_ADJUSTRECT works on a rectangle in
// the form's own process, so the rectangle is lent there.
bool DisplayArea(HWND tabs, RECT& area) {
    DWORD processId = 0;
    GetWindowThreadProcessId(tabs, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return false;
    bool done = false;
    void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    RECT client;
    GetClientRect(tabs, &client);
    SIZE_T moved = 0;
    if (remote && WriteProcessMemory(process, remote, &client, sizeof client, &moved)) {
        SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(remote));
        done = ReadProcessMemory(process, remote, &area, sizeof area, &moved) != 0;
        MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&area), 2);
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return done;
}

void PrintLayout() {
    HWND form = Form();
    if (!form || !IsWindow(form)) {
        Print("ERROR no form");
        return;
    }
    LayoutWalk walk = {form};
    EnumChildWindows(form, PrintControl, reinterpret_cast<LPARAM>(&walk));
    RECT client;
    GetClientRect(form, &client);
    MapWindowPoints(form, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT display = {};
    HWND tabs = FindControl(kPageControlId);
    if (!tabs || !DisplayArea(tabs, display)) {
        Print("ERROR no display area");
        return;
    }
    Print("LAYOUT client=%ld,%ld,%ld,%ld display=%ld,%ld,%ld,%ld", client.left, client.top, client.right, client.bottom,
          display.left, display.top, display.right, display.bottom);
}

// The room a control's text needs in the form's font (made again here, as
// the dialog makes it from its template: 8 point at the screen's resolution).
void PrintTextFit(HWND control, bool bold) {
    HDC dc = GetDC(control);
    LOGFONTA face = {};
    face.lfHeight = -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72);
    face.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    face.lfCharSet = DEFAULT_CHARSET;
    strcpy(face.lfFaceName, "MS Sans Serif");
    HFONT font = CreateFontIndirectA(&face);
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t text[4096] = L"";
    SendMessageW(control, WM_GETTEXT, sizeof text / sizeof text[0], reinterpret_cast<LPARAM>(text));
    RECT client;
    GetClientRect(control, &client);
    RECT need = {0, 0, client.right, 0};
    char name[32] = "";
    GetClassNameA(control, name, sizeof name);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    UINT format = DT_CALCRECT | DT_WORDBREAK;
    if (!_stricmp(name, "Static") && (style & SS_NOPREFIX)) format |= DT_NOPREFIX;
    if (!_stricmp(name, "Button")) {
        const LONG kind = style & BS_TYPEMASK;
        // Push buttons and group boxes keep their text on one line.
        if (kind != BS_AUTORADIOBUTTON && kind != BS_RADIOBUTTON && kind != BS_AUTOCHECKBOX && kind != BS_CHECKBOX)
            format = DT_CALCRECT | DT_SINGLELINE;
    }
    DrawTextW(dc, text, -1, &need, format);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(control, dc);
    Print("FIT need=%ld,%ld have=%ld,%ld", need.right - need.left, need.bottom - need.top, client.right, client.bottom);
}

void StartMany(const char* rest) {
    char* after = nullptr;
    const long count = strtol(rest, &after, 10);
    while (*after == ' ') ++after;
    std::string program = after;
    for (HANDLE process : g_tool.started) CloseHandle(process);
    g_tool.started.clear();
    std::vector<PROCESS_INFORMATION> processes;
    for (long i = 0; i < count; ++i) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        std::string line = "\"" + program + "\"";
        if (CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            CloseHandle(info.hThread);
            g_tool.started.push_back(info.hProcess);
        }
    }
    Print("STARTED=%ld", static_cast<long>(g_tool.started.size()));
}

void PrintExits(DWORD timeout) {
    const DWORD begin = GetTickCount();
    std::string codes;
    for (HANDLE process : g_tool.started) {
        const DWORD spent = GetTickCount() - begin;
        WaitForSingleObject(process, spent < timeout ? timeout - spent : 0);
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        codes += (codes.empty() ? "" : ",") + std::to_string(code);
    }
    Print("EXITS=%s", codes.c_str());
}

struct TitleCount {
    std::wstring title;
    int count;
};

BOOL CALLBACK CountTitled(HWND window, LPARAM parameter) {
    TitleCount* search = reinterpret_cast<TitleCount*>(parameter);
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    if (IsWindowVisible(window) && search->title == text) ++search->count;
    return TRUE;
}

void SetField(const char* rest) {
    const std::string unknown = WriteSettingsFields(*g_tool.block, rest);
    if (unknown.empty()) Print("OK");
    else Print("ERROR unknown field %s", unknown.c_str());
}

// Commands that work on a control of the form: ID first, then the rest.
bool RunControlCommand(const char* command, const char* rest) {
    char* after = nullptr;
    const int id = static_cast<int>(strtol(rest, &after, 10));
    while (*after == ' ') ++after;
    const bool known = !strcmp(command, "state") || !strcmp(command, "text") || !strcmp(command, "settext") ||
                       !strcmp(command, "items") || !strcmp(command, "select") || !strcmp(command, "slider") ||
                       !strcmp(command, "setslider") || !strcmp(command, "updown") || !strcmp(command, "image") ||
                       !strcmp(command, "textfit") || !strcmp(command, "lines");
    if (!known) return false;
    HWND control = FindControl(id);
    if (!control) {
        Print("ERROR no control %d", id);
        return true;
    }
    if (!strcmp(command, "state")) {
        RECT rect;
        GetWindowRect(control, &rect);
        Print("STATE visible=%d enabled=%d checked=%d rect=%ld,%ld,%ld,%ld", IsWindowVisible(control) ? 1 : 0,
              IsWindowEnabled(control) ? 1 : 0, SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0,
              rect.left, rect.top, rect.right, rect.bottom);
    } else if (!strcmp(command, "text")) {
        Print("TEXT=%s", WindowText(control).c_str());
    } else if (!strcmp(command, "settext")) {
        const std::wstring text = Wide(after);
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        Print("OK");
    } else if (!strcmp(command, "items")) {
        PrintItems(control);
    } else if (!strcmp(command, "select")) {
        Print(SelectCode(control, strtol(after, nullptr, 10)) ? "OK" : "ERROR no such code");
    } else if (!strcmp(command, "slider")) {
        Print("POS=%ld", static_cast<long>(SendMessageA(control, TBM_GETPOS, 0, 0)));
    } else if (!strcmp(command, "setslider")) {
        const long position = strtol(after, nullptr, 10);
        SendMessageA(control, TBM_SETPOS, TRUE, position);
        const UINT message = (GetWindowLongA(control, GWL_STYLE) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
        SendMessageA(GetParent(control), message, MAKEWPARAM(TB_THUMBPOSITION, position),
                     reinterpret_cast<LPARAM>(control));
        Print("OK");
    } else if (!strcmp(command, "updown")) {
        Print("POS=%d", static_cast<int>(static_cast<short>(LOWORD(SendMessageA(control, UDM_GETPOS, 0, 0)))));
    } else if (!strcmp(command, "image")) {
        Print("IMAGE=%d", SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0) ? 1 : 0);
    } else if (!strcmp(command, "textfit")) {
        PrintTextFit(control, strtol(after, nullptr, 10) != 0);
    } else if (!strcmp(command, "lines")) {
        const LRESULT count = SendMessageA(control, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[512] = L"";
            if (SendMessageW(control, LB_GETTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof text / sizeof text[0]))
                SendMessageW(control, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            Print("LINE %ld %s", static_cast<long>(i), Utf8(text).c_str());
        }
        Print("LINES=%ld SELECTED=%ld", static_cast<long>(count), static_cast<long>(SendMessageA(control, LB_GETCURSEL, 0, 0)));
    }
    return true;
}

void PrintForm() {
    HWND form = Form();
    Print("FORM=%llu LIVE=%d CAPTION=%s", Handle(form), form && IsWindow(form) ? 1 : 0,
          form && IsWindow(form) ? WindowText(form).c_str() : "");
}

void PrintFocus() {
    HWND form = Form();
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    const DWORD thread = form ? GetWindowThreadProcessId(form, nullptr) : 0;
    if (!thread || !GetGUIThreadInfo(thread, &info)) {
        Print("FOCUS=none");
        return;
    }
    Print("FOCUS=%d", info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0);
}

BOOL CALLBACK CollectStaticText(HWND window, LPARAM parameter) {
    char name[32] = "";
    GetClassNameA(window, name, sizeof name);
    if (!_stricmp(name, "Static")) {
        std::string& texts = *reinterpret_cast<std::string*>(parameter);
        const std::string text = WindowText(window);
        if (!text.empty()) texts += (texts.empty() ? "" : "|") + text;
    }
    return TRUE;
}

HWND TopWindow(const char* title) { return FindWindowW(nullptr, Wide(title).c_str()); }

void PrintTop(const char* title) {
    HWND window = TopWindow(title);
    std::string texts;
    if (window) EnumChildWindows(window, CollectStaticText, reinterpret_cast<LPARAM>(&texts));
    Print("TOP=%llu TEXT=%s", Handle(window), texts.c_str());
}

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchOwned(HWND window, LPARAM parameter) {
    OwnedSearch* search = reinterpret_cast<OwnedSearch*>(parameter);
    if (GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

void PrintOwned() {
    OwnedSearch search = {Form(), nullptr};
    if (search.owner) EnumWindows(MatchOwned, reinterpret_cast<LPARAM>(&search));
    std::string texts;
    if (search.found) EnumChildWindows(search.found, CollectStaticText, reinterpret_cast<LPARAM>(&texts));
    Print("OWNED=%llu TEXT=%s", Handle(search.found), texts.c_str());
}

HWND GoneWindow() {
    HWND window = CreateWindowExA(0, "STATIC", "gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(window);
    return window;
}

bool Run(const char* line) {
    char command[64] = "";
    int used = 0;
    sscanf(line, "%63s %n", command, &used);
    const char* rest = line + used;
    if (!strcmp(command, "quit")) return false;
    if (RunControlCommand(command, rest)) return true;
    if (!strcmp(command, "agent")) {
        if (!g_tool.agent)
            g_tool.agent = CreateWindowExA(0, kAgentWindowClass, "settingctl agent", WS_POPUP, 0, 0, 10, 10, nullptr,
                                           nullptr, GetModuleHandleA(nullptr), nullptr);
        g_tool.block->AgentWindow = static_cast<uint32_t>(Handle(g_tool.agent));
        Print("AGENT=%llu", Handle(g_tool.agent));
    } else if (!strcmp(command, "agentgone")) {
        if (g_tool.agent) DestroyWindow(g_tool.agent);
        g_tool.agent = nullptr;
        Print("OK");
    } else if (!strcmp(command, "posts")) {
        Print("POSTS=%ld", g_tool.posts);
    } else if (!strcmp(command, "set")) {
        SetField(rest);
    } else if (!strcmp(command, "get")) {
        const SettingsField* f = FindSettingsField(rest);
        if (f) Print("%s=%ld", f->name, static_cast<long>(ReadSettingsField(*g_tool.block, *f)));
        else Print("ERROR unknown field %s", rest);
    } else if (!strcmp(command, "dump")) {
        for (const SettingsField& f : kSettingsFields)
            Print("%s=%ld", f.name, static_cast<long>(ReadSettingsField(*g_tool.block, f)));
        Print("OK");
    } else if (!strcmp(command, "block")) {
        Print("BLOCK=%s", Hex(reinterpret_cast<const uint8_t*>(g_tool.block), sizeof(SettingsBlock)).c_str());
    } else if (!g_tool.app && (!strcmp(command, "app") || !strcmp(command, "appfill") || !strcmp(command, "appset") ||
                               !strcmp(command, "appget"))) {
        Print("ERROR no application block");
    } else if (!strcmp(command, "app")) {
        Print("APP=%s", Hex(g_tool.app, kAppBlockSize).c_str());
    } else if (!strcmp(command, "appfill")) {
        uint32_t state = static_cast<uint32_t>(strtoul(rest, nullptr, 0)) | 1;
        for (uint32_t i = 0; i < kAppBlockSize; ++i) {
            state = state * 1103515245u + 12345u;
            g_tool.app[i] = static_cast<uint8_t>(state >> 16);
        }
        Print("OK");
    } else if (!strcmp(command, "appset")) {
        char* text = nullptr;
        const long slot = strtol(rest, &text, 10);
        if (*text == ' ') ++text;
        if (WebAddressOffset(slot) < 0) {
            Print("ERROR no slot %ld", slot);
            return true;
        }
        uint8_t* field = g_tool.app + WebAddressOffset(slot);
        const size_t length = strlen(text) > 255 ? 255 : strlen(text);
        field[0] = static_cast<uint8_t>(length);
        memcpy(field + 1, text, length);
        Print("OK");
    } else if (!strcmp(command, "appget")) {
        const long slot = strtol(rest, nullptr, 10);
        if (WebAddressOffset(slot) < 0) {
            Print("ERROR no slot %ld", slot);
            return true;
        }
        const uint8_t* field = g_tool.app + WebAddressOffset(slot);
        Print("SLOT=%u:%.*s", field[0], static_cast<int>(field[0]), reinterpret_cast<const char*>(field + 1));
    } else if (!strcmp(command, "squat")) {
        HANDLE event = CreateEventA(nullptr, FALSE, FALSE, kAppBlockName);
        Print("SQUAT=%d", event && GetLastError() != ERROR_ALREADY_EXISTS ? 1 : 0);
    } else if (!strcmp(command, "stale")) {
        Print("STALE=%llu", Handle(GoneWindow()));
    } else if (!strcmp(command, "window")) {
        static HWND plain = CreateWindowExA(0, "STATIC", "plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                            nullptr);
        Print("WINDOW=%llu", Handle(plain));
    } else if (!strcmp(command, "owned")) {
        PrintOwned();
    } else if (!strcmp(command, "form")) {
        PrintForm();
    } else if (!strcmp(command, "tab")) {
        HWND tabs = FindControl(kPageControlId);
        Print("TAB=%ld", tabs ? static_cast<long>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0)) : -1L);
    } else if (!strcmp(command, "focus")) {
        PrintFocus();
    } else if (!strcmp(command, "foreground")) {
        Print("FOREGROUND=%llu", Handle(GetForegroundWindow()));
    } else if (!strcmp(command, "top")) {
        PrintTop(rest);
    } else if (!strcmp(command, "dismiss")) {
        HWND window = TopWindow(rest);
        if (window) PostMessageA(window, WM_COMMAND, IDOK, 0);
        Print(window ? "OK" : "ERROR no window");
    } else if (!strcmp(command, "minimize")) {
        ShowWindow(Form(), SW_MINIMIZE);
        Print("OK");
    } else if (!strcmp(command, "iconic")) {
        Print("ICONIC=%d", IsIconic(Form()) ? 1 : 0);
    } else if (!strcmp(command, "layout")) {
        PrintLayout();
    } else if (!strcmp(command, "startmany")) {
        StartMany(rest);
    } else if (!strcmp(command, "exits")) {
        PrintExits(static_cast<DWORD>(strtoul(rest, nullptr, 10)));
    } else if (!strcmp(command, "forms")) {
        TitleCount search = {Wide(rest), 0};
        EnumWindows(CountTitled, reinterpret_cast<LPARAM>(&search));
        Print("FORMS=%d", search.count);
    } else if (!strcmp(command, "close")) {
        PostMessageA(Form(), WM_SYSCOMMAND, SC_CLOSE, 0);
        Print("OK");
    } else if (!strcmp(command, "programsblock")) {
        if (!g_tool.programs) g_tool.programs = MapTestProgramsBlock(true, g_tool.programsMapping);
        Print("PROGRAMSBLOCK=%d", g_tool.programs ? 1 : 0);
    } else if (!strcmp(command, "programs") || !strcmp(command, "program")) {
        HANDLE mapping = nullptr;
        ProgramsBlock* programs = MapTestProgramsBlock(false, mapping);
        if (!programs) {
            Print("ERROR no programs block");
        } else if (!strcmp(command, "programs")) {
            for (const std::string& line : DescribeProgramsBlock(*programs)) Print("%s", line.c_str());
            Print("OK");
        } else {
            const std::string failure = WriteTestProgram(*programs, rest);
            if (failure.empty()) Print("OK");
            else Print("ERROR %s", failure.c_str());
        }
        UnmapTestProgramsBlock(programs, mapping);
    } else {
        Print("ERROR unknown command %s", command);
    }
    return true;
}

}  // namespace

// --no-app: leave the application block alone (a test then blocks its name).
int main(int argc, char** argv) {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    const bool mapApp = !(argc > 1 && !strcmp(argv[1], "--no-app"));
    HMODULE library = LoadLibraryA("PTRHK32A.dll");
    g_tool.library = library;
    auto getBlock = library ? LibraryExport<GetMapFilePointerFn>(library, "GetMapFilePointer") : nullptr;
    g_tool.block = static_cast<SettingsBlock*>(getBlock ? getBlock() : nullptr);
    if (!g_tool.block) {
        Print("ERROR no settings block");
        return 1;
    }
    if (mapApp) {
        HANDLE mapping =
            CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kAppBlockSize, kAppBlockName);
        g_tool.app = mapping ? static_cast<uint8_t*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) : nullptr;
    }
    WNDCLASSA agentClass = {};
    agentClass.lpfnWndProc = AgentProc;
    agentClass.hInstance = GetModuleHandleA(nullptr);
    agentClass.lpszClassName = kAgentWindowClass;
    RegisterClassA(&agentClass);

    Print("READY");
    StartCommandReader();
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == WM_COMMAND_LINE) {
            char* line = reinterpret_cast<char*>(msg.lParam);
            const bool goOn = Run(line);
            free(line);
            if (!goOn) break;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (g_tool.agent && g_tool.block->AgentWindow == static_cast<uint32_t>(Handle(g_tool.agent)))
        g_tool.block->AgentWindow = 0;
    // Whatever a failed test left running of them ends with the tool.
    for (HANDLE process : g_tool.started) {
        if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) TerminateProcess(process, 1);
        CloseHandle(process);
    }
    return 0;
}
