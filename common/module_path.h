// Where a program runs from: its file and its folder.
#pragma once

#include <windows.h>

#include <string>

namespace ptr {

// The full path of a module's file (the program's own without one); empty
// when the system cannot tell it.
std::string ModulePath(HMODULE module = nullptr);
// The folder of the program file, ending in a backslash.
std::string ProgramFolder();

}  // namespace ptr
