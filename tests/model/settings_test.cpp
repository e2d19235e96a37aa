#include "model/settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/common/test_run.h"
#include "world/error.h"
#include "world/text_reader.h"

#include <cctype>
#include <sstream>

namespace murinex {
namespace {

using ::testing::HasSubstr;

Settings ReadText(const std::string& text) {
  TextReader in(text, "data/settings.txt");
  return Settings::Read(in);
}

TEST(SettingsTest, ReadsAllSevenTables) {
  const Settings s = ReadText(test::SettingsText());
  EXPECT_EQ(s.LifeSpan(), 3000);
  EXPECT_EQ(s.DeathAge(), 6000);
  EXPECT_EQ(s.DeathProbability(), 0.001);
  EXPECT_EQ(s.MutationRate(), 0.1);
  EXPECT_EQ(s.MotWeightRanges[1].minimum, 0.5);
  EXPECT_EQ(s.MotWeightRanges[1].maximum, 2.0);
  EXPECT_EQ(s.PersonRanges[12].scale, 0.1);
  EXPECT_EQ(s.PersonRanges[12].minimum, 50);
  EXPECT_EQ(s.PersonRanges[12].maximum, 200);
  EXPECT_EQ(s.ReserveRanges[2].maximum, 500);
  EXPECT_EQ(s.BasalMetaBolRanges[7].maximum, 0.05);
  EXPECT_EQ(s.ActionSettings[3].hungerCost, 2);
  EXPECT_EQ(s.ActionSettings[12].colour, 4210752);
  EXPECT_EQ(s.GoalNeedMatrix[2][1], 1);
  EXPECT_EQ(s.GoalNeedMatrix[10][7], 1);
  EXPECT_EQ(s.GoalNeedMatrix[5][3], -1);
}

bool IsNumber(const std::string& word) {
  return !word.empty() && (std::isdigit(static_cast<unsigned char>(word[0])) || word[0] == '-');
}

// The numbers of a row without the label after them.
std::string WithoutLabel(const std::string& line) {
  std::istringstream words(line);
  std::string word, kept;
  while (words >> word && IsNumber(word))
    kept += (kept.empty() ? "" : " ") + word;
  return kept;
}

// The same file without labels, with several blank lines (one of blanks and a
// tab) before one heading and none before another, reads the same.
TEST(SettingsTest, LabelsAndBlankLinesDoNotMatter) {
  std::istringstream in(test::SettingsText());
  std::string plain, line;
  std::getline(in, line);
  plain += line + "\n";  // the title
  while (std::getline(in, line)) {
    if (line == "MotWeightRanges") plain += "\n \t\n\n";
    if (line.empty() && in.peek() == 'A') continue;  // no blank line before ActionSettings
    plain += (IsNumber(line) ? WithoutLabel(line) : line) + "\n";
  }
  ASSERT_EQ(plain.find("Hunger"), std::string::npos);
  const Settings a = ReadText(test::SettingsText());
  const Settings b = ReadText(plain);
  EXPECT_EQ(a.GoalNeedMatrix, b.GoalNeedMatrix);
  EXPECT_EQ(a.ActionSettings[12].colour, b.ActionSettings[12].colour);
  EXPECT_EQ(a.ActionSettings[6].hungerCost, b.ActionSettings[6].hungerCost);
  EXPECT_EQ(a.PersonRanges[14].maximum, b.PersonRanges[14].maximum);
  EXPECT_EQ(a.ReserveRanges[0].minimum, b.ReserveRanges[0].minimum);
  EXPECT_EQ(a.DeathAge(), b.DeathAge());
}

TEST(SettingsTest, NotANumberNamesTheCell) {
  std::string text = test::SettingsText();
  text.replace(text.find("0 0.5 2.0  Thirst"), 3, "0 x");
  try {
    ReadText(text);
    FAIL();
  } catch (const InputError& e) {
    EXPECT_THAT(
        e.what(),
        HasSubstr("data/settings.txt:11: expected a real number (MotWeightRanges row 3, minimum)"));
  }
}

TEST(SettingsTest, FileEndingInsideATable) {
  std::string text = test::SettingsText();
  text.resize(text.find("Uncertainty"));
  EXPECT_THROW(ReadText(text), InputError);
  EXPECT_THROW(Settings::Read("/nonexistent/settings.txt", "data/settings.txt"), InputError);
}

}  // namespace
}  // namespace murinex
