#include "os_version.h"

#include "late_bound.h"

#include <windows.h>

namespace ptr {

OsVersion CurrentOsVersion() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    OsVersion os;
    os.windows64 = Is64BitWindows();
    if (!GetVersionExA(&info)) return os;
    os.nt = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
    os.major = info.dwMajorVersion;
    os.minor = info.dwMinorVersion;
    return os;
}

bool RunsUnderWow64() {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE process, PBOOL wow64);
    const auto isWow64 = LateBound<IsWow64ProcessFn>(GetModuleHandleA("kernel32.dll"), "IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 != nullptr && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

bool Is64BitWindows() { return sizeof(void*) == 8 || RunsUnderWow64(); }

}  // namespace ptr
