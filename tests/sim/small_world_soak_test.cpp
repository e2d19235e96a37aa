// A long run of a few dozen mice on a small world, through the whole tick:
// perceiving, acting, moving, dying, being born, statistics rows and dumps.
// It must finish with its lists consistent; under the sanitizer build it must
// also finish without any report.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "agent/maus.h"
#include "model/run.h"
#include "sim/tick/tick.h"
#include "tests/common/reference_random.h"
#include "tests/common/test_run.h"

namespace murinex {
namespace {

constexpr int kMice = 24;
constexpr int kTicks = 20000;

// Counts the sounds instead of playing them.
class CountingSound : public SoundSink {
 public:
  void PlayWave(const std::string&) override { ++played; }
  long played = 0;
};

std::unique_ptr<TTerra> Patch(TerraKind kind, int left, int top, int right, int bottom,
                              std::vector<TSeason> seasons, double growth, double decay) {
  auto patch = test::RectPatch(kind, left, top, right, bottom, 0.5);
  patch->Seasons = std::move(seasons);
  patch->Growth = growth;
  patch->Decay = decay;
  return patch;
}

// Two sand fields joined by a bridge, with a gap of no terrain between them,
// and patches of every resource, some of them seasonal.
std::unique_ptr<TWorld> SoakWorld() {
  std::vector<std::unique_ptr<TTerra>> patches;
  patches.push_back(Patch(KindSand, 0, 0, 140, 199, {}, 0, 0));
  patches.push_back(Patch(KindSand, 160, 0, 299, 199, {}, 0, 0));
  patches.push_back(Patch(KindSand, 140, 80, 160, 120, {}, 0, 0));
  patches.push_back(Patch(KindFood, 10, 10, 80, 80, {{0, 365}}, 0.01, 0));
  patches.push_back(Patch(KindFood, 50, 130, 110, 190, {{100, 200}}, 0.02, 0.01));
  patches.push_back(Patch(KindWater, 220, 10, 290, 70, {{0, 365}}, 0.01, 0));
  patches.push_back(Patch(KindWater, 170, 90, 200, 120, {{0, 365}}, 0.01, 0));
  patches.push_back(Patch(KindVorarazav, 200, 150, 230, 180, {{0, 300}}, 0.01, 0.005));
  patches.push_back(Patch(KindStones, 100, 90, 125, 110, {}, 0, 0));
  patches.push_back(Patch(KindHealingHerbs, 240, 140, 280, 180, {{50, 365}}, 0.01, 0.002));
  return test::MakeWorld(300, 200, std::move(patches));
}

// A mouse with values spread by a fixed sequence of draws of its own.
void Vary(TMaus& m, test::ReferenceRandom& r, int index) {
  auto in = [&r](double low, double high) { return low + (high - low) * r.Next(); };
  m.Position = {static_cast<std::int32_t>(in(5, 295)), static_cast<std::int32_t>(in(5, 195))};
  m.Heading = in(0, 6.28);
  m.Age = 2000 + 100 * index;
  m.Params = {in(0.2, 0.6),   1,
              in(0.2, 0.8),   0.5,
              in(0.1, 0.3),   in(0.1, 0.3),
              in(0.1, 0.3),   in(0.1, 0.3),
              in(1e-5, 1e-4), in(0.1, 0.5),
              in(0.01, 0.1),  in(0.6, 1.2),
              in(60, 120),    in(0.2, 0.8),
              in(0, 1)};
  m.SumWeights = 0;
  for (int i = 0; i < need::Count; ++i) {
    TMotiv& motive = m.Motives[i];
    motive.Soll = 1;
    motive.Ist = in(0.5, 1);
    motive.Weight = i == need::Affil ? in(0.4, 1.5) : in(0.5, 2);
    motive.BasMeta = i == 0 ? 0 : in(0.0005, 0.003);
    motive.MaxReserve = static_cast<std::int32_t>(in(8000, 20000));
    motive.Reserve = motive.MaxReserve;
    m.SumWeights += motive.Weight;
  }
  m.CurStrength() = m.P(param::Strength);
  if (index % 6 == 0) {  // due soon: births come early
    CopyGenom(m);
    m.Embryo = std::make_unique<TGenom>(*m.Genom);
    m.Pregnant() = 1;
    m.BirthCountdown() = 20 * index;
  }
  if (index % 7 == 0) {
    m.Drunkenness() = 1;
    m.TimeTillSober() = 50;
    m.Jul = index;
  }
}

// The lists and references of every mouse are consistent.
void ExpectConsistent(const Run& run) {
  for (const auto& mp : run.Mice) {
    const TMaus& m = *mp;
    SCOPED_TRACE("mouse " + std::to_string(m.ID) + " at tick " + std::to_string(run.TickCount));
    for (const TFrinEn& e : m.Relations) {
      ASSERT_TRUE(e.Other == MouseHandle{} || run.Mice.Find(e.Other) != nullptr);
    }
    for (std::size_t j = 0; j < m.GoalLocations.size(); ++j) {
      const TGoalAvLoc& place = m.GoalLocations[j];
      if (place.NextIndex >= 0) {
        ASSERT_LT(place.NextIndex, static_cast<std::int32_t>(j));
        ASSERT_EQ(place.Next, m.GoalLocations.HandleAt(static_cast<std::size_t>(place.NextIndex)));
      } else {
        ASSERT_FALSE(place.Next);
      }
    }
    ASSERT_TRUE(std::isfinite(m.Heading));
    for (const TProtocol& p : m.Protocol)
      ASSERT_TRUE(p.Vividness >= 0 && p.Vividness <= 1);
    for (const TMotiv& motive : m.Motives)
      ASSERT_TRUE(std::isfinite(motive.Ist));
  }
}

TEST(SoakTest, TwoDozenMiceLiveTwentyThousandTicks) {
  test::TestRun t;
  // Older mice die from 10000 ticks on; acting costs a tenth of the usual food
  // and water, so that mice live long enough to meet, mate and learn.
  t.run.settings.LifeSettings[2] = {10000, 0.002};
  for (ActionRow& row : t.run.settings.ActionSettings) {
    row.hungerCost *= 0.1;
    row.thirstCost *= 0.1;
  }
  t.SetWorld(SoakWorld());
  t.OpenProtocols();
  CountingSound sound;
  t.run.Sound = &sound;
  t.run.AllMiceAudible = true;
  test::ReferenceRandom values(99);
  for (int i = 0; i < kMice; ++i)
    Vary(t.AddMaus({0, 0}), values, i);
  // Every mouse starts with a friend, every third one also with an enemy.
  for (int i = 0; i < kMice; ++i) {
    TMaus& m = *t.run.Mice[static_cast<std::size_t>(i)];
    UpdateRelation(m.Relations, *t.run.Mice[static_cast<std::size_t>((i + 1) % kMice)], 1.0);
    if (i % 3 == 0)
      UpdateRelation(m.Relations, *t.run.Mice[static_cast<std::size_t>((i + 5) % kMice)], -0.1);
  }
  const std::int32_t firstIds = t.run.IdCounter;
  // Behaviour and competence lines are written for one mouse in the first ticks.
  t.run.SelectMaus(t.run.Mice[3]->Handle);
  t.run.CheckMausId = t.run.Mice[3]->ID;

  for (int tick = 1; tick <= kTicks; ++tick) {
    ASSERT_TRUE(Tick(t.run));
    if (tick == 3000) t.run.SelectMaus({});
    if (tick % 100 == 0) {
      ExpectConsistent(t.run);
      if (HasFatalFailure()) return;
    }
  }

  EXPECT_EQ(t.run.TickCount, kTicks);
  EXPECT_EQ(t.run.StatRowCount, kTicks / 100);
  EXPECT_EQ(t.run.DumpNumber, 2);
  EXPECT_GT(t.run.IdCounter, firstIds);  // mice were born
  EXPECT_GT(sound.played, 0);
  EXPECT_FALSE(t.Behaviour().empty());
}

}  // namespace
}  // namespace murinex
