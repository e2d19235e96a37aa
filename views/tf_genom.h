#pragma once

#include <QDialog>

namespace murinex {

class ImageBox;
class Run;

// The genome view: one polyline per living mouse over the 32 genes that
// matter, each gene scaled by its range in the settings.
class TFGenom : public QDialog {
  Q_OBJECT

 public:
  explicit TFGenom(Run& run, QWidget* parent = nullptr);

  // "Show Genomes": draws the axes and the lines into the paint box.
  void ShowGenomes();
  const ImageBox& PaintBox() const { return *box_; }

  // The whole picture of the paint box (700 x 300). Refreshes every mouse's Genom.
  static QImage DrawGenomes(Run& run);

 private:
  Run& run_;
  ImageBox* box_ = nullptr;
};

}  // namespace murinex
