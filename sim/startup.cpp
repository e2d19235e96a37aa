#include "sim/startup.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "model/run.h"
#include "sim/persistence/life_records.h"
#include "sim/persistence/mouse_table.h"
#include "sim/persistence/population_files.h"
#include "world/error.h"
#include "world/input_ranges.h"
#include "world/text_reader.h"

namespace murinex {

namespace {

std::string TrimRight(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.pop_back();
  return text;
}

void MakeFolder(const std::filesystem::path& folder, const std::string& displayName) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder))
    throw InputError(displayName, 0, "cannot create the folder: " + error.message());
}

std::string ReadFileName(TextReader& in, const std::string& what) {
  const int line = in.Line();
  std::string name = TrimRight(in.ReadLine(what));
  if (name.empty()) throw InputError(in.Name(), line, "the " + what + " is empty");
  return name;
}

// A new run of a task replaces the files of its last run in the output folder:
// the protocols are created anew, and the dumps it had written (or begun, if it
// was killed half-way) go, lest a higher-numbered dump of the last run stand
// beside the new ones. Only names the dumps of this task use are touched:
// "Maeuse-" or "Genom-", the task name, "-", a number, ".dat" or ".dat.tmp".
bool DumpOfTask(const std::string& file, const std::string& task) {
  for (const std::string suffix : {".dat", ".dat.tmp"}) {
    for (const std::string kind : {"Maeuse-", "Genom-"}) {
      const std::string prefix = kind + task + "-";
      if (file.size() <= prefix.size() + suffix.size() || file.rfind(prefix, 0) != 0 ||
          file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0)
        continue;
      const std::string number =
          file.substr(prefix.size(), file.size() - prefix.size() - suffix.size());
      if (number.find_first_not_of("0123456789") == std::string::npos) return true;
    }
  }
  return false;
}

// The files the run has read: a dump of an earlier run may well be the
// population a new run starts from, and must stay.
bool IsInput(const Run& run, const std::filesystem::path& file) {
  std::vector<std::filesystem::path> inputs = {run.DataDir() / "inimaus.ini"};
  for (const std::string* name :
       {&run.SettingsFileName, &run.PopulationFileName, &run.WorldFileName})
    inputs.push_back(run.WorkDir / DataFileName(*name));
  for (const auto& input : inputs) {
    std::error_code error;
    if (std::filesystem::equivalent(file, input, error)) return true;
  }
  return false;
}

void RemoveEarlierDumps(const Run& run) {
  std::error_code error;
  std::filesystem::directory_iterator it(run.DumpDir(), error);
  if (error) return;
  for (const auto& entry : it) {
    const std::string file = entry.path().filename().string();
    if (DumpOfTask(file, run.TaskName) && !IsInput(run, entry.path()))
      std::filesystem::remove(entry.path(), error);
  }
}

std::string StatHeader(int startTick) {
  std::string header = std::to_string(startTick) + ";";
  for (const char* name : stat::ColumnNames)
    header += std::string(name) + ";";
  return header;
}

void CreateProtocol(Run& run, OutFile& file, const std::string& name, const std::string* header) {
  file.Create((run.OutputDir() / name).string(), name);
  if (header) file.WriteLine(*header);
}

}  // namespace

std::string DataFileName(const std::string& name) {
  std::string mapped = name;
  std::replace(mapped.begin(), mapped.end(), '\\', '/');
  return "data/" + mapped;
}

void ReadStartupFile(Run& run) {
  const std::string name = "data/inimaus.ini";
  TextReader in = TextReader::Open((run.WorkDir / name).string(), name);
  run.PopulationFileName = ReadFileName(in, "population file name");
  run.WorldFileName = ReadFileName(in, "world file name");
  run.SettingsFileName = ReadFileName(in, "settings file name");
}

