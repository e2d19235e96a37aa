#include "views/chart_widget.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "views/colour.h"

namespace murinex {

namespace {

constexpr int Margin = 6;
constexpr int DepthPerSeries = 4;
constexpr int MaxDepth = 32;
constexpr int LegendLineLength = 16;

// Ticks at whole multiples of the step within [minimum, maximum].
std::vector<double> Ticks(double minimum, double maximum, double step) {
  std::vector<double> ticks;
  if (step <= 0 || maximum < minimum) return ticks;
  for (double k = std::ceil(minimum / step - 1e-9); k * step <= maximum + 1e-9; k += 1)
    ticks.push_back(k * step);
  return ticks;
}

}  // namespace

ChartWidget::ChartWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(40, 20);
}

void ChartWidget::SetSeries(std::vector<const TLineSeries*> series) {
  series_ = std::move(series);
  update();
}

void ChartWidget::SetBand(const TLineSeries* band) {
  band_ = band;
  update();
}

void ChartWidget::SetBottomRange(double maximum) {
  bottomMax_ = maximum;
  update();
}

void ChartWidget::SetBottomStep(double step) {
  bottomStep_ = step;
  update();
}

void ChartWidget::SetLeftRange(double minimum, double maximum) {
  leftMin_ = minimum;
  leftMax_ = maximum;
  update();
}

void ChartWidget::SetLeftStep(double step) {
  leftStep_ = step;
  update();
}

void ChartWidget::SetLeftAxisVisible(bool visible) {
  leftAxisVisible_ = visible;
  update();
}

void ChartWidget::SetLegendVisible(bool visible) {
  legendVisible_ = visible;
  update();
}

void ChartWidget::SetLegendShadow(int pixels) {
  legendShadow_ = pixels;
  update();
}

void ChartWidget::SetView3D(bool on) {
  view3D_ = on;
  update();
}

void ChartWidget::SetPenWidth(int width) {
  penWidth_ = width;
  update();
}

void ChartWidget::SetPageOffset(double offset) {
  pageOffset_ = offset;
  update();
}

void ChartWidget::SetSampleTicks(std::vector<std::int32_t> ticks) {
  sampleTicks_ = std::move(ticks);
  if (tickAxis_) update();
}

void ChartWidget::SetTickAxis(bool on) {
  tickAxis_ = on;
  update();
}

QString ChartWidget::BottomText(double position) const {
  if (!tickAxis_) return BottomLabel(position, pageOffset_);
  const long index = std::lround(position);
  if (index < 0 || index >= static_cast<long>(sampleTicks_.size())) return {};
  return QString::number(sampleTicks_[static_cast<std::size_t>(index)]);
}

void ChartWidget::SetBackground(const QColor& colour) {
  background_ = colour;
  update();
}

void ChartWidget::Set3D(bool on) {
  SetView3D(on);
  if (on)
    SetLeftRange(0, 1);
  else
    SetLeftRange(-0.05, 1.05);
  SetLegendShadow(on ? 3 : 0);
  SetPenWidth(on ? 1 : 2);
}

QString ChartWidget::BottomLabel(double tick, double pageOffset) {
  return QString::number(tick + pageOffset, 'g', 15);
}

QString ChartWidget::LeftLabel(double value) {
  // Whole multiples of the step carry rounding noise (0.30000000000000004).
  const double rounded = std::round(value * 1e9) / 1e9;
  return QString::number(rounded == 0 ? 0.0 : rounded, 'g', 10);
}

int ChartWidget::Depth() const {
  if (!view3D_ || band_) return 0;
  const int n = std::max<int>(1, static_cast<int>(series_.size()));
  return std::min(MaxDepth, n * DepthPerSeries);
}

int ChartWidget::LegendWidth() const {
  if (!legendVisible_ || band_ || series_.empty()) return 0;
  int widest = 0;
  for (const TLineSeries* s : series_)
    widest = std::max(widest, fontMetrics().horizontalAdvance(QString::fromStdString(s->Title)));
  return widest + LegendLineLength + 3 * Margin + legendShadow_;
}

