#include "sim/tick/charts.h"

#include <algorithm>
#include <string>

#include "agent/chart_lines.h"
#include "agent/maus.h"
#include "model/lines.h"
#include "model/run.h"

namespace murinex {

bool MouseChartRecorder::Tick(Run& run) {
  if (!run.RecordLines) return false;
  if (pageLength_ < pointsOnPage_) {
    for (auto& m : run.Mice)
      m->Lines->ClearAll();
    pointsOnPage_ = 0;
    pageOffset_ += pageLength_;
  }
  for (auto& m : run.Mice)
    UpdateLines(run, *m);
  pointsOnPage_ += 1;
  return pageLength_ < pointsOnPage_;
}

void MouseChartRecorder::ContinueFrom(const Run& run) {
  // Every mouse that lived through the page holds all of its points.
  std::int32_t points = 0;
  for (const auto& m : run.Mice)
    points = std::max(points, static_cast<std::int32_t>(m->Lines->Samples().size()));
  // A page holds one point more than its length: it is cleared on the tick after.
  const TSumLines& sum = run.SumLines;
  const double chartTicks =
      sum.PageOffset() / sum.PageLength() * (sum.PageLength() + 1) + sum.PointsOnPage();
  const double pages = std::max(0.0, (chartTicks - points) / (pageLength_ + 1));
  pointsOnPage_ = points;
  pageOffset_ = static_cast<double>(static_cast<std::int32_t>(pages)) * pageLength_;
}

}  // namespace murinex
