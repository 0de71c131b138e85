// What the installer asks the system: its folders, the rights an
// installation for all users needs, the installation already there and what
// a target folder holds.
#pragma once

#include "file_version.h"
#include "inslog.h"
#include "install_plan.h"

#include <string>
#include <vector>

namespace setup {

// The folders by the shell's names for them (SHGetSpecialFolderLocation; the
// user's local application data needs shell32 5.0, where the registry's
// list of shell folders stands in), the program folder by the registry.
SystemFolders QuerySystemFolders();

// Whether this process may write what an installation for all users writes:
// files in `target` (or the nearest folder above it that exists), the
// machine's Run key and list of installed programs. Nothing is left written.
bool CanInstallForMachine(const std::string& target);

// The day, YYYYMMDD.
std::string Today();

// The folder the scope's entry in the list of installed programs names, when
// a log of the suite lies there; empty otherwise.
std::string InstalledFolder(const InstallPlan& plan);

// The folder of the suite's installation of the other scope (for all users
// when `plan` is for the current user, and the other way round), by the
// folder its key names, when a log of the suite lies there; empty otherwise.
std::string OtherScopeFolder(const InstallPlan& plan);

// The version of the suite installed in `folder`, from its hook library;
// false when it carries none (an installation older than version resources).
bool InstalledVersion(const std::string& folder, ptr::FileVersion& version);

enum class TargetState {
    Missing,          // no such folder yet
    Empty,            // a folder without files (empty folders below it are fine)
    OwnInstallation,  // the suite's own earlier installation: its log is there
    Foreign,          // files that are not the suite's
};

struct TargetCheck {
    TargetState state = TargetState::Missing;
    std::vector<std::string> foreignFiles;  // a few of them, relative to the folder
};

// Looks at the target folder; for the suite's own installation its log is
// loaded into `earlier`. The file an installation killed while writing its
// log left there counts as the suite's.
TargetCheck CheckTarget(const std::string& target, inslog::TInsLog& earlier);

// Two paths of the same folder, whatever the case and a trailing backslash.
bool SameFolder(const std::string& a, const std::string& b);

}  // namespace setup
