#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QtTest>

#include "tests/views/menu_items.h"

#include "tests/common/test_run.h"
#include "views/chart_widget.h"
#include "views/clock_set.h"
#include "views/tf_sum_chart.h"

namespace murinex {

namespace {

using test::Item;

}  // namespace

class SumChartTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void isShownRightOfTheMainWindowFromTheStart();
  void aMainWindowAsWideAsTheScreenLeavesItOnTheScreen();
  void captionShowsThePopulation();
  void clockTicksAppendTheMeansOfAllLines();
  void menuTogglesLegend3DAndCloses();
  void theCsvHoldsTheMeansWithTheirTicks();

 private:
  std::unique_ptr<test::TestRun> t_;
  std::unique_ptr<ClockSet> clocks_;
  std::unique_ptr<QWidget> main_;
  std::unique_ptr<TFSumChart> chart_;
};

void SumChartTest::init() {
  t_ = std::make_unique<test::TestRun>();
  clocks_ = std::make_unique<ClockSet>();
  main_ = std::make_unique<QWidget>();
  main_->setGeometry(0, 0, 600, 400);
  chart_ = std::make_unique<TFSumChart>(t_->run, *clocks_, main_.get());
}

void SumChartTest::cleanup() {
  chart_.reset();
  main_.reset();
  clocks_.reset();
  t_.reset();
}

void SumChartTest::isShownRightOfTheMainWindowFromTheStart() {
  QVERIFY(chart_->isVisible());
  QCOMPARE(chart_->windowTitle(), QString("Übersicht"));
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  // The main window lies at (0, 0), 600 wide.
  QCOMPARE(chart_->frameGeometry().left(), 600);
  QCOMPARE(chart_->frameGeometry().top(), 0);
  QCOMPARE(chart_->frameGeometry().right(), area.right());  // the frame, too, on the screen
  QCOMPARE(chart_->Chart().BottomMaximum(), 100.0);
}

void SumChartTest::aMainWindowAsWideAsTheScreenLeavesItOnTheScreen() {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  QWidget wide;
  wide.setGeometry(area.left(), area.top(), area.width(), 400);
  TFSumChart chart(t_->run, *clocks_, &wide);
  QVERIFY(area.contains(chart.frameGeometry()));
  QCOMPARE(chart.frameGeometry().right(), area.right());
  QCOMPARE(chart.frameGeometry().width(), 200);
}

void SumChartTest::captionShowsThePopulation() {
  for (int i = 0; i < 42; ++i)
    t_->AddMaus({i, i});
  chart_->ClockTick();
  QCOMPARE(chart_->windowTitle(), QString("Übersicht         Pop = 42"));
}

void SumChartTest::clockTicksAppendTheMeansOfAllLines() {
  t_->AddMaus({1, 1});
  t_->run.SumLines.AddSum("Arousal", 0.2);
  t_->run.SumLines.AddSum("Arousal", 0.6);
  chart_->ClockTick();
  const auto& series = chart_->Chart().Series();
  QCOMPARE(series.size(), t_->run.SumLines.Size());
  QCOMPARE(series[0]->Title, std::string("Arousal"));
  QCOMPARE(series[0]->Values.size(), std::size_t{1});
  QCOMPARE(series[0]->Values[0], 0.4);
  QCOMPARE(series[1]->Values[0], 0.0);  // Aggression: no values
}

void SumChartTest::menuTogglesLegend3DAndCloses() {
  QMenu* view = chart_->ViewMenu();
  QVERIFY(!chart_->Chart().LegendVisible());
  Item(view, "Legende")->trigger();
  QVERIFY(chart_->Chart().LegendVisible());
  QCOMPARE(chart_->Chart().LeftMinimum(), -0.05);
  Item(view, "3D")->trigger();
  QVERIFY(chart_->Chart().View3D());
  QCOMPARE(chart_->Chart().LeftMinimum(), 0.0);
  QCOMPARE(chart_->Chart().PenWidth(), 1);
  emit view->aboutToShow();
  QVERIFY(Item(view, "Legende")->isChecked());
  QVERIFY(Item(view, "3D")->isChecked());
  Item(view, "Schliessen")->trigger();
  QVERIFY(!chart_->isVisible());
}

void SumChartTest::theCsvHoldsTheMeansWithTheirTicks() {
  t_->AddMaus({1, 1});
  t_->run.TickCount = 40;
  t_->run.SumLines.AddSum("Arousal", 0.2);
  t_->run.SumLines.AddSum("Arousal", 0.6);
  t_->run.SumLines.AddFlag("Smile", true);
  chart_->ClockTick();
  t_->run.TickCount = 41;
  chart_->ClockTick();
  const QStringList rows = chart_->DataCsv().split('\n', Qt::SkipEmptyParts);
  QCOMPARE(rows.size(), 3);
  QCOMPARE(rows[0].section(',', 0, 3), QString("tick,Arousal,Aggression,Smile"));
  QCOMPARE(rows[0].count(','), static_cast<qsizetype>(t_->run.SumLines.Size()));
  QCOMPARE(rows[1].section(',', 0, 3), QString("40,0.4,0,1"));
  QCOMPARE(rows[2].section(',', 0, 3), QString("41,0,0,0"));
  QCOMPARE(chart_->Chart().BottomText(1), QString("1"));
  chart_->SetTickAxis(true);
  QCOMPARE(chart_->Chart().BottomText(1), QString("41"));
}

}  // namespace murinex

QTEST_MAIN(murinex::SumChartTest)
#include "sum_chart_test.moc"
