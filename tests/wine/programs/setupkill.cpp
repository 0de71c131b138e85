// A test tool that runs a program as its debugger and kills it dead at a
// chosen point, as a power cut or a kill from the task manager would:
//
//   setupkill TEXT PROGRAM [ARGUMENTS...]
//
// The program is started under the tool's debugging; every text it gives the
// debugger (OutputDebugString) is printed as "DEBUG text". At the first one
// that holds TEXT, the program is held there (a debuggee waits while its
// debugger looks at an event), "KILLING text" is printed and the program is
// terminated before it does anything more. The tool ends with "ENDED code"
// once the program has ended, with exit code 0 when it was killed, 1 when it
// ended by itself first, 2 when it could not be started.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Quoted(const char* text) {
    const std::string argument = text;
    return argument.find_first_of(" \t") == std::string::npos ? argument : '"' + argument + '"';
}

// The text of an OUTPUT_DEBUG_STRING_EVENT, read from the debuggee.
std::string DebugText(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
    if (info.fUnicode || info.nDebugStringLength == 0) return "";
    std::string text(info.nDebugStringLength, '\0');
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, info.lpDebugStringData, &text[0], text.size(), &read)) return "";
    text.resize(read);
    while (!text.empty() && (text.back() == '\0' || text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: setupkill TEXT PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    const std::string wanted = argv[1];
    std::string commandLine = Quoted(argv[2]);
    for (int i = 3; i < argc; ++i) commandLine += " " + Quoted(argv[i]);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr,
                        &startup, &process)) {
        std::printf("ENDED cannot start (error %lu)\n", GetLastError());
        return 2;
    }
    bool killed = false;
    bool firstBreak = true;
    DWORD exitCode = 0;
    for (;;) {
        DEBUG_EVENT event = {};
        if (!WaitForDebugEvent(&event, INFINITE)) break;
        DWORD status = DBG_CONTINUE;
        if (event.dwDebugEventCode == OUTPUT_DEBUG_STRING_EVENT && event.dwProcessId == process.dwProcessId) {
            const std::string text = DebugText(process.hProcess, event.u.DebugString);
            std::printf("DEBUG %s\n", text.c_str());
            if (!killed && text.find(wanted) != std::string::npos) {
                std::printf("KILLING %s\n", text.c_str());
                TerminateProcess(process.hProcess, 9);
                killed = true;
            }
        } else if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT) {
            // The loader's first breakpoint is the debugger's; every other
            // exception (a C++ throw among them) is the program's own.
            const DWORD code = event.u.Exception.ExceptionRecord.ExceptionCode;
            const bool loaderBreak = firstBreak && code == EXCEPTION_BREAKPOINT;
            firstBreak = firstBreak && !loaderBreak;
            if (!loaderBreak) status = DBG_EXCEPTION_NOT_HANDLED;
        } else if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT) {
            if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        } else if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT) {
            if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
        } else if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT && event.dwProcessId == process.dwProcessId) {
            exitCode = event.u.ExitProcess.dwExitCode;
            ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
            break;
        }
        std::fflush(stdout);
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::printf("ENDED %lu\n", exitCode);
    std::fflush(stdout);
    return killed ? 0 : 1;
}
