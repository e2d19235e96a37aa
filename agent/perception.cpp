#include "agent/perception.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "agent/event_protocol.h"
#include "agent/memory.h"
#include "agent/mice_near.h"
#include "agent/needs.h"
#include "sim/run.h"
#include "world/error.h"
#include "world/format.h"
#include "world/inside.h"

namespace murinex {

namespace {

void AdvanceClocks(TMaus& m) {
  m.Age += 1;
  if (m.BirthCountdown() > 0) m.BirthCountdown() -= 1;
  if (m.TimeTillSober() > 0) m.TimeTillSober() -= 1;
  if (m.TimeTillSober() == 0) m.Drunkenness() = 0;
}

void FeelIntoxication(Run& run, TMaus& m) {
  Log(run, m, 2, [&] { return "drunken - timetillsober: " + FormatGeneral(m.TimeTillSober()); });
  double tolerance = m.Jul * 0.01;
  if (tolerance > 0.5) tolerance = 0.5;
  m.CurStrength() = 1 - 0.01 * tolerance * m.TimeTillSober();
  m.Comp().Ist += (1 - tolerance) * 0.005 * m.TimeTillSober();
  if ((1 - tolerance) * 20 < m.ActVal[actval::DrunkCap])
    m.ActVal[actval::DrunkCap] = (1 - tolerance) * 20;
  if (m.Jul > 50) m.ActVal[actval::Addiction] += 0.000001;
}

bool FeelFear(Run& run, TMaus& m) {
  if (!(m.Threat.value > m.Support.value && Courage(m) < m.Threat.value - m.Support.value))
    return false;
  m.Afraid = true;
  Log(run, m, 4, [] { return "Fear!"; });
  Dissatisfy(run, m, need::Comp, "Fear", -3 * m.Comp().BasMeta);
  run.Stats.Add(stat::Fear, 1);
  m.HelpCry = 1;
  return true;
}

void CryForHelp(Run& run, TMaus& m) {
  const bool vital = m.Need == need::Hunger || m.Need == need::Thirst || m.Need == need::Pain;
  if (vital && m.M(m.Need).Ist < 0.25 && m.Comp().Ist < 0.8) {
    m.HelpCry = static_cast<std::uint8_t>(m.Need + 1);
    Log(run, m, 6, [] { return "CryforHelp for food or water or healing"; });
  }
}

bool Helping(std::uint8_t g) {
  return g == goal::Friend || g == goal::HelpRequest;
}

void CheckHelpMission(Run& run, TMaus& m) {
  Log(run, m, 4, [] { return "OnHelpMission checked"; });
  if (!m.Miserablemaus || m.Miserablemaus->HelpCry == 0) {
    m.OnHelpMission = false;
    Log(run, m, 6, [] { return "OnHelpMission cancelled: Help not needed anymore"; });
    Satisfy(run, m, goal::Friend, run.FirstTerra(), "SatisfyAffiliation1", 0.5);
    return;
  }
  Log(run, m, 4, [&] { return "Miserablemaus = " + std::to_string(m.Miserablemaus->ID); });
  m.Goal = ChooseGoal(run, m);
  if (m.Goal != m.PrevGoal) ChangeIntention(run, m, stat::MotCh);
  m.OnHelpMission = Helping(m.Goal);
  Log(run, m, 6, [&] {
    return m.OnHelpMission ? "OnHelpMission maintained"
                           : "OnHelpMission cancelled: Other Matters more important";
  });
}

void ListenForCries(Run& run, TMaus& m) {
  m.Miserablemaus = HeardHelpCry(run, m);
  if (!m.Miserablemaus) return;
  Dissatisfy(run, m, need::Affil, "HelpCry", -0.05 * m.M(need::Affil).Weight);
  Log(run, m, 4, [] { return "CryForHelp heard!"; });
  m.Goal = ChooseGoal(run, m);
  if (Helping(m.Goal)) {
    m.OnHelpMission = true;
    Log(run, m, 6, [] { return "Start HelpMission"; });
    if (m.Goal != m.PrevGoal) ChangeIntention(run, m, stat::OppCh);
  }
}

void PrepareCompAttack(Run& run, TMaus& m) {
  m.CompAttack = true;
  Log(run, m, 6, [] { return "Prepare CompAttack!"; });
}

void TenderContact(Run& run, TMaus& m, TMaus& other) {
  Log(run, m, 6, [] { return "Tender Contact initiated"; });
  m.Smiling = true;
  other.Smiling = true;
  double amount = 0.3;
  if (m.Pregnant() == 0 && other.Pregnant() == 0 && m.Age > 5000 && run.random.Uniform() < 0.5) {
    m.Pregnant() = 1;
    Log(run, m, 6, [] { return "Copulation!"; });
    m.BirthCountdown() = 2000;
    m.Embryo = MakeEmbryo(run, m, other, run.settings.MutationRate());
    amount = 1.0;
  }
  UpdateRelation(m.Relations, other, amount);
  UpdateRelation(other.Relations, m, amount);
  Satisfy(run, m, goal::Friend, run.FirstTerra(), "Tender Contact", amount);
  Satisfy(run, other, goal::Friend, run.FirstTerra(), "Tender Contact", amount);
}

void MeetCloseMouse(Run& run, TMaus& m, TMaus& other) {
  double r = 0;
  const bool found = RelationValue(m, &other, r);
  const bool notDisliked = !found || r >= 0;
  const bool affilFirst = m.M(need::Affil).Urgency >= m.M(m.Need).Urgency;
  const bool willing = WillingForContact(m, other);
  if (notDisliked && affilFirst && willing)
    TenderContact(run, m, other);
  else if (!(r > 0) && m.Need == need::Comp)
    PrepareCompAttack(run, m);
}

}  // namespace

void Perceive(Run& run, TMaus& m) {
  AdvanceClocks(m);
  Log(run, m, 0, [&] {
    return std::to_string(run.TickCount) + " Mouse: " + std::to_string(m.ID) + " Perceive! " +
           NeedNames[m.Need] + "   " + GoalNames[m.Goal];
  });
  if (m.Drunkenness() > 0) FeelIntoxication(run, m);
  if (m.Action != action::NoAction || Engaged(m)) return;
  LookForNeighbours(run, m, m.Heading, Pi, m.P(param::SightWidth));
  m.Threat = ComputeThreat(run, m);
  m.Support = ComputeSupport(run, m);
  Log(run, m, 2, [] { return "NoAction and not (fear or attacked or smiling)"; });
  run.Stats.Add(stat::Threat, m.Threat.value);
  run.Stats.Add(stat::Support, m.Support.value);
  if (FeelFear(run, m)) return;
  CryForHelp(run, m);
  if (m.OnHelpMission) CheckHelpMission(run, m);
  if (!m.OnHelpMission) ListenForCries(run, m);
  if (m.OnHelpMission) {
    run.Stats.Add(stat::HelpMission, 1);
    return;
  }
  if (m.Competitor && CompetitorClose(m, m.Heading)) {
    PrepareCompAttack(run, m);
    return;
  }
  TMaus* other = CloseMouse(run, m, m.Heading);
  if (!other) return;
  Log(run, m, 4, [] { return "Other Mouse close!"; });
  MeetCloseMouse(run, m, *other);
}

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
  FindMouseNear(run, m.Position, std::max(depth, sight), [&](TMaus* o) {
    if (o == &m) return false;
    const double d = Distance(m.Position, o->Position);
    if (d > depth && d > sight) return false;  // neither seen nor missed
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
    } else if (d <= sight && delta <= Pi / 2) {
      notSeen += 1;
    }
    return false;
  });
  const double ratio = seen > 0 ? static_cast<double>(notSeen) / seen : 0;
  run.Stats.Add(stat::Mausnotseen, ratio);
}

