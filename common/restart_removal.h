// What cannot be removed now (a file in use) is removed when Windows restarts,
// where the system allows it.
#pragma once

#include <string>

namespace ptr {

// NT: MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT, for files and empty
// folders (it needs the right to write the machine's part of the registry).
// 95, 98 and Me: a "NUL=<short path>" line in the [rename] section of
// WININIT.INI (`wininit`), for files only. False when nothing was arranged.
bool RemoveAtRestart(const std::string& path, bool nt, const std::string& wininit);

// WININIT.INI in the Windows folder.
std::string WininitPath();

}  // namespace ptr
