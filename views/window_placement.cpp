#include "views/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace murinex {

namespace {

// The start of a span of `length` within [low, high], as near `wanted` as possible.
int Within(int wanted, int length, int low, int high) {
  return std::clamp(wanted, low, std::max(low, high + 1 - length));
}

}  // namespace

QMargins FrameMargins(const QWidget& window) {
  const QRect outer = window.frameGeometry();
  const QRect inner = window.geometry();
  return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
          outer.bottom() - inner.bottom()};
}

void PlaceFrame(QWidget& window, const QRect& frame) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QMargins margins = FrameMargins(window);
  window.resize(std::min(frame.width(), area.width()) - margins.left() - margins.right(),
                std::min(frame.height(), area.height()) - margins.top() - margins.bottom());
  // A minimum size may have kept the window larger than asked.
  const QSize outer = window.size().grownBy(margins);
  // The position of a window is that of its frame.
  window.move(Within(frame.x(), outer.width(), area.left(), area.right()),
              Within(frame.y(), outer.height(), area.top(), area.bottom()));
}

}  // namespace murinex