namespace {

// Threat (sign -1) or support (sign +1) of the listed mice, and where they stand.
TValueDir WeighMice(const TMaus& m, const TMausRefs& mice, double sign, const char* what) {
  TValueDir result{0, NoDirection};
  std::int64_t sumX = 0, sumY = 0;
  int count = 0;
  const double sight = m.P(param::SightWidth);
  for (const TMaus* e : mice) {
    if (sight == 0)
      throw InputError("", 0,
                       "mouse " + std::to_string(m.ID) + ": SightWidth is 0, its " + what +
                           " cannot be weighed");
    const double v = RelationValueOr0(m, e);
    const double d = Distance(m.Position, e->Position);
    const double contribution = e->CurStrength() * e->Comp().Ist * e->Arousal * (sign * v) *
                                (1 - d / sight) * (m.Comp().Ist);
    result.value += contribution;
    count += 1;
    sumX += e->Position.x;
    sumY += e->Position.y;
  }
  if (count > 0) {
    const TPoint centre{RoundHalfEven(static_cast<double>(sumX) / count),
                        RoundHalfEven(static_cast<double>(sumY) / count)};
    result.direction = Direction(m.Position, centre);
  }
  return result;
}

bool InView(const TMaus& m, const TMaus& other, double heading) {
  return Distance(m.Position, other.Position) < CloseDistance &&
         AngleDiff(Direction(m.Position, other.Position), heading) <= (1 - m.Inhib) * Pi / 2;
}

}  // namespace

