#include "folder_contents.h"

#include "paths.h"

#include <windows.h>

namespace ptr {

namespace {

void CollectEntries(const std::string& folder, const std::string& relative, std::vector<FolderEntry>& entries) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((AddBackslash(folder) + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        FolderEntry entry;
        entry.path = AddBackslash(folder) + name;
        entry.relative = relative + name;
        entry.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entries.push_back(entry);
        if (entry.folder) CollectEntries(entry.path, entry.relative + "\\", entries);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace

std::vector<FolderEntry> FolderContents(const std::string& folder) {
    std::vector<FolderEntry> entries;
    CollectEntries(folder, "", entries);
    return entries;
}

}  // namespace ptr
