#pragma once

#include <QWidget>

namespace murinex {

class Run;

// The colour legend: a swatch and the name of every need, goal and action.
class TFColor : public QWidget {
  Q_OBJECT

 public:
  explicit TFColor(const Run& run, QWidget* parent = nullptr);

  // Where the paint box lies in the window.
  static QRect PaintBoxRect() { return QRect(20, 20, 150, 570); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void DrawHeading(QPainter& p, int y, const QString& text) const;
  void DrawEntry(QPainter& p, int y, const QString& name, const QColor& colour) const;

  const Run& run_;
};

}  // namespace murinex
