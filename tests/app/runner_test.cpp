// End to end: the headless runner on the small test run folder.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <map>

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
  EXPECT_THAT(r.err,
              HasSubstr("data/world.txt:2: expected an integer (world height), found \"x0\""));
}

TEST_F(RunnerTest, BadUsage) {
  EXPECT_EQ(RunRunner("--ticks 5", scratch).status, 2);
  EXPECT_EQ(RunRunner(Dir(), scratch).status, 2);
  EXPECT_EQ(RunRunner(Dir() + " --ticks five", scratch).status, 2);
  EXPECT_EQ(RunRunner(Dir() + " --ticks 5 --colour red", scratch).status, 2);
  // A task name that cannot name a file is a usage error too, before anything is read.
  const Result r = RunRunner(Dir() + " --ticks 5 --task ../x", scratch);
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.err, HasSubstr("--task \"../x\" cannot be part of a file name"));
  EXPECT_FALSE(std::filesystem::exists(folder / "Proto"));
  EXPECT_EQ(RunRunner("--help", scratch).status, 0);
  EXPECT_THAT(test::ReadText(scratch / "stdout.txt"),
              HasSubstr("usage: murinex-run --dir DIR --ticks N"));
}

// A new run into a folder that holds an earlier run of its task: the earlier
// run's dumps go, even a higher-numbered one the new run will not overwrite,
// but never the file the new run starts from, nor another task's dumps.
TEST_F(RunnerTest, ANewRunRemovesTheEarlierDumpsOfItsTaskButNotItsInputs) {
  std::filesystem::copy_file(folder / "data/population.txt", folder / "data/Maeuse-T-3.dat");
  test::WriteText(folder / "data/inimaus.ini", "Maeuse-T-3.dat\nworld.txt\nsettings.txt\n");
  const std::string population = test::ReadText(folder / "data/Maeuse-T-3.dat");
  for (const char* name :
       {"Maeuse-T-2.dat", "Genom-T-7.dat", "Genom-T-1.dat.tmp", "Maeuse-U-7.dat"})
    test::WriteText(folder / "data" / name, "of an earlier run\n");
  ASSERT_EQ(RunRunner(Dir() + " --ticks 0 --task T", scratch).status, 0);
  for (const char* gone : {"Maeuse-T-2.dat", "Genom-T-7.dat", "Genom-T-1.dat.tmp"})
    EXPECT_FALSE(std::filesystem::exists(folder / "data" / gone)) << gone;
  EXPECT_EQ(test::ReadText(folder / "data/Maeuse-T-3.dat"), population);
  EXPECT_TRUE(std::filesystem::exists(folder / "data/Maeuse-U-7.dat"));
  for (const char* made : {"Maeuse-T-0.dat", "Genom-T-0.dat", "Maeuse-T-1.dat", "Genom-T-1.dat"})
    EXPECT_TRUE(std::filesystem::exists(folder / "data" / made)) << made;

  // With --out the output folder is cleared the same way; the run folder is only read.
  test::TempDir out;
  test::WriteText(out / "data/Maeuse-T-2.dat", "of an earlier run\n");
  ASSERT_EQ(RunRunner(Dir() + " --ticks 0 --task T --out " + out.path().string(), scratch).status,
            0);
  EXPECT_FALSE(std::filesystem::exists(out / "data/Maeuse-T-2.dat"));
  EXPECT_TRUE(std::filesystem::exists(out / "data/Maeuse-T-1.dat"));
  EXPECT_TRUE(std::filesystem::exists(folder / "data/Maeuse-T-1.dat"));
}

TEST_F(RunnerTest, MissingRunFolder) {
  const Result r = RunRunner("--dir " + (folder / "nowhere").string() + " --ticks 1", scratch);
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("data/inimaus.ini: cannot open file"));
}

// Every output file of a run folder, dumps without their dated first line.
std::map<std::string, std::string> Outputs(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const char* sub : {"Proto", "data"}) {
    for (const auto& entry : std::filesystem::directory_iterator(folder / sub)) {
      std::string text = test::ReadText(entry.path());
      if (entry.path().extension() == ".dat") text = text.substr(text.find('\n') + 1);
      files[std::string(sub) + "/" + entry.path().filename().string()] = text;
    }
  }
  return files;
}

