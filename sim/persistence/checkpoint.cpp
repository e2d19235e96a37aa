#include "sim/persistence/checkpoint.h"

#include <fstream>
#include <sstream>

#include "agent/maus.h"
#include "model/run.h"
#include "sim/checks/every_tick.h"
#include "sim/overrides.h"
#include "sim/persistence/checkpoint_io.h"
#include "sim/persistence/checkpoint_mouse.h"
#include "sim/persistence/mouse_table.h"
#include "sim/persistence/state_text.h"
#include "world/error.h"

namespace murinex {

namespace {

using namespace checkpoint;

// ---------------------------------------------------------------- run-wide records

// What the run is (inputs, seed, options), first after the header: a resume
// that is asked to go on with another run is refused before anything else is
// taken from the checkpoint.
template <class IO, class List>
void IdentityRecords(IO& io, List& identity) {
  std::size_t count = identity.size();
  io.Begin("identity");
  io.Size(count, "identity record count");
  io.End();
  if constexpr (IO::Loading) identity.resize(count);
  for (auto& record : identity) {
    io.Begin("is");
    io(record.name, "identity name");
    io(record.value, "identity value");
    io.End();
  }
}

template <class IO, class R>
void RunRecord(IO& io, R& run) {
  io.Begin("run");
  RunFields(run, Through(io));
  io.End();
}

template <class IO>
void GeneratorRecord(IO& io, std::uint32_t& seed) {
  io.Begin("random");
  io(seed, "seed");
  io.End();
}

template <class IO, class R>
void StatsRecord(IO& io, R& run) {
  io.Begin("stats");
  StatFields(run.Stats, Through(io));
  io.End();
}

template <class IO, class Rows>
void RangeRows(IO& io, const char* key, Rows& rows) {
  io.Begin(key);
  for (auto& row : rows) {
    io(row.scale, "range scale");
    io(row.minimum, "range minimum");
    io(row.maximum, "range maximum");
  }
  io.End();
}

template <class IO, class S>
void SettingsRecords(IO& io, S& settings) {
  io.Begin("life");
  for (auto& row : settings.LifeSettings) {
    io(row.whole, "life setting");
    io(row.real, "life setting");
  }
  io.End();
  RangeRows(io, "motweights", settings.MotWeightRanges);
  RangeRows(io, "person", settings.PersonRanges);
  RangeRows(io, "reserve", settings.ReserveRanges);
  RangeRows(io, "basalmetabol", settings.BasalMetaBolRanges);
  io.Begin("actions");
  for (auto& row : settings.ActionSettings) {
    io(row.hungerCost, "hunger cost");
    io(row.thirstCost, "thirst cost");
    io(row.colour, "action colour");
  }
  io.End();
  io.Begin("goalneeds");
  for (auto& row : settings.GoalNeedMatrix)
    Reals(io, row, "goal-need value");
  io.End();
}

// The model's own values; a file with one outside its range is refused, as --set refuses it.
template <class IO, class M>
void ModelRecord(IO& io, M& values) {
  io.Begin("model");
  ModelFields(values, [&](const FieldInfo& info, auto& value) {
    io(value, info.name);
    if constexpr (IO::Loading)
      if (!InRange(info.range, value))
        io.Reader().Fail(std::string("the model value ") + info.name + " is out of its range");
  });
  io.End();
}

// The --set values the run was given so far; a name or value this program does
// not take is refused, as on the command line.
template <class IO, class List>
void AppliedOverrideRecords(IO& io, List& applied) {
  std::size_t count = applied.size();
  io.Begin("overrides");
  io.Size(count, "override count");
  io.End();
  if constexpr (IO::Loading) applied.resize(count);
  for (auto& o : applied) {
    io.Begin("override");
    io(o.name, "override name");
    io(o.value, "override value");
    io(o.atStart, "override applied at the start");
    io(o.tick, "override tick");
    if constexpr (IO::Loading) {
      try {
        Overrides::Parse(o.name, o.value);
      } catch (const InputError& error) {
        io.Reader().Fail(std::string("a --set value this program does not take: ") + error.what());
      }
    }
    io.End();
  }
}

template <class IO, class T>
void PatchRecord(IO& io, T& terra) {
  io.Begin("patch");
  PatchFields(terra, Through(io));
  if constexpr (IO::Loading)
    if (terra.Kind < KindSand) io.Reader().Fail("a patch kind must be 1 to 6");
  Elements(io, terra.Seasons, "season count", [&](auto& season) {
    io(season.FirstDay, "first day of a season");
    io(season.EndDay, "end day of a season");
  });
  Elements(io, terra.Points, "point count", [&](auto& p) {
    io(p.x, "x of a patch point");
    io(p.y, "y of a patch point");
  });
  io.End();
}

void SaveWorld(Saver& io, const TWorld& world) {
  io.Begin("world");
  io(world.WorldWidth, "world width");
  io(world.WorldHeight, "world height");
  io.Size(world.TerraList.size(), "patch count");
  io.End();
  for (const auto& terra : world.TerraList)
    PatchRecord(io, *terra);
}

std::unique_ptr<TWorld> LoadWorld(Loader& io) {
  auto world = std::make_unique<TWorld>();
  io.Begin("world");
  io(world->WorldWidth, "world width");
  io(world->WorldHeight, "world height");
  std::size_t count = 0;
  io.Size(count, "patch count");
  io.End();
  if (world->WorldWidth <= 0 || world->WorldHeight <= 0 ||
      static_cast<std::int64_t>(world->WorldWidth) * world->WorldHeight > MaxWorldPixels)
    io.Reader().Fail("the world size is out of range");
  if (count == 0 || count >= 0xFFFFFF) io.Reader().Fail("the patch count is out of range");
  for (std::size_t i = 0; i < count; ++i) {
    auto terra = std::make_unique<TTerra>();
    PatchRecord(io, *terra);
    world->TerraList.push_back(std::move(terra));
  }
  world->FirstTerra = world->TerraList.front().get();
  world->BuildLookup();
  return world;
}

// ---------------------------------------------------------------- summary lines

template <class IO, class S>
void SumLineRecord(IO& io, S& line) {
  io.Begin("sumline");
  io(line.Name, "summary line name");
  io(line.Sum, "summary line sum");
  io(line.Count, "summary line count");
  io.End();
  SeriesRecord(io, line.Series);
}

void SaveSumLines(Saver& io, const TSumLines& lines) {
  io.Begin("sumlines");
  io(lines.PageLength(), "page length");
  io(lines.PointsOnPage(), "points on the page");
  io(lines.PageOffset(), "page offset");
  io.Size(lines.Size(), "summary line count");
  io.End();
  io.Begin("sumticks");
  Elements(io, lines.Ticks(), "tick count", [&](const std::int32_t& t) { io(t, "tick"); });
  io.End();
  for (std::size_t i = 0; i < lines.Size(); ++i)
    SumLineRecord(io, lines.At(i));
}

void LoadSumLines(Loader& io, TSumLines& lines) {
  double length = 0, offset = 0;
  std::int32_t points = 0;
  std::size_t count = 0;
  io.Begin("sumlines");
  io(length, "page length");
  io(points, "points on the page");
  io(offset, "page offset");
  io.Size(count, "summary line count");
  io.End();
  std::vector<std::int32_t> ticks;
  io.Begin("sumticks");
  Elements(io, ticks, "tick count", [&](std::int32_t& t) { io(t, "tick"); });
  io.End();
  lines.SetPage(length, points, offset, std::move(ticks));
  for (std::size_t i = 0; i < count; ++i) {
    TSumLine line;
    SumLineRecord(io, line);
    TSumLine& kept = lines.SumLine(line.Name);
    if (kept.Series.Count() > 0 || kept.Count > 0)
      io.Reader().Fail("the summary line \"" + line.Name + "\" is there twice");
    kept = std::move(line);
  }
}

// ---------------------------------------------------------------- files

// The protocol files in the order of SavedOutputs.
std::array<const OutFile*, SavedOutputCount> OutputsOf(const Run& run) {
  return {&run.BirthLog,    &run.StatProto,   &run.KofiProt,    &run.Behaviour, &run.AggProt,
          &run.BirthsTable, &run.DeathsTable, &run.TraitsTable, &run.MiceTable};
}
std::array<OutFile*, SavedOutputCount> OutputsOf(Run& run) {
  return {&run.BirthLog,    &run.StatProto,   &run.KofiProt,    &run.Behaviour, &run.AggProt,
          &run.BirthsTable, &run.DeathsTable, &run.TraitsTable, &run.MiceTable};
}

template <class IO, class S>
void OutputRecord(IO& io, S& saved) {
  io.Begin("output");
  io(saved.name, "file name");
  std::int64_t length = static_cast<std::int64_t>(saved.length);
  io(length, "file length");
  if constexpr (IO::Loading) {
    if (length < 0) io.Reader().Fail("a file length must not be negative");
    saved.length = static_cast<std::uint64_t>(length);
  }
  io(saved.open, "file open");
  io.End();
}

std::string ReadWholeFile(const std::filesystem::path& path, const std::string& displayName) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError(displayName, 0, "cannot open file");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw InputError(displayName, 0, "cannot read file");
  return std::move(text).str();
}

// The state of `from`, read from a checkpoint, becomes the state of `into`;
// the run's folder, switches, files and listeners stay.
void TakeState(Run& into, Run& from) {
  into.TaskName = from.TaskName;
  into.PopulationFileName = from.PopulationFileName;
  into.WorldFileName = from.WorldFileName;
  into.SettingsFileName = from.SettingsFileName;
  into.TickInterval = from.TickInterval;
  into.Identity = from.Identity;
  into.settings = from.settings;
  into.model = from.model;
  into.AppliedOverrides = from.AppliedOverrides;
  into.random = from.random;
  into.World = std::move(from.World);
  into.Mice = std::move(from.Mice);
  into.IdCounter = from.IdCounter;
  into.TickCount = from.TickCount;
  into.StartTick = from.StartTick;
  into.CheckMausId = from.CheckMausId;
  into.Busy = false;
  into.DumpNumber = from.DumpNumber;
  into.StatRowCount = from.StatRowCount;
  into.Stats = from.Stats;
  into.SumLines = std::move(from.SumLines);
  into.Births = from.Births;
  for (int i = 0; i < 5; ++i)
    into.DeathsBy[i] = from.DeathsBy[i];
  into.SelectMaus(from.SelectedMaus);
  from.SelectedMaus = {};
}

// Every saved file must still hold at least what the run had written then.
void CheckOutputs(const Run& run, const SavedOutputs& outputs) {
  for (const SavedOutput& saved : outputs) {
    if (!saved.open) continue;
    std::error_code error;
    const auto size = std::filesystem::file_size(run.OutputDir() / saved.name, error);
    if (error)
      throw InputError(saved.name, 0,
                       "cannot resume: the file is missing (" + error.message() + ")");
    if (size < saved.length)
      throw InputError(saved.name, 0,
                       "cannot resume: the file holds " + std::to_string(size) +
                           " bytes, fewer than the " + std::to_string(saved.length) +
                           " it had at the checkpoint");
  }
}

}  // namespace

