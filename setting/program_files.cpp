#include "program_files.h"

#include "app_block.h"

namespace setting {

std::string ProgramFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    const std::string file(path, length < sizeof path ? length : 0);
    return file.substr(0, file.find_last_of('\\') + 1);
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

namespace {

std::string ReadProfileText(const std::string& file, const char* key) {
    char buffer[2048];
    const DWORD length = GetPrivateProfileStringA("MAIN", key, "", buffer, sizeof buffer, file.c_str());
    return std::string(buffer, length);
}

}  // namespace

TSettingsFileTexts ReadSettingsFile(const std::string& folder) {
    const std::string file = folder + kSettingsFile;
    TSettingsFileTexts texts;
    if (!FileExists(file)) return texts;
    texts.version = ReadProfileText(file, "VER");
    texts.caption = ReadProfileText(file, "CAP");
    return texts;
}

TAppBlockView MapAppBlock() {
    TAppBlockView view;
    view.mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kAppBlockSize, kAppBlockName);
    if (!view.mapping) return view;
    view.block = static_cast<uint8_t*>(MapViewOfFile(view.mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!view.block) {
        CloseHandle(view.mapping);
        view.mapping = nullptr;
    }
    return view;
}

void UnmapAppBlock(TAppBlockView& view) {
    if (view.block) UnmapViewOfFile(view.block);
    if (view.mapping) CloseHandle(view.mapping);
    view = TAppBlockView();
}

}  // namespace setting
