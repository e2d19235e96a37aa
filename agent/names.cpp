#include "agent/names.h"

namespace murinex {

const char* const NeedNames[need::Count] = {"NoNeed", "Hunger", "Thirst", "Pain",
                                            "Sex",    "Affil",  "Cert",   "Comp"};

const char* const GoalNames[goal::Count] = {"NoGoal",      "Sand",        "Food",         "Water",
                                            "Vorarazav",   "Stones",      "HealingHerbs", "Friend",
                                            "HelpRequest", "Uncertainty", "Barrier"};

const char* const ActionNames[action::Count] = {"NoAction", "Move",  "Explore", "Flight", "Bite",
                                                "Hold",     "Feed",  "Drink",   "Cure",   "Smile",
                                                "Plan",     "Sleep", "Care"};

const char* const PersonParamNames[param::Count] = {
    "BasAr",    "ArousalW", "InhibW",     "SelectW",    "LossComp",
    "GainComp", "LossCert", "GainCert",   "RateForget", "RateReinforce",
    "ProtMem",  "Strength", "SightWidth", "AffilSens",  "Carefactor"};

const std::uint32_t NeedColours[need::Count] = {0xFFFFFF, 0x008000, 0xFFFF00, 0xFF00FF,
                                                0x800080, 0x00FFFF, 0xFF0000, 0x0000FF};

const std::uint32_t GoalColours[goal::Count] = {0xFFFFFF, 0x888800, 0x008000, 0xFF8888,
                                                0xFF88FF, 0xFF00FF, 0xFFFF00, 0xFF0000,
                                                0x00FFFF, 0x888800, 0x0000FF};

std::uint8_t GoalNeeds(goal::Goal goalKind) {
  auto bit = [](int n) { return static_cast<std::uint8_t>(1u << n); };
  switch (goalKind) {
    case goal::Food:
      return bit(need::Hunger);
    case goal::Water:
      return bit(need::Thirst);
    case goal::Vorarazav:
      return bit(need::Thirst) | bit(need::Comp);
    case goal::Stones:
    case goal::HealingHerbs:
      return bit(need::Pain);
    default:
      return bit(need::NoNeed);
  }
}

}  // namespace murinex
