#pragma once

// A test with one run whose protocols are open, for the tests of a mouse's
// behaviour: mice are added where a test wants them, and the generator starts
// at seed 1, so a test can say which values its draws give.

#include <gtest/gtest.h>

#include <cstdint>

#include "agent/goal_memory.h"
#include "agent/maus.h"
#include "model/run.h"
#include "tests/common/reference_random.h"
#include "tests/common/test_run.h"

namespace murinex::test {

// The generator of every test run starts at seed 1. Its first uniform reals:
// draw 0 = 0.0314, draw 1 = 0.8610, draw 2 = 0.2026, draw 3 = 0.2729.
constexpr std::uint32_t SeedOfDraw0 = 134775814;  // the seed after draw 0; draw 1 follows

class MouseTest : public ::testing::Test {
 protected:
  MouseTest() { t.OpenProtocols(); }

  TMaus& Add(TPoint p) { return t.AddMaus(p); }
  std::uint32_t SeedAfter(int draws) const { return test::SeedAfter(1, draws); }
  TGoalMemEl& Remember(TMaus& m, goal::Goal kind) {
    return FindElement(m.GoalMemory, run.settings, kind);
  }

  TestRun t;
  murinex::Run& run = t.run;
};

}  // namespace murinex::test
