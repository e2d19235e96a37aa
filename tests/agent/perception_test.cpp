#include "agent/perception.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "agent/genome.h"
#include "agent/goal_memory.h"
#include "agent/intention.h"
#include "agent/maus.h"
#include "agent/neighbours.h"
#include "model/run.h"
#include "tests/common/mouse_test.h"
#include "world/error.h"

namespace murinex {
namespace {

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Index of a line, or -1.
long IndexOf(const std::vector<std::string>& lines, const std::string& line) {
  auto it = std::find(lines.begin(), lines.end(), line);
  return it == lines.end() ? -1 : static_cast<long>(it - lines.begin());
}

using PerceiveTest = test::MouseTest;
using test::SeedOfDraw0;

// ---------------------------------------------------------------------------
// The private clocks and the sleeping mouse

TEST_F(PerceiveTest, SleepingMouseAgesCountsDownAndLogsButDecidesNothing) {
  TMaus& a = Add({100, 100});
  TMaus& enemy = Add({120, 100});  // a strong enemy right ahead
  UpdateRelation(a.Relations, enemy, -0.5);
  enemy.Arousal = 1;
  a.Action = action::Sleep;
  a.Age = 7;
  a.BirthCountdown() = 5;
  a.Drunkenness() = 1;
  a.TimeTillSober() = 10;
  a.Comp().Ist = 0.5;
  a.Need = need::Hunger;
  a.Goal = goal::Food;
  a.SeenMice = {enemy.Handle};  // from an earlier look-around
  a.Threat = {0.7, 1.0};
  run.TickCount = 42;
  t.Watch(a);

  Perceive(run, a);

  EXPECT_EQ(a.Age, 8);
  EXPECT_EQ(a.BirthCountdown(), 4);
  EXPECT_EQ(a.TimeTillSober(), 9);
  EXPECT_EQ(a.Drunkenness(), 1);
  // Drunk without any tolerance: full strength and 0.005 competence per tick left.
  EXPECT_EQ(a.CurStrength(), 1);
  EXPECT_DOUBLE_EQ(a.Comp().Ist, 0.5 + 1 * 0.005 * 9);
  EXPECT_EQ(a.Action, action::Sleep);
  EXPECT_FALSE(a.Afraid);
  EXPECT_FALSE(a.CompAttack);
  EXPECT_EQ(a.HelpCry, 0);
  EXPECT_EQ(a.SeenMice, test::Handles({&enemy}));  // no new look-around
  EXPECT_EQ(a.Threat.value, 0.7);
  EXPECT_EQ(run.Stats[stat::Threat], 0);
  EXPECT_EQ(run.random.Seed(), 1u);
  // The needs are written before the drink works on competence.
  EXPECT_EQ(t.Behaviour(),
            "42 Mouse: 1 Perceive! Hunger   Food  Loc: [100,100]\n"
            "      Needs:  H:  1.00 T:  1.00 P:  1.00 S:  1.00 A:  1.00 C:  1.00 C:  0.50\n"
            "  drunken - timetillsober: 9\n");
}

TEST_F(PerceiveTest, ClockAtZeroSobersTheMouseUp) {
  TMaus& a = Add({100, 100});
  TMaus& b = Add({300, 250});
  a.Drunkenness() = 1;
  a.TimeTillSober() = 1;  // runs out in this tick
  a.CurStrength() = 0.7;
  b.Drunkenness() = 1;  // a clock already at 0 stays there and ends the drunkenness too
  b.TimeTillSober() = 0;
  t.Watch(a);

  Perceive(run, a);
  Perceive(run, b);

  EXPECT_EQ(a.TimeTillSober(), 0);
  EXPECT_EQ(a.Drunkenness(), 0);
  EXPECT_EQ(a.CurStrength(), 0.7);  // the intoxication rule no longer applies
  EXPECT_EQ(a.Comp().Ist, 1);
  EXPECT_EQ(t.Behaviour().find("drunken"), std::string::npos);
  EXPECT_EQ(b.TimeTillSober(), 0);
  EXPECT_EQ(b.Drunkenness(), 0);
}

TEST_F(PerceiveTest, DrunkWithoutToleranceKeepsFullStrength) {
  TMaus& a = Add({100, 100});
  a.Drunkenness() = 1;
  a.TimeTillSober() = 50;
  a.Jul = 0;
  a.Comp().Ist = 0.5;
  a.CurStrength() = 0.7;
  a.ActVal[actval::DrunkCap] = 30;
  a.ActVal[actval::Addiction] = 0.25;
  t.Watch(a);

  Perceive(run, a);

  EXPECT_EQ(a.TimeTillSober(), 49);
  EXPECT_EQ(a.CurStrength(), 1);
  EXPECT_DOUBLE_EQ(a.Comp().Ist, 0.5 + 1 * 0.005 * 49);
  EXPECT_EQ(a.ActVal[actval::DrunkCap], 20);  // capped at (1 - 0) * 20
  EXPECT_EQ(a.ActVal[actval::Addiction], 0.25);
  EXPECT_TRUE(Contains(t.BehaviourLines(), "  drunken - timetillsober: 49"));
}

TEST_F(PerceiveTest, ToleranceOfAHeavyDrinkerIsCappedAtOneHalf) {
  TMaus& heavy = Add({50, 50});
  TMaus& fifty = Add({350, 250});  // out of sight of each other
  heavy.Jul = 60;                  // 0.6 tolerance, capped at 0.5
  fifty.Jul = 50;                  // exactly 0.5, but not above 50 drinks
  for (TMaus* m : {&heavy, &fifty}) {
    m->Drunkenness() = 1;
    m->TimeTillSober() = 100;
    m->Comp().Ist = 0.9;
    m->ActVal[actval::DrunkCap] = 15;
  }

  Perceive(run, heavy);
  Perceive(run, fifty);

  for (TMaus* m : {&heavy, &fifty}) {
    EXPECT_EQ(m->TimeTillSober(), 99);
    EXPECT_DOUBLE_EQ(m->CurStrength(), 1 - 0.01 * 0.5 * 99);
    // Competence may rise above 1 here: no clamping.
    EXPECT_DOUBLE_EQ(m->Comp().Ist, 0.9 + (1 - 0.5) * 0.005 * 99);
    EXPECT_EQ(m->ActVal[actval::DrunkCap], 10);
  }
  EXPECT_EQ(heavy.ActVal[actval::Addiction], 0.000001);
  EXPECT_EQ(fifty.ActVal[actval::Addiction], 0);
}

TEST_F(PerceiveTest, ActingOrEngagedMouseStopsBeforeLookingAround) {
  enum Reason { Acting, Afraid, Attacked, Smiling };
  for (Reason reason : {Acting, Afraid, Attacked, Smiling}) {
    test::TestRun r;
    r.OpenProtocols();
    TMaus& m = r.AddMaus({100, 100});
    r.AddMaus({110, 100});
    m.Action = reason == Acting ? action::Move : action::NoAction;
    m.Afraid = reason == Afraid;
    m.Attacked = reason == Attacked;
    m.Smiling = reason == Smiling;
    r.Watch(m);
    Perceive(r.run, m);
    EXPECT_EQ(m.Age, 1) << reason;
    EXPECT_TRUE(m.SeenMice.empty()) << reason;
    EXPECT_EQ(r.BehaviourLines().size(), 2u) << reason;  // the two lines of "Perceive!"
  }
}

TEST_F(PerceiveTest, PerceptionSeesEveryMouseWithinSightAllAround) {
  TMaus& a = Add({100, 100});
  TMaus& behind = Add({40, 100});
  TMaus& above = Add({100, 30});
  t.Watch(a);

  Perceive(run, a);

  EXPECT_EQ(a.SeenMice, test::Handles({&behind, &above}));
  EXPECT_EQ(a.SeenStrangers, test::Handles({&behind, &above}));
  EXPECT_EQ(run.Stats[stat::Mausnotseen], 0);
  const auto lines = t.BehaviourLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], "      LookForNeighbours: width: 3.14 depth: 100.00");
  EXPECT_EQ(lines[3], "  NoAction and not (fear or attacked or smiling)");
}