std::string CheckpointName(const std::string& taskName) {
  return "data/checkpoint-" + taskName + ".mxc";
}

std::filesystem::path CheckpointPath(const std::filesystem::path& workDir,
                                     const std::string& taskName) {
  return workDir / CheckpointName(taskName);
}

std::string CheckpointText(const Run& run) {
  if (!run.World) throw InputError("", 0, "there is no world to save yet");
  StateWriter out(CheckpointFormat, CheckpointVersion);
  Saver io(out);
  IdentityRecords(io, run.Identity);
  RunRecord(io, run);
  std::uint32_t seed = run.random.Seed();
  GeneratorRecord(io, seed);
  StatsRecord(io, run);
  SettingsRecords(io, run.settings);
  ModelRecord(io, run.model);
  AppliedOverrideRecords(io, run.AppliedOverrides);
  SaveWorld(io, *run.World);
  SaveSumLines(io, run.SumLines);
  const MouseIndex index(run.Mice);
  io.Begin("mice");
  io.Size(run.Mice.size(), "mouse count");
  io.End();
  for (const auto& m : run.Mice)
    SaveMouse(out, index, *m);
  io.Begin("selected");
  out.Int(index.Of(run.SelectedMaus));
  io.End();
  for (const OutFile* file : OutputsOf(run)) {
    SavedOutput saved{file->Name(), file->Length(), file->IsOpen()};
    OutputRecord(io, saved);
  }
  return out.Finish();
}

