#include "world/inside.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/common/test_run.h"
#include "world/terrain.h"

namespace murinex {
namespace {

using test::MakeWorld;
using test::RectPatch;

std::unique_ptr<TWorld> Patches(int width, int height, std::vector<TPolygon> polygons) {
  std::vector<std::unique_ptr<TTerra>> patches;
  for (auto& polygon : polygons) {
    auto t = std::make_unique<TTerra>();
    t->Kind = KindSand;
    t->Points = std::move(polygon);
    patches.push_back(std::move(t));
  }
  return MakeWorld(width, height, std::move(patches));
}

TEST(InsideTest, RasterBounds) {
  auto world = Patches(50, 40, {{{0, 0}, {60, 0}, {60, 50}, {0, 50}}});
  std::uint32_t index = 99;
  EXPECT_FALSE(world->Inside().PatchIndexAt(50, 0, index));
  EXPECT_TRUE(world->Inside().PatchIndexAt(49, 0, index));
  EXPECT_EQ(index, 0u);
  EXPECT_FALSE(world->Inside().PatchIndexAt(-1, 5, index));
  EXPECT_FALSE(world->Inside().PatchIndexAt(5, 40, index));
  EXPECT_TRUE(world->Inside().PatchIndexAt(5, 39, index));
}

TEST(InsideTest, LaterPatchesWin) {
  std::vector<TPolygon> polygons;
  for (int i = 0; i < 6; ++i)
    polygons.push_back({{0, 0}, {5, 0}, {5, 5}, {0, 5}});
  polygons[2] = {{0, 0}, {30, 0}, {30, 30}, {0, 30}};
  polygons[5] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
  auto world = Patches(40, 40, polygons);
  EXPECT_EQ(world->Inside().TerraAt(15, 15), world->TerraList[5].get());
  EXPECT_EQ(world->Inside().TerraAt(25, 25), world->TerraList[2].get());
  EXPECT_EQ(world->Inside().TerraAt(35, 35), nullptr);
}

TEST(InsideTest, OutlineIsPartOfThePatch) {
  auto world = Patches(40, 40, {{{10, 10}, {20, 10}, {20, 20}, {10, 20}}});
  const TInside& in = world->Inside();
  EXPECT_NE(in.TerraAt(10, 10), nullptr);
  EXPECT_NE(in.TerraAt(20, 20), nullptr);  // the half-open rule alone would miss this corner
  EXPECT_NE(in.TerraAt(20, 15), nullptr);
  EXPECT_NE(in.TerraAt(15, 20), nullptr);
  EXPECT_EQ(in.TerraAt(21, 15), nullptr);
  EXPECT_EQ(in.TerraAt(9, 15), nullptr);
}

TEST(InsideTest, TerraOrFirstFallsBackToTheFirstPatch) {
  auto world = Patches(40, 40, {{{0, 0}, {5, 0}, {5, 5}}, {{10, 10}, {20, 10}, {20, 20}}});
  EXPECT_EQ(world->TerraOrFirst({30, 30}), world->FirstTerra);
  EXPECT_EQ(world->TerraOrFirst({19, 12}), world->TerraList[1].get());
}

TPolygon RandomPolygon(std::mt19937& gen, int size) {
  std::uniform_int_distribution<int> corners(3, 9);
  std::uniform_int_distribution<int> coordinate(-10, size + 10);
  TPolygon polygon(static_cast<std::size_t>(corners(gen)));
  for (TPoint& p : polygon)
    p = {coordinate(gen), coordinate(gen)};
  return polygon;
}

// The scanline fill must agree pixel for pixel with the plain point test,
// for any polygon: concave, self-intersecting, partly outside the raster.
TEST(InsideTest, FillAgreesWithPointInPolygon) {
  std::mt19937 gen(42);
  const int size = 60;
  for (int round = 0; round < 200; ++round) {
    const TPolygon polygon = RandomPolygon(gen, size);
    auto world = Patches(size, size, {polygon});
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const bool inside = PointInPolygon(polygon, {x, y});
        ASSERT_EQ(world->Inside().TerraAt(x, y) != nullptr, inside)
            << "round " << round << " at (" << x << ", " << y << ")";
      }
    }
  }
}

TEST(InsideTest, PointInPolygonByHand) {
  // A concave "U": the notch between the arms is outside.
  const TPolygon u{{0, 0}, {10, 0}, {10, 10}, {7, 10}, {7, 3}, {3, 3}, {3, 10}, {0, 10}};
  EXPECT_TRUE(PointInPolygon(u, {1, 5}));
  EXPECT_FALSE(PointInPolygon(u, {5, 6}));
  EXPECT_TRUE(PointInPolygon(u, {5, 3}));  // on the inner edge
  // A bow tie: both triangles inside, the point where they cross on the edges.
  const TPolygon bow{{0, 0}, {10, 10}, {10, 0}, {0, 10}};
  EXPECT_TRUE(PointInPolygon(bow, {5, 5}));
  EXPECT_TRUE(PointInPolygon(bow, {9, 5}));
  EXPECT_TRUE(PointInPolygon(bow, {2, 5}));
  EXPECT_FALSE(PointInPolygon(bow, {5, 8}));
  EXPECT_FALSE(PointInPolygon(bow, {5, 2}));
}

