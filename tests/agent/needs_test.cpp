#include "agent/needs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "agent/goal_memory.h"
#include "agent/maus.h"
#include "model/run.h"
#include "tests/common/agent_builders.h"
#include "tests/common/test_run.h"
#include "world/terrain.h"

namespace murinex {
namespace {

// One mouse on the sand of the test run (ID 1, all needs full, weights 1,
// BasAr 0.3, InhibW 0.5, Loss/Gain parameters 0.2) whose needs are set one by one.
class NeedsTest : public ::testing::Test {
 protected:
  NeedsTest() : m(t.AddMaus({100, 100})) {}

  // Ist and BasMeta of need n; Soll stays 1.
  void SetNeed(std::uint8_t n, double ist, double basMeta = 0) {
    m.Motives[n].Ist = ist;
    m.Motives[n].BasMeta = basMeta;
  }

  // Makes m the selected check mouse: its lines go to the protocols.
  void Watch() {
    t.OpenProtocols();
    t.run.CheckMausId = m.ID;
    t.run.SelectedMaus = m.Handle;
  }

  std::vector<std::string> KofiLines() {
    t.run.KofiProt.Flush();
    return test::ReadLines(t.run.ProtoDir() / "KofiProtNN.prt");
  }

  // A remembered place of goal kind, as the mouse's rated place.
  test::TestPlace RatePlace(goal::Goal kind, double quality) {
    const PlaceHandle place = m.GoalLocations.New();
    m.GoalLocations.At(place).Element = &FindElement(m.GoalMemory, t.run.settings, kind);
    m.GoalLocations.At(place).Quality = quality;
    m.RatedLoc = place;
    return {&m.GoalLocations, place};
  }

