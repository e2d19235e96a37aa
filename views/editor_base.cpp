#include "views/editor_base.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "agent/maus.h"
#include "model/run.h"
#include "views/clock_set.h"
#include "world/format.h"

namespace murinex {

namespace {

QPushButton* Button(const QString& text, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  // Enter belongs to the new value field; no button takes it.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

QListWidget* List(QAbstractItemView::SelectionMode mode, QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setSelectionMode(mode);
  return list;
}

}  // namespace

EditorBase::EditorBase(Run& run, ClockSet& clocks, const QString& caption,
                       const QStringList& variables, bool withMotives, QWidget* parent)
    : QDialog(parent), run_(run), clocks_(clocks), variables_(variables) {
  setWindowTitle(caption);
  setModal(true);
  // Above the chart windows, which stay on top of the main window.
  setWindowFlag(Qt::WindowStaysOnTopHint);
  BuildLayout(withMotives);
  eOldValue_->setEnabled(false);
  lbMouse_->setFocus();
}

void EditorBase::BuildLayout(bool withMotives) {
  auto* columns = new QHBoxLayout(this);

  auto* left = new QVBoxLayout;
  lbMouse_ = List(QAbstractItemView::ExtendedSelection, this);
  left->addWidget(lbMouse_);
  auto* leftBar = new QHBoxLayout;
  QPushButton* all = Button("Alle auswählen", this);
  QPushButton* none = Button("Auswahl aufheben", this);
  leftBar->addWidget(all);
  leftBar->addWidget(none);
  left->addLayout(leftBar);
  columns->addLayout(left, 2);

  if (withMotives) {
    lbMotiv_ = List(QAbstractItemView::ExtendedSelection, this);
    columns->addWidget(lbMotiv_, 1);
  }

  auto* right = new QVBoxLayout;
  lbVar_ = List(QAbstractItemView::SingleSelection, this);
  right->addWidget(lbVar_);
  right->addWidget(new QLabel("Alter Wert:", this));
  eOldValue_ = new QLineEdit(this);
  eOldValue_->setReadOnly(true);
  right->addWidget(eOldValue_);
  right->addWidget(new QLabel("Neuer Wert:", this));
  eNewValue_ = new QLineEdit(this);
  right->addWidget(eNewValue_);
  reason_ = new QLabel(this);
  reason_->setWordWrap(true);
  reason_->setStyleSheet("QLabel { color: #b00000; }");
  right->addWidget(reason_);
  auto* rightBar = new QHBoxLayout;
  apply_ = Button("Wert übernehmen", this);
  QPushButton* close = Button("Fenster schliessen", this);
  rightBar->addWidget(apply_);
  rightBar->addWidget(close);
  right->addLayout(rightBar);
  columns->addLayout(right, 2);

  connect(all, &QPushButton::clicked, this, &EditorBase::SelectAllMice);
  connect(none, &QPushButton::clicked, this, &EditorBase::ClearMice);
  connect(apply_, &QPushButton::clicked, this, &EditorBase::Apply);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(eNewValue_, &QLineEdit::textChanged, this, &EditorBase::UpdateApply);
  for (QListWidget* list : {lbMouse_, lbMotiv_, lbVar_}) {
    if (!list) continue;
    connect(list, &QListWidget::itemSelectionChanged, this, &EditorBase::ShowOldValue);
    list->installEventFilter(this);
  }
  eNewValue_->installEventFilter(this);
  resize(640, 450);  // room for the reason below the new value
}

void EditorBase::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  clocks_.SetRunning(false, "editor \"" + windowTitle() + "\" opened");
  Refill();
  eNewValue_->clear();
  ShowOldValue();
}

void EditorBase::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (event->spontaneous()) return;
  // The clocks start again even if the user had stopped them before.
  clocks_.SetRunning(true, "editor \"" + windowTitle() + "\" closed");
}

void EditorBase::Refill() {
  const QSignalBlocker blockMice(lbMouse_);
  const QSignalBlocker blockVars(lbVar_);
  lbMouse_->clear();
  int handedOver = -1;
  for (std::size_t i = 0; i < run_.Mice.size(); ++i) {
    const TMaus& m = *run_.Mice[i];
    lbMouse_->addItem(QString::asprintf("%d: %s", m.ID, m.Lineage.c_str()));
    if (&m == mouse_) handedOver = static_cast<int>(i);
  }
  if (lbMouse_->count() > 0) lbMouse_->item(0)->setSelected(true);
  if (handedOver >= 0) {
    lbMouse_->clearSelection();
    lbMouse_->item(handedOver)->setSelected(true);
    lbMouse_->setCurrentRow(handedOver, QItemSelectionModel::NoUpdate);
  }
  if (lbMotiv_) {
    const QSignalBlocker blockMotives(lbMotiv_);
    lbMotiv_->clear();
    for (const char* name : NeedNames)
      lbMotiv_->addItem(name);
    lbMotiv_->item(0)->setSelected(true);
  }
  lbVar_->clear();
  lbVar_->addItems(variables_);
  if (lbVar_->count() > 0) lbVar_->setCurrentRow(0);
}

