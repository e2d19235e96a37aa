#include "agent/neighbours.h"

#include <algorithm>

#include "agent/event_protocol.h"
#include "agent/maus.h"
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
  for (const auto& op : run.Mice) {
    TMaus* o = op.get();
    if (o == &m) continue;
    const double d = Distance(m.Position, o->Position);
    if (d > depth && d > m.P(param::SightWidth)) continue;  // neither seen nor missed
    const double delta = AngleDiff(Direction(m.Position, o->Position), heading);
    if (d <= depth && delta <= width) {
      seen += 1;
      m.SeenMice.push_back(o);
      double v = 0;
      if (!RelationValue(m, o, v)) {
        m.SeenStrangers.push_back(o);
      } else if (v > 0) {
        m.SeenFriends.push_back(o);
      } else if (v < 0) {
        if (run.random.Uniform() < m.Comp().Ist) m.SeenEnemies.push_back(o);
      }
    } else if (d <= m.P(param::SightWidth) && delta <= Pi / 2) {
      notSeen += 1;
    }
  }
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
  for (const auto& o : run.Mice)
    if (o.get() != &m && InView(m, *o, heading)) return o.get();
  return nullptr;
}

bool CompetitorClose(const TMaus& m, double heading) {
  return m.Competitor && InView(m, *m.Competitor, heading);
}

TMaus* HeardHelpCry(Run& run, TMaus& m) {
  for (const auto& op : run.Mice) {
    TMaus* o = op.get();
    double v = 0;
    if (o->HelpCry == 0 || !RelationValue(m, o, v) || !(v > 0)) continue;
    if (!(Distance(o->Position, m.Position) < 2 * m.P(param::SightWidth))) continue;
    if (run.random.Uniform() > m.Inhib) return o;
  }
  return nullptr;
}

bool MouseVisible(const Run& run, const TMaus& m, const TMaus& other) {
  if (Distance(m.Position, other.Position) > m.P(param::SightWidth)) return false;
  return run.World->Inside().PathOnTerrain(m.Position, other.Position, (1 - m.Inhib) / 10);
}

bool Occupied(const Run& run, const TMaus& m, TPoint point) {
  for (const auto& o : run.Mice)
    if (o.get() != &m && Distance(o->Position, point) < 16) return true;
  return false;
}

TMaus* FindFriend(const TMaus& m) {
  if (m.SeenFriends.empty()) return nullptr;
  TMaus* best = nullptr;
  double top = 0;
  for (const TFrinEn& e : m.Relations) {
    if (!e.OtherMaus ||
        std::find(m.SeenFriends.begin(), m.SeenFriends.end(), e.OtherMaus) == m.SeenFriends.end())
      continue;
    const double v = RelationValueOr0(m, e.OtherMaus);
    if (v > top) {
      top = v;
      best = e.OtherMaus;
    }
  }
  return best;
}

TMaus* FindCompetitor(const TMaus& m) {
  TMaus* best = nullptr;
  double nearest = 0;
  const double own = Courage(m);
  for (TMaus* e : m.SeenEnemies) {
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
