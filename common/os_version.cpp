#include "os_version.h"

#include <windows.h>

namespace ptr {

OsVersion CurrentOsVersion() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    OsVersion os;
    if (!GetVersionExA(&info)) return os;
    os.nt = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
    os.major = info.dwMajorVersion;
    os.minor = info.dwMinorVersion;
    return os;
}

}  // namespace ptr
