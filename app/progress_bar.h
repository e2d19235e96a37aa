#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace murinex {

// A progress bar on stderr for the headless programs: done of total ticks,
// ticks per second, the population and a note of the program's own; drawn
// only when stderr is a terminal, so logs and pipes stay clean.
class ProgressBar {
 public:
  explicit ProgressBar(long long total);
  // Redraws every `every` ticks and at the end.
  void Update(long long done, std::size_t mice, const std::string& note = {},
              long long every = 200);

 private:
  long long total_;
  bool enabled_;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace murinex
