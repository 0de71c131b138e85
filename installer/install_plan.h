// Where an installation goes, by its scope and the Windows it is made on:
// the folder, the roots of the registry entries and the Start-menu folder.
// Window-free and without system calls, so that every branch is tested alone.
#pragma once

#include "install_table.h"
#include "os_version.h"

#include <cstdint>
#include <string>
#include <vector>

namespace setup {

enum class Scope {
    CurrentUser,  // the default: needs no administrator rights
    AllUsers,     // /ALLUSERS: for every user of the machine
};

// The folders the plan is made of, as the system names them at run time;
// empty where the system has none.
struct SystemFolders {
    std::string localAppData;    // the user's local application data
    std::string programFiles;    // the machine's program folder
    std::string userPrograms;    // the user's Start menu, Programs
    std::string commonPrograms;  // every user's Start menu, Programs (NT only)
};

struct InstallPlan {
    Scope scope = Scope::CurrentUser;
    std::string target;  // the default folder of the installation; empty when none can be found
    std::uint32_t suiteRoot = kCurrentUser;
    std::uint32_t runRoot = kCurrentUser;
    std::uint32_t uninstallRoot = kCurrentUser;
    std::string startMenuPrograms;  // where the Start-menu folder goes; empty: no entries
    bool windows64 = false;         // the 64-bit edition's files go too
    std::uint32_t RootOf(KeyPlace place) const;
    // Whether the installation writes the file of the table.
    bool Places(const InstalledFile& file) const { return !file.only64BitWindows || windows64; }
};

// For the current user: on Windows 2000 and later the user's own programs
// folder (local application data\Programs\PTRHK32A) and everything under
// HKEY_CURRENT_USER; on 95, 98, Me and NT 4, which keep programs only for the
// machine, the program folder, with the entry in the list of installed
// programs under HKEY_LOCAL_MACHINE, where those systems read it. For all
// users: the program folder and HKEY_LOCAL_MACHINE.
InstallPlan PlanInstall(Scope scope, const ptr::OsVersion& os, const SystemFolders& folders);

// A registry value the installation writes, with its key's root for the plan.
struct PlannedValue {
    std::uint32_t root;
    const RegistryEntry* entry;
};
std::vector<PlannedValue> PlannedValues(const InstallPlan& plan);

// The keys the suite owns below each root it writes to, and, for all users,
// the user's own key where the tray agent keeps the settings: recorded as
// created when they are missing, so that a removal takes what the suite put
// there later too.
struct OwnKey {
    std::uint32_t root;
    const char* key;
};
std::vector<OwnKey> OwnKeys(const InstallPlan& plan);

// The relative path of an installed file made a path in `target`.
std::string InstalledPath(const std::string& target, const char* file);

}  // namespace setup
