// The files the settings program looks for in its own folder, the settings
// file "SETTING.INI", and the mapping of the application block.
#pragma once

#include "app_block_view.h"
#include "file_checks.h"
#include "module_path.h"
#include "suite_names.h"

#include <string>

namespace setting {

using ptr::FileExists;
using ptr::ProgramFolder;

struct TSettingsFileTexts {
    std::string version;
    std::string caption;
};

// "VER" and "CAP" of section "MAIN"; both empty when the file is missing or a
// key is absent. The file is only read.
TSettingsFileTexts ReadSettingsFile(const std::string& folder);

// The application block, created zero-filled or opened.
using TAppBlockView = ptr::AppBlockView;
using ptr::MapAppBlock;
using ptr::UnmapAppBlock;

}  // namespace setting
