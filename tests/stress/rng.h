// The stress run's one source of chance: splitmix64, the same numbers for the
// same seed on every build, so that a printed seed replays a run exactly.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace ptr::stress {

class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}

    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // 0 .. n-1 (0 when n is 0).
    uint32_t Below(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(Next() % n); }
    // low .. high, both included.
    int Range(int low, int high) {
        return low + static_cast<int>(Below(static_cast<uint32_t>(static_cast<int64_t>(high) - low + 1)));
    }
    bool Percent(int percent) { return Below(100) < static_cast<uint32_t>(percent); }
    uint32_t Bits32() { return static_cast<uint32_t>(Next()); }

    template <typename T>
    T Pick(std::initializer_list<T> values) {
        return values.begin()[Below(static_cast<uint32_t>(values.size()))];
    }
    template <typename T>
    const T& Pick(const std::vector<T>& values) {
        return values[Below(static_cast<uint32_t>(values.size()))];
    }

private:
    uint64_t state_;
};

}  // namespace ptr::stress
