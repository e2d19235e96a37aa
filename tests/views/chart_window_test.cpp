#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include "tests/views/menu_items.h"

#include "model/lines.h"
#include "tests/common/test_run.h"
#include "views/chart_export.h"
#include "views/chart_widget.h"
#include "views/clock_set.h"
#include "views/tf_chart.h"

namespace murinex {

namespace {

using test::Item;

}  // namespace

class ChartWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void startsHiddenAndShowsThePickedMouse();
  void showingNoneHidesAndDetaches();
  void groupMenusNeverOfferTheGroupOfTheOtherChart();
  void pickingTheOtherChartsGroupIsRefused();
  void pageItemsSetThePageOfAllFiveCharts_data();
  void pageItemsSetThePageOfAllFiveCharts();
  void viewMenuTogglesLegendAnd3D();
  void clockTicksCarryThePageOffsetToTheAxes();
  void stopAtPageEndStopsTheClocksAndUncheckingRestartsThem();
  void startStopCaptionFollowsTheClocks();
  void sitsInTheBottomRightCornerOfTheWorkArea();
  void theCsvHoldsOneRowPerSampleWithItsTick();
  void theTickAxisNamesTheTicksOfTheSamples();
  void thePictureAndTheDataAreSaved();

 private:
  std::unique_ptr<test::TestRun> t_;
  std::unique_ptr<ClockSet> clocks_;
  std::unique_ptr<TFChart> chart_;
};

void ChartWindowTest::init() {
  t_ = std::make_unique<test::TestRun>();
  clocks_ = std::make_unique<ClockSet>();
  chart_ = std::make_unique<TFChart>(t_->run, *clocks_);
}

void ChartWindowTest::cleanup() {
  chart_.reset();
  clocks_.reset();
  t_.reset();
}

void ChartWindowTest::startsHiddenAndShowsThePickedMouse() {
  QVERIFY(!chart_->isVisible());
  TMaus& m = t_->AddMaus({10, 10});
  chart_->ShowMaus(&m);
  QVERIFY(chart_->isVisible());
  QCOMPARE(chart_->windowTitle(), QString::number(m.ID));
  QCOMPARE(chart_->Chart(0).Series().size(), m.Lines->Group(0).Lines.size());  // Emotions
  QCOMPARE(chart_->Chart(1).Series().size(), m.Lines->Group(1).Lines.size());  // Motive
  QCOMPARE(chart_->Chart(0).Series().front(), m.Lines->Group(0).Lines.front().get());
  QCOMPARE(chart_->Chart(2).Band(), &m.Lines->BandSeries(TLines::NeedBand));
  QCOMPARE(chart_->Chart(3).Band(), &m.Lines->BandSeries(TLines::GoalBand));
  QCOMPARE(chart_->Chart(4).Band(), &m.Lines->BandSeries(TLines::ActionBand));
  QCOMPARE(chart_->GroupMenu(1)->actions().size(), 2);
  QCOMPARE(chart_->GroupMenu(1)->actions()[0]->text(), QString("Emotions"));
  QCOMPARE(chart_->GroupMenu(2)->actions()[1]->text(), QString("Motive"));
}

void ChartWindowTest::showingNoneHidesAndDetaches() {
  TMaus& m = t_->AddMaus({10, 10});
  chart_->ShowMaus(&m);
  chart_->ShowMaus(nullptr);
  QVERIFY(!chart_->isVisible());
  QCOMPARE(chart_->Maus(), nullptr);
  for (int i = 0; i < 2; ++i)
    QVERIFY(chart_->Chart(i).Series().empty());
  for (int i = 2; i < 5; ++i)
    QCOMPARE(chart_->Chart(i).Band(), nullptr);
}

void ChartWindowTest::groupMenusNeverOfferTheGroupOfTheOtherChart() {
  TMaus& m = t_->AddMaus({10, 10});
  chart_->ShowMaus(&m);
  const auto first = chart_->GroupMenu(1)->actions();
  const auto second = chart_->GroupMenu(2)->actions();
  QVERIFY(first[0]->isEnabled());
  QVERIFY(!first[1]->isEnabled());   // Motive is in chart 2
  QVERIFY(!second[0]->isEnabled());  // Emotions is in chart 1
  QVERIFY(second[1]->isEnabled());
  QVERIFY(first[0]->isChecked());
  QVERIFY(second[1]->isChecked());
}

