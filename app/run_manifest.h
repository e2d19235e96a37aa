#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/runner_options.h"
#include "model/run.h"

namespace murinex {

class Run;

// The hex SHA-256 of a file's bytes, or none when it cannot be read.
std::optional<std::string> Sha256OfFile(const std::filesystem::path& path);

// The start-up file and the files it names, by their path below the run folder,
// each with the SHA-256 of its bytes now (none when it cannot be read).
using InputHashes = std::map<std::string, std::optional<std::string>>;
InputHashes HashInputs(const Run& run);

// The record of one run of the headless runner, written as run.json into the
// output folder when the run ends, whether it succeeded or not: what was run
// (version, command line, seed, overrides, the inputs' SHA-256), when, and how
// it ended, and where a resumed run took up its checkpoint and forked under new
// values. With it, the run can be made again bit for bit.
class RunManifest {
 public:
  explicit RunManifest(const RunnerOptions& options);

  // Hashes the start-up file and the files it names, as they are before the
  // run writes anything; call after the start-up file is read (or failed to be).
  void RecordInputs(const Run& run);
  // A resumed run: the tick of its checkpoint and the --set values it held then.
  void RecordResume(const Run& run);
  void TickDone() { ++ticksDone_; }
  // The run ended early because its last mouse died (--stop-when-extinct).
  void MarkExtinct() { extinct_ = true; }
  // An empty error means the run completed, or stopped at a checkpoint when interrupted.
  void Finish(const Run& run, const std::string& error, bool interrupted = false);

  // The manifest as JSON text.
  std::string Text() const;
  // run.json; but a run that failed before writing any output file leaves the
  // last run's manifest alone and tells of its failure in run-failed.json.
  std::string FileName() const;
  // Writes the manifest into the output folder: a temporary file renamed over it.
  void Write() const;

 private:
  const RunnerOptions& options_;
  std::chrono::system_clock::time_point start_, end_;
  InputHashes inputs_;
  long long ticksDone_ = 0;  // by this process
  std::optional<std::int32_t> resumedAt_;
  std::vector<AppliedOverride> inherited_;  // in effect at the checkpoint
  std::vector<AppliedOverride> applied_;    // every --set value of the run's history
  long long ticksSinceStart_ = 0;
  std::int32_t finalTick_ = 0;
  std::size_t finalPopulation_ = 0;
  std::int64_t births_ = 0;
  std::int64_t deathsBy_[5] = {};
  std::string error_;
  bool interrupted_ = false;
  bool extinct_ = false;
  bool outputsBegun_ = false;
};

}  // namespace murinex
