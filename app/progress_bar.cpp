#include "app/progress_bar.h"

#include <unistd.h>

#include <cstdio>

namespace murinex {

ProgressBar::ProgressBar(long long total)
    : total_(total),
      enabled_(isatty(STDERR_FILENO) && total > 0),
      start_(std::chrono::steady_clock::now()) {}

void ProgressBar::Update(long long done, std::size_t mice, const std::string& note,
                         long long every) {
  if (!enabled_ || (done % every != 0 && done != total_)) return;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
  const int width = 40;
  const int filled = static_cast<int>(width * done / total_);
  std::fprintf(stderr, "\r[%s%s] %lld/%lld ticks  %.0f ticks/s  %zu mice  %s ",
               std::string(filled, '#').c_str(), std::string(width - filled, '.').c_str(), done,
               total_, rate, mice, note.c_str());
  if (done == total_) std::fprintf(stderr, "\n");
}

}  // namespace murinex
