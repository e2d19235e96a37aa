// End to end: what the headless runner offers for experiments — seeds, value
// changes on the command line, a separate output folder and the manifest.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/common/test_run.h"

namespace murinex {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result RunRunner(const std::string& arguments, const test::TempDir& scratch) {
  const std::string outFile = (scratch / "stdout.txt").string();
  const std::string errFile = (scratch / "stderr.txt").string();
  const std::string command =
      std::string(MURINEX_RUN_BINARY) + " " + arguments + " >" + outFile + " 2>" + errFile;
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::ReadText(outFile), test::ReadText(errFile)};
}

// The outputs of a run below folder: protocols and dumps (without the dated
// first line of a dump), by name.
std::map<std::string, std::string> Outputs(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder / "Proto"))
    files["Proto/" + entry.path().filename().string()] = test::ReadText(entry.path());
  for (const auto& entry : fs::directory_iterator(folder / "data")) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".dat") continue;  // an input file
    const std::string text = test::ReadText(entry.path());
    files["data/" + name] = text.substr(text.find('\n') + 1);
  }
  return files;
}

// Replaces the tokens of every line that `pick` chooses, then joins them with blanks.
using TokenEdit = std::function<bool(std::vector<std::string>& tokens)>;
void EditLines(const fs::path& file, const TokenEdit& edit) {
  std::string result;
  int edited = 0;
  for (const std::string& line : test::ReadLines(file)) {
    std::istringstream in(line);
    std::vector<std::string> tokens;
    for (std::string t; in >> t;)
      tokens.push_back(t);
    if (!tokens.empty() && edit(tokens)) {
      ++edited;
      std::string joined;
      for (const std::string& t : tokens)
        joined += (joined.empty() ? "" : " ") + t;
      result += joined + "\n";
    } else {
      result += line + "\n";
    }
  }
  ASSERT_GT(edited, 0) << file;
  test::WriteText(file, result);
}

class DefaultRunCopies : public ::testing::Test {
 protected:
  void Copy(const test::TempDir& into) {
    fs::copy(test::TestData() / ".." / ".." / "default-run", into.path(),
             fs::copy_options::recursive);
  }
  Result Run(const test::TempDir& folder, const std::string& more) {
    return RunRunner("--dir " + folder.path().string() + " --ticks 1500 " + more, scratch);
  }
  // A run with --set into its own output folder, a run of a hand-edited copy,
  // and a run of the unchanged inputs: the first two must give the same files,
  // which must differ from the third.
  void ExpectSetEqualsEdit(const std::string& assignment, const std::string& file,
                           const TokenEdit& edit) {
    test::TempDir original, edited, out, plain;
    Copy(original);
    Copy(edited);
    Copy(plain);
    EditLines(edited / file, edit);
    ASSERT_EQ(Run(original, "--out " + out.path().string() + " --set " + assignment).status, 0)
        << test::ReadText(scratch / "stderr.txt");
    ASSERT_EQ(Run(edited, "").status, 0);
    ASSERT_EQ(Run(plain, "").status, 0);
    const auto bySet = Outputs(out.path());
    const auto byEdit = Outputs(edited.path());
    ASSERT_EQ(bySet.size(), byEdit.size());
    EXPECT_EQ(bySet.size(), 12u);  // five protocols, three life records, two dump pairs
    for (const auto& [name, text] : bySet)
      EXPECT_TRUE(text == byEdit.at(name)) << name << " differs";
    EXPECT_NE(bySet.at("Proto/ProtoNN.prt"), Outputs(plain.path()).at("Proto/ProtoNN.prt"));
    // The run folder given with --out is only read.
    EXPECT_FALSE(fs::exists(original / "Proto"));
    EXPECT_FALSE(fs::exists(original / "data/Maeuse-NN-0.dat"));
  }
  test::TempDir scratch;
};

TEST_F(DefaultRunCopies, SetOfASettingEqualsTheEditedSettingsFile) {
  // ActionSettings row "Move": hunger cost 1.0 becomes 2.5.
  ExpectSetEqualsEdit("ActionSettings.Move.hunger=2.5", "data/settings.txt", [](auto& t) {
    if (t.size() < 4 || t[3] != "Move") return false;
    t[0] = "2.5";
    return true;
  });
}

TEST_F(DefaultRunCopies, SetOfAMouseValueEqualsTheEditedPopulationFile) {
  // Every motive line of Hunger: Name Soll Ist BasMeta Leak Weight Reserve MaxReserve.
  ExpectSetEqualsEdit("mice.Hunger.Weight=1.9", "data/population.txt", [](auto& t) {
    if (t.size() < 8 || t[0] != "Hunger") return false;
    t[5] = "1.9";
    return true;
  });
}

