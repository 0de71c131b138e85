#include "elevation.h"

#include "late_bound.h"

#include <windows.h>
#include <shellapi.h>

namespace ptr {

namespace {

// TokenElevation of GetTokenInformation, Vista and later.
constexpr int kTokenElevation = 20;
constexpr DWORD kQueryInformation = 0x0400;  // PROCESS_QUERY_INFORMATION
constexpr int kObjectName = 2;               // UOI_NAME

using OpenProcessTokenFn = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
using GetTokenInformationFn = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD, PDWORD);
using GetShellWindowFn = HWND(WINAPI*)();
using GetProcessWindowStationFn = HANDLE(WINAPI*)();
using GetUserObjectInformationFn = BOOL(WINAPI*)(HANDLE, int, PVOID, DWORD, LPDWORD);

enum class Elevation { Unknown, No, Yes };

// The token functions are NT's; Windows 95 has none of them to import.
Elevation ElevationOf(HANDLE process, ProcLookup lookup) {
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    const auto openToken = LateBound<OpenProcessTokenFn>(advapi, "OpenProcessToken", lookup);
    const auto tokenInformation = LateBound<GetTokenInformationFn>(advapi, "GetTokenInformation", lookup);
    HANDLE token = nullptr;
    if (!openToken || !tokenInformation || !openToken(process, TOKEN_QUERY, &token)) return Elevation::Unknown;
    DWORD elevated = 0;
    DWORD size = 0;
    const bool known = tokenInformation(token, kTokenElevation, &elevated, sizeof elevated, &size) != FALSE;
    CloseHandle(token);
    if (!known) return Elevation::Unknown;
    return elevated ? Elevation::Yes : Elevation::No;
}

// A service's session has window stations of its own; the user's desktop
// lies in "WinSta0". Systems without window stations have only the user's.
bool InTheUsersWindowStation(ProcLookup lookup) {
    HMODULE user = GetModuleHandleA("user32.dll");
    const auto station = LateBound<GetProcessWindowStationFn>(user, "GetProcessWindowStation", lookup);
    const auto information = LateBound<GetUserObjectInformationFn>(user, "GetUserObjectInformationA", lookup);
    if (!station || !information) return true;
    char name[64] = "";
    DWORD needed = 0;
    if (!information(station(), kObjectName, name, sizeof name - 1, &needed)) return true;
    return lstrcmpiA(name, "WinSta0") == 0;
}

}  // namespace

ElevatedRun RunElevated(const std::string& program, const std::string& parameters) {
    ElevatedRun run;
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = "runas";
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info) || !info.hProcess) return run;
    run.started = true;
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    run.exitCode = code;
    return run;
}

bool ProcessIsElevated(ProcLookup lookup) { return ElevationOf(GetCurrentProcess(), lookup) == Elevation::Yes; }

bool StartsProgramsAsTheUser(ProcLookup lookup) {
    if (!InTheUsersWindowStation(lookup)) return false;
    if (!ProcessIsElevated(lookup)) return true;
    const auto shellWindow = LateBound<GetShellWindowFn>(GetModuleHandleA("user32.dll"), "GetShellWindow", lookup);
    HWND shell = shellWindow ? shellWindow() : nullptr;
    DWORD shellProcessId = 0;
    if (shell) GetWindowThreadProcessId(shell, &shellProcessId);
    if (!shellProcessId) return true;
    HANDLE process = OpenProcess(kQueryInformation, FALSE, shellProcessId);
    if (!process) return false;
    const Elevation shellElevation = ElevationOf(process, lookup);
    CloseHandle(process);
    return shellElevation == Elevation::Yes;
}

}  // namespace ptr
