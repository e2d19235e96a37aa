// End to end: the model's own values (--set model.NAME=VALUE) on the default run.
// The default population carries no young, so every birth of these runs was
// conceived during the run, a pregnancy's length before it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <map>
#include <memory>

#include "tests/common/test_run.h"

namespace murinex {
namespace {

constexpr int Ticks = 2500;

// Every output file of a run, dumps without their dated first line; the
// manifest is left out, as it records the command line.
std::map<std::string, std::string> Outputs(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const char* sub : {"Proto", "data"})
    for (const auto& entry : std::filesystem::directory_iterator(folder / sub)) {
      std::string text = test::ReadText(entry.path());
      if (entry.path().extension() == ".dat") text = text.substr(text.find('\n') + 1);
      files[std::string(sub) + "/" + entry.path().filename().string()] = text;
    }
  return files;
}

// The rows of a CSV file below its header, split at commas.
std::vector<std::vector<std::string>> Rows(const std::filesystem::path& file) {
  std::vector<std::vector<std::string>> rows;
  const auto lines = test::ReadLines(file);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (std::size_t comma; (comma = lines[i].find(',', start)) != std::string::npos;
         start = comma + 1)
      cells.push_back(lines[i].substr(start, comma - start));
    cells.push_back(lines[i].substr(start));
    rows.push_back(cells);
  }
  return rows;
}

// The plain run (no model value set) is made once for the suite.
class ModelValuesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    shared_ = std::make_unique<test::TempDir>();
    plain_ = RunInto(shared_->path() / "plain", "");
  }
  static void TearDownTestSuite() { shared_.reset(); }

  // The default run for Ticks ticks with `sets`, written below `out`.
  static std::filesystem::path RunInto(const std::filesystem::path& out, const std::string& sets) {
    const std::string folder = (test::TestData() / ".." / ".." / "default-run").string();
    const std::string command = std::string(MURINEX_RUN_BINARY) + " --dir " + folder + " --out " +
                                out.string() + " --ticks " + std::to_string(Ticks) + " " + sets +
                                " >/dev/null 2>" + (out.string() + ".err");
    const int raw = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << command << "\n"
                                                         << test::ReadText(out.string() + ".err");
    return out;
  }
  std::filesystem::path Run(const std::string& name, const std::string& sets) {
    return RunInto(outs.path() / name, sets);
  }
  static const std::filesystem::path& Plain() { return plain_; }

  test::TempDir outs;

 private:
  inline static std::unique_ptr<test::TempDir> shared_;
  inline static std::filesystem::path plain_;
};

// The statistics rows of a protocol written before tick `before` (row k at tick k x 100).
std::vector<std::string> StatRowsBefore(const std::filesystem::path& out, int before) {
  const auto lines = test::ReadLines(out / "Proto/ProtoNN.prt");
  const std::size_t rows = static_cast<std::size_t>((before - 1) / 100);
  return {lines.begin() + 1, lines.begin() + 1 + static_cast<std::ptrdiff_t>(rows)};
}

TEST_F(ModelValuesTest, TheirDefaultsGiveTheSameFilesAsNoValueAtAll) {
  const auto plain = Outputs(Plain());
  // Written otherwise than the defaults, but the same numbers.
  const auto given =
      Outputs(Run("given",
                  "--set model.MatingAge=5000 --set model.MatingChance=0.50 "
                  "--set model.PregnancyLength=2000 --set model.StatisticsInterval=100 "
                  "--set model.DumpInterval=+10000"));
  EXPECT_GT(Rows(Plain() / "Proto/Births-NN.csv").size(), 0u);
  ASSERT_EQ(plain.size(), given.size());
  for (const auto& [name, text] : plain)
    EXPECT_TRUE(given.count(name) && text == given.at(name)) << name << " differs";
}

// The statistics interval changes when rows are written and nothing the mice do.
TEST_F(ModelValuesTest, AnotherStatisticsIntervalChangesOnlyTheRows) {
  const auto plainDir = Plain();
  const auto denseDir = Run("dense", "--set model.StatisticsInterval=50");
  auto plain = Outputs(plainDir);
  auto dense = Outputs(denseDir);
  for (auto* files : {&plain, &dense}) {
    files->erase("Proto/ProtoNN.prt");
    files->erase("Proto/Traits-NN.csv");
  }
  ASSERT_EQ(plain.size(), dense.size());
  for (const auto& [name, text] : plain)
    EXPECT_TRUE(dense.count(name) && text == dense.at(name)) << name << " differs";
  // A row every 50 ticks: 2500 / 50 = 50 rows under the header; the traits
  // (a snapshot of the living) of every second row are the plain run's.
  EXPECT_EQ(test::ReadLines(denseDir / "Proto/ProtoNN.prt").size(), 51u);
  const auto plainTraits = Rows(plainDir / "Proto/Traits-NN.csv");
  const auto denseTraits = Rows(denseDir / "Proto/Traits-NN.csv");
  ASSERT_EQ(plainTraits.size(), 25u);
  ASSERT_EQ(denseTraits.size(), 50u);
  for (std::size_t i = 0; i < plainTraits.size(); ++i)
    EXPECT_EQ(denseTraits[2 * i + 1], plainTraits[i]) << "row at tick " << plainTraits[i][0];
}

