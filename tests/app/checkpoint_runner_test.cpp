// End to end: runs of the headless runner on the default run folder that are
// stopped (by --stop-after, a real SIGTERM or a SIGKILL crash) and resumed
// must write the same files as runs that never stopped.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "agent/maus.h"
#include "model/run.h"
#include "sim/persistence/checkpoint.h"
#include "tests/common/test_run.h"

extern char** environ;

namespace murinex {
namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;)
    words.push_back(w);
  return words;
}

// The runner as a child process, its output in files of the scratch folder.
class Runner {
 public:
  Runner(const fs::path& dir, const std::string& arguments, const fs::path& scratch)
      : out_(scratch / "stdout.txt"), err_(scratch / "stderr.txt") {
    std::vector<std::string> args = {MURINEX_RUN_BINARY, "--dir", dir.string()};
    for (const std::string& w : Words(arguments))
      args.push_back(w);
    std::vector<char*> argv;
    for (std::string& a : args)
      argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Runner() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      Wait();
    }
  }
  void Signal(int signal) const { kill(pid_, signal); }
  // The exit status, or 128 + the signal that ended it.
  int Wait() {
    if (pid_ > 0) {
      int raw = 0;
      waitpid(pid_, &raw, 0);
      Ended(raw);
    }
    return status_;
  }
  bool Running() {
    int raw = 0;
    if (pid_ > 0 && waitpid(pid_, &raw, WNOHANG) == pid_) Ended(raw);
    return pid_ > 0;
  }
  std::string Err() const { return test::ReadText(err_); }

 private:
  void Ended(int raw) {
    pid_ = -1;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  }
  pid_t pid_ = -1;
  int status_ = -1;
  fs::path out_, err_;
};

struct Result {
  int status;
  std::string err;
};

Result RunToEnd(const fs::path& dir, const std::string& arguments, const fs::path& scratch) {
  Runner runner(dir, arguments, scratch);
  const int status = runner.Wait();
  return {status, runner.Err()};
}

fs::path DefaultRun() {
  return test::TestData() / ".." / ".." / "default-run";
}

// Every output file of a run folder (inputs and checkpoints left out), dumps
// without their dated first line.
std::map<std::string, std::string> Outputs(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const char* sub : {"Proto", "data"}) {
    for (const auto& entry : fs::directory_iterator(folder / sub)) {
      const std::string name = entry.path().filename().string();
      if (entry.path().extension() == ".mxc" || fs::exists(DefaultRun() / sub / name)) continue;
      std::string text = test::ReadText(entry.path());
      if (entry.path().extension() == ".dat") text = text.substr(text.find('\n') + 1);
      files[std::string(sub) + "/" + name] = text;
    }
  }
  return files;
}

void ExpectSameFiles(const std::map<std::string, std::string>& expected, const fs::path& folder,
                     const std::string& what) {
  const auto actual = Outputs(folder);
  std::vector<std::string> names, expectedNames;
  for (const auto& [name, text] : actual)
    names.push_back(name);
  for (const auto& [name, text] : expected)
    expectedNames.push_back(name);
  EXPECT_EQ(names, expectedNames) << what;
  for (const auto& [name, text] : expected) {
    const auto found = actual.find(name);
    const bool same = found != actual.end() && found->second == text;
    EXPECT_TRUE(same) << what << ": " << name << " differs";
  }
}

// The state in a run folder's checkpoint, read as the runner would.
struct Saved {
  Saved(const fs::path& folder, const std::string& task) : run(folder) {
    const std::string name = CheckpointName(task);
    outputs = ReadCheckpointText(run, test::ReadText(folder / name), name);
  }
  Run run;
  SavedOutputs outputs;
};

// ---------------------------------------------------------------- split runs

struct Situation {
  const char* name;
  const char* arguments;
  long long ticks;
  std::vector<long long> cuts;  // ticks done at the cut
  int startTick = 0;            // of the population file
};

// The default run folder, its population starting at startTick.
void CopyDefaultRun(const fs::path& into, int startTick) {
  fs::copy(DefaultRun(), into, fs::copy_options::recursive);
  if (startTick == 0) return;
  const fs::path population = into / "data/population.txt";
  std::string text = test::ReadText(population);
  const std::size_t line2 = text.find('\n') + 1;
  text.replace(line2, text.find(' ', line2) - line2, std::to_string(startTick));
  test::WriteText(population, text);
}

