#include "agent/social.h"

#include "agent/event_protocol.h"
#include "agent/maus.h"
#include "agent/needs.h"
#include "model/run.h"
#include "world/error.h"
#include "world/format.h"

namespace murinex {

namespace {

struct Sharing {
  need::Need need;
  goal::Goal goal;
  const char* gave;
  const char* protocol;
  const char* got;
  stat::Column column;
};

const Sharing FoodSharing{need::Hunger, goal::Food, "Gave Food",
                          "Gave Food!", "Got Food", stat::CareHunger};
const Sharing WaterSharing{need::Thirst,  goal::Water, "Gave Water",
                           "Gave Water!", "Got Water", stat::CareThirst};

// The giver passes on what it has more of than the needy mouse.
void Share(Run& run, TMaus& giver, TMaus& needy, const Sharing& s) {
  const TMotiv& h = giver.M(s.need);
  const TMotiv& n = needy.M(s.need);
  if (h.Soll == 0)
    throw InputError("", 0,
                     "mouse " + std::to_string(giver.ID) + ": the Soll of " + NeedNames[s.need] +
                         " is 0, what it can give is undefined");
  const double e = (h.Ist - n.Ist) * (h.Ist / h.Soll);
  if (!(e > 0)) return;
  Satisfy(run, giver, goal::HelpRequest, run.FirstTerra(), s.gave, 0.1);
  Dissatisfy(run, giver, s.need, s.gave, -e);
  Log(run, giver, 8, [&] { return std::string(s.protocol); });
  Satisfy(run, needy, goal::Friend, run.FirstTerra(), "GotHelp", 0.1);
  Satisfy(run, needy, s.goal, run.FirstTerra(), s.got, e);
  run.Stats.Add(s.column, 1);
}

void Care(Run& run, TMaus& giver, TMaus& needy) {
  Satisfy(run, giver, goal::HelpRequest, run.FirstTerra(), "Pflegedienst", 0.1);
  Satisfy(run, needy, goal::HealingHerbs, run.FirstTerra(), "Got Care", 0.1);
  Log(run, giver, 8, [] { return "Gave Care!"; });
  Satisfy(run, needy, goal::Friend, run.FirstTerra(), "Schmerzlinderung bekommen", 0.1);
  run.Stats.Add(stat::CarePain, 1);
}

}  // namespace

void GiveHelp(Run& run, TMaus& giver, TMaus& needy, std::uint8_t code) {
  if (code < 2 || code > 4) return;
  giver.Action = action::Care;
  if (code == 2) Share(run, giver, needy, FoodSharing);
  if (code == 3) Share(run, giver, needy, WaterSharing);
  if (code == 4) Care(run, giver, needy);
}

void Aggression(Run& run, TMaus& a, TMaus* target) {
  if (!target) return;
  TMaus& t = *target;
  const double successExpect =
      1.5 * (a.Comp().Ist * a.Arousal * a.CurStrength() + a.Support.value) -
      0.5 * (t.Comp().Ist * t.Arousal * t.CurStrength() + t.Support.value);
  const double socialValue = 0.5 * RelationValueOr0(a, &t);
  const double successValue =
      2 * (a.M(a.Need).Urgency) - socialValue + 4 * (1 - a.Comp().Ist) * a.Comp().BasMeta;
  const double r = run.random.Uniform();
  const double aggten = successExpect * successValue;
  const bool bite = r < aggten;
  run.AggProt.Write(FormatInt(run.TickCount, 10) + ";" + FormatFixed(socialValue, 8, 4) + ";" +
                    FormatFixed(successValue, 8, 4) + ";" + FormatFixed(successExpect, 8, 4) + ";" +
                    FormatFixed(r, 8, 4) + ";" + FormatFixed(aggten, 8, 4) + ";" +
                    (bite ? "+" : "-") + ";\n");
  if (!bite) return;
  t.Attacked = true;
  t.Damage = a.Arousal * a.CurStrength();
  if (socialValue > 0) run.Stats.Add(stat::BiteFriend, 1);
  UpdateRelation(a.Relations, t, -0.4);
  a.Action = action::Bite;
  run.PlayWave(a, "aggress.wav");
}

}  // namespace murinex
