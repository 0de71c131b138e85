// The files the settings program looks for in its own folder, the settings
// file "SETTING.INI", and the mapping of the application block.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace setting {

constexpr char kSettingsFile[] = "SETTING.INI";
constexpr char kTrayIconFile[] = "RES\\Tray.ico";
constexpr char kLogoFile[] = "Logo.bmp";
constexpr char kMouseBitmapFile[] = "MOUSE.BMP";
constexpr char kRegionDataFile[] = "Setting.KRD";

// The folder of the program file, ending in a backslash.
std::string ProgramFolder();
bool FileExists(const std::string& path);

struct TSettingsFileTexts {
    std::string version;
    std::string caption;
};

// "VER" and "CAP" of section "MAIN"; both empty when the file is missing or a
// key is absent. The file is only read.
TSettingsFileTexts ReadSettingsFile(const std::string& folder);

// The application block, created zero-filled or opened.
struct TAppBlockView {
    HANDLE mapping = nullptr;
    uint8_t* block = nullptr;
};

TAppBlockView MapAppBlock();
void UnmapAppBlock(TAppBlockView& view);

}  // namespace setting
