#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/runner_checkpoint.h"
#include "sim/overrides.h"

namespace murinex {

// What the headless runner was asked to do.
struct RunnerOptions {
  std::string dir;
  std::string out;  // the output folder; empty: the run folder
  long long ticks = -1;
  std::string task = "NN";
  std::optional<int> select;
  std::optional<int> checkId;
  std::uint32_t seed = 1;
  Overrides overrides;
  CheckpointOptions checkpoint;
  bool stopWhenExtinct = false;          // end the run after the tick in which the last mouse died
  long long observeEvery = 0;            // the ticks between two rows of every mouse; 0: no table
  std::vector<std::string> observe;      // the table's columns; none named: all
  std::vector<std::string> commandLine;  // every argument as given, the program first

  // Where protocols, dumps and the manifest go.
  std::string OutputFolder() const { return out.empty() ? dir : out; }
};

// Reads the command line. --help prints every option and exits 0;
// --list-set-names prints the valid --set names, one a line, and exits 0, as
// --list-observe-names does for --observe;
// a usage error (unknown option, missing or malformed value, unknown --set
// name) prints what is wrong and exits 2.
RunnerOptions ParseRunnerOptions(int argc, char** argv);

}  // namespace murinex
