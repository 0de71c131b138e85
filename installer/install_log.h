// What the installer puts into the installation log before anything is
// installed, and the values of the registry entries it sets: window-free, so
// that what the uninstaller will read back is tested alone.
#pragma once

#include "inslog.h"
#include "install_table.h"

#include <cstdint>
#include <string>

namespace setup {

// A log that names the product, the wizard's typeface and the tray agent's
// main window, which the uninstaller closes before it removes the files.
inslog::TInsLog NewInstallLog();

// What the values of an installation depend on besides the table.
struct InstallFacts {
    std::string target;            // the folder, without its trailing backslash
    std::string date;              // YYYYMMDD
    std::uint32_t sizeKb = 0;      // of the installed files
};

// The text a registry entry of a text source gets for an installation into
// `target` (a folder without its trailing backslash).
std::string RegistryValueText(const RegistryEntry& entry, const std::string& target);
// The value of any entry.
inslog::RegValue RegistryValueOf(const RegistryEntry& entry, const InstallFacts& facts);

// The wizard's captions as the dialog text file holds them (section "DLG").
std::string DialogTextFile();

}  // namespace setup
