#include "world/inside.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <numeric>

#include "world/terrain.h"

namespace murinex {

namespace {

// floor(num / den) and ceil(num / den) for den > 0, exactly.
std::int64_t FloorDiv(Int128 num, Int128 den) {
  Int128 q = num / den;
  if ((num % den != 0) && (num < 0)) --q;
  return static_cast<std::int64_t>(q);
}
std::int64_t CeilDiv(Int128 num, Int128 den) {
  return -FloorDiv(-num, den);
}

// Whether the edge a-b crosses the row y by the half-open rule.
bool Crosses(TPoint a, TPoint b, std::int64_t y) {
  return (a.y > y) != (b.y > y);
}

bool OnSegment(TPoint a, TPoint b, TPoint p) {
  const Int128 cross = static_cast<Int128>(b.x - static_cast<std::int64_t>(a.x)) *
                           (p.y - static_cast<std::int64_t>(a.y)) -
                       static_cast<Int128>(b.y - static_cast<std::int64_t>(a.y)) *
                           (p.x - static_cast<std::int64_t>(a.x));
  if (cross != 0) return false;
  return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
         p.y <= std::max(a.y, b.y);
}

// Narrows [first, last] to the k for which start + k * step lies in [0, size - 1].
void ClipSteps(std::int64_t start, std::int64_t step, std::int64_t size, std::int64_t& first,
               std::int64_t& last) {
  if (step == 0) {
    if (start < 0 || start >= size) last = first - 1;
    return;
  }
  // start + k * step >= 0 and <= size - 1, solved for k.
  std::int64_t lo, hi;
  if (step > 0) {
    lo = CeilDiv(-start, step);
    hi = FloorDiv(size - 1 - start, step);
  } else {
    lo = CeilDiv(start - (size - 1), -step);
    hi = FloorDiv(start, -step);
  }
  first = std::max(first, lo);
  last = std::min(last, hi);
}

}  // namespace

bool PointInPolygon(const TPolygon& polygon, TPoint p) {
  bool inside = false;
  const std::size_t n = polygon.size();
  for (std::size_t i = 0; i < n; ++i) {
    const TPoint a = polygon[i];
    const TPoint b = polygon[(i + 1) % n];
    if (OnSegment(a, b, p)) return true;
    if (!Crosses(a, b, p.y)) continue;
    // The crossing lies strictly right of p: p.x < a.x + (p.y - a.y)(b.x - a.x)/(b.y - a.y).
    const Int128 dy = static_cast<std::int64_t>(b.y) - a.y;
    const Int128 lhs = (static_cast<Int128>(p.x) - a.x) * dy;
    const Int128 rhs = (static_cast<Int128>(p.y) - a.y) * (static_cast<Int128>(b.x) - a.x);
    if (dy > 0 ? lhs < rhs : lhs > rhs) inside = !inside;
  }
  return inside;
}

TInside::TInside(const TWorld& world)
    : world_(world), width_(world.WorldWidth), height_(world.WorldHeight) {
  Rebuild();
}

void TInside::Rebuild() {
  raster_.assign(static_cast<std::size_t>(width_) * height_, White);
  for (std::size_t i = 0; i < world_.TerraList.size(); ++i)
    Fill(world_.TerraList[i]->Points, static_cast<std::uint32_t>(i));
  CountWhiteTiles();
}

void TInside::CountWhiteTiles() {
  tileColumns_ = (width_ + TileSize - 1) / TileSize;
  tileRows_ = (height_ + TileSize - 1) / TileSize;
  const auto stride = static_cast<std::size_t>(tileColumns_) + 1;
  whiteTiles_.assign(stride * (static_cast<std::size_t>(tileRows_) + 1), 0);
  std::vector<bool> white(static_cast<std::size_t>(tileColumns_) * tileRows_, false);
  for (std::int32_t y = 0; y < height_; ++y)
    for (std::int32_t x = 0; x < width_; ++x)
      if (Pixel(x, y) == White)
        white[static_cast<std::size_t>(y / TileSize) * tileColumns_ + x / TileSize] = true;
  for (std::int32_t r = 0; r < tileRows_; ++r)
    for (std::int32_t c = 0; c < tileColumns_; ++c)
      whiteTiles_[(r + 1) * stride + c + 1] =
          whiteTiles_[r * stride + c + 1] + whiteTiles_[(r + 1) * stride + c] -
          whiteTiles_[r * stride + c] +
          (white[static_cast<std::size_t>(r) * tileColumns_ + c] ? 1 : 0);
}

bool TInside::MayHoldWhite(const TRect& area) const {
  const std::int32_t left = std::max(area.left, 0), right = std::min(area.right, width_ - 1);
  const std::int32_t top = std::max(area.top, 0), bottom = std::min(area.bottom, height_ - 1);
  if (left > right || top > bottom) return false;
  const std::int32_t c0 = left / TileSize, c1 = right / TileSize + 1;
  const std::int32_t r0 = top / TileSize, r1 = bottom / TileSize + 1;
  return WhiteTilesBefore(c1, r1) - WhiteTilesBefore(c0, r1) - WhiteTilesBefore(c1, r0) +
             WhiteTilesBefore(c0, r0) >
         0;
}

void TInside::Set(std::int64_t x, std::int64_t y, std::uint32_t value) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  raster_[static_cast<std::size_t>(y) * width_ + static_cast<std::size_t>(x)] = value;
}

