#include "agent/perception.h"

#include <algorithm>

#include "agent/event_protocol.h"
#include "agent/genome.h"
#include "agent/intention.h"
#include "agent/memory.h"
#include "agent/needs.h"
#include "agent/neighbours.h"
#include "model/run.h"
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
  const TMaus* miserable = run.Mice.Find(m.Miserablemaus);
  if (!miserable || miserable->HelpCry == 0) {
    m.OnHelpMission = false;
    Log(run, m, 6, [] { return "OnHelpMission cancelled: Help not needed anymore"; });
    Satisfy(run, m, goal::Friend, run.FirstTerra(), "SatisfyAffiliation1", 0.5);
    return;
  }
  Log(run, m, 4, [&] { return "Miserablemaus = " + std::to_string(miserable->ID); });
  m.Goal = ChooseGoal(run, m);
  if (m.Goal != m.PrevGoal) ChangeIntention(run, m, stat::MotCh);
  m.OnHelpMission = Helping(m.Goal);
  Log(run, m, 6, [&] {
    return m.OnHelpMission ? "OnHelpMission maintained"
                           : "OnHelpMission cancelled: Other Matters more important";
  });
}

void ListenForCries(Run& run, TMaus& m) {
  const TMaus* heard = HeardHelpCry(run, m);
  m.Miserablemaus = HandleOf(heard);
  if (!heard) return;
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
  if (m.Pregnant() == 0 && other.Pregnant() == 0 && m.Age > run.model.MatingAge &&
      run.random.Uniform() < run.model.MatingChance) {
    m.Pregnant() = 1;
    Log(run, m, 6, [] { return "Copulation!"; });
    m.BirthCountdown() = run.model.PregnancyLength;
    m.Embryo = MakeEmbryo(run, m, other, run.settings.MutationRate());
    m.EmbryoFatherID = other.ID;
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
  if (CompetitorClose(run, m, m.Heading)) {
    PrepareCompAttack(run, m);
    return;
  }
  TMaus* other = CloseMouse(run, m, m.Heading);
  if (!other) return;
  Log(run, m, 4, [] { return "Other Mouse close!"; });
  MeetCloseMouse(run, m, *other);
}

namespace {

// Threat (sign -1) or support (sign +1) of the listed mice, and where they stand.
TValueDir WeighMice(const Run& run, const TMaus& m, const TMausRefs& mice, double sign,
                    const char* what) {
  TValueDir result{0, NoDirection};
  std::int64_t sumX = 0, sumY = 0;
  int count = 0;
  const double sight = m.P(param::SightWidth);
  for (MouseHandle handle : mice) {
    const TMaus* e = run.Mice.Find(handle);
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

}  // namespace

TValueDir ComputeThreat(const Run& run, const TMaus& m) {
  return WeighMice(run, m, m.SeenEnemies, -1, "threat");
}

TValueDir ComputeSupport(const Run& run, const TMaus& m) {
  return WeighMice(run, m, m.SeenFriends, 1, "support");
}

double Courage(const TMaus& m) {
  return 2 * m.Comp().Ist * m.Arousal * m.CurStrength();
}

bool Engaged(const TMaus& m) {
  return m.Afraid || m.Attacked || m.Smiling;
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

}  // namespace murinex
