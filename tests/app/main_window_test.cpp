#include <QCoreApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "tests/views/menu_items.h"

#include "agent/mouse_list.h"
#include "app/run_folder_chooser.h"
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

QString StatusText(const TFEmo& window, TFEmo::Status field) {
  return window.StatusField(field)->text();
}

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
  void checkIdSaysWhenNoMouseHasTheId();
  void withViewsThePickedMouseIsShownAndADyingOneIsLetGo();
  void withoutPaintTheViewKeepsItsPictureButPickingRedraws();
  void theStatusBarShowsTickMiceRateAndTaskAfterATick();
  void mausListAusNamesItsFilesInTheStatusBar();
  void aStopByF9OrTheMenuNamesItsCause();
  void aStopAtTheEndOfAChartPageNamesItsCause();
  void aStartThatCannotHappenSaysWhy();
  void pickedAndCheckMouseAreMarkedWhenTheyDiffer();
  void bildSpeichernWritesTheBackBuffer();
  void bildSpeichernAtAScaleDrawsTheSamePictureFiner();
  void bildSpeichernHoldsTheRunWhileItsDialogIsOpen_data();
  void bildSpeichernHoldsTheRunWhileItsDialogIsOpen();
  void chartDataAreTakenWhenTheUserAsks();
  void withoutARunFolderTheUserIsToldAndChoosesOne();
  void cancellingTheFolderChooserEndsTheStart();
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
  QCOMPARE(Captions(edit),
           (QStringList{"StartStop", "Sound für alle?", "Beenden", "MausListAus", "Check-ID",
                        "Checkpoint", "Paint?", "AddLines", "Bild speichern…"}));
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
  const QString event = StatusText(*w.window, TFEmo::Status::Event);
  QVERIFY2(event.startsWith("clock stopped: error in tick 100: Proto/ProtoT.prt"),
           qPrintable(event));
}

