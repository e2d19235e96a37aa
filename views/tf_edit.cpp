#include "views/tf_edit.h"

#include "agent/maus.h"

namespace murinex {

namespace {

QStringList ParameterNames() {
  QStringList names;
  for (const char* name : PersonParamNames)
    names << name;
  return names;
}

}  // namespace

TFEdit::TFEdit(Run& run, ClockSet& clocks, QWidget* parent)
    : EditorBase(run, clocks, "Personenparameter editieren", ParameterNames(), false, parent) {}

double TFEdit::OldValueFor(const std::vector<TMaus*>& mice) const {
  const auto p = static_cast<std::uint8_t>(SelectedVariable());
  double sum = 0;
  for (const TMaus* m : mice)
    sum += m->P(p);
  return sum / static_cast<double>(mice.size());
}

void TFEdit::Assign(const std::vector<TMaus*>& mice, double value) {
  const auto p = static_cast<std::size_t>(SelectedVariable());
  for (TMaus* m : mice)
    m->Params[p] = value;
}

Field TFEdit::RangeField() const {
  return ParamField(SelectedVariable());
}

}  // namespace murinex