  test::TestRun t;
  TMaus& m;
};

TEST(ClampTest, KeepsValuesInsideTheBounds) {
  EXPECT_EQ(Clamp(-0.1, 0, 1), 0);
  EXPECT_EQ(Clamp(1.5, 0, 1), 1);
  EXPECT_EQ(Clamp(0.3, 0, 1), 0.3);
  EXPECT_EQ(Clamp(0, 0, 1), 0);
  EXPECT_EQ(Clamp(1, 0, 1), 1);
  EXPECT_EQ(Clamp(-3, -2, -1), -2);
}

// --- Metabolise

TEST_F(NeedsTest, MetaboliseDrainsBasMetaPerSecondOfTheClock) {
  TMotiv& hunger = m.Motives[need::Hunger];
  hunger.Ist = 0.5;
  hunger.Soll = 0.9;
  hunger.Weight = 1.5;
  hunger.BasMeta = 0.02;
  // 0.02 per second on a 50 ms clock: 0.001 per tick.
  EXPECT_DOUBLE_EQ(Metabolise(hunger, 0.05), -0.001);
  EXPECT_DOUBLE_EQ(hunger.Ist, 0.499);
  EXPECT_DOUBLE_EQ(hunger.Deviation, 0.401);
  EXPECT_DOUBLE_EQ(hunger.Urgency, 0.401 * 1.5);
}

TEST_F(NeedsTest, MetaboliseNeverDrainsBelowEmpty) {
  TMotiv& hunger = m.Motives[need::Hunger];
  hunger.Ist = 0.0005;
  hunger.BasMeta = 0.02;
  // The change returned is the full drain, the level stops at exactly 0.
  EXPECT_DOUBLE_EQ(Metabolise(hunger, 0.05), -0.001);
  EXPECT_EQ(hunger.Ist, 0);
  EXPECT_EQ(hunger.Deviation, 1);
  EXPECT_EQ(hunger.Urgency, 1);
  // An empty need stays empty.
  Metabolise(hunger, 0.05);
  EXPECT_EQ(hunger.Ist, 0);
}

TEST_F(NeedsTest, MetaboliseCutsALevelAboveFull) {
  // Drinking can push competence above 1; the next drain brings it back to 1.
  TMotiv& comp = m.Comp();
  comp.Ist = 1.5;
  comp.BasMeta = 0.02;
  Metabolise(comp, 0.05);
  EXPECT_EQ(comp.Ist, 1);
  EXPECT_EQ(comp.Deviation, 0);
}

// --- Regulate

// Needs of different levels and drains; Thirst weighs 2, so the weights sum to 9.
class RegulateTest : public NeedsTest {
 protected:
  RegulateTest() {
    SetNeed(need::Hunger, 0.8, 0.02);  // -> 0.799, Deviation 0.201, DevChange 0.202
    SetNeed(need::Thirst, 0.6, 0.04);  // -> 0.598, Deviation 0.402, DevChange 0.404
    SetNeed(need::Pain, 1.0);          // Deviation 0, DevChange 0 (the lowest)
    SetNeed(need::Sex, 0.5);           // Deviation 0.5, DevChange 0.5 (the highest)
    SetNeed(need::Affil, 0.9);         // Deviation 0.1
    SetNeed(need::Cert, 0.7);          // Deviation 0.3
    SetNeed(need::Comp, 0.75, 0.01);   // -> 0.7495, Deviation 0.2505, DevChange 0.251
    SetNeed(need::NoNeed, 0.5, 0.02);  // never drained
    m.Motives[need::Thirst].Weight = 2;
    m.SumWeights = 9;
    m.Arousal = 0.3;
    m.Params[param::Strength] = 1.3;
    m.CurStrength() = 0.2;
  }
};

TEST_F(RegulateTest, DrainsNeedsOneToSevenAndSumsTheirDeviations) {
  Regulate(t.run, m);
  EXPECT_DOUBLE_EQ(m.Motives[need::Hunger].Ist, 0.799);
  EXPECT_DOUBLE_EQ(m.Motives[need::Thirst].Ist, 0.598);
  EXPECT_DOUBLE_EQ(m.Motives[need::Thirst].Urgency, 0.804);
  EXPECT_DOUBLE_EQ(m.Motives[need::Hunger].DevChange, 0.202);
  EXPECT_DOUBLE_EQ(m.Motives[need::Thirst].DevChange, 0.404);
  EXPECT_DOUBLE_EQ(m.Motives[need::Sex].DevChange, 0.5);
  EXPECT_DOUBLE_EQ(m.Comp().DevChange, 0.251);
  EXPECT_DOUBLE_EQ(m.Comp().Deviation, 0.2505);
  // NoNeed is left alone.
  EXPECT_EQ(m.Motives[need::NoNeed].Ist, 0.5);
  EXPECT_EQ(m.Motives[need::NoNeed].Deviation, 0);
  // Every drain is counted with its deviation in the column of its need.
  EXPECT_DOUBLE_EQ(t.run.Stats[stat::Hung], 0.201);
  EXPECT_DOUBLE_EQ(t.run.Stats[stat::Thir], 0.402);
  EXPECT_EQ(t.run.Stats[stat::Pain], 0);
  EXPECT_DOUBLE_EQ(t.run.Stats[stat::Sex], 0.5);
  EXPECT_DOUBLE_EQ(t.run.Stats[stat::Affil], 0.1);
  EXPECT_DOUBLE_EQ(t.run.Stats[stat::Cert], 0.3);
  EXPECT_DOUBLE_EQ(t.run.Stats[stat::Comp], 0.2505);
  EXPECT_EQ(t.run.Stats[stat::NoNeed], 0);
  // The pain step restores the strength.
  EXPECT_EQ(m.CurStrength(), 1.3);
}

TEST_F(RegulateTest, TotalNeedStrengthLowersCompetenceByItsRise) {
  Regulate(t.run, m);
  // Urgencies 0.201 + 2 * 0.402 + 0 + 0.5 + 0.1 + 0.3 + 0.2505 = 2.1555, over 9.
  EXPECT_NEAR(m.TotNeedStrength, 0.2395, 1e-12);
  EXPECT_NEAR(m.PrevTotNeedStrength, 0.2395, 1e-12);
  // The previous total was 0, so all of it is taken: 0.7495 - 0.2395.
  EXPECT_NEAR(m.Comp().Ist, 0.51, 1e-12);

  // Next tick: the total rises by what the drains add, and only that rise counts.
  Regulate(t.run, m);
  // Urgencies now 0.202 + 2 * 0.404 + 0.5 + 0.1 + 0.3 + (1 - 0.5095) = 2.4005.
  const double total = 2.4005 / 9;
  EXPECT_NEAR(m.TotNeedStrength, total, 1e-12);
  EXPECT_NEAR(m.Comp().Ist, 0.5095 - (total - 0.2395), 1e-12);
}

TEST_F(RegulateTest, ArousalFollowsCompetenceAndTheDrains) {
  Regulate(t.run, m);
  // base = BasAr * Comp.Ist = 0.3 * 0.51 (the competence after the total's change);
  // d = 0.2505, Comp's deviation right after the drain.
  const double base = 0.3 * 0.51;
  const double d = 0.2505;
  const double raw = base + 4 * d * (1 - d) * (1 - base);
  // Smoothed with the previous 0.3, then pushed by (highest + lowest DevChange) / 10.
  const double arousal = (5 * 0.3 + raw) / 6 + (0.5 + 0) * 0.1;
  EXPECT_NEAR(m.Arousal, arousal, 1e-12);
  EXPECT_NEAR(m.Arousal, 0.4315160255, 1e-10);
  EXPECT_NEAR(m.Inhib, 0.5 * arousal, 1e-12);
}

TEST_F(RegulateTest, ArousalStartsFromTheCurrentNeedWhenItIsStronger) {
  m.Need = need::Sex;  // Deviation 0.5 > 0.153
  Regulate(t.run, m);
  const double d = 0.2505;
  const double raw = 0.5 + 4 * d * (1 - d) * (1 - 0.5);
  EXPECT_NEAR(m.Arousal, (5 * 0.3 + raw) / 6 + 0.05, 1e-12);
}

TEST_F(RegulateTest, AWeakerCurrentNeedLeavesTheBase) {
  m.Need = need::Affil;  // Deviation 0.1 < 0.153
  Regulate(t.run, m);
  EXPECT_NEAR(m.Arousal, 0.4315160255, 1e-10);
}

TEST_F(NeedsTest, EqualDevChangesPushArousalByAFifthOfTheirValue) {
  // Every need at 0.9 without drain: all seven DevChange values are 0.1.
  for (std::uint8_t n = 1; n < need::Count; ++n)
    SetNeed(n, 0.9);
  m.Arousal = 0.2;
  Regulate(t.run, m);
  for (std::uint8_t n = 1; n < need::Count; ++n)
    EXPECT_DOUBLE_EQ(m.Motives[n].DevChange, 0.1);
  // Total 0.7 / 8 lowers competence to 0.8125; base 0.3 * 0.8125; d = 0.1.
  const double base = 0.3 * 0.8125;
  const double unpushed = (5 * 0.2 + base + 4 * 0.1 * 0.9 * (1 - base)) / 6;
  EXPECT_NEAR(m.Arousal, unpushed + 0.2 * 0.1, 1e-12);
}

TEST_F(NeedsTest, ArousalIsClampedIntoZeroToOne) {
  // Needs above their targets: negative deviations drive arousal below 0.
  for (std::uint8_t n = 1; n < need::Count; ++n)
    m.Motives[n].Soll = 0.2;
  Regulate(t.run, m);
  EXPECT_EQ(m.Arousal, 0);
  EXPECT_EQ(m.Inhib, 0);

  // A full base and a strong push drive it above 1.
  TMaus& other = t.AddMaus({50, 50});
  other.Params[param::BasAr] = 1;
  other.Params[param::InhibW] = 0.8;
  other.Arousal = 1;
  other.Motives[need::Sex].Ist = 0;  // DevChange 1
  Regulate(t.run, other);
  EXPECT_EQ(other.Arousal, 1);
  EXPECT_DOUBLE_EQ(other.Inhib, 0.8);  // Inhib is Arousal * InhibW, never clamped itself
}

TEST_F(NeedsTest, SleepGainsTenTimesCompetenceBasMeta) {
  SetNeed(need::Comp, 0.5, 0.01);
  m.PrevTotNeedStrength = 0.05;
  m.Action = action::Sleep;
  Regulate(t.run, m);
  // Drain 0.0005 -> 0.4995; sleep + 0.1 -> 0.5995; total 0.5005 / 8 = 0.0625625
  // rose by 0.0125625 -> 0.5869375.
  EXPECT_NEAR(m.Comp().Ist, 0.5869375, 1e-12);
  EXPECT_NEAR(m.TotNeedStrength, 0.0625625, 1e-12);

  TMaus& awake = t.AddMaus({50, 50});
  awake.Comp().Ist = 0.5;
  awake.Comp().BasMeta = 0.01;
  awake.PrevTotNeedStrength = 0.05;
  Regulate(t.run, awake);
  EXPECT_NEAR(awake.Comp().Ist, 0.4869375, 1e-12);
}

TEST_F(NeedsTest, SleepFillsCompetenceAtMostToOne) {
  SetNeed(need::Comp, 0.95, 0.01);
  m.Action = action::Sleep;
  Regulate(t.run, m);
  // 0.9495 + 0.1 is cut to 1, then the total 0.0505 / 8 is taken.
  EXPECT_NEAR(m.Comp().Ist, 1 - 0.0505 / 8, 1e-12);
}

TEST_F(NeedsTest, WeightsSummingToZeroGiveNoTotalNeedStrength) {
  for (TMotiv& mo : m.Motives)
    mo.Weight = 0;
  m.SumWeights = 0;
  SetNeed(need::Hunger, 0.2);
  SetNeed(need::Comp, 0.6);
  Regulate(t.run, m);
  EXPECT_EQ(m.TotNeedStrength, 0);
  EXPECT_EQ(m.PrevTotNeedStrength, 0);
  EXPECT_EQ(m.Comp().Ist, 0.6);
  EXPECT_TRUE(std::isfinite(m.Arousal));
  EXPECT_TRUE(std::isfinite(m.Inhib));
}

TEST_F(RegulateTest, WritesInhibitionAndArousalAtLevelEight) {
  Watch();
  Regulate(t.run, m);
  // Inhib 0.2158 and Arousal 0.4315, two decimals each.
  EXPECT_EQ(t.Behaviour(), "        SetParam: Inhib: 0.22   Arousal: 0.43\n");
}

TEST_F(RegulateTest, WritesNothingForAMouseThatIsNotWatched) {
  t.OpenProtocols();
  t.run.CheckMausId = m.ID;  // but no mouse is selected
  Regulate(t.run, m);
  EXPECT_EQ(t.Behaviour(), "");
  EXPECT_TRUE(KofiLines().empty());
}

TEST_F(NeedsTest, RegulateLogsEveryCompetenceChange) {
  Watch();
  t.run.TickCount = 5120;
  SetNeed(need::Comp, 0.5, 0.01);
  m.PrevTotNeedStrength = 0.05;
  m.Action = action::Sleep;
  Regulate(t.run, m);
  const std::vector<std::string> expected = {
      ";       1;    5120; 0.50000;-0.00050; 0.49950;StepComp;",
      ";       1;    5120; 0.49950; 0.10000; 0.59950;Sleep;",
      ";       1;    5120; 0.59950;-0.01256; 0.58694;SetPar-TotNeedStrength;",
  };
  EXPECT_EQ(KofiLines(), expected);
}

TEST_F(NeedsTest, TheTotalNeedStrengthLineNeedsTheMouseItselfSelected) {
  // m is the check mouse while another mouse is selected.
  t.OpenProtocols();
  TMaus& other = t.AddMaus({50, 50});
  t.run.CheckMausId = m.ID;
  t.run.SelectedMaus = other.Handle;
  SetNeed(need::Comp, 0.5, 0.01);
  Regulate(t.run, m);
  const std::vector<std::string> lines = KofiLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], ";       1;       0; 0.50000;-0.00050; 0.49950;StepComp;");
}

