// Deleting an installed file that may still be in use, with retries: the
// rules alone, the system's calls handed in.
#pragma once

#include <functional>
#include <string>

namespace uninst {

constexpr int kDeleteAttempts = 12;
constexpr unsigned kRetryPause = 250;
constexpr unsigned long kErrorFileNotFound = 2;
constexpr unsigned long kErrorPathNotFound = 3;

// What a deletion needs from the system, so the retry rules can be checked alone.
struct DeleteOps {
    std::function<bool(const std::string&)> remove;  // true on success
    std::function<unsigned long()> lastError;
    std::function<void(unsigned)> sleep;
};

// The installed executable: up to 12 attempts with a pause before each retry,
// ending early when the file or its path is already gone. Returns the attempts.
int DeleteInstalledExecutable(const std::string& path, const DeleteOps& ops);
// An installed file: up to 12 attempts; only the first two failures are
// followed by a pause. Returns the attempts.
int DeleteInstalledFile(const std::string& path, const DeleteOps& ops);

}  // namespace uninst
