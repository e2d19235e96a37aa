#include "agent/memory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "agent/goal_memory.h"
#include "agent/maus.h"
#include "model/run.h"
#include "tests/common/agent_builders.h"
#include "tests/common/reference_random.h"
#include "tests/common/test_run.h"
#include "world/random.h"

namespace murinex {
namespace {

// The first uniform draws of the generator from seed 1
// (seed := seed * 134775813 + 1 mod 2^32, draw = seed / 2^32).
constexpr double U1 = 0.031379939522594213;  // seed 134775814
constexpr double U2 = 0.8610484672244638;    // seed 3698175007
constexpr double U3 = 0.20258096512407064;   // seed 870078620

// A seed whose fifth draw is exactly 0: its draws are 0.8519, 0.8221, 0.9956,
// 0.1511, 0, then 2.3e-10 (seed 1).
constexpr std::uint32_t FifthDrawZero = 1663489415;
// Its last two steps: a seed whose second draw is 0, and one whose first draw is 0.
constexpr std::uint32_t SecondDrawZero = 4275872522u;
constexpr std::uint32_t FirstDrawZero = 649090867;

using test::SeedAfter;

// A mouse at (100, 100) on the sand, with Inhib 0, SightWidth 100,
// RateForget 0.001, RateReinforce 0.3, looking for food; the generator at seed 1.
class MemoryTest : public ::testing::Test {
 protected:
  MemoryTest() : m(t.AddMaus({100, 100})) {
    m.Inhib = 0;
    m.Goal = goal::Food;
    m.Need = need::Hunger;
    t.run.random.SetSeed(1);
  }

  // A place recalled in this very tick, so that a recall charges no time.
  test::TestPlace AddPlace(goal::Goal kind, TPoint p, char sign = '+', double retention = 1,
                           double progress = 1) {
    test::TestPlace place = test::AddPlace(t.run, m, kind, p, sign, retention, progress);
    place->Quality = 0;  // unrated: the tests here rate places themselves
    return place;
  }

  // Appends track points, oldest first.
  void Track(const std::vector<TPoint>& path, double vividness = 1,
             goal::Goal goalKind = goal::Food) {
    for (TPoint p : path)
      m.Protocol.push_back({p.x, p.y, goalKind, action::Move, vividness});
  }

  std::uint32_t Seed() const { return t.run.random.Seed(); }

