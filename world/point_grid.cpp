#include "world/point_grid.h"

#include <algorithm>

namespace murinex {

void PointGrid::Build(const std::vector<TPoint>& points, std::int32_t width, std::int32_t height,
                      std::int32_t cell) {
  cell_ = std::max(cell, 1);
  columns_ = std::max<std::int32_t>(1, (std::max(width, 1) + cell_ - 1) / cell_);
  rows_ = std::max<std::int32_t>(1, (std::max(height, 1) + cell_ - 1) / cell_);
  cells_.resize(static_cast<std::size_t>(columns_) * rows_);
  for (auto& c : cells_)
    c.clear();
  places_ = points;
  for (std::uint32_t i = 0; i < places_.size(); ++i)
    CellOf(places_[i]).push_back(i);
  unsettled_ = None;
  active_ = true;
}

void PointGrid::Clear() {
  for (auto& c : cells_)
    c.clear();
  places_.clear();
  unsettled_ = None;
  active_ = false;
}

void PointGrid::Unsettle(std::uint32_t index) {
  unsettled_ = index;
}

void PointGrid::Settle(std::uint32_t index, TPoint at) {
  if (index == unsettled_) unsettled_ = None;
  if (index >= places_.size()) return;
  std::vector<std::uint32_t>& from = CellOf(places_[index]);
  std::vector<std::uint32_t>& to = CellOf(at);
  places_[index] = at;
  if (&from == &to) return;
  from.erase(std::find(from.begin(), from.end(), index));
  to.push_back(index);
}

std::int32_t PointGrid::Column(std::int64_t x) const {
  const std::int64_t c = x < 0 ? 0 : x / cell_;
  return static_cast<std::int32_t>(std::min<std::int64_t>(c, columns_ - 1));
}

std::int32_t PointGrid::Row(std::int64_t y) const {
  const std::int64_t r = y < 0 ? 0 : y / cell_;
  return static_cast<std::int32_t>(std::min<std::int64_t>(r, rows_ - 1));
}

void PointGrid::Near(TPoint centre, std::int64_t reach, std::vector<std::uint32_t>& out) const {
  out.clear();
  // Column and Row are monotone, so a point inside the square lies in one of these cells.
  const std::int32_t c0 = Column(centre.x - reach), c1 = Column(centre.x + reach);
  const std::int32_t r0 = Row(centre.y - reach), r1 = Row(centre.y + reach);
  for (std::int32_t r = r0; r <= r1; ++r) {
    for (std::int32_t c = c0; c <= c1; ++c) {
      for (std::uint32_t i : cells_[static_cast<std::size_t>(r) * columns_ + c]) {
        const TPoint p = places_[i];
        if (i == unsettled_ || p.x < centre.x - reach || p.x > centre.x + reach ||
            p.y < centre.y - reach || p.y > centre.y + reach)
          continue;
        out.push_back(i);
      }
    }
  }
  if (unsettled_ != None) out.push_back(unsettled_);
  std::sort(out.begin(), out.end());
}

}  // namespace murinex
