#include "agent/neighbours.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "agent/event_protocol.h"
#include "agent/maus.h"
#include "agent/mice_near.h"
#include "agent/perception.h"
#include "model/run.h"
#include "world/format.h"
#include "world/inside.h"

namespace murinex {

void LookForNeighbours(Run& run, TMaus& m, double heading, double width, double depth) {
  m.SeenMice.clear();
  m.SeenFriends.clear();
  m.SeenEnemies.clear();
  m.SeenStrangers.clear();
  int seen = 0, notSeen = 0;
  Log(run, m, 6, [&] {
    return "LookForNeighbours: width: " + FormatFixed(width, 0, 2) +
           " depth: " + FormatFixed(depth, 0, 2);
  });
  const double sight = m.P(param::SightWidth);
  // Direction lies in (0, 2 pi], so for a heading within [-0.5, 2 pi + 0.5] the
  // angle difference is at most pi: a view at least pi wide then takes in every
  // mouse within depth, whatever its direction, and the angle need not be taken.
  const bool allAround = width >= Pi && heading >= -0.5 && heading <= TwoPi + 0.5;
  FindMouseNear(run, m.Position, std::max(depth, sight), [&](TMaus* o) {
    if (o == &m) return false;
    const double d = Distance(m.Position, o->Position);
    if (d > depth && d > sight) return false;  // neither seen nor missed
    const bool inDepth = d <= depth;
    const double delta =
        inDepth && allAround ? 0 : AngleDiff(Direction(m.Position, o->Position), heading);
    if (inDepth && delta <= width) {
      seen += 1;
      m.SeenMice.push_back(o->Handle);
      double v = 0;
      if (!RelationValue(m, o, v)) {
        m.SeenStrangers.push_back(o->Handle);
      } else if (v > 0) {
        m.SeenFriends.push_back(o->Handle);
      } else if (v < 0) {
        if (run.random.Uniform() < m.Comp().Ist) m.SeenEnemies.push_back(o->Handle);
      }
    } else if (d <= sight && delta <= Pi / 2) {
      notSeen += 1;
    }
    return false;
  });
  const double ratio = seen > 0 ? static_cast<double>(notSeen) / seen : 0;
  run.Stats.Add(stat::Mausnotseen, ratio);
}

namespace {

bool InView(const TMaus& m, const TMaus& other, double heading) {
  return Distance(m.Position, other.Position) < CloseDistance &&
         AngleDiff(Direction(m.Position, other.Position), heading) <= (1 - m.Inhib) * Pi / 2;
}

}  // namespace

TMaus* CloseMouse(const Run& run, const TMaus& m, double heading) {
  return FindMouseNear(run, m.Position, CloseDistance,
                       [&](TMaus* o) { return o != &m && InView(m, *o, heading); });
}

bool CompetitorClose(const Run& run, const TMaus& m, double heading) {
  const TMaus* competitor = run.Mice.Find(m.Competitor);
  return competitor && InView(m, *competitor, heading);
}

std::size_t RelatedInListOrder(const Run& run, const TMaus& m, std::span<TMaus*> out) {
  const std::size_t n = run.Mice.size();
  if (!run.MouseGrid.Active() || run.MouseGrid.Size() != n) return SIZE_MAX;
  std::size_t count = 0;
  for (const TFrinEn& e : m.Relations) {
    TMaus* o = run.Mice.Find(e.Other);
    if (!o) continue;
    if (count == out.size() || o->PassIndex >= n || run.Mice[o->PassIndex].get() != o)
      return SIZE_MAX;
    out[count++] = o;
  }
  const auto end = out.begin() + static_cast<std::ptrdiff_t>(count);
  std::sort(out.begin(), end,
            [](const TMaus* a, const TMaus* b) { return a->PassIndex < b->PassIndex; });
  return static_cast<std::size_t>(std::unique(out.begin(), end) - out.begin());
}

TMaus* HeardHelpCry(Run& run, TMaus& m) {
  const double reach = 2 * m.P(param::SightWidth);
  auto heard = [&](TMaus* o) {
    double v = 0;
    if (o->HelpCry == 0 || !RelationValue(m, o, v) || !(v > 0)) return false;
    if (!(Distance(o->Position, m.Position) < reach)) return false;
    return run.random.Uniform() > m.Inhib;
  };
  // Only a mouse it has a relation with can be heard: the others neither draw
  // nor change anything, so visiting the related ones in list order is the same.
  std::array<TMaus*, 128> related;
  const std::size_t count = RelatedInListOrder(run, m, related);
  if (count == SIZE_MAX) return FindMouseNear(run, m.Position, reach, heard);
  for (std::size_t k = 0; k < count; ++k)
    if (heard(related[k])) return related[k];
  return nullptr;
}

bool MouseVisible(const Run& run, const TMaus& m, const TMaus& other) {
  if (Distance(m.Position, other.Position) > m.P(param::SightWidth)) return false;
  return run.World->Inside().PathOnTerrain(m.Position, other.Position, (1 - m.Inhib) / 10);
}

bool Occupied(const Run& run, const TMaus& m, TPoint point) {
  return FindMouseNear(run, point, 16, [&](TMaus* o) {
           return o != &m && Distance(o->Position, point) < 16;
         }) != nullptr;
}

TMaus* FindFriend(const Run& run, const TMaus& m) {
  if (m.SeenFriends.empty()) return nullptr;
  TMaus* best = nullptr;
  double top = 0;
  for (const TFrinEn& e : m.Relations) {
    TMaus* o = run.Mice.Find(e.Other);
    if (!o || std::find(m.SeenFriends.begin(), m.SeenFriends.end(), e.Other) == m.SeenFriends.end())
      continue;
    const double v = RelationValueOr0(m, o);
    if (v > top) {
      top = v;
      best = o;
    }
  }
  return best;
}

TMaus* FindCompetitor(const Run& run, const TMaus& m) {
  TMaus* best = nullptr;
  double nearest = 0;
  const double own = Courage(m);
  for (MouseHandle handle : m.SeenEnemies) {
    TMaus* e = run.Mice.Find(handle);
    if (!(Courage(*e) < own)) continue;
    const double d = Distance(m.Position, e->Position);
    if (!best || d < nearest) {
      best = e;
      nearest = d;
    }
  }
  return best;
}

}  // namespace murinex