TEST(InsideTest, PathOnTerrain) {
  // Two islands with a gap between x = 41 and x = 59.
  std::vector<std::unique_ptr<TTerra>> patches;
  patches.push_back(RectPatch(KindSand, 0, 0, 40, 40));
  patches.push_back(RectPatch(KindSand, 60, 0, 100, 40));
  auto world = MakeWorld(120, 50, std::move(patches));
  const TInside& in = world->Inside();
  EXPECT_TRUE(in.PathOnTerrain({5, 5}, {5, 5}, 0.1));
  EXPECT_TRUE(in.PathOnTerrain({5, 20}, {35, 20}, 0.1));
  EXPECT_FALSE(in.PathOnTerrain({5, 20}, {95, 20}, 0.1));
  // With one probe only the start side is never read: 0.001 * 90 < 1 gives one
  // step that arrives at once.
  EXPECT_TRUE(in.PathOnTerrain({5, 20}, {95, 20}, 0.001));
  // The end point is not probed: a walk into the gap from the island.
  EXPECT_TRUE(in.PathOnTerrain({30, 20}, {50, 20}, 0.1));
}

TEST(InsideTest, PathOutsideTheRasterDoesNotCountAsWhite) {
  std::vector<std::unique_ptr<TTerra>> patches;
  patches.push_back(RectPatch(KindSand, 0, 0, 40, 40));
  auto world = MakeWorld(50, 50, std::move(patches));
  EXPECT_TRUE(world->Inside().PathOnTerrain({10, 10}, {10, -60}, 0.1));
}

// A world of scattered rectangles over a White ground with one White pixel cut
// into an otherwise full rectangle, so walks cross both gaps and single holes.
std::unique_ptr<TWorld> SpeckledWorld(std::mt19937& gen, int width, int height) {
  std::uniform_int_distribution<int> x(0, width - 1), y(0, height - 1), side(5, 60);
  std::vector<TPolygon> polygons;
  for (int i = 0; i < 25; ++i) {
    const int left = x(gen), top = y(gen);
    const int right = left + side(gen), bottom = top + side(gen);
    polygons.push_back({{left, top}, {right, top}, {right, bottom}, {left, bottom}});
  }
  return Patches(width, height, polygons);
}

bool WhiteByPixels(const TInside& in, const TRect& r) {
  for (int y = std::max(r.top, 0); y <= std::min(r.bottom, in.Height() - 1); ++y)
    for (int x = std::max(r.left, 0); x <= std::min(r.right, in.Width() - 1); ++x)
      if (in.Pixel(x, y) == TInside::White) return true;
  return false;
}

TEST(InsideTest, MayHoldWhiteNeverMissesAWhitePixel) {
  std::mt19937 gen(7);
  std::uniform_int_distribution<int> coordinate(-20, 220), extent(0, 70);
  for (int world = 0; world < 20; ++world) {
    auto w = SpeckledWorld(gen, 200, 150);
    const TInside& in = w->Inside();
    for (int i = 0; i < 500; ++i) {
      const int left = coordinate(gen), top = coordinate(gen);
      const TRect r{left, top, left + extent(gen), top + extent(gen)};
      if (WhiteByPixels(in, r)) {
        ASSERT_TRUE(in.MayHoldWhite(r)) << left << "," << top;
      }
    }
  }
}

TEST(InsideTest, MayHoldWhiteIsFalseOnlyWhereTheGroundIsCovered) {
  // One patch covers x 0..99 fully; right of it lies White ground.
  auto world = Patches(200, 100, {{{0, 0}, {99, 0}, {99, 99}, {0, 99}}});
  const TInside& in = world->Inside();
  EXPECT_FALSE(in.MayHoldWhite({0, 0, 95, 99}));  // tiles of 16 px: 0..95 lie on the patch
  EXPECT_TRUE(in.MayHoldWhite({90, 0, 120, 10}));
  EXPECT_FALSE(in.MayHoldWhite({-50, -50, -1, -1}));  // outside the raster: nothing to read
}

// The shortcut must give exactly the walk's answer for any segment and any
// number of probes, also for segments leaving the raster.
TEST(InsideTest, PathOnTerrainAgreesWithTheProbeWalk) {
  std::mt19937 gen(11);
  std::uniform_int_distribution<int> x(-30, 230), y(-30, 180);
  std::uniform_real_distribution<double> probes(0.001, 0.6);
  int blocked = 0, free = 0;
  for (int world = 0; world < 20; ++world) {
    auto w = SpeckledWorld(gen, 200, 150);
    const TInside& in = w->Inside();
    for (int i = 0; i < 2000; ++i) {
      const TPoint from{x(gen), y(gen)}, to{x(gen), y(gen)};
      const double s = probes(gen);
      const bool walked = in.ProbePath(from, to, s);
      ASSERT_EQ(in.PathOnTerrain(from, to, s), walked)
          << from.x << "," << from.y << " -> " << to.x << "," << to.y << " at " << s;
      (walked ? free : blocked) += 1;
    }
  }
  // Both answers occur, so the comparison means something.
  EXPECT_GT(blocked, 1000);
  EXPECT_GT(free, 1000);
}

TEST(InsideTest, PathOnTerrainOnAFullyCoveredWorld) {
  auto world = Patches(100, 100, {{{0, 0}, {99, 0}, {99, 99}, {0, 99}}});
  EXPECT_TRUE(world->Inside().PathOnTerrain({5, 5}, {90, 80}, 0.1));
  EXPECT_TRUE(world->Inside().PathOnTerrain({5, 5}, {500, 500}, 0.1));  // leaves the raster
}

}  // namespace
}  // namespace murinex
