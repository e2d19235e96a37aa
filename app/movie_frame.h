#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

namespace murinex {

class MouseImages;
class Run;

// One frame of a movie of a run: the world view as the main window draws it
// (without the label of the mouse under the pointer, as no pointer is there)
// and a caption with the tick and the population in the top left corner.
// showRelations: the discs of the picked mouse's friends and enemies ("FreundFeind").
QImage MovieFrame(const Run& run, const MouseImages& images, QSize size, bool showRelations);
// Where the caption of that text lies in a frame of that size; the rest is the world view.
QRect CaptionRect(QSize size, const QString& text);
QString CaptionText(int tick, std::size_t mice);

}  // namespace murinex
