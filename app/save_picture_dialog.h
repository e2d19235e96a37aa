#pragma once

#include <QDialog>
#include <QSize>

class QDoubleSpinBox;
class QLabel;
class QLineEdit;

namespace murinex {

// "Bild speichern…": where to write the world view as PNG, and at which scale
// of its current size.
class SavePictureDialog : public QDialog {
  Q_OBJECT

 public:
  SavePictureDialog(const QString& path, QSize viewSize, QWidget* parent = nullptr);

  QString Path() const;
  double Scale() const;
  // The size of the picture at a scale.
  static QSize ScaledSize(QSize viewSize, double scale);

 private:
  void Browse();
  void ShowSize();

  QSize viewSize_;
  QLineEdit* path_ = nullptr;
  QDoubleSpinBox* scale_ = nullptr;
  QLabel* size_ = nullptr;
};

}  // namespace murinex
