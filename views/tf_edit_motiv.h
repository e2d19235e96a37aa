#pragma once

#include "views/editor_base.h"

namespace murinex {

struct TMotiv;

// The motive editor: BasMeta or Weight of the selected motives of the selected mice.
class TFEditMotiv : public EditorBase {
  Q_OBJECT

 public:
  TFEditMotiv(Run& run, ClockSet& clocks, QWidget* parent = nullptr);

 protected:
  // Per mouse the sum over the selected motives, averaged over the mice.
  double OldValueFor(const std::vector<TMaus*>& mice) const override;
  void Assign(const std::vector<TMaus*>& mice, double value) override;
  Field RangeField() const override;

 private:
  double& Variable(TMotiv& motive) const;
};

}  // namespace murinex
