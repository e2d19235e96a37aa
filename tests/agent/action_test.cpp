#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "agent/action.h"
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

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The action step of one mouse, watched: it is the selected check mouse, its
// sounds are recorded, and the seed before the step is kept to count the draws.
class ActionTest : public ::testing::Test {
 protected:
  ActionTest() { t.run.Sound = &sounds; }

  // A mouse with full needs, arousal and strength 1 (steps of 20), inhibition 0
  // and a competence metabolism of 0.01 for the amounts that depend on it.
  TMaus& Actor(TPoint at) {
    TMaus& m = t.AddMaus(at);
    m.Arousal = 1;
    m.Comp().BasMeta = 0.01;
    t.Watch(m);
    return m;
  }

  // Draws made since the seed was taken.
  void StartCounting(std::uint32_t seed = 12345) {
    t.run.random.SetSeed(seed);
    seed_ = seed;
  }
  std::uint32_t SeedAfterDraws(int draws) const { return test::SeedAfter(seed_, draws); }

  // A world of sand with one square patch of kind around (200, 150).
  void PatchAround(TerraKind kind, int half) {
    std::vector<std::unique_ptr<TTerra>> patches;
    patches.push_back(test::RectPatch(KindSand, 0, 0, 399, 299));
    patches.push_back(test::RectPatch(kind, 200 - half, 150 - half, 200 + half, 150 + half));
    t.SetWorld(test::MakeWorld(400, 300, std::move(patches)));
  }
  TTerra& Patch() { return *t.run.World->TerraList[1]; }

  test::TestRun t;
  test::SoundLog sounds;
  std::uint32_t seed_ = 0;
};

// --- A bitten or frightened mouse

TEST_F(ActionTest, AttackedAndAfraidTakesThePainAndAlwaysFleesInFear) {
  TMaus& m = Actor({200, 150});
  m.Heading = Pi;  // looking left, at the aggressor
  m.Attacked = true;
  m.Afraid = true;
  m.Damage = 0.3;
  m.Threat = {0.5, Pi};  // the threat stands to the left
  m.Support = {0, NoDirection};
  m.CurStrength() = 0.4;
  TMaus& aggressor = t.AddMaus({185, 150});
  test::SetNeed(aggressor, need::Comp, 0.5);
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_DOUBLE_EQ(m.M(need::Pain).Ist, 1 - 0.3);
  EXPECT_EQ(m.CurStrength(), 1);                   // restored to the Strength parameter
  EXPECT_DOUBLE_EQ(m.Comp().Ist, 1 - 0.01 * 0.2);  // no support: -BasMeta, times LossComp
  // Fear forces the flight, whatever the courage draw gave; the step of 15 goes
  // away from the threat (direction 2*pi, the last direction of the ring).
  EXPECT_EQ(m.Action, action::Flight);
  EXPECT_EQ(m.Position, (TPoint{215, 150}));
  EXPECT_EQ(m.Heading, Pi);
  EXPECT_EQ(m.HelpCry, 1);
  EXPECT_EQ(t.run.Stats[stat::ThreatFlight], 1);
  EXPECT_FALSE(m.Attacked);
  EXPECT_FALSE(m.Afraid);
  // The aggressor is credited with a competence gain of GainComp * BasMeta.
  EXPECT_DOUBLE_EQ(aggressor.Comp().Ist, 0.5 + 0.2 * 0.01);
  ASSERT_EQ(m.Relations.size(), 1u);
  EXPECT_DOUBLE_EQ(m.Relations[0].Enmity, -0.6);
  EXPECT_THAT(sounds.names, ElementsAre("Au.wav", "fear.wav"));
  // The courage draw and one draw per direction of the ring of 10.
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(1 + 10));
  EXPECT_THAT(
      t.BehaviourLines(),
      ElementsAre("  Mani! NoNeed   NoGoal", "    Attacked or Fear", "      Attacked - got pain",
                  "        Aggressor close!", "      I´ll get no support!", "      Runaway!"));
  EXPECT_THAT(t.KofiLines(), ElementsAre(::testing::HasSubstr(";DiSatPain-PainAttacked;"),
                                         ::testing::HasSubstr(";DiSatComp-NoSocialSupport;")));
}

