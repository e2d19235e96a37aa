#pragma once

#include <cstdint>

namespace murinex {

class Run;

// The paging of the mouse charts: every chart tick records one point for every
// mouse; after a page all lines of all mice start again.
class MouseChartRecorder {
 public:
  // One chart tick. Returns true when the page has just become full (the point
  // at which "Stop am Seitenende" stops the clocks).
  bool Tick(Run& run);
  // Picks the paging up where a resumed run left it: the points on the page
  // from the mice's lines, the pages before from the summary lines' count of
  // chart ticks (the chart clocks are switched together and share their rate).
  void ContinueFrom(const Run& run);
  void SetPage(std::int32_t length) { pageLength_ = length; }
  std::int32_t PageLength() const { return pageLength_; }
  std::int32_t PointsOnPage() const { return pointsOnPage_; }
  double PageOffset() const { return pageOffset_; }

 private:
  std::int32_t pageLength_ = 50;
  std::int32_t pointsOnPage_ = 0;
  double pageOffset_ = 0;
};

}  // namespace murinex
