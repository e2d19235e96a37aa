// A population dump reads back as a population file whatever the values, as
// long as they lie within the accepted ranges: also at every field's limit
// and with ticks past 10^8.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "sim/persistence/population_files.h"
#include "tests/common/agent_builders.h"
#include "tests/common/test_run.h"
#include "world/input_ranges.h"
#include "world/text_reader.h"

namespace murinex {
namespace {

using ::testing::HasSubstr;

double Max(Field f) {
  return RangeOf(f).maximum;
}
double Min(Field f) {
  return RangeOf(f).minimum;
}

// A mouse whose every written field sits at an end of its range, the end
// whose text is the widest.
void FillWithLimits(test::TestRun& t, TMaus& m) {
  m.Lineage = "Wide";
  m.ID = static_cast<std::int32_t>(Min(Field::Id));
  m.Age = static_cast<std::int32_t>(Max(Field::Age));
  m.MotherID = static_cast<std::int32_t>(Min(Field::Id));
  m.BirthTick = static_cast<std::int32_t>(Min(Field::BirthTick));
  m.Position = {-CoordinateLimit, -CoordinateLimit};
  m.ActVal = {Min(Field::CurStrength),
              Min(Field::ActValSpare),
              Min(Field::ActValSpare),
              Min(Field::ActValSpare),
              Min(Field::ActValSpare),
              Max(Field::TimeTillSober),
              1,
              Max(Field::BirthCountdown)};
  m.Embryo = std::make_unique<TGenom>();
  for (int i = 0; i < 8; ++i) {
    m.Embryo->MotWeights[i] = Max(Field::Weight);
    m.Embryo->ReserveGenes[i] = static_cast<std::int32_t>(Min(Field::Reserve));
    m.Embryo->BasMetaGenes[i] = Min(Field::BasMeta);
  }
  for (int j = 0; j < 15; ++j)
    m.Embryo->PersonGenes[j] = Min(ParamField(j)) < 0 ? Min(ParamField(j)) : Max(ParamField(j));
  for (int i = 0; i < need::Count; ++i) {
    TMotiv& mo = m.Motives[i];
    mo.Soll = Max(Field::Soll);
    mo.Ist = Min(Field::Ist);
    mo.BasMeta = Min(Field::BasMeta);
    mo.Leak = Min(Field::Leak);
    mo.Weight = Max(Field::Weight);
    mo.Reserve = static_cast<std::int32_t>(Min(Field::Reserve));
    mo.MaxReserve = static_cast<std::int32_t>(Min(Field::Reserve));
  }
  for (int j = 0; j < 15; ++j)
    m.Params[j] = Min(ParamField(j)) < 0 ? Min(ParamField(j)) : Max(ParamField(j));
  m.Params[param::RateForget] = 0;  // no fading at the dump, so the second dump is the same
  TGoalMemEl& food = FindElement(m.GoalMemory, t.run.settings, goal::Food);
  food.Values.fill(Min(Field::GoalNeedValue));
  TGoalAvLoc place;
  place.Element = &food;
  place.Pos = {-CoordinateLimit, -CoordinateLimit};
  place.Retention = 1;
  place.LastRecall = t.run.TickCount;
  place.NextIndex = -1;
  place.Progress = Min(Field::Progress);
  place.Quality = Min(Field::Quality);
  place.Sign = '+';
  test::AppendPlace(m.GoalLocations, place);
  for (int k = 0; k < 6; ++k)
    m.Relations.push_back({static_cast<std::int32_t>(Min(Field::Id)),
                           {},
                           Max(Field::Friendship),
                           Min(Field::Enmity)});
  for (int k = 0; k < 6; ++k)
    m.Protocol.push_back(
        {-CoordinateLimit, -CoordinateLimit, goal::Goal{255}, action::Action{255}, 1});
}

std::string ReadBackAndDump(test::TestRun& t, const std::string& record) {
  test::TestRun again;
  again.run.TickCount = t.run.TickCount;
  TextReader in(record, "data/Maeuse-NN-1.dat");
  auto m = NewMaus(again.run);
  ReadMaus(again.run, *m, in, t.run.TickCount);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(m->Age, t.run.Mice[0]->Age);
  EXPECT_EQ(m->ID, t.run.Mice[0]->ID);
  EXPECT_EQ(m->GoalLocations.size(), 1u);
  return DumpMaus(again.run, *m);
}

TEST(DumpRoundTripTest, ValuesAtEveryLimitWithTicksPastTenToTheEight) {
  test::TestRun t;
  t.run.TickCount = 150000000;
  TMaus& m = t.AddMaus({0, 0});
  FillWithLimits(t, m);
  const std::string record = DumpMaus(t.run, m);
  // Every value that fills or overflows its column keeps a blank before it.
  EXPECT_THAT(record, HasSubstr("1.000000000 150000000"));  // Retention, LastRecall (int:8)
  EXPECT_THAT(record, HasSubstr("Wide  -1000000000     1000000000 -1000000000 -1000000000\n"));
  EXPECT_THAT(record, HasSubstr(" -268435456 -268435456\n"));
  EXPECT_THAT(record, HasSubstr(" -1000000 -1000000  10000      1 1000000\n"));  // slots 3..7
  EXPECT_THAT(record,
              HasSubstr(" -100.000 -1000.0000 -1000000.0000 1000.0000 -1000000000 -1000000000"));
  EXPECT_EQ(ReadBackAndDump(t, record), record);
}

TEST(DumpRoundTripTest, InRangeValuesKeepTheirColumns) {
  test::TestRun t;
  TMaus& m = t.AddMaus({120, 45});
  m.ID = 7;
  m.Age = 1200;
  const std::string record = DumpMaus(t.run, m);
  // Narrower than the columns: padded exactly as before, no extra blank.
  EXPECT_THAT(record, HasSubstr("Test          7           1200         0           0\n"));
  EXPECT_THAT(record, HasSubstr("   120    45\n"));
}

}  // namespace
}  // namespace murinex
