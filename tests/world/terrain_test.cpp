#include "world/terrain.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/common/test_run.h"
#include "world/error.h"
#include "world/inside.h"

namespace murinex {
namespace {

using test::TempDir;
using test::WriteText;
using ::testing::HasSubstr;

std::unique_ptr<TWorld> LoadText(const std::string& text) {
  TempDir dir;
  WriteText(dir / "world.txt", text);
  return TWorld::Load((dir / "world.txt").string(), "data/world.txt");
}

std::string LoadError(const std::string& text) {
  try {
    LoadText(text);
  } catch (const InputError& e) {
    return e.what();
  }
  return "no error";
}

const char* const TwoPatches = R"(A test world
400 300  width and height
  Ground
1   sand
0 0.5 0.0 0.0
0 0 399 0 399 299 0 299

Meadow
2
2 10 20
30 40 0.5 0.01 0.1   level, growth, decay
100 100
140 100
140 120
100 120
)";

TEST(WorldFileTest, ReadsSizeAndPatches) {
  auto world = LoadText(TwoPatches);
  EXPECT_EQ(world->WorldWidth, 400);
  EXPECT_EQ(world->WorldHeight, 300);
  ASSERT_EQ(world->TerraList.size(), 2u);
  EXPECT_EQ(world->FirstTerra, world->TerraList[0].get());
  const TTerra& ground = *world->TerraList[0];
  EXPECT_EQ(ground.Name, "Ground");  // leading blanks dropped
  EXPECT_EQ(ground.Kind, KindSand);
  EXPECT_TRUE(ground.Seasons.empty());
  const TTerra& meadow = *world->TerraList[1];
  EXPECT_EQ(meadow.Kind, KindFood);
  ASSERT_EQ(meadow.Seasons.size(), 2u);
  EXPECT_EQ(meadow.Seasons[1].FirstDay, 30);
  EXPECT_EQ(meadow.Seasons[1].EndDay, 40);
  EXPECT_EQ(meadow.Level, 0.5);
  EXPECT_EQ(meadow.Growth, 0.01);
  EXPECT_EQ(meadow.Decay, 0.1);
  EXPECT_EQ(meadow.Area, 800);
  EXPECT_EQ(meadow.Amount, 400);
  EXPECT_EQ(meadow.Centre, (TPoint{120, 110}));
  EXPECT_EQ(meadow.Colour, 0u);  // until the first tick
}

TEST(WorldFileTest, BothPointLayoutsGiveOnePolygon) {
  auto world = LoadText(TwoPatches);
  const std::string oneLine = R"(t
400 300
Meadow
2
0 0.5 0.01 0.1
100 100 140 100 140 120 100 120
)";
  auto other = LoadText(oneLine);
  EXPECT_EQ(other->TerraList[0]->Points, world->TerraList[1]->Points);
}

TEST(WorldFileTest, CrLfAndTrailingBlankLines) {
  std::string text = TwoPatches;
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  auto world = LoadText(crlf + "\r\n\r\n   \r\n");
  EXPECT_EQ(world->TerraList.size(), 2u);
  EXPECT_EQ(world->TerraList[1]->Points.size(), 4u);
}

TEST(WorldFileTest, ErrorsNameFileAndLine) {
  EXPECT_THAT(
      LoadError("t\n400 300\nP\n1\nx3 0.5 0 0\n0 0 1 0 1 1\n"),
      HasSubstr(
          "data/world.txt:5: expected an integer (season count of patch \"P\"), found \"x3\""));
  EXPECT_THAT(LoadError("t\n400 300\nP\n1\n0 0.5 0\n"),
              HasSubstr("expected a real number (Decay of patch \"P\"), found end of file"));
  EXPECT_THAT(LoadError("t\n400 300\nP\n7\n0 0.5 0 0\n0 0 1 0 1 1\n"),
              HasSubstr("data/world.txt:4: patch \"P\": kind must be 1 to 6, found 7"));
  EXPECT_THAT(LoadError("t\n400 300\nP\n1\n0 0.5 0 0\n0 0 1 0\n"),
              HasSubstr("data/world.txt:3: patch \"P\" needs at least three points, found 2"));
  EXPECT_THAT(LoadError("t\n400 300\nP\n1\n0 0.5 0 0\n0 0 5 5 10 10\n"),
              HasSubstr("data/world.txt:3: patch \"P\" has zero area"));
  EXPECT_THAT(LoadError("t\n400 300\n\n\n"), HasSubstr("the world has no patch"));
  EXPECT_THAT(LoadError("t\n-4 300\nP\n1\n0 0.5 0 0\n0 0 1 0 1 1\n"),
              HasSubstr("data/world.txt:2: world width must lie between 1 and 268435456"));
  EXPECT_THAT(LoadError("t\n400 300\nP\n1\n1 5\n"), HasSubstr("end day of a season"));
}

TEST(WorldFileTest, KindUsesTheLowByte) {
  auto world = LoadText("t\n400 300\nP\n258\n0 0.5 0 0\n0 0 10 0 10 10\n");  // 258 = 256 + 2
  EXPECT_EQ(world->TerraList[0]->Kind, KindFood);
}

TEST(WorldFileTest, MissingFile) {
  EXPECT_THROW(TWorld::Load("/nonexistent/world.txt", "data/world.txt"), InputError);
}

