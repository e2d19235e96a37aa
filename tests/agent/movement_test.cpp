#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "agent/event_protocol.h"
#include "agent/goal_memory.h"
#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "agent/movement.h"
#include "tests/common/agent_builders.h"
#include "tests/common/reference_random.h"
#include "tests/common/test_run.h"
#include "world/format.h"

namespace murinex {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char* const kMoveFood = "  Move! Hunger   Food";
const char* const kSetParam = "        SetParam: Inhib: 0.00   Arousal: 1.00";
const char* const kNoPlan = "      I have no plan!";

// The movement step of one watched mouse, with the seed set at the start so
// that draws can be counted.
class MovementTest : public ::testing::Test {
 protected:
  MovementTest() { t.run.random.SetSeed(seed); }

  // A mouse at `at` heading for food, with nothing but hunger (Ist 0). With
  // BasAr 1 its arousal stays 1 and with Strength 1 its steps are 20; InhibW 0
  // keeps its inhibition 0, so every draw "above Inhib" succeeds; no need
  // drains (BasMeta 0). Its goal memory holds Food and Sand, the ground here.
  TMaus& Walker(TPoint at) {
    TMaus& m = t.AddMaus(at);
    m.Params[param::BasAr] = 1;
    m.Params[param::InhibW] = 0;
    m.Arousal = 1;
    test::SetNeed(m, need::Hunger, 0);
    m.Need = need::Hunger;
    m.Goal = m.PrevGoal = goal::Food;
    FindElement(m.GoalMemory, t.run.settings, goal::Food);
    FindElement(m.GoalMemory, t.run.settings, goal::Sand);
    t.Watch(m);
    return m;
  }

  // The walker looking for certainty instead (Cert 0.5, hunger full).
  TMaus& Explorer(TPoint at) {
    TMaus& m = Walker(at);
    test::SetNeed(m, need::Hunger, 1);
    test::SetNeed(m, need::Cert, 0.5);
    m.Need = need::Cert;
    m.Goal = m.PrevGoal = goal::Uncertainty;
    FindElement(m.GoalMemory, t.run.settings, goal::Uncertainty);
    return m;
  }

  test::TestPlace Place(TMaus& m, goal::Goal kind, TPoint at, char sign = '+') {
    return test::AddPlace(t.run, m, kind, at, sign);
  }

  // The step, with the total need strength settled so that competence stays.
  void Move(TMaus& m) {
    test::SettleNeeds(m);
    MoveStep(t.run, m);
  }

  void World(std::vector<std::unique_ptr<TTerra>> patches) {
    t.SetWorld(test::MakeWorld(400, 300, std::move(patches)));
  }

  std::uint32_t SeedAfterDraws(int draws) const { return test::SeedAfter(seed, draws); }
  std::vector<double> Draws(int count) const { return test::DrawsFrom(seed, count); }
  void UseSeed(std::uint32_t s) {
    seed = s;
    t.run.random.SetSeed(s);
  }

  test::TestRun t;
  std::uint32_t seed = 2024;
};

// --- Following a plan, blocked steps and plan searches

TEST_F(MovementTest, APlanPointIsTakenWhateverTheStepLength) {
  TMaus& m = Walker({100, 150});
  m.Plan = {{300, 150}};  // 200 away; the step is 20

  Move(m);

  EXPECT_EQ(m.Position, (TPoint{300, 150}));
  EXPECT_EQ(m.PlanIndex, 1);
  EXPECT_EQ(m.LastAction, action::Move);
  EXPECT_EQ(m.Action, action::NoAction);
  EXPECT_EQ(m.Facing, 2);
  ASSERT_EQ(m.Protocol.size(), 1u);
  const TProtocol& entry = m.Protocol.back();
  EXPECT_EQ(entry.X, 300);
  EXPECT_EQ(entry.Y, 150);
  EXPECT_EQ(entry.Goal, goal::Food);
  EXPECT_EQ(entry.Action, action::Move);
  EXPECT_EQ(entry.Vividness, 1);
  EXPECT_EQ(t.run.Stats[stat::GFood], 1);
  EXPECT_EQ(t.run.Stats[stat::Move], 1);
  EXPECT_EQ(t.run.Stats[stat::Strength], 1);
  // The cost of moving: hunger cost 1 of Move times Arousal * CurStrength * 50 / 1000 times 0.1,
  // taken below 0 (no clamping).
  EXPECT_DOUBLE_EQ(m.M(need::Hunger).Ist, 0 - 1 * (1.0 * 1.0 * 50 / 1000) * 0.1);
  EXPECT_DOUBLE_EQ(m.M(need::Thirst).Ist, 1 - 1 * (1.0 * 1.0 * 50 / 1000) * 0.1);
  // The look at the ground for Food and for Sand, then the braveness draw.
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(3));
  EXPECT_THAT(t.BehaviourLines(),
              ElementsAre(kMoveFood, kSetParam, "      Moving according to plan to [300,150]",
                          "      Move to New Loc: [300,150]"));
}

