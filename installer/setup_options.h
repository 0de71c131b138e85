// PtrSetup.exe's command line: /S for no questions, /NORUN (with /S) to leave
// the tray agent unstarted, /ALLUSERS to install for every user of the
// machine, /D=folder for the target folder (the rest of the line, so a
// folder may hold spaces unquoted). /ELEVATED marks the start the installer
// makes of itself with administrator rights.
#pragma once

#include <string>

namespace setup {

struct Options {
    bool silent = false;
    bool noRun = false;
    bool allUsers = false;
    bool elevated = false;
    std::string folder;  // empty: the default folder
};

// `arguments` is the command line after the program name. False on an
// argument it does not know.
bool ParseOptions(const std::string& arguments, Options& options);

// Whether the tray agent is started once the files are in place.
inline bool StartsAgent(const Options& options) { return !(options.silent && options.noRun); }

}  // namespace setup
