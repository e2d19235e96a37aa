#include "agent/maus.h"

#include <algorithm>

#include "model/lines.h"

namespace murinex {

TMaus::TMaus(std::int32_t id) : ID(id) {
  ExploreTarget = std::make_shared<TGoalAvLoc>();
  ExploreTarget->NextIndex = 0;  // all fields zero at first
  for (int i = 0; i < need::Count; ++i)
    Motives[i].Name = NeedNames[i];
  Lines = std::make_unique<TLines>();
  Genom = std::make_unique<TGenom>();
  CopyGenom(*this);
}

TMaus::~TMaus() = default;

TMaus* TMaus::GoalMouse() const {
  if (Competitor) return Competitor;
  if (Partner) return Partner;
  return Miserablemaus;
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
    if (e.OtherMaus == other && other != nullptr) {
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
  auto it = std::find_if(relations.begin(), relations.end(),
                         [&](const TFrinEn& e) { return e.OtherMaus == &other; });
  if (it == relations.end()) {
    relations.push_back(TFrinEn{other.ID, &other, 0, 0});
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

TPoint MeanPosition(const TMausRefs& mice) {
  if (mice.empty()) return NoPoint;
  std::int64_t sx = 0, sy = 0;
  for (const TMaus* m : mice)
    sx += m->Position.x, sy += m->Position.y;
  const double n = static_cast<double>(mice.size());
  return {RoundHalfEven(static_cast<double>(sx) / n), RoundHalfEven(static_cast<double>(sy) / n)};
}

}  // namespace murinex