TEST_F(DefaultRunCopies, SetOfAPatchValueEqualsTheEditedWorldFile) {
  // The line after "2 kind" holds: season count n, n day pairs, level, growth, decay.
  bool nextIsFood = false;
  ExpectSetEqualsEdit("world.Food.Level=0.002", "data/world.txt", [&](auto& t) {
    if (nextIsFood) {
      nextIsFood = false;
      t[1 + 2 * std::stoi(t[0])] = "0.002";
      return true;
    }
    nextIsFood = t.size() == 2 && t[0] == "2" && t[1] == "kind";
    return false;
  });
}

TEST_F(DefaultRunCopies, SeedOneIsTheDefaultAndOtherSeedsDiffer) {
  test::TempDir none, one, seven;
  for (auto* d : {&none, &one, &seven})
    Copy(*d);
  ASSERT_EQ(Run(none, "").status, 0);
  ASSERT_EQ(Run(one, "--seed 1").status, 0);
  ASSERT_EQ(Run(seven, "--seed 7").status, 0);
  EXPECT_TRUE(Outputs(none.path()) == Outputs(one.path()));
  const auto stats = test::ReadLines(none / "Proto/ProtoNN.prt");
  const auto other = test::ReadLines(seven / "Proto/ProtoNN.prt");
  ASSERT_EQ(stats.size(), 16u);  // header and 15 rows
  ASSERT_EQ(other.size(), 16u);
  EXPECT_EQ(stats[0], other[0]);
  EXPECT_NE(stats, other);
  // Dump 0 holds the population as read (the default mice remember no places,
  // whose fading on writing would draw): the seed does not show in it.
  EXPECT_EQ(Outputs(none.path()).at("data/Maeuse-NN-0.dat"),
            Outputs(seven.path()).at("data/Maeuse-NN-0.dat"));
}

// Without food and water the default population dies out within a few thousand
// ticks. With --stop-when-extinct the run ends after the tick of the last death
// with the files of a run asked for exactly that many ticks; without it, the run
// goes on empty to its last tick and its protocol begins with the same rows.
TEST_F(DefaultRunCopies, StopWhenExtinctEndsAsARunOfThatManyTicks) {
  const std::string starved =
      " --set world.Food.Level=0 --set world.Food.Growth=0"
      " --set world.Water.Level=0 --set world.Water.Growth=0";
  test::TempDir inputs, stopped, exact, full;
  Copy(inputs);
  const std::string dir = "--dir " + inputs.path().string() + starved;
  ASSERT_EQ(
      RunRunner(dir + " --ticks 5000 --stop-when-extinct --out " + stopped.path().string(), scratch)
          .status,
      0);
  const auto m = nlohmann::json::parse(test::ReadText(stopped / "run.json"));
  EXPECT_EQ(m["status"], "extinct");
  EXPECT_EQ(m["final_population"], 0);
  EXPECT_EQ(m["deaths"]["total"], 60 + m["births"].get<int>());
  const int lastTick = m["final_tick"];
  ASSERT_GT(lastTick, 0);
  ASSERT_LT(lastTick, 5000);

  const std::string ticks = " --ticks " + std::to_string(lastTick);
  ASSERT_EQ(RunRunner(dir + ticks + " --out " + exact.path().string(), scratch).status, 0);
  EXPECT_EQ(nlohmann::json::parse(test::ReadText(exact / "run.json"))["status"], "complete");
  const auto stoppedFiles = Outputs(stopped.path());
  EXPECT_EQ(stoppedFiles.size(), 12u);  // five protocols, three life records, two dump pairs
  EXPECT_TRUE(stoppedFiles == Outputs(exact.path()));

  ASSERT_EQ(RunRunner(dir + " --ticks 5000 --out " + full.path().string(), scratch).status, 0);
  const auto f = nlohmann::json::parse(test::ReadText(full / "run.json"));
  EXPECT_EQ(f["status"], "complete");
  EXPECT_EQ(f["final_tick"], 5000);
  EXPECT_THAT(test::ReadText(full / "Proto/ProtoNN.prt"),
              StartsWith(stoppedFiles.at("Proto/ProtoNN.prt")));
}

