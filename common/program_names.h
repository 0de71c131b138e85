// The file name of the program another process runs, found the way each
// system allows: tool help (Windows 95, 98, Me, 2000 and later; NT 4's
// kernel32 has none of it), and PSAPI where tool help is missing or does not
// find the process (NT 4, which has psapi.dll). Every function is looked up at
// run time. Header-only and free of any runtime, so that the hook library
// uses it as the settings program does.
#pragma once

#include "late_bound.h"

#include <windows.h>

#include <tlhelp32.h>

namespace ptr {

struct ProgramNameLookup {
    using SnapshotFn = HANDLE(WINAPI*)(DWORD flags, DWORD processId);
    using Process32Fn = BOOL(WINAPI*)(HANDLE snapshot, PROCESSENTRY32* entry);
    using EnumModulesFn = BOOL(WINAPI*)(HANDLE process, HMODULE* modules, DWORD size, DWORD* needed);
    using ModuleBaseNameFn = DWORD(WINAPI*)(HANDLE process, HMODULE module, LPSTR name, DWORD size);

    ProcLookup lookup = nullptr;
    SnapshotFn createSnapshot = nullptr;
    Process32Fn processFirst = nullptr;
    Process32Fn processNext = nullptr;
    // psapi.dll is loaded at the first lookup that needs it, never during a
    // library's process attach.
    bool psapiTried = false;
    EnumModulesFn enumModules = nullptr;
    ModuleBaseNameFn moduleBaseName = nullptr;
};

// Looks up tool help in kernel32; safe during a process attach.
inline void BindProgramNameLookup(ProgramNameLookup& names, ProcLookup lookup = ::GetProcAddress) {
    names = ProgramNameLookup();
    names.lookup = lookup;
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    names.createSnapshot = LateBound<ProgramNameLookup::SnapshotFn>(kernel, "CreateToolhelp32Snapshot", lookup);
    names.processFirst = LateBound<ProgramNameLookup::Process32Fn>(kernel, "Process32First", lookup);
    names.processNext = LateBound<ProgramNameLookup::Process32Fn>(kernel, "Process32Next", lookup);
    if (!names.createSnapshot || !names.processFirst || !names.processNext) {
        names.createSnapshot = nullptr;
        names.processFirst = names.processNext = nullptr;
    }
}

// Copies the part of path after its last '\', '/' or ':' into out (with its
// zero); returns its length, or 0 when it is empty or does not fit.
inline DWORD CopyFileNamePart(const char* path, char* out, DWORD size) {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p)
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    DWORD length = 0;
    while (name[length] != '\0') ++length;
    if (length == 0 || length >= size) return 0;
    for (DWORD i = 0; i <= length; ++i) out[i] = name[i];
    return length;
}

inline DWORD ProgramNameByToolHelp(const ProgramNameLookup& names, DWORD processId, char* out, DWORD size) {
    if (!names.createSnapshot) return 0;
    HANDLE snapshot = names.createSnapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE || snapshot == nullptr) return 0;
    PROCESSENTRY32 entry;
    for (DWORD i = 0; i < sizeof entry; ++i) reinterpret_cast<char*>(&entry)[i] = 0;
    entry.dwSize = sizeof entry;
    DWORD length = 0;
    for (BOOL more = names.processFirst(snapshot, &entry); more; more = names.processNext(snapshot, &entry)) {
        if (entry.th32ProcessID != processId) continue;
        // Windows 9x gives the whole path, NT the file name; either may fill the field.
        entry.szExeFile[sizeof entry.szExeFile - 1] = '\0';
        length = CopyFileNamePart(entry.szExeFile, out, size);
        break;
    }
    ::CloseHandle(snapshot);
    return length;
}

inline DWORD ProgramNameByPsapi(ProgramNameLookup& names, DWORD processId, char* out, DWORD size) {
    if (!names.psapiTried) {
        names.psapiTried = true;
        HMODULE psapi = ::LoadLibraryA("psapi.dll");
        names.enumModules = LateBound<ProgramNameLookup::EnumModulesFn>(psapi, "EnumProcessModules", names.lookup);
        names.moduleBaseName = LateBound<ProgramNameLookup::ModuleBaseNameFn>(psapi, "GetModuleBaseNameA", names.lookup);
    }
    if (!names.enumModules || !names.moduleBaseName) return 0;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (process == nullptr) return 0;
    // The first module of a process is its program.
    HMODULE program = nullptr;
    DWORD needed = 0;
    char name[MAX_PATH];
    DWORD got = 0;
    if (names.enumModules(process, &program, sizeof program, &needed) && program != nullptr)
        got = names.moduleBaseName(process, program, name, MAX_PATH);
    ::CloseHandle(process);
    if (got == 0 || got >= MAX_PATH) return 0;
    name[got] = '\0';
    return CopyFileNamePart(name, out, size);
}

// The program's file name ("notepad.exe") with its zero in out; its length,
// or 0 when no way finds it (the process ended, or the name does not fit).
inline DWORD ProgramNameOfProcess(ProgramNameLookup& names, DWORD processId, char* out, DWORD size) {
    if (size == 0) return 0;
    out[0] = '\0';
    DWORD length = ProgramNameByToolHelp(names, processId, out, size);
    if (length == 0) length = ProgramNameByPsapi(names, processId, out, size);
    return length;
}

}  // namespace ptr
