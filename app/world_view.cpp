#include "app/world_view.h"

#include <QMouseEvent>
#include <QPainter>

namespace murinex {

WorldView::WorldView(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::CrossCursor);
  setMouseTracking(true);
  // The buffer covers the whole box: nothing to erase, so nothing flickers.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
}

void WorldView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, buffer_);
}

void WorldView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  buffer_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  emit Resized();
}

void WorldView::mouseMoveEvent(QMouseEvent* event) {
  pointer_ = event->position().toPoint();
}

void WorldView::mousePressEvent(QMouseEvent* event) {
  pointer_ = event->position().toPoint();
  emit Pressed(event->button(), pointer_);
}

}  // namespace murinex
