// How often, and with what pauses, an installed file is tried until it goes.
#include "delete_retries.h"

#include <gtest/gtest.h>

#include <vector>

using namespace uninst;

namespace {

// A deletion that fails `failures` times with `error`, recording the pauses.
struct FakeDeletion {
    int failures;
    unsigned long error;
    int attempts = 0;
    std::vector<unsigned> pauses;

    DeleteOps Ops() {
        DeleteOps ops;
        ops.remove = [this](const std::string&) { return ++attempts > failures; };
        ops.lastError = [this] { return error; };
        ops.sleep = [this](unsigned ms) { pauses.push_back(ms); };
        return ops;
    }
};

TEST(DeleteRetries, ExecutableAndFileRules) {
    const std::vector<unsigned> eleven(11, 250);
    const struct {
        bool executable;
        int failures;
        unsigned long error;
        int attempts;
        std::vector<unsigned> pauses;
    } cases[] = {
        {true, 100, 32, 12, eleven},          // locked: 12 attempts, a pause before each retry
        {true, 3, 32, 4, {250, 250, 250}},    // freed while retrying
        {true, 100, 2, 1, {}},                // already gone: no waiting
        {true, 100, 3, 1, {}},
        {false, 100, 32, 12, {250, 250}},     // a locked file: 500 ms of pauses in 12 attempts
        {false, 100, 2, 12, {250, 250}},
        {false, 0, 0, 1, {}},
    };
    for (const auto& c : cases) {
        FakeDeletion fake{c.failures, c.error, 0, {}};
        const int attempts = c.executable ? DeleteInstalledExecutable("x", fake.Ops()) : DeleteInstalledFile("x", fake.Ops());
        EXPECT_EQ(attempts, c.attempts);
        EXPECT_EQ(fake.attempts, c.attempts);
        EXPECT_EQ(fake.pauses, c.pauses);
    }
}

}  // namespace
