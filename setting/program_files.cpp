#include "program_files.h"

#include <windows.h>

namespace setting {

namespace {

std::string ReadProfileText(const std::string& file, const char* key) {
    char buffer[2048];
    const DWORD length = GetPrivateProfileStringA("MAIN", key, "", buffer, sizeof buffer, file.c_str());
    return std::string(buffer, length);
}

}  // namespace

TSettingsFileTexts ReadSettingsFile(const std::string& folder) {
    const std::string file = folder + ptr::kSettingsIniFile;
    TSettingsFileTexts texts;
    if (!ptr::FileExists(file)) return texts;
    texts.version = ReadProfileText(file, "VER");
    texts.caption = ReadProfileText(file, "CAP");
    return texts;
}

}  // namespace setting
