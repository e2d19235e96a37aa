#pragma once

#include <cstdint>
#include <string>

namespace murinex {

class TextReader;

// Every number the input files hold is checked against the range in which the
// model means something. The ranges are wide enough for every sensible file
// (and every dump the program writes) and narrow enough that no formula of a
// run can overflow, divide into infinity or loop without end. docs/inputs.md
// lists the same table with the reasons.
enum class Field : std::uint8_t {
  // world file
  WorldSide,
  Corner,
  SeasonCount,
  Level,
  Growth,
  Decay,
  // settings file
  LifeSpan,
  DeathAge,
  Probability,  // DeathProbability, MutationRate
  UnusedSetting,
  MutationScale,
  ActionCost,
  Colour,
  GoalNeedValue,
  // population file
  StartTick,
  Id,
  Age,
  BirthTick,
  Position,
  CurStrength,
  ActValSpare,  // slots 1 to 3: no rule depends on their size
  Pregnant,
  TimeTillSober,
  BirthCountdown,
  Soll,
  Ist,
  BasMeta,
  Leak,
  Weight,
  Reserve,
  BasAr,
  UnusedParam,  // ArousalW, SelectW
  InhibW,
  CompCertStep,  // LossComp, GainComp, LossCert, GainCert
  RateForget,
  RateReinforce,
  ProtMem,
  Strength,
  SightWidth,
  AffilSens,
  Carefactor,
  Retention,
  LastRecall,
  Progress,
  Quality,
  EntryCount,  // FriEns and Protocol entries
  Friendship,
  Enmity,
  Vividness,
  // the model's own values (model.* of --set)
  MatingAge,
  PregnancyLength,
  Interval,  // StatisticsInterval, DumpInterval
  Count
};

struct ValueRange {
  const char* name;
  double minimum;
  double maximum;
  const char* reason;
};

// The table, indexed by Field.
extern const ValueRange InputRanges[static_cast<int>(Field::Count)];

inline const ValueRange& RangeOf(Field field) {
  return InputRanges[static_cast<int>(field)];
}

// The largest coordinate (either sign) of a polygon corner or a position. It
// holds a world of the largest raster and leaves room in 32 bits for any step.
inline constexpr std::int32_t CoordinateLimit = std::int32_t{1} << 28;
// The most probes a mouse makes around itself when its way is blocked.
inline constexpr int MaxRingProbes = 110;

// The range of the person parameter with index 0..14.
Field ParamField(int index);

// Reads a number and refuses it outside the field's range, naming the file,
// the line, `what`, the value and the allowed range.
double ReadReal(TextReader& in, Field field, const std::string& what);
std::int32_t ReadInt(TextReader& in, Field field, const std::string& what);
// Raises the same error for a value checked after reading (line `line`).
[[noreturn]] void FailRange(const TextReader& in, int line, Field field, const std::string& what,
                            double value);
bool InRange(Field field, double value);

}  // namespace murinex