void MainWindowTest::leftClickPicksTheNearestMouseWithin100() {
  MainWindow w({{7, {100, 100}}, {8, {300, 200}}});
  w.Start();
  TMaus* second = w.run.Mice[1].get();
  QTest::mouseClick(&w.window->View(), Qt::LeftButton, {}, w.ScreenOf(*second) + QPoint(3, 2));
  QCOMPARE(w.run.Selected(), second);
  QCOMPARE(w.run.CheckMausId, 8);
  // Far from both: world (0, 299) is 206 from the first mouse.
  const TPoint far = w.window->Geometry().WorldToScreen({0, 299});
  QTest::mouseClick(&w.window->View(), Qt::LeftButton, {}, QPoint(far.x, far.y));
  QCOMPARE(w.run.Selected(), nullptr);
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
  w.run.SelectMaus(w.run.Mice[0]->Handle);
  QTest::mouseClick(&w.window->View(), Qt::RightButton, {}, w.ScreenOf(*w.run.Mice[0]));
  if (picked < 0) {
    QCOMPARE(w.run.Selected(), nullptr);
    QCOMPARE(w.run.CheckMausId, checkId);
  } else {
    QVERIFY(w.run.Selected());
    QCOMPARE(w.run.Selected()->ID, picked);
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
  // Neither resumed nor checkpointed: nothing says the user will resume it.
  QVERIFY(!w.folder.Exists("data/checkpoint-T.mxc"));
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

void MainWindowTest::checkIdSaysWhenNoMouseHasTheId() {
  MainWindow w({{1, {100, 100}, 1500}, {2, {300, 200}, 1500}});
  w.Start();
  w.clocks.SetRunning(false, "the test");
  const QString id = QString::number(w.run.Mice[1]->ID);
  const std::pair<QString, QString> answers[] = {
      {id, "check mouse set to " + id},
      {"999",
       "check mouse set to 999: no living mouse has ID 999, so no decisions are logged "
       "until one has"}};
  for (const auto& [answer, said] : answers) {
    test::DialogDriver driver({test::DialogDriver::Type(answer)});
    Item(w.window->EditMenu(), "Check-ID")->trigger();
    QCOMPARE(QString::number(w.run.CheckMausId), answer);
    QCOMPARE(StatusText(*w.window, TFEmo::Status::Event), said);
  }
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
  RemoveMaus(w.run, 1);  // the shown mouse dies: the model does not call the window
  QCOMPARE(chart.Maus(), second);
  w.window->FollowSelection();  // which follows once the model's work is done
  QCOMPARE(chart.Maus(), nullptr);
  QVERIFY(!chart.isVisible());
  chart.ClockTick();  // and the chart goes on with the others
  w.window->SetViews({});
}

void MainWindowTest::withoutPaintTheViewKeepsItsPictureButPickingRedraws() {
  MainWindow w({{1, {100, 100}, 1500}});
  w.Start();
  w.clocks.SetRunning(false, "the test");
  w.window->MenuSwitches().Paint = false;
  TMaus& m = *w.run.Mice[0];
  const QPoint before = w.ScreenOf(m);
  const QColor mouseColour(139, 69, 19);  // the block of the test images
  QCOMPARE(w.window->View().Buffer().pixelColor(before), mouseColour);
  m.Position = {300, 200};
  w.window->TimerLifeTimer();
  QCOMPARE(w.window->View().Buffer().pixelColor(before), mouseColour);  // the old picture
  QTest::mouseClick(&w.window->View(), Qt::LeftButton, {}, w.ScreenOf(m));
  QCOMPARE(w.run.Selected(), &m);
  QVERIFY(w.window->View().Buffer().pixelColor(before) != mouseColour);
  QCOMPARE(w.window->View().Buffer().pixelColor(w.ScreenOf(m)), mouseColour);
}

void MainWindowTest::theStatusBarShowsTickMiceRateAndTaskAfterATick() {
  MainWindow w({{1, {100, 100}}, {2, {300, 200}}});
  w.Start();
  QCOMPARE(StatusText(*w.window, TFEmo::Status::Event),
           QString("clock started: the run is set up"));
  w.window->Clock()->stop();           // the clocks count as running, but only the test ticks
  const int before = w.run.TickCount;  // the clock may have ticked while the window appeared
  for (int i = 0; i < 3; ++i) {
    QTest::qWait(10);
    w.window->TimerLifeTimer();
  }
  QCOMPARE(StatusText(*w.window, TFEmo::Status::Tick), QString("Tick %1").arg(w.run.TickCount));
  QCOMPARE(w.run.TickCount, before + 3);
  QCOMPARE(StatusText(*w.window, TFEmo::Status::Mice), QString("2 mice"));
  QCOMPARE(StatusText(*w.window, TFEmo::Status::Task), QString("Task T"));
  // Three ticks at least 10 ms apart: fewer than 100 a second, but some.
  const QString rate = StatusText(*w.window, TFEmo::Status::Rate);
  QVERIFY2(rate.endsWith(" ticks/s"), qPrintable(rate));
  const double perSecond = rate.section(' ', 0, 0).toDouble();
  QVERIFY2(perSecond > 0 && perSecond <= 100, qPrintable(rate));
  w.clocks.SetRunning(false, "the test");
  QCOMPARE(StatusText(*w.window, TFEmo::Status::Rate), QString("stopped"));
}

void MainWindowTest::mausListAusNamesItsFilesInTheStatusBar() {
  MainWindow w({{1, {10, 10}, 1500}});
  w.window->Activate();
  QCOMPARE(StatusText(*w.window, TFEmo::Status::Event),
           QString("clock started: the run is set up"));
  Item(w.window->EditMenu(), "MausListAus")->trigger();
  QCOMPARE(StatusText(*w.window, TFEmo::Status::Event),
           QString("dump 1 written: data/Maeuse-T-1.dat, data/Genom-T-1.dat"));
  QVERIFY(w.folder.Exists("data/Maeuse-T-1.dat"));
}

void MainWindowTest::aStopByF9OrTheMenuNamesItsCause() {
  MainWindow w({{1, {10, 10}, 1500}});
  w.Start();
  QApplication::setActiveWindow(w.window.get());
  QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
  QTest::keyClick(w.window.get(), Qt::Key_F9);
  QVERIFY(!w.clocks.Running());
  QCOMPARE(StatusText(*w.window, TFEmo::Status::Event),
           QString("clock stopped: F9 (StartStop) in the main window"));
  w.window->StartStopItem()->trigger();  // as a click on the item does
  QVERIFY(w.clocks.Running());
  QCOMPARE(StatusText(*w.window, TFEmo::Status::Event),
           QString("clock started: \"Start\" chosen in menu \"Bearbeiten\" of the main window"));
}

void MainWindowTest::aStopAtTheEndOfAChartPageNamesItsCause() {
  MainWindow w({{1, {10, 10}, 1500}});
  w.window->Activate();
  TFChart chart(w.run, w.clocks, w.window.get());
  Item(chart.ViewMenu(), "Stop am Seitenende")->setChecked(true);
  w.run.TickCount = 1019;
  for (int i = 0; i < 51; ++i)  // a page of 50 holds 51 points
    chart.ClockTick();
  QVERIFY(!w.clocks.Running());
  QCOMPARE(StatusText(*w.window, TFEmo::Status::Event),
           QString("clock stopped: \"Stop am Seitenende\" in the mouse chart: page of 50 points "
                   "full at tick 1019"));
  Item(chart.ViewMenu(), "Stop am Seitenende")->setChecked(false);
  QVERIFY(w.clocks.Running());
  QCOMPARE(StatusText(*w.window, TFEmo::Status::Event),
           QString("clock started: \"Stop am Seitenende\" unchecked in the mouse chart"));
}

void MainWindowTest::aStartThatCannotHappenSaysWhy() {
  MainWindow w;
  w.folder.Write("data/pop.txt", "Test population\nnot-a-number\n");
  test::DialogDriver driver({test::DialogDriver::Ok()});
  w.window->Activate();
  QVERIFY(StatusText(*w.window, TFEmo::Status::Event).startsWith("error: data/pop.txt:2: "));
  w.window->StartStopItem()->trigger();
  QVERIFY(!w.clocks.Running());
  const QString event = StatusText(*w.window, TFEmo::Status::Event);
  QVERIFY2(event.startsWith("clock cannot start (\"StartStop\" chosen in menu \"Bearbeiten\" of "
                            "the main window): the run could not be set up: data/pop.txt:2: "),
           qPrintable(event));
}

void MainWindowTest::pickedAndCheckMouseAreMarkedWhenTheyDiffer() {
  MainWindow w({{7, {100, 100}}, {8, {300, 200}}});
  w.Start();
  QLabel* field = w.window->StatusField(TFEmo::Status::PickedAndCheck);
  QCOMPARE(field->text(), QString("no mouse picked, check 35 not logged"));
  QTest::mouseClick(&w.window->View(), Qt::LeftButton, {}, w.ScreenOf(*w.run.Mice[0]));
  QCOMPARE(field->text(), QString("picked = check 7"));
  QVERIFY(field->styleSheet().isEmpty());
  test::DialogDriver driver({test::DialogDriver::Type("8")});
  Item(w.window->EditMenu(), "Check-ID")->trigger();
  QCOMPARE(field->text(), QString("picked 7 ≠ check 8"));
  QVERIFY(field->styleSheet().contains("bold"));
  QCOMPARE(StatusText(*w.window, TFEmo::Status::Event), QString("check mouse set to 8"));
  // Another button picks the check mouse: they agree again.
  QTest::mouseClick(&w.window->View(), Qt::RightButton, {}, w.ScreenOf(*w.run.Mice[0]));
  QCOMPARE(field->text(), QString("picked = check 8"));
}

void MainWindowTest::bildSpeichernWritesTheBackBuffer() {
  MainWindow w({{1, {100, 100}, 1500}});
  w.Start();
  test::TempDir out;
  const QString path = QString::fromStdString((out / "world.png").string());
  QString error;
  QVERIFY2(w.window->SaveWorldPicture(path, 1, error), qPrintable(error));
  const QImage saved(path);
  const QImage& buffer = w.window->View().Buffer();
  QCOMPARE(saved.size(), buffer.size());
  QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), buffer);
  QVERIFY(StatusText(*w.window, TFEmo::Status::Event).endsWith(path));
  // Through the menu item: the dialog offers a name in the run folder.
  test::DialogDriver driver({test::DialogDriver::Cancel()});
  w.window->SavePictureItem()->trigger();
  QCOMPARE(driver.Caption(0), QString("Bild speichern…"));
}

