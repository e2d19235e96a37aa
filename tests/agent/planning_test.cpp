#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "agent/goal_memory.h"
#include "agent/maus.h"
#include "agent/planning.h"
#include "tests/common/agent_builders.h"
#include "tests/common/reference_random.h"
#include "tests/common/test_run.h"

namespace murinex {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// One mouse at (200, 150), watched, with inhibition 0 unless a test sets it;
// the seed is set at the start so that the draws can be counted.
class PlanningTest : public ::testing::Test {
 protected:
  PlanningTest() : m(t.AddMaus({200, 150})) {
    t.Watch(m);
    t.run.random.SetSeed(seed);
  }
  std::uint32_t SeedAfterDraws(int draws) const { return test::SeedAfter(seed, draws); }
  void UseSeed(std::uint32_t s) {
    seed = s;
    t.run.random.SetSeed(s);
  }
  // A pain place of stones ('-', quality 1).
  test::TestPlace PainPlace(TPoint at) { return test::AddPlace(t.run, m, goal::Stones, at, '-'); }
  void World(std::vector<std::unique_ptr<TTerra>> patches, int width = 400) {
    t.SetWorld(test::MakeWorld(width, 300, std::move(patches)));
  }

  test::TestRun t;
  TMaus& m;
  std::uint32_t seed = 4711;
};

// --- The ring of directions

TEST_F(PlanningTest, WithoutInhibitionTheRingHasTenDirectionsFrom36Degrees) {
  const TPoint expected[10] = {{216, 138}, {206, 131}, {194, 131}, {184, 138}, {180, 150},
                               {184, 162}, {194, 169}, {206, 169}, {216, 162}, {220, 150}};
  for (int k = 1; k <= 10; ++k) {
    SCOPED_TRACE(k);
    const double theta = static_cast<double>(k) / 10 * TwoPi;
    t.run.random.SetSeed(seed);
    const RingStep r = FreeStepAround(t.run, m, {200, 150}, 20, theta);
    EXPECT_EQ(r.point, expected[k - 1]);
    EXPECT_EQ(r.heading, theta);
    EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(10));  // one stones draw per direction
  }
  // The last direction is 2*pi, not 0.
  EXPECT_EQ(FreeStepAround(t.run, m, {200, 150}, 20, 0).heading, TwoPi);
}

TEST_F(PlanningTest, TheRingShrinksWithInhibitionAndVanishesAbove095) {
  m.Inhib = 0.75;  // (1 - 0.75) * 10 = 2.5 rounds to the even 2: directions pi and 2*pi
  RingStep r = FreeStepAround(t.run, m, {200, 150}, 20, Pi / 2);
  EXPECT_EQ(r.point, (TPoint{180, 150}));  // both are pi/2 away; the first wins
  EXPECT_EQ(r.heading, Pi);
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(2));

  m.Inhib = 0.95;  // 0.5000000000000004 rounds to 1: only 2*pi is left
  r = FreeStepAround(t.run, m, {200, 150}, 20, Pi);
  EXPECT_EQ(r.point, (TPoint{220, 150}));
  EXPECT_EQ(r.heading, TwoPi);

  m.Inhib = 0.96;
  const std::uint32_t before = t.run.random.Seed();
  r = FreeStepAround(t.run, m, {200, 150}, 20, Pi);
  EXPECT_EQ(r.point, NoPoint);
  EXPECT_EQ(t.run.random.Seed(), before);  // no direction, no draw
}

class StonesAheadTest : public PlanningTest {
 protected:
  StonesAheadTest() {
    std::vector<std::unique_ptr<TTerra>> patches;
    patches.push_back(test::RectPatch(KindSand, 0, 0, 399, 299));
    patches.push_back(test::RectPatch(KindStones, 215, 140, 240, 160));
    World(std::move(patches));
  }
};

TEST_F(StonesAheadTest, TheRingAvoidsStonesWhenTheDrawIsAboveInhibition) {
  // Without inhibition every direction avoids stones; 2*pi ends on them.
  RingStep r = FreeStepAround(t.run, m, {200, 150}, 20, 0.01);
  EXPECT_EQ(r.point, (TPoint{216, 138}));
  // With Inhib 0.5 the ring has 5 directions; the fifth (2*pi) is taken when
  // its draw is not above 0.5.
  m.Inhib = 0.5;
  UseSeed(test::FindSeed(5, [](const std::vector<double>& d) { return d[4] <= 0.5; }));
  r = FreeStepAround(t.run, m, {200, 150}, 20, 0.01);
  EXPECT_EQ(r.point, (TPoint{220, 150}));
  UseSeed(test::FindSeed(5, [](const std::vector<double>& d) { return d[4] > 0.5; }));
  r = FreeStepAround(t.run, m, {200, 150}, 20, 0.01);
  EXPECT_EQ(r.point, (TPoint{206, 131}));
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(5));
}