  test::TestRun t;
  TMaus& m;
};

// --- BestNeedOf

TEST_F(MemoryTest, BestNeedOfTakesTheFirstOfTheLargestValues) {
  // Vorarazav: Thirst 0.5 and Comp 0.5; the first of equals wins.
  EXPECT_EQ(BestNeedOf(t.run, m, goal::Vorarazav), need::Thirst);
  EXPECT_EQ(m.GoalMemory.size(), 1u);  // the element was created on the way
  // Sand serves nothing: all values 0, so the first need.
  EXPECT_EQ(BestNeedOf(t.run, m, goal::Sand), need::NoNeed);
  // Stones: Pain -1 and the rest 0.
  EXPECT_EQ(BestNeedOf(t.run, m, goal::Stones), need::NoNeed);
  TGoalMemEl& food = FindElement(m.GoalMemory, t.run.settings, goal::Food);
  food.Values = {-2, -1, -0.5, -0.25, -3, -3, -3, -3};
  EXPECT_EQ(BestNeedOf(t.run, m, goal::Food), need::Pain);
  EXPECT_EQ(Seed(), 1u);
}

// --- FadeRetention and Recall

TEST_F(MemoryTest, FadeRetentionChargesTheElapsedTicks) {
  TGoalAvLoc place;
  place.Retention = 0.8;
  place.LastRecall = 100;
  t.run.TickCount = 300;
  // sqrt(0.64 - U1 * 200 * 0.001)
  const double faded = FadeRetention(t.run, place, 0.001);
  EXPECT_NEAR(faded, std::sqrt(0.64 - U1 * 0.2), 1e-12);
  EXPECT_NEAR(faded, 0.796067843902441, 1e-12);
  EXPECT_EQ(place.LastRecall, 300);
  EXPECT_EQ(place.Retention, 0.8);  // the caller stores the result
}

TEST_F(MemoryTest, SecondFadeInOneTickChargesNothing) {
  TGoalAvLoc place;
  place.Retention = 0.8;
  place.LastRecall = 100;
  t.run.TickCount = 300;
  place.Retention = FadeRetention(t.run, place, 0.001);
  const double once = place.Retention;
  place.Retention = FadeRetention(t.run, place, 0.001);
  EXPECT_NEAR(place.Retention, once, 1e-15);
  EXPECT_EQ(Seed(), SeedAfter(1, 2));  // each fade draws, even with nothing to charge
}

TEST_F(MemoryTest, FadeRetentionStopsAtZeroAndCapsTheSquareAtOne) {
  TGoalAvLoc weak;
  weak.Retention = 0.1;
  t.run.TickCount = 10000;
  EXPECT_EQ(FadeRetention(t.run, weak, 0.01), 0);  // 0.01 - U1 * 100 < 0
  TGoalAvLoc strong;
  strong.Retention = 1.2;
  strong.LastRecall = 10000;
  EXPECT_EQ(FadeRetention(t.run, strong, 0.01), 1);
}

TEST_F(MemoryTest, RecallReinforcesARecalledPlace) {
  m.Params[param::RateReinforce] = 0.02;
  test::TestPlace place = AddPlace(goal::Food, {110, 100}, '+', 0.9);
  // The fade charges no time (U1 unused), 0.9 > U2 = 0.861: recalled.
  EXPECT_TRUE(Recall(t.run, m, *place));
  EXPECT_NEAR(place->Retention, std::pow(std::sqrt(0.9) + 0.02, 2), 1e-12);
  EXPECT_EQ(Seed(), SeedAfter(1, 2));
}

TEST_F(MemoryTest, RecallAfterAWhileFadesFirst) {
  m.Params[param::RateReinforce] = 0.02;
  test::TestPlace place = AddPlace(goal::Food, {110, 100}, '+', 0.95);
  place->LastRecall = 0;
  t.run.TickCount = 1000;
  // Faded to sqrt(0.9025 - U1 * 1000 * 0.001) = 0.93334 > U2: recalled and reinforced.
  EXPECT_TRUE(Recall(t.run, m, *place));
  EXPECT_NEAR(place->Retention, std::pow(std::sqrt(std::sqrt(0.9025 - U1)) + 0.02, 2), 1e-12);
  EXPECT_EQ(place->LastRecall, 1000);
}

TEST_F(MemoryTest, RecallCapsTheReinforcementAtOne) {
  test::TestPlace place = AddPlace(goal::Food, {110, 100}, '+', 0.9);  // (0.949 + 0.3)^2 > 1
  EXPECT_TRUE(Recall(t.run, m, *place));
  EXPECT_EQ(place->Retention, 1);
}

TEST_F(MemoryTest, APlaceNotRecalledKeepsItsFadedStrength) {
  test::TestPlace place = AddPlace(goal::Food, {110, 100}, '+', 0.5);
  EXPECT_FALSE(Recall(t.run, m, *place));  // 0.5 > U2 fails
  EXPECT_NEAR(place->Retention, 0.5, 1e-15);
}

TEST_F(MemoryTest, APlaceWithoutRetentionIsNeverRecalled) {
  test::TestPlace place = AddPlace(goal::Food, {110, 100}, '+', 0);
  t.run.random.SetSeed(SecondDrawZero);  // the recall draws exactly 0
  EXPECT_FALSE(Recall(t.run, m, *place));
  EXPECT_EQ(place->Retention, 0);
  EXPECT_EQ(Seed(), 0u);
}

// --- LocUsable

TEST_F(MemoryTest, LocUsableRecallsOnlyPlacesInSightAndOnTerrain) {
  test::TestPlace far = AddPlace(goal::Food, {201, 100});
  far->LastRecall = -50;
  EXPECT_FALSE(LocUsable(t.run, m, *far));
  EXPECT_EQ(Seed(), 1u);  // no recall at all
  EXPECT_EQ(far->LastRecall, -50);

  test::TestPlace edge = AddPlace(goal::Food, {200, 100});  // exactly SightWidth away
  EXPECT_TRUE(LocUsable(t.run, m, *edge));
  EXPECT_EQ(Seed(), SeedAfter(1, 2));
}

TEST_F(MemoryTest, LocUsableNeedsTerrainAllTheWay) {
  // Two sand patches with a gap from x = 151 to 199.
  std::vector<std::unique_ptr<TTerra>> patches;
  patches.push_back(test::RectPatch(KindSand, 0, 0, 150, 299));
  patches.push_back(test::RectPatch(KindSand, 200, 0, 399, 299));
  t.SetWorld(test::MakeWorld(400, 300, std::move(patches)));
  m.Position = {140, 100};
  test::TestPlace across = AddPlace(goal::Food, {210, 100});
  EXPECT_FALSE(LocUsable(t.run, m, *across));
  EXPECT_EQ(Seed(), 1u);
  test::TestPlace near = AddPlace(goal::Food, {100, 120});
  EXPECT_TRUE(LocUsable(t.run, m, *near));
  // An inhibited mouse looks less closely: with (1 - 0.9) / 10 probes per unit the
  // 70 units are crossed in one step, and the gap goes unseen.
  m.Inhib = 0.9;
  t.run.random.SetSeed(1);
  EXPECT_TRUE(LocUsable(t.run, m, *across));
  EXPECT_EQ(Seed(), SeedAfter(1, 2));
}

// --- RememberGoalPlace and RememberPainPlace

TEST_F(MemoryTest, RememberGoalPlaceCreatesAResourcePlace) {
  t.run.TickCount = 42;
  EXPECT_TRUE(RememberGoalPlace(t.run, m, goal::Food, {120, 80}));
  ASSERT_EQ(m.GoalLocations.size(), 1u);
  const TGoalAvLoc& p = m.GoalLocations[0];
  EXPECT_EQ(p.Kind(), goal::Food);
  EXPECT_EQ(p.Element, &FindElement(m.GoalMemory, t.run.settings, goal::Food));
  EXPECT_EQ(p.Pos, (TPoint{120, 80}));
  EXPECT_FALSE(p.Next);
  EXPECT_EQ(p.NextIndex, -1);
  EXPECT_EQ(p.LastRecall, 42);
  EXPECT_EQ(p.Progress, 1);
  EXPECT_EQ(p.Quality, 1);
  EXPECT_EQ(p.Sign, '+');
  EXPECT_DOUBLE_EQ(p.Retention, 0.9);  // RateReinforce * 3
  // One for the new place, one for the remembering.
  EXPECT_EQ(t.run.Stats[stat::Learn], 2);
  EXPECT_EQ(Seed(), 1u);  // an empty track: no route, no draw

  m.Params[param::RateReinforce] = 0.5;
  EXPECT_TRUE(RememberGoalPlace(t.run, m, goal::HealingHerbs, {300, 200}));
  EXPECT_EQ(m.GoalLocations[1].Retention, 1);  // 1.5, at most 1
}

TEST_F(MemoryTest, RememberGoalPlaceOnlyForConsumableKinds) {
  for (goal::Goal kind : {goal::NoGoal, goal::Sand, goal::Stones, goal::Friend, goal::HelpRequest,
                          goal::Uncertainty, goal::Barrier}) {
    EXPECT_FALSE(RememberGoalPlace(t.run, m, kind, {120, 80}));
  }
  EXPECT_TRUE(m.GoalLocations.empty());
  EXPECT_EQ(t.run.Stats[stat::Learn], 0);
  for (goal::Goal kind : {goal::Food, goal::Water, goal::Vorarazav, goal::HealingHerbs}) {
    EXPECT_TRUE(RememberGoalPlace(t.run, m, kind, {120, 80}));
  }
  EXPECT_EQ(m.GoalLocations.size(), 4u);
}

TEST_F(MemoryTest, AGoalPlaceWithinFifteenIsTheKnownOne) {
  AddPlace(goal::Food, {120, 80});
  AddPlace(goal::Water, {140, 80});
  EXPECT_FALSE(RememberGoalPlace(t.run, m, goal::Food, {129, 92}));  // exactly 15 away
  EXPECT_EQ(m.GoalLocations.size(), 2u);
  EXPECT_EQ(t.run.Stats[stat::Learn], 1);
  // On the water place, 20 from the food place: a food place of its own.
  EXPECT_TRUE(RememberGoalPlace(t.run, m, goal::Food, {140, 80}));
  EXPECT_TRUE(RememberGoalPlace(t.run, m, goal::Food, {120, 96}));  // 16 away
  EXPECT_EQ(m.GoalLocations.size(), 4u);
}

TEST_F(MemoryTest, TheKnownPlaceGetsTheRoute) {
  test::TestPlace known = AddPlace(goal::Food, {300, 100});
  Track({{0, 100}, {200, 100}, {240, 100}, {310, 100}});
  EXPECT_FALSE(RememberGoalPlace(t.run, m, goal::Food, {310, 100}));
  // Waypoints measured from the known place: 240 (60 away) and 200 (40 from 240: none).
  ASSERT_EQ(m.GoalLocations.size(), 2u);
  EXPECT_EQ(m.GoalLocations[1].Pos, (TPoint{240, 100}));
  EXPECT_EQ(m.GoalLocations[1].Next, known);
  EXPECT_EQ(m.GoalLocations[1].NextIndex, 0);
  EXPECT_EQ(t.run.Stats[stat::Learn], 2);  // the waypoint and the remembering
}

TEST_F(MemoryTest, RememberPainPlaceCreatesAPainfulPlace) {
  m.Params[param::RateReinforce] = 0.2;
  t.run.TickCount = 7;
  RememberPainPlace(t.run, m, goal::Stones, {50, 60});
  ASSERT_EQ(m.GoalLocations.size(), 1u);
  const TGoalAvLoc& p = m.GoalLocations[0];
  EXPECT_EQ(p.Kind(), goal::Stones);
  EXPECT_DOUBLE_EQ(p.Retention, 0.8);  // RateReinforce * 4
  EXPECT_EQ(p.Pos, (TPoint{50, 60}));
  EXPECT_EQ(p.Progress, 1);
  EXPECT_EQ(p.LastRecall, 7);
  EXPECT_EQ(p.NextIndex, -1);
  EXPECT_EQ(p.Quality, 1);
  EXPECT_EQ(p.Sign, '-');
  EXPECT_FALSE(p.Next);
  EXPECT_EQ(t.run.Stats[stat::Learn], 1);
  m.Params[param::RateReinforce] = 0.3;
  RememberPainPlace(t.run, m, goal::Stones, {300, 60});
  EXPECT_EQ(m.GoalLocations[1].Retention, 1);  // 1.2, at most 1
  EXPECT_EQ(Seed(), 1u);
}

TEST_F(MemoryTest, APainPlaceIsNotRememberedTwice) {
  AddPlace(goal::Stones, {50, 60}, '-');
  RememberPainPlace(t.run, m, goal::Stones, {59, 72});  // 15 away
  EXPECT_EQ(m.GoalLocations.size(), 1u);
  EXPECT_EQ(t.run.Stats[stat::Learn], 0);
  // Any painful place of a kind that serves Pain counts, not only of the same kind.
  RememberPainPlace(t.run, m, goal::HealingHerbs, {50, 60});
  EXPECT_EQ(m.GoalLocations.size(), 1u);
}

TEST_F(MemoryTest, OnlyPainfulPlacesOfPainKindsBlockANewOne) {
  AddPlace(goal::HealingHerbs, {50, 60}, '+');  // serves Pain, but a goal place
  AddPlace(goal::Food, {50, 60}, '-');          // painful, but food serves Hunger
  RememberPainPlace(t.run, m, goal::Stones, {50, 60});
  EXPECT_EQ(m.GoalLocations.size(), 3u);
  EXPECT_EQ(m.GoalLocations[2].Sign, '-');
}

// --- LearnRoute

TEST_F(MemoryTest, LearnRouteLaysWaypointsFiftyApart) {
  t.run.TickCount = 500;
  // A walk from (0, 100) to the food at (300, 100), every point vivid.
  Track({{0, 100},
         {20, 100},
         {60, 100},
         {120, 100},
         {150, 100},
         {190, 100},
         {240, 100},
         {280, 100},
         {300, 100}});
  EXPECT_TRUE(RememberGoalPlace(t.run, m, goal::Food, {300, 100}));
  // Newest first, from the last waypoint: 240 (60 away), 190 (only 50: none),
  // 150 (90), 120 (30: none), 60 (90), 20 (40: none); the oldest point is left out.
  ASSERT_EQ(m.GoalLocations.size(), 4u);
  const std::vector<TPoint> expected = {{300, 100}, {240, 100}, {150, 100}, {60, 100}};
  for (std::size_t i = 1; i < 4; ++i) {
    SCOPED_TRACE(i);
    const TGoalAvLoc& w = m.GoalLocations[i];
    EXPECT_EQ(w.Pos, expected[i]);
    EXPECT_EQ(w.NextIndex, static_cast<std::int32_t>(i) - 1);
    EXPECT_EQ(w.Next, m.GoalLocations.HandleAt(i - 1));
    EXPECT_EQ(w.Sign, '0');
    EXPECT_EQ(w.Quality, 0);
    EXPECT_EQ(w.Retention, 1);
    EXPECT_EQ(w.Progress, 1);
    EXPECT_EQ(w.LastRecall, 500);
    EXPECT_EQ(w.Kind(), goal::Food);
  }
  EXPECT_EQ(t.run.Stats[stat::Learn], 5);  // place, three waypoints, remembering
  EXPECT_EQ(Seed(), SeedAfter(1, 9));      // one draw per remembered track point
}

TEST_F(MemoryTest, LearnRouteFollowsOnlyTheRememberedPartOfTheTrack) {
  // Oldest first; the draws go newest first: U1 = 0.031 < 0.04 and U2 = 0.861 < 0.9
  // are remembered, U3 = 0.2026 >= 0.2 ends the run at (100, 100).
  Track({{0, 100}, {20, 100}});
  Track({{100, 100}}, 0.2);
  Track({{180, 100}}, 0.9);
  Track({{240, 100}}, 0.04);
  test::TestPlace food = AddPlace(goal::Food, {300, 100});
  LearnRoute(t.run, m, food, goal::Food);
  ASSERT_EQ(m.GoalLocations.size(), 3u);
  EXPECT_EQ(m.GoalLocations[1].Pos, (TPoint{240, 100}));
  EXPECT_EQ(m.GoalLocations[2].Pos, (TPoint{180, 100}));
  EXPECT_EQ(Seed(), SeedAfter(1, 3));
}

TEST_F(MemoryTest, ADrawEqualToTheVividnessForgetsThePoint) {
  Track({{0, 100}, {100, 100}});
  Track({{200, 100}}, U1);
  test::TestPlace food = AddPlace(goal::Food, {300, 100});
  LearnRoute(t.run, m, food, goal::Food);
  EXPECT_EQ(m.GoalLocations.size(), 1u);
  EXPECT_EQ(Seed(), SeedAfter(1, 1));
}

TEST_F(MemoryTest, NoRouteWithoutARememberedTrack) {
  test::TestPlace food = AddPlace(goal::Food, {300, 100});
  LearnRoute(t.run, m, food, goal::Food);  // empty track
  EXPECT_EQ(Seed(), 1u);
  Track({{0, 100}, {100, 100}});
  Track({{200, 100}}, 0);  // the newest point is forgotten at once
  LearnRoute(t.run, m, food, goal::Food);
  EXPECT_EQ(m.GoalLocations.size(), 1u);
  EXPECT_EQ(Seed(), SeedAfter(1, 1));
  EXPECT_EQ(t.run.Stats[stat::Learn], 0);
}

TEST_F(MemoryTest, NoRouteWhenThePathStartsWithinSightOfThatKind) {
  test::TestPlace food = AddPlace(goal::Food, {300, 100});
  // Starts 80 from the goal place itself.
  Track({{220, 100}, {240, 100}, {300, 100}});
  LearnRoute(t.run, m, food, goal::Food);
  EXPECT_EQ(m.GoalLocations.size(), 1u);

  // Starts far from the goal but 67 from another food place.
  m.Protocol.clear();
  AddPlace(goal::Food, {60, 130});
  Track({{0, 100}, {150, 100}, {300, 100}});
  LearnRoute(t.run, m, food, goal::Food);
  EXPECT_EQ(m.GoalLocations.size(), 2u);
  EXPECT_EQ(t.run.Stats[stat::Learn], 0);
}

TEST_F(MemoryTest, PlacesOfOtherKindsNearTheStartDoNotMatter) {
  test::TestPlace food = AddPlace(goal::Food, {300, 100});
  AddPlace(goal::Water, {0, 100});
  Track({{0, 100}, {150, 100}, {300, 100}});
  LearnRoute(t.run, m, food, goal::Food);
  ASSERT_EQ(m.GoalLocations.size(), 3u);
  EXPECT_EQ(m.GoalLocations[2].Pos, (TPoint{150, 100}));
  EXPECT_EQ(m.GoalLocations[2].NextIndex, 0);
}

TEST_F(MemoryTest, ARouteToAPlaceNoLongerListedStartsWithoutNext) {
  const PlaceHandle gone = m.GoalLocations.New();
  m.GoalLocations.At(gone).Element = &FindElement(m.GoalMemory, t.run.settings, goal::Food);
  m.GoalLocations.At(gone).Pos = {300, 100};
  Track({{0, 100}, {100, 100}, {200, 100}});
  LearnRoute(t.run, m, gone, goal::Food);
  ASSERT_EQ(m.GoalLocations.size(), 2u);
  EXPECT_EQ(m.GoalLocations[0].Pos, (TPoint{200, 100}));
  EXPECT_EQ(m.GoalLocations[0].NextIndex, -1);
  EXPECT_FALSE(m.GoalLocations[0].Next);
  EXPECT_EQ(m.GoalLocations[1].Pos, (TPoint{100, 100}));
  EXPECT_EQ(m.GoalLocations[1].NextIndex, 0);
  EXPECT_EQ(m.GoalLocations[1].Next, m.GoalLocations.HandleAt(0));
}

// --- NearestKind

TEST_F(MemoryTest, NearestKindMeasuresOnlyThatKind) {
  EXPECT_EQ(NearestKind(m, goal::Food, {30, 0}), 100000);
  AddPlace(goal::Food, {0, 0});
  AddPlace(goal::Water, {10, 0});
  AddPlace(goal::Food, {30, 40}, '0');
  EXPECT_EQ(NearestKind(m, goal::Food, {30, 0}), 30);
  EXPECT_EQ(NearestKind(m, goal::Water, {30, 0}), 20);
  EXPECT_EQ(NearestKind(m, goal::Vorarazav, {30, 0}), 100000);
}

// --- FindGoalLoc

TEST_F(MemoryTest, FindGoalLocReturnsAUsablePlace) {
  test::TestPlace food = AddPlace(goal::Food, {130, 100});
  EXPECT_EQ(FindGoalLoc(t.run, m, goal::Food), food);
  // Candidate draw, fade, recall, progress; an empty track draws nothing.
  EXPECT_EQ(Seed(), SeedAfter(1, 4));
}

TEST_F(MemoryTest, FindGoalLocSkipsOtherKindsAndPainfulPlacesWithoutDrawing) {
  AddPlace(goal::Water, {110, 100});
  AddPlace(goal::Food, {110, 100}, '-');
  test::TestPlace waypoint = AddPlace(goal::Food, {130, 100}, '0');
  EXPECT_EQ(FindGoalLoc(t.run, m, goal::Food), waypoint);
  EXPECT_EQ(Seed(), SeedAfter(1, 4));
  EXPECT_FALSE(FindGoalLoc(t.run, m, goal::Vorarazav));
}

TEST_F(MemoryTest, FindGoalLocPrefersTheNearest) {
  AddPlace(goal::Food, {150, 100});
  test::TestPlace nearer = AddPlace(goal::Food, {120, 100});
  EXPECT_EQ(FindGoalLoc(t.run, m, goal::Food), nearer);
  EXPECT_EQ(Seed(), SeedAfter(1, 8));  // both tested in full
}

TEST_F(MemoryTest, AFartherCandidateIsNotTested) {
  test::TestPlace nearer = AddPlace(goal::Food, {120, 100});
  AddPlace(goal::Food, {150, 100});
  EXPECT_EQ(FindGoalLoc(t.run, m, goal::Food), nearer);
  EXPECT_EQ(Seed(), SeedAfter(1, 5));  // the farther one draws only as a candidate
}

TEST_F(MemoryTest, AWeakOrInhibitedMemoryIsNoCandidate) {
  AddPlace(goal::Food, {130, 100}, '+', 0.02);  // U1 = 0.031 < 0.02 fails
  EXPECT_FALSE(FindGoalLoc(t.run, m, goal::Food));
  EXPECT_EQ(Seed(), SeedAfter(1, 1));

  // Not even a draw of 0 is below a retention of 0.
  m.GoalLocations[0].Retention = 0;
  t.run.random.SetSeed(FirstDrawZero);
  EXPECT_FALSE(FindGoalLoc(t.run, m, goal::Food));
  EXPECT_EQ(Seed(), 0u);

  t.run.random.SetSeed(1);
  m.GoalLocations[0].Retention = 1;
  m.Inhib = 0.98;  // (1 - 0.98) * 1 = 0.02
  EXPECT_FALSE(FindGoalLoc(t.run, m, goal::Food));
  EXPECT_EQ(Seed(), SeedAfter(1, 1));
}

TEST_F(MemoryTest, FindGoalLocTestsSightProgressAndTheTrackInThisOrder) {
  // Out of sight: the candidate draw only.
  AddPlace(goal::Food, {250, 100});
  EXPECT_FALSE(FindGoalLoc(t.run, m, goal::Food));
  EXPECT_EQ(Seed(), SeedAfter(1, 1));

  // Without progress: candidate, fade, recall, progress.
  m.GoalLocations.Clear();
  t.run.random.SetSeed(1);
  AddPlace(goal::Food, {130, 100}, '+', 1, 0);
  EXPECT_FALSE(FindGoalLoc(t.run, m, goal::Food));
  EXPECT_EQ(Seed(), SeedAfter(1, 4));

  // Just visited: the newest track point lies on the place, found without a draw.
  m.GoalLocations[0].Progress = 1;
  t.run.random.SetSeed(1);
  Track({{131, 101}});
  EXPECT_FALSE(FindGoalLoc(t.run, m, goal::Food));
  EXPECT_EQ(Seed(), SeedAfter(1, 4));
}

TEST_F(MemoryTest, FindGoalLocDeletesAForgottenPlaceAndGoesOn) {
  test::TestPlace best = AddPlace(goal::Food, {110, 100});                   // 10 away
  test::TestPlace forgotten = AddPlace(goal::Food, {140, 100}, '+', 1e-10);  // 40 away
  test::TestPlace waypoint = AddPlace(goal::Food, {130, 100}, '0');          // 30 away
  waypoint->NextIndex = 1;
  waypoint->Next = forgotten;
  // Draws 1-4 make the first place the best; draw 5 is 0, below 1e-10, so the
  // forgotten place is a candidate farther than the best and is deleted; the scan
  // restarts at its index with the best kept, the waypoint draws once (2.3e-10)
  // and, farther than the best, stays.
  t.run.random.SetSeed(FifthDrawZero);
  EXPECT_EQ(FindGoalLoc(t.run, m, goal::Food), best);
  ASSERT_EQ(m.GoalLocations.size(), 2u);
  EXPECT_EQ(m.GoalLocations.HandleAt(0), best);
  EXPECT_EQ(m.GoalLocations.HandleAt(1), waypoint);
  EXPECT_EQ(waypoint->NextIndex, -2);
  EXPECT_FALSE(waypoint->Next);
  EXPECT_EQ(Seed(), SeedAfter(FifthDrawZero, 6));
}

TEST_F(MemoryTest, FindGoalLocDeletesAtTheStartOfTheListToo) {
  // Farther than the initial best distance of 100000.
  AddPlace(goal::Food, {200000, 100}, '+', 1e-10);
  test::TestPlace food = AddPlace(goal::Food, {130, 100});
  t.run.random.SetSeed(FirstDrawZero);
  EXPECT_EQ(FindGoalLoc(t.run, m, goal::Food), food);
  ASSERT_EQ(m.GoalLocations.size(), 1u);
  EXPECT_EQ(m.GoalLocations.HandleAt(0), food);
  EXPECT_EQ(Seed(), SeedAfter(FirstDrawZero, 5));
}

TEST_F(MemoryTest, AForgottenPlaceNearerThanTheBestIsKept) {
  AddPlace(goal::Food, {140, 100}, '+', 1e-10);
  // Candidate (draw 0), fade, and the recall fails (U1 > 1e-10): not the best, not deleted.
  t.run.random.SetSeed(FirstDrawZero);
  EXPECT_FALSE(FindGoalLoc(t.run, m, goal::Food));
  EXPECT_EQ(m.GoalLocations.size(), 1u);
  EXPECT_EQ(Seed(), SeedAfter(FirstDrawZero, 3));
}

// --- RecentlyVisited

TEST_F(MemoryTest, RecentlyVisitedLooksForAPointWithinThree) {
  const TPoint p{200, 200};
  EXPECT_FALSE(RecentlyVisited(t.run, m, p));  // empty track
  Track({{203, 200}});
  EXPECT_TRUE(RecentlyVisited(t.run, m, p));
  EXPECT_EQ(Seed(), 1u);
  m.Protocol.clear();
  Track({{202, 203}});  // sqrt(13) away, and the oldest point
  EXPECT_FALSE(RecentlyVisited(t.run, m, p));
  EXPECT_EQ(Seed(), SeedAfter(1, 1));
}

TEST_F(MemoryTest, RecentlyVisitedWalksBackWhileTheGoalIsTheSame) {
  const TPoint p{200, 200};
  Track({p, {10, 10}, {20, 10}, {30, 10}});
  EXPECT_TRUE(RecentlyVisited(t.run, m, p));
  EXPECT_EQ(Seed(), SeedAfter(1, 3));

  // A point of another goal ends the walk.
  m.Protocol.clear();
  t.run.random.SetSeed(1);
  Track({p});
  Track({{10, 10}}, 1, goal::Water);
  Track({{20, 10}});
  EXPECT_FALSE(RecentlyVisited(t.run, m, p));
  EXPECT_EQ(Seed(), SeedAfter(1, 2));

  // So does the oldest point.
  m.Protocol.clear();
  t.run.random.SetSeed(1);
  Track({{10, 10}, {20, 10}});
  EXPECT_FALSE(RecentlyVisited(t.run, m, p));
  EXPECT_EQ(Seed(), SeedAfter(1, 2));
}

TEST_F(MemoryTest, InhibitionCutsTheWalkShort) {
  const TPoint p{200, 200};
  Track({p, {10, 10}});
  m.Inhib = 0.1;  // U1 = 0.031 <= 0.05: stops at once
  EXPECT_FALSE(RecentlyVisited(t.run, m, p));
  EXPECT_EQ(Seed(), SeedAfter(1, 1));
  t.run.random.SetSeed(1);
  m.Inhib = 0.06;  // U1 > 0.03: walks on to the visited point
  EXPECT_TRUE(RecentlyVisited(t.run, m, p));
}

// --- GiveUpGoal

TEST_F(MemoryTest, GiveUpGoalCostsCompetenceAndTakesAPromisingPlace) {
  m.Comp().Ist = 0.5;
  m.Comp().BasMeta = 0.01;
  m.Params[param::LossComp] = 0.2;
  AddPlace(goal::Food, {250, 100});               // out of sight: no draw
  AddPlace(goal::Food, {120, 100}, '+', 1, 0.8);  // usable, progress not above 0.8
  test::TestPlace water = AddPlace(goal::Water, {90, 100}, '+', 1, 0.9);  // any kind will do
  AddPlace(goal::Food, {110, 100});
  t.OpenProtocols();
  t.run.CheckMausId = m.ID;
  t.run.SelectedMaus = m.Handle;
  GiveUpGoal(t.run, m);
  EXPECT_DOUBLE_EQ(m.Comp().Ist, 0.498);  // - BasMeta * LossComp
  t.run.KofiProt.Flush();
  EXPECT_EQ(test::ReadText(t.run.ProtoDir() / "KofiProtNN.prt"),
            ";       1;       0; 0.20000;-0.00200; 0.49800;DiSatComp-GiveUpGoal;\n");
  EXPECT_EQ(m.TargetLoc, water);
  EXPECT_EQ(m.Need, need::Hunger);
  EXPECT_EQ(Seed(), SeedAfter(1, 4));  // two recalls
}

TEST_F(MemoryTest, GiveUpGoalWithoutAPlaceDropsTheNeed) {
  AddPlace(goal::Food, {120, 100}, '+', 1, 0.5);
  GiveUpGoal(t.run, m);
  EXPECT_FALSE(m.TargetLoc);
  EXPECT_EQ(m.Need, need::NoNeed);
  EXPECT_EQ(Seed(), SeedAfter(1, 2));
}

// --- Forget

TEST_F(MemoryTest, ForgetFadesRelations) {
  m.Params[param::RateForget] = 0.01;
  TMaus& other = t.AddMaus({10, 10});
  m.Relations.push_back({other.ID, other.Handle, 0.5, -0.5});
  m.Relations.push_back({other.ID, other.Handle, 0.1, -0.1});
  Forget(m);
  EXPECT_DOUBLE_EQ(m.Relations[0].Friendship, std::sqrt(0.25 - 0.02));
  EXPECT_DOUBLE_EQ(m.Relations[0].Enmity, -std::sqrt(0.25 - 0.04));
  EXPECT_EQ(m.Relations[1].Friendship, 0);
  EXPECT_EQ(m.Relations[1].Enmity, 0);
  EXPECT_EQ(Seed(), 1u);
}

TEST_F(MemoryTest, ForgetFadesGoalValuesKeepingTheirSign) {
  m.Params[param::RateForget] = 0.01;
  TGoalMemEl& el = FindElement(m.GoalMemory, t.run.settings, goal::Food);
  el.Values = {0.5, -0.5, 0, 0.05, -0.05, 1, -1, 0.3};
  el.Expectation = 0.7;
  Forget(m);
  EXPECT_DOUBLE_EQ(el.Values[0], std::sqrt(0.24));
  EXPECT_DOUBLE_EQ(el.Values[1], -std::sqrt(0.24));
  EXPECT_EQ(el.Values[2], 0);  // 0 stays 0
  EXPECT_EQ(el.Values[3], 0);  // 0.0025 <= 0.01: gone
  EXPECT_EQ(el.Values[4], 0);
  EXPECT_DOUBLE_EQ(el.Values[5], std::sqrt(0.99));
  EXPECT_DOUBLE_EQ(el.Values[6], -std::sqrt(0.99));
  EXPECT_DOUBLE_EQ(el.Values[7], std::sqrt(0.08));
  EXPECT_EQ(el.Expectation, 0.7);
  // Many more ticks never turn a value over.
  for (int i = 0; i < 200; ++i) {
    const auto before = el.Values;
    Forget(m);
    for (int n = 0; n < need::Count; ++n) {
      EXPECT_FALSE(before[n] > 0 && el.Values[n] < 0);
      EXPECT_FALSE(before[n] < 0 && el.Values[n] > 0);
      EXPECT_FALSE(before[n] == 0 && el.Values[n] != 0);
      EXPECT_LE(std::fabs(el.Values[n]), std::fabs(before[n]));
    }
  }
  for (double v : el.Values)
    EXPECT_EQ(v, 0);
}

// A value of zero is Sign(0) = 0 times a root: positive zero for any finite
// rate, even a negative one or after a negative zero; a rate that is not a
// number makes it not a number, as the formula does.
TEST_F(MemoryTest, ForgetTurnsZeroGoalValuesIntoPositiveZero) {
  TGoalMemEl& el = FindElement(m.GoalMemory, t.run.settings, goal::Food);
  for (double rate : {0.01, -0.01, 0.0}) {
    m.Params[param::RateForget] = rate;
    el.Values = {0.0, -0.0, 0.0, -0.0, 0.0, 0.0, 0.0, 0.0};
    Forget(m);
    for (double v : el.Values) {
      EXPECT_EQ(v, 0) << rate;
      EXPECT_FALSE(std::signbit(v)) << rate;
    }
  }
  m.Params[param::RateForget] = std::nan("");
  el.Values = {0.0, -0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
  Forget(m);
  EXPECT_TRUE(std::isnan(el.Values[0]));
  EXPECT_TRUE(std::isnan(el.Values[1]));
}

}  // namespace
}  // namespace murinex
