#pragma once

#include <cstdint>
#include <vector>

#include "world/geometry.h"
#include "world/large_pages.h"

namespace murinex {

class TWorld;
struct TTerra;

// The terrain lookup: a raster of the world in which every pixel holds the
// index of the patch covering it, so the patch under a point costs one read.
class TInside {
 public:
  static constexpr std::uint32_t White = 0xFFFFFF;  // no patch here

  explicit TInside(const TWorld& world);

  // Repaints the raster from the patch list; later patches cover earlier ones.
  void Rebuild();
  // The index of the patch at (x, y), or false outside the world or any patch.
  bool PatchIndexAt(std::int32_t x, std::int32_t y, std::uint32_t& index) const;
  TTerra* TerraAt(std::int32_t x, std::int32_t y) const;
  // Asks the processor to fetch the raster at p ahead of a lookup there.
  void Prefetch(TPoint p) const {
    if (p.x >= 0 && p.x < width_ && p.y >= 0 && p.y < height_)
      __builtin_prefetch(&raster_[static_cast<std::size_t>(p.y) * width_ + p.x]);
  }
  // Whether every probed point of the straight walk from `from` to `to`, about
  // `stepsPerUnit` probes per world unit, lies on a patch. Answered without
  // walking when no pixel the walk could probe is White.
  bool PathOnTerrain(TPoint from, TPoint to, double stepsPerUnit) const;
  // The walk itself, probe by probe.
  bool ProbePath(TPoint from, TPoint to, double stepsPerUnit) const;
  // False only when no pixel of the rectangle (inclusive, clipped to the
  // raster) is White; true when a tile it touches holds a White pixel.
  bool MayHoldWhite(const TRect& area) const;

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  std::uint32_t Pixel(std::int32_t x, std::int32_t y) const {
    return raster_[static_cast<std::size_t>(y) * width_ + x];
  }

 private:
  void Fill(const TPolygon& polygon, std::uint32_t value);
  void FillEdges(const TPolygon& polygon, std::uint32_t value);
  void Set(std::int64_t x, std::int64_t y, std::uint32_t value);
  void CountWhiteTiles();
  std::int32_t WhiteTilesBefore(std::int32_t column, std::int32_t row) const {
    return whiteTiles_[static_cast<std::size_t>(row) * (tileColumns_ + 1) + column];
  }

  const TWorld& world_;
  std::int32_t width_;
  std::int32_t height_;
  std::vector<std::uint32_t, LargePageAllocator<std::uint32_t>> raster_;
  // Square tiles of TileSize pixels; whiteTiles_ holds, for every (column,
  // row), how many tiles above and left of it hold a White pixel.
  static constexpr std::int32_t TileSize = 16;
  std::int32_t tileColumns_ = 0;
  std::int32_t tileRows_ = 0;
  std::vector<std::int32_t> whiteTiles_;
};

// Whether the integer point lies inside the polygon by the even-odd rule
// (crossings of the ray towards +x) or exactly on one of its edges. The
// raster is filled by exactly this rule.
bool PointInPolygon(const TPolygon& polygon, TPoint p);

}  // namespace murinex
