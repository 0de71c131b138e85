#include "delete_retries.h"

namespace uninst {

int DeleteInstalledExecutable(const std::string& path, const DeleteOps& ops) {
    int attempt = 1;
    for (;; ++attempt) {
        if (attempt > 1) ops.sleep(kRetryPause);
        if (ops.remove(path)) break;
        const unsigned long error = ops.lastError();
        if (error == kErrorFileNotFound || error == kErrorPathNotFound || attempt == kDeleteAttempts) break;
    }
    return attempt;
}

int DeleteInstalledFile(const std::string& path, const DeleteOps& ops) {
    int attempt = 1;
    for (;; ++attempt) {
        if (ops.remove(path) || attempt == kDeleteAttempts) break;
        if (attempt <= 2) ops.sleep(kRetryPause);
    }
    return attempt;
}

}  // namespace uninst