void MainWindowTest::bildSpeichernAtAScaleDrawsTheSamePictureFiner() {
  MainWindow w({{1, {100, 100}, 1500}});
  w.Start();
  const QImage& buffer = w.window->View().Buffer();
  const QImage twice = w.window->WorldPicture(2);
  QCOMPARE(twice.size(), buffer.size() * 2);
  // The 5 x 5 block in the middle of the mouse image becomes 10 x 10.
  const QPoint mouse = w.ScreenOf(*w.run.Mice[0]);
  const QColor mouseColour(139, 69, 19);
  QCOMPARE(buffer.pixelColor(mouse), mouseColour);
  for (const QPoint offset : {QPoint(-4, -4), QPoint(0, 0), QPoint(5, 5)})
    QCOMPARE(twice.pixelColor(mouse * 2 + offset), mouseColour);
  QVERIFY(twice.pixelColor(mouse * 2 + QPoint(7, 7)) != mouseColour);
  // The background where the world is not drawn, at both scales.
  QCOMPARE(twice.pixelColor(0, 0), buffer.pixelColor(0, 0));
}

void MainWindowTest::bildSpeichernHoldsTheRunWhileItsDialogIsOpen_data() {
  QTest::addColumn<bool>("running");
  QTest::newRow("clocks running") << true;
  QTest::newRow("clocks stopped by the user") << false;
}