class SplitRunTest : public ::testing::TestWithParam<Situation> {
 protected:
  test::TempDir scratch;
};

TEST_P(SplitRunTest, ACutAndResumedRunWritesTheFilesOfAStraightRun) {
  const Situation& s = GetParam();
  const std::string ticks = " --ticks " + std::to_string(s.ticks) + " " + s.arguments;
  test::TempDir straight;
  CopyDefaultRun(straight.path(), s.startTick);
  ASSERT_EQ(RunToEnd(straight.path(), ticks, scratch.path()).status, 0);
  const auto expected = Outputs(straight.path());
  // Dump 0, one dump per multiple of 10000 passed, and the final dump.
  const long long lastDump = (s.startTick + s.ticks) / 10000 - s.startTick / 10000 + 1;
  ASSERT_EQ(expected.count("data/Maeuse-NN-" + std::to_string(lastDump) + ".dat"), 1u);
  for (long long k : s.cuts) {
    const std::string what = std::string(s.name) + " cut at " + std::to_string(k);
    test::TempDir cut;
    CopyDefaultRun(cut.path(), s.startTick);
    const Result stopped =
        RunToEnd(cut.path(), ticks + " --stop-after " + std::to_string(k), scratch.path());
    ASSERT_EQ(stopped.status, 75) << what << ": " << stopped.err;
    EXPECT_EQ(Saved(cut.path(), "NN").run.TickCount, s.startTick + k) << what;
    const Result resumed = RunToEnd(cut.path(), ticks + " --resume", scratch.path());
    ASSERT_EQ(resumed.status, 0) << what << ": " << resumed.err;
    ExpectSameFiles(expected, cut.path(), what);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Situations, SplitRunTest,
    ::testing::Values(
        // Cut on the first tick, on a statistics tick, anywhere, one tick before the end.
        Situation{"default", "", 1500, {1, 100, 777, 1499}},
        // The check mouse picked: behaviour and competence protocols written every tick.
        Situation{"check mouse", "--select 35", 2500, {250, 2000, 2499}},
        // From tick 9500 on: one tick before the dump tick 10000, and on it (a
        // statistics tick as well).
        Situation{"dump tick", "--select 35", 700, {499, 500}, 9500}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name)
        if (c == ' ') c = '_';
      return name;
    });

TEST(SplitRunSituation, TheCutAt2000MeetsPregnantMiceAndMiceMidPlan) {
  // The check-mouse situation cuts at 2000 to cover these states; make sure they are there.
  test::TempDir folder, scratch;
  fs::copy(DefaultRun(), folder.path(), fs::copy_options::recursive);
  ASSERT_EQ(
      RunToEnd(folder.path(), "--ticks 2500 --select 35 --stop-after 2000", scratch.path()).status,
      75);
  Saved saved(folder.path(), "NN");
  int pregnant = 0, midPlan = 0;
  for (const auto& m : saved.run.Mice) {
    if (m->Pregnant() > 0 && m->Embryo) ++pregnant;
    if (m->PlanIndex < static_cast<std::int32_t>(m->Plan.size())) ++midPlan;
  }
  EXPECT_GT(pregnant, 0);
  EXPECT_GT(midPlan, 0);
  ASSERT_NE(saved.run.Selected(), nullptr);
  EXPECT_EQ(saved.run.Selected()->ID, 35);
}

// ---------------------------------------------------------------- signals and crashes

class StopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(DefaultRun(), folder.path(), fs::copy_options::recursive);
    fs::copy(DefaultRun(), straight.path(), fs::copy_options::recursive);
  }
  std::map<std::string, std::string> Straight(const std::string& arguments) {
    EXPECT_EQ(RunToEnd(straight.path(), arguments, scratch.path()).status, 0);
    return Outputs(straight.path());
  }
  std::size_t StatRows() const { return test::ReadLines(folder / "Proto/ProtoNN.prt").size(); }
  // Waits until the statistics protocol holds `rows` lines (and a checkpoint
  // is there, if asked); false when the run ended first.
  bool WaitForRows(Runner& runner, std::size_t rows, bool checkpoint) const {
    while (runner.Running()) {
      if (StatRows() >= rows && (!checkpoint || fs::exists(folder / CheckpointName("NN"))))
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }
  test::TempDir folder, straight, scratch;
};