// The walker heads for food at (180, 140); another mouse stands on its step.
TEST_F(MovementTest, ABlockedStepIsFollowedByAPlanSearchWhosePointIsTakenNext) {
  TMaus& m = Walker({100, 150});
  m.TargetLoc = Place(m, goal::Food, {180, 140});
  t.AddMaus({120, 150});

  Move(m);

  EXPECT_EQ(m.Position, (TPoint{100, 150}));
  EXPECT_EQ(m.LastAction, action::Plan);
  // The ring of 10 around the start, nearest to the target's direction and not
  // within 16 of the other mouse: 72 degrees.
  EXPECT_THAT(m.Plan, ElementsAre(TPoint{106, 131}));
  EXPECT_EQ(m.PlanIndex, 0);
  EXPECT_EQ(m.StuckAt, NoPoint);
  EXPECT_NEAR(m.Heading, 0.12435499454676144, 1e-12);
  EXPECT_EQ(t.run.Stats[stat::PlanSteps], 1);
  EXPECT_EQ(t.run.Stats[stat::Plan], 2);  // the refused direct step, and the action
  EXPECT_THAT(t.BehaviourLines(), ElementsAre(kMoveFood, kSetParam, kNoPlan,
                                              "      Try to move in direction of goal: [180,140]",
                                              "    Moving not possible!", "      Try to plan!",
                                              "        Plan found!\r      [ 106, 131]"));

  Move(m);

  EXPECT_EQ(m.Position, (TPoint{106, 131}));
  EXPECT_EQ(m.PlanIndex, 1);
  EXPECT_EQ(m.LastAction, action::Move);
  EXPECT_EQ(t.BehaviourLines().back(), "      Move to New Loc: [106,131]");
}

TEST_F(MovementTest, AMouseBlockingTheWayThatGetsBittenSparesThePlanSearch) {
  TMaus& m = Walker({100, 150});
  m.TargetLoc = Place(m, goal::Food, {180, 150});
  TMaus& obstacle = t.AddMaus({110, 150});  // within 16 of the start, in view

  Move(m);

  EXPECT_EQ(m.LastAction, action::Bite);
  EXPECT_TRUE(obstacle.Attacked);
  EXPECT_THAT(m.Plan, IsEmpty());
  EXPECT_EQ(m.Position, (TPoint{100, 150}));
  EXPECT_EQ(t.run.Stats[stat::Bite], 1);
  EXPECT_EQ(t.run.Stats[stat::Plan], 0);
  EXPECT_THAT(t.AggLines(), ElementsAre(::testing::EndsWith(";+;")));
  EXPECT_THAT(t.BehaviourLines(),
              ElementsAre(kMoveFood, kSetParam, kNoPlan,
                          "      Try to move in direction of goal: [180,150]",
                          "    Moving not possible!", "      Try to aggress to remove obstacle!"));
}

TEST_F(MovementTest, AFailedBiteAtTheObstacleIsFollowedByAPlanSearch) {
  TMaus& m = Walker({100, 150});
  m.TargetLoc = Place(m, goal::Food, {180, 150});
  TMaus& obstacle = t.AddMaus({110, 150});
  obstacle.Support = {10, NoDirection};  // its backing makes the bite hopeless

  Move(m);

  EXPECT_FALSE(obstacle.Attacked);
  EXPECT_EQ(m.LastAction, action::Plan);
  EXPECT_THAT(t.AggLines(), ElementsAre(::testing::EndsWith(";-;")));
  const auto lines = t.BehaviourLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3], "      Try to aggress to remove obstacle!");
  EXPECT_EQ(lines[lines.size() - 2], "      Try to plan!");
}

TEST_F(MovementTest, WithAZeroStepAndNobodyNearTheExplorerStays) {
  TMaus& m = Explorer({100, 150});
  m.Params[param::Strength] = 0;  // the regulation restores CurStrength to 0

  Move(m);

  EXPECT_EQ(m.Position, (TPoint{100, 150}));
  EXPECT_EQ(m.LastAction, action::NoAction);
  const auto lines = t.BehaviourLines();
  EXPECT_EQ(lines.back(), "      Didn´t dare to explore!");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "    Look For Goal!"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "      Direction changed!"), 2);
  EXPECT_THAT(lines, Contains("      NoGoal Detected!"));
  EXPECT_THAT(lines, ::testing::Not(Contains(::testing::StartsWith("      Move to New Loc"))));
}

TEST_F(MovementTest, WithAZeroStepAMouseWithin16BlocksAndThePlanSearchFails) {
  TMaus& m = Explorer({100, 150});
  m.Params[param::Strength] = 0;
  t.AddMaus({110, 150});

  Move(m);

  EXPECT_EQ(m.Position, (TPoint{100, 150}));
  EXPECT_EQ(m.LastAction, action::Plan);
  EXPECT_THAT(m.Plan, IsEmpty());
  EXPECT_EQ(t.run.Stats[stat::Plan], 2);
  const auto lines = t.BehaviourLines();
  EXPECT_THAT(lines, Contains("      Try to move away from others!"));
  EXPECT_THAT(lines, Contains("    Moving not possible!"));
  EXPECT_EQ(lines.back(), "        No plan found!");
  EXPECT_THAT(t.KofiLines(), Contains(::testing::HasSubstr(";DiSatComp-Plan stucked;")));
}

// --- Reaching targets and following routes

TEST_F(MovementTest, ATargetNearerThan4AfterTheStepIsReachedExactly) {
  TMaus& m = Walker({100, 150});
  test::TestPlace target = Place(m, goal::Food, {122, 151});
  m.TargetLoc = target;

  Move(m);

  // The step of 20 ends at (120, 151), 2 short of the target.
  EXPECT_EQ(m.Position, (TPoint{122, 151}));
  EXPECT_FALSE(m.TargetLoc);
  EXPECT_EQ(m.RatedLoc, target);  // a final goal place
  EXPECT_FALSE(m.HasNextGoal);
  EXPECT_EQ(m.LastAction, action::Move);
  EXPECT_EQ(m.Facing, 2);
  // Progress (9 * 1 + p) / 10 with p = (22.02 - 2) / 20.
  EXPECT_NEAR(target->Progress, 1.0001135777277264, 1e-12);
  EXPECT_EQ(m.Protocol.back().X, 122);
  // Ground for Food, recall of the target (2), ground for Sand; the target's
  // usability (2); braveness; the give-up margin.
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(8));
  EXPECT_THAT(t.BehaviourLines(),
              ElementsAre(kMoveFood, kSetParam, kNoPlan,
                          "      Try to move in direction of goal: [122,151]",
                          "      Move to New Loc: [120,151]", "      Arrived at goal: [122,151]"));
}

