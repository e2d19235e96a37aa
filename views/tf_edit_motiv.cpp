#include "views/tf_edit_motiv.h"

#include "agent/maus.h"

namespace murinex {

TFEditMotiv::TFEditMotiv(Run& run, ClockSet& clocks, QWidget* parent)
    : EditorBase(run, clocks, "Motivwerte editieren", {"BasMeta", "Weight"}, true, parent) {}

double& TFEditMotiv::Variable(TMotiv& motive) const {
  return SelectedVariable() == 0 ? motive.BasMeta : motive.Weight;
}

double TFEditMotiv::OldValueFor(const std::vector<TMaus*>& mice) const {
  double sum = 0;
  for (TMaus* m : mice)
    for (int i : SelectedMotives())
      sum += Variable(m->M(static_cast<std::uint8_t>(i)));
  return sum / static_cast<double>(mice.size());
}

void TFEditMotiv::Assign(const std::vector<TMaus*>& mice, double value) {
  // SumWeights stays as it is: it is only computed when a mouse is read or born.
  for (TMaus* m : mice)
    for (int i : SelectedMotives())
      Variable(m->M(static_cast<std::uint8_t>(i))) = value;
}

Field TFEditMotiv::RangeField() const {
  return SelectedVariable() == 0 ? Field::BasMeta : Field::Weight;
}

}  // namespace murinex