SavedOutputs ReadCheckpointText(Run& fresh, const std::string& text,
                                const std::string& displayName) {
  StateReader in(text, displayName, CheckpointFormat, CheckpointVersion);
  Loader io(in);
  IdentityRecords(io, fresh.Identity);
  RunRecord(io, fresh);
  std::uint32_t seed = 0;
  GeneratorRecord(io, seed);
  fresh.random.SetSeed(seed);
  StatsRecord(io, fresh);
  SettingsRecords(io, fresh.settings);
  ModelRecord(io, fresh.model);
  AppliedOverrideRecords(io, fresh.AppliedOverrides);
  fresh.World = LoadWorld(io);
  LoadSumLines(io, fresh.SumLines);
  std::size_t count = 0;
  io.Begin("mice");
  io.Size(count, "mouse count");
  io.End();
  fresh.Mice.clear();
  for (std::size_t i = 0; i < count; ++i)
    fresh.Mice.push_back(std::make_unique<TMaus>(0));
  SavedOutputs outputs;
  // A refused file leaves no half-read mice behind.
  try {
    for (auto& m : fresh.Mice)
      LoadMouse(in, fresh.Mice, *m);
    io.Begin("selected");
    fresh.SelectedMaus = MouseAt(in, fresh.Mice, "selected mouse");
    io.End();
    for (SavedOutput& saved : outputs)
      OutputRecord(io, saved);
    if (!in.AtEnd()) in.Fail("unexpected records after the last output file");
    // What the next tick would choke on (an age at the largest integer, a sum
    // grown to infinity) is refused now, naming the file.
    try {
      CheckRunState(fresh);
    } catch (const InputError& error) {
      throw InputError(displayName, 0, error.message());
    }
  } catch (const InputError&) {
    fresh.SelectedMaus = {};
    fresh.Mice.clear();
    throw;
  }
  return outputs;
}