TEST_F(MovementTest, ArrivingFromFarLaysARouteToTheVeryPlaceReached) {
  TMaus& m = Walker({100, 150});
  Place(m, goal::Food, {122, 151});  // another place at the same point
  test::TestPlace target = Place(m, goal::Food, {122, 151});
  m.TargetLoc = target;
  test::FillTrack(m, 2, {40, 150});  // fully vivid: both remembered; the oldest is left out

  Move(m);

  // One waypoint, 82 before the place, towards the place by identity; it
  // serves the kind of the ground where the walk ended (sand).
  ASSERT_EQ(m.GoalLocations.size(), 3u);
  const TGoalAvLoc& waypoint = m.GoalLocations[2];
  EXPECT_EQ(waypoint.Pos, (TPoint{40, 150}));
  EXPECT_EQ(waypoint.NextIndex, 1);
  EXPECT_EQ(waypoint.Next, target);
  EXPECT_EQ(waypoint.Sign, '0');
  EXPECT_EQ(waypoint.Quality, 0);
  EXPECT_EQ(waypoint.Kind(), goal::Sand);
  EXPECT_EQ(m.RatedLoc, target);
}

TEST_F(MovementTest, ArrivingAtAWaypointMakesItsRecalledNextPlaceTheTarget) {
  TMaus& m = Walker({100, 150});
  test::TestPlace goalPlace = Place(m, goal::Food, {200, 100});  // out of sight
  test::TestPlace waypoint = Place(m, goal::Food, {122, 151}, '0');
  waypoint->NextIndex = 0;
  waypoint->Next = goalPlace;
  m.TargetLoc = waypoint;

  Move(m);

  EXPECT_EQ(m.Position, (TPoint{122, 151}));
  EXPECT_EQ(m.TargetLoc, goalPlace);
  EXPECT_TRUE(m.HasNextGoal);
  EXPECT_FALSE(m.RatedLoc);
  EXPECT_NEAR(m.Heading, 0.5790742693677309, 1e-12);  // from the waypoint to the next place
  const auto lines = t.BehaviourLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_THAT(std::vector<std::string>(lines.end() - 3, lines.end()),
              ElementsAre("      Arrived at goal: [122,151]", "      NextGoal set![200,100]",
                          "      New Goal (from IM): [200,100]"));
}

TEST_F(MovementTest, AForgottenNextWaypointEndsTheRouteAndIsDeletedItself) {
  TMaus& m = Walker({100, 150});
  test::TestPlace same = Place(m, goal::Food, {200, 100});  // another place at the same point
  test::TestPlace forgotten = Place(m, goal::Food, {200, 100});
  forgotten->Retention = 0;
  test::TestPlace waypoint = Place(m, goal::Food, {122, 151}, '0');
  waypoint->NextIndex = 1;
  waypoint->Next = forgotten;
  m.TargetLoc = waypoint;

  Move(m);

  EXPECT_THAT(m.GoalLocations.Handles(), ElementsAre(same, waypoint));
  EXPECT_EQ(waypoint->NextIndex, -2);
  EXPECT_FALSE(waypoint->Next);
  EXPECT_FALSE(m.HasNextGoal);
  EXPECT_FALSE(m.TargetLoc);
  EXPECT_FALSE(m.RatedLoc);
  EXPECT_DOUBLE_EQ(m.Cert().Ist, 1 - 0.2 * 0.2);  // -LossCert, times LossCert
  EXPECT_EQ(t.BehaviourLines().back(), "      Next goal forgotten:[200,100]");
}

TEST_F(MovementTest, AForgottenNextWaypointThatIsNoLongerRememberedDeletesNothing) {
  TMaus& m = Walker({100, 150});
  test::TestPlace same = Place(m, goal::Food, {200, 100});
  // The waypoint and its next place were dropped from the list while the mouse still heads there.
  const PlaceHandle forgotten = m.GoalLocations.New();
  m.GoalLocations.At(forgotten) = *same;
  m.GoalLocations.At(forgotten).Retention = 0;
  const PlaceHandle waypoint = m.GoalLocations.New();
  m.GoalLocations.At(waypoint) = *same;
  m.GoalLocations.At(waypoint).Pos = {122, 151};
  m.GoalLocations.At(waypoint).Sign = '0';
  m.GoalLocations.At(waypoint).NextIndex = 0;
  m.GoalLocations.At(waypoint).Next = forgotten;
  m.TargetLoc = waypoint;

  Move(m);

  EXPECT_THAT(m.GoalLocations.Handles(), ElementsAre(same));
  EXPECT_FALSE(m.TargetLoc);
  EXPECT_EQ(t.BehaviourLines().back(), "      Next goal forgotten:[200,100]");
}

// --- Goal mice

// A walker that wants a friend (affiliation 0.5, hunger full).
class FriendTest : public MovementTest {
 protected:
  TMaus& FriendSeeker(TPoint at) {
    TMaus& m = Walker(at);
    test::SetNeed(m, need::Hunger, 1);
    test::SetNeed(m, need::Affil, 0.5);
    m.Need = need::Affil;
    m.Goal = m.PrevGoal = goal::Friend;
    FindElement(m.GoalMemory, t.run.settings, goal::Friend);
    m.Facing = 5;
    return m;
  }
};