// ---------------------------------------------------------------------------
// Threat, support and fear

TEST_F(PerceiveTest, ThreatWeighsEachEnemyAndPointsToTheirRoundedCentre) {
  TMaus& a = Add({100, 100});
  TMaus& e1 = Add({130, 100});  // 30 away
  TMaus& e2 = Add({100, 129});  // 29 away
  a.Comp().Ist = 0.9;
  e1.CurStrength() = 0.5;
  e1.Comp().Ist = 0.8;
  e1.Arousal = 0.5;
  e2.Arousal = 1;
  a.Relations.push_back({e1.ID, e1.Handle, 0, -1});
  a.Relations.push_back({e2.ID, e2.Handle, 0.2, -0.6});
  a.SeenEnemies = {e1.Handle, e2.Handle};

  const TValueDir threat = ComputeThreat(run, a);

  EXPECT_DOUBLE_EQ(threat.value, 0.5 * 0.8 * 0.5 * 1 * (1 - 30.0 / 100) * 0.9 +
                                     1 * 1 * 1 * -(0.2 + -0.6) * (1 - 29.0 / 100) * 0.9);
  // Centre (230 / 2, 229 / 2) = (115, 114.5), rounded halves to even: (115, 114).
  // dx = 100 - 115 < 0, dy = 100 - 114 <= 0: 2 pi - arctan(dy / dx).
  EXPECT_DOUBLE_EQ(threat.direction, 2 * Pi - std::atan(-14.0 / -15.0));
}

