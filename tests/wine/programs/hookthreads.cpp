// A test tool: two threads of one program take wheel messages at the same
// time, as a browser's or the shell's threads do. It loads PTRHK32A.dll,
// gives its own program settings of its own in the programs block, and
// lets two threads call the library's MouseProc at once, each with the
// messages of its own window: one turns the wheel up and tilts right over
// family A, the other turns it down and tilts left over family B. Each
// family is a plain window beside a vertical and a horizontal scroll-bar
// control, so that every notch searches for the bar. Before each round the
// programs block changes, so that both threads find their program's entry
// again at once. What each family's parent received is printed:
//
//   FAMILY A|B vup=N vdown=N vend=N hleft=N hright=N hend=N foreign=N
//   DONE
//
//   hookthreads [--rounds R] [--notches N]   (N notches and N tilts per thread and round)
#include "markers.h"
#include "programs_block.h"
#include "programs_view.h"
#include "ptrhk32a.h"
#include "settings_block.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

using namespace ptr;

namespace {

struct Family {
    const char* name;
    HWND parent;
    HWND target;
    HWND vbar;
    HWND hbar;
    int16_t delta;  // of its notches and its tilts
    int vup, vdown, vend, hleft, hright, hend, foreign;
};

struct Turner {
    HOOKPROC mouseProc;
    Family* family;
    HANDLE go;
    int notches;
};

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND Child(const char* className, DWORD style, int x, int y, int w, int h, HWND parent) {
    return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

Family MakeFamily(const char* name, HWND host, int left, int16_t delta) {
    Family f = {};
    f.name = name;
    f.delta = delta;
    f.parent = Child("HtFamily", WS_CLIPCHILDREN, left, 10, 300, 260, host);
    f.target = Child("HtPlain", 0, 10, 10, 200, 200, f.parent);
    f.vbar = Child("SCROLLBAR", SBS_VERT, 270, 0, 20, 230, f.parent);
    f.hbar = Child("SCROLLBAR", SBS_HORZ, 0, 235, 260, 20, f.parent);
    return f;
}

DWORD WINAPI Turn(void* context) {
    Turner& t = *static_cast<Turner*>(context);
    RECT rect;
    GetWindowRect(t.family->target, &rect);
    MOUSEHOOKSTRUCTEX event = {};
    event.pt = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    event.hwnd = t.family->target;
    event.wHitTestCode = HTCLIENT;
    event.mouseData = static_cast<DWORD>(static_cast<uint16_t>(t.family->delta)) << 16;
    WaitForSingleObject(t.go, INFINITE);
    for (int i = 0; i < t.notches; ++i) {
        t.mouseProc(HC_ACTION, WM_MOUSEWHEEL, reinterpret_cast<LPARAM>(&event));
        t.mouseProc(HC_ACTION, WM_MOUSEHWHEEL, reinterpret_cast<LPARAM>(&event));
    }
    return 0;
}

void Count(Family* families, int count, const MSG& msg) {
    for (int i = 0; i < count; ++i) {
        Family& f = families[i];
        if (msg.hwnd != f.parent) continue;
        const WPARAM code = LOWORD(msg.wParam);
        const HWND bar = reinterpret_cast<HWND>(msg.lParam);
        if (msg.message == WM_VSCROLL && bar == f.vbar) {
            if (code == SB_LINEUP) ++f.vup;
            else if (code == SB_LINEDOWN) ++f.vdown;
            else if (code == SB_ENDSCROLL) ++f.vend;
            else ++f.foreign;
        } else if (msg.message == WM_HSCROLL && bar == f.hbar) {
            if (code == SB_LINELEFT) ++f.hleft;
            else if (code == SB_LINERIGHT) ++f.hright;
            else if (code == SB_ENDSCROLL) ++f.hend;
            else ++f.foreign;
        } else {
            ++f.foreign;
        }
    }
}

// This program's own name, as the library names it.
void OwnName(char (&name)[kProgramNameSize]) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* base = strrchr(path, '\\');
    snprintf(name, sizeof name, "%s", base ? base + 1 : path);
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 10;
    int notches = 200;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!strcmp(argv[i], "--rounds")) rounds = atoi(argv[++i]);
        if (!strcmp(argv[i], "--notches")) notches = atoi(argv[++i]);
    }

    // The programs block before the library, as the tray agent makes it: this
    // program scrolls 2 lines and 4 columns a notch, everything else 3 and 3.
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kProgramsBlockSize,
                                       kProgramsBlockName);
    auto* programs = static_cast<ProgramsBlock*>(
        mapping ? MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, kProgramsBlockSize) : nullptr);
    if (!programs) {
        printf("ERROR no programs block (%lu)\n", GetLastError());
        return 1;
    }
    ProgramsLock* lock = new ProgramsLock();
    uint32_t odd = BeginProgramsChange(programs->Header);
    InitProgramsHeader(programs->Header);
    for (int i = 0; i < kMaxPrograms; ++i) {
        ProgramEntry& entry = programs->Entries[i];
        memset(&entry, 0, sizeof entry);
        if (i + 1 < kMaxPrograms) snprintf(entry.Name, sizeof entry.Name, "other%02d.exe", i);
        else OwnName(entry.Name);
        entry.FieldMask = FieldBit("WheelLines") | FieldBit("HWheelLines");
        entry.Values.WheelLines = i + 1 < kMaxPrograms ? 9 : 2;
        entry.Values.HWheelLines = i + 1 < kMaxPrograms ? 9 : 4;
    }
    programs->Header.Count = kMaxPrograms;
    EndProgramsChange(programs->Header, odd);
    delete lock;

    HMODULE library = LoadLibraryA("PTRHK32A.dll");
    if (!library) {
        printf("ERROR cannot load PTRHK32A.dll (%lu)\n", GetLastError());
        return 1;
    }
    auto mouseProc = LibraryExport<HOOKPROC>(library, "MouseProc");
    auto getBlock = LibraryExport<GetMapFilePointerFn>(library, "GetMapFilePointer");
    auto* block = static_cast<SettingsBlock*>(getBlock());
    block->ButtonCount = 3;
    block->WheelCount = 2;
    block->EnhanceMode = -1;
    block->WheelLines = 3;
    block->WheelPageScroll = 0;
    block->HWheelLines = 3;
    block->HWheelPageScroll = 0;
    block->ReverseWheel = 0;
    block->ReverseHWheel = 0;

    WNDCLASSA c = {};
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpfnWndProc = PlainProc;
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    for (const char* name : {"HtHost", "HtFamily", "HtPlain"}) {
        c.lpszClassName = name;
        RegisterClassA(&c);
    }
    HWND host = CreateWindowExA(WS_EX_TOPMOST, "HtHost", "hook threads", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                640, 280, nullptr, nullptr, c.hInstance, nullptr);
    Family families[2] = {MakeFamily("A", host, 10, 120), MakeFamily("B", host, 330, -120)};
    ShowWindow(host, SW_SHOW);
    UpdateWindow(host);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    for (Family& f : families) {
        RECT r;
        GetWindowRect(f.target, &r);
        if (WindowFromPoint({(r.left + r.right) / 2, (r.top + r.bottom) / 2}) != f.target) {
            printf("ERROR family %s is not under its own centre\n", f.name);
            return 1;
        }
    }

    for (int round = 0; round < rounds; ++round) {
        // A new generation: both threads find their program's entry again.
        {
            ProgramsLock change;
            odd = BeginProgramsChange(programs->Header);
            EndProgramsChange(programs->Header, odd);
        }
        HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        Turner turners[2] = {{mouseProc, &families[0], go, notches}, {mouseProc, &families[1], go, notches}};
        HANDLE threads[2];
        for (int i = 0; i < 2; ++i) threads[i] = CreateThread(nullptr, 0, Turn, &turners[i], 0, nullptr);
        SetEvent(go);
        WaitForMultipleObjects(2, threads, TRUE, INFINITE);
        for (HANDLE thread : threads) CloseHandle(thread);
        CloseHandle(go);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) Count(families, 2, msg);
    }
    for (const Family& f : families)
        printf("FAMILY %s vup=%d vdown=%d vend=%d hleft=%d hright=%d hend=%d foreign=%d\n", f.name, f.vup, f.vdown,
               f.vend, f.hleft, f.hright, f.hend, f.foreign);
    printf("DONE\n");
    fflush(stdout);
    DestroyWindow(host);
    return 0;
}
