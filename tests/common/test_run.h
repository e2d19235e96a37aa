#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "agent/maus.h"
#include "model/run.h"
#include "world/geometry.h"
#include "world/terrain.h"

namespace murinex::test {

// A fresh folder below the system's temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

void WriteText(const std::filesystem::path& path, const std::string& text);
std::string ReadText(const std::filesystem::path& path);
std::vector<std::string> ReadLines(const std::filesystem::path& path);

// The folder of the committed test inputs (tests/data).
std::filesystem::path TestData();
// The settings file of the small test run (labels after the numbers).
std::string SettingsText();

// A rectangular patch (corners given clockwise on the screen).
std::unique_ptr<TTerra> RectPatch(TerraKind kind, int left, int top, int right, int bottom,
                                  double level = 1.0);

// A world built in code: patches in the given order, the lookup built.
std::unique_ptr<TWorld> MakeWorld(int width, int height,
                                  std::vector<std::unique_ptr<TTerra>> patches);

// A run in a temporary folder with the standard test settings and a world of
// one sand patch covering everything, unless replaced.
struct TestRun {
  TestRun();
  TempDir dir;
  Run run;

  // Adds a mouse at a position with plain start values (all needs full,
  // weights 1, person parameters of an average mouse).
  TMaus& AddMaus(TPoint position);
  void SetWorld(std::unique_ptr<TWorld> world) { run.World = std::move(world); }
  // Opens every protocol file of the run in the temporary folder.
  void OpenProtocols();
  std::string Behaviour();
  // The lines written so far to the behaviour, competence and aggression protocols.
  std::vector<std::string> BehaviourLines();
  std::vector<std::string> KofiLines();
  std::vector<std::string> AggLines();
  // The last field ("Quelle") of every line of the competence protocol.
  std::vector<std::string> CompLabels();
  // Makes the mouse the selected check mouse, so its decisions are written to
  // the behaviour and competence protocols (opened if they are not yet).
  void Watch(TMaus& m);
};

// Gives need n the level ist, with Deviation and Urgency as a regulation step
// would leave them.
void SetNeed(TMaus& m, std::uint8_t n, double ist);
// A seen list of the given mice (each must be in a run's list).
TMausRefs Handles(std::initializer_list<const TMaus*> mice);

}  // namespace murinex::test
