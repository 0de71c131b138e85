#include "elevation.h"

#include "late_bound.h"

#include <windows.h>
#include <shellapi.h>

namespace ptr {

namespace {

// TokenElevation of GetTokenInformation, Vista and later.
constexpr int kTokenElevation = 20;

using OpenProcessTokenFn = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
using GetTokenInformationFn = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD, PDWORD);

}  // namespace

int RunElevated(const std::string& program, const std::string& parameters) {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = "runas";
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info) || !info.hProcess) return -1;
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    return static_cast<int>(code);
}

// The token functions are NT's; Windows 95 has none of them to import.
bool ProcessIsElevated(ProcLookup lookup) {
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    const auto openToken = LateBound<OpenProcessTokenFn>(advapi, "OpenProcessToken", lookup);
    const auto tokenInformation = LateBound<GetTokenInformationFn>(advapi, "GetTokenInformation", lookup);
    HANDLE token = nullptr;
    if (!openToken || !tokenInformation || !openToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    DWORD elevated = 0;
    DWORD size = 0;
    const bool known = tokenInformation(token, kTokenElevation, &elevated, sizeof elevated, &size) != FALSE;
    CloseHandle(token);
    return known && elevated != 0;
}

}  // namespace ptr
