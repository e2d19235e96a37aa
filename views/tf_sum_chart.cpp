#include "views/tf_sum_chart.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "model/run.h"
#include "views/chart_export.h"
#include "views/chart_widget.h"
#include "views/clock_set.h"
#include "views/window_placement.h"

namespace murinex {

TFSumChart::TFSumChart(Run& run, ClockSet& clocks, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                              Qt::WindowTitleHint),
      run_(run) {
  setWindowTitle("Übersicht");
  clock_ = new QTimer(this);
  clock_->setInterval(50);
  connect(clock_, &QTimer::timeout, this, &TFSumChart::ClockTick);
  PlaceRightOf(mainWindow);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  chart_ = new ChartWidget(this);
  layout->addWidget(chart_);
  chart_->SetBackground(QColor(192, 192, 192));
  chart_->SetLeftStep(0.1);
  chart_->SetBottomRange(run_.SumLines.PageLength());
  chart_->SetLegendShadow(3);
  chart_->SetLegendVisible(false);
  CreateMenu();
  AttachLines();
  Set3D(false);
  clocks.Add(clock_);
  show();
}

QString TFSumChart::Caption(std::size_t population) {
  return "Übersicht         Pop = " + QString::number(population);
}

void TFSumChart::PlaceRightOf(const QWidget* mainWindow) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect main = mainWindow ? mainWindow->frameGeometry() : QRect(area.topLeft(), QSize(0, 0));
  placedWith_ = FrameMargins(*this);
  const int width = std::max(200, area.right() - main.right());
  const int height = 360 + placedWith_.top() + placedWith_.bottom();
  PlaceFrame(*this, QRect(main.right() + 1, main.top(), width, height));
}

void TFSumChart::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  // The frame came, or changed: placed again so that it stays inside the screen.
  if (FrameMargins(*this) != placedWith_) PlaceRightOf(parentWidget());
}

void TFSumChart::CreateMenu() {
  auto* bar = new QMenuBar(this);
  layout()->setMenuBar(bar);
  ansicht_ = bar->addMenu("Ansicht");
  connect(ansicht_, &QMenu::aboutToShow, this, [this] {
    legende_->setChecked(chart_->LegendVisible());
    view3D_->setChecked(chart_->View3D());
  });
  legende_ = ansicht_->addAction("Legende");
  legende_->setShortcut(Qt::Key_F5);
  legende_->setCheckable(true);
  connect(legende_, &QAction::triggered, this,
          [this] { chart_->SetLegendVisible(!chart_->LegendVisible()); });
  view3D_ = ansicht_->addAction("3D");
  view3D_->setShortcut(Qt::Key_F3);
  view3D_->setCheckable(true);
  connect(view3D_, &QAction::triggered, this, [this] { Set3D(!chart_->View3D()); });
  QAction* close = ansicht_->addAction("Schliessen");
  connect(close, &QAction::triggered, this, &QWidget::hide);
  ansicht_->addSeparator();
  connect(ansicht_->addAction("Bild speichern…"), &QAction::triggered, this,
          &TFSumChart::AskSavePicture);
  connect(ansicht_->addAction("Daten speichern (CSV)…"), &QAction::triggered, this,
          &TFSumChart::AskSaveData);
  tickAxis_ = ansicht_->addAction("Achse in Ticks");
  tickAxis_->setCheckable(true);
  connect(tickAxis_, &QAction::toggled, this, &TFSumChart::SetTickAxis);
  addActions({legende_, view3D_});
}

void TFSumChart::AttachLines() {
  std::vector<const TLineSeries*> series;
  for (std::size_t i = 0; i < run_.SumLines.Size(); ++i)
    series.push_back(&run_.SumLines.At(i).Series);
  chart_->SetSeries(std::move(series));
}

void TFSumChart::ClockTick() {
  run_.SumLines.Tick(run_.RecordLines, run_.TickCount);
  setWindowTitle(Caption(run_.Mice.size()));
  AttachLines();
  chart_->SetPageOffset(run_.SumLines.PageOffset());
  chart_->SetSampleTicks(run_.SumLines.Ticks());
}

void TFSumChart::SetTickAxis(bool on) {
  chart_->SetSampleTicks(run_.SumLines.Ticks());
  chart_->SetTickAxis(on);
  if (tickAxis_->isChecked() != on) tickAxis_->setChecked(on);
}

QImage TFSumChart::Picture() {
  return chart_->grab().toImage();
}

QString TFSumChart::DataCsv() const {
  return SumChartCsv(run_.SumLines);
}

TFSumChart::Data TFSumChart::TakeData() const {
  return {DataCsv(), run_.SumLines.Ticks().size()};
}

namespace {

const char* const NoSamples = "the page holds no samples (are the lines recorded, \"AddLines\"?)";

}  // namespace

bool TFSumChart::SavePicture(const QString& path, const QImage& picture, QString& error) {
  if (!SavePng(path, picture, error)) return false;
  emit Exported("summary chart picture saved: " + path);
  return true;
}

bool TFSumChart::SaveData(const QString& path, const Data& data, QString& error) {
  if (data.samples == 0) {
    error = NoSamples;
    return false;
  }
  if (!SaveTextFile(path, data.csv, error)) return false;
  emit Exported("summary chart data saved (" + QString::number(data.samples) +
                " samples): " + path);
  return true;
}

QString TFSumChart::DefaultFileName(const QString& extension) const {
  const QString name = QString("Uebersicht-%1-tick%2.%3")
                           .arg(QString::fromStdString(run_.TaskName))
                           .arg(run_.TickCount)
                           .arg(extension);
  return QString::fromStdString((run_.WorkDir / name.toStdString()).string());
}

void TFSumChart::AskSavePicture() {
  // Taken before the dialog: what is written is what the user saw when asking.
  const QImage picture = Picture();
  const QString path =
      QFileDialog::getSaveFileName(this, "Bild speichern…", DefaultFileName("png"), "PNG (*.png)");
  QString error;
  if (!path.isEmpty() && !SavePicture(path, picture, error))
    QMessageBox::warning(this, "Bild speichern…", path + ":\n" + error);
}

void TFSumChart::AskSaveData() {
  const Data data = TakeData();
  if (data.samples == 0) {
    emit Exported(QString("summary chart data not saved: ") + NoSamples);
    QMessageBox::information(this, "Daten speichern (CSV)…",
                             QString("Nothing to save: ") + NoSamples + ".");
    return;
  }
  const QString path = QFileDialog::getSaveFileName(this, "Daten speichern (CSV)…",
                                                    DefaultFileName("csv"), "CSV (*.csv)");
  QString error;
  if (!path.isEmpty() && !SaveData(path, data, error))
    QMessageBox::warning(this, "Daten speichern (CSV)…", path + ":\n" + error);
}

void TFSumChart::Set3D(bool on) {
  chart_->Set3D(on);
}

}  // namespace murinex
