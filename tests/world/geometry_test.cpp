#include "world/geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "world/random.h"

namespace murinex {
namespace {

TEST(GeometryTest, RoundingHalvesToEven) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(102.5), 102);
  EXPECT_EQ(RoundHalfEven(2.6), 3);
}

TEST(GeometryTest, DirectionInAllItsCases) {
  const TPoint p{10, 10};
  EXPECT_DOUBLE_EQ(Direction(p, {20, 10}), TwoPi);       // due right
  EXPECT_DOUBLE_EQ(Direction(p, {0, 10}), Pi);           // due left
  EXPECT_DOUBLE_EQ(Direction(p, {10, 0}), Pi / 2);       // straight above
  EXPECT_DOUBLE_EQ(Direction(p, {10, 20}), 3 * Pi / 2);  // straight below
  EXPECT_DOUBLE_EQ(Direction(p, p), 3 * Pi / 2);
  EXPECT_DOUBLE_EQ(Direction(p, {20, 0}), Pi / 4);       // above and right
  EXPECT_DOUBLE_EQ(Direction(p, {0, 0}), 3 * Pi / 4);    // above and left
  EXPECT_DOUBLE_EQ(Direction(p, {0, 20}), 5 * Pi / 4);   // below and left
  EXPECT_DOUBLE_EQ(Direction(p, {20, 20}), 7 * Pi / 4);  // below and right
}

TEST(GeometryTest, DirectionMatchesPolarOffset) {
  // Walking from p in the direction towards q lands on q again.
  const TPoint p{100, 100};
  for (TPoint q : {TPoint{130, 60}, TPoint{40, 70}, TPoint{60, 150}, TPoint{170, 120}}) {
    EXPECT_EQ(PolarOffset(p, Direction(p, q), Distance(p, q)), q);
  }
}

TEST(GeometryTest, PolarOffsetPointsUpAtHalfPi) {
  EXPECT_EQ(PolarOffset({0, 0}, Pi / 2, 10), (TPoint{0, -10}));
  EXPECT_EQ(PolarOffset({0, 0}, 0, 10), (TPoint{10, 0}));
  EXPECT_EQ(PolarOffset({5, 5}, Pi, 2.5), (TPoint{2, 5}));  // 2.5 rounds to 2
}

TEST(GeometryTest, Distance) {
  EXPECT_EQ(Distance({0, 0}, {3, 4}), 5.0);
  EXPECT_EQ(Distance({7, 7}, {7, 7}), 0.0);
  // Differences beyond 32 bits are squared without overflow.
  EXPECT_DOUBLE_EQ(Distance({-2000000000, 0}, {2000000000, 0}), 4e9);
}

TEST(GeometryTest, AnglesNormaliseAndDiffer) {
  EXPECT_DOUBLE_EQ(NormalizeAngle(TwoPi + 1), 1);
  EXPECT_DOUBLE_EQ(NormalizeAngle(-1), TwoPi - 1);
  EXPECT_DOUBLE_EQ(NormalizeAngle(TwoPi), TwoPi);
  EXPECT_NEAR(AngleDiff(0.1, TwoPi - 0.1), 0.2, 1e-12);
  EXPECT_DOUBLE_EQ(AngleDiff(1, 2), 1);
  EXPECT_DOUBLE_EQ(AngleDiff(0, Pi), Pi);
}

TEST(GeometryTest, MinMaxRealPreferTheFirstOnTies) {
  EXPECT_EQ(MinReal(1, 2), 1);
  EXPECT_EQ(MinReal(2, 1), 1);
  EXPECT_EQ(MaxReal(1, 2), 2);
  EXPECT_EQ(MaxReal(2, 1), 2);
}

TEST(GeometryTest, InSectorAcrossZero) {
  EXPECT_TRUE(InSector(0.1, TwoPi - 0.1, 0));  // the arc wraps through 0
  EXPECT_FALSE(InSector(0.1, TwoPi - 0.1, Pi));
  EXPECT_TRUE(InSector(1, 2, 1.5));
  EXPECT_FALSE(InSector(1, 2, 2.5));
  EXPECT_TRUE(InSector(2, 1, 1));  // bounds included
}

TEST(GeometryTest, InRectIncludesItsBounds) {
  const TRect r{0, 0, 10, 5};
  EXPECT_TRUE(InRect({0, 0}, r));
  EXPECT_TRUE(InRect({10, 5}, r));
  EXPECT_FALSE(InRect({11, 5}, r));
  EXPECT_FALSE(InRect({5, -1}, r));
}

