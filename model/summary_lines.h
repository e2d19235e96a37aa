#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/lines.h"

namespace murinex {

// A population-wide line: values summed between two chart ticks, then turned
// into one mean point.
struct TSumLine {
  std::string Name;
  double Sum = 0;
  std::int32_t Count = 0;
  TLineSeries Series;
};

// The summary lines in order of creation, paged by 100 points.
class TSumLines {
 public:
  TSumLine& SumLine(const std::string& name);
  void SetSumLine(const std::string& name, std::uint32_t colour);
  void AddSum(const std::string& name, double x);
  void AddFlag(const std::string& name, bool flag) { AddSum(name, flag ? 1 : 0); }

  // One chart tick at simulation tick `tick`: clears the page when it is full,
  // then (when recording) appends every line's mean and restarts its sum.
  void Tick(bool record, std::int32_t tick);

  std::size_t Size() const { return lines_.size(); }
  const TSumLine& At(std::size_t i) const { return *lines_[i]; }
  double PageLength() const { return pageLength_; }
  std::int32_t PointsOnPage() const { return pointsOnPage_; }
  double PageOffset() const { return pageOffset_; }
  // The simulation tick of every point on the page, in order.
  const std::vector<std::int32_t>& Ticks() const { return ticks_; }
  // Puts the paging back where a saved run left it.
  void SetPage(double length, std::int32_t pointsOnPage, double offset,
               std::vector<std::int32_t> ticks) {
    pageLength_ = length;
    pointsOnPage_ = pointsOnPage;
    pageOffset_ = offset;
    ticks_ = std::move(ticks);
  }

 private:
  std::vector<std::unique_ptr<TSumLine>> lines_;
  double pageLength_ = 100;
  std::int32_t pointsOnPage_ = 0;
  double pageOffset_ = 0;
  std::vector<std::int32_t> ticks_;
};

}  // namespace murinex
