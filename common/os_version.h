// Which Windows the program runs on, as far as the suite's choices depend on it.
#pragma once

namespace ptr {

struct OsVersion {
    bool nt = true;  // the NT line (NT 4, 2000, XP and later), not 95, 98 or Me
    unsigned major = 5;
    unsigned minor = 1;
    bool windows64 = false;  // 64-bit Windows
};

OsVersion CurrentOsVersion();

// A 32-bit program on 64-bit Windows (kernel32 IsWow64Process, XP SP2 and
// later, looked up at run time: without it the Windows is 32-bit).
bool RunsUnderWow64();
// The Windows is 64-bit: this program is, or runs under WOW64.
bool Is64BitWindows();

// Windows 2000 and later keep programs, their Start-menu entries and the list
// of installed programs per user; 95, 98, Me and NT 4 only for the machine.
inline bool HasPerUserPrograms(const OsVersion& os) { return os.nt && os.major >= 5; }
// Vista and later run programs without administrator rights until asked.
inline bool HasUserAccountControl(const OsVersion& os) { return os.nt && os.major >= 6; }

}  // namespace ptr