TEST_F(FriendTest, AGoalMouseInTheWorldOccupiesThePointItIsBackedAwayTo) {
  TMaus& m = FriendSeeker({100, 150});
  TMaus& partner = t.AddMaus({110, 150});
  m.Partner = partner.Handle;

  Move(m);

  // (95, 150) lies 15 from the partner: occupied, so the step is blocked.
  EXPECT_EQ(m.Position, (TPoint{100, 150}));
  EXPECT_EQ(m.LastAction, action::Plan);
  EXPECT_THAT(t.BehaviourLines(), Contains("    Moving not possible!"));
}

// A walker whose memory says fighting (Barrier) or helping (HelpRequest)
// stills its hunger, and food does not.
class GoalMouseTest : public MovementTest {
 protected:
  TMaus& Seeker(goal::Goal g) {
    TMaus& m = Walker({100, 150});
    FindElement(m.GoalMemory, t.run.settings, goal::Food).Values = {};
    FindElement(m.GoalMemory, t.run.settings, g).Values = {0, 1, 0, 0, 0, 0, 0, 0};
    m.Goal = m.PrevGoal = g;
    return m;
  }
};

TEST_F(GoalMouseTest, AMouseLookingForAFightTakesTheSeenEnemyLessCourageousAsItsGoal) {
  TMaus& m = Seeker(goal::Barrier);
  TMaus& enemy = t.AddMaus({150, 150});  // arousal 0: no courage
  UpdateRelation(m.Relations, enemy, -0.1);

  Move(m);

  EXPECT_EQ(m.Competitor, enemy.Handle);
  EXPECT_EQ(m.Position, (TPoint{120, 150}));  // 35 short of 15 before the enemy: a full step
  EXPECT_EQ(m.LastAction, action::Move);
  EXPECT_THAT(
      t.BehaviourLines(),
      ElementsAre("  Move! Hunger   Barrier", kSetParam, kNoPlan, "    Look For Goal!",
                  "      LookForNeighbours: width: 3.14 depth: 100.00",
                  "      Goalmouse detected!:", "      Try to move in direction of goal: [150,150]",
                  "      Move to New Loc: [120,150]"));
}

TEST_F(GoalMouseTest, WithNoFriendInNeedInSightAHelperFindsNeitherMouseNorGoal) {
  TMaus& m = Seeker(goal::HelpRequest);

  Move(m);

  EXPECT_EQ(GoalMouse(t.run, m), nullptr);
  EXPECT_DOUBLE_EQ(m.Cert().Ist, 1 - 0.2 * 0.2 - 0.2 * 0.2);  // "NoGoalMaus" and "NoGoalFound"
  const auto lines = t.BehaviourLines();
  ASSERT_GE(lines.size(), 9u);
  const std::string look = "      LookForNeighbours: width: 3.14 depth: 100.00";
  EXPECT_THAT(
      std::vector<std::string>(lines.begin(), lines.begin() + 9),
      ElementsAre("  Move! Hunger   HelpRequest", look, kSetParam, kNoPlan, "    Look For Goal!",
                  look, "      No GoalMouse detected!", "      NoGoal Detected!",
                  "      Direction slightly modified (no goal)!"));
}

// --- Looking for a goal, wandering, exploring

TEST_F(MovementTest, WithoutRememberedPlacesTheMouseTurnsByAtMostAnEighthTurnAndWalksOn) {
  TMaus& m = Walker({100, 150});
  m.Heading = 1.0;

  Move(m);

  // Draws 1, 2: the ground for Food and Sand; 3: the sign of the turn; 4: its
  // size; 5: braveness.
  const std::vector<double> d = Draws(5);
  const double s = d[2] > 0.5 ? 1 : -1;
  const double heading = NormalizeAngle(d[3] * Pi / 4 * s + 1.0);
  EXPECT_EQ(m.Heading, heading);
  const TPoint to = PolarOffset({100, 150}, heading, 20);
  EXPECT_EQ(m.Position, to);
  EXPECT_EQ(m.LastAction, action::Move);
  EXPECT_DOUBLE_EQ(m.Cert().Ist, 1 - 0.2 * 0.2);  // "NoGoalFound"
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(5));
  EXPECT_THAT(t.BehaviourLines(),
              ElementsAre(kMoveFood, kSetParam, kNoPlan, "    Look For Goal!",
                          "      NoGoal Detected!", "      Direction slightly modified (no goal)!",
                          "    Try to move in choosen direction: " + FormatFixed(heading, 0, 2),
                          "      Move to New Loc: " + PointToStr(to)));
}

TEST_F(MovementTest, TheDrunkenTurnDoesNotMoveTheCandidatePoint) {
  TMaus& m = Walker({100, 150});
  m.TargetLoc = Place(m, goal::Food, {200, 150});
  m.Drunkenness() = 1;

  Move(m);

  EXPECT_EQ(m.Position, (TPoint{120, 150}));
  // Draws 1-4: the intention (ground, recall of the target, ground); 5, 6: the
  // target's usability; 7, 8: sign and size of the drunken turn.
  const std::vector<double> d = Draws(10);
  const double heading = NormalizeAngle(d[7] * Pi * (d[6] > 0.5 ? 1 : -1) + TwoPi);
  EXPECT_EQ(m.Heading, heading);
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(10));  // and braveness, give-up margin
  EXPECT_THAT(t.BehaviourLines(),
              Contains("    Direction modified (drunken): " + FormatFixed(heading, 0, 2)));
}

