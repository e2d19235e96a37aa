#include "app/world_geometry.h"

#include <cstdlib>

#include "agent/maus.h"
#include "model/run.h"

namespace murinex {

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
  if (c == 0) return -1;
  std::int64_t n = std::int64_t{a} * b;
  std::int64_t d = c;
  if (d < 0) {
    n = -n;
    d = -d;
  }
  std::int64_t q = n / d;
  std::int64_t r = n % d;
  if (r < 0) {  // floor division
    q -= 1;
    r += d;
  }
  if (2 * r > d || (2 * r == d && (q & 1) != 0)) q += 1;
  return static_cast<std::int32_t>(q);
}

ViewGeometry ViewGeometry::Fit(std::int32_t worldWidth, std::int32_t worldHeight,
                               std::int32_t bufferWidth, std::int32_t bufferHeight) {
  ViewGeometry v{bufferWidth, bufferHeight, worldWidth, worldHeight, 0, 0};
  if (worldWidth <= 0 || worldHeight <= 0) return v;
  const std::int32_t a = MulDiv(worldWidth, bufferHeight, worldHeight);
  if (a < bufferWidth) {
    v.drawnWidth = a;
    v.drawnHeight = bufferHeight;
  } else {
    v.drawnWidth = bufferWidth;
    v.drawnHeight = MulDiv(worldHeight, bufferWidth, worldWidth);
  }
  return v;
}

TPoint ViewGeometry::WorldToScreen(TPoint p) const {
  return {MulDiv(p.x, drawnWidth, worldWidth) + (bufferWidth - drawnWidth) / 2,
          MulDiv(p.y, drawnHeight, worldHeight) + (bufferHeight - drawnHeight) / 2};
}

TPoint ViewGeometry::ScreenToWorld(TPoint s) const {
  return {MulDiv(worldWidth, s.x - (bufferWidth - drawnWidth) / 2, drawnWidth),
          MulDiv(worldHeight, s.y - (bufferHeight - drawnHeight) / 2, drawnHeight)};
}

TMaus* MausAt(const Run& run, const ViewGeometry& view, TPoint s, double maxDistance) {
  if (run.Mice.empty() || !view.Valid()) return nullptr;
  const TPoint p = view.ScreenToWorld(s);
  TMaus* nearest = nullptr;
  double best = 0;
  for (const auto& m : run.Mice) {
    const double d = Distance(p, m->Position);
    if (!nearest || d < best) {
      nearest = m.get();
      best = d;
    }
  }
  return maxDistance < 1 || best <= maxDistance ? nearest : nullptr;
}

}  // namespace murinex
