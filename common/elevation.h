// Administrator rights on Vista and later, where a program runs without them
// until the user agrees to give them: the program started again with them.
#pragma once

#include "late_bound.h"

#include <string>

namespace ptr {

// Starts `program` with `parameters` through the shell's verb "runas" (the
// system asks the user) and waits for it. Its exit code, or -1 when it did
// not start (the user declined). Only for Vista and later: older systems
// know no such verb.
int RunElevated(const std::string& program, const std::string& parameters);

// Whether this process already has the administrator rights it could be
// given (Vista and later; false where the system cannot tell, as where the
// token functions cannot be looked up).
bool ProcessIsElevated(ProcLookup lookup = ::GetProcAddress);

}  // namespace ptr
