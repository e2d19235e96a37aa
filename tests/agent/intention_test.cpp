#include "agent/intention.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/stat_columns.h"
#include "tests/common/agent_builders.h"
#include "tests/common/mouse_test.h"

namespace murinex {
namespace {

class IntentionTest : public test::MouseTest {};

// ---------------------------------------------------------------------------
// Choosing the goal

// A mouse standing off every patch, so that looking at the ground draws nothing.
class ChooseGoalTest : public IntentionTest {
 protected:
  ChooseGoalTest() {
    std::vector<std::unique_ptr<TTerra>> patches;
    patches.push_back(test::RectPatch(KindSand, 300, 200, 399, 299));
    t.SetWorld(test::MakeWorld(400, 300, std::move(patches)));
  }
  TMaus& a = Add({50, 50});
};

TEST_F(ChooseGoalTest, WithAllUrgenciesAtMostOneFifthThereIsNoNeedNorGoal) {
  a.Goal = goal::Food;
  a.Need = need::Hunger;
  Remember(a, goal::Food);
  a.M(need::Hunger).Urgency = 0.2;  // a need must exceed 0.2
  a.M(need::Thirst).Urgency = 0.15;
  a.Comp().Ist = 0.1;

  // Food: min(0 + 0.1, 1) * (1 * 0.2) = 0.02, not above 0.05.
  EXPECT_EQ(ChooseGoal(run, a), goal::NoGoal);
  EXPECT_EQ(a.Need, need::NoNeed);
}

TEST_F(ChooseGoalTest, FirstOfEqualUrgenciesIsTheNeed) {
  a.M(need::Hunger).Urgency = 0.5;
  a.M(need::Thirst).Urgency = 0.5;
  a.M(need::Sex).Urgency = 0.3;
  EXPECT_EQ(ChooseGoal(run, a), goal::NoGoal);  // no goal known
  EXPECT_EQ(a.Need, need::Hunger);
}

TEST_F(ChooseGoalTest, HysteresisKeepsTheCurrentGoal) {
  a.Goal = goal::Food;
  Remember(a, goal::Food);
  Remember(a, goal::Water);
  a.Inhib = 0.2;                    // hysteresis 0.1
  a.M(need::Hunger).Urgency = 0.5;  // Food worth 0.5

  a.M(need::Thirst).Urgency = 0.55;  // 0.55 - 0.1 does not beat 0.5
  EXPECT_EQ(ChooseGoal(run, a), goal::Food);
  a.M(need::Thirst).Urgency = 0.65;  // 0.65 - 0.1 does
  EXPECT_EQ(ChooseGoal(run, a), goal::Water);
  a.KeepConsuming = true;  // doubled: 0.65 - 0.2 does not
  EXPECT_EQ(ChooseGoal(run, a), goal::Food);
}

TEST_F(ChooseGoalTest, LaterCandidateMustBeatTheLastWinnersFullValue) {
  a.Goal = goal::Food;
  for (goal::Goal kind : {goal::Food, goal::Water, goal::Friend})
    Remember(a, kind);
  a.Inhib = 0.2;
  a.M(need::Hunger).Urgency = 0.5;   // Food 0.5
  a.M(need::Thirst).Urgency = 0.65;  // Water 0.65 wins over Food
  a.M(need::Affil).Urgency = 0.7;    // Friend 0.7 - 0.1 does not beat 0.65
  EXPECT_EQ(ChooseGoal(run, a), goal::Water);
  a.M(need::Affil).Urgency = 0.8;  // 0.8 - 0.1 does
  EXPECT_EQ(ChooseGoal(run, a), goal::Friend);
}

// A hungry mouse standing on water that remembers food.
class OnWaterTest : public IntentionTest {
 protected:
  OnWaterTest() {
    std::vector<std::unique_ptr<TTerra>> patches;
    patches.push_back(test::RectPatch(KindWater, 0, 0, 199, 199));
    t.SetWorld(test::MakeWorld(200, 200, std::move(patches)));
    Remember(a, goal::Food);
    a.M(need::Hunger).Urgency = 0.5;
  }
  TMaus& a = Add({100, 100});
};

// A look at the ground that notices the patch (a draw above Inhib) makes the
// goal memory hold a water element, once, and not weighed in the call that
// created it.
TEST_F(OnWaterTest, NoticingThePatchCreatesItsGoalElementOnce) {
  Remember(a, goal::Friend);
  a.Inhib = 0;  // every draw is above it
  ChooseGoal(run, a);
  ASSERT_EQ(a.GoalMemory.size(), 3u);
  EXPECT_EQ(a.GoalMemory[2]->GoalKind, goal::Water);
  EXPECT_EQ(a.GoalMemory[2]->Expectation, 0);
  ChooseGoal(run, a);  // now weighed: the mouse stands on it
  EXPECT_EQ(a.GoalMemory.size(), 3u);
  EXPECT_EQ(a.GoalMemory[2]->Expectation, 1);
}

TEST_F(OnWaterTest, NoPatchNoticedWhenNoDrawExceedsInhib) {
  a.Inhib = 1;
  ChooseGoal(run, a);
  EXPECT_EQ(a.GoalMemory.size(), 1u);
}

// Weighing recalls the places of a kind within sight (100 for the test mouse),
// and leaves those beyond it untouched.
TEST_F(IntentionTest, WeighingRecallsOnlyPlacesWithinSight) {
  TMaus& a = Add({100, 100});
  Remember(a, goal::Food);
  a.M(need::Hunger).Urgency = 0.5;
  const test::TestPlace near = test::AddPlace(run, a, goal::Food, {160, 180});  // 100 away
  const test::TestPlace far = test::AddPlace(run, a, goal::Food, {161, 180});   // just beyond
  near->LastRecall = far->LastRecall = -50;
  run.TickCount = 7;
  ChooseGoal(run, a);
  EXPECT_EQ(near->LastRecall, 7);
  EXPECT_EQ(far->LastRecall, -50);
}

TEST_F(IntentionTest, ExpectationRaisesTheValueOfAGoal) {
  TMaus& a = Add({100, 100});
  a.Goal = goal::Food;
  Remember(a, goal::Food);
  Remember(a, goal::Water);
  test::AddPlace(run, a, goal::Food, {120, 100}, '+', 1, 0.4);
  test::AddPlace(run, a, goal::Food, {100, 150}, '+', 1, 0.8);
  a.Comp().Ist = 0.3;
  a.M(need::Hunger).Urgency = 0.5;  // Food: min(0.6 + 0.3, 1) * 0.5 = 0.45

  a.M(need::Thirst).Urgency = 1.4;  // Water: min(0 + 0.3, 1) * 1.4 = 0.42
  EXPECT_EQ(ChooseGoal(run, a), goal::Food);
  EXPECT_DOUBLE_EQ(Remember(a, goal::Food).Expectation, 0.6);
  EXPECT_EQ(Remember(a, goal::Water).Expectation, 0);
  a.M(need::Thirst).Urgency = 1.6;  // 0.48
  EXPECT_EQ(ChooseGoal(run, a), goal::Water);

  a.Comp().Ist = 0.6;               // Food: min(0.6 + 0.6, 1) * 0.5 = 0.5
  a.M(need::Thirst).Urgency = 0.8;  // Water: min(0 + 0.6, 1) * 0.8 = 0.48
  EXPECT_EQ(ChooseGoal(run, a), goal::Food);
}

TEST_F(IntentionTest, GoalElementAppearingDuringTheWalkIsNotWeighed) {
  std::vector<std::unique_ptr<TTerra>> patches;
  patches.push_back(test::RectPatch(KindStones, 0, 0, 399, 299));
  t.SetWorld(test::MakeWorld(400, 300, std::move(patches)));
  TMaus& a = Add({100, 100});
  Remember(a, goal::Food);
  a.M(need::Hunger).Urgency = 0.3;  // Food worth 0.3
  a.M(need::Pain).Urgency = -0.9;   // Stones (Pain -1) here would be worth 0.9

  // Weighing Food looks at the ground (draw 0 > Inhib 0) and so first meets Stones.
  EXPECT_EQ(ChooseGoal(run, a), goal::Food);
  ASSERT_EQ(a.GoalMemory.size(), 2u);
  EXPECT_EQ(a.GoalMemory[1]->GoalKind, goal::Stones);
  EXPECT_EQ(a.GoalMemory[1]->Expectation, 0);
  EXPECT_EQ(run.random.Seed(), SeedAfter(1));
}

TEST_F(IntentionTest, CurrentGoalIsWeighedOnceAndEveryElementPresentAtTheWalk) {
  TMaus& a = Add({100, 100});  // on sand
  a.Goal = goal::Food;
  Remember(a, goal::Food);
  Remember(a, goal::Water);

  ChooseGoal(run, a);

  // One look at the ground each: Food (which creates the Sand element before the
  // walk), Water, Sand; Food is not weighed again.
  ASSERT_EQ(a.GoalMemory.size(), 3u);
  EXPECT_EQ(a.GoalMemory[2]->GoalKind, goal::Sand);
  EXPECT_EQ(a.GoalMemory[2]->Expectation, 1);  // the kind under the mouse
  EXPECT_EQ(run.random.Seed(), SeedAfter(3));
}

TEST_F(IntentionTest, ExpectationOfAResourceIsTheMeanProgressOfUsablePlaces) {
  TMaus& a = Add({100, 100});
  test::AddPlace(run, a, goal::Food, {120, 100}, '+', 1, 0.4);
  test::AddPlace(run, a, goal::Food, {100, 150}, '+', 1, 0.8);
  test::AddPlace(run, a, goal::Food, {300, 100}, '+', 1, 0.1);   // out of sight
  test::AddPlace(run, a, goal::Water, {110, 100}, '+', 1, 0.9);  // another kind
  test::AddPlace(run, a, goal::Food, {90, 100}, '+', 0.0, 0.2);  // forgotten: never recalled

  EXPECT_DOUBLE_EQ(GoalExpectation(run, a, goal::Food), 0.6);
  // One draw for the ground, two (fading, recall) for each place in sight.
  EXPECT_EQ(run.random.Seed(), SeedAfter(1 + 3 * 2));
  EXPECT_EQ(GoalExpectation(run, a, goal::Vorarazav), 0);  // no place of the kind
}

TEST_F(IntentionTest, ExpectationOfCompanyIsTheMeanFriendshipInTheNarrowView) {
  TMaus& a = Add({100, 100});
  a.Inhib = 0.5;  // view: half-angle pi / 2, depth 50
  TMaus& near = Add({130, 100});
  TMaus& behind = Add({70, 100});
  TMaus& ahead = Add({140, 100});
  TMaus& deep = Add({170, 100});
  Add({120, 110});  // a stranger in view
  a.Relations.push_back({near.ID, near.Handle, 0.6, -0.1});
  a.Relations.push_back({behind.ID, behind.Handle, 0.9, 0});
  a.Relations.push_back({ahead.ID, ahead.Handle, 0.3, 0});
  a.Relations.push_back({deep.ID, deep.Handle, 0.9, 0});

  EXPECT_DOUBLE_EQ(GoalExpectation(run, a, goal::Friend), (0.6 + 0.3) / 2);
  EXPECT_EQ(a.SeenFriends, test::Handles({&near, &ahead}));
  EXPECT_DOUBLE_EQ(GoalExpectation(run, a, goal::HelpRequest), (0.6 + 0.3) / 2);
  EXPECT_EQ(GoalExpectation(run, a, goal::Uncertainty), 0);
  a.Inhib = 0.9;  // view only 10 deep: no friend in it
  EXPECT_EQ(GoalExpectation(run, a, goal::Friend), 0);
  EXPECT_TRUE(a.SeenFriends.empty());
}

TEST_F(IntentionTest, ExpectationOfTheKindUnderfootIsOne) {
  TMaus& a = Add({100, 100});
  EXPECT_EQ(GoalExpectation(run, a, goal::Sand), 1);
}

TEST_F(IntentionTest, WhatIsHereNoticesThePatchOnlyAboveInhibition) {
  std::vector<std::unique_ptr<TTerra>> patches;
  patches.push_back(test::RectPatch(KindSand, 300, 0, 399, 299));
  patches.push_back(test::RectPatch(KindWater, 0, 0, 299, 299));
  t.SetWorld(test::MakeWorld(400, 300, std::move(patches)));
  TMaus& a = Add({100, 100});

  Opportunity here = WhatIsHere(run, a);
  EXPECT_EQ(here.kind, goal::Water);
  EXPECT_EQ(here.patch, run.World->TerraList[1].get());
  EXPECT_EQ(here.need, need::Thirst);
  EXPECT_EQ(run.random.Seed(), SeedAfter(1));

  a.Inhib = 1;  // no draw is above it
  here = WhatIsHere(run, a);
  EXPECT_EQ(here.kind, 0);
  EXPECT_EQ(here.patch, run.FirstTerra());
  EXPECT_EQ(here.need, need::NoNeed);
  EXPECT_EQ(run.random.Seed(), SeedAfter(2));

  a.Position = {500, 100};  // off the world: nothing to look at, no draw
  here = WhatIsHere(run, a);
  EXPECT_EQ(here.kind, 0);
  EXPECT_EQ(here.patch, run.FirstTerra());
  EXPECT_EQ(run.random.Seed(), SeedAfter(2));
}

TEST_F(IntentionTest, ChangeIntentionDropsTargetsAndCountsTheReason) {
  TMaus& a = Add({100, 100});
  TMaus& b = Add({300, 250});
  a.Goal = goal::Water;
  a.PrevGoal = goal::Food;
  a.Partner = a.Competitor = a.Miserablemaus = b.Handle;
  a.TargetLoc = test::AddPlace(run, a, goal::Water, {120, 100}, '+', 1, 1);
  a.Plan = {{110, 100}, {120, 100}};
  a.KeepConsuming = true;
  t.Watch(a);

  ChangeIntention(run, a, 5);

  EXPECT_EQ(a.PrevGoal, goal::Water);
  EXPECT_EQ(a.Partner, MouseHandle{});
  EXPECT_EQ(a.Competitor, MouseHandle{});
  EXPECT_EQ(a.Miserablemaus, MouseHandle{});
  EXPECT_FALSE(a.TargetLoc);
  EXPECT_TRUE(a.Plan.empty());
  EXPECT_FALSE(a.KeepConsuming);
  EXPECT_EQ(run.Stats[stat::MotCh], 1);
  EXPECT_EQ(t.BehaviourLines(),
            std::vector<std::string>{"    Change of Intention! New Goal: Water"});
  ChangeIntention(run, a, 6);
  EXPECT_EQ(run.Stats[stat::OppCh], 1);
  EXPECT_EQ(run.Stats[stat::MotCh], 1);
}

// ---------------------------------------------------------------------------
// The embryo

// ---------------------------------------------------------------------------
// The patch under the mouse

// Food on the left half, water on the right; a strip off the patches between.
class PatchUnderTest : public IntentionTest {
 protected:
  PatchUnderTest() {
    std::vector<std::unique_ptr<TTerra>> patches;
    patches.push_back(test::RectPatch(KindFood, 0, 0, 189, 299));
    patches.push_back(test::RectPatch(KindWater, 210, 0, 399, 299));
    t.SetWorld(test::MakeWorld(400, 300, std::move(patches)));
  }
  TTerra* Food() { return run.World->TerraList[0].get(); }
  TTerra* Water() { return run.World->TerraList[1].get(); }
  TMaus& a = Add({50, 50});
};

TEST_F(PatchUnderTest, WhereverTheMouseMovesInATickItGetsThePatchUnderIt) {
  run.Busy = true;  // as while a tick runs
  run.TickSerial = 1;
  EXPECT_EQ(PatchUnder(run, a), Food());
  EXPECT_EQ(PatchUnder(run, a), Food());
  a.Position = {300, 50};
  EXPECT_EQ(PatchUnder(run, a), Water());
  a.Position = {200, 50};  // between the patches
  EXPECT_EQ(PatchUnder(run, a), nullptr);
  a.Position = {50, 50};
  EXPECT_EQ(PatchUnder(run, a), Food());
}

TEST_F(PatchUnderTest, WhatWasKeptInAnEarlierTickIsLookedUpAgain) {
  run.Busy = true;
  run.TickSerial = 7;
  // Kept in tick 6 at the same spot, when (say) another world was loaded.
  a.PatchHere = {a.Position, 6, Water()};
  EXPECT_EQ(PatchUnder(run, a), Food());
  // Between ticks nothing is trusted that was kept.
  run.Busy = false;
  a.PatchHere = {a.Position, 7, Water()};
  EXPECT_EQ(PatchUnder(run, a), Food());
}

}  // namespace
}  // namespace murinex
