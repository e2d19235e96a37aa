#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace murinex {

class Run;
struct AppliedOverride;

// The three kinds of value a run can change without editing its input files.
enum class OverrideFamily {
  Settings,  // an entry of the settings tables: LifeSpan, PersonRanges.Carefactor.max, ...
  Mice,      // a value of every mouse read at set-up: mice.Carefactor, mice.Hunger.Weight, ...
  World,     // a value of every patch of one kind: world.Food.Growth, ...
  Model,     // one of the model's own numbers no file holds: model.MatingAge, ...
};

// One NAME=VALUE change, with its value read as the input files would read it.
struct Override {
  std::string name;
  std::string text;  // the value as given
  OverrideFamily family = OverrideFamily::Settings;
  bool whole = false;  // an integer entry (LifeSpan, DeathAge, model.DumpInterval, ...)
  double real = 0;
  std::int32_t integer = 0;
};

// The changes asked for on the command line, in the order given. The names are
// those of the files' own vocabulary: table, row and column names of the
// settings file, the person parameters and needs of a mouse record, the patch
// kinds of the world file.
class Overrides {
 public:
  // Adds "NAME=VALUE". An unknown name, a name given twice or a value that is
  // not a number raises an InputError naming "--set"; for an unknown name the
  // message lists the valid names of the family it belongs to.
  void Add(const std::string& assignment);

  const std::vector<Override>& Items() const { return items_; }
  bool Empty() const { return items_.empty(); }

  // The settings and mice changes; to run once the settings and the
  // population are read and before dump 0, as if the files had held the values.
  void ApplyToSettingsAndMice(Run& run) const;
  // The world changes; to run once the world file is read, before the first tick.
  void ApplyToWorld(Run& run) const;

  // Notes every change in the run as applied at its start; call once they are applied.
  void RecordAtStart(Run& run) const;

  // A fork of a resumed run: every change that the run does not hold in effect
  // already (same name, same value) is applied to its current state and noted
  // at the current tick. Settings and world changes apply as at the start (a
  // patch level becomes the patches' current level, their amount filled to
  // match); mice changes apply to every living mouse and the young it carries;
  // a model value holds from the next tick on (a pregnancy under way keeps its
  // countdown, the next dump comes at the next multiple of the dump interval).
  // model.StatisticsInterval cannot change at a fork: every row of a run's
  // statistics protocol averages over one interval; such a change raises an
  // InputError before anything is applied. Returns the changes applied, in the
  // order given.
  std::vector<Override> ApplyAtFork(Run& run) const;

  // The change `name`=`text`, checked as Add checks it (raises InputError).
  static Override Parse(const std::string& name, const std::string& text);
  // The changes in effect after `applied` (a run's AppliedOverrides): the latest
  // of each name, in the order the names were first applied.
  static std::vector<AppliedOverride> InEffect(const std::vector<AppliedOverride>& applied);

  // Every valid name, one family after the other.
  static std::vector<std::string> AllNames();

 private:
  std::vector<Override> items_;
};

}  // namespace murinex
