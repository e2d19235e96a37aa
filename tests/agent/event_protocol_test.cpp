#include "agent/event_protocol.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "agent/maus.h"
#include "model/run.h"
#include "tests/common/test_run.h"

namespace murinex {
namespace {

// Mouse 35 at (120, 45), selected and the check mouse, with its protocol files open.
class EventProtocolTest : public ::testing::Test {
 protected:
  EventProtocolTest() {
    t.run.IdCounter = 34;
    m = &t.AddMaus({120, 45});
    t.OpenProtocols();
    t.run.CheckMausId = 35;
    t.run.SelectedMaus = m->Handle;
  }

  void SetNeeds(TMaus& mouse, const std::array<double, 7>& ist) {
    for (int i = 1; i < need::Count; ++i)
      mouse.Motives[i].Ist = ist[i - 1];
  }

  test::TestRun t;
  TMaus* m = nullptr;
};

TEST(PointToStrTest, PlainDecimalIntegers) {
  EXPECT_EQ(PointToStr({120, 45}), "[120,45]");
  EXPECT_EQ(PointToStr({0, 0}), "[0,0]");
  EXPECT_EQ(PointToStr(NoPoint), "[-1,-1]");
  EXPECT_EQ(PointToStr({123456, -7}), "[123456,-7]");
}

TEST_F(EventProtocolTest, LinesAreIndentedByTheirLevel) {
  ProtocolLine(t.run, 35, 0, "zero");
  ProtocolLine(t.run, 35, 2, "two");
  ProtocolLine(t.run, 35, 4, "four");
  ProtocolLine(t.run, 35, 6, "six");
  ProtocolLine(t.run, 35, 8, "eight");
  ProtocolLine(t.run, 35, 4, "");
  EXPECT_EQ(t.Behaviour(), "zero\n  two\n    four\n      six\n        eight\n    \n");
}

TEST_F(EventProtocolTest, OnlyTheCheckMouseWhileAMouseIsSelected) {
  ProtocolLine(t.run, 36, 2, "another mouse");
  t.run.SelectedMaus = {};
  ProtocolLine(t.run, 35, 2, "nobody selected");
  // A check ID that no living mouse has: its lines never come.
  t.run.SelectedMaus = m->Handle;
  t.run.CheckMausId = 99;
  ProtocolLine(t.run, 35, 2, "no longer the check mouse");
  EXPECT_EQ(t.Behaviour(), "");
}

TEST_F(EventProtocolTest, PerceptionEntryCarriesPlaceAndNeeds) {
  SetNeeds(*m, {0.42, 0.88, 1.00, 0.65, 0.71, 0.93, 0.80});
  ProtocolLine(t.run, 35, 0, "5120 Mouse: 35 Perceive! Hunger   Food");
  EXPECT_EQ(t.Behaviour(),
            "5120 Mouse: 35 Perceive! Hunger   Food  Loc: [120,45]\n"
            "      Needs:  H:  0.42 T:  0.88 P:  1.00 S:  0.65 A:  0.71 C:  0.93 C:  0.80\n");
}

TEST_F(EventProtocolTest, PerceptionNeedsAreRoundedInFiveCharacters) {
  SetNeeds(*m, {0, 0.004, 0.996, 0.125, 0.5, 1.5, -0.5});
  ProtocolLine(t.run, 35, 4, "at Perceive time");
  EXPECT_EQ(t.Behaviour(),
            "    at Perceive time  Loc: [120,45]\n"
            "      Needs:  H:  0.00 T:  0.00 P:  1.00 S:  0.12 A:  0.50 C:  1.50 C: -0.50\n");
}

TEST_F(EventProtocolTest, OnlyTheExactWordPerceive) {
  ProtocolLine(t.run, 35, 0, "perceived nothing");
  ProtocolLine(t.run, 35, 0, "PERCEIVE");
  EXPECT_EQ(t.Behaviour(), "perceived nothing\nPERCEIVE\n");
}

TEST_F(EventProtocolTest, TheSelectedMouseFillsInTheEntriesOfTheCheckMouse) {
  // The check ID now names another mouse while the first one stays selected.
  TMaus& other = t.AddMaus({300, 200});
  SetNeeds(other, {0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1});
  other.Plan = {{1, 2}};
  SetNeeds(*m, {0.42, 0.88, 1.00, 0.65, 0.71, 0.93, 0.80});
  m->Plan = {{130, 52}};
  t.run.CheckMausId = other.ID;
  ProtocolLine(t.run, other.ID, 0, "Perceive!");
  ProtocolLine(t.run, other.ID, 8, "Plan found!");
  ProtocolLine(t.run, 35, 2, "the selected mouse is not the check mouse");
  EXPECT_EQ(t.Behaviour(),
            "Perceive!  Loc: [120,45]\n"
            "      Needs:  H:  0.42 T:  0.88 P:  1.00 S:  0.65 A:  0.71 C:  0.93 C:  0.80\n"
            "        Plan found!\r      [ 130,  52]\n");
}

TEST_F(EventProtocolTest, PlanEntryStartsAGroupBeforeEverySeventhPoint) {
  for (int j = 0; j < 15; ++j)
    m->Plan.push_back({130 + 10 * j, 52 + j});
  ProtocolLine(t.run, 35, 8, "Plan found!");
  EXPECT_EQ(t.Behaviour(),
            "        Plan found!"
            "\r      [ 130,  52][ 140,  53][ 150,  54][ 160,  55][ 170,  56][ 180,  57][ 190,  58]"
            "\r      [ 200,  59][ 210,  60][ 220,  61][ 230,  62][ 240,  63][ 250,  64][ 260,  65]"
            "\r      [ 270,  66]\n");
}

TEST_F(EventProtocolTest, PlanPointsKeepWideAndNegativeValues) {
  m->Plan = {{-5, 7}, {12345, -678}};
  ProtocolLine(t.run, 35, 6, "Plan found! again");
  EXPECT_EQ(t.Behaviour(), "      Plan found! again\r      [  -5,   7][12345,-678]\n");
}

TEST_F(EventProtocolTest, EmptyPlanAndNoPlan) {
  m->Plan = {{130, 52}};
  ProtocolLine(t.run, 35, 8, "No plan found!");
  m->Plan.clear();
  ProtocolLine(t.run, 35, 8, "Plan found!");
  EXPECT_EQ(t.Behaviour(), "        No plan found!\n        Plan found!\n");
}

TEST_F(EventProtocolTest, BothExtensionsInOneLine) {
  SetNeeds(*m, {1, 1, 1, 1, 1, 1, 1});
  m->Plan = {{1, 2}};
  ProtocolLine(t.run, 35, 0, "Perceive Plan found!");
  EXPECT_EQ(t.Behaviour(),
            "Perceive Plan found!  Loc: [120,45]\n"
            "      Needs:  H:  1.00 T:  1.00 P:  1.00 S:  1.00 A:  1.00 C:  1.00 C:  1.00"
            "\r      [   1,   2]\n");
}

TEST_F(EventProtocolTest, TextOfOtherMiceIsNeverBuilt) {
  TMaus& other = t.AddMaus({10, 10});
  int built = 0;
  auto text = [&] {
    ++built;
    return std::string("Move");
  };
  Log(t.run, other, 2, text);
  t.run.SelectedMaus = {};
  Log(t.run, *m, 2, text);
  EXPECT_EQ(built, 0);
  t.run.SelectedMaus = m->Handle;
  Log(t.run, *m, 2, text);
  EXPECT_EQ(built, 1);
  EXPECT_EQ(t.Behaviour(), "  Move\n");
}

}  // namespace
}  // namespace murinex
