#include "agent/mice_near.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>

#include "agent/neighbours.h"
#include "tests/common/test_run.h"

namespace murinex {
namespace {

// What a scan over the mice finds for one mouse, and where the generator stands after it.
struct Findings {
  TMausRefs seen, friends, enemies, strangers;
  TMaus* close = nullptr;
  TMaus* crying = nullptr;
  bool occupied = false;
  std::uint32_t seed = 0;
  bool operator==(const Findings&) const = default;
};

Findings Look(Run& run, TMaus& m, double heading, double width, double depth, TPoint spot) {
  run.random.SetSeed(77);
  LookForNeighbours(run, m, heading, width, depth);
  Findings f{m.SeenMice, m.SeenFriends, m.SeenEnemies, m.SeenStrangers};
  f.close = CloseMouse(run, m, heading);
  f.crying = HeardHelpCry(run, m);
  f.occupied = Occupied(run, m, spot);
  f.seed = run.random.Seed();
  return f;
}

// A pass as the tick runs it: the mouse whose turn it is walks off while the
// grid still has its old place. Every scan must find with the grid exactly
// what it finds over the whole list, in list order, with the same draws.
TEST(MiceNearTest, ScansWithTheGridFindWhatTheFullScansFind) {
  test::TestRun t;
  std::vector<std::unique_ptr<TTerra>> ground;
  ground.push_back(test::RectPatch(KindSand, 0, 0, 1999, 1499));
  t.SetWorld(test::MakeWorld(2000, 1500, std::move(ground)));
  std::mt19937 gen(5);
  std::uniform_int_distribution<int> x(-30, 2030), y(-30, 1530), step(-60, 60), cry(0, 5);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int i = 0; i < 300; ++i) {
    TMaus& m = t.AddMaus({x(gen), y(gen)});
    m.Params[param::SightWidth] = 50 + 150 * unit(gen);
    m.Inhib = 0.5 * unit(gen);
    m.HelpCry = static_cast<std::uint8_t>(cry(gen) > 3 ? 2 : 0);
  }
  murinex::Run& run = t.run;
  // Relations to some of the mice around: friends, enemies and neutral ones.
  for (auto& m : run.Mice)
    for (auto& o : run.Mice)
      if (m != o && Distance(m->Position, o->Position) < 250 && unit(gen) < 0.5)
        UpdateRelation(m->Relations, *o, unit(gen) - 0.4);

