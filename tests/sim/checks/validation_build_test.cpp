#include "sim/checks/validation_build.h"

#include <gtest/gtest.h>

#include "agent/mouse_list.h"
#include "tests/common/agent_builders.h"
#include "tests/common/test_run.h"

namespace murinex {
namespace {

// Three mice that know each other: the invariants hold until a test breaks one.
class ValidateTest : public ::testing::Test {
 protected:
  ValidateTest() {
    UpdateRelation(a.Relations, b, 0.5);
    UpdateRelation(b.Relations, c, -0.5);
    a.Partner = c.Handle;
    b.SeenMice = {a.Handle, c.Handle};
  }

  void ExpectBroken(const std::string& what) {
    try {
      CheckInvariants(t.run);
      ADD_FAILURE() << "no invariant broken, expected: " << what;
    } catch (const InvariantError& error) {
      EXPECT_NE(std::string(error.what()).find(what), std::string::npos) << error.what();
    }
  }

  test::TestRun t;
  TMaus& a = t.AddMaus({100, 100});
  TMaus& b = t.AddMaus({120, 100});
  TMaus& c = t.AddMaus({140, 100});
};

TEST_F(ValidateTest, ASoundRunPassesAndStaysSoundAfterADeath) {
  EXPECT_NO_THROW(CheckInvariants(t.run));
  RemoveMaus(t.run, 2);  // c dies: a's partner, b's relation and seen entry go with it
  EXPECT_NO_THROW(CheckInvariants(t.run));
}

TEST_F(ValidateTest, ListsHoldingADeadMouseAreCaught) {
  const MouseHandle gone = c.Handle;
  RemoveMaus(t.run, 2);
  a.Competitor = gone;  // finds nothing: allowed
  EXPECT_NO_THROW(CheckInvariants(t.run));
  b.SeenEnemies = {gone};
  ExpectBroken("SeenEnemies holds a mouse no longer alive");
  b.SeenEnemies = {b.Handle};
  ExpectBroken("SeenEnemies holds the mouse itself");
}

TEST_F(ValidateTest, ARelationMustLinkTheMouseItsIdNames) {
  a.Relations[0].Other = c.Handle;
  ExpectBroken("relation to " + std::to_string(b.ID) + " links mouse " + std::to_string(c.ID));
}

TEST_F(ValidateTest, RouteLinksMustAgreeWithTheirIndices) {
  test::TestPlace food = test::AddPlace(t.run, a, goal::Food, {10, 10}, '+');
  test::TestPlace waypoint = test::AddPlace(t.run, a, goal::Food, {60, 10}, '0');
  test::TestPlace other = test::AddPlace(t.run, a, goal::Food, {90, 10}, '0');
  waypoint->NextIndex = 0;
  waypoint->Next = food;
  EXPECT_NO_THROW(CheckInvariants(t.run));
  waypoint->Next = other;
  ExpectBroken("place 1: its link does not name place 0");
  waypoint->Next = food;
  food->NextIndex = 2;
  ExpectBroken("place 0 leads to a later place (2)");
}

TEST_F(ValidateTest, IdsAreUniqueAndNotAboveTheCounter) {
  const std::int32_t id = c.ID;
  c.ID = a.ID;
  ExpectBroken("two living mice share this ID");
  c.ID = id;
  a.ID = t.run.IdCounter + 1;  // the first mouse checked
  ExpectBroken("ID above the ID counter");
}

}  // namespace
}  // namespace murinex
