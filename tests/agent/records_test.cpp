#include <gtest/gtest.h>

#include "agent/goal_memory.h"
#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "tests/common/test_run.h"

namespace murinex {
namespace {

// Places with the given retention and NextIndex, each linked to the one its
// NextIndex names.
PlaceList Route(std::vector<std::pair<double, int>> rows) {
  PlaceList list;
  for (auto [retention, next] : rows) {
    const PlaceHandle h = list.New();
    list.At(h).Retention = retention;
    list.At(h).NextIndex = next;
    list.Append(h);
  }
  for (TGoalAvLoc& p : list)
    if (p.NextIndex >= 0) p.Next = list.HandleAt(p.NextIndex);
  return list;
}

TEST(GoalMemoryTest, FindElementCreatesFromTheMatrixRowOnce) {
  test::TestRun t;
  TGoalMemory memory;
  TGoalMemEl& food = FindElement(memory, t.run.settings, goal::Food);
  EXPECT_EQ(food.GoalKind, goal::Food);
  EXPECT_EQ(food.Values, t.run.settings.GoalNeedMatrix[goal::Food]);
  EXPECT_EQ(food.Values[need::Hunger], 1);
  EXPECT_EQ(food.Expectation, 0);
  EXPECT_EQ(&FindElement(memory, t.run.settings, goal::Food), &food);
  FindElement(memory, t.run.settings, goal::Water);
  EXPECT_EQ(memory.size(), 2u);
}

TEST(GoalMemoryTest, DeleteLocRepairsLaterLinks) {
  // 0 <- 1 <- 2, and 3 -> 0, 4 -> 3.
  PlaceList list = Route({{1, -1}, {1, 0}, {1, 1}, {1, 0}, {1, 3}});
  const PlaceHandle two = list.HandleAt(2);
  const PlaceHandle four = list.HandleAt(4);
  DeleteLoc(list, 1);
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list.HandleAt(1), two);
  EXPECT_EQ(list.At(two).NextIndex, -2);  // its next place is gone
  EXPECT_FALSE(list.At(two).Next);
  EXPECT_EQ(list[2].NextIndex, 0);        // points before the deleted index: unchanged
  EXPECT_EQ(list.At(four).NextIndex, 2);  // points past it: lowered by one
  EXPECT_EQ(list.At(four).Next, list.HandleAt(2));
}

TEST(GoalMemoryTest, SweepFreesOnlyPlacesNothingReaches) {
  // 40 finals, each with a waypoint leading to it.
  std::vector<std::pair<double, int>> rows;
  for (int i = 0; i < 40; ++i)
    rows.insert(rows.end(), {{1, -1}, {1, 2 * i}});
  PlaceList list = Route(rows);
  const PlaceHandle kept = list.HandleAt(1);      // a waypoint, the rated place
  const PlaceHandle keptNext = list.HandleAt(0);  // reached through its link
  const PlaceHandle gone = list.HandleAt(2);
  // The waypoint leaves the list, then the place it leads to; the link of a
  // place out of the list is not cut.
  DeleteLoc(list, 1);
  DeleteLoc(list, 0);
  while (list.size() > 2)
    DeleteLoc(list, 0);
  EXPECT_EQ(list.Held(), 80u);  // nothing is freed before a sweep
  const PlaceHandle roots[] = {kept};
  list.Sweep(roots);
  EXPECT_EQ(list.Held(), 4u);  // the two listed, the rated place and its next
  EXPECT_EQ(list.At(kept).Next, keptNext);
  EXPECT_TRUE(list.Find(keptNext));
  EXPECT_EQ(list.Find(gone), nullptr);
  // A new place takes a freed slot under a new generation: the old handle
  // still finds nothing.
  const PlaceHandle fresh = list.New();
  EXPECT_NE(fresh, gone);
  EXPECT_EQ(list.Find(gone), nullptr);
  EXPECT_EQ(list.At(fresh).Retention, 0);
  EXPECT_THROW(list.At(gone), std::logic_error);
}

TEST(GoalMemoryTest, PurgeLocsDeletesForgottenPlaces) {
  PlaceList list = Route({{1e-10, -1}, {1, 0}, {0, 1}, {0.5, 2}, {1e-11, -1}, {0.2, -1}});
  DeleteLoc(list, 99);  // outside the list: nothing happens
  EXPECT_EQ(list.size(), 6u);
  PurgeLocs(list);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].Retention, 1);
  EXPECT_EQ(list[0].NextIndex, -2);
  EXPECT_EQ(list[1].Retention, 0.5);
  EXPECT_EQ(list[1].NextIndex, -2);
  EXPECT_EQ(list[2].Retention, 0.2);
}

TEST(GoalMemoryTest, PurgeLocsKeepsRememberedPlaces) {
  PlaceList list = Route({{0.3, -1}, {1e-9, 0}});
  PurgeLocs(list);
  EXPECT_EQ(list.size(), 2u);
  EXPECT_EQ(list.IndexOf(list.HandleAt(1)), 1);
  EXPECT_EQ(list.IndexOf(list.New()), -1);
}

TEST(MausTest, ConstructionGivesNamesAndEmptyLists) {
  TMaus m(12);
  EXPECT_EQ(m.ID, 12);
  EXPECT_EQ(m.Motives[need::Comp].Name, "Comp");
  EXPECT_EQ(m.StuckAt, (TPoint{0, 0}));
  EXPECT_EQ(m.GoalLocations.At(m.ExploreTarget).Pos, (TPoint{0, 0}));
  EXPECT_TRUE(m.GoalLocations.empty());
  EXPECT_FALSE(m.Embryo);
  EXPECT_EQ(m.Partner, MouseHandle{});
  EXPECT_EQ(m.Competitor, MouseHandle{});
  EXPECT_EQ(m.Miserablemaus, MouseHandle{});
}