TEST_F(ActionTest, AfraidWithSupportFleesTowardsTheSupport) {
  TMaus& m = Actor({200, 150});
  m.Heading = Pi;
  m.Afraid = true;
  m.Threat = {0.5, Pi};
  m.Support = {0.2, 0.4 * Pi};  // friends up and to the right
  t.AddMaus({185, 150});
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_EQ(m.Action, action::Flight);
  // The ring direction 72 degrees (k = 2) is the one nearest to the support.
  EXPECT_EQ(m.Position, (TPoint{205, 136}));
  EXPECT_DOUBLE_EQ(m.Comp().Ist, 1 - 0.01 * 0.2);  // the fear alone costs competence
  EXPECT_THAT(sounds.names, ElementsAre("fear.wav"));
  EXPECT_THAT(t.BehaviourLines(),
              ElementsAre("  Mani! NoNeed   NoGoal", "    Attacked or Fear", "      Endure Fear",
                          "        Aggressor close!", "      I´ll get support!", "      Runaway!"));
  EXPECT_THAT(t.KofiLines(), ElementsAre(::testing::HasSubstr(";DiSatComp-PainFear;"),
                                         ::testing::HasSubstr(";SocialSupport;")));
}

TEST_F(ActionTest, AfraidWithoutCloseAggressorRunsFromTheThreat) {
  TMaus& m = Actor({200, 150});
  m.Afraid = true;
  m.Threat = {0.5, 0.2 * Pi};
  StartCounting();

  Manipulate(t.run, m);

  // Away from the threat is 1.2 pi, direction k = 6 of the ring.
  EXPECT_EQ(m.Position, (TPoint{188, 159}));
  EXPECT_EQ(m.Action, action::Flight);
  EXPECT_EQ(t.run.Stats[stat::ThreatFlight], 1);
  EXPECT_FALSE(m.Afraid);
  EXPECT_THAT(sounds.names, IsEmpty());
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(10));  // only the ring draws
  EXPECT_THAT(t.BehaviourLines(),
              ElementsAre("  Mani! NoNeed   NoGoal", "    Attacked or Fear", "      Endure Fear",
                          "        Aggressor not close!", "      Run away because of fear!"));
}

TEST_F(ActionTest, AttackedWithoutCloseAggressorOnlyTakesThePainAndStillWalksForHelp) {
  TMaus& m = Actor({200, 150});
  m.Heading = Pi;
  m.Attacked = true;
  m.Damage = 0.25;
  m.CurStrength() = 0.4;
  m.OnHelpMission = true;
  m.HelpCry = 2;
  m.Facing = 7;
  TMaus& friendInNeed = t.AddMaus({260, 150});  // behind the mouse, 60 away
  test::SetNeed(friendInNeed, need::Hunger, 0.5);
  m.SeenFriends = {friendInNeed.Handle};
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_DOUBLE_EQ(m.M(need::Pain).Ist, 0.75);
  EXPECT_FALSE(m.Attacked);
  EXPECT_EQ(t.run.Stats[stat::ThreatFlight], 0);
  // The help mission goes on in the same step: a full step of 20 (strength
  // restored to 1) towards the needy friend, direction 2*pi of the ring.
  EXPECT_EQ(m.Miserablemaus, friendInNeed.Handle);
  EXPECT_EQ(m.Action, action::Move);
  EXPECT_EQ(m.Position, (TPoint{220, 150}));
  EXPECT_EQ(m.Heading, TwoPi);
  EXPECT_EQ(m.Facing, 2);
  EXPECT_THAT(sounds.names, ElementsAre("Au.wav"));
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(10));
  const std::string id = std::to_string(friendInNeed.ID);
  EXPECT_THAT(t.BehaviourLines(),
              ElementsAre("  Mani! NoNeed   NoGoal", "    Attacked or Fear",
                          "      Attacked - got pain", "        Aggressor not close!",
                          "      Try to move towards friend or enemy!" + id + "60.00",
                          "      Moved for help!" + id + "60.00"));
  EXPECT_THAT(t.KofiLines(), ElementsAre(::testing::HasSubstr(";DiSatPain-PainAttacked;"),
                                         ::testing::HasSubstr(";moved for help;")));
}

TEST_F(ActionTest, AttackedAndCourageousHoldsGround) {
  TMaus& m = Actor({200, 150});
  m.Heading = Pi;
  m.Attacked = true;
  m.Damage = 0.1;
  TMaus& aggressor = t.AddMaus({185, 150});
  test::SetNeed(aggressor, need::Comp, 0.5);
  StartCounting();

  Manipulate(t.run, m);

  // Courage 2 * 1 * 1 * 1 = 2 is above every draw.
  EXPECT_EQ(m.Action, action::Hold);
  EXPECT_EQ(m.Position, (TPoint{200, 150}));
  EXPECT_EQ(m.HelpCry, 0);
  EXPECT_DOUBLE_EQ(aggressor.Comp().Ist, 0.5 + 0.2 * 0.01);     // "Daring attack"
  EXPECT_DOUBLE_EQ(m.Comp().Ist, 1 - 0.01 * 0.2 + 0.2 * 0.01);  // no support, then "HaltenGewagt"
  ASSERT_EQ(m.Relations.size(), 1u);
  EXPECT_DOUBLE_EQ(m.Relations[0].Enmity, -0.3);
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(1));
  EXPECT_EQ(t.BehaviourLines().back(), "      Hold Ground!");
}

