#include "agent/neighbours.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/stat_columns.h"
#include "tests/common/agent_builders.h"
#include "tests/common/mouse_test.h"

namespace murinex {
namespace {

class NeighboursTest : public test::MouseTest {};

// ---------------------------------------------------------------------------
// Looking around

TEST_F(NeighboursTest, LookForNeighboursSortsTheMiceByRelation) {
  TMaus& a = Add({100, 100});
  TMaus& friendly = Add({130, 100});
  TMaus& enemy = Add({100, 140});
  TMaus& neutral = Add({70, 100});
  TMaus& stranger = Add({100, 60});
  TMaus& farFriend = Add({250, 100});  // 150 away, beyond the sight width of 100
  UpdateRelation(a.Relations, friendly, 0.4);
  UpdateRelation(a.Relations, enemy, -0.1);
  UpdateRelation(a.Relations, neutral, 0);  // an entry with value 0
  UpdateRelation(a.Relations, farFriend, 0.4);
  a.SeenFriends = {farFriend.Handle};  // left over from an earlier look

  LookForNeighbours(run, a, 0, Pi, 100);

  EXPECT_EQ(a.SeenMice, test::Handles({&friendly, &enemy, &neutral, &stranger}));
  EXPECT_EQ(a.SeenFriends, test::Handles({&friendly}));
  // The enemy needs a draw below competence 1: draw 0 (0.0314).
  EXPECT_EQ(a.SeenEnemies, test::Handles({&enemy}));
  EXPECT_EQ(a.SeenStrangers, test::Handles({&stranger}));
  EXPECT_EQ(run.random.Seed(), SeedAfter(1));  // one draw, for the enemy only
  EXPECT_EQ(run.Stats[stat::Mausnotseen], 0);
}

// A heading far beyond 2 pi: the angle differences are taken as they come,
// and one of them exceeds pi even for a view pi wide.
TEST_F(NeighboursTest, AWideViewWithAHeadingOutOfRangeStillWeighsTheAngles) {
  TMaus& a = Add({100, 100});
  TMaus& right = Add({150, 100});  // direction 2 pi: |12 - 2 pi| = 5.717, from 2 pi: 0.566
  TMaus& above = Add({100, 50});   // direction pi/2: |12 - pi/2| = 10.43, from 2 pi: 4.146 > pi
  LookForNeighbours(run, a, 12, Pi, 100);
  EXPECT_EQ(a.SeenMice, test::Handles({&right}));
  EXPECT_EQ(a.SeenStrangers, test::Handles({&right}));
  // The same two with the heading 12 - 2 pi: both within pi.
  LookForNeighbours(run, a, 12 - TwoPi, Pi, 100);
  EXPECT_EQ(a.SeenMice, test::Handles({&right, &above}));
}

TEST_F(NeighboursTest, EnemyIsNoticedOnlyWhenTheDrawIsBelowCompetence) {
  TMaus& a = Add({100, 100});
  TMaus& first = Add({130, 100});
  TMaus& second = Add({70, 100});
  UpdateRelation(a.Relations, first, -0.1);
  UpdateRelation(a.Relations, second, -0.1);
  a.Comp().Ist = 0.5;

  LookForNeighbours(run, a, 0, Pi, 100);

  // draw 0 = 0.0314 < 0.5 lets the first in, draw 1 = 0.8610 keeps the second out;
  // an enemy that is not noticed is not a stranger either.
  EXPECT_EQ(a.SeenMice, test::Handles({&first, &second}));
  EXPECT_EQ(a.SeenEnemies, test::Handles({&first}));
  EXPECT_TRUE(a.SeenStrangers.empty());
  EXPECT_EQ(run.random.Seed(), SeedAfter(2));
}

TEST_F(NeighboursTest, NarrowLookCountsTheMiceInSightOutsideTheSector) {
  TMaus& a = Add({100, 100});  // heading 0: looking to the right
  TMaus& ahead = Add({130, 100});
  Add({70, 100});   // behind: neither seen nor counted
  Add({110, 70});   // in sight, to the side: counted as not seen
  Add({180, 100});  // ahead but deeper than 50: counted as not seen
  Add({250, 100});  // beyond the sight width: nothing
  t.Watch(a);

  LookForNeighbours(run, a, 0, 0.5, 50);

  EXPECT_EQ(a.SeenMice, test::Handles({&ahead}));
  EXPECT_EQ(run.Stats[stat::Mausnotseen], 2.0);  // 2 not seen / 1 seen
  EXPECT_EQ(t.BehaviourLines(),
            std::vector<std::string>{"      LookForNeighbours: width: 0.50 depth: 50.00"});

  LookForNeighbours(run, a, 0, 0.5, 10);  // nobody seen: the ratio counts 0
  EXPECT_TRUE(a.SeenMice.empty());
  EXPECT_EQ(run.Stats[stat::Mausnotseen], 2.0);
}

TEST_F(NeighboursTest, HeardHelpCryDrawsOnlyForCryingFriendsInEarshot) {
  TMaus& a = Add({100, 100});
  a.Inhib = 0.5;
  TMaus& stranger = Add({110, 100});
  TMaus& enemy = Add({120, 100});
  TMaus& neutral = Add({130, 100});
  TMaus& quiet = Add({140, 100});
  TMaus& far = Add({300, 100});  // exactly twice the sight width away
  TMaus& first = Add({100, 150});
  TMaus& second = Add({150, 100});
  UpdateRelation(a.Relations, enemy, -0.1);
  a.Relations.push_back({neutral.ID, neutral.Handle, 0.1, -0.1});  // value 0
  for (TMaus* f : {&quiet, &far, &first, &second})
    UpdateRelation(a.Relations, *f, 0.4);
  for (TMaus* m : {&stranger, &enemy, &neutral, &far})
    m->HelpCry = 2;
  first.HelpCry = 1;
  second.HelpCry = 4;

  // draw 0 = 0.0314 is not above Inhib 0.5 for the first friend; draw 1 = 0.8610 is.
  EXPECT_EQ(HeardHelpCry(run, a), &second);
  EXPECT_EQ(run.random.Seed(), SeedAfter(2));
}

TEST_F(NeighboursTest, HeardHelpCryWalksAllMiceIncludingTheMouseItself) {
  TMaus& a = Add({100, 100});
  a.HelpCry = 2;
  a.Relations.push_back({a.ID, a.Handle, 0.2, 0});
  EXPECT_EQ(HeardHelpCry(run, a), &a);
  EXPECT_EQ(run.random.Seed(), SeedAfter(1));
}

// ---------------------------------------------------------------------------
// Close mice and competitors

TEST_F(NeighboursTest, CloseMouseIsTheFirstInListOrderNotTheNearest) {
  TMaus& a = Add({100, 100});
  Add({125, 100});  // exactly 25 away: not close
  TMaus& behind = Add({95, 100});
  TMaus& ahead = Add({120, 100});
  Add({105, 100});  // nearer, but later in the list

  EXPECT_EQ(CloseMouse(run, a, 0), &ahead);
  EXPECT_EQ(CloseMouse(run, a, Pi), &behind);  // looking left
}

TEST_F(NeighboursTest, ViewOfCloseMiceNarrowsWithInhibition) {
  TMaus& a = Add({100, 100});
  TMaus& aside = Add({110, 80});  // 22.4 away, 1.107 rad off the heading
  a.Competitor = aside.Handle;

  EXPECT_EQ(CloseMouse(run, a, 0), &aside);  // half-angle pi / 2
  EXPECT_TRUE(CompetitorClose(t.run, a, 0));
  a.Inhib = 0.5;  // half-angle (1 - 0.5) * pi / 2
  EXPECT_EQ(CloseMouse(run, a, 0), nullptr);
  EXPECT_FALSE(CompetitorClose(t.run, a, 0));
  a.Competitor = {};
  a.Inhib = 0;
  EXPECT_FALSE(CompetitorClose(t.run, a, 0));
}
TEST_F(NeighboursTest, APointIsOccupiedByAnotherMouseNearerThan16) {
  TMaus& m = t.AddMaus({100, 150});
  EXPECT_FALSE(Occupied(t.run, m, {100, 150}));  // the mouse itself does not count
  t.AddMaus({116, 150});
  EXPECT_FALSE(Occupied(t.run, m, {100, 150}));
  EXPECT_TRUE(Occupied(t.run, m, {101, 150}));
}

TEST_F(NeighboursTest, AMouseIsVisibleWithinSightOverTheTerrain) {
  std::vector<std::unique_ptr<TTerra>> patches;
  patches.push_back(test::RectPatch(KindSand, 0, 0, 150, 299));
  patches.push_back(test::RectPatch(KindSand, 170, 0, 399, 299));  // a gap from 151 to 169
  t.SetWorld(test::MakeWorld(400, 300, std::move(patches)));
  TMaus& m = t.AddMaus({100, 150});
  TMaus& near = t.AddMaus({140, 150});
  TMaus& across = t.AddMaus({180, 150});
  TMaus& far = t.AddMaus({201, 150});
  EXPECT_TRUE(MouseVisible(t.run, m, near));
  EXPECT_FALSE(MouseVisible(t.run, m, across));  // probed every 10: 160 lies in the gap
  EXPECT_FALSE(MouseVisible(t.run, m, far));     // 101 away
  far.Position = {200, 160};
  m.Position = {100, 160};
  m.Inhib = 0.9;  // one probe per 100 units: the walk of 100 is one step, not probed
  EXPECT_TRUE(MouseVisible(t.run, m, far));
}

TEST_F(NeighboursTest, TheFriendFoundIsTheSeenMouseLikedMost) {
  TMaus& m = t.AddMaus({100, 150});
  TMaus& a = t.AddMaus({110, 150});
  TMaus& b = t.AddMaus({120, 150});
  TMaus& c = t.AddMaus({130, 150});
  TMaus& unseen = t.AddMaus({140, 150});
  UpdateRelation(m.Relations, a, 0.6);
  UpdateRelation(m.Relations, unseen, 2);
  UpdateRelation(m.Relations, b, 1.0);
  UpdateRelation(m.Relations, c, 1.0);
  m.SeenFriends = {c.Handle, a.Handle, b.Handle};
  EXPECT_EQ(FindFriend(t.run, m), &b);  // b and c alike; b's entry comes first
  m.SeenFriends.clear();
  EXPECT_EQ(FindFriend(t.run, m), nullptr);
  UpdateRelation(m.Relations, a, -0.1);  // friendship 0.3, enmity -0.3: worth nothing
  m.SeenFriends = {a.Handle};
  EXPECT_EQ(FindFriend(t.run, m), nullptr);
}

TEST_F(NeighboursTest, TheCompetitorFoundIsTheNearestSeenEnemyLessCourageous) {
  TMaus& m = t.AddMaus({100, 150});
  m.Arousal = 1;  // courage 2
  TMaus& bold = t.AddMaus({105, 150});
  bold.Arousal = 1;  // as courageous: not a competitor
  TMaus& far = t.AddMaus({150, 150});
  TMaus& near1 = t.AddMaus({100, 180});
  TMaus& near2 = t.AddMaus({130, 150});
  m.SeenEnemies = {bold.Handle, far.Handle, near1.Handle, near2.Handle};
  EXPECT_EQ(FindCompetitor(t.run, m), &near1);
  m.SeenEnemies = {bold.Handle};
  EXPECT_EQ(FindCompetitor(t.run, m), nullptr);
  far.Position = {200100, 150};  // any distance counts
  m.SeenEnemies = {far.Handle};
  EXPECT_EQ(FindCompetitor(t.run, m), &far);
}

}  // namespace
}  // namespace murinex
