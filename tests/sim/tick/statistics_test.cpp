#include "sim/tick/statistics.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "agent/maus.h"
#include "model/run.h"
#include "model/stat_columns.h"
#include "tests/common/test_run.h"

namespace murinex {
namespace {

// The fields of a row: the row number first, then the 68 columns.
std::vector<std::string> Fields(const std::string& row) {
  EXPECT_FALSE(row.empty());
  EXPECT_EQ(row.back(), '\n');
  std::vector<std::string> fields;
  std::istringstream in(row.substr(0, row.size() - 1));
  for (std::string f; std::getline(in, f, ';');)
    fields.push_back(f);
  EXPECT_EQ(fields.size(), 69u);
  return fields;
}

// A run with its protocol files open, writing its first row.
class StatisticsTest : public ::testing::Test {
 protected:
  StatisticsTest() {
    t.OpenProtocols();
    t.run.StatRowCount = 1;
  }

  void AddMice(int n) {
    for (int i = 0; i < n; ++i)
      t.AddMaus({10 * i, 10});
  }

  // The value written for a column.
  std::string Column(const std::vector<std::string>& fields, int column) {
    return fields.at(static_cast<std::size_t>(column) + 1);
  }

  std::string File() {
    t.run.StatProto.Flush();
    return test::ReadText(t.run.ProtoDir() / "ProtoNN.prt");
  }

