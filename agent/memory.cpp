#include "agent/memory.h"

#include <algorithm>
#include <cmath>

#include "agent/maus.h"
#include "sim/run.h"

namespace murinex {

double FadeRetention(Run& run, TGoalAvLoc& place, double rate) {
  const double elapsed = static_cast<double>(run.TickCount) - place.LastRecall;
  const double s = std::min(place.Retention * place.Retention, 1.0);
  double v = s - run.random.Uniform() * elapsed * rate;
  if (v < 0) v = 0;
  place.LastRecall = run.TickCount;
  return std::sqrt(v);
}

bool Recall(Run& run, TMaus& m, TGoalAvLoc& place) {
  place.Retention = FadeRetention(run, place, m.P(param::RateForget));
  const bool recalled = place.Retention > run.random.Uniform();
  if (recalled) {
    const double root = std::sqrt(place.Retention) + m.P(param::RateReinforce);
    place.Retention = root * root;
    if (place.Retention > 1) place.Retention = 1;
  }
  return recalled;
}

}  // namespace murinex