TEST_F(ActionTest, AttackedWithoutCourageRunsStraightAwayFromTheAggressor) {
  TMaus& m = Actor({200, 150});
  m.Heading = Pi;
  m.Attacked = true;
  m.Damage = 0.1;
  test::SetNeed(m, need::Comp, 0);  // courage 0: every draw is at or above it
  TMaus& aggressor = t.AddMaus({185, 150});
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_EQ(m.Action, action::Flight);
  EXPECT_EQ(m.Position, (TPoint{215, 150}));
  EXPECT_EQ(m.HelpCry, 1);
  EXPECT_EQ(t.run.Stats[stat::ThreatFlight], 0);  // counted for fear only
  EXPECT_DOUBLE_EQ(aggressor.Comp().Ist, 1);
  EXPECT_THAT(sounds.names, ElementsAre("Au.wav", "Help.wav"));
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(1 + 10));
}

// --- Tender contact

TEST_F(ActionTest, TenderContactSmilesAndSatisfiesAffiliation) {
  TMaus& m = Actor({200, 150});
  m.Smiling = true;
  test::SetNeed(m, need::Affil, 0.5);
  test::SetNeed(m, need::Sex, 0.5);
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_EQ(m.Action, action::Smile);
  EXPECT_FALSE(m.Smiling);
  EXPECT_DOUBLE_EQ(m.M(need::Affil).Ist, 1);  // 0.5 + 1 * 1.0, clamped
  EXPECT_DOUBLE_EQ(m.M(need::Sex).Ist, 0.7);  // 0.5 + 0.2 * 1.0
  EXPECT_THAT(sounds.names, ElementsAre("kiss.wav"));
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(0));
  EXPECT_THAT(t.BehaviourLines(), ElementsAre("  Mani! NoNeed   NoGoal", "    Tender contact!"));
}

// --- Help missions

// A helper on a mission, looking right; hungry enough (urgency 1) to bite.
class HelpMissionTest : public ActionTest {
 protected:
  TMaus& Helper() {
    TMaus& m = Actor({200, 150});
    m.Heading = TwoPi;
    m.OnHelpMission = true;
    test::SetNeed(m, need::Hunger, 0);
    m.Need = need::Hunger;
    return m;
  }
};

TEST_F(HelpMissionTest, ACloseMouseThatIsNotTheNeedyOneIsBitten) {
  TMaus& m = Helper();
  TMaus& needy = t.AddMaus({300, 150});
  TMaus& other = t.AddMaus({215, 150});  // close and in view; arousal 0
  m.Miserablemaus = needy.Handle;
  StartCounting();

  Manipulate(t.run, m);

  // successexpect 1.5 * (1 * 1 * 1) - 0.5 * 0 = 1.5, successvalue 2 * 1 = 2:
  // 3 is above any draw.
  const double r = test::DrawsFrom(seed_, 1)[0];
  EXPECT_THAT(t.AggLines(), ElementsAre("         0;  0.0000;  2.0000;  1.5000;" +
                                        FormatFixed(r, 8, 4) + ";  3.0000;+;"));
  EXPECT_EQ(m.Action, action::Bite);
  EXPECT_TRUE(other.Attacked);
  EXPECT_EQ(other.Damage, 1);
  EXPECT_EQ(t.run.Stats[stat::HelpAggress], 1);
  // The bite ends the mission for this step: no walk, the targets stay.
  EXPECT_EQ(m.Position, (TPoint{200, 150}));
  EXPECT_EQ(m.Miserablemaus, needy.Handle);
  EXPECT_THAT(sounds.names, ElementsAre("aggress.wav"));
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(1));
  EXPECT_THAT(t.BehaviourLines(), ElementsAre("  Mani! Hunger   NoGoal", "      I´ve bitten him!"));
  EXPECT_THAT(t.KofiLines(), ElementsAre(::testing::HasSubstr(";Aggression for Friend;"),
                                         ::testing::HasSubstr(";AggressionFuerAndere;")));
}

TEST_F(HelpMissionTest, ACloseNeedyMouseGetsCareWhenTheHelperCriesForHealing) {
  TMaus& m = Helper();
  m.HelpCry = 4;
  TMaus& needy = t.AddMaus({215, 150});
  test::SetNeed(needy, need::Pain, 0.5);
  m.Miserablemaus = needy.Handle;
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_EQ(m.Action, action::Care);
  EXPECT_DOUBLE_EQ(needy.M(need::Pain).Ist, 0.6);  // "Got Care", 0.1 on HealingHerbs
  EXPECT_EQ(t.run.Stats[stat::CarePain], 1);
  EXPECT_EQ(m.Position, (TPoint{200, 150}));
  EXPECT_THAT(sounds.names, ElementsAre("care.wav"));
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(0));
  EXPECT_THAT(t.BehaviourLines(), ElementsAre("  Mani! Hunger   NoGoal", "        Gave Care!"));
}

