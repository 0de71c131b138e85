// Notifications that the form sets off itself while it loads its controls
// run no handler: a counter that is positive while a Quiet lives.
#pragma once

namespace setting {

class Quiet {
public:
    explicit Quiet(int& counter) : counter_(counter) { ++counter_; }
    ~Quiet() { --counter_; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

private:
    int& counter_;
};

}  // namespace setting
