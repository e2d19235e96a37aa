#include "app/run_manifest.h"

#include <openssl/evp.h>

#include <ctime>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>

#include "model/out_file.h"
#include "model/run.h"
#include "murinex_version.h"
#include "sim/startup.h"
#include "world/text_reader.h"

namespace murinex {

namespace {

using Json = nlohmann::ordered_json;

std::string UtcTime(std::chrono::system_clock::time_point when) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

std::string Absolute(const std::string& path) {
  std::error_code error;
  const auto absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

Json Optional(const std::optional<int>& value) {
  return value ? Json(*value) : Json(nullptr);
}

Json Pairs(const std::vector<AppliedOverride>& list) {
  Json pairs = Json::array();
  for (const AppliedOverride& o : list)
    pairs.push_back({{"name", o.name}, {"value", o.value}});
  return pairs;
}

// The forks of the run's history, oldest first: the tick and the values applied there.
Json Forks(const std::vector<AppliedOverride>& applied) {
  Json forks = Json::array();
  for (const AppliedOverride& o : applied) {
    if (o.atStart) continue;
    if (forks.empty() || forks.back()["tick"] != o.tick)
      forks.push_back({{"tick", o.tick}, {"applied", Json::array()}});
    forks.back()["applied"].push_back({{"name", o.name}, {"value", o.value}});
  }
  return forks;
}

}  // namespace

std::optional<std::string> Sha256OfFile(const std::filesystem::path& path) {
  // Only what the readers would accept: no device, pipe or oversized file is read here.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error) ||
      std::filesystem::file_size(path, error) > MaxInputFileSize || error)
    return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                  &EVP_MD_CTX_free);
  if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) return std::nullopt;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    EVP_DigestUpdate(context.get(), buffer, static_cast<std::size_t>(in.gcount()));
    if (in.eof()) break;
  }
  if (in.bad()) return std::nullopt;
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) return std::nullopt;
  static const char* const hex = "0123456789abcdef";
  std::string text;
  for (unsigned int i = 0; i < length; ++i) {
    text += hex[digest[i] >> 4];
    text += hex[digest[i] & 15];
  }
  return text;
}

RunManifest::RunManifest(const RunnerOptions& options)
    : options_(options), start_(std::chrono::system_clock::now()) {}

InputHashes HashInputs(const Run& run) {
  const std::string startup = "data/inimaus.ini";
  InputHashes inputs;
  inputs[startup] = Sha256OfFile(run.WorkDir / startup);
  for (const std::string* name :
       {&run.SettingsFileName, &run.PopulationFileName, &run.WorldFileName}) {
    if (name->empty()) continue;  // the start-up file could not be read
    const std::string file = DataFileName(*name);
    inputs[file] = Sha256OfFile(run.WorkDir / file);
  }
  return inputs;
}

void RunManifest::RecordInputs(const Run& run) {
  inputs_ = HashInputs(run);
}

void RunManifest::RecordResume(const Run& run) {
  resumedAt_ = run.TickCount;
  inherited_ = Overrides::InEffect(run.AppliedOverrides);
}

void RunManifest::Finish(const Run& run, const std::string& error, bool interrupted) {
  // Protocols still open after a failure: the run had begun to write its files.
  outputsBegun_ = run.BirthLog.IsOpen() || run.StatProto.IsOpen();
  interrupted_ = interrupted && error.empty();
  end_ = std::chrono::system_clock::now();
  applied_ = run.AppliedOverrides;
  // A run that failed before it had a state has done nothing.
  ticksSinceStart_ = run.World ? static_cast<long long>(run.TickCount) - run.StartTick : 0;
  finalTick_ = run.TickCount;
  finalPopulation_ = run.Mice.size();
  births_ = run.Births;
  for (int cause = 0; cause < 5; ++cause)
    deathsBy_[cause] = run.DeathsBy[cause];
  error_ = error;
}

std::string RunManifest::Text() const {
  Json overrides = Json::array();
  for (const Override& o : options_.overrides.Items())
    overrides.push_back({{"name", o.name}, {"value", o.text}});
  Json inputs = Json::object();
  for (const auto& [file, sha] : inputs_)
    inputs[file] = sha ? Json(*sha) : Json(nullptr);
  Json m;
  m["status"] = !error_.empty() ? "failed"
                : interrupted_  ? "interrupted"
                : extinct_      ? "extinct"
                                : "complete";
  m["error"] = error_.empty() ? Json(nullptr) : Json(error_);
  m["version"] = MURINEX_VERSION;
  m["command_line"] = options_.commandLine;
  std::error_code ignored;
  m["working_folder"] = std::filesystem::current_path(ignored).string();
  m["run_folder"] = Absolute(options_.dir);
  m["output_folder"] = Absolute(options_.OutputFolder());
  m["task"] = options_.task;
  m["seed"] = options_.seed;
  m["overrides"] = overrides;
  m["select"] = Optional(options_.select);
  m["check_id"] = Optional(options_.checkId);
  m["ticks_requested"] = options_.ticks;
  m["inputs_sha256"] = inputs;
  m["start"] = UtcTime(start_);
  m["end"] = UtcTime(end_);
  m["resumed_from_tick"] = resumedAt_ ? Json(*resumedAt_) : Json(nullptr);
  m["inherited_overrides"] = Pairs(inherited_);
  m["forks"] = Forks(applied_);
  m["overrides_in_effect"] = Pairs(Overrides::InEffect(applied_));
  m["ticks_done"] = ticksSinceStart_;
  m["ticks_this_start"] = ticksDone_;
  m["final_tick"] = finalTick_;
  m["final_population"] = finalPopulation_;
  m["births"] = births_;
  m["deaths"] = {{"hunger", deathsBy_[1]},
                 {"thirst", deathsBy_[2]},
                 {"pain", deathsBy_[3]},
                 {"age", deathsBy_[4]},
                 {"total", deathsBy_[1] + deathsBy_[2] + deathsBy_[3] + deathsBy_[4]}};
  return m.dump(2) + "\n";
}

std::string RunManifest::FileName() const {
  return error_.empty() || outputsBegun_ ? "run.json" : "run-failed.json";
}

void RunManifest::Write() const {
  const std::filesystem::path folder = options_.OutputFolder();
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);  // a failure shows when writing
  WriteFileAtomically((folder / FileName()).string(), FileName(), Text());
}

}  // namespace murinex
