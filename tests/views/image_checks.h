#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

namespace murinex::test {

inline QColor PixelAt(const QImage& image, int x, int y) {
  return QColor(image.pixel(x, y)).toRgb();
}

// Whether some pixel of the rectangle has exactly that colour.
inline bool HasColourIn(const QImage& image, const QRect& area, const QColor& colour) {
  const QRect inside = area.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == (colour.rgb() & 0xFFFFFF)) return true;
  return false;
}

// Whether something other than the background was drawn into the rectangle.
inline bool HasOtherThan(const QImage& image, const QRect& area, const QColor& background) {
  const QRect inside = area.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) != (background.rgb() & 0xFFFFFF)) return true;
  return false;
}

inline bool HasColourNear(const QImage& image, int x, int y, int radius, const QColor& colour) {
  return HasColourIn(image, QRect(x - radius, y - radius, 2 * radius + 1, 2 * radius + 1), colour);
}

}  // namespace murinex::test
