// The checkpoint of a run: what it keeps, how it refuses bad files, and how
// a run continues from it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "model/lines.h"
#include "sim/persistence/checkpoint.h"
#include "sim/persistence/state_text.h"
#include "sim/tick/tick.h"
#include "tests/common/agent_builders.h"
#include "tests/common/test_run.h"
#include "world/error.h"

namespace murinex {
namespace {

using ::testing::HasSubstr;

std::uint64_t Bits(double v) {
  return std::bit_cast<std::uint64_t>(v);
}

// A run of three mice with every kind of link a checkpoint has to keep.
struct LinkedRun {
  LinkedRun() {
    tr.run.TaskName = "Task with blank";
    tr.run.TickCount = 4711;
    tr.run.StartTick = 11;
    tr.run.DumpNumber = 3;
    tr.run.StatRowCount = 47;
    tr.run.Births = 5;
    tr.run.DeathsBy[2] = 4;
    tr.run.random.SetSeed(0xDEADBEEF);
    tr.run.Stats[stat::Learn] = 0.1 + 0.2;  // not a short decimal
    tr.OpenProtocols();
    TMaus& a = tr.AddMaus({10, 20});
    TMaus& b = tr.AddMaus({30, 40});
    TMaus& c = tr.AddMaus({50, 60});
    a.Partner = c.Handle;
    b.Competitor = a.Handle;
    c.Miserablemaus = b.Handle;
    a.SeenMice = {b.Handle, c.Handle};
    a.SeenEnemies = {b.Handle};
    UpdateRelation(a.Relations, b, 0.4);
    UpdateRelation(b.Relations, c, -0.1);
    a.Relations.push_back({77, {}, 0.5, -0.25});  // a mouse no longer there
    // Places: a route w2 -> w1 -> food, the target shared with the list, and
    // a place that left the list but is still the rated one and w1's Next.
    test::TestPlace food = test::AddPlace(tr.run, a, goal::Food, {100, 100}, '+');
    test::TestPlace w1 = test::AddPlace(tr.run, a, goal::Food, {120, 100}, '0');
    w1->Next = food;
    w1->NextIndex = 0;
    test::TestPlace w2 = test::AddPlace(tr.run, a, goal::Water, {140, 100}, '0');
    w2->Next = w1;
    w2->NextIndex = 1;
    a.TargetLoc = w2;
    a.RatedLoc = food;
    a.GoalLocations.Erase(0);  // food leaves the list
    w1->NextIndex = -2;
    a.GoalLocations.At(a.ExploreTarget).Pos = {5, 6};
    a.Plan = {{1, 2}, {3, 4}, {5, 6}};
    a.PlanIndex = 1;
    a.Motives[need::Hunger].Ist = std::nextafter(1.0, 0.0);
    a.Heading = -0.0;
    a.Damage = std::numeric_limits<double>::denorm_min();
    b.Pregnant() = 1;
    b.BirthCountdown() = 1234;
    b.Embryo = std::make_unique<TGenom>();
    b.Embryo->PersonGenes[14] = 0.625;
    b.Embryo->ReserveGenes[2] = 321;
    c.Dying = true;
    c.HelpCry = 4;
    c.Lines->SetLine("Motive", "Hunger", 0x123456);
    c.Lines->AddValue("Motive", "Hunger", 0.75);
    c.Lines->AddBand(TLines::GoalBand, 0xABCDEF);
    c.Lines->AddSample({4711, need::Sex, goal::Friend, action::Smile});
    tr.run.SumLines.SetSumLine("Arousal", 0xAA00FF);
    tr.run.SumLines.Tick(true, 4700);  // one point of every summary line, at tick 4700
    tr.run.SumLines.AddSum("Arousal", 0.5);
    tr.run.SelectedMaus = b.Handle;
    tr.run.IdCounter = 190;
    tr.run.StatProto.Write("row\n");
  }
  test::TestRun tr;
};

// Everything read back into a fresh run.
struct Loaded {
  explicit Loaded(const std::string& text) : run(".") {
    outputs = ReadCheckpointText(run, text, "cp");
  }
  Run run;
  SavedOutputs outputs;
};

TEST(CheckpointTest, RunWideStateComesBackExactly) {
  LinkedRun l;
  Loaded back(CheckpointText(l.tr.run));
  const murinex::Run& r = back.run;
  EXPECT_EQ(r.TaskName, "Task with blank");
  EXPECT_EQ(r.TickCount, 4711);
  EXPECT_EQ(r.StartTick, 11);
  EXPECT_EQ(r.DumpNumber, 3);
  EXPECT_EQ(r.StatRowCount, 47);
  EXPECT_EQ(r.IdCounter, 190);
  EXPECT_EQ(r.Births, 5);
  EXPECT_EQ(r.DeathsBy[2], 4);
  EXPECT_EQ(r.random.Seed(), 0xDEADBEEFu);
  EXPECT_EQ(Bits(r.Stats[stat::Learn]), Bits(0.1 + 0.2));
  EXPECT_EQ(r.settings.DeathAge(), l.tr.run.settings.DeathAge());
  EXPECT_EQ(Bits(r.settings.GoalNeedMatrix[2][1]), Bits(l.tr.run.settings.GoalNeedMatrix[2][1]));
  ASSERT_TRUE(r.World);
  EXPECT_EQ(r.World->WorldWidth, 400);
  EXPECT_EQ(r.World->TerraOrFirst({200, 150}), r.World->FirstTerra);  // the lookup is rebuilt
  // The mice registered ten summary lines, "Arousal" first.
  ASSERT_EQ(r.SumLines.Size(), 10u);
  EXPECT_EQ(r.SumLines.At(0).Name, "Arousal");
  EXPECT_EQ(r.SumLines.At(0).Sum, 0.5);
  EXPECT_EQ(r.SumLines.At(0).Count, 1);
  EXPECT_EQ(r.SumLines.At(9).Name, "Deviation-Comp");
  EXPECT_EQ(r.SumLines.Ticks(), (std::vector<std::int32_t>{4700}));
  EXPECT_EQ(r.SumLines.At(0).Series.Count(), 1u);
  EXPECT_EQ(r.SumLines.PointsOnPage(), 1);
}

TEST(CheckpointTest, MiceKeepTheirLinksByPosition) {
  LinkedRun l;
  Loaded back(CheckpointText(l.tr.run));
  const TMausList& mice = back.run.Mice;
  ASSERT_EQ(mice.size(), 3u);
  TMaus& a = *mice[0];
  TMaus& b = *mice[1];
  TMaus& c = *mice[2];
  EXPECT_EQ(a.Partner, c.Handle);
  EXPECT_EQ(b.Competitor, a.Handle);
  EXPECT_EQ(c.Miserablemaus, b.Handle);
  EXPECT_EQ(a.SeenMice, test::Handles({&b, &c}));
  EXPECT_EQ(a.SeenEnemies, test::Handles({&b}));
  ASSERT_EQ(a.Relations.size(), 2u);
  EXPECT_EQ(a.Relations[0].Other, b.Handle);
  EXPECT_EQ(a.Relations[0].Friendship, 0.2);
  EXPECT_EQ(a.Relations[1].OtherID, 77);
  EXPECT_EQ(a.Relations[1].Other, MouseHandle{});
  EXPECT_EQ(b.Relations[0].Other, c.Handle);
  EXPECT_EQ(back.run.Selected(), &b);
}

TEST(CheckpointTest, PlacesStaySharedAndRoutesLeadOnOutsideTheList) {
  LinkedRun l;
  Loaded back(CheckpointText(l.tr.run));
  const TMaus& a = *back.run.Mice[0];
  ASSERT_EQ(a.GoalLocations.size(), 2u);
  const TGoalAvLoc& w1 = a.GoalLocations[0];
  const TGoalAvLoc& w2 = a.GoalLocations[1];
  const TGoalAvLoc& rated = a.GoalLocations.At(a.RatedLoc);
  EXPECT_EQ(a.TargetLoc, a.GoalLocations.HandleAt(1));  // the same place, not a copy
  EXPECT_EQ(w2.Next, a.GoalLocations.HandleAt(0));
  EXPECT_EQ(w1.Next, a.RatedLoc);  // the food place, out of the list
  EXPECT_EQ(rated.Pos, (TPoint{100, 100}));
  EXPECT_EQ(rated.Sign, '+');
  EXPECT_EQ(w1.NextIndex, -2);
  // Elements are the mouse's own: food for w1, water for w2.
  EXPECT_EQ(w1.Element->GoalKind, goal::Food);
  EXPECT_EQ(w2.Element->GoalKind, goal::Water);
  EXPECT_EQ(w1.Element, rated.Element);
  bool own = false;
  for (const auto& el : a.GoalMemory)
    own = own || el.get() == w2.Element;
  EXPECT_TRUE(own);
  EXPECT_EQ(a.GoalLocations.At(a.ExploreTarget).Pos, (TPoint{5, 6}));
  EXPECT_NE(a.ExploreTarget, a.TargetLoc);
}

TEST(CheckpointTest, RealsFlagsEmbryoPlanAndLinesComeBackBitForBit) {
  LinkedRun l;
  Loaded back(CheckpointText(l.tr.run));
  const TMaus& a = *back.run.Mice[0];
  const TMaus& b = *back.run.Mice[1];
  const TMaus& c = *back.run.Mice[2];
  EXPECT_EQ(Bits(a.Motives[need::Hunger].Ist), Bits(std::nextafter(1.0, 0.0)));
  EXPECT_EQ(Bits(a.Heading), Bits(-0.0));
  EXPECT_EQ(Bits(a.Damage), Bits(std::numeric_limits<double>::denorm_min()));
  EXPECT_EQ(a.Plan, (TPlan{{1, 2}, {3, 4}, {5, 6}}));
  EXPECT_EQ(a.PlanIndex, 1);
  EXPECT_EQ(a.StuckAt, NoPoint);
  ASSERT_TRUE(b.Embryo);
  EXPECT_EQ(b.Embryo->PersonGenes[14], 0.625);
  EXPECT_EQ(b.Embryo->ReserveGenes[2], 321);
  EXPECT_EQ(b.BirthCountdown(), 1234);
  EXPECT_FALSE(a.Embryo);
  EXPECT_TRUE(c.Dying);
  EXPECT_EQ(c.HelpCry, 4);
  EXPECT_EQ(c.Lineage, "Test");
  // Groups sort by name: "Emotions", then "Motive" with Hunger first.
  ASSERT_EQ(c.Lines->GroupCount(), 2u);
  const TLineGroup& motive = c.Lines->Group(1);
  EXPECT_EQ(motive.Name, "Motive");
  ASSERT_EQ(motive.Lines.size(), 8u);
  EXPECT_EQ(motive.Names[0], "Hunger");
  EXPECT_EQ(motive.Lines[0]->Colour, 0x123456u);
  EXPECT_EQ(motive.Lines[0]->Values, (std::vector<double>{0.75}));
  EXPECT_EQ(c.Lines->BandSeries(TLines::GoalBand).Colours, (std::vector<std::uint32_t>{0xABCDEF}));
  ASSERT_EQ(c.Lines->Samples().size(), 1u);
  EXPECT_EQ(c.Lines->Samples()[0].Tick, 4711);
  EXPECT_EQ(c.Lines->Samples()[0].Goal, goal::Friend);
  EXPECT_EQ(c.Lines->Samples()[0].Action, action::Smile);
}

TEST(CheckpointTest, WrittenReadAndWrittenAgainGivesTheSameBytes) {
  LinkedRun l;
  l.tr.run.TaskName = "T";
  WriteCheckpoint(l.tr.run);
  const std::string first = test::ReadText(l.tr.dir / "data/checkpoint-T.mxc");
  EXPECT_EQ(first, CheckpointText(l.tr.run));
  murinex::Run back(l.tr.dir.path());
  ResumeFromCheckpoint(back, "T");
  EXPECT_EQ(CheckpointText(back), first);
}

TEST(CheckpointTest, ProtocolFilesAreRecordedWithTheirLengths) {
  LinkedRun l;
  Loaded back(CheckpointText(l.tr.run));
  EXPECT_EQ(back.outputs[1].name, "Proto/ProtoNN.prt");
  EXPECT_EQ(back.outputs[1].length, 4u);  // "row\n"
  EXPECT_TRUE(back.outputs[1].open);
  EXPECT_EQ(back.outputs[0].name, "Proto/protGen.prt");
  EXPECT_EQ(back.outputs[0].length, 0u);
}

// ---------------------------------------------------------------- refusals

void ExpectRefused(const std::string& text, const std::string& message) {
  murinex::Run fresh(".");
  try {
    ReadCheckpointText(fresh, text, "data/checkpoint-T.mxc");
    ADD_FAILURE() << "accepted; expected: " << message;
  } catch (const InputError& error) {
    EXPECT_THAT(error.what(), HasSubstr("data/checkpoint-T.mxc"));
    EXPECT_THAT(error.what(), HasSubstr(message));
  }
  EXPECT_TRUE(fresh.Mice.empty());
}

TEST(CheckpointTest, ACutShortFileIsRefusedWhereverItEnds) {
  LinkedRun l;
  const std::string text = CheckpointText(l.tr.run);
  for (std::size_t keep : {text.size() - 1, text.size() - 10, text.size() / 2, std::size_t{30}})
    ExpectRefused(text.substr(0, keep), "incomplete");
}

TEST(CheckpointTest, AFlippedByteIsRefused) {
  LinkedRun l;
  const std::string text = CheckpointText(l.tr.run);
  for (std::size_t at : {std::size_t{40}, text.size() / 3, text.size() - 40}) {
    std::string damaged = text;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x04);
    ExpectRefused(damaged, "damaged");
  }
}

TEST(CheckpointTest, AnotherVersionOrAForeignFileIsRefused) {
  LinkedRun l;
  std::string text = CheckpointText(l.tr.run);
  const std::string newer = "murinex-checkpoint 4";
  text.replace(0, newer.size(), newer);
  ExpectRefused(text, "version 4 cannot be read; this program reads version 3");
  // A file of the second version, which did not record what the run is and
  // whose records had another order.
  text.replace(0, newer.size(), "murinex-checkpoint 2");
  ExpectRefused(text, "version 2 cannot be read; this program reads version 3");
  ExpectRefused("Default population of the Murinex run\n0 start tick\n",
                "not a Murinex checkpoint");
  ExpectRefused("", "not a Murinex checkpoint");
}

// The checkpoint's body with one token replaced, sealed with a valid checksum.
std::string Resealed(const std::string& text, std::size_t at, std::size_t length,
                     const std::string& token) {
  std::string body = text.substr(0, text.rfind("checksum "));
  body.replace(at, length, token);
  char line[32];
  std::snprintf(line, sizeof line, "checksum %016llx\n",
                static_cast<unsigned long long>(StateChecksum(body)));
  return body + line;
}

// Where every real of a checkpoint stands: the 16 hex digits of its bits.
std::vector<std::size_t> RealTokens(const std::string& text) {
  std::vector<std::size_t> at;
  const std::size_t end = text.rfind("checksum ");
  for (std::size_t i = text.find('\n'); i + 17 < end; ++i) {
    if (text[i] != ' ' || text.find_first_of(" \n", i + 1) != i + 17) continue;
    if (text.find_first_not_of("0123456789abcdef", i + 1) == i + 17) at.push_back(i + 1);
  }
  return at;
}

TEST(CheckpointTest, ARealThatIsNoNumberIsRefusedWithItsRecordAndField) {
  LinkedRun l;
  l.tr.run.Stats[stat::Fear] = 2.5;
  const std::string text = CheckpointText(l.tr.run);
  const std::vector<std::size_t> reals = RealTokens(text);
  ASSERT_GT(reals.size(), 400u);  // settings, sums, patches, three mice and their lines
  const std::string nan = "7ff8000000000000", inf = "7ff0000000000000",
                    minusInf = "fff0000000000000";
  for (std::size_t k = 0; k < reals.size(); ++k) {
    const std::string& bad = k % 3 == 0 ? nan : k % 3 == 1 ? inf : minusInf;
    ExpectRefused(Resealed(text, reals[k], 16, bad), "is not a finite number");
  }
  // The sums of the statistics interval, which no check of the mice covers.
  const std::size_t fear = text.find(" 4004000000000000", text.find("\nstats "));
  ASSERT_NE(fear, std::string::npos);
  ExpectRefused(Resealed(text, fear + 1, 16, nan),
                "Fear of the record \"stats\" is not a finite number (nan)");
}

TEST(CheckpointTest, IntegersOutOfRangeAndFarPositionsAreRefused) {
  LinkedRun l;
  const std::string text = CheckpointText(l.tr.run);
  // The first mouse stands at (10, 20): its "x" is the first " 10 20 " of the mouse record.
  const std::size_t mouse = text.find("\nmouse ");
  const std::size_t x = text.find(" 10 20 ", mouse);
  ASSERT_NE(x, std::string::npos);
  ExpectRefused(Resealed(text, x + 1, 2, "1073741824"), "x lies beyond the coordinate limit");
  ExpectRefused(Resealed(text, x + 1, 2, "9223372036854775808"), "expected an integer (x)");
  ExpectRefused(Resealed(text, x + 1, 2, "2147483648"), "x of the record \"mouse\" must lie in");
}

TEST(CheckpointTest, ARouteThatLeadsBackToItselfIsRefused) {
  LinkedRun l;
  const std::string text = CheckpointText(l.tr.run);
  // The first mouse's places in table order: w1, w2 (the list), the exploration target,
  // food (the rated place). w2 -> w1 -> food; food leading on to w2 closes a loop.
  std::size_t at = text.find("\nplaces ");
  for (int i = 0; i < 4; ++i)
    at = text.find("\nplace ", at + 1);
  const std::size_t next = text.find(' ', at + 7) + 1;  // after the goal element
  ASSERT_EQ(text.substr(next, 3), "-1 ");
  ExpectRefused(Resealed(text, next, 2, "1"), "a route of remembered places leads back to itself");
}

TEST(CheckpointTest, TheSetValuesAppliedSoFarComeBack) {
  LinkedRun l;
  l.tr.run.AppliedOverrides = {{"mice.Carefactor", "0.5", true, 11},
                               {"world.Food.Level", "1e-1", false, 300},
                               {"mice.Carefactor", "0.9", false, 300}};
  Loaded back(CheckpointText(l.tr.run));
  const auto& o = back.run.AppliedOverrides;
  ASSERT_EQ(o.size(), 3u);
  EXPECT_EQ(o[0].name, "mice.Carefactor");
  EXPECT_EQ(o[0].value, "0.5");
  EXPECT_TRUE(o[0].atStart);
  EXPECT_EQ(o[0].tick, 11);
  EXPECT_EQ(o[1].name, "world.Food.Level");
  EXPECT_EQ(o[1].value, "1e-1");  // as given, not as read
  EXPECT_FALSE(o[1].atStart);
  EXPECT_EQ(o[2].tick, 300);
}

TEST(CheckpointTest, TheModelsOwnValuesComeBackAndAreCheckedWhenRead) {
  LinkedRun l;
  l.tr.run.model = {7000, 0.25, 1500, 50, 2500};
  Loaded back(CheckpointText(l.tr.run));
  const ModelValues& m = back.run.model;
  EXPECT_EQ(m.MatingAge, 7000);
  EXPECT_EQ(m.MatingChance, 0.25);
  EXPECT_EQ(m.PregnancyLength, 1500);
  EXPECT_EQ(m.StatisticsInterval, 50);
  EXPECT_EQ(m.DumpInterval, 2500);
  // A statistics interval of 0 would divide the tick count by zero.
  l.tr.run.model.StatisticsInterval = 0;
  ExpectRefused(CheckpointText(l.tr.run), "the model value StatisticsInterval is out of its range");
}

TEST(CheckpointTest, ASetValueThisProgramDoesNotTakeIsRefused) {
  LinkedRun l;
  l.tr.run.AppliedOverrides = {{"mice.Carefactr", "0.5", true, 11}};
  ExpectRefused(CheckpointText(l.tr.run), "unknown name \"mice.Carefactr\"");
  l.tr.run.AppliedOverrides = {{"LifeSpan", "2.5", false, 300}};
  ExpectRefused(CheckpointText(l.tr.run), "the value of LifeSpan must be a whole number");
}

TEST(CheckpointTest, ARecordOutOfPlaceNamesItsLine) {
  // A text with a valid checksum whose second line is not the identity record.
  StateWriter again(CheckpointFormat, CheckpointVersion);
  again.Begin("mice");
  again.End();
  murinex::Run fresh(".");
  try {
    ReadCheckpointText(fresh, again.Finish(), "cp");
    FAIL();
  } catch (const InputError& error) {
    EXPECT_EQ(error.line(), 2);
    EXPECT_THAT(error.message(), HasSubstr("expected the record \"identity\", found \"mice\""));
  }
}

TEST(StateTextTest, TextsWithBlanksPercentAndLineEndsSurvive) {
  StateWriter out("fmt", 7);
  out.Begin("r");
  out.Text("a b%c\nd");
  out.Text("");
  out.Int(-5);
  out.End();
  const std::string text = out.Finish();
  EXPECT_EQ(text.substr(0, 27), "fmt 7\nr a%20b%25c%0ad % -5\n");
  StateReader in(text, "t", "fmt", 7);
  in.Begin("r");
  EXPECT_EQ(in.Text("x"), "a b%c\nd");
  EXPECT_EQ(in.Text("y"), "");
  EXPECT_EQ(in.Int("z", -10, 10), -5);
  in.End();
  EXPECT_TRUE(in.AtEnd());
}

TEST(StateTextTest, ChecksumIsFnv1aOfEverythingBeforeIt) {
  // FNV-1a 64 of "a": (offset basis ^ 0x61) * prime, worked out by hand.
  EXPECT_EQ(StateChecksum("a"), 0xaf63dc4c8601ec8cull);
  EXPECT_EQ(StateChecksum(""), 0xcbf29ce484222325ull);
  StateWriter out("f", 1);
  char expected[17];
  std::snprintf(expected, sizeof expected, "%016llx",
                static_cast<unsigned long long>(StateChecksum("f 1\n")));
  EXPECT_EQ(out.Finish(), "f 1\nchecksum " + std::string(expected) + "\n");
}

TEST(StateTextTest, ValuesOutOfRangeAreRefused) {
  StateWriter out("f", 1);
  out.Begin("r");
  out.Int(300);
  out.End();
  StateReader in(out.Finish(), "t", "f", 1);
  in.Begin("r");
  EXPECT_THROW(in.Int("byte", 0, 255), InputError);
}

// ---------------------------------------------------------------- resuming

struct SavedRun {
  SavedRun() {
    l.tr.run.TaskName = "T";
    WriteCheckpoint(l.tr.run);
    l.tr.run.StatProto.Write("written after the checkpoint\n");
    l.tr.run.FlushProtocols();
  }
  LinkedRun l;
  const std::filesystem::path& Dir() const { return l.tr.dir.path(); }
};

TEST(ResumeTest, FilesAreCutBackAndWrittenOnFromThere) {
  SavedRun saved;
  murinex::Run resumed(saved.Dir());
  ResumeFromCheckpoint(resumed, "T");
  EXPECT_EQ(resumed.TickCount, 4711);
  EXPECT_EQ(resumed.Mice.size(), 3u);
  EXPECT_EQ(test::ReadText(saved.Dir() / "Proto/ProtoNN.prt"), "row\n");
  resumed.StatProto.Write("next\n");
  resumed.CloseProtocols();
  EXPECT_EQ(test::ReadText(saved.Dir() / "Proto/ProtoNN.prt"), "row\nnext\n");
}

TEST(ResumeTest, ARefusedCheckpointChangesNeitherRunNorFiles) {
  SavedRun saved;
  const auto path = saved.Dir() / "data/checkpoint-T.mxc";
  std::string text = test::ReadText(path);
  text[text.size() / 2] ^= 0x01;
  test::WriteText(path, text);
  test::TestRun other;
  other.AddMaus({1, 1});
  murinex::Run& run = other.run;
  run.WorkDir = saved.Dir();
  run.TickCount = 5;
  EXPECT_THROW(ResumeFromCheckpoint(run, "T"), InputError);
  EXPECT_EQ(run.TickCount, 5);
  EXPECT_EQ(run.Mice.size(), 1u);
  EXPECT_EQ(test::ReadText(saved.Dir() / "Proto/ProtoNN.prt"),
            "row\nwritten after the checkpoint\n");
}

TEST(ResumeTest, TheCheckpointOfAnotherTaskIsRefused) {
  SavedRun saved;
  std::filesystem::copy_file(saved.Dir() / "data/checkpoint-T.mxc",
                             saved.Dir() / "data/checkpoint-U.mxc");
  murinex::Run run(saved.Dir());
  try {
    ResumeFromCheckpoint(run, "U");
    FAIL();
  } catch (const InputError& error) {
    EXPECT_THAT(error.what(), HasSubstr("belongs to the task \"T\", not to \"U\""));
  }
  EXPECT_TRUE(run.Mice.empty());
}

TEST(ResumeTest, AProtocolShorterThanRecordedIsRefusedBeforeAnythingIsCut) {
  SavedRun saved;
  test::WriteText(saved.Dir() / "Proto/ProtoNN.prt", "ro");
  test::WriteText(saved.Dir() / "Proto/AggProtNN.prt", "long enough\n");
  murinex::Run run(saved.Dir());
  try {
    ResumeFromCheckpoint(run, "T");
    FAIL();
  } catch (const InputError& error) {
    EXPECT_THAT(error.what(),
                HasSubstr("Proto/ProtoNN.prt: cannot resume: the file holds 2 bytes"));
  }
  EXPECT_EQ(test::ReadText(saved.Dir() / "Proto/AggProtNN.prt"), "long enough\n");
}

TEST(ResumeTest, TheCallerMayRefuseTheSavedState) {
  SavedRun saved;
  murinex::Run run(saved.Dir());
  EXPECT_THROW(ResumeFromCheckpoint(run, "T",
                                    [](const murinex::Run& s) {
                                      if (s.TickCount > 100) throw InputError("x", 0, "too far");
                                    }),
               InputError);
  EXPECT_EQ(test::ReadText(saved.Dir() / "Proto/ProtoNN.prt"),
            "row\nwritten after the checkpoint\n");
}

TEST(ResumeTest, TicksAfterAResumeMatchTicksWithoutOne) {
  // Two identical runs; one is saved and resumed after 30 ticks.
  auto build = [](test::TestRun& tr) {
    tr.run.TaskName = "T";
    tr.OpenProtocols();
    for (int i = 0; i < 6; ++i)
      tr.AddMaus({50 + 40 * i, 60 + 25 * i});
    tr.Watch(*tr.run.Mice[2]);
  };
  test::TestRun straight, cut;
  build(straight);
  build(cut);
  for (int t = 0; t < 60; ++t)
    Tick(straight.run);
  for (int t = 0; t < 30; ++t)
    Tick(cut.run);
  WriteCheckpoint(cut.run);
  murinex::Run resumed(cut.dir.path());
  ResumeFromCheckpoint(resumed, "T");
  for (int t = 0; t < 30; ++t)
    Tick(resumed);
  straight.run.CloseProtocols();
  resumed.CloseProtocols();
  EXPECT_EQ(CheckpointText(resumed), CheckpointText(straight.run));
  for (const char* name : {"Proto/BehaviourNN.prt", "Proto/KofiProtNN.prt", "Proto/AggProtNN.prt"})
    EXPECT_EQ(test::ReadText(cut.dir / name), test::ReadText(straight.dir / name)) << name;
  EXPECT_GT(test::ReadText(cut.dir / "Proto/BehaviourNN.prt").size(), 100u);
}

}  // namespace
}  // namespace murinex
