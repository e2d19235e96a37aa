#include "agent/movement.h"

#include <algorithm>
#include <cmath>

#include "agent/action.h"
#include "agent/event_protocol.h"
#include "agent/intention.h"
#include "agent/memory.h"
#include "agent/needs.h"
#include "agent/neighbours.h"
#include "agent/perception.h"
#include "agent/planning.h"
#include "agent/social.h"
#include "model/run.h"
#include "world/format.h"
#include "world/inside.h"

namespace murinex {

namespace {

const double FacingAngles[8] = {1.57, 0.79, 0.0, 5.5, 4.71, 3.92, 3.14, 2.36};

std::string HeadingText(const TMaus& m) {
  return FormatFixed(m.Heading, 0, 2);
}

// A mouse's step within one tick: where it started and how far it may go.
struct Stride {
  TPoint start;
  double step = 0;
};

// A random turn of up to `range` to either side.
double Turn(Run& run, double heading, double range) {
  const double s = run.random.Uniform() > 0.5 ? 1 : -1;
  const double r = run.random.Uniform();
  return NormalizeAngle(r * range * s + heading);
}

void Explore(Run& run, TMaus& m, Stride& stride) {
  stride.step = m.Arousal * 20 * m.CurStrength();
  const double r = run.random.Uniform();
  LookForNeighbours(run, m, m.Heading, TwoPi, m.P(param::SightWidth));
  const TPoint centre = MeanPosition(run, m.SeenMice);
  if (!m.SeenMice.empty()) {
    m.Heading = NormalizeAngle(Direction(m.Position, centre) + Pi);
    Log(run, m, 6, [] { return "Try to move away from others!"; });
  } else {
    const double s = r > 0.5 ? 1 : -1;
    m.Heading = NormalizeAngle(r * Pi / 4 * s + m.Heading);
    Log(run, m, 6, [] { return "Direction changed!"; });
  }
  if (TTerra* patch = FindExploreTerra(run, m, Pi, m.Heading)) {
    m.Heading = Direction(m.Position, patch->Centre);
    TGoalAvLoc& target = m.GoalLocations.At(m.ExploreTarget);
    target.Element = &FindElement(m.GoalMemory, run.settings, GoalOfKind(patch->Kind));
    target.Pos = patch->Centre;
    target.Retention = 1;
    target.LastRecall = run.TickCount;
    target.NextIndex = -1;
    target.Next = {};
    m.TargetLoc = m.ExploreTarget;
  }
  m.Position = PolarOffset(stride.start, m.Heading, stride.step);
  Log(run, m, 4, [&] { return "Try to move in choosen direction: " + HeadingText(m); });
}

// Looks around for a mouse of the kind the goal asks for.
void LookForGoalMouse(Run& run, TMaus& m) {
  LookForNeighbours(run, m, m.Heading, Pi, m.P(param::SightWidth));
  if (m.Goal == goal::Friend) m.Partner = HandleOf(FindFriend(run, m));
  if (m.Goal == goal::HelpRequest) m.Miserablemaus = HandleOf(NeediestFriend(run, m.SeenFriends));
  if (m.Goal == goal::Barrier) m.Competitor = HandleOf(FindCompetitor(run, m));
  if (GoalMouse(run, m)) {
    Satisfy(run, m, goal::Uncertainty, run.FirstTerra(), "GoalMousefound", m.P(param::GainCert));
    Log(run, m, 6, [] { return "Goalmouse detected!:"; });
  } else {
    Dissatisfy(run, m, need::Cert, "NoGoalMaus", -m.P(param::LossCert));
    Log(run, m, 6, [] { return "No GoalMouse detected!"; });
  }
}

void LookForGoal(Run& run, TMaus& m, Stride& stride) {
  Log(run, m, 4, [] { return "Look For Goal!"; });
  m.TargetLoc = {};
  ClearTargets(m);
  PlaceHandle found;
  switch (m.Goal) {
    case goal::Friend:
    case goal::HelpRequest:
    case goal::Barrier:
      LookForGoalMouse(run, m);
      break;
    case goal::Food:
    case goal::Water:
    case goal::Vorarazav:
    case goal::HealingHerbs:
      found = FindGoalLoc(run, m, m.Goal);
      break;
    case goal::Uncertainty:
      Explore(run, m, stride);
      // Only a target this exploration has just chosen counts as found.
      if (m.TargetLoc == m.ExploreTarget) found = m.ExploreTarget;
      break;
    default:
      break;
  }
  if (found) {
    SetTarget(m, found);
    m.RatedLoc = {};
    Satisfy(run, m, goal::Uncertainty, run.FirstTerra(), "Goal found", m.P(param::GainCert));
    Log(run, m, 6, [&] { return "Goal detected!: " + PointToStr(m.GoalLocations.At(found).Pos); });
  }
  if (!found && !GoalMouse(run, m)) {
    Dissatisfy(run, m, need::Cert, "NoGoalFound", -m.P(param::LossCert));
    Log(run, m, 6, [] { return "NoGoal Detected!"; });
  }
}

bool MustLookForGoal(Run& run, TMaus& m) {
  const TMaus* goalMouse = GoalMouse(run, m);
  TGoalAvLoc* target = m.Target();
  if (!target && !goalMouse) return true;
  if (target && !LocUsable(run, m, *target)) return true;
  return goalMouse && !MouseVisible(run, m, *goalMouse);
}

void AimAndStep(Run& run, TMaus& m, Stride& stride) {
  const TMaus* goalMouse = GoalMouse(run, m);
  const TGoalAvLoc* target = m.Target();
  if (target || goalMouse) {
    TPoint aim;
    double d;
    if (target) {
      aim = target->Pos;
      m.Heading = Direction(m.Position, aim);
      d = Distance(m.Position, aim);
    } else {
      aim = goalMouse->Position;
      m.Heading = Direction(m.Position, aim);
      d = Distance(m.Position, aim) - 15;
    }
    if (stride.step > d) stride.step = d;
    Log(run, m, 6, [&] { return "Try to move in direction of goal: " + PointToStr(aim); });
  } else {
    if (m.Goal != goal::Uncertainty) {
      m.Heading = Turn(run, m.Heading, Pi / 4);
      Log(run, m, 6, [] { return "Direction slightly modified (no goal)!"; });
    } else {
      Explore(run, m, stride);
    }
    Log(run, m, 4, [&] { return "Try to move in choosen direction: " + HeadingText(m); });
  }
  m.Position = PolarOffset(stride.start, m.Heading, stride.step);
  if (m.Drunkenness() > 0) {
    m.Heading = Turn(run, m.Heading, Pi);
    Log(run, m, 4, [&] { return "Direction modified (drunken): " + HeadingText(m); });
  }
}

// A step that cannot be taken: perhaps bite the mouse in the way, else plan around.
void Blocked(Run& run, TMaus& m, const Stride& stride, bool feared) {
  m.Position = stride.start;
  Log(run, m, 4, [&] { return feared ? "Danger! Don´t dare!" : "Moving not possible!"; });
  if (m.TargetLoc && Occupied(run, m, m.Position)) {
    Aggression(run, m, CloseMouse(run, m, m.Heading));
    Log(run, m, 6, [] { return "Try to aggress to remove obstacle!"; });
  }
  if (m.Action != action::Bite) {
    const TGoalAvLoc* place = m.Target();
    const TPoint target = place ? place->Pos : NoPoint;
    m.StuckAt = NoPoint;
    Log(run, m, 6, [] { return "Try to plan!"; });
    m.Plan = PlanSearch(run, m, stride.start, target, m.Heading, stride.step);
    m.Action = action::Plan;
    if (!m.Plan.empty()) {
      m.PlanIndex = 0;
      Log(run, m, 8, [] { return "Plan found!"; });
    } else {
      Log(run, m, 8, [] { return "No plan found!"; });
    }
  }
  m.Position = stride.start;
}

void JudgeProgress(Run& run, TMaus& m, const Stride& stride) {
  TGoalAvLoc& t = m.GoalLocations.At(m.TargetLoc);
  const double p = (Distance(stride.start, t.Pos) - Distance(m.Position, t.Pos)) / stride.step;
  t.Progress = (9 * t.Progress + p) / 10;
  const double v = std::min(run.random.Uniform() * m.Comp().Ist, 0.2);
  if (t.Progress < 0.2 + v) {
    GiveUpGoal(run, m);
    run.Stats.Add(stat::GiveUp, 1);
    Log(run, m, 6, [] { return "Give Up Goal Or Motive"; });
  }
}

// What the mouse learns where a walk to a place ends.
void LearnOnArrival(Run& run, TMaus& m, PlaceHandle t) {
  TTerra* patch = run.World->TerraOrFirst(m.Position);
  if (t == m.ExploreTarget) {
    Log(run, m, 6, [&] { return "New Goal Found by Exploration: " + PointToStr(m.Position); });
    Satisfy(run, m, goal::Uncertainty, patch, "Ziel durch Exploration gefunden!",
            m.P(param::GainCert));
    if (patch->Kind == KindStones) RememberPainPlace(run, m, goal::Stones, m.Position);
  } else if (m.Need != need::NoNeed && patch->Kind != KindStones) {
    LearnRoute(run, m, t, GoalOfKind(patch->Kind));
  }
}

// The next waypoint of a route, if it comes to mind.
PlaceHandle FollowRoute(Run& run, TMaus& m, PlaceHandle t) {
  const PlaceHandle handle = m.GoalLocations.At(t).Next;
  if (!handle) {
    m.HasNextGoal = false;
    if (m.GoalLocations.At(t).NextIndex == -1) m.RatedLoc = t;
    return {};
  }
  TGoalAvLoc& next = m.GoalLocations.At(handle);
  if (Recall(run, m, next)) {
    m.HasNextGoal = true;
    Log(run, m, 6, [&] { return "NextGoal set!" + PointToStr(next.Pos); });
    return handle;
  }
  m.HasNextGoal = false;
  Dissatisfy(run, m, need::Cert, "next goal forgotten!", -m.P(param::LossCert));
  Log(run, m, 6, [&] { return "Next goal forgotten:" + PointToStr(next.Pos); });
  if (next.Retention <= ForgottenRetention) {
    const std::int32_t index = m.GoalLocations.IndexOf(handle);
    if (index >= 0) DeleteLoc(m.GoalLocations, static_cast<std::size_t>(index));
  }
  return {};
}

void CheckArrival(Run& run, TMaus& m) {
  const PlaceHandle t = m.TargetLoc;
  const TGoalAvLoc* target = m.GoalLocations.Find(t);
  if (!target || !(Distance(m.Position, target->Pos) < 4)) return;
  m.Position = target->Pos;
  Satisfy(run, m, goal::Barrier, run.FirstTerra(), "ZielErreicht", m.Comp().BasMeta);
  Log(run, m, 6, [&] { return "Arrived at goal: " + PointToStr(m.Position); });
  if (!m.HasNextGoal) LearnOnArrival(run, m, t);
  const PlaceHandle next = FollowRoute(run, m, t);
  if (next) {
    SetTarget(m, next);
    Satisfy(run, m, goal::Uncertainty, run.FirstTerra(), "Habe Mir ZielGesetzt",
            m.P(param::GainCert));
    Log(run, m, 6,
        [&] { return "New Goal (from IM): " + PointToStr(m.GoalLocations.At(next).Pos); });
  } else {
    m.TargetLoc = {};
  }
}

void TakeStep(Run& run, TMaus& m, const Stride& stride) {
  if (stride.step > 0) {
    m.Facing = FacingIndex(stride.start, m.Position);
    Log(run, m, 6, [&] { return "Move to New Loc: " + PointToStr(m.Position); });
    if (m.TargetLoc) JudgeProgress(run, m, stride);
  }
  if (m.Goal != goal::Uncertainty) {
    m.Action = stride.step > 0 ? action::Move : action::NoAction;
  } else if (stride.step > 0) {
    m.Action = action::Explore;
    Log(run, m, 6, [] { return "Exploration!"; });
  } else {
    m.Action = action::NoAction;
    Log(run, m, 6, [] { return "Didn´t dare to explore!"; });
  }
  CheckArrival(run, m);
}

void Walk(Run& run, TMaus& m) {
  Stride stride{m.Position, m.Arousal * 20 * m.CurStrength()};
  const bool planInUse = !m.Plan.empty() && m.PlanIndex < static_cast<std::int32_t>(m.Plan.size());
  if (m.Goal == goal::Uncertainty && run.random.Uniform() > m.Comp().Ist) {
    stride.step = 0;
    Log(run, m, 6, [] { return "Do not dare!"; });
  }
  if (planInUse && stride.step > 0) {
    m.PlanIndex += 1;
    m.Position = m.Plan[static_cast<std::size_t>(m.PlanIndex - 1)];
    Log(run, m, 6, [&] { return "Moving according to plan to " + PointToStr(m.Position); });
  } else {
    Log(run, m, 6, [] { return "I have no plan!"; });
    if (MustLookForGoal(run, m)) LookForGoal(run, m, stride);
    AimAndStep(run, m, stride);
  }
  const DangerCheck danger = DangerAhead(run, m, stride.start, m.Position, "ToDanger: Braveness");
  m.Dares = 2 * run.random.Uniform() < Braveness(m);
  const bool feared = danger.danger && !m.Dares;
  const bool blocked = !PatchUnder(run, m) || feared || Occupied(run, m, m.Position);
  if (blocked)
    Blocked(run, m, stride, feared);
  else
    TakeStep(run, m, stride);
}

void FadeTrack(TMaus& m) {
  for (TProtocol& e : m.Protocol)
    e.Vividness =
        std::sqrt(std::max(std::min(e.Vividness * e.Vividness, 1.0) - m.P(param::ProtMem), 0.0));
  m.Protocol.push_back({m.Position.x, m.Position.y, m.Goal, m.Action, 1});
  double threshold = 1e-6;
  while (!m.Protocol.empty() && m.Protocol.front().Vividness <= threshold) {
    threshold = m.Protocol.front().Vividness;
    m.Protocol.pop_front();
  }
}

void CloseTick(Run& run, TMaus& m) {
  FadeTrack(m);
  Forget(m);
  run.Stats.Add(StatSums::ActionColumn(m.Action), 1);
  run.Stats.Add(stat::Strength, m.CurStrength());
  MoveCost(run, m, m.Action);
  m.LastAction = m.Action;
  m.Action = action::NoAction;
}

}  // namespace

void MoveStep(Run& run, TMaus& m) {
  Log(run, m, 2,
      [&] { return std::string("Move! ") + NeedNames[m.Need] + "   " + GoalNames[m.Goal]; });
  run.Stats.Add(StatSums::GoalColumn(m.Goal), 1);
  m.Goal = ChooseGoal(run, m);
  Regulate(run, m);
  m.GoalChanged = m.Goal != m.PrevGoal;
  if (m.GoalChanged) ChangeIntention(run, m, stat::MotCh);
  if (m.Action == action::NoAction && !(m.Goal == goal::NoGoal && m.Need == need::NoNeed))
    Walk(run, m);
  CloseTick(run, m);
}

void SetTarget(TMaus& m, PlaceHandle place) {
  m.TargetLoc = place;
  m.Heading = Direction(m.Position, m.GoalLocations.At(place).Pos);
}

TTerra* FindExploreTerra(Run& run, TMaus& m, double width, double heading) {
  const TRect box = KnownArea(run, m, width, heading);
  const auto& patches = run.World->TerraList;
  const double sight = m.P(param::SightWidth);
  const AngleWindow ahead(heading, width / 2);
  auto fits = [&](std::size_t i) {
    const TPoint c = patches[i]->Centre;
    return Distance(m.Position, c) < sight && ahead.Contains(m.Position, c) && !InRect(c, box);
  };
  if (!(sight >= 0 && sight <= 1e9)) {
    for (std::size_t i = 1; i < patches.size(); ++i)
      if (fits(i)) return patches[i].get();
    return nullptr;
  }
  // Only centres closer than sight can fit; Distance is at least the offset on either axis.
  std::vector<std::uint32_t> near;
  run.World->CentresNear(m.Position, static_cast<std::int64_t>(std::ceil(sight)), near);
  for (std::uint32_t i : near)
    if (i >= 1 && fits(i)) return patches[i].get();
  return nullptr;
}

TRect KnownArea(Run& run, TMaus& m, double width, double heading) {
  TRect box{100000, 100000, -100000, -100000};
  const double from = NormalizeAngle(heading + width / 2);
  const double to = NormalizeAngle(heading - width / 2);
  const AngleWindow sector = AngleWindow::Sector(from, to);
  const std::size_t count = m.GoalLocations.size();
  for (std::size_t i = 0; i < count; ++i) {
    TGoalAvLoc& place = m.GoalLocations[i];
    if (!sector.Contains(m.Position, place.Pos)) continue;
    if (!Recall(run, m, place) || place.NextIndex != -1) continue;
    box.left = std::min(box.left, place.Pos.x);
    box.right = std::max(box.right, place.Pos.x);
    box.top = std::min(box.top, place.Pos.y);
    box.bottom = std::max(box.bottom, place.Pos.y);
  }
  if (box.right == box.left) box = {box.left - 20, box.top - 20, box.right + 20, box.bottom + 20};
  return box;
}

double Braveness(const TMaus& m) {
  return std::min(m.Comp().Ist * 0.5, 1.0);
}

void MoveCost(const Run& run, TMaus& m, std::uint8_t act) {
  const double f = m.Arousal * m.CurStrength() * run.TickInterval / 1000;
  const ActionRow& cost = run.settings.ActionSettings[act];
  m.M(need::Hunger).Ist -= cost.hungerCost * f * 0.1;
  m.M(need::Thirst).Ist -= cost.thirstCost * f * 0.1;
}

std::uint8_t FacingIndex(TPoint from, TPoint to) {
  const double a = Direction(from, to);
  double best = Pi;
  std::uint8_t index = 0;
  for (int k = 0; k < 8; ++k) {
    if (AngleDiff(FacingAngles[k], a) < best) {
      best = AngleDiff(FacingAngles[k], a);
      index = static_cast<std::uint8_t>(k);
    }
  }
  return index;
}

}  // namespace murinex