TEST_F(StopTest, SigtermFinishesTheTickAndTheResumedRunEndsAsAStraightOne) {
  const std::string arguments = "--ticks 3000 --select 35 --checkpoint-every 1000";
  const auto expected = Straight(arguments);
  test::TempDir runScratch;
  Runner runner(folder.path(), arguments, runScratch.path());
  ASSERT_TRUE(WaitForRows(runner, 4, false));  // tick 300 reached
  runner.Signal(SIGTERM);
  ASSERT_EQ(runner.Wait(), 75) << runner.Err();
  const Saved saved(folder.path(), "NN");
  EXPECT_LT(saved.run.TickCount, 3000);
  EXPECT_THAT(runner.Err(), HasSubstr("stopped at tick " + std::to_string(saved.run.TickCount)));
  EXPECT_THAT(runner.Err(), HasSubstr(arguments + " --resume\n"));
  // Cleanly closed: every protocol file holds exactly what the checkpoint says
  // (the table of every mouse is not asked here, so it has no file).
  for (const SavedOutput& o : saved.outputs)
    if (o.open) {
      EXPECT_EQ(fs::file_size(folder / o.name), o.length) << o.name;
    }
  const Result resumed = RunToEnd(folder.path(), arguments + " --resume", scratch.path());
  ASSERT_EQ(resumed.status, 0) << resumed.err;
  ExpectSameFiles(expected, folder.path(), "after SIGTERM");
}

TEST_F(StopTest, AfterACrashTheRunGoesOnFromTheLastCheckpoint) {
  const std::string arguments = "--ticks 3000 --select 35 --checkpoint-every 500";
  const auto expected = Straight(arguments);
  test::TempDir runScratch;
  Runner runner(folder.path(), arguments, runScratch.path());
  ASSERT_TRUE(WaitForRows(runner, 8, true));  // past the checkpoint of tick 500
  runner.Signal(SIGKILL);
  ASSERT_EQ(runner.Wait(), 128 + SIGKILL);
  const Saved saved(folder.path(), "NN");
  EXPECT_EQ(saved.run.TickCount % 500, 0);
  // The crashed run had written on past the checkpoint; the resume cuts that back.
  EXPECT_GT(fs::file_size(folder / "Proto/BehaviourNN.prt"), saved.outputs[3].length);
  const Result resumed = RunToEnd(folder.path(), arguments + " --resume", scratch.path());
  ASSERT_EQ(resumed.status, 0) << resumed.err;
  ExpectSameFiles(expected, folder.path(), "after SIGKILL");
}

TEST_F(StopTest, AStopWritesNoFinalDumpsAndTellsHowToResume) {
  const Result r = RunToEnd(folder.path(), "--ticks 1500 --stop-after 700", scratch.path());
  EXPECT_EQ(r.status, 75);
  EXPECT_THAT(r.err, HasSubstr("stopped at tick 700 (700 ticks done)"));
  EXPECT_THAT(r.err, HasSubstr("resume with: "));
  EXPECT_THAT(r.err, HasSubstr("--ticks 1500 --stop-after 700 --resume"));
  EXPECT_TRUE(fs::exists(folder / "data/Maeuse-NN-0.dat"));
  EXPECT_FALSE(fs::exists(folder / "data/Maeuse-NN-1.dat"));
  EXPECT_TRUE(fs::exists(folder / "data/checkpoint-NN.mxc"));
  EXPECT_EQ(test::ReadText(scratch / "stdout.txt"), "");  // no summary of an ended run
}

TEST_F(StopTest, ResumeWithoutACheckpointStartsFromTheBeginning) {
  const auto expected = Straight("--ticks 800 --select 35");
  const Result r = RunToEnd(folder.path(), "--ticks 800 --select 35 --resume", scratch.path());
  ASSERT_EQ(r.status, 0) << r.err;
  ExpectSameFiles(expected, folder.path(), "resume without checkpoint");
  EXPECT_FALSE(fs::exists(folder / "data/checkpoint-NN.mxc"));
}

