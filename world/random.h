#pragma once

#include <cstdint>

namespace murinex {

// The program-wide linear congruential generator. Every draw advances the seed
// first; the order of draws is part of the behaviour of a run, so nothing but
// the simulation's own decisions may draw from it.
class Random {
 public:
  explicit Random(std::uint32_t seed = 1) : seed_(seed) {}

  void SetSeed(std::uint32_t seed) { seed_ = seed; }
  std::uint32_t Seed() const { return seed_; }

  // 0 <= result < n: the high 32 bits of the 64-bit product seed * n.
  std::uint32_t Below(std::uint32_t n) {
    Advance();
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(seed_) * n) >> 32);
  }

  // A uniform real in [0, 1).
  double Uniform() {
    Advance();
    return static_cast<double>(seed_) / 4294967296.0;
  }

 private:
  void Advance() { seed_ = seed_ * 134775813u + 1u; }

  std::uint32_t seed_;
};

}  // namespace murinex
