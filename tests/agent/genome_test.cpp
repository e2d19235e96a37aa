#include "agent/genome.h"

#include <gtest/gtest.h>

#include "world/random.h"

#include "tests/common/agent_builders.h"
#include "tests/common/mouse_test.h"

namespace murinex {
namespace {

TEST(MutateGeneTest, WithProbabilityZeroDrawsOnce) {
  Random random(1), reference(1);
  EXPECT_EQ(MutateGene(random, 0.7, 0, 1, 0, 1), 0.7);
  reference.Uniform();
  EXPECT_EQ(random.Seed(), reference.Seed());
}

TEST(MutateGeneTest, WithProbabilityOneStaysInRange) {
  Random random(3);
  for (int i = 0; i < 1000; ++i) {
    const double v = MutateGene(random, 0.95, 1, 5, 0.5, 1.0);
    ASSERT_GE(v, 0.5);
    ASSERT_LE(v, 1.0);
  }
}

TEST(MutateGeneTest, AddsScaledOffset) {
  // First draw 0.0313... < 1 mutates; second draw r2 = 0.8610...:
  // v = 0.5 + (r2 - 0.5) * 2 * (1 - 0) = 0.5 + 0.7220969...
  Random random(1);
  const double r2 = 3698175007.0 / 4294967296.0;
  EXPECT_DOUBLE_EQ(MutateGene(random, 0.5, 1, 2, 0, 10), 0.5 + (r2 - 0.5) * 2 * 10);
  Random again(1);
  EXPECT_EQ(MutateGene(again, 0.5, 1, 2, 0, 1), 1.0);  // capped at the maximum
}

// ---------------------------------------------------------------------------
// The embryo

// Parents whose every gene differs.
class EmbryoTest : public test::MouseTest {
 protected:
  EmbryoTest() {
    for (int i = 0; i < param::Count; ++i)
      father.Params[i] = mother.Params[i] + 0.01 * (i + 1);
    mother.Params[param::SightWidth] = 100;
    father.Params[param::SightWidth] = 120;
    for (int i = 0; i < need::Count; ++i) {
      mother.Motives[i].Weight = 1;
      father.Motives[i].Weight = 1.5;
      mother.Motives[i].BasMeta = 0.02;
      father.Motives[i].BasMeta = 0.04;
    }
    father.Motives[need::Hunger].MaxReserve = 200;
    father.Motives[need::Thirst].MaxReserve = 300;
    father.Motives[need::Pain].MaxReserve = 480;
  }
  TMaus& mother = Add({100, 100});  // MaxReserve 100
  TMaus& father = Add({110, 100});
};

TEST_F(EmbryoTest, WithoutMutationEachGeneComesFromTheParentItsDrawNames) {
  const auto e = MakeEmbryo(run, mother, father, 0);

  // Each gene draws twice (choice, mutation test), so gene k is chosen by draw 2k:
  // below 0.5 the mother's. The choices of draws 0, 2, ..., 64 from seed 1:
  const std::string person = "MMFMMMFMMMFMMMM";
  const std::string weights = "MMFFMMMM";
  const std::string reserves = "FFM";         // Hunger, Thirst, Pain
  const std::string metabolisms = "FFMMFFF";  // needs 1..7
  for (int i = 0; i < param::Count; ++i)
    EXPECT_EQ(e->PersonGenes[i], (person[i] == 'M' ? mother : father).Params[i]) << i;
  for (int i = 0; i < need::Count; ++i)
    EXPECT_EQ(e->MotWeights[i], (weights[i] == 'M' ? mother : father).Motives[i].Weight) << i;
  for (int i = 1; i <= 3; ++i)
    EXPECT_EQ(e->ReserveGenes[i], (reserves[i - 1] == 'M' ? mother : father).Motives[i].MaxReserve)
        << i;
  for (int i = 1; i < need::Count; ++i)
    EXPECT_EQ(e->BasMetaGenes[i], (metabolisms[i - 1] == 'M' ? mother : father).Motives[i].BasMeta)
        << i;
  EXPECT_EQ(e->ReserveGenes[0], 0);
  for (int i = 4; i < need::Count; ++i)
    EXPECT_EQ(e->ReserveGenes[i], 0) << i;
  EXPECT_EQ(e->BasMetaGenes[0], 0);
  EXPECT_EQ(run.random.Seed(), SeedAfter(66));
}

TEST_F(EmbryoTest, WithCertainMutationEachGeneMovesByItsSecondDraw) {
  const auto e = MakeEmbryo(run, mother, father, 1);

  // Three draws per gene: choice 3k, mutation test 3k + 1 (always below 1), shift 3k + 2.
  // BasAr, gene 0: draw 0 = 0.0314 the mother's 0.3; draw 2 = 0.2026.
  EXPECT_DOUBLE_EQ(e->PersonGenes[param::BasAr], 0.3 + (0.20258096512407064 - 0.5) * 0.1 * 1);
  // SightWidth, gene 12: draw 36 = 0.8879 the father's 120; draw 38 = 0.0203.
  EXPECT_DOUBLE_EQ(e->PersonGenes[param::SightWidth],
                   120 + (0.020296892151236534 - 0.5) * 0.1 * 150);
  // Weight of NoNeed, gene 15: draw 45 = 0.7745, father's 1.5 + 0.2705 capped at 1.
  EXPECT_EQ(e->MotWeights[need::NoNeed], 1.0);
  // Weight of Hunger, gene 16: draw 48 = 0.7081 father's; draw 50 = 0.2060, scale 1.
  EXPECT_DOUBLE_EQ(e->MotWeights[need::Hunger], 1.5 + (0.20603009592741728 - 0.5) * 1 * 1.5);
  // Reserves, genes 23..25, all the father's (draws 69, 72, 75 above 0.5), range 400:
  EXPECT_EQ(e->ReserveGenes[need::Hunger], 310);  // 200 + 0.2740 * 400 = 309.6
  EXPECT_EQ(e->ReserveGenes[need::Thirst], 157);  // 300 - 0.3564 * 400 = 157.46
  EXPECT_EQ(e->ReserveGenes[need::Pain], 500);    // 480 + 35.7 capped
  // Metabolism of Comp, gene 32: draw 96 = 0.1559 the mother's; draw 98 = 0.7397.
  EXPECT_DOUBLE_EQ(e->BasMetaGenes[need::Comp], 0.02 + (0.7396899601444602 - 0.5) * 1 * 0.05);
  EXPECT_EQ(run.random.Seed(), SeedAfter(99));
}

}  // namespace
}  // namespace murinex
