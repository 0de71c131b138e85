// What a folder holds on the disk, all the way down.
#pragma once

#include <string>
#include <vector>

namespace ptr {

struct FolderEntry {
    std::string path;      // the full path
    std::string relative;  // the path below the folder walked
    bool folder = false;
};

// Every file and folder below `folder`, each folder just before what it
// holds, in the order the system lists them; none where the folder cannot
// be read.
std::vector<FolderEntry> FolderContents(const std::string& folder);

}  // namespace ptr