TEST(GeometryTest, SquareAreaAndCentreInBothOrientations) {
  const TPolygon clockwise{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  const TPolygon counter{{0, 0}, {0, 10}, {10, 10}, {10, 0}};
  EXPECT_EQ(PolygonArea(clockwise), 100);
  EXPECT_EQ(PolygonArea(counter), 100);
  EXPECT_EQ(PolygonCentre(clockwise), (TPoint{5, 5}));
  EXPECT_EQ(PolygonCentre(counter), (TPoint{5, 5}));
}

TEST(GeometryTest, TriangleCentre) {
  // Centroid of (0,0), (30,0), (0,30) is (10, 10); of (0,0),(10,0),(0,5) is (3.33, 1.67).
  EXPECT_EQ(PolygonCentre({{0, 0}, {30, 0}, {0, 30}}), (TPoint{10, 10}));
  EXPECT_EQ(PolygonCentre({{0, 0}, {10, 0}, {0, 5}}), (TPoint{3, 2}));
  EXPECT_EQ(PolygonArea({{0, 0}, {10, 0}, {0, 5}}), 25);
}

TEST(GeometryTest, LargeCoordinatesDoNotOverflow) {
  const int big = 2000000000;
  const TPolygon square{{big - 100, big - 100}, {big, big - 100}, {big, big}, {big - 100, big}};
  EXPECT_EQ(PolygonArea(square), 10000);
  EXPECT_EQ(PolygonCentre(square), (TPoint{big - 50, big - 50}));
}

// The window answers exactly as the arc-tangent test it stands for: for points
// all around, on the axes, on the diagonals and right on the window's edges.
TEST(AngleWindowTest, AnswersAsTheAngleDifferenceDoes) {
  const TPoint p{500, 400};
  const double centres[] = {-Pi, -0.5, 0, Pi / 4, Pi / 2, 3, Pi, 5.5, TwoPi, 7, 3 * Pi, 10};
  const double halves[] = {-0.1, 0, 1e-12, Pi / 4, 1, Pi / 2, 2, Pi - 1e-12, Pi, 4};
  int decided = 0, insideCount = 0;
  for (double centre : centres) {
    for (double half : halves) {
      const AngleWindow window(centre, half);
      for (int dx = -60; dx <= 60; dx += 3) {
        for (int dy = -60; dy <= 60; dy += 4) {
          const TPoint q{p.x + dx, p.y + dy};
          const bool inside = AngleDiff(Direction(p, q), centre) <= half;
          ASSERT_EQ(window.Contains(p, q), inside)
              << "centre " << centre << " half " << half << " offset " << dx << "," << dy;
          ++decided;
          insideCount += inside;
        }
      }
    }
  }
  // Both answers occur often: the sweep is no trivial agreement.
  EXPECT_GT(insideCount, decided / 5);
  EXPECT_LT(insideCount, decided * 4 / 5);
}

TEST(AngleWindowTest, PointsOnTheEdgeOfAQuarterWindow) {
  // Centre due up (pi/2 on a screen whose y axis points down), a quarter each side.
  const AngleWindow up(Pi / 2, Pi / 4);
  const TPoint p{0, 0};
  EXPECT_TRUE(up.Contains(p, {0, -10}));    // straight up
  EXPECT_TRUE(up.Contains(p, {9, -10}));    // just inside to the right
  EXPECT_FALSE(up.Contains(p, {11, -10}));  // just outside to the right
  EXPECT_FALSE(up.Contains(p, {0, 10}));    // straight down
  // Exactly on the diagonals the test is decided by the arc tangent's rounding.
  EXPECT_EQ(up.Contains(p, {10, -10}), AngleDiff(Direction(p, {10, -10}), Pi / 2) <= Pi / 4);
  EXPECT_EQ(up.Contains(p, {-10, -10}), AngleDiff(Direction(p, {-10, -10}), Pi / 2) <= Pi / 4);
  // The point itself has the direction 3 pi / 2, straight down.
  EXPECT_FALSE(up.Contains(p, p));
  EXPECT_TRUE(AngleWindow(3 * Pi / 2, 0.1).Contains(p, p));
}

TEST(AngleWindowTest, SectorAnswersAsInSector) {
  const TPoint p{-20, 35};
  const double ends[] = {0.1, 1, Pi / 2, 2.5, Pi, 4, 3 * Pi / 2, 5.9, TwoPi};
  for (double a : ends) {
    for (double b : ends) {
      const AngleWindow sector = AngleWindow::Sector(a, b);
      for (int dx = -30; dx <= 30; dx += 5)
        for (int dy = -30; dy <= 30; dy += 6) {
          const TPoint q{p.x + dx, p.y + dy};
          ASSERT_EQ(sector.Contains(p, q), InSector(a, b, Direction(p, q)))
              << "a " << a << " b " << b << " offset " << dx << "," << dy;
        }
    }
  }
}

}  // namespace
}  // namespace murinex
