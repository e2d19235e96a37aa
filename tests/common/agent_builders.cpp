#include "tests/common/agent_builders.h"

#include "agent/goal_memory.h"

namespace murinex::test {

void SettleNeeds(TMaus& m) {
  double u = 0;
  for (int i = 1; i < need::Count; ++i)
    u = u + m.Motives[i].Urgency;
  m.PrevTotNeedStrength = u / m.SumWeights;
}

TestPlace AddPlace(Run& run, TMaus& m, goal::Goal kind, TPoint pos, char sign, double retention,
                   double progress) {
  const PlaceHandle handle = m.GoalLocations.New();
  TGoalAvLoc& place = m.GoalLocations.At(handle);
  place.Element = &FindElement(m.GoalMemory, run.settings, kind);
  place.Pos = pos;
  place.Sign = sign;
  place.Quality = sign == '0' ? 0 : 1;
  place.NextIndex = -1;
  place.Retention = retention;
  place.LastRecall = run.TickCount;
  place.Progress = progress;
  m.GoalLocations.Append(handle);
  return {&m.GoalLocations, handle};
}

PlaceHandle AppendPlace(PlaceList& list, const TGoalAvLoc& place) {
  const PlaceHandle handle = list.New();
  list.At(handle) = place;
  list.Append(handle);
  return handle;
}

void FillTrack(TMaus& m, int entries, TPoint at) {
  for (int i = 0; i < entries; ++i)
    m.Protocol.push_back({at.x, at.y, m.Goal, action::NoAction, 1});
}

}  // namespace murinex::test
