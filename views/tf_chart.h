#pragma once

#include <QImage>
#include <QMargins>
#include <QWidget>
#include <array>

#include "sim/tick/charts.h"

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QTimer;

namespace murinex {

class ChartWidget;
class ClockSet;
class Run;
class TMaus;

// The mouse chart window: two line charts, each showing one group of the chart
// lines of the picked mouse, and the need, goal and action bands. Its clock
// records a point for every mouse while "AddLines" is checked.
class TFChart : public QWidget {
  Q_OBJECT

 public:
  TFChart(Run& run, ClockSet& clocks, QWidget* parent = nullptr);

  // Shows the lines of m, or hides the window for none.
  void ShowMaus(TMaus* m);
  TMaus* Maus() const { return mouse_; }

  void SetPage(int length);
  void Set3D(bool on);
  void PickGroup1(int index);
  void PickGroup2(int index);
  int Group1() const { return group1_; }
  int Group2() const { return group2_; }

  // One tick of the chart clock.
  void ClockTick();
  // After a resume: the sample numbers go on from where the run was saved.
  void ContinuePaging();

  // The five charts as they are on the screen.
  QImage Picture();
  // The shown mouse's lines of the current page as CSV (empty without a mouse).
  QString DataCsv() const;

  // The data of a save, taken when the user asks for it: the clocks go on
  // while the file dialog is open, and the mouse may die meanwhile.
  struct Data {
    QString mouse;  // the ID, empty without a mouse
    QString csv;
    std::size_t samples = 0;
  };
  Data TakeData() const;
  // Empty when there is something to write, otherwise why not.
  static QString NothingToWrite(const Data& data);
  bool SavePicture(const QString& path, QString& error) {
    return SavePicture(path, Picture(), error);
  }
  bool SavePicture(const QString& path, const QImage& picture, QString& error);
  bool SaveData(const QString& path, QString& error) { return SaveData(path, TakeData(), error); }
  // Writes nothing when there is nothing to write.
  bool SaveData(const QString& path, const Data& data, QString& error);
  void SetTickAxis(bool on);

  const MouseChartRecorder& Recorder() const { return recorder_; }
  ChartWidget& Chart(int index) { return *charts_[index]; }
  QMenu* GroupMenu(int which) const { return which == 1 ? gruppe1_ : gruppe2_; }
  QMenu* ViewMenu() const { return ansicht_; }
  QTimer* Clock() const { return clock_; }

 signals:
  // Something was written, or could not be, in words for the main window's status bar.
  void Exported(const QString& what);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void CreateMenus();
  void CreateCharts();
  void PlaceInWorkArea();
  void FillGroupMenu(QMenu* menu, QActionGroup*& group);
  void Attach(int chart, int group);
  void Detach(int chart);
  void AttachBands();
  void SetGroupItemEnabled(QMenu* menu, int index, bool enabled);
  void CheckGroupItem(QMenu* menu, int index);
  void UpdateViewChecks();
  void ShowRunning(bool running);
  void AskSavePicture();
  void AskSaveData();
  QString DefaultFileName(const QString& extension) const;
  void UpdateSampleTicks();

  Run& run_;
  ClockSet& clocks_;
  MouseChartRecorder recorder_;
  TMaus* mouse_ = nullptr;
  bool placedWithFrame_ = false;
  QMargins placedWith_;  // the frame the window was last placed with
  int group1_ = 0;
  int group2_ = 1;

  QMenuBar* menuBar_ = nullptr;
  QMenu* gruppe1_ = nullptr;
  QMenu* gruppe2_ = nullptr;
  QMenu* ansicht_ = nullptr;
  QActionGroup* groupItems1_ = nullptr;
  QActionGroup* groupItems2_ = nullptr;
  QAction* legende_ = nullptr;
  QAction* view3D_ = nullptr;
  std::array<QAction*, 3> pageItems_{};
  QAction* startStop_ = nullptr;
  QAction* stopAtPageEnd_ = nullptr;
  QAction* tickAxis_ = nullptr;
  std::array<ChartWidget*, 5> charts_{};
  QTimer* clock_ = nullptr;
};

}  // namespace murinex