QRect ChartWidget::PlotArea() const {
  const QFontMetrics fm = fontMetrics();
  // The room of the left labels is kept without them, so that stacked charts line up.
  const int left = Margin + fm.horizontalAdvance("-0.05") + Margin;
  const int bottom = height() - fm.height() - Margin / 2;
  const int top = (band_ ? 2 : Margin) + Depth();
  const int right = width() - Margin - fm.horizontalAdvance("0000") / 2 - LegendWidth() - Depth();
  return QRect(QPoint(left, top), QPoint(std::max(left + 1, right), std::max(top + 1, bottom)));
}

int ChartWidget::XPosition(double value) const {
  const QRect plot = PlotArea();
  if (bottomMax_ <= 0) return plot.left();
  return plot.left() + static_cast<int>(std::lround(value / bottomMax_ * plot.width()));
}

int ChartWidget::YPosition(double value) const {
  const QRect plot = PlotArea();
  const double span = leftMax_ - leftMin_;
  if (span <= 0) return plot.bottom();
  return plot.bottom() - static_cast<int>(std::lround((value - leftMin_) / span * plot.height()));
}

double ChartWidget::BottomTickStep() const {
  if (bottomStep_ > 0) return bottomStep_;
  const int labelWidth = fontMetrics().horizontalAdvance("00000") + Margin;
  const int fit = std::max(1, PlotArea().width() / labelWidth);
  for (double step : {1.0, 2.0, 5.0, 10.0, 20.0, 25.0, 50.0, 100.0, 200.0, 500.0, 1000.0})
    if (bottomMax_ / step <= fit) return step;
  return bottomMax_;
}

void ChartWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), background_);
  if (band_) {
    DrawBands(p);
    DrawBottomAxis(p);
    return;
  }
  DrawWalls(p);
  if (leftAxisVisible_) DrawLeftAxis(p);
  DrawBottomAxis(p);
  p.save();
  p.setClipRect(PlotArea().adjusted(-2, -2 - Depth(), 2 + Depth(), 2));
  if (view3D_)
    DrawRibbons(p);
  else
    DrawLines(p);
  p.restore();
  if (legendVisible_) DrawLegend(p);
}

void ChartWidget::DrawWalls(QPainter& p) const {
  const QRect plot = PlotArea();
  const int d = Depth();
  p.setPen(QPen(Qt::black, 1));
  if (d > 0) {
    // The back wall and the floor of the box the series stand in.
    const QRect back = plot.translated(d, -d);
    p.setBrush(background_.lighter(108));
    p.drawRect(back);
    p.drawPolygon(
        QPolygon({plot.bottomLeft(), back.bottomLeft(), back.bottomRight(), plot.bottomRight()}));
    p.drawPolygon(QPolygon({plot.bottomLeft(), plot.topLeft(), back.topLeft(), back.bottomLeft()}));
    p.setBrush(Qt::NoBrush);
  }
  // Grid lines at the steps of the left axis, on the back wall.
  p.setPen(QPen(QColor(128, 128, 128), 1, Qt::DotLine));
  for (double v : Ticks(leftMin_, leftMax_, leftStep_)) {
    const int y = YPosition(v) - d;
    p.drawLine(plot.left() + d, y, plot.right() + d, y);
  }
}

void ChartWidget::DrawLeftAxis(QPainter& p) const {
  const QRect plot = PlotArea();
  const QFontMetrics fm = fontMetrics();
  p.setPen(QPen(Qt::black, 1));
  p.drawLine(plot.left(), plot.top(), plot.left(), plot.bottom());
  for (double v : Ticks(leftMin_, leftMax_, leftStep_)) {
    const int y = YPosition(v);
    p.drawLine(plot.left() - 3, y, plot.left(), y);
    const QString text = LeftLabel(v);
    p.drawText(plot.left() - 4 - fm.horizontalAdvance(text), y + fm.ascent() / 2, text);
  }
}