TEST_F(PerceiveTest, SupportWeighsEachFriend) {
  TMaus& a = Add({100, 100});
  TMaus& f = Add({100, 150});
  a.Comp().Ist = 0.9;
  f.Comp().Ist = 0.5;
  f.Arousal = 0.4;
  a.Relations.push_back({f.ID, f.Handle, 0.5, 0});
  a.SeenFriends = {f.Handle};

  const TValueDir support = ComputeSupport(run, a);

  EXPECT_DOUBLE_EQ(support.value, 1 * 0.5 * 0.4 * 0.5 * (1 - 50.0 / 100) * 0.9);
  EXPECT_DOUBLE_EQ(support.direction, 3 * Pi / 2);  // straight below
}

TEST_F(PerceiveTest, WithoutEnemiesOrFriendsThereIsNoDirection) {
  TMaus& a = Add({100, 100});
  const TValueDir threat = ComputeThreat(run, a);
  const TValueDir support = ComputeSupport(run, a);
  EXPECT_EQ(threat.value, 0);
  EXPECT_EQ(threat.direction, NoDirection);
  EXPECT_EQ(support.value, 0);
  EXPECT_EQ(support.direction, NoDirection);
}

TEST_F(PerceiveTest, SightWidthZeroStopsTheRunWithAnError) {
  TMaus& a = Add({100, 100});
  TMaus& other = Add({100, 100});
  a.Params[param::SightWidth] = 0;
  EXPECT_EQ(ComputeThreat(run, a).value, 0);  // nobody to weigh: nothing divided
  for (auto weigh : {&ComputeThreat, &ComputeSupport}) {
    a.SeenEnemies = {other.Handle};
    a.SeenFriends = {other.Handle};
    try {
      weigh(run, a);
      ADD_FAILURE() << "no error for a sight width of 0";
    } catch (const InputError& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find("mouse 1"), std::string::npos) << message;
      EXPECT_NE(message.find("SightWidth"), std::string::npos) << message;
    }
  }
}

// A hungry, moderately competent mouse on a help mission whose needy mouse is
// gone, with a strong enemy 50 to its right.
class FearTest : public PerceiveTest {
 protected:
  FearTest() : a(Add({100, 100})), enemy(Add({150, 100})) {
    UpdateRelation(a.Relations, enemy, -0.5);  // Enmity -1
    enemy.Arousal = 1;
    a.Need = need::Hunger;
    test::SetNeed(a, need::Hunger, 0.1);
    a.Comp().Ist = 0.5;
    a.Comp().BasMeta = 0.01;
    a.OnHelpMission = true;
    t.Watch(a);
  }
  TMaus& a;
  TMaus& enemy;
};

TEST_F(FearTest, FearEndsPerception) {
  Perceive(run, a);

  // Noticed with draw 0 (0.0314 < 0.5): threat 1 * 1 * 1 * 1 * (1 - 50 / 100) * 0.5;
  // courage 2 * 0.5 * 0 * 1 = 0 falls short of it.
  EXPECT_DOUBLE_EQ(a.Threat.value, 0.25);
  EXPECT_DOUBLE_EQ(a.Threat.direction, 2 * Pi);
  EXPECT_EQ(a.Support.direction, NoDirection);
  EXPECT_TRUE(a.Afraid);
  EXPECT_EQ(a.HelpCry, 1);  // not 2: the hungry mouse does not cry for food
  EXPECT_DOUBLE_EQ(a.Comp().Ist, 0.5 + -3 * 0.01 * 0.2);  // times LossComp
  EXPECT_EQ(run.Stats[stat::Fear], 1);
  EXPECT_DOUBLE_EQ(run.Stats[stat::Threat], 0.25);
  EXPECT_TRUE(a.OnHelpMission);  // the mission is not checked
  EXPECT_EQ(run.Stats[stat::HelpMission], 0);
  EXPECT_EQ(run.random.Seed(), SeedAfter(1));
  const auto lines = t.BehaviourLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "  NoAction and not (fear or attacked or smiling)");
  EXPECT_EQ(lines.back(), "    Fear!");
}

