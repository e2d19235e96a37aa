#include <gtest/gtest.h>

#include <set>

#include "agent/mouse_values.h"

namespace murinex {
namespace {

TEST(MouseValuesTest, EveryValueIsFoundByItsName) {
  TMaus m(12);
  m.Age = 4500;
  m.Position = {310, 220};
  m.Motives[need::Thirst].Ist = 0.25;
  m.Motives[need::Pain].MaxReserve = 480;
  m.Params[param::Carefactor] = 0.7;
  m.Pregnant() = 1;
  m.Genom->MotWeights[need::Hunger] = 1.5;
  m.Genom->PersonGenes[param::SightWidth] = 90;
  EXPECT_EQ(MouseNumber(m, "ID"), 12);
  EXPECT_EQ(MouseNumber(m, "Age"), 4500);
  EXPECT_EQ(MouseNumber(m, "y"), 220);
  EXPECT_EQ(MouseNumber(m, "Thirst.Ist"), 0.25);
  EXPECT_EQ(MouseNumber(m, "Pain.MaxReserve"), 480);
  EXPECT_EQ(MouseNumber(m, "Carefactor"), 0.7);
  EXPECT_EQ(MouseNumber(m, "Pregnant"), 1);
  EXPECT_EQ(MouseNumber(m, "gene.Hunger.Weight"), 1.5);
  EXPECT_EQ(MouseNumber(m, "gene.SightWidth"), 90);
  EXPECT_FALSE(MouseNumber(m, "Lineage"));  // a text
  EXPECT_FALSE(MouseNumber(m, "Hunger.Soll.x"));
}

TEST(MouseValuesTest, NamesAreUniqueAndCoverEveryList) {
  const std::vector<std::string> names = MouseValueNames();
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
  // 44 single values, 8 action values, 15 parameters, 8 motives of 12 fields, 39 genes.
  EXPECT_EQ(names.size(), 44u + 8 + 15 + 96 + 39);
}

}  // namespace
}  // namespace murinex
