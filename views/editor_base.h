#pragma once

#include <QDialog>
#include <QStringList>
#include <vector>

#include "world/input_ranges.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace murinex {

class ClockSet;
class Run;
class TMaus;

// What the parameter editor and the motive editor share: the list of living
// mice, the variable list, the old and the new value and the buttons. While
// an editor is shown every clock of the program is stopped; hiding it starts
// them all again. A new value passes the same range check as the value in a
// population file; when it is refused, the editor says why below the field.
class EditorBase : public QDialog {
  Q_OBJECT

 public:
  // The mouse preselected at the next opening (the one picked in the world view).
  void SetMaus(TMaus* m) { mouse_ = m; }

  bool ValidState() const;
  bool ValidNewValue() const;
  // Assigns the new value to every selected mouse (and motive), if it is valid.
  void Apply();
  void ShowOldValue();
  void SelectAllMice();
  void ClearMice();

  QListWidget* MouseList() const { return lbMouse_; }
  QListWidget* MotivList() const { return lbMotiv_; }
  QListWidget* VarList() const { return lbVar_; }
  QLineEdit* OldValue() const { return eOldValue_; }
  QLineEdit* NewValue() const { return eNewValue_; }
  QPushButton* ApplyButton() const { return apply_; }
  // Why the new value cannot be taken, or how it is read (empty when plain).
  QLabel* Reason() const { return reason_; }

  // A real with the point as decimal separator; a single decimal comma
  // without a point is read as the point.
  static bool ParseValue(const QString& text, double& value);

 protected:
  // withMotives adds the list of the eight needs (the motive editor).
  EditorBase(Run& run, ClockSet& clocks, const QString& caption, const QStringList& variables,
             bool withMotives, QWidget* parent);

  // The value shown as old value for the selected mice; the state is valid.
  virtual double OldValueFor(const std::vector<TMaus*>& mice) const = 0;
  virtual void Assign(const std::vector<TMaus*>& mice, double value) = 0;
  // The range of the selected variable, as the population file's reader checks it.
  virtual Field RangeField() const = 0;

  std::vector<TMaus*> SelectedMice() const;
  int SelectedVariable() const;
  std::vector<int> SelectedMotives() const;

  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildLayout(bool withMotives);
  void Refill();
  void UpdateApply();
  // Whether the new value can be taken (then in `value`); if not, `why` says
  // why, or stays empty while there is nothing to judge yet.
  bool Acceptable(double& value, QString& why) const;

  Run& run_;
  ClockSet& clocks_;
  TMaus* mouse_ = nullptr;
  QStringList variables_;
  QListWidget* lbMouse_ = nullptr;
  QListWidget* lbMotiv_ = nullptr;
  QListWidget* lbVar_ = nullptr;
  QLineEdit* eOldValue_ = nullptr;
  QLineEdit* eNewValue_ = nullptr;
  QPushButton* apply_ = nullptr;
  QLabel* reason_ = nullptr;
};

}  // namespace murinex
