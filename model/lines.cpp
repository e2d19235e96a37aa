#include "model/lines.h"

#include <iterator>

namespace murinex {

TLineGroup& TLines::FindGroup(const std::string& name) {
  auto [it, created] = groups_.try_emplace(name);
  if (created) it->second.Name = name;
  return it->second;
}

TLineSeries& TLines::Line(const std::string& group, const std::string& name) {
  TLineGroup& g = FindGroup(group);
  for (std::size_t i = 0; i < g.Names.size(); ++i)
    if (g.Names[i] == name) return *g.Lines[i];
  g.Names.push_back(name);
  g.Lines.push_back(std::make_unique<TLineSeries>());
  return *g.Lines.back();
}

void TLines::SetLine(const std::string& group, const std::string& name, std::uint32_t colour) {
  TLineSeries& line = Line(group, name);
  line.Colour = colour;
  line.Title = name;
}

void TLines::AddValue(const std::string& group, const std::string& name, double value) {
  TLineSeries& line = Line(group, name);
  line.Add(value, line.Colour);
}

void TLines::AddBand(Band band, std::uint32_t colour) {
  bands_[band].Add(0, colour);
}

void TLines::ClearAll() {
  for (auto& [name, group] : groups_)
    for (auto& line : group.Lines)
      line->Clear();
  for (auto& band : bands_)
    band.Clear();
  samples_.clear();
}

const TLineGroup& TLines::Group(std::size_t index) const {
  auto it = groups_.begin();
  std::advance(it, static_cast<std::ptrdiff_t>(index));
  return it->second;
}

}  // namespace murinex
