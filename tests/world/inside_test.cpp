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

}  // namespace
}  // namespace murinex