std::vector<TMaus*> EditorBase::SelectedMice() const {
  std::vector<TMaus*> mice;
  for (int row = 0; row < lbMouse_->count(); ++row)
    if (lbMouse_->item(row)->isSelected() && row < static_cast<int>(run_.Mice.size()))
      mice.push_back(run_.Mice[static_cast<std::size_t>(row)].get());
  return mice;
}

int EditorBase::SelectedVariable() const {
  for (int row = 0; row < lbVar_->count(); ++row)
    if (lbVar_->item(row)->isSelected()) return row;
  return -1;
}

std::vector<int> EditorBase::SelectedMotives() const {
  std::vector<int> motives;
  if (!lbMotiv_) return motives;
  for (int row = 0; row < lbMotiv_->count(); ++row)
    if (lbMotiv_->item(row)->isSelected()) motives.push_back(row);
  return motives;
}

bool EditorBase::ValidState() const {
  if (SelectedMice().empty()) return false;
  const int variable = SelectedVariable();
  if (variable < 0 || variable >= variables_.size()) return false;
  return !lbMotiv_ || !SelectedMotives().empty();
}

bool EditorBase::ParseValue(const QString& text, double& value) {
  QString number = text;
  // "0,5" is what a German keyboard gives; with a point as well it is no number.
  if (number.count(',') == 1 && !number.contains('.')) number.replace(',', '.');
  bool ok = false;
  value = number.toDouble(&ok);  // always the point, whatever the locale
  return ok && std::isfinite(value);
}

bool EditorBase::Acceptable(double& value, QString& why) const {
  const QString text = eNewValue_->text().trimmed();
  if (text.isEmpty() || !ValidState()) return false;
  if (!ParseValue(text, value)) {
    why = "\"" + text +
          "\" is not a number: write it with the decimal point (0.5) or one decimal comma (0,5).";
    return false;
  }
  const Field field = RangeField();
  if (InRange(field, value)) return true;
  const ValueRange& range = RangeOf(field);
  why = variables_[SelectedVariable()] +
        QString::fromStdString(" must lie between " + FormatGeneral(range.minimum) + " and " +
                               FormatGeneral(range.maximum) + " (" + range.reason +
                               "), as in a population file; " + FormatGeneral(value) +
                               " is refused.");
  return false;
}

bool EditorBase::ValidNewValue() const {
  double value = 0;
  QString why;
  return Acceptable(value, why);
}

void EditorBase::ShowOldValue() {
  eOldValue_->clear();
  if (ValidState()) eOldValue_->setText(QString::number(OldValueFor(SelectedMice()), 'g', 15));
  UpdateApply();
}

void EditorBase::UpdateApply() {
  double value = 0;
  QString why;
  const bool acceptable = Acceptable(value, why);
  apply_->setEnabled(acceptable);
  // A decimal comma is taken, and the user sees how it was read.
  if (acceptable && eNewValue_->text().contains(','))
    why = "read as " + QString::number(value, 'g', 15);
  reason_->setText(why);
}

void EditorBase::Apply() {
  double value = 0;
  QString why;
  if (!Acceptable(value, why)) return;
  Assign(SelectedMice(), value);
  eNewValue_->clear();
  ShowOldValue();
}

void EditorBase::SelectAllMice() {
  lbMouse_->selectAll();
  ShowOldValue();
}

void EditorBase::ClearMice() {
  lbMouse_->clearSelection();
  ShowOldValue();
}

bool EditorBase::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if (watched == eNewValue_) {
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    Apply();
    return true;
  }
  auto* list = qobject_cast<QListWidget*>(watched);
  const bool multi = list && list->selectionMode() == QAbstractItemView::ExtendedSelection;
  if (!multi || !(key->modifiers() & Qt::ControlModifier)) return false;
  if (key->key() == Qt::Key_A)
    list->selectAll();
  else if (key->key() == Qt::Key_U)
    list->clearSelection();
  else
    return false;
  ShowOldValue();
  return true;
}

}  // namespace murinex