TEST_F(HelpMissionTest, AHelperWithoutItsOwnCryGivesNothingAndMovesOn) {
  TMaus& m = Helper();
  m.HelpCry = 0;
  TMaus& needy = t.AddMaus({220, 146});  // 20.40 away, close and in view
  test::SetNeed(needy, need::Thirst, 0.6);
  m.Miserablemaus = needy.Handle;
  m.SeenFriends = {needy.Handle};
  StartCounting();

  Manipulate(t.run, m);

  // Nothing given; the targets are chosen again and the mouse walks d - 10 =
  // 10.40. The ring directions nearer to the friend end within 16 of it; the
  // nearest free one is 72 degrees (k = 2).
  EXPECT_EQ(needy.M(need::Thirst).Ist, 0.6);
  EXPECT_EQ(m.Action, action::Move);
  EXPECT_EQ(m.Miserablemaus, needy.Handle);
  EXPECT_EQ(m.Position, (TPoint{203, 140}));
  EXPECT_DOUBLE_EQ(m.Heading, 2.0 / 10 * TwoPi);
  EXPECT_EQ(m.Facing, 2);
  EXPECT_THAT(sounds.names, ElementsAre("care.wav"));
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(10));
  const std::string id = std::to_string(needy.ID);
  EXPECT_THAT(t.BehaviourLines(),
              ElementsAre("  Mani! Hunger   NoGoal",
                          "      Try to move towards friend or enemy!" + id + "20.40",
                          "      Moved for help!" + id + "20.40"));
}

TEST_F(HelpMissionTest, AHelperCryingFromFearWalksTowardsTheNearestEnemy) {
  TMaus& m = Helper();
  m.HelpCry = 1;
  m.Heading = Pi;  // nobody in view
  TMaus& farEnemy = t.AddMaus({300, 150});
  TMaus& enemy = t.AddMaus({260, 150});
  TMaus& needy = t.AddMaus({200, 250});
  test::SetNeed(needy, need::Hunger, 0.2);
  UpdateRelation(m.Relations, farEnemy, -0.1);
  UpdateRelation(m.Relations, enemy, -0.1);
  m.SeenEnemies = {farEnemy.Handle, enemy.Handle};
  m.SeenFriends = {needy.Handle};
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_EQ(m.Competitor, enemy.Handle);
  EXPECT_EQ(m.Miserablemaus, MouseHandle{});
  EXPECT_EQ(m.Action, action::Move);
  EXPECT_EQ(m.Position, (TPoint{220, 150}));
  EXPECT_EQ(t.BehaviourLines().back(),
            "      Moved for help!" + std::to_string(enemy.ID) + "60.00");
}

TEST_F(HelpMissionTest, AFriendNearerThanTenInTheWorldLeavesNoFreeStep) {
  TMaus& m = Helper();
  m.Heading = Pi;  // the friend to the right is not in view, so not close
  m.HelpCry = 2;
  TMaus& friendInNeed = t.AddMaus({206, 150});
  test::SetNeed(friendInNeed, need::Hunger, 0.5);
  m.SeenFriends = {friendInNeed.Handle};
  StartCounting();

  Manipulate(t.run, m);

  // Every point 4 from the mouse lies within 10 of the friend: occupied.
  EXPECT_EQ(m.Action, action::NoAction);
  EXPECT_EQ(m.Position, (TPoint{200, 150}));
  EXPECT_EQ(m.Heading, Pi);
  EXPECT_EQ(m.Miserablemaus, friendInNeed.Handle);
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(10));
  EXPECT_EQ(t.BehaviourLines().back(), "      Try to move towards friend or enemy!" +
                                           std::to_string(friendInNeed.ID) + "6.00");
}

TEST_F(HelpMissionTest, WithNobodyToWalkToTheHelperStays) {
  TMaus& m = Helper();
  m.HelpCry = 2;
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_EQ(m.Action, action::NoAction);
  EXPECT_EQ(GoalMouse(t.run, m), nullptr);
  EXPECT_TRUE(m.OnHelpMission);
  EXPECT_THAT(t.BehaviourLines(), ElementsAre("  Mani! Hunger   NoGoal"));
}

// --- Competence attacks

