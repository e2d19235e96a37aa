#include "sim/overrides.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "agent/maus.h"
#include "agent/names.h"
#include "model/run.h"
#include "tests/common/test_run.h"
#include "world/error.h"

namespace murinex {
namespace {

using ::testing::HasSubstr;

Overrides Given(std::initializer_list<const char*> assignments) {
  Overrides o;
  for (const char* a : assignments)
    o.Add(a);
  return o;
}

std::string ErrorOf(const char* assignment) {
  try {
    Given({assignment});
  } catch (const InputError& e) {
    return e.what();
  }
  return "";
}

TEST(Overrides, SettingsEntriesByTableRowAndColumn) {
  test::TestRun t;
  Given({"LifeSpan=4000", "DeathAge=7000", "DeathProbability=0.25", "MutationRate=0.5",
         "PersonRanges.Carefactor.max=0.9", "PersonRanges.BasAr.scale=0.3",
         "MotWeightRanges.Comp.min=0.7", "ReserveRanges.Pain.max=800",
         "BasalMetaBolRanges.Hunger.min=0.02", "ActionSettings.Bite.hunger=4.5",
         "ActionSettings.Care.thirst=0.25", "GoalNeedMatrix.Food.Hunger=0.75"})
      .ApplyToSettingsAndMice(t.run);
  const Settings& s = t.run.settings;
  EXPECT_EQ(s.LifeSpan(), 4000);
  EXPECT_EQ(s.DeathAge(), 7000);
  EXPECT_EQ(s.DeathProbability(), 0.25);
  EXPECT_EQ(s.MutationRate(), 0.5);
  EXPECT_EQ(s.PersonRanges[14].maximum, 0.9);  // Carefactor is the 15th parameter
  EXPECT_EQ(s.PersonRanges[0].scale, 0.3);
  EXPECT_EQ(s.MotWeightRanges[7].minimum, 0.7);
  EXPECT_EQ(s.ReserveRanges[2].maximum, 800);  // rows Hunger, Thirst, Pain
  EXPECT_EQ(s.BasalMetaBolRanges[1].minimum, 0.02);
  EXPECT_EQ(s.ActionSettings[4].hungerCost, 4.5);
  EXPECT_EQ(s.ActionSettings[12].thirstCost, 0.25);
  EXPECT_EQ(s.GoalNeedMatrix[2][1], 0.75);
  // The rest of the tables stays as read.
  EXPECT_EQ(s.PersonRanges[14].minimum, 0.0);
  EXPECT_EQ(s.ActionSettings[4].thirstCost,
            test::TestRun().run.settings.ActionSettings[4].thirstCost);
}

TEST(Overrides, EveryMouseAndTheChildItCarries) {
  test::TestRun t;
  TMaus& a = t.AddMaus({10, 10});
  TMaus& b = t.AddMaus({50, 50});
  b.Pregnant() = 1;
  b.Embryo = std::make_unique<TGenom>();
  b.Embryo->PersonGenes[14] = 0.1;
  Given({"mice.Carefactor=0.8", "mice.Thirst.Weight=2", "mice.Cert.BasMeta=0.05",
         "mice.NoNeed.BasMeta=0.5"})
      .ApplyToSettingsAndMice(t.run);
  for (TMaus* m : {&a, &b}) {
    EXPECT_EQ(m->Params[14], 0.8);
    EXPECT_EQ(m->Motives[2].Weight, 2.0);
    EXPECT_EQ(m->Motives[6].BasMeta, 0.05);
    EXPECT_EQ(m->Motives[0].BasMeta, 0.5);
    // Weights as AddMaus gives them: 1 each, Thirst now 2.
    EXPECT_EQ(m->SumWeights, 9.0);
  }
  EXPECT_EQ(b.Embryo->PersonGenes[14], 0.8);
  EXPECT_EQ(b.Embryo->MotWeights[2], 2.0);
  EXPECT_EQ(b.Embryo->BasMetaGenes[6], 0.05);
  EXPECT_EQ(b.Embryo->BasMetaGenes[0], 0.0);  // the NoNeed gene is never used
  EXPECT_FALSE(a.Embryo);
}

TEST(Overrides, EveryPatchOfOneKind) {
  test::TestRun t;
  std::vector<std::unique_ptr<TTerra>> patches;
  patches.push_back(test::RectPatch(KindSand, 0, 0, 399, 299, 0.5));
  patches.push_back(test::RectPatch(KindFood, 0, 0, 9, 9, 0.5));    // area 81
  patches.push_back(test::RectPatch(KindFood, 20, 20, 30, 30, 1));  // area 100
  patches.push_back(test::RectPatch(KindWater, 40, 40, 50, 50, 1));
  t.SetWorld(test::MakeWorld(400, 300, std::move(patches)));
  const Overrides o = Given({"world.Food.Level=0.25", "world.Food.Growth=0.01",
                             "world.Water.Decay=0.5", "mice.Carefactor=0.1"});
  o.ApplyToSettingsAndMice(t.run);  // no world change here
  EXPECT_EQ(t.run.World->TerraList[1]->Level, 0.5);
  o.ApplyToWorld(t.run);
  const auto& p = t.run.World->TerraList;
  EXPECT_EQ(p[1]->Level, 0.25);
  EXPECT_EQ(p[1]->Amount, 81 * 0.25);  // as loading makes it
  EXPECT_EQ(p[2]->Amount, 100 * 0.25);
  EXPECT_EQ(p[1]->Growth, 0.01);
  EXPECT_EQ(p[2]->Growth, 0.01);
  EXPECT_EQ(p[3]->Decay, 0.5);
  EXPECT_EQ(p[3]->Growth, 0.0);
  EXPECT_EQ(p[0]->Level, 0.5);
  EXPECT_EQ(p[0]->Decay, 0.0);
}

TEST(Overrides, TheModelsOwnValuesAreNamedAndCheckedAgainstTheirRanges) {
  test::TestRun t;
  const ModelValues defaults;
  // The numbers the model was built with.
  EXPECT_EQ(defaults.MatingAge, 5000);
  EXPECT_EQ(defaults.MatingChance, 0.5);
  EXPECT_EQ(defaults.PregnancyLength, 2000);
  EXPECT_EQ(defaults.StatisticsInterval, 100);
  EXPECT_EQ(defaults.DumpInterval, 10000);
  Given({"model.MatingAge=3000", "model.MatingChance=0.75", "model.PregnancyLength=900",
         "model.StatisticsInterval=20", "model.DumpInterval=500"})
      .ApplyToSettingsAndMice(t.run);
  const ModelValues& m = t.run.model;
  EXPECT_EQ(m.MatingAge, 3000);
  EXPECT_EQ(m.MatingChance, 0.75);
  EXPECT_EQ(m.PregnancyLength, 900);
  EXPECT_EQ(m.StatisticsInterval, 20);
  EXPECT_EQ(m.DumpInterval, 500);
  EXPECT_THAT(ErrorOf("model.MatingChance=1.5"), HasSubstr("must lie between 0 and 1"));
  EXPECT_THAT(ErrorOf("model.DumpInterval=0"), HasSubstr("must lie between 1 and"));
  EXPECT_THAT(ErrorOf("model.PregnancyLength=2000.5"), HasSubstr("must be a whole number"));
  EXPECT_THAT(ErrorOf("model.MatingAges=1"), HasSubstr("model.MatingAge, model.MatingChance"));
}

TEST(Overrides, ValuesAreReadAsTheFilesReadThem) {
  const Overrides o = Given({"DeathAge=+12", "MutationRate=1e-2", "mice.Strength=.5"});
  ASSERT_EQ(o.Items().size(), 3u);
  EXPECT_TRUE(o.Items()[0].whole);
  EXPECT_EQ(o.Items()[0].integer, 12);
  EXPECT_EQ(o.Items()[1].real, 0.01);
  EXPECT_EQ(o.Items()[2].real, 0.5);
  EXPECT_EQ(o.Items()[2].family, OverrideFamily::Mice);
  EXPECT_EQ(o.Items()[2].text, ".5");
}

TEST(Overrides, RefusesWhatIsNotAValueOfTheInputs) {
  EXPECT_THAT(ErrorOf("mice.Carefactor"), HasSubstr("expects NAME=VALUE"));
  EXPECT_THAT(ErrorOf("world.Food.Size=1"), HasSubstr("world.KIND.Growth"));
  EXPECT_THAT(ErrorOf("BasalMetaBolRanges.NoNeed.min=1"), HasSubstr("valid settings names"));
  EXPECT_THAT(ErrorOf("PersonRanges.Carefactor.Max=1"), HasSubstr("unknown name"));
  EXPECT_THAT(ErrorOf("MotWeightRanges.Hunger.scale=1"), HasSubstr("unknown name"));
  EXPECT_THAT(ErrorOf("ActionSettings.Move.colour=255"), HasSubstr("unknown name"));
  EXPECT_THAT(ErrorOf("DeathAge=9000.5"), HasSubstr("must be a whole number"));
  EXPECT_THAT(ErrorOf("DeathAge=99999999999"), HasSubstr("must be a whole number"));
  EXPECT_THAT(ErrorOf("mice.Carefactor=0,5"), HasSubstr("must be a number, got \"0,5\""));
  EXPECT_THAT(ErrorOf("mice.Carefactor=1 2"), HasSubstr("must be a number"));
  try {
    Given({"MutationRate=0.1", "MutationRate=0.2"});
    ADD_FAILURE() << "a name given twice was taken";
  } catch (const InputError& e) {
    EXPECT_THAT(e.what(), HasSubstr("MutationRate is given twice"));
  }
}

// ---------------------------------------------------------------- forks

// A run resumed at tick 300 of a start with mice.Carefactor=0.5: one mouse born
// since then with a mutated care factor, one carrying young.
struct ResumedRun {
  ResumedRun() {
    std::vector<std::unique_ptr<TTerra>> patches;
    patches.push_back(test::RectPatch(KindSand, 0, 0, 399, 299, 0.5));
    patches.push_back(test::RectPatch(KindFood, 0, 0, 9, 9, 0.7));  // area 81
    t.SetWorld(test::MakeWorld(400, 300, std::move(patches)));
    t.run.World->TerraList[1]->Amount = 3;  // eaten down, the level not yet
    t.run.TickCount = 300;
    t.run.AppliedOverrides = {{"mice.Carefactor", "0.5", true, 0}};
    old = &t.AddMaus({10, 10});
    old->Params[param::Carefactor] = 0.5;
    born = &t.AddMaus({50, 50});
    born->Params[param::Carefactor] = 0.43;
    old->Pregnant() = 1;
    old->Embryo = std::make_unique<TGenom>();
    old->Embryo->PersonGenes[param::Carefactor] = 0.47;
  }
  test::TestRun t;
  TMaus* old = nullptr;
  TMaus* born = nullptr;
};

TEST(OverridesAtAFork, OnlyValuesNotInEffectApplyToTheCurrentState) {
  ResumedRun r;
  // The same care factor written another way is no new value.
  const std::vector<Override> applied = Given({"mice.Carefactor=0.50", "mice.Strength=0.9",
                                               "world.Food.Level=0.25", "MutationRate=0.3"})
                                            .ApplyAtFork(r.t.run);
  ASSERT_EQ(applied.size(), 3u);
  EXPECT_EQ(applied[0].name, "mice.Strength");
  EXPECT_EQ(applied[1].name, "world.Food.Level");
  EXPECT_EQ(applied[2].name, "MutationRate");
  // What the newborn inherited and the unborn carry stays.
  EXPECT_EQ(r.born->Params[param::Carefactor], 0.43);
  EXPECT_EQ(r.old->Embryo->PersonGenes[param::Carefactor], 0.47);
  // Every living mouse and the young it carries get the new value.
  EXPECT_EQ(r.old->Params[param::Strength], 0.9);
  EXPECT_EQ(r.born->Params[param::Strength], 0.9);
  EXPECT_EQ(r.old->Embryo->PersonGenes[param::Strength], 0.9);
  // The patch's current level, its amount filled to match: 81 * 0.25.
  const TTerra& food = *r.t.run.World->TerraList[1];
  EXPECT_EQ(food.Level, 0.25);
  EXPECT_EQ(food.Amount, 20.25);
  EXPECT_EQ(r.t.run.World->TerraList[0]->Level, 0.5);
  EXPECT_EQ(r.t.run.settings.MutationRate(), 0.3);
  // Noted at the fork's tick, after the start's value.
  const auto& noted = r.t.run.AppliedOverrides;
  ASSERT_EQ(noted.size(), 4u);
  EXPECT_EQ(noted[0].name, "mice.Carefactor");
  EXPECT_TRUE(noted[0].atStart);
  for (std::size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(noted[i].name, applied[i - 1].name);
    EXPECT_EQ(noted[i].value, applied[i - 1].text);
    EXPECT_FALSE(noted[i].atStart);
    EXPECT_EQ(noted[i].tick, 300);
  }
}

TEST(OverridesAtAFork, ANewValueOfANameReplacesTheOldOne) {
  ResumedRun r;
  const auto applied = Given({"mice.Carefactor=0.9"}).ApplyAtFork(r.t.run);
  ASSERT_EQ(applied.size(), 1u);
  EXPECT_EQ(r.old->Params[param::Carefactor], 0.9);
  EXPECT_EQ(r.born->Params[param::Carefactor], 0.9);
  const auto effect = Overrides::InEffect(r.t.run.AppliedOverrides);
  ASSERT_EQ(effect.size(), 1u);
  EXPECT_EQ(effect[0].value, "0.9");
  EXPECT_EQ(effect[0].tick, 300);
}

TEST(OverridesAtAFork, TheForksOwnRestartAppliesNothing) {
  ResumedRun r;
  const Overrides forked = Given({"mice.Carefactor=0.5", "world.Food.Level=0.25"});
  ASSERT_EQ(forked.ApplyAtFork(r.t.run).size(), 1u);
  // Later the food is eaten and a mouse is born; the run is stopped and resumed.
  r.t.run.World->TerraList[1]->Level = 0.6;
  r.born->Params[param::Carefactor] = 0.41;
  r.t.run.TickCount = 500;
  EXPECT_TRUE(forked.ApplyAtFork(r.t.run).empty());
  EXPECT_EQ(r.t.run.World->TerraList[1]->Level, 0.6);
  EXPECT_EQ(r.born->Params[param::Carefactor], 0.41);
  EXPECT_EQ(r.t.run.AppliedOverrides.size(), 2u);
}

TEST(OverridesAtAFork, TheStartsValuesAreNotedAtTheStartTick) {
  test::TestRun t;
  t.run.TickCount = 9500;
  Given({"LifeSpan=4000", "world.Food.Growth=0.01"}).RecordAtStart(t.run);
  const auto& noted = t.run.AppliedOverrides;
  ASSERT_EQ(noted.size(), 2u);
  EXPECT_EQ(noted[1].name, "world.Food.Growth");
  EXPECT_EQ(noted[1].value, "0.01");
  EXPECT_TRUE(noted[0].atStart && noted[1].atStart);
  EXPECT_EQ(noted[1].tick, 9500);
}

TEST(OverridesAtAFork, TheStatisticsIntervalIsRefusedBeforeAnythingChanges) {
  ResumedRun r;
  r.t.run.AppliedOverrides.push_back({"model.StatisticsInterval", "50", true, 0});
  r.t.run.model.StatisticsInterval = 50;
  // The interval the run holds already is no change; the other model values apply.
  const auto applied =
      Given({"model.StatisticsInterval=50", "model.PregnancyLength=1000", "model.DumpInterval=700"})
          .ApplyAtFork(r.t.run);
  ASSERT_EQ(applied.size(), 2u);
  EXPECT_EQ(r.t.run.model.PregnancyLength, 1000);
  EXPECT_EQ(r.t.run.model.DumpInterval, 700);
  try {
    Given({"model.MatingChance=0.1", "model.StatisticsInterval=25"}).ApplyAtFork(r.t.run);
    ADD_FAILURE() << "a new statistics interval was taken at a fork";
  } catch (const InputError& e) {
    EXPECT_THAT(e.what(), HasSubstr("model.StatisticsInterval cannot change at a fork (tick 300)"));
  }
  EXPECT_EQ(r.t.run.model.MatingChance, 0.5);
  EXPECT_EQ(r.t.run.model.StatisticsInterval, 50);
  EXPECT_EQ(r.t.run.AppliedOverrides.size(), 4u);
}

}  // namespace
}  // namespace murinex