TEST_F(StonesAheadTest, FreeStepRefusesOffTerrainStonesDangerAndOccupiedPoints) {
  StepCheck s = FreeStep(t.run, m, {200, 150}, {400, 150}, true);
  EXPECT_FALSE(s.free);  // outside the world
  EXPECT_EQ(s.dangerPlace, NoPoint);
  EXPECT_FALSE(FreeStep(t.run, m, {200, 150}, {220, 150}, true).free);
  EXPECT_TRUE(FreeStep(t.run, m, {200, 150}, {220, 150}, false).free);
  t.AddMaus({200, 185});
  EXPECT_FALSE(FreeStep(t.run, m, {200, 150}, {200, 170}, true).free);  // 15 from the other
  EXPECT_TRUE(FreeStep(t.run, m, {200, 150}, {200, 169}, true).free);   // 16 from it
}

TEST_F(PlanningTest, FreeStepReportsTheDangerPlaceWhetherOrNotItBlocks) {
  PainPlace({195, 150});  // 5 behind the mouse
  StepCheck s = FreeStep(t.run, m, {200, 150}, {220, 150}, true);
  EXPECT_TRUE(s.free);
  EXPECT_EQ(s.dangerPlace, (TPoint{195, 150}));
  s = FreeStep(t.run, m, {200, 150}, {197, 150}, true);  // nearer to it
  EXPECT_FALSE(s.free);
  EXPECT_EQ(s.dangerPlace, (TPoint{195, 150}));
}

// --- Remembered dangers

class DangerTest : public PlanningTest {
 protected:
  DangerTest() {
    test::SetNeed(m, need::Cert, 0.5);
    test::SetNeed(m, need::Comp, 0.5);
  }
};

TEST_F(DangerTest, AStepTowardsANearDangerIsDangerousAndRaisesCertainty) {
  PainPlace({212, 150});
  const DangerCheck d = DangerAhead(t.run, m, {200, 150}, {220, 150}, "ToDanger: Braveness");
  EXPECT_TRUE(d.danger);
  EXPECT_EQ(d.place, (TPoint{212, 150}));
  // "Uncertainty" with the amount GainCert: Cert + GainCert * GainCert, Comp + 0.2 * GainComp *
  // GainCert.
  EXPECT_DOUBLE_EQ(m.Cert().Ist, 0.5 + 0.2 * 0.2);
  EXPECT_DOUBLE_EQ(m.Comp().Ist, 0.5 + 0.2 * 0.2 * 0.2);
  EXPECT_THAT(
      t.KofiLines(),
      ElementsAre(";       1;       0; 0.00800; 0.04000; 0.50800;ToDanger: Braveness 212,150;"));
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(2));  // the chain draw and the noticing draw
}

TEST_F(DangerTest, ADangerBehindTheMouseDoesNotBlock) {
  PainPlace({195, 150});
  const DangerCheck d = DangerAhead(t.run, m, {200, 150}, {220, 150}, "ToDanger: Braveness");
  EXPECT_FALSE(d.danger);
  EXPECT_EQ(d.place, (TPoint{195, 150}));
  EXPECT_EQ(m.Cert().Ist, 0.5);
  EXPECT_THAT(t.KofiLines(), IsEmpty());
}

TEST_F(DangerTest, ADangerAtTheStuckPlaceStillBlocksButGivesNoCertainty) {
  PainPlace({212, 150});
  m.StuckAt = {212, 150};
  const DangerCheck d = DangerAhead(t.run, m, {200, 150}, {220, 150}, "ToDanger: Braveness");
  EXPECT_TRUE(d.danger);
  EXPECT_TRUE(IsStuckAt(m, d.place));
  EXPECT_EQ(m.Cert().Ist, 0.5);
  EXPECT_EQ(m.Comp().Ist, 0.5);
  EXPECT_THAT(
      t.KofiLines(),
      ElementsAre(";       1;       0; 0.00000; 0.00000; 0.50000;ToDanger: Braveness 212,150;"));
}

TEST_F(DangerTest, OnlyDangersWithin15OfTheMouseAreNear) {
  PainPlace({200, 165});  // 15 away: not near
  const DangerCheck d = NearDanger(t.run, m);
  EXPECT_FALSE(d.danger);
  EXPECT_EQ(d.place, NoPoint);
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(1));  // the chain draw only
  m.Position = {200, 151};
  EXPECT_TRUE(NearDanger(t.run, m).danger);
}

