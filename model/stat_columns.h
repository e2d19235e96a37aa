#pragma once

#include <array>

#include "world/fields.h"

namespace murinex {

// The columns of the statistics protocol, in the order of its header line;
// the enumeration and the column names are made from this one list.
#define MURINEX_STAT_COLUMNS(X) \
  X(Learn)                      \
  X(PlanSteps)                  \
  X(SuccessfulPlan)             \
  X(Arousal)                    \
  X(Inhib)                      \
  X(MotCh)                      \
  X(OppCh)                      \
  X(Mausnotseen)                \
  X(DangerNotSeen)              \
  X(HelpMission)                \
  X(HelpAggress)                \
  X(BiteFriend)                 \
  X(Threat)                     \
  X(Support)                    \
  X(Fear)                       \
  X(ThreatFlight)               \
  X(NoNeed)                     \
  X(Hung)                       \
  X(Thir)                       \
  X(Pain)                       \
  X(Sex)                        \
  X(Affil)                      \
  X(Cert)                       \
  X(Comp)                       \
  X(NoGoal)                     \
  X(GSand)                      \
  X(GFood)                      \
  X(GWater)                     \
  X(GJuli)                      \
  X(GStones)                    \
  X(GHerbs)                     \
  X(GInfo)                      \
  X(GLegSign)                   \
  X(GSupportSign)               \
  X(GCompSign)                  \
  X(NMaus)                      \
  X(Age)                        \
  X(Deathrate)                  \
  X(Birthrate)                  \
  X(LifeLength)                 \
  X(RelFriends)                 \
  X(RelEnemies)                 \
  X(EnToFrin)                   \
  X(GiveUp)                     \
  X(NoAct)                      \
  X(Move)                       \
  X(Explore)                    \
  X(Flight)                     \
  X(Bite)                       \
  X(Hold)                       \
  X(Feed)                       \
  X(Drink)                      \
  X(Cure)                       \
  X(Smile)                      \
  X(Plan)                       \
  X(Sleep)                      \
  X(Drunken)                    \
  X(Care)                       \
  X(MDensity)                   \
  X(MVarDens)                   \
  X(DHunger)                    \
  X(DThirst)                    \
  X(DPain)                      \
  X(DAge)                       \
  X(Strength)                   \
  X(CareHunger)                 \
  X(CareThirst)                 \
  X(CarePain)

namespace stat {
// The need columns NoNeed..Comp follow in need order, the goal columns
// NoGoal..GCompSign count goals 0..10, the action columns count actions 0..12
// from NoAct (Care lands in Drunken), and the deaths by cause follow MVarDens
// (MVarDens + need number).
enum Column : int {
#define MURINEX_STAT_ENUM(name) name,
  MURINEX_STAT_COLUMNS(MURINEX_STAT_ENUM)
#undef MURINEX_STAT_ENUM
      Count
};
// The column names, as the protocol's header line gives them.
extern const char* const ColumnNames[Count];
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
  const double& Slot(int index) const { return sums_[static_cast<std::size_t>(index)]; }

 private:
  std::array<double, stat::Count> sums_{};
};

// Every accumulator, named by its column.
template <class R, class V>
void StatFields(R& sums, V&& visit) {
  for (int i = 0; i < stat::Count; ++i)
    visit(FieldInfo{stat::ColumnNames[i]}, sums.Slot(i));
}

static_assert(stat::Count == 68);
static_assert(stat::Care == 57 && stat::DHunger == 60 && stat::CarePain == 67);

}  // namespace murinex
