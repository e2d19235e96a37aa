#include "views/image_box.h"

#include <QPainter>

namespace murinex {

ImageBox::ImageBox(QWidget* parent) : QWidget(parent) {}

void ImageBox::SetPicture(const QImage& picture) {
  picture_ = picture;
  update();
}

void ImageBox::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter p(this);
  p.drawImage(0, 0, picture_);
}

}  // namespace murinex
