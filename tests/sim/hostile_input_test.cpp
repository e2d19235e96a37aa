// Inputs an attacker or an unlucky user might give: each is refused with a
// clear error, or gives correct output where a sensible file may hold it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <type_traits>

#include "agent/maus.h"
#include "agent/maus_fields.h"
#include "agent/mouse_list.h"
#include "agent/planning.h"
#include "model/settings.h"
#include "sim/checks/every_tick.h"
#include "sim/persistence/population_files.h"
#include "sim/tick/tick.h"
#include "tests/common/agent_builders.h"
#include "tests/common/reference_random.h"
#include "tests/common/test_run.h"
#include "world/error.h"
#include "world/input_ranges.h"
#include "world/inside.h"
#include "world/terrain.h"
#include "world/text_reader.h"

namespace murinex {
namespace {

using ::testing::HasSubstr;

std::string LoadWorldError(const std::string& text) {
  TextReader in(text, "data/world.txt");
  try {
    TWorld::Load(in);
  } catch (const InputError& e) {
    return e.what();
  }
  return "accepted";
}

std::string Patch(const std::string& numbers, const std::string& points) {
  return "P\n2\n" + numbers + "\n" + points + "\n";
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Finding 1: a patch with corners at the 32-bit limits.
TEST(HostileWorldTest, CornersBeyondTheRangeAreRefused) {
  const std::string world =
      "t\n400 300\n" +
      Patch("0 0.5 0 0", "-2147483648 -2147483648 2147483647 -2147483648 2147483647 2147483647");
  EXPECT_THAT(LoadWorldError(world),
              HasSubstr("data/world.txt:6: x of a point of patch \"P\" must lie between "
                        "-268435456 and 268435456"));
}

TEST(HostileWorldTest, AHugePatchIsClippedToTheWorldAndLoadsAtOnce) {
  // The triangle above the diagonal y = x, corners as far out as accepted.
  const std::string text =
      "t\n400 300\n" +
      Patch("0 0.5 0 0", "-268435456 -268435456 268435456 -268435456 268435456 268435456");
  const auto start = std::chrono::steady_clock::now();
  TextReader in(text, "data/world.txt");
  const auto world = TWorld::Load(in);
  // Walking the unclipped edges took hours; clipped, the load is immediate.
  // The bound only tells a hang from a load, whatever the machine's load.
  EXPECT_LT(Seconds(start), 10.0);
  const TInside& inside = world->Inside();
  EXPECT_NE(inside.TerraAt(10, 5), nullptr);     // x > y: inside
  EXPECT_EQ(inside.TerraAt(5, 10), nullptr);     // x < y: outside
  EXPECT_NE(inside.TerraAt(7, 7), nullptr);      // on the edge, which is drawn
  EXPECT_NE(inside.TerraAt(299, 299), nullptr);  // the edge to the last row
  EXPECT_EQ(inside.TerraAt(0, 299), nullptr);
}

TEST(HostileWorldTest, EdgesOutsideTheWorldLeaveTheRasterWhite) {
  // A thin sliver far to the right of the world: nothing of it lies inside.
  const std::string text = "t\n400 300\n" + Patch("0 0.5 0 0", "1000 0 200000000 0 200000000 5") +
                           "\n" + Patch("0 0.5 0 0", "0 0 10 0 10 10");
  TextReader in(text, "data/world.txt");
  const auto world = TWorld::Load(in);
  std::uint32_t index = 0;
  for (int x = 0; x < 400; ++x)
    for (int y = 0; y < 300; ++y)
      if (world->Inside().PatchIndexAt(x, y, index)) {
        ASSERT_EQ(index, 1u) << x << "," << y;
      }
}

// Finding 3: a decay beyond 1 swings the level into infinity and "nan".
TEST(HostileWorldTest, LevelGrowthAndDecayMustBeShares) {
  EXPECT_THAT(LoadWorldError("t\n400 300\n" + Patch("0 0.5 0 16384", "0 0 10 0 10 10")),
              HasSubstr("Decay of patch \"P\" must lie between 0 and 1"));
  EXPECT_THAT(LoadWorldError("t\n400 300\n" + Patch("0 -1e308 0 0", "0 0 10 0 10 10")),
              HasSubstr("Level of patch \"P\" must lie between 0 and 1"));
  EXPECT_THAT(LoadWorldError("t\n400 300\n" + Patch("0 1e10 0 0", "0 0 10 0 10 10")),
              HasSubstr("found 10000000000"));
  EXPECT_THAT(LoadWorldError("t\n400 300\n" + Patch("0 0.5 0 2147483648", "0 0 10 0 10 10")),
              HasSubstr("Decay of patch \"P\" must lie between 0 and 1"));
  EXPECT_THAT(LoadWorldError("t\n400 300\n" + Patch("1001 0.5 0 0", "0 0 10 0 10 10")),
              HasSubstr("season count of patch \"P\" must lie between 0 and 1000"));
}

// Finding 5: a self-crossing outline of tiny area puts its centre at -6.7e9.
TEST(HostileWorldTest, ASelfCrossingPatchWithitsCentreFarAwayIsRefused) {
  EXPECT_THAT(
      LoadWorldError("t\n400 300\n" + Patch("0 0.5 0 0", "0 0 200000 1 200000 0 0 1 0 2 1 2")),
      HasSubstr("data/world.txt:3: patch \"P\": the centre of the polygon lies far outside"));
}

TEST(HostileWorldTest, RoundingSaturatesInsteadOfOverflowing) {
  EXPECT_EQ(RoundHalfEven(1e10), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(RoundHalfEven(-1e10), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(RoundHalfEven(std::nan("")), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(RoundHalfEven(2147483646.5), 2147483646);  // halves to even, in range
  EXPECT_EQ(RoundHalfEven(-2147483648.0), std::numeric_limits<std::int32_t>::min());
}

std::string SettingsError(const std::string& from, const std::string& to) {
  std::string text = test::SettingsText();
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
  TextReader in(text, "data/settings.txt");
  try {
    Settings::Read(in);
  } catch (const InputError& e) {
    return e.what();
  }
  return "accepted";
}

TEST(HostileSettingsTest, CostsAndGoalValuesOutOfRangeAreRefused) {
  EXPECT_EQ(SettingsError("", ""), "accepted");
  const std::string settings = test::SettingsText();
  // The first action row's hunger cost and the first goal-need value.
  const auto actions = settings.find("ActionSettings");
  const auto row = settings.find('\n', actions) + 1;
  std::string text = settings;
  text.insert(row, "1e308 ");
  {
    TextReader in(text, "data/settings.txt");
    try {
      Settings::Read(in);
      ADD_FAILURE() << "accepted";
    } catch (const InputError& e) {
      EXPECT_THAT(e.what(),
                  HasSubstr("ActionSettings row 1, hunger cost must lie between -100 and 100"));
    }
  }
  text = settings;
  const auto matrix = settings.find("GoalNeedMatrix");
  text.insert(settings.find('\n', matrix) + 1, "1e308 ");
  TextReader in(text, "data/settings.txt");
  try {
    Settings::Read(in);
    ADD_FAILURE() << "accepted";
  } catch (const InputError& e) {
    EXPECT_THAT(e.what(), HasSubstr("GoalNeedMatrix row 1, need 0 must lie between -1 and 1"));
  }
}

// The records of the committed population dump, with one text replaced.
std::string PopulationError(const std::string& from, const std::string& to) {
  std::string text = test::ReadText(test::TestData() / "golden_population.dat");
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at == std::string::npos) return "";
  text.replace(at, from.size(), to);
  test::TestRun t;
  TextReader in(text, "data/pop.txt");
  try {
    in.ReadLine("title");
    const std::int32_t start = in.ReadInt("start tick");
    in.NextLine();
    while (!in.AtEnd()) {
      auto m = NewMaus(t.run);
      ReadMaus(t.run, *m, in, start);
      t.run.Mice.push_back(std::move(m));
    }
  } catch (const InputError& e) {
    return e.what();
  }
  return "accepted";
}

TEST(HostilePopulationTest, TheUnchangedFileIsAccepted) {
  EXPECT_EQ(PopulationError("Grey", "Grey"), "accepted");
}

// Findings 2, 3 and 5, each with the value the issue names.
TEST(HostilePopulationTest, ValuesThatOverflowOrLoopAreRefused) {
  struct Case {
    const char* from;
    const char* to;
    const char* message;
  };
  const Case cases[] = {
      // InhibW -1e8: a blocked mouse would probe a billion directions.
      {"    0.50000000    0.40000000  // InhibW", "   -1e8    0.40000000  // InhibW",
       "person parameter InhibW must lie between -10 and 10"},
      // A relation of 1e200 is squared to infinity by forgetting.
      {"         8    0.5000", "         8    1e200",
       "Friendship of a FriEns entry must lie between 0 and 1"},
      {"  Hunger  1.000  0.620    0.0200    0.0000    1.5000",
       "  Hunger  1.000  0.620    0.0200    0.0000    1e308",
       "Weight of motive line 1 must lie between 0 and 1000"},
      {"    0.30000000    1.20000000  // BasAr", "    1e308    1.20000000  // BasAr",
       "person parameter BasAr must lie between -10 and 10"},
      {"    0.00200000    0.40000000  // RateForget", "   -1e308    0.40000000  // RateForget",
       "person parameter RateForget must lie between 0 and 1"},
      {"   2        0.00000        1.00000", "   2        0.00000        1e308",
       "goal value for need 1 must lie between -1 and 1"},
      // Integers at the 32-bit limits.
      {"Grey          7", "Grey 2147483647", "ID must lie between -1000000000 and 1000000000"},
      {"Grey          7           1200", "Grey          7     2147483647",
       "Age of mouse 7 must lie between 0 and 1000000000"},
      {"    40     50   // Hunger", "-2147483648 50   // Hunger",
       "Reserve of motive line 1 must lie between"},
      {"   120    45", "2147483647    45",
       "x of Position must lie between -268435456 and 268435456"},
      // An ActVal of 1e10 was written as -2147483648.
      {"     20      0      0      0      0", " 1e10      0      0      0      0",
       "ActVal slot 3 of mouse 7 must lie between -1000000 and 1000000"},
      // Pregnant must be a whole flag, or the dump would not read back.
      {"     20      0      0      0      0", "     20      0      0    0.5      0",
       "ActVal slot 6 of mouse 7"},
      // A sign that would not survive being written back.
      {"0.750   +", "0.750   \x7f", "the sign of place row 0 must be a visible character"},
      // A recall after the start tick.
      {"    0     200  100 0.900000000       0", "    0     200  100 0.900000000      10",
       "LastRecall of place row 0 (10) lies after the start tick 0"},
  };
  for (const Case& c : cases)
    EXPECT_THAT(PopulationError(c.from, c.to), HasSubstr(c.message)) << c.to;
}

TEST(HostileStartTest, AStartTickAtTheIntegerLimitIsRefused) {
  std::string text = test::ReadText(test::TestData() / "golden_population.dat");
  text.replace(text.find("         0    // TaktNr"), 23, "2147483647    // TaktNr");
  TextReader in(text, "data/pop.txt");
  in.ReadLine("title");
  try {
    ReadInt(in, Field::StartTick, "start tick");
    FAIL();
  } catch (const InputError& e) {
    EXPECT_THAT(e.what(),
                HasSubstr("data/pop.txt:2: start tick must lie between 0 and 1000000000"));
  }
}

// Finding 2: even an InhibW set in an editor beyond any file's range keeps
// the probes around a mouse bounded.
TEST(HostileTickTest, ProbesAroundABlockedMouseAreBounded) {
  test::TestRun t;
  TMaus& m = t.AddMaus({200, 150});
  m.Inhib = -1e8;
  const std::uint32_t seed = t.run.random.Seed();
  FreeStepAround(t.run, m, m.Position, 5, 0);
  // One draw per probe: no place is remembered, nobody else is there.
  EXPECT_EQ(t.run.random.Seed(), test::SeedAfter(seed, MaxRingProbes));
}

// Finding 3: a value that is no number stops the run, named, before any
// protocol row of that tick is written.
TEST(HostileTickTest, ANonFiniteValueStopsTheRunNamingMouseAndField) {
  test::TestRun t;
  t.OpenProtocols();
  t.AddMaus({200, 150});
  TMaus& m = t.AddMaus({100, 100});
  t.run.TickCount = 99;  // the next tick writes a statistics row
  m.M(need::Sex).Weight = std::nan("");
  try {
    Tick(t.run);
    FAIL();
  } catch (const InputError& e) {
    EXPECT_THAT(e.what(), HasSubstr("tick 100: mouse " + std::to_string(m.ID) + ": "));
    // The weight has spread into the need strength by then; the first field found is named.
    EXPECT_THAT(e.what(), HasSubstr("is not a finite number (nan)"));
  }
  t.run.CloseProtocols();
  for (const char* file : {"Proto/ProtoNN.prt", "Proto/BehaviourNN.prt", "Proto/KofiProtNN.prt"}) {
    const std::string text = test::ReadText(t.dir / file);
    EXPECT_EQ(text.find("nan"), std::string::npos) << file;
  }
}

TEST(HostileTickTest, TheFieldIsNamed) {
  test::TestRun t;
  TMaus& m = t.AddMaus({200, 150});
  m.Params[param::ArousalW] = -std::numeric_limits<double>::infinity();
  try {
    CheckRunState(t.run);
    FAIL();
  } catch (const InputError& e) {
    EXPECT_THAT(e.what(), HasSubstr("mouse " + std::to_string(m.ID) +
                                    ": ArousalW is not a finite number (-inf)"));
  }
}

// Each real of each record of a mouse, as its field list names it, is checked:
// a field added to a list cannot be missed.
TEST(HostileTickTest, EveryRealFieldOfAMouseIsChecked) {
  int poisoned = 0;
  for (int target = 0;; ++target) {
    test::TestRun t;
    TMaus& m = t.AddMaus({200, 150});
    test::AddPlace(t.run, m, goal::Food, {100, 100}, '+');
    m.Relations.push_back({7, {}, 0.5, -0.5});
    m.Protocol.push_back({1, 2, goal::NoGoal, action::NoAction, 0.5});
    m.Embryo = std::make_unique<TGenom>();
    int index = 0;
    std::string name;
    const auto poison = [&](const FieldInfo& f, auto& value) {
      if constexpr (std::is_same_v<std::decay_t<decltype(value)>, double>)
        if (index++ == target) value = std::nan(""), name = f.name;
    };
    MouseFields(m, poison);
    ActValFields(m, poison);
    ParamFields(m, poison);
    for (TMotiv& mo : m.Motives)
      MotiveFields(mo, poison);
    for (auto& el : m.GoalMemory)
      GoalElementFields(*el, poison);
    PlaceFields(m.GoalLocations[0], poison);
    RelationFields(m.Relations.front(), poison);
    TrackPointFields(m.Protocol.front(), poison);
    GenomeFields(*m.Embryo, poison);
    if (name.empty()) break;
    ++poisoned;
    try {
      CheckRunState(t.run);
      ADD_FAILURE() << name << " is not checked";
    } catch (const InputError& e) {
      EXPECT_THAT(e.what(), HasSubstr(name + " ")) << target;
    }
  }
  // 12 of the mouse, 8 action values, 15 parameters, 8 motives of 9, the food
  // element of 9, 3 of the place, 2 of the relation, 1 of the track point and
  // 16 + 15 genes (the reserve genes are integers).
  EXPECT_EQ(poisoned, 12 + 8 + 15 + 72 + 9 + 3 + 2 + 1 + 31);
}

TEST(HostileTickTest, ASumOfTheStatisticsThatIsNoNumberIsNamed) {
  test::TestRun t;
  t.run.Stats[stat::Fear] = std::numeric_limits<double>::infinity();
  try {
    CheckRunState(t.run);
    FAIL();
  } catch (const InputError& e) {
    EXPECT_THAT(e.what(), HasSubstr("the statistics sum: Fear is not a finite number (inf)"));
  }
}

TEST(HostileTickTest, ANonFinitePatchLevelIsNamed) {
  test::TestRun t;
  t.run.World->TerraList[0]->Decay = 0;
  t.run.World->TerraList[0]->Level = std::numeric_limits<double>::infinity();
  try {
    CheckRunState(t.run);
    FAIL();
  } catch (const InputError& e) {
    EXPECT_THAT(e.what(), HasSubstr("patch 0 \""));
    EXPECT_THAT(e.what(), HasSubstr("Level is not a finite number (inf)"));
  }
}

TEST(HostileTickTest, LargeFiniteValuesAreNoError) {
  test::TestRun t;
  TMaus& m = t.AddMaus({200, 150});
  m.M(need::Sex).Weight = 1e308;
  m.M(need::Affil).Weight = 1e308;  // their sum is infinite, each is not
  EXPECT_NO_THROW(CheckRunState(t.run));
}

// Finding 5: counters at the 32-bit limit stop the run instead of wrapping.
TEST(HostileTickTest, CountersAtTheLimitStopTheRun) {
  test::TestRun t;
  t.run.TickCount = std::numeric_limits<std::int32_t>::max();
  EXPECT_THROW(Tick(t.run), InputError);
  EXPECT_EQ(t.run.TickCount, std::numeric_limits<std::int32_t>::max());
  t.run.IdCounter = std::numeric_limits<std::int32_t>::max();
  try {
    NewMaus(t.run);
    FAIL();
  } catch (const InputError& e) {
    EXPECT_THAT(e.what(), HasSubstr("no ID is left for a new mouse"));
  }
  test::TestRun u;
  u.AddMaus({200, 150}).Age = std::numeric_limits<std::int32_t>::max();
  EXPECT_THROW(CheckRunState(u.run), InputError);
}

}  // namespace
}  // namespace murinex

namespace murinex {
namespace {

// docs/inputs.md lists the same table as the code: every range by its name.
TEST(InputRangesTest, EveryRangeIsDocumentedWithItsLimits) {
  const std::string docs = test::ReadText(test::TestData() / "../../docs/inputs.md");
  for (int f = 0; f < static_cast<int>(Field::Count); ++f) {
    const ValueRange& r = InputRanges[f];
    EXPECT_NE(docs.find(std::string("| ") + r.name + " |"), std::string::npos) << r.name;
    EXPECT_LE(r.minimum, r.maximum) << r.name;
  }
}

}  // namespace
}  // namespace murinex
