#include "setup_lock.h"

#include "suite_names.h"

namespace ptr {

bool SetupLock::Take(DWORD wait) {
    if (held_) return true;
    if (!mutex_) mutex_ = CreateMutexA(nullptr, FALSE, kSetupMutex);
    // Without a mutex (no memory for one) nobody else could hold it either.
    if (!mutex_) return true;
    const DWORD result = WaitForSingleObject(mutex_, wait);
    held_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    return held_;
}

void SetupLock::Release() {
    if (held_) ReleaseMutex(mutex_);
    held_ = false;
    if (mutex_) CloseHandle(mutex_);
    mutex_ = nullptr;
}

}  // namespace ptr
