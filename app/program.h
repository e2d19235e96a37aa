#pragma once

#include <filesystem>
#include <memory>

#include "app/tf_emo.h"
#include "app/wave_sound.h"
#include "model/run.h"
#include "views/clock_set.h"

namespace murinex {

class TFChart;
class TFColor;
class TFEdit;
class TFEditMotiv;
class TFGenom;
class TFSumChart;

// The program block: the run and its windows, created in their fixed order
// (the main window first) and wired together.
class Program {
 public:
  Program(const std::filesystem::path& workDir, const StartOptions& options);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  TFEmo& Main() { return *emo_; }
  Run& GetRun() { return run_; }

 private:
  Run run_;
  WaveSound sound_;
  ClockSet clocks_;
  std::unique_ptr<TFEmo> emo_;
  std::unique_ptr<TFChart> chart_;
  std::unique_ptr<TFEditMotiv> editMotiv_;
  std::unique_ptr<TFGenom> genom_;
  std::unique_ptr<TFSumChart> sumChart_;
  std::unique_ptr<TFEdit> edit_;
  std::unique_ptr<TFColor> color_;
};

}  // namespace murinex
