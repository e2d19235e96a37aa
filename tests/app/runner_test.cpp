// End to end: the headless runner on the small test run folder.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "tests/common/test_run.h"

namespace murinex {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

struct Result {
  int status;
  std::string err;
};

Result RunRunner(const std::string& arguments, const test::TempDir& scratch) {
  const std::string errFile = (scratch / "stderr.txt").string();
  const std::string command = std::string(MURINEX_RUN_BINARY) + " " + arguments + " >" +
                              (scratch / "stdout.txt").string() + " 2>" + errFile;
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::ReadText(errFile)};
}

class RunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy(test::TestData() / "small_run", folder.path(),
                          std::filesystem::copy_options::recursive);
  }
  std::string Dir() const { return "--dir " + folder.path().string(); }
  test::TempDir folder;
  test::TempDir scratch;
};

TEST_F(RunnerTest, RunsAndLeavesItsFiles) {
  const Result r = RunRunner(Dir() + " --ticks 250 --task T1", scratch);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");  // no progress bar when stderr is not a terminal
  const auto stat = test::ReadLines(folder / "Proto/ProtoT1.prt");
  ASSERT_EQ(stat.size(), 3u);  // header and the rows of ticks 100 and 200
  EXPECT_THAT(stat[0], StartsWith("0;Learn;PlanSteps;"));
  EXPECT_THAT(stat[1], StartsWith("   1;"));
  EXPECT_THAT(stat[2], StartsWith("   2;"));
  for (const char* name : {"Proto/protGen.prt", "Proto/KofiProtT1.prt", "Proto/BehaviourT1.prt",
                           "Proto/AggProtT1.prt", "data/Maeuse-T1-0.dat", "data/Genom-T1-0.dat",
                           "data/Maeuse-T1-1.dat", "data/Genom-T1-1.dat"})
    EXPECT_TRUE(std::filesystem::exists(folder / name)) << name;
  EXPECT_FALSE(std::filesystem::exists(folder / "data/Maeuse-T1-2.dat"));
  const auto last = test::ReadLines(folder / "data/Maeuse-T1-1.dat");
  EXPECT_THAT(last[0], StartsWith("data/Maeuse-T1-1.dat vom "));
  EXPECT_EQ(last[1], "       250    // TaktNr");
  EXPECT_EQ(test::ReadLines(folder / "Proto/KofiProtT1.prt")[0],
            " ;ID;Taktnr;PrevKomp;PlusMinus;Komp.Ist;Quelle;");
}

TEST_F(RunnerTest, DefaultTaskNameIsNN) {
  ASSERT_EQ(RunRunner(Dir() + " --ticks 0", scratch).status, 0);
  EXPECT_TRUE(std::filesystem::exists(folder / "Proto/ProtoNN.prt"));
  EXPECT_TRUE(std::filesystem::exists(folder / "data/Maeuse-NN-1.dat"));
}

TEST_F(RunnerTest, InputErrorNamesFileAndLine) {
  std::string text = test::ReadText(folder / "data/world.txt");
  text.replace(text.find("400 300"), 7, "400 x0");
  test::WriteText(folder / "data/world.txt", text);
  const Result r = RunRunner(Dir() + " --ticks 10", scratch);
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("data/world.txt:2: expected an integer (world height), found \"x0\""));
}

TEST_F(RunnerTest, BadUsage) {
  EXPECT_EQ(RunRunner("--ticks 5", scratch).status, 2);
  EXPECT_EQ(RunRunner(Dir(), scratch).status, 2);
  EXPECT_EQ(RunRunner(Dir() + " --ticks five", scratch).status, 2);
  EXPECT_EQ(RunRunner(Dir() + " --ticks 5 --colour red", scratch).status, 2);
  const Result r = RunRunner(Dir() + " --ticks 5 --task ../x", scratch);
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("cannot be part of a file name"));
  EXPECT_EQ(RunRunner("--help", scratch).status, 0);
  EXPECT_THAT(test::ReadText(scratch / "stdout.txt"), HasSubstr("usage: murinex-run --dir DIR --ticks N"));
}

TEST_F(RunnerTest, MissingRunFolder) {
  const Result r = RunRunner("--dir " + (folder / "nowhere").string() + " --ticks 1", scratch);
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("data/inimaus.ini: cannot open file"));
}

}  // namespace
}  // namespace murinex
