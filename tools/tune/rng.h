#pragma once
#include <cstdint>

namespace tune {

// xorshift64*: fixed, seedable and identical everywhere, so noise is part of the composition.
class Rng {
  public:
    explicit Rng(std::uint64_t seed = 0x9e3779b97f4a7c15ull) : state_(seed ? seed : 1) {}

    std::uint64_t next_u64() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545f4914f6cdd1dull;
    }

    // Uniform in [-1, 1).
    float bipolar() {
        auto top = static_cast<std::uint32_t>(next_u64() >> 40); // 24 bits
        return static_cast<float>(top) * (2.0f / 16777216.0f) - 1.0f;
    }

    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next_u64() >> 11) * (1.0 / 9007199254740992.0); }

  private:
    std::uint64_t state_;
};

} // namespace tune
