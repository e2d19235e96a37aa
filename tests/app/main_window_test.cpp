#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "tests/views/menu_items.h"

#include "agent/mouse_list.h"
#include "app/tf_emo.h"
#include "app/world_view.h"
#include "tests/app/dialog_driver.h"
#include "tests/app/run_folder.h"
#include "views/clock_set.h"
#include "views/tf_chart.h"
#include "views/tf_edit.h"
#include "views/tf_sum_chart.h"

namespace murinex {

namespace {

using test::Item;

QStringList Captions(QMenu* menu) {
  QStringList captions;
  for (QAction* a : menu->actions())
    if (a->isVisible() && !a->isSeparator()) captions << a->text();
  return captions;
}

// A main window on a run folder; the task name "T" answers the prompt.
struct MainWindow {
  explicit MainWindow(const std::vector<test::RunFolder::Mouse>& mice = {},
                      std::optional<std::string> task = "T")
      : folder(mice), run(folder.Path()) {
    window = std::make_unique<TFEmo>(run, clocks, StartOptions{std::move(task)});
  }
  // Activated and shown, so that the world view has its size.
  void Start() {
    window->Activate();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
  }
  QPoint ScreenOf(const TMaus& m) const {
    const TPoint p = window->Geometry().WorldToScreen(m.Position);
    return {p.x, p.y};
  }
  test::RunFolder folder;
  Run run;
  ClockSet clocks;
  std::unique_ptr<TFEmo> window;
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QCoreApplication::setApplicationName("Murinex"); }
  void creationStartsTheRunWithoutTheClock();
  void thePromptOffersNNAndCancelGivesIt();
  void aNameThatCannotBeAFileNameIsAskedAgain();
  void firstActivationSetsUpWorldAndClockOnce();
  void startStopSwitchesTheClockAndItsCaption();
  void menusHoldTheirItemsShortcutsAndChecks();
  void aStartUpErrorIsShownAndTheRunDoesNotStart();
  void aSetUpErrorNamesFileAndLine();
  void aMissingImageAbandonsTheSetUp();
  void anErrorInATickStopsTheClocks();
  void leftClickPicksTheNearestMouseWithin100();
  void otherButtonsPickTheCheckMouse_data();
  void otherButtonsPickTheCheckMouse();
  void mausListAusTwiceWritesConsecutiveNumbers();
  void closingInAnyWayRunsBeenden_data();
  void closingInAnyWayRunsBeenden();
  void checkIdReadsADecimalInteger_data();
  void checkIdReadsADecimalInteger();
  void withViewsThePickedMouseIsShownAndADyingOneIsLetGo();
  void withoutPaintTheViewKeepsItsPictureButPickingRedraws();
};

void MainWindowTest::creationStartsTheRunWithoutTheClock() {
  MainWindow w;
  QVERIFY(w.window->StartedUp());
  QCOMPARE(w.window->windowTitle(), QString("Murinex"));
  QCOMPARE(w.run.TaskName, std::string("T"));
  QCOMPARE(w.run.CheckMausId, 35);
  QCOMPARE(w.run.PopulationFileName, std::string("pop.txt"));
  // The birth log comes with the population at the activation, once every
  // input has been read.
  QVERIFY(!w.run.BirthLog.IsOpen());
  QVERIFY(!w.folder.Exists("Proto/protGen.prt"));
  QVERIFY(!w.folder.Exists("Proto/ProtoT.prt"));
  QCOMPARE(w.window->Clock()->interval(), 50);
  QVERIFY(!w.window->Clock()->isActive());
  QCOMPARE(w.window->StartStopItem()->text(), QString("StartStop"));
  QCOMPARE(w.window->View().cursor().shape(), Qt::CrossCursor);
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  QCOMPARE(w.window->size(), QSize(std::min(916, area.width()), std::min(640, area.height())));
  QCOMPARE(w.window->pos(), QPoint(0, 0));
}

void MainWindowTest::thePromptOffersNNAndCancelGivesIt() {
  test::DialogDriver driver({test::DialogDriver::Cancel()});
  MainWindow w({}, std::nullopt);
  QCOMPARE(driver.Count(), 1);
  QCOMPARE(driver.Caption(0), QString("TaskName"));
  QCOMPARE(driver.Text(0), QString("Geben Sie der Aufgabe einen Namen!"));
  QCOMPARE(driver.Defaults(), QStringList{"NN"});
  QCOMPARE(w.run.TaskName, std::string("NN"));
  w.Start();
  QVERIFY(w.folder.Exists("Proto/ProtoNN.prt"));
}

void MainWindowTest::aNameThatCannotBeAFileNameIsAskedAgain() {
  test::DialogDriver driver({test::DialogDriver::Ok(), test::DialogDriver::Type("../x"),
                             test::DialogDriver::Ok(), test::DialogDriver::Type("Good")});
  MainWindow w({}, "a/b");
  QCOMPARE(driver.Count(), 4);
  QVERIFY(driver.Text(0).contains("a/b"));
  QCOMPARE(driver.Caption(1), QString("TaskName"));
  QVERIFY(driver.Text(2).contains("../x"));
  QCOMPARE(w.run.TaskName, std::string("Good"));
  QVERIFY(w.window->StartedUp());
}

void MainWindowTest::firstActivationSetsUpWorldAndClockOnce() {
  MainWindow w({{1, {100, 100}}, {2, {300, 200}}});
  w.window->Activate();
  QVERIFY(w.window->PopulationReady());
  QVERIFY(w.run.World);
  QCOMPARE(w.run.World->WorldWidth, 400);
  QCOMPARE(w.run.Mice.size(), std::size_t{2});
  QCOMPARE(w.window->windowTitle(), QString("Murinex    pop.txt   Start: 0"));
  QVERIFY(w.folder.Exists("data/Maeuse-T-0.dat"));
  QVERIFY(w.folder.Exists("data/Genom-T-0.dat"));
  QVERIFY(w.folder.Exists("Proto/ProtoT.prt"));
  QCOMPARE(w.run.DumpNumber, 1);
  QVERIFY(w.clocks.Running());
  QVERIFY(w.window->Clock()->isActive());
  QCOMPARE(w.window->StartStopItem()->text(), QString("Stop"));

  const TMaus* first = w.run.Mice[0].get();
  w.window->Activate();  // switching back to the window
  QCOMPARE(w.run.Mice[0].get(), first);
  QCOMPARE(w.run.DumpNumber, 1);
  QCOMPARE(w.window->windowTitle(), QString("Murinex    pop.txt   Start: 0"));
}

void MainWindowTest::startStopSwitchesTheClockAndItsCaption() {
  MainWindow w;
  QAction* item = w.window->StartStopItem();
  item->trigger();  // before the run is set up the clock cannot start
  QVERIFY(!w.window->Clock()->isActive());
  w.window->Activate();
  item->trigger();
  QCOMPARE(item->text(), QString("Start"));
  QVERIFY(!w.window->Clock()->isActive());
  item->trigger();
  QCOMPARE(item->text(), QString("Stop"));
  QVERIFY(w.window->Clock()->isActive());
  QCOMPARE(item->shortcut(), QKeySequence(Qt::Key_F9));
}

void MainWindowTest::menusHoldTheirItemsShortcutsAndChecks() {
  MainWindow w;
  QMenu* edit = w.window->EditMenu();
  QCOMPARE(edit->title(), QString("Bearbeiten"));
  QCOMPARE(Captions(edit), (QStringList{"StartStop", "Sound für alle?", "Beenden", "MausListAus",
                                        "Check-ID", "Paint?", "AddLines"}));
  QCOMPARE(Item(edit, "Beenden")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
  QVERIFY(Item(edit, "Paint?")->isChecked());
  QVERIFY(Item(edit, "AddLines")->isChecked());
  QVERIFY(!Item(edit, "Sound für alle?")->isChecked());
  Item(edit, "Paint?")->trigger();
  QVERIFY(!w.window->MenuSwitches().Paint);
  Item(edit, "AddLines")->trigger();
  QVERIFY(!w.run.RecordLines);
  Item(edit, "Sound für alle?")->trigger();
  QVERIFY(w.run.AllMiceAudible);
  w.run.AllMiceAudible = false;
  emit edit->aboutToShow();
  QVERIFY(!Item(edit, "Sound für alle?")->isChecked());

  QMenu* view = w.window->ViewMenu();
  QCOMPARE(view->title(), QString("Ansicht"));
  QCOMPARE(Captions(view), QStringList{"FreundFeind"});  // no other windows yet
  QVERIFY(!Item(view, "FreundFeind")->isChecked());
  Item(view, "FreundFeind")->trigger();
  QVERIFY(w.window->MenuSwitches().FreundFeind);

  ClockSet clocks;
  TFSumChart sum(w.run, clocks, w.window.get());
  TFEdit editor(w.run, clocks, w.window.get());
  TFEmo::Views views;
  views.sumChart = &sum;
  views.edit = &editor;
  w.window->SetViews(views);
  QCOMPARE(Captions(view),
           (QStringList{"Übersicht", "Personenparameter editieren", "FreundFeind"}));
  QCOMPARE(Item(view, "Personenparameter editieren")->shortcut(), QKeySequence(Qt::Key_F8));
  QCOMPARE(Item(view, "Motive editieren")->shortcut(), QKeySequence(Qt::Key_F7));
  emit view->aboutToShow();
  QVERIFY(Item(view, "Übersicht")->isChecked());
  Item(view, "Übersicht")->trigger();
  QVERIFY(!sum.isVisible());
  emit view->aboutToShow();
  QVERIFY(!Item(view, "Übersicht")->isChecked());
  w.window->SetViews({});
}

void MainWindowTest::aStartUpErrorIsShownAndTheRunDoesNotStart() {
  test::DialogDriver driver({test::DialogDriver::Ok()});
  test::RunFolder folder;
  folder.Remove("data/inimaus.ini");
  Run run(folder.Path());
  ClockSet clocks;
  TFEmo window(run, clocks, StartOptions{"T"});
  QCOMPARE(driver.Count(), 1);
  QVERIFY(driver.Text(0).contains("File: data/inimaus.ini"));
  QVERIFY(!window.StartedUp());
  window.Activate();
  QCOMPARE(driver.Count(), 1);  // nothing more is tried
  QVERIFY(!clocks.Running());
  QVERIFY(!folder.Exists("Proto/protGen.prt"));
}

void MainWindowTest::aSetUpErrorNamesFileAndLine() {
  MainWindow w;
  w.folder.Write("data/pop.txt", "Test population\nnot-a-number\n");
  test::DialogDriver driver({test::DialogDriver::Ok()});
  w.window->Activate();
  QCOMPARE(driver.Count(), 1);
  QVERIFY(driver.Text(0).contains("File: data/pop.txt"));
  QVERIFY(driver.Text(0).contains("Line: 2"));
  QVERIFY(!w.window->PopulationReady());
  QVERIFY(!w.run.World);
  QVERIFY(!w.clocks.Running());
  w.window->StartStopItem()->trigger();
  QVERIFY(!w.clocks.Running());
}

void MainWindowTest::aMissingImageAbandonsTheSetUp() {
  MainWindow w({{1, {10, 10}, 1500}});
  w.folder.Remove("bitmaps/S-MausM.bmp");
  test::DialogDriver driver({test::DialogDriver::Ok()});
  w.window->Activate();
  QCOMPARE(driver.Count(), 1);
  QVERIFY(driver.Text(0).contains("bitmaps/S-MausM.bmp"));
  QVERIFY(!w.folder.Exists("data/Maeuse-T-0.dat"));
  QVERIFY(w.run.Mice.empty());
}

void MainWindowTest::anErrorInATickStopsTheClocks() {
  MainWindow w;
  w.window->Activate();
  QVERIFY(w.clocks.Running());
  w.run.StatProto.Close();
  w.run.TickCount = 99;  // the next tick writes a statistics row
  test::DialogDriver driver({test::DialogDriver::Ok()});
  w.window->TimerLifeTimer();
  QCOMPARE(driver.Count(), 1);
  QVERIFY(driver.Text(0).contains("Proto/ProtoT.prt"));
  QVERIFY(!w.clocks.Running());
  QVERIFY(!w.run.Busy);
  QCOMPARE(w.window->StartStopItem()->text(), QString("Start"));
}

void MainWindowTest::leftClickPicksTheNearestMouseWithin100() {
  MainWindow w({{7, {100, 100}}, {8, {300, 200}}});
  w.Start();
  TMaus* second = w.run.Mice[1].get();
  QTest::mouseClick(&w.window->View(), Qt::LeftButton, {}, w.ScreenOf(*second) + QPoint(3, 2));
  QCOMPARE(w.run.SelectedMaus, second);
  QCOMPARE(w.run.CheckMausId, 8);
  // Far from both: world (0, 299) is 206 from the first mouse.
  const TPoint far = w.window->Geometry().WorldToScreen({0, 299});
  QTest::mouseClick(&w.window->View(), Qt::LeftButton, {}, QPoint(far.x, far.y));
  QCOMPARE(w.run.SelectedMaus, nullptr);
  QCOMPARE(w.run.CheckMausId, 8);
}

void MainWindowTest::otherButtonsPickTheCheckMouse_data() {
  QTest::addColumn<int>("checkId");
  QTest::addColumn<int>("picked");  // -1: none
  QTest::newRow("check mouse 35 lives") << 35 << 35;
  QTest::newRow("no mouse with that ID") << 99 << -1;
}

void MainWindowTest::otherButtonsPickTheCheckMouse() {
  QFETCH(int, checkId);
  QFETCH(int, picked);
  MainWindow w({{7, {100, 100}}, {35, {300, 200}}});
  w.Start();
  w.run.CheckMausId = checkId;
  w.run.SelectMaus(w.run.Mice[0].get());
  QTest::mouseClick(&w.window->View(), Qt::RightButton, {}, w.ScreenOf(*w.run.Mice[0]));
  if (picked < 0) {
    QCOMPARE(w.run.SelectedMaus, nullptr);
    QCOMPARE(w.run.CheckMausId, checkId);
  } else {
    QVERIFY(w.run.SelectedMaus);
    QCOMPARE(w.run.SelectedMaus->ID, picked);
    QCOMPARE(w.run.CheckMausId, picked);
  }
}

void MainWindowTest::mausListAusTwiceWritesConsecutiveNumbers() {
  MainWindow w({{1, {10, 10}, 1500}});
  w.window->Activate();
  QAction* item = Item(w.window->EditMenu(), "MausListAus");
  item->trigger();
  item->trigger();
  for (const char* name :
       {"data/Maeuse-T-1.dat", "data/Genom-T-1.dat", "data/Maeuse-T-2.dat", "data/Genom-T-2.dat"})
    QVERIFY2(w.folder.Exists(name), name);
  QVERIFY(!w.folder.Exists("data/Maeuse-T-3.dat"));
  QCOMPARE(w.run.DumpNumber, 3);
}

void MainWindowTest::closingInAnyWayRunsBeenden_data() {
  QTest::addColumn<bool>("viaMenu");
  QTest::addColumn<int>("dumpsBefore");
  QTest::newRow("Beenden") << true << 0;
  QTest::newRow("close box") << false << 0;
  QTest::newRow("after one MausListAus") << true << 1;
}

void MainWindowTest::closingInAnyWayRunsBeenden() {
  QFETCH(bool, viaMenu);
  QFETCH(int, dumpsBefore);
  MainWindow w({{1, {10, 10}, 1500}});
  w.Start();
  for (int i = 0; i < dumpsBefore; ++i)
    w.window->MausListAus();
  QSignalSpy closed(w.window.get(), &TFEmo::Closed);
  if (viaMenu)
    Item(w.window->EditMenu(), "Beenden")->trigger();
  else
    w.window->close();
  // The number the next periodic dump would use, which stays as it is.
  const std::string number = std::to_string(1 + dumpsBefore);
  QVERIFY(w.folder.Exists("data/Maeuse-T-" + number + ".dat"));
  QVERIFY(w.folder.Exists("data/Genom-T-" + number + ".dat"));
  QCOMPARE(w.run.DumpNumber, 1 + dumpsBefore);
  for (const OutFile* f :
       {&w.run.StatProto, &w.run.KofiProt, &w.run.Behaviour, &w.run.BirthLog, &w.run.AggProt})
    QVERIFY(!f->IsOpen());
  QCOMPARE(closed.count(), 1);
  QVERIFY(!w.clocks.Running());
  QVERIFY(!w.window->isVisible());
  w.window->close();  // a second close writes nothing more
  QVERIFY(!w.folder.Exists("data/Maeuse-T-" + std::to_string(2 + dumpsBefore) + ".dat"));
}

void MainWindowTest::checkIdReadsADecimalInteger_data() {
  QTest::addColumn<bool>("ok");
  QTest::addColumn<QString>("answer");
  QTest::addColumn<int>("checkId");
  QTest::addColumn<bool>("complaint");
  QTest::newRow("a number") << true << "12" << 12 << false;
  QTest::newRow("blanks around it") << true << " 7 " << 7 << false;
  QTest::newRow("not a number") << true << "abc" << 35 << true;
  QTest::newRow("cancelled") << false << "12" << 35 << false;
}

void MainWindowTest::checkIdReadsADecimalInteger() {
  QFETCH(bool, ok);
  QFETCH(QString, answer);
  QFETCH(int, checkId);
  QFETCH(bool, complaint);
  MainWindow w;
  test::DialogDriver driver({ok ? test::DialogDriver::Type(answer) : test::DialogDriver::Cancel(),
                             test::DialogDriver::Ok()});
  Item(w.window->EditMenu(), "Check-ID")->trigger();
  QCOMPARE(driver.Caption(0), QString("CheckMaus-ID"));
  QCOMPARE(driver.Text(0), QString("Geben Sie die ID der Prüf-Maus ein!"));
  QCOMPARE(driver.Defaults(), QStringList{"35"});
  QCOMPARE(w.run.CheckMausId, checkId);
  QCOMPARE(driver.Count(), complaint ? 2 : 1);
  if (complaint) QCOMPARE(driver.Text(1), QString("'abc' is not a valid integer value."));
}

void MainWindowTest::withViewsThePickedMouseIsShownAndADyingOneIsLetGo() {
  MainWindow w({{1, {100, 100}}, {2, {300, 200}}});
  w.Start();
  TFChart chart(w.run, w.clocks, w.window.get());
  TFEmo::Views views;
  views.chart = &chart;
  w.window->SetViews(views);
  TMaus* second = w.run.Mice[1].get();
  QTest::mouseClick(&w.window->View(), Qt::LeftButton, {}, w.ScreenOf(*second));
  QCOMPARE(chart.Maus(), second);
  QVERIFY(chart.isVisible());
  QCOMPARE(chart.windowTitle(), QString("2"));
  RemoveMaus(w.run, 1);  // the shown mouse dies
  QCOMPARE(chart.Maus(), nullptr);
  QVERIFY(!chart.isVisible());
  chart.ClockTick();  // and the chart goes on with the others
  w.window->SetViews({});
}

void MainWindowTest::withoutPaintTheViewKeepsItsPictureButPickingRedraws() {
  MainWindow w({{1, {100, 100}, 1500}});
  w.Start();
  w.clocks.SetRunning(false);
  w.window->MenuSwitches().Paint = false;
  TMaus& m = *w.run.Mice[0];
  const QPoint before = w.ScreenOf(m);
  const QColor mouseColour(139, 69, 19);  // the block of the test images
  QCOMPARE(w.window->View().Buffer().pixelColor(before), mouseColour);
  m.Position = {300, 200};
  w.window->TimerLifeTimer();
  QCOMPARE(w.window->View().Buffer().pixelColor(before), mouseColour);  // the old picture
  QTest::mouseClick(&w.window->View(), Qt::LeftButton, {}, w.ScreenOf(m));
  QCOMPARE(w.run.SelectedMaus, &m);
  QVERIFY(w.window->View().Buffer().pixelColor(before) != mouseColour);
  QCOMPARE(w.window->View().Buffer().pixelColor(w.ScreenOf(m)), mouseColour);
}

}  // namespace murinex

QTEST_MAIN(murinex::MainWindowTest)
#include "main_window_test.moc"