void ChartWindowTest::pickingTheOtherChartsGroupIsRefused() {
  TMaus& m = t_->AddMaus({10, 10});
  chart_->ShowMaus(&m);
  chart_->PickGroup1(1);
  QCOMPARE(chart_->Group1(), 0);
  QCOMPARE(chart_->Chart(0).Series().size(), m.Lines->Group(0).Lines.size());
  chart_->PickGroup2(0);
  QCOMPARE(chart_->Group2(), 1);
}

void ChartWindowTest::pageItemsSetThePageOfAllFiveCharts_data() {
  QTest::addColumn<QString>("item");
  QTest::addColumn<int>("length");
  QTest::newRow("100") << "100" << 50;
  QTest::newRow("200") << "200" << 100;
  QTest::newRow("300") << "300" << 150;
}

void ChartWindowTest::pageItemsSetThePageOfAllFiveCharts() {
  QFETCH(QString, item);
  QFETCH(int, length);
  chart_->SetPage(length == 50 ? 100 : 50);
  Item(chart_->ViewMenu(), item)->trigger();
  QCOMPARE(chart_->Recorder().PageLength(), length);
  for (int i = 0; i < 5; ++i)
    QCOMPARE(chart_->Chart(i).BottomMaximum(), double(length));
  emit chart_->ViewMenu()->aboutToShow();
  QVERIFY(Item(chart_->ViewMenu(), item)->isChecked());
}

void ChartWindowTest::viewMenuTogglesLegendAnd3D() {
  QMenu* view = chart_->ViewMenu();
  QVERIFY(!chart_->Chart(0).View3D());
  QCOMPARE(chart_->Chart(0).LeftMinimum(), -0.05);
  Item(view, "3D")->trigger();
  for (int i = 0; i < 2; ++i) {
    QVERIFY(chart_->Chart(i).View3D());
    QCOMPARE(chart_->Chart(i).LeftMinimum(), 0.0);
    QCOMPARE(chart_->Chart(i).PenWidth(), 1);
    QCOMPARE(chart_->Chart(i).LegendShadow(), 3);
  }
  QVERIFY(!chart_->Chart(2).View3D());
  Item(view, "Legende")->trigger();
  QVERIFY(chart_->Chart(0).LegendVisible() && chart_->Chart(1).LegendVisible());
  emit view->aboutToShow();
  QVERIFY(Item(view, "Legende")->isChecked());
  QVERIFY(Item(view, "3D")->isChecked());
  QCOMPARE(Item(view, "Legende")->shortcut(), QKeySequence(Qt::Key_F5));
  QCOMPARE(Item(view, "3D")->shortcut(), QKeySequence(Qt::Key_F3));
  QCOMPARE(Item(view, "StartStop")->shortcut(), QKeySequence(Qt::Key_F9));
}

void ChartWindowTest::clockTicksCarryThePageOffsetToTheAxes() {
  t_->AddMaus({10, 10});
  for (int i = 0; i < 52; ++i)
    chart_->ClockTick();
  for (int i = 0; i < 5; ++i)
    QCOMPARE(chart_->Chart(i).PageOffset(), 50.0);
}

void ChartWindowTest::stopAtPageEndStopsTheClocksAndUncheckingRestartsThem() {
  t_->AddMaus({10, 10});
  clocks_->SetReady(true);
  clocks_->SetRunning(true, "the test");
  QAction* stop = Item(chart_->ViewMenu(), "Stop am Seitenende");
  stop->setChecked(true);
  for (int i = 0; i < 50; ++i)
    chart_->ClockTick();
  QVERIFY(clocks_->Running());
  chart_->ClockTick();  // the 51st point ends the page of 50
  QVERIFY(!clocks_->Running());
  QVERIFY(!chart_->Clock()->isActive());
  stop->setChecked(false);
  QVERIFY(clocks_->Running());
  QVERIFY(chart_->Clock()->isActive());
}

void ChartWindowTest::startStopCaptionFollowsTheClocks() {
  QAction* item = Item(chart_->ViewMenu(), "StartStop");
  QVERIFY(item);
  clocks_->SetReady(true);
  clocks_->SetRunning(true, "the test");
  QCOMPARE(item->text(), QString("Stop"));
  item->trigger();
  QCOMPARE(item->text(), QString("Start"));
  QVERIFY(!clocks_->Running());
}