TEST_F(MovementTest, ExplorationWithoutAPatchAheadFindsNoGoalAndExploresAgain) {
  TMaus& m = Explorer({100, 150});
  m.Heading = 2.0;

  Move(m);

  // Draws 1-3: the intention (ground for Uncertainty, Food, Sand); 4: daring;
  // 5 and 6: the turns of the two explorations; 7: braveness.
  const std::vector<double> d = Draws(7);
  const double h1 = NormalizeAngle(d[4] * Pi / 4 * (d[4] > 0.5 ? 1 : -1) + 2.0);
  const double h2 = NormalizeAngle(d[5] * Pi / 4 * (d[5] > 0.5 ? 1 : -1) + h1);
  const TPoint to = PolarOffset({100, 150}, h2, 20);
  EXPECT_EQ(m.Heading, h2);
  EXPECT_EQ(m.Position, to);
  EXPECT_FALSE(m.TargetLoc);
  EXPECT_EQ(m.LastAction, action::Explore);
  EXPECT_DOUBLE_EQ(m.Cert().Ist, 0.5 - 0.2 * 0.2);
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(7));
  const std::string look = "      LookForNeighbours: width: 6.28 depth: 100.00";
  EXPECT_THAT(t.BehaviourLines(),
              ElementsAre("  Move! Cert   Uncertainty", kSetParam, kNoPlan, "    Look For Goal!",
                          look, "      Direction changed!",
                          "    Try to move in choosen direction: " + FormatFixed(h1, 0, 2),
                          "      NoGoal Detected!", look, "      Direction changed!",
                          "    Try to move in choosen direction: " + FormatFixed(h2, 0, 2),
                          "    Try to move in choosen direction: " + FormatFixed(h2, 0, 2),
                          "      Move to New Loc: " + PointToStr(to), "      Exploration!"));
}

// A food patch centred 30 ahead of the explorer.
class ExplorePatchTest : public MovementTest {
 protected:
  void PatchAt(int x, int y, int half, TerraKind kind = KindFood) {
    std::vector<std::unique_ptr<TTerra>> patches;
    patches.push_back(test::RectPatch(KindSand, 0, 0, 399, 299));
    patches.push_back(test::RectPatch(kind, x - half, y - half, x + half, y + half));
    World(std::move(patches));
  }
};

TEST_F(ExplorePatchTest, AnExploredPatchIsAimedAtFromTheExplorationPoint) {
  PatchAt(130, 150, 5);
  TMaus& m = Explorer({100, 150});

  Move(m);

  // The exploration step leads towards the centre to (120, 150); the target is
  // set and measured from there (10 left), so the step from the start is 10.
  EXPECT_EQ(m.TargetLoc, m.ExploreTarget);
  EXPECT_EQ(m.GoalLocations.At(m.ExploreTarget).Pos, (TPoint{130, 150}));
  EXPECT_EQ(m.GoalLocations.At(m.ExploreTarget).Kind(), goal::Food);
  EXPECT_EQ(m.GoalLocations.At(m.ExploreTarget).NextIndex, -1);
  EXPECT_EQ(m.Position, (TPoint{110, 150}));
  EXPECT_EQ(m.Heading, TwoPi);
  EXPECT_EQ(m.LastAction, action::Explore);
  // Progress (9 * 0 + 1) / 10 is below the give-up margin: the goal is given
  // up (no other place: no need), while the target stays.
  EXPECT_DOUBLE_EQ(m.GoalLocations.At(m.ExploreTarget).Progress, 0.1);
  EXPECT_EQ(t.run.Stats[stat::GiveUp], 1);
  EXPECT_EQ(m.Need, need::NoNeed);
  EXPECT_DOUBLE_EQ(m.Cert().Ist, 0.5 + 0.2 * 0.2);  // "Goal found"
  EXPECT_THAT(
      t.BehaviourLines(),
      ElementsAre("  Move! Cert   Uncertainty", kSetParam, kNoPlan, "    Look For Goal!",
                  "      LookForNeighbours: width: 6.28 depth: 100.00", "      Direction changed!",
                  "    Try to move in choosen direction: 6.28", "      Goal detected!: [130,150]",
                  "      Try to move in direction of goal: [130,150]",
                  "      Move to New Loc: [110,150]", "      Give Up Goal Or Motive",
                  "      Exploration!"));
}

TEST_F(ExplorePatchTest, ArrivingAtAnExploredFoodPatchLearnsNothing) {
  PatchAt(110, 150, 5);
  TMaus& m = Explorer({100, 150});
  TGoalAvLoc& target = m.GoalLocations.At(m.ExploreTarget);
  target.Element = &FindElement(m.GoalMemory, t.run.settings, goal::Food);
  target.Pos = {110, 150};
  target.Retention = 1;
  target.Progress = 1;
  target.NextIndex = -1;
  m.TargetLoc = m.ExploreTarget;

  Move(m);

  EXPECT_EQ(m.Position, (TPoint{110, 150}));
  EXPECT_TRUE(m.GoalLocations.empty());
  EXPECT_EQ(t.run.World->TerraList[1]->Amount, 100);
  EXPECT_FALSE(m.TargetLoc);
  EXPECT_EQ(m.RatedLoc, m.ExploreTarget);
  const auto lines = t.BehaviourLines();
  EXPECT_THAT(std::vector<std::string>(lines.end() - 4, lines.end()),
              ElementsAre("      Move to New Loc: [110,150]", "      Exploration!",
                          "      Arrived at goal: [110,150]",
                          "      New Goal Found by Exploration: [110,150]"));
}