// Scanline even-odd fill of the interior, then every lattice point of the edges.
void TInside::Fill(const TPolygon& polygon, std::uint32_t value) {
  if (polygon.empty()) return;
  std::int64_t top = polygon[0].y, bottom = polygon[0].y;
  for (const TPoint& p : polygon)
    top = std::min<std::int64_t>(top, p.y), bottom = std::max<std::int64_t>(bottom, p.y);
  top = std::max<std::int64_t>(top, 0);
  bottom = std::min<std::int64_t>(bottom, height_ - 1);
  std::vector<std::int64_t> crossings;
  const std::size_t n = polygon.size();
  for (std::int64_t y = top; y <= bottom; ++y) {
    crossings.clear();
    for (std::size_t i = 0; i < n; ++i) {
      const TPoint a = polygon[i];
      const TPoint b = polygon[(i + 1) % n];
      if (!Crosses(a, b, y)) continue;
      // Pixels x < ceil(crossing) have this crossing strictly to their right.
      Int128 num = (static_cast<Int128>(y) - a.y) * (static_cast<Int128>(b.x) - a.x);
      Int128 den = static_cast<Int128>(b.y) - a.y;
      if (den < 0) num = -num, den = -den;
      crossings.push_back(a.x + CeilDiv(num, den));
    }
    std::sort(crossings.begin(), crossings.end());
    // Between the (2k)th and (2k+1)th crossing an odd number lies to the right.
    for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
      const std::int64_t from = std::max<std::int64_t>(crossings[k], 0);
      const std::int64_t to = std::min<std::int64_t>(crossings[k + 1] - 1, width_ - 1);
      for (std::int64_t x = from; x <= to; ++x)
        raster_[static_cast<std::size_t>(y) * width_ + static_cast<std::size_t>(x)] = value;
    }
  }
  FillEdges(polygon, value);
}

void TInside::FillEdges(const TPolygon& polygon, std::uint32_t value) {
  const std::size_t n = polygon.size();
  for (std::size_t i = 0; i < n; ++i) {
    const TPoint a = polygon[i];
    const TPoint b = polygon[(i + 1) % n];
    const std::int64_t dx = static_cast<std::int64_t>(b.x) - a.x;
    const std::int64_t dy = static_cast<std::int64_t>(b.y) - a.y;
    const std::int64_t g = std::gcd(std::llabs(dx), std::llabs(dy));
    if (g == 0) {
      Set(a.x, a.y, value);
      continue;
    }
    const std::int64_t sx = dx / g, sy = dy / g;
    // Only the lattice points inside the raster are walked: an edge far
    // outside the world costs nothing.
    std::int64_t first = 0, last = g;
    ClipSteps(a.x, sx, width_, first, last);
    ClipSteps(a.y, sy, height_, first, last);
    for (std::int64_t k = first; k <= last; ++k)
      Set(a.x + k * sx, a.y + k * sy, value);
  }
}

bool TInside::PatchIndexAt(std::int32_t x, std::int32_t y, std::uint32_t& index) const {
  if (x < 0 || x > width_ - 1 || y < 0 || y > height_ - 1) return false;
  const std::uint32_t v = Pixel(x, y);
  if (v == White) return false;
  index = v;
  return true;
}

TTerra* TInside::TerraAt(std::int32_t x, std::int32_t y) const {
  std::uint32_t index;
  if (!PatchIndexAt(x, y, index)) return nullptr;
  return world_.TerraList[index].get();
}

bool TInside::PathOnTerrain(TPoint from, TPoint to, double stepsPerUnit) const {
  // Every probe that is read lies closer to `from` than `to` does, so inside
  // this square; only a White pixel can end the walk with false.
  const double d = Distance(from, to);
  const std::int64_t reach = static_cast<std::int64_t>(d) + 1;
  auto clamp = [](std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, -1, INT32_MAX));
  };
  const TRect square{clamp(from.x - reach), clamp(from.y - reach), clamp(from.x + reach),
                     clamp(from.y + reach)};
  if (!MayHoldWhite(square)) return true;
  return ProbePath(from, to, stepsPerUnit);
}

bool TInside::ProbePath(TPoint from, TPoint to, double stepsPerUnit) const {
  const double a = Direction(from, to);
  const double d = Distance(from, to);
  double n = stepsPerUnit * d;
  if (n < 1) n = 1;
  TPoint p = from;
  // Each probe starts from the rounded point of the one before. A step too
  // short to leave its point would probe the same pixel for ever; the cap only
  // guards such degenerate step lengths, normal walks arrive long before it.
  const double cap = 2 * n + 16;
  // The same offset as PolarOffset(p, a, d / n), with the angle's cosine and
  // sine taken once for the whole walk.
  const double step = d / n, cosine = std::cos(a), sine = std::sin(a);
  for (int probe = 0;; ++probe) {
    const TPoint next{RoundHalfEven(p.x + cosine * step), RoundHalfEven(p.y - sine * step)};
    if (Distance(from, next) >= d) return true;
    const bool inRaster = next.x >= 0 && next.x < width_ && next.y >= 0 && next.y < height_;
    if (inRaster && Pixel(next.x, next.y) == White) return false;
    if (next == p || probe > cap) return true;
    p = next;
  }
}

}  // namespace murinex