// --- SatisfactionGain

TEST_F(NeedsTest, SatisfactionGainWeighsUrgencyByTheGoalNeedMatrix) {
  m.Motives[need::Hunger].Urgency = 0.5;
  m.Motives[need::Thirst].Urgency = 0.9;  // food does nothing for thirst
  m.Motives[need::Cert].Urgency = 0.2;
  m.Motives[need::Comp].Urgency = 0.4;
  // Food row: Hunger 1, Cert 0.1, Comp 0.1.
  EXPECT_NEAR(SatisfactionGain(t.run, m, goal::Food, 0.5), 0.5 * (0.5 + 0.02 + 0.04), 1e-12);
  // The NoNeed column counts as well.
  t.run.settings.GoalNeedMatrix[goal::Food][need::NoNeed] = 1;
  m.Motives[need::NoNeed].Urgency = 0.3;
  EXPECT_NEAR(SatisfactionGain(t.run, m, goal::Food, 0.5), 0.5 * (0.3 + 0.5 + 0.02 + 0.04), 1e-12);
  EXPECT_EQ(SatisfactionGain(t.run, m, goal::Sand, 0.5), 0);
}

// --- Satisfy

// A food patch holding `amount`, and the mouse hungry.
class SatisfyTest : public NeedsTest {
 protected:
  SatisfyTest() : food(test::RectPatch(KindFood, 0, 0, 10, 10)) {
    SetNeed(need::Hunger, 0.2);
    SetNeed(need::Cert, 0.5);
    SetNeed(need::Comp, 0.5);
    m.Params[param::GainCert] = 0.2;
    m.Params[param::GainComp] = 0.4;
    m.Motives[need::Hunger].Urgency = 0.7;
    m.Motives[need::Cert].Urgency = 0.1;
    m.Motives[need::Comp].Urgency = 0.5;
    m.Need = need::Hunger;
  }
  std::unique_ptr<TTerra> food;
};

