// One settings program at a time. SettingsWindow names the open form only
// once the form exists, so two starts within a few milliseconds could both
// find it empty: a named mutex, claimed before that check and held until the
// program ends, lets only one of them through.
#pragma once

#include <windows.h>

#include <functional>

namespace setting {

constexpr char kSettingsInstanceMutexName[] = "PtrHkSettingsInstance";
// How long a start waits for the program that holds the mutex to show its
// form (or to end): that program may have started a moment before.
constexpr DWORD kWaitForOtherFormMs = 10000;

class TSingleInstance {
public:
    enum class Outcome {
        Owner,      // this program holds the mutex and goes on
        OtherForm,  // the holder's form is open: bring it forward and end
        Busy,       // the holder showed no form in time: end
    };

    explicit TSingleInstance(const char* name);
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // Waits for the mutex; while another program holds it, asks
    // otherFormOpen() whether that program's form is up. Without a mutex
    // (the system would not make one) the program goes on as the owner.
    Outcome Claim(const std::function<bool()>& otherFormOpen, DWORD timeoutMs);
    bool Owned() const { return owned_; }

private:
    HANDLE mutex_;
    bool owned_ = false;
};

}  // namespace setting