TEST_F(HelpMissionTest, ACloseCompetitorIsBittenOutOfBoredom) {
  TMaus& m = Helper();
  m.OnHelpMission = false;
  m.CompAttack = true;
  TMaus& first = t.AddMaus({210, 150});
  TMaus& competitor = t.AddMaus({215, 150});
  m.Competitor = competitor.Handle;
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_EQ(m.Action, action::Bite);
  EXPECT_TRUE(competitor.Attacked);
  EXPECT_FALSE(first.Attacked);
  EXPECT_FALSE(m.CompAttack);
  EXPECT_THAT(t.BehaviourLines(),
              ElementsAre("  Mani! Hunger   NoGoal", "      I´ve bitten him because I was bored!"));
  EXPECT_THAT(t.KofiLines(), ElementsAre(::testing::HasSubstr(";CompAggression;")));
}

TEST_F(HelpMissionTest, WithoutACompetitorTheCloseMouseIsBitten) {
  TMaus& m = Helper();
  m.OnHelpMission = false;
  m.CompAttack = true;
  TMaus& other = t.AddMaus({215, 150});
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_EQ(m.Action, action::Bite);
  EXPECT_TRUE(other.Attacked);
  EXPECT_THAT(t.BehaviourLines(), ElementsAre("  Mani! Hunger   NoGoal",
                                              "      I´ve bitten him to show my competence!"));
}

TEST_F(HelpMissionTest, ACompetenceAttackWithNobodyCloseOnlyEnds) {
  TMaus& m = Helper();
  m.OnHelpMission = false;
  m.CompAttack = true;
  t.AddMaus({260, 150});
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_EQ(m.Action, action::NoAction);
  EXPECT_FALSE(m.CompAttack);
  EXPECT_THAT(t.AggLines(), IsEmpty());
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(0));
}

// Both flags set: the bite of the mission leaves Action at Bite, so the
// competence attack reports a bite even when its own attempt fails.
TEST_F(HelpMissionTest, ACompetenceAttackAfterAMissionBiteReadsTheActionAfterItsOwnAttempt) {
  TMaus& m = Helper();
  m.CompAttack = true;
  m.Arousal = 0;  // successexpect 1.5 * 0 - 0.5 * (0 + 2) = -1
  m.M(need::Hunger).Soll = 0.55;
  test::SetNeed(m, need::Hunger, 1);     // urgency -0.45: successvalue -0.9, then -0.4
  TMaus& other = t.AddMaus({215, 150});  // close, and not the needy mouse
  other.Support = {2, NoDirection};
  // aggten is 0.9 for the first attempt and 0.4 for the second (the first
  // bite made the mice enemies): the first draw must bite, the second not.
  StartCounting(
      test::FindSeed(2, [](const std::vector<double>& d) { return d[0] < 0.85 && d[1] > 0.45; }));

  Manipulate(t.run, m);

  EXPECT_THAT(t.AggLines(), ElementsAre(::testing::EndsWith(";+;"), ::testing::EndsWith(";-;")));
  EXPECT_EQ(m.Action, action::Bite);
  EXPECT_FALSE(m.CompAttack);
  EXPECT_THAT(t.BehaviourLines(), ElementsAre("  Mani! Hunger   NoGoal", "      I´ve bitten him!",
                                              "      I´ve bitten him to show my competence!"));
}

// --- Using the ground

TEST_F(ActionTest, SandIsNeverConsumedWhateverTheGoal) {
  for (goal::Goal g : {goal::NoGoal, goal::Sand, goal::Food, goal::Water, goal::Uncertainty}) {
    SCOPED_TRACE(GoalNames[g]);
    test::TestRun fresh;
    TMaus& m = fresh.AddMaus({200, 150});
    test::SetNeed(m, need::Hunger, 0);
    m.Need = need::Hunger;
    m.Goal = m.PrevGoal = g;
    fresh.run.random.SetSeed(777);
    const double amount = fresh.run.FirstTerra()->Amount;

    Manipulate(fresh.run, m);

    EXPECT_EQ(m.Action, action::NoAction);
    EXPECT_EQ(m.Goal, g);
    EXPECT_EQ(fresh.run.FirstTerra()->Amount, amount);
    EXPECT_TRUE(m.GoalLocations.empty());
    EXPECT_EQ(fresh.run.random.Seed(), test::SeedAfter(777, 1));  // only the look at the ground
  }
}

TEST_F(ActionTest, FoodIsNotTakenWithoutAGoal) {
  PatchAround(KindFood, 10);
  TMaus& m = Actor({200, 150});
  test::SetNeed(m, need::Hunger, 0);
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_EQ(m.Action, action::NoAction);
  EXPECT_EQ(Patch().Amount, 400);
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(1));
}

