#pragma once

#include "views/editor_base.h"

namespace murinex {

// The parameter editor: one person parameter of the selected mice.
class TFEdit : public EditorBase {
  Q_OBJECT

 public:
  TFEdit(Run& run, ClockSet& clocks, QWidget* parent = nullptr);

 protected:
  // The mean of the parameter over the selected mice.
  double OldValueFor(const std::vector<TMaus*>& mice) const override;
  void Assign(const std::vector<TMaus*>& mice, double value) override;
  Field RangeField() const override;
};

}  // namespace murinex