  std::vector<TPoint> places;
  for (std::uint32_t i = 0; i < run.Mice.size(); ++i) {
    places.push_back(run.Mice[i]->Position);
    run.Mice[i]->PassIndex = i;  // as the tick numbers them for a pass
  }
  run.MouseGrid.Build(places, 2000, 1500, 64);
  int seen = 0, close = 0, crying = 0, occupied = 0;
  for (std::uint32_t i = 0; i < run.Mice.size(); ++i) {
    TMaus& m = *run.Mice[i];
    run.MouseGrid.Unsettle(i);
    m.Position = {m.Position.x + step(gen), m.Position.y + step(gen)};
    const double heading = 2 * Pi * unit(gen), width = Pi * unit(gen) + 0.5;
    const double depth = 220 * unit(gen);
    const TPoint spot{m.Position.x + step(gen) / 4, m.Position.y + step(gen) / 4};
    const Findings gridded = Look(run, m, heading, width, depth, spot);
    PointGrid grid = std::move(run.MouseGrid);
    run.MouseGrid = PointGrid();
    const Findings scanned = Look(run, m, heading, width, depth, spot);
    run.MouseGrid = std::move(grid);
    ASSERT_TRUE(gridded == scanned) << "mouse " << i;
    run.MouseGrid.Settle(i, m.Position);
    seen += !scanned.seen.empty();
    close += scanned.close != nullptr;
    crying += scanned.crying != nullptr;
    occupied += scanned.occupied;
  }
  // Each kind of finding occurs, so the comparison covers it.
  EXPECT_GT(seen, 100);
  EXPECT_GT(close, 5);
  EXPECT_GT(crying, 5);
  EXPECT_GT(occupied, 3);
}

TEST(MiceNearTest, WithoutAGridEveryMouseIsVisitedInListOrder) {
  test::TestRun t;
  for (TPoint p : {TPoint{10, 10}, TPoint{390, 290}, TPoint{12, 10}})
    t.AddMaus(p);
  std::vector<TMaus*> visited;
  FindMouseNear(t.run, {10, 10}, 5, [&](TMaus* o) {
    visited.push_back(o);
    return false;
  });
  ASSERT_EQ(visited.size(), t.run.Mice.size());
  for (std::size_t i = 0; i < visited.size(); ++i)
    EXPECT_EQ(visited[i], t.run.Mice[i].get());
}

TEST(MiceNearTest, TheGridLeavesOutFarMiceButNotTheMovingOne) {
  test::TestRun t;
  for (TPoint p : {TPoint{10, 10}, TPoint{390, 290}, TPoint{12, 10}, TPoint{200, 150}})
    t.AddMaus(p);
  std::vector<TPoint> places;
  for (const auto& m : t.run.Mice)
    places.push_back(m->Position);
  t.run.MouseGrid.Build(places, 400, 300, 64);
  t.run.MouseGrid.Unsettle(3);  // mouse 3 is on its way somewhere
  std::vector<TMaus*> visited;
  TMaus* stop = FindMouseNear(t.run, {10, 10}, 5, [&](TMaus* o) {
    visited.push_back(o);
    return o == t.run.Mice[3].get();
  });
  EXPECT_EQ(visited,
            (std::vector<TMaus*>{t.run.Mice[0].get(), t.run.Mice[2].get(), t.run.Mice[3].get()}));
  EXPECT_EQ(stop, t.run.Mice[3].get());
}

// Mice 0..4 in the list; the grid is active as during a pass.
class RelatedTest : public ::testing::Test {
 protected:
  RelatedTest() {
    std::vector<TPoint> places;
    for (std::uint32_t i = 0; i < 5; ++i) {
      TMaus& m = t.AddMaus({static_cast<std::int32_t>(10 + 50 * i), 10});
      m.PassIndex = i;
      places.push_back(m.Position);
    }
    t.run.MouseGrid.Build(places, 400, 300, 64);
  }
  TMaus& Mouse(std::size_t i) { return *t.run.Mice[i]; }
  // A relation of value v: friendship when positive, enmity when negative.
  void Relate(TMaus& m, TMaus* other, double v) {
    m.Relations.push_back(
        TFrinEn{other ? other->ID : 0, HandleOf(other), std::max(v, 0.0), std::min(v, 0.0)});
  }
  test::TestRun t;
  std::array<TMaus*, 8> out{};
};

TEST_F(RelatedTest, RelationsGiveEachNamedMouseOnceInListOrder) {
  TMaus& m = Mouse(2);
  Relate(m, &Mouse(4), 0.5);
  Relate(m, &Mouse(1), 0.2);
  Relate(m, nullptr, 0.9);  // the other mouse died: names no one
  Relate(m, &Mouse(4), 0.1);
  Relate(m, &Mouse(0), 0.3);
  ASSERT_EQ(RelatedInListOrder(t.run, m, out), 3u);
  EXPECT_EQ(out[0], &Mouse(0));
  EXPECT_EQ(out[1], &Mouse(1));
  EXPECT_EQ(out[2], &Mouse(4));
}

TEST_F(RelatedTest, WithoutAPassOrWithAStaleIndexTheListOrderIsUnknown) {
  TMaus& m = Mouse(2);
  Relate(m, &Mouse(3), 0.5);
  Mouse(3).PassIndex = 1;  // from an earlier pass: the list has changed since
  EXPECT_EQ(RelatedInListOrder(t.run, m, out), SIZE_MAX);
  Mouse(3).PassIndex = 3;
  EXPECT_EQ(RelatedInListOrder(t.run, m, out), 1u);
  t.run.MouseGrid.Clear();  // between passes
  EXPECT_EQ(RelatedInListOrder(t.run, m, out), SIZE_MAX);
}

TEST_F(RelatedTest, MoreRelationsThanRoomLeaveTheOrderUnknown) {
  TMaus& m = Mouse(0);
  for (int k = 0; k < 9; ++k)
    Relate(m, &Mouse(1 + k % 4), 0.5);
  EXPECT_EQ(RelatedInListOrder(t.run, m, out), SIZE_MAX);  // 9 entries, room for 8
}

// Mouse 2 hears the cries of two friends; the later one in the list is nearer
// and related first, yet the first in list order that passes the draw is heard.
TEST_F(RelatedTest, TheCryHeardIsTheFirstInListOrderThatPassesTheDraw) {
  TMaus& m = Mouse(2);
  m.Params[param::SightWidth] = 100;  // hears within 200
  m.Inhib = 0;                        // every draw above 0 passes
  Mouse(0).HelpCry = 2;               // 100 away
  Mouse(3).HelpCry = 1;               // 50 away
  Mouse(1).HelpCry = 1;               // 50 away, but an enemy
  Relate(m, &Mouse(3), 0.5);
  Relate(m, &Mouse(1), -0.5);
  Relate(m, &Mouse(0), 0.5);
  t.run.random.SetSeed(9);
  EXPECT_EQ(HeardHelpCry(t.run, m), &Mouse(0));
  Random expected(9);
  expected.Uniform();  // one draw: for mouse 0
  EXPECT_EQ(t.run.random.Seed(), expected.Seed());
}

}  // namespace
}  // namespace murinex
