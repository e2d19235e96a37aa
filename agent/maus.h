#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "agent/goal_memory.h"
#include "agent/names.h"
#include "agent/place_index.h"
#include "agent/place_list.h"
#include "model/mouse_list_type.h"
#include "world/geometry.h"

namespace murinex {

class Run;
class TLines;
struct TTerra;
class TMaus;

// One need of one mouse.
struct TMotiv {
  std::string Name;
  std::int32_t Reserve = 0;     // counted by the death test (Hunger, Thirst, Pain only)
  std::int32_t MaxReserve = 0;  // upper bound of Reserve
  double Ist = 0;               // actual level, 0 empty .. 1 fully satisfied
  double Soll = 0;              // target level
  double Deviation = 0;         // Soll - Ist, as of the last drain
  double Urgency = 0;           // Deviation * Weight
  double BasMeta = 0;           // Ist lost per second of simulated time
  double Leak = 0;              // carried and inherited, no effect
  double Weight = 0;            // importance of the need
  double EpComp = 0;            // charted only; nothing sets it
  double DevChange = 0;         // Deviation after the drain minus the drain's change
};

// The inheritable values of a mouse.
struct TGenom {
  std::array<double, need::Count> MotWeights{};
  std::array<double, param::Count> PersonGenes{};
  std::array<std::int32_t, need::Count> ReserveGenes{};  // only 1..3 used
  std::array<double, need::Count> BasMetaGenes{};        // only 1..7 used
};

// The relation of a mouse to another one.
struct TFrinEn {
  std::int32_t OtherID = 0;
  MouseHandle Other;      // none until linked; the entry goes when the other dies
  double Friendship = 0;  // 0..1
  double Enmity = 0;      // -1..0
};
using TFrinEnList = std::vector<TFrinEn>;

// One point of the fading track of recent positions.
struct TProtocol {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  goal::Goal Goal = goal::NoGoal;  // any byte a population file gives
  action::Action Action = action::NoAction;
  double Vividness = 0;
};
using TProtocolList = std::deque<TProtocol>;  // oldest first

using TPlan = std::vector<TPoint>;

// Lists of mice that other mice see.
using TMausRefs = std::vector<MouseHandle>;

struct TValueDir {
  double value = 0;
  double direction = 0;
};

// Slots of TMaus::ActVal.
namespace actval {
enum : std::uint8_t {
  CurStrength,
  Addiction,  // grows while a heavy drinker is drunk
  Spare,      // stored, no rule uses it
  DrunkCap,   // capped while drunk
  Drunkenness,
  TimeTillSober,
  Pregnant,
  BirthCountdown,
  Count
};
}  // namespace actval

// One mouse. The owned parts live and die with it; other mice are named by
// handles (Partner, Competitor, Miserablemaus, relations, seen lists), which
// find nothing once the mouse they name has died. RemoveMaus
// (agent/mouse_list.h) still takes the relations and seen lists of the dead
// out, because their lengths count.
class TMaus {
 public:
  explicit TMaus(std::int32_t id);
  ~TMaus();
  TMaus(const TMaus&) = delete;
  TMaus& operator=(const TMaus&) = delete;

  std::int32_t Age = 0;
  std::int32_t Generation = 0;
  std::int32_t ID = 0;
  std::int32_t BirthTick = 0;
  std::int32_t MotherID = 0;
  std::int32_t FatherID = 0;        // 0: unknown (a mouse of the population file)
  std::int32_t EmbryoFatherID = 0;  // the father of the unborn young, from conception to birth
  std::int32_t Children = 0;        // births it mothered
  std::uint8_t DeathCause = 0;      // set in the tick it dies: 1 hunger, 2 thirst, 3 pain, 4 age
  bool MovedForHelp = false;
  bool GoalChanged = false;
  bool Smiling = false;
  bool Attacked = false;
  bool HasNextGoal = false;
  bool Dying = false;
  bool OnHelpMission = false;
  bool Afraid = false;
  bool Dares = false;
  bool CompAttack = false;
  bool KeepConsuming = false;
  std::uint8_t HelpCry = 0;  // 0 none, 1 fear, 2 food, 3 water, 4 healing
  double SumWeights = 0;
  double TotNeedStrength = 0;
  double PrevTotNeedStrength = 0;
  double Heading = 0;
  double Damage = 0;
  double Jul = 0;  // intoxicating drinks taken in the whole life
  std::string Lineage;
  need::Need Need = need::NoNeed;
  TValueDir Threat;
  TValueDir Support;
  PlaceList GoalLocations;
  goal::Goal Goal = goal::NoGoal;
  goal::Goal PrevGoal = goal::NoGoal;
  // Places of GoalLocations' pool, listed or not.
  PlaceHandle TargetLoc;
  PlaceHandle RatedLoc;
  PlaceHandle ExploreTarget;  // never listed; reused by every exploration
  MouseHandle Partner;
  MouseHandle Competitor;
  MouseHandle Miserablemaus;
  action::Action Action = action::NoAction;
  action::Action LastAction = action::NoAction;
  std::uint8_t Facing = 0;
  TPoint Position;
  TPoint StuckAt;
  std::int32_t PlanIndex = 0;
  TPlan Plan;
  std::unique_ptr<TLines> Lines;
  TGoalMemory GoalMemory;
  TMausRefs SeenMice, SeenFriends, SeenEnemies, SeenStrangers;
  std::array<double, actval::Count> ActVal{};
  std::array<TMotiv, need::Count> Motives;
  TFrinEnList Relations;
  TProtocolList Protocol;
  std::unique_ptr<TGenom> Genom;
  std::unique_ptr<TGenom> Embryo;  // from conception until birth
  double Arousal = 0;
  double Inhib = 0;
  std::array<double, param::Count> Params{};

