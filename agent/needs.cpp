#include "agent/needs.h"

#include "agent/event_protocol.h"
#include "agent/maus.h"
#include "model/run.h"
#include "world/format.h"

namespace murinex {

double Clamp(double v, double low, double high) {
  if (v < low) return low;
  if (v > high) return high;
  return v;
}

double Metabolise(TMotiv& motive, double dt) {
  const double delta = -motive.BasMeta * dt;
  motive.Ist = motive.Ist + delta;
  if (motive.Ist < 0) motive.Ist = 0;
  if (motive.Ist > 1) motive.Ist = 1;
  motive.Deviation = motive.Soll - motive.Ist;
  motive.Urgency = motive.Deviation * motive.Weight;
  return delta;
}

namespace {

double TickSeconds(const Run& run) {
  return run.TickInterval / 1000.0;
}

// Drains needs 1..7; returns the sum of urgencies and the range of DevChange.
struct Drain {
  double urgency = 0;
  double dComp = 0;
  double hi = -10000;
  double lo = 10000;
};

Drain DrainNeeds(Run& run, TMaus& m) {
  Drain d;
  const double dt = TickSeconds(run);
  for (int i = 1; i < need::Count; ++i) {
    TMotiv& motive = m.Motives[i];
    const double delta = Metabolise(motive, dt);
    if (i == need::Pain) RestoreStrength(m);
    if (i == need::Comp) d.dComp = delta;
    motive.DevChange = motive.Deviation - delta;
    run.Stats.Add(StatSums::NeedColumn(i), motive.Deviation);
    d.urgency = d.urgency + motive.Urgency;
    if (motive.DevChange > d.hi) d.hi = motive.DevChange;
    if (motive.DevChange < d.lo) d.lo = motive.DevChange;
  }
  return d;
}

void UpdateArousal(TMaus& m, double compDeviation, const Drain& drain) {
  const double a0 = m.Arousal;
  const double d = compDeviation;
  double base = m.P(param::BasAr) * m.Comp().Ist;
  if (m.Need != need::NoNeed && m.M(m.Need).Deviation > base) base = m.M(m.Need).Deviation;
  m.Arousal = base + 4 * d * (1 - d) * (1 - base);
  m.Arousal = (5 * a0 + m.Arousal) / 6;
  m.Arousal = m.Arousal + (drain.hi + drain.lo) * 0.1;
  if (m.Arousal > 1) m.Arousal = 1;
  if (m.Arousal < 0) m.Arousal = 0;
}

}  // namespace

void Regulate(Run& run, TMaus& m) {
  TMotiv& comp = m.Comp();
  double old = comp.Ist;
  const Drain drain = DrainNeeds(run, m);
  const double compDeviation = comp.Deviation;
  CompLog(run, m.ID, "StepComp", old, comp.Ist, drain.dComp);
  if (m.Action == action::Sleep) {
    old = comp.Ist;
    comp.Ist = Clamp(10 * comp.BasMeta + comp.Ist, 0, 1);
    CompLog(run, m.ID, "Sleep", old, comp.Ist, 10 * comp.BasMeta);
  }
  // A population file may hold a mouse whose weights sum to 0: no total then.
  m.TotNeedStrength = m.SumWeights != 0 ? drain.urgency / m.SumWeights : 0;
  const double delta = m.TotNeedStrength - m.PrevTotNeedStrength;
  old = comp.Ist;
  comp.Ist = Clamp(comp.Ist - delta, 0, 1);
  if (run.Selected() == &m) CompLog(run, m.ID, "SetPar-TotNeedStrength", old, comp.Ist, -delta);
  m.PrevTotNeedStrength = m.TotNeedStrength;
  UpdateArousal(m, compDeviation, drain);
  m.Inhib = m.Arousal * m.P(param::InhibW);
  Log(run, m, 8, [&] {
    return "SetParam: Inhib: " + FormatFixed(m.Inhib, 0, 2) + "   " +
           "Arousal: " + FormatFixed(m.Arousal, 0, 2);
  });
}

double SatisfactionGain(const Run& run, const TMaus& m, goal::Goal g, double x) {
  double sum = 0;
  for (int i = 0; i < need::Count; ++i)
    sum = sum + x * run.settings.GoalNeedMatrix[g][i] * m.Motives[i].Urgency;
  return sum;
}

namespace {

// Takes what the patch can give; rates the place last reached by it.
double TakeFromPatch(Run& run, TMaus& m, goal::Goal g, TTerra& patch, double amount) {
  double a = amount;
  if (patch.Amount >= a) {
    patch.Amount -= a;
    if (TGoalAvLoc* rated = m.GoalLocations.Find(m.RatedLoc)) {
      const double q = rated->Quality;
      rated->Quality = SatisfactionGain(run, m, g, a) * (1 - q) + q;
      if (rated->Quality > 1) rated->Quality = 1;
    }
  } else {
    a = patch.Amount;
    patch.Amount = 0;
    // The place falls short of what was wanted: rate it down when it serves the current need.
    TGoalAvLoc* rated = m.GoalLocations.Find(m.RatedLoc);
    if (rated && Serves(rated->Kind(), m.Need))
      rated->Quality = rated->Quality - rated->Quality * 0.1;
  }
  return a;
}

}  // namespace

void Satisfy(Run& run, TMaus& m, goal::Goal g, TTerra* patch, const std::string& label,
             double amount) {
  double a = amount;
  if (patch && GoalOfKind(patch->Kind) == g) a = TakeFromPatch(run, m, g, *patch, amount);
  TGoalMemEl& el = FindElement(m.GoalMemory, run.settings, g);
  double f = 0;
  for (int i = 1; i < need::Count; ++i) {
    double h = a;
    if (i == need::Cert) h = m.P(param::GainCert) * a;
    if (i == need::Comp) h = m.P(param::GainComp) * a;
    f = run.settings.GoalNeedMatrix[g][i] * h;
    m.Motives[i].Ist = Clamp(m.Motives[i].Ist + f, 0, 1);
    el.Values[i] = Clamp(el.Values[i] + f, 0, 1);
  }
  CompLog(run, m.ID, label, f, m.Comp().Ist, a * m.P(param::GainComp));
}

void Dissatisfy(Run& run, TMaus& m, need::Need n, const std::string& label, double amount) {
  double factor = 1;
  if (n == need::Cert) factor = m.P(param::LossCert);
  if (n == need::Comp) factor = m.P(param::LossComp);
  m.Motives[n].Ist = Clamp(m.Motives[n].Ist + amount * factor, 0, 1);
  if (CompLogWanted(run, m.ID))
    CompLog(run, m.ID, std::string("DiSat") + NeedNames[n] + "-" + label, factor, m.Comp().Ist,
            amount * m.P(param::LossComp));
}

void RestoreStrength(TMaus& m) {
  m.CurStrength() = m.P(param::Strength);
}

void ClearTargets(TMaus& m) {
  m.Partner = {};
  m.Competitor = {};
  m.Miserablemaus = {};
}

bool CompLogWanted(const Run& run, std::int32_t id) {
  return run.Selected() != nullptr && id == run.CheckMausId;
}

void CompLog(Run& run, std::int32_t id, const std::string& label, double prev, double now,
             double change) {
  if (!CompLogWanted(run, id)) return;
  run.KofiProt.Write(";" + FormatInt(id, 8) + ";" + FormatInt(run.TickCount, 8) + ";" +
                     FormatFixed(prev, 8, 5) + ";" + FormatFixed(change, 8, 5) + ";" +
                     FormatFixed(now, 8, 5) + ";" + label + ";\n");
}

}  // namespace murinex
