#pragma once

#include <QImage>
#include <QWidget>

namespace murinex {

// The paint box of the main window: shows the back buffer of the world view,
// follows the pointer and reports presses.
class WorldView : public QWidget {
  Q_OBJECT

 public:
  explicit WorldView(QWidget* parent = nullptr);

  QImage& Buffer() { return buffer_; }
  const QImage& Buffer() const { return buffer_; }
  // The last pointer position over the box.
  QPoint Pointer() const { return pointer_; }

 signals:
  void Resized();
  void Pressed(Qt::MouseButton button, QPoint position);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QImage buffer_;
  QPoint pointer_{-1000, -1000};
};

}  // namespace murinex
