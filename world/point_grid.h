#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "world/geometry.h"

namespace murinex {

// A uniform grid over numbered points (the mice of a run, numbered by their
// place in the list), so that a scan for the points near a centre reads a few
// cells instead of every point. Points outside the covered area count to the
// border cells. One point at a time may be "unsettled" while it moves: until
// it is settled again every query returns it, wherever it stands.
class PointGrid {
 public:
  // Records the points; the grid covers width x height in square cells of `cell` units.
  void Build(const std::vector<TPoint>& points, std::int32_t width, std::int32_t height,
             std::int32_t cell);
  // Forgets every point; queries are no longer answered.
  void Clear();
  bool Active() const { return active_; }
  std::size_t Size() const { return places_.size(); }

  void Unsettle(std::uint32_t index);
  // Records the point at `at` and ends its unsettled state.
  void Settle(std::uint32_t index, TPoint at);

  // The indices, ascending, of every point recorded within `reach` of centre
  // on both axes (|dx| <= reach and |dy| <= reach), plus the unsettled point.
  // May return a few more; never fewer.
  void Near(TPoint centre, std::int64_t reach, std::vector<std::uint32_t>& out) const;
  // The same into `out` without allocating: returns how many indices there
  // are; when that is more than out.size(), out holds only some, unsorted.
  std::size_t Near(TPoint centre, std::int64_t reach, std::span<std::uint32_t> out) const;

  // Whether the square of half-width reach around centre spans at least half
  // of the cells (then reading every point is cheaper than the cells).
  bool SpansHalf(TPoint centre, std::int64_t reach) const {
    const std::int64_t columns = Column(centre.x + reach) - Column(centre.x - reach) + 1;
    const std::int64_t rows = Row(centre.y + reach) - Row(centre.y - reach) + 1;
    return 2 * columns * rows >= std::int64_t{columns_} * rows_;
  }

  static constexpr std::uint32_t None = UINT32_MAX;

 private:
  std::int32_t Column(std::int64_t x) const;
  std::int32_t Row(std::int64_t y) const;
  // A point as its cell keeps it, its place beside its index for the scan.
  struct Entry {
    std::uint32_t index;
    TPoint at;
  };
  std::vector<Entry>& CellOf(TPoint p) {
    return cells_[static_cast<std::size_t>(Row(p.y)) * columns_ + Column(p.x)];
  }

  // Puts indices of distinct points in ascending order.
  void SortIndices(std::span<std::uint32_t> indices) const;

  bool active_ = false;
  std::int32_t cell_ = 1;
  std::int32_t columns_ = 0;
  std::int32_t rows_ = 0;
  std::vector<std::vector<Entry>> cells_;
  std::vector<TPoint> places_;  // the recorded place of every point
  std::uint32_t unsettled_ = None;
  mutable std::vector<std::uint64_t> marks_;  // all zero between queries
};

}  // namespace murinex