// Dumps at 0, 1000, 2000 and the final one at 2500. Writing a dump fades the
// retention of every remembered place (a draw per place), so the run goes its
// own way after the first extra dump, and not before it.
TEST_F(ModelValuesTest, AnotherDumpIntervalDumpsThereAndTheRunDiffersOnlyAfter) {
  const auto plainDir = Plain();
  const auto denseDir = Run("dense", "--set model.DumpInterval=1000");
  const auto plain = Outputs(plainDir);
  const auto dense = Outputs(denseDir);
  EXPECT_TRUE(dense.at("data/Maeuse-NN-0.dat") == plain.at("data/Maeuse-NN-0.dat"));
  EXPECT_EQ(test::ReadLines(denseDir / "data/Maeuse-NN-1.dat")[1], "      1000    // TaktNr");
  EXPECT_EQ(test::ReadLines(denseDir / "data/Maeuse-NN-2.dat")[1], "      2000    // TaktNr");
  EXPECT_EQ(test::ReadLines(denseDir / "data/Maeuse-NN-3.dat")[1], "      2500    // TaktNr");
  EXPECT_FALSE(dense.count("data/Maeuse-NN-4.dat"));
  EXPECT_FALSE(plain.count("data/Maeuse-NN-2.dat"));
  // The row of tick 1000 is written before that tick's dump.
  EXPECT_EQ(StatRowsBefore(denseDir, 1001), StatRowsBefore(plainDir, 1001));
  EXPECT_FALSE(dense.at("Proto/ProtoNN.prt") == plain.at("Proto/ProtoNN.prt"));
}

// Mating: no conception at chance 0; a shorter pregnancy brings the same
// first child (same parents) earlier by the difference; before the first
// conception both runs are the plain run.
TEST_F(ModelValuesTest, MatingValuesChangeTheBirthsFromTheFirstConceptionOn) {
  const auto plainDir = Plain();
  const auto plainBirths = Rows(plainDir / "Proto/Births-NN.csv");
  ASSERT_GT(plainBirths.size(), 0u);
  const int firstBirth = std::stoi(plainBirths[0][0]);
  const int firstConception = firstBirth - 2000;
  ASSERT_GT(firstConception, 100);

  const auto chasteDir = Run("chaste", "--set model.MatingChance=0");
  EXPECT_EQ(Rows(chasteDir / "Proto/Births-NN.csv").size(), 0u);
  EXPECT_EQ(StatRowsBefore(chasteDir, firstConception), StatRowsBefore(plainDir, firstConception));

  const auto shortDir = Run("short", "--set model.PregnancyLength=1500");
  const auto shortBirths = Rows(shortDir / "Proto/Births-NN.csv");
  ASSERT_GT(shortBirths.size(), 0u);
  EXPECT_EQ(std::stoi(shortBirths[0][0]), firstBirth - 500);
  EXPECT_EQ(shortBirths[0][2], plainBirths[0][2]);  // mother
  EXPECT_EQ(shortBirths[0][3], plainBirths[0][3]);  // father
  EXPECT_EQ(StatRowsBefore(shortDir, firstBirth - 500), StatRowsBefore(plainDir, firstBirth - 500));

  // Nobody is old enough to mate.
  const auto youngDir = Run("young", "--set model.MatingAge=1000000");
  EXPECT_EQ(Rows(youngDir / "Proto/Births-NN.csv").size(), 0u);
}

// A stopped run resumed with other values forks: the dump interval may change
// there, the statistics interval may not (a usage error; nothing is written).
TEST_F(ModelValuesTest, AtAForkTheDumpIntervalChangesAndTheStatisticsIntervalIsRefused) {
  const std::string runner = std::string(MURINEX_RUN_BINARY) + " --dir " +
                             (test::TestData() / ".." / ".." / "default-run").string() + " --out " +
                             outs.path().string() + " --ticks 2000 ";
  const std::string err = (outs / "err.txt").string();
  auto status = [&](const std::string& more) {
    const int raw = std::system((runner + more + " >/dev/null 2>" + err).c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  };
  ASSERT_EQ(status("--stop-after 1000"), 75);
  const std::string manifest = test::ReadText(outs / "run.json");
  EXPECT_EQ(status("--resume --set model.StatisticsInterval=50"), 2);
  EXPECT_THAT(test::ReadText(err),
              ::testing::HasSubstr("model.StatisticsInterval cannot change at a fork"));
  EXPECT_EQ(test::ReadText(outs / "run.json"), manifest);
  ASSERT_EQ(status("--resume --set model.DumpInterval=300"), 0) << test::ReadText(err);
  // Dump 0 at the start; from the fork at 1000 on every 300 ticks: 1200, 1500, 1800; the final one
  // at 2000.
  const std::pair<int, int> dumps[] = {{1, 1200}, {2, 1500}, {3, 1800}, {4, 2000}};
  for (const auto& [number, tick] : dumps) {
    const auto lines =
        test::ReadLines(outs / ("data/Maeuse-NN-" + std::to_string(number) + ".dat"));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(std::stoi(lines[1]), tick) << "dump " << number;
  }
}

}  // namespace
}  // namespace murinex
