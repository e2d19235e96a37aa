#include "agent/maus.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "model/lines.h"
#include "model/run.h"

namespace murinex {

TMaus::TMaus(std::int32_t id) : ID(id) {
  ExploreTarget = GoalLocations.New();
  GoalLocations.At(ExploreTarget).NextIndex = 0;  // all fields zero at first
  for (int i = 0; i < need::Count; ++i)
    Motives[i].Name = NeedNames[i];
  Lines = std::make_unique<TLines>();
  Genom = std::make_unique<TGenom>();
  CopyGenom(*this);
}

TMaus::~TMaus() = default;

TMaus* GoalMouse(const Run& run, const TMaus& m) {
  if (TMaus* competitor = run.Mice.Find(m.Competitor)) return competitor;
  if (TMaus* partner = run.Mice.Find(m.Partner)) return partner;
  return run.Mice.Find(m.Miserablemaus);
}

void CopyGenom(TMaus& m) {
  *m.Genom = CurrentGenes(m);
}

TGenom CurrentGenes(const TMaus& m) {
  TGenom g = *m.Genom;
  for (int i = 0; i < need::Count; ++i)
    g.MotWeights[i] = m.Motives[i].Weight;
  for (int j = 0; j < param::Count; ++j)
    g.PersonGenes[j] = m.Params[j];
  for (int i = 1; i <= 3; ++i)
    g.ReserveGenes[i] = m.Motives[i].MaxReserve;
  for (int i = 1; i <= 7; ++i)
    g.BasMetaGenes[i] = m.Motives[i].BasMeta;
  return g;
}

bool RelationValue(const TMaus& m, const TMaus* other, double& value) {
  for (const TFrinEn& e : m.Relations) {
    if (other != nullptr && e.Other == other->Handle && e.Other != MouseHandle{}) {
      value = EntryValue(e);
      return true;
    }
  }
  value = 0;
  return false;
}

double RelationValueOr0(const TMaus& m, const TMaus* other) {
  double value;
  RelationValue(m, other, value);
  return value;
}

void UpdateRelation(TFrinEnList& relations, TMaus& other, double x) {
  // Without a handle the entry could not be told from one not yet linked.
  if (other.Handle == MouseHandle{})
    throw std::logic_error("a relation to mouse " + std::to_string(other.ID) +
                           ", which is in no run");
  auto it = std::find_if(relations.begin(), relations.end(),
                         [&](const TFrinEn& e) { return e.Other == other.Handle; });
  if (it == relations.end()) {
    relations.push_back(TFrinEn{other.ID, other.Handle, 0, 0});
    it = relations.end() - 1;
  }
  if (x > 0) {
    it->Friendship += 0.5 * x;
    if (it->Friendship > 1) it->Friendship = 1;
  } else {
    it->Enmity += 3 * x;
    if (it->Enmity < -1) it->Enmity = -1;
  }
}

TPoint MeanPosition(const Run& run, const TMausRefs& mice) {
  if (mice.empty()) return NoPoint;
  std::int64_t sx = 0, sy = 0;
  for (MouseHandle handle : mice) {
    const TMaus* m = run.Mice.Find(handle);
    sx += m->Position.x, sy += m->Position.y;
  }
  const double n = static_cast<double>(mice.size());
  return {RoundHalfEven(static_cast<double>(sx) / n), RoundHalfEven(static_cast<double>(sy) / n)};
}

}  // namespace murinex