TEST_F(ActionTest, FoodThatIsTheGoalIsEatenAndItsPlaceLearned) {
  PatchAround(KindFood, 10);  // 20 x 20, amount 400
  TMaus& m = Actor({200, 150});
  test::SetNeed(m, need::Hunger, 0.5);
  test::SetNeed(m, need::Cert, 0.5);
  m.Need = need::Hunger;
  m.Goal = m.PrevGoal = goal::Food;
  m.CurStrength() = 0.3;
  FindElement(m.GoalMemory, t.run.settings, goal::Food);
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_EQ(m.Action, action::Feed);
  EXPECT_DOUBLE_EQ(Patch().Amount, 400 - 0.2);
  EXPECT_DOUBLE_EQ(m.M(need::Hunger).Ist, 0.7);
  // "SatisfyExist" gives Cert 0.1 * GainCert * 0.2, the new place "New Goal -
  // information!" 1 * GainCert * (GainCert * 0.2).
  EXPECT_NEAR(m.Cert().Ist, 0.5 + 0.1 * 0.2 * 0.2 + 0.2 * (0.2 * 0.2), 1e-12);
  EXPECT_EQ(m.CurStrength(), 1);
  ASSERT_EQ(m.GoalLocations.size(), 1u);
  EXPECT_EQ(m.GoalLocations[0].Pos, (TPoint{200, 150}));
  EXPECT_EQ(m.GoalLocations[0].Sign, '+');
  EXPECT_EQ(m.GoalLocations[0].Kind(), goal::Food);
  EXPECT_TRUE(m.KeepConsuming);
  EXPECT_THAT(sounds.names, ElementsAre("fressen.wav"));
  // The look at the ground, and the one of the expectation of Food.
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(2));
  EXPECT_THAT(t.BehaviourLines(),
              ElementsAre("  Mani! Hunger   Food", "    Opportunities or Dangers?", "      Feed!"));
}

TEST_F(ActionTest, DrinkingVorarazavSetsTheSoberingClockBackTo100) {
  PatchAround(KindVorarazav, 10);
  TMaus& m = Actor({200, 150});
  test::SetNeed(m, need::Thirst, 0.5);
  m.Need = need::Thirst;
  m.Goal = m.PrevGoal = goal::Vorarazav;
  m.Drunkenness() = 1;
  m.TimeTillSober() = 40;
  m.Jul = 3;
  FindElement(m.GoalMemory, t.run.settings, goal::Vorarazav);
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_EQ(m.Action, action::Drink);
  EXPECT_EQ(m.TimeTillSober(), 100);
  EXPECT_EQ(m.Drunkenness(), 1);
  EXPECT_EQ(m.Jul, 4);
  EXPECT_EQ(t.run.Stats[stat::Drunken], 1);
  EXPECT_DOUBLE_EQ(m.M(need::Thirst).Ist, 0.5 + 0.5 * 0.2);
  EXPECT_DOUBLE_EQ(Patch().Amount, 400 - 0.2);
  EXPECT_TRUE(m.KeepConsuming);
  EXPECT_THAT(sounds.names, ElementsAre("schlurf.wav"));
  EXPECT_THAT(t.BehaviourLines(),
              ElementsAre("  Mani! Thirst   Vorarazav", "    Opportunities or Dangers?",
                          "      Drink!", "      Drink Vorarazav - Mmmh!; jul: 4"));
}

TEST_F(ActionTest, DrinkingWaterDoesNotIntoxicate) {
  PatchAround(KindWater, 10);
  TMaus& m = Actor({200, 150});
  test::SetNeed(m, need::Thirst, 0.5);
  m.Need = need::Thirst;
  m.Goal = m.PrevGoal = goal::Water;

  Manipulate(t.run, m);

  EXPECT_EQ(m.Action, action::Drink);
  EXPECT_EQ(m.TimeTillSober(), 0);
  EXPECT_EQ(m.Drunkenness(), 0);
  EXPECT_EQ(m.Jul, 0);
  EXPECT_DOUBLE_EQ(m.M(need::Thirst).Ist, 0.7);
  EXPECT_EQ(t.BehaviourLines().back(), "      Drink!");
}

// A mouse without a goal on a small stones patch, looking up-right (36 degrees).
class StonesTest : public ActionTest {
 protected:
  TMaus& OnStones() {
    PatchAround(KindStones, 5);
    TMaus& m = Actor({200, 150});
    m.Heading = Pi / 5;
    return m;
  }
};

