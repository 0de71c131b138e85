// What the hook logic shares beyond one process: HookSharedState, the
// desktop-wide state every copy of either library shares through a named
// mapping (common/desktop_state.h), and LibraryHooks, the hook handles of one
// library file, in that library's own shared data section: only the library
// that installed a hook can unhook it, and every copy of it passes messages
// on along the chain with it.
#pragma once

#include "desktop_state.h"

#include <cstddef>
#include <cstdint>

namespace ptr {

struct LibraryHooks {
    uint32_t MouseHook;     // WH_MOUSE, MouseProc
    uint32_t MsgFilterHook; // WH_SYSMSGFILTER, SysMsgHookProc
    uint32_t Nt4WheelHook;  // WH_MOUSE_LL, LowLevelMouseProc (Windows NT 4)
    uint32_t XButtonHook;   // WH_MOUSE_LL, LowLevelMouseProc5 (Windows 2000 and later)
};

// Windows versions as the library tells them apart.
enum OsKindValue : int32_t {
    OS_OTHER = 0,
    OS_WIN95 = 1,
    OS_WIN98 = 2,
    OS_NT4 = 3,
    OS_WIN2000 = 4,
    OS_WINME = 5,
    OS_WINXP = 6,
};

// Kind of the host process, from the base name of its executable.
enum ProcessKindValue : int32_t {
    PROCESS_OTHER = 0,
    PROCESS_WORD = 1,
    PROCESS_EXCEL = 3,
    PROCESS_NETSCP6 = 4,
    PROCESS_RUNDLL32 = 5,
};

}  // namespace ptr
