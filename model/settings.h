#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "world/fields.h"

namespace murinex {

class TextReader;

struct LifeRow {
  std::int32_t whole = 0;
  double real = 0;
};

// First column: mutation scale (person genes only; not used elsewhere).
struct RangeRow {
  double scale = 0;
  double minimum = 0;
  double maximum = 0;
};

struct ActionRow {
  double hungerCost = 0;
  double thirstCost = 0;
  std::int32_t colour = 0;  // 0x00BBGGRR
};

// The seven tables of the settings file, read-only once the run has started.
struct Settings {
  std::array<LifeRow, 4> LifeSettings{};
  std::array<RangeRow, 8> MotWeightRanges{};
  std::array<RangeRow, 15> PersonRanges{};
  std::array<RangeRow, 3> ReserveRanges{};
  std::array<RangeRow, 8> BasalMetaBolRanges{};
  std::array<ActionRow, 13> ActionSettings{};
  std::array<std::array<double, 8>, 11> GoalNeedMatrix{};

  // From this age on a mouse is drawn as old.
  std::int32_t LifeSpan() const { return LifeSettings[0].whole; }
  std::int32_t DeathAge() const { return LifeSettings[2].whole; }
  double DeathProbability() const { return LifeSettings[2].real; }
  double MutationRate() const { return LifeSettings[3].real; }

  static Settings Read(const std::string& path, const std::string& displayName);
  static Settings Read(TextReader& in);
};

// The model's numbers that no input file holds, named so that an experiment can
// vary them (`--set model.MatingAge=...`). The defaults are the values the
// model was built with; a run that sets none of them behaves as before.
struct ModelValues {
  std::int32_t MatingAge = 5000;          // ticks; the initiating mouse must be older
  double MatingChance = 0.5;              // probability that a tender contact conceives
  std::int32_t PregnancyLength = 2000;    // ticks from conception to birth
  std::int32_t StatisticsInterval = 100;  // ticks between rows of the statistics protocol
  std::int32_t DumpInterval = 10000;      // ticks between population and genome dumps
};

// The list of the values, in the order --list-set-names and a checkpoint use.
template <class M, class V>
void ModelFields(M& values, V&& visit) {
  visit(FieldInfo{"MatingAge", Field::MatingAge}, values.MatingAge);
  visit(FieldInfo{"MatingChance", Field::Probability}, values.MatingChance);
  visit(FieldInfo{"PregnancyLength", Field::PregnancyLength}, values.PregnancyLength);
  visit(FieldInfo{"StatisticsInterval", Field::Interval}, values.StatisticsInterval);
  visit(FieldInfo{"DumpInterval", Field::Interval}, values.DumpInterval);
}

}  // namespace murinex
