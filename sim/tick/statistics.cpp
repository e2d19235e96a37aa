#include "sim/tick/statistics.h"

#include <cmath>
#include <cstdint>

#include "agent/maus.h"
#include "model/run.h"
#include "world/format.h"

namespace murinex {

bool IsRateColumn(int column) {
  switch (column) {
    case stat::Arousal:
    case stat::Inhib:
    case stat::Fear:
    case stat::NoNeed:
    case stat::GSand:
    case stat::GStones:
    case stat::NMaus:
    case stat::Age:
    case stat::LifeLength:
    case stat::RelFriends:
    case stat::RelEnemies:
    case stat::EnToFrin:
    case stat::MDensity:
    case stat::MVarDens:
      return false;
    default:
      return true;
  }
}

namespace {

// Means over the living mice; with no mouse every mean is 0.
void SetPopulationMeans(Run& run) {
  StatSums& s = run.Stats;
  const auto n = static_cast<std::int64_t>(run.Mice.size());
  double arousal = 0, inhib = 0, friendship = 0, enmity = 0;
  std::int64_t age = 0;
  for (const auto& m : run.Mice) {
    arousal += m->Arousal;
    inhib += m->Inhib;
    age += m->Age;
    for (const TFrinEn& e : m->Relations) {
      friendship += e.Friendship;
      enmity += e.Enmity;
    }
  }
  s[stat::NMaus] = static_cast<double>(n);
  const double count = static_cast<double>(n);
  s[stat::RelFriends] = n > 0 ? friendship / count : 0;
  s[stat::RelEnemies] = n > 0 ? -enmity / count : 0;
  s[stat::EnToFrin] = s[stat::RelFriends] > 0 ? s[stat::RelEnemies] / s[stat::RelFriends] : 0;
  s[stat::Arousal] = n > 0 ? arousal / count : 0;
  s[stat::Inhib] = n > 0 ? inhib / count : 0;
  s[stat::Age] = n > 0 ? static_cast<double>(age) / count : 0;
}

std::string FormatStat(double value) {
  if (std::fabs(value) >= 1e18) return FormatExponent(value, 5);
  return FormatFixed(value, 0, 5);
}

}  // namespace

std::string WriteStatRow(Run& run) {
  StatSums& s = run.Stats;
  std::string row = FormatInt(run.StatRowCount, 4) + ";";
  SetPopulationMeans(run);
  if (s[stat::Deathrate] > 0) s[stat::LifeLength] = s[stat::LifeLength] / s[stat::Deathrate];
  const std::int64_t divisor =
      static_cast<std::int64_t>(run.Mice.size()) * run.model.StatisticsInterval;
  for (int i = 0; i < stat::Count; ++i) {
    double value = s.Slot(i);
    if (IsRateColumn(i)) value = divisor != 0 ? value / static_cast<double>(divisor) : 0;
    if (i == stat::Learn) value = value * 10;
    row += FormatStat(value) + ";";
    s.Slot(i) = 0;
  }
  row += "\n";
  run.StatProto.Write(row);
  run.FlushProtocols();
  return row;
}

}  // namespace murinex
