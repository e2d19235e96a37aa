#include "views/tf_genom.h"

#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <array>

#include "agent/maus.h"
#include "model/run.h"
#include "views/image_box.h"
#include "world/geometry.h"

namespace murinex {

namespace {

constexpr int BoxWidth = 700;
constexpr int BoxHeight = 300;
constexpr int AxisX = 50;
constexpr int AxisY = 230;
constexpr int GeneCount = 32;

const QColor LineColours[7] = {{255, 0, 0}, {0, 0, 255},   {0, 255, 255},  {0, 128, 0},
                               {0, 255, 0}, {255, 255, 0}, {128, 128, 128}};

// One plotted gene: its label, the colour of its group and its range.
struct Gene {
  QString label;
  QColor colour;
  const RangeRow* range;
  bool fromMinimum;  // scaled from the minimum of its range (the basal metabolism genes)
};

std::vector<Gene> Genes(const Settings& s) {
  std::vector<Gene> genes;
  for (int i = 1; i <= 7; ++i)
    genes.push_back({NeedNames[i], QColor(0, 128, 0), &s.MotWeightRanges[i], false});
  for (int j = 0; j < 15; ++j)
    genes.push_back({PersonParamNames[j], QColor(0, 0, 128), &s.PersonRanges[j], false});
  for (int i = 1; i <= 3; ++i)
    genes.push_back({NeedNames[i], QColor(0, 128, 128), &s.ReserveRanges[i - 1], false});
  for (int i = 1; i <= 7; ++i)
    genes.push_back({NeedNames[i], QColor(128, 0, 128), &s.BasalMetaBolRanges[i], true});
  return genes;
}

std::vector<double> GeneValues(const TGenom& g) {
  std::vector<double> values;
  for (int i = 1; i <= 7; ++i)
    values.push_back(g.MotWeights[i]);
  for (int j = 0; j < 15; ++j)
    values.push_back(g.PersonGenes[j]);
  for (int i = 1; i <= 3; ++i)
    values.push_back(g.ReserveGenes[i]);
  for (int i = 1; i <= 7; ++i)
    values.push_back(g.BasMetaGenes[i]);
  return values;
}

// The height of a gene on the 0..1 axis. A range of width 0 in the first three
// groups would divide by zero; such a gene is drawn at 0.
double Scaled(const Gene& gene, double value) {
  const double width = gene.range->maximum - gene.range->minimum;
  if (gene.fromMinimum) return width > 0 ? (value - gene.range->minimum) / width : width;
  return width != 0 ? value / width : 0;
}

int GeneX(int k) {
  return AxisX + 20 * (k - 1);
}

void DrawAxes(QPainter& p) {
  p.setPen(Qt::black);
  p.drawLine(AxisX, AxisY, AxisX, 30);
  for (int i = 0; i <= 10; ++i) {
    const int y = AxisY - 20 * i;
    p.setPen(Qt::black);
    p.drawLine(45, y, AxisX, y);
    p.setPen(Qt::blue);
    p.drawText(QRect(20, y - 5, 40, 20), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
               QString::number(i / 10.0, 'f', 2));
  }
  p.setPen(Qt::black);
  p.drawLine(AxisX, AxisY, 710, AxisY);
}

void DrawGeneLabels(QPainter& p, const std::vector<Gene>& genes) {
  QFont small = p.font();
  small.setPointSize(6);
  p.save();
  p.setFont(small);
  for (int k = 1; k <= GeneCount; ++k) {
    const int x = GeneX(k);
    const int s = k % 3 == 1 ? 0 : k % 3 == 2 ? 13 : 26;
    p.setPen(Qt::black);
    p.drawLine(x, 235, x, AxisY);
    p.setPen(genes[k - 1].colour);
    const QRect clip(QPoint(x - 5, 237 + s), QPoint(x + 45 - 1, 249 + s - 1));
    p.setClipRect(clip);
    p.drawText(clip, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, genes[k - 1].label);
    p.setClipping(false);
  }
  p.restore();
}

void DrawGroupTitles(QPainter& p) {
  p.setPen(Qt::red);
  const std::pair<int, const char*> titles[] = {
      {90, "MotWeights"}, {290, "Person"}, {460, "Reserve"}, {580, "BasalMetaBol"}};
  for (const auto& [x, text] : titles)
    p.drawText(QRect(x, 280, 200, 20), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

// A triangle on the edge of the scale, its tip `direction` (-1 up, 1 down) beyond it.
void DrawOffScale(QPainter& p, QPoint edge, int direction) {
  const QPoint tip = edge + QPoint(0, 6 * direction);
  const std::array<QPoint, 3> corners = {tip, edge + QPoint(-3, 0), edge + QPoint(3, 0)};
  p.drawPolygon(corners.data(), 3);
}

void DrawMouse(QPainter& p, const std::vector<Gene>& genes, const TGenom& genom,
               const QColor& colour) {
  p.setPen(colour);
  p.setBrush(QColor(192, 192, 192));
  const std::vector<double> values = GeneValues(genom);
  QPoint previous;
  for (int k = 1; k <= GeneCount; ++k) {
    const double v = Scaled(genes[k - 1], values[k - 1]);
    // A gene off the scale (a weight of 2, a reserve in the hundreds) stands on
    // its edge, marked by a triangle pointing the way it lies off, and never
    // runs out of the picture or through the labels.
    const double shown = v > 1 ? 1 : v >= 0 ? v : 0;
    const QPoint point(GeneX(k), RoundHalfEven(AxisY - 200 * shown));
    if (k > 1) p.drawLine(previous, point);
    if (v == shown)
      p.drawEllipse(QRect(point.x() - 2, point.y() - 2, 4, 4));
    else
      DrawOffScale(p, point, v > 1 ? -1 : 1);
    previous = point;
  }
  p.setBrush(Qt::NoBrush);
}

}  // namespace

TFGenom::TFGenom(Run& run, QWidget* parent) : QDialog(parent), run_(run) {
  setWindowTitle("Genom");
  setModal(true);
  setWindowFlag(Qt::WindowStaysOnTopHint);
  setFixedSize(750, 400);
  box_ = new ImageBox(this);
  box_->setGeometry(24, 24, BoxWidth, BoxHeight);
  auto* show = new QPushButton("Show Genomes", this);
  show->setGeometry(564, 336, 90, 25);
  QFont small = show->font();  // the caption fits the narrow button
  small.setPointSize(8);
  show->setFont(small);
  connect(show, &QPushButton::clicked, this, &TFGenom::ShowGenomes);
}

void TFGenom::ShowGenomes() {
  box_->SetPicture(DrawGenomes(run_));
}

QImage TFGenom::DrawGenomes(Run& run) {
  QImage picture(BoxWidth, BoxHeight, QImage::Format_RGB32);
  picture.fill(QColor(192, 192, 192));
  QPainter p(&picture);
  // Small labels stay crisp, in exactly their group's colour.
  QFont font = p.font();
  font.setStyleStrategy(QFont::NoAntialias);
  p.setFont(font);
  const std::vector<Gene> genes = Genes(run.settings);
  DrawAxes(p);
  DrawGeneLabels(p, genes);
  DrawGroupTitles(p);
  int c = 0;
  for (auto& m : run.Mice) {
    CopyGenom(*m);
    DrawMouse(p, genes, *m->Genom, LineColours[c]);
    c = (c + 1) % 7;
  }
  return picture;
}

}  // namespace murinex
