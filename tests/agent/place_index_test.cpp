#include "agent/place_index.h"

#include <vector>

#include <gtest/gtest.h>

#include "tests/common/agent_builders.h"
#include "tests/common/mouse_test.h"

namespace murinex {
namespace {

class PlaceIndexTest : public test::MouseTest {
 protected:
  test::TestPlace Place(goal::Goal kind, TPoint pos, char sign = '+') {
    return test::AddPlace(run, m, kind, pos, sign);
  }
  std::vector<TGoalAvLoc*> PlacesOf(goal::Goal kind) {
    m.Places.Update(m.GoalLocations);
    std::vector<TGoalAvLoc*> places;
    for (const PlaceIndex::Entry& e : m.Places.Of(kind)) {
      EXPECT_EQ(e.pos, e.place->Pos);
      places.push_back(e.place);
    }
    return places;
  }

  TMaus& m = Add({100, 100});
};

TEST_F(PlaceIndexTest, GroupsPlacesByKindInListOrder) {
  const test::TestPlace a = Place(goal::Food, {10, 10});
  const test::TestPlace b = Place(goal::Water, {20, 20});
  const test::TestPlace c = Place(goal::Food, {30, 30});
  EXPECT_EQ(PlacesOf(goal::Food), (std::vector<TGoalAvLoc*>{&*a, &*c}));
  EXPECT_EQ(PlacesOf(goal::Water), (std::vector<TGoalAvLoc*>{&*b}));
  EXPECT_TRUE(PlacesOf(goal::HealingHerbs).empty());
}

TEST_F(PlaceIndexTest, FollowsDeletionsAndNewPlaces) {
  Place(goal::Food, {10, 10});
  const test::TestPlace b = Place(goal::Food, {20, 20});
  ASSERT_EQ(PlacesOf(goal::Food).size(), 2u);
  DeleteLoc(m.GoalLocations, 0);
  const test::TestPlace c = Place(goal::Food, {30, 30});
  EXPECT_EQ(PlacesOf(goal::Food), (std::vector<TGoalAvLoc*>{&*b, &*c}));
}

// Same list length, and the new place may come from the very memory the
// deleted one was freed to: the index must still see a different place.
TEST_F(PlaceIndexTest, APlaceReplacedInTheSameSlotIsSeen) {
  for (int round = 0; round < 20; ++round) {
    Place(goal::Food, {10, 10});
    ASSERT_EQ(PlacesOf(goal::Food).size(), 1u);
    DeleteLoc(m.GoalLocations, 0);
    Place(goal::Water, {10, 10});
    EXPECT_TRUE(PlacesOf(goal::Food).empty()) << "round " << round;
    EXPECT_EQ(PlacesOf(goal::Water).size(), 1u);
    DeleteLoc(m.GoalLocations, 0);
  }
}

TEST_F(PlaceIndexTest, DangerCandidatesArePainfulStonesAndLinkedWaypoints) {
  Place(goal::Food, {10, 10});                                        // 0: no link, not stones
  Place(goal::Stones, {20, 20}, '-');                                 // 1: painful stones
  Place(goal::Stones, {30, 30}, '+');                                 // 2: stones, but not painful
  const test::TestPlace waypoint = Place(goal::Food, {40, 40}, '0');  // 3: leads to place 0
  waypoint->Next = m.GoalLocations.HandleAt(0);
  waypoint->NextIndex = 0;
  Place(goal::Water, {50, 50}, '0');  // 4: a waypoint whose goal was deleted
  m.Places.Update(m.GoalLocations);
  const auto candidates = m.Places.DangerCandidates();
  EXPECT_EQ(std::vector<std::uint32_t>(candidates.begin(), candidates.end()),
            (std::vector<std::uint32_t>{1, 3}));
}

}  // namespace
}  // namespace murinex
