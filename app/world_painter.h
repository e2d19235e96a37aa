#pragma once

#include <QImage>
#include <QPoint>

#include "app/world_geometry.h"

class QPainter;

namespace murinex {

class MouseImages;
class Run;

// DrawWorld: the terrain, the picked mouse's places, the selection and relation
// discs, the mice and the label of the mouse under the pointer, drawn into the
// back buffer.
class WorldPainter {
 public:
  // showRelations: the discs of the picked mouse's friends and enemies ("FreundFeind").
  WorldPainter(const Run& run, const MouseImages& images, bool showRelations);

  void Draw(QImage& buffer, QPoint pointer) const;
  // Everything but the label of the mouse under the pointer (for pictures
  // made without a pointer, such as the frames of a movie).
  void DrawScene(QImage& buffer) const;
  // The placement of the world in a buffer; invalid without a world.
  ViewGeometry Geometry(const QImage& buffer) const;

  static QColor Background() { return QColor(102, 255, 255); }
  static QColor FirstTerraColour() { return QColor(187, 170, 153); }
  // The label text: the ID of the mouse within 100 of the pointer, or "MouseTry".
  QString Label(const ViewGeometry& view, QPoint pointer) const;

 private:
  void DrawTerrain(QPainter& p, const ViewGeometry& view) const;
  void DrawPlaces(QPainter& p, const ViewGeometry& view) const;
  void DrawSelection(QPainter& p, const ViewGeometry& view) const;
  void DrawMice(QPainter& p, const ViewGeometry& view) const;
  void DrawLabel(QPainter& p, const ViewGeometry& view, QPoint pointer, int bufferWidth) const;

  const Run& run_;
  const MouseImages& images_;
  bool showRelations_;
};

}  // namespace murinex