TEST_F(SatisfyTest, TakesFromAPatchOfTheGoalKindAndRaisesTheNeedsItServes) {
  food->Amount = 10;
  test::TestPlace rated = RatePlace(goal::Food, 0.4);
  Satisfy(t.run, m, goal::Food, food.get(), "Eat", 0.5);
  EXPECT_DOUBLE_EQ(food->Amount, 9.5);
  EXPECT_DOUBLE_EQ(m.Motives[need::Hunger].Ist, 0.7);  // + 1 * 0.5
  EXPECT_DOUBLE_EQ(m.Motives[need::Cert].Ist, 0.51);   // + 0.1 * GainCert * 0.5
  EXPECT_DOUBLE_EQ(m.Comp().Ist, 0.52);                // + 0.1 * GainComp * 0.5
  EXPECT_EQ(m.Motives[need::Thirst].Ist, 1);
  // The rated place gains: gain 0.5 * (0.7 + 0.01 + 0.05) = 0.38, 0.38 * (1 - 0.4) + 0.4.
  EXPECT_NEAR(rated->Quality, 0.628, 1e-12);
  // Deviation and Urgency wait for the next drain.
  EXPECT_EQ(m.Motives[need::Hunger].Urgency, 0.7);
  EXPECT_EQ(m.Motives[need::Hunger].Deviation, 0);
}

