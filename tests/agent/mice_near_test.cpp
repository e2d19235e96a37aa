#include "agent/mice_near.h"

#include <gtest/gtest.h>

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
  for (const auto& m : run.Mice)
    places.push_back(m->Position);
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

}  // namespace
}  // namespace murinex
