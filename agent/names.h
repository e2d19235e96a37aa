#pragma once

#include <cstdint>

namespace murinex {

// Needs, goals, actions and the terrain kinds (world/terrain.h) are distinct
// types: each converts to its number (an index into the tables sized by its
// Count), but none converts into another, so a terrain kind cannot be passed
// where a goal is meant without saying so (GoalOfKind).

// The needs; the index is also the index into a mouse's motives.
namespace need {
enum Need : std::uint8_t { NoNeed, Hunger, Thirst, Pain, Sex, Affil, Cert, Comp };
inline constexpr int Count = 8;
}  // namespace need

// The goals; 1..6 are also the terrain kinds of the patches.
namespace goal {
enum Goal : std::uint8_t {
  NoGoal,
  Sand,
  Food,
  Water,
  Vorarazav,
  Stones,
  HealingHerbs,
  Friend,
  HelpRequest,
  Uncertainty,
  Barrier
};
inline constexpr int Count = 11;
}  // namespace goal

namespace action {
enum Action : std::uint8_t {
  NoAction,
  Move,
  Explore,
  Flight,
  Bite,
  Hold,
  Feed,
  Drink,
  Cure,
  Smile,
  Plan,
  Sleep,
  Care
};
inline constexpr int Count = 13;
}  // namespace action

// A terrain kind (world/terrain.h) is the goal of the same number.
enum TerraKind : std::uint8_t;
inline goal::Goal GoalOfKind(TerraKind kind) {
  return static_cast<goal::Goal>(kind);
}

// The person parameters, indexes into TMaus::Params.
namespace param {
enum : std::uint8_t {
  BasAr,
  ArousalW,
  InhibW,
  SelectW,
  LossComp,
  GainComp,
  LossCert,
  GainCert,
  RateForget,
  RateReinforce,
  ProtMem,
  Strength,
  SightWidth,
  AffilSens,
  Carefactor
};
inline constexpr int Count = 15;
}  // namespace param

extern const char* const NeedNames[need::Count];
extern const char* const GoalNames[goal::Count];
extern const char* const ActionNames[action::Count];
extern const char* const PersonParamNames[param::Count];
// Names of one value per need, as the field lists name them ("Hunger.Weight").
inline constexpr const char* NeedWeightNames[need::Count] = {
    "NoNeed.Weight", "Hunger.Weight", "Thirst.Weight", "Pain.Weight",
    "Sex.Weight",    "Affil.Weight",  "Cert.Weight",   "Comp.Weight"};
inline constexpr const char* NeedReserveNames[need::Count] = {
    "NoNeed.Reserve", "Hunger.Reserve", "Thirst.Reserve", "Pain.Reserve",
    "Sex.Reserve",    "Affil.Reserve",  "Cert.Reserve",   "Comp.Reserve"};
inline constexpr const char* NeedBasMetaNames[need::Count] = {
    "NoNeed.BasMeta", "Hunger.BasMeta", "Thirst.BasMeta", "Pain.BasMeta",
    "Sex.BasMeta",    "Affil.BasMeta",  "Cert.BasMeta",   "Comp.BasMeta"};
inline constexpr const char* NeedValueNames[need::Count] = {
    "NoNeed.Value", "Hunger.Value", "Thirst.Value", "Pain.Value",
    "Sex.Value",    "Affil.Value",  "Cert.Value",   "Comp.Value"};

// Colours as 0x00BBGGRR.
extern const std::uint32_t NeedColours[need::Count];
extern const std::uint32_t GoalColours[goal::Count];

// The needs a goal serves, as a bit set (bit i = need i); goals above 6 serve NoNeed.
std::uint8_t GoalNeeds(goal::Goal goalKind);
inline bool Serves(goal::Goal goalKind, need::Need needIndex) {
  return (GoalNeeds(goalKind) >> needIndex) & 1u;
}

}  // namespace murinex
