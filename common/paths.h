// Paths as text: the trailing backslash of a folder.
#pragma once

#include <string>

namespace ptr {

// The path with "\" appended unless it ends in one; an empty path stays empty.
std::string AddBackslash(const std::string& path);
// The path without its last character if that is "\".
std::string RemoveBackslash(const std::string& path);

}  // namespace ptr
