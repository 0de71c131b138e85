// Where a program that the user may have started from a downloads or
// temporary folder looks for the system DLLs it loads after start-up.
#pragma once

#include "late_bound.h"

namespace ptr {

// From now on, DLLs that this process loads by name come from the system
// folder only, never from the program's own folder or the current one
// (where anyone may have put a DLL of a system DLL's name): through
// SetDefaultDllDirectories where the system has it (Windows 8, and 7 and
// Vista with its update); else SetDllDirectory("") takes at least the
// current folder out of the search (XP SP1 and later). False where neither
// exists. The DLLs a program imports are loaded before any of its code runs,
// so what it imports must be the system's known DLLs.
bool SearchSystemFolderForDlls(ProcLookup lookup = ::GetProcAddress);

}  // namespace ptr
