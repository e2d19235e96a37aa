#include "sim/tick/charts.h"

#include <gtest/gtest.h>

#include "agent/chart_lines.h"
#include "agent/maus.h"
#include "model/lines.h"
#include "tests/common/test_run.h"

namespace murinex {
namespace {

const TLineSeries& Line(const TMaus& m, std::size_t group, const std::string& name) {
  const TLineGroup& g = m.Lines->Group(group);
  for (std::size_t i = 0; i < g.Names.size(); ++i)
    if (g.Names[i] == name) return *g.Lines[i];
  throw std::runtime_error("no line " + name);
}

const TSumLine& Sum(const Run& run, const std::string& name) {
  for (std::size_t i = 0; i < run.SumLines.Size(); ++i)
    if (run.SumLines.At(i).Name == name) return run.SumLines.At(i);
  throw std::runtime_error("no summary line " + name);
}

class MouseChartTest : public ::testing::Test {
 protected:
  test::TestRun t;
  MouseChartRecorder recorder;
};

TEST_F(MouseChartTest, GroupsAreSortedWithTheirLinesAndColours) {
  TMaus& m = t.AddMaus({10, 10});
  ASSERT_EQ(m.Lines->GroupCount(), 2u);
  EXPECT_EQ(m.Lines->Group(0).Name, "Emotions");
  EXPECT_EQ(m.Lines->Group(1).Name, "Motive");
  const std::vector<std::string> motive = {"Hunger", "Thirst", "Pain", "Sex",
                                           "Affil",  "Cert",   "Comp", "EpComp"};
  EXPECT_EQ(m.Lines->Group(1).Names, motive);
  const std::vector<std::string> emotions = {"TotNeedStrength", "Drunken", "Arousal", "Inhib"};
  EXPECT_EQ(m.Lines->Group(0).Names, emotions);
  EXPECT_EQ(Line(m, 1, "Thirst").Colour, NeedColours[need::Thirst]);
  EXPECT_EQ(Line(m, 1, "EpComp").Colour, 0x808000u);
  EXPECT_EQ(Line(m, 0, "Drunken").Colour, 0xFF8800u);
  EXPECT_EQ(Line(m, 0, "Arousal").Title, "Arousal");
}

TEST_F(MouseChartTest, UpdateLinesRecordsNeedsEmotionsAndBands) {
  TMaus& m = t.AddMaus({10, 10});
  m.M(need::Hunger).Ist = 0.25;
  m.Arousal = 0.6;
  m.Inhib = 0.125;
  m.TotNeedStrength = 2.5;
  m.TimeTillSober() = 50;
  m.Need = need::NoNeed;
  m.LastAction = action::Bite;
  m.Goal = goal::Water;
  UpdateLines(t.run, m);
  EXPECT_DOUBLE_EQ(Line(m, 1, "Hunger").Values.at(0), 0.75);
  EXPECT_DOUBLE_EQ(Line(m, 1, "Thirst").Values.at(0), 0.0);  // Ist 1
  EXPECT_DOUBLE_EQ(Line(m, 1, "EpComp").Values.at(0), 1.0);  // no need
  EXPECT_DOUBLE_EQ(Line(m, 0, "Arousal").Values.at(0), 0.6);
  EXPECT_DOUBLE_EQ(Line(m, 0, "Inhib").Values.at(0), 0.125);
  EXPECT_DOUBLE_EQ(Line(m, 0, "TotNeedStrength").Values.at(0), 2.5);
  EXPECT_DOUBLE_EQ(Line(m, 0, "Drunken").Values.at(0), 0.5);
  EXPECT_EQ(Line(m, 1, "Hunger").Colours.at(0), NeedColours[need::Hunger]);
  EXPECT_EQ(m.Lines->BandSeries(TLines::NeedBand).Colours.at(0), NeedColours[need::NoNeed]);
  EXPECT_EQ(m.Lines->BandSeries(TLines::ActionBand).Colours.at(0), 128u);  // Bite in the settings
  EXPECT_EQ(m.Lines->BandSeries(TLines::GoalBand).Colours.at(0), GoalColours[goal::Water]);
}

TEST_F(MouseChartTest, EpCompFollowsTheMotiveOfTheCurrentNeed) {
  TMaus& m = t.AddMaus({10, 10});
  m.Need = need::Pain;
  m.M(need::Pain).EpComp = 0.3;
  UpdateLines(t.run, m);
  EXPECT_DOUBLE_EQ(Line(m, 1, "EpComp").Values.at(0), 0.3);
}

TEST_F(MouseChartTest, APageOf50Holds51PointsAndTheNextTickStartsANewPage) {
  TMaus& m = t.AddMaus({10, 10});
  for (int i = 0; i < 50; ++i)
    EXPECT_FALSE(recorder.Tick(t.run)) << "tick " << i;
  EXPECT_TRUE(recorder.Tick(t.run));  // the 51st point fills the page
  EXPECT_EQ(Line(m, 1, "Hunger").Count(), 51u);
  EXPECT_EQ(m.Lines->BandSeries(TLines::GoalBand).Count(), 51u);
  EXPECT_DOUBLE_EQ(recorder.PageOffset(), 0);

  recorder.Tick(t.run);
  EXPECT_EQ(Line(m, 1, "Hunger").Count(), 1u);
  EXPECT_EQ(Line(m, 0, "Inhib").Count(), 1u);
  EXPECT_EQ(m.Lines->BandSeries(TLines::NeedBand).Count(), 1u);
  EXPECT_DOUBLE_EQ(recorder.PageOffset(), 50);
  EXPECT_EQ(recorder.PointsOnPage(), 1);
}

TEST_F(MouseChartTest, LongerPagesMoveTheOffsetByTheirLength) {
  t.AddMaus({10, 10});
  recorder.SetPage(150);
  for (int i = 0; i < 151 * 2 + 1; ++i)
    recorder.Tick(t.run);
  EXPECT_DOUBLE_EQ(recorder.PageOffset(), 300);
}

TEST_F(MouseChartTest, NothingIsRecordedWhileAddLinesIsOff) {
  TMaus& m = t.AddMaus({10, 10});
  t.run.RecordLines = false;
  for (int i = 0; i < 60; ++i)
    EXPECT_FALSE(recorder.Tick(t.run));
  EXPECT_EQ(Line(m, 1, "Hunger").Count(), 0u);
  EXPECT_EQ(recorder.PointsOnPage(), 0);
  EXPECT_DOUBLE_EQ(recorder.PageOffset(), 0);
}

TEST_F(MouseChartTest, AMouseBornMidPageStartsAtTheCurrentPoint) {
  TMaus& old = t.AddMaus({10, 10});
  for (int i = 0; i < 20; ++i)
    recorder.Tick(t.run);
  TMaus& young = t.AddMaus({20, 20});
  for (int i = 0; i < 10; ++i)
    recorder.Tick(t.run);
  EXPECT_EQ(Line(old, 1, "Hunger").Count(), 30u);
  EXPECT_EQ(Line(young, 1, "Hunger").Count(), 10u);
  EXPECT_EQ(young.Lines->BandSeries(TLines::ActionBand).Count(), 10u);
}

TEST_F(MouseChartTest, EveryPointRecordsItsTickAndWhatColoursTheBands) {
  TMaus& m = t.AddMaus({10, 10});
  t.run.TickCount = 1000;
  m.Need = need::Thirst;
  m.Goal = goal::Water;
  m.LastAction = action::Drink;
  recorder.Tick(t.run);
  t.run.TickCount = 1003;  // the chart clock fell behind by two ticks
  m.Need = need::Hunger;
  recorder.Tick(t.run);
  const auto& samples = m.Lines->Samples();
  ASSERT_EQ(samples.size(), 2u);
  EXPECT_EQ(samples[0].Tick, 1000);
  EXPECT_EQ(samples[0].Need, need::Thirst);
  EXPECT_EQ(samples[0].Goal, goal::Water);
  EXPECT_EQ(samples[0].Action, action::Drink);
  EXPECT_EQ(samples[1].Tick, 1003);
  EXPECT_EQ(samples[1].Need, need::Hunger);
}

TEST_F(MouseChartTest, ANewPageForgetsTheTicksOfTheOldOne) {
  TMaus& m = t.AddMaus({10, 10});
  for (int i = 0; i < 51; ++i) {
    t.run.TickCount += 1;
    recorder.Tick(t.run);
  }
  EXPECT_EQ(m.Lines->Samples().size(), 51u);
  t.run.TickCount += 1;
  recorder.Tick(t.run);
  ASSERT_EQ(m.Lines->Samples().size(), 1u);
  EXPECT_EQ(m.Lines->Samples()[0].Tick, 52);
}

class SummaryLinesTest : public ::testing::Test {
 protected:
  test::TestRun t;
};

TEST_F(SummaryLinesTest, EveryMouseRegistersTheSameLinesOnce) {
  t.AddMaus({10, 10});
  t.AddMaus({20, 20});
  ASSERT_EQ(t.run.SumLines.Size(), 10u);
  EXPECT_EQ(t.run.SumLines.At(0).Name, "Arousal");
  EXPECT_EQ(t.run.SumLines.At(1).Name, "Aggression");
  EXPECT_EQ(t.run.SumLines.At(2).Name, "Smile");
  EXPECT_EQ(t.run.SumLines.At(3).Name, "Deviation-Hunger");
  EXPECT_EQ(t.run.SumLines.At(9).Name, "Deviation-Comp");
  EXPECT_EQ(Sum(t.run, "Aggression").Series.Colour, 0x00CCFFu);
  EXPECT_EQ(Sum(t.run, "Deviation-Cert").Series.Colour, NeedColours[need::Cert]);
}

TEST_F(SummaryLinesTest, ThreeAttackedOfTenGiveAMeanOf03) {
  t.AddMaus({10, 10});
  for (int i = 0; i < 10; ++i)
    t.run.SumLines.AddFlag("Aggression", i < 3);
  t.run.SumLines.Tick(true, t.run.TickCount);
  ASSERT_EQ(Sum(t.run, "Aggression").Series.Count(), 1u);
  EXPECT_DOUBLE_EQ(Sum(t.run, "Aggression").Series.Values[0], 0.3);
  EXPECT_EQ(Sum(t.run, "Aggression").Count, 0);
  EXPECT_DOUBLE_EQ(Sum(t.run, "Aggression").Sum, 0);
}

TEST_F(SummaryLinesTest, ALineWithoutValuesGetsZero) {
  t.AddMaus({10, 10});
  t.run.SumLines.AddSum("Arousal", 0.5);
  t.run.SumLines.Tick(true, t.run.TickCount);
  EXPECT_DOUBLE_EQ(Sum(t.run, "Smile").Series.Values.at(0), 0);
  EXPECT_DOUBLE_EQ(Sum(t.run, "Arousal").Series.Values.at(0), 0.5);
}

TEST_F(SummaryLinesTest, MouseChartTicksFeedTheMeanArousalAndDeviations) {
  TMaus& a = t.AddMaus({10, 10});
  TMaus& b = t.AddMaus({20, 20});
  a.Arousal = 0.2;
  b.Arousal = 0.4;
  a.M(need::Thirst).Deviation = 0.5;
  b.M(need::Thirst).Deviation = 0.25;
  MouseChartRecorder recorder;
  recorder.Tick(t.run);
  t.run.SumLines.Tick(true, t.run.TickCount);
  EXPECT_NEAR(Sum(t.run, "Arousal").Series.Values.at(0), 0.3, 1e-12);
  EXPECT_DOUBLE_EQ(Sum(t.run, "Deviation-Thirst").Series.Values.at(0), 0.375);
}

TEST_F(SummaryLinesTest, APageHolds101PointsThenStartsAgainWithOffset100) {
  t.AddMaus({10, 10});
  for (int i = 0; i < 101; ++i)
    t.run.SumLines.Tick(true, t.run.TickCount);
  EXPECT_EQ(Sum(t.run, "Arousal").Series.Count(), 101u);
  EXPECT_DOUBLE_EQ(t.run.SumLines.PageOffset(), 0);
  t.run.SumLines.Tick(true, t.run.TickCount);
  EXPECT_EQ(Sum(t.run, "Arousal").Series.Count(), 1u);
  EXPECT_DOUBLE_EQ(t.run.SumLines.PageOffset(), 100);
}

TEST_F(SummaryLinesTest, EveryPointKeepsTheTickItWasTakenAtUntilThePageEnds) {
  t.AddMaus({10, 10});
  t.run.SumLines.Tick(true, 7);
  t.run.SumLines.Tick(false, 8);  // no point, no tick
  t.run.SumLines.Tick(true, 10);
  EXPECT_EQ(t.run.SumLines.Ticks(), (std::vector<std::int32_t>{7, 10}));
  // The tick without a point still fills the page of 101: 98 more make it full.
  for (int i = 0; i < 98; ++i)
    t.run.SumLines.Tick(true, 11 + i);
  EXPECT_EQ(t.run.SumLines.Ticks().size(), 100u);
  EXPECT_EQ(t.run.SumLines.Ticks().back(), 108);
  t.run.SumLines.Tick(true, 500);
  EXPECT_EQ(t.run.SumLines.Ticks(), std::vector<std::int32_t>{500});
}

TEST_F(SummaryLinesTest, WithoutAddLinesThePageAdvancesWithoutPoints) {
  t.AddMaus({10, 10});
  t.run.SumLines.AddSum("Arousal", 1);
  for (int i = 0; i < 102; ++i)
    t.run.SumLines.Tick(false, t.run.TickCount);
  EXPECT_EQ(Sum(t.run, "Arousal").Series.Count(), 0u);
  EXPECT_DOUBLE_EQ(t.run.SumLines.PageOffset(), 100);
}

}  // namespace
}  // namespace murinex