TEST_F(DangerTest, AnUnnoticedDangerIsCountedAndPassed) {
  m.Inhib = 0.5;
  PainPlace({205, 150});
  // The chain finds the place (draw above 0.5), the mouse does not notice it.
  UseSeed(
      test::FindSeed(2, [](const std::vector<double>& d) { return d[0] > 0.5 && d[1] <= 0.5; }));
  const DangerCheck d = NearDanger(t.run, m);
  EXPECT_FALSE(d.danger);
  EXPECT_EQ(t.run.Stats[stat::DangerNotSeen], 1);
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(2));
}

TEST_F(DangerTest, ADangerFoundAlongARouteIsReportedAtTheRoutesStart) {
  m.Inhib = 0.5;
  test::TestPlace pain = PainPlace({205, 150});
  test::TestPlace waypoint = test::AddPlace(t.run, m, goal::Stones, {300, 100}, '0');
  waypoint->Next = pain;
  waypoint->NextIndex = 0;
  // Draws: the pain place itself is missed (1st); along the route the pain
  // place is recalled (2nd, 3rd), found (4th) and noticed (5th).
  UseSeed(test::FindSeed(
      5, [](const std::vector<double>& d) { return d[0] <= 0.5 && d[3] > 0.5 && d[4] > 0.5; }));
  const DangerCheck d = NearDanger(t.run, m);
  EXPECT_TRUE(d.danger);
  EXPECT_EQ(d.place, (TPoint{300, 100}));
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(5));
}

TEST_F(DangerTest, ChainFindFollowsTheRouteWhileItsPlacesComeToMind) {
  test::TestPlace pain = PainPlace({205, 150});
  test::TestPlace waypoint = test::AddPlace(t.run, m, goal::Stones, {300, 100}, '0');
  waypoint->Next = pain;
  waypoint->NextIndex = 0;
  TPoint q;
  EXPECT_TRUE(ChainFind(t.run, m, waypoint, goal::Stones, 0.5, '-', q));
  EXPECT_EQ(q, (TPoint{205, 150}));
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(3));  // recall (2), then the find

  pain->Retention = 0;  // forgotten: the route ends there
  const std::uint32_t before = t.run.random.Seed();
  EXPECT_FALSE(ChainFind(t.run, m, waypoint, goal::Stones, 0.5, '-', q));
  EXPECT_EQ(q, NoPoint);
  EXPECT_EQ(t.run.random.Seed(), test::SeedAfter(before, 2));

  pain->Retention = 1;
  pain->Quality = 0.4;  // below the least quality of a danger; no draw for it
  const std::uint32_t before2 = t.run.random.Seed();
  EXPECT_FALSE(ChainFind(t.run, m, pain, goal::Stones, 0.5, '-', q));
  EXPECT_EQ(t.run.random.Seed(), before2);
  EXPECT_FALSE(ChainFind(t.run, m, pain, goal::Stones, 0.4, '+', q));
}

// --- Plan search

TEST_F(PlanningTest, AFreeDirectStepIsAPlanOfOnePoint) {
  double heading = 1;
  const TPlan plan = PlanSearch(t.run, m, {200, 150}, {300, 150}, heading, 20);
  EXPECT_THAT(plan, ElementsAre(TPoint{220, 150}));
  EXPECT_EQ(heading, TwoPi);
  EXPECT_EQ(t.run.Stats[stat::SuccessfulPlan], 1);
  EXPECT_EQ(t.run.Stats[stat::Plan], 0);
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(0));
}

// The mouse stands at (250, 150) near the right edge (x 260) of its world; the
// target (400, 140) lies beyond it, so every direct step leaves the terrain and
// the search walks round steps up along the edge.
class EdgeTest : public PlanningTest {
 protected:
  EdgeTest() {
    std::vector<std::unique_ptr<TTerra>> patches;
    patches.push_back(test::RectPatch(KindSand, 0, 0, 260, 299));
    World(std::move(patches));
    m.Position = {250, 150};
  }
  TPlan Search(int trackEntries) {
    test::FillTrack(m, trackEntries, {250, 150});
    heading = 0;
    return PlanSearch(t.run, m, {250, 150}, {400, 140}, heading, 20);
  }
  double heading = 0;
};

TEST_F(EdgeTest, WithFewerThanTenTrackEntriesThePlanIsOneRingStep) {
  EXPECT_THAT(Search(9), ElementsAre(TPoint{256, 131}));
  EXPECT_NEAR(heading, 0.06656816377582381, 1e-12);  // towards the target from the start
  EXPECT_EQ(t.run.Stats[stat::Plan], 1);
  EXPECT_EQ(t.run.Stats[stat::PlanSteps], 1);
  EXPECT_EQ(t.run.Stats[stat::SuccessfulPlan], 0);
  EXPECT_EQ(m.StuckAt, NoPoint);  // refused before any danger test
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(10));
}

