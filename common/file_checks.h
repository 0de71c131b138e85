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
// The root a full path lies on, with its backslash: "C:\" or
// "\\server\share\"; empty for a path that names none.
std::string PathRoot(const std::string& path);
// Whether the root of a full path is there and ready (a drive that is
// missing, an empty card slot, a share that cannot be reached are not).
bool RootIsReady(const std::string& path);
// Whether this process may create files in the folder, or where it does not
// exist yet in the nearest folder above it that does: a file is made there
// and gone at once. False when not even the path's root is there.
bool CanCreateFilesIn(const std::string& folder);

}  // namespace ptr
