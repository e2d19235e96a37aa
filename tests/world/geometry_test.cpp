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

}  // namespace
}  // namespace murinex
