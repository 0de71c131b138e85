// Administrator rights on Vista and later, where a program runs without them
// until the user agrees to give them: the program started again with them,
// and what a process with them must not do in the user's name.
#pragma once

#include "late_bound.h"

#include <string>

namespace ptr {

struct ElevatedRun {
    bool started = false;        // false: the user declined, or the system could not start it
    unsigned long exitCode = 0;  // of the start with the rights, once it has ended
};

// Starts `program` with `parameters` through the shell's verb "runas" (the
// system asks the user) and waits for it. Only for Vista and later: older
// systems know no such verb.
ElevatedRun RunElevated(const std::string& program, const std::string& parameters);

// Whether this process already has the administrator rights it could be
// given (Vista and later; false where the system cannot tell, as where the
// token functions cannot be looked up).
bool ProcessIsElevated(ProcLookup lookup = ::GetProcAddress);

// Whether a program this process starts runs as the user's log-on would
// start it. Not in a session without the user's desktop (a service's), and
// not from a process with administrator rights that the user's shell lacks
// ("Run as administrator", or the start a program makes of itself with the
// rights): what it starts would get the administrator's token. Where no
// shell runs to compare with, this process's rights are the user's.
bool StartsProgramsAsTheUser(ProcLookup lookup = ::GetProcAddress);

}  // namespace ptr
