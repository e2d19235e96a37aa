#include "sim/tick/birth_death.h"

#include <gtest/gtest.h>

#include "agent/maus.h"
#include "model/run.h"
#include "tests/common/agent_builders.h"
#include "tests/common/test_run.h"

namespace murinex {
namespace {

TEST(DeathTestTest, ReservesCountDownAndUp) {
  TMaus m(1);
  for (int n = 1; n <= 3; ++n) {
    m.Motives[n].Ist = 0.3;  // between 0.1 and 0.5: the reserve stays
    m.Motives[n].Reserve = 5;
    m.Motives[n].MaxReserve = 10;
  }
  EXPECT_EQ(DeathTest(m), 0);
  EXPECT_FALSE(m.Dying);
  EXPECT_EQ(m.Motives[1].Reserve, 5);
  m.Motives[2].Ist = 0.6;   // well satisfied: the reserve refills
  m.Motives[3].Ist = 0.05;  // nearly empty: the reserve is used
  DeathTest(m);
  EXPECT_EQ(m.Motives[2].Reserve, 6);
  EXPECT_EQ(m.Motives[3].Reserve, 4);
  m.Motives[2].Reserve = 10;
  DeathTest(m);
  EXPECT_EQ(m.Motives[2].Reserve, 10);  // never above its maximum
}

TEST(DeathTestTest, FirstExhaustedReserveKillsAndStopsTheTest) {
  TMaus m(1);
  for (int n = 1; n <= 3; ++n) {
    m.Motives[n].Ist = 0.05;
    m.Motives[n].Reserve = 1;
    m.Motives[n].MaxReserve = 10;
  }
  m.Motives[1].Ist = 0.3;
  EXPECT_EQ(DeathTest(m), 2);  // thirst
  EXPECT_TRUE(m.Dying);
  EXPECT_EQ(m.Motives[3].Reserve, 1);  // pain was not examined
}

// A mother with a child's genome ready and three remembered places: a final food
// place with a two-waypoint route leading to it (and a second branch), and a pain place.
struct BirthTest : ::testing::Test {
  BirthTest() {
    TMaus& m = t.AddMaus({200, 150});
    mother = &m;
    m.ID = 7;
    m.Generation = 2;
    m.Lineage = "Grey";
    m.Params[param::RateReinforce] = 0.2;
    for (int i = 0; i < need::Count; ++i)
      m.Motives[i].Leak = 0.01 * i;
    m.Pregnant() = 1;
    auto e = std::make_unique<TGenom>();
    for (int i = 0; i < 8; ++i) {
      e->MotWeights[i] = 0.5 + 0.1 * i;
      e->BasMetaGenes[i] = 0.001 * i;
    }
    for (int i = 1; i <= 3; ++i)
      e->ReserveGenes[i] = 100 * i;
    for (int j = 0; j < 15; ++j)
      e->PersonGenes[j] = 0.05 * j;
    m.Embryo = std::move(e);
    t.OpenProtocols();
    t.run.IdCounter = 41;
    t.run.TickCount = 12345;
  }

  void AddMemory() {
    TGoalMemEl& food = FindElement(mother->GoalMemory, t.run.settings, goal::Food);
    food.Values[need::Hunger] = 0.7;
    food.Expectation = 0.4;
    TGoalMemEl& stones = FindElement(mother->GoalMemory, t.run.settings, goal::Stones);
    auto place = [&](TGoalMemEl& el, TPoint p, int next, char sign, double quality) {
      TGoalAvLoc loc;
      loc.Element = &el;
      loc.Pos = p;
      loc.NextIndex = next;
      if (next >= 0) loc.Next = mother->GoalLocations.HandleAt(next);
      loc.Sign = sign;
      loc.Quality = quality;
      loc.Retention = 0.5;
      loc.Progress = 0.3;
      test::AppendPlace(mother->GoalLocations, loc);
    };
    place(food, {10, 10}, -1, '+', 0.8);    // 0: the food place
    place(food, {70, 10}, 0, '0', 0);       // 1: waypoint to 0
    place(stones, {300, 300}, -1, '-', 1);  // 2: a pain place
    place(food, {130, 10}, 1, '0', 0);      // 3: waypoint to 1
    place(food, {10, 70}, 0, '0', 0);       // 4: a second branch to 0, not followed
  }

