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

bool CanCreateFilesIn(const std::string& target) {
    std::string folder = RemoveBackslash(target);
    while (!FolderExists(folder)) {
        const std::size_t slash = folder.find_last_of('\\');
        if (slash == std::string::npos) return false;
        folder = folder.substr(0, slash);
        if (folder.size() == 2) folder += '\\';  // a drive root
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
