// Whether something is on the disk at a path.
#pragma once

#include <string>

namespace ptr {

// A file or a folder of that name is there.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// A file of that name, or a folder at the path with one trailing backslash
// taken off.
bool PathExists(const std::string& path);

}  // namespace ptr