TEST_F(SatisfyTest, TeachesTheGoalMemoryTheSameAmounts) {
  food->Amount = 10;
  ASSERT_TRUE(m.GoalMemory.empty());
  Satisfy(t.run, m, goal::Food, food.get(), "Eat", 0.5);
  ASSERT_EQ(m.GoalMemory.size(), 1u);
  const TGoalMemEl& el = *m.GoalMemory[0];
  EXPECT_EQ(el.GoalKind, goal::Food);
  EXPECT_EQ(el.Values[need::Hunger], 1);  // 1 + 0.5, cut to 1
  EXPECT_DOUBLE_EQ(el.Values[need::Cert], 0.11);
  EXPECT_DOUBLE_EQ(el.Values[need::Comp], 0.12);
  EXPECT_EQ(el.Values[need::Thirst], 0);
}

TEST_F(SatisfyTest, QualityOfTheRatedPlaceIsAtMostOne) {
  food->Amount = 10;
  m.Motives[need::Hunger].Urgency = 4;  // gain 0.5 * (4 + 0.01 + 0.05) > 1
  test::TestPlace rated = RatePlace(goal::Food, 0.5);
  Satisfy(t.run, m, goal::Food, food.get(), "Eat", 0.5);
  EXPECT_EQ(rated->Quality, 1);
}

TEST_F(SatisfyTest, APatchHoldingLessGivesWhatItHas) {
  food->Amount = 0.3;
  Satisfy(t.run, m, goal::Food, food.get(), "Eat", 0.5);
  EXPECT_EQ(food->Amount, 0);
  EXPECT_DOUBLE_EQ(m.Motives[need::Hunger].Ist, 0.5);  // + 1 * 0.3
  EXPECT_DOUBLE_EQ(m.Motives[need::Cert].Ist, 0.506);  // + 0.1 * 0.2 * 0.3
  EXPECT_DOUBLE_EQ(m.Comp().Ist, 0.512);               // + 0.1 * 0.4 * 0.3
}