void StartUp(Run& run, const std::string& taskName) {
  if (!ValidTaskName(taskName))
    throw InputError("", 0,
                     "the task name \"" + taskName +
                         "\" cannot be part of a file name (it must not be empty, \".\" or "
                         "\"..\", nor hold \"/\" or \"\\\")");
  run.random.SetSeed(1);
  ReadStartupFile(run);
  run.TaskName = taskName;
  run.CheckMausId = 35;
  // The birth log is created with the other protocols, once every input has
  // been read: a run that fails to start leaves the last run's files alone.
  run.SelectedMaus = {};
}

namespace {

std::unique_ptr<TWorld> ReadWorld(const Run& run) {
  const std::string name = DataFileName(run.WorldFileName);
  return TWorld::Load((run.WorkDir / name).string(), name);
}

}  // namespace

void SetUpPopulation(Run& run, const std::function<void(Run&)>& beforeFirstDump) {
  run.random.SetSeed(run.PopulationSeed);
  const std::string settingsName = DataFileName(run.SettingsFileName);
  const Settings previous = run.settings;
  run.settings = Settings::Read((run.WorkDir / settingsName).string(), settingsName);

  // Every input is read before the first output file is touched, into values
  // of our own: a bad file leaves the run and the last run's files as they were.
  TMausList mice;
  std::int32_t startTick = 0;
  std::unique_ptr<TWorld> world;
  const std::int32_t idCounter = run.IdCounter;
  try {
    const std::string populationName = DataFileName(run.PopulationFileName);
    TextReader in = TextReader::Open((run.WorkDir / populationName).string(), populationName);
    in.ReadLine("title");
    startTick = ReadInt(in, Field::StartTick, "start tick");
    in.NextLine();
    while (!in.AtEnd()) {
      auto m = NewMaus(run);
      ReadMaus(run, *m, in, startTick);
      mice.push_back(std::move(m));
    }
    world = ReadWorld(run);
  } catch (...) {
    run.IdCounter = idCounter;
    run.settings = previous;
    throw;
  }
  run.World = std::move(world);
  run.Mice = std::move(mice);
  run.TickCount = startTick;
  run.StartTick = startTick;
  for (auto& m : run.Mice)
    for (TFrinEn& e : m->Relations)
      e.Other = HandleOf(MausById(run, e.OtherID));

  // A new start takes the model's own values afresh; the caller may change them.
  run.model = ModelValues{};
  if (beforeFirstDump) beforeFirstDump(run);

  run.Busy = false;
  run.DumpNumber = 0;
  run.Stats.Clear();
  run.StatRowCount = 0;
  RemoveEarlierDumps(run);
  MakeFolder(run.ProtoDir(), "Proto");
  MakeFolder(run.DumpDir(), "data");
  CreateProtocol(run, run.BirthLog, "Proto/protGen.prt", nullptr);
  const std::string stat = StatHeader(startTick);
  const std::string kofi = " ;ID;Taktnr;PrevKomp;PlusMinus;Komp.Ist;Quelle;";
  const std::string agg =
      "cyclecounter;socialvalue;successvalue;successexpect;random;aggten;Aggression;";
  CreateProtocol(run, run.StatProto, "Proto/Proto" + run.TaskName + ".prt", &stat);
  CreateProtocol(run, run.KofiProt, "Proto/KofiProt" + run.TaskName + ".prt", &kofi);
  CreateProtocol(run, run.Behaviour, "Proto/Behaviour" + run.TaskName + ".prt", nullptr);
  CreateProtocol(run, run.AggProt, "Proto/AggProt" + run.TaskName + ".prt", &agg);
  CreateLifeRecords(run);
  CreateMouseTable(run);
  run.FlushProtocols();
  DumpPopulation(run);
  DumpGenomes(run);
  run.DumpNumber += 1;
}

void LoadWorld(Run& run) {
  if (!run.World) run.World = ReadWorld(run);
}

void FinishRun(Run& run) {
  DumpPopulation(run);
  DumpGenomes(run);
  SettleMouseTable(run);
  run.CloseProtocols();
  FinishMouseTable(run);
}

void DumpNow(Run& run) {
  DumpPopulation(run);
  DumpGenomes(run);
  run.DumpNumber += 1;
}

}  // namespace murinex