  test::TestRun t;
  TMaus* mother = nullptr;
};

TEST_F(BirthTest, ChildStartsFromTheEmbryo) {
  Birth(t.run, *mother);
  ASSERT_EQ(t.run.Mice.size(), 2u);
  const TMaus& c = *t.run.Mice[1];
  EXPECT_EQ(c.ID, 42);
  EXPECT_EQ(c.Age, 0);
  EXPECT_EQ(c.Generation, 3);
  EXPECT_EQ(c.Lineage, "Grey");
  EXPECT_EQ(c.MotherID, 7);
  EXPECT_EQ(c.BirthTick, 12345);
  EXPECT_EQ(c.Position, (TPoint{220, 150}));  // the first try, at angle 0, is free
  for (int i = 0; i < need::Count; ++i) {
    EXPECT_EQ(c.Motives[i].Ist, 1.0);
    EXPECT_EQ(c.Motives[i].Soll, 1.0);
    EXPECT_EQ(c.Motives[i].Weight, 0.5 + 0.1 * i);
    EXPECT_EQ(c.Motives[i].BasMeta, 0.001 * i);
    EXPECT_EQ(c.Motives[i].Leak, 0.01 * i);
  }
  EXPECT_EQ(c.Motives[2].MaxReserve, 200);
  EXPECT_EQ(c.Motives[2].Reserve, 200);  // a full reserve
  EXPECT_EQ(c.Motives[5].MaxReserve, 0);
  EXPECT_EQ(c.Params[14], 0.05 * 14);
  double sum = 0;
  for (int i = 0; i < 8; ++i)
    sum += 0.5 + 0.1 * i;
  EXPECT_DOUBLE_EQ(c.SumWeights, sum);
  // Mother and child are friends.
  ASSERT_EQ(c.Relations.size(), 1u);
  EXPECT_EQ(c.Relations[0].Other, mother->Handle);
  EXPECT_EQ(c.Relations[0].Friendship, 0.5);
  EXPECT_EQ(mother->Relations.back().Other, c.Handle);
  EXPECT_EQ(mother->Relations.back().Friendship, 0.5);
  EXPECT_EQ(mother->Pregnant(), 0);
  EXPECT_FALSE(mother->Embryo);
  EXPECT_EQ(t.run.Stats[stat::Birthrate], 1);
}

TEST_F(BirthTest, BirthLogLine) {
  Birth(t.run, *mother);
  t.run.BirthLog.Flush();
  EXPECT_EQ(test::ReadText(t.dir / "Proto/protGen.prt"), "   12345:       7 ->     42\n");
}

TEST_F(BirthTest, BoxedInMotherStaysPregnantAfterNineTries) {
  // A mouse on every point 20 away in the eight directions.
  for (int k = 0; k < 8; ++k)
    t.AddMaus(PolarOffset(mother->Position, k * Pi / 4, 20));
  // A pain place under the mother makes every probe draw twice (the chain's and
  // the noticing draw), so the number of probes shows in the generator.
  TGoalMemEl& stones = FindElement(mother->GoalMemory, t.run.settings, goal::Stones);
  TGoalAvLoc pain;
  pain.Element = &stones;
  pain.Pos = mother->Position;
  pain.Sign = '-';
  pain.Quality = 1;
  pain.Retention = 1;
  test::AppendPlace(mother->GoalLocations, pain);
  mother->Inhib = 0;
  t.run.random.SetSeed(5);
  Birth(t.run, *mother);
  EXPECT_EQ(t.run.Mice.size(), 9u);
  EXPECT_EQ(mother->Pregnant(), 1);
  EXPECT_TRUE(mother->Embryo);
  Random reference(5);
  for (int i = 0; i < 9 * 2; ++i)
    reference.Uniform();
  EXPECT_EQ(t.run.random.Seed(), reference.Seed());
}

TEST_F(BirthTest, CarefactorZeroPassesGoalValuesButNoPlaces) {
  AddMemory();
  mother->Params[param::Carefactor] = 0;
  Birth(t.run, *mother);
  const TMaus& c = *t.run.Mice.back();
  ASSERT_EQ(c.GoalMemory.size(), 2u);
  EXPECT_EQ(c.GoalMemory[0]->GoalKind, goal::Food);
  EXPECT_EQ(c.GoalMemory[0]->Values[need::Hunger], 0.7);
  EXPECT_EQ(c.GoalMemory[0]->Expectation, 0.4);
  EXPECT_NE(c.GoalMemory[0].get(), mother->GoalMemory[0].get());  // a copy of its own
  EXPECT_TRUE(c.GoalLocations.empty());
}

TEST_F(BirthTest, ProbabilityOnePassesEveryFinalPlaceWithItsRoute) {
  AddMemory();
  TMaus c(50);
  t.run.random.SetSeed(1);
  InheritMemory(t.run, *mother, c, 1.0);
  // Food place, its route 1 then 3 (the branch 4 is not followed), then the pain place.
  ASSERT_EQ(c.GoalLocations.size(), 4u);
  const auto& food = c.GoalLocations[0];
  EXPECT_EQ(food.Pos, (TPoint{10, 10}));
  EXPECT_EQ(food.Element, c.GoalMemory[0].get());
  EXPECT_EQ(food.Retention, 0.8);  // 4 * RateReinforce of the mother
  EXPECT_EQ(food.NextIndex, -1);
  EXPECT_EQ(food.Quality, 0.8);
  EXPECT_EQ(food.Sign, '+');
  EXPECT_EQ(food.Progress, 1.0);
  EXPECT_EQ(food.LastRecall, 12345);
  const auto& w1 = c.GoalLocations[1];
  EXPECT_EQ(w1.Pos, (TPoint{70, 10}));
  EXPECT_EQ(w1.NextIndex, 0);
  EXPECT_EQ(w1.Next, c.GoalLocations.HandleAt(0));
  EXPECT_EQ(w1.Sign, '0');
  EXPECT_EQ(w1.Quality, 0);
  EXPECT_EQ(w1.Element, c.GoalMemory[0].get());
  const auto& w3 = c.GoalLocations[2];
  EXPECT_EQ(w3.Pos, (TPoint{130, 10}));
  EXPECT_EQ(w3.NextIndex, 1);
  EXPECT_EQ(w3.Next, c.GoalLocations.HandleAt(1));
  const auto& pain = c.GoalLocations[3];
  EXPECT_EQ(pain.Pos, (TPoint{300, 300}));
  EXPECT_EQ(pain.Sign, '-');
  EXPECT_EQ(pain.Kind(), goal::Stones);
  // One draw for each of the two final places only.
  ASSERT_EQ(c.GoalMemory.size(), 2u);
  Random reference(1);
  reference.Uniform();
  reference.Uniform();
  EXPECT_EQ(t.run.random.Seed(), reference.Seed());
}

}  // namespace
}  // namespace murinex