TEST_F(SatisfyTest, AShortPatchRatesThePlaceDownWhenItServesTheCurrentNeed) {
  struct Case {
    goal::Goal placeKind;
    need::Need need;
    double quality;
  };
  const Case cases[] = {
      {goal::Food, need::Hunger, 0.72},     // food serves hunger: 10 % less
      {goal::Food, need::Thirst, 0.8},      // food does not serve thirst
      {goal::Vorarazav, need::Comp, 0.72},  // the drink serves competence
      {goal::Water, need::Hunger, 0.8},     // water does not serve hunger
      {goal::Friend, need::NoNeed, 0.72},   // kinds above 6 serve NoNeed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(GoalNames[c.placeKind]);
    food->Amount = 0.3;
    m.Need = c.need;
    test::TestPlace rated = RatePlace(c.placeKind, 0.8);
    Satisfy(t.run, m, goal::Food, food.get(), "Eat", 0.5);
    EXPECT_DOUBLE_EQ(rated->Quality, c.quality);
  }
}

TEST_F(SatisfyTest, APatchOfAnotherKindIsLeftAlone) {
  // FirstTerra of the test world is sand.
  TTerra* first = t.run.FirstTerra();
  const double before = first->Amount;
  test::TestPlace rated = RatePlace(goal::Food, 0.4);
  Satisfy(t.run, m, goal::Food, first, "SatisfyFood", 0.5);
  EXPECT_EQ(first->Amount, before);
  EXPECT_DOUBLE_EQ(m.Motives[need::Hunger].Ist, 0.7);  // the full amount
  EXPECT_DOUBLE_EQ(m.Comp().Ist, 0.52);
  EXPECT_EQ(rated->Quality, 0.4);
  // The same for a food patch offered for water.
  SetNeed(need::Thirst, 0.2);
  food->Amount = 0.1;
  Satisfy(t.run, m, goal::Water, food.get(), "Drink", 0.5);
  EXPECT_EQ(food->Amount, 0.1);
  EXPECT_DOUBLE_EQ(m.Motives[need::Thirst].Ist, 0.7);
}

TEST_F(SatisfyTest, FirstTerraGivesWhenItIsOfTheGoalKind) {
  TTerra* first = t.run.FirstTerra();
  ASSERT_EQ(first->Kind, KindSand);
  const double before = first->Amount;
  Satisfy(t.run, m, goal::Sand, first, "Sand", 2);
  EXPECT_DOUBLE_EQ(first->Amount, before - 2);
}

TEST_F(SatisfyTest, NeedsAndGoalValuesStayBetweenZeroAndOne) {
  // Stones hurt: their row has -1 for Pain.
  SetNeed(need::Pain, 0.3);
  Satisfy(t.run, m, goal::Stones, t.run.FirstTerra(), "Stones", 0.5);
  EXPECT_EQ(m.Motives[need::Pain].Ist, 0);
  EXPECT_EQ(FindElement(m.GoalMemory, t.run.settings, goal::Stones).Values[need::Pain], 0);
  // NoNeed is never satisfied, even where the matrix names it.
  t.run.settings.GoalNeedMatrix[goal::Food][need::NoNeed] = 0.5;
  SetNeed(need::NoNeed, 0.1);
  SetNeed(need::Hunger, 0.8);
  Satisfy(t.run, m, goal::Food, t.run.FirstTerra(), "Eat", 0.5);
  EXPECT_EQ(m.Motives[need::Hunger].Ist, 1);
  EXPECT_EQ(m.Motives[need::NoNeed].Ist, 0.1);
  // The new element keeps the row's 0.5 for NoNeed.
  EXPECT_EQ(FindElement(m.GoalMemory, t.run.settings, goal::Food).Values[need::NoNeed], 0.5);
}

TEST_F(SatisfyTest, LogsTheCompetenceGainUnderTheCallersLabel) {
  Watch();
  t.run.TickCount = 77;
  food->Amount = 0.3;
  Satisfy(t.run, m, goal::Food, food.get(), "Feed", 0.5);
  // prev = f of Comp = 0.1 * 0.4 * 0.3, change = 0.3 * GainComp, now = Comp.Ist.
  const std::vector<std::string> expected = {";       1;      77; 0.01200; 0.12000; 0.51200;Feed;"};
  EXPECT_EQ(KofiLines(), expected);
}