void WriteCheckpoint(Run& run) {
  SettleMouseTable(run);
  const std::string text = CheckpointText(run);
  for (OutFile* file : OutputsOf(run))
    file->Sync();
  const std::string name = CheckpointName(run.TaskName);
  WriteFileAtomically((run.OutputDir() / name).string(), name, text, true);
}

bool HasCheckpoint(const std::filesystem::path& workDir, const std::string& taskName) {
  std::error_code error;
  return std::filesystem::exists(CheckpointPath(workDir, taskName), error);
}

void ResumeFromCheckpoint(Run& run, const std::string& taskName,
                          const std::function<void(const Run& saved)>& accept) {
  const std::string name = CheckpointName(taskName);
  ResumeFromCheckpointText(run, taskName, ReadWholeFile(run.OutputDir() / name, name), accept);
}

void ResumeFromCheckpointText(Run& run, const std::string& taskName, const std::string& text,
                              const std::function<void(const Run& saved)>& accept) {
  const std::string name = CheckpointName(taskName);
  Run loaded(run.WorkDir);
  loaded.OutDir = run.OutDir;
  const SavedOutputs outputs = ReadCheckpointText(loaded, text, name);
  if (loaded.TaskName != taskName)
    throw InputError(name, 0,
                     "the checkpoint belongs to the task \"" + loaded.TaskName + "\", not to \"" +
                         taskName + "\"");
  CheckOutputs(run, outputs);
  if (accept) accept(loaded);
  TakeState(run, loaded);
  const std::array<OutFile*, SavedOutputCount> files = OutputsOf(run);
  for (std::size_t i = 0; i < files.size(); ++i)
    if (outputs[i].open)
      files[i]->Reopen((run.OutputDir() / outputs[i].name).string(), outputs[i].name,
                       outputs[i].length);
}

}  // namespace murinex
