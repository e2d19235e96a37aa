#pragma once

#include <cstdint>
#include <filesystem>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "model/mouse_list_type.h"
#include "model/out_file.h"
#include "model/settings.h"
#include "model/stat_columns.h"
#include "model/summary_lines.h"
#include "world/point_grid.h"
#include "world/random.h"
#include "world/terrain.h"

namespace murinex {

class TMaus;
using TMausList = MouseList;

// Plays the wave files of the simulation. The headless runner uses none.
class SoundSink {
 public:
  virtual ~SoundSink() = default;
  virtual void PlayWave(const std::string& name) = 0;
};

// A --set value the run was given: at its start, as if the input files had
// held it, or later, at a fork of a checkpoint. The latest of a name is in effect.
struct AppliedOverride {
  std::string name;
  std::string value;      // as given on the command line
  bool atStart = true;    // false: applied at a fork
  std::int32_t tick = 0;  // TickCount when applied
};

// One fact of what a run is, as the program that started it recorded it (an
// option and its value, or an input file and its SHA-256): a checkpoint keeps
// them, so that a resume can tell whether it is asked to go on with the same run.
struct IdentityRecord {
  std::string name;
  std::string value;
};

// Everything one run of the simulation owns: its configuration, the world,
// the mice, the counters, the random generator and the open protocol files.
// It knows nothing of windows: what a window decides (whether chart lines are
// recorded, whose sounds are heard) reaches it as the plain values below.
//
// The mice are agent records (agent/maus.h); the run only holds them. Creating,
// finding and removing mice is agent/mouse_list.h, and the run's destructor is
// defined there too, where a mouse is a complete type.
class Run {
 public:
  explicit Run(std::filesystem::path workDir = ".");
  ~Run();
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  // --- configuration, fixed once the run has started
  std::filesystem::path WorkDir;  // the run folder: inputs are read from here
  std::filesystem::path OutDir;   // protocols and dumps go here; empty: the run folder
  std::string TaskName = "NN";
  std::string PopulationFileName, WorldFileName, SettingsFileName;
  std::int32_t TickInterval = 50;  // ms per tick
  Settings settings;
  // Set up before dump 0 (defaults, then --set) and kept by a checkpoint.
  ModelValues model;

  // The generator's seed at population set-up; replicate runs differ in it.
  std::uint32_t PopulationSeed = 1;
  // What the run was started as; empty when its driver records nothing.
  std::vector<IdentityRecord> Identity;

  // --- state
  Random random{1};
  std::unique_ptr<TWorld> World;
  TMausList Mice;
  std::int32_t IdCounter = 0;
  std::int32_t TickCount = 0;
  std::int32_t StartTick = 0;  // TickCount at the population set-up
  std::int32_t CheckMausId = 35;
  // The mouse picked in a window; none when none is picked or it has died.
  MouseHandle SelectedMaus;
  // Counts the changes of SelectedMaus. The run never calls a window: one that
  // shows the picked mouse compares the count after each tick (the picked
  // mouse may have died) and follows then.
  std::uint64_t SelectionChanges = 0;
  bool Busy = false;
  // Counts the ticks begun; what a mouse keeps for the rest of a tick is
  // marked with the tick's serial (see PatchUnder).
  std::uint64_t TickSerial = 0;
  std::int32_t DumpNumber = 0;
  std::int32_t StatRowCount = 0;
  StatSums Stats;
  TSumLines SumLines;
  // Every --set value applied so far, in the order applied: a checkpoint keeps
  // them, so a resumed run knows which of its command line's values it holds.
  std::vector<AppliedOverride> AppliedOverrides;
  // Since the start of the run: births, and deaths by cause (1 hunger, 2 thirst, 3 pain, 4 age).
  std::int64_t Births = 0;
  std::int64_t DeathsBy[5] = {};
  // The places of the mice, by their index in Mice, while a pass of the tick
  // runs; the mouse whose turn it is stays unsettled. Inactive between passes.
  PointGrid MouseGrid;

