// Paths as text: the trailing backslash of a folder, and how two paths compare.
#pragma once

#include <string>

namespace ptr {

// The path with "\" appended unless it ends in one; an empty path stays empty.
std::string AddBackslash(const std::string& path);
// The path without its last character if that is "\".
std::string RemoveBackslash(const std::string& path);
// Compares as the user's locale sorts, ignoring case (negative, zero,
// positive): paths of files, folders and registry keys, as Windows matches them.
int CompareLocaleNoCase(const std::string& a, const std::string& b);

}  // namespace ptr
