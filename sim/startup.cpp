#include "sim/startup.h"

#include <algorithm>
#include <filesystem>

#include "agent/maus.h"
#include "agent/mouse_list.h"
#include "model/run.h"
#include "sim/population_files.h"
#include "world/error.h"
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

std::string StatHeader(int startTick) {
  return std::to_string(startTick) + ";Learn;PlanSteps;SuccessfulPlan;" +
         "Arousal;Inhib;MotCh;OppCh;Mausnotseen;DangerNotSeen;" +
         "HelpMission;HelpAggress;BiteFriend;" + "Threat;Support;Fear;ThreatFlight;" +
         "NoNeed;Hung;Thir;Pain;Sex;Affil;Cert;Comp;" +
         "NoGoal;GSand;GFood;GWater;GJuli;GStones;GHerbs;GInfo;GLegSign;" +
         "GSupportSign;GCompSign;" + "NMaus;Age;Deathrate;Birthrate;LifeLength;" +
         "RelFriends;RelEnemies;EnToFrin;" + "GiveUp;NoAct;" + "Move;Explore;Flight;Bite;Hold;" +
         "Feed;Drink;Cure;Smile;" + "Plan;Sleep;Drunken;Care;" +
         "MDensity;MVarDens;DHunger;DThirst;DPain;DAge;Strength;" +
         "CareHunger;CareThirst;CarePain;";
}

void CreateProtocol(Run& run, OutFile& file, const std::string& name, const std::string* header) {
  file.Create((run.WorkDir / name).string(), name);
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
  run.PopulationFileName = TrimRight(in.ReadLine("population file name"));
  run.WorldFileName = TrimRight(in.ReadLine("world file name"));
  run.SettingsFileName = TrimRight(in.ReadLine("settings file name"));
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
  MakeFolder(run.ProtoDir(), "Proto");
  CreateProtocol(run, run.BirthLog, "Proto/protGen.prt", nullptr);
  run.SelectedMaus = nullptr;
}

void SetUpPopulation(Run& run) {
  run.random.SetSeed(1);
  const std::string settingsName = DataFileName(run.SettingsFileName);
  run.settings = Settings::Read((run.WorkDir / settingsName).string(), settingsName);

  const std::string populationName = DataFileName(run.PopulationFileName);
  TextReader in = TextReader::Open((run.WorkDir / populationName).string(), populationName);
  in.ReadLine("title");
  const std::int32_t startTick = in.ReadInt("start tick");
  in.NextLine();
  // Read into a list of our own: a bad record leaves the run as it was.
  TMausList mice;
  const std::int32_t idCounter = run.IdCounter;
  try {
    while (!in.AtEnd()) {
      auto m = NewMaus(run);
      ReadMaus(run, *m, in);
      mice.push_back(std::move(m));
    }
  } catch (...) {
    run.IdCounter = idCounter;
    throw;
  }
  run.Mice = std::move(mice);
  run.TickCount = startTick;
  run.StartTick = startTick;
  for (auto& m : run.Mice)
    for (TFrinEn& e : m->Relations)
      e.OtherMaus = MausById(run, e.OtherID);

  run.Busy = false;
  run.DumpNumber = 0;
  run.Stats.Clear();
  run.StatRowCount = 0;
  run.StatInterval = 100;
  MakeFolder(run.ProtoDir(), "Proto");
  const std::string stat = StatHeader(startTick);
  const std::string kofi = " ;ID;Taktnr;PrevKomp;PlusMinus;Komp.Ist;Quelle;";
  const std::string agg =
      "cyclecounter;socialvalue;successvalue;successexpect;random;aggten;Aggression;";
  CreateProtocol(run, run.StatProto, "Proto/Proto" + run.TaskName + ".prt", &stat);
  CreateProtocol(run, run.KofiProt, "Proto/KofiProt" + run.TaskName + ".prt", &kofi);
  CreateProtocol(run, run.Behaviour, "Proto/Behaviour" + run.TaskName + ".prt", nullptr);
  CreateProtocol(run, run.AggProt, "Proto/AggProt" + run.TaskName + ".prt", &agg);
  run.FlushProtocols();
  DumpPopulation(run);
  DumpGenomes(run);
  run.DumpNumber += 1;
}

void LoadWorld(Run& run) {
  const std::string name = DataFileName(run.WorldFileName);
  run.World = TWorld::Load((run.WorkDir / name).string(), name);
}

void FinishRun(Run& run) {
  DumpPopulation(run);
  DumpGenomes(run);
  run.CloseProtocols();
}

void DumpNow(Run& run) {
  DumpPopulation(run);
  DumpGenomes(run);
  run.DumpNumber += 1;
}

}  // namespace murinex