TValueDir ComputeThreat(const Run&, const TMaus& m) {
  return WeighMice(m, m.SeenEnemies, -1, "threat");
}

TValueDir ComputeSupport(const Run&, const TMaus& m) {
  return WeighMice(m, m.SeenFriends, 1, "support");
}

double Courage(const TMaus& m) {
  return 2 * m.Comp().Ist * m.Arousal * m.CurStrength();
}

bool Engaged(const TMaus& m) {
  return m.Afraid || m.Attacked || m.Smiling;
}

TMaus* CloseMouse(const Run& run, const TMaus& m, double heading) {
  return FindMouseNear(run, m.Position, CloseDistance,
                       [&](TMaus* o) { return o != &m && InView(m, *o, heading); });
}

bool CompetitorClose(const TMaus& m, double heading) {
  return m.Competitor && InView(m, *m.Competitor, heading);
}

TMaus* HeardHelpCry(Run& run, TMaus& m) {
  const double reach = 2 * m.P(param::SightWidth);
  return FindMouseNear(run, m.Position, reach, [&](TMaus* o) {
    double v = 0;
    if (o->HelpCry == 0 || !RelationValue(m, o, v) || !(v > 0)) return false;
    if (!(Distance(o->Position, m.Position) < reach)) return false;
    return run.random.Uniform() > m.Inhib;
  });
}

bool WillingForContact(TMaus& m, const TMaus& other) {
  double v = 0;
  const bool found = RelationValue(other, &m, v);
  const bool ok = !found || v >= 0;
  if (ok) {
    TMotiv& a = m.M(need::Affil);
    const TMotiv& n = m.M(m.Need);
    const double delta = (1 - (n.Deviation - a.Deviation)) * m.P(param::AffilSens) * a.BasMeta;
    a.Ist -= delta;
    if (a.Ist < 0) a.Ist = 0;
    a.Deviation = a.Soll - a.Ist;
    a.Urgency = a.Deviation * a.Weight;
  }
  return ok && other.M(need::Affil).Urgency > 0.25;
}

namespace {

// What reaching the element's goal is worth, weighed by the chance of reaching it.
double GoalValue(const TMaus& m, const TGoalMemEl& el, double comp0) {
  double sum = 0;
  for (int i = 0; i < need::Count; ++i)
    sum = sum + el.Values[i] * m.Motives[i].Urgency;
  return std::min(el.Expectation + comp0, 1.0) * sum;
}

// What weighing the goals reads again and again while the mouse stands still:
// the patch under it, and its places grouped by goal kind, in list order within
// a kind. Weighing recalls places but never adds or removes one.
class GoalScene {
 public:
  GoalScene(const Run& run, const TMaus& m)
      : patch_(run.World->Inside().TerraAt(m.Position.x, m.Position.y)) {}
  TTerra* Patch() const { return patch_; }

