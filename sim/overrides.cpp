#include "sim/overrides.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <map>
#include <type_traits>

#include "agent/maus.h"
#include "agent/names.h"
#include "model/run.h"
#include "world/error.h"
#include "world/format.h"
#include "world/input_ranges.h"
#include "world/text_reader.h"

namespace murinex {

namespace {

using Apply = std::function<void(Run&, const Override&)>;

struct Target {
  OverrideFamily family;
  bool whole;
  Apply apply;
  Field range = Field::Count;  // Field::Count: any number
  bool atFork = true;          // may change when a resumed run forks
};

// Names in the order a listing shows them; the map finds them.
struct Registry {
  std::vector<std::string> names;
  std::map<std::string, Target> targets;

  void Add(const std::string& name, OverrideFamily family, bool whole, Apply apply,
           Field range = Field::Count, bool atFork = true) {
    names.push_back(name);
    targets.emplace(name, Target{family, whole, std::move(apply), range, atFork});
  }
  void AddSetting(const std::string& name, std::function<void(Settings&, const Override&)> set) {
    Add(name, OverrideFamily::Settings, false,
        [set](Run& run, const Override& o) { set(run.settings, o); });
  }
  // The integer column of a LifeSettings row.
  void AddWholeSetting(const std::string& name, std::size_t row) {
    Add(name, OverrideFamily::Settings, true,
        [row](Run& run, const Override& o) { run.settings.LifeSettings[row].whole = o.integer; });
  }
  void AddMice(const std::string& name, std::function<void(TMaus&, double)> set) {
    Add("mice." + name, OverrideFamily::Mice, false, [set](Run& run, const Override& o) {
      for (auto& m : run.Mice)
        set(*m, o.real);
    });
  }
};

// The rows of a range table from firstRow on (rowNames[i] names row i): minimum
// and maximum, and the mutation scale where the table has one that is used.
template <std::size_t N>
void AddRangeRows(Registry& r, const std::string& table, std::array<RangeRow, N> Settings::*rows,
                  const char* const* rowNames, std::size_t firstRow, bool withScale) {
  for (std::size_t i = firstRow; i < N; ++i) {
    const std::string row = table + "." + rowNames[i] + ".";
    const std::size_t index = i;
    if (withScale)
      r.AddSetting(row + "scale", [rows, index](Settings& s, const Override& o) {
        (s.*rows)[index].scale = o.real;
      });
    r.AddSetting(row + "min", [rows, index](Settings& s, const Override& o) {
      (s.*rows)[index].minimum = o.real;
    });
    r.AddSetting(row + "max", [rows, index](Settings& s, const Override& o) {
      (s.*rows)[index].maximum = o.real;
    });
  }
}

void AddSettingsTargets(Registry& r) {
  r.AddWholeSetting("LifeSpan", 0);
  r.AddWholeSetting("DeathAge", 2);
  r.AddSetting("DeathProbability",
               [](Settings& s, const Override& o) { s.LifeSettings[2].real = o.real; });
  r.AddSetting("MutationRate",
               [](Settings& s, const Override& o) { s.LifeSettings[3].real = o.real; });
  AddRangeRows(r, "MotWeightRanges", &Settings::MotWeightRanges, NeedNames, 0, false);
  AddRangeRows(r, "PersonRanges", &Settings::PersonRanges, PersonParamNames, 0, true);
  // One row each for Hunger, Thirst and Pain.
  AddRangeRows(r, "ReserveRanges", &Settings::ReserveRanges, NeedNames + need::Hunger, 0, false);
  // Row NoNeed is never used for mixing.
  AddRangeRows(r, "BasalMetaBolRanges", &Settings::BasalMetaBolRanges, NeedNames, 1, false);
  for (std::size_t a = 0; a < action::Count; ++a) {
    const std::string row = std::string("ActionSettings.") + ActionNames[a] + ".";
    r.AddSetting(row + "hunger",
                 [a](Settings& s, const Override& o) { s.ActionSettings[a].hungerCost = o.real; });
    r.AddSetting(row + "thirst",
                 [a](Settings& s, const Override& o) { s.ActionSettings[a].thirstCost = o.real; });
  }
  for (std::size_t g = 0; g < goal::Count; ++g)
    for (std::size_t n = 0; n < need::Count; ++n)
      r.AddSetting(std::string("GoalNeedMatrix.") + GoalNames[g] + "." + NeedNames[n],
                   [g, n](Settings& s, const Override& o) { s.GoalNeedMatrix[g][n] = o.real; });
}

// As reading the record does: the sum of the eight weights, in need order.
void SumWeights(TMaus& m) {
  m.SumWeights = 0;
  for (const TMotiv& mo : m.Motives)
    m.SumWeights += mo.Weight;
}

// A mouse carrying young also gets the value into the unborn child's genome, so
// the whole population at set-up carries it. (Genom is only a snapshot that is
// refreshed from the mouse's values before anyone reads it.)
void AddMiceTargets(Registry& r) {
  for (std::size_t p = 0; p < param::Count; ++p)
    r.AddMice(PersonParamNames[p], [p](TMaus& m, double v) {
      m.Params[p] = v;
      if (m.Embryo) m.Embryo->PersonGenes[p] = v;
    });
  for (std::size_t n = 0; n < need::Count; ++n) {
    r.AddMice(std::string(NeedNames[n]) + ".Weight", [n](TMaus& m, double v) {
      m.Motives[n].Weight = v;
      if (m.Embryo) m.Embryo->MotWeights[n] = v;
      SumWeights(m);
    });
    r.AddMice(std::string(NeedNames[n]) + ".BasMeta", [n](TMaus& m, double v) {
      m.Motives[n].BasMeta = v;
      if (m.Embryo && n != need::NoNeed) m.Embryo->BasMetaGenes[n] = v;  // gene 0 is unused
    });
  }
}

void AddWorldTargets(Registry& r) {
  for (std::uint8_t kind = KindSand; kind <= KindHealingHerbs; ++kind) {
    const std::string prefix = std::string("world.") + GoalNames[kind] + ".";
    auto each = [kind](std::function<void(TTerra&, double)> set) {
      return [kind, set](Run& run, const Override& o) {
        for (auto& t : run.World->TerraList)
          if (t->Kind == kind) set(*t, o.real);
      };
    };
    r.Add(prefix + "Growth", OverrideFamily::World, false,
          each([](TTerra& t, double v) { t.Growth = v; }));
    r.Add(prefix + "Decay", OverrideFamily::World, false,
          each([](TTerra& t, double v) { t.Decay = v; }));
    // As loading does: the amount follows the starting level.
    r.Add(prefix + "Level", OverrideFamily::World, false, each([](TTerra& t, double v) {
            t.Level = v;
            t.Amount = t.Area * t.Level;
          }));
  }
}

// The model's own values, as their list names them. Each value is checked
// against its range when read, since no input file reader checks it.
void AddModelTargets(Registry& r) {
  ModelValues defaults;
  ModelFields(defaults, [&r](const FieldInfo& info, auto& field) {
    using Value = std::remove_reference_t<decltype(field)>;
    const std::string name = info.name;
    Apply apply = [name](Run& run, const Override& o) {
      ModelFields(run.model, [&](const FieldInfo& each, auto& value) {
        if (name != each.name) return;
        if constexpr (std::is_same_v<std::remove_reference_t<decltype(value)>, double>)
          value = o.real;
        else
          value = o.integer;
      });
    };
    r.Add("model." + name, OverrideFamily::Model, !std::is_same_v<Value, double>, std::move(apply),
          info.range, name != "StatisticsInterval");
  });
}

const Registry& Targets() {
  static const Registry registry = [] {
    Registry r;
    AddSettingsTargets(r);
    AddMiceTargets(r);
    AddWorldTargets(r);
    AddModelTargets(r);
    return r;
  }();
  return registry;
}

OverrideFamily FamilyOfName(const std::string& name) {
  if (name.rfind("mice.", 0) == 0) return OverrideFamily::Mice;
  if (name.rfind("world.", 0) == 0) return OverrideFamily::World;
  if (name.rfind("model.", 0) == 0) return OverrideFamily::Model;
  return OverrideFamily::Settings;
}

std::string Joined(const char* const* words, std::size_t first, std::size_t end) {
  std::string text;
  for (std::size_t i = first; i < end; ++i)
    text += (text.empty() ? "" : " ") + std::string(words[i]);
  return text;
}

// The valid names of a family, as patterns with their words spelled out.
std::string ValidNames(OverrideFamily family) {
  const std::string needs = Joined(NeedNames, 0, need::Count);
  const std::string params = Joined(PersonParamNames, 0, param::Count);
  switch (family) {
    case OverrideFamily::Mice:
      return "valid names for every mouse at set-up:\n"
             "  mice.PARAM, mice.NEED.Weight, mice.NEED.BasMeta\n"
             "  PARAM: " +
             params + "\n  NEED: " + needs + "\n";
    case OverrideFamily::World:
      return "valid names for every patch of a kind:\n"
             "  world.KIND.Growth, world.KIND.Decay, world.KIND.Level\n"
             "  KIND: " +
             Joined(GoalNames, KindSand, KindHealingHerbs + 1) + "\n";
    case OverrideFamily::Model:
      return "valid names of the model's own values:\n"
             "  model.MatingAge, model.MatingChance, model.PregnancyLength,\n"
             "  model.StatisticsInterval, model.DumpInterval\n";
    case OverrideFamily::Settings:
      break;
  }
  return "valid settings names:\n"
         "  LifeSpan, DeathAge, DeathProbability, MutationRate\n"
         "  MotWeightRanges.NEED.min|max, BasalMetaBolRanges.NEED.min|max (NEED not NoNeed)\n"
         "  PersonRanges.PARAM.scale|min|max, ReserveRanges.Hunger|Thirst|Pain.min|max\n"
         "  ActionSettings.ACTION.hunger|thirst, GoalNeedMatrix.GOAL.NEED\n"
         "  NEED: " +
         needs + "\n  PARAM: " + params + "\n  ACTION: " + Joined(ActionNames, 0, action::Count) +
         "\n  GOAL: " + Joined(GoalNames, 0, goal::Count) + "\n";
}

// The value read as a file reader reads it, so a change on the command line and
// the same value written into the file give the same bits.
void ReadValue(Override& o) {
  TextReader in(o.text, "--set " + o.name);
  try {
    if (o.whole)
      o.integer = in.ReadInt("value");
    else
      o.real = in.ReadReal("value");
    if (!in.AtEnd()) in.Fail("trailing text");
  } catch (const InputError&) {
    throw InputError("--set", 0,
                     "the value of " + o.name + " must be " +
                         (o.whole ? "a whole number" : "a number") + ", got \"" + o.text + "\"");
  }
}

// Same name and the same value read from the text (0.5 and 0.50 are the same change).
bool SameChange(const Override& a, const Override& b) {
  if (a.name != b.name) return false;
  return a.whole ? a.integer == b.integer
                 : std::bit_cast<std::uint64_t>(a.real) == std::bit_cast<std::uint64_t>(b.real);
}

}  // namespace

Override Overrides::Parse(const std::string& name, const std::string& text) {
  Override o;
  o.name = name;
  o.text = text;
  const auto found = Targets().targets.find(o.name);
  if (found == Targets().targets.end())
    throw InputError("--set", 0,
                     "unknown name \"" + o.name + "\"; " + ValidNames(FamilyOfName(o.name)));
  o.family = found->second.family;
  o.whole = found->second.whole;
  ReadValue(o);
  const Field range = found->second.range;
  const double value = o.whole ? o.integer : o.real;
  if (range != Field::Count && !InRange(range, value)) {
    const ValueRange& r = RangeOf(range);
    throw InputError("--set", 0,
                     "the value of " + o.name + " must lie between " + FormatGeneral(r.minimum) +
                         " and " + FormatGeneral(r.maximum) + " (" + r.reason + "), got \"" +
                         o.text + "\"");
  }
  return o;
}

void Overrides::Add(const std::string& assignment) {
  const std::size_t equals = assignment.find('=');
  if (equals == std::string::npos)
    throw InputError("--set", 0, "expects NAME=VALUE, got \"" + assignment + "\"");
  Override o = Parse(assignment.substr(0, equals), assignment.substr(equals + 1));
  for (const Override& earlier : items_)
    if (earlier.name == o.name) throw InputError("--set", 0, o.name + " is given twice");
  items_.push_back(o);
}

void Overrides::RecordAtStart(Run& run) const {
  for (const Override& o : items_)
    run.AppliedOverrides.push_back({o.name, o.text, true, run.TickCount});
}

std::vector<AppliedOverride> Overrides::InEffect(const std::vector<AppliedOverride>& applied) {
  std::vector<AppliedOverride> effect;
  for (const AppliedOverride& o : applied) {
    auto same = std::find_if(effect.begin(), effect.end(),
                             [&](const AppliedOverride& e) { return e.name == o.name; });
    if (same == effect.end())
      effect.push_back(o);
    else
      *same = o;
  }
  return effect;
}

std::vector<Override> Overrides::ApplyAtFork(Run& run) const {
  std::vector<Override> held;
  for (const AppliedOverride& e : InEffect(run.AppliedOverrides))
    held.push_back(Parse(e.name, e.value));
  auto inEffect = [&held](const Override& o) {
    return std::any_of(held.begin(), held.end(),
                       [&](const Override& h) { return SameChange(h, o); });
  };
  for (const Override& o : items_)
    if (!inEffect(o) && !Targets().targets.at(o.name).atFork)
      throw InputError("--set", 0,
                       o.name + " cannot change at a fork (tick " + std::to_string(run.TickCount) +
                           "): every row of a run's statistics protocol averages over the same "
                           "interval; start a new run to use another");
  std::vector<Override> applied;
  for (const Override& o : items_) {
    if (inEffect(o)) continue;
    Targets().targets.at(o.name).apply(run, o);
    run.AppliedOverrides.push_back({o.name, o.text, false, run.TickCount});
    applied.push_back(o);
  }
  return applied;
}

void Overrides::ApplyToSettingsAndMice(Run& run) const {
  for (const Override& o : items_)
    if (o.family != OverrideFamily::World) Targets().targets.at(o.name).apply(run, o);
}

void Overrides::ApplyToWorld(Run& run) const {
  for (const Override& o : items_)
    if (o.family == OverrideFamily::World) Targets().targets.at(o.name).apply(run, o);
}

std::vector<std::string> Overrides::AllNames() {
  return Targets().names;
}

}  // namespace murinex
