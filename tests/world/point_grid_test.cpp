#include "world/point_grid.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <span>

namespace murinex {
namespace {

// What a scan over every point in list order finds.
std::vector<std::uint32_t> Scan(const std::vector<TPoint>& points, TPoint c, std::int64_t reach,
                                std::uint32_t unsettled) {
  std::vector<std::uint32_t> found;
  for (std::uint32_t i = 0; i < points.size(); ++i) {
    const std::int64_t dx = std::int64_t{points[i].x} - c.x, dy = std::int64_t{points[i].y} - c.y;
    if (i == unsettled || (dx >= -reach && dx <= reach && dy >= -reach && dy <= reach))
      found.push_back(i);
  }
  return found;
}

TEST(PointGridTest, ByHand) {
  PointGrid grid;
  EXPECT_FALSE(grid.Active());
  // Cells of 10 over 100 x 100; point 2 stands outside the area.
  grid.Build({{5, 5}, {25, 5}, {-40, 300}, {14, 14}}, 100, 100, 10);
  EXPECT_TRUE(grid.Active());
  EXPECT_EQ(grid.Size(), 4u);
  std::vector<std::uint32_t> out;
  grid.Near({10, 10}, 5, out);
  EXPECT_EQ(out, (std::vector<std::uint32_t>{0, 3}));
  grid.Near({10, 10}, 15, out);
  EXPECT_EQ(out, (std::vector<std::uint32_t>{0, 1, 3}));
  grid.Near({-40, 290}, 10, out);
  EXPECT_EQ(out, (std::vector<std::uint32_t>{2}));
  // Point 1 walks off; while unsettled it is returned everywhere.
  grid.Unsettle(1);
  grid.Near({90, 90}, 1, out);
  EXPECT_EQ(out, (std::vector<std::uint32_t>{1}));
  grid.Settle(1, {90, 90});
  grid.Near({10, 10}, 15, out);
  EXPECT_EQ(out, (std::vector<std::uint32_t>{0, 3}));
  grid.Near({95, 95}, 5, out);
  EXPECT_EQ(out, (std::vector<std::uint32_t>{1}));
  // A buffer too small for the finding: the count tells how large it must be.
  std::array<std::uint32_t, 1> small{};
  EXPECT_EQ(grid.Near({10, 10}, 15, std::span<std::uint32_t>(small)), 2u);
  std::array<std::uint32_t, 4> room{};
  ASSERT_EQ(grid.Near({10, 10}, 15, std::span<std::uint32_t>(room)), 2u);
  EXPECT_EQ(room[0], 0u);
  EXPECT_EQ(room[1], 3u);
  // 10 x 10 cells: a square of 2 x 2 cells is small, one of 9 x 9 cells spans half.
  EXPECT_FALSE(grid.SpansHalf({50, 50}, 5));
  EXPECT_TRUE(grid.SpansHalf({50, 50}, 40));
  grid.Clear();
  EXPECT_FALSE(grid.Active());
}

// Random points, some outside the area, moved one at a time as the mice of a
// pass are: every query gives exactly the scan's indices in list order.
TEST(PointGridTest, AgreesWithAScanWhilePointsMove) {
  std::mt19937 gen(3);
  std::uniform_int_distribution<int> x(-100, 1100), y(-100, 800), reach(0, 300), step(-40, 40);
  for (int round = 0; round < 20; ++round) {
    std::vector<TPoint> points(300);
    for (TPoint& p : points)
      p = {x(gen), y(gen)};
    PointGrid grid;
    grid.Build(points, 1000, 700, 16 + round * 8);
    std::vector<std::uint32_t> out;
    for (std::uint32_t moving = 0; moving < points.size(); ++moving) {
      grid.Unsettle(moving);
      // The moving point wanders; the grid still has its old place.
      points[moving].x += step(gen);
      points[moving].y += step(gen);
      const TPoint c{x(gen), y(gen)};
      const int r = reach(gen);
      grid.Near(c, r, out);
      ASSERT_EQ(out, Scan(points, c, r, moving)) << "round " << round << " point " << moving;
      grid.Settle(moving, points[moving]);
      grid.Near(c, r, out);
      ASSERT_EQ(out, Scan(points, c, r, PointGrid::None));
    }
  }
}

// 200 points on a diagonal, cells of 10: a square query finds a run of them,
// and points moved across cells sit at the ends of their new cells' lists.
TEST(PointGridTest, ManyFoundComeInListOrderQueryAfterQuery) {
  std::vector<TPoint> points;
  for (std::int32_t i = 0; i < 200; ++i)
    points.push_back({5 * i, 5 * i});
  PointGrid grid;
  grid.Build(points, 1000, 1000, 10);
  // Point 150 moves next to point 10, point 3 next to point 190.
  grid.Settle(150, {52, 52});
  grid.Settle(3, {952, 952});
  std::vector<std::uint32_t> out, expected;
  grid.Near({250, 250}, 250, out);  // x and y from 0 to 500: points 0..100, not 3, plus 150
  for (std::uint32_t i = 0; i <= 100; ++i)
    if (i != 3) expected.push_back(i);
  expected.push_back(150);
  EXPECT_EQ(out, expected);
  grid.Near({750, 750}, 250, out);  // 500..1000: points 100..199 without 150, plus 3
  expected = {3};
  for (std::uint32_t i = 100; i < 200; ++i)
    if (i != 150) expected.push_back(i);
  EXPECT_EQ(out, expected);
  // A moving point with an index beyond the recorded ones is still returned, last.
  grid.Unsettle(500);
  grid.Near({750, 750}, 250, out);
  expected.push_back(500);
  EXPECT_EQ(out, expected);
}

}  // namespace
}  // namespace murinex
