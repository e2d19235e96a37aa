#include "sim/startup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "agent/maus.h"
#include "model/run.h"
#include "tests/common/test_run.h"
#include "world/error.h"

namespace murinex {
namespace {

using test::ReadLines;
using test::ReadText;
using test::TempDir;
using test::WriteText;
using ::testing::HasSubstr;

// A copy of the small test run folder in a temporary folder.
struct RunFolder {
  RunFolder() {
    std::filesystem::copy(test::TestData() / "small_run", dir.path(),
                          std::filesystem::copy_options::recursive);
  }
  TempDir dir;
};

TEST(StartUpTest, ReadsTheStartupFileAndCreatesTheBirthLogAtSetUp) {
  RunFolder folder;
  murinex::Run run(folder.dir.path());
  run.CheckMausId = 1;
  StartUp(run, "NN");
  EXPECT_EQ(run.PopulationFileName, "population.txt");
  EXPECT_EQ(run.WorldFileName, "world.txt");
  EXPECT_EQ(run.SettingsFileName, "settings.txt");
  EXPECT_EQ(run.TaskName, "NN");
  EXPECT_EQ(run.CheckMausId, 35);
  // Nothing is written before every input has been read.
  EXPECT_FALSE(std::filesystem::exists(folder.dir / "Proto/protGen.prt"));
  SetUpPopulation(run);
  EXPECT_TRUE(std::filesystem::exists(folder.dir / "Proto/protGen.prt"));
  EXPECT_TRUE(run.BirthLog.IsOpen());
}

TEST(StartUpTest, StartupFileWithCrLfAndTrailingBlanks) {
  RunFolder folder;
  WriteText(folder.dir / "data/inimaus.ini", "population.txt  \r\nworld.txt\r\nsettings.txt\t\r\n");
  murinex::Run run(folder.dir.path());
  StartUp(run, "T1");
  EXPECT_EQ(run.PopulationFileName, "population.txt");
  EXPECT_EQ(run.SettingsFileName, "settings.txt");
}

TEST(StartUpTest, BackslashesMapToFolders) {
  EXPECT_EQ(DataFileName("sub\\world.txt"), "data/sub/world.txt");
  EXPECT_EQ(DataFileName("pop1.txt"), "data/pop1.txt");
}

TEST(StartUpTest, MissingStartupFile) {
  TempDir dir;
  murinex::Run run(dir.path());
  try {
    StartUp(run, "NN");
    FAIL();
  } catch (const InputError& e) {
    EXPECT_THAT(e.what(), HasSubstr("data/inimaus.ini: cannot open file"));
  }
}

TEST(StartUpTest, TaskNamesMustBePlainFileNames) {
  EXPECT_TRUE(ValidTaskName("NN"));
  EXPECT_TRUE(ValidTaskName("run-2 b"));
  for (const char* bad : {"", ".", "..", "a/b", "..\\x", "/etc", "a\nb"}) {
    EXPECT_FALSE(ValidTaskName(bad)) << bad;
    RunFolder folder;
    murinex::Run run(folder.dir.path());
    EXPECT_THROW(StartUp(run, bad), InputError);
  }
}

TEST(PopulationSetUpTest, ProtocolFilesAndDumpZero) {
  RunFolder folder;
  murinex::Run run(folder.dir.path());
  StartUp(run, "NN");
  run.random.SetSeed(99);
  SetUpPopulation(run);
  EXPECT_EQ(run.Mice.size(), 3u);
  EXPECT_EQ(run.TickCount, 0);
  EXPECT_EQ(run.DumpNumber, 1);
  const auto stat = ReadLines(folder.dir / "Proto/ProtoNN.prt");
  ASSERT_EQ(stat.size(), 1u);
  EXPECT_EQ(stat[0].rfind("0;Learn;PlanSteps;SuccessfulPlan;Arousal;", 0), 0u);
  EXPECT_EQ(std::count(stat[0].begin(), stat[0].end(), ';'),
            1 + 68);  // after the tick, after each column
  EXPECT_THAT(stat[0], HasSubstr(";MDensity;MVarDens;DHunger;DThirst;DPain;DAge;Strength;"
                                 "CareHunger;CareThirst;CarePain;"));
  EXPECT_EQ(ReadText(folder.dir / "Proto/KofiProtNN.prt"),
            " ;ID;Taktnr;PrevKomp;PlusMinus;Komp.Ist;Quelle;\n");
  EXPECT_EQ(ReadText(folder.dir / "Proto/AggProtNN.prt"),
            "cyclecounter;socialvalue;successvalue;successexpect;random;aggten;Aggression;\n");
  EXPECT_EQ(ReadText(folder.dir / "Proto/BehaviourNN.prt"), "");
  EXPECT_TRUE(std::filesystem::exists(folder.dir / "data/Maeuse-NN-0.dat"));
  EXPECT_TRUE(std::filesystem::exists(folder.dir / "data/Genom-NN-0.dat"));
}

TEST(PopulationSetUpTest, StartTickAndEmptyPopulation) {
  RunFolder folder;
  WriteText(folder.dir / "data/population.txt", "Nobody here\n20000  start tick\n\n  \n");
  murinex::Run run(folder.dir.path());
  StartUp(run, "NN");
  SetUpPopulation(run);
  EXPECT_TRUE(run.Mice.empty());
  EXPECT_EQ(run.TickCount, 20000);
  const auto stat = ReadLines(folder.dir / "Proto/ProtoNN.prt");
  EXPECT_EQ(stat[0].rfind("20000;Learn;PlanSteps;SuccessfulPlan;", 0), 0u);
  // An empty population dump holds only its three header lines.
  const auto dump = ReadLines(folder.dir / "data/Maeuse-NN-0.dat");
  ASSERT_EQ(dump.size(), 3u);
  EXPECT_EQ(dump[1], "     20000    // TaktNr");
  EXPECT_EQ(dump[2], "");
}

TEST(PopulationSetUpTest, ABadRecordLeavesNoProtocolBehind) {
  RunFolder folder;
  std::string text = ReadText(folder.dir / "data/population.txt");
  text.replace(text.find("   120    45"), 12, "   120    4x");
  WriteText(folder.dir / "data/population.txt", text);
  murinex::Run run(folder.dir.path());
  StartUp(run, "NN");
  try {
    SetUpPopulation(run);
    FAIL();
  } catch (const InputError& e) {
    EXPECT_THAT(
        e.what(),
        HasSubstr("data/population.txt:5: expected an integer (y of Position), found \"4x\""));
  }
  EXPECT_TRUE(run.Mice.empty());
  EXPECT_FALSE(std::filesystem::exists(folder.dir / "Proto/ProtoNN.prt"));
  EXPECT_FALSE(std::filesystem::exists(folder.dir / "data/Maeuse-NN-0.dat"));
}

TEST(PopulationSetUpTest, RelationsLinkToTheFirstMouseWithTheID) {
  RunFolder folder;
  murinex::Run run(folder.dir.path());
  StartUp(run, "NN");
  SetUpPopulation(run);
  const TMaus& grey = *run.Mice[0];
  ASSERT_EQ(grey.Relations.size(), 6u);
  EXPECT_EQ(grey.Relations[0].OtherID, 8);
  EXPECT_EQ(grey.Relations[0].Other, run.Mice[1]->Handle);
  EXPECT_EQ(grey.Relations[1].Other, MouseHandle{});  // no mouse 9
}

TEST(PopulationSetUpTest, WorldIsLoadedAfterwards) {
  RunFolder folder;
  murinex::Run run(folder.dir.path());
  StartUp(run, "NN");
  SetUpPopulation(run);
  LoadWorld(run);
  ASSERT_TRUE(run.World);
  EXPECT_EQ(run.World->TerraList.size(), 3u);
  EXPECT_EQ(run.World->WorldWidth, 400);
}

TEST(DumpCommandsTest, FinishUsesTheCurrentNumberAndDumpNowAdvancesIt) {
  RunFolder folder;
  murinex::Run run(folder.dir.path());
  StartUp(run, "NN");
  SetUpPopulation(run);
  DumpNow(run);
  DumpNow(run);
  EXPECT_TRUE(std::filesystem::exists(folder.dir / "data/Maeuse-NN-1.dat"));
  EXPECT_TRUE(std::filesystem::exists(folder.dir / "data/Genom-NN-2.dat"));
  EXPECT_EQ(run.DumpNumber, 3);
  FinishRun(run);
  EXPECT_TRUE(std::filesystem::exists(folder.dir / "data/Maeuse-NN-3.dat"));
  EXPECT_EQ(run.DumpNumber, 3);
  EXPECT_FALSE(run.StatProto.IsOpen());
  EXPECT_FALSE(run.BirthLog.IsOpen());
}

}  // namespace
}  // namespace murinex
