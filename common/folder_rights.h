// The rights on a folder that a program for every user of the machine lives
// in, where the system's program folder does not give them already.
#pragma once

#include "late_bound.h"

#include <string>

namespace ptr {

// The rights of the system's program folder, given to `folder` and what it
// holds, and no longer inherited from the folder above: administrators and
// the system change it, users read and run it. NT only (Windows 2000 and
// later; the security functions are looked up); false where the rights could
// not be set.
bool GiveProgramFolderRights(const std::string& folder, ProcLookup lookup = ::GetProcAddress);

}  // namespace ptr