  // Bookkeeping, never part of the mouse's state: its index in the run's list
  // while a pass runs, the patch under it as last looked up within the tick
  // whose serial is `tick` (see PatchUnder), and an index of its places.
  std::uint32_t PassIndex = UINT32_MAX;
  // How other mice name this one; given when it joins the run's list.
  MouseHandle Handle;
  struct PatchMemo {
    TPoint at = NoPoint;
    std::uint64_t tick = 0;
    TTerra* patch = nullptr;
  } PatchHere;
  // GoalLocations grouped for the scans of goal weighing and danger checks.
  PlaceIndex Places;

  double& CurStrength() { return ActVal[actval::CurStrength]; }
  double CurStrength() const { return ActVal[actval::CurStrength]; }
  double& Drunkenness() { return ActVal[actval::Drunkenness]; }
  double Drunkenness() const { return ActVal[actval::Drunkenness]; }
  double& TimeTillSober() { return ActVal[actval::TimeTillSober]; }
  double& Pregnant() { return ActVal[actval::Pregnant]; }
  double Pregnant() const { return ActVal[actval::Pregnant]; }
  double& BirthCountdown() { return ActVal[actval::BirthCountdown]; }
  double BirthCountdown() const { return ActVal[actval::BirthCountdown]; }

  double P(std::uint8_t p) const { return Params[p]; }
  TMotiv& M(std::uint8_t n) { return Motives[n]; }
  const TMotiv& M(std::uint8_t n) const { return Motives[n]; }

  // Competence and certainty, the motives most rules read.
  TMotiv& Comp() { return Motives[need::Comp]; }
  const TMotiv& Comp() const { return Motives[need::Comp]; }
  TMotiv& Cert() { return Motives[need::Cert]; }

  // The place TargetLoc names, or nullptr.
  TGoalAvLoc* Target() { return GoalLocations.Find(TargetLoc); }
  // Frees the places nothing reaches any more.
  void SweepPlaces() {
    const PlaceHandle roots[] = {TargetLoc, RatedLoc, ExploreTarget};
    GoalLocations.Sweep(roots);
  }
};

// The handle of a mouse, or none.
inline MouseHandle HandleOf(const TMaus* m) {
  return m ? m->Handle : MouseHandle{};
}

// The first of m's Competitor, Partner, Miserablemaus that is alive.
TMaus* GoalMouse(const Run& run, const TMaus& m);

// The genes the mouse carries now: Genom with the current weights, reserves,
// basal metabolisms and person parameters.
TGenom CurrentGenes(const TMaus& m);
// Fills Genom from the mouse's current values.
void CopyGenom(TMaus& m);
// The value of m's relation entry for other (Friendship + Enmity); false and 0 without one.
bool RelationValue(const TMaus& m, const TMaus* other, double& value);
double RelationValueOr0(const TMaus& m, const TMaus* other);
inline double EntryValue(const TFrinEn& e) {
  return e.Friendship + e.Enmity;
}
// Creates the entry for other when missing, then strengthens friendship (x > 0)
// or enmity (x <= 0).
void UpdateRelation(TFrinEnList& relations, TMaus& other, double x);
// Mean of the positions, rounded halves to even; (-1, -1) for no mice.
TPoint MeanPosition(const Run& run, const TMausRefs& mice);

}  // namespace murinex