// Place rows without the forgotten ones, and without row number and NextIndex.
std::vector<std::string> WithoutForgottenPlaces(const std::vector<std::string>& lines) {
  std::vector<std::string> kept;
  bool places = false;
  for (const std::string& line : lines) {
    if (line == " --- Memory ---") {
      places = true;
    } else if (line.empty()) {
      places = false;
    } else if (places) {
      if (line.substr(18, 12) == " 0.000000000") continue;
      kept.push_back(line.substr(5, 33) + line.substr(45));
      continue;
    }
    kept.push_back(line);
  }
  return kept;
}

class DefaultRunTest : public ::testing::Test {
 protected:
  void Copy(const test::TempDir& into) {
    std::filesystem::copy(test::TestData() / ".." / ".." / "default-run", into.path(),
                          std::filesystem::copy_options::recursive);
  }
  test::TempDir scratch;
};

TEST_F(DefaultRunTest, SelectingAMouseThatIsNotThereIsSaidOnStderr) {
  test::TempDir a;
  Copy(a);
  const Result there = RunRunner("--dir " + a.path().string() + " --ticks 0 --select 35", scratch);
  ASSERT_EQ(there.status, 0);
  EXPECT_EQ(there.err, "");
  const Result missing =
      RunRunner("--dir " + a.path().string() + " --ticks 0 --select 9999", scratch);
  ASSERT_EQ(missing.status, 0);
  EXPECT_THAT(missing.err, HasSubstr("warning: --select 9999: the population has no mouse"));
}

TEST_F(DefaultRunTest, SameInputsGiveTheSameFiles) {
  test::TempDir a, b;
  Copy(a);
  Copy(b);
  ASSERT_EQ(RunRunner("--dir " + a.path().string() + " --ticks 2500 --select 35", scratch).status,
            0);
  ASSERT_EQ(RunRunner("--dir " + b.path().string() + " --ticks 2500 --select 35", scratch).status,
            0);
  const auto first = Outputs(a.path());
  const auto second = Outputs(b.path());
  EXPECT_GT(first.at("Proto/BehaviourNN.prt").size(), 1000u);  // the check mouse was logged
  EXPECT_GT(first.at("Proto/AggProtNN.prt").size(), 80u);
  ASSERT_EQ(first.size(), second.size());
  for (const auto& [name, text] : first)
    EXPECT_TRUE(text == second.at(name)) << name << " differs";
}

TEST_F(DefaultRunTest, ADumpStartsANewRun) {
  test::TempDir a, b;
  Copy(a);
  Copy(b);
  ASSERT_EQ(RunRunner("--dir " + a.path().string() + " --ticks 2000", scratch).status, 0);
  std::filesystem::copy_file(a / "data/Maeuse-NN-1.dat", b / "data/population.txt",
                             std::filesystem::copy_options::overwrite_existing);
  ASSERT_EQ(RunRunner("--dir " + b.path().string() + " --ticks 0 --task B", scratch).status, 0);
  // Places written with a Retention of 0 are forgotten when read back; the
  // others come back with their row number and links renumbered.
  const auto dumped = WithoutForgottenPlaces(test::ReadLines(a / "data/Maeuse-NN-1.dat"));
  const auto restarted = WithoutForgottenPlaces(test::ReadLines(b / "data/Maeuse-B-0.dat"));
  EXPECT_EQ(dumped[1], "      2000    // TaktNr");
  ASSERT_EQ(dumped.size(), restarted.size());
  for (std::size_t i = 1; i < dumped.size(); ++i)
    ASSERT_EQ(dumped[i], restarted[i]) << "line " << i + 1;
  EXPECT_THAT(test::ReadLines(b / "Proto/ProtoB.prt")[0], StartsWith("2000;Learn;"));
}

}  // namespace
}  // namespace murinex