TEST_F(FearTest, CourageOutweighingTheThreatMeansNoFear) {
  a.Arousal = 0.5;  // courage 2 * 0.5 * 0.5 * 1 = 0.5 >= 0.25
  Perceive(run, a);
  EXPECT_FALSE(a.Afraid);
  EXPECT_EQ(run.Stats[stat::Fear], 0);
  EXPECT_EQ(a.HelpCry, 2);        // perception went on: a cry for food
  EXPECT_FALSE(a.OnHelpMission);  // and the mission was checked
  EXPECT_FALSE(Contains(t.BehaviourLines(), "    Fear!"));
}

// ---------------------------------------------------------------------------
// Cries for help and help missions

TEST_F(PerceiveTest, MouseInNeedCriesForHelp) {
  struct Case {
    need::Need need;
    double ist;
    double comp;
    std::uint8_t cryBefore;
    std::uint8_t cry;
  };
  const Case cases[] = {
      {need::Hunger, 0.2, 0.7, 0, 2}, {need::Thirst, 0.1, 0.7, 0, 3},
      {need::Pain, 0.24, 0.79, 0, 4}, {need::Hunger, 0.25, 0.7, 0, 0},  // not below 0.25
      {need::Thirst, 0.1, 0.8, 1, 1},  // too competent; an earlier cry stays
      {need::Sex, 0.0, 0.1, 0, 0},
  };
  for (const Case& c : cases) {
    test::TestRun r;
    r.OpenProtocols();
    TMaus& m = r.AddMaus({100, 100});
    r.Watch(m);
    m.Need = c.need;
    test::SetNeed(m, c.need, c.ist);
    m.Comp().Ist = c.comp;
    m.HelpCry = c.cryBefore;
    Perceive(r.run, m);
    EXPECT_EQ(m.HelpCry, c.cry) << NeedNames[c.need] << " " << c.ist;
    EXPECT_EQ(Contains(r.BehaviourLines(), "      CryforHelp for food or water or healing"),
              c.cry >= 2)
        << NeedNames[c.need] << " " << c.ist;
  }
}

TEST_F(PerceiveTest, HelpMissionEndsWhenTheNeedyMouseNoLongerCries) {
  TMaus& a = Add({100, 100});
  TMaus& needy = Add({300, 250});
  a.OnHelpMission = true;
  a.Miserablemaus = needy.Handle;  // its HelpCry is 0
  test::SetNeed(a, need::Affil, 0.3);
  a.M(need::Sex).Ist = 0.5;
  t.Watch(a);

  Perceive(run, a);

  EXPECT_FALSE(a.OnHelpMission);
  // Friend satisfaction 0.5: Sex by 0.2 * 0.5, Affil by 1 * 0.5.
  EXPECT_DOUBLE_EQ(a.M(need::Affil).Ist, 0.8);
  EXPECT_DOUBLE_EQ(a.M(need::Sex).Ist, 0.6);
  EXPECT_EQ(a.Miserablemaus, MouseHandle{});  // nobody was heard afterwards
  EXPECT_EQ(run.Stats[stat::HelpMission], 0);
  const auto lines = t.BehaviourLines();
  const long checked = IndexOf(lines, "    OnHelpMission checked");
  ASSERT_GE(checked, 0);
  EXPECT_EQ(lines[checked + 1], "      OnHelpMission cancelled: Help not needed anymore");
}

TEST_F(PerceiveTest, HelpMissionIsMaintainedWhileFriendshipIsTheGoal) {
  TMaus& a = Add({100, 100});
  TMaus& needy = Add({120, 100});  // close ahead, but the mission comes first
  TMaus& willing = Add({110, 100});
  test::SetNeed(willing, need::Affil, 0.5);
  needy.HelpCry = 2;
  a.OnHelpMission = true;
  a.Miserablemaus = needy.Handle;
  a.Goal = a.PrevGoal = goal::Friend;
  Remember(a, goal::Friend);
  test::SetNeed(a, need::Affil, 0.4);
  t.Watch(a);

  Perceive(run, a);

  EXPECT_EQ(a.Goal, goal::Friend);
  EXPECT_EQ(a.Need, need::Affil);
  EXPECT_TRUE(a.OnHelpMission);
  EXPECT_EQ(a.Miserablemaus, needy.Handle);
  EXPECT_EQ(run.Stats[stat::HelpMission], 1);
  EXPECT_EQ(run.Stats[stat::MotCh], 0);
  EXPECT_FALSE(a.Smiling);
  EXPECT_FALSE(willing.Smiling);
  // Two draws, both for the ground under the mouse (Friend, then the Sand element).
  EXPECT_EQ(run.random.Seed(), SeedAfter(2));
  const auto lines = t.BehaviourLines();
  const long named = IndexOf(lines, "    Miserablemaus = 2");
  ASSERT_GE(named, 0);
  EXPECT_GT(IndexOf(lines, "      OnHelpMission maintained"), named);
  EXPECT_FALSE(Contains(lines, "    Other Mouse close!"));
}

