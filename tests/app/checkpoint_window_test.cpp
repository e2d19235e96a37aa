// The desktop program and checkpoints: "Checkpoint" in menu "Bearbeiten"
// writes one, and a window started with resume continues from it.

#include <QCoreApplication>
#include <QMenu>
#include <QtTest>

#include "tests/views/menu_items.h"

#include "app/tf_emo.h"
#include "sim/persistence/checkpoint.h"
#include "tests/app/dialog_driver.h"
#include "tests/app/run_folder.h"
#include "views/clock_set.h"
#include "views/tf_chart.h"
#include "views/tf_sum_chart.h"

namespace murinex {

namespace {

// A main window on a run folder of the task "T".
struct Window {
  Window(const test::RunFolder& folder, bool resume) : run(folder.Path()) {
    window = std::make_unique<TFEmo>(run, clocks, StartOptions{"T", resume});
  }
  Run run;
  ClockSet clocks;
  std::unique_ptr<TFEmo> window;
};

// A main window with both chart windows, ticked by the test as the clocks would.
struct WindowWithCharts : Window {
  WindowWithCharts(const test::RunFolder& folder, bool resume)
      : Window(folder, resume), chart(run, clocks, window.get()), sum(run, clocks, window.get()) {
    TFEmo::Views views;
    views.chart = &chart;
    views.sumChart = &sum;
    window->SetViews(views);
    window->Activate();
    clocks.SetRunning(false, "only the test ticks");
  }
  ~WindowWithCharts() { window->SetViews({}); }
  void Ticks(int count) {
    for (int i = 0; i < count; ++i) {
      window->TimerLifeTimer();
      chart.ClockTick();
      sum.ClockTick();
    }
  }
  TFChart chart;
  TFSumChart sum;
};

}  // namespace

class CheckpointWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QCoreApplication::setApplicationName("Murinex"); }
  void theItemWritesTheStateOfTheRunAsItIsNow();
  void resumeGoesOnFromTheCheckpointWithItsFiles();
  void resumeWithoutACheckpointStartsAfresh();
  void aDamagedCheckpointIsShownAndNothingStarts();
  void beendenLetsTheNextResumeGoOnWhereTheUserQuit();
};

void CheckpointWindowTest::theItemWritesTheStateOfTheRunAsItIsNow() {
  test::RunFolder folder({{1, {120, 120}}, {2, {300, 200}}});
  Window w(folder, false);
  w.window->Activate();
  for (int i = 0; i < 7; ++i)
    w.window->TimerLifeTimer();
  test::Item(w.window->EditMenu(), "Checkpoint")->trigger();
  QVERIFY(folder.Exists("data/checkpoint-T.mxc"));
  Run saved(folder.Path());
  ReadCheckpointText(saved, test::ReadText(folder / "data/checkpoint-T.mxc"), "cp");
  QCOMPARE(saved.TickCount, 7);
  QCOMPARE(saved.Mice.size(), std::size_t{2});
  QCOMPARE(saved.TaskName, std::string("T"));
}

void CheckpointWindowTest::resumeGoesOnFromTheCheckpointWithItsFiles() {
  test::RunFolder folder({{1, {120, 120}}, {2, {300, 200}}});
  {
    Window first(folder, false);
    first.window->Activate();
    for (int i = 0; i < 5; ++i)
      first.window->TimerLifeTimer();
    first.window->WriteCheckpointNow();
    first.run.BirthLog.Write("after the checkpoint\n");
    // The program ends without "Beenden", as in a crash: the line stays behind the checkpoint.
  }
  Window second(folder, true);
  second.window->Activate();
  QCOMPARE(second.run.TickCount, 5);
  QCOMPARE(second.run.Mice.size(), std::size_t{2});
  QVERIFY(second.clocks.Running());
  QVERIFY(second.window->windowTitle().endsWith("Start: 5"));
  // The birth log was not created anew but cut back to its length at the checkpoint.
  QVERIFY(second.run.BirthLog.IsOpen());
  QCOMPARE(test::ReadText(folder / "Proto/protGen.prt"), std::string());
  second.window->TimerLifeTimer();
  QCOMPARE(second.run.TickCount, 6);
}

void CheckpointWindowTest::resumeWithoutACheckpointStartsAfresh() {
  test::RunFolder folder({{1, {120, 120}, 1500}});
  Window w(folder, true);
  w.window->Activate();
  QVERIFY(w.window->PopulationReady());
  QCOMPARE(w.run.TickCount, 0);
  QVERIFY(folder.Exists("Proto/ProtoT.prt"));
}

void CheckpointWindowTest::aDamagedCheckpointIsShownAndNothingStarts() {
  test::RunFolder folder({{1, {120, 120}, 1500}});
  folder.Write("data/checkpoint-T.mxc",
               "murinex-checkpoint " + std::to_string(CheckpointVersion) + "\nrun T\n");
  folder.Write("Proto/protGen.prt", "old births\n");
  Window w(folder, true);
  test::DialogDriver driver({test::DialogDriver::Ok()});
  w.window->Activate();
  QCOMPARE(driver.Count(), 1);
  QVERIFY(driver.Text(0).contains("data/checkpoint-T.mxc"));
  QVERIFY(driver.Text(0).contains("incomplete"));
  QVERIFY(!w.window->PopulationReady());
  QVERIFY(!w.clocks.Running());
  QCOMPARE(test::ReadText(folder / "Proto/protGen.prt"), std::string("old births\n"));
}

void CheckpointWindowTest::beendenLetsTheNextResumeGoOnWhereTheUserQuit() {
  test::RunFolder folder({{1, {120, 120}}, {2, {300, 200}}});
  {
    WindowWithCharts first(folder, false);
    first.Ticks(100);
    test::Item(first.window->EditMenu(), "Checkpoint")->trigger();
    first.Ticks(23);
    test::Item(first.window->EditMenu(), "Beenden")->trigger();
  }
  {
    WindowWithCharts second(folder, true);
    QCOMPARE(second.run.TickCount, 123);
    // 123 chart ticks: pages of 51 points for the mouse chart (page length 50),
    // so two full pages and 21 points; the summary chart's pages hold 101.
    QCOMPARE(second.chart.Recorder().PageOffset(), 100.0);
    QCOMPARE(second.chart.Recorder().PointsOnPage(), 21);
    QCOMPARE(second.run.SumLines.PageOffset(), 100.0);
    QCOMPARE(second.run.SumLines.PointsOnPage(), 22);
    second.Ticks(1);
    QCOMPARE(second.chart.Recorder().PointsOnPage(), 22);
    QCOMPARE(second.run.Mice[0]->Lines->Samples().size(), std::size_t{22});
    // A resumed run is one to be resumed again: its "Beenden" writes a checkpoint too.
    second.Ticks(3);
    second.window->close();
  }
  Window third(folder, true);
  third.window->Activate();
  QCOMPARE(third.run.TickCount, 127);
}

}  // namespace murinex

QTEST_MAIN(murinex::CheckpointWindowTest)
#include "checkpoint_window_test.moc"
