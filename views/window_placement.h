#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace murinex {

// The frame a window manager draws around `window`; none until it is shown
// (and none without a window manager).
QMargins FrameMargins(const QWidget& window);

// Gives `window` the outer rectangle `frame` (its frame included), made smaller
// and moved as far as needed to lie inside the available area of the screen.
void PlaceFrame(QWidget& window, const QRect& frame);

}  // namespace murinex
