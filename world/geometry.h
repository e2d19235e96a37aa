#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace murinex {

// Exact wide integer for areas and squared distances of 32-bit coordinates.
__extension__ using Int128 = __int128;

// A point in world units: x to the right, y downwards. (-1, -1) means no point.
struct TPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

inline constexpr TPoint NoPoint{-1, -1};

using TPolygon = std::vector<TPoint>;

// Rectangle with inclusive bounds.
struct TRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

inline constexpr double Pi = 3.14159265358979323846;
inline constexpr double TwoPi = 2.0 * Pi;
// Stands for "no direction".
inline constexpr double NoDirection = 3.0 * Pi;

// Rounds to the nearest integer, halves to even.
std::int32_t RoundHalfEven(double value);

// (round(p.x + cos a * d), round(p.y - sin a * d)): angles count counter-clockwise
// on the screen, whose y axis points down.
TPoint PolarOffset(TPoint p, double angle, double distance);
// Angle from p to q in (0, 2*pi]; due right is 2*pi, q = p gives 3*pi/2.
double Direction(TPoint p, TPoint q);
inline double Distance(TPoint p, TPoint q) {
  if (p == q) return 0;
  const std::int64_t dx = static_cast<std::int64_t>(q.x) - p.x;
  const std::int64_t dy = static_cast<std::int64_t>(q.y) - p.y;
  // The squares are summed exactly: in 64 bits while they fit, else wider.
  constexpr std::int64_t Small = std::int64_t{1} << 30;
  if (dx < Small && dx > -Small && dy < Small && dy > -Small)
    return std::sqrt(static_cast<double>(dy * dy + dx * dx));
  const Int128 wx = dx, wy = dy;
  return std::sqrt(static_cast<double>(wy * wy + wx * wx));
}
double NormalizeAngle(double a);
// Unsigned difference of two angles, in [0, pi].
double AngleDiff(double a, double b);
double MinReal(double a, double b);
double MaxReal(double a, double b);
// Whether angle c lies in the smaller arc between a and b.
bool InSector(double a, double b, double c);
bool InRect(TPoint p, const TRect& r);

// The test AngleDiff(Direction(p, q), centre) <= half for many points at once,
// with the same answer. A point clearly inside or outside is decided from the
// cosine of its angle to the centre, without an arc tangent; only points within
// a hair (1e-9 of the distance) of the window's edge take the exact path.
class AngleWindow {
 public:
  AngleWindow(double centre, double half);
  // The window InSector(a, b, c) tests c against.
  static AngleWindow Sector(double a, double b);
  bool Contains(TPoint p, TPoint q) const;

 private:
  bool Exact(TPoint p, TPoint q) const { return AngleDiff(Direction(p, q), centre_) <= half_; }

  double centre_, half_;
  double cosCentre_ = 0, sinCentre_ = 0, cosHalf_ = 0;
  // Whether the cosine decides: the half width lies strictly between 0 and pi,
  // and the centre where AngleDiff measures the shorter way round.
  bool fast_ = false;
};
double PolygonArea(const TPolygon& polygon);
// Integer centroid; the polygon must have a non-zero area. NoPoint where the
// centroid is no 32-bit point (only a self-crossing outline does that).
TPoint PolygonCentre(const TPolygon& polygon);
// The centroid, or none where it lies more than `limit` away from 0 in x or y.
std::optional<TPoint> CheckedPolygonCentre(const TPolygon& polygon, double limit);

}  // namespace murinex
