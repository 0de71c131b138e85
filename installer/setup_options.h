// PtrSetup.exe's command line: /S for no questions, /NORUN (with /S) to leave
// the tray agent unstarted, /ALLUSERS to install for every user of the
// machine, /DOWNGRADE to put this version over a newer one, /D=folder for
// the target folder. /D= comes last and takes the rest of the line, spaces
// and all, without quotes, as Windows installers take it; since no folder
// name holds a "/", a switch after it ends it. /ELEVATED marks the start the
// installer makes of itself with administrator rights.
#pragma once

#include <string>

namespace setup {

struct Options {
    bool silent = false;
    bool noRun = false;
    bool allUsers = false;
    bool downgrade = false;
    bool elevated = false;
    std::string folder;  // empty: the default folder
};

// `arguments` is the command line after the program name. False on an
// argument it does not know, which `unknown` then names; every switch it
// knows is read all the same, so that a silent run stays silent.
bool ParseOptions(const std::string& arguments, Options& options, std::string* unknown = nullptr);

// Whether the tray agent is to be started once the files are in place.
inline bool StartsAgent(const Options& options) { return !(options.silent && options.noRun); }

// Whether this process starts it: never the start with administrator rights
// (its parent, which runs with the user's, does), nor a process whose rights
// are not those of the user's log-on, which would hand the agent the
// administrator's token; the agent then starts at the next log-on.
inline bool StartsAgentItself(const Options& options, bool startsProgramsAsTheUser) {
    return StartsAgent(options) && !options.elevated && startsProgramsAsTheUser;
}

}  // namespace setup