TEST_F(PerceiveTest, HelpMissionGivesWayToAMoreUrgentGoal) {
  TMaus& a = Add({100, 100});
  TMaus& needy = Add({300, 250});  // a stranger: its cry is not heard
  needy.HelpCry = 2;
  a.OnHelpMission = true;
  a.Miserablemaus = needy.Handle;
  a.Goal = a.PrevGoal = goal::Friend;
  Remember(a, goal::Friend);
  Remember(a, goal::Food);
  test::SetNeed(a, need::Affil, 0.7);   // Friend worth 0.3
  test::SetNeed(a, need::Hunger, 0.1);  // Food worth 0.9
  t.Watch(a);

  Perceive(run, a);

  EXPECT_EQ(a.Goal, goal::Food);
  EXPECT_EQ(a.PrevGoal, goal::Food);
  EXPECT_EQ(a.Need, need::Hunger);
  EXPECT_FALSE(a.OnHelpMission);
  EXPECT_EQ(a.Miserablemaus, MouseHandle{});
  EXPECT_EQ(run.Stats[stat::MotCh], 1);
  EXPECT_EQ(run.Stats[stat::OppCh], 0);
  EXPECT_EQ(run.Stats[stat::HelpMission], 0);
  const auto lines = t.BehaviourLines();
  const long named = IndexOf(lines, "    Miserablemaus = 2");
  const long changed = IndexOf(lines, "    Change of Intention! New Goal: Food");
  const long cancelled =
      IndexOf(lines, "      OnHelpMission cancelled: Other Matters more important");
  ASSERT_GE(named, 0);
  EXPECT_GT(changed, named);
  EXPECT_GT(cancelled, changed);
}

// A mouse with an urgent wish for company hears a crying friend 150 away
// (within twice its sight width, beyond its sight) while a willing stranger
// stands right in front of it.
class HeardCryTest : public PerceiveTest {
 protected:
  HeardCryTest() : a(Add({100, 100})), crier(Add({250, 100})), stranger(Add({110, 100})) {
    UpdateRelation(a.Relations, crier, 0.4);
    crier.HelpCry = 3;
    test::SetNeed(stranger, need::Affil, 0.5);
    Remember(a, goal::Friend);
    test::SetNeed(a, need::Affil, 0.4);
    t.Watch(a);
  }
  TMaus& a;
  TMaus& crier;
  TMaus& stranger;
};

TEST_F(HeardCryTest, HeardCryStartsAHelpMission) {
  Perceive(run, a);

  EXPECT_DOUBLE_EQ(a.M(need::Affil).Ist, 0.4 - 0.05 * 1);
  EXPECT_EQ(a.Goal, goal::Friend);
  EXPECT_EQ(a.PrevGoal, goal::Friend);
  EXPECT_TRUE(a.OnHelpMission);
  EXPECT_EQ(a.Miserablemaus, MouseHandle{});  // the change of intention cleared it
  EXPECT_EQ(run.Stats[stat::OppCh], 1);
  EXPECT_EQ(run.Stats[stat::MotCh], 0);
  EXPECT_EQ(run.Stats[stat::HelpMission], 1);
  EXPECT_FALSE(a.Smiling);  // the mission ends perception before any contact
  EXPECT_FALSE(stranger.Smiling);
  // Draw 0 is the hearing (0.0314 > Inhib 0), draw 1 the ground under the mouse.
  EXPECT_EQ(run.random.Seed(), SeedAfter(2));
  const auto lines = t.BehaviourLines();
  const long heard = IndexOf(lines, "    CryForHelp heard!");
  const long started = IndexOf(lines, "      Start HelpMission");
  ASSERT_GE(heard, 0);
  EXPECT_GT(started, heard);
  EXPECT_EQ(lines[started + 1], "    Change of Intention! New Goal: Friend");
}

