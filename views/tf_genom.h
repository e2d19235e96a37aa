#pragma once

#include <QDialog>

namespace murinex {

class ImageBox;
class Run;

// The genome view: one polyline per living mouse over 32 genes, each scaled by
// its range in the settings: the 36 genes of a genome dump line without the
// reserve genes of Sex, Affil, Cert and Comp, which are always 0.
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
