// The files the settings program looks for in its own folder, and the
// settings file "SETTING.INI".
#pragma once

#include "file_checks.h"
#include "module_path.h"
#include "suite_names.h"

#include <string>

namespace setting {


struct TSettingsFileTexts {
    std::string version;
    std::string caption;
};

// "VER" and "CAP" of section "MAIN"; both empty when the file is missing or a
// key is absent. The file is only read.
TSettingsFileTexts ReadSettingsFile(const std::string& folder);

}  // namespace setting