void MainWindowTest::bildSpeichernHoldsTheRunWhileItsDialogIsOpen() {
  QFETCH(bool, running);
  MainWindow w({{1, {100, 100}, 1500}, {2, {300, 200}, 1500}});
  w.Start();
  if (!running) w.clocks.SetRunning(false, "the test");
  test::TempDir out;
  const QString path = QString::fromStdString((out / "world.png").string());
  bool ranWhileOpen = true;
  QString proposed;
  int tickWhileOpen = -1;
  test::DialogDriver driver({[&](QWidget* dialog) {
    ranWhileOpen = w.clocks.Running() || w.window->Clock()->isActive();
    tickWhileOpen = w.run.TickCount;
    auto* name = dialog->findChild<QLineEdit*>();
    proposed = name->text();
    name->setText(path);
    qobject_cast<QDialog*>(dialog)->done(QDialog::Accepted);
  }});
  w.window->SavePictureItem()->trigger();
  QVERIFY(!ranWhileOpen);
  // The name proposed names the tick of the picture written.
  QCOMPARE(QFileInfo(proposed).fileName(), QString("Welt-T-tick%1.png").arg(tickWhileOpen));
  QCOMPARE(w.run.TickCount, tickWhileOpen);
  QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), w.window->View().Buffer());
  QVERIFY(StatusText(*w.window, TFEmo::Status::Event).endsWith(path));
  // Afterwards the clocks are as the user had left them.
  QCOMPARE(w.clocks.Running(), running);
}