TEST_F(MovementTest, ArrivingAtAnExploredPointOffThePatchesCountsAsTheFirstPatch) {
  // The first patch is a stones patch far away; the sand ends at x = 260.
  std::vector<std::unique_ptr<TTerra>> patches;
  patches.push_back(test::RectPatch(KindStones, 300, 10, 320, 30));
  patches.push_back(test::RectPatch(KindSand, 0, 0, 260, 299));
  World(std::move(patches));
  TMaus& m = Explorer({240, 150});
  TGoalAvLoc& target = m.GoalLocations.At(m.ExploreTarget);
  target.Element = &FindElement(m.GoalMemory, t.run.settings, goal::Food);
  target.Pos = {262, 150};
  target.Retention = 1;
  target.Progress = 1;
  target.NextIndex = -1;
  m.TargetLoc = m.ExploreTarget;

  Move(m);

  EXPECT_EQ(m.Position, (TPoint{262, 150}));
  ASSERT_EQ(m.GoalLocations.size(), 1u);
  EXPECT_EQ(m.GoalLocations[0].Sign, '-');
  EXPECT_EQ(m.GoalLocations[0].Kind(), goal::Stones);
  EXPECT_EQ(m.GoalLocations[0].Pos, (TPoint{262, 150}));
}

// --- Dangers on the way

TEST_F(MovementTest, ADangerAheadBlocksAMouseThatDoesNotDareAndThePlanAvoidsIt) {
  TMaus& m = Walker({100, 150});
  test::SetNeed(m, need::Comp, 0);  // braveness 0
  test::SetNeed(m, need::Cert, 0.5);
  m.Params[param::GainComp] = 0;  // competence stays 0
  Place(m, goal::Stones, {112, 150}, '-');
  m.TargetLoc = Place(m, goal::Food, {180, 150});

  Move(m);

  EXPECT_EQ(m.Position, (TPoint{100, 150}));
  EXPECT_EQ(m.LastAction, action::Plan);
  EXPECT_EQ(m.StuckAt, (TPoint{112, 150}));
  EXPECT_THAT(m.Plan, ElementsAre(TPoint{116, 138}));
  // Certainty from the danger seen by the step and by the direct probe of the
  // plan; the ring step towards it, at the stuck place, gives nothing.
  EXPECT_DOUBLE_EQ(m.Cert().Ist, 0.5 + 0.2 * 0.2 + 0.2 * 0.2);
  std::vector<std::string> labels;
  for (const std::string& line : t.KofiLines()) {
    const auto end = line.rfind(';');
    labels.push_back(line.substr(line.rfind(';', end - 1) + 1, end - line.rfind(';', end - 1) - 1));
  }
  EXPECT_THAT(labels,
              ElementsAre("StepComp", "SetPar-TotNeedStrength", "ToDanger: Braveness 112,150",
                          "ToDanger: Free Loc without danger? 112,150",
                          "ToDanger: Free Loc without danger? 112,150"));
  EXPECT_THAT(t.BehaviourLines(), ElementsAre(kMoveFood, kSetParam, kNoPlan,
                                              "      Try to move in direction of goal: [180,150]",
                                              "    Danger! Don´t dare!", "      Try to plan!",
                                              "        Plan found!\r      [ 116, 138]"));
}

TEST_F(MovementTest, ADangerThatTheStepLeavesBehindDoesNotBlock) {
  TMaus& m = Walker({100, 150});
  test::SetNeed(m, need::Comp, 0);
  m.Params[param::GainComp] = 0;
  Place(m, goal::Stones, {106, 150}, '-');  // 14 from the candidate point, 6 from the start
  m.TargetLoc = Place(m, goal::Food, {180, 150});

  Move(m);

  EXPECT_EQ(m.Position, (TPoint{120, 150}));
  EXPECT_EQ(m.LastAction, action::Move);
  EXPECT_EQ(m.Cert().Ist, 1);
}

// --- Judging progress

TEST_F(MovementTest, LittleProgressGivesTheGoalUpForAUsablePlaceWithGoodProgress) {
  TMaus& m = Walker({100, 150});
  test::TestPlace target = Place(m, goal::Food, {200, 150});
  target->Progress = 0.1;
  test::TestPlace better = Place(m, goal::Food, {110, 190});
  m.TargetLoc = target;
  m.Plan = {{100, 170}};  // leads away from the target

  Move(m);

  EXPECT_EQ(m.Position, (TPoint{100, 170}));
  EXPECT_EQ(m.Facing, 4);
  EXPECT_NEAR(target->Progress, 0.08009804864072152, 1e-12);
  EXPECT_EQ(m.TargetLoc, better);
  EXPECT_EQ(m.Need, need::Hunger);
  EXPECT_EQ(t.run.Stats[stat::GiveUp], 1);
  EXPECT_EQ(t.BehaviourLines().back(), "      Give Up Goal Or Motive");
}

TEST_F(MovementTest, GivingUpWithoutAnotherPlaceDropsTheNeed) {
  TMaus& m = Walker({100, 150});
  test::TestPlace target = Place(m, goal::Food, {200, 150});
  target->Progress = 0.1;
  m.TargetLoc = target;
  m.Plan = {{100, 170}};

  Move(m);

  EXPECT_EQ(m.TargetLoc, target);
  EXPECT_EQ(m.Need, need::NoNeed);
}

// --- Closing the tick

TEST_F(MovementTest, AMouseThatHasActedDoesNotMoveButItsActionIsBooked) {
  TMaus& m = Walker({100, 150});
  m.Action = action::Feed;

  Move(m);

  EXPECT_EQ(m.Position, (TPoint{100, 150}));
  EXPECT_EQ(m.Action, action::NoAction);
  EXPECT_EQ(m.LastAction, action::Feed);
  ASSERT_EQ(m.Protocol.size(), 1u);
  EXPECT_EQ(m.Protocol.back().Action, action::Feed);
  EXPECT_EQ(t.run.Stats[stat::Feed], 1);
  EXPECT_DOUBLE_EQ(m.M(need::Hunger).Ist, 0 - 0.5 * (1.0 * 1.0 * 50 / 1000) * 0.1);
  EXPECT_THAT(t.BehaviourLines(), ElementsAre(kMoveFood, kSetParam));
}