  test::TestRun t;
  StatSums& s = t.run.Stats;
};

TEST(StatColumnsTest, ColumnsByName) {
  EXPECT_EQ(stat::Learn, 0);
  EXPECT_EQ(stat::Arousal, 3);
  EXPECT_EQ(stat::DangerNotSeen, 8);
  EXPECT_EQ(stat::Fear, 14);
  EXPECT_EQ(stat::NoNeed, 16);
  EXPECT_EQ(stat::Comp, 23);
  EXPECT_EQ(stat::NoGoal, 24);
  EXPECT_EQ(stat::GCompSign, 34);
  EXPECT_EQ(stat::NMaus, 35);
  EXPECT_EQ(stat::LifeLength, 39);
  EXPECT_EQ(stat::EnToFrin, 42);
  EXPECT_EQ(stat::NoAct, 44);
  EXPECT_EQ(stat::Sleep, 55);
  EXPECT_EQ(stat::Drunken, 56);
  EXPECT_EQ(stat::Care, 57);
  EXPECT_EQ(stat::MVarDens, 59);
  EXPECT_EQ(stat::DHunger, 60);
  EXPECT_EQ(stat::DAge, 63);
  EXPECT_EQ(stat::Strength, 64);
  EXPECT_EQ(stat::CarePain, 67);
  EXPECT_EQ(stat::Count, 68);
  // Columns laid out by need, goal, action and cause of death.
  EXPECT_EQ(StatSums::NeedColumn(need::Hunger), stat::Hung);
  EXPECT_EQ(StatSums::NeedColumn(need::Comp), stat::Comp);
  EXPECT_EQ(StatSums::GoalColumn(goal::Sand), stat::GSand);
  EXPECT_EQ(StatSums::GoalColumn(goal::Barrier), stat::GCompSign);
  EXPECT_EQ(StatSums::ActionColumn(action::Move), stat::Move);
  EXPECT_EQ(StatSums::ActionColumn(action::Sleep), stat::Sleep);
  EXPECT_EQ(StatSums::ActionColumn(action::Care), stat::Drunken);  // Care lands in Drunken
  EXPECT_EQ(StatSums::DeathColumn(need::Hunger), stat::DHunger);
  EXPECT_EQ(StatSums::DeathColumn(need::Pain), stat::DPain);
}

TEST(StatColumnsTest, AddingAccumulates) {
  StatSums s;
  s.Add(stat::Move, 2);
  s.Add(stat::Move, 0.5);
  EXPECT_EQ(s[stat::Move], 2.5);
  EXPECT_EQ(s.Slot(45), 2.5);
  s.Clear();
  EXPECT_EQ(s[stat::Move], 0);
}

TEST_F(StatisticsTest, RatesAreDividedByMiceTimesInterval) {
  // 10 mice, interval 100: 1000 in a rate column is 1 per mouse and tick.
  AddMice(10);
  for (int i = 0; i < 10; ++i) {
    t.run.Mice[i]->Arousal = 0.5;
    t.run.Mice[i]->Inhib = 0.25;
    t.run.Mice[i]->Age = i;
  }
  for (int i = 0; i < stat::Count; ++i)
    s.Slot(i) = 1000;
  const std::vector<std::string> fields = Fields(WriteStatRow(t.run));
  const std::map<int, std::string> plain = {
      {stat::Learn, "10.00000"},   // x 10
      {stat::Arousal, "0.50000"},  // means of the mice
      {stat::Inhib, "0.25000"},
      {stat::Fear, "1000.00000"},  // not divided
      {stat::NoNeed, "1000.00000"},
      {stat::GSand, "1000.00000"},
      {stat::GStones, "1000.00000"},
      {stat::NMaus, "10.00000"},
      {stat::Age, "4.50000"},
      {stat::LifeLength, "1.00000"},  // ages of 1000 over 1000 deaths
      {stat::RelFriends, "0.00000"},  // no relations
      {stat::RelEnemies, "0.00000"},
      {stat::EnToFrin, "0.00000"},
      {stat::MDensity, "1000.00000"},
      {stat::MVarDens, "1000.00000"},
  };
  for (int i = 0; i < stat::Count; ++i) {
    SCOPED_TRACE(i);
    const auto it = plain.find(i);
    EXPECT_EQ(Column(fields, i), it == plain.end() ? "1.00000" : it->second);
  }
}

TEST_F(StatisticsTest, TheWorkedExamples) {
  AddMice(10);
  s[stat::Move] = 250;
  s[stat::Deathrate] = 2;
  s[stat::LifeLength] = 3000 + 5000;
  s[stat::Learn] = 5;
  const std::string row = WriteStatRow(t.run);
  EXPECT_EQ(row.substr(0, 5), "   1;");
  const std::vector<std::string> fields = Fields(row);
  EXPECT_EQ(Column(fields, stat::Move), "0.25000");
  EXPECT_EQ(Column(fields, stat::LifeLength), "4000.00000");
  EXPECT_EQ(Column(fields, stat::Deathrate), "0.00200");
  EXPECT_EQ(Column(fields, stat::Learn), "0.05000");
  EXPECT_EQ(Column(fields, stat::RelFriends), "0.00000");
  EXPECT_EQ(Column(fields, stat::EnToFrin), "0.00000");
  EXPECT_EQ(Column(fields, stat::Care), "0.00000");
}

TEST_F(StatisticsTest, WithoutDeathsLifeLengthStaysZero) {
  AddMice(3);
  const std::vector<std::string> fields = Fields(WriteStatRow(t.run));
  EXPECT_EQ(Column(fields, stat::LifeLength), "0.00000");
  EXPECT_EQ(Column(fields, stat::Deathrate), "0.00000");
  EXPECT_EQ(Column(fields, stat::NMaus), "3.00000");
}

TEST_F(StatisticsTest, TheIntervalOfTheRunCounts) {
  AddMice(4);
  t.run.model.StatisticsInterval = 50;
  s[stat::Move] = 100;  // 100 / (4 * 50)
  EXPECT_EQ(Column(Fields(WriteStatRow(t.run)), stat::Move), "0.50000");
}

TEST_F(StatisticsTest, MeansAndRelationsOfThePopulation) {
  AddMice(2);
  TMaus& a = *t.run.Mice[0];
  TMaus& b = *t.run.Mice[1];
  a.Arousal = 0.2;
  b.Arousal = 0.6;
  a.Inhib = 0.1;
  b.Inhib = 0.3;
  a.Age = 1;
  b.Age = 2;
  a.Relations.push_back({b.ID, b.Handle, 0.6, -0.2});
  a.Relations.push_back({99, {}, 0.2, 0});  // an entry not linked counts too
  b.Relations.push_back({a.ID, a.Handle, 0, -0.6});
  const std::vector<std::string> fields = Fields(WriteStatRow(t.run));
  EXPECT_EQ(Column(fields, stat::Arousal), "0.40000");
  EXPECT_EQ(Column(fields, stat::Inhib), "0.20000");
  EXPECT_EQ(Column(fields, stat::Age), "1.50000");
  EXPECT_EQ(Column(fields, stat::NMaus), "2.00000");
  EXPECT_EQ(Column(fields, stat::RelFriends), "0.40000");  // 0.8 / 2
  EXPECT_EQ(Column(fields, stat::RelEnemies), "0.40000");  // -(-0.8) / 2
  EXPECT_EQ(Column(fields, stat::EnToFrin), "1.00000");
}

TEST_F(StatisticsTest, EveryRowCoversOneInterval) {
  AddMice(10);
  s[stat::Move] = 250;
  s[stat::Fear] = 7;
  s[stat::Deathrate] = 2;
  s[stat::LifeLength] = 8000;
  const std::string first = WriteStatRow(t.run);
  for (int i = 0; i < stat::Count; ++i)
    EXPECT_EQ(s.Slot(i), 0) << i;
  t.run.StatRowCount = 2;
  const std::string second = WriteStatRow(t.run);
  EXPECT_EQ(second.substr(0, 5), "   2;");
  const std::vector<std::string> fields = Fields(second);
  EXPECT_EQ(Column(fields, stat::Move), "0.00000");
  EXPECT_EQ(Column(fields, stat::Fear), "0.00000");
  EXPECT_EQ(Column(fields, stat::LifeLength), "0.00000");
  EXPECT_EQ(Column(fields, stat::NMaus), "10.00000");
  EXPECT_EQ(File(), first + second);
}

TEST_F(StatisticsTest, ARowWithoutMiceDividesNothingByZero) {
  s[stat::Move] = 5;
  s[stat::Learn] = 3;
  s[stat::Deathrate] = 2;
  s[stat::LifeLength] = 8000;
  s[stat::Fear] = 3;
  const std::vector<std::string> fields = Fields(WriteStatRow(t.run));
  for (int i = 0; i < stat::Count; ++i) {
    SCOPED_TRACE(i);
    if (i == stat::LifeLength) {
      EXPECT_EQ(Column(fields, i), "4000.00000");  // divided by the deaths only
    } else if (i == stat::Fear) {
      EXPECT_EQ(Column(fields, i), "3.00000");
    } else {
      EXPECT_EQ(Column(fields, i), "0.00000");
    }
  }
}

TEST_F(StatisticsTest, NumberFormat) {
  AddMice(1);
  s[stat::Fear] = 2e18;                    // 19 digits before the point
  s[stat::NoNeed] = 999999999999999872.0;  // 18 digits
  s[stat::GSand] = -1e-7;                  // rounds to zero, keeps its sign
  s[stat::GStones] = -3.25;
  s[stat::MDensity] = -0.0;
  s[stat::MVarDens] = 0.123456;  // rounded to 5 decimals
  const std::vector<std::string> fields = Fields(WriteStatRow(t.run));
  EXPECT_EQ(Column(fields, stat::Fear), "2.00000e+18");
  EXPECT_EQ(Column(fields, stat::NoNeed), "999999999999999872.00000");
  EXPECT_EQ(Column(fields, stat::GSand), "-0.00000");
  EXPECT_EQ(Column(fields, stat::GStones), "-3.25000");
  EXPECT_EQ(Column(fields, stat::MDensity), "0.00000");
  EXPECT_EQ(Column(fields, stat::MVarDens), "0.12346");
}

TEST_F(StatisticsTest, RowNumberIsRightAlignedInFour) {
  t.run.StatRowCount = 42;
  EXPECT_EQ(WriteStatRow(t.run).substr(0, 5), "  42;");
  t.run.StatRowCount = 12345;
  EXPECT_EQ(WriteStatRow(t.run).substr(0, 6), "12345;");
}

}  // namespace
}  // namespace murinex
