#pragma once

#include <QImage>
#include <QMargins>
#include <QWidget>

class QAction;
class QMenu;
class QTimer;

namespace murinex {

class ChartWidget;
class ClockSet;
class Run;

// The summary chart window "Übersicht": the population means of the summary
// lines, one point per tick of its clock, paged by 100.
class TFSumChart : public QWidget {
  Q_OBJECT

 public:
  // Placed to the right of mainWindow, which is also its parent.
  TFSumChart(Run& run, ClockSet& clocks, QWidget* mainWindow);

  // One tick of the chart clock.
  void ClockTick();
  void Set3D(bool on);

  ChartWidget& Chart() { return *chart_; }
  QMenu* ViewMenu() const { return ansicht_; }
  QTimer* Clock() const { return clock_; }

  static QString Caption(std::size_t population);

  QImage Picture();
  QString DataCsv() const;
  // The data of a save, taken when the user asks for it (the clocks go on
  // while the file dialog is open).
  struct Data {
    QString csv;
    std::size_t samples = 0;
  };
  Data TakeData() const;
  bool SavePicture(const QString& path, QString& error) {
    return SavePicture(path, Picture(), error);
  }
  bool SavePicture(const QString& path, const QImage& picture, QString& error);
  bool SaveData(const QString& path, QString& error) { return SaveData(path, TakeData(), error); }
  // Writes nothing when the page holds no samples.
  bool SaveData(const QString& path, const Data& data, QString& error);
  void SetTickAxis(bool on);

 signals:
  // Something was written, or could not be, in words for the main window's status bar.
  void Exported(const QString& what);

 protected:
  void moveEvent(QMoveEvent* event) override;

 private:
  void CreateMenu();
  void PlaceRightOf(const QWidget* mainWindow);
  void AttachLines();
  void AskSavePicture();
  void AskSaveData();
  QString DefaultFileName(const QString& extension) const;

  Run& run_;
  ChartWidget* chart_ = nullptr;
  QMenu* ansicht_ = nullptr;
  QAction* legende_ = nullptr;
  QAction* view3D_ = nullptr;
  QAction* tickAxis_ = nullptr;
  QTimer* clock_ = nullptr;
  QMargins placedWith_;  // the frame the window was last placed with
};

}  // namespace murinex