void MainWindowTest::chartDataAreTakenWhenTheUserAsks() {
  MainWindow w({{1, {100, 100}, 1500}, {2, {300, 200}, 1500}});
  w.Start();
  TFChart chart(w.run, w.clocks, w.window.get());
  TFEmo::Views views;
  views.chart = &chart;
  w.window->SetViews(views);
  w.clocks.SetRunning(false, "the test");  // only the test ticks
  QTest::mouseClick(&w.window->View(), Qt::LeftButton, {}, w.ScreenOf(*w.run.Mice[1]));
  const int first = w.run.TickCount + 1;
  for (int i = 0; i < 3; ++i) {
    w.window->TimerLifeTimer();
    chart.ClockTick();
  }
  test::TempDir out;
  const QString path = QString::fromStdString((out / "chart.csv").string());
  QString proposed;
  {
    // The charted mouse dies while the file dialog is open.
    test::DialogDriver driver({[&](QWidget* dialog) {
      auto* files = qobject_cast<QFileDialog*>(dialog);
      proposed = files->selectedFiles().value(0);
      for (std::size_t i = 0; i < w.run.Mice.size(); ++i)
        if (w.run.Mice[i].get() == chart.Maus()) RemoveMaus(w.run, i);
      w.window->FollowSelection();  // as the main clock does after its tick
      files->selectFile(path);
      QMetaObject::invokeMethod(files, "accept");
    }});
    test::Item(chart.ViewMenu(), "Daten speichern (CSV)…")->trigger();
  }
  QCOMPARE(QFileInfo(proposed).fileName(), QString("Chart-2-T-tick%1.csv").arg(first + 2));
  // The three samples the user saw when asking, each with its tick.
  const QStringList rows =
      QString::fromStdString(test::ReadText(out / "chart.csv")).split('\n', Qt::SkipEmptyParts);
  QCOMPARE(rows.size(), 4);
  QVERIFY(rows[0].startsWith("tick,"));
  for (int i = 0; i < 3; ++i)
    QVERIFY2(rows[i + 1].startsWith(QString::number(first + i) + ","), qPrintable(rows[i + 1]));
  QCOMPARE(StatusText(*w.window, TFEmo::Status::Event),
           "chart data of mouse 2 saved (3 samples): " + path);
  // Without a mouse there is nothing to write: no file dialog, and the user is told why.
  QCOMPARE(chart.Maus(), nullptr);
  test::DialogDriver nothing({test::DialogDriver::Ok()});
  test::Item(chart.ViewMenu(), "Daten speichern (CSV)…")->trigger();
  QCOMPARE(nothing.Count(), 1);
  QCOMPARE(nothing.Text(0), QString("Nothing to save: no mouse is shown."));
  QCOMPARE(StatusText(*w.window, TFEmo::Status::Event),
           QString("chart data not saved: no mouse is shown"));
  w.window->SetViews({});
}

void MainWindowTest::withoutARunFolderTheUserIsToldAndChoosesOne() {
  test::TempDir empty;
  test::RunFolder folder;
  const QString run = QString::fromStdString(folder.Path().string());
  test::DialogDriver driver(
      {test::DialogDriver::Ok(),
       test::DialogDriver::ChooseFolder(QString::fromStdString(empty.path().string())),
       test::DialogDriver::Ok(), test::DialogDriver::ChooseFolder(run)});
  const auto chosen = ChooseRunFolder(empty.path() / "missing");
  QVERIFY(chosen);
  QCOMPARE(*chosen, folder.Path());
  QCOMPARE(driver.Count(), 4);
  QCOMPARE(driver.Text(0).section('\n', 0, 0),
           "The run folder \"" + QString::fromStdString((empty.path() / "missing").string()) +
               "\" does not exist.");
  QCOMPARE(driver.Caption(1), QString("Run-Ordner öffnen…"));
  // A folder without the start-up file is no run either.
  QVERIFY2(driver.Text(2).contains("data/inimaus.ini is missing"), qPrintable(driver.Text(2)));
  QCOMPARE(driver.Caption(3), QString("Run-Ordner öffnen…"));
  QVERIFY(IsRunFolder(folder.Path()));
}

void MainWindowTest::cancellingTheFolderChooserEndsTheStart() {
  test::TempDir empty;
  test::DialogDriver driver({test::DialogDriver::Ok(), test::DialogDriver::Cancel()});
  QVERIFY(!ChooseRunFolder(empty.path()));
  QCOMPARE(driver.Count(), 2);
  QVERIFY(std::filesystem::is_empty(empty.path()));  // nothing written
  // A run folder needs no dialog at all.
  test::RunFolder folder;
  QCOMPARE(ChooseRunFolder(folder.Path()).value(), folder.Path());
  QCOMPARE(ChooseRunFolder(folder.Path() / ".").value(), folder.Path());
  QCOMPARE(driver.Count(), 2);
}

}  // namespace murinex

QTEST_MAIN(murinex::MainWindowTest)
#include "main_window_test.moc"