TEST(MausTest, RunCountsIdsUp) {
  test::TestRun t;
  t.run.IdCounter = 57;
  EXPECT_EQ(NewMaus(t.run)->ID, 58);
  EXPECT_EQ(NewMaus(t.run)->ID, 59);
}

TEST(MausTest, CopyGenomTakesTheCurrentValues) {
  TMaus m(1);
  for (int i = 0; i < 8; ++i) {
    m.Motives[i].Weight = i;
    m.Motives[i].MaxReserve = 10 * i;
    m.Motives[i].BasMeta = 0.01 * i;
  }
  m.Params[param::Carefactor] = 0.25;
  CopyGenom(m);
  EXPECT_EQ(m.Genom->MotWeights[5], 5);
  EXPECT_EQ(m.Genom->ReserveGenes[3], 30);
  EXPECT_EQ(m.Genom->ReserveGenes[4], 0);  // only Hunger, Thirst and Pain carry reserves
  EXPECT_EQ(m.Genom->BasMetaGenes[7], 0.07);
  EXPECT_EQ(m.Genom->BasMetaGenes[0], 0);
  EXPECT_EQ(m.Genom->PersonGenes[param::Carefactor], 0.25);
}

TEST(RelationTest, UpdateRelationCreatesAndClamps) {
  test::TestRun t;
  TMaus& a = t.AddMaus({0, 0});
  TMaus& b = t.AddMaus({0, 0});
  TMaus& c = t.AddMaus({0, 0});
  UpdateRelation(a.Relations, b, 0.4);
  ASSERT_EQ(a.Relations.size(), 1u);
  EXPECT_EQ(a.Relations[0].OtherID, b.ID);
  EXPECT_EQ(a.Relations[0].Friendship, 0.2);
  UpdateRelation(a.Relations, c, -0.5);
  EXPECT_EQ(a.Relations[1].Enmity, -1);  // -1.5 clamped
  UpdateRelation(a.Relations, b, 0);     // an x of 0 changes nothing
  EXPECT_EQ(a.Relations[0].Friendship, 0.2);
  EXPECT_EQ(a.Relations[0].Enmity, 0);
  for (int i = 0; i < 7; ++i)
    UpdateRelation(a.Relations, b, 0.3);
  EXPECT_EQ(a.Relations[0].Friendship, 1);
}

TEST(RelationTest, RelationValueOfTheFirstEntry) {
  test::TestRun t;
  TMaus& a = t.AddMaus({0, 0});
  TMaus& b = t.AddMaus({0, 0});
  double v = 99;
  EXPECT_FALSE(RelationValue(a, &b, v));
  EXPECT_EQ(v, 0);
  a.Relations.push_back({b.ID, b.Handle, 0.5, -0.2});
  a.Relations.push_back({b.ID, b.Handle, 1, 0});
  EXPECT_TRUE(RelationValue(a, &b, v));
  EXPECT_DOUBLE_EQ(v, 0.3);
  // An entry not yet linked is nobody's entry.
  a.Relations.insert(a.Relations.begin(), TFrinEn{5, {}, 1, 0});
  EXPECT_FALSE(RelationValue(a, nullptr, v));
}

TEST(RelationTest, MeanPositionRoundsHalvesToEven) {
  test::TestRun t;
  TMaus& a = t.AddMaus({0, 0});
  TMaus& b = t.AddMaus({3, 3});
  EXPECT_EQ(MeanPosition(t.run, test::Handles({&a, &b})), (TPoint{2, 2}));
  b.Position = {5, 1};
  EXPECT_EQ(MeanPosition(t.run, test::Handles({&a, &b})), (TPoint{2, 0}));
  EXPECT_EQ(MeanPosition(t.run, {}), NoPoint);
}

// The dead mouse leaves the relations and seen lists; a handle to it finds
// nothing, also once a newborn has taken its slot.
TEST(RemoveMausTest, NothingFindsTheDeadMouse) {
  test::TestRun t;
  TMaus& a = t.AddMaus({10, 10});
  TMaus& b = t.AddMaus({20, 10});
  TMaus& c = t.AddMaus({30, 10});
  UpdateRelation(a.Relations, b, 1);
  UpdateRelation(a.Relations, c, 1);
  a.Partner = b.Handle;
  c.Partner = b.Handle;
  c.Competitor = b.Handle;
  a.Miserablemaus = b.Handle;
  a.SeenMice = {b.Handle, c.Handle};
  c.SeenFriends = {b.Handle};
  t.run.SelectMaus(b.Handle);
  const std::uint64_t changes = t.run.SelectionChanges;
  RemoveMaus(t.run, 1);
  TMaus& newborn = t.AddMaus({20, 10});
  ASSERT_EQ(t.run.Mice.size(), 3u);
  EXPECT_EQ(newborn.Handle.slot, a.Partner.slot);
  for (MouseHandle gone : {a.Partner, c.Partner, c.Competitor, a.Miserablemaus})
    EXPECT_EQ(t.run.Mice.Find(gone), nullptr);
  EXPECT_EQ(GoalMouse(t.run, c), nullptr);
  ASSERT_EQ(a.Relations.size(), 1u);
  EXPECT_EQ(t.run.Mice.Find(a.Relations[0].Other), &c);
  EXPECT_EQ(a.SeenMice, test::Handles({&c}));
  EXPECT_TRUE(c.SeenFriends.empty());
  EXPECT_EQ(t.run.Selected(), nullptr);
  EXPECT_EQ(t.run.SelectionChanges, changes + 1);  // the window learns of it
}

}  // namespace
}  // namespace murinex
