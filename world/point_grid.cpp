#include "world/point_grid.h"

#include <algorithm>
#include <bit>

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
  marks_.assign((places_.size() + 63) / 64, 0);
  for (std::uint32_t i = 0; i < places_.size(); ++i)
    CellOf(places_[i]).push_back({i, places_[i]});
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
  std::vector<Entry>& from = CellOf(places_[index]);
  std::vector<Entry>& to = CellOf(at);
  places_[index] = at;
  const auto entry =
      std::find_if(from.begin(), from.end(), [&](const Entry& e) { return e.index == index; });
  if (&from == &to) {
    entry->at = at;
    return;
  }
  from.erase(entry);
  to.push_back({index, at});
}

std::int32_t PointGrid::Column(std::int64_t x) const {
  const std::int64_t c = x < 0 ? 0 : x / cell_;
  return static_cast<std::int32_t>(std::min<std::int64_t>(c, columns_ - 1));
}

std::int32_t PointGrid::Row(std::int64_t y) const {
  const std::int64_t r = y < 0 ? 0 : y / cell_;
  return static_cast<std::int32_t>(std::min<std::int64_t>(r, rows_ - 1));
}

std::size_t PointGrid::Near(TPoint centre, std::int64_t reach, std::span<std::uint32_t> out) const {
  std::size_t count = 0;
  auto add = [&](std::uint32_t index) {
    if (count < out.size()) out[count] = index;
    count += 1;
  };
  // Column and Row are monotone, so a point inside the square lies in one of these cells.
  const std::int32_t c0 = Column(centre.x - reach), c1 = Column(centre.x + reach);
  const std::int32_t r0 = Row(centre.y - reach), r1 = Row(centre.y + reach);
  for (std::int32_t r = r0; r <= r1; ++r) {
    for (std::int32_t c = c0; c <= c1; ++c) {
      for (const Entry& e : cells_[static_cast<std::size_t>(r) * columns_ + c]) {
        if (e.index == unsettled_ || e.at.x < centre.x - reach || e.at.x > centre.x + reach ||
            e.at.y < centre.y - reach || e.at.y > centre.y + reach)
          continue;
        add(e.index);
      }
    }
  }
  if (unsettled_ != None) add(unsettled_);
  if (count <= out.size()) SortIndices(out.first(count));
  return count;
}

void PointGrid::SortIndices(std::span<std::uint32_t> indices) const {
  // Few indices sort fastest by comparison; many are put in order through a
  // mark per point (every index occurs once), read back word by word.
  const bool outside = unsettled_ != None && unsettled_ >= places_.size();
  if (indices.size() < 48 || marks_.size() * 2 > indices.size() * 3 || outside) {
    std::sort(indices.begin(), indices.end());
    return;
  }
  std::size_t first = marks_.size(), last = 0;
  for (std::uint32_t i : indices) {
    const std::size_t w = i / 64;
    marks_[w] |= std::uint64_t{1} << (i % 64);
    first = std::min(first, w);
    last = std::max(last, w);
  }
  std::size_t k = 0;
  for (std::size_t w = first; w <= last; ++w) {
    for (std::uint64_t bits = marks_[w]; bits != 0; bits &= bits - 1)
      indices[k++] = static_cast<std::uint32_t>(w * 64 + std::countr_zero(bits));
    marks_[w] = 0;
  }
}

void PointGrid::Near(TPoint centre, std::int64_t reach, std::vector<std::uint32_t>& out) const {
  out.resize(std::max<std::size_t>(out.capacity(), 64));
  std::size_t count = Near(centre, reach, std::span<std::uint32_t>(out));
  if (count > out.size()) {
    out.resize(count);
    count = Near(centre, reach, std::span<std::uint32_t>(out));
  }
  out.resize(count);
}

}  // namespace murinex
