#pragma once

#include <QImage>
#include <QWidget>

namespace murinex {

// A paint box that keeps its picture: whatever was drawn into it is shown
// again whenever the window system asks for a repaint.
class ImageBox : public QWidget {
  Q_OBJECT

 public:
  explicit ImageBox(QWidget* parent = nullptr);
  void SetPicture(const QImage& picture);
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
};

}  // namespace murinex