TEST_F(StopTest, PeriodicCheckpointsFollowTheTickCounter) {
  ASSERT_EQ(RunToEnd(folder.path(), "--ticks 1100 --checkpoint-every 250", scratch.path()).status,
            0);
  EXPECT_EQ(Saved(folder.path(), "NN").run.TickCount, 1000);
  EXPECT_FALSE(fs::exists(folder / "data/checkpoint-NN.mxc.tmp"));
}

// ---------------------------------------------------------------- forks

// Every file of a folder with its bytes and time of last change; a refused run
// tells of itself in run-failed.json, beside the last run's untouched manifest.
std::map<std::string, std::pair<std::string, fs::file_time_type>> Snapshot(const fs::path& folder) {
  std::map<std::string, std::pair<std::string, fs::file_time_type>> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file() && entry.path().filename() != "run-failed.json")
      files[entry.path().string()] = {test::ReadText(entry.path()), entry.last_write_time()};
  return files;
}

nlohmann::json Manifest(const fs::path& folder) {
  return nlohmann::json::parse(test::ReadText(folder / "run.json"));
}

nlohmann::json Pairs(std::initializer_list<std::pair<const char*, const char*>> pairs) {
  nlohmann::json list = nlohmann::json::array();
  for (const auto& [name, value] : pairs)
    list.push_back({{"name", name}, {"value", value}});
  return list;
}

// A run of the default population from tick 9500 with the check mouse, started
// with mice.Carefactor=0.3 and stopped 600 ticks in, at tick 10100: past dump 1
// (tick 10000) and on a statistics tick. Its futures run to 900 ticks.
class ForkTest : public ::testing::Test {
 protected:
  static constexpr const char* Common = "--ticks 900 --select 35";
  static constexpr const char* Start = " --set mice.Carefactor=0.3";
  // A new care factor, a tenfold hunger metabolism and nearly empty food patches.
  static constexpr const char* Fork =
      " --set mice.Carefactor=0.9 --set mice.Hunger.BasMeta=0.15 --set world.Food.Level=0.05";
  void SetUp() override {
    CopyDefaultRun(cut.path(), 9500);
    ASSERT_EQ(
        RunToEnd(cut.path(), std::string(Common) + Start + " --stop-after 600", scratch.path())
            .status,
        75);
  }
  // A copy of the stopped run, continued with `arguments`.
  void Continue(const fs::path& into, const std::string& arguments, int status = 0) {
    fs::copy(cut.path(), into, fs::copy_options::recursive);
    const Result r = RunToEnd(into, arguments, scratch.path());
    ASSERT_EQ(r.status, status) << arguments << "\n" << r.err;
  }
  test::TempDir cut, scratch;
};

TEST_F(ForkTest, AForkDiffersFromTheUnforkedContinuationOnlyFromTheCut) {
  test::TempDir same, forked;
  Continue(same.path(), std::string(Common) + Start + " --resume");
  Continue(forked.path(), std::string(Common) + Fork + " --resume");
  const auto before = Outputs(same.path());
  const auto after = Outputs(forked.path());
  // Every protocol line written up to the cut stays: the header and the rows of
  // ticks 9600 ... 10100 of the statistics, and what the other files held then.
  const auto stats = test::ReadLines(cut / "Proto/ProtoNN.prt");
  ASSERT_EQ(stats.size(), 7u);
  const Saved saved(cut.path(), "NN");
  for (const SavedOutput& o : saved.outputs) {
    if (!o.open) continue;
    const std::string atCut = test::ReadText(cut / o.name);
    ASSERT_EQ(atCut.size(), o.length) << o.name;
    EXPECT_EQ(after.at(o.name).substr(0, o.length), atCut) << o.name;
    EXPECT_EQ(before.at(o.name).substr(0, o.length), atCut) << o.name;
  }
  EXPECT_GT(saved.outputs[3].length, 0u);  // the behaviour protocol had begun
  // The dumps of ticks 9500 and 10000 are the same.
  for (const char* dump : {"data/Maeuse-NN-0.dat", "data/Genom-NN-0.dat", "data/Maeuse-NN-1.dat",
                           "data/Genom-NN-1.dat"})
    EXPECT_EQ(after.at(dump), before.at(dump)) << dump;
  // From the cut on the futures part: the first statistics row after it, and the
  // final dump, where every mouse of the fork burns hunger at 0.15 and none of the
  // other future does.
  const auto forkedStats = test::ReadLines(forked / "Proto/ProtoNN.prt");
  const auto sameStats = test::ReadLines(same / "Proto/ProtoNN.prt");
  ASSERT_EQ(forkedStats.size(), 10u);  // rows up to tick 10400
  ASSERT_EQ(sameStats.size(), 10u);
  EXPECT_NE(forkedStats[7], sameStats[7]);
  auto hungerAt015 = [](const std::string& dump) {
    std::size_t count = 0;
    std::istringstream in(dump);
    for (std::string line; std::getline(in, line);) {
      const auto w = Words(line);
      count += w.size() > 3 && w[0] == "Hunger" && w[3] == "0.1500";
    }
    return count;
  };
  EXPECT_GT(hungerAt015(after.at("data/Maeuse-NN-2.dat")), 0u);
  EXPECT_EQ(hungerAt015(before.at("data/Maeuse-NN-2.dat")), 0u);
}

