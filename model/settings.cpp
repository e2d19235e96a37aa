#include "model/settings.h"

#include "world/input_ranges.h"
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

// `scale` is the range of the first column, `gene(row)` that of the gene the
// row bounds: a gene mixed within the row's limits stays within its own range.
template <std::size_t N, class GeneField>
void ReadRanges(TextReader& in, const std::string& table, std::array<RangeRow, N>& rows,
                Field scale, GeneField gene) {
  SkipHeading(in, table);
  for (std::size_t i = 0; i < N; ++i) {
    rows[i].scale = ReadReal(in, scale, Cell(table, i, "column 1"));
    rows[i].minimum = ReadReal(in, gene(i), Cell(table, i, "minimum"));
    rows[i].maximum = ReadReal(in, gene(i), Cell(table, i, "maximum"));
    in.NextLine();
  }
}

Field LifeInteger(std::size_t row) {
  return row == 0 ? Field::LifeSpan : row == 2 ? Field::DeathAge : Field::UnusedSetting;
}
Field LifeReal(std::size_t row) {
  return row >= 2 ? Field::Probability : Field::UnusedSetting;
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
    s.LifeSettings[i].whole = ReadInt(in, LifeInteger(i), Cell("LifeSettings", i, "integer"));
    s.LifeSettings[i].real = ReadReal(in, LifeReal(i), Cell("LifeSettings", i, "real"));
    in.NextLine();
  }
  ReadRanges(in, "MotWeightRanges", s.MotWeightRanges, Field::UnusedSetting,
             [](std::size_t) { return Field::Weight; });
  ReadRanges(in, "PersonRanges", s.PersonRanges, Field::MutationScale,
             [](std::size_t row) { return ParamField(static_cast<int>(row)); });
  ReadRanges(in, "ReserveRanges", s.ReserveRanges, Field::UnusedSetting,
             [](std::size_t) { return Field::Reserve; });
  ReadRanges(in, "BasalMetaBolRanges", s.BasalMetaBolRanges, Field::UnusedSetting,
             [](std::size_t) { return Field::BasMeta; });
  SkipHeading(in, "ActionSettings");
  for (std::size_t i = 0; i < s.ActionSettings.size(); ++i) {
    s.ActionSettings[i].hungerCost =
        ReadReal(in, Field::ActionCost, Cell("ActionSettings", i, "hunger cost"));
    s.ActionSettings[i].thirstCost =
        ReadReal(in, Field::ActionCost, Cell("ActionSettings", i, "thirst cost"));
    s.ActionSettings[i].colour = ReadInt(in, Field::Colour, Cell("ActionSettings", i, "colour"));
    in.NextLine();
  }
  SkipHeading(in, "GoalNeedMatrix");
  for (std::size_t g = 0; g < s.GoalNeedMatrix.size(); ++g) {
    for (std::size_t n = 0; n < 8; ++n)
      s.GoalNeedMatrix[g][n] =
          ReadReal(in, Field::GoalNeedValue,
                   "GoalNeedMatrix row " + std::to_string(g + 1) + ", need " + std::to_string(n));
    in.NextLine();
  }
  return s;
}

}  // namespace murinex
