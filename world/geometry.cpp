#include "world/geometry.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace murinex {

std::int32_t RoundHalfEven(double value) {
  // nearbyint rounds in the default mode, to nearest with ties to even.
  const double r = std::nearbyint(value);
  // Out of range the conversion would be undefined; such values saturate (no
  // number at all gives the smallest), which is what the hardware's own
  // conversion yields for the lower end.
  if (r >= 2147483647.0) return INT32_MAX;
  if (!(r > -2147483648.0)) return INT32_MIN;
  return static_cast<std::int32_t>(r);
}

TPoint PolarOffset(TPoint p, double angle, double distance) {
  return {RoundHalfEven(p.x + std::cos(angle) * distance),
          RoundHalfEven(p.y - std::sin(angle) * distance)};
}

double Direction(TPoint p, TPoint q) {
  const double dx = static_cast<double>(p.x) - q.x;
  const double dy = static_cast<double>(p.y) - q.y;
  if (dx == 0) return dy > 0 ? Pi / 2 : 3 * Pi / 2;
  const double t = std::atan(dy / dx);
  if (dy > 0) return dx > 0 ? Pi - t : std::fabs(t);
  return dx > 0 ? std::fabs(t) + Pi : TwoPi - t;
}

double NormalizeAngle(double a) {
  if (a > TwoPi) return a - TwoPi;
  if (a < 0) return a + TwoPi;
  return a;
}

double AngleDiff(double a, double b) {
  const double d = std::fabs(b - a);
  return d > Pi ? std::fabs(d - TwoPi) : d;
}

double MinReal(double a, double b) {
  return b >= a ? a : b;
}
double MaxReal(double a, double b) {
  return b > a ? b : a;
}

namespace {

// The smaller arc between angles a and b: its middle and half its width.
struct Arc {
  double mid;
  double half;
};

Arc SmallerArc(double a, double b) {
  const double w = AngleDiff(a, b);
  double lo = MinReal(a, b);
  const double hi = MaxReal(a, b);
  if (hi - lo > Pi) lo = hi;
  double mid = lo + w / 2;
  if (mid > TwoPi) mid -= TwoPi;
  return {mid, w / 2};
}

}  // namespace

bool InSector(double a, double b, double c) {
  const Arc arc = SmallerArc(a, b);
  return AngleDiff(arc.mid, c) <= arc.half;
}

AngleWindow::AngleWindow(double centre, double half) : centre_(centre), half_(half) {
  // Direction lies in (0, 2 pi]; with the centre in [-pi, 3 pi] the difference
  // is within 3 pi, where AngleDiff is the distance round the circle.
  fast_ = half > 0 && half < Pi && centre >= -Pi && centre <= 3 * Pi;
  if (!fast_) return;
  cosCentre_ = std::cos(centre);
  sinCentre_ = std::sin(centre);
  cosHalf_ = std::cos(half);
}

AngleWindow AngleWindow::Sector(double a, double b) {
  const Arc arc = SmallerArc(a, b);
  return {arc.mid, arc.half};
}

bool AngleWindow::Contains(TPoint p, TPoint q) const {
  if (!fast_) return Exact(p, q);
  // Direction(p, q) is the angle of (u, v), counted counter-clockwise on a
  // screen whose y axis points down. The cosine of the angle between that
  // vector and the centre is 1-Lipschitz in the angle, so a margin of 1e-9 in
  // it covers the rounding of both ways (about 1e-14) many times over.
  const double u = static_cast<double>(q.x) - p.x;
  const double v = static_cast<double>(p.y) - q.y;
  const double r = std::sqrt(u * u + v * v);
  const double excess = u * cosCentre_ + v * sinCentre_ - r * cosHalf_;
  const double margin = 1e-9 * r;
  if (excess > margin) return true;
  if (excess < -margin) return false;
  return Exact(p, q);
}

bool InRect(TPoint p, const TRect& r) {
  return r.left <= p.x && p.x <= r.right && r.top <= p.y && p.y <= r.bottom;
}

namespace {

// x_i * y_(i+1) - x_(i+1) * y_i, exactly.
std::int64_t CrossTerm(const TPolygon& polygon, std::size_t i) {
  const TPoint& a = polygon[i];
  const TPoint& b = polygon[(i + 1) % polygon.size()];
  return static_cast<std::int64_t>(a.x) * b.y - static_cast<std::int64_t>(b.x) * a.y;
}

// Twice the signed area, summed exactly (wide enough for any 32-bit corners).
Int128 DoubleSignedArea(const TPolygon& polygon) {
  Int128 sum = 0;
  for (std::size_t i = 0; i < polygon.size(); ++i)
    sum += CrossTerm(polygon, i);
  return sum;
}

}  // namespace

double PolygonArea(const TPolygon& polygon) {
  Int128 sum = DoubleSignedArea(polygon);
  if (sum < 0) sum = -sum;
  return static_cast<double>(sum) / 2;
}

TPoint PolygonCentre(const TPolygon& polygon) {
  const std::optional<TPoint> centre = CheckedPolygonCentre(polygon, 2147483647.0);
  return centre ? *centre : NoPoint;
}

std::optional<TPoint> CheckedPolygonCentre(const TPolygon& polygon, double limit) {
  const double area = PolygonArea(polygon);
  Int128 sx = 0;
  Int128 sy = 0;
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const TPoint& a = polygon[i];
    const TPoint& b = polygon[(i + 1) % polygon.size()];
    const Int128 c = CrossTerm(polygon, i);
    sx += (static_cast<Int128>(a.x) + b.x) * c;
    sy += (static_cast<Int128>(a.y) + b.y) * c;
  }
  const double cx = static_cast<double>(sx) / (6 * area);
  const double cy = static_cast<double>(sy) / (6 * area);
  if (!(std::fabs(cx) <= limit && std::fabs(cy) <= limit)) return std::nullopt;
  return TPoint{std::abs(RoundHalfEven(cx)), std::abs(RoundHalfEven(cy))};
}

}  // namespace murinex
