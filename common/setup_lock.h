// One installation or removal of the suite at a time: the installer holds
// the lock for its whole run, the uninstaller while it removes the suite.
#pragma once

#include <windows.h>

namespace ptr {

class SetupLock {
public:
    SetupLock() = default;
    ~SetupLock() { Release(); }
    SetupLock(const SetupLock&) = delete;
    SetupLock& operator=(const SetupLock&) = delete;

    // Waits at most `wait` milliseconds for the lock; false when another
    // installation or removal still holds it. A holder that ended without
    // letting go (killed) does not keep it.
    bool Take(DWORD wait);
    void Release();
    bool Held() const { return held_; }

private:
    HANDLE mutex_ = nullptr;
    bool held_ = false;
};

}  // namespace ptr
