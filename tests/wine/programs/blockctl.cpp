// A test tool that loads PTRHK32A.dll and works on the live settings block.
// It reads commands from standard input, one per line, while its main thread
// pumps messages (the low-level hooks it may install run in that thread):
//
//   set FIELD=VALUE ...   write fields of the block
//   get FIELD             print FIELD=VALUE
//   dump                  print every field
//   install N             call InstallHook(N) and print InstallHook(N)=RESULT
//   status                print GetHookStatus()=BITS
//   reset                 zero the whole block (a known start for a test)
//   agentwindow           stand in for the tray agent: make a window, store it
//                         in AgentWindow, print AGENTWINDOW=0x...; from then on
//                         every notification it receives is printed as
//                         AGENT <name> wp=<wParam> lp=<lParam>
//   menu HWND             print MENU=1 while the thread of that window runs a menu loop, else MENU=0
//   wheelwindow           call CreateWheelWindow and print its handle
//   programs              print the programs block: PROGRAMS count=N generation=G
//                         layout=1 (0: of another layout), then per entry
//                         PROGRAM NAME FIELD=VALUE ..., then OK; or PROGRAMS none
//   program NAME FIELD=VALUE ...
//                         give a program settings of its own in the programs
//                         block, as the settings program does (a new entry
//                         unless one has that name); prints OK
//   tear                  begin writing the programs block as a writer does,
//                         spoil its first entry half way, print TORN and
//                         stop there (the test kills the tool: a writer that
//                         died in the middle)
//   quit                  end
#include "hook_context.h"
#include "programs_block.h"
#include "ptrhk32a.h"
#include "settings_fields.h"

#include <windows.h>

#include "block_fields_text.h"
#include "command_reader.h"
#include "programs_text.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace ptr;

namespace {


void Print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    fputc('\n', stdout);
    fflush(stdout);
}

const char* NotificationName(UINT message) {
    switch (message) {
    case UM_MODESTATE: return "UM_MODESTATE";
    case UM_MODEEND: return "UM_MODEEND";
    case UM_ZOOMSTART: return "UM_ZOOMSTART";
    case UM_ZOOMEND: return "UM_ZOOMEND";
    case UM_ZOOMWHEEL: return "UM_ZOOMWHEEL";
    case UM_AUTOSCROLLSTART: return "UM_AUTOSCROLLSTART";
    case UM_AUTOSCROLLEND: return "UM_AUTOSCROLLEND";
    case UM_LAUNCHBROWSER: return "UM_LAUNCHBROWSER";
    case UM_CONNECTINTERNET: return "UM_CONNECTINTERNET";
    case UM_LAUNCHMAIL: return "UM_LAUNCHMAIL";
    default: return nullptr;
    }
}

