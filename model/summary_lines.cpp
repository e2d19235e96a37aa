#include "model/summary_lines.h"

namespace murinex {

TSumLine& TSumLines::SumLine(const std::string& name) {
  for (auto& line : lines_)
    if (line->Name == name) return *line;
  auto line = std::make_unique<TSumLine>();
  line->Name = name;
  line->Series.Title = name;
  lines_.push_back(std::move(line));
  return *lines_.back();
}

void TSumLines::SetSumLine(const std::string& name, std::uint32_t colour) {
  SumLine(name).Series.Colour = colour;
}

void TSumLines::AddSum(const std::string& name, double x) {
  TSumLine& line = SumLine(name);
  line.Sum += x;
  line.Count += 1;
}

void TSumLines::Tick(bool record, std::int32_t tick) {
  if (pointsOnPage_ > pageLength_) {
    for (auto& line : lines_)
      line->Series.Clear();
    ticks_.clear();
    pointsOnPage_ = 0;
    pageOffset_ += pageLength_;
  }
  if (record) {
    ticks_.push_back(tick);
    for (auto& line : lines_) {
      line->Series.Add(line->Count > 0 ? line->Sum / line->Count : 0, line->Series.Colour);
      line->Sum = 0;
      line->Count = 0;
    }
  }
  pointsOnPage_ += 1;
}

}  // namespace murinex
