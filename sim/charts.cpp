#include "sim/charts.h"

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

}  // namespace murinex