LRESULT CALLBACK StandInAgentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const char* name = NotificationName(message)) {
        Print("AGENT %s wp=%lld lp=%lld", name, (long long)wParam, (long long)lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeStandInAgent() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = StandInAgentProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PtrTestStandInAgent";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           windowClass.hInstance, nullptr);
}

// The programs block as it is now: opened for each command, since the tray
// agent may make it after this tool started.
void PrintPrograms() {
    HANDLE mapping = nullptr;
    ProgramsBlock* programs = MapTestProgramsBlock(false, mapping);
    if (!programs) {
        Print("PROGRAMS none");
        return;
    }
    for (const std::string& line : DescribeProgramsBlock(*programs)) Print("%s", line.c_str());
    UnmapTestProgramsBlock(programs, mapping);
    Print("OK");
}

// Writes a program's fields into the live programs block, within one change.
void WriteProgram(const char* rest) {
    HANDLE mapping = nullptr;
    ProgramsBlock* programs = MapTestProgramsBlock(false, mapping);
    const std::string failure = programs ? WriteTestProgram(*programs, rest) : "no programs block";
    UnmapTestProgramsBlock(programs, mapping);
    if (failure.empty()) Print("OK");
    else Print("ERROR %s", failure.c_str());
}

// A writer that dies in the middle of a change: it holds the programs
// lock, the generation is odd and the first entry is half written.
void TearPrograms() {
    HANDLE mapping = nullptr;
    ProgramsBlock* programs = MapTestProgramsBlock(false, mapping);
    ProgramsLock* lock = new ProgramsLock();  // never let go
    if (!programs || !lock->Held()) {
        Print("ERROR no programs block or no lock");
        return;
    }
    BeginProgramsChange(programs->Header);
    memcpy(programs->Entries[0].Name, "torn", 4);
    programs->Entries[0].FieldMask = 0xFFFFFFFF;
    Print("TORN");
    Sleep(INFINITE);
}

bool Run(HMODULE library, SettingsBlock* block, const char* line) {
    char command[64] = "";
    int used = 0;
    sscanf(line, "%63s %n", command, &used);
    const char* rest = line + used;
    if (!strcmp(command, "quit")) return false;
    if (!strcmp(command, "set")) {
        const std::string unknown = WriteSettingsFields(*block, rest);
        if (unknown.empty()) Print("OK");
        else Print("ERROR unknown field %s", unknown.c_str());
    } else if (!strcmp(command, "get")) {
        const SettingsField* f = FindSettingsField(rest);
        if (f) Print("%s=%ld", f->name, (long)ReadSettingsField(*block, *f));
        else Print("ERROR unknown field %s", rest);
    } else if (!strcmp(command, "dump")) {
        for (const SettingsField& f : kSettingsFields) Print("%s=%ld", f.name, (long)ReadSettingsField(*block, f));
        Print("OK");
    } else if (!strcmp(command, "install")) {
        auto install = LibraryExport<InstallHookFn>(library, "InstallHook");
        long n = atol(rest);
        Print("InstallHook(%ld)=%ld", n, (long)install(n));
    } else if (!strcmp(command, "status")) {
        auto status = LibraryExport<GetHookStatusFn>(library, "GetHookStatus");
        Print("GetHookStatus()=%lu", status ? (unsigned long)status() : 0ul);
    } else if (!strcmp(command, "reset")) {
        memset(block, 0, sizeof *block);
        Print("OK");
    } else if (!strcmp(command, "agentwindow")) {
        HWND agent = MakeStandInAgent();
        block->AgentWindow = FromHwnd(agent);
        Print("AGENTWINDOW=0x%llx", (unsigned long long)(uintptr_t)agent);
    } else if (!strcmp(command, "menu")) {
        HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoull(rest, nullptr, 0)));
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        bool inMenu = GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
                      (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)) != 0;
        Print("MENU=%d", inMenu ? 1 : 0);
    } else if (!strcmp(command, "programs")) {
        PrintPrograms();
    } else if (!strcmp(command, "program")) {
        WriteProgram(rest);
    } else if (!strcmp(command, "tear")) {
        TearPrograms();
    } else if (!strcmp(command, "wheelwindow")) {
        auto create = LibraryExport<CreateWheelWindowFn>(library, "CreateWheelWindow");
        HWND w = create ? create(GetModuleHandleA(nullptr), nullptr) : nullptr;
        Print("CreateWheelWindow=0x%llx", (unsigned long long)(uintptr_t)w);
    } else {
        Print("ERROR unknown command %s", command);
    }
    return true;
}

}  // namespace

int main() {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists before the reader posts
    HMODULE library = LoadLibraryA("PTRHK32A.dll");
    if (!library) {
        Print("ERROR cannot load PTRHK32A.dll (%lu)", GetLastError());
        return 1;
    }
    auto getBlock = LibraryExport<GetMapFilePointerFn>(library, "GetMapFilePointer");
    SettingsBlock* block = static_cast<SettingsBlock*>(getBlock ? getBlock() : nullptr);
    if (!block) {
        Print("ERROR no settings block");
        return 1;
    }
    Print("READY");
    StartCommandReader();
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == WM_COMMAND_LINE) {
            char* line = reinterpret_cast<char*>(msg.lParam);
            bool goOn = Run(library, block, line);
            free(line);
            if (!goOn) break;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
