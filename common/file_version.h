// The version a file of the suite carries in its version resource, and the
// suite's own (suite_version.h).
#pragma once

#include "suite_version.h"

#include <cstdint>
#include <string>

namespace ptr {

struct FileVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t patch = 0;
    std::uint16_t build = 0;
};

constexpr FileVersion kSuiteVersion = {PTR_VERSION_MAJOR, PTR_VERSION_MINOR, PTR_VERSION_PATCH, 0};

// Negative, zero or positive as `a` is older than, the same as or newer than `b`.
int CompareVersions(const FileVersion& a, const FileVersion& b);
// "3.0.0", and a fourth part only when it is not 0.
std::string VersionText(const FileVersion& version);

// The file version of a program or library's version resource, read as data
// (nothing of the file runs). False when the file has none or cannot be read.
bool ReadFileVersion(const std::string& path, FileVersion& version);

}  // namespace ptr
