// GoogleTest's own port customisation for this build. The toolchain's win32
// thread model (the runtime every shipped binary links) has no std::mutex or
// std::condition_variable, which GoogleTest's Notification uses; it serves
// only GoogleTest's own thread tests, so a plain flag does here. The tests of
// the suite run on one thread.
#pragma once

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    void Notify() { __atomic_store_n(&notified_, true, __ATOMIC_SEQ_CST); }
    void WaitForNotification() {
        while (!__atomic_load_n(&notified_, __ATOMIC_SEQ_CST)) {
        }
    }

private:
    bool notified_ = false;
};

}  // namespace internal
}  // namespace testing
