#include "views/tf_color.h"

#include <QPainter>

#include "agent/names.h"
#include "model/run.h"
#include "views/colour.h"

namespace murinex {

TFColor::TFColor(const Run& run, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), run_(run) {
  setWindowTitle("Farben");
  setGeometry(200, 200, 180, 630);
}

void TFColor::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect box = PaintBoxRect();
  p.translate(box.topLeft());
  p.setClipRect(QRect(QPoint(0, 0), box.size()));
  p.fillRect(QRect(QPoint(0, 0), box.size()), palette().button());
  p.setBackgroundMode(Qt::OpaqueMode);
  p.setBackground(palette().button());
  p.setPen(palette().buttonText().color());

  DrawHeading(p, 10, "Needs");
  for (int i = 0; i < need::Count; ++i)
    DrawEntry(p, 25 + 15 * i, NeedNames[i], BgrColour(NeedColours[i]));
  DrawHeading(p, 160, "Goals");
  for (int k = 0; k < goal::Count; ++k)
    DrawEntry(p, 175 + 15 * k, GoalNames[k], BgrColour(GoalColours[k]));
  DrawHeading(p, 355, "Actions");
  const auto& actions = run_.settings.ActionSettings;
  for (int k = 0; k < action::Count; ++k)
    DrawEntry(p, 370 + 15 * k, ActionNames[k],
              BgrColour(static_cast<std::uint32_t>(actions[static_cast<std::size_t>(k)].colour)));
}

void TFColor::DrawHeading(QPainter& p, int y, const QString& text) const {
  QFont bold = font();
  bold.setBold(true);
  bold.setPointSize(10);
  p.setFont(bold);
  p.drawText(QRect(10, y, 140, 20), Qt::AlignLeft | Qt::AlignTop, text);
}

void TFColor::DrawEntry(QPainter& p, int y, const QString& name, const QColor& colour) const {
  QFont normal = font();
  normal.setPointSize(8);
  p.setFont(normal);
  p.drawText(QRect(10, y, 88, 15), Qt::AlignLeft | Qt::AlignTop, name);
  p.fillRect(QRect(100, y, 20, 15), colour);
}

}  // namespace murinex
