#include "single_instance.h"

namespace setting {

namespace {

constexpr DWORD kPollMs = 25;

}  // namespace

TSingleInstance::TSingleInstance(const char* name) : mutex_(CreateMutexA(nullptr, FALSE, name)) {}

TSingleInstance::~TSingleInstance() {
    if (owned_) ReleaseMutex(mutex_);
    if (mutex_) CloseHandle(mutex_);
}

TSingleInstance::Outcome TSingleInstance::Claim(const std::function<bool()>& otherFormOpen, DWORD timeoutMs) {
    if (!mutex_) return Outcome::Owner;
    const DWORD start = GetTickCount();
    DWORD wait = 0;
    for (;;) {
        // An abandoned mutex is one whose holder ended without letting go: it is ours now.
        const DWORD result = WaitForSingleObject(mutex_, wait);
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) {
            owned_ = true;
            return Outcome::Owner;
        }
        if (result == WAIT_FAILED) return Outcome::Owner;
        if (otherFormOpen()) return Outcome::OtherForm;
        if (GetTickCount() - start >= timeoutMs) return Outcome::Busy;
        wait = kPollMs;
    }
}

}  // namespace setting
