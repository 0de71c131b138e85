#include "file_checks.h"

#include "paths.h"

#include <windows.h>

#include <string>

namespace ptr {

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool PathExists(const std::string& path) { return FileExists(path) || FolderExists(RemoveBackslash(path)); }

std::string PathRoot(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2) + "\\";
    if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
        // \\server\share\: the share is the root.
        const std::size_t server = path.find('\\', 2);
        if (server == std::string::npos || server == 2) return "";
        const std::size_t share = path.find('\\', server + 1);
        if (share == server + 1) return "";
        return AddBackslash(path.substr(0, share));
    }
    return "";
}

bool RootIsReady(const std::string& path) {
    const std::string root = PathRoot(path);
    return !root.empty() && FolderExists(root);
}

bool CanCreateFilesIn(const std::string& target) {
    // The walk up ends at the root: a missing drive has no folder to try.
    if (!RootIsReady(target)) return false;
    std::string folder = RemoveBackslash(target);
    const std::string root = PathRoot(target);
    while (!FolderExists(folder)) {
        const std::size_t slash = folder.find_last_of('\\');
        if (slash == std::string::npos || slash + 1 <= root.size()) {
            folder = root;
            break;
        }
        folder = folder.substr(0, slash);
    }
    // A name that is taken is tried again with another.
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::string probe = AddBackslash(folder) + "~ptr" + std::to_string(GetCurrentProcessId()) + "-" +
                                  std::to_string(attempt) + ".tmp";
        HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

}  // namespace ptr
