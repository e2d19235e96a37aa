#include "app/movie_frame.h"

#include <QFont>
#include <QPainter>
#include <algorithm>

#include "app/world_painter.h"
#include "model/run.h"

namespace murinex {

namespace {

// The caption grows with the frame, so it stays readable in large movies.
int CaptionPixels(QSize size) {
  return std::clamp(size.height() / 36, 10, 48);
}

QFont CaptionFont(QSize size) {
  QFont font;
  font.setPixelSize(CaptionPixels(size));
  font.setBold(true);
  return font;
}

}  // namespace

QString CaptionText(int tick, std::size_t mice) {
  return QString("Tick %1   %2 mice").arg(tick).arg(mice);
}

QRect CaptionRect(QSize size, const QString& text) {
  const int pixels = CaptionPixels(size);
  const QFontMetrics metrics(CaptionFont(size));
  const int width = metrics.horizontalAdvance(text) + pixels;
  return QRect(0, 0, std::min(width, size.width()), std::min(pixels * 3 / 2 + 4, size.height()));
}

QImage MovieFrame(const Run& run, const MouseImages& images, QSize size, bool showRelations) {
  QImage frame(size, QImage::Format_RGB32);
  WorldPainter(run, images, showRelations).DrawScene(frame);
  QPainter p(&frame);
  const QString text = CaptionText(run.TickCount, run.Mice.size());
  const QRect box = CaptionRect(size, text);
  p.fillRect(box, QColor(255, 255, 255, 200));
  p.setPen(Qt::black);
  p.setFont(CaptionFont(size));
  p.drawText(box.adjusted(CaptionPixels(size) / 2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
             text);
  return frame;
}

}  // namespace murinex