void ChartWindowTest::sitsInTheBottomRightCornerOfTheWorkArea() {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect g = chart_->geometry();
  QVERIFY(area.contains(g));
  QCOMPARE(g.right(), area.right());
  QCOMPARE(g.bottom(), area.bottom());
  // Once shown, the frame is inside the work area, too.
  TMaus& m = t_->AddMaus({10, 10});
  chart_->ShowMaus(&m);
  QTest::qWait(20);
  const QRect frame = chart_->frameGeometry();
  QVERIFY(area.contains(frame));
  QCOMPARE(frame.right(), area.right());
  QCOMPARE(frame.bottom(), area.bottom());
}

void ChartWindowTest::theCsvHoldsOneRowPerSampleWithItsTick() {
  TMaus& m = t_->AddMaus({10, 10});
  chart_->ShowMaus(&m);
  m.M(need::Hunger).Ist = 0.25;
  m.Arousal = 0.5;
  m.Need = need::Thirst;
  m.Goal = goal::Water;
  m.LastAction = action::Drink;
  t_->run.TickCount = 10;
  chart_->ClockTick();
  t_->run.TickCount = 13;  // the chart clock missed two ticks of the simulation
  m.Arousal = 0.75;
  chart_->ClockTick();
  const QStringList rows = chart_->DataCsv().split('\n', Qt::SkipEmptyParts);
  QCOMPARE(rows.size(), 3);
  QCOMPARE(rows[0],
           QString("tick,TotNeedStrength,Drunken,Arousal,Inhib,Hunger,Thirst,Pain,Sex,Affil,Cert,"
                   "Comp,EpComp,need,goal,action"));
  const QStringList first = rows[1].split(',');
  const QStringList second = rows[2].split(',');
  QCOMPARE(first.size(), 16);
  QCOMPARE(first[0], QString("10"));
  QCOMPARE(first[3], QString("0.5"));   // Arousal
  QCOMPARE(first[5], QString("0.75"));  // Hunger: 1 - Ist
  QCOMPARE(first.mid(13), (QStringList{"Thirst", "Water", "Drink"}));
  QCOMPARE(second[0], QString("13"));
  QCOMPARE(second[3], QString("0.75"));
}

void ChartWindowTest::theTickAxisNamesTheTicksOfTheSamples() {
  TMaus& m = t_->AddMaus({10, 10});
  chart_->ShowMaus(&m);
  for (int tick : {100, 101, 103}) {
    t_->run.TickCount = tick;
    chart_->ClockTick();
  }
  ChartWidget& band = chart_->Chart(2);
  QCOMPARE(band.BottomText(2), QString("2"));  // sample numbers, as specified by default
  QAction* item = Item(chart_->ViewMenu(), "Achse in Ticks");
  QVERIFY(item && item->isCheckable() && !item->isChecked());
  item->setChecked(true);
  for (int i = 0; i < 5; ++i) {
    QCOMPARE(chart_->Chart(i).BottomText(0), QString("100"));
    QCOMPARE(chart_->Chart(i).BottomText(2), QString("103"));
    QCOMPARE(chart_->Chart(i).BottomText(10), QString());  // no sample there yet
  }
  item->setChecked(false);
  QCOMPARE(band.BottomText(2), QString("2"));
}

void ChartWindowTest::thePictureAndTheDataAreSaved() {
  TMaus& m = t_->AddMaus({10, 10});
  chart_->ShowMaus(&m);
  t_->run.TickCount = 5;
  chart_->ClockTick();
  test::TempDir out;
  QString error;
  const QString csv = QString::fromStdString((out / "chart.csv").string());
  QVERIFY2(chart_->SaveData(csv, error), qPrintable(error));
  QCOMPARE(QString::fromStdString(test::ReadText(out / "chart.csv")), chart_->DataCsv());
  const QString png = QString::fromStdString((out / "chart.png").string());
  QVERIFY2(chart_->SavePicture(png, error), qPrintable(error));
  const QImage saved(png);
  QCOMPARE(saved.size(), chart_->Picture().size());
  QCOMPARE(saved.height(), chart_->height() - chart_->ViewMenu()->parentWidget()->height());
  // A folder that is not there: an error, no file.
  QVERIFY(!chart_->SaveData(QString::fromStdString((out / "no/such/chart.csv").string()), error));
  QVERIFY(!error.isEmpty());
}

}  // namespace murinex

QTEST_MAIN(murinex::ChartWindowTest)
#include "chart_window_test.moc"