TEST_F(ForkTest, TheManifestNamesTheForkAndWhatItInherited) {
  test::TempDir forked;
  Continue(forked.path(), std::string(Common) + Fork + " --resume");
  const auto m = Manifest(forked.path());
  EXPECT_EQ(m["status"], "complete");
  EXPECT_EQ(m["resumed_from_tick"], 10100);
  EXPECT_EQ(m["inherited_overrides"], Pairs({{"mice.Carefactor", "0.3"}}));
  ASSERT_EQ(m["forks"].size(), 1u);
  EXPECT_EQ(m["forks"][0]["tick"], 10100);
  EXPECT_EQ(m["forks"][0]["applied"], Pairs({{"mice.Carefactor", "0.9"},
                                             {"mice.Hunger.BasMeta", "0.15"},
                                             {"world.Food.Level", "0.05"}}));
  // The new care factor replaces the old one.
  EXPECT_EQ(m["overrides_in_effect"], m["forks"][0]["applied"]);
  EXPECT_EQ(m["ticks_done"], 900);
  EXPECT_EQ(m["ticks_this_start"], 300);
  // The unforked continuation inherits and forks nothing.
  test::TempDir same;
  Continue(same.path(), std::string(Common) + Start + " --resume");
  const auto u = Manifest(same.path());
  EXPECT_EQ(u["resumed_from_tick"], 10100);
  EXPECT_EQ(u["forks"], nlohmann::json::array());
  EXPECT_EQ(u["overrides_in_effect"], Pairs({{"mice.Carefactor", "0.3"}}));
}

TEST_F(ForkTest, TheForksOwnRestartWritesTheBytesOfTheStraightFork) {
  test::TempDir straight, restarted;
  const std::string fork = std::string(Common) + Fork + " --resume";
  Continue(straight.path(), fork);
  Continue(restarted.path(), fork + " --stop-after 750", 75);
  // Food has grown or decayed since the fork, so applying the level again would show.
  const Saved later(restarted.path(), "NN");
  bool moved = false;
  for (const auto& patch : later.run.World->TerraList)
    moved = moved || (patch->Kind == KindFood && patch->Level != 0.05);
  EXPECT_TRUE(moved);
  const Result r = RunToEnd(restarted.path(), fork, scratch.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_THAT(r.err, HasSubstr("resumed at tick 10250"));
  EXPECT_THAT(r.err, ::testing::Not(HasSubstr("forked")));
  ExpectSameFiles(Outputs(straight.path()), restarted.path(), "the fork restarted");
  const auto m = Manifest(restarted.path());
  EXPECT_EQ(m["resumed_from_tick"], 10250);
  EXPECT_EQ(m["forks"], Manifest(straight.path())["forks"]);
  EXPECT_EQ(m["inherited_overrides"], m["overrides_in_effect"]);
}

TEST_F(ForkTest, AForkToTheValueTheWorldFileHoldsChangesNoByte) {
  // Every food patch of the default world grows by 0.004 a tick: the fork applies
  // that very value, and the future is the unforked one.
  test::TempDir same, forked;
  Continue(same.path(), std::string(Common) + Start + " --resume");
  Continue(forked.path(), std::string(Common) + Start + " --set world.Food.Growth=0.004 --resume");
  ExpectSameFiles(Outputs(same.path()), forked.path(), "forked to the file's growth");
  EXPECT_EQ(Manifest(forked.path())["forks"][0]["applied"],
            Pairs({{"world.Food.Growth", "0.004"}}));
}

TEST_F(ForkTest, AnUnknownSetNameAtResumeIsAUsageError) {
  const auto before = Snapshot(cut.path());
  const Result r = RunToEnd(cut.path(), std::string(Common) + " --set mice.Carefactr=0.9 --resume",
                            scratch.path());
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.err, HasSubstr("unknown name \"mice.Carefactr\""));
  EXPECT_THAT(r.err, HasSubstr("usage: murinex-run"));
  EXPECT_TRUE(Snapshot(cut.path()) == before);
}