  // --- set by whoever drives the run (a window, the runner)
  bool RecordLines = true;      // chart lines and summary sums are recorded
  bool AllMiceAudible = false;  // every mouse's sounds play, not only the picked one's

  // --- protocol files
  OutFile BirthLog, StatProto, KofiProt, Behaviour, AggProt;
  // The life records: births, deaths and traits as CSV tables (sim/persistence/life_records.h).
  OutFile BirthsTable, DeathsTable, TraitsTable;
  // The table of every living mouse (sim/persistence/mouse_table.h): its observations so far,
  // and the last one while it is compressed beside the run.
  OutFile MiceTable;
  std::future<std::string> MiceTablePending;
  // Set by the runner: the ticks between two observations of every mouse (0: none),
  // and the columns of the table (none named: all).
  std::int64_t ObserveEvery = 0;
  std::vector<std::string> ObserveColumns;

  SoundSink* Sound = nullptr;  // not owned; none plays nothing

  // Folders of the run: "data/", "Proto/", "bitmaps/", "waves/" below the run
  // folder, and the output folders "Proto/" and "data/" (the dumps) below OutputDir().
  std::filesystem::path DataDir() const { return WorkDir / "data"; }
  std::filesystem::path OutputDir() const { return OutDir.empty() ? WorkDir : OutDir; }
  std::filesystem::path ProtoDir() const { return OutputDir() / "Proto"; }
  std::filesystem::path DumpDir() const { return OutputDir() / "data"; }
  std::filesystem::path BitmapDir() const { return WorkDir / "bitmaps"; }
  std::filesystem::path WaveDir() const { return WorkDir / "waves"; }

  void SelectMaus(MouseHandle mouse);
  TMaus* Selected() const { return Mice.Find(SelectedMaus); }
  // The patch used where the ground under a mouse does not count.
  TTerra* FirstTerra() const { return World ? World->FirstTerra : nullptr; }

  // Whether sounds of this mouse are heard: the picked one, or all.
  bool Audible(const TMaus& m) const;
  void PlayWave(const TMaus& m, const std::string& name);

  // Hands what was written so far to the files, so they can be read during a run.
  void FlushProtocols();
  // Closes the protocol files (the birth log included).
  void CloseProtocols();
};

// The run's own single values, as a checkpoint keeps them; its settings,
// generator, statistics sums, world and mice have lists of their own.
template <class R, class V>
void RunFields(R& run, V&& visit) {
  visit(FieldInfo{"TaskName"}, run.TaskName);
  visit(FieldInfo{"PopulationFileName"}, run.PopulationFileName);
  visit(FieldInfo{"WorldFileName"}, run.WorldFileName);
  visit(FieldInfo{"SettingsFileName"}, run.SettingsFileName);
  visit(FieldInfo{"TickInterval"}, run.TickInterval);
  visit(FieldInfo{"StartTick"}, run.StartTick);
  visit(FieldInfo{"TickCount"}, run.TickCount);
  visit(FieldInfo{"IdCounter"}, run.IdCounter);
  visit(FieldInfo{"CheckMausId"}, run.CheckMausId);
  visit(FieldInfo{"DumpNumber"}, run.DumpNumber);
  visit(FieldInfo{"StatRowCount"}, run.StatRowCount);
  visit(FieldInfo{"Births"}, run.Births);
  static constexpr const char* deaths[] = {"Deaths", "DeathsHunger", "DeathsThirst", "DeathsPain",
                                           "DeathsAge"};
  for (int cause = 0; cause < 5; ++cause)
    visit(FieldInfo{deaths[cause]}, run.DeathsBy[cause]);
}

// A task name becomes part of output file names: it must be a plain name of
// at most MaxTaskNameLength characters.
bool ValidTaskName(const std::string& name);
inline constexpr std::size_t MaxTaskNameLength = 64;

}  // namespace murinex