TEST_F(HeardCryTest, HeardCryWithAnotherGoalOnlyChangesTheGoal) {
  Remember(a, goal::Food);
  test::SetNeed(a, need::Hunger, 0.1);  // Food worth 0.9 beats Friend at 0.6

  Perceive(run, a);

  EXPECT_EQ(a.Goal, goal::Food);
  EXPECT_EQ(a.PrevGoal, goal::NoGoal);  // no change of intention
  EXPECT_FALSE(a.OnHelpMission);
  EXPECT_EQ(a.Miserablemaus, crier.Handle);
  EXPECT_EQ(run.Stats[stat::OppCh], 0);
  EXPECT_EQ(run.Stats[stat::HelpMission], 0);
  const auto lines = t.BehaviourLines();
  EXPECT_FALSE(Contains(lines, "      Start HelpMission"));
  // Perception goes on to the close stranger (company is not first now).
  EXPECT_TRUE(Contains(lines, "    Other Mouse close!"));
  EXPECT_FALSE(a.Smiling);
}

TEST_F(PerceiveTest, KnownCompetitorAheadIsAttacked) {
  TMaus& a = Add({100, 100});
  TMaus& rival = Add({115, 100});
  a.Competitor = rival.Handle;
  t.Watch(a);

  Perceive(run, a);
  EXPECT_TRUE(a.CompAttack);
  auto lines = t.BehaviourLines();
  EXPECT_EQ(lines.back(), "      Prepare CompAttack!");
  EXPECT_FALSE(Contains(lines, "    Other Mouse close!"));

  // Behind the mouse the competitor is out of view; nobody else is close.
  a.CompAttack = false;
  rival.Position = {85, 100};
  Perceive(run, a);
  EXPECT_FALSE(a.CompAttack);
  lines = t.BehaviourLines();
  EXPECT_EQ(lines.back(), "  NoAction and not (fear or attacked or smiling)");
}

// ---------------------------------------------------------------------------
// Tender contact, copulation and attacks on the close mouse

// Two mice 10 apart, the first looking at the second, which wants company.
struct Encounter {
  Encounter() : a(t.AddMaus({100, 100})), b(t.AddMaus({110, 100})) {
    t.OpenProtocols();
    test::SetNeed(b, need::Affil, 0.5);
  }
  void Perceive() { murinex::Perceive(t.run, a); }
  test::TestRun t;
  TMaus& a;
  TMaus& b;
};

TEST(TenderContactTest, StrangerCountsAsNotDisliked) {
  Encounter e;
  test::SetNeed(e.a, need::Affil, 0.5);
  e.a.M(need::Affil).BasMeta = 0.1;
  e.a.M(need::Sex).Ist = 0.5;
  e.t.Watch(e.a);

  e.Perceive();

  EXPECT_TRUE(e.a.Smiling);
  EXPECT_TRUE(e.b.Smiling);
  ASSERT_EQ(e.a.Relations.size(), 1u);
  EXPECT_EQ(e.a.Relations[0].Other, e.b.Handle);
  EXPECT_EQ(e.a.Relations[0].OtherID, e.b.ID);
  EXPECT_DOUBLE_EQ(e.a.Relations[0].Friendship, 0.15);
  ASSERT_EQ(e.b.Relations.size(), 1u);
  EXPECT_EQ(e.b.Relations[0].Other, e.a.Handle);
  EXPECT_DOUBLE_EQ(e.b.Relations[0].Friendship, 0.15);
  // The willingness lowers Affil by (1 - (0 - 0.5)) * AffilSens 0.5 * BasMeta 0.1,
  // then the contact satisfies 0.3 (Affil 1 * 0.3, Sex 0.2 * 0.3).
  EXPECT_DOUBLE_EQ(e.a.M(need::Affil).Ist, 0.5 - (1 - (0 - 0.5)) * 0.5 * 0.1 + 0.3);
  EXPECT_DOUBLE_EQ(e.a.M(need::Sex).Ist, 0.5 + 0.2 * 0.3);
  EXPECT_DOUBLE_EQ(e.b.M(need::Affil).Ist, 0.8);
  EXPECT_EQ(e.a.Pregnant(), 0);  // too young: no draw
  EXPECT_EQ(e.t.run.random.Seed(), 1u);
  EXPECT_EQ(e.t.BehaviourLines(),
            (std::vector<std::string>{
                "0 Mouse: 1 Perceive! NoNeed   NoGoal  Loc: [100,100]",
                "      Needs:  H:  1.00 T:  1.00 P:  1.00 S:  0.50 A:  0.50 C:  1.00 C:  1.00",
                "      LookForNeighbours: width: 3.14 depth: 100.00",
                "  NoAction and not (fear or attacked or smiling)", "    Other Mouse close!",
                "      Tender Contact initiated"}));

  // The partner, smiling before its own perception, perceives nothing this tick.
  murinex::Perceive(e.t.run, e.b);
  EXPECT_EQ(e.b.Age, 1);
  EXPECT_TRUE(e.b.SeenMice.empty());
}

