#include "sim/tick/tick.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "agent/maus.h"
#include "model/run.h"
#include "sim/tick/birth_death.h"
#include "tests/common/agent_builders.h"
#include "tests/common/test_run.h"
#include "world/error.h"

namespace murinex {
namespace {

using ::testing::HasSubstr;

// Mice well fed and far apart, so nothing but what a test sets up happens to them.
struct TickTest : ::testing::Test {
  TickTest() {
    t.OpenProtocols();
    for (int i = 0; i < 10; ++i) {
      TMaus& m = t.AddMaus({20 + 35 * i, 150});
      m.Age = 100 * (i + 1);
    }
  }
  TMaus& At(std::size_t i) { return *t.run.Mice[i]; }
  void Starve(TMaus& m) {
    m.M(need::Hunger).Ist = 0;
    m.M(need::Hunger).Reserve = 1;
  }
  test::TestRun t;
};

TEST_F(TickTest, TwoDeathsInOneTick) {
  Starve(At(3));
  Starve(At(7));
  const int third = At(3).ID, seventh = At(7).ID;
  const std::vector<std::size_t> dead = CollectTheDead(t.run);
  EXPECT_EQ(dead, (std::vector<std::size_t>{3, 7}));
  EXPECT_EQ(t.run.Stats[stat::DHunger], 2);
  RemoveTheDead(t.run, dead);  // after removing 3, the entry 7 becomes 6
  ASSERT_EQ(t.run.Mice.size(), 8u);
  for (const auto& m : t.run.Mice) {
    EXPECT_NE(m->ID, third);
    EXPECT_NE(m->ID, seventh);
  }
  EXPECT_EQ(t.run.Stats[stat::Deathrate], 2);
  EXPECT_EQ(t.run.Stats[stat::LifeLength], 400 + 800);
}

TEST_F(TickTest, DeathByHungerAtDeathAgeIsCountedOnceWithoutADraw) {
  TMaus& old = At(0);
  old.Age = t.run.settings.DeathAge() + 1;
  Starve(old);
  const std::uint32_t seed = t.run.random.Seed();
  const auto dead = CollectTheDead(t.run);
  EXPECT_EQ(dead, (std::vector<std::size_t>{0}));
  EXPECT_EQ(t.run.Stats[stat::DHunger], 1);
  EXPECT_EQ(t.run.Stats[stat::DAge], 0);
  EXPECT_EQ(t.run.random.Seed(), seed);
}

TEST_F(TickTest, DeathByAgeDrawsOnlyForTheOld) {
  // DeathProbability 0.001: the first draw from seed 1 (0.0314) lets the mouse live.
  t.run.random.SetSeed(1);
  At(4).Age = t.run.settings.DeathAge() + 1;
  EXPECT_TRUE(CollectTheDead(t.run).empty());
  Random reference(1);
  reference.Uniform();
  EXPECT_EQ(t.run.random.Seed(), reference.Seed());
  // With certain death every old mouse goes, counted by age.
  t.run.settings.LifeSettings[2].real = 1.0;
  At(6).Age = t.run.settings.DeathAge() + 5;
  EXPECT_EQ(CollectTheDead(t.run), (std::vector<std::size_t>{4, 6}));
  EXPECT_EQ(t.run.Stats[stat::DAge], 2);
  At(8).Age = t.run.settings.DeathAge();  // not older than DeathAge: no draw
  const std::uint32_t seed = t.run.random.Seed();
  At(4).Age = At(6).Age = 0;
  EXPECT_TRUE(CollectTheDead(t.run).empty());
  EXPECT_EQ(t.run.random.Seed(), seed);
}

TEST_F(TickTest, NewbornDoesNotActInItsBirthTick) {
  TMaus& mother = At(5);
  mother.Pregnant() = 1;
  mother.BirthCountdown() = 1;
  CopyGenom(mother);
  mother.Embryo = std::make_unique<TGenom>(*mother.Genom);
  mother.Age = 6000;
  ASSERT_TRUE(Tick(t.run));  // the countdown reaches 0 in this tick's perception
  ASSERT_EQ(t.run.Mice.size(), 11u);
  TMaus& child = *t.run.Mice.back();
  EXPECT_EQ(child.Age, 0);
  EXPECT_EQ(child.MotherID, mother.ID);
  EXPECT_EQ(child.BirthTick, 1);
  EXPECT_TRUE(child.Protocol.empty());  // it did not move either
  Tick(t.run);
  EXPECT_EQ(child.Age, 1);
}

TEST_F(TickTest, FirstStatisticsRowAtTheNextMultipleOf100) {
  t.run.TickCount = 150;
  for (int i = 0; i < 49; ++i)
    Tick(t.run);
  EXPECT_EQ(t.run.StatRowCount, 0);
  Tick(t.run);  // tick 200
  EXPECT_EQ(t.run.StatRowCount, 1);
  t.run.StatProto.Flush();
  const auto rows = test::ReadLines(t.dir / "Proto/ProtoNN.prt");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].rfind("   1;", 0), 0u);
}

TEST_F(TickTest, DumpsEvery10000Ticks) {
  t.run.TickCount = 9999;
  t.run.DumpNumber = 3;
  Tick(t.run);
  EXPECT_EQ(t.run.DumpNumber, 4);
  EXPECT_TRUE(std::filesystem::exists(t.dir / "data/Maeuse-NN-3.dat"));
  EXPECT_TRUE(std::filesystem::exists(t.dir / "data/Genom-NN-3.dat"));
}

TEST_F(TickTest, PlacesNothingReachesAreFreedAtTheEndOfTheTick) {
  TMaus& m = At(0);
  // 40 far places; the second of them stays the rated place after all leave the list.
  for (int i = 0; i < 40; ++i)
    test::AddPlace(t.run, m, goal::Food, {1000 + i, 1000});
  const PlaceHandle rated = m.GoalLocations.HandleAt(1), gone = m.GoalLocations.HandleAt(2);
  m.RatedLoc = rated;
  m.GoalLocations.Clear();
  ASSERT_EQ(m.GoalLocations.Held(), 41u);  // and the exploration target
  Tick(t.run);
  EXPECT_EQ(m.GoalLocations.Held(), 2u);
  EXPECT_TRUE(m.GoalLocations.Find(rated));
  EXPECT_FALSE(m.GoalLocations.Find(gone));
}

TEST_F(TickTest, EmptyWorldStillTicks) {
  t.run.Mice.clear();
  t.run.TickCount = 99;
  Tick(t.run);
  EXPECT_EQ(t.run.TickCount, 100);
  EXPECT_EQ(t.run.StatRowCount, 1);
  EXPECT_EQ(t.run.World->TerraList[0]->Colour, 125u * 256 + 125u * 65536);  // sand at level 1
}

TEST_F(TickTest, BusyTickIsSkipped) {
  t.run.Busy = true;
  EXPECT_FALSE(Tick(t.run));
  EXPECT_EQ(t.run.TickCount, 0);
  EXPECT_EQ(At(0).Age, 100);
}

TEST_F(TickTest, ErrorAbandonsTheTickAndClearsBusy) {
  // The check mouse is selected but its behaviour protocol cannot be written.
  t.run.Behaviour.Close();
  t.run.CheckMausId = At(0).ID;
  t.run.SelectMaus(At(0).Handle);
  EXPECT_THROW(Tick(t.run), InputError);
  EXPECT_FALSE(t.run.Busy);
  EXPECT_EQ(t.run.TickCount, 1);
}

}  // namespace
}  // namespace murinex
