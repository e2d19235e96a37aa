#include "app/save_picture_dialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

namespace murinex {

SavePictureDialog::SavePictureDialog(const QString& path, QSize viewSize, QWidget* parent)
    : QDialog(parent), viewSize_(viewSize) {
  setWindowTitle("Bild speichern…");
  path_ = new QLineEdit(path, this);
  path_->setMinimumWidth(360);
  auto* browse = new QPushButton("…", this);
  connect(browse, &QPushButton::clicked, this, &SavePictureDialog::Browse);
  auto* file = new QHBoxLayout;
  file->addWidget(path_, 1);
  file->addWidget(browse);

  scale_ = new QDoubleSpinBox(this);
  scale_->setRange(0.25, 8);
  scale_->setSingleStep(0.25);
  scale_->setDecimals(2);
  scale_->setValue(1);
  scale_->setSuffix(" ×");
  size_ = new QLabel(this);
  connect(scale_, &QDoubleSpinBox::valueChanged, this, &SavePictureDialog::ShowSize);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* form = new QFormLayout(this);
  form->addRow("PNG-Datei:", file);
  form->addRow("Maßstab:", scale_);
  form->addRow("Größe:", size_);
  form->addRow(buttons);
  ShowSize();
}

QString SavePictureDialog::Path() const {
  return path_->text().trimmed();
}

double SavePictureDialog::Scale() const {
  return scale_->value();
}

QSize SavePictureDialog::ScaledSize(QSize viewSize, double scale) {
  return QSize(static_cast<int>(std::lround(viewSize.width() * scale)),
               static_cast<int>(std::lround(viewSize.height() * scale)));
}

void SavePictureDialog::Browse() {
  const QString chosen =
      QFileDialog::getSaveFileName(this, "Bild speichern…", Path(), "PNG (*.png)");
  if (!chosen.isEmpty()) path_->setText(chosen);
}

void SavePictureDialog::ShowSize() {
  const QSize size = ScaledSize(viewSize_, Scale());
  size_->setText(QString("%1 × %2 pixels").arg(size.width()).arg(size.height()));
}

}  // namespace murinex