TEST_F(MovementTest, CareIsCountedInSlot56) {
  TMaus& m = Walker({100, 150});
  m.Action = action::Care;

  Move(m);

  EXPECT_EQ(t.run.Stats.Slot(44 + action::Care), 1);
  EXPECT_EQ(t.run.Stats[stat::Drunken], 1);
  EXPECT_EQ(t.run.Stats[stat::Care], 0);
}

TEST_F(MovementTest, AChangedGoalDropsTargetAndPlan) {
  TMaus& m = Walker({100, 150});
  test::SetNeed(m, need::Hunger, 1);  // nothing is worth a goal now
  m.TargetLoc = Place(m, goal::Food, {180, 150});
  m.Plan = {{120, 150}};

  Move(m);

  EXPECT_EQ(m.Goal, goal::NoGoal);
  EXPECT_TRUE(m.GoalChanged);
  EXPECT_EQ(m.PrevGoal, goal::NoGoal);
  EXPECT_FALSE(m.TargetLoc);
  EXPECT_THAT(m.Plan, IsEmpty());
  EXPECT_EQ(m.Position, (TPoint{100, 150}));  // no goal and no need: no step
  EXPECT_EQ(t.run.Stats[stat::GFood], 1);     // the goal the step started with
  EXPECT_EQ(t.run.Stats[stat::MotCh], 1);
  EXPECT_THAT(t.BehaviourLines(),
              ElementsAre(kMoveFood, kSetParam, "    Change of Intention! New Goal: NoGoal"));
}

TEST_F(MovementTest, FadedTrackEntriesAreRemovedFromTheFrontWhileEachIsNoMoreVividThanTheLast) {
  TMaus& m = t.AddMaus({100, 150});  // without goal or need: it stays
  m.Params[param::ProtMem] = 0;
  for (double v : {5e-7, 3e-7, 8e-7, 0.5})
    m.Protocol.push_back({1, 1, goal::NoGoal, action::NoAction, v});

  MoveStep(t.run, m);

  // 5e-7 goes (below 1e-6), 3e-7 goes (below 5e-7), 8e-7 stays (above 3e-7).
  ASSERT_EQ(m.Protocol.size(), 3u);
  EXPECT_DOUBLE_EQ(m.Protocol[0].Vividness, 8e-7);
  EXPECT_DOUBLE_EQ(m.Protocol[1].Vividness, 0.5);
  EXPECT_EQ(m.Protocol[2].Vividness, 1);
}

TEST_F(MovementTest, AVividTrackEntryStopsTheRemovalOfFadedOnesBehindIt) {
  TMaus& m = t.AddMaus({100, 150});
  m.Params[param::ProtMem] = 0.19;
  for (double v : {0.3, 1.5, 0.1})
    m.Protocol.push_back({1, 1, goal::NoGoal, action::NoAction, v});

  MoveStep(t.run, m);

  // 0.3 and 0.1 fade to 0; 1.5 counts as 1 and fades to sqrt(1 - 0.19) = 0.9.
  ASSERT_EQ(m.Protocol.size(), 3u);
  EXPECT_DOUBLE_EQ(m.Protocol[0].Vividness, 0.9);
  EXPECT_EQ(m.Protocol[1].Vividness, 0);
  EXPECT_EQ(m.Protocol[2].Vividness, 1);
  EXPECT_EQ(m.Protocol[2].X, 100);
}

// --- The known area and the patches to explore

class KnownAreaTest : public MovementTest {
 protected:
  KnownAreaTest() : m(t.AddMaus({100, 150})) {}
  test::TestPlace Place(TPoint at) { return MovementTest::Place(m, goal::Food, at); }
  TMaus& m;
};

TEST_F(KnownAreaTest, TheKnownAreaOfASinglePlaceIsASquareOfSide40) {
  Place({60, 140});
  const TRect box = KnownArea(t.run, m, Pi, Pi);  // looking left
  EXPECT_EQ(box.left, 40);
  EXPECT_EQ(box.top, 120);
  EXPECT_EQ(box.right, 80);
  EXPECT_EQ(box.bottom, 160);
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(2));  // one recall
}

TEST_F(KnownAreaTest, TheKnownAreaSpansTheRecalledFinalPlacesInTheSector) {
  Place({60, 140});
  Place({70, 120});
  test::TestPlace waypoint = Place({50, 100});
  waypoint->NextIndex = 0;
  test::TestPlace behind = Place({150, 150});
  behind->LastRecall = -5;
  const TRect box = KnownArea(t.run, m, Pi, Pi);
  EXPECT_EQ(box.left, 60);
  EXPECT_EQ(box.top, 120);
  EXPECT_EQ(box.right, 70);
  EXPECT_EQ(box.bottom, 140);
  EXPECT_EQ(behind->LastRecall, -5);  // not thought of: outside the sector
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(6));
}

TEST_F(KnownAreaTest, PlacesSharingOneXWidenTheKnownAreaBy20) {
  Place({60, 140});
  Place({60, 120});
  const TRect box = KnownArea(t.run, m, Pi, Pi);
  EXPECT_EQ(box.left, 40);
  EXPECT_EQ(box.top, 100);
  EXPECT_EQ(box.right, 80);
  EXPECT_EQ(box.bottom, 160);
}

TEST_F(KnownAreaTest, WithNoPlaceTheKnownAreaIsEmpty) {
  const TRect box = KnownArea(t.run, m, Pi, Pi);
  EXPECT_EQ(box.left, 100000);
  EXPECT_EQ(box.top, 100000);
  EXPECT_EQ(box.right, -100000);
  EXPECT_EQ(box.bottom, -100000);
}

