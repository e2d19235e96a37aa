#pragma once

#include <QWidget>
#include <vector>

#include "model/lines.h"

namespace murinex {

// A line chart of recorded series: point i of a series lies at i on the bottom
// axis. It shows the series' data as they are at each repaint; the owner calls
// update() when they grew. In band mode one series is drawn as vertical bands,
// each point colouring the stretch up to the next point.
class ChartWidget : public QWidget {
  Q_OBJECT

 public:
  explicit ChartWidget(QWidget* parent = nullptr);

  // The series must outlive their attachment (detach with an empty list).
  void SetSeries(std::vector<const TLineSeries*> series);
  const std::vector<const TLineSeries*>& Series() const { return series_; }
  void SetBand(const TLineSeries* band);
  const TLineSeries* Band() const { return band_; }

  void SetBottomRange(double maximum);  // the bottom axis spans 0..maximum
  double BottomMaximum() const { return bottomMax_; }
  void SetBottomStep(double step);  // 0: chosen to fit the labels
  void SetLeftRange(double minimum, double maximum);
  double LeftMinimum() const { return leftMin_; }
  double LeftMaximum() const { return leftMax_; }
  void SetLeftStep(double step);
  void SetLeftAxisVisible(bool visible);
  void SetLegendVisible(bool visible);
  bool LegendVisible() const { return legendVisible_; }
  void SetLegendShadow(int pixels);
  int LegendShadow() const { return legendShadow_; }
  void SetView3D(bool on);
  bool View3D() const { return view3D_; }
  void SetPenWidth(int width);
  int PenWidth() const { return penWidth_; }
  // Added to the numbers of the bottom axis labels: the first point of the page.
  void SetPageOffset(double offset);
  double PageOffset() const { return pageOffset_; }
  // The simulation tick of each sample on the page. With the tick axis on, the
  // bottom labels name those ticks instead of the sample numbers (blank where
  // no sample was taken yet).
  void SetSampleTicks(std::vector<std::int32_t> ticks);
  void SetTickAxis(bool on);
  bool TickAxis() const { return tickAxis_; }
  // The label of the bottom axis at a position, as drawn.
  QString BottomText(double position) const;
  void SetBackground(const QColor& colour);
  QColor Background() const { return background_; }

  // The 3D switch of the line charts: view, left axis range, legend shadow, pen width.
  void Set3D(bool on);

  // The plot area (front wall in 3D) and the position of a bottom axis value on it.
  QRect PlotArea() const;
  int XPosition(double value) const;
  int YPosition(double value) const;

  static QString BottomLabel(double tick, double pageOffset);
  static QString LeftLabel(double value);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int Depth() const;
  int LegendWidth() const;
  double BottomTickStep() const;
  void DrawWalls(QPainter& p) const;
  void DrawLeftAxis(QPainter& p) const;
  void DrawBottomAxis(QPainter& p) const;
  void DrawLines(QPainter& p) const;
  void DrawRibbons(QPainter& p) const;
  void DrawBands(QPainter& p) const;
  void DrawLegend(QPainter& p) const;
  QPolygon SeriesPoints(const TLineSeries& series) const;

  std::vector<const TLineSeries*> series_;
  const TLineSeries* band_ = nullptr;
  double bottomMax_ = 50;
  double bottomStep_ = 0;
  double leftMin_ = 0;
  double leftMax_ = 1;
  double leftStep_ = 0.1;
  bool leftAxisVisible_ = true;
  bool legendVisible_ = false;
  int legendShadow_ = 3;
  bool view3D_ = false;
  int penWidth_ = 1;
  double pageOffset_ = 0;
  std::vector<std::int32_t> sampleTicks_;
  bool tickAxis_ = false;
  QColor background_{192, 192, 192};
};

}  // namespace murinex
