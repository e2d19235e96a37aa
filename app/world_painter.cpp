#include "app/world_painter.h"

#include <QPainter>
#include <QPolygon>
#include <cmath>

#include "agent/maus.h"
#include "app/mouse_images.h"
#include "model/run.h"
#include "views/colour.h"

namespace murinex {

namespace {

const QColor Silver(192, 192, 192);

QPoint ToQt(TPoint p) {
  return QPoint(p.x, p.y);
}

// A disc in the rectangle from (left, top) to (right, bottom), right and bottom
// excluded, outlined and filled.
void Disc(QPainter& p, int left, int top, int right, int bottom, const QColor& outline,
          const QColor& fill) {
  p.setPen(QPen(outline, 1));
  p.setBrush(fill);
  p.drawEllipse(QRect(QPoint(left, top), QPoint(right - 2, bottom - 2)));
}

// A colour channel from a value in 0..1, rounded halves to even, taken as a byte.
int Channel(double value) {
  return static_cast<int>(std::nearbyint(value * 255)) & 0xFF;
}

}  // namespace

WorldPainter::WorldPainter(const Run& run, const MouseImages& images, bool showRelations)
    : run_(run), images_(images), showRelations_(showRelations) {}

void WorldPainter::Draw(QImage& buffer, QPoint pointer) const {
  DrawScene(buffer);
  const ViewGeometry view = Geometry(buffer);
  if (!view.Valid()) return;
  QPainter p(&buffer);
  DrawLabel(p, view, pointer, view.bufferWidth);
}

void WorldPainter::DrawScene(QImage& buffer) const {
  if (buffer.isNull()) return;
  QPainter p(&buffer);
  p.fillRect(QRect(QPoint(0, 0), buffer.deviceIndependentSize().toSize()), Background());
  const ViewGeometry view = Geometry(buffer);
  if (!view.Valid()) return;
  DrawTerrain(p, view);
  DrawPlaces(p, view);
  DrawSelection(p, view);
  DrawMice(p, view);
}

ViewGeometry WorldPainter::Geometry(const QImage& buffer) const {
  if (buffer.isNull() || !run_.World) return {};
  // A buffer with a device pixel ratio holds the picture of a view of its
  // logical size, drawn finer.
  const QSize size = buffer.deviceIndependentSize().toSize();
  return ViewGeometry::Fit(run_.World->WorldWidth, run_.World->WorldHeight, size.width(),
                           size.height());
}

void WorldPainter::DrawTerrain(QPainter& p, const ViewGeometry& view) const {
  p.setPen(QPen(Qt::black, 1));
  for (const auto& terra : run_.World->TerraList) {
    QPolygon polygon;
    for (TPoint point : terra->Points)
      polygon << ToQt(view.WorldToScreen(point));
    const bool first = terra.get() == run_.World->FirstTerra;
    p.setBrush(first ? FirstTerraColour() : BgrColour(terra->Colour));
    p.drawPolygon(polygon, Qt::OddEvenFill);
  }
  p.setBrush(Qt::NoBrush);
}

void WorldPainter::DrawPlaces(QPainter& p, const ViewGeometry& view) const {
  const TMaus* m = run_.Selected();
  if (!m) return;
  const PlaceList& places = m->GoalLocations;
  for (std::size_t i = 0; i < places.size(); ++i) {
    const TGoalAvLoc& place = places[i];
    const TPoint s = view.WorldToScreen(place.Pos);
    if (const TGoalAvLoc* next = places.Find(place.Next)) {
      p.setPen(QPen(Silver, 1));
      p.drawLine(ToQt(s), ToQt(view.WorldToScreen(next->Pos)));
    }
    const QColor fill = places.HandleAt(i) == m->TargetLoc
                            ? QColor(255, 0, 0)
                            : BgrColour(GoalColours[place.Kind() % goal::Count]);
    const QColor outline = place.Sign == '+'   ? QColor(Qt::white)
                           : place.Sign == '-' ? QColor(Qt::black)
                                               : Silver;
    Disc(p, s.x - 4, s.y - 4, s.x + 4, s.y + 4, outline, fill);
  }
}

void WorldPainter::DrawSelection(QPainter& p, const ViewGeometry& view) const {
  const TMaus* m = run_.Selected();
  if (!m) return;
  const TPoint s = view.WorldToScreen(m->Position);
  Disc(p, s.x - 10, s.y - 10, s.x + 11, s.y + 11, Qt::white, Qt::white);
  if (!showRelations_) return;
  for (const TFrinEn& e : m->Relations) {
    const TMaus* other = run_.Mice.Find(e.Other);
    if (!other) continue;
    const TPoint o = view.WorldToScreen(other->Position);
    const QColor colour(Channel(1 - e.Friendship), 0, Channel(e.Enmity + 1));
    Disc(p, o.x - 10, o.y - 10, o.x + 11, o.y + 11, colour, colour);
  }
}

void WorldPainter::DrawMice(QPainter& p, const ViewGeometry& view) const {
  const int lifeSpan = run_.settings.LifeSpan();
  for (const auto& m : run_.Mice) {
    const TPoint s = view.WorldToScreen(m->Position);
    const auto kind = MouseImages::KindForAge(m->Age, lifeSpan);
    if (images_.Mask(kind, m->Facing).isNull()) continue;  // no pictures loaded
    const QPoint corner(s.x - 7, s.y - 7);
    p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    p.drawImage(corner, images_.Mask(kind, m->Facing));
    p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    p.drawImage(corner, images_.Sprite(kind, m->Facing));
  }
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

QString WorldPainter::Label(const ViewGeometry& view, QPoint pointer) const {
  const TMaus* m = MausAt(run_, view, {pointer.x(), pointer.y()}, 100);
  return m ? QString::number(m->ID) : QString("MouseTry");
}

void WorldPainter::DrawLabel(QPainter& p, const ViewGeometry& view, QPoint pointer,
                             int bufferWidth) const {
  const QString text = Label(view, pointer);
  const QFontMetrics fm = p.fontMetrics();
  p.setPen(Qt::black);
  p.setBackgroundMode(Qt::TransparentMode);
  p.drawText(bufferWidth - fm.horizontalAdvance(text) - 10, 10 + fm.ascent(), text);
}

}  // namespace murinex
