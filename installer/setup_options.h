// PtrSetup.exe's command line: /S for no questions, /D=folder for the target
// folder (the rest of the line, so a folder may hold spaces unquoted).
#pragma once

#include <string>

namespace setup {

struct Options {
    bool silent = false;
    std::string folder;  // empty: the default folder
};

// `arguments` is the command line after the program name. False on an
// argument it does not know.
bool ParseOptions(const std::string& arguments, Options& options);

}  // namespace setup
