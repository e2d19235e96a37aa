#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "agent/maus.h"
#include "model/run.h"

namespace murinex {

// Visits the mice of the run in list order until `visit` returns true, and
// returns the mouse it stopped at (or none). Mice farther than `radius` from
// centre may be left out: while a pass of the tick runs, the grid of mouse
// places leaves out all of them except the mouse whose turn it is; otherwise
// every mouse is visited. A scan may use this only where a mouse farther than
// `radius` neither draws a random number nor changes anything.
template <class Visit>
TMaus* FindMouseNear(const Run& run, TPoint centre, double radius, Visit visit) {
  const PointGrid& grid = run.MouseGrid;
  // Distance(p, q) >= |q.x - p.x| exactly, so a mouse outside the square of
  // half-width ceil(radius) lies farther than radius.
  // Where the square covers half the grid or more, reading every mouse is cheaper.
  const bool gridded = grid.Active() && grid.Size() == run.Mice.size() && radius >= 0 &&
                       radius <= 1e9 &&
                       !grid.SpansHalf(centre, static_cast<std::int64_t>(std::ceil(radius)));
  if (!gridded) {
    for (const auto& o : run.Mice)
      if (visit(o.get())) return o.get();
    return nullptr;
  }
  const auto reach = static_cast<std::int64_t>(std::ceil(radius));
  std::array<std::uint32_t, 256> local;
  std::vector<std::uint32_t> many;
  std::span<std::uint32_t> near(local);
  const std::size_t count = grid.Near(centre, reach, near);
  if (count > near.size()) {
    many.resize(count);
    near = many;
    grid.Near(centre, reach, near);
  }
  for (std::uint32_t i : near.first(count)) {
    TMaus* o = run.Mice[i].get();
    if (visit(o)) return o;
  }
  return nullptr;
}

}  // namespace murinex