class SmallRun : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(test::TestData() / "small_run", folder.path(), fs::copy_options::recursive);
  }
  Result Run(const std::string& more) {
    return RunRunner("--dir " + folder.path().string() + " " + more, scratch);
  }
  nlohmann::json Manifest(const fs::path& where, const char* name = "run.json") {
    return nlohmann::json::parse(test::ReadText(where / name));
  }
  test::TempDir folder;
  test::TempDir scratch;
};

TEST_F(SmallRun, UnknownSetNamesListTheirFamily) {
  Result r = Run("--ticks 5 --set mice.Carefactr=0.5");
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.err, HasSubstr("unknown name \"mice.Carefactr\""));
  EXPECT_THAT(r.err, HasSubstr("mice.PARAM, mice.NEED.Weight, mice.NEED.BasMeta"));
  EXPECT_THAT(r.err, HasSubstr("Carefactor"));
  r = Run("--ticks 5 --set world.Meadow.Growth=0.5");
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.err, HasSubstr("KIND: Sand Food Water Vorarazav Stones HealingHerbs"));
  r = Run("--ticks 5 --set GoalNeedMatrix.Food.Hungry=1");
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.err, HasSubstr("GoalNeedMatrix.GOAL.NEED"));
  EXPECT_THAT(r.err, HasSubstr("LifeSpan, DeathAge, DeathProbability, MutationRate"));
  EXPECT_FALSE(fs::exists(folder / "Proto"));  // refused before anything is written
  EXPECT_FALSE(fs::exists(folder / "run.json"));
}

TEST_F(SmallRun, BadValuesAndSeedsAreUsageErrors) {
  for (const char* bad :
       {"--set mice.Carefactor=high", "--set mice.Carefactor=", "--set mice.Carefactor=0.5x",
        "--set LifeSpan=2.5", "--set Carefactor", "--set MutationRate=0.1 --set MutationRate=0.2",
        "--seed -1", "--seed 4294967296", "--seed 1.5", "--seed x"}) {
    const Result r = Run(std::string("--ticks 5 ") + bad);
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_THAT(r.err, StartsWith("murinex-run: ")) << bad;
  }
  EXPECT_THAT(Run("--ticks 5 --set LifeSpan=2.5").err,
              HasSubstr("the value of LifeSpan must be a whole number, got \"2.5\""));
  EXPECT_THAT(Run("--ticks 5 --seed -1").err,
              HasSubstr("--seed expects a whole number from 0 to 4294967295"));
  EXPECT_EQ(Run("--ticks 5 --seed 4294967295 --set LifeSpan=2000").status, 0);
}

TEST_F(SmallRun, HelpShowsEveryOptionWithAnExample) {
  const Result r = Run("--help");
  EXPECT_EQ(r.status, 0);
  for (const char* option :
       {"--dir", "--ticks", "--task", "--seed", "--set", "--out", "--select", "--check-id"})
    EXPECT_THAT(r.out, HasSubstr("(example: " + std::string(option) + " ")) << option;
}

TEST_F(SmallRun, ListsEverySetName) {
  const Result r = Run("--list-set-names");
  EXPECT_EQ(r.status, 0);
  std::vector<std::string> names;
  std::istringstream in(r.out);
  for (std::string line; std::getline(in, line);)
    names.push_back(line);
  // Settings: 4 single entries, MotWeightRanges 8 x 2, PersonRanges 15 x 3,
  // ReserveRanges 3 x 2, BasalMetaBolRanges 7 x 2, ActionSettings 13 x 2,
  // GoalNeedMatrix 11 x 8; mice: 15 + 8 x 2; world: 6 x 3; model: 5.
  EXPECT_EQ(names.size(), 4u + 16 + 45 + 6 + 14 + 26 + 88 + 15 + 16 + 18 + 5);
  for (const char* name :
       {"PersonRanges.Carefactor.max", "ActionSettings.Bite.hunger", "GoalNeedMatrix.Food.Hunger",
        "mice.Carefactor", "mice.Hunger.Weight", "mice.Comp.BasMeta", "world.Food.Growth",
        "world.HealingHerbs.Level", "model.MatingAge", "model.MatingChance",
        "model.PregnancyLength", "model.StatisticsInterval", "model.DumpInterval"})
    EXPECT_THAT(names, ::testing::Contains(name));
}

std::string Sha256Sum(const fs::path& file, const test::TempDir& scratch) {
  const std::string out = (scratch / "sha.txt").string();
  EXPECT_EQ(std::system(("sha256sum " + file.string() + " >" + out).c_str()), 0);
  return test::ReadText(out).substr(0, 64);
}

