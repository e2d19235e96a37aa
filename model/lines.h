#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace murinex {

// A chart line as plain data: a title, a colour and the points recorded so far
// (each point with its own colour, so a band can colour every tick).
struct TLineSeries {
  std::string Title;
  std::uint32_t Colour = 0;  // 0x00BBGGRR
  std::vector<double> Values;
  std::vector<std::uint32_t> Colours;

  void Add(double value, std::uint32_t colour) {
    Values.push_back(value);
    Colours.push_back(colour);
  }
  void Clear() {
    Values.clear();
    Colours.clear();
  }
  std::size_t Count() const { return Values.size(); }
};

// When one point of every line of a mouse was recorded: the tick, and the
// need, goal and last action its bands are coloured by (for exporting them).
struct TLineSample {
  std::int32_t Tick = 0;
  std::uint8_t Need = 0;
  std::uint8_t Goal = 0;
  std::uint8_t Action = 0;
};

// The lines of one group, in order of creation.
struct TLineGroup {
  std::string Name;
  std::vector<std::unique_ptr<TLineSeries>> Lines;
  std::vector<std::string> Names;
};

// The chart lines of one mouse: groups sorted by name, and three bands
// coloured tick by tick by the need, the goal and the last action.
class TLines {
 public:
  enum Band { NeedBand, ActionBand, GoalBand };

  TLineSeries& Line(const std::string& group, const std::string& name);
  void SetLine(const std::string& group, const std::string& name, std::uint32_t colour);
  void AddValue(const std::string& group, const std::string& name, double value);
  void AddBand(Band band, std::uint32_t colour);
  // Records when the points just added were taken; one sample per point of every line.
  void AddSample(const TLineSample& sample) { samples_.push_back(sample); }
  void ClearAll();

  // Groups in sorted order ("Emotions" is group 0, "Motive" group 1).
  std::size_t GroupCount() const { return groups_.size(); }
  const TLineGroup& Group(std::size_t index) const;
  const TLineSeries& BandSeries(Band band) const { return bands_[band]; }
  TLineSeries& BandSeries(Band band) { return bands_[band]; }
  const std::vector<TLineSample>& Samples() const { return samples_; }

 private:
  TLineGroup& FindGroup(const std::string& name);

  std::map<std::string, TLineGroup> groups_;
  TLineSeries bands_[3];
  std::vector<TLineSample> samples_;
};

}  // namespace murinex