  // The places of a goal kind, in list order.
  std::span<TGoalAvLoc* const> PlacesOf(const TMaus& m, std::uint8_t kind) {
    if (!grouped_) Group(m);
    const std::size_t k = Bucket(kind);
    return {places_.data() + start_[k], places_.data() + start_[k + 1]};
  }

 private:
  // Goal kinds are below goal::Count; anything else shares the last bucket,
  // which is never asked for.
  static constexpr std::size_t Buckets = 16;
  static std::size_t Bucket(std::uint8_t kind) { return std::min<std::size_t>(kind, Buckets - 1); }

  void Group(const TMaus& m) {
    std::array<std::uint32_t, Buckets + 1> next{};
    for (const auto& place : m.GoalLocations)
      next[Bucket(place->Kind()) + 1] += 1;
    for (std::size_t k = 1; k < next.size(); ++k)
      next[k] += next[k - 1];
    start_ = next;
    places_.resize(m.GoalLocations.size());
    for (const auto& place : m.GoalLocations)
      places_[next[Bucket(place->Kind())]++] = place.get();
    grouped_ = true;
  }

  TTerra* patch_;
  bool grouped_ = false;
  std::vector<TGoalAvLoc*> places_;
  std::array<std::uint32_t, Buckets + 1> start_{};
};

double Expectation(Run& run, TMaus& m, std::uint8_t kind, GoalScene& scene);

}  // namespace

std::uint8_t ChooseGoal(Run& run, TMaus& m) {
  GoalScene scene(run, m);
  const double comp0 = m.Comp().Ist;
  double best = 0.2;
  m.Need = need::NoNeed;
  for (int i = 0; i < need::Count; ++i) {
    if (m.Motives[i].Urgency > best) {
      best = m.Motives[i].Urgency;
      m.Need = static_cast<std::uint8_t>(i);
    }
  }
  double value = 0.2, hysteresis = 0;
  if (m.Goal != goal::NoGoal) {
    TGoalMemEl& el = FindElement(m.GoalMemory, run.settings, m.Goal);
    el.Expectation = Expectation(run, m, m.Goal, scene);
    value = GoalValue(m, el, comp0);
    hysteresis = m.KeepConsuming ? m.Inhib * 2 * 0.5 : m.Inhib * 0.5;
  }
  std::uint8_t chosen = m.Goal;
  // Elements that the walk itself creates are not weighed in this call.
  const std::size_t count = m.GoalMemory.size();
  for (std::size_t k = 0; k < count; ++k) {
    TGoalMemEl& el = *m.GoalMemory[k];
    if (m.Goal != goal::NoGoal && el.GoalKind == m.Goal) continue;
    el.Expectation = Expectation(run, m, el.GoalKind, scene);
    const double v = GoalValue(m, el, comp0);
    if (v - hysteresis > value) {
      value = v;
      chosen = el.GoalKind;
    }
  }
  if (value <= 0.05) chosen = goal::NoGoal;
  return chosen;
}

