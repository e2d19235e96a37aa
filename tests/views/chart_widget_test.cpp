#include "views/chart_widget.h"

#include <QtTest>

#include "tests/views/image_checks.h"

namespace murinex {

class ChartWidgetTest : public QObject {
  Q_OBJECT

 private slots:
  void set3DSwitchesViewRangeShadowAndPen_data();
  void set3DSwitchesViewRangeShadowAndPen();
  void bottomLabelsAddThePageOffset_data();
  void bottomLabelsAddThePageOffset();
  void leftLabelsUseThePoint_data();
  void leftLabelsUseThePoint();
  void bandsColourEachStretchByThePointBefore();
  void aBandWithOnePointShowsOnlyBackground();
  void linesAreDrawnInTheirColour();
};

void ChartWidgetTest::set3DSwitchesViewRangeShadowAndPen_data() {
  QTest::addColumn<bool>("on");
  QTest::addColumn<double>("minimum");
  QTest::addColumn<double>("maximum");
  QTest::addColumn<int>("shadow");
  QTest::addColumn<int>("pen");
  QTest::newRow("3D") << true << 0.0 << 1.0 << 3 << 1;
  QTest::newRow("2D") << false << -0.05 << 1.05 << 0 << 2;
}

void ChartWidgetTest::set3DSwitchesViewRangeShadowAndPen() {
  QFETCH(bool, on);
  QFETCH(double, minimum);
  QFETCH(double, maximum);
  QFETCH(int, shadow);
  QFETCH(int, pen);
  ChartWidget chart;
  chart.Set3D(!on);
  chart.Set3D(on);
  QCOMPARE(chart.View3D(), on);
  QCOMPARE(chart.LeftMinimum(), minimum);
  QCOMPARE(chart.LeftMaximum(), maximum);
  QCOMPARE(chart.LegendShadow(), shadow);
  QCOMPARE(chart.PenWidth(), pen);
}

void ChartWidgetTest::bottomLabelsAddThePageOffset_data() {
  QTest::addColumn<double>("tick");
  QTest::addColumn<double>("offset");
  QTest::addColumn<QString>("label");
  QTest::newRow("first page") << 10.0 << 0.0 << "10";
  QTest::newRow("second page starts at 50") << 0.0 << 50.0 << "50";
  QTest::newRow("third page") << 30.0 << 100.0 << "130";
  QTest::newRow("no thousands separator") << 50.0 << 1200.0 << "1250";
}

void ChartWidgetTest::bottomLabelsAddThePageOffset() {
  QFETCH(double, tick);
  QFETCH(double, offset);
  QFETCH(QString, label);
  QCOMPARE(ChartWidget::BottomLabel(tick, offset), label);
}

void ChartWidgetTest::leftLabelsUseThePoint_data() {
  QTest::addColumn<double>("value");
  QTest::addColumn<QString>("label");
  QTest::newRow("a step of 0.1 times 3") << 0.1 * 3 << "0.3";
  QTest::newRow("zero") << -0.0 << "0";
  QTest::newRow("one") << 1.0 << "1";
  QTest::newRow("negative") << -0.05 << "-0.05";
}

void ChartWidgetTest::leftLabelsUseThePoint() {
  QFETCH(double, value);
  QFETCH(QString, label);
  QCOMPARE(ChartWidget::LeftLabel(value), label);
}

void ChartWidgetTest::bandsColourEachStretchByThePointBefore() {
  TLineSeries band;
  band.Add(0, 0x0000FF);  // red
  band.Add(0, 0x00FF00);  // green
  band.Add(0, 0xFF0000);  // blue: the last point has no stretch of its own yet
  ChartWidget chart;
  chart.resize(300, 30);
  chart.SetLeftAxisVisible(false);
  chart.SetBottomRange(10);
  chart.SetBand(&band);
  const QImage image = chart.grab().toImage();
  const int y = chart.PlotArea().center().y();
  const int x0 = chart.XPosition(0), x1 = chart.XPosition(1), x2 = chart.XPosition(2);
  QVERIFY(x0 < x1 && x1 < x2);
  QCOMPARE(test::PixelAt(image, x0, y), QColor(255, 0, 0));
  QCOMPARE(test::PixelAt(image, x1 - 1, y), QColor(255, 0, 0));
  QCOMPARE(test::PixelAt(image, x1, y), QColor(0, 255, 0));
  QCOMPARE(test::PixelAt(image, x2 - 1, y), QColor(0, 255, 0));
  QCOMPARE(test::PixelAt(image, x2, y), chart.Background());
  QCOMPARE(test::PixelAt(image, chart.PlotArea().right(), y), chart.Background());
  QVERIFY(!test::HasColourIn(image, chart.rect(), QColor(0, 0, 255)));
}

void ChartWidgetTest::aBandWithOnePointShowsOnlyBackground() {
  TLineSeries band;
  band.Add(0, 0x0000FF);
  ChartWidget chart;
  chart.resize(300, 30);
  chart.SetBand(&band);
  const QImage image = chart.grab().toImage();
  QVERIFY(!test::HasColourIn(image, chart.rect(), QColor(255, 0, 0)));
}

void ChartWidgetTest::linesAreDrawnInTheirColour() {
  TLineSeries line;
  line.Colour = 0xFF0000;  // blue
  for (int i = 0; i <= 20; ++i)
    line.Add(0.5, line.Colour);
  ChartWidget chart;
  chart.resize(400, 300);
  chart.Set3D(false);
  chart.SetBottomRange(20);
  chart.SetSeries({&line});
  const QImage image = chart.grab().toImage();
  QVERIFY(
      test::HasColourNear(image, chart.XPosition(10), chart.YPosition(0.5), 1, QColor(0, 0, 255)));
  QVERIFY(
      !test::HasColourNear(image, chart.XPosition(10), chart.YPosition(0.8), 3, QColor(0, 0, 255)));
}

}  // namespace murinex

QTEST_MAIN(murinex::ChartWidgetTest)
#include "chart_widget_test.moc"