TEST_F(EdgeTest, TheTrackLengthLimitsThePlan) {
  // Later ring steps keep the previous ring direction (72, then 108 degrees).
  EXPECT_THAT(Search(10), ElementsAre(TPoint{256, 131}, TPoint{250, 112}));
  EXPECT_NEAR(heading, 6.220766497183629, 1e-12);
}

TEST_F(EdgeTest, TwentyTrackEntriesAllowThreeRingSteps) {
  EXPECT_THAT(Search(20), ElementsAre(TPoint{256, 131}, TPoint{250, 112}, TPoint{244, 93}));
  EXPECT_EQ(t.run.Stats[stat::PlanSteps], 3);
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(30));
}

TEST_F(EdgeTest, AFreeDirectStepEndsALongerPlan) {
  EXPECT_THAT(Search(40), ElementsAre(TPoint{256, 131}, TPoint{250, 112}, TPoint{244, 93},
                                      TPoint{238, 74}, TPoint{257, 82}));
  EXPECT_EQ(t.run.Stats[stat::PlanSteps], 4);
  EXPECT_EQ(t.run.Stats[stat::Plan], 4);
  EXPECT_EQ(t.run.Stats[stat::SuccessfulPlan], 1);
  EXPECT_NEAR(heading, 5.896309589448558, 1e-12);
}

TEST_F(PlanningTest, AnInhibitedMouseWithABlockedStepIsStuck) {
  m.Inhib = 0.96;
  m.Comp().BasMeta = 0.01;
  t.AddMaus({220, 150});  // on the direct step
  double heading = 0;
  const TPlan plan = PlanSearch(t.run, m, {200, 150}, {300, 150}, heading, 20);
  EXPECT_THAT(plan, IsEmpty());
  EXPECT_EQ(t.run.Stats[stat::Plan], 1);
  EXPECT_DOUBLE_EQ(m.Comp().Ist, 1 - 0.01 * 0.2);
  EXPECT_THAT(t.KofiLines(), ElementsAre(::testing::HasSubstr(";DiSatComp-Plan stucked;")));
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(0));
}

TEST_F(PlanningTest, WithoutATargetTheSearchTurnsByUpToAQuarterTurn) {
  double heading = 0.1;
  const TPlan plan = PlanSearch(t.run, m, {200, 150}, NoPoint, heading, 20);
  const double r = test::DrawsFrom(seed, 1)[0];
  const double expected = NormalizeAngle(0.1 + (r - 0.5) * Pi);
  EXPECT_EQ(heading, expected);
  EXPECT_THAT(plan, ElementsAre(PolarOffset({200, 150}, expected, 20)));
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(1));
}

TEST_F(PlanningTest, StuckAtIsTheDangerReportedByTheLastRefusedDirectStep) {
  PainPlace({212, 150});  // ahead, within 15
  double heading = 0;
  const TPlan plan = PlanSearch(t.run, m, {200, 150}, {300, 150}, heading, 20);
  EXPECT_EQ(m.StuckAt, (TPoint{212, 150}));
  // The ring steps that lead nearer to the danger are refused, and so are
  // worth nothing for certainty any more; 36 degrees leads away from it.
  EXPECT_THAT(plan, ElementsAre(TPoint{216, 138}));
  const auto kofi = t.KofiLines();
  ASSERT_EQ(kofi.size(), 2u);  // the direct step, then the ring step at 2*pi
  EXPECT_THAT(kofi[0], ::testing::EndsWith(
                           "; 0.04000; 1.00000;ToDanger: Free Loc without danger? 212,150;"));
  EXPECT_THAT(kofi[1], ::testing::EndsWith(
                           "; 0.00000; 1.00000;ToDanger: Free Loc without danger? 212,150;"));
}

TEST_F(PlanningTest, StuckAtIsAlsoTheDangerBehindWhenAnotherMouseBlocks) {
  PainPlace({195, 150});
  t.AddMaus({220, 150});
  m.StuckAt = {1, 1};
  double heading = 0;
  PlanSearch(t.run, m, {200, 150}, {300, 150}, heading, 20);
  EXPECT_EQ(m.StuckAt, (TPoint{195, 150}));
}

TEST_F(PlanningTest, StuckAtIsClearedWhenTheDirectStepLeavesTheTerrain) {
  m.StuckAt = {1, 1};
  m.Position = {390, 150};
  double heading = 0;
  PlanSearch(t.run, m, {390, 150}, {500, 150}, heading, 20);
  EXPECT_EQ(m.StuckAt, NoPoint);
}

}  // namespace
}  // namespace murinex
