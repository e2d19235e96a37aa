#include "world/input_ranges.h"

#include <cmath>

#include "world/error.h"
#include "world/format.h"
#include "world/text_reader.h"

namespace murinex {

namespace {

constexpr double Coord = CoordinateLimit;
constexpr double Big = 1e9;  // leaves 1.1e9 steps of 1 before a 32-bit integer overflows

}  // namespace

// clang-format off
const ValueRange InputRanges[static_cast<int>(Field::Count)] = {
  // world file
  {"WorldWidth, WorldHeight", 1, Coord, "the lookup raster holds at most 2^28 pixels"},
  {"polygon corner x, y", -Coord, Coord, "products of corners and the centroid stay exact; edges are clipped to the world"},
  {"season count", 0, 1000, "every tick walks the seasons of every patch"},
  {"Level", 0, 1, "a fill level: 0 empty, 1 full"},
  {"Growth", 0, 1, "added to the level per tick, which is capped at 1"},
  {"Decay", 0, 1, "the share of the level lost per tick; beyond 1 the level swings and grows without end"},
  // settings file
  {"LifeSpan", 0, Big, "an age; LifeSpan - 500 is compared with ages"},
  {"DeathAge", 0, Big, "an age"},
  {"DeathProbability, MutationRate", 0, 1, "probabilities"},
  {"unused settings value", -Big, Big, "read and not used; kept finite"},
  {"mutation scale", 0, 100, "scales a gene's range; a child's gene is clamped to the range anyway"},
  {"action cost", -100, 100, "taken from Hunger and Thirst per tick while acting, times at most 0.005 x CurStrength"},
  {"action colour", 0, 0xFFFFFF, "a 0x00BBGGRR colour"},
  {"goal-need value", -1, 1, "Satisfy keeps goal values within 0..1, a painful goal carries -1"},
  // population file
  {"start tick", 0, Big, "the tick counter starts here and the run stops before it overflows"},
  {"ID, MotherID", -Big, Big, "newborns take IDs above the largest read"},
  {"Age", 0, Big, "ticks lived; grows by one per tick"},
  {"BirthTick", -Big, Big, "a tick number"},
  {"position x, y", -Coord, Coord, "as polygon corners: steps and distances stay exact"},
  {"ActVal slot 0 (CurStrength)", -100, 100, "a step is Arousal x 20 x CurStrength world units; set from Strength"},
  {"ActVal slots 1 to 4", -1e6, 1e6, "no rule depends on their size; slots 3 and 4 are written as integers"},
  {"ActVal slot 6 (Pregnant)", 0, 1, "a flag, 0 or 1: a fraction would be written as 0 and the embryo's lines misread"},
  {"ActVal slot 5 (TimeTillSober)", 0, 10000, "ticks; drinking sets 100, strength falls by up to 0.005 per tick left"},
  {"ActVal slot 7 (BirthCountdown)", 0, 1e6, "ticks; a conception sets 2000"},
  {"Soll", 0, 1, "a need level: 0 empty, 1 fully satisfied"},
  {"Ist", -100, 100, "a need level, 0..1 after each regulation; the action costs taken after it (at most 100 x 100 x 0.005) may leave a dump slightly outside"},
  {"BasMeta", -1000, 1000, "the need level lost per second; the level is kept within 0..1"},
  {"Leak", -1e6, 1e6, "carried, no rule uses it"},
  {"Weight", 0, 1000, "importance of a need; weights are summed and multiply deviations"},
  {"Reserve, MaxReserve", -Big, Big, "ticks a mouse survives an empty need; counted by one per tick"},
  {"BasAr", -10, 10, "scales the arousal, which is kept within 0..1"},
  {"ArousalW, SelectW", -1e6, 1e6, "carried, no rule uses them"},
  {"InhibW", -10, 10, "Inhib = Arousal x InhibW; a blocked mouse probes round((1 - Inhib) x 10) directions, at most 110"},
  {"LossComp, GainComp, LossCert, GainCert", -100, 100, "steps of need levels kept within 0..1"},
  {"RateForget", 0, 1, "a forgetting rate; below 0 friendships and goal values grow without end"},
  {"RateReinforce", 0, 10, "below 0 a new place gets a negative retention, whose root is no number"},
  {"ProtMem", 0, 1, "fading of the track per tick; below 0 the track never fades and grows each tick"},
  {"Strength", -100, 100, "a step is Arousal x 20 x Strength world units"},
  {"SightWidth", 0, 1e6, "a distance in world units"},
  {"AffilSens", -100, 100, "scales a need level change kept within 0..1"},
  {"Carefactor", 0, 1, "the probability that a child inherits a remembered place"},
  {"Retention", 0, 1, "memory strength"},
  {"LastRecall", 0, Big, "a tick number, not after the start tick"},
  {"Progress", -1e6, 1e6, "a running average of approach steps, a few world units"},
  {"Quality", -1e6, 1, "capped at 1; lowered in steps below 0"},
  {"entry count", 0, 1e7, "FriEns and Protocol entries of one mouse"},
  {"Friendship", 0, 1, "UpdateRelation keeps it within 0..1"},
  {"Enmity", -1, 0, "UpdateRelation keeps it within -1..0"},
  {"Vividness", 0, 1, "fades from 1 towards 0"},
  // the model's own values
  {"model.MatingAge", 0, Big, "an age in ticks, compared with ages"},
  {"model.PregnancyLength", 1, 1e6, "ticks; the BirthCountdown it sets must fit its range"},
  {"model.StatisticsInterval, model.DumpInterval", 1, Big, "ticks; the tick count is divided by it"},
};
// clang-format on

Field ParamField(int index) {
  static constexpr Field fields[15] = {
      Field::BasAr,        Field::UnusedParam,   Field::InhibW,       Field::UnusedParam,
      Field::CompCertStep, Field::CompCertStep,  Field::CompCertStep, Field::CompCertStep,
      Field::RateForget,   Field::RateReinforce, Field::ProtMem,      Field::Strength,
      Field::SightWidth,   Field::AffilSens,     Field::Carefactor};
  return fields[index];
}

bool InRange(Field field, double value) {
  const ValueRange& r = RangeOf(field);
  return value >= r.minimum && value <= r.maximum;  // false for NaN
}

void FailRange(const TextReader& in, int line, Field field, const std::string& what, double value) {
  const ValueRange& r = RangeOf(field);
  throw InputError(in.Name(), line,
                   what + " must lie between " + FormatGeneral(r.minimum) + " and " +
                       FormatGeneral(r.maximum) + " (" + r.reason + "), found " +
                       FormatGeneral(value));
}

double ReadReal(TextReader& in, Field field, const std::string& what) {
  const double value = in.ReadReal(what);
  if (!InRange(field, value)) FailRange(in, in.Line(), field, what, value);
  return value;
}

std::int32_t ReadInt(TextReader& in, Field field, const std::string& what) {
  const std::int32_t value = in.ReadInt(what);
  if (!InRange(field, value)) FailRange(in, in.Line(), field, what, value);
  return value;
}

}  // namespace murinex