// With a width of pi the two sector bounds lie a half turn apart; for a heading
// within a quarter turn of 0 the arc taken between them is the one behind.
TEST_F(KnownAreaTest, LookingRightTheHalfTurnSectorIsTheOneBehind) {
  Place({60, 140});
  Place({150, 150});
  const TRect box = KnownArea(t.run, m, Pi, 0);
  EXPECT_EQ(box.left, 40);
  EXPECT_EQ(box.right, 80);
}

class ExploreTerraTest : public KnownAreaTest {
 protected:
  ExploreTerraTest() {
    std::vector<std::unique_ptr<TTerra>> patches;
    patches.push_back(test::RectPatch(KindSand, 0, 0, 399, 299));
    patches.push_back(test::RectPatch(KindFood, 135, 145, 145, 155));  // behind, at (140, 150)
    patches.push_back(test::RectPatch(KindFood, 55, 145, 65, 155));    // ahead, at (60, 150)
    patches.push_back(test::RectPatch(KindWater, 25, 145, 35, 155));   // ahead, at (30, 150)
    World(std::move(patches));
  }
};

TEST_F(ExploreTerraTest, TheFirstPatchAheadWithinSightOutsideTheKnownAreaIsExplored) {
  EXPECT_EQ(FindExploreTerra(t.run, m, Pi, Pi), t.run.World->TerraList[2].get());
  Place({60, 150});  // known: the box 40..80 holds (60, 150)
  EXPECT_EQ(FindExploreTerra(t.run, m, Pi, Pi), t.run.World->TerraList[3].get());
  m.Params[param::SightWidth] = 70;  // (30, 150) is 70 away: not nearer than the sight
  EXPECT_EQ(FindExploreTerra(t.run, m, Pi, Pi), nullptr);
}

TEST_F(MovementTest, TheFirstPatchIsNeverExplored) {
  std::vector<std::unique_ptr<TTerra>> patches;
  patches.push_back(test::RectPatch(KindFood, 55, 145, 65, 155));
  patches.push_back(test::RectPatch(KindSand, 0, 0, 399, 299));  // centre (200, 150), behind
  World(std::move(patches));
  TMaus& m = t.AddMaus({100, 150});
  EXPECT_EQ(FindExploreTerra(t.run, m, Pi, Pi), nullptr);
}

// --- Small helpers

TEST_F(MovementTest, BravenessIsHalfTheCompetenceAtMostOne) {
  TMaus& m = t.AddMaus({100, 150});
  m.Comp().Ist = 0.6;
  EXPECT_DOUBLE_EQ(Braveness(m), 0.3);
  m.Comp().Ist = 3;
  EXPECT_EQ(Braveness(m), 1);
}

TEST_F(MovementTest, MoveCostTakesHungerAndThirstOfTheActionWithoutClamping) {
  TMaus& m = t.AddMaus({100, 150});
  m.Arousal = 0.5;
  m.CurStrength() = 0.8;
  m.M(need::Hunger).Ist = 0.001;
  MoveCost(t.run, m, action::Bite);  // costs 2 and 1
  const double f = 0.5 * 0.8 * 50 / 1000;
  EXPECT_DOUBLE_EQ(m.M(need::Hunger).Ist, 0.001 - 2 * f * 0.1);
  EXPECT_DOUBLE_EQ(m.M(need::Thirst).Ist, 1 - 1 * f * 0.1);
}

TEST_F(MovementTest, SetTargetTurnsTowardsThePlace) {
  TMaus& m = t.AddMaus({100, 150});
  test::TestPlace place = Place(m, goal::Food, {100, 100});
  SetTarget(m, place);
  EXPECT_EQ(m.TargetLoc, place);
  EXPECT_EQ(m.Heading, Pi / 2);
}

}  // namespace
}  // namespace murinex

namespace murinex {
namespace {

// On a large world of many patches the first fitting patch in list order is
// found, whatever the sight, heading and width: patches whose centres are near
// come from the index of centres, so none may be missed or taken out of order.
TEST(ExploreTerraGridTest, TheFirstFittingPatchInListOrderOnALargeWorld) {
  test::TestRun t;
  std::vector<std::unique_ptr<TTerra>> patches;
  patches.push_back(test::RectPatch(KindSand, 0, 0, 2999, 1999));
  // Overlapping patches of several sizes, not in spatial order.
  for (int k = 0; k < 600; ++k) {
    const int x = (k * 977) % 2900, y = (k * 613) % 1900, side = 10 + (k * 37) % 90;
    patches.push_back(test::RectPatch(KindFood, x, y, x + side, y + side));
  }
  t.SetWorld(test::MakeWorld(3000, 2000, std::move(patches)));
  TMaus& m = t.AddMaus({0, 0});
  const auto& list = t.run.World->TerraList;
  int found = 0;
  for (int k = 0; k < 400; ++k) {
    m.Position = {(k * 331) % 3100 - 50, (k * 257) % 2100 - 50};
    m.Params[param::SightWidth] = 40 + (k * 13) % 200;
    const double heading = (k % 17) * TwoPi / 17, width = 0.3 + (k % 5) * 0.6;
    // No place is remembered, so the known area holds nothing.
    TTerra* expected = nullptr;
    for (std::size_t i = 1; i < list.size() && !expected; ++i) {
      const TPoint c = list[i]->Centre;
      if (AngleDiff(Direction(m.Position, c), heading) <= width / 2 &&
          Distance(m.Position, c) < m.P(param::SightWidth))
        expected = list[i].get();
    }
    ASSERT_EQ(FindExploreTerra(t.run, m, width, heading), expected) << "case " << k;
    found += expected != nullptr;
  }
  EXPECT_GT(found, 100);
}

}  // namespace
}  // namespace murinex