namespace {

bool ResourceGoal(std::uint8_t kind) {
  return kind == goal::Food || kind == goal::Water || kind == goal::Vorarazav ||
         kind == goal::HealingHerbs;
}

double MeanProgressOfUsablePlaces(Run& run, TMaus& m, std::span<TGoalAvLoc* const> places) {
  double sum = 0;
  int count = 0;
  for (TGoalAvLoc* place : places) {
    if (!LocUsable(run, m, *place)) continue;
    sum += place->Progress;
    count += 1;
  }
  return count > 0 ? sum / count : 0;
}

double MeanFriendshipInView(Run& run, TMaus& m) {
  LookForNeighbours(run, m, m.Heading, (1 - m.Inhib) * Pi, (1 - m.Inhib) * m.P(param::SightWidth));
  if (m.SeenFriends.empty()) return 0;
  double sum = 0;
  int count = 0;
  for (const TFrinEn& e : m.Relations) {
    if (std::find(m.SeenFriends.begin(), m.SeenFriends.end(), e.OtherMaus) == m.SeenFriends.end())
      continue;
    sum += e.Friendship;
    count += 1;
  }
  return count > 0 ? sum / count : 0;
}

Opportunity WhatIsOn(Run& run, TMaus& m, TTerra* patch) {
  if (patch && run.random.Uniform() > m.Inhib)
    return {patch->Kind, patch, BestNeedOf(run, m, patch->Kind)};
  return {0, run.FirstTerra(), 0};
}

double Expectation(Run& run, TMaus& m, std::uint8_t kind, GoalScene& scene) {
  const Opportunity here = WhatIsOn(run, m, scene.Patch());
  if (kind == here.kind) return 1;
  if (ResourceGoal(kind)) return MeanProgressOfUsablePlaces(run, m, scene.PlacesOf(m, kind));
  if (kind == goal::Friend || kind == goal::HelpRequest) return MeanFriendshipInView(run, m);
  return 0;
}

}  // namespace

double GoalExpectation(Run& run, TMaus& m, std::uint8_t kind) {
  GoalScene scene(run, m);
  return Expectation(run, m, kind, scene);
}

Opportunity WhatIsHere(Run& run, TMaus& m) {
  return WhatIsOn(run, m, run.World->Inside().TerraAt(m.Position.x, m.Position.y));
}

void ChangeIntention(Run& run, TMaus& m, int reason) {
  m.TargetLoc.reset();
  ClearTargets(m);
  m.KeepConsuming = false;
  m.Plan.clear();
  m.PrevGoal = m.Goal;
  Log(run, m, 4,
      [&] { return std::string("Change of Intention! New Goal: ") + GoalNames[m.Goal]; });
  run.Stats.Slot(reason) += 1;
}

namespace {

double Pick(Run& run, double fromMother, double fromFather) {
  return run.random.Uniform() < 0.5 ? fromMother : fromFather;
}

}  // namespace

std::unique_ptr<TGenom> MakeEmbryo(Run& run, const TMaus& mother, const TMaus& father,
                                   double mutationRate) {
  auto e = std::make_unique<TGenom>();
  const Settings& s = run.settings;
  for (int i = 0; i < param::Count; ++i) {
    const double v = Pick(run, mother.Params[i], father.Params[i]);
    const RangeRow& r = s.PersonRanges[i];
    e->PersonGenes[i] = MutateGene(run.random, v, mutationRate, r.scale, r.minimum, r.maximum);
  }
  for (int i = 0; i < need::Count; ++i) {
    const double v = Pick(run, mother.Motives[i].Weight, father.Motives[i].Weight);
    const RangeRow& r = s.MotWeightRanges[i];
    e->MotWeights[i] = MutateGene(run.random, v, mutationRate, 1, r.minimum, r.maximum);
  }
  for (int i = need::Hunger; i <= need::Pain; ++i) {
    const double v = Pick(run, mother.Motives[i].MaxReserve, father.Motives[i].MaxReserve);
    const RangeRow& r = s.ReserveRanges[i - 1];
    e->ReserveGenes[i] =
        RoundHalfEven(MutateGene(run.random, v, mutationRate, 1, r.minimum, r.maximum));
  }
  for (int i = 1; i < need::Count; ++i) {
    const double v = Pick(run, mother.Motives[i].BasMeta, father.Motives[i].BasMeta);
    const RangeRow& r = s.BasalMetaBolRanges[i];
    e->BasMetaGenes[i] = MutateGene(run.random, v, mutationRate, 1, r.minimum, r.maximum);
  }
  return e;
}

}  // namespace murinex