void ChartWidget::DrawBottomAxis(QPainter& p) const {
  const QRect plot = PlotArea();
  const QFontMetrics fm = fontMetrics();
  p.setPen(QPen(Qt::black, 1));
  p.drawLine(plot.left(), plot.bottom(), plot.right(), plot.bottom());
  for (double v : Ticks(0, bottomMax_, BottomTickStep())) {
    const int x = XPosition(v);
    p.drawLine(x, plot.bottom(), x, plot.bottom() + 2);
    const QString text = BottomText(v);
    p.drawText(x - fm.horizontalAdvance(text) / 2, plot.bottom() + 2 + fm.ascent(), text);
  }
}

QPolygon ChartWidget::SeriesPoints(const TLineSeries& series) const {
  QPolygon points;
  for (std::size_t i = 0; i < series.Count(); ++i)
    points << QPoint(XPosition(static_cast<double>(i)), YPosition(series.Values[i]));
  return points;
}

void ChartWidget::DrawLines(QPainter& p) const {
  for (const TLineSeries* s : series_) {
    p.setPen(QPen(BgrColour(s->Colour), penWidth_));
    const QPolygon points = SeriesPoints(*s);
    if (points.size() == 1)
      p.drawPoint(points[0]);
    else
      p.drawPolyline(points);
  }
}

void ChartWidget::DrawRibbons(QPainter& p) const {
  // Every series stands in a slot of its own, the first one in front.
  for (std::size_t k = series_.size(); k-- > 0;) {
    const TLineSeries& s = *series_[k];
    const int slot = static_cast<int>(k) * DepthPerSeries;
    const QPoint back(slot + DepthPerSeries, -slot - DepthPerSeries);
    const QPoint front(slot, -slot);
    const QColor colour = BgrColour(s.Colour);
    const QPolygon points = SeriesPoints(s);
    p.setPen(QPen(colour.darker(150), penWidth_));
    p.setBrush(colour);
    for (int i = 0; i + 1 < points.size(); ++i)
      p.drawPolygon(QPolygon(
          {points[i] + front, points[i + 1] + front, points[i + 1] + back, points[i] + back}));
  }
  p.setBrush(Qt::NoBrush);
}

void ChartWidget::DrawBands(QPainter& p) const {
  const QRect plot = PlotArea();
  int x0 = plot.left();
  const std::size_t count = band_->Count();
  for (std::size_t i = 1; i < count; ++i) {
    const int x = XPosition(static_cast<double>(i));
    p.fillRect(QRect(QPoint(x0, plot.top()), QPoint(x - 1, plot.bottom())),
               BgrColour(band_->Colours[i - 1]));
    x0 = x;
  }
  p.fillRect(QRect(QPoint(x0, plot.top()), QPoint(plot.right(), plot.bottom())), background_);
}

void ChartWidget::DrawLegend(QPainter& p) const {
  if (series_.empty()) return;
  const QFontMetrics fm = fontMetrics();
  const int rowHeight = fm.height();
  const int w = LegendWidth() - Margin - legendShadow_;
  const int h = static_cast<int>(series_.size()) * rowHeight + Margin;
  const QRect box(width() - Margin - legendShadow_ - w, Margin, w, h);
  if (legendShadow_ > 0) p.fillRect(box.translated(legendShadow_, legendShadow_), Qt::black);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawRect(box);
  p.setBrush(Qt::NoBrush);
  int y = box.top() + Margin / 2;
  for (const TLineSeries* s : series_) {
    const int middle = y + rowHeight / 2;
    p.setPen(QPen(BgrColour(s->Colour), 2));
    p.drawLine(box.left() + Margin / 2, middle, box.left() + Margin / 2 + LegendLineLength, middle);
    p.setPen(Qt::black);
    p.drawText(box.left() + Margin + LegendLineLength, y + fm.ascent(),
               QString::fromStdString(s->Title));
    y += rowHeight;
  }
}

}  // namespace murinex