// ---------------------------------------------------------------- refusals

class RefusalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(DefaultRun(), folder.path(), fs::copy_options::recursive);
    ASSERT_EQ(
        RunToEnd(folder.path(), "--ticks 1000 --select 35 --stop-after 300", scratch.path()).status,
        75);
    // Lines after the checkpoint, as a crash would leave them.
    test::WriteText(folder / "Proto/ProtoNN.prt",
                    test::ReadText(folder / "Proto/ProtoNN.prt") + "more\n");
  }
  fs::path Checkpoint() const { return folder / "data/checkpoint-NN.mxc"; }
  void ExpectRefused(const std::string& message, const std::string& task = "NN") {
    const auto before = Snapshot(folder.path());
    const Result r =
        RunToEnd(folder.path(), "--ticks 1000 --resume --task " + task, scratch.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("murinex-run: data/checkpoint-" + task + ".mxc"));
    EXPECT_THAT(r.err, HasSubstr(message));
    EXPECT_TRUE(Snapshot(folder.path()) == before) << "a file changed";
  }
  test::TempDir folder, scratch;
};

TEST_F(RefusalTest, ATruncatedCheckpoint) {
  const std::string text = test::ReadText(Checkpoint());
  test::WriteText(Checkpoint(), text.substr(0, text.size() * 2 / 3));
  ExpectRefused("the checkpoint is incomplete");
}

TEST_F(RefusalTest, AFlippedByte) {
  std::string text = test::ReadText(Checkpoint());
  text[text.size() / 2] = static_cast<char>(text[text.size() / 2] ^ 0x10);
  test::WriteText(Checkpoint(), text);
  ExpectRefused("the checkpoint is damaged");
}

TEST_F(RefusalTest, AnotherVersion) {
  std::string text = test::ReadText(Checkpoint());
  text.replace(0, 20, "murinex-checkpoint 9");
  test::WriteText(Checkpoint(), text);
  ExpectRefused("version 9 cannot be read");
}

TEST_F(RefusalTest, TheCheckpointOfAnotherTask) {
  fs::copy_file(Checkpoint(), folder / "data/checkpoint-Other.mxc");
  ExpectRefused("belongs to the task \"NN\", not to \"Other\"", "Other");
}

// ---------------------------------------------------------------- another run

// A run of run folder A with the check mouse, its outputs in a folder of their
// own, stopped 300 ticks into its 1000; B is a copy of A's inputs.
class AnotherRunTest : public ::testing::Test {
 protected:
  static constexpr const char* Asked = "--ticks 1000 --select 35";
  void SetUp() override {
    fs::copy(DefaultRun(), a.path(), fs::copy_options::recursive);
    fs::copy(DefaultRun(), b.path(), fs::copy_options::recursive);
    const Result r =
        RunToEnd(a.path(), std::string(Asked) + Out() + " --stop-after 300", scratch.path());
    ASSERT_EQ(r.status, 75) << r.err;
  }
  std::string Out() const { return " --out " + out.path().string(); }
  // A usage error that names the option with the checkpoint's value and the
  // given one; no file of the run changes, its manifest included.
  void ExpectRefused(const fs::path& dir, const std::string& arguments,
                     const std::string& message) {
    const auto before = Snapshot(out.path());
    const Result r = RunToEnd(dir, arguments + Out() + " --resume", scratch.path());
    EXPECT_EQ(r.status, 2) << arguments;
    EXPECT_THAT(r.err, HasSubstr("data/checkpoint-NN.mxc: cannot resume another run: " + message))
        << arguments;
    EXPECT_TRUE(Snapshot(out.path()) == before) << arguments << ": a file changed";
    EXPECT_FALSE(fs::exists(out / "run-failed.json")) << arguments;
  }
  test::TempDir a, b, out, scratch;
};

