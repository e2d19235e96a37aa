#pragma once

#include <array>

namespace murinex {

// The columns of the statistics protocol, in the order of its header line.
namespace stat {
enum Column : int {
  Learn,
  PlanSteps,
  SuccessfulPlan,
  Arousal,
  Inhib,
  MotCh,
  OppCh,
  Mausnotseen,
  DangerNotSeen,
  HelpMission,
  HelpAggress,
  BiteFriend,
  Threat,
  Support,
  Fear,
  ThreatFlight,
  NoNeed,  // the need columns NoNeed..Comp follow in need order
  Hung,
  Thir,
  Pain,
  Sex,
  Affil,
  Cert,
  Comp,
  NoGoal,  // the goal columns NoGoal..GCompSign count goals 0..10
  GSand,
  GFood,
  GWater,
  GJuli,
  GStones,
  GHerbs,
  GInfo,
  GLegSign,
  GSupportSign,
  GCompSign,
  NMaus,
  Age,
  Deathrate,
  Birthrate,
  LifeLength,
  RelFriends,
  RelEnemies,
  EnToFrin,
  GiveUp,
  NoAct,  // the action columns count actions 0..12 from here (Care lands in Drunken)
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
  Drunken,
  Care,
  MDensity,
  MVarDens,
  DHunger,  // deaths by cause: MVarDens + need number
  DThirst,
  DPain,
  DAge,
  Strength,
  CareHunger,
  CareThirst,
  CarePain,
  Count
};
}  // namespace stat

// The accumulators of one statistics interval, addressed by column.
class StatSums {
 public:
  double& operator[](stat::Column c) { return sums_[c]; }
  double operator[](stat::Column c) const { return sums_[c]; }
  void Add(stat::Column c, double x) { sums_[c] += x; }
  // Columns that are laid out in need, goal or action order.
  static stat::Column NeedColumn(int needIndex) {
    return static_cast<stat::Column>(stat::NoNeed + needIndex);
  }
  static stat::Column GoalColumn(int goalKind) {
    return static_cast<stat::Column>(stat::NoGoal + goalKind);
  }
  static stat::Column ActionColumn(int act) { return static_cast<stat::Column>(stat::NoAct + act); }
  static stat::Column DeathColumn(int cause) {
    return static_cast<stat::Column>(stat::MVarDens + cause);
  }
  void Clear() { sums_.fill(0); }
  double& Slot(int index) { return sums_[static_cast<std::size_t>(index)]; }

 private:
  std::array<double, stat::Count> sums_{};
};

static_assert(stat::Count == 68);
static_assert(stat::Care == 57 && stat::DHunger == 60 && stat::CarePain == 67);

}  // namespace murinex