TEST_F(StonesTest, StonesHurtAMouseWhoseGoalIsNotStonesAndItFlees) {
  TMaus& m = OnStones();
  test::SetNeed(m, need::Comp, 0);  // braveness 0: it never dares
  m.Need = need::Comp;
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_EQ(m.Goal, goal::NoGoal);
  EXPECT_DOUBLE_EQ(m.M(need::Pain).Ist, 0.9);
  EXPECT_DOUBLE_EQ(m.Cert().Ist, 1 - 0.5 * 0.2 * 0.2);  // "UnexpectedPain", times LossCert
  ASSERT_EQ(m.GoalLocations.size(), 1u);
  EXPECT_EQ(m.GoalLocations[0].Sign, '-');
  EXPECT_EQ(m.GoalLocations[0].Kind(), goal::Stones);
  EXPECT_EQ(m.GoalLocations[0].Pos, (TPoint{200, 150}));
  EXPECT_FALSE(m.Dares);
  // 20 backwards from the heading: 1.2 pi, direction k = 6 of the ring.
  EXPECT_EQ(m.Action, action::Flight);
  EXPECT_EQ(m.Position, (TPoint{184, 162}));
  EXPECT_EQ(m.Heading, Pi / 5);
  EXPECT_THAT(sounds.names, ElementsAre("au.wav"));
  // Ground, expectation of Stones, braveness; then per ring direction the
  // stones draw and the two draws of the danger test on the new pain place
  // (which lies behind every step).
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(3 + 10 * 3));
  EXPECT_THAT(t.BehaviourLines(),
              ElementsAre("  Mani! Comp   NoGoal", "    Opportunities or Dangers?",
                          "      Wounded!", "        Flight from painsource!"));
}

TEST_F(StonesTest, AMouseThatDaresStandsThePain) {
  TMaus& m = OnStones();
  // Braveness 0.5: the third draw (the braveness draw) must be below 0.25.
  StartCounting(test::FindSeed(
      3, [](const std::vector<double>& d) { return d[0] > 0 && d[1] > 0 && d[2] * 2 < 0.5; }));

  Manipulate(t.run, m);

  EXPECT_TRUE(m.Dares);
  EXPECT_EQ(m.Action, action::Hold);
  EXPECT_EQ(m.Position, (TPoint{200, 150}));
  EXPECT_DOUBLE_EQ(m.M(need::Pain).Ist, 0.9);
  EXPECT_EQ(m.Cert().Ist, 1);
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(3));
  EXPECT_THAT(t.BehaviourLines(),
              ElementsAre("  Mani! NoNeed   NoGoal", "    Opportunities or Dangers?",
                          "      Wounded!", "        Stand Pain!"));
}

// A thirsty mouse heading for water that stands on food it also needs.
class FoodOnTheWayTest : public ActionTest {
 protected:
  TMaus& Thirsty() {
    PatchAround(KindFood, 10);
    TMaus& m = Actor({200, 150});
    test::SetNeed(m, need::Thirst, 0.2);
    test::SetNeed(m, need::Hunger, 0.5);
    m.Need = need::Thirst;
    m.Goal = m.PrevGoal = goal::Water;
    FindElement(m.GoalMemory, t.run.settings, goal::Water);
    return m;
  }
};

TEST_F(FoodOnTheWayTest, WithoutInhibitionFoodOnTheWayIsOnlyLearned) {
  TMaus& m = Thirsty();
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_EQ(m.Goal, goal::Water);
  EXPECT_EQ(m.Action, action::NoAction);
  EXPECT_EQ(Patch().Amount, 400);
  ASSERT_EQ(m.GoalLocations.size(), 1u);
  EXPECT_EQ(m.GoalLocations[0].Kind(), goal::Food);
  EXPECT_DOUBLE_EQ(m.Cert().Ist, 1);
  // Ground; expectations of Water and Food; the taking draw; the learning draw.
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(5));
  EXPECT_THAT(t.BehaviourLines(),
              ElementsAre("  Mani! Thirst   Water", "    Opportunities or Dangers?",
                          "      Opportunities and goals found and learned!"));
  EXPECT_THAT(t.KofiLines().back(), ::testing::HasSubstr(";Neue Wege gelernt!;"));
}

TEST_F(FoodOnTheWayTest, AnInhibitedMouseMayTakeTheFoodOnTheWay) {
  TMaus& m = Thirsty();
  m.Inhib = 0.5;
  // The first draw must see the food (above Inhib), the fourth take it (below).
  StartCounting(
      test::FindSeed(4, [](const std::vector<double>& d) { return d[0] > 0.5 && d[3] < 0.5; }));

  Manipulate(t.run, m);

  EXPECT_EQ(m.Goal, goal::Water);
  EXPECT_EQ(m.Action, action::Feed);
  EXPECT_DOUBLE_EQ(m.M(need::Hunger).Ist, 0.7);
  EXPECT_DOUBLE_EQ(Patch().Amount, 400 - 0.2);
  EXPECT_TRUE(m.KeepConsuming);  // the thirst, the need of the mouse, is not full
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(4));
}

