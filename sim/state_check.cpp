#include "sim/state_check.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "agent/maus.h"
#include "model/run.h"
#include "world/error.h"
#include "world/format.h"

namespace murinex {

namespace {

constexpr std::int32_t Int32Max = std::numeric_limits<std::int32_t>::max();

// Collects the owner's name once a value fails; the common case costs a test.
class Checker {
 public:
  Checker(const Run& run, std::string owner) : run_(run), owner_(std::move(owner)) {}

  void Real(double value, const char* field, const std::string& detail = "") const {
    if (!std::isfinite(value))
      Fail(std::string(field) + detail + " is not a finite number (" + FormatGeneral(value) + ")");
  }
  [[noreturn]] void Fail(const std::string& what) const {
    throw InputError("", 0, "tick " + std::to_string(run_.TickCount) + ": " + owner_ + ": " + what);
  }

 private:
  const Run& run_;
  std::string owner_;
};

void CheckPatch(const Run& run, const TTerra& t, std::size_t index) {
  const double values[] = {t.Level, t.Amount, t.Area};
  if (std::isfinite(values[0] + values[1] + values[2])) return;
  const Checker c(run, "patch " + std::to_string(index) + " \"" + t.Name + "\"");
  c.Real(t.Level, "Level");
  c.Real(t.Amount, "Amount");
  c.Real(t.Area, "Area");
}

void CheckGenom(const Checker& c, const TGenom& g, const char* which) {
  for (std::size_t i = 0; i < g.MotWeights.size(); ++i)
    c.Real(g.MotWeights[i], which, " MotWeights " + std::to_string(i));
  for (std::size_t i = 0; i < g.PersonGenes.size(); ++i)
    c.Real(g.PersonGenes[i], which, std::string(" person gene ") + PersonParamNames[i]);
  for (std::size_t i = 0; i < g.BasMetaGenes.size(); ++i)
    c.Real(g.BasMetaGenes[i], which, " BasMetaGenes " + std::to_string(i));
}

void CheckMotives(const Checker& c, const TMaus& m) {
  for (int i = 0; i < need::Count; ++i) {
    const TMotiv& mo = m.Motives[i];
    const std::string of = std::string(" of ") + NeedNames[i];
    c.Real(mo.Ist, "Ist", of);
    c.Real(mo.Soll, "Soll", of);
    c.Real(mo.Deviation, "Deviation", of);
    c.Real(mo.Urgency, "Urgency", of);
    c.Real(mo.BasMeta, "BasMeta", of);
    c.Real(mo.Leak, "Leak", of);
    c.Real(mo.Weight, "Weight", of);
    c.Real(mo.EpComp, "EpComp", of);
    c.Real(mo.DevChange, "DevChange", of);
  }
}

void CheckMemory(const Checker& c, const TMaus& m) {
  for (const auto& el : m.GoalMemory) {
    const std::string of = std::string(" of goal ") + GoalNames[el->GoalKind % goal::Count];
    for (int i = 0; i < need::Count; ++i)
      c.Real(el->Values[i], "goal value", of + " for " + NeedNames[i]);
    c.Real(el->Expectation, "Expectation", of);
  }
  for (std::size_t k = 0; k < m.GoalLocations.size(); ++k) {
    const TGoalAvLoc& p = *m.GoalLocations[k];
    const std::string of = " of place " + std::to_string(k);
    c.Real(p.Quality, "Quality", of);
    c.Real(p.Retention, "Retention", of);
    c.Real(p.Progress, "Progress", of);
  }
  for (const TFrinEn& e : m.Relations) {
    c.Real(e.Friendship, "Friendship", " towards mouse " + std::to_string(e.OtherID));
    c.Real(e.Enmity, "Enmity", " towards mouse " + std::to_string(e.OtherID));
  }
  for (const TProtocol& p : m.Protocol)
    c.Real(p.Vividness, "Vividness", " of a track point");
}

// Sums first: a sum is finite only when every term is, so a healthy mouse
// costs one pass of additions.
bool AllFinite(const TMaus& m) {
  double sum = m.SumWeights + m.TotNeedStrength + m.PrevTotNeedStrength + m.Heading + m.Damage +
               m.Jul + m.Threat.value + m.Threat.direction + m.Support.value + m.Support.direction +
               m.Arousal + m.Inhib;
  for (double v : m.ActVal)
    sum += v;
  for (double v : m.Params)
    sum += v;
  for (const TMotiv& mo : m.Motives)
    sum += mo.Ist + mo.Soll + mo.Deviation + mo.Urgency + mo.BasMeta + mo.Leak + mo.Weight +
           mo.EpComp + mo.DevChange;
  for (const auto& el : m.GoalMemory) {
    for (double v : el->Values)
      sum += v;
    sum += el->Expectation;
  }
  for (const auto& p : m.GoalLocations)
    sum += p->Quality + p->Retention + p->Progress;
  for (const TFrinEn& e : m.Relations)
    sum += e.Friendship + e.Enmity;
  for (const TProtocol& p : m.Protocol)
    sum += p.Vividness;
  if (m.Embryo) {
    for (double v : m.Embryo->MotWeights)
      sum += v;
    for (double v : m.Embryo->PersonGenes)
      sum += v;
    for (double v : m.Embryo->BasMetaGenes)
      sum += v;
  }
  // Large finite values may add up to infinity; the field-by-field pass decides.
  return std::isfinite(sum);
}

void CheckMaus(const Run& run, const TMaus& m) {
  if (m.Age == Int32Max)
    Checker(run, "mouse " + std::to_string(m.ID)).Fail("Age has reached the largest integer");
  if (AllFinite(m)) return;
  const Checker c(run, "mouse " + std::to_string(m.ID));
  c.Real(m.SumWeights, "SumWeights");
  c.Real(m.TotNeedStrength, "TotNeedStrength");
  c.Real(m.PrevTotNeedStrength, "PrevTotNeedStrength");
  c.Real(m.Heading, "Heading");
  c.Real(m.Damage, "Damage");
  c.Real(m.Jul, "Jul");
  c.Real(m.Threat.value, "Threat");
  c.Real(m.Threat.direction, "Threat direction");
  c.Real(m.Support.value, "Support");
  c.Real(m.Support.direction, "Support direction");
  c.Real(m.Arousal, "Arousal");
  c.Real(m.Inhib, "Inhib");
  for (std::size_t i = 0; i < m.ActVal.size(); ++i)
    c.Real(m.ActVal[i], "ActVal slot ", std::to_string(i));
  for (std::size_t i = 0; i < m.Params.size(); ++i)
    c.Real(m.Params[i], PersonParamNames[i]);
  CheckMotives(c, m);
  CheckMemory(c, m);
  if (m.Embryo) CheckGenom(c, *m.Embryo, "embryo");
}

}  // namespace

void CheckRunState(const Run& run) {
  if (run.World)
    for (std::size_t i = 0; i < run.World->TerraList.size(); ++i)
      CheckPatch(run, *run.World->TerraList[i], i);
  for (const auto& m : run.Mice)
    CheckMaus(run, *m);
}

void CheckTickRoom(const Run& run) {
  if (run.TickCount == Int32Max)
    throw InputError("", 0,
                     "tick " + std::to_string(run.TickCount) +
                         ": the tick counter has reached the largest integer");
}

}  // namespace murinex
