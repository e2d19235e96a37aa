#include "model/settings.h"

#include "world/text_reader.h"

namespace murinex {

namespace {

// Blank lines, then exactly one heading line.
void SkipHeading(TextReader& in, const std::string& table) {
  in.SkipBlankLines();
  in.ReadLine("heading of " + table);
}

std::string Cell(const std::string& table, std::size_t row, const char* column) {
  return table + " row " + std::to_string(row + 1) + ", " + column;
}

template <std::size_t N>
void ReadRanges(TextReader& in, const std::string& table, std::array<RangeRow, N>& rows) {
  SkipHeading(in, table);
  for (std::size_t i = 0; i < N; ++i) {
    rows[i].scale = in.ReadReal(Cell(table, i, "column 1"));
    rows[i].minimum = in.ReadReal(Cell(table, i, "minimum"));
    rows[i].maximum = in.ReadReal(Cell(table, i, "maximum"));
    in.NextLine();
  }
}

}  // namespace

Settings Settings::Read(const std::string& path, const std::string& displayName) {
  TextReader in = TextReader::Open(path, displayName);
  return Read(in);
}

Settings Settings::Read(TextReader& in) {
  Settings s;
  in.ReadLine("title");
  SkipHeading(in, "LifeSettings");
  for (std::size_t i = 0; i < s.LifeSettings.size(); ++i) {
    s.LifeSettings[i].whole = in.ReadInt(Cell("LifeSettings", i, "integer"));
    s.LifeSettings[i].real = in.ReadReal(Cell("LifeSettings", i, "real"));
    in.NextLine();
  }
  ReadRanges(in, "MotWeightRanges", s.MotWeightRanges);
  ReadRanges(in, "PersonRanges", s.PersonRanges);
  ReadRanges(in, "ReserveRanges", s.ReserveRanges);
  ReadRanges(in, "BasalMetaBolRanges", s.BasalMetaBolRanges);
  SkipHeading(in, "ActionSettings");
  for (std::size_t i = 0; i < s.ActionSettings.size(); ++i) {
    s.ActionSettings[i].hungerCost = in.ReadReal(Cell("ActionSettings", i, "hunger cost"));
    s.ActionSettings[i].thirstCost = in.ReadReal(Cell("ActionSettings", i, "thirst cost"));
    s.ActionSettings[i].colour = in.ReadInt(Cell("ActionSettings", i, "colour"));
    in.NextLine();
  }
  SkipHeading(in, "GoalNeedMatrix");
  for (std::size_t g = 0; g < s.GoalNeedMatrix.size(); ++g) {
    for (std::size_t n = 0; n < 8; ++n)
      s.GoalNeedMatrix[g][n] = in.ReadReal("GoalNeedMatrix row " + std::to_string(g + 1) +
                                           ", need " + std::to_string(n));
    in.NextLine();
  }
  return s;
}

}  // namespace murinex
