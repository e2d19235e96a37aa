#include "agent/social.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "agent/maus.h"
#include "model/run.h"
#include "tests/common/reference_random.h"
#include "tests/common/test_run.h"
#include "world/error.h"

namespace murinex {
namespace {

// Remembers what it was asked to play.
class RecordingSound : public SoundSink {
 public:
  void PlayWave(const std::string& name) override { played.push_back(name); }
  std::vector<std::string> played;
};

// The generator of every test run starts at seed 1: draw 0 = 0.0314, draw 1 = 0.8610.
constexpr std::uint32_t SeedOfDraw0 = 134775814;  // the seed after draw 0

// A giver and a needy mouse side by side, every need half full.
class GiveHelpTest : public ::testing::Test {
 protected:
  GiveHelpTest() {
    t.OpenProtocols();
    for (TMaus* m : {&giver, &needy})
      for (int i = 1; i < need::Count; ++i)
        m->Motives[i].Ist = 0.5;
  }
  test::TestRun t;
  murinex::Run& run = t.run;
  TMaus& giver = t.AddMaus({100, 100});
  TMaus& needy = t.AddMaus({110, 100});
};

TEST_F(GiveHelpTest, FoodIsGivenWhileTheGiverIsBetterFed) {
  giver.M(need::Hunger).Ist = 0.8;
  needy.M(need::Hunger).Ist = 0.2;
  t.Watch(giver);

  GiveHelp(run, giver, needy, 2);

  const double e = (0.8 - 0.2) * (0.8 / 1);
  EXPECT_EQ(giver.Action, action::Care);
  // The giver: HelpRequest 0.1 (Affil 0.5, Comp 0.5 * GainComp 0.2), then it loses e.
  EXPECT_DOUBLE_EQ(giver.M(need::Affil).Ist, 0.5 + 0.5 * 0.1);
  EXPECT_DOUBLE_EQ(giver.Comp().Ist, 0.5 + 0.5 * 0.2 * 0.1);
  EXPECT_DOUBLE_EQ(giver.M(need::Hunger).Ist, 0.8 - e);
  // The needy mouse: Friend 0.1 (Sex 0.2, Affil 1), then Food e (Hunger 1, Cert and
  // Comp 0.1 each, times GainCert and GainComp 0.2).
  EXPECT_DOUBLE_EQ(needy.M(need::Sex).Ist, 0.5 + 0.2 * 0.1);
  EXPECT_DOUBLE_EQ(needy.M(need::Affil).Ist, 0.5 + 0.1);
  EXPECT_DOUBLE_EQ(needy.M(need::Hunger).Ist, 0.2 + e);
  EXPECT_DOUBLE_EQ(needy.Cert().Ist, 0.5 + 0.1 * 0.2 * e);
  EXPECT_DOUBLE_EQ(needy.Comp().Ist, 0.5 + 0.1 * 0.2 * e);
  EXPECT_EQ(run.Stats[stat::CareHunger], 1);
  EXPECT_EQ(t.BehaviourLines(), std::vector<std::string>{"        Gave Food!"});
  EXPECT_EQ(t.CompLabels(), (std::vector<std::string>{"Gave Food", "DiSatHunger-Gave Food"}));
}

TEST_F(GiveHelpTest, NothingIsGivenWhenTheGiverIsNotBetterFed) {
  t.Watch(giver);
  for (double own : {0.3, 0.2}) {
    giver.M(need::Hunger).Ist = own;
    needy.M(need::Hunger).Ist = 0.3;
    GiveHelp(run, giver, needy, 2);
    EXPECT_EQ(giver.Action, action::Care);  // the giver cares all the same
    EXPECT_EQ(giver.M(need::Hunger).Ist, own);
    EXPECT_EQ(needy.M(need::Hunger).Ist, 0.3);
    EXPECT_EQ(needy.M(need::Affil).Ist, 0.5);
  }
  EXPECT_EQ(run.Stats[stat::CareHunger], 0);
  EXPECT_TRUE(t.BehaviourLines().empty());
  EXPECT_TRUE(t.CompLabels().empty());
}

TEST_F(GiveHelpTest, WhatIsGivenShrinksWithTheGiversOwnRatio) {
  giver.M(need::Hunger).Soll = 0.8;
  giver.M(need::Hunger).Ist = 0.6;
  needy.M(need::Hunger).Ist = 0.2;
  GiveHelp(run, giver, needy, 2);
  // (0.6 - 0.2) * (0.6 / 0.8) = 0.3
  EXPECT_DOUBLE_EQ(giver.M(need::Hunger).Ist, 0.6 - (0.6 - 0.2) * (0.6 / 0.8));
  EXPECT_DOUBLE_EQ(needy.M(need::Hunger).Ist, 0.2 + (0.6 - 0.2) * (0.6 / 0.8));
}

TEST_F(GiveHelpTest, WaterIsSharedLikeFood) {
  giver.M(need::Thirst).Ist = 0.9;
  needy.M(need::Thirst).Ist = 0.4;
  t.Watch(giver);

  GiveHelp(run, giver, needy, 3);

  const double e = (0.9 - 0.4) * (0.9 / 1);
  EXPECT_EQ(giver.Action, action::Care);
  EXPECT_DOUBLE_EQ(giver.M(need::Thirst).Ist, 0.9 - e);
  EXPECT_DOUBLE_EQ(needy.M(need::Thirst).Ist, 0.4 + e);
  EXPECT_EQ(giver.M(need::Hunger).Ist, 0.5);
  EXPECT_EQ(needy.M(need::Hunger).Ist, 0.5);
  EXPECT_EQ(run.Stats[stat::CareThirst], 1);
  EXPECT_EQ(run.Stats[stat::CareHunger], 0);
  EXPECT_EQ(t.BehaviourLines(), std::vector<std::string>{"        Gave Water!"});
  EXPECT_EQ(t.CompLabels(), (std::vector<std::string>{"Gave Water", "DiSatThirst-Gave Water"}));
}

TEST_F(GiveHelpTest, CareIsGivenWithoutCondition) {
  giver.M(need::Pain).Ist = 0.1;  // worse off than the needy mouse
  needy.M(need::Pain).Ist = 0.3;
  t.Watch(giver);

  GiveHelp(run, giver, needy, 4);

  EXPECT_EQ(giver.Action, action::Care);
  EXPECT_DOUBLE_EQ(giver.M(need::Affil).Ist, 0.5 + 0.5 * 0.1);
  EXPECT_DOUBLE_EQ(giver.Comp().Ist, 0.5 + 0.5 * 0.2 * 0.1);
  EXPECT_EQ(giver.M(need::Pain).Ist, 0.1);
  // HealingHerbs 0.1 (Pain 1, Cert and Comp 0.1), then Friend 0.1.
  EXPECT_DOUBLE_EQ(needy.M(need::Pain).Ist, 0.3 + 0.1);
  EXPECT_DOUBLE_EQ(needy.Cert().Ist, 0.5 + 0.1 * 0.2 * 0.1);
  EXPECT_DOUBLE_EQ(needy.M(need::Affil).Ist, 0.5 + 0.1);
  EXPECT_DOUBLE_EQ(needy.M(need::Sex).Ist, 0.5 + 0.2 * 0.1);
  EXPECT_EQ(run.Stats[stat::CarePain], 1);
  EXPECT_EQ(t.BehaviourLines(), std::vector<std::string>{"        Gave Care!"});
  EXPECT_EQ(t.CompLabels(), std::vector<std::string>{"Pflegedienst"});
}

TEST_F(GiveHelpTest, TheNeedyMouseIsHelpedUnderItsOwnLabels) {
  giver.M(need::Hunger).Ist = 0.8;
  needy.M(need::Hunger).Ist = 0.2;
  giver.M(need::Thirst).Ist = 0.8;
  needy.M(need::Thirst).Ist = 0.2;
  t.Watch(needy);

  GiveHelp(run, giver, needy, 2);
  GiveHelp(run, giver, needy, 3);
  GiveHelp(run, giver, needy, 4);

  EXPECT_EQ(t.CompLabels(), (std::vector<std::string>{"GotHelp", "Got Food", "GotHelp", "Got Water",
                                                      "Got Care", "Schmerzlinderung bekommen"}));
  EXPECT_TRUE(t.BehaviourLines().empty());  // the giver reports, not the needy mouse
}

TEST_F(GiveHelpTest, OtherCodesDoNothing) {
  giver.Action = action::Move;
  giver.M(need::Hunger).Ist = 0.8;
  needy.M(need::Hunger).Ist = 0.2;
  for (std::uint8_t code : {0, 1, 5})
    GiveHelp(run, giver, needy, code);
  EXPECT_EQ(giver.Action, action::Move);
  EXPECT_EQ(giver.M(need::Hunger).Ist, 0.8);
  EXPECT_EQ(needy.M(need::Hunger).Ist, 0.2);
  EXPECT_EQ(needy.M(need::Affil).Ist, 0.5);
  EXPECT_EQ(run.Stats[stat::CareHunger] + run.Stats[stat::CareThirst] + run.Stats[stat::CarePain],
            0);
}

TEST_F(GiveHelpTest, TargetLevelZeroStopsTheRunWithAnError) {
  for (std::uint8_t code : {2, 3}) {
    const std::uint8_t n = code == 2 ? need::Hunger : need::Thirst;
    giver.M(n).Soll = 0;
    try {
      GiveHelp(run, giver, needy, code);
      ADD_FAILURE() << "no error for a Soll of 0, code " << int(code);
    } catch (const InputError& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find("mouse 1"), std::string::npos) << message;
      EXPECT_NE(message.find("Soll"), std::string::npos) << message;
      EXPECT_NE(message.find(NeedNames[n]), std::string::npos) << message;
    }
  }
  EXPECT_EQ(needy.M(need::Hunger).Ist, 0.5);
  EXPECT_EQ(needy.M(need::Thirst).Ist, 0.5);
}

// ---------------------------------------------------------------------------
// Bites

class AggressionTest : public ::testing::Test {
 protected:
  AggressionTest() {
    t.OpenProtocols();
    run.Sound = &sound;
  }
  test::TestRun t;
  murinex::Run& run = t.run;
  RecordingSound sound;
  TMaus& attacker = t.AddMaus({100, 100});
  TMaus& target = t.AddMaus({110, 100});
};

TEST_F(AggressionTest, WithoutTargetNothingHappens) {
  Aggression(run, attacker, nullptr);
  EXPECT_TRUE(t.AggLines().empty());
  EXPECT_EQ(run.random.Seed(), 1u);
  EXPECT_EQ(attacker.Action, action::NoAction);
}

// An attacker that likes its target a little, competent enough to bite it.
class BiteTest : public AggressionTest {
 protected:
  BiteTest() {
    run.TickCount = 1234;
    attacker.Comp().Ist = 0.5;
    attacker.Comp().BasMeta = 0.01;
    attacker.Arousal = 0.8;
    attacker.Support.value = 0.1;
    attacker.Need = need::Comp;
    attacker.Comp().Urgency = 0.5;
    target.Arousal = 0.5;
    UpdateRelation(attacker.Relations, target, 0.4);  // Friendship 0.2
    t.Watch(attacker);
  }
};

TEST_F(BiteTest, SuccessfulBiteIsLoggedAndHurts) {
  Aggression(run, attacker, &target);

  // successexpect 1.5 * (0.5 * 0.8 * 1 + 0.1) - 0.5 * (1 * 0.5 * 1 + 0) = 0.5
  // socialvalue 0.5 * 0.2 = 0.1; successvalue 2 * 0.5 - 0.1 + 4 * 0.5 * 0.01 = 0.92
  // draw 0 = 0.0314 < aggten 0.46: a bite.
  EXPECT_EQ(t.AggLines(),
            std::vector<std::string>{"      1234;  0.1000;  0.9200;  0.5000;  0.0314;  0.4600;+;"});
  EXPECT_TRUE(target.Attacked);
  EXPECT_DOUBLE_EQ(target.Damage, 0.8 * 1);
  EXPECT_EQ(attacker.Action, action::Bite);
  EXPECT_EQ(run.Stats[stat::BiteFriend], 1);
  // A single bite of -0.4 (times 3) drives Enmity straight to -1.
  ASSERT_EQ(attacker.Relations.size(), 1u);
  EXPECT_EQ(attacker.Relations[0].Enmity, -1);
  EXPECT_DOUBLE_EQ(attacker.Relations[0].Friendship, 0.2);
  EXPECT_TRUE(target.Relations.empty());
  EXPECT_EQ(sound.played, std::vector<std::string>{"aggress.wav"});
  EXPECT_EQ(run.random.Seed(), test::SeedAfter(1, 1));
}

TEST_F(BiteTest, FailedAttemptChangesNothingButTheProtocol) {
  run.random.SetSeed(SeedOfDraw0);  // the draw is draw 1, 0.8610

  Aggression(run, attacker, &target);

  EXPECT_EQ(t.AggLines(),
            std::vector<std::string>{"      1234;  0.1000;  0.9200;  0.5000;  0.8610;  0.4600;-;"});
  EXPECT_FALSE(target.Attacked);
  EXPECT_EQ(target.Damage, 0);
  EXPECT_EQ(attacker.Action, action::NoAction);
  EXPECT_EQ(run.Stats[stat::BiteFriend], 0);
  EXPECT_EQ(attacker.Relations[0].Enmity, 0);
  EXPECT_DOUBLE_EQ(attacker.Relations[0].Friendship, 0.2);
  EXPECT_TRUE(sound.played.empty());
}

TEST_F(AggressionTest, BiteHappensWhenBothExpectationAndValueAreNegative) {
  // A calm, fully competent attacker that loves its strong target.
  UpdateRelation(attacker.Relations, target, 2);  // Friendship 1
  target.Arousal = 1;

  Aggression(run, attacker, &target);

  // successexpect 1.5 * 0 - 0.5 * 1 = -0.5; socialvalue 0.5;
  // successvalue 2 * 0 - 0.5 + 4 * 0 * 0 = -0.5; aggten 0.25 > draw 0 = 0.0314.
  EXPECT_EQ(t.AggLines(),
            std::vector<std::string>{"         0;  0.5000; -0.5000; -0.5000;  0.0314;  0.2500;+;"});
  EXPECT_TRUE(target.Attacked);
  EXPECT_EQ(target.Damage, 0);  // arousal 0 deals no pain
  EXPECT_EQ(attacker.Action, action::Bite);
  EXPECT_EQ(run.Stats[stat::BiteFriend], 1);
  EXPECT_EQ(attacker.Relations[0].Friendship, 1);
  EXPECT_EQ(attacker.Relations[0].Enmity, -1);
}

TEST_F(AggressionTest, BittenStrangerBecomesAnEnemyWithoutCountingAsAFriend) {
  attacker.Comp().Ist = 0.5;
  attacker.Comp().BasMeta = 0.05;
  attacker.Arousal = 1;

  Aggression(run, attacker, &target);

  // successexpect 1.5 * 0.5 = 0.75; successvalue 4 * 0.5 * 0.05 = 0.1; aggten 0.075.
  EXPECT_EQ(t.AggLines(),
            std::vector<std::string>{"         0;  0.0000;  0.1000;  0.7500;  0.0314;  0.0750;+;"});
  EXPECT_EQ(run.Stats[stat::BiteFriend], 0);
  ASSERT_EQ(attacker.Relations.size(), 1u);
  EXPECT_EQ(attacker.Relations[0].Other, target.Handle);
  EXPECT_EQ(attacker.Relations[0].OtherID, target.ID);
  EXPECT_EQ(attacker.Relations[0].Friendship, 0);
  EXPECT_EQ(attacker.Relations[0].Enmity, -1);
  EXPECT_EQ(target.Damage, 1);
  EXPECT_TRUE(sound.played.empty());  // nobody selected, not sound for all
}

TEST_F(AggressionTest, BitesAreHeardOnlyFromAudibleMice) {
  attacker.Comp().Ist = 0.5;
  attacker.Comp().BasMeta = 0.05;
  attacker.Arousal = 1;  // every attempt below starts from seed 1: draw 0 = 0.0314 bites

  run.SelectedMaus = target.Handle;  // another mouse is picked
  run.random.SetSeed(1);
  Aggression(run, attacker, &target);
  EXPECT_EQ(attacker.Action, action::Bite);
  EXPECT_TRUE(sound.played.empty());

  run.AllMiceAudible = true;
  attacker.Action = action::NoAction;
  run.random.SetSeed(1);
  Aggression(run, attacker, &target);
  EXPECT_EQ(sound.played, std::vector<std::string>{"aggress.wav"});

  run.Sound = nullptr;  // without a sound facility the bite still happens
  attacker.Action = action::NoAction;
  run.random.SetSeed(1);
  Aggression(run, attacker, &target);
  EXPECT_EQ(attacker.Action, action::Bite);
  EXPECT_EQ(sound.played.size(), 1u);
}

}  // namespace
}  // namespace murinex
