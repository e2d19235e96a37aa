#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace murinex::test {

// The run's generator written out once more from its formula, seed := seed *
// 134775813 + 1 (mod 2^32) and uniform = seed / 2^32, so that a test can say
// which value a draw gives and how many draws an operation made.
class ReferenceRandom {
 public:
  explicit ReferenceRandom(std::uint32_t seed) : seed_(seed) {}
  double Next() {
    seed_ = seed_ * 134775813u + 1u;
    return static_cast<double>(seed_) / 4294967296.0;
  }
  std::uint32_t Seed() const { return seed_; }

 private:
  std::uint32_t seed_;
};

// The seed after `draws` draws from `seed`.
inline std::uint32_t SeedAfter(std::uint32_t seed, int draws) {
  ReferenceRandom r(seed);
  for (int i = 0; i < draws; ++i)
    r.Next();
  return r.Seed();
}

// The first `count` uniform values drawn from `seed`.
inline std::vector<double> DrawsFrom(std::uint32_t seed, int count) {
  ReferenceRandom r(seed);
  std::vector<double> values;
  for (int i = 0; i < count; ++i)
    values.push_back(r.Next());
  return values;
}

// The smallest seed from 1 on whose first draws satisfy `wanted`.
inline std::uint32_t FindSeed(int count,
                              const std::function<bool(const std::vector<double>&)>& wanted) {
  for (std::uint32_t seed = 1;; ++seed)
    if (wanted(DrawsFrom(seed, count))) return seed;
}

}  // namespace murinex::test
