#pragma once

#include <cstdint>

#include "world/geometry.h"

namespace murinex {

class Run;
class TMaus;

// a * b / c with a 64-bit intermediate, rounded to the nearest integer (halves
// to even); -1 when c is 0.
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c);

// How the world is laid into the back buffer: uniformly scaled and centred.
struct ViewGeometry {
  std::int32_t bufferWidth = 0;   // W
  std::int32_t bufferHeight = 0;  // H
  std::int32_t worldWidth = 0;
  std::int32_t worldHeight = 0;
  std::int32_t drawnWidth = 0;   // w
  std::int32_t drawnHeight = 0;  // h

  // FitWorld: the drawn size for a buffer of W x H.
  static ViewGeometry Fit(std::int32_t worldWidth, std::int32_t worldHeight,
                          std::int32_t bufferWidth, std::int32_t bufferHeight);
  bool Valid() const {
    return worldWidth > 0 && worldHeight > 0 && drawnWidth > 0 && drawnHeight > 0;
  }
  TPoint WorldToScreen(TPoint p) const;
  TPoint ScreenToWorld(TPoint s) const;
};

// The mouse nearest to the world point under s (the first of equals); none when
// it lies farther than maxDistance, unless maxDistance < 1. None without mice.
TMaus* MausAt(const Run& run, const ViewGeometry& view, TPoint s, double maxDistance);

}  // namespace murinex