TTerra FoodPatch(double level, double growth, double decay, std::vector<TSeason> seasons) {
  TTerra t;
  t.Kind = KindFood;
  t.Area = 100;
  t.Level = level;
  t.Amount = t.Area * level;
  t.Growth = growth;
  t.Decay = decay;
  t.Seasons = std::move(seasons);
  return t;
}

TEST(SeasonTest, EmptySeasonNeverApplies) {
  TTerra t = FoodPatch(0.5, 0.1, 0.5, {{10, 10}});
  t.UpdateSeason(10);
  EXPECT_EQ(t.Level, 0.25);  // decayed
}

TEST(SeasonTest, AllYearSeason) {
  TTerra t = FoodPatch(0.5, 0.01, 0.5, {{0, 365}});
  t.UpdateSeason(0);
  t.UpdateSeason(364);
  EXPECT_DOUBLE_EQ(t.Level, 0.52);
}

TEST(SeasonTest, EndDayIsExclusive) {
  TTerra t = FoodPatch(0.5, 0.1, 0.5, {{0, 10}});
  t.UpdateSeason(10);
  EXPECT_EQ(t.Level, 0.25);
}

TEST(SeasonTest, OverlappingSeasonsGrowOnce) {
  TTerra t = FoodPatch(0.5, 0.1, 0.0, {{0, 100}, {50, 150}});
  t.UpdateSeason(60);
  EXPECT_DOUBLE_EQ(t.Level, 0.6);
}

TEST(SeasonTest, GrowthCappedAtExactlyOne) {
  TTerra t = FoodPatch(0.9, 0.3, 0.0, {{0, 365}});
  t.UpdateSeason(1);
  EXPECT_EQ(t.Level, 1.0);
  EXPECT_EQ(t.Amount, t.Area);
}

TEST(SeasonTest, DecayLeavesAmountUnchanged) {
  TTerra t = FoodPatch(0.5, 0.1, 0.1, {});
  t.Amount = 37;
  t.UpdateSeason(0);
  EXPECT_DOUBLE_EQ(t.Level, 0.45);
  EXPECT_EQ(t.Amount, 37);
  t.UpdateSeason(1);
  EXPECT_DOUBLE_EQ(t.Level, 0.405);
  EXPECT_EQ(t.Amount, 37);
}

TEST(SeasonTest, ConsumptionMadeGoodInsideASeason) {
  TTerra t = FoodPatch(0.5, 0.0, 0.1, {{0, 100}});
  t.Amount -= 5;  // a mouse took 5 units
  t.UpdateSeason(50);
  EXPECT_EQ(t.Amount, 50);
  t.Amount -= 5;
  t.UpdateSeason(200);  // outside: stays missing
  EXPECT_EQ(t.Amount, 45);
}

TEST(SeasonTest, ColourRoundsHalfToEven) {
  // Food at level 0.5: G = 50 + round(205 * 0.5) = 50 + 102 (102.5 to even).
  TTerra t = FoodPatch(0.5, 0.0, 0.0, {{0, 365}});
  t.UpdateSeason(0);
  EXPECT_EQ(t.Colour, 152u * 256);
  t.Kind = KindWater;  // (5,5,50) .. (125,125,255): R = 5 + 60, B = 50 + round(102.5)
  t.Recolour();
  EXPECT_EQ(t.Colour, 65u + 65u * 256 + 152u * 65536);
}

TEST(SeasonTest, WorldUsesTheDayOfTheTick) {
  std::vector<std::unique_ptr<TTerra>> patches;
  patches.push_back(test::RectPatch(KindFood, 0, 0, 10, 10, 0.5));
  patches[0]->Growth = 0.1;
  patches[0]->Decay = 0.5;
  patches[0]->Seasons = {{1, 2}};
  auto world = test::MakeWorld(20, 20, std::move(patches));
  world->UpdateSeasons(366);  // day 1
  EXPECT_DOUBLE_EQ(world->TerraList[0]->Level, 0.6);
  world->UpdateSeasons(367);  // day 2
  EXPECT_DOUBLE_EQ(world->TerraList[0]->Level, 0.3);
}

}  // namespace
}  // namespace murinex

namespace murinex {
namespace {

// Patch centres near a point: exactly the patches a scan of the list finds, in list order.
TEST(WorldTest, CentresNearAgreeWithAScan) {
  std::vector<std::unique_ptr<TTerra>> patches;
  patches.push_back(test::RectPatch(KindSand, 0, 0, 999, 699));
  for (int y = 0; y + 40 < 700; y += 47)
    for (int x = 0; x + 30 < 1000; x += 61)
      patches.push_back(test::RectPatch(KindFood, x, y, x + 30, y + 40));
  auto world = test::MakeWorld(1000, 700, std::move(patches));
  std::vector<std::uint32_t> out;
  for (int y = -50; y < 760; y += 37) {
    for (int x = -50; x < 1060; x += 53) {
      const std::int64_t reach = (x + y) % 250;
      world->CentresNear({x, y}, reach, out);
      std::vector<std::uint32_t> scan;
      for (std::uint32_t i = 0; i < world->TerraList.size(); ++i) {
        const TPoint c = world->TerraList[i]->Centre;
        if (std::abs(c.x - x) <= reach && std::abs(c.y - y) <= reach) scan.push_back(i);
      }
      ASSERT_EQ(out, scan) << x << "," << y << " reach " << reach;
    }
  }
  world->CentresNear({15, 20}, 0, out);  // the centre of the first small patch
  EXPECT_EQ(out, (std::vector<std::uint32_t>{1}));
}

}  // namespace
}  // namespace murinex
