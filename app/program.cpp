#include "app/program.h"

#include "views/tf_chart.h"
#include "views/tf_color.h"
#include "views/tf_edit.h"
#include "views/tf_edit_motiv.h"
#include "views/tf_genom.h"
#include "views/tf_sum_chart.h"

namespace murinex {

Program::Program(const std::filesystem::path& workDir, const StartOptions& options)
    : run_(workDir), sound_(run_.WaveDir()) {
  run_.Sound = &sound_;
  emo_ = std::make_unique<TFEmo>(run_, clocks_, options);
  // The other windows belong to the main window: they stay above it and the
  // program ends when it closes.
  chart_ = std::make_unique<TFChart>(run_, clocks_, emo_.get());
  editMotiv_ = std::make_unique<TFEditMotiv>(run_, clocks_, emo_.get());
  genom_ = std::make_unique<TFGenom>(run_, emo_.get());
  sumChart_ = std::make_unique<TFSumChart>(run_, clocks_, emo_.get());
  edit_ = std::make_unique<TFEdit>(run_, clocks_, emo_.get());
  color_ = std::make_unique<TFColor>(run_, emo_.get());
  emo_->SetViews(
      {chart_.get(), editMotiv_.get(), genom_.get(), sumChart_.get(), edit_.get(), color_.get()});
}

Program::~Program() {
  run_.Sound = nullptr;
  color_.reset();
  edit_.reset();
  sumChart_.reset();
  genom_.reset();
  editMotiv_.reset();
  chart_.reset();
  emo_.reset();
}

}  // namespace murinex
