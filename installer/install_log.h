// What the installer puts into the installation log before anything is
// installed, and the texts of the registry values it sets: window-free, so
// that what the uninstaller will read back is tested alone.
#pragma once

#include "ainslog.h"
#include "install_table.h"

#include <string>

namespace setup {

// A log that names the product, the wizard's typeface and the tray agent's
// main window, which the uninstaller closes before it removes the files.
uninst::TInsLog NewInstallLog();

// The text a registry entry gets for an installation into `target` (a folder
// without its trailing backslash).
std::string RegistryValueText(const RegistryEntry& entry, const std::string& target);

}  // namespace setup
