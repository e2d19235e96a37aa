// The headless runner when things go wrong: every failure is exit status 1
// with a message, quickly, and a run that fails to start leaves the last
// run's files as they were.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <map>

#include "tests/common/test_run.h"

namespace murinex {
namespace {

using ::testing::HasSubstr;

struct Outcome {
  int status;
  std::string err;
};

// `out` is where the standard output goes.
Outcome Runner(const std::string& arguments, const test::TempDir& scratch,
               const std::string& out = "") {
  const std::string errFile = (scratch / "stderr.txt").string();
  const std::string command = std::string(MURINEX_RUN_BINARY) + " " + arguments + " >" +
                              (out.empty() ? (scratch / "stdout.txt").string() : out) + " 2>" +
                              errFile;
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::ReadText(errFile)};
}

// Every file below the folder with its contents.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    if (entry.is_regular_file())
      files[std::filesystem::relative(entry.path(), folder).string()] =
          test::ReadText(entry.path());
  return files;
}

class RunnerFailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy(test::TestData() / "small_run", folder.path(),
                          std::filesystem::copy_options::recursive);
  }
  std::string Dir() const { return "--dir " + folder.path().string(); }
  void Replace(const std::string& file, const std::string& from, const std::string& to) {
    std::string text = test::ReadText(folder / file);
    const auto at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    test::WriteText(folder / file, text);
  }
  // Exit status 1 with the message (a hang is caught by the test's time-out).
  void ExpectFailure(const std::string& arguments, const std::string& message) {
    const Outcome r = Runner(arguments, scratch);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_THAT(r.err, HasSubstr(message));
  }
  test::TempDir folder;
  test::TempDir scratch;
};

// Finding 6: a bad population or world file no longer truncates the last
// run's protocols nor rewrites its dump 0.
TEST_F(RunnerFailureTest, AFailedStartLeavesTheLastRunsFilesAsTheyWere) {
  ASSERT_EQ(Runner(Dir() + " --ticks 250", scratch).status, 0);
  test::WriteText(folder / "data/Maeuse-NN-7.dat", "a later dump of the last run\n");
  const auto before = Snapshot(folder.path());
  const std::string population = before.at("data/population.txt");
  Replace("data/population.txt", "   120    45", "   120    4x");
  ExpectFailure(Dir() + " --ticks 10", "data/population.txt:5: expected an integer");
  test::WriteText(folder / "data/population.txt", population);
  Replace("data/world.txt", "400 300", "400 x0");
  ExpectFailure(Dir() + " --ticks 10", "data/world.txt:2: expected an integer (world height)");
  test::WriteText(folder / "data/world.txt", before.at("data/world.txt"));
  // The failure is told of beside the last run's manifest, not over it.
  EXPECT_TRUE(std::filesystem::remove(folder / "run-failed.json"));
  EXPECT_EQ(Snapshot(folder.path()), before);
}

// Finding 7: a device or a pipe named in the start-up file.
TEST_F(RunnerFailureTest, DevicesAndPipesAreRefused) {
  test::WriteText(folder / "data/inimaus.ini",
                  "../../../../../../../../dev/zero\nworld.txt\nsettings.txt\n");
  ExpectFailure(Dir() + " --ticks 1", "data/../../../../../../../../dev/zero: not a regular file");
  ASSERT_EQ(::mkfifo((folder / "data/fifo.txt").c_str(), 0600), 0);
  test::WriteText(folder / "data/inimaus.ini", "population.txt\nfifo.txt\nsettings.txt\n");
  ExpectFailure(Dir() + " --ticks 1", "data/fifo.txt: not a regular file");
}

TEST_F(RunnerFailureTest, AFileOverTheSizeLimitIsRefused) {
  // A sparse file: 257 MiB long, nothing written.
  std::filesystem::resize_file(folder / "data/settings.txt", std::uintmax_t{257} << 20);
  ExpectFailure(Dir() + " --ticks 1", "data/settings.txt: the file is too large");
}

// Finding 8: a long task name, an empty file name, stale temporary dumps and
// a summary that cannot be written.
TEST_F(RunnerFailureTest, ATaskNameOfMoreThan64CharactersIsRefusedBeforeAnyFile) {
  const Outcome r = Runner(Dir() + " --ticks 1 --task " + std::string(240, 'a'), scratch);
  EXPECT_EQ(r.status, 2);  // a usage error
  EXPECT_THAT(r.err, HasSubstr("it must have 1 to 64 characters"));
  EXPECT_FALSE(std::filesystem::exists(folder / "Proto"));
  EXPECT_EQ(Runner(Dir() + " --ticks 0 --task " + std::string(64, 'b'), scratch).status, 0);
}

TEST_F(RunnerFailureTest, AnEmptyFileNameIsNamedAsSuch) {
  test::WriteText(folder / "data/inimaus.ini", "\nworld.txt\nsettings.txt\n");
  ExpectFailure(Dir() + " --ticks 1", "data/inimaus.ini:1: the population file name is empty");
}

TEST_F(RunnerFailureTest, StaleTemporaryDumpsOfTheTaskAreRemoved) {
  for (const char* name : {"Maeuse-T-5.dat.tmp", "Genom-T-12.dat.tmp", "Maeuse-T2-5.dat.tmp",
                           "Maeuse-T-x.dat.tmp", "notes.tmp"})
    test::WriteText(folder / "data" / name, "half");
  ASSERT_EQ(Runner(Dir() + " --ticks 0 --task T", scratch).status, 0);
  EXPECT_FALSE(std::filesystem::exists(folder / "data/Maeuse-T-5.dat.tmp"));
  EXPECT_FALSE(std::filesystem::exists(folder / "data/Genom-T-12.dat.tmp"));
  // Other tasks' files and names the dumps never use stay.
  EXPECT_TRUE(std::filesystem::exists(folder / "data/Maeuse-T2-5.dat.tmp"));
  EXPECT_TRUE(std::filesystem::exists(folder / "data/Maeuse-T-x.dat.tmp"));
  EXPECT_TRUE(std::filesystem::exists(folder / "data/notes.tmp"));
}

TEST_F(RunnerFailureTest, ASummaryLostOnAFullDeviceIsAFailure) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const Outcome r = Runner(Dir() + " --ticks 0", scratch, "/dev/full");
  EXPECT_EQ(r.status, 1);
  EXPECT_THAT(r.err, HasSubstr("cannot write the summary"));
}

// Findings 2 and 3 end to end: a population with an extreme InhibW or a huge
// relation value is refused at once.
TEST_F(RunnerFailureTest, ExtremeValuesInThePopulationAreRefused) {
  const std::string population = test::ReadText(folder / "data/population.txt");
  Replace("data/population.txt", "    0.50000000    0.40000000  // InhibW",
          "   -1e8    0.40000000  // InhibW");
  ExpectFailure(Dir() + " --ticks 10", "person parameter InhibW must lie between -10 and 10");
  EXPECT_FALSE(std::filesystem::exists(folder / "Proto"));
  test::WriteText(folder / "data/population.txt", population);
  Replace("data/population.txt", "    0.5000    0.0000", "    1e200    0.0000");
  ExpectFailure(Dir() + " --ticks 10", "Friendship of a FriEns entry must lie between 0 and 1");
}

}  // namespace
}  // namespace murinex
