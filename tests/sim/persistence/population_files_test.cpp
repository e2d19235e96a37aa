#include "sim/persistence/population_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "model/run.h"
#include "tests/common/test_run.h"
#include "world/error.h"
#include "world/text_reader.h"

namespace murinex {
namespace {

using ::testing::HasSubstr;

// Reads every record of a population text into the run (after its two frame lines).
void ReadAll(Run& run, const std::string& text) {
  TextReader in(text, "data/pop.txt");
  in.ReadLine("title");
  in.ReadInt("start tick");
  in.NextLine();
  while (!in.AtEnd()) {
    auto m = NewMaus(run);
    ReadMaus(run, *m, in);
    run.Mice.push_back(std::move(m));
  }
}

std::string Records(Run& run) {
  std::string out;
  for (auto& m : run.Mice)
    out += DumpMaus(run, *m);
  return out;
}

std::string WithoutHeader(const std::string& dump) {
  std::size_t pos = 0;
  for (int i = 0; i < 3; ++i)
    pos = dump.find('\n', pos) + 1;
  return dump.substr(pos);
}

// Replaces the first occurrence of `from`, which must be there.
std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const auto pos = text.find(from);
  EXPECT_NE(pos, std::string::npos) << from;
  if (pos != std::string::npos) text.replace(pos, from.size(), to);
  return text;
}

std::string Golden() {
  return test::ReadText(test::TestData() / "golden_population.dat");
}

std::string ReadError(const std::string& text) {
  test::TestRun t;
  try {
    ReadAll(t.run, text);
  } catch (const InputError& e) {
    return e.what();
  }
  return "no error";
}

// The golden file was laid out by hand field by field; reading it and writing
// it again must give the very same text.
TEST(PopulationFileTest, GoldenRecordsRoundTrip) {
  test::TestRun t;
  ReadAll(t.run, Golden());
  ASSERT_EQ(t.run.Mice.size(), 3u);
  EXPECT_EQ(Records(t.run), WithoutHeader(Golden()));
}

TEST(PopulationFileTest, FieldsOfARecord) {
  test::TestRun t;
  ReadAll(t.run, Golden());
  const TMaus& grey = *t.run.Mice[0];
  EXPECT_EQ(grey.Lineage, "Grey");
  EXPECT_EQ(grey.ID, 7);
  EXPECT_EQ(grey.Age, 1200);
  EXPECT_EQ(grey.MotherID, 3);
  EXPECT_EQ(grey.Position, (TPoint{120, 45}));
  EXPECT_EQ(grey.ActVal[3], 20);
  EXPECT_FALSE(grey.Embryo);
  EXPECT_EQ(grey.Motives[1].Ist, 0.62);
  EXPECT_EQ(grey.Motives[1].Reserve, 40);
  EXPECT_EQ(grey.Motives[1].MaxReserve, 50);
  EXPECT_DOUBLE_EQ(grey.SumWeights, 1.5 + 1.2 + 1 + 0.8 + 1.1 + 1.3 + 1.4);
  EXPECT_EQ(grey.Params[param::SightWidth], 120);
  EXPECT_EQ(grey.Params[param::Carefactor], 0.7);
  ASSERT_EQ(grey.GoalMemory.size(), 3u);
  EXPECT_EQ(grey.GoalMemory[2]->GoalKind, goal::Stones);
  EXPECT_EQ(grey.GoalMemory[2]->Expectation, 0);
  EXPECT_EQ(grey.StuckAt, NoPoint);
  EXPECT_EQ(grey.Action, 0);
  ASSERT_EQ(grey.Protocol.size(), 6u);
  EXPECT_EQ(grey.Protocol[3].Action, 6);
  EXPECT_EQ(grey.Protocol[5].Vividness, 0.75);
  const TMaus& brown = *t.run.Mice[1];
  ASSERT_TRUE(brown.Embryo);
  EXPECT_EQ(brown.Embryo->ReserveGenes[2], 50);
  EXPECT_EQ(brown.Embryo->BasMetaGenes[1], 0.02);
  EXPECT_EQ(brown.Embryo->PersonGenes[12], 120);
}

TEST(PopulationFileTest, RoutesAreLinkedByNextIndex) {
  test::TestRun t;
  ReadAll(t.run, Golden());
  const auto& places = t.run.Mice[0]->GoalLocations;
  ASSERT_EQ(places.size(), 4u);
  EXPECT_FALSE(places[0].Next);
  EXPECT_EQ(places[1].Next, places.HandleAt(0));
  EXPECT_EQ(places[2].Next, places.HandleAt(1));
  EXPECT_EQ(places[2].Sign, '0');
  EXPECT_EQ(places[3].Sign, '-');
  // The element is the mouse's element of the row's goal kind.
  EXPECT_EQ(places[0].Element, t.run.Mice[0]->GoalMemory[0].get());
  EXPECT_EQ(places[3].Element, t.run.Mice[0]->GoalMemory[2].get());
}

TEST(PopulationFileTest, PlaceOfAnUnknownKindCreatesItsElement) {
  std::string text = Golden();
  text = Replace(text, "  0.800   5  1.000   -", "  0.800   6  1.000   -");
  test::TestRun t;
  ReadAll(t.run, text);
  const TMaus& grey = *t.run.Mice[0];
  ASSERT_EQ(grey.GoalMemory.size(), 4u);
  EXPECT_EQ(grey.GoalMemory[3]->GoalKind, goal::HealingHerbs);
  EXPECT_EQ(grey.GoalMemory[3]->Values, t.run.settings.GoalNeedMatrix[goal::HealingHerbs]);
}

// The constructor counts the IDs up, a read ID raises the counter only when larger.
TEST(PopulationFileTest, IdCounterAfterReading) {
  test::TestRun t;
  ReadAll(t.run, Golden());  // IDs 7, 8, 57
  EXPECT_EQ(NewMaus(t.run)->ID, 58);
  // Two records, IDs 57 then 3: the counter reaches 57, then 58 for the second creation.
  const std::string golden = Golden();
  const std::string head = golden.substr(0, golden.find("Grey"));
  const std::string grey =
      golden.substr(golden.find("Grey"), golden.find("Brown") - golden.find("Grey"));
  const std::string white = golden.substr(golden.find("White"));
  test::TestRun u;
  ReadAll(u.run, head + Replace(grey, "Grey          7", "Grey         57") +
                     Replace(white, "White         57", "White          3"));
  ASSERT_EQ(u.run.Mice.size(), 2u);
  EXPECT_EQ(NewMaus(u.run)->ID, 59);
}

TEST(PopulationFileTest, WhatDoesNotSurviveADump) {
  std::string text = Golden();
  // Slot 3 and 4 hold fractions; NextIndex -2; a forgotten place.
  text = Replace(text, "    1.000000    0.000000    0.000000     20      0",
                 "    1.000000    0.000000    0.000000   20.4    2.5");
  text = Replace(text, "    3      50   60 0.500000000       0     -1",
                 "    3      50   60 0.500000000       0     -2");
  text = Replace(text, "    1     260  100 1.000000000", "    1     260  100 0.000000000");
  test::TestRun t;
  ReadAll(t.run, text);
  const TMaus& grey = *t.run.Mice[0];
  ASSERT_EQ(grey.GoalLocations.size(), 3u);        // the forgotten waypoint is purged
  EXPECT_EQ(grey.GoalLocations[1].NextIndex, -2);  // its follower lost its Next
  EXPECT_FALSE(grey.GoalLocations[1].Next);
  EXPECT_EQ(grey.GoalLocations[2].NextIndex, -2);  // kept as read
  const std::string dump = DumpMaus(t.run, *t.run.Mice[0]);
  EXPECT_THAT(dump, HasSubstr("    1.000000    0.000000    0.000000     20      2      0"));
  EXPECT_THAT(dump, HasSubstr("    1     320  140 1.000000000       0     -1"));
  EXPECT_THAT(dump, HasSubstr("    2      50   60 0.500000000       0     -1"));
}

TEST(PopulationFileTest, DumpFadesEveryPlace) {
  test::TestRun t;
  ReadAll(t.run, Golden());
  TMaus& grey = *t.run.Mice[0];
  t.run.TickCount = 100;
  t.run.random.SetSeed(1);
  // Place 0: Retention 0.9, LastRecall 0, RateForget 0.002, r = 0.0313799...
  const double r = 134775814.0 / 4294967296.0;
  const double expected = std::sqrt(0.9 * 0.9 - r * 100 * 0.002);
  DumpMaus(t.run, grey);
  EXPECT_DOUBLE_EQ(grey.GoalLocations[0].Retention, expected);
  EXPECT_EQ(grey.GoalLocations[0].LastRecall, 100);
  // A second dump in the same tick charges no time but still draws.
  const std::uint32_t seedBefore = t.run.random.Seed();
  DumpMaus(t.run, grey);
  EXPECT_DOUBLE_EQ(grey.GoalLocations[0].Retention, expected);
  EXPECT_NE(t.run.random.Seed(), seedBefore);
}

TEST(PopulationFileTest, BadInputNamesFileLineAndValue) {
  std::string text = Golden();
  std::string noGenom = text;
  noGenom.erase(noGenom.find("Genom\n"), 6);
  EXPECT_THAT(ReadError(noGenom), HasSubstr("mouse 8 is pregnant: expected its \"Genom\" section"));

  std::string badKind = text;
  badKind = Replace(badKind, "   5        0.00000", "  11        0.00000");
  EXPECT_THAT(ReadError(badKind), HasSubstr("expected a goal kind 0 to 10"));

  std::string noSign = text;
  noSign = Replace(noSign, "  0.750   +", "  0.750    ");
  EXPECT_THAT(ReadError(noSign), HasSubstr("expected the sign of place row 0"));

  std::string forward = text;
  forward = Replace(forward, "    0     200  100 0.900000000       0     -1",
                    "    0     200  100 0.900000000       0      2");
  EXPECT_THAT(ReadError(forward),
              HasSubstr("data/pop.txt:35: place row 0: NextIndex 2 must name an earlier place"));

  std::string cut = text.substr(0, text.find("   FriEns:   5"));
  EXPECT_THAT(ReadError(cut), HasSubstr("found end of file"));

  std::string word = text;
  word = Replace(word, "  Thirst  1.000  0.800", "  Thirst  1.000  abc  ");
  EXPECT_THAT(
      ReadError(word),
      HasSubstr("data/pop.txt:12: expected a real number (Ist of motive line 2), found \"abc\""));
}

TEST(PopulationFileTest, RelationAndTrackWrapping) {
  test::TestRun t;
  ReadAll(t.run, Golden());
  const std::string grey = DumpMaus(t.run, *t.run.Mice[0]);
  // Six relations: five on the first line, the sixth after 14 blanks, then one empty line.
  EXPECT_THAT(grey,
              HasSubstr("-0.1000\n                      13    0.0500    0.0000\n\n Protocol:"));
  const std::string brown = DumpMaus(t.run, *t.run.Mice[1]);
  // Five relations: all on one line, followed by two empty lines.
  EXPECT_THAT(brown, HasSubstr("-0.1000\n\n\n Protocol:"));
  const std::string white = DumpMaus(t.run, *t.run.Mice[2]);
  EXPECT_THAT(white, HasSubstr("   FriEns:   0\n\n Protocol:      0\n\n\n"));
}

TEST(GenomeDumpTest, OneLinePerMouse) {
  test::TestRun t;
  ReadAll(t.run, Golden());
  DumpGenomes(t.run);
  const auto lines = test::ReadLines(t.dir / "data/Genom-NN-0.dat");
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0].rfind("data/Genom-NN-0.dat vom ", 0), 0u);
  EXPECT_EQ(lines[1], "         0    // TaktNr");
  // ID, then per need 1..7 weight, reserve gene and basal metabolism, then 15 person genes.
  const std::string expected =
      "       7   1.5000000     50   0.0200000   1.2000000     50   0.0300000"
      "   1.0000000     50   0.0100000   0.8000000      0   0.0050000"
      "   1.1000000      0   0.0040000   1.3000000      0   0.0020000"
      "   1.4000000      0   0.0010000   0.3000000   1.2000000   0.5000000"
      "   0.4000000   0.2500000   0.3000000   0.2000000   0.3500000"
      "   0.0020000   0.4000000   0.0500000   1.1000000 120.0000000"
      "   0.6000000   0.7000000";
  EXPECT_EQ(lines[3], expected);
}

TEST(PopulationDumpTest, WrittenWholeUnderItsName) {
  test::TestRun t;
  ReadAll(t.run, Golden());
  t.run.DumpNumber = 4;
  t.run.TaskName = "T";
  DumpPopulation(t.run);
  const std::string text = test::ReadText(t.dir / "data/Maeuse-T-4.dat");
  EXPECT_EQ(text.rfind("data/Maeuse-T-4.dat vom ", 0), 0u);
  EXPECT_EQ(WithoutHeader(text), WithoutHeader(Golden()));
  EXPECT_FALSE(std::filesystem::exists(t.dir / "data/Maeuse-T-4.dat.tmp"));
}

TEST(PopulationDumpTest, MissingFolderIsAnError) {
  test::TestRun t;
  t.run.WorkDir = t.dir / "no" / "such";
  EXPECT_THROW(DumpPopulation(t.run), InputError);
}

}  // namespace
}  // namespace murinex
