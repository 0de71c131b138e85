#include "file_version.h"

#include <windows.h>

#include <cstring>

namespace ptr {

namespace {

constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;

std::uint64_t Packed(const FileVersion& v) {
    return (std::uint64_t{v.major} << 48) | (std::uint64_t{v.minor} << 32) | (std::uint64_t{v.patch} << 16) | v.build;
}

// The fixed part of a version resource lies after its key, aligned to four
// bytes; its signature finds it without trusting any length in the file.
bool FindFixedInfo(const unsigned char* data, DWORD size, VS_FIXEDFILEINFO& info) {
    for (DWORD at = 0; at + sizeof info <= size; at += 4) {
        DWORD signature = 0;
        std::memcpy(&signature, data + at, sizeof signature);
        if (signature != kFixedInfoSignature) continue;
        std::memcpy(&info, data + at, sizeof info);
        return true;
    }
    return false;
}

}  // namespace

int CompareVersions(const FileVersion& a, const FileVersion& b) {
    const std::uint64_t x = Packed(a);
    const std::uint64_t y = Packed(b);
    return x < y ? -1 : x > y ? 1 : 0;
}

std::string VersionText(const FileVersion& version) {
    std::string text = std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
                       std::to_string(version.patch);
    if (version.build) text += "." + std::to_string(version.build);
    return text;
}

bool ReadFileVersion(const std::string& path, FileVersion& version) {
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return false;
    bool found = false;
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));  // RT_VERSION
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const auto* data = loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
    VS_FIXEDFILEINFO info = {};
    if (data && FindFixedInfo(data, SizeofResource(module, resource), info)) {
        version.major = HIWORD(info.dwFileVersionMS);
        version.minor = LOWORD(info.dwFileVersionMS);
        version.patch = HIWORD(info.dwFileVersionLS);
        version.build = LOWORD(info.dwFileVersionLS);
        found = true;
    }
    FreeLibrary(module);
    return found;
}

}  // namespace ptr
