#include "agent/action.h"

#include <algorithm>

#include "agent/event_protocol.h"
#include "agent/intention.h"
#include "agent/memory.h"
#include "agent/movement.h"
#include "agent/needs.h"
#include "agent/neighbours.h"
#include "agent/perception.h"
#include "agent/planning.h"
#include "agent/social.h"
#include "model/run.h"
#include "world/format.h"

namespace murinex {

namespace {

// Moves by a ring step when one is possible; the heading stays.
void StepAway(Run& run, TMaus& m, double step, double direction) {
  const RingStep away = FreeStepAround(run, m, m.Position, step, direction);
  if (away.point.x >= 0) m.Position = away.point;
}

void RunAway(Run& run, TMaus& m, TMaus& aggressor) {
  m.HelpCry = 1;
  Log(run, m, 6, [] { return "Runaway!"; });
  double direction;
  if (!m.Afraid) {
    run.PlayWave(m, "Help.wav");
    direction = Direction(aggressor.Position, m.Position);
  } else {
    run.PlayWave(m, "fear.wav");
    direction = m.Support.value > 0 ? m.Support.direction : NormalizeAngle(m.Threat.direction + Pi);
  }
  StepAway(run, m, 15, direction);
  Satisfy(run, aggressor, goal::Barrier, run.FirstTerra(), "AttackSuccessfull", m.Comp().BasMeta);
  UpdateRelation(m.Relations, aggressor, -0.2);
  m.Action = action::Flight;
  if (m.Afraid) run.Stats.Add(stat::ThreatFlight, 1);
}

void HoldGround(Run& run, TMaus& m, TMaus& aggressor) {
  Log(run, m, 6, [] { return "Hold Ground!"; });
  Satisfy(run, aggressor, goal::Barrier, run.FirstTerra(), "Daring attack", m.Comp().BasMeta);
  Satisfy(run, m, goal::Barrier, run.FirstTerra(), "HaltenGewagt", m.Comp().BasMeta);
  UpdateRelation(m.Relations, aggressor, -0.1);
  m.Action = action::Hold;
}

void FaceAggressor(Run& run, TMaus& m, TMaus& aggressor) {
  Log(run, m, 8, [] { return "Aggressor close!"; });
  if (m.Support.value > 0) {
    Satisfy(run, m, goal::Friend, run.FirstTerra(), "SocialSupport", m.Comp().BasMeta);
    Log(run, m, 6, [] { return "I´ll get support!"; });
  } else {
    Dissatisfy(run, m, need::Comp, "NoSocialSupport", -m.Comp().BasMeta);
    Log(run, m, 6, [] { return "I´ll get no support!"; });
  }
  const double r = run.random.Uniform();
  const double k = Courage(m);
  if (r >= k || m.Afraid)
    RunAway(run, m, aggressor);
  else
    HoldGround(run, m, aggressor);
}

void RespondToThreat(Run& run, TMaus& m) {
  Log(run, m, 4, [] { return "Attacked or Fear"; });
  if (m.Attacked) {
    run.PlayWave(m, "Au.wav");
    Dissatisfy(run, m, need::Pain, "PainAttacked", -m.Damage);
    RestoreStrength(m);
    Log(run, m, 6, [] { return "Attacked - got pain"; });
  } else {
    Dissatisfy(run, m, need::Comp, "PainFear", -m.Comp().BasMeta);
    Log(run, m, 6, [] { return "Endure Fear"; });
  }
  if (TMaus* aggressor = CloseMouse(run, m, m.Heading)) {
    FaceAggressor(run, m, *aggressor);
  } else {
    Log(run, m, 8, [] { return "Aggressor not close!"; });
    if (m.Afraid) {
      Log(run, m, 6, [] { return "Run away because of fear!"; });
      StepAway(run, m, 15, NormalizeAngle(m.Threat.direction + Pi));
      run.Stats.Add(stat::ThreatFlight, 1);
      m.Action = action::Flight;
    }
  }
  m.Attacked = false;
  m.Afraid = false;
}

void AnswerTenderContact(Run& run, TMaus& m) {
  run.PlayWave(m, "kiss.wav");
  Satisfy(run, m, goal::Friend, run.FirstTerra(), "Affiliation2", 1.0);
  m.Action = action::Smile;
  Log(run, m, 4, [] { return "Tender contact!"; });
}

// Walks towards the mouse the mission is about (or a new one in sight).
void MoveForHelp(Run& run, TMaus& m) {
  ClearTargets(m);
  if (m.HelpCry == 1)
    m.Competitor = HandleOf(NearestEnemy(run, m, m.SeenEnemies));
  else
    m.Miserablemaus = HandleOf(NeediestFriend(run, m.SeenFriends));
  if (!run.Mice.Find(m.Competitor)) m.Miserablemaus = HandleOf(NeediestFriend(run, m.SeenFriends));
  TMaus* t = GoalMouse(run, m);
  if (!t) return;
  const TPoint p = t->Position;
  const double direction = Direction(m.Position, p);
  m.Facing = FacingIndex(m.Position, p);
  double step = m.Arousal * 20 * m.CurStrength();
  const double d = Distance(m.Position, p);
  Log(run, m, 6, [&] {
    return "Try to move towards friend or enemy!" + std::to_string(t->ID) + FormatFixed(d, 0, 2);
  });
  if (d - 10 < step) step = d - 10;
  const RingStep q = FreeStepAround(run, m, m.Position, step, direction);
  if (q.point.x >= 0) m.Heading = q.heading;
  if (q.point.x >= 0) {
    m.Action = action::Move;
    m.Position = q.point;
    m.MovedForHelp = true;
    Log(run, m, 6,
        [&] { return "Moved for help!" + std::to_string(t->ID) + FormatFixed(d, 0, 2); });
    Satisfy(run, m, goal::Friend, run.FirstTerra(), "moved for help", 0.5);
  }
}

void CarryOutHelpMission(Run& run, TMaus& m) {
  TMaus* close = CloseMouse(run, m, m.Heading);
  if (close && close->Handle == m.Miserablemaus) {
    run.PlayWave(m, "care.wav");
    GiveHelp(run, m, *close, m.HelpCry);
  } else if (close) {
    Aggression(run, m, close);
    if (m.Action == action::Bite) {
      Log(run, m, 6, [] { return "I´ve bitten him!"; });
      Satisfy(run, m, goal::Barrier, run.FirstTerra(), "Aggression for Friend",
              4 * m.Comp().BasMeta);
      Satisfy(run, m, goal::Friend, run.FirstTerra(), "AggressionFuerAndere", 0.8);
      run.Stats.Add(stat::HelpAggress, 1);
    }
  }
  if (m.Action == action::NoAction) MoveForHelp(run, m);
}

void CarryOutCompAttack(Run& run, TMaus& m) {
  const char* bitten;
  if (TMaus* competitor = run.Mice.Find(m.Competitor);
      competitor && CompetitorClose(run, m, m.Heading)) {
    Aggression(run, m, competitor);
    bitten = "I´ve bitten him because I was bored!";
  } else {
    Aggression(run, m, CloseMouse(run, m, m.Heading));
    bitten = "I´ve bitten him to show my competence!";
  }
  if (m.Action == action::Bite) {
    Log(run, m, 6, [&] { return std::string(bitten); });
    Satisfy(run, m, goal::Barrier, run.FirstTerra(), "CompAggression", 4 * m.Comp().BasMeta);
  }
  m.CompAttack = false;
}

void SocialBranch(Run& run, TMaus& m) {
  if (m.Attacked || m.Afraid) RespondToThreat(run, m);
  if (m.Smiling) AnswerTenderContact(run, m);
  if (m.OnHelpMission) CarryOutHelpMission(run, m);
  if (m.CompAttack) CarryOutCompAttack(run, m);
}

// The need the goal memory says this kind serves, and that is most urgent now.
need::Need ServedNeed(Run& run, TMaus& m, goal::Goal kind) {
  const TGoalMemEl& el = FindElement(m.GoalMemory, run.settings, kind);
  need::Need served = need::NoNeed;
  double best = 0;
  for (int i = 0; i < need::Count; ++i) {
    if (el.Values[i] > 0 && m.Motives[i].Urgency > best) {
      best = m.Motives[i].Urgency;
      served = static_cast<need::Need>(i);
    }
  }
  return served;
}

void Consume(Run& run, TMaus& m, TTerra& patch, const char* sound) {
  run.PlayWave(m, sound);
  Satisfy(run, m, GoalOfKind(patch.Kind), &patch, "SatisfyExist", 0.2);
  RestoreStrength(m);
  if (RememberGoalPlace(run, m, GoalOfKind(patch.Kind), m.Position))
    Satisfy(run, m, goal::Uncertainty, run.FirstTerra(), "New Goal - information!",
            m.P(param::GainCert) * 0.2);
  m.KeepConsuming = m.M(m.Need).Ist < 1 && patch.Amount > 0;
}

void GetHurt(Run& run, TMaus& m) {
  run.PlayWave(m, "au.wav");
  Dissatisfy(run, m, need::Pain, "Wounded", -0.1);
  RestoreStrength(m);
  RememberPainPlace(run, m, goal::Stones, m.Position);
  Log(run, m, 6, [] { return "Wounded!"; });
  m.Dares = run.random.Uniform() * 2 < Braveness(m);
  if (m.Dares) {
    m.Action = action::Hold;
    Log(run, m, 8, [] { return "Stand Pain!"; });
    return;
  }
  Dissatisfy(run, m, need::Cert, "UnexpectedPain", -0.5 * m.P(param::LossCert));
  const double direction = NormalizeAngle(m.Heading + Pi);
  Log(run, m, 8, [] { return "Flight from painsource!"; });
  StepAway(run, m, 20, direction);
  m.Action = action::Flight;
}

// Gets ready to take what the patch holds; returns the sound of taking it.
const char* PrepareTaking(Run& run, TMaus& m, goal::Goal g, const TTerra& patch) {
  switch (g) {
    case goal::Food:
      m.Action = action::Feed;
      Log(run, m, 6, [] { return "Feed!"; });
      return "fressen.wav";
    case goal::Water:
    case goal::Vorarazav:
      m.Action = action::Drink;
      Log(run, m, 6, [] { return "Drink!"; });
      if (patch.Kind == KindVorarazav) {
        m.Drunkenness() = 1;
        m.TimeTillSober() = 100;
        run.Stats.Add(stat::Drunken, 1);
        m.Jul += 1;
        Log(run, m, 6, [&] { return "Drink Vorarazav - Mmmh!; jul: " + FormatGeneral(m.Jul); });
      }
      return "schlurf.wav";
    case goal::HealingHerbs:
      m.Action = action::Cure;
      Log(run, m, 6, [] { return "Ah - much better now!"; });
      return "cure.wav";
    default:
      return "";
  }
}

void LearnWithoutTaking(Run& run, TMaus& m, const Opportunity& here) {
  if (here.need == need::Pain && here.patch->Kind != KindHealingHerbs) return;
  if (run.random.Uniform() > m.Inhib &&
      RememberGoalPlace(run, m, GoalOfKind(here.patch->Kind), m.Position)) {
    Log(run, m, 6, [] { return "Opportunities and goals found and learned!"; });
    Satisfy(run, m, goal::Uncertainty, run.FirstTerra(), "Neue Wege gelernt!",
            m.P(param::GainCert) * 1);
  }
}

void GoalBranch(Run& run, TMaus& m) {
  const Opportunity here = WhatIsHere(run, m);
  Log(run, m, 4, [] { return "Opportunities or Dangers?"; });
  const goal::Goal g = here.kind;
  if (!((m.Goal != goal::NoGoal && g >= goal::Food) || g == goal::Stones)) return;
  m.Goal = ChooseGoal(run, m);
  if ((m.Goal == goal::Uncertainty || m.Goal == goal::Barrier) && here.need == m.Need &&
      m.M(m.Need).Ist <= 0.8)
    m.Goal = g;
  if (m.Goal != m.PrevGoal) ChangeIntention(run, m, stat::OppCh);
  const need::Need servedNeed = ServedNeed(run, m, g);
  TTerra& patch = *here.patch;
  const bool take = m.Goal == g || (servedNeed != need::NoNeed && run.random.Uniform() < m.Inhib) ||
                    patch.Kind == KindStones;
  if (!take) {
    LearnWithoutTaking(run, m, here);
    return;
  }
  const char* sound = PrepareTaking(run, m, g, patch);
  if (g != goal::Stones)
    Consume(run, m, patch, sound);
  else
    GetHurt(run, m);
}

}  // namespace

void Manipulate(Run& run, TMaus& m) {
  if (m.Action == action::Sleep) return;
  m.MovedForHelp = false;
  Log(run, m, 2,
      [&] { return std::string("Mani! ") + NeedNames[m.Need] + "   " + GoalNames[m.Goal]; });
  if (run.RecordLines) {
    run.SumLines.AddFlag("Aggression", m.Attacked);
    run.SumLines.AddFlag("Smile", m.Smiling);
  }
  if (m.Smiling || m.Attacked || m.Afraid || m.OnHelpMission || m.CompAttack)
    SocialBranch(run, m);
  else
    GoalBranch(run, m);
  m.Smiling = false;
}

TMaus* NearestEnemy(const Run& run, const TMaus& m, const TMausRefs& list) {
  TMaus* best = nullptr;
  double nearest = 100000;
  for (MouseHandle handle : list) {
    TMaus* o = run.Mice.Find(handle);
    const double d = Distance(o->Position, m.Position);
    if (RelationValueOr0(m, o) < 0 && d < nearest) {
      best = o;
      nearest = d;
    }
  }
  return best;
}

TMaus* NeediestFriend(const Run& run, const TMausRefs& list) {
  TMaus* best = nullptr;
  double top = 0;
  for (MouseHandle handle : list) {
    TMaus* o = run.Mice.Find(handle);
    double u = 0;
    for (int n = need::Hunger; n <= need::Pain; ++n)
      u = std::max(u, o->Motives[n].Urgency);
    if (u > top) {
      best = o;
      top = u;
    }
  }
  return best;
}

}  // namespace murinex