// --- Dissatisfy

TEST_F(NeedsTest, DissatisfyScalesCertaintyAndCompetenceLosses) {
  m.Params[param::LossCert] = 0.3;
  m.Params[param::LossComp] = 0.2;
  SetNeed(need::Cert, 0.9);
  SetNeed(need::Comp, 0.5);
  SetNeed(need::Hunger, 0.6);
  // A loss of LossCert costs LossCert squared.
  Dissatisfy(t.run, m, need::Cert, "next goal forgotten!", -0.3);
  EXPECT_DOUBLE_EQ(m.Cert().Ist, 0.81);
  Dissatisfy(t.run, m, need::Comp, "GiveUp", -0.5);
  EXPECT_DOUBLE_EQ(m.Comp().Ist, 0.4);
  Dissatisfy(t.run, m, need::Hunger, "Bitten", -0.25);  // other needs: factor 1
  EXPECT_DOUBLE_EQ(m.Motives[need::Hunger].Ist, 0.35);
  Dissatisfy(t.run, m, need::Hunger, "Bitten", -0.5);
  EXPECT_EQ(m.Motives[need::Hunger].Ist, 0);
  Dissatisfy(t.run, m, need::Cert, "found", 2);
  EXPECT_EQ(m.Cert().Ist, 1);
}

TEST_F(NeedsTest, DissatisfyLogsFactorAndCompetenceLoss) {
  Watch();
  t.run.TickCount = 77;
  m.Params[param::LossCert] = 0.3;
  m.Params[param::LossComp] = 0.2;
  SetNeed(need::Comp, 0.5);
  Dissatisfy(t.run, m, need::Cert, "next goal forgotten!", -0.3);
  Dissatisfy(t.run, m, need::Pain, "Bite", -0.1);
  // The change column is x * LossComp whatever the need.
  const std::vector<std::string> expected = {
      ";       1;      77; 0.30000;-0.06000; 0.50000;DiSatCert-next goal forgotten!;",
      ";       1;      77; 1.00000;-0.02000; 0.50000;DiSatPain-Bite;",
  };
  EXPECT_EQ(KofiLines(), expected);
}

// --- small helpers

TEST_F(NeedsTest, RestoreStrengthAndClearTargets) {
  m.Params[param::Strength] = 1.25;
  m.CurStrength() = 0.1;
  RestoreStrength(m);
  EXPECT_EQ(m.CurStrength(), 1.25);

  TMaus& other = t.AddMaus({10, 10});
  m.Partner = other.Handle;
  m.Competitor = other.Handle;
  m.Miserablemaus = other.Handle;
  ClearTargets(m);
  EXPECT_EQ(m.Partner, MouseHandle{});
  EXPECT_EQ(m.Competitor, MouseHandle{});
  EXPECT_EQ(m.Miserablemaus, MouseHandle{});
}

// --- CompLog

TEST_F(NeedsTest, CompLogLayout) {
  Watch();
  t.run.TickCount = 123;
  CompLog(t.run, m.ID, "Quelle", 0.25, 0.75, -0.5);
  // Values wider than the field, a small loss that rounds to zero, and -0.0.
  CompLog(t.run, m.ID, "Wide", 123.456789, -0.0, -0.000001);
  const std::vector<std::string> expected = {
      ";       1;     123; 0.25000;-0.50000; 0.75000;Quelle;",
      ";       1;     123;123.45679;-0.00000; 0.00000;Wide;",
  };
  EXPECT_EQ(KofiLines(), expected);
}

TEST_F(NeedsTest, CompLogOnlyForTheSelectedCheckMouse) {
  t.OpenProtocols();
  t.run.CheckMausId = m.ID;
  CompLog(t.run, m.ID, "NoSelection", 0, 0, 0);
  t.run.SelectedMaus = m.Handle;
  CompLog(t.run, m.ID + 1, "OtherMouse", 0, 0, 0);
  t.run.CheckMausId = 12345678;
  t.run.SelectedMaus = m.Handle;
  CompLog(t.run, 12345678, "Check", 0, 1, 0);
  const std::vector<std::string> expected = {
      ";12345678;       0; 0.00000; 0.00000; 1.00000;Check;"};
  EXPECT_EQ(KofiLines(), expected);
}

}  // namespace
}  // namespace murinex