TEST(TenderContactTest, CopulationMakesOnlyTheInitiatorPregnant) {
  Encounter e;
  e.t.run.settings.LifeSettings[3].real = 0;  // no mutation: two draws per gene
  e.a.Age = 5000;                             // 5001 once perceiving
  e.a.Params[param::BasAr] = 0.3;
  e.b.Params[param::BasAr] = 0.7;
  e.a.Params[param::ArousalW] = 1.0;
  e.b.Params[param::ArousalW] = 1.5;
  e.t.Watch(e.a);

  e.Perceive();

  EXPECT_EQ(e.a.Pregnant(), 1);
  EXPECT_EQ(e.a.BirthCountdown(), 2000);
  ASSERT_NE(e.a.Embryo, nullptr);
  EXPECT_EQ(e.b.Pregnant(), 0);
  EXPECT_EQ(e.b.Embryo, nullptr);
  EXPECT_EQ(e.a.Relations[0].Friendship, 0.5);
  EXPECT_EQ(e.b.Relations[0].Friendship, 0.5);
  EXPECT_EQ(e.a.M(need::Affil).Ist, 1);  // satisfied by 1.0
  EXPECT_EQ(e.b.M(need::Affil).Ist, 1);
  // Draw 0 (0.0314 < 0.5) decides the copulation; the embryo's first gene takes
  // draw 1 (0.8610: the other mouse's), its second draw 3 (0.2729: the mother's).
  EXPECT_EQ(e.a.Embryo->PersonGenes[param::BasAr], 0.7);
  EXPECT_EQ(e.a.Embryo->PersonGenes[param::ArousalW], 1.0);
  EXPECT_EQ(e.t.run.random.Seed(), test::SeedAfter(1, 1 + 33 * 2));
  const auto lines = e.t.BehaviourLines();
  EXPECT_EQ(lines[lines.size() - 2], "      Tender Contact initiated");
  EXPECT_EQ(lines.back(), "      Copulation!");
}

TEST(TenderContactTest, CopulationDrawsOnlyWhenTheOtherConditionsHold) {
  enum Blocker { InitiatorPregnant, PartnerPregnant, TooYoung };
  for (Blocker blocker : {InitiatorPregnant, PartnerPregnant, TooYoung}) {
    Encounter e;
    e.a.Age = 5000;
    if (blocker == InitiatorPregnant) {
      e.a.Pregnant() = 1;
      e.a.BirthCountdown() = 100;
    }
    if (blocker == PartnerPregnant) e.b.Pregnant() = 1;
    if (blocker == TooYoung) e.a.Age = 4999;  // 5000, not above
    e.t.Watch(e.a);

    e.Perceive();

    EXPECT_TRUE(e.a.Smiling) << blocker;
    EXPECT_EQ(e.t.run.random.Seed(), 1u) << blocker;
    EXPECT_DOUBLE_EQ(e.a.Relations[0].Friendship, 0.15) << blocker;
    EXPECT_FALSE(Contains(e.t.BehaviourLines(), "      Copulation!")) << blocker;
    EXPECT_EQ(e.a.Embryo, nullptr) << blocker;
    if (blocker == InitiatorPregnant) {
      EXPECT_EQ(e.a.BirthCountdown(), 99);  // counted down, not restarted
    }
  }
}

TEST(TenderContactTest, DrawOfOneHalfOrMoreLeavesATenderContact) {
  Encounter e;
  e.a.Age = 5000;
  e.t.run.random.SetSeed(SeedOfDraw0);  // the next draw is draw 1, 0.8610

  e.Perceive();

  EXPECT_TRUE(e.a.Smiling);
  EXPECT_EQ(e.a.Pregnant(), 0);
  EXPECT_DOUBLE_EQ(e.a.Relations[0].Friendship, 0.15);
  EXPECT_EQ(e.t.run.random.Seed(), test::SeedAfter(1, 2));
}