TEST_F(SmallRun, ManifestOfACompleteRun) {
  test::TempDir out;
  const fs::path into = out / "a/b";
  const Result r = Run("--ticks 250 --task M --seed 9 --out " + into.string() +
                       " --set mice.Carefactor=0.25 --set world.Water.Level=0.5");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto m = Manifest(into);
  EXPECT_EQ(m["status"], "complete");
  EXPECT_TRUE(m["error"].is_null());
  EXPECT_EQ(m["seed"], 9);
  EXPECT_EQ(m["task"], "M");
  EXPECT_EQ(m["ticks_requested"], 250);
  EXPECT_EQ(m["ticks_done"], 250);
  EXPECT_EQ(m["final_tick"], 250);
  EXPECT_EQ(m["run_folder"], fs::canonical(folder.path()).string());
  EXPECT_EQ(m["output_folder"], fs::canonical(into).string());
  EXPECT_EQ(m["command_line"].size(), 15u);
  EXPECT_EQ(m["command_line"][0], MURINEX_RUN_BINARY);
  EXPECT_EQ(m["command_line"][14], "world.Water.Level=0.5");
  ASSERT_EQ(m["overrides"].size(), 2u);
  EXPECT_EQ(m["overrides"][0]["name"], "mice.Carefactor");
  EXPECT_EQ(m["overrides"][0]["value"], "0.25");
  EXPECT_EQ(m["overrides"][1]["name"], "world.Water.Level");
  for (const char* input :
       {"data/inimaus.ini", "data/population.txt", "data/world.txt", "data/settings.txt"})
    EXPECT_EQ(m["inputs_sha256"][input], Sha256Sum(folder / input, scratch)) << input;
  EXPECT_FALSE(m["version"].get<std::string>().empty());
  EXPECT_THAT(m["start"].get<std::string>(), ::testing::MatchesRegex("20[0-9-]+T[0-9:]+Z"));
  // The counts agree with the birth log and the final dump.
  const auto births = test::ReadLines(into / "Proto/protGen.prt");
  EXPECT_EQ(m["births"], births.size());
  const auto& d = m["deaths"];
  EXPECT_EQ(d["total"], d["hunger"].get<int>() + d["thirst"].get<int>() + d["pain"].get<int>() +
                            d["age"].get<int>());
  std::size_t dumped = 0;
  for (const std::string& line : test::ReadLines(into / "data/Genom-M-1.dat"))
    dumped += !line.empty() && line.find(" vom ") == std::string::npos &&
              line.find("TaktNr") == std::string::npos;
  EXPECT_EQ(m["final_population"], dumped);
  // Three mice at the start: the dead and the living add up with the born.
  EXPECT_EQ(m["final_population"].get<int>() + d["total"].get<int>(), 3 + m["births"].get<int>());
}

// A run that fails before writing anything tells of it in run-failed.json and
// leaves the manifest of the last run, whose files are still there, as it was.
TEST_F(SmallRun, ManifestOfARunWithAnInputError) {
  ASSERT_EQ(Run("--ticks 5").status, 0);
  const std::string lastManifest = test::ReadText(folder / "run.json");
  std::string text = test::ReadText(folder / "data/world.txt");
  text.replace(text.find("400 300"), 7, "400 x0");
  test::WriteText(folder / "data/world.txt", text);
  const Result r = Run("--ticks 10");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(test::ReadText(folder / "run.json"), lastManifest);
  const auto m = Manifest(folder.path(), "run-failed.json");
  EXPECT_EQ(m["status"], "failed");
  EXPECT_THAT(m["error"].get<std::string>(),
              HasSubstr("data/world.txt:2: expected an integer (world height)"));
  EXPECT_EQ(m["ticks_done"], 0);
  EXPECT_EQ(m["inputs_sha256"]["data/world.txt"], Sha256Sum(folder / "data/world.txt", scratch));
}

TEST_F(SmallRun, ManifestWhenTheStartupFileIsMissing) {
  fs::remove(folder / "data/inimaus.ini");
  test::TempDir out;
  EXPECT_EQ(Run("--ticks 10 --out " + out.path().string()).status, 1);
  EXPECT_FALSE(fs::exists(out / "run.json"));
  const auto m = Manifest(out.path(), "run-failed.json");
  EXPECT_EQ(m["status"], "failed");
  EXPECT_THAT(m["error"].get<std::string>(), HasSubstr("data/inimaus.ini: cannot open file"));
  EXPECT_TRUE(m["inputs_sha256"]["data/inimaus.ini"].is_null());
}

}  // namespace
}  // namespace murinex
