// What a removal may act on, whatever a log says: the files and folders of
// the suite's installation folder and of its Start-menu folder, the suite's
// own registry keys and its own values in keys it shares with other programs.
// A log is a file anyone who can write the folder may have changed; what lies
// outside these bounds is left alone and named.
#pragma once

#include "inslog.h"

#include <string>
#include <vector>

namespace uninst {

struct SuiteBounds {
    std::string installFolder;                  // where the installed uninstaller lies
    std::vector<std::string> startMenuFolders;  // the suite's folder in the user's and every user's Start menu
};

// The bounds of an installation whose uninstaller is `installedExecutable`,
// with the Start-menu folders as the shell names them.
SuiteBounds SystemSuiteBounds(const std::string& installedExecutable);

// A path made full (no "..", no relative part) and long (no short names,
// where the system can tell them), so that two names of one place compare equal.
std::string CanonicalPath(const std::string& path);

// Whether a registry record of a log names what the suite may change: a key
// at or below the suite's own keys (Software\PTRHK32A, the entry in the list
// of installed programs) under HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE, its
// value in the Run key, or, for a shared key that goes only when empty, a key
// above those.
bool RecordWithinBounds(const inslog::TUninsRegObject& record);

// Takes out of the log every file, folder and registry record outside the
// bounds, and returns them as the user reads them: files below the
// installation or the Start-menu folder; folders that are one of them or lie
// below them, or lie above the installation folder (a folder goes only when
// empty).
std::vector<std::string> KeepWithinBounds(inslog::TInsLog& log, const SuiteBounds& bounds);

}  // namespace uninst