TEST(TenderContactTest, CloseMouseNotMetTenderlyIsAttackedUnlessLiked) {
  struct Case {
    const char* what;
    double relation;  // of the first mouse toward the second; 99 for none
    bool willing;
    need::Need need;
    bool attack;
  };
  const Case cases[] = {
      {"disliked", -0.1, true, need::Comp, true},
      {"disliked, other need", -0.1, true, need::Hunger, false},
      {"unwilling stranger", 99, false, need::Comp, true},
      {"unwilling friend", 0.4, false, need::Comp, false},
  };
  for (const Case& c : cases) {
    Encounter e;
    if (c.relation != 99) UpdateRelation(e.a.Relations, e.b, c.relation);
    if (!c.willing) test::SetNeed(e.b, need::Affil, 1);
    e.a.Need = c.need;
    e.t.Watch(e.a);

    e.Perceive();

    EXPECT_FALSE(e.a.Smiling) << c.what;
    EXPECT_FALSE(e.b.Smiling) << c.what;
    EXPECT_EQ(e.a.CompAttack, c.attack) << c.what;
    EXPECT_EQ(e.t.BehaviourLines().back() == "      Prepare CompAttack!", c.attack) << c.what;
  }
}

TEST(TenderContactTest, AffiliationFirstIsJudgedBeforeTheWillingnessLowersIt) {
  Encounter e;
  e.a.Need = need::Hunger;
  test::SetNeed(e.a, need::Hunger, 0.5);  // urgency 0.5
  test::SetNeed(e.a, need::Affil, 0.6);   // urgency 0.4
  e.a.M(need::Affil).BasMeta = 0.2;
  e.a.Params[param::AffilSens] = 1;

  e.Perceive();

  // The willingness is evaluated all the same and lowers Affil by
  // (1 - (0.5 - 0.4)) * 1 * 0.2 = 0.18, which makes it the first need too late.
  EXPECT_DOUBLE_EQ(e.a.M(need::Affil).Ist, 0.6 - (1 - ((1 - 0.5) - (1 - 0.6))) * 1 * 0.2);
  EXPECT_DOUBLE_EQ(e.a.M(need::Affil).Urgency, 1 - e.a.M(need::Affil).Ist);
  EXPECT_GT(e.a.M(need::Affil).Urgency, e.a.M(need::Hunger).Urgency);
  EXPECT_FALSE(e.a.Smiling);
}

TEST(TenderContactTest, WillingnessDependsOnTheOthersViewAndWish) {
  Encounter e;
  test::SetNeed(e.a, need::Affil, 0.5);
  e.a.M(need::Affil).BasMeta = 0.1;
  UpdateRelation(e.b.Relations, e.a, -0.1);  // the other dislikes the mouse

  EXPECT_FALSE(WillingForContact(e.a, e.b));
  EXPECT_EQ(e.a.M(need::Affil).Ist, 0.5);  // not lowered

  e.b.Relations[0] = {e.a.ID, e.a.Handle, 0.1, -0.1};  // value 0: not disliked
  EXPECT_TRUE(WillingForContact(e.a, e.b));
  EXPECT_DOUBLE_EQ(e.a.M(need::Affil).Ist, 0.5 - (1 - (0 - 0.5)) * 0.5 * 0.1);

  test::SetNeed(e.b, need::Affil, 0.75);  // urgency 0.25: not above
  EXPECT_FALSE(WillingForContact(e.a, e.b));

  e.a.M(need::Affil).Ist = 0.01;  // a large loss stops at 0
  EXPECT_FALSE(WillingForContact(e.a, e.b));
  EXPECT_EQ(e.a.M(need::Affil).Ist, 0);
  EXPECT_EQ(e.a.M(need::Affil).Deviation, 1);
  EXPECT_EQ(e.a.M(need::Affil).Urgency, 1);
}

TEST(TenderContactTest, FriendshipReachesOneAfterSevenTenderContacts) {
  Encounter e;
  for (int contact = 1; contact <= 7; ++contact) {
    e.Perceive();
    ASSERT_TRUE(e.a.Smiling) << contact;
    e.a.Smiling = e.b.Smiling = false;  // as the action step leaves them
    if (contact == 6) {
      EXPECT_NEAR(e.a.Relations[0].Friendship, 0.9, 1e-12);
      EXPECT_LT(e.a.Relations[0].Friendship, 1);
    }
  }
  EXPECT_EQ(e.a.Relations[0].Friendship, 1);  // 1.05 capped
  EXPECT_EQ(e.b.Relations[0].Friendship, 1);
  EXPECT_EQ(e.a.Relations.size(), 1u);
}
}  // namespace
}  // namespace murinex