TEST_F(ActionTest, ASearchForCertaintyYieldsToFoodThatServesTheDominantNeed) {
  PatchAround(KindFood, 10);
  TMaus& m = Actor({200, 150});
  test::SetNeed(m, need::Hunger, 0.1);
  test::SetNeed(m, need::Cert, 0.5);
  m.Need = need::Hunger;
  m.Goal = m.PrevGoal = goal::Uncertainty;
  FindElement(m.GoalMemory, t.run.settings, goal::Uncertainty);
  // Food is remembered as worth little, so the intention stays with certainty.
  FindElement(m.GoalMemory, t.run.settings, goal::Food).Values = {0, 0.1, 0, 0, 0, 0, 0, 0};
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_EQ(m.Goal, goal::Food);
  EXPECT_EQ(m.PrevGoal, goal::Food);
  EXPECT_EQ(t.run.Stats[stat::OppCh], 1);
  EXPECT_EQ(m.Action, action::Feed);
  EXPECT_EQ(t.run.random.Seed(), SeedAfterDraws(3));
  EXPECT_THAT(t.BehaviourLines(),
              ElementsAre("  Mani! Hunger   Uncertainty", "    Opportunities or Dangers?",
                          "    Change of Intention! New Goal: Food", "      Feed!"));
}

TEST_F(ActionTest, ASleepingMouseDoesNothing) {
  TMaus& m = Actor({200, 150});
  m.Action = action::Sleep;
  m.Smiling = true;
  m.Attacked = true;
  StartCounting();

  Manipulate(t.run, m);

  EXPECT_TRUE(m.Smiling);
  EXPECT_TRUE(m.Attacked);
  EXPECT_EQ(m.Action, action::Sleep);
  EXPECT_THAT(t.BehaviourLines(), IsEmpty());
}

// --- Choosing the mouse to walk to

TEST_F(ActionTest, NearestEnemyIsTheNearestDislikedMouse) {
  TMaus& m = t.AddMaus({0, 0});
  TMaus& liked = t.AddMaus({10, 0});
  TMaus& stranger = t.AddMaus({5, 0});
  TMaus& far = t.AddMaus({50, 0});
  TMaus& near1 = t.AddMaus({0, 30});
  TMaus& near2 = t.AddMaus({30, 0});
  UpdateRelation(m.Relations, liked, 0.5);
  for (TMaus* e : {&far, &near1, &near2})
    UpdateRelation(m.Relations, *e, -0.1);
  EXPECT_EQ(NearestEnemy(t.run, m, test::Handles({&liked, &stranger, &far, &near1, &near2})),
            &near1);  // ties keep the first
  EXPECT_EQ(NearestEnemy(t.run, m, test::Handles({&liked, &stranger})), nullptr);
  // Only enemies nearer than 100000 are found.
  far.Position = {100000, 0};
  EXPECT_EQ(NearestEnemy(t.run, m, test::Handles({&far})), nullptr);
  far.Position = {99999, 0};
  EXPECT_EQ(NearestEnemy(t.run, m, test::Handles({&far})), &far);
}

TEST_F(ActionTest, NeediestFriendHasTheMostUrgentHungerThirstOrPain) {
  TMaus& a = t.AddMaus({0, 0});
  TMaus& b = t.AddMaus({0, 0});
  TMaus& c = t.AddMaus({0, 0});
  TMaus& d = t.AddMaus({0, 0});
  test::SetNeed(a, need::Thirst, 0.7);
  test::SetNeed(b, need::Pain, 0.4);
  test::SetNeed(c, need::Hunger, 0.4);
  test::SetNeed(d, need::Sex, 0);  // other needs do not count
  EXPECT_EQ(NeediestFriend(t.run, test::Handles({&a, &b, &c, &d})), &b);
  EXPECT_EQ(NeediestFriend(t.run, test::Handles({&d})), nullptr);
  EXPECT_EQ(NeediestFriend(t.run, test::Handles({})), nullptr);
}

TEST_F(ActionTest, FacingIndexIsTheNearestOfTheEightDrawingDirections) {
  const TPoint o{100, 100};
  EXPECT_EQ(FacingIndex(o, {100, 90}), 0);   // up, 1.57
  EXPECT_EQ(FacingIndex(o, {110, 90}), 1);   // 0.79
  EXPECT_EQ(FacingIndex(o, {110, 100}), 2);  // right: 2*pi is nearest to 0.0
  EXPECT_EQ(FacingIndex(o, {110, 110}), 3);  // 5.5
  EXPECT_EQ(FacingIndex(o, {100, 110}), 4);  // down, 4.71
  EXPECT_EQ(FacingIndex(o, {90, 110}), 5);   // 3.92
  EXPECT_EQ(FacingIndex(o, {90, 100}), 6);   // left, 3.14
  EXPECT_EQ(FacingIndex(o, {90, 90}), 7);    // 2.36
  EXPECT_EQ(FacingIndex(o, o), 4);           // no direction counts as 3*pi/2
}

}  // namespace
}  // namespace murinex
