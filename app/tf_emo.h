#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <deque>
#include <optional>
#include <string>

#include "app/mouse_images.h"
#include "app/world_geometry.h"
#include "model/run.h"

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace murinex {

class ClockSet;
class TFChart;
class TFColor;
class TFEdit;
class TFEditMotiv;
class TFGenom;
class TFSumChart;
class WorldView;

struct StartOptions {
  // Answers the "TaskName" prompt in advance (for scripted runs).
  std::optional<std::string> taskName;
  // Continues the run from the task's checkpoint in the run folder, if there is one.
  bool resume = false;
};

// The main window: the world view, the tick clock and the menus "Bearbeiten"
// and "Ansicht". Creating it starts the run (start-up file, task name, birth
// log); its first activation sets the population up, loads the world and
// starts the clocks. Closing it in any way ends the run as "Beenden" does.
class TFEmo : public QMainWindow {
  Q_OBJECT

 public:
  // The other windows of the program, created after the main window.
  // The check items of the menus that only the window reads.
  struct Switches {
    bool Paint = true;         // "Paint?": redraw the world every tick
    bool FreundFeind = false;  // "FreundFeind": relation discs around the picked mouse
  };

  struct Views {
    TFChart* chart = nullptr;
    TFEditMotiv* editMotiv = nullptr;
    TFGenom* genom = nullptr;
    TFSumChart* sumChart = nullptr;
    TFEdit* edit = nullptr;
    TFColor* color = nullptr;
  };

  TFEmo(Run& run, ClockSet& clocks, const StartOptions& options);
  ~TFEmo() override;

  void SetViews(const Views& views);

  // The first activation: population set-up with the mouse images, the world
  // file, the clocks on. Later calls do nothing.
  void Activate();
  bool StartedUp() const { return startedUp_; }
  bool PopulationReady() const { return populationReady_; }

  void DrawWorld();
  ViewGeometry Geometry() const;
  // The tick handler of the main clock.
  void TimerLifeTimer();
  // A press on the world view: left picks the nearest mouse, another button the check mouse.
  void PointerPressed(Qt::MouseButton button, QPoint position);
  void MausListAus();
  // "Checkpoint": the run's state as it is now, to be continued later.
  void WriteCheckpointNow();
  void AskCheckId();

  // "Bild speichern…": the world view as PNG, at its current size (scale 1:
  // the back buffer itself) or drawn anew at a multiple of it.
  QImage WorldPicture(double scale) const;
  bool SaveWorldPicture(const QString& path, double scale, QString& error) {
    return SaveWorldPicture(path, WorldPicture(scale), error);
  }
  bool SaveWorldPicture(const QString& path, const QImage& picture, QString& error);
  // Asks where and at which scale; the clocks stand while the dialog is open.
  void AskSavePicture();

  // The fields of the status bar.
  enum class Status { Event, Tick, Mice, Rate, Task, PickedAndCheck };
  QLabel* StatusField(Status field) const;
  // Shows what just happened in the status bar.
  void ShowEvent(const QString& text);

  void MausSelected(TMaus* mouse);
  // Shows the picked mouse anew when the run has picked another one since.
  void FollowSelection();

  WorldView& View() { return *view_; }
  QTimer* Clock() const { return clock_; }
  MouseImages& Images() { return images_; }
  QMenu* EditMenu() const { return bearbeiten_; }
  QMenu* ViewMenu() const { return ansicht_; }
  QAction* StartStopItem() const { return startStop_; }
  QAction* SavePictureItem() const { return savePicture_; }
  Switches& MenuSwitches() { return switches_; }

 signals:
  // The window was closed and the run ended.
  void Closed();

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate(const StartOptions& options);
  void FitToWorkArea();
  std::string AskTaskName(std::optional<std::string> answer);
  void CreateEditMenu();
  void CreateViewMenu();
  QAction* AddCheckItem(QMenu* menu, const QString& caption, bool& flag);
  void ShowRunning(bool running);
  void CreateStatusBar();
  void UpdateStatus();
  void ShowPickedAndCheck();
  void ShowRate();
  void ClocksSwitched(bool running, const QString& cause);
  void StartRefused(const QString& cause, const QString& whyNot);
  void ShowDumpWritten(int number, const std::string& population, const std::string& genomes);
  void FinishOnce();
  void OpenModal(QWidget* dialog);

  Run& run_;
  ClockSet& clocks_;
  Views views_;
  Switches switches_;
  MouseImages images_;
  WorldView* view_ = nullptr;
  QTimer* clock_ = nullptr;
  QMenu* bearbeiten_ = nullptr;
  QMenu* ansicht_ = nullptr;
  QAction* startStop_ = nullptr;
  QAction* soundForAll_ = nullptr;
  QAction* uebersicht_ = nullptr;
  QAction* editParams_ = nullptr;
  QAction* editMotives_ = nullptr;
  QAction* genom_ = nullptr;
  QAction* farben_ = nullptr;
  QAction* savePicture_ = nullptr;
  QLabel* event_ = nullptr;
  QLabel* tick_ = nullptr;
  QLabel* mice_ = nullptr;
  QLabel* rate_ = nullptr;
  QLabel* task_ = nullptr;
  QLabel* pickedAndCheck_ = nullptr;
  // When the last ticks ran, for the measured ticks per second.
  QElapsedTimer sinceStart_;
  std::deque<qint64> tickTimes_;
  bool startedUp_ = false;
  bool firstActivation_ = true;
  std::uint64_t seenSelection_ = 0;  // the run's SelectionChanges last followed
  bool populationReady_ = false;
  bool finished_ = false;
  bool resuming_ = false;
  // "Beenden" writes a checkpoint too: the run was started to be resumed or
  // has written one.
  bool checkpointOnQuit_ = false;
};

}  // namespace murinex