TEST_F(AnotherRunTest, AResumeOfAnotherRunIsRefusedNamingWhatDiffers) {
  ExpectRefused(a.path(), std::string(Asked) + " --seed 9",
                "--seed is 1 in the checkpoint but 9 on this command line");
  ExpectRefused(a.path(), "--ticks 1000 --select 12", "--select is 35 in the checkpoint but 12");
  ExpectRefused(a.path(), "--ticks 1000", "--select is 35 in the checkpoint but (not given)");
  ExpectRefused(a.path(), std::string(Asked) + " --check-id 12",
                "--check-id is (not given) in the checkpoint but 12");
  // Fewer ticks than asked at the start, even ticks the checkpoint has not reached.
  ExpectRefused(a.path(), "--ticks 999 --select 35", "--ticks is 1000 in the checkpoint but 999");
  ExpectRefused(a.path(), "--ticks 200 --select 35", "--ticks is 1000 in the checkpoint but 200");
  // Another run folder whose world differs in one patch's growth.
  std::string world = test::ReadText(b / "data/world.txt");
  const std::size_t growth = world.find("0.004");
  ASSERT_NE(growth, std::string::npos);
  world.replace(growth, 5, "0.005");
  test::WriteText(b / "data/world.txt", world);
  ExpectRefused(b.path(), Asked, "--dir (data/world.txt) is SHA-256 ");
}

TEST_F(AnotherRunTest, ACheckpointThatRecordsNoRunIsRefused) {
  // As the desktop program writes them: the state without what the run was started as.
  Saved saved(out.path(), "NN");
  saved.run.Identity.clear();
  test::WriteText(out / "data/checkpoint-NN.mxc", CheckpointText(saved.run));
  const auto before = Snapshot(out.path());
  const Result r = RunToEnd(a.path(), std::string(Asked) + Out() + " --resume", scratch.path());
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.err, HasSubstr("the checkpoint does not record what its run was started as"));
  EXPECT_TRUE(Snapshot(out.path()) == before);
}

TEST_F(AnotherRunTest, ASameRunFromACopyOfTheInputsOrWithMoreTicksGoesOn) {
  // B holds A's very files: the same run, and the manifest tells what it ran.
  const Result r =
      RunToEnd(b.path(), "--ticks 1200 --select 35" + Out() + " --resume", scratch.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const auto m = Manifest(out.path());
  EXPECT_EQ(m["status"], "complete");
  EXPECT_EQ(m["resumed_from_tick"], 300);
  EXPECT_EQ(m["ticks_requested"], 1200);
  EXPECT_EQ(m["final_tick"], 1200);
  EXPECT_EQ(m["seed"], 1);
  EXPECT_EQ(m["select"], 35);
}

TEST(CheckpointUsageTest, BadValuesAreUsageErrors) {
  test::TempDir folder, scratch;
  for (const char* bad :
       {"--checkpoint-every 0", "--checkpoint-every x", "--stop-after -3", "--stop-after"}) {
    const Result r = RunToEnd(folder.path(), std::string("--ticks 5 ") + bad, scratch.path());
    EXPECT_EQ(r.status, 2) << bad;
    const std::string option = std::string(bad).substr(0, std::string(bad).find(' '));
    EXPECT_THAT(r.err, HasSubstr(option)) << bad;  // the message names the option
    EXPECT_THAT(r.err, HasSubstr("usage: murinex-run")) << bad;
  }
}

}  // namespace
}  // namespace murinex
