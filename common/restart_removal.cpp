#include "restart_removal.h"

#include "file_checks.h"
#include "paths.h"

#include <windows.h>

#include <vector>

namespace ptr {

namespace {

// The [rename] section is read and written whole: every line of it is a
// "NUL=" line, which the profile functions could not tell apart by key.
bool AddWininitLine(const std::string& wininit, const std::string& line) {
    std::vector<char> section(32 * 1024, '\0');
    const DWORD length = GetPrivateProfileSectionA("rename", section.data(), static_cast<DWORD>(section.size()),
                                                   wininit.c_str());
    if (length + line.size() + 2 >= section.size()) return false;
    // Lines are separated by one zero and the whole ends in two.
    std::string lines(section.data(), length);
    lines += line;
    lines += '\0';
    lines += '\0';
    if (!WritePrivateProfileSectionA("rename", lines.c_str(), wininit.c_str())) return false;
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, wininit.c_str());  // flush the profile cache
    return true;
}

}  // namespace

bool RemoveAtRestart(const std::string& path, bool nt, const std::string& wininit) {
    if (nt) return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
    // The program that reads WININIT.INI at start-up knows only short names,
    // and removes files, not folders.
    if (FolderExists(path)) return false;
    char shortPath[MAX_PATH] = "";
    const DWORD length = GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    return AddWininitLine(wininit, std::string("NUL=") + shortPath);
}

std::string WininitPath() {
    char windows[MAX_PATH] = "";
    const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "";
    return AddBackslash(windows) + "WININIT.INI";
}

}  // namespace ptr
