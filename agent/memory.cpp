#include "agent/memory.h"

#include <algorithm>
#include <cmath>

#include "agent/maus.h"
#include "agent/needs.h"
#include "model/run.h"
#include "world/inside.h"

namespace murinex {

need::Need BestNeedOf(Run& run, TMaus& m, goal::Goal kind) {
  const TGoalMemEl& el = FindElement(m.GoalMemory, run.settings, kind);
  double best = -100000;
  need::Need index = need::NoNeed;
  for (int i = 0; i < need::Count; ++i) {
    if (el.Values[i] > best) {
      best = el.Values[i];
      index = static_cast<need::Need>(i);
    }
  }
  return index;
}

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

bool LocUsable(Run& run, TMaus& m, TGoalAvLoc& place) {
  if (Distance(m.Position, place.Pos) > m.P(param::SightWidth)) return false;
  if (!run.World->Inside().PathOnTerrain(m.Position, place.Pos, (1 - m.Inhib) / 10)) return false;
  return Recall(run, m, place);
}

namespace {

bool Remembered(goal::Goal kind) {
  return kind == goal::Food || kind == goal::Water || kind == goal::Vorarazav ||
         kind == goal::HealingHerbs;
}

// A new listed place with the given sign and retention.
PlaceHandle NewPlace(Run& run, TMaus& m, goal::Goal kind, TPoint point, char sign,
                     double retention) {
  const PlaceHandle handle = m.GoalLocations.New();
  TGoalAvLoc& place = m.GoalLocations.At(handle);
  place.Element = &FindElement(m.GoalMemory, run.settings, kind);
  place.Pos = point;
  place.NextIndex = -1;
  place.LastRecall = run.TickCount;
  place.Progress = 1;
  place.Quality = 1;
  place.Sign = sign;
  place.Retention = retention;
  m.GoalLocations.Append(handle);
  run.Stats.Add(stat::Learn, 1);
  return handle;
}

}  // namespace

bool RememberGoalPlace(Run& run, TMaus& m, goal::Goal kind, TPoint point) {
  if (!Remembered(kind)) return false;
  PlaceHandle place;
  for (std::size_t i = 0; i < m.GoalLocations.size(); ++i) {
    const TGoalAvLoc& p = m.GoalLocations[i];
    if (p.Kind() == kind && Distance(p.Pos, point) <= SamePlaceDistance) {
      place = m.GoalLocations.HandleAt(i);
      break;
    }
  }
  const bool created = !place;
  if (created)
    place = NewPlace(run, m, kind, point, '+', MinReal(1, m.P(param::RateReinforce) * 3));
  LearnRoute(run, m, place, kind);
  run.Stats.Add(stat::Learn, 1);
  return created;
}

void RememberPainPlace(Run& run, TMaus& m, goal::Goal kind, TPoint point) {
  for (const TGoalAvLoc& p : m.GoalLocations)
    if (Serves(p.Kind(), need::Pain) && p.Sign == '-' &&
        Distance(p.Pos, point) <= SamePlaceDistance)
      return;
  NewPlace(run, m, kind, point, '-', MinReal(m.P(param::RateReinforce) * 4, 1));
}

void LearnRoute(Run& run, TMaus& m, PlaceHandle place, goal::Goal kind) {
  // The remembered run: the newest entries up to the first one not remembered.
  const auto count = static_cast<std::ptrdiff_t>(m.Protocol.size());
  std::ptrdiff_t oldest = count;
  for (std::ptrdiff_t k = count - 1; k >= 0; --k) {
    if (run.random.Uniform() >= m.Protocol[k].Vividness) break;
    oldest = k;
  }
  if (oldest == count) return;
  const TProtocol& start = m.Protocol[oldest];
  if (NearestKind(m, kind, {start.X, start.Y}) < m.P(param::SightWidth)) return;
  PlaceHandle last = place;
  std::int32_t c = m.GoalLocations.IndexOf(place);
  TGoalMemEl& el = FindElement(m.GoalMemory, run.settings, kind);
  for (std::ptrdiff_t k = count - 1; k >= oldest; --k) {
    if (k == 0) continue;
    const TPoint pos{m.Protocol[k].X, m.Protocol[k].Y};
    if (Distance(pos, m.GoalLocations.At(last).Pos) <= WaypointSpacing) continue;
    const PlaceHandle handle = m.GoalLocations.New();
    TGoalAvLoc& waypoint = m.GoalLocations.At(handle);
    waypoint.NextIndex = c;
    waypoint.Pos = pos;
    // A route leads only to places still in the list (Next and NextIndex agree).
    if (c >= 0) waypoint.Next = last;
    waypoint.LastRecall = run.TickCount;
    waypoint.Progress = 1;
    waypoint.Element = &el;
    waypoint.Quality = 0;
    waypoint.Sign = '0';
    waypoint.Retention = 1;
    m.GoalLocations.Append(handle);
    run.Stats.Add(stat::Learn, 1);
    last = handle;
    c = static_cast<std::int32_t>(m.GoalLocations.size()) - 1;
  }
}

double NearestKind(const TMaus& m, goal::Goal kind, TPoint point) {
  double best = FarAway;
  for (const TGoalAvLoc& p : m.GoalLocations)
    if (p.Kind() == kind) best = std::min(best, Distance(point, p.Pos));
  return best;
}

PlaceHandle FindGoalLoc(Run& run, TMaus& m, goal::Goal goalKind) {
  PlaceHandle best;
  double bestDist = FarAway;
  std::size_t start = 0;
  while (start < m.GoalLocations.size()) {
    bool deleted = false;
    for (std::size_t i = start; i < m.GoalLocations.size(); ++i) {
      TGoalAvLoc& place = m.GoalLocations[i];
      if (place.Kind() != goalKind || (place.Sign != '+' && place.Sign != '0')) continue;
      if (!(run.random.Uniform() < (1 - m.Inhib) * place.Retention)) continue;
      const double d = Distance(m.Position, place.Pos);
      if (d < bestDist) {
        if (LocUsable(run, m, place) && run.random.Uniform() < place.Progress &&
            !RecentlyVisited(run, m, place.Pos)) {
          best = m.GoalLocations.HandleAt(i);
          bestDist = d;
        }
      } else if (place.Retention <= ForgottenRetention) {
        DeleteLoc(m.GoalLocations, i);
        start = i;
        deleted = true;
        break;
      }
    }
    if (!deleted) break;
  }
  return best;
}

bool RecentlyVisited(Run& run, TMaus& m, TPoint point) {
  for (std::ptrdiff_t k = static_cast<std::ptrdiff_t>(m.Protocol.size()) - 1; k >= 0; --k) {
    const TProtocol& e = m.Protocol[k];
    if (Distance({e.X, e.Y}, point) <= 3) return true;
    const double r = run.random.Uniform();
    if (r <= m.Inhib * 0.5 || k == 0 || e.Goal != m.Goal) return false;
  }
  return false;
}

void GiveUpGoal(Run& run, TMaus& m) {
  Dissatisfy(run, m, need::Comp, "GiveUpGoal", -m.Comp().BasMeta);
  const std::size_t count = m.GoalLocations.size();
  for (std::size_t i = 0; i < count && i < m.GoalLocations.size(); ++i) {
    TGoalAvLoc& place = m.GoalLocations[i];
    if (LocUsable(run, m, place) && place.Progress > 0.8) {
      m.TargetLoc = m.GoalLocations.HandleAt(i);
      return;
    }
  }
  m.Need = need::NoNeed;
}

namespace {

double Sign(double v) {
  return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

}  // namespace

void Forget(TMaus& m) {
  const double rate = m.P(param::RateForget);
  for (TFrinEn& e : m.Relations) {
    e.Friendship = std::sqrt(std::max(e.Friendship * e.Friendship - 2 * rate, 0.0));
    e.Enmity = -std::sqrt(std::max(e.Enmity * e.Enmity - 4 * rate, 0.0));
  }
  // With a finite rate a value of zero stays (positive) zero.
  const bool zeroStays = std::isfinite(rate);
  for (auto& el : m.GoalMemory) {
    for (double& v : el->Values) {
      if (v == 0 && zeroStays)
        v = 0.0;
      else
        v = Sign(v) * std::sqrt(std::max(v * v - rate, 0.0));
    }
  }
}

}  // namespace murinex
